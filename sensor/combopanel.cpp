#include "combopanel.h"

#include <QComboBox>

ComboPanel::ComboPanel(QWidget *parent) : QFrame(parent) {}

void ComboPanel::SetBox(QComboBox *box)
{
    m_box = box;
}

bool ComboPanel::BlockSignals(bool block)
{
    return m_box->blockSignals(block);
}

void ComboPanel::SetCurrentIndex(int index)
{
    const bool wasBlocked = m_box->blockSignals(true);
    m_box->setCurrentIndex(index);
    m_box->blockSignals(wasBlocked);
}

void ComboPanel::SetItemText(int index, const QString &text)
{
    m_box->setItemText(index, text);
}
