#pragma once
// The debounce panel that the button page places: a box of 0 to 20 ms whose
// index is the value of image byte 6. Very short times (0-3 ms) may make the
// buttons chatter, so choosing one shows the LessThree notice once the mouse
// has taken it.

#include <QFrame>
#include <QString>

namespace Ui {
class DebounceTime;
}

class DebounceTime : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kMaxMs = 20;
    // Times up to this one are followed by the LessThree notice.
    static constexpr int kNoticeUpToMs = 3;
    // Where the notice goes, relative to the panel centred under it.
    static constexpr int kNoticeDx = -409;
    static constexpr int kNoticeDy = -202;

    explicit DebounceTime(QWidget *parent = nullptr);
    ~DebounceTime() override;

    // Blocks or unblocks the box's signals; returns the previous state.
    bool BlockSignals(bool block);
    // Selects item `index`. Signals are not blocked: unless the host blocked
    // them, the choice is written as if the user made it.
    void SetCurrentIndex(int index);
    // Item `index` reads the number `index` followed by `unit`.
    void SetItemUnit(int index, const QString &unit);

private slots:
    void on_Debunce_currentIndexChanged(int index);

private:
    void ShowShortTimeNotice();

    Ui::DebounceTime *ui;
    QString m_pictureDir;
};
