#pragma once
// Shared helpers for the Qt Test suites.
//
// VOGM_TEST_MAIN(Class) replaces QTEST_MAIN: before the application object
// exists it gives the test its own temporary HOME and XDG_DATA_HOME, so no
// suite sees another's per-user files.

#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>

class QWidget;

namespace TestSupport {

// Creates a fresh temporary HOME and XDG_DATA_HOME and points the process at
// them. Called by VOGM_TEST_MAIN; suites may call it again for a clean slate.
void IsolateUserFolders();

// The per-user base folder ($XDG_DATA_HOME/<product title>).
QString BaseFolder();

// The folder with the staged data (Config.ini, Language/, Picture/, bin/).
QString AppFolder();

// Waits (processing events) until a modal widget is active, then runs
// `action` on it. Returns false when none appeared within timeoutMs.
bool WithModal(const std::function<void(QWidget *)> &action, int timeoutMs = 5000);

// Arms a one-shot watcher: when the next modal dialog opens (possibly inside a
// nested exec() started later by the caller), clicks its child named `child`,
// or sends Escape when `child` is empty.
void AnswerNextModal(const QString &child, int timeoutMs = 5000);

// Clicks the child named `child` of the active modal widget, or sends Escape
// when `child` is empty. Returns false when there is no modal widget or child.
bool AnswerModal(QWidget *modal, const QString &child);

// Processes events until `condition` holds or timeoutMs passes.
bool WaitFor(const std::function<bool()> &condition, int timeoutMs = 5000);

// The picture files named by url(...) in the style sheets of `widgets`, in
// order, duplicates kept.
QStringList PicturesNamed(const QList<const QWidget *> &widgets);
// The same for `root` and every widget below it.
QStringList PicturesNamed(const QWidget *root);

int RunTest(QObject *test, int argc, char **argv);

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
