#pragma once
// The panels whose one control is a combo box (DebounceTime, StopCloseTime).
// A host fills them through SetCurrentIndex, which never writes: only a
// choice of the user reaches the panel's writer.

#include <QFrame>
#include <QString>

class QComboBox;

class ComboPanel : public QFrame
{
    Q_OBJECT
public:
    // Blocks or unblocks the box's signals; returns the previous state.
    bool BlockSignals(bool block);
    // Selects item `index` with the box's signals blocked; an index the box
    // does not hold leaves it without a current item.
    void SetCurrentIndex(int index);
    void SetItemText(int index, const QString &text);

protected:
    explicit ComboPanel(QWidget *parent);
    // The derived panel hands over its form's box once the form is built.
    void SetBox(QComboBox *box);

private:
    QComboBox *m_box = nullptr;
};
