#pragma once
// The macro list of the button page: a list view over the macro names of the
// macro folder (MacroNamesModel). Every row has the one look of the list; a
// name too long for its row is cut at the end and shown whole as the row's
// tool tip. A click on a row chooses that macro; the chosen row stays
// highlighted until the page clears it.

#include "macronamesmodel.h"

#include <QListView>

class MacroPanel : public QListView
{
    Q_OBJECT
public:
    explicit MacroPanel(QWidget *parent = nullptr);

    // The look of the rows, from the page's picture folder (ending in a
    // separator) and its button colour "r,g,b".
    void SetLook(const QString &pictureDir, const QString &buttonColor);
    // Lists the macro folder again; nothing stays chosen.
    void List(MacroNamesModel::Listing listing);

    bool IsEmpty() const { return names->rowCount() == 0; }
    const MacroNamesModel *Names() const { return names; }
    // The row of macro `name`, invalid when the list has none.
    QModelIndex IndexOf(const QString &name) const;
    // The highlighted macro, empty when none is.
    QString ChosenMacro() const;
    // Highlights macro `name` and scrolls it into view; false, with nothing
    // highlighted, when the list has no such macro.
    bool ShowMacro(const QString &name);
    void ClearChoice();

signals:
    // The user clicked the row of macro `name` with the left button.
    void MacroChosen(const QString &name);

protected:
    // Only the left button highlights a row, as only it chooses one.
    void mousePressEvent(QMouseEvent *event) override;

private:
    MacroNamesModel *names;
};
