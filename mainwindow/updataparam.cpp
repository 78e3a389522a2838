#include "updataparam.h"

#include "configini.h"
#include "devicecache.h"
#include "eventwait.h"
#include "globals.h"
#include "hidusb.h"
#include "imagecache.h"
#include "languagereader.h"
#include "notices.h"
#include "paths.h"
#include "postmsg.h"
#include "waits.h"

#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <cstring>

int g_ImportRunning = 0;

namespace {
constexpr int kPopupWidth = 300;
constexpr int kPopupHeight = 140;
// The time the image needs to travel before the popup looks at the outcome.
constexpr int kWaitTimerMs = 4500;
// The page wait: at most this many passes of this length.
constexpr int kPageWaitPasses = 12;
constexpr int kPageWaitPassMs = 500;
// After a reset the mouse needs a moment before it answers again.
constexpr int kResetSettleMs = 2000;
// After an import the pages get this many passes to fill themselves.
constexpr int kImportSettlePasses = 5;
// SigSetver: the settings page refreshes its version texts.
constexpr int kSetverRefresh = 4;
// SigMouseOffLineo: 0 the device is offline, 1 the pages did not confirm in time.
constexpr int kNoticeOffline = 0;
constexpr int kNoticeTimeout = 1;

constexpr int kImportOk = 0;
constexpr int kImportUnreadable = 1;
constexpr int kImportWrongModel = 2;
const char kSettingsFileTag[] = "Qelvo";

// The 8-bit text of a block up to its first NUL (the whole block without one).
QString BlockText(const QByteArray &block)
{
    const int end = block.indexOf('\0');
    return QString::fromLocal8Bit(end < 0 ? block : block.left(end));
}

QString CurrentModelGroup()
{
    return ConfigIni::DriveGroup(g_CurrentDevice.DriveIndex);
}
}  // namespace

UpDataParam::UpDataParam(QWidget *parent) : QDialog(parent)
{
    BuildForm();
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &UpDataParam::SlotChangeLanguage);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(Qt::SubWindow | Qt::BypassWindowManagerHint | Qt::FramelessWindowHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    timer = new QTimer(this);
    ApplyStyleSheets();
    connect(timer, &QTimer::timeout, this, &UpDataParam::onTimeupDestroy);
    SlotChangeLanguage(CurrentLanguageIndex());
}

UpDataParam::~UpDataParam() = default;

void UpDataParam::BuildForm()
{
    setObjectName(QStringLiteral("UpDataParam"));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(kPopupWidth, kPopupHeight);
    UpDataParamA = new QFrame(this);
    UpDataParamA->setObjectName(QStringLiteral("UpDataParamA"));
    UpDataParamA->setGeometry(0, 0, kPopupWidth, kPopupHeight);
    UpDataParamA->setFixedSize(kPopupWidth, kPopupHeight);
    UpDataParamA->setFrameShape(QFrame::StyledPanel);
    UpDataParamA->setFrameShadow(QFrame::Raised);
    label = new QLabel(UpDataParamA);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(0, 30, 301, 61);
    QFont font(QStringLiteral("微软雅黑"));
    font.setPointSize(11);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setText(QStringLiteral("Please wait, we are updating the setting"));
}

void UpDataParam::ApplyStyleSheets()
{
    label->setStyleSheet(QStringLiteral("QLabel{color: rgb(")
                         + ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"))
                         + QStringLiteral(";);}"));
    UpDataParamA->setStyleSheet(
        QStringLiteral("#UpDataParamA{border:0px;background-position:center;background-repeat:no-repeat;"
                       "background-image: url(")
        + pictureDir + QStringLiteral("BackGround.png);}"));
}

void UpDataParam::StartWaitTimer()
{
    timer->setSingleShot(true);
    timer->start(Waits::Scaled(kWaitTimerMs));
}

void UpDataParam::SlotChangeLanguage(int index)
{
    auto textWhileImport = [this](int importRunning) {
        return [this, importRunning](const QString &text) {
            if (g_ImportRunning == importRunning)
                label->setText(text);
        };
    };
    LanguageReader reader(QStringLiteral("UpDataParam"), {
                                                             {QStringLiteral("label"), textWhileImport(0)},
                                                             {QStringLiteral("label_1"), textWhileImport(1)},
                                                         });
    reader.Load(index);
}

