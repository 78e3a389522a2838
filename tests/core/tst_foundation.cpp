#include "globals.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QMetaMethod>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <cstring>
#include <thread>

class TestFoundation : public QObject
{
    Q_OBJECT
private slots:
    void hubSignalsMatchTheTable();
    void blockingSignalWaitsForTheGuiSlot();
    void sharedStateStartsAtItsInitialValues();
    void deviceRecordDefaultsAndCopies();
    void wiredFollowsLinkType_data();
    void wiredFollowsLinkType();
};

void TestFoundation::hubSignalsMatchTheTable()
{
    const QStringList expected = {
        "SigChangeMainDialog(int)",
        "SigChangeSize(int)",
        "SigUpDataConfigUI(int,int,bool)",
        "SigUpDataLightUIButton(FlashDataMap)",
        "SigUpDataLightLight(FlashDataMap)",
        "SigUpDataLightSensor(FlashDataMap)",
        "SigUpDataLightUIA(FlashDataMap)",
        "SigUpDataSensorUIB(FlashDataMap)",
        "SigUpDataButtonUIC(FlashDataMap)",
        "SigButtonToMacro(FlashDataMap,int)",
        "SigSelectMouseInfo(DeviceAllInfo)",
        "SigMouseOffLineo(int)",
        "SigMainPageChange()",
        "SigSecondPageChange()",
        "SigUpPageLight()",
        "SigAddMacroButton()",
        "SigDeleteMacroButton(QString)",
        "SigMacroDownLoadData(QString,int)",
        "SigUpDataMacro(QString,int)",
        "SigUpDataParam(int)",
        "SigUpDataReportRate(int)",
        "SigUpDataDPI(int)",
        "SigUpDataDPILed(FlashDataMap)",
        "SigTimerStop()",
        "SigButtonEnable(int)",
        "SigLabelText(int,QString)",
        "SigLabelTextB(QString,QString)",
        "SigCloseUpdate()",
        "SigProgress(int,int)",
        "SigBattery(bool,int,bool,qulonglong)",
        "SigAutoRepair(int)",
        "SigAutoRepairProgress(int)",
        "SigChangeLanguage(int)",
        "SigLanguageSameA(int)",
        "SigLanguageSameB(int)",
        "SigCloseOffOnline()",
        "SigSetMacroPage()",
        "SigStartRecord(int)",
        "SigUpDateButton(bool)",
        "SigMacroRename(QString,QString)",
        "SigSetver(int)",
        "SigCloseProgress()",
        "SigRGBValue(DongleRGB*)",
        "SigLongRangeMode(bool)",
        "SigForm()",
        "SigFormB()",
        "SigEnterKey()",
        "SigFormReset()",
        "SigHideModel(int)",
        "SigContinue(int)",
        "SigMouseIndex(int)",
        "SigUpdateStart()",
        "SigCheckUpdate()",
        "SigRepairCheckUpdate()",
        "SigSetNewVer()",
        "SigLightToFrom(int)"    };
    const QMetaObject *meta = PostMsg::GetInstance()->metaObject();
    QStringList actual;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Signal)
            actual << QString::fromLatin1(m.methodSignature());
        else if (m.methodType() == QMetaMethod::Slot)
            QFAIL("the hub has no slots");
    }
    QCOMPARE(actual.size(), 56);
    QCOMPARE(actual, expected);
    QVERIFY(PostMsg::GetInstance() == PostMsg::GetInstance());
}

// A receiver living in the GUI thread that records what it saw and when.
class ImageReceiver : public QObject
{
    Q_OBJECT
public:
    std::atomic<bool> slotDone{false};
    unsigned char byte7a = 0, byte7b = 0;
public slots:
    void OnImage(FlashDataMap image)
    {
        QThread::msleep(50);  // the emitter must still be waiting after this
        byte7a = image.Reserved[0];
        byte7b = image.Reserved[1];
        slotDone = true;
    }
};

void TestFoundation::blockingSignalWaitsForTheGuiSlot()
{
    ImageReceiver receiver;
    QObject::connect(PostMsg::GetInstance(), &PostMsg::SigUpDataLightSensor, &receiver,
                     &ImageReceiver::OnImage, Qt::BlockingQueuedConnection);
    FlashDataMap image{};
    image.Reserved[0] = 0xA5;
    image.Reserved[1] = 0x5A;
    std::atomic<bool> emitterReturned{false};
    std::atomic<bool> slotDoneWhenReturned{false};
    std::thread emitter([&] {
        PostMsg::GetInstance()->EmitUpDataLightSensor(image);
        slotDoneWhenReturned = receiver.slotDone.load();
        emitterReturned = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return emitterReturned.load(); }, TestSupport::kHangGuardMs));
    emitter.join();
    QVERIFY(slotDoneWhenReturned);
    QCOMPARE(int(receiver.byte7a), 0xA5);
    QCOMPARE(int(receiver.byte7b), 0x5A);
    QVERIFY(PostMsg::IsBlockingSignal("SigFormReset"));
    QVERIFY(!PostMsg::IsBlockingSignal("SigUpDataParam"));
    disconnect(PostMsg::GetInstance(), nullptr, &receiver, nullptr);
}

