#pragma once
// The device page frame: page 1 of the main window. Top bar with the
// navigation buttons, the battery display, the back arrow, minimise and close,
// and a stack of the four settings pages (button page 0, sensor page 1, macro
// editor 2, settings page 3). Built once, after the window's first paint, with
// the one Worker (whose online poll starts then) and the crash-dump handler.
//
// Each settings page is built when it is first made current, and the wait
// popup when it is first shown. Until a page exists the frame answers the hub
// signals addressed to it: it sets the flags others wait on as the page would,
// and either keeps the calls for the page to go through when it is built, or
// builds the page at once where the call acts beyond the page (it writes to the
// mouse or a file, or runs a firmware update).

#include "heldcalls.h"

#include <QMetaObject>
#include <QVector>
#include <QWidget>
#include <array>
#include <memory>

class QButtonGroup;
class Buttoninterface;
class CrashDumpHandler;
class FormSetting;
class Macro;
class Sensor;
class Ui_Dialog;
class UpDataParam;
class UpDateRepair;

class Dialog : public QWidget
{
    Q_OBJECT
public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    // The settings pages' places in the stack.
    enum PageIndex { kButtonPage = 0, kSensorPage = 1, kMacroPage = 2, kSettingsPage = 3, kPageCount = 4 };
    // A settings page, or null while it has not been built.
    QWidget *BuiltPage(int index) const;
    // The persistent wait popup, built now if it has not been shown yet.
    UpDataParam *WaitPopup() { return EnsureWaitPopup(); }
    bool WaitPopupBuilt() const { return m_upDataParam != nullptr; }
    // The run's repair dialog (the settings page's), built when first needed;
    // deleted with this frame.
    UpDateRepair *RepairDialog();
    // How many calls wait for a page that is not built yet.
    int HeldCallCount(int index) const { return m_held[size_t(index)].Count(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Leaving the page (back to the device list, or the window to the tray)
    // ends what belongs to it: the wait popup and the page's own windows.
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    // The close path without the button (the tray menu's exit uses it).
    void WindowClosed();
    void WindowMin();
    void on_ButtonMain_clicked();
    void on_SensorButton_clicked();
    void on_MacroButton_clicked();
    void on_LightsButton_clicked();
    void on_UpArrow_clicked();
    void on_SetButton_clicked();
    // SigSecondPageChange: back to the device list, the button page is shown next time.
    void SlotSecondDialog();
    // SigUpDataParam: 0 after the first read of a device, 1 after a re-read it asked for.
    void SlotUpDataParam(int index);
    // SigStartRecord: 0 a macro recording started, 1 it stopped.
    void SlotStartRecord(int index);
    // SigBattery (blocking queued, from the data callback).
    // A report of a connection that is no longer current (another mouse was
    // chosen while it waited) is dropped.
    void SlotBattery(bool IsCharg, int Number, bool IsText, quint64 Serial);
    void SlotMouseIndex(int index);
    void on_CloseButton_clicked();
    void on_FormSetting_clicked();

private slots:
    // A newly chosen device: the battery shows nothing until it reports.
    void ShowNoBattery();

private:
    Buttoninterface *ButtonPage();
    Sensor *SensorPage();
    Macro *MacroPage();
    FormSetting *SettingsPage();
    void ReserveStackPlaces();
    void AddToStack(QWidget *page, int index);
    void StandIn(int index, const QMetaObject::Connection &connection);
    void PageBuilt(int index);
    void StandInForButtonPage();
    void StandInForSensorPage();
    void StandInForMacroPage();
    void StandInForSettingsPage();
    void ReplaySensorCalls();
    void ReplaySettingsCalls();
    UpDataParam *EnsureWaitPopup();
    void ApplyStyleSheets();
    void SetupButtonGroup();
    void ConnectHub();
    void ShowSettingsPage(int index);
    void SetNavigationEnabled(bool enabled);
    void CloseOwnWindows();

    Ui_Dialog *ui;
    QButtonGroup *m_firstGroup = nullptr;
    QButtonGroup *m_navigationGroup = nullptr;
    Buttoninterface *m_buttonPage = nullptr;
    Macro *m_macroPage = nullptr;
    Sensor *m_sensorPage = nullptr;
    FormSetting *m_settingsPage = nullptr;
    UpDataParam *m_upDataParam = nullptr;
    std::array<HeldCalls, kPageCount> m_held;
    std::array<QVector<QMetaObject::Connection>, kPageCount> m_standIns;
    CrashDumpHandler *m_crashDumpHandler = nullptr;
    QString m_pictureDir;
    // The page the navigation chose; shown (and built) when the frame shows.
    int m_chosenPage = kButtonPage;
};
