#pragma once
// The debounce time (image byte 6, 1-20 ms) on a slider with a read-only
// number beside it. Dragging only shows; the value is written once, when the
// handle is released (or at once for a step by a click on the groove), while
// writes are allowed. No page places the panel; a host fills it and gives it
// its unit.

#include <QFrame>
#include <QString>

namespace Ui {
class DebouncetimeB;
}

class DebouncetimeB : public QFrame
{
    Q_OBJECT
public:
    explicit DebouncetimeB(QWidget *parent = nullptr);
    ~DebouncetimeB() override;

    // Shows `v`, held within 1-20, without writing.
    void SetValue(int v);
    void SetSuffix(const QString &unit);

private slots:
    void on_Debunce_sliderMoved(int position);
    void on_Debunce_valueChanged(int value);

private:
    Ui::DebouncetimeB *ui;
    QString m_pictureDir;
};
