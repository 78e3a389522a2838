// The screen colour under the cursor, read from the real screen: the pixel a
// window shows there, and no colour where no window or screen gives a pixel.

#include "screencolor.h"
#include "testsupport.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

class TestScreenColor : public QObject
{
    Q_OBJECT

private slots:
    void readsThePixelUnderTheCursor_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::newRow("grey") << QColor(10, 20, 30);
        QTest::newRow("orange") << QColor(255, 122, 26);
    }
    void readsThePixelUnderTheCursor()
    {
        QFETCH(QColor, color);
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, color);
        window.setPalette(palette);
        window.setGeometry(40, 50, 120, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, TestSupport::kHangGuardMs));

        const QPoint inside = window.mapToGlobal(QPoint(60, 40));
        QCursor::setPos(inside);
        QCOMPARE(QCursor::pos(), inside);
        const std::optional<QColor> read = ScreenColor::UnderCursor();
        QVERIFY(read.has_value());
        QCOMPARE(read->rgb(), color.rgb());
        QCOMPARE(ScreenColor::AtScreenPoint(inside)->rgb(), color.rgb());
    }

    void noPixelGivesNoColour()
    {
        // Off every screen, and on a screen where no window shows anything.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(!ScreenColor::AtScreenPoint(screen.bottomRight() + QPoint(500, 500)).has_value());
        QVERIFY(!ScreenColor::AtScreenPoint(screen.bottomRight() - QPoint(5, 5)).has_value());
    }

    void aReaderTakesTheScreensPlace()
    {
        ScreenColor::SetReaderForTesting([] { return std::optional<QColor>(QColor(1, 2, 3)); });
        QCOMPARE(ScreenColor::UnderCursor(), std::optional<QColor>(QColor(1, 2, 3)));
        ScreenColor::SetReaderForTesting({});
        QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight() + QPoint(500, 500));
        QVERIFY(!ScreenColor::UnderCursor().has_value());
    }
};

VOGM_TEST_MAIN(TestScreenColor)
#include "tst_screencolor.moc"
