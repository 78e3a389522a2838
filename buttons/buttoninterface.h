#pragma once
// The button assignment page, first of the device page's four settings pages.
//
// Six rows stand for the mouse's buttons 0-5; the function list
// (`stackedWidget`) and the detail lists (`stackedWidget_2`) offer what a row
// can be given. The page keeps a copy of the device's button table in three
// lists, indexed by device button. It starts the one Worker (the device page
// frame's) for a reset, and answers the image signals: every fill raises
// g_ButtonRefreshing for its duration, and a fill from a device read ends with
// g_ButtonFilled set, which the wait popup waits for. A fill also hands the
// image's sleep time on to the settings page (SigLightToFrom).
//
// The rows show a ButtonAssignments model: what each device button holds, by
// entry and record. Captions, the left-button guard and the rows of a macro
// come from the model, never from the texts the rows show.
//
// The whole mouse: the profile box lists the mouse's profiles and switches
// between them (the pages are then read again from the new profile); Reset
// returns the mouse to its factory settings; the settings the rows show are
// exported to a file, and a file is handed to the wait popup for import.
//
// Macros: the page lists the files of the macro folder on the macro list
// (MacroPanel); choosing one builds the device's macro record from the file and
// writes it with the entry {6, button, loop code}. The macro editor's
// deletions, new names and saves find their rows in the model: entries of a
// macro whose record carries the macro's name.
//
// The form's widgets are connected by the constructor, not by object name:
// the function buttons through one table (button -> Function) to
// OnFunctionChosen. The on_<object>_clicked slots stay as the public names of
// what a click does.

#include "buttonassignments.h"
#include "buttonfunction.h"
#include "flashdatamap.h"
#include "functionlists.h"
#include "profileandfileactions.h"
#include "rowlist.h"
#include "keyrecord.h"
#include "languagereader.h"
#include "macrorecord.h"
#include "writers.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QDialog;
class QToolButton;
class MacroPanel;
class Ui_Buttoninterface;

class Buttoninterface : public QWidget
{
    Q_OBJECT
public:
    // Row r (0-5) stands for device button kRowDeviceButtons[r]: rows 4 and 5
    // carry buttons 4 and 3.
    static constexpr int kRows = 6;
    static constexpr int kRowDeviceButtons[kRows] = {0, 1, 2, 4, 3, 5};

    explicit Buttoninterface(QWidget *parent = nullptr);
    ~Buttoninterface() override;

    // The device button of the first checked row (rows tested top to
    // bottom), or -1 when no row is selected.
    int SelectedDeviceButton() const;
    // The row button that stands for `button`, or null outside 0-5.
    QToolButton *RowOfDeviceButton(int button) const;
    // The 17 buttons of the function list, top to bottom.
    QList<QToolButton *> FunctionListButtons() const;

    // The settings image whose functions the rows show: the mouse's own image
    // while it is online and its whole dump was taken, otherwise a copy of the
    // image the page was last filled from; none before the first fill and
    // after a reset to the defaults.
    std::optional<FlashDataMap> ShownImage() const;
    // Captions the row of device button `button` (0-5) with the function of
    // the entry (type, param1, param2) and the records of `image`; entries
    // without a caption leave the row as it is. A macro entry also hands the
    // device's record to the macro editor (SigButtonToMacro), which writes the
    // macro's file from it, when its name is a safe file name; for a macro
    // saved but not yet on the mouse the saved file is sent to the button
    // instead, once the fill is over.
    void ShowButtonFunction(int button, int type, int param1, int param2, const FlashDataMap &image);

    // Clears every highlight of the detail lists (the macro list included).
    void UncheckFunctionButtons();
    // What the rows show: the entries and records of the device's buttons.
    const ButtonAssignments &Assignments() const { return Model; }
    // The function a button of the function or detail lists gives a row
    // (fire key and DPI lock with the values they take when chosen now).
    std::optional<Function> FunctionOfButton(const QAbstractButton *button) const;

