#pragma once
// Choosing a macro on the button page's macro list as a user does: the row
// is scrolled into view and clicked.

#include "macropanel.h"

#include <QTest>

namespace TestSupport {

// False, with nothing clicked, when the list has no macro `name`.
inline bool ClickMacroChoice(MacroPanel *list, const QString &name)
{
    const QModelIndex row = list->IndexOf(name);
    if (!row.isValid())
        return false;
    list->scrollTo(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(row).center());
    return true;
}

}  // namespace TestSupport
