#pragma once
// The macro page's event list as a user sees it: the rows of the list view
// `listWidgetKey`, read through its model, and clicks on them.

#include "macroitem.h"
#include "macroitemsmodel.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QListView>
#include <QtTest>

namespace EventRows {

inline int Count(const QListView *view)
{
    return view->model()->rowCount();
}

inline QString Text(const QListView *view, int row)
{
    return view->model()->index(row, 0).data().toString();
}

inline int Type(const QListView *view, int row)
{
    return view->model()->index(row, 0).data(MacroItemsModel::ItemTypeRole).toInt();
}

inline QIcon Icon(const QListView *view, int row)
{
    return view->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
}

inline MacroItem Item(const QListView *view, int row)
{
    return MacroItem{view->model()->index(row, 0).data(Qt::EditRole).toString(), Type(view, row)};
}

inline QStringList Texts(const QListView *view)
{
    QStringList texts;
    for (int row = 0; row < Count(view); ++row)
        texts << Text(view, row);
    return texts;
}

// -1 without a current row.
inline int CurrentRow(const QListView *view)
{
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

// Changes a row's text as an amend does.
inline void SetText(QListView *view, int row, const QString &text)
{
    view->model()->setData(view->model()->index(row, 0), text);
}

inline void ClickRow(QListView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

}  // namespace EventRows
