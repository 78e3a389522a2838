#pragma once
// The debounce panel that the button page places: a box of 0 to 20 ms whose
// index is the value of image byte 6. Very short times (0-3 ms) may make the
// buttons chatter, so choosing one shows the LessThree notice once the mouse
// has taken it.

#include "combopanel.h"

namespace Ui {
class DebounceTime;
}

class DebounceTime : public ComboPanel
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

    // Item `index` reads the number `index` followed by `unit`.
    void SetItemUnit(int index, const QString &unit);

private slots:
    void on_Debunce_currentIndexChanged(int index);

private:
    void ShowShortTimeNotice();

    Ui::DebounceTime *ui;
    QString m_pictureDir;
};
