#pragma once
// The debounce time (image byte 6, 0-20 ms) stepped with a plus and a minus
// button around a read-only number. Each step is written while writes are
// allowed. No page places the panel; a host fills it and gives it its unit.

#include <QFrame>
#include <QString>

namespace Ui {
class DebouncetimeC;
}

class DebouncetimeC : public QFrame
{
    Q_OBJECT
public:
    explicit DebouncetimeC(QWidget *parent = nullptr);
    ~DebouncetimeC() override;

    // Shows `v`, held within 0-20, without writing.
    void SetValue(int v);
    void SetSuffix(const QString &unit);

private slots:
    // At 20 it does nothing.
    void on_AddLevelA_clicked();
    // At 1 it does nothing; at 0 it stays at 0 and writes 0 again.
    void on_ReduceLevelA_clicked();

private:
    void WriteShown();

    Ui::DebouncetimeC *ui;
    QString m_pictureDir;
};
