// The screenshot sweep: walks the program in one language on the simulated
// default world, the way a user would, and takes a picture of the screen at
// every page and every dialog and notice the pages open: the device list, the
// button page (also with its lists open at a middle function and at the macro
// chooser), the sensor page, the macro page, the settings page scrolled to its
// top, middle and bottom, the page host's lighting page and alternative
// panels, and every notice. Built with the tests, never installed, not run by
// CTest; scripts/sweep runs it under Xvfb and makes the contact sheets.
//
//   vogm-sweep <language 0-5> <output folder>
//
// It expects a HOME and XDG_DATA_HOME of its own (scripts/sweep makes them).

#include "../hosts/hostedpages.h"
#include "../notices/noticetestkit.h"

#include "buttoninterface.h"
#include "compiledresources.h"
#include "connection.h"
#include "dialog.h"
#include "dialogmain.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "macro.h"
#include "macrofile.h"
#include "macroini.h"
#include "noticedialog.h"
#include "paths.h"
#include "programwindow.h"
#include "sensor.h"
#include "testsupport.h"
#include "updataparam.h"
#include "updaterepair.h"
#include "worldfixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <cstdio>

namespace {

// Macros on the macro page and in the button page's chooser; the last has the
// longest name the name dialog takes.
const char *const kMacroNames[] = {"Copy and paste", "Burst", "A macro with thirty characters"};

class Sweep
{
public:
    Sweep(int language, const QString &folder) : m_language(language), m_folder(folder) {}

    bool Run();

private:
    void Shoot(const QString &name, const QRect &area);
    void ShootWindow(QWidget *window, const QString &name);
    // Shoots every modal dialog that `act` opens, over `context`, and closes it.
    void ShootModals(QWidget *context, const std::function<void()> &act,
                     const QHash<QString, QString> &answers = {});
    void ShootPopupOf(QWidget *context, const QString &name, const std::function<void()> &act);
    void Click(QWidget *root, const char *name);

    void DeviceList();
    void ButtonPage();
    void SensorPage();
    void MacroPage();
    void SettingsPage();
    void HostedPagesAndNotices();

    int m_language;
    QString m_folder;
    int m_count = 0;
    DialogMain *m_window = nullptr;
};

// Lets the window system map, decorate and paint what was just shown.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(60);
    }
}

void WaitExposed(QWidget *window)
{
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "vogm-sweep: %s was not shown\n", window->metaObject()->className());
}

QRect FrameOf(const QWidget *window)
{
    return window->frameGeometry();
}

void Sweep::Shoot(const QString &name, const QRect &area)
{
    Settle();
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect clipped = area & screen->geometry();
    const QPixmap shot = screen->grabWindow(0, clipped.x(), clipped.y(), clipped.width(), clipped.height());
    const QString file = QString("%1/%2-%3.png").arg(m_folder).arg(++m_count, 2, 10, QChar('0')).arg(name);
    if (!shot.save(file))
        std::fprintf(stderr, "vogm-sweep: could not write %s\n", qPrintable(file));
}

void Sweep::ShootWindow(QWidget *window, const QString &name)
{
    WaitExposed(window);
    Shoot(name, FrameOf(window));
}

void Sweep::ShootModals(QWidget *context, const std::function<void()> &act, const QHash<QString, QString> &answers)
{
    // Escape does not close every dialog; their close buttons do.
    TestSupport::ModalWatcher watcher(answers, {}, QStringLiteral("CloseButton"));
    watcher.inspect = [this, context](QWidget *modal) {
        WaitExposed(modal);
        const QString name = QString::fromLatin1(modal->metaObject()->className());
        Shoot(name, FrameOf(modal).united(FrameOf(context->window())));
    };
    act();
    TestSupport::WaitFor([] { return TestSupport::Settled(); }, TestSupport::kHangGuardMs);
}

void Sweep::ShootPopupOf(QWidget *context, const QString &name, const std::function<void()> &act)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup || !popup->isVisible())
            return;
        poll.stop();
        WaitExposed(popup);
        Shoot(name, FrameOf(popup).united(FrameOf(context->window())));
        popup->close();
    });
    poll.start(20);
    act();
}

