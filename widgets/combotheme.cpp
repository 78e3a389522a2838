#include "combotheme.h"

#include <QComboBox>
#include <QEvent>
#include <QListView>

namespace ComboTheme {

QString RgbText(const QColor &color)
{
    return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

namespace {

// The popup list of a themed box. It lays its items out only once the box
// has been polished for its first show: until then the items may still hold
// the form's placeholder texts, which the page replaces with its language's
// texts (measuring placeholders in another script would load that script's
// font for nothing).
class PopupListView : public QListView
{
public:
    explicit PopupListView(QComboBox *box) : m_box(box) { box->installEventFilter(this); }

    void doItemsLayout() override
    {
        if (!m_box->testAttribute(Qt::WA_WState_Polished)) {
            m_layoutPending = true;
            return;
        }
        QListView::doItemsLayout();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_box && event->type() == QEvent::Polish) {
            m_box->removeEventFilter(this);
            if (m_layoutPending) {
                m_layoutPending = false;
                // After the box's own polish, which this event precedes.
                QMetaObject::invokeMethod(this, [this] { QListView::doItemsLayout(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    QComboBox *m_box;
    bool m_layoutPending = false;
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
    }
    if (maxVisibleItems > 0)
        box->setMaxVisibleItems(maxVisibleItems);
}

}  // namespace ComboTheme
