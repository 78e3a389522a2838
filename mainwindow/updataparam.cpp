#include "updataparam.h"

#include "ui_updataparam.h"

#include "configini.h"
#include "devicecache.h"
#include "eventwait.h"
#include "globals.h"
#include "hidusb.h"
#include "imagecache.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "notices.h"
#include "pagefilled.h"
#include "paths.h"
#include "postmsg.h"
#include "settingsfile.h"
#include "waits.h"
#include "wholefile.h"
#include "writers.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QTimer>
#include <cstring>

int g_ImportRunning = 0;
int &g_ImportPopupText = g_ImportRunning;

namespace {
// The time the image needs to travel before the popup looks at the outcome.
constexpr int kWaitTimerMs = 4500;
// The page wait: at most this many passes of this length.
constexpr int kPageWaitPasses = 12;
constexpr int kPageWaitPassMs = 500;
// After a reset the mouse needs a moment before it answers again; the popup
// stays up for it while the program keeps serving events.
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
QString CurrentModelGroup()
{
    return ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);
}
}  // namespace

UpDataParam::UpDataParam(QWidget *parent) : QDialog(parent), ui(new Ui_UpDataParam)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &UpDataParam::SlotChangeLanguage);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(Qt::SubWindow | Qt::BypassWindowManagerHint | Qt::FramelessWindowHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    timer = new QTimer(this);
    ApplyStyleSheets();
    connect(timer, &QTimer::timeout, this, &UpDataParam::onTimeupDestroy);
    // Queued: the check runs after the page's fill (itself often inside a
    // blocking call from the device thread) has returned.
    connect(PageFillNotifier::Instance(), &PageFillNotifier::Confirmed, this, &UpDataParam::CheckPagesFilled,
            Qt::QueuedConnection);
    SlotChangeLanguage(CurrentLanguageIndex());
}

UpDataParam::~UpDataParam()
{
    delete ui;
}

void UpDataParam::ApplyStyleSheets()
{
    ui->label->setStyleSheet(QStringLiteral("QLabel{color: rgb(")
                         + ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"))
                         + QStringLiteral(";);}"));
    ui->UpDataParamA->setStyleSheet(
        QStringLiteral("#UpDataParamA{border:0px;background-position:center;background-repeat:no-repeat;"
                       "background-image: url(")
        + pictureDir + QStringLiteral("BackGround.png);}"));
}

void UpDataParam::StartWaitTimer()
{
    timer->setSingleShot(true);
    timer->start(Waits::Scaled(kWaitTimerMs));
    waiting = true;
    abandoned = false;
    sensorFillsAtStart = g_SensorFilled.Confirmations();
    buttonFillsAtStart = g_ButtonFilled.Confirmations();
}

void UpDataParam::CheckPagesFilled()
{
    if (!timer->isActive() || importMode)
        return;
    const bool bothSinceStart = g_SensorFilled.Confirmations() > sensorFillsAtStart
                                && g_ButtonFilled.Confirmations() > buttonFillsAtStart;
    if (!bothSinceStart || g_SensorFilled.load() == 0 || g_ButtonFilled.load() == 0)
        return;
    timer->stop();
    onTimeupDestroy();
}

void UpDataParam::Abandon()
{
    if (!waiting)
        return;
    timer->stop();
    abandoned = true;
    resetWaitMode = false;
    importMode = false;
    CloseAfterWait();
}

void UpDataParam::showEvent(QShowEvent *event)
{
    FitMessage(ui->label);
    QDialog::showEvent(event);
}

void UpDataParam::reject()
{
    if (waiting)
        return;
    QDialog::reject();
}

void UpDataParam::CloseAfterWait()
{
    waiting = false;
    close();
}

void UpDataParam::SlotChangeLanguage(int index)
{
    auto textWhileImport = [this](int importRunning) {
        return [this, importRunning](const QString &text) {
            if (g_ImportRunning == importRunning)
                ui->label->setText(text);
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
    for (int pass = 0; pass < kPageWaitPasses && !abandoned; ++pass) {
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
    // A mode holds for this one wait. It is cleared before anything below
    // runs a nested event loop, in which the persistent popup may be asked
    // for its next wait.
    const bool resetWait = resetWaitMode;
    const bool import = importMode;
    resetWaitMode = false;
    importMode = false;
    if (resetWait) {
        FinishResetWait();
        return;
    }
    qDebug() << "z";
    if (import) {
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
    if (!abandoned)
        WaitProcessingEvents(kResetSettleMs);
    if (abandoned)
        return;
    CloseAfterWait();
    if (!filled)
        PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeOffline);
}

void UpDataParam::FinishImport()
{
    FlashDataMap image{};
    const int result = CheckImportFile(importPath, &image);
    g_ImportCheckResult = result;
    if (result == kImportOk) {
        // A refused import is taken back, with the pages refilled and the
        // notice shown by the write path; a held one arrives with the read.
        if (WriteWholeImage(image) == WriteResult::Done)
            SendImageToPages(image);
        for (int pass = 0; pass < kImportSettlePasses && !abandoned; ++pass)
            WaitProcessingEvents(kPageWaitPassMs);
    } else {
        InportFail notice;
        PlaceOnOpener(&notice, this);
        notice.exec();
    }
    CloseAfterWait();
}

void UpDataParam::FinishOfflineRead()
{
    qDebug() << "x";
    FlashDataMap cached{};
    if (LoadDeviceCache(g_LoadCacheName.Get(), &cached))
        SendImageToPages(cached);
    CloseAfterWait();
    PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeOffline);
}

void UpDataParam::FinishRead()
{
    qDebug() << "v";
    const bool filled = WaitForPages();
    if (abandoned)
        return;
    if (filled) {
        qDebug() << "vvv";
        g_SensorFilled = 0;
        g_ButtonFilled = 0;
    } else {
        qDebug() << "vv";
    }
    CloseAfterWait();
    if (!filled)
        PostMsg::GetInstance()->EmitMouseOffLineo(kNoticeTimeout);
    // The first read of a model creates its cache file.
    FlashDataMap existing{};
    if (g_DeviceOnline.load() != 0 && !LoadDeviceCache(g_LoadCacheName.Get(), &existing))
        SaveImageCacheOfSelectedModel();
}

int UpDataParam::CheckImportFile(const QString &path, FlashDataMap *out)
{
    // Only a regular file is read: a FIFO chosen in the file dialog would
    // block the window.
    QByteArray content;
    if (!WholeFile::Read(path, &content)) {
        qDebug() << "failed";
        return kImportUnreadable;
    }
    return CheckImportContent(content, out);
}

int UpDataParam::CheckImportContent(QByteArray content, FlashDataMap *out)
{
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly);
    SettingsFile::Blocks blocks;
    const bool whole = SettingsFile::Read(&file, &blocks);
    file.close();
    if (!whole || SettingsFile::BlockText(blocks.tag) != QLatin1String(SettingsFile::kTag))
        return kImportUnreadable;
    const QString group = CurrentModelGroup();
    ConfigIni *config = ConfigIni::GetInstance();
    if (SettingsFile::BlockText(blocks.sensor) != config->Value(group, QStringLiteral("Sensor")))
        return kImportWrongModel;
    std::memcpy(out, blocks.image.constData(), kFlashDataMapSize);
    if (out->DpiLevelCount > config->IntValue(group, QStringLiteral("DPIMaxGrade")))
        return kImportWrongModel;
    return kImportOk;
}
