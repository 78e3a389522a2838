#include "postmsg.h"

#include <QCoreApplication>
#include <QThread>
#include <cstring>

PostMsg *g_PostMsg = nullptr;

namespace {
const char *const kBlockingSignals[] = {
    "SigUpDataConfigUI",
    "SigUpDataLightUIButton",
    "SigUpDataLightSensor",
    "SigUpDataReportRate",
    "SigUpDataDPI",
    "SigUpDataDPILed",
    "SigBattery",
    "SigRGBValue",
    "SigLongRangeMode",
    "SigForm",
    "SigFormReset",
};

// Blocking-queued signals must come from a non-GUI thread.
void AssertNotGuiThread(const char *name)
{
    QCoreApplication *app = QCoreApplication::instance();
    Q_ASSERT_X(!app || QThread::currentThread() != app->thread(), name,
               "blocking-queued signal emitted from the GUI thread");
    Q_UNUSED(app);
    Q_UNUSED(name);
}
}  // namespace

PostMsg::PostMsg(QObject *parent) : QObject(parent) {}

PostMsg *PostMsg::GetInstance()
{
    if (!g_PostMsg) {
        qRegisterMetaType<FlashDataMap>("FlashDataMap");
        qRegisterMetaType<DeviceAllInfo>("DeviceAllInfo");
        qRegisterMetaType<DongleRGB *>("DongleRGB*");
        g_PostMsg = new PostMsg();
    }
    return g_PostMsg;
}

void PostMsg::ResetInstance()
{
    g_PostMsg = nullptr;
}

void PostMsg::BeforeNextEmit(std::function<void()> prepare)
{
    m_beforeEmit = std::move(prepare);
    m_hasBeforeEmit = bool(m_beforeEmit);
}

void PostMsg::RunBeforeEmit()
{
    if (!m_hasBeforeEmit.load())
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    // Taken first: what it builds may emit signals of its own.
    const std::function<void()> prepare = std::move(m_beforeEmit);
    m_beforeEmit = nullptr;
    m_hasBeforeEmit = false;
    prepare();
}

bool PostMsg::IsBlockingSignal(const char *name)
{
    for (const char *blocking : kBlockingSignals) {
        if (std::strcmp(blocking, name) == 0)
            return true;
    }
    return false;
}

void PostMsg::EmitChangeMainDialog(int index)
{
    RunBeforeEmit();
    emit SigChangeMainDialog(index);
}

void PostMsg::EmitChangeSize(int index)
{
    RunBeforeEmit();
    emit SigChangeSize(index);
}

void PostMsg::EmitUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataConfigUI");
    emit SigUpDataConfigUI(ToTalItem, SelectIndex, ItemEnable);
}

void PostMsg::EmitUpDataLightUIButton(FlashDataMap DataMap)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataLightUIButton");
    emit SigUpDataLightUIButton(DataMap);
}

void PostMsg::EmitUpDataLightLight(FlashDataMap DataMap)
{
    RunBeforeEmit();
    emit SigUpDataLightLight(DataMap);
}

void PostMsg::EmitUpDataLightSensor(FlashDataMap DataMap)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataLightSensor");
    emit SigUpDataLightSensor(DataMap);
}

void PostMsg::EmitUpDataLightUIA(FlashDataMap DataMap)
{
    RunBeforeEmit();
    emit SigUpDataLightUIA(DataMap);
}

void PostMsg::EmitUpDataSensorUIB(FlashDataMap DataMap)
{
    RunBeforeEmit();
    emit SigUpDataSensorUIB(DataMap);
}

void PostMsg::EmitUpDataButtonUIC(FlashDataMap DataMap)
{
    RunBeforeEmit();
    emit SigUpDataButtonUIC(DataMap);
}

void PostMsg::EmitButtonToMacro(FlashDataMap DataMap, int KeyNumer)
{
    RunBeforeEmit();
    emit SigButtonToMacro(DataMap, KeyNumer);
}

void PostMsg::EmitSelectMouseInfo(DeviceAllInfo SelectInfo)
{
    RunBeforeEmit();
    emit SigSelectMouseInfo(SelectInfo);
}

void PostMsg::EmitMouseOffLineo(int index)
{
    RunBeforeEmit();
    emit SigMouseOffLineo(index);
}

void PostMsg::EmitMainPageChange()
{
    RunBeforeEmit();
    emit SigMainPageChange();
}

void PostMsg::EmitSecondPageChange()
{
    RunBeforeEmit();
    emit SigSecondPageChange();
}

void PostMsg::EmitUpPageLight()
{
    RunBeforeEmit();
    emit SigUpPageLight();
}

void PostMsg::EmitAddMacroButton()
{
    RunBeforeEmit();
    emit SigAddMacroButton();
}

void PostMsg::EmitDeleteMacroButton(QString MacroName)
{
    RunBeforeEmit();
    emit SigDeleteMacroButton(MacroName);
}

void PostMsg::EmitMacroDownLoadData(QString MacroName, int index)
{
    RunBeforeEmit();
    emit SigMacroDownLoadData(MacroName, index);
}

