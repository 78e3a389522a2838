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
    // Selects `index` as a choice of the user does: when it is not the
    // current item, it is shown, written and, for a very short time, followed
    // by the notice. The button page takes an imported image this way.
    void ChooseIndex(int index);

private slots:
    void on_Debunce_currentIndexChanged(int index);

private:
    // Writes a chosen time (writes allowed) and warns about a very short one.
    void TakeChoice(int index);
    void ShowShortTimeNotice();

    Ui::DebounceTime *ui;
    QString m_pictureDir;
};
