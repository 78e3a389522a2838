#pragma once
// The macros of the macro folder as the button page's macro list shows them:
// one row per macro file, named by the file name less every ".ini". No widget
// is involved; the list view of MacroPanel shows the rows.

#include <QAbstractListModel>
#include <QStringList>

class MacroNamesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // A first listing drops only the first file name holding "xml"; a
    // relisting also passes over every later one.
    enum class Listing { First, Again };

    explicit MacroNamesModel(QObject *parent = nullptr);

    // The macro names of `folder`: its files, without links and hidden files,
    // sorted by name with case ignored, less the "xml" names above.
    static QStringList NamesInFolder(const QString &folder, Listing listing);

    // Lists `folder` anew.
    void List(const QString &folder, Listing listing);
    QStringList Names() const { return names; }
    QString NameAt(int row) const { return names.value(row); }
    // The last row named `name` (two files may give one name), or -1.
    int RowOf(const QString &name) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The name as the text and as the tool tip: a long name is cut short in
    // the list, and the tip shows it whole.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList names;
};
