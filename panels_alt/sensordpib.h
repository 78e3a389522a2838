#pragma once
// The DPI levels as a table: one row per level with a check box that makes it
// the current level, a colour button, a slider and a read-only number for its
// DPI value, and above the rows the level-count box. It changes the same image
// fields as the sensor page's DPI panel: level count, current level, each
// level's DPI code (SendLevelDpi) and colour. No page places the panel; a host
// fills it through the operations below.
//
// What a host must know:
// - The first slider change after construction, and after each SelectLevel,
//   is shown but not sent; the next change of any slider is sent.
// - The sliders send whatever the write flags say (only the skip above, the
//   offline test and g_ApplyingSettings hold them back): a host that sets
//   values with SetLevelText or SetSliderValue blocks the sliders' signals
//   (BlockSliderSignals), or the values go to the mouse.
// - Inserting the first count item while the count box's signals are live
//   makes it current and runs the count handler: with the initial current
//   level 1 it exchanges rows 0 and 1, in the panel and, while writes are
//   allowed, in the mouse's image. A host blocks the count signals while it
//   fills (BlockCountSignals).
// Everything runs on the GUI thread.

#include <QFrame>
#include <QString>
#include <array>

class QButtonGroup;
class QCheckBox;
class QColor;
class QColorDialog;
class QSlider;
class QSpinBox;
class QToolButton;

namespace Ui {
class SensorDPIB;
}

class SensorDPIB : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kLevels = 8;

    explicit SensorDPIB(QWidget *parent = nullptr);
    ~SensorDPIB() override;

    // --- Host operations. A level outside 0-7 changes nothing. ---
    // Returns the previous blocking state.
    bool BlockCountSignals(bool block);
    // Empties the count box without running the count handler.
    void ClearCountItems();
    void InsertCountItem(int index, const QString &text);
    // Item `index` means index + 1 levels; the count handler runs when the
    // index changes and the box's signals are live.
    void SetCountIndex(int index);
    void BlockSliderSignals(bool block);
    void SetSliderEnabled(bool enabled);
    // The sliders' range; the numbers keep 50-100000.
    void SetSliderMinimum(int value);
    void SetSliderMaximum(int value);
    void SetSliderValue(int value, int level);
    void SetSpinValue(int value, int level);
    // `text` as a decimal number becomes the level's slider and number value.
    void SetLevelText(int level, const QString &text);
    // Stores the level's colour ("#rrggbb") without repainting its button.
    void SetLevelColor(int level, const QString &colour);
    // Repaint one level's colour button (levels 0 to 7 in this order) or all.
    void UpdateBlueButton();
    void UpdateBrightRedButton();
    void UpdateRedButton();
    void UpdateYellowButton();
    void UpdateGreenButton();
    void UpdatePurpleButton();
    void UpdateLightBlueButton();
    void UpdateLightYellowButton();
    void UpdateAllButtons();
    // Paints the buttons with a fixed set of colours; the stored level
    // colours stay.
    void ApplyPresetButtonColours();
    // Checks the level's box; its handler runs as for a click.
    void CheckLevelButton(int level);
    // With writes allowed and the mouse away (and no sensor-page fill): only
    // the offline notice. Otherwise the next slider change is skipped again
    // and the level's box is checked.
    void SelectLevel(int level);
    void SetCurrentLevel(int level);
    void SetLevelCount(int count);
    // Shows rows 0..n and hides the others (n 0 to 7; anything else: nothing).
    // Hidden rows keep their values and colours.
    void ShowLevels(int n);
    void SetLabelText(const QString &text);

    // --- State, for hosts and tests ---
    int GetCurrentLevel() const { return CurrentLevel; }
    int GetLevelCount() const { return LevelCount; }
    bool GetSkipNextSend() const { return SkipNextSend; }
    int GetColorTarget() const { return ColorTarget; }
    // The level's stored colour; empty for a level outside 0-7.
    QString GetLevelColor(int level) const;
    QColorDialog *GetColorDialog() const { return ColorDialog; }

public slots:
    // The colour dialog's choice for the level whose button opened it.
    void SetColor(const QColor &color);

private slots:
    void on_ChooseEvent_currentIndexChanged(int index);

    void on_horizontalSliderA_valueChanged(int value);
    void on_horizontalSliderB_valueChanged(int value);
    void on_horizontalSliderC_valueChanged(int value);
    void on_horizontalSliderD_valueChanged(int value);
    void on_horizontalSliderE_valueChanged(int value);
    void on_horizontalSliderF_valueChanged(int value);
    void on_horizontalSliderG_valueChanged(int value);
    void on_horizontalSliderH_valueChanged(int value);

    void on_MA_toggled(bool checked);
    void on_MB_toggled(bool checked);
    void on_MC_toggled(bool checked);
    void on_MD_toggled(bool checked);
    void on_ME_toggled(bool checked);
    void on_MF_toggled(bool checked);
    void on_MG_toggled(bool checked);
    void on_MH_toggled(bool checked);

    void on_BlueButtonA_clicked();
    void on_BrightRedButtonA_clicked();
    void on_RedButtonA_clicked();
    void on_YellowButtonA_clicked();
    void on_GreenButtonA_clicked();
    void on_PurpleButtonA_clicked();
    void on_LightBlueButtonA_clicked();
    void on_LightYellowButtonA_clicked();

private:
    void ApplyTheme();
    void RestyleButton(int level);
    void SliderChanged(int level, int value);
    void LevelToggled(int level, bool checked);
    void ColourButtonClicked(int level);
    void MoveCurrentLevelTo(int last, int current);

    Ui::SensorDPIB *ui;
    QColorDialog *ColorDialog = nullptr;
    QString PictureDir;
    QButtonGroup *LevelGroup = nullptr;
    int CurrentLevel = 1;
    int LevelCount = 1;
    std::array<QString, kLevels> LevelColors;
    bool SkipNextSend = false;
    int ColorTarget = 0;

    std::array<QCheckBox *, kLevels> Boxes{};
    std::array<QToolButton *, kLevels> ColourButtons{};
    std::array<QSlider *, kLevels> Sliders{};
    std::array<QSpinBox *, kLevels> Spins{};
};
