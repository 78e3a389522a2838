#include "rowlist.h"

#include <QButtonGroup>
#include <QToolButton>

RowList::RowList(const Rows &rows, const Markers &markers, const ButtonAssignments &model, QObject *parent)
    : QObject(parent), m_rows(rows), m_model(model), m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    for (int row = 0; row < ButtonAssignments::kRows; ++row) {
        m_group->addButton(m_rows[size_t(row)]);
        connect(m_rows[size_t(row)], &QAbstractButton::clicked, this, [this, row] { emit RowClicked(row); });
        connect(markers[size_t(row)], &QAbstractButton::clicked, this, [this, row] { emit MarkerClicked(row); });
    }
}

int RowList::SelectedRow() const
{
    for (int row = 0; row < ButtonAssignments::kRows; ++row) {
        if (m_rows[size_t(row)]->isChecked())
            return row;
    }
    return -1;
}

int RowList::SelectedDeviceButton() const
{
    return ButtonAssignments::DeviceOfRow(SelectedRow());
}

QToolButton *RowList::RowOfDevice(int device) const
{
    const int row = ButtonAssignments::RowOfDevice(device);
    return row < 0 ? nullptr : m_rows[size_t(row)];
}

void RowList::Clear()
{
    m_group->setExclusive(false);
    for (QToolButton *row : m_rows)
        row->setChecked(false);
    m_group->setExclusive(true);
}

void RowList::Select(int row)
{
    if (row >= 0 && row < ButtonAssignments::kRows)
        m_rows[size_t(row)]->setChecked(true);
}
