#include "myprogressbar.h"

#include "waits.h"

#include <QTimer>

namespace {
constexpr int kFillStepMs = 5;  // one percent per step when a stage ends
}

MyProgressBar::MyProgressBar(QWidget *parent)
    : QProgressBar(parent)
    , SlowTimer(new QTimer(this))
    , FastTimer(new QTimer(this))
{
    setOrientation(Qt::Horizontal);
    setRange(0, 100);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetValueWithText(0);
    SlowTimer->setObjectName(QStringLiteral("SlowTimer"));
    FastTimer->setObjectName(QStringLiteral("FastTimer"));
    connect(SlowTimer, &QTimer::timeout, this, &MyProgressBar::Creep);
    connect(FastTimer, &QTimer::timeout, this, &MyProgressBar::Fill);
}

MyProgressBar::~MyProgressBar() = default;

QVector<int> MyProgressBar::BuildStageBounds(int stages)
{
    QVector<int> bounds{0};
    if (stages > 1) {
        const int step = 100 / stages;
        for (int i = 1; i < stages; ++i)
            bounds.append(bounds.last() + step);
    }
    bounds.append(100);
    return bounds;
}

void MyProgressBar::Start(int stages, int intervalMs)
{
    FastTimer->stop();
    Stage = 0;
    SetValueWithText(0);
    StageBounds = BuildStageBounds(stages);
    SlowTimer->start(qMax(1, intervalMs));
}

void MyProgressBar::SetValueWithText(int value)
{
    setValue(value);
    const int span = maximum() - minimum();
    const double percent = span > 0 ? (this->value() - minimum()) * 100.0 / span : 0.0;
    setFormat(QStringLiteral("%1%").arg(percent, 0, 'f', 1));
}

void MyProgressBar::Creep()
{
    // The creep heads for the bound after the current one and stops one below
    // it; in the last stage there is no such bound and nothing moves.
    const int next = Stage + 1;
    if (next >= StageBounds.size())
        return;
    if (value() <= StageBounds.at(next) - 2)
        SetValueWithText(value() + 1);
}

void MyProgressBar::Fill()
{
    if (Stage < StageBounds.size() && value() < StageBounds.at(Stage))
        SetValueWithText(value() + 1);
    else
        FastTimer->stop();
}

void MyProgressBar::mUpdate()
{
    // Before the first Start there are no stages to end.
    if (StageBounds.isEmpty() || Stage >= StageBounds.size() - 1)
        return;
    ++Stage;
    FastTimer->start(Waits::Scaled(kFillStepMs));
    if (StageBounds.at(Stage) == StageBounds.last())
        SlowTimer->stop();
}
