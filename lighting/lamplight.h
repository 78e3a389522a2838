#pragma once
// The lighting page: the mouse's LED lighting mode, brightness and speed, a
// custom colour (three channel boxes with plus and minus, a colour board that
// picks the screen colour under the cursor, 14 preset colours), lights off
// while moving, and the idle light-off time through a hosted sleep-time panel.
//
// Every change goes to a one-field writer (image bytes 67-73 and 11; the
// sleep-time panel writes byte 8 itself). The page fills itself from a
// settings image through SlotUpDataLightUILight / SlotUpDataLightUIA and
// resets through SlotFormResetLight; while it does, g_LightRefreshing is set
// and nothing is written. The page connects no hub signal: whoever places it
// decides what feeds it.

#include "flashdatamap.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QMouseEvent;
class QSpinBox;
class QToolButton;

namespace Ui {
class LampLight;
}

class LampLight : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kModeCount = 6;
    static constexpr int kPresetCount = 14;

    // The colour of preset button `index` (0 = A .. 13 = N).
    static QColor PresetColor(int index);

    explicit LampLight(QWidget *parent = nullptr);
    ~LampLight() override;

protected:
    // The colour board's pick and the focus rules of the channel boxes.
    void mousePressEvent(QMouseEvent *event) override;

public slots:
    // Fill the controls from an image without writing; the first enables the
    // brightness and speed sliders, the second disables them until the next
    // SlotUpDataLightUILight.
    void SlotUpDataLightUILight(FlashDataMap DataMap);
    void SlotUpDataLightUIA(FlashDataMap DataMap);
    // The defaults: mode 1, brightness 10, speed 8, lights off while moving,
    // one minute idle time. The colour and the sliders' enabled state stay.
    void SlotFormResetLight();
    // Texts of element "Light" in the language file of `index`.
    void SlotChangeLanguage(int index);

private slots:
    void on_AddR_clicked();
    void on_AddG_clicked();
    void on_AddB_clicked();
    void on_ReduceR_clicked();
    void on_ReduceG_clicked();
    void on_ReduceB_clicked();
    void on_RSpinBox_valueChanged(int value);
    void on_GSpinBox_valueChanged(int value);
    void on_BSpinBox_valueChanged(int value);
    void on_toolButtonColorA_clicked();
    void on_toolButtonColorB_clicked();
    void on_toolButtonColorC_clicked();
    void on_toolButtonColorD_clicked();
    void on_toolButtonColorE_clicked();
    void on_toolButtonColorF_clicked();
    void on_toolButtonColorG_clicked();
    void on_toolButtonColorH_clicked();
    void on_toolButtonColorI_clicked();
    void on_toolButtonColorJ_clicked();
    void on_toolButtonColorK_clicked();
    void on_toolButtonColorL_clicked();
    void on_toolButtonColorM_clicked();
    void on_toolButtonColorN_clicked();
    void on_horizontalLight_valueChanged(int value);
    void on_horizontalSpeed_valueChanged(int value);
    void on_LightMod_currentIndexChanged(int index);
    void on_RippeControl_clicked(bool checked);
    void on_horizontalLight_sliderMoved(int position);
    void on_horizontalSpeed_sliderMoved(int position);

private:
    enum class Channel { Red, Green, Blue };

    void ApplyTheme();
    void ShowModeWidgets(int index);
    void Refresh(const FlashDataMap &image, bool slidersEnabled);
    // False, after the offline notice, when a click must not go on.
    bool PassOfflineGuard();
    void StepChannel(Channel channel, int step);
    void ChannelChanged(Channel channel, int value);
    // The three boxes in R, G, B order, each writing as its value changes.
    void SetColorThroughBoxes(const QColor &color);
    void ApplyPreset(int index);
    void ShowPreview(int red, int green, int blue);
    void PickScreenColor();
    bool PressIsOn(const QWidget *widget, const QPoint &pagePos) const;
    QSpinBox *ChannelBox(Channel channel) const;
    QList<QWidget *> CustomColorWidgets() const;
    QList<QToolButton *> PresetButtons() const;

    Ui::LampLight *ui;
    QString m_pictureDir;
};
