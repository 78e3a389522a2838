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
    emit SigChangeMainDialog(index);
}

void PostMsg::EmitChangeSize(int index)
{
    emit SigChangeSize(index);
}

void PostMsg::EmitUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    AssertNotGuiThread("SigUpDataConfigUI");
    emit SigUpDataConfigUI(ToTalItem, SelectIndex, ItemEnable);
}

void PostMsg::EmitUpDataLightUIButton(FlashDataMap DataMap)
{
    AssertNotGuiThread("SigUpDataLightUIButton");
    emit SigUpDataLightUIButton(DataMap);
}

void PostMsg::EmitUpDataLightLight(FlashDataMap DataMap)
{
    emit SigUpDataLightLight(DataMap);
}

void PostMsg::EmitUpDataLightSensor(FlashDataMap DataMap)
{
    AssertNotGuiThread("SigUpDataLightSensor");
    emit SigUpDataLightSensor(DataMap);
}

void PostMsg::EmitUpDataLightUIA(FlashDataMap DataMap)
{
    emit SigUpDataLightUIA(DataMap);
}

void PostMsg::EmitUpDataSensorUIB(FlashDataMap DataMap)
{
    emit SigUpDataSensorUIB(DataMap);
}

void PostMsg::EmitUpDataButtonUIC(FlashDataMap DataMap)
{
    emit SigUpDataButtonUIC(DataMap);
}

void PostMsg::EmitButtonToMacro(FlashDataMap DataMap, int KeyNumer)
{
    emit SigButtonToMacro(DataMap, KeyNumer);
}

void PostMsg::EmitSelectMouseInfo(DeviceAllInfo SelectInfo)
{
    emit SigSelectMouseInfo(SelectInfo);
}

void PostMsg::EmitMouseOffLineo(int index)
{
    emit SigMouseOffLineo(index);
}

void PostMsg::EmitMainPageChange()
{
    emit SigMainPageChange();
}

void PostMsg::EmitSecondPageChange()
{
    emit SigSecondPageChange();
}

void PostMsg::EmitUpPageLight()
{
    emit SigUpPageLight();
}

void PostMsg::EmitAddMacroButton()
{
    emit SigAddMacroButton();
}

void PostMsg::EmitDeleteMacroButton(QString MacroName)
{
    emit SigDeleteMacroButton(MacroName);
}

void PostMsg::EmitMacroDownLoadData(QString MacroName, int index)
{
    emit SigMacroDownLoadData(MacroName, index);
}

void PostMsg::EmitUpDataMacro(QString MacroName, int index)
{
    emit SigUpDataMacro(MacroName, index);
}

void PostMsg::EmitUpDataParam(int index)
{
    emit SigUpDataParam(index);
}

void PostMsg::EmitUpDataReportRate(int index)
{
    AssertNotGuiThread("SigUpDataReportRate");
    emit SigUpDataReportRate(index);
}

void PostMsg::EmitUpDataDPI(int index)
{
    AssertNotGuiThread("SigUpDataDPI");
    emit SigUpDataDPI(index);
}

void PostMsg::EmitUpDataDPILed(FlashDataMap DataMap)
{
    AssertNotGuiThread("SigUpDataDPILed");
    emit SigUpDataDPILed(DataMap);
}

void PostMsg::EmitTimerStop()
{
    emit SigTimerStop();
}

void PostMsg::EmitButtonEnable(int index)
{
    emit SigButtonEnable(index);
}

void PostMsg::EmitLabelText(int index, QString Text)
{
    emit SigLabelText(index, Text);
}

void PostMsg::EmitLabelTextB(QString TextA, QString Text)
{
    emit SigLabelTextB(TextA, Text);
}

void PostMsg::EmitCloseUpdate()
{
    emit SigCloseUpdate();
}

void PostMsg::EmitProgress(int index, int value)
{
    emit SigProgress(index, value);
}

void PostMsg::EmitBattery(bool IsCharg, int Number, bool IsText)
{
    AssertNotGuiThread("SigBattery");
    emit SigBattery(IsCharg, Number, IsText);
}

void PostMsg::EmitAutoRepair(int index)
{
    emit SigAutoRepair(index);
}

void PostMsg::EmitAutoRepairProgress(int index)
{
    emit SigAutoRepairProgress(index);
}

void PostMsg::EmitChangeLanguage(int index)
{
    emit SigChangeLanguage(index);
}

void PostMsg::EmitLanguageSameA(int index)
{
    emit SigLanguageSameA(index);
}

void PostMsg::EmitLanguageSameB(int index)
{
    emit SigLanguageSameB(index);
}

void PostMsg::EmitCloseOffOnline()
{
    emit SigCloseOffOnline();
}

void PostMsg::EmitSetMacroPage()
{
    emit SigSetMacroPage();
}

void PostMsg::EmitStartRecord(int index)
{
    emit SigStartRecord(index);
}

void PostMsg::EmitUpDateButton(bool IsHide)
{
    emit SigUpDateButton(IsHide);
}

void PostMsg::EmitMacroRename(QString Rename, QString Name)
{
    emit SigMacroRename(Rename, Name);
}

void PostMsg::EmitSetver(int index)
{
    emit SigSetver(index);
}

void PostMsg::EmitCloseProgress()
{
    emit SigCloseProgress();
}

void PostMsg::EmitRGBValue(DongleRGB* Rgb)
{
    AssertNotGuiThread("SigRGBValue");
    emit SigRGBValue(Rgb);
}

void PostMsg::EmitLongRangeMode(bool Select)
{
    AssertNotGuiThread("SigLongRangeMode");
    emit SigLongRangeMode(Select);
}

void PostMsg::EmitForm()
{
    AssertNotGuiThread("SigForm");
    emit SigForm();
}

void PostMsg::EmitFormB()
{
    emit SigFormB();
}

void PostMsg::EmitEnterKey()
{
    emit SigEnterKey();
}

void PostMsg::EmitFormReset()
{
    AssertNotGuiThread("SigFormReset");
    emit SigFormReset();
}

void PostMsg::EmitHideModel(int index)
{
    emit SigHideModel(index);
}

void PostMsg::EmitContinue(int index)
{
    emit SigContinue(index);
}

void PostMsg::EmitMouseIndex(int index)
{
    emit SigMouseIndex(index);
}

void PostMsg::EmitUpdateStart()
{
    emit SigUpdateStart();
}

void PostMsg::EmitCheckUpdate()
{
    emit SigCheckUpdate();
}

void PostMsg::EmitRepairCheckUpdate()
{
    emit SigRepairCheckUpdate();
}

void PostMsg::EmitSetNewVer()
{
    emit SigSetNewVer();
}

void PostMsg::EmitLightToFrom(int index)
{
    emit SigLightToFrom(index);
}
