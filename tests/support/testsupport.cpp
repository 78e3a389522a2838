#include "testsupport.h"

#include "paths.h"

#include <QAbstractButton>
#include <QDir>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

namespace TestSupport {

void IsolateUserFolders()
{
    // Leaked on purpose: the folders must outlive every object of the test.
    auto *home = new QTemporaryDir(QDir::tempPath() + "/vogm-test-XXXXXX");
    const QByteArray root = home->path().toLocal8Bit();
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
    return QTest::qExec(test, argc, argv);
}

}  // namespace TestSupport
