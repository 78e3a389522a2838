#include "match.h"

#include "configini.h"
#include "globals.h"
#include "hidusb.h"
#include "paths.h"
#include "usbcallbacks.h"

#include <QFrame>
#include <QToolButton>

bool g_PairFromDevicePage = false;
DeviceAllInfo g_PairDevice;
QString g_PairPictureDir;

namespace {
constexpr int kMatchWidth = 458;
constexpr int kMatchHeight = 242;
}  // namespace

Match::Match(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Match"));
    setWindowTitle(QStringLiteral("Dialog"));
    setFixedSize(kMatchWidth, kMatchHeight);
    MatchA = new QFrame(this);
    MatchA->setObjectName(QStringLiteral("MatchA"));
    MatchA->setGeometry(0, 0, kMatchWidth, kMatchHeight);
    MatchA->setFrameShape(QFrame::StyledPanel);
    MatchA->setFrameShadow(QFrame::Raised);
    CloseButton = new QToolButton(MatchA);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(435, 20, 14, 14);
    CloseButton->setFocusPolicy(Qt::NoFocus);
    CloseButton->setIconSize(QSize(30, 30));
    CloseButton->setAutoRaise(true);

    g_PairPictureDir = Paths::AppFolder() + QStringLiteral("/Picture/Setting/");
    setWindowFlags(Qt::SubWindow | Qt::BypassWindowManagerHint | Qt::FramelessWindowHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    MatchA->setStyleSheet(QStringLiteral("#MatchA{border:0px;background-position:center;background-repeat:no-repeat;"
                                         "background-image: url(")
                          + g_PairPictureDir + QStringLiteral("BackSecondPage.png); }"));
    const QString &D = g_PairPictureDir;
    CloseButton->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-image: url(") + D
        + QStringLiteral("CloseSecondPage.png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + D + QStringLiteral("CloseSecondPageHover.png);}QToolButton:pressed{background-image: url(") + D
        + QStringLiteral("CloseSecondPageClick.png);}"));
    connect(CloseButton, &QToolButton::clicked, this, &Match::WindowClosedSet);
    startPath = g_CurrentDevice.Path;
}

Match::~Match() = default;

void Match::PrepareShow()
{
    if (g_SessionActive.load() == 1) {
        targetPath = startPath;
        targetVid = g_CurrentDevice.Vid;
        targetPid = g_CurrentDevice.Pid;
        targetWired = g_CurrentDevice.Wired;
    } else if (g_PairFromDevicePage) {
        TakeTarget(g_PairDevice);
    } else if (!g_PageDevices.isEmpty()) {
        TakeTarget(g_PageDevices.first());
    }
    // The customer id is configured as decimal text; the library takes one byte.
    targetCid = uint8_t(ConfigIni::GetInstance()->Value(QStringLiteral("Option"), QStringLiteral("CID")).toInt());
}

void Match::TakeTarget(const DeviceAllInfo &device)
{
    targetPath = device.Path;
    targetVid = device.Vid;
    targetPid = device.Pid;
    targetWired = device.Wired;
}

void Match::WindowClosedSet()
{
    StartUsbChanged(SelectionUsbChangedCallback, kUsbChangedIntervalMs);
    close();
}
