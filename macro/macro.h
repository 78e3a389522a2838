#pragma once
// The macro editor, third of the device page's settings pages.
//
// Left the list of the user's macros, one per file of the macro folder (see
// macrofile.h); in the middle the events of the selected macro; on the right
// the loop mode that tells the mouse how to repeat it, and Save, which writes
// the macro's file and tells the button page what changed (SigUpDataMacro:
// index 0 the events, 1 the loop mode).
//
// The selected macro is the current item of the macro list. Whenever it
// changes, by a click, a right press or the keyboard, the page loads that
// macro's file, so the events shown always belong to the selected macro and
// the list's context menu acts on the macro shown. Code that sets the current
// item itself (New, Delete) blocks the list's signals and loads nothing.
//
// New, Rename and Delete change the macro folder first and the list only
// when the folder change worked; a name is taken while anything of that name
// is in the folder, listed or not.
//
// The event list is edited through the event menu (a key press or release
// from the single-key dialog, a delay from the delay dialog, a click of one of
// the five mouse buttons), Amend and DeleteKey. Every edit keeps the list in
// its alternating shape key, delay, key, ..., key: keys and clicks bring
// "10ms" delays with them, and a deleted key takes its delay along. The mouse
// holds at most 70 key events per macro, so the menu adds none beyond that.
//
// Recording replaces the selected macro's events with the keys typed while
// a window of the program is in front, caught by the page's own KeyCapture:
// each press and release becomes a key item, with a delay item between two
// keys that is either the measured pause or the fixed delay of `DelayTime`.
// Keys without a name are left out, a held key gives one press and one
// release, a release whose press the page did not see is left out, and the 70th key ends the capture (the page keeps its recording
// look until Stop). While a recording runs, the device page's navigation is
// off (SigStartRecord(0), back on with (1)), the macro list and the event
// menu are disabled, and New, Delete, Save, Amend and DeleteKey refuse with
// the "please stop" notice. The back arrow's SigSetMacroPage ends a running
// recording. The capture goes with the page.
// Everything runs on the GUI thread.

#include "flashdatamap.h"
#include "keycapture.h"
#include "keylabels.h"
#include "macroitem.h"
#include "macrorecord.h"

#include <QIcon>
#include <QModelIndex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class LanguageReader;
class QButtonGroup;
class QListWidgetItem;
class Ui_Macro;

class Macro : public QWidget
{
    Q_OBJECT
public:
    explicit Macro(QWidget *parent = nullptr);
    ~Macro() override;

    // The key vocabulary (keynames.h), as the page's own operations.
    static QStringList KeyNameToHexCode(const QString &name);
    static QString HexCodeToKeyName(const QString &code, int kind);
    static void KeyNameToEvent(const QString &name, int button, int index, MacroRecord &record);
    static QString CodeToKeyName(int usage, int kind);
    static QString MouseCodeToName(int bit);

    // Fills the macro list from the macro folder (the argument is not used).
    void LoadMacroList(const QString &unused = QString());
    // Fills the event list and the loop controls from the selected macro's
    // file, then unblocks the loop controls' signals, which the selection
    // blocks before the load. A file without a loop line (a new macro, or
    // none at all) shows "repeat once".
    void LoadMacroEvents(const QString &unused = QString());
    // Writes the file of macro `name` whole: the loop code line, then the items.
    bool WriteMacroFile(const QString &name, int loopCode, const MacroItems &items) const;
    // Adds the event list's lines to the existing file of macro `name`, with
    // no loop line; nothing when there is no such file.
    bool AppendMacroFile(const QString &name) const;
    // Waits `ms` (a named wait) while serving events.
    static void WaitMs(int ms);
    // Creates the empty file of a new macro `name`; false, touching nothing,
    // when anything of that name is already in the folder.
    bool CreateMacroFile(const QString &name);

    // Append to the event list while a macro is selected: a key item, made
    // current; a delay item (ms rounded to whole milliseconds), with the item
    // before it made current.
    void AppendKeyItem(const QString &name, bool press);
    void AppendDelayItem(double ms);

    // Insert into the event list relative to the current row r, with "10ms"
    // delays that keep the list alternating; none moves the current item.
    // A key press or release: after the current key and its delay, after the
    // current delay, or at the end (alone in an empty list).
    void InsertKeyEvent(const QString &name, bool press);
    // A press and a release of a mouse button with "10ms" between them,
    // placed as InsertKeyEvent places a key.
    void InsertMouseClick(const QString &buttonName);
    // Sets the delay at the current position: the current delay, or the one
    // above the current key (inserted when there is none), which becomes
    // current. Nothing changes on the first row or without a current item.
    void InsertDelay(double ms);

    // The loop code of the checked loop box: 254, 255, 253 or the count.
    int LoopCode() const;
    // The event list as shown.
    MacroItems EventItems() const;

    const QString &MacroDir() const { return macroDir; }
    const QString &MacroCaptionPrefix() const { return macroCaptionPrefix; }
    bool EventsChanged() const { return eventsChanged; }
    bool LoopChanged() const { return loopChanged; }

    // Monotonic milliseconds; a recording measures the pauses between keys
    // with it. By default a QElapsedTimer started with the page.
    using RecordClock = std::function<qint64()>;
    void SetRecordClock(RecordClock clock);

public slots:
    void SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void SlotMacroDownLoadData(QString MacroName, int index);
    // SigSetMacroPage: the device page is left; a running recording ends and
    // Save is greyed.
    void SlotSetMacroPage();
    void SlotChangeLanguage(int index);

