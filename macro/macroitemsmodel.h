#pragma once
// The events of the macro the page shows: the source of truth of the event
// list, which the list view only draws.
//
// The model holds the items and what the macro's file held when it was last
// loaded or saved, so it can tell whether the shown list differs from the
// saved file. Edits go through the rules of EventListEditor; the current row
// they act on is the view's, handed in and handed back.
//
// Rows show the item's text (a key by the current layout's label for it;
// EditRole gives the key's own name) with the page's press, release or delay icon;
// ItemTypeRole gives the item type (0 press or delay, 1 release).

#include "eventlisteditor.h"
#include "keylabels.h"
#include "macroitem.h"

#include <QAbstractListModel>
#include <QIcon>
#include <functional>

class MacroItemsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int ItemTypeRole = Qt::UserRole + 1;

    explicit MacroItemsModel(QObject *parent = nullptr);

    void SetIcons(const QIcon &press, const QIcon &release, const QIcon &delay);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // A new text for a row keeps its type (a press stays a press).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const MacroItems &Items() const { return items; }
    MacroItem Item(int row) const { return items.value(row); }
    // The list as a file holds it: shown and taken as saved.
    void Load(const MacroItems &loaded, int loopCode);
    // Shows `shown` while the saved state stays as it is.
    void SetItems(const MacroItems &shown);
    void Clear() { SetItems({}); }
    // `saved` and `loopCode` were written to the macro's file.
    void MarkSaved(const MacroItems &saved, int loopCode);
    // Forgets the saved state: nothing shown is taken as a file's content.
    void Unload();
    // Key items named oldNames[i] take newNames[i], in the shown and the saved
    // list alike: the same events under other names (the mouse buttons' names
    // follow the interface language).
    void RenameKeys(const QStringList &oldNames, const QStringList &newNames);

    // True when the shown list, or `loopCode`, is not what the file held.
    bool DiffersFromSaved(int loopCode) const;
    bool HasSavedState() const { return hasSaved; }

    // Runs one rule of EventListEditor at `currentRow`; returns whether it
    // acted, and sets `*newCurrent` to the editor's current row afterwards.
    bool Edit(int currentRow, const std::function<bool(EventListEditor &)> &rule, int *newCurrent);

signals:
    // The text of a row changed through setData (an amend).
    void ItemTextChanged();

private:
    MacroItems items;
    MacroItems savedItems;
    int savedLoopCode = 0;
    bool hasSaved = false;
    QIcon pressIcon;
    QIcon releaseIcon;
    QIcon delayIcon;
    // Read again whenever the shown items change.
    KeyLabels labels;
};