    // Key records. A combination text ("Ctrl+Shift+A", "Ctrl+Num+") is split
    // into key names as KeyNames::SplitCombination does, its keys named as
    // the current layout shows them; a record holds three keys, so a longer
    // text keeps its first three.
    static QString ComboTextKept(const QString &text);
    static KeyRecord ComboTextToKeyRecord(const QString &text);
    // Key `name` as key `position` of `keyCount`: its press is event
    // `position`, its release event 2 * keyCount - 1 - position.
    static KeyRecord KeyNameToEvents(const QString &name, int position, int keyCount, KeyRecord record);
    // The display name of a stored code (its low byte) within an event kind.
    static QString KeyCodeToName(int code, int kind);
    // How many keys the caption of a combination record of `count` events names.
    static int CaptionKeyCount(int count);
    // The caption of a combination record: its keys' names joined by "+".
    static QString KeysCaption(const KeyRecord &keys);
    // Kind and code of event `index` of a macro record from a key name.
    static void MacroKeyNameToEvent(const QString &name, int index, MacroRecord &record);
    // Writes a combination to device button 0-5 and captions its row; the
    // function list stays open.
    void WriteKeyCombination(int button, const QString &text);
    // Writes the media key whose usage has the low byte `code` to device
    // button 0-5 and captions its row; any other code or button does nothing.
    void WriteMediaKey(int button, int code);
    // The media button whose usage has the low byte `code`, or null.
    QToolButton *MediaButtonOfCode(int code) const;

    // DPI-lock codes. The sensor's "SENSOR_<sensor>_DPI_<value>" definitions
    // give the code of a value; a sensor without any uses value / 50 - 1.
    static int DpiValueToCode(int value, const QString &sensor, const QVector<QString> &names,
                              const QVector<int> &values);
    // The value of a code, 0 when the sensor's definitions have none for it.
    static int DpiCodeToValue(int code, const QString &sensor, const QVector<QString> &names,
                              const QVector<int> &values);
    // The same for the current model's sensor and the page's definitions.
    int DpiValueToCode(int value) const;
    int DpiCodeToValue(int code) const;
    // The button of the DPI-lock list for `value` (100 to 1200), or null.
    QToolButton *DpiLockButtonOf(int value) const;

    // Writes the settings file of `DataMap` for the current model, whole or
    // not at all (see settingsfile.h); false when it could not be written.
    bool ExportSettings(const QString &path, const FlashDataMap &DataMap) const
    {
        return ProfileAndFileActions::ExportSettings(path, DataMap);
    }

    // Macros. The macro list shows the macro folder's files; it is the widget
    // of the macro list's scroll area.
    void BuildMacroPanel();
    enum class MacroBuild {
        Built,
        NotAllowed,     // writes are not allowed yet
        NoFile,         // the macro's file is missing or unreadable
        TooManyEvents,  // the file is over the record's limits (see MacroFile::Load)
    };
    // The device record of macro `name` from its file; `record` is set only
    // when the result is Built.
    MacroBuild BuildMacroRecord(const QString &name, MacroRecord *record) const;
    // The first word of the first line of the macro's file, without its line
    // end ("" for a first line without a word); "0" without a readable,
    // non-empty file.
    static QString ReadMacroLoopCode(const QString &name);
    // Replaces the macro's file with the single line `loopCode`, whole or not
    // at all; nothing for a name that is not safe as a file name.
    static void ResetMacroFile(const QString &name, const QString &loopCode);

