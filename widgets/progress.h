#pragma once
// The firmware update's progress notice: a percentage line and a bar while
// the update runs, then a failure or success line with a confirm button.
// Closing after a failure goes back to the device-selection page; closing in
// any other state resets the notice and lets the update sequence go on.

#include "noticedialog.h"

#include <QString>

class Progress : public NoticeDialog
{
    Q_OBJECT
public:
    explicit Progress(QWidget *parent = nullptr);
    ~Progress() override;

    // What the notice shows: the update's course, its failure or its success.
    enum class State { Running, Failed, Succeeded };

public slots:
    void SlotChangeLanguage(int index);
    void SlotCloseProgress();
    // One progress report: the bar takes `schedue`; `Discrib` 0 shows the
    // percentage, 1 the failure, 2 the success, 3 hides the confirm button,
    // 4 starts over at 0.
    void SlotProgress(int schedue, int Discrib);
    void on_CloseButton_clicked();
    void on_NewHong_clicked();

protected:
    // Escape (and any other rejection) goes the way of the close button,
    // busy guard included.
    void reject() override;

private:
    void BuildProgressBar();
    QString PercentageLine(int percent) const;
    void ShowPercentage(int percent);
    void Reset();
    void Finish();
    void CloseNow();

    QString updateNotMoveText;
    QString updateFailText;
    QString updateSuccessText;
    // Kept apart from the label: the label's text changes with the language,
    // the outcome does not.
    State state = State::Running;
    bool closingItself = false;
};
