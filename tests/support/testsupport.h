#pragma once
// Shared helpers for the Qt Test suites.
//
// VOGM_TEST_MAIN(Class) replaces QTEST_MAIN: before the application object
// exists it gives the test its own temporary HOME and XDG_DATA_HOME, so no
// suite sees another's per-user files.

#include <QApplication>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QImage;
class QWidget;

namespace TestSupport {

// The bound of a wait for an event: it only stops a hang, so it is long
// enough for a loaded machine and a sanitizer tree; no result depends on it.
// 30 s, times the tree's time factor (VOGM_TEST_TIME_FACTOR: the sanitizer
// trees run several times slower).
extern const int kHangGuardMs;

// Creates a fresh temporary HOME and XDG_DATA_HOME and points the process at
// them. Called by VOGM_TEST_MAIN; suites may call it again for a clean slate.
void IsolateUserFolders();

// The per-user base folder ($XDG_DATA_HOME/<product title>).
QString BaseFolder();

// The folder with the staged data (Config.ini, Language/, Picture/, bin/).
QString AppFolder();

// Waits (processing events) until a modal widget is active, then runs
// `action` on it. Returns false when none appeared within timeoutMs.
bool WithModal(const std::function<void(QWidget *)> &action, int timeoutMs = kHangGuardMs);

// Arms a one-shot watcher: when the next modal dialog opens (possibly inside a
// nested exec() started later by the caller), clicks its child named `child`,
// or sends Escape when `child` is empty.
void AnswerNextModal(const QString &child, int timeoutMs = kHangGuardMs);

// Clicks the child named `child` of the active modal widget, or sends Escape
// when `child` is empty. Returns false when there is no modal widget or child.
bool AnswerModal(QWidget *modal, const QString &child);

// What a ModalWatcher saw of one modal dialog.
struct SeenModal {
    QString className;
    QString text;  // the text of its child "label", when it has one
    QPoint pos;
    QSize size;
};

// Watches for modal dialogs, also from inside the nested event loops they
// run. Each appearance of one is recorded once, shown to `inspect`, and then
// answered, unless `inspect` closed it or `answer` is false: the child named
// answers[class name], else `defaultAnswer`, is clicked; an empty name sends
// Escape; a dialog without the named child is closed. Dialogs of the classes
// in `leaveAlone` are neither recorded nor answered.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(QHash<QString, QString> answers = {}, QStringList leaveAlone = {},
                          QString defaultAnswer = QString());

    // The class names of `seen`, in order.
    QStringList Classes() const;

    QList<SeenModal> seen;
    std::function<void(QWidget *)> inspect;
    bool answer = true;

private:
    void Poll();

    QHash<QString, QString> m_answers;
    QStringList m_leaveAlone;
    QString m_defaultAnswer;
    QList<QPointer<QWidget>> m_handled;  // shown now and handled already
    QTimer m_timer;
};

// Saves `shot` as `fileName` into the folder named by VOGM_TEST_SHOTS (made
// when missing), where suites put the pictures and contact sheets a person
// looks at; nothing is written when the variable is unset. False only when
// saving failed.
bool SaveShot(const QImage &shot, const QString &fileName);
// `window` with `popup` (a menu, a tool tip) drawn over it where the screen
// shows it, on white where the popup reaches beyond the window.
QImage WithPopup(QWidget *window, QWidget *popup);

// Divides the program's named waits by `divisor` instead of the suites' 10
// while it lives: for cases that look only at what follows a long timed wait.
class ShorterWaits
{
public:
    explicit ShorterWaits(int divisor = 100);
    ~ShorterWaits();
    ShorterWaits(const ShorterWaits &) = delete;
    ShorterWaits &operator=(const ShorterWaits &) = delete;
};

// Processes events until `condition` holds or timeoutMs passes.
bool WaitFor(const std::function<bool()> &condition, int timeoutMs = kHangGuardMs);

// The picture files named by url(...) in the style sheets of `widgets`, in
// order, duplicates kept.
QStringList PicturesNamed(const QList<const QWidget *> &widgets);
// The same for `root` and every widget below it.
QStringList PicturesNamed(const QWidget *root);

// Runs the suite, then closes a device connection it left open.
int RunTest(QObject *test, int argc, char **argv);

// Points VOGM_APP_DIR, while it lives, at a program folder with everything of
// the staged one but the firmware image folder bin/.
class FolderWithoutImages
{
public:
    FolderWithoutImages();
    ~FolderWithoutImages();
    FolderWithoutImages(const FolderWithoutImages &) = delete;
    FolderWithoutImages &operator=(const FolderWithoutImages &) = delete;

private:
    QString m_staged;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Runs `action` once on the first visible modal dialog of class `className`
// that becomes active while this object lives (looked for every 10 ms, also
// from inside the nested event loops of modal dialogs).
class OnModal : public QObject
{
public:
    OnModal(const char *className, std::function<void(QWidget *)> action);
    bool done = false;

private:
    const char *m_className;
    std::function<void(QWidget *)> m_action;
    QTimer m_timer;
};

// Runs this test program again as a new process with `variable` set to 1 in
// its environment (its main() then runs the next run's test class); true when
// it ended with exit code 0. `output` receives what it printed.
bool RunThisProgramAgain(const char *variable, int timeoutMs, QByteArray *output);

}  // namespace TestSupport

#define VOGM_TEST_MAIN(TestObject)                                   \
    int main(int argc, char **argv)                                  \
    {                                                                \
        TestSupport::IsolateUserFolders();                           \
        QApplication app(argc, argv);                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                     \
        TestObject tc;                                               \
        return TestSupport::RunTest(&tc, argc, argv);                \
    }