void TestFoundation::sharedStateStartsAtItsInitialValues()
{
    struct Row { const char *name; int actual; int expected; };
    const Row rows[] = {
        {"g_LinkWatch", g_LinkWatch, 1},
        {"g_WritesAllowed", g_WritesAllowed, 0},
        {"g_SessionActive", g_SessionActive, 0},
        {"g_SensorRefreshing", g_SensorRefreshing, 0},
        {"g_ButtonRefreshing", g_ButtonRefreshing, 0},
        {"g_LightRefreshing", g_LightRefreshing, 0},
        {"g_SensorFilled", g_SensorFilled, 0},
        {"g_ButtonFilled", g_ButtonFilled, 0},
        {"g_MacroRecording", g_MacroRecording, 0},
        {"g_WorkerRun", g_WorkerRun, 0},
        {"g_RestartWorker", g_RestartWorker, 0},
        {"g_ReloadRequested", g_ReloadRequested, 0},
        {"g_WaitOnline", g_WaitOnline, 0},
        {"g_OpenedOnline", g_OpenedOnline, 0},
        {"g_DeviceOnline", g_DeviceOnline, 0},
        {"g_DeviceDataReady", g_DeviceDataReady, 0},
        {"g_ApplyingSettings", g_ApplyingSettings, 0},
        {"g_CheckDefaultMacros", g_CheckDefaultMacros, 0},
        {"g_SkipDongleQuery", g_SkipDongleQuery, 0},
        {"g_ShowBatteryValue", g_ShowBatteryValue, 0},
        {"g_TileAddressBuffer[0]", g_TileAddressBuffer[0], 0x31},
        {"g_AddressBuffer[0]", g_AddressBuffer[0], 0},
        {"g_DongleRgb->Mode", g_DongleRgb->Mode, 0},
        {"g_CurrentDevice.Get().Cid", g_CurrentDevice.Get().Cid, 0},
        {"g_CurrentDevice.Get().Mid", g_CurrentDevice.Get().Mid, 0},
        {"g_CurrentDevice.Get().LinkType", g_CurrentDevice.Get().LinkType, 0},
        {"g_UpdateBusy", g_UpdateBusy, 0},
        {"g_RepairRunning", g_RepairRunning, 0},
        {"g_ReceiverUpdateFound", g_ReceiverUpdateFound, 0},
        {"g_MouseUpdateFound", g_MouseUpdateFound, 0},
    };
    for (const Row &row : rows)
        QVERIFY2(row.actual == row.expected, row.name);
    const FlashDataMap zero{};
    QVERIFY(std::memcmp(&g_FlashDataMap, &zero, sizeof zero) == 0);
    QVERIFY(g_CurrentPath != nullptr);
    QCOMPARE(QByteArray(g_CurrentPath), QByteArray());
    QVERIFY(g_Worker == nullptr && g_OnlineTimer == nullptr && g_UpDateRepair == nullptr);
    QVERIFY(!g_StatusTimer.isValid());
    QVERIFY(g_FoundDevices.isEmpty() && g_PageDevices.isEmpty() && g_PageDevicesCopy.isEmpty());
    QVERIFY(g_LoadCacheName.Get().isEmpty() && g_SaveCacheName.Get().isEmpty());
    QCOMPARE(g_AppName, QStringLiteral("Veltrane Orvandel Gaming Mouse"));
    QCOMPARE(g_DialogMainTitle, g_AppName);
    QCOMPARE(g_ProductName, g_AppName);
}

void TestFoundation::deviceRecordDefaultsAndCopies()
{
    DeviceAllInfo info;
    QCOMPARE(info.Path, QString());
    QCOMPARE(info.Vid, QStringLiteral("0"));
    QCOMPARE(info.Pid, QStringLiteral("0"));
    QCOMPARE(int(info.Cid), 0);
    QCOMPARE(int(info.Mid), 0);
    QCOMPARE(int(info.LinkType), 0);
    QCOMPARE(info.DriveIndex, 0);
    QVERIFY(!info.Online && !info.Wired);
    QVERIFY(info.UsbVersion.isEmpty() && info.FirmwareVersion.isEmpty() && info.Address.isEmpty());

    info.Address = {1, 2, 3};
    DeviceAllInfo copy = info;
    copy.Address[0] = 9;
    QCOMPARE(int(info.Address[0]), 1);
    QCOMPARE(int(copy.Address[0]), 9);
}

void TestFoundation::wiredFollowsLinkType_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<bool>("wired");
    for (int link : {0, 1, 4, 5})
        QTest::addRow("receiver %d", link) << link << false;
    for (int link : {2, 3, 6, 0x10})
        QTest::addRow("cable %d", link) << link << true;
}

void TestFoundation::wiredFollowsLinkType()
{
    QFETCH(int, link);
    QFETCH(bool, wired);
    QCOMPARE(DeviceAllInfo::IsWiredLink(uint8_t(link)), wired);
}

VOGM_TEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
