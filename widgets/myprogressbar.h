#pragma once
#include <QProgressBar>
#include <QVector>

class QTimer;

// A progress bar for work that runs in a fixed number of stages of unknown
// length. While a stage runs the bar creeps slowly towards the end of that
// stage without reaching it; when the caller reports the end of the stage
// (mUpdate) it fills quickly up to the stage's bound. The text shows the
// percentage with one decimal, e.g. "37.0%".
class MyProgressBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit MyProgressBar(QWidget *parent = nullptr);
    ~MyProgressBar() override;

    // Begins a run of `stages` stages from 0, creeping one percent per
    // `intervalMs` milliseconds.
    void Start(int stages, int intervalMs);

    void SetValueWithText(int value);

    // The percentages at which the stages end: 0, k, 2k, ..., (n - 1)k, 100
    // with k = 100 / n; 0, 100 for a single stage or none.
    static QVector<int> BuildStageBounds(int stages);

public slots:
    // The current stage has ended.
    void mUpdate();

private:
    void Creep();
    void Fill();

    QVector<int> StageBounds;
    int Stage = 0;
    QTimer *SlowTimer;
    QTimer *FastTimer;
};
