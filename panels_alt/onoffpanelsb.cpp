#include "onoffpanelsb.h"

#include "writers.h"

RippeControlB::RippeControlB(QWidget *parent)
    : OnOffPanel(parent, "RippeControl", "波纹控制", &WriteRippeControl, Layout::LabelFirst)
{
    QMetaObject::connectSlotsByName(this);
}

void RippeControlB::on_RippeControl_2_clicked(bool checked)
{
    WriteClickedState(checked);
}

StraightLineB::StraightLineB(QWidget *parent)
    : OnOffPanel(parent, "StraightLine", "直线修正", &WriteStraightLine, Layout::LabelFirst)
{
    QMetaObject::connectSlotsByName(this);
}

void StraightLineB::on_StraightLine_2_clicked(bool checked)
{
    WriteClickedState(checked);
}

MotionSyncB::MotionSyncB(QWidget *parent)
    : OnOffPanel(parent, "MotionSync", "motion sync", &WriteMotionSync, Layout::LabelFirst)
{
    QMetaObject::connectSlotsByName(this);
}

void MotionSyncB::on_MotionSync_2_clicked(bool checked)
{
    WriteClickedState(checked);
}
