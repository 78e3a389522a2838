// The settings page inside the device page's rounded content panel: in both
// of its layouts the scroll area, scroll bar included, lies inside the panel,
// the viewport is seen whole from top to bottom, and no widget of the content
// is cut at the sides. The panel is the one the page background paints.

#include "contentpanel.h"
#include "dialog.h"
#include "formsetting.h"
#include "pagebackground.h"
#include "pagescene.h"
#include "paths.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// The part of `widget` that its ancestors up to `ancestor` leave visible, in
// the coordinates of `ancestor`.
QRect VisibleIn(const QWidget *widget, const QWidget *ancestor)
{
    QRect visible = widget->rect();
    for (const QWidget *w = widget; w != ancestor; w = w->parentWidget()) {
        visible.translate(w->pos());
        visible &= w->parentWidget()->rect();
    }
    return visible;
}

QRect RectIn(const QWidget *widget, const QWidget *ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

int Gray(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y));
}

}  // namespace

class TestPageFrame : public QObject
{
    Q_OBJECT
private slots:
    void backgroundDrawsThePanelWhereThePagesExpectIt();
    void settingsPageStaysInsideThePanel_data();
    void settingsPageStaysInsideThePanel();
};

void TestPageFrame::backgroundDrawsThePanelWhereThePagesExpectIt()
{
    const QString pictures = TestSupport::AppFolder() + "/Picture/";
    const QPixmap brand(PageBackground::BrandPath(pictures));
    const QPixmap grain(PageBackground::GrainPath(pictures));
    QVERIFY(!brand.isNull() && !grain.isNull());
    QImage background(PageScene::kSize, QImage::Format_RGB32);
    QPainter painter(&background);
    PageScene::Paint(painter, PageScene::Kind::DevicePage, brand, grain);
    painter.end();
    const QRect outline = ContentPanel::kOutline;
    // The border is brighter than the panel inside it and the page outside.
    const QPoint middle = outline.center();
    const struct {
        QPoint border, inside, outside;
    } probes[] = {
        {{outline.left(), middle.y()}, {outline.left() + 3, middle.y()}, {outline.left() - 3, middle.y()}},
        {{outline.right(), middle.y()}, {outline.right() - 3, middle.y()}, {outline.right() + 3, middle.y()}},
        {{middle.x(), outline.top()}, {middle.x(), outline.top() + 3}, {middle.x(), outline.top() - 3}},
        {{middle.x(), outline.bottom()}, {middle.x(), outline.bottom() - 3}, {middle.x(), outline.bottom() + 3}},
    };
    for (const auto &probe : probes) {
        const int border = Gray(background, probe.border.x(), probe.border.y());
        QVERIFY2(border > Gray(background, probe.inside.x(), probe.inside.y()) + 5
                     && border > Gray(background, probe.outside.x(), probe.outside.y()) + 5,
                 qPrintable(QString("no border at %1,%2").arg(probe.border.x()).arg(probe.border.y())));
    }
}

void TestPageFrame::settingsPageStaysInsideThePanel_data()
{
    QTest::addColumn<bool>("expanded");
    QTest::newRow("compact layout") << false;
    QTest::newRow("expanded layout") << true;
}

void TestPageFrame::settingsPageStaysInsideThePanel()
{
    QFETCH(bool, expanded);
    auto device = std::make_unique<Dialog>();
    device->show();
    QVERIFY(QTest::qWaitForWindowExposed(device.get()));
    device->findChild<QToolButton *>("FormSetting")->click();
    auto *page = device->findChild<FormSetting *>();
    if (expanded)
        page->ApplyExpandedLayout();
    else
        page->ApplyCompactLayout();
    auto *area = page->findChild<QScrollArea *>("scrollArea");
    QVERIFY(area->isVisible());
    // The background picture covers frame_2 from the device page's corner.
    const QWidget *background = device->findChild<QWidget *>("frame_2");
    QCOMPARE(background->mapTo(device.get(), QPoint(0, 0)), QPoint(0, 0));
    QCOMPARE(page->mapTo(background, QPoint(0, 0)), ContentPanel::kPagesOrigin);

    const QRect visible = VisibleIn(area, background);
    QVERIFY2(ContentPanel::kInside.contains(visible),
             qPrintable(QString("scroll area seen at %1,%2 %3x%4")
                            .arg(visible.x()).arg(visible.y()).arg(visible.width()).arg(visible.height())));
    const QScrollBar *bar = area->verticalScrollBar();
    QVERIFY(bar->isVisible());
    QCOMPARE(VisibleIn(bar, background), RectIn(bar, background));

    // Every line of the content can be scrolled into view, and none is cut
    // at the sides.
    const QRect viewport = VisibleIn(area->viewport(), background);
    QCOMPARE(viewport.height(), area->viewport()->height());
    for (const QWidget *child : area->widget()->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(page) || child->parentWidget() != area->widget())
            continue;
        const QRect placed = RectIn(child, background);
        QVERIFY2(placed.left() >= viewport.left() && placed.right() <= viewport.right(),
                 qPrintable(child->objectName() + " is cut at the side"));
    }
}

VOGM_TEST_MAIN(TestPageFrame)
#include "tst_pageframe.moc"
