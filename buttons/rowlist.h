#pragma once
// The six rows of the button page and the six markers on the mouse picture:
// which row is selected, the row of a device button, and the left-button
// guard, which asks the model (a mouse needs one button with the left click).

#include "buttonassignments.h"

#include <QObject>
#include <array>

class QAbstractButton;
class QButtonGroup;
class QToolButton;

class RowList : public QObject
{
    Q_OBJECT
public:
    using Rows = std::array<QToolButton *, ButtonAssignments::kRows>;
    using Markers = std::array<QAbstractButton *, ButtonAssignments::kRows>;

    // The rows join one exclusive group, a child of this object.
    RowList(const Rows &rows, const Markers &markers, const ButtonAssignments &model, QObject *parent);

    QButtonGroup *Group() const { return m_group; }
    // The first checked row, tested top to bottom, or -1.
    int SelectedRow() const;
    // Its device button, or -1 when no row is selected.
    int SelectedDeviceButton() const;
    // The row button that stands for device button `device`, or null.
    QToolButton *RowOfDevice(int device) const;
    QToolButton *Row(int row) const { return m_rows.at(size_t(row)); }
    // Unchecks all six rows.
    void Clear();
    // Selects row `row` (0-5).
    void Select(int row);
    // The row may not be opened: it is the only one with the left button.
    bool RefusesSelection(int row) const { return m_model.IsOnlyLeftButtonRow(row); }

signals:
    // A row button was clicked (the row is checked already).
    void RowClicked(int row);
    // A marker on the mouse picture was clicked.
    void MarkerClicked(int row);

private:
    Rows m_rows;
    const ButtonAssignments &m_model;
    QButtonGroup *m_group;
};
