#include "testsupport.h"

#include "hidusb.h"
#include "hidusb_control.h"
#include "paths.h"
#include "waits.h"

#include <QAbstractButton>
#include <QDir>
#include <QPainter>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

namespace TestSupport {

namespace {

int TimeFactor()
{
    bool ok = false;
    const int factor = qEnvironmentVariableIntValue("VOGM_TEST_TIME_FACTOR", &ok);
    return ok ? qBound(1, factor, 20) : 1;
}

}  // namespace

const int kHangGuardMs = 30000 * TimeFactor();

void IsolateUserFolders()
{
    // Kept until the process ends: the folders must outlive every object of
    // the test; they are removed then.
    static std::vector<std::unique_ptr<QTemporaryDir>> homes;
    homes.push_back(std::make_unique<QTemporaryDir>(QDir::tempPath() + "/vogm-test-XXXXXX"));
    const QByteArray root = homes.back()->path().toLocal8Bit();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    QDir().mkpath(QString::fromLocal8Bit(root + "/.local/share"));
}

QString BaseFolder()
{
    return Paths::BaseFolder();
}

QString AppFolder()
{
    return Paths::AppFolder();
}

bool WaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

bool AnswerModal(QWidget *modal, const QString &child)
{
    if (!modal)
        return false;
    if (child.isEmpty()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(modal, &press);
        return true;
    }
    auto *button = modal->findChild<QAbstractButton *>(child);
    if (button) {
        button->click();
        return true;
    }
    auto *widget = modal->findChild<QWidget *>(child);
    if (!widget)
        return false;
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

ModalWatcher::ModalWatcher(QHash<QString, QString> answers, QStringList leaveAlone, QString defaultAnswer)
    : m_answers(std::move(answers)), m_leaveAlone(std::move(leaveAlone)), m_defaultAnswer(std::move(defaultAnswer))
{
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start(10);
}

QStringList ModalWatcher::Classes() const
{
    QStringList names;
    for (const SeenModal &modal : seen)
        names << modal.className;
    return names;
}

void ModalWatcher::Poll()
{
    // A dialog that was hidden again may come back: that is a new appearance.
    m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(),
                                   [](const QPointer<QWidget> &w) { return !w || !w->isVisible(); }),
                    m_handled.end());
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || m_handled.contains(modal))
        return;
    const QString className = QString::fromLatin1(modal->metaObject()->className());
    if (m_leaveAlone.contains(className))
        return;
    m_handled << modal;
    const auto *label = modal->findChild<QLabel *>(QStringLiteral("label"));
    seen << SeenModal{className, label ? label->text() : QString(), modal->pos(), modal->size()};
    QPointer<QWidget> guard(modal);
    if (inspect)
        inspect(modal);
    if (!answer || !guard || !guard->isVisible())
        return;
    if (!AnswerModal(guard, m_answers.value(className, m_defaultAnswer)))
        guard->close();
}

ShorterWaits::ShorterWaits(int divisor)
{
    Waits::SetDivisor(divisor);
}

ShorterWaits::~ShorterWaits()
{
    Waits::SetDivisor(0);  // back to VOGM_WAIT_DIVISOR
}

bool SaveShot(const QImage &shot, const QString &fileName)
{
    const QString folder = qEnvironmentVariable("VOGM_TEST_SHOTS");
    if (folder.isEmpty())
        return true;
    return QDir().mkpath(folder) && shot.save(QDir(folder).filePath(fileName));
}

QImage WithPopup(QWidget *window, QWidget *popup)
{
    const QRect windowRect(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect seen = windowRect.united(popup->geometry());
    QImage image(seen.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(windowRect.topLeft() - seen.topLeft(), window->grab().toImage());
    painter.drawImage(popup->geometry().topLeft() - seen.topLeft(), popup->grab().toImage());
    return image;
}

bool WithModal(const std::function<void(QWidget *)> &action, int timeoutMs)
{
    if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, timeoutMs))
        return false;
    action(QApplication::activeModalWidget());
    return true;
}

void AnswerNextModal(const QString &child, int timeoutMs)
{
    auto *timer = new QTimer;
    auto *elapsed = new int(0);
    const int step = 20;
    QObject::connect(timer, &QTimer::timeout, [=] {
        *elapsed += step;
        QWidget *modal = QApplication::activeModalWidget();
        if (modal || *elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete elapsed;
            if (modal)
                AnswerModal(modal, child);
        }
    });
    timer->start(step);
}

QStringList PicturesNamed(const QList<const QWidget *> &widgets)
{
    static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    QStringList files;
    for (const QWidget *widget : widgets) {
        if (!widget)
            continue;
        auto match = url.globalMatch(widget->styleSheet());
        while (match.hasNext())
            files << match.next().captured(1).trimmed();
    }
    return files;
}

QStringList PicturesNamed(const QWidget *root)
{
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        widgets << child;
    return PicturesNamed(widgets);
}

int RunTest(QObject *test, int argc, char **argv)
{
    const int result = QTest::qExec(test, argc, argv);
    // A connection that a case left open must not deliver reports into a
    // process whose globals are being destroyed.
    UsbServer_Exit();
    HidSim::WaitUntilIdle();
    return result;
}

FolderWithoutImages::FolderWithoutImages()
    : m_staged(qEnvironmentVariable("VOGM_APP_DIR")), m_dir(std::make_unique<QTemporaryDir>())
{
    for (const char *entry : {"Language", "Picture", "usersetting", "driver_sensor.h"})
        QFile::link(m_staged + "/" + entry, m_dir->path() + "/" + QLatin1String(entry));
    qputenv("VOGM_APP_DIR", m_dir->path().toLocal8Bit());
}

FolderWithoutImages::~FolderWithoutImages()
{
    qputenv("VOGM_APP_DIR", m_staged.toLocal8Bit());
}

OnModal::OnModal(const char *className, std::function<void(QWidget *)> action)
    : m_className(className), m_action(std::move(action))
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (done || !modal || !modal->isVisible() || qstrcmp(modal->metaObject()->className(), m_className) != 0)
            return;
        done = true;
        m_action(modal);
    });
    m_timer.start(10);
}

bool RunThisProgramAgain(const char *variable, int timeoutMs, QByteArray *output)
{
    QProcess next;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(variable), QStringLiteral("1"));
    next.setProcessEnvironment(environment);
    next.setProcessChannelMode(QProcess::MergedChannels);
    next.start(QCoreApplication::applicationFilePath(), QStringList());
    const bool finished = next.waitForFinished(timeoutMs);
    *output = next.readAll();
    return finished && next.exitStatus() == QProcess::NormalExit && next.exitCode() == 0;
}

}  // namespace TestSupport
