#pragma once
// The application-wide signal hub: everything that crosses a page, and
// everything that comes from the device, travels as one of these signals.
// Created on first use, never destroyed. Emit through the Emit* members.

#include "deviceallinfo.h"
#include "flashdatamap.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class PostMsg : public QObject
{
    Q_OBJECT
public:
    static PostMsg *GetInstance();
    static void ResetInstance();

    // The signals that receivers connect with Qt::BlockingQueuedConnection.
    // Emitting one of them from the GUI thread would deadlock; their Emit
    // members assert that they run on another thread.
    static bool IsBlockingSignal(const char *name);

    // Runs `prepare` once, on the GUI thread, before the next signal emitted
    // there: receivers that are built on demand (the device page) are made
    // before anything addressed to them goes out. An empty function cancels it.
    void BeforeNextEmit(std::function<void()> prepare);
    // Runs that preparation now (on the GUI thread), for a caller that needs
    // those receivers without emitting anything.
    void PrepareReceivers() { RunBeforeEmit(); }

    void EmitChangeMainDialog(int index);
    void EmitChangeSize(int index);
    void EmitUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    void EmitUpDataLightUIButton(FlashDataMap DataMap);
    void EmitUpDataLightLight(FlashDataMap DataMap);
    void EmitUpDataLightSensor(FlashDataMap DataMap);
    void EmitUpDataLightUIA(FlashDataMap DataMap);
    void EmitUpDataSensorUIB(FlashDataMap DataMap);
    void EmitUpDataButtonUIC(FlashDataMap DataMap);
    void EmitButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void EmitSelectMouseInfo(DeviceAllInfo SelectInfo);
    void EmitMouseOffLineo(int index);
    void EmitMainPageChange();
    void EmitSecondPageChange();
    void EmitUpPageLight();
    void EmitAddMacroButton();
    void EmitDeleteMacroButton(QString MacroName);
    void EmitMacroDownLoadData(QString MacroName, int index);
    void EmitUpDataMacro(QString MacroName, int index);
    void EmitUpDataParam(int index);
    void EmitUpDataReportRate(int index);
    void EmitUpDataDPI(int index);
    void EmitUpDataDPILed(FlashDataMap DataMap);
    void EmitTimerStop();
    void EmitButtonEnable(int index);
    void EmitLabelText(int index, QString Text);
    void EmitLabelTextB(QString TextA, QString Text);
    void EmitCloseUpdate();
    void EmitProgress(int index, int value);
    void EmitBattery(bool IsCharg, int Number, bool IsText, quint64 Serial);
    void EmitAutoRepair(int index);
    void EmitAutoRepairProgress(int index);
    void EmitChangeLanguage(int index);
    void EmitLanguageSameA(int index);
    void EmitLanguageSameB(int index);
    void EmitCloseOffOnline();
    void EmitSetMacroPage();
    void EmitStartRecord(int index);
    void EmitUpDateButton(bool IsHide);
    void EmitMacroRename(QString Rename, QString Name);
    void EmitSetver(int index);
    void EmitCloseProgress();
    void EmitRGBValue(DongleRGB* Rgb);
    void EmitLongRangeMode(bool Select);
    void EmitForm();
    void EmitFormB();
    void EmitEnterKey();
    void EmitFormReset();
    void EmitHideModel(int index);
    void EmitContinue(int index);
    void EmitMouseIndex(int index);
    void EmitUpdateStart();
    void EmitCheckUpdate();
    void EmitRepairCheckUpdate();
    void EmitSetNewVer();
    void EmitLightToFrom(int index);

signals:
    void SigChangeMainDialog(int index);  // 0
    void SigChangeSize(int index);  // 1
    void SigUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);  // 2
    void SigUpDataLightUIButton(FlashDataMap DataMap);  // 3
    void SigUpDataLightLight(FlashDataMap DataMap);  // 4
    void SigUpDataLightSensor(FlashDataMap DataMap);  // 5
    void SigUpDataLightUIA(FlashDataMap DataMap);  // 6
    void SigUpDataSensorUIB(FlashDataMap DataMap);  // 7
    void SigUpDataButtonUIC(FlashDataMap DataMap);  // 8
    void SigButtonToMacro(FlashDataMap DataMap, int KeyNumer);  // 9
    void SigSelectMouseInfo(DeviceAllInfo SelectInfo);  // 10
    void SigMouseOffLineo(int index);  // 11
    void SigMainPageChange();  // 12
    void SigSecondPageChange();  // 13
    void SigUpPageLight();  // 14
    void SigAddMacroButton();  // 15
    void SigDeleteMacroButton(QString MacroName);  // 16
    void SigMacroDownLoadData(QString MacroName, int index);  // 17
    void SigUpDataMacro(QString MacroName, int index);  // 18
    void SigUpDataParam(int index);  // 19
    void SigUpDataReportRate(int index);  // 20
    void SigUpDataDPI(int index);  // 21
    void SigUpDataDPILed(FlashDataMap DataMap);  // 22
    void SigTimerStop();  // 23
    void SigButtonEnable(int index);  // 24
    void SigLabelText(int index, QString Text);  // 25
    void SigLabelTextB(QString TextA, QString Text);  // 26
    void SigCloseUpdate();  // 27
    void SigProgress(int index, int value);  // 28
    // Serial: the connection the report came through (connection.h).
    void SigBattery(bool IsCharg, int Number, bool IsText, quint64 Serial);  // 29
    void SigAutoRepair(int index);  // 30
    void SigAutoRepairProgress(int index);  // 31
    void SigChangeLanguage(int index);  // 32
    void SigLanguageSameA(int index);  // 33
    void SigLanguageSameB(int index);  // 34
    void SigCloseOffOnline();  // 35
    void SigSetMacroPage();  // 36
    void SigStartRecord(int index);  // 37
    void SigUpDateButton(bool IsHide);  // 38
    void SigMacroRename(QString Rename, QString Name);  // 39
    void SigSetver(int index);  // 40
    void SigCloseProgress();  // 41
    void SigRGBValue(DongleRGB* Rgb);  // 42
    void SigLongRangeMode(bool Select);  // 43
    void SigForm();  // 44
    void SigFormB();  // 45
    void SigEnterKey();  // 46
    void SigFormReset();  // 47
    void SigHideModel(int index);  // 48
    void SigContinue(int index);  // 49
    void SigMouseIndex(int index);  // 50
    void SigUpdateStart();  // 51
    void SigCheckUpdate();  // 52
    void SigRepairCheckUpdate();  // 53
    void SigSetNewVer();  // 54
    void SigLightToFrom(int index);  // 55

private:
    explicit PostMsg(QObject *parent = nullptr);
    void RunBeforeEmit();

    std::function<void()> m_beforeEmit;  // touched on the GUI thread only
    std::atomic<bool> m_hasBeforeEmit{false};
};

extern PostMsg *g_PostMsg;

Q_DECLARE_METATYPE(FlashDataMap)
Q_DECLARE_METATYPE(DeviceAllInfo)
Q_DECLARE_METATYPE(DongleRGB *)
