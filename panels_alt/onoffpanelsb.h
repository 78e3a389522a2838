#pragma once
// The on/off panels in the mirrored layout: the label on the left, aligned
// right, and the toggle on the right. Same toggles, pictures, writers and
// coding as the sensor page's RippeControl, StraightLine and MotionSync; no
// page places them. A host sets the label, its tool tip and the toggle.

#include "onoffpanel.h"

// Ripple control, image byte 10.
class RippeControlB : public OnOffPanel
{
    Q_OBJECT
public:
    explicit RippeControlB(QWidget *parent = nullptr);

private slots:
    void on_RippeControl_2_clicked(bool checked);
};

// Straight-line correction, image byte 9.
class StraightLineB : public OnOffPanel
{
    Q_OBJECT
public:
    explicit StraightLineB(QWidget *parent = nullptr);

private slots:
    void on_StraightLine_2_clicked(bool checked);
};

// Motion sync, image byte 7.
class MotionSyncB : public OnOffPanel
{
    Q_OBJECT
public:
    explicit MotionSyncB(QWidget *parent = nullptr);

private slots:
    void on_MotionSync_2_clicked(bool checked);
};
