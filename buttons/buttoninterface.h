#pragma once
// The button assignment page, first of the device page's four settings pages.
//
// Six rows stand for the mouse's buttons 0-5; the function list
// (`stackedWidget`) and the detail lists (`stackedWidget_2`) offer what a row
// can be given. The page keeps a copy of the device's button table in three
// lists, indexed by device button. It owns the one Worker (created here,
// stopped by the destructor) and answers the image signals: every fill raises
// g_ButtonRefreshing for its duration, and a fill from a device read ends with
// g_ButtonFilled set, which the wait popup waits for. A fill also hands the
// image's sleep time on to the settings page (SigLightToFrom). The macro and
// profile slots accept their signals and change nothing.
//
// The slots are connected by object name when the form is built, in the
// order in which they are declared here: a button with a (bool) slot and an
// argument-less slot runs both on one click, in this order.

#include "flashdatamap.h"

#include <QString>
#include <QVector>
#include <QWidget>

class QButtonGroup;
class QToolButton;
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

    // The page's copy of the device's button table (KeyEntry Type, Param1,
    // Param2), indexed by device button.
    QVector<int> KeyTypeList;
    QVector<int> KeyParam1List;
    QVector<int> KeyParam2List;
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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

public slots:
    // Detail-list openers.
    void on_DPI_11_clicked();
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
    // SigUpDataConfigUI (blocking queued): the profile choice.
    void SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    // SigUpDataButtonUIC: an imported settings file or the cached image that
    // the wait popup applied.
    void SlotUpDataButtonUIB(FlashDataMap DataMap);
    void SlotDeleteMacroButton(QString MacroName);
    void SlotUpDataMacro(QString MacroName, int index);
    void SlotMacroRename(QString Rename, QString Name);
    // SigFormReset (blocking queued): the device is offline and no cached image exists.
    void SlotFormResetButton();
    // SigMouseIndex: the mouse picture is set again (there is one picture).
    void SlotMouseIndex(int index);
    void on_DPI_13_clicked();
    void SlotChangeLanguage(int index);

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
    // Unchecks all six rows.
    void ClearRowSelection();
    // Selects row `row` (0-5) for a marker button.
    void SelectRowFromMarker(int row);

    void SetupButtonGroups();
    void ReadSensorDefinitions();
    void ApplyListSheets();
    void ApplyProfileBoxSheets();
    void ApplyButtonSheets();
    void ApplyBoxSheets();

    // The sleep time of an image in seconds, as the settings page shows it.
    static int SleepSeconds(const FlashDataMap &image);

    Ui_Buttoninterface *ui;
    QToolButton *Rows[kRows] = {};
};
