#include "combotheme.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QListView>

namespace ComboTheme {

QString RgbText(const QColor &color)
{
    return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

namespace {

// Holds back the item layout of a themed box's popup list until the box is
// first shown. Until then the items may still hold the form's placeholder
// texts, which the page replaces with its language's texts; and a style sheet
// set on the box or a parent lays the list out at once (measuring
// placeholders in another script would load that script's font for nothing).
// A held-back style change is delivered once the box shows.
class ListLayoutGate : public QObject
{
public:
    ListLayoutGate(QComboBox *box, QAbstractItemView *view)
        : QObject(view), m_box(box), m_view(view), m_open(box->isVisible())
    {
        if (m_open)
            return;
        view->installEventFilter(this);
        box->installEventFilter(this);
    }

    bool Open() const { return m_open; }
    void HoldLayout() { m_pending = true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_view && event->type() == QEvent::StyleChange && !m_open) {
            m_pending = true;
            return true;
        }
        if (watched == m_box && event->type() == QEvent::Show && !m_open) {
            m_open = true;
            m_box->removeEventFilter(this);
            m_view->removeEventFilter(this);
            if (m_pending)
                QCoreApplication::postEvent(m_view, new QEvent(QEvent::StyleChange));
        }
        return false;
    }

private:
    QComboBox *m_box;
    QAbstractItemView *m_view;
    bool m_open;
    bool m_pending = false;
};

// The popup list of a box of the form's own; besides style changes, the
// layouts a new model asks for wait for the box's first show too.
class PopupListView : public QListView
{
public:
    explicit PopupListView(QComboBox *box) : m_gate(new ListLayoutGate(box, this)) {}

    void doItemsLayout() override
    {
        if (!m_gate->Open()) {
            m_gate->HoldLayout();
            return;
        }
        QListView::doItemsLayout();
    }

private:
    ListLayoutGate *m_gate;
};

QString EndingText(Ending ending)
{
    switch (ending) {
    case Ending::DisabledBlack:
        return QStringLiteral("); }QComboBox:disabled{color: rgb(0, 0, 0);}");
    case Ending::DisabledGrey:
        return QStringLiteral("); }QComboBox:disabled{color: rgb(63, 63, 63);}");
    case Ending::Plain:
        break;
    }
    return QStringLiteral("); }");
}
}  // namespace

QString StyleSheet(const Colors &colors, const QString &pictureFolder, Ending ending)
{
    const QString text = RgbText(colors.text);
    const QString &dir = pictureFolder;
    return QStringLiteral("QComboBox{border: 1px solid gray; color: rgb(") + text
        + QStringLiteral("); border-image: url(") + dir + QStringLiteral("ComboboxBack.png")
        + QStringLiteral(");}QComboBox::drop-down:button{border-radius:5px; background:rgb(")
        + RgbText(colors.background)
        + QStringLiteral(");} QComboBox::down-arrow{image: url(") + dir + QStringLiteral("Menu.png")
        + QStringLiteral("); right: 8px; }QComboBox::down-arrow:on{ image: url(") + dir
        + QStringLiteral("MenuClicked.png")
        + QStringLiteral(");}QComboBox QAbstractItemView::item{height:25px;}"
                         "QComboBox QAbstractItemView {outline: 0px solid gray; border: 1px  solid gray;"
                         "color: rgb(")
        + text + QStringLiteral("); border-image: url(") + dir
        + QStringLiteral("ComboboxTextBack.png")
        + QStringLiteral(");selection-background-color: rgb(") + RgbText(colors.selection)
        + EndingText(ending);
}

QString PopupStyleSheet(const QColor &selection)
{
    const QString select = RgbText(selection);
    return QStringLiteral("QListView::item:selected{background-color: rgb(") + select
        + QStringLiteral(");}QListView::item:hover{background-color: rgb(") + select
        + QStringLiteral(");}");
}

void Apply(QComboBox *box, const Colors &colors, const QString &pictureFolder, Ending ending,
           bool ownPopup, int maxVisibleItems)
{
    if (!box)
        return;
    // combobox-popup: 0 makes every style drop the list below the box and
    // honour the visible-row limit (some Linux styles lay all items over it).
    box->setStyleSheet(StyleSheet(colors, pictureFolder, ending) + "QComboBox{combobox-popup: 0;}");
    if (ownPopup) {
        auto *view = new PopupListView(box);
        view->setStyleSheet(PopupStyleSheet(colors.selection));
        box->setView(view);
    } else {
        new ListLayoutGate(box, box->view());
    }
    if (maxVisibleItems > 0)
        box->setMaxVisibleItems(maxVisibleItems);
}

}  // namespace ComboTheme
