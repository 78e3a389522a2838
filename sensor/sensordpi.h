#pragma once
// The DPI levels panel of the sensor page: up to eight levels side by side,
// each a value button (its DPI) over a colour marker (its indicator colour);
// the slider and read-only spin box show and change the current level's DPI,
// two step buttons walk the model's DPI grid, the count box sets how many
// levels the mouse cycles through, and the handle under the current level can
// be dragged onto another level.
//
// The panel never reads the settings image: the sensor page fills it through
// the setters below (with g_SensorRefreshing set, so nothing it sets is written
// back). What the user changes goes to the mouse at once through the one-field
// writers. Everything runs on the GUI thread.

#include <QColor>
#include <QFrame>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

class QButtonGroup;
class QColorDialog;
class QLabel;
class QMouseEvent;
class QToolButton;
class Ui_SensorDPI;

class SensorDPI : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kLevels = 8;

    explicit SensorDPI(QWidget *parent = nullptr);
    ~SensorDPI() override;

    // --- What the sensor page calls to fill and reset the panel ---
    void SetLabelText(const QString &text);
    void SetSliderMinimum(int value);
    void SetSliderMaximum(int value);
    // Runs the value handler when the value changes and the slider's signals
    // are not blocked; it sends only while writes are allowed and no fill runs.
    void SetSliderValue(int value);
    void SetSliderEnabled(bool enabled);
    // Both return the previous blocking state.
    bool BlockSliderSignals(bool block);
    bool BlockCountSignals(bool block);
    void SetSpinValue(int value);
    void ClearCountItems();
    void InsertCountItem(int index, const QString &text);
    // The count handler does nothing while g_SensorRefreshing is set.
    void SetCountIndex(int index);
    // Shows levels 0..n (n 0 to 7) and hides the others; any other n: nothing.
    void ShowLevels(int n);
    // Puts the handle under level k - 1 (k 1 to 8); any other k: nothing.
    void MoveHandle(int k);
    // Checks the level's value button (0 to 7). Its handler selects the level
    // and writes it only while writes are allowed and no fill runs.
    void CheckLevelButton(int level);
    void SetCurrentLevel(int level);
    void SetLevelCount(int count);
    // hex is "#rrggbb"; the marker keeps its paint until it is next repainted.
    void SetLevelColor(int level, const QString &hex);
    void SetLevelText(int level, const QString &text);
    // Paints the given level's marker selected and every other marker not
    // selected (at home size).
    void HighlightMarker(int level);
    // Colours (DPIColor) and values (DPIGrade) of the current model's group.
    void LoadDefaultLevels();

    // Unused by the page, kept with the rest of the panel's accessors.
    void BlockAllSignals(bool block);
    void BlockLevelSignals(bool block);
    void SetSpinVisible(bool visible);

    // --- State, for the page and for tests ---
    int GetCurrentLevel() const { return CurrentLevel; }
    int GetLevelCount() const { return LevelCount; }
    // "r,g,b" of a level (0 to 7); empty for any other level.
    QString GetLevelColor(int level) const;
    QPoint SnapPoint(int level) const;
    QColorDialog *GetColorDialog() const { return ColorDialog; }

    // The selection step of a handle drop; false (and the offline notice) when
    // writes are allowed and the mouse is away, and then nothing is selected.
    bool SelectDraggedLevel(int level);

public slots:
    // The colour dialog's colorSelected: the colour of the level whose marker
    // is checked.
    void SetColor(const QColor &color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private slots:
    void on_BlueButton_toggled(bool checked);
    void on_BlueButton_clicked();
    void on_BrightRedButton_toggled(bool checked);
    void on_BrightRedButton_clicked();
    void on_RedButton_toggled(bool checked);
    void on_RedButton_clicked();
    void on_YellowButton_toggled(bool checked);
    void on_YellowButton_clicked();
    void on_GreenButton_toggled(bool checked);
    void on_GreenButton_clicked();
    void on_PurpleButton_toggled(bool checked);
    void on_PurpleButton_clicked();
    void on_LightBlueButton_toggled(bool checked);
    void on_LightBlueButton_clicked();
    void on_LightYellowButton_toggled(bool checked);
    void on_LightYellowButton_clicked();

    void on_BlueButtonA_toggled(bool checked);
    void on_BlueButtonA_clicked();
    void on_BrightRedButtonA_toggled(bool checked);
    void on_BrightRedButtonA_clicked();
    void on_RedButtonA_toggled(bool checked);
    void on_RedButtonA_clicked();
    void on_YellowButtonA_toggled(bool checked);
    void on_YellowButtonA_clicked();
    void on_GreenButtonA_toggled(bool checked);
    void on_GreenButtonA_clicked();
    void on_PurpleButtonA_toggled(bool checked);
    void on_PurpleButtonA_clicked();
    void on_LightBlueButtonA_toggled(bool checked);
    void on_LightBlueButtonA_clicked();
    void on_LightYellowButtonA_toggled(bool checked);
    void on_LightYellowButtonA_clicked();

    void on_horizontalSliderC_valueChanged(int value);
    void on_horizontalSliderC_sliderMoved(int value);
    void on_ReduceLevelA_clicked();
    void on_AddLevelA_clicked();
    void on_ChooseEvent_currentIndexChanged(int index);

private:
    void ApplyThemeStyles();
    void ThemeColorDialog();
    void OpenColorDialog(int level);
    QColor LevelColor(int level) const;
    void StoreHomeGeometry();

    // Per-level handlers behind the named slots.
    void ValueButtonToggled(int level, bool checked);
    void ValueButtonClicked(int level);
    void MarkerToggled(int level, bool checked);

    // Puts level `level`'s value on the slider without sending it: the set
    // runs with the slider's signals blocked, and the level's text and the
    // spin box take the snapped value directly.
    void ShowLevelValue(int level);
    // Range snapping; may change the slider's page step.
    int Snap(int value);
    int StepUp(int value) const;
    int StepDown(int value) const;
    bool StepButtonsMayRun();
    void ApplyStep(int value);

    void PaintMarker(int level);
    QString ValueStyle(bool selected) const;
    QString MarkerStyle(int level, bool selected) const;
    int CheckedValueLevel() const;
    int CheckedMarkerLevel() const;
    int LevelValue(int level) const;
    void ExchangeWithLastLevel(int old, int last);
    void SelectLastLevelAfterBadCurrent(int last);
    void WriteLevelCount(int count);
    void PlaceHandleAt(const QPoint &point);
    void ReleaseHandle(const QPoint &pos);

    Ui_SensorDPI *ui;
    QString PictureDir;
    QButtonGroup *ValueGroup = nullptr;
    QButtonGroup *MarkerGroup = nullptr;
    QColorDialog *ColorDialog = nullptr;
    QStringList ButtonColorList;
    QString ButtonColor;
    std::array<QToolButton *, kLevels> ValueButtons{};
    std::array<QToolButton *, kLevels> Markers{};
    std::array<QRect, kLevels> ButtonHomeRects;
    std::array<QRect, kLevels> MarkerHomeRects;
    std::array<QPoint, kLevels> SnapPoints;
    QRect DragArea;
    bool Dragging = false;
    QPoint GrabOffset;
    int CurrentLevel = 1;
    int LevelCount = 1;
    std::array<QString, kLevels> LevelColors;
    int SwapFrom = 0;
};
