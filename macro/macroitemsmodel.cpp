#include "macroitemsmodel.h"

#include <QStringList>

MacroItemsModel::MacroItemsModel(QObject *parent) : QAbstractListModel(parent) {}

void MacroItemsModel::SetIcons(const QIcon &press, const QIcon &release, const QIcon &delay)
{
    pressIcon = press;
    releaseIcon = release;
    delayIcon = delay;
    if (!items.isEmpty())
        emit dataChanged(index(0), index(items.size() - 1), {Qt::DecorationRole});
}

int MacroItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : items.size();
}

QVariant MacroItemsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= items.size())
        return QVariant();
    const MacroItem &item = items.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return item.IsDelay() ? item.text : labels.Shown(item.text);
    case Qt::EditRole:
        return item.text;
    case Qt::DecorationRole:
        return item.IsDelay() ? delayIcon : (item.IsPress() ? pressIcon : releaseIcon);
    case ItemTypeRole:
        return item.type;
    default:
        return QVariant();
    }
}

bool MacroItemsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= items.size() || role != Qt::EditRole)
        return false;
    items[index.row()].text = value.toString();
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::DecorationRole});
    emit ItemTextChanged();
    return true;
}

Qt::ItemFlags MacroItemsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

void MacroItemsModel::SetItems(const MacroItems &shown)
{
    beginResetModel();
    items = shown;
    labels = KeyLabels::Current();
    endResetModel();
}

void MacroItemsModel::Load(const MacroItems &loaded, int loopCode)
{
    savedItems = loaded;
    savedLoopCode = loopCode;
    hasSaved = true;
    SetItems(loaded);
}

void MacroItemsModel::MarkSaved(const MacroItems &saved, int loopCode)
{
    savedItems = saved;
    savedLoopCode = loopCode;
    hasSaved = true;
}

void MacroItemsModel::Unload()
{
    hasSaved = false;
    savedItems.clear();
    savedLoopCode = 0;
}

void MacroItemsModel::RenameKeys(const QStringList &oldNames, const QStringList &newNames)
{
    auto rename = [&](MacroItems &list) {
        for (MacroItem &item : list) {
            const int at = oldNames.indexOf(item.text);
            if (at >= 0 && at < newNames.size() && !item.text.isEmpty() && !item.IsDelay())
                item.text = newNames.at(at);
        }
    };
    rename(savedItems);
    MacroItems shown = items;
    rename(shown);
    if (shown != items)
        SetItems(shown);
}

bool MacroItemsModel::DiffersFromSaved(int loopCode) const
{
    if (!hasSaved)
        return !items.isEmpty();
    return items != savedItems || loopCode != savedLoopCode;
}

bool MacroItemsModel::Edit(int currentRow, const std::function<bool(EventListEditor &)> &rule, int *newCurrent)
{
    EventListEditor editor(items, currentRow);
    const bool acted = rule(editor);
    if (acted && editor.Items() != items)
        SetItems(editor.Items());
    *newCurrent = editor.CurrentRow();
    return acted;
}
