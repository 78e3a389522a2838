#pragma once
// The lift-off distance panel of the sensor page: a box of "1mm" and "2mm",
// with "0.7mm" in front for the sensors that offer it. A choice writes image
// byte 5: 1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm.

#include <QFrame>
#include <QString>

namespace Ui {
class SensorLOD;
}

class SensorLOD : public QFrame
{
    Q_OBJECT
public:
    explicit SensorLOD(QWidget *parent = nullptr);
    ~SensorLOD() override;

    // Inserts "0.7mm" in front when the box holds the two plain items; the
    // item shown stays the same.
    void AddItem07mm();
    // Removes "0.7mm" when the box holds three items.
    void RemoveItem07mm();
    void SetComboEnabled(bool on);
    // `value` is image byte 5 minus 1: 0 selects 1 mm, 1 selects 2 mm, 2 selects
    // 0.7 mm (only when the box offers it). With two items a value that names
    // no item leaves the box without a current item; with three it changes nothing.
    void SelectByValue(int value);
    void SetLabelText(const QString &text);
    void SetLabelToolTip(const QString &text);
    // Labels the 1 mm and 2 mm items "1 " + unit and "2 " + unit.
    void SetItemUnit(const QString &unit);

    // The code that item `index` writes for a box of `itemCount` items; 0 when
    // the index names no item.
    static int CodeForIndex(int itemCount, int index);

private slots:
    void on_LOD_currentIndexChanged(int index);

private:
    bool HasItem07mm() const;
    void ApplyTheme();

    Ui::SensorLOD *ui;
    QString m_pictureDir;
};
