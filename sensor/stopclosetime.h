#pragma once
// The sleep-time panel that the settings page places: eleven idle times from
// 10 s to 40 min after which the mouse switches its light off. Image byte 8
// holds the time in units of 10 seconds. Only a choice by the user writes.

#include <QFrame>
#include <QString>

namespace Ui {
class StopCloseTime;
}

class StopCloseTime : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kItemCount = 11;
    // Item `index` -> code of image byte 8 (units of 10 s); 0 for no item.
    static int CodeForIndex(int index);

    explicit StopCloseTime(QWidget *parent = nullptr);
    ~StopCloseTime() override;

    // Selects the item with the box's signals blocked: never writes.
    void SetCurrentIndex(int index);
    void SetItemText(int index, const QString &text);

private slots:
    void on_StopClose_activated(int index);

private:
    Ui::StopCloseTime *ui;
    QString m_pictureDir;
};
