#include "macronamesmodel.h"

#include <QDir>

namespace {
const char kXml[] = "xml";
const char kIniSuffix[] = ".ini";
}  // namespace

MacroNamesModel::MacroNamesModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

QStringList MacroNamesModel::NamesInFolder(const QString &folder, Listing listing)
{
    const QStringList files =
        QDir(folder).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    QStringList listed;
    listed.reserve(files.size());
    bool firstXmlDropped = false;
    for (const QString &file : files) {
        if (file.contains(QLatin1String(kXml))) {
            const bool dropped = !firstXmlDropped || listing == Listing::Again;
            firstXmlDropped = true;
            if (dropped)
                continue;
        }
        listed.append(QString(file).remove(QLatin1String(kIniSuffix)));
    }
    return listed;
}

void MacroNamesModel::List(const QString &folder, Listing listing)
{
    beginResetModel();
    names = NamesInFolder(folder, listing);
    endResetModel();
}

int MacroNamesModel::RowOf(const QString &name) const
{
    return names.lastIndexOf(name);
}

int MacroNamesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : names.size();
}

QVariant MacroNamesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= names.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return names.at(index.row());
    return QVariant();
}