    // The model's sensor name; the DPI-lock codes follow it.
    QString SensorName;
    // The numeric definitions of driver_sensor.h, in file order.
    QVector<QString> DefineNames;
    QVector<int> DefineValues;
    // The page's picture folder, ending in a separator.
    QString PictureDir;
    // The theme's button text colour as "r,g,b".
    QString ButtonColor;
    // Caption prefix of macro rows and item prefix of the profile box.
    QString MacroPrefix;
    QString ConfigPrefix;
    QButtonGroup *RowGroup = nullptr;       // the six rows
    QButtonGroup *FunctionGroup = nullptr;  // the 17 buttons of the function list
    QButtonGroup *DetailGroup = nullptr;    // the buttons of the detail lists
    // The fire key's interval and count until the fire-key dialog is first
    // accepted: the dialog's own defaults.
    int FireInterval = 10;
    int FireCount = 3;
    ::MacroPanel *MacroPanel = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

public slots:
    // Row selectors: open the lists at the row's current function.
    void on_StartPause_clicked();
    void on_FireKey_clicked();
    void on_TopMusic_clicked();
    void on_RightKey_clicked();
    void on_BackKey_clicked();
    void on_BackMusic_clicked();
    // Functions of the function list.
    void on_LeftKey_3_clicked(bool checked);
    void on_RightKey_3_clicked(bool checked);
    void on_MidKey_clicked(bool checked);
    void on_BackKey_2_clicked(bool checked);
    void on_ForWardKey_clicked(bool checked);
    void on_DPI_2_clicked(bool checked);
    void on_DPI_3_clicked(bool checked);
    void on_DPI_5_clicked(bool checked);
    // Key combination: asks for the keys with the key-combination dialog.
    void on_DPI_8_clicked();
    // Fire key. A press runs both, in this order: the writer acts only for a
    // double click (checked), the second opens the fire-key dialog, which
    // calls the writer itself when it is confirmed.
    void on_DPI_6_clicked(bool checked);
    void on_DPI_6_clicked();
    // A function chosen for the selected row: written, and on success (or
    // held until the mouse's settings are read) shown on the row and kept in
    // the model; the lists close. A function of the function list first
    // clears the highlights of the detail lists.
    void OnFunctionChosen(const Function &function);
    // Tilt, lighting and DPI functions of the detail lists.
    void on_VolumeUp_2_clicked(bool checked);
    void on_VolumeDown_2_clicked(bool checked);
    void on_VolumeUp_4_clicked(bool checked);
    void on_VolumeUp_5_clicked(bool checked);
    void on_VolumeUp_6_clicked(bool checked);
    void on_VolumeUp_7_clicked(bool checked);
    void on_VolumeUp_8_clicked(bool checked);
    void on_VolumeUp_9_clicked(bool checked);
    void on_VolumeUp_10_clicked(bool checked);
    // Media keys.
    void on_Player_clicked(bool checked);
    void on_StartPause_2_clicked(bool checked);
    void on_BackMusic_2_clicked(bool checked);
    void on_TopMusic_2_clicked(bool checked);
    void on_Mute_clicked(bool checked);
    void on_VolumeUp_clicked(bool checked);
    void on_VolumeDown_clicked(bool checked);
    void on_VolumeDown_4_clicked(bool checked);
    void on_VolumeDown_5_clicked(bool checked);
    void on_VolumeDown_6_clicked(bool checked);
    void on_VolumeDown_3_clicked(bool checked);
    void on_VolumeDown_8_clicked(bool checked);
    void on_VolumeDown_9_clicked(bool checked);
    void on_VolumeDown_7_clicked(bool checked);
    void on_VolumeDown_10_clicked(bool checked);
    void on_VolumeDown_12_clicked(bool checked);
    void on_VolumeDown_13_clicked(bool checked);
    void on_VolumeDown_11_clicked(bool checked);
    // DPI lock at 100 to 1200.
    void on_VolumeUp_11_clicked(bool checked);
    void on_VolumeUp_12_clicked(bool checked);
    void on_VolumeUp_13_clicked(bool checked);
    void on_VolumeUp_16_clicked(bool checked);
    void on_VolumeUp_15_clicked(bool checked);
    void on_VolumeUp_19_clicked(bool checked);
    void on_VolumeUp_20_clicked(bool checked);
    void on_VolumeUp_22_clicked(bool checked);
    void on_VolumeUp_18_clicked(bool checked);
    void on_VolumeUp_24_clicked(bool checked);
    void on_VolumeUp_23_clicked(bool checked);
    void on_VolumeUp_21_clicked(bool checked);
    // Detail-list openers.
    void on_DPI_11_clicked();
    // The macro list, or the notice that no macro exists.
    void on_DPI_10_clicked();
    void on_DPI_9_clicked();
    void on_DPI_7_clicked();
    void on_DPI_12_clicked();
    void on_DPI_4_clicked();
    void SlotAddMacroButton();
    // Marker buttons on the mouse picture: select row 1 to 6.
    void on_Number1_clicked();
    void on_Number2_clicked();
    void on_Number3_clicked();
    void on_Number4_clicked();
    void on_Number5_clicked();
    void on_Number6_clicked();
    // SigUpDataLightUIButton (blocking queued): a whole image read from the
    // mouse or taken from the cache.
    void SlotUpDataButtonUIButton(FlashDataMap DataMap);
    // SigUpDataConfigUI (blocking queued): the mouse's profiles. ToTalItem
    // above 0 lists that many with SelectIndex current, 0 one item, below 0
    // none; the box is enabled with ItemEnable.
    void SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    // SigUpDataButtonUIC: an imported settings file or the cached image that
    // the wait popup applied.
    void SlotUpDataButtonUIB(FlashDataMap DataMap);
    // SigDeleteMacroButton: the rows whose caption is `MacroName` (the editor's
    // caption prefix and the macro's name) get the model's default back.
    void SlotDeleteMacroButton(QString MacroName);
    // SigUpDataMacro: the editor saved macro `MacroName`; index 0 its events
    // changed (the rows showing it are downloaded again after a wait), 1 its
    // loop mode (their entries get the file's loop code).
    void SlotUpDataMacro(QString MacroName, int index);
    // SigMacroRename: the rows showing macro `OldName` show `NewName`, and
    // their device records take the new name.
    void SlotMacroRename(QString OldName, QString NewName);
    // SigFormReset (blocking queued): the device is offline and no cached image exists.
    void SlotFormResetButton();
    // SigMouseIndex: the mouse picture is set again (there is one picture).
    void SlotMouseIndex(int index);
    void on_DPI_13_clicked();
    // Wheel up and down.
    void on_VolumeUp_14_clicked(bool checked);
    void on_VolumeDown_14_clicked(bool checked);
    // A macro chosen on the macro list: gives the selected row that macro.
    void AssignMacro(const QString &name);
    // Loads the texts of language `index` (see LoadLanguage).
    void SlotChangeLanguage(int index);
    // The whole mouse: its profile, the reset to its factory settings and the
    // import of a settings file. A profile chosen while the mouse is away
    // goes back to the one shown before.
    void on_ProjectChoose_activated(int index);
    void on_Reset_clicked();
    void on_OutputData_clicked();
    void on_ImportData_clicked();

private:
    // What a left press at page point `at` does, given which lists are open.
    struct PressOutcome {
        bool closeLists = false;
        bool clearRows = false;
    };
    PressOutcome PressOutcomeAt(const QPoint &at, bool functionListOpen, bool detailListOpen) const;

