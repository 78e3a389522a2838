#pragma once
// The lift-off distance as a row of exclusive check boxes: "1mm", "2mm" and,
// when the host shows it, "0.7mm" in front. A click writes image byte 5
// (1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm) while writes are allowed and the sensor
// page is not filling itself, also when the box was already checked. No page
// places the panel; a host fills it and sets its texts.

#include <QFrame>
#include <QString>

class QButtonGroup;

namespace Ui {
class SensorLODB;
}

class SensorLODB : public QFrame
{
    Q_OBJECT
public:
    explicit SensorLODB(QWidget *parent = nullptr);
    ~SensorLODB() override;

    // Shows "0.7mm" and puts the boxes at x 80, 165, 250.
    void Show07mm();
    // Hides "0.7mm" and moves "1mm" and "2mm" to x 80 and 165.
    void Hide07mm();
    // Enables or disables "1mm" and "2mm"; "0.7mm" keeps its state.
    void SetChoiceEnabled(bool enabled);
    // `index` is image byte 5 minus 1: 0 checks "1mm", 1 "2mm", 2 "0.7mm" while
    // that box is shown (not hidden; it need not be on screen). Anything else
    // changes nothing. Never writes.
    void SelectByValue(int index);
    void SetLabelText(const QString &text);
    void SetLabelToolTip(const QString &text);

private slots:
    void on_MM1_clicked(bool checked);
    void on_MM2_clicked(bool checked);
    void on_MM0_clicked(bool checked);

private:
    static void WriteChoice(int code);
    void ApplyTheme();

    Ui::SensorLODB *ui;
    QString m_pictureDir;
    QButtonGroup *lodGroup;
};
