// The lighting page on the simulated cable mouse: what a refresh shows, what
// each control writes into image bytes 67-73 and 11, the offline guard, the
// colour board's pick, the reset, and the texts of element "Light".

#include "lamplight.h"
#include "panelfixture.h"
#include "screencolor.h"
#include "stopclosetime.h"
#include "testsupport.h"

#include "globals.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

using namespace PanelFixture;

namespace {

// Image bytes of the lighting settings.
constexpr int kMoveLightOff = 11;
constexpr int kSleepTime = 8;
constexpr int kMode = 67;
constexpr int kRed = 68;
constexpr int kGreen = 69;
constexpr int kBlue = 70;
constexpr int kSpeed = 71;
constexpr int kBrightness = 72;
constexpr int kLightOn = 73;

template <typename T>
T *Child(QWidget *page, const QString &name)
{
    T *child = page->findChild<T *>(name);
    if (!child)
        qFatal("the lighting page has no %s", qPrintable(name));
    return child;
}

QComboBox *ModeBox(QWidget *page) { return Child<QComboBox>(page, "LightMod"); }
QSlider *Slider(QWidget *page, const QString &name) { return Child<QSlider>(page, name); }
QSpinBox *Box(QWidget *page, const QString &name) { return Child<QSpinBox>(page, name); }
QToolButton *Button(QWidget *page, const QString &name) { return Child<QToolButton>(page, name); }
QLabel *Board(QWidget *page) { return Child<QLabel>(page, "label_7"); }
QComboBox *IdleBox(QWidget *page) { return Child<QComboBox>(Child<StopCloseTime>(page, "frameClose"), "StopClose"); }

QColor BoxColor(QWidget *page)
{
    return QColor(Box(page, "RSpinBox")->value(), Box(page, "GSpinBox")->value(), Box(page, "BSpinBox")->value());
}

QColor StoredColor()
{
    return QColor(StoredByte(kRed), StoredByte(kGreen), StoredByte(kBlue));
}

// The parts of the page that are shown, as names: "colour" (the custom colour
// group, checked widget by widget), "brightness", "speed" (slider and value
// display), and the grey bars "line", "line_2".
QStringList ShownParts(QWidget *page)
{
    const auto shown = [page](const QString &name) { return Child<QWidget>(page, name)->isVisibleTo(page); };
    QStringList colourGroup{"label_6", "label_7", "label_8", "labelPreView", "label_10", "label_11", "label_12",
                            "label_13"};
    for (const QString &channel : QStringList{"R", "G", "B"})
        colourGroup << "Reduce" + channel << channel + "SpinBox" << "Add" + channel;
    for (char letter = 'A'; letter <= 'N'; ++letter)
        colourGroup << QStringLiteral("toolButtonColor") + QChar(letter);
    int colourShown = 0;
    for (const QString &name : colourGroup)
        colourShown += shown(name) ? 1 : 0;
    if (colourShown != 0 && colourShown != colourGroup.size())
        return {"colour group partly shown"};

    QStringList parts;
    if (colourShown != 0)
        parts << "colour";
    if (shown("horizontalLight") != shown("LightSpinBox_2") || shown("horizontalSpeed") != shown("SpeedSpinBox_2"))
        return {"slider and value display differ"};
    if (shown("horizontalLight"))
        parts << "brightness";
    if (shown("horizontalSpeed"))
        parts << "speed";
    for (const QString &bar : QStringList{"line", "line_2"}) {
        if (shown(bar))
            parts << bar;
    }
    // Always there, whatever the mode.
    for (const QString &name : QStringList{"label", "LightMod", "label_2", "label_3", "RippeControl", "label_4", "label_5",
                                "frameClose"}) {
        if (!shown(name))
            parts << name + " hidden";
    }
    return parts;
}

FlashDataMap ImageWith(const std::function<void(FlashDataMap &)> &change)
{
    FlashDataMap image = ReadImage();
    change(image);
    return image;
}

// The mouse's stored colour each time a channel box announced a change, read
// after the page's own handler has run.
class ColourWrites
{
public:
    explicit ColourWrites(QWidget *page)
    {
        for (const QString &name : QStringList{"RSpinBox", "GSpinBox", "BSpinBox"})
            QObject::connect(Box(page, name), QOverload<int>::of(&QSpinBox::valueChanged), &m_context,
                             [this] { m_seen << StoredColor(); });
    }
    QList<QColor> Seen() const { return m_seen; }

private:
    QObject m_context;
    QList<QColor> m_seen;
};

// A click into a channel box's text, where a user clicks to type.
void ClickIntoBox(QSpinBox *box)
{
    QTest::mouseClick(box->findChild<QLineEdit *>(), Qt::LeftButton);
}

void SendPress(QWidget *to, QEvent::Type type, Qt::MouseButton button, const QPoint &at)
{
    QMouseEvent event(type, at, to->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

}  // namespace

class TestLampLight : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Page> m_host;
    LampLight *m_page = nullptr;
    int m_picks = 0;

    // A fresh page hosted on a dark page, built with writes allowed.
    LampLight *NewPage()
    {
        m_host.reset();
        m_page = new LampLight;
        m_host = std::make_unique<Page>(m_page);
        // The channel boxes take the keyboard focus only in the active window.
        QApplication::setActiveWindow(m_host.get());
        if (!QTest::qWaitForWindowActive(m_host.get(), TestSupport::kHangGuardMs))
            qWarning("the page did not become the active window");
        return m_page;
    }

    // The page filled from the mouse's image with a few fields changed.
    LampLight *FilledPage(const std::function<void(FlashDataMap &)> &change)
    {
        LampLight *page = NewPage();
        page->SlotUpDataLightUILight(ImageWith(change));
        return page;
    }

    void PickerAnswers(std::optional<QColor> answer)
    {
        m_picks = 0;
        ScreenColor::SetReaderForTesting([this, answer] {
            ++m_picks;
            return answer;
        });
    }

private slots:
    void init()
    {
        OpenMouse();
        g_LightRefreshing = 0;
    }

    void cleanup()
    {
        m_host.reset();
        ScreenColor::SetReaderForTesting({});
    }

    void buildingThePageWritesNothing()
    {
        const QByteArray before = StoredImage();
        LampLight *page = NewPage();
        QCOMPARE(StoredImage(), before);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(page->size(), QSize(883, 630));
        QCOMPARE(ModeBox(page)->currentIndex(), 0);
        QCOMPARE(ShownParts(page), (QStringList{"line", "line_2"}));
        QCOMPARE(ModeBox(page)->maxVisibleItems(), 5);
        QCOMPARE(Child<QLabel>(page, "labelPreView")->styleSheet().contains("PreviewColor.png"), true);
        QCOMPARE(MissingPictures(page), QStringList());
    }

    void refreshShowsTheImageAndWritesNothing_data()
    {
        QTest::addColumn<int>("lightOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("sleep");
        QTest::addColumn<int>("shownMode");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("shownBrightness");
        QTest::addColumn<int>("idleItem");  // -1: the panel keeps its item
        const QStringList all{"colour", "brightness", "speed"};
        QTest::newRow("off whatever the mode") << 0 << 3 << 4 << 6 << 0 << QStringList{"line", "line_2"} << 5 << 2;
        QTest::newRow("mixed steady: no speed") << 1 << 3 << 4 << 6 << 3
                                                << QStringList{"colour", "brightness", "line_2"} << 5 << 2;
        QTest::newRow("single-colour breathing") << 1 << 2 << 4 << 6 << 2 << all << 5 << 2;
        QTest::newRow("neon") << 1 << 4 << 4 << 6 << 4 << QStringList{"brightness", "speed"} << 5 << 2;
        QTest::newRow("brightness 0 shows 1") << 1 << 2 << 0 << 6 << 2 << all << 1 << 2;
        QTest::newRow("brightness 9 shows 10") << 1 << 2 << 9 << 6 << 2 << all << 10 << 2;
        QTest::newRow("brightness 200 shows 10") << 1 << 2 << 200 << 6 << 2 << all << 10 << 2;
        QTest::newRow("sleep 30 is 5 min") << 1 << 2 << 4 << 30 << 2 << all << 5 << 3;
        QTest::newRow("sleep 240 is 40 min") << 1 << 2 << 4 << 240 << 2 << all << 5 << 10;
        QTest::newRow("sleep 45 leaves the panel") << 1 << 2 << 4 << 45 << 2 << all << 5 << -1;
    }
    void refreshShowsTheImageAndWritesNothing()
    {
        QFETCH(int, lightOn);
        QFETCH(int, mode);
        QFETCH(int, brightness);
        QFETCH(int, sleep);
        QFETCH(int, shownMode);
        QFETCH(QStringList, shown);
        QFETCH(int, shownBrightness);
        QFETCH(int, idleItem);
        LampLight *page = NewPage();
        Child<StopCloseTime>(page, "frameClose")->SetCurrentIndex(7);
        const QByteArray before = StoredImage();

        page->SlotUpDataLightUILight(ImageWith([&](FlashDataMap &image) {
            image.LightOn = uint8_t(lightOn);
            image.LightMode = uint8_t(mode);
            image.LightBrightness = uint8_t(brightness);
            image.LightSpeed = 6;
            image.LightRed = 10;
            image.LightGreen = 20;
            image.LightBlue = 30;
            image.MoveLightOff = 1;
            image.StopCloseTime = uint8_t(sleep);
        }));
        QCOMPARE(ModeBox(page)->currentIndex(), shownMode);
        QCOMPARE(ShownParts(page), shown);
        QCOMPARE(Slider(page, "horizontalLight")->value(), shownBrightness);
        QCOMPARE(Box(page, "LightSpinBox_2")->value(), shownBrightness);
        QCOMPARE(Slider(page, "horizontalSpeed")->value(), 7);
        QCOMPARE(Box(page, "SpeedSpinBox_2")->value(), 7);
        QCOMPARE(BoxColor(page), QColor(10, 20, 30));
        QVERIFY(Child<QLabel>(page, "labelPreView")->styleSheet().contains("rgb(10,20,30)"));
        QVERIFY(Button(page, "RippeControl")->isChecked());
        QCOMPARE(IdleBox(page)->currentIndex(), idleItem < 0 ? 7 : idleItem);
        QVERIFY(Slider(page, "horizontalLight")->isEnabled());
        QCOMPARE(g_LightRefreshing.load(), uint8_t(0));

        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(StoredImage(), before);
    }

    void importRefreshDisablesTheSlidersUntilTheNextRead()
    {
        LampLight *page = NewPage();
        page->SlotUpDataLightUIA(ImageWith([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightBrightness = 3;
        }));
        QSlider *brightness = Slider(page, "horizontalLight");
        QSlider *speed = Slider(page, "horizontalSpeed");
        QCOMPARE(brightness->value(), 4);
        QVERIFY(!brightness->isEnabled() && !speed->isEnabled());
        // Neither a reset nor a mode change enables them.
        page->SlotFormResetLight();
        ChooseItem(ModeBox(page), 2);
        QVERIFY(!brightness->isEnabled() && !speed->isEnabled());
        page->SlotUpDataLightUILight(ReadImage());
        QVERIFY(brightness->isEnabled() && speed->isEnabled());
        QCOMPARE(ImagesSent(), 1);  // the mode choice alone
    }

    void modeChoiceWritesAndShowsItsRows_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("lightOn");
        QTest::addColumn<int>("storedMode");
        QTest::addColumn<QStringList>("shown");
        // The page starts at mode 2 (entry 2 starts at 1); mode 0 keeps the stored mode.
        QTest::newRow("off") << 0 << 0 << 2 << QStringList{"line", "line_2"};
        QTest::newRow("colour flow") << 1 << 1 << 1 << QStringList{"brightness", "speed"};
        QTest::newRow("single-colour breathing") << 2 << 1 << 2 << QStringList{"colour", "brightness", "speed"};
        QTest::newRow("mixed steady") << 3 << 1 << 3 << QStringList{"colour", "brightness", "line_2"};
        QTest::newRow("neon") << 4 << 1 << 4 << QStringList{"brightness", "speed"};
        QTest::newRow("mixed breathing") << 5 << 1 << 5 << QStringList{"brightness", "speed"};
    }
    void modeChoiceWritesAndShowsItsRows()
    {
        QFETCH(int, entry);
        QFETCH(int, lightOn);
        QFETCH(int, storedMode);
        QFETCH(QStringList, shown);
        const int start = entry == 2 ? 1 : 2;
        SeedByte(kLightOn, 1);
        SeedByte(kMode, start);
        LampLight *page = FilledPage([](FlashDataMap &) {});
        QCOMPARE(ModeBox(page)->currentIndex(), start);
        const QByteArray before = StoredImage();

        ChooseItem(ModeBox(page), entry);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLightOn), lightOn);
        QCOMPARE(StoredByte(kMode), storedMode);
        for (int offset : ChangedBytes(before, StoredImage()))
            QVERIFY2(offset == kLightOn || offset == kMode, qPrintable(QString::number(offset)));
        QCOMPARE(ShownParts(page), shown);
    }

    void slidersWriteTheStepLessOneOnRelease_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("offset");
        QTest::newRow("brightness at 1") << "horizontalLight" << "LightSpinBox_2" << 1 << kBrightness;
        QTest::newRow("brightness at 10") << "horizontalLight" << "LightSpinBox_2" << 10 << kBrightness;
        QTest::newRow("speed at 1") << "horizontalSpeed" << "SpeedSpinBox_2" << 1 << kSpeed;
        QTest::newRow("speed at 10") << "horizontalSpeed" << "SpeedSpinBox_2" << 10 << kSpeed;
    }
    void slidersWriteTheStepLessOneOnRelease()
    {
        QFETCH(QString, slider);
        QFETCH(QString, display);
        QFETCH(int, value);
        QFETCH(int, offset);
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightBrightness = 4;
            image.LightSpeed = 4;
        });
        const QByteArray before = StoredImage();
        DragSlider(Slider(page, slider), value, [&] {
            // While held, only the display follows.
            QCOMPARE(Box(page, display)->value(), value);
            QCOMPARE(ImagesSent(), 0);
        });
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{offset});
        QCOMPARE(StoredByte(offset), value - 1);
        QCOMPARE(Box(page, display)->value(), value);
    }

    void presetsWriteThroughTheBoxesInOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QColor>("start");
        QTest::addColumn<QList<QColor>>("writes");
        QTest::newRow("A at its own colour") << "toolButtonColorA" << QColor(255, 0, 0) << QList<QColor>{};
        QTest::newRow("A from black") << "toolButtonColorA" << QColor(0, 0, 0) << QList<QColor>{{255, 0, 0}};
        QTest::newRow("K from black") << "toolButtonColorK" << QColor(0, 0, 0)
                                      << QList<QColor>{{255, 0, 0}, {255, 255, 0}, {255, 255, 255}};
        QTest::newRow("I from K") << "toolButtonColorI" << QColor(255, 255, 255)
                                  << QList<QColor>{{46, 255, 255}, {46, 166, 255}, {46, 166, 223}};
    }
    void presetsWriteThroughTheBoxesInOrder()
    {
        QFETCH(QString, button);
        QFETCH(QColor, start);
        QFETCH(QList<QColor>, writes);
        SeedByte(kRed, start.red());
        SeedByte(kGreen, start.green());
        SeedByte(kBlue, start.blue());
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
        });
        ColourWrites seen(page);

        QTest::mouseClick(Button(page, button), Qt::LeftButton);
        QCOMPARE(seen.Seen(), writes);
        QCOMPARE(ImagesSent(), writes.size());
        const int letter = button.right(1).at(0).unicode() - 'A';
        QCOMPARE(BoxColor(page), LampLight::PresetColor(letter));
        QVERIFY(Child<QLabel>(page, "labelPreView")->styleSheet().contains(
            QStringLiteral("rgb(%1,%2,%3)").arg(BoxColor(page).red()).arg(BoxColor(page).green()).arg(BoxColor(page).blue())));
    }

    void plusAndMinusStepOneChannel_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QColor>("start");
        QTest::addColumn<QColor>("end");
        QTest::addColumn<int>("imagesSent");
        QTest::newRow("+R") << "AddR" << QColor(10, 10, 10) << QColor(11, 10, 10) << 1;
        QTest::newRow("-G") << "ReduceG" << QColor(10, 10, 10) << QColor(10, 9, 10) << 1;
        QTest::newRow("+B at 255") << "AddB" << QColor(0, 0, 255) << QColor(0, 0, 255) << 0;
        QTest::newRow("-R at 0") << "ReduceR" << QColor(0, 9, 9) << QColor(0, 9, 9) << 0;
    }
    void plusAndMinusStepOneChannel()
    {
        QFETCH(QString, button);
        QFETCH(QColor, start);
        QFETCH(QColor, end);
        QFETCH(int, imagesSent);
        LampLight *page = FilledPage([start](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightRed = uint8_t(start.red());
            image.LightGreen = uint8_t(start.green());
            image.LightBlue = uint8_t(start.blue());
        });
        QTest::mouseClick(Button(page, button), Qt::LeftButton);
        QCOMPARE(BoxColor(page), end);
        QCOMPARE(ImagesSent(), imagesSent);
        if (imagesSent > 0)
            QCOMPARE(StoredColor(), end);
    }

    void typingAChannelWritesEveryChange()
    {
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightRed = 0;
            image.LightGreen = 0;
            image.LightBlue = 0;
        });
        QSpinBox *green = Box(page, "GSpinBox");
        ClickIntoBox(green);
        QVERIFY(green->hasFocus());
        green->selectAll();
        QTest::keyClicks(green, "128");
        QCOMPARE(ImagesSent(), 3);  // 1, 12, 128
        QCOMPARE(StoredColor(), QColor(0, 128, 0));
    }

    void switchAndIdleTimeWriteTheirBytes()
    {
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.MoveLightOff = 0;
            image.StopCloseTime = 6;
        });
        QTest::mouseClick(Button(page, "RippeControl"), Qt::LeftButton);
        QCOMPARE(StoredByte(kMoveLightOff), 1);
        QTest::mouseClick(Button(page, "RippeControl"), Qt::LeftButton);
        QCOMPARE(StoredByte(kMoveLightOff), 0);
        ChooseItem(IdleBox(page), 3);
        QCOMPARE(StoredByte(kSleepTime), 30);
        QCOMPARE(ImagesSent(), 3);
    }

    void offlineClickRaisesOneNoticeAndChangesNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("preset") << "toolButtonColorC";
        QTest::newRow("plus") << "AddR";
        QTest::newRow("minus") << "ReduceB";
        QTest::newRow("colour board") << "label_7";
    }
    void offlineClickRaisesOneNoticeAndChangesNothing()
    {
        QFETCH(QString, target);
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightRed = 5;
            image.LightGreen = 6;
            image.LightBlue = 7;
        });
        PickerAnswers(QColor(100, 110, 120));
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        const QString previewBefore = Child<QLabel>(page, "labelPreView")->styleSheet();

        QTest::mouseClick(Child<QWidget>(page, target), Qt::LeftButton);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(notices->first().first().toInt(), 0);
        QCOMPARE(BoxColor(page), QColor(5, 6, 7));
        QCOMPARE(Child<QLabel>(page, "labelPreView")->styleSheet(), previewBefore);
        QCOMPARE(m_picks, 0);
        QCOMPARE(ImagesSent(), 0);
    }

    void withoutWritesEveryControlMovesAndNothingIsSent()
    {
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 1;
            image.LightBrightness = 4;
            image.MoveLightOff = 0;
            image.StopCloseTime = 6;
        });
        // Pulled cable too: without writes the page does not even ask.
        UnplugMouse();
        g_WritesAllowed = 0;
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        PickerAnswers(QColor(1, 2, 3));

        ChooseItem(ModeBox(page), 2);
        DragSlider(Slider(page, "horizontalLight"), 9);
        QTest::mouseClick(Button(page, "RippeControl"), Qt::LeftButton);
        ChooseItem(IdleBox(page), 5);
        QTest::mouseClick(Board(page), Qt::LeftButton, Qt::NoModifier, QPoint(150, 17));
        QCOMPARE(BoxColor(page), QColor(1, 2, 3));
        QTest::mouseClick(Button(page, "toolButtonColorE"), Qt::LeftButton);
        QTest::mouseClick(Button(page, "ReduceR"), Qt::LeftButton);

        QCOMPARE(ModeBox(page)->currentIndex(), 2);
        QCOMPARE(Box(page, "LightSpinBox_2")->value(), 9);
        QVERIFY(Button(page, "RippeControl")->isChecked());
        QCOMPARE(IdleBox(page)->currentIndex(), 5);
        QCOMPARE(BoxColor(page), QColor(254, 255, 0));
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(notices->count(), 0);
    }

    void boardPressPicksTheScreenColour_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<bool>("picks");
        QTest::newRow("left press") << "left" << true << true;
        QTest::newRow("right press") << "right" << true << true;
        QTest::newRow("no colour") << "left" << false << false;
        QTest::newRow("press of a double click") << "double" << true << false;
        QTest::newRow("board hidden in mode off") << "hidden" << true << false;
    }
    void boardPressPicksTheScreenColour()
    {
        QFETCH(QString, how);
        QFETCH(bool, answers);
        QFETCH(bool, picks);
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
            image.LightRed = 200;
            image.LightGreen = 200;
            image.LightBlue = 200;
        });
        if (how == "hidden")
            ChooseItem(ModeBox(page), 0);
        const int sentBefore = ImagesSent();
        PickerAnswers(answers ? std::optional<QColor>(QColor(10, 20, 30)) : std::nullopt);
        QSpinBox *red = Box(page, "RSpinBox");
        ClickIntoBox(red);
        const QString previewBefore = Child<QLabel>(page, "labelPreView")->styleSheet();

        const QPoint onBoard(100, 17);
        if (how == "double")
            SendPress(Board(page), QEvent::MouseButtonDblClick, Qt::LeftButton, onBoard);
        else
            SendPress(Board(page), QEvent::MouseButtonPress, how == "right" ? Qt::RightButton : Qt::LeftButton,
                      onBoard);

        if (picks) {
            QCOMPARE(BoxColor(page), QColor(10, 20, 30));
            QVERIFY(Child<QLabel>(page, "labelPreView")->styleSheet().contains("rgb(10,20,30)"));
            QCOMPARE(StoredColor(), QColor(10, 20, 30));
            QCOMPARE(ImagesSent() - sentBefore, 3);
        } else {
            QCOMPARE(BoxColor(page), QColor(200, 200, 200));
            QCOMPARE(Child<QLabel>(page, "labelPreView")->styleSheet(), previewBefore);
            QCOMPARE(ImagesSent(), sentBefore);
        }
        QCOMPARE(m_picks, how == "double" || how == "hidden" ? 0 : 1);
        // Every press but the double click's takes the focus from the channel box.
        QCOMPARE(red->hasFocus(), how == "double");
    }

    void pressBesideTheBoardOnlyMovesTheFocus()
    {
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
        });
        PickerAnswers(QColor(10, 20, 30));
        QSpinBox *blue = Box(page, "BSpinBox");
        ClickIntoBox(blue);
        QVERIFY(blue->hasFocus());
        const QColor before = BoxColor(page);

        SendPress(Child<QLabel>(page, "label_8"), QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
        QVERIFY(!blue->hasFocus());
        QVERIFY(page->hasFocus());
        QCOMPARE(m_picks, 0);
        QCOMPARE(BoxColor(page), before);
        QCOMPARE(ImagesSent(), 0);
    }

    void realPickerReadsTheBoardUnderTheCursor()
    {
        LampLight *page = FilledPage([](FlashDataMap &image) {
            image.LightOn = 1;
            image.LightMode = 2;
        });
        QLabel *board = Board(page);
        m_host->repaint();  // the board on screen, not only in the widget tree
        for (int x : {20, 150, 290}) {
            const QPoint onBoard(x, 17);
            const QColor shown = board->grab().toImage().pixelColor(onBoard);
            QCursor::setPos(board->mapToGlobal(onBoard));
            SendPress(board, QEvent::MouseButtonPress, Qt::LeftButton, onBoard);
            QCOMPARE(BoxColor(page), shown);
            QCOMPARE(StoredColor(), shown);
        }
    }

    void resetSetsDefaultsAndKeepsColourAndSliders()
    {
        LampLight *page = NewPage();
        page->SlotUpDataLightUIA(ImageWith([](FlashDataMap &image) {
            image.LightOn = 0;
            image.LightRed = 1;
            image.LightGreen = 2;
            image.LightBlue = 3;
            image.MoveLightOff = 0;
            image.StopCloseTime = 240;
        }));
        const QByteArray before = StoredImage();

        page->SlotFormResetLight();
        QCOMPARE(ModeBox(page)->currentIndex(), 1);
        QCOMPARE(ShownParts(page), (QStringList{"brightness", "speed"}));
        QCOMPARE(Slider(page, "horizontalLight")->value(), 10);
        QCOMPARE(Slider(page, "horizontalSpeed")->value(), 8);
        QCOMPARE(Box(page, "LightSpinBox_2")->value(), 10);
        QCOMPARE(Box(page, "SpeedSpinBox_2")->value(), 8);
        QVERIFY(Button(page, "RippeControl")->isChecked());
        QCOMPARE(IdleBox(page)->currentIndex(), 2);
        QCOMPARE(BoxColor(page), QColor(1, 2, 3));
        QVERIFY(!Slider(page, "horizontalLight")->isEnabled());
        QCOMPARE(g_LightRefreshing.load(), uint8_t(0));
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(StoredImage(), before);
    }

    void everyTagReachesItsWidget()
    {
        LampLight *page = NewPage();
        QStringList tags{"label", "label_2", "label_3", "label_4", "label_5", "label_6", "label_8",
                         "label_10", "label_11", "label_12", "label_13", "LightMod"};
        for (int i = 1; i <= 5; ++i)
            tags << QString("LightMod%1").arg(i);
        tags << "StopCloseTime";
        for (int i = 1; i <= 10; ++i)
            tags << QString("StopCloseTime%1").arg(i);
        // A language file whose every text names its own tag.
        QTemporaryDir folder;
        QDir().mkpath(folder.path() + "/Language");
        QFile file(folder.path() + "/Language/0-English.xml");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<Total><Light>");
        for (const QString &tag : tags)
            file.write(QString("<%1>text %1</%1>").arg(tag).toUtf8());
        file.write("<Unknown>skipped</Unknown></Light></Total>");
        file.close();
        const QByteArray appDir = qgetenv("VOGM_APP_DIR");
        qputenv("VOGM_APP_DIR", folder.path().toLocal8Bit());
        page->SlotChangeLanguage(0);
        qputenv("VOGM_APP_DIR", appDir);

        for (const QString &name : QStringList{"label", "label_2", "label_3", "label_4", "label_5", "label_6",
                                               "label_8", "label_10", "label_11", "label_12", "label_13"})
            QCOMPARE(Child<QLabel>(page, name)->text(), "text " + name);
        QCOMPARE(ModeBox(page)->itemText(0), QString("text LightMod"));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(ModeBox(page)->itemText(i), QString("text LightMod%1").arg(i));
        QCOMPARE(IdleBox(page)->itemText(0), QString("text StopCloseTime"));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(IdleBox(page)->itemText(i), QString("text StopCloseTime%1").arg(i));
    }

    void storedLanguageIsLoadedAtConstruction()
    {
        QSettings macroIni(TestSupport::BaseFolder() + "/Macro.ini", QSettings::IniFormat);
        macroIni.setValue("Language/Language", "5");
        macroIni.sync();
        LampLight *page = NewPage();
        macroIni.setValue("Language/Language", "0");
        macroIni.sync();
        QCOMPARE(Child<QLabel>(page, "label_2")->text(), QString::fromUtf8("明るさ"));
        QCOMPARE(ModeBox(page)->itemText(2), QString::fromUtf8("単色呼吸"));
        QCOMPARE(IdleBox(page)->itemText(3), QString::fromUtf8("5分"));
    }
};

VOGM_TEST_MAIN(TestLampLight)
#include "tst_lamplight.moc"
