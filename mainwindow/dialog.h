#pragma once
// The device page frame: page 1 of the main window. Top bar with the
// navigation buttons, the battery display, the back arrow, minimise and close,
// and a stack of the four settings pages (button page 0, sensor page 1, macro
// editor 2, settings page 3). Built once at start-up; it also builds the
// persistent wait popup and installs the crash-dump handler.


#include <QWidget>

class QButtonGroup;
class Buttoninterface;
class CrashDumpHandler;
class FormSetting;
class Macro;
class Sensor;
class Ui_Dialog;
class UpDataParam;

class Dialog : public QWidget
{
    Q_OBJECT
public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    // The persistent wait popup (tests look at it).
    UpDataParam *WaitPopup() const { return m_upDataParam; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Leaving the page (back to the device list, or the window to the tray)
    // ends what belongs to it: the wait popup and the page's own windows.
    void hideEvent(QHideEvent *event) override;

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
    void CreatePages();
    void ApplyStyleSheets();
    void SetupButtonGroup();
    void ConnectHub();
    void ShowSettingsPage(QWidget *page);
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
    CrashDumpHandler *m_crashDumpHandler = nullptr;
    QString m_pictureDir;
};
