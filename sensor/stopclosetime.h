#pragma once
// The sleep-time panel that the settings page places: eleven idle times from
// 10 s to 40 min after which the mouse switches its light off (the table in
// sleeptime.h). Only a choice by the user writes image byte 8.

#include "combopanel.h"

namespace Ui {
class StopCloseTime;
}

class StopCloseTime : public ComboPanel
{
    Q_OBJECT
public:
    explicit StopCloseTime(QWidget *parent = nullptr);
    ~StopCloseTime() override;

private slots:
    void on_StopClose_activated(int index);

private:
    Ui::StopCloseTime *ui;
    QString m_pictureDir;
};
