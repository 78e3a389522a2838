#pragma once
// The device-selection page, index 0 of the main window's page stack.
//
// One instance for the whole run, registered in g_DialogChange. Its
// constructor registers the selection page's USB-change callback and makes no
// scan of its own: the library's first call of the callback brings the tiles
// (DialogChange::UpdateDeviceTiles, devicetiles.cpp). The page also carries
// the language box, the repair button shown after a failed firmware update,
// the arrows that step through the tile pages, and a firmware-news popup that
// is built hidden.

#include "devicetiles.h"


#include <QString>
#include <QWidget>

class Ui_DialogChange;

// Texts of the page's language element kept for later use.
extern QString g_ConnectPromptText;   // tag label_2: the large message without a failed update
extern QString g_RepairDeviceText;    // tag RepairDevice: the large message with one
extern QString g_OfflineTips1Text;    // tag OfflineTips1: first line of an offline icon's tooltip
extern QString g_OfflineTips2Text;    // tag OfflineTips2: second line
extern QString g_MouseIsNewTipsText;  // tag MouseIsNewTips: the main window's repair question

class DialogChange : public QWidget
{
    Q_OBJECT
public:
    explicit DialogChange(QWidget *parent = nullptr);
    ~DialogChange() override;

    // Rebuilds the tiles from g_PageDevices (devicetiles.cpp). Called by the
    // selection page's USB-change callback after its rescan.
    void UpdateDeviceTiles();

    // The repair hint: Repair shown with the RepairDevice text, or hidden with
    // the connect prompt. SlotUpDateButton(IsHide) does the same.
    void ShowRepairHint(bool repairVisible);

public slots:
    void on_MinButton_clicked();
    void on_CloseButton_clicked();
    void on_LeftButton_clicked();
    void on_RightButton_clicked();
    void on_Repair_clicked();
    void on_comboBox_activated(int index);
    void SlotSameLanguageA(int index);
    void SlotUpDateButton(bool IsHide);
    void SlotEnterKey();
    void ChangeDialogLanguage(int index);
    void on_CloseButton_2_clicked();
    void on_NewHong_clicked();
    void on_NoApear_clicked(bool checked);
    // A tile was clicked (every tile's clicked() is connected here).
    void slotButtonClicked();
    void WindowClosedA();
    void WindowMinA();

protected:
    void changeEvent(QEvent *event) override;

private:
    void ApplyStyleSheets();
    void ApplyPopupStyleSheets(const QString &warningDir);
    void ConnectHub();
    void ShowRepairFromRegistry();
    void ShowNoTiles();
    void ClearTiles();
    QWidget *BuildTilePage(int first, int count, bool lastPage);
    void BuildTile(QWidget *page, int n, int slot, int slotsOnPage);
    void ShowDuplicateNotice();
    void ConnectTiles();

    Ui_DialogChange *ui;
};