bool UpDataParam::WaitForPages()
{
    for (int pass = 0; pass < kPageWaitPasses; ++pass) {
        if (g_SensorFilled.load() != 0 && g_ButtonFilled.load() != 0)
            return true;
        WaitProcessingEvents(kPageWaitPassMs);
    }
    return false;
}

void UpDataParam::SendImageToPages(const FlashDataMap &image)
{
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitUpDataLightUIA(image);
    hub->EmitUpDataSensorUIB(image);
    hub->EmitUpDataButtonUIC(image);
    hub->EmitFormB();
}

void UpDataParam::onTimeupDestroy()
{
    PostMsg::GetInstance()->EmitSetver(kSetverRefresh);
    if (resetWaitMode) {
        FinishResetWait();
        return;
    }
    qDebug() << "z";
    if (importMode) {
        FinishImport();
        return;
    }
    if (g_DeviceDataReady.load() == 0) {
        FinishOfflineRead();
        return;
    }
    FinishRead();
}

void UpDataParam::FinishResetWait()
{
    const bool filled = WaitForPages();
    SleepWithoutEvents(kResetSettleMs);
    close();
    if (!filled)
        PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeOffline);
    resetWaitMode = false;
}

void UpDataParam::FinishImport()
{
    FlashDataMap image{};
    const int result = CheckImportFile(importPath, &image);
    g_ImportCheckResult = result;
    if (result == kImportOk) {
        StoreImage(image);
        FlashDataMap sent = image;
        ProtocolDataUpdate(&sent);
        SendImageToPages(image);
        for (int pass = 0; pass < kImportSettlePasses; ++pass)
            WaitProcessingEvents(kPageWaitPassMs);
    } else {
        InportFail notice;
        PlaceOnOpener(&notice, this);
        notice.exec();
    }
    importMode = false;
    close();
}

void UpDataParam::FinishOfflineRead()
{
    qDebug() << "x";
    FlashDataMap cached{};
    if (LoadDeviceCache(g_LoadCacheName, &cached))
        SendImageToPages(cached);
    close();
    PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeOffline);
}

void UpDataParam::FinishRead()
{
    qDebug() << "v";
    const bool filled = WaitForPages();
    if (filled) {
        qDebug() << "vvv";
        g_SensorFilled = 0;
        g_ButtonFilled = 0;
    } else {
        qDebug() << "vv";
    }
    close();
    if (!filled)
        PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeTimeout);
    // The first read of a model creates its cache file.
    FlashDataMap existing{};
    if (g_DeviceOnline.load() != 0 && !LoadDeviceCache(g_LoadCacheName, &existing))
        SaveImageCacheOfSelectedModel();
}

int UpDataParam::CheckImportFile(const QString &path, FlashDataMap *out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "failed";
        return kImportUnreadable;
    }
    QDataStream in(&file);
    QByteArray tagBlock;
    QByteArray sensorBlock;
    QByteArray imageBlock;
    in >> tagBlock;
    if (in.status() != QDataStream::Ok || BlockText(tagBlock) != QLatin1String(kSettingsFileTag))
        return kImportUnreadable;
    in >> sensorBlock;
    if (in.status() != QDataStream::Ok)
        sensorBlock.clear();
    const QString group = CurrentModelGroup();
    if (BlockText(sensorBlock) != ConfigIni::GetInstance()->Value(group, QStringLiteral("Sensor")))
        return kImportWrongModel;
    in >> imageBlock;
    // Only a whole image is ever applied; a shorter or longer block is not a
    // settings image this program wrote.
    if (in.status() != QDataStream::Ok || imageBlock.size() != kFlashDataMapSize)
        return kImportUnreadable;
    std::memcpy(out, imageBlock.constData(), kFlashDataMapSize);
    const int maxLevels = ConfigIni::GetInstance()->IntValue(group, QStringLiteral("DPIMaxGrade"));
    if (out->DpiLevelCount > maxLevels)
        return kImportWrongModel;
    return kImportOk;
}
