#pragma once
// The one top-level window: a frameless 1020 x 700 dialog whose page stack
// holds the device-selection page (index 0, shown first) and the device page
// (index 1). It switches pages on SigChangeMainDialog, hides to the tray or
// closes on SigChangeSize, shows the offline notice on SigMouseOffLineo, moves
// when dragged, and handles Return, Escape, F12 and Space.
//
// The program ends only at the end of a close sequence (the application does
// not quit when its last visible window closes: a notice closed while this
// window sits in the tray must not end the program).

#include <QDialog>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>

class Dialog;
class DialogChange;
class QAction;
class QMenu;
class Ui_DialogMain;
class UpDateRepair;

class DialogMain : public QDialog
{
    Q_OBJECT
public:
    explicit DialogMain(QWidget *parent = nullptr);
    ~DialogMain() override;

    // Whether hiding goes to the system tray. Auto asks the desktop
    // (QSystemTrayIcon::isSystemTrayAvailable()); without a tray the window is
    // minimised instead, so it stays reachable. Tests force either way.
    enum class TrayUse { Auto, Tray, Minimise };
    static void SetTrayUse(TrayUse use);

    // For tests and diagnostics: the pages, the tray and its menu.
    // The device page, built now if it is not yet.
    Dialog *DevicePage();
    bool DevicePageBuilt() const { return m_dialog != nullptr; }
    DialogChange *SelectionPage() const { return m_dialogChange; }
    int CurrentPage() const;
    QSystemTrayIcon *TrayIcon() const { return m_trayIcon; }
    QMenu *TrayMenu() const { return m_trayMenu; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The first paint queues the device page's construction.
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

public slots:
    void SlotChangeMainDialog(int index);
    void SlotChangeSize(int index);
    void SlotMouseOffLine(int index);
    void SlotUpPageLight();
    void on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason);
    void slotActionMain();
    void slotActionExitApp();
    void SlotChangeLanguage(int index);

private:
    void MigrateLanguageIndex();
    void CreatePages();
    void EnsureDevicePage();
    void ConnectHub();
    void CreateTrayIcon();
    bool UseTray() const;
    void HideWindow(bool fromDevicePage);
    void RebuildTrayMenu();
    void ShowFromTray(bool restoreDriverStatus);
    void CloseSequence();
    void CloseFromCurrentPage();
    void HandleSpaceKey();
    void PairFromDevicePage();
    void SpaceOnSelectionPage();
    void RunPairing(bool fromDevicePage);
    void WarnWiredMode();
    // What the Space key's own search used: the receiver's class, the model
    // group and the ids.
    struct KeyRepair {
        int receiverClass;
        QString driveGroup;
        int cid;
        int mid;
    };
    void AskThenRepair(UpDateRepair &repair, const KeyRepair &what);

    Ui_DialogMain *ui;
    DialogChange *m_dialogChange = nullptr;
    Dialog *m_dialog = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_mainAction = nullptr;
    QAction *m_exitAction = nullptr;
    QPoint m_dragOffset;
    QPoint m_pressGlobalPos;
    QPoint m_pressWindowPos;
    QString m_mainFormText;
    QString m_exitText;
    QString m_pictureDir;
    bool m_closing = false;
    bool m_buildingDevicePage = false;
    bool m_devicePageQueued = false;
    // Minimised (no tray) from the device page: restoring attaches the driver again.
    bool m_minimisedFromDevicePage = false;

    static TrayUse s_trayUse;
};