    // Shows the closed state of both lists: the empty function page, the
    // debounce panel, and the rows' 10 px scroll bar.
    void CloseFunctionLists();
    // Gives the rows' vertical scroll bar its 10 px width.
    void ShowRowsScrollBar();
    // Unchecks all six rows.
    void ClearRowSelection();
    // Selects row `row` (0-5) for a marker button.
    void SelectRowFromMarker(int row);
    // What a click on row `row` (device button `button`) does: refuses when
    // it is the one row left with the left button, otherwise opens the lists
    // at the row's function, highlighted and scrolled into view.
    void SelectRow(int row, int button);
    // Shows the function list and `detailPage`, checking `category` and
    // `function` where given.
    void OpenListsAt(QWidget *detailPage, QToolButton *category, QToolButton *function);
    // Highlights the row's macro on the macro list and scrolls to it.
    void ShowMacroOfRow(int row);
    // The media button of device button `button`'s key record in the image the
    // page shows, or null when the record is no media key.
    QToolButton *MediaButtonOfRow(int button) const;

    // The button that gives an entry of type 0-4, 7-9 or 11, or null.
    QToolButton *FunctionButtonOf(int type, int param1) const;
    // Hands a macro row's record on to the macro editor, or sends the saved
    // file of a macro not yet on the mouse.
    void FollowMacroRow(int button, const FlashDataMap &image);
    // A pending macro (pendingmacros.h) whose saved file is there; a pending
    // macro without a file loses its mark.
    bool HoldsPendingMacro(const QString &name) const;
    void SendSavedMacro(int button, const QString &name);
    // Fills the page lists from the image's first KeyNumber entries and
    // captions their rows.
    void ShowButtons(const FlashDataMap &image);