    void on_Save_clicked();
    void on_NumberEdit_valueChanged(int value);
    void on_listWidgetKey_itemChanged(QListWidgetItem *item);
    void on_listWidgetHong_clicked(const QModelIndex &index);
    void on_listWidgetHong_currentRowChanged(int row);
    void on_listWidgetHong_customContextMenuRequested(const QPoint &pos);
    void on_NewHong_clicked();
    void CreateMewMacro();
    void on_DeleteHong_clicked();
    void DeleteMacro();
    void RenameMacro();
    // The event menu: 1 and 2 a key press or release, 3 a delay, 4 to 8 a click
    // of the left, right, middle, forward or back button. Shows its empty
    // item 0 again afterwards.
    void on_ChooseEvent_activated(int index);
    // Changes the key of the current key item or the delay of the current
    // delay item.
    void on_Amend_clicked();
    // Removes the current item together with its neighbouring key or delay;
    // a list of fewer than four items is emptied at once.
    void on_DeleteKey_clicked();
    // Start needs a selected macro; it clears the macro's events and takes
    // keys until Stop, the back arrow or the 70th key. Stop enables Save.
    void on_StartRecord_clicked();
    void on_StopRecord_clicked();
    // The capture's callback: one key press (downOrUp true) or release.
    // `aotu`, the capture's repeat flag, is not used: a press of a key that
    // is already down is the key repeating, whatever came in between.
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu);
    // Writes the selected macro to an exchange file of the user's choice.
    void ExPortMacro();
    // Adds a macro from an exchange file of the user's choice; see Import.
    void InPortMacro();
    // The loop group's idToggled, connected directly.
    void OnLoopModeChanged(int id, bool checked);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void SetupButtonGroups();
    void ApplyListTheme();
    void ApplyComboTheme();
    void ApplyTextTheme();
    void ApplyButtonTheme();
    void SetSaveEnabled(bool enabled);
    void SelectMacro();
    void ShowLoopCode(int loopCode);
    QListWidgetItem *MakeEventItem(const MacroItem &item) const;
    // A key item shows the label the current layout gives its key's name
    // (keylabels.h) and holds name and label in kKeyNameRole; a delay item
    // shows its text.
    static constexpr int kKeyNameRole = Qt::UserRole + 1;
    static void SetItemText(QListWidgetItem *shown, const QString &text, const KeyLabels &labels);
    static MacroItem ItemOf(const QListWidgetItem *shown);
    void AppendEventItem(const MacroItem &item);
    void ShowPleaseStop();
    void ShowSameMacro();
    // Decodes the whole file first and adds the macro only when all of it is
    // sound: a name the folder lists back (cut to the record's 30 bytes), not
    // taken, the exchange tag, at most 70 keys. The file is written from the
    // decoded events, the list item becomes current without a load, and the
    // loop boxes show the imported loop code.
    void Import(const QByteArray &bytes);
    // True when a list item has the name or anything of that name is in the folder.
    bool IsNameTaken(const QString &name) const;
    // Runs the name dialog in `mode` (0 new, 1 rename); empty when cancelled.
    QString AskMacroName(int mode);
    bool MacroSelected() const;
    bool IsDelayRow(int row) const;
    int KeyItemCount() const;
    void InsertEventItems(int row, const MacroItems &items);
    void ReplaceEventItem(int row, const MacroItem &item);
    void MarkEventsChanged();
    bool RoomForKeys(int added);
    std::optional<QString> AskKeyName();
    std::optional<int> AskDelay();
    void ChooseKeyEvent(bool press);
    void ChooseDelay();
    void ChooseMouseClick(const QString &buttonName);
    void ShowIdleLayout();
    void ShowKeyNumberLimit();
    // The events a download of macro `name` sends: the event list when it is
    // the shown macro, else its saved file; nothing when it has neither.
    std::optional<MacroItems> DownloadItems(const QString &name) const;
    // The macro list's item named `name`, made current; a new item when
    // there is none (after the current one, which stays current, or at the end).
    void SelectOrInsertMacro(const QString &name);
    void RenameMouseButtonItems(const QStringList &oldNames);
    QString SelectedMacroName() const;

    Ui_Macro *ui = nullptr;
    std::unique_ptr<LanguageReader> reader;

    QString macroDir;
    QString pictureDir;
    QButtonGroup *delayGroup = nullptr;
    QButtonGroup *loopGroup = nullptr;
    QString buttonColorRgb;
    bool eventsChanged = false;
    bool loopChanged = false;
    // The last download refused for too many events; the same one again
    // (the same macro for another button) shows no second notice.
    std::optional<std::pair<QString, MacroItems>> refusedDownload;

    // Context-menu texts of the macro list and the button page's caption prefix.
    QString exportMenuText;
    QString renameMenuText;
    QString deleteMenuText;
    QString newMenuText;
    QString importMenuText;
    QString macroCaptionPrefix;

    QIcon pressIcon;
    QIcon releaseIcon;
    QIcon delayIcon;

    // Recording.
    KeyCapture keyboardHook;
    RecordClock recordClock;
    qint64 recordTimer = 0;           // recordClock() when the last key was taken
    bool awaitingFirstEvent = false;  // no delay goes before the next key taken
    int recordedKeyCount = 0;         // key items of this recording
    QSet<int> heldKeys;               // keys taken as pressed and not yet released
};
