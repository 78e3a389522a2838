#include "macropanel.h"

#include "macrofile.h"

#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

const QSize kRowSize(174, 22);
const char kRowFont[] = "微软雅黑";
constexpr int kRowPoints = 9;
// The room between rows, as the list's buttons once had.
constexpr int kRowSpacing = 2;

// Every row is as high as a button of the detail lists, however long its name is.
class RowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return kRowSize; }

protected:
    // Centred, as the texts of the other detail lists' buttons are.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

}  // namespace

MacroPanel::MacroPanel(QWidget *parent)
    : QListView(parent)
    , names(new MacroNamesModel(this))
{
    setObjectName(QStringLiteral("MacroPanel"));
    setModel(names);
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setSpacing(kRowSpacing);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFont(QFont(QString::fromUtf8(kRowFont), kRowPoints));
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { emit MacroChosen(names->NameAt(index.row())); });
}

void MacroPanel::SetLook(const QString &pictureDir, const QString &buttonColor)
{
    // "rgb(r,g,b;)" with the semicolon inside: Qt reads it as the colour.
    const QString color = QStringLiteral("color: rgb(") + buttonColor + QStringLiteral(";);");
    setStyleSheet(QStringLiteral("QListView{background-color:transparent;border:none;") + color
                  + QStringLiteral("}QListView::item{") + color + QStringLiteral("border-image: url(") + pictureDir
                  + QStringLiteral("CMenuTitle.png);}QListView::item:selected{") + color
                  + QStringLiteral("border-image: url(") + pictureDir + QStringLiteral("CMenuTitleChecked.png);}"));
}

void MacroPanel::List(MacroNamesModel::Listing listing)
{
    names->List(MacroFile::Folder(), listing);
}

QModelIndex MacroPanel::IndexOf(const QString &name) const
{
    return names->index(names->RowOf(name));
}

QString MacroPanel::ChosenMacro() const
{
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    return chosen.isEmpty() ? QString() : names->NameAt(chosen.first().row());
}

bool MacroPanel::ShowMacro(const QString &name)
{
    const QModelIndex index = IndexOf(name);
    if (!index.isValid()) {
        ClearChoice();
        return false;
    }
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index, QAbstractItemView::PositionAtTop);
    return true;
}

void MacroPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        QListView::mousePressEvent(event);
    else
        event->ignore();
}

void MacroPanel::ClearChoice()
{
    selectionModel()->clearSelection();
}