    // The forwarders' common step: a checked click chooses the button's function.
    void ChooseFunctionOf(QAbstractButton *button, bool checked);
    // Writes `function` to the selected row's device button; unless the mouse
    // refused it, the row shows the function's caption and the model keeps
    // it. Refused, with nothing written, when no row is selected.
    WriteResult AssignToSelectedRow(const Function &function);
    // The same for the row of device button `device`.
    WriteResult AssignToDevice(int device, const Function &function);
    // Sends `function` to device button `device` by the writer its kind needs.
    static WriteResult WriteFunction(int device, const Function &function);
    // Gives device button `device` its factory function again (a row's
    // default after its macro was deleted), its key record cleared.
    void RestoreFunctionDefault(int device, QToolButton *button);
    // The texts captions are made of, as the page shows them now.
    CaptionTexts CurrentCaptionTexts() const;
    // Shows `function`'s caption on the row of device button `device`; a
    // function without one leaves the caption.
    void ShowCaption(int device, const Function &function);

    // The one table of the function buttons, and the connections of the form.
    void BuildFunctionTable();
    void ConnectForm();

    void SetupButtonGroups();
    // Device buttons of the rows that play macro `name` (see the model).
    QList<int> RowsShowingMacro(const QString &name) const;
    // Runs `notice` modally over the page at the offset of the page's notices.
    void RunNotice(QDialog &notice);
    void ReadSensorDefinitions();
    void ApplyListSheets();
    void ApplyProfileBoxSheets();
    void ApplyButtonSheets();
    void ApplyBoxSheets();

    // Texts of language `index`: the function list's font first (also
    // without a file), then the page's element of the language file; then,
    // unless the file did not open or is no language file, and only for a
    // model with cached settings, the rows are captioned again (not at the
    // first load) and the profile items take the new prefix.
    void LoadLanguage(bool FirstLoad, int index);
    TagMap PageTextTargets();
    // Keeps the profile items' count, current item and enabled state.
    void RebuildProfileItems();
    // The current model's sensor name (Config.ini); empty while no model is known.
    static QString CurrentSensorName();
    // The sleep time of an image in seconds, as the settings page shows it.
    static int SleepSeconds(const FlashDataMap &image);
    // The page's one mouse picture on `widget`.
    void ShowMousePicture();

    Ui_Buttoninterface *ui;
    ButtonAssignments Model;
    RowList *TheRows = nullptr;
    FunctionLists *Lists = nullptr;
    ProfileAndFileActions *WholeMouse = nullptr;
    // What each function button gives a row.
    QHash<QAbstractButton *, Function> FunctionTable;
    // The connection on which sending a pending macro was refused.
    uint64_t pendingSendRefusedOn = 0;
};