void PostMsg::EmitUpDataMacro(QString MacroName, int index)
{
    RunBeforeEmit();
    emit SigUpDataMacro(MacroName, index);
}

void PostMsg::EmitUpDataParam(int index)
{
    RunBeforeEmit();
    emit SigUpDataParam(index);
}

void PostMsg::EmitUpDataReportRate(int index)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataReportRate");
    emit SigUpDataReportRate(index);
}

void PostMsg::EmitUpDataDPI(int index)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataDPI");
    emit SigUpDataDPI(index);
}

void PostMsg::EmitUpDataDPILed(FlashDataMap DataMap)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigUpDataDPILed");
    emit SigUpDataDPILed(DataMap);
}

void PostMsg::EmitTimerStop()
{
    RunBeforeEmit();
    emit SigTimerStop();
}

void PostMsg::EmitButtonEnable(int index)
{
    RunBeforeEmit();
    emit SigButtonEnable(index);
}

void PostMsg::EmitLabelText(int index, QString Text)
{
    RunBeforeEmit();
    emit SigLabelText(index, Text);
}

void PostMsg::EmitLabelTextB(QString TextA, QString Text)
{
    RunBeforeEmit();
    emit SigLabelTextB(TextA, Text);
}

void PostMsg::EmitCloseUpdate()
{
    RunBeforeEmit();
    emit SigCloseUpdate();
}

void PostMsg::EmitProgress(int index, int value)
{
    RunBeforeEmit();
    emit SigProgress(index, value);
}

void PostMsg::EmitBattery(bool IsCharg, int Number, bool IsText, quint64 Serial)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigBattery");
    emit SigBattery(IsCharg, Number, IsText, Serial);
}

void PostMsg::EmitAutoRepair(int index)
{
    RunBeforeEmit();
    emit SigAutoRepair(index);
}

void PostMsg::EmitAutoRepairProgress(int index)
{
    RunBeforeEmit();
    emit SigAutoRepairProgress(index);
}

void PostMsg::EmitChangeLanguage(int index)
{
    RunBeforeEmit();
    emit SigChangeLanguage(index);
}

void PostMsg::EmitLanguageSameA(int index)
{
    RunBeforeEmit();
    emit SigLanguageSameA(index);
}

void PostMsg::EmitLanguageSameB(int index)
{
    RunBeforeEmit();
    emit SigLanguageSameB(index);
}

void PostMsg::EmitCloseOffOnline()
{
    RunBeforeEmit();
    emit SigCloseOffOnline();
}

void PostMsg::EmitSetMacroPage()
{
    RunBeforeEmit();
    emit SigSetMacroPage();
}

void PostMsg::EmitStartRecord(int index)
{
    RunBeforeEmit();
    emit SigStartRecord(index);
}

void PostMsg::EmitUpDateButton(bool IsHide)
{
    RunBeforeEmit();
    emit SigUpDateButton(IsHide);
}

void PostMsg::EmitMacroRename(QString Rename, QString Name)
{
    RunBeforeEmit();
    emit SigMacroRename(Rename, Name);
}

void PostMsg::EmitSetver(int index)
{
    RunBeforeEmit();
    emit SigSetver(index);
}

void PostMsg::EmitCloseProgress()
{
    RunBeforeEmit();
    emit SigCloseProgress();
}

void PostMsg::EmitRGBValue(DongleRGB* Rgb)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigRGBValue");
    emit SigRGBValue(Rgb);
}

void PostMsg::EmitLongRangeMode(bool Select)
{
    RunBeforeEmit();
    AssertNotGuiThread("SigLongRangeMode");
    emit SigLongRangeMode(Select);
}

void PostMsg::EmitForm()
{
    RunBeforeEmit();
    AssertNotGuiThread("SigForm");
    emit SigForm();
}

void PostMsg::EmitFormB()
{
    RunBeforeEmit();
    emit SigFormB();
}

void PostMsg::EmitEnterKey()
{
    RunBeforeEmit();
    emit SigEnterKey();
}

void PostMsg::EmitFormReset()
{
    RunBeforeEmit();
    AssertNotGuiThread("SigFormReset");
    emit SigFormReset();
}

void PostMsg::EmitHideModel(int index)
{
    RunBeforeEmit();
    emit SigHideModel(index);
}

void PostMsg::EmitContinue(int index)
{
    RunBeforeEmit();
    emit SigContinue(index);
}

void PostMsg::EmitMouseIndex(int index)
{
    RunBeforeEmit();
    emit SigMouseIndex(index);
}

void PostMsg::EmitUpdateStart()
{
    RunBeforeEmit();
    emit SigUpdateStart();
}

void PostMsg::EmitCheckUpdate()
{
    RunBeforeEmit();
    emit SigCheckUpdate();
}

void PostMsg::EmitRepairCheckUpdate()
{
    RunBeforeEmit();
    emit SigRepairCheckUpdate();
}

void PostMsg::EmitSetNewVer()
{
    RunBeforeEmit();
    emit SigSetNewVer();
}

void PostMsg::EmitLightToFrom(int index)
{
    RunBeforeEmit();
    emit SigLightToFrom(index);
}
