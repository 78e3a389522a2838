#pragma once
// The settings page, fourth of the device page's settings pages.
//
// Sections from top to bottom: the interface language; the receiver's and the
// mouse's firmware versions; pairing; the sleep time (the StopCloseTime panel,
// which SigLightToFrom fills); starting with the desktop session and the
// desktop's mouse settings; the receiver options (long-range mode and the
// receiver's LED mode, shown only for models and links that have them); and
// at the bottom the maker's company line and web link, which Net.xml in the
// language folder gives per language.
//
// The page lays its content out in one of two heights inside its scroll
// area: compact while the receiver-LED block is hidden, expanded while it is
// shown. The receiver options follow the device's reports: SigForm and
// SigFormB (after a whole read or an import) hide what the model or link
// lacks, SigLongRangeMode and SigRGBValue show the block they report on.
//
// The page keeps the hidden repair dialog g_UpDateRepair and the firmware
// notice UpdateWarning for the whole run, and the text g_WiredModeText of its
// language element. Everything runs on the GUI thread; the four slots that
// the device callback and the worker reach through blocking connections run
// there while their emitter waits.

#include "flashdatamap.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QButtonGroup;
class QMouseEvent;
class Ui_FormSetting;
class UpDateWarning;
class UpdateEngine;

// The text of tag WiredMode (empty until the page has loaded its texts); the
// main window's Space key and the tile click show it in an UpDateWarning.
extern QString g_WiredModeText;

class FormSetting : public QWidget
{
    Q_OBJECT
public:
    explicit FormSetting(QWidget *parent = nullptr);
    ~FormSetting() override;

    // Content heights below the scroll area: the vertical offset of the lower
    // blocks, and the two layouts built on it.
    static constexpr int BlockOffset = 80;
    // Compact: content 880 x 710, web link at (610, 620), company line at (490, 640).
    void ApplyCompactLayout();
    // Expanded, room for the receiver-LED block: content 880 x 860, web link
    // at (610, 790), company line at (490, 810).
    void ApplyExpandedLayout();

    // The firmware notice, built when it is first needed and kept for the run.
    UpDateWarning *FirmwareNotice();

    // The wired-mode text g_WiredModeText of a language, for the device list
    // and the main window while this page is not built.
    static void LoadWiredModeText(int index);
    // Sets g_MouseUpdateFound and g_ReceiverUpdateFound from the firmware
    // images newer than the current device's versions; false (the flags as
    // they were) when there is no firmware folder.
    static bool FindUpdatesOfCurrentDevice();

    // The two looks of the update button Receive_2.
    void ApplyPlainUpdateLook();
    void ApplyUpdateAvailableLook();

    // The firmware update engine behind the page's update slots.
    const UpdateEngine &Engine() const { return *engine; }

    // The starters of a receiver run and of a mouse run. Plain functions, not
    // slots: the page has no widgets of these names, and as slots the form's
    // connection by name would look for them.
    void on_Receive_clicked();
    void on_Mouse_clicked();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void SetVerText();
    void on_comboBox_activated(int index);
    void SlotChangeLanguage(int index);
    void SlotLanguageSameB(int index);
    void SlotRGBValue(DongleRGB *Rgb);
    void SlotLightToFrom(int index);
    void SlotLongRangeMode(bool Select);
    void SlotLabelText(int index, QString Text);
    void SlotLabelTextB(QString TextA, QString Text);
    void SlotScroolChange(int index);
    void SetVer(int index);
    void SlotForm();
    void SlotFormB();
    void SlotFormResetForm();
    void SlotContinue(int index);
    void on_checkBox_clicked(bool checked);
    void on_checkBox_2_toggled(bool checked);
    void on_ReUntil_toggled(bool checked);
    void on_ReUntil_2_toggled(bool checked);
    void on_ReUntil_3_toggled(bool checked);
    void on_Start();
    void SlotCheckUpdate();
    bool ChechIsUpDate();
    void onDongleCheckTimer();
    void onMouseCheckTimer();
    void on_Receive_2_clicked();

protected:
    // Consumes a press on the page, so it does not reach the widgets below.
    void mousePressEvent(QMouseEvent *event) override;

private:
    void PlaceLowerBlocks();
    void FitIntoPanel();
    void ConnectHub();
    void ApplyTheme();
    void ApplyTextTheme();
    void ApplyButtonTheme();
    void ApplyMarkerTheme();
    void ApplyBoxTheme();
    void PlaceVersionWidgets(int index);
    bool LoadLanguageTexts(int index);
    void LoadWebLinks();
    void SetContentLayout(int contentHeight, int webLinkY, int companyLineY);
    void SetLongRangeBlockVisible(bool visible);
    void SetLedBlockVisible(bool visible);
    void FollowModelAndLink(bool mayShowLongRange);
    void WriteLedMode(int mode, bool checked);
    // The receiver's long-range state and LED mode on their boxes, with
    // nothing written back.
    void ShowReceiverLongRange();
    void ShowReceiverLed();

    // Version display.
    static void CurrentVersions(QString *receiver, QString *mouse);
    static int CurrentReceiverClass();
    void FillVersionLabels();
    void HideMarkersAndClearRunFlags();

    // The update engine's view.
    void MakeUpdateEngine();
    void PassTextsToEngine();
    void ShowMarker(int target, bool visible);
    void ShowFirmwareNotice(const QString &text);
    // A notice over the page for the start-at-login box, the desktop's mouse
    // settings and the web link; it waits for its OK.
    void ShowControlNotice(const QString &text);
    QPoint CentredOnPage(const QSize &size) const;

    std::unique_ptr<Ui_FormSetting> form;
    QString PictureDir;
    QString NoDeviceText;
    QString SameDeviceText;
    QString VerNewText;
    QString ReceiveText;
    QString NoRecieveText;
    QString NoUSBText;
    QString ErrorText;
    QString MultiDongleText;
    QString MultiMouseText;
    QString NotWebAddressText;
    QString NoOpenerText;
    QString AutoStartOnFailText;
    QString AutoStartOffFailText;
    std::unique_ptr<UpDateWarning> UpdateWarning;
    QPoint LabelOrigin;
    QButtonGroup *LedGroup = nullptr;
    QString ButtonColor;
    UpdateEngine *engine = nullptr;
};