void Sweep::Click(QWidget *root, const char *name)
{
    auto *widget = root->findChild<QWidget *>(QLatin1String(name));
    if (!widget) {
        std::fprintf(stderr, "vogm-sweep: no %s\n", name);
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
}

void Sweep::DeviceList()
{
    TestSupport::WaitFor([] { return g_PageDevices.size() == 3 && TestSupport::Settled(); }, TestSupport::kHangGuardMs);
    ShootWindow(m_window, "device-list");
}

void Sweep::ButtonPage()
{
    Dialog *device = m_window->DevicePage();
    auto *page = device->findChild<Buttoninterface *>();
    ShootWindow(m_window, "button-page");
    // Row 6 holds the DPI cycle, in the middle of the function list.
    Click(page, "BackMusic");
    ShootWindow(m_window, "button-page-lists-open");
    ShootModals(page, [&] { Click(page, "DPI_8"); });
    ShootModals(page, [&] {
        Click(page, "BackMusic");
        Click(page, "DPI_6");
    });
    Click(page, "BackMusic");
    Click(page, "DPI_10");
    ShootWindow(m_window, "button-page-macro-chooser");
}

void Sweep::SensorPage()
{
    Click(m_window->DevicePage(), "SensorButton");
    ShootWindow(m_window, "sensor-page");
}

void Sweep::MacroPage()
{
    Dialog *device = m_window->DevicePage();
    Click(device, "MacroButton");
    auto *page = device->findChild<Macro *>();
    auto *macros = page->findChild<QListWidget *>("listWidgetHong");
    if (macros->count() > 0)
        QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(macros->item(0)).center());
    ShootWindow(m_window, "macro-page");
    ShootModals(page, [&] { Click(page, "NewHong"); });
    auto *menu = page->findChild<QComboBox *>("ChooseEvent");
    for (const int item : {1, 3}) {
        ShootModals(page, [&] {
            menu->setCurrentIndex(item);
            QMetaObject::invokeMethod(page, "on_ChooseEvent_activated", Q_ARG(int, item));
        });
    }
    ShootPopupOf(page, "macro-list-menu", [&] {
        const QPoint at = macros->visualItemRect(macros->item(0)).center();
        QMetaObject::invokeMethod(page, "on_listWidgetHong_customContextMenuRequested", Q_ARG(QPoint, at));
    });
}

void Sweep::SettingsPage()
{
    Dialog *device = m_window->DevicePage();
    Click(device, "FormSetting");
    auto *page = device->findChild<FormSetting *>();
    QScrollBar *bar = page->findChild<QScrollArea *>("scrollArea")->verticalScrollBar();
    const struct {
        const char *name;
        int position;
    } positions[] = {{"settings-page-top", 0},
                     {"settings-page-middle", bar->maximum() / 2},
                     {"settings-page-bottom", bar->maximum()}};
    for (const auto &at : positions) {
        bar->setValue(at.position);
        ShootWindow(m_window, at.name);
    }
    bar->setValue(0);
    // Pairing asks first, then shows its progress.
    ShootModals(page, [&] { Click(page, "pushButton_2"); }, {{"RePair", "NewHong"}});
    UpDateRepair *repair = SharedRepairDialog();
    repair->move(m_window->geometry().center() - repair->rect().center());
    repair->ResetUi();
    repair->show();
    ShootWindow(repair, "repair-dialog");
    repair->hide();
}

void Sweep::HostedPagesAndNotices()
{
    const FlashDataMap image = ReadImage();
    for (const HostedPage &hosted : HostedPages()) {
        std::unique_ptr<QWidget> window(DarkPage(hosted.build(image)));
        window->setWindowTitle(hosted.title);
        window->move(20, 20);
        window->show();
        ShootWindow(window.get(), "host-" + hosted.title.toLower().replace(' ', '-'));
    }

    UpDataParam popup(nullptr);
    PlaceOnOpener(&popup, m_window, 0, -20);
    popup.show();
    ShootWindow(&popup, "UpDataParam");
    popup.hide();

    auto names = NoticeTestKit::NoticeClasses();
    names << QStringLiteral("Progress");
    // The import's notice tells one of its two faults, as an import sets it.
    g_ImportCheckResult = 1;
    for (const QString &name : qAsConst(names)) {
        std::unique_ptr<QDialog> notice = NoticeTestKit::MakeNotice(name);
        PlaceOnOpener(notice.get(), m_window, 0, -20);
        notice->show();
        WaitExposed(notice.get());
        Shoot(name, FrameOf(notice.get()).united(FrameOf(m_window)));
        notice->hide();
    }
}

bool Sweep::Run()
{
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    QDir().mkpath(MacroFile::Folder());
    for (const char *name : kMacroNames) {
        QFile file(MacroFile::Folder() + "/" + QString::fromUtf8(name) + ".ini");
        if (file.open(QIODevice::WriteOnly))
            file.write("1\n0x04 1 0\n20ms\n0x04 1 1\n");
    }
    MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(m_language));

    m_window = new DialogMain;
    m_window->move(40, 40);
    m_window->show();
    DeviceList();
    if (!TestSupport::OpenTile(m_window, "0xFF14")) {
        std::fprintf(stderr, "vogm-sweep: the receiver's mouse did not open\n");
        return false;
    }
    ButtonPage();
    SensorPage();
    MacroPage();
    SettingsPage();
    HostedPagesAndNotices();
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("VOGM_APP_DIR"))
        qputenv("VOGM_APP_DIR", VOGM_STAGED_DATA);
    LoadCompiledResources();
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vogm-sweep <language 0-5> <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    Sweep sweep(QString::fromLatin1(argv[1]).toInt(), folder);
    const bool done = sweep.Run();
    UsbServer_SetPCDriverStatus(0);
    UsbServer_Exit();
    return done ? 0 : 1;
}
