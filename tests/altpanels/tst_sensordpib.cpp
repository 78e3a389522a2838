// The table DPI panel against the simulated cable mouse: grid snapping at a
// slider, the skipped first change, the level count with its exchange,
// colours, a new panel's state and the host operations' level checks.

#include "panelfixture.h"
#include "sensordpib.h"
#include "testsupport.h"

#include "globals.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensormodel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <memory>

using namespace PanelFixture;

namespace {

const char *const kRanges = "100,10000,100,10100,26000,200,0x22";
constexpr int kLevelRecords = 15;
constexpr int kCurrentLevelByte = 2;
constexpr int kLevelCountByte = 1;
const char *const kLetters = "ABCDEFGH";
const char *const kButtons[SensorDPIB::kLevels] = {"BlueButtonA",  "BrightRedButtonA", "RedButtonA",
                                                   "YellowButtonA", "GreenButtonA",     "PurpleButtonA",
                                                   "LightBlueButtonA", "LightYellowButtonA"};

void UseRanges(const QString &ranges)
{
    g_SensorName = QStringLiteral("3395");
    g_SensorDefineNames.clear();
    g_SensorDefineValues.clear();
    ApplyDpiRange(ParseDpiRange(ranges.split(',')));
}

template <typename T>
T *Row(SensorDPIB *panel, const char *prefix, int level)
{
    const QString name = QString::fromLatin1(prefix) + kLetters[level];
    auto *child = panel->findChild<T *>(name);
    if (!child)
        qFatal("no %s", qPrintable(name));
    return child;
}

QSlider *Slider(SensorDPIB *panel, int level)
{
    return Row<QSlider>(panel, "horizontalSlider", level);
}

QSpinBox *Spin(SensorDPIB *panel, int level)
{
    return Row<QSpinBox>(panel, "spinBox", level);
}

QCheckBox *Box(SensorDPIB *panel, int level)
{
    return Row<QCheckBox>(panel, "M", level);
}

QToolButton *ColourButton(SensorDPIB *panel, int level)
{
    return panel->findChild<QToolButton *>(kButtons[level]);
}

QComboBox *CountBox(SensorDPIB *panel)
{
    return panel->findChild<QComboBox *>("ChooseEvent");
}

QByteArray StoredRecord(int level)
{
    return StoredImage().mid(kLevelRecords + 6 * level, 6);
}

QByteArray RecordBytes(int x, int flags, int r, int g, int b)
{
    QByteArray record;
    for (int byte : {x, x, flags, r, g, b})
        record.append(char(byte));
    return record;
}

void SeedRecord(int level, const QByteArray &record)
{
    for (int i = 0; i < record.size(); ++i)
        SeedByte(kLevelRecords + 6 * level + i, uint8_t(record.at(i)));
}

// Rows shown (1) or hidden (0), level 0 first.
QString ShownRows(SensorDPIB *panel)
{
    QString rows;
    for (int level = 0; level < SensorDPIB::kLevels; ++level)
        rows += Box(panel, level)->isHidden() ? '0' : '1';
    return rows;
}

QList<int> CheckedBoxes(SensorDPIB *panel)
{
    QList<int> checked;
    for (int level = 0; level < SensorDPIB::kLevels; ++level) {
        if (Box(panel, level)->isChecked())
            checked << level;
    }
    return checked;
}

const QStringList kDistinctColors{"#110000", "#220000", "#330000", "#440000",
                                  "#550000", "#660000", "#770000", "#880000"};

// A panel filled the way a host fills it: eight levels of distinct values
// and colours, `count` levels in use, `current` current. Nothing is written.
SensorDPIB *FilledPanel(int count, int current)
{
    auto *panel = new SensorDPIB;
    const uint8_t writes = g_WritesAllowed;
    g_WritesAllowed = 0;
    panel->BlockSliderSignals(true);
    panel->BlockCountSignals(true);
    panel->SetSliderMaximum(26000);
    for (int level = 0; level < SensorDPIB::kLevels; ++level) {
        panel->SetLevelColor(level, kDistinctColors.at(level));
        panel->SetLevelText(level, QString::number(400 * (level + 1)));
        panel->InsertCountItem(level, QString::number(level + 1));
    }
    panel->UpdateAllButtons();
    panel->SetCountIndex(count - 1);
    panel->ShowLevels(count - 1);
    panel->BlockCountSignals(false);
    panel->SetCurrentLevel(current);
    panel->SetLevelCount(count);
    panel->SelectLevel(current);
    panel->BlockSliderSignals(false);
    g_WritesAllowed = writes;
    return panel;
}

}  // namespace

class TestSensorDPIB : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        OpenMouse();
        g_ApplyingSettings = 0;
        UseRanges(kRanges);
    }

    void sliderValuesSnapToTheGrid_data()
    {
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("pageStep");
        QTest::newRow("down to the step") << kRanges << 1234 << 1200 << 100;
        QTest::newRow("gap: next minimum") << kRanges << 10050 << 10100 << 200;
        QTest::newRow("second range, counted from zero") << kRanges << 10301 << 10200 << 200;
        QTest::newRow("below the first range") << kRanges << 50 << 50 << 50;
        QTest::newRow("above the last range") << kRanges << 30000 << 30000 << 50;
        QTest::newRow("step 0") << "100,10000,0,10100,26000,200,0x22" << 1234 << 1234 << 50;
        QTest::newRow("step no number") << "100,10000,ab,10100,26000,200,0x22" << 1234 << 1234 << 50;
        QTest::newRow("gap before a step 0") << "100,10000,100,10100,26000,0,0x22" << 10050 << 10100 << 50;
    }
    void sliderValuesSnapToTheGrid()
    {
        QFETCH(QString, ranges);
        QFETCH(int, value);
        QFETCH(int, shown);
        QFETCH(int, pageStep);
        UseRanges(ranges);
        SensorDPIB panel;
        panel.SetSliderMaximum(30000);
        panel.SetSliderValue(value, 3);
        QCOMPARE(Slider(&panel, 3)->value(), value);  // the slider stays where it was put
        QCOMPARE(Spin(&panel, 3)->value(), shown);
        QCOMPARE(Slider(&panel, 3)->pageStep(), pageStep);
    }

    void firstChangeIsShownNotSent()
    {
        auto *panel = new SensorDPIB;
        Page page(panel);
        panel->SetSliderMaximum(26000);

        panel->SetSliderValue(1234, 2);
        QCOMPARE(Spin(panel, 2)->value(), 1200);
        QCOMPARE(ImagesSent(), 0);
        QVERIFY(panel->GetSkipNextSend());

        // The next change of any slider is sent, coded as SendLevelDpi codes
        // it: here a user's click, on which the slider jumps there.
        const QByteArray before = StoredImage();
        QTest::mouseClick(Slider(panel, 5), Qt::LeftButton, Qt::NoModifier, QPoint(255, 10));
        const int shown = Spin(panel, 5)->value();
        QVERIFY(shown > 10000);
        QCOMPARE(shown % 200, 0);
        QVERIFY(ImagesSent() >= 1);
        const DpiLevelCode code = EncodeDpi(DpiCodingModel::Current(), shown);
        QCOMPARE(StoredRecord(5).left(3), RecordBytes(code.X, code.Flags, 0, 0, 0).left(3));
        for (int changed : ChangedBytes(before, StoredImage()))
            QVERIFY(changed >= kLevelRecords + 30 && changed < kLevelRecords + 33);

        // While a whole image is being applied: shown, not sent.
        const int sent = ImagesSent();
        g_ApplyingSettings = 1;
        panel->SetSliderValue(2000, 5);
        QCOMPARE(Spin(panel, 5)->value(), 2000);
        QCOMPARE(ImagesSent(), sent);
        g_ApplyingSettings = 0;

        // Selecting a level skips the next change again.
        panel->SelectLevel(4);
        QCOMPARE(ImagesSent(), sent + 1);  // the selection's own write
        QVERIFY(!panel->GetSkipNextSend());
        panel->SetSliderValue(3000, 4);
        QCOMPARE(ImagesSent(), sent + 1);
        panel->SetSliderValue(3100, 4);
        QCOMPARE(ImagesSent(), sent + 2);
    }

    void offlineChangeShowsTheRawValueOnce_data()
    {
        QTest::addColumn<bool>("skipArmed");
        QTest::newRow("before the first change") << false;
        QTest::newRow("after it") << true;
    }
    void offlineChangeShowsTheRawValueOnce()
    {
        QFETCH(bool, skipArmed);
        auto *panel = new SensorDPIB;
        Page page(panel);
        if (skipArmed)
            panel->SetSliderValue(500, 0);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        panel->SetSliderValue(1234, 1);
        QCOMPARE(Spin(panel, 1)->value(), 1234);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(panel->GetSkipNextSend(), skipArmed);
        QCOMPARE(ImagesSent(), 0);

        // A level selection offline only tells.
        panel->SelectLevel(3);
        QCOMPARE(notices->count(), 2);
        QCOMPARE(CheckedBoxes(panel), QList<int>());
        QCOMPARE(panel->GetSkipNextSend(), skipArmed);
    }

    void fewerLevelsMoveTheCurrentOneOntoTheLast()
    {
        auto *panel = FilledPanel(8, 5);
        Page page(panel);
        const QByteArray record2 = RecordBytes(7, 0, 1, 2, 3);
        const QByteArray record5 = RecordBytes(31, 0, 4, 5, 6);
        SeedRecord(2, record2);
        SeedRecord(5, record5);
        SeedByte(kCurrentLevelByte, 5);
        SeedByte(kLevelCountByte, 8);

        // The current-level write comes first: seen from the box's own signal.
        QByteArray firstImage;
        int imagesAtFirst = -1;
        connect(Box(panel, 2), &QCheckBox::toggled, this, [&](bool checked) {
            if (checked) {
                firstImage = StoredImage();
                imagesAtFirst = ImagesSent();
            }
        });
        ChooseItem(CountBox(panel), 2);

        QCOMPARE(imagesAtFirst, 1);
        QCOMPARE(int(uint8_t(firstImage.at(kCurrentLevelByte))), 2);
        QCOMPARE(firstImage.mid(kLevelRecords + 12, 6), record2);
        QCOMPARE(ImagesSent(), 3);
        QCOMPARE(StoredRecord(2), record5);
        QCOMPARE(StoredRecord(5), record2);
        QCOMPARE(StoredByte(kCurrentLevelByte), 2);
        QCOMPARE(StoredByte(kLevelCountByte), 3);

        QCOMPARE(panel->GetLevelColor(2), kDistinctColors.at(5));
        QCOMPARE(panel->GetLevelColor(5), kDistinctColors.at(2));
        QVERIFY(ColourButton(panel, 2)->styleSheet().contains(kDistinctColors.at(5)));
        QVERIFY(ColourButton(panel, 5)->styleSheet().contains(kDistinctColors.at(2)));
        QCOMPARE(Spin(panel, 2)->value(), 2400);
        QCOMPARE(Slider(panel, 2)->value(), 2400);
        QCOMPARE(Spin(panel, 5)->value(), 1200);
        QCOMPARE(CheckedBoxes(panel), QList<int>{2});
        QCOMPARE(Box(panel, 2)->text(), QString("DPI3"));
        QCOMPARE(panel->GetCurrentLevel(), 2);
        QCOMPARE(panel->GetLevelCount(), 3);
        QCOMPARE(ShownRows(panel), QString("11100000"));
    }

    void moreLevelsOnlyShowAndCount()
    {
        auto *panel = FilledPanel(3, 2);
        Page page(panel);
        const QByteArray before = StoredImage();
        ChooseItem(CountBox(panel), 6);
        QCOMPARE(ShownRows(panel), QString("11111110"));
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{kLevelCountByte});
        QCOMPARE(StoredByte(kLevelCountByte), 7);
        QCOMPARE(panel->GetCurrentLevel(), 2);
        QCOMPARE(panel->GetLevelColor(2), kDistinctColors.at(2));
    }

    void countChangeDuringASensorFillDoesNothing()
    {
        auto *panel = FilledPanel(8, 5);
        Page page(panel);
        g_SensorRefreshing = 1;
        panel->SetCountIndex(2);
        g_SensorRefreshing = 0;
        QCOMPARE(ShownRows(panel), QString("11111111"));
        QCOMPARE(panel->GetCurrentLevel(), 5);
        QCOMPARE(panel->GetLevelColor(5), kDistinctColors.at(5));
        QCOMPARE(ImagesSent(), 0);
    }

    void offlineCountChangeExchangesOnlyTheWidgets()
    {
        auto *panel = FilledPanel(8, 5);
        Page page(panel);
        UnplugMouse();
        const QByteArray before = StoredImage();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        panel->SetCountIndex(2);
        QCOMPARE(panel->GetLevelColor(2), kDistinctColors.at(5));
        QCOMPARE(Spin(panel, 2)->value(), 2400);
        QCOMPARE(panel->GetCurrentLevel(), 2);
        QCOMPARE(ShownRows(panel), QString("11100000"));
        QCOMPARE(StoredImage(), before);
        // The current-level write, the exchange and the count each tell.
        QCOMPARE(notices->count(), 3);
    }

    // Counts and current levels outside 0-7 name no row: nothing is exchanged.
    void countChangeWithLevelsOutsideTheTable_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("countByte");  // -1: not written
        QTest::newRow("current level 9") << 9 << 2 << "11100000" << 3;
        QTest::newRow("current level -3") << -3 << 2 << "11100000" << 3;
        QTest::newRow("count index -1") << 5 << -1 << "11111111" << -1;
    }
    void countChangeWithLevelsOutsideTheTable()
    {
        QFETCH(int, current);
        QFETCH(int, index);
        QFETCH(QString, rows);
        QFETCH(int, countByte);
        auto *panel = FilledPanel(8, 5);
        Page page(panel);
        panel->SetCurrentLevel(current);
        SeedByte(kLevelCountByte, 8);
        const QByteArray before = StoredImage();
        panel->SetCountIndex(index);
        QCOMPARE(ShownRows(panel), rows);
        for (int level = 0; level < SensorDPIB::kLevels; ++level)
            QCOMPARE(panel->GetLevelColor(level), kDistinctColors.at(level));
        QCOMPARE(panel->GetCurrentLevel(), current);
        if (countByte < 0) {
            QCOMPARE(StoredImage(), before);
        } else {
            QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{kLevelCountByte});
            QCOMPARE(StoredByte(kLevelCountByte), countByte);
        }
    }

    void chosenColourGoesToTheLevelThatAskedForIt_data()
    {
        QTest::addColumn<bool>("writesAllowed");
        QTest::newRow("writes allowed") << true;
        QTest::newRow("writes not allowed") << false;
    }
    void chosenColourGoesToTheLevelThatAskedForIt()
    {
        QFETCH(bool, writesAllowed);
        auto *panel = new SensorDPIB;
        Page page(panel);
        g_WritesAllowed = writesAllowed ? 1 : 0;
        const QByteArray before = StoredImage();
        QTest::mouseClick(ColourButton(panel, 4), Qt::LeftButton);
        QColorDialog *dialog = panel->GetColorDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(panel->GetColorTarget(), 4);

        dialog->setCurrentColor(QColor(1, 2, 255));
        dialog->accept();
        QCOMPARE(panel->GetLevelColor(4), QString("#0102ff"));
        QVERIFY(ColourButton(panel, 4)->styleSheet().contains("background-color:#0102ff;"));
        if (writesAllowed) {
            QCOMPARE(ImagesSent(), 1);
            QCOMPARE(StoredRecord(4).mid(3), QByteArray("\x01\x02\xff", 3));
            QCOMPARE(ChangedBytes(before, StoredImage()).size() <= 3, true);
        } else {
            QCOMPARE(ImagesSent(), 0);
        }
    }

    void newPanel()
    {
        auto *panel = new SensorDPIB;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(725, 444));
        for (int level = 0; level < SensorDPIB::kLevels; ++level) {
            QVERIFY(ColourButton(panel, level)->styleSheet().contains("rgb(255, 0, 0)"));
            QCOMPARE(Slider(panel, level)->value(), 50);
            QCOMPARE(Spin(panel, level)->value(), 50);
            QCOMPARE(Slider(panel, level)->hasTracking(), false);
            QCOMPARE(Box(panel, level)->geometry(), QRect(10, 60 + 50 * level, 61, 20));
            QCOMPARE(Box(panel, level)->text(), QString("DPI%1").arg(level + 1));
        }
        QCOMPARE(CheckedBoxes(panel), QList<int>());
        QCOMPARE(panel->GetCurrentLevel(), 1);
        QCOMPARE(CountBox(panel)->count(), 0);
        QCOMPARE(panel->findChild<QLabel *>("label")->text(), QString("DPI级数"));
        QCOMPARE(MissingPictures(panel), QStringList());

        // The first item makes itself current: rows 0 and 1 trade places.
        const QString color0 = panel->GetLevelColor(0);
        const QString color1 = panel->GetLevelColor(1);
        panel->InsertCountItem(0, "1");
        QCOMPARE(panel->GetLevelColor(0), color1);
        QCOMPARE(panel->GetLevelColor(1), color0);
        QCOMPARE(CheckedBoxes(panel), QList<int>{0});
        QCOMPARE(ShownRows(panel), QString("10000000"));
    }

    void presetColoursAndBack()
    {
        auto *panel = FilledPanel(8, 0);
        Page page(panel);
        panel->ApplyPresetButtonColours();
        QVERIFY(ColourButton(panel, 5)->styleSheet().contains("#ff557d"));
        QCOMPARE(panel->GetLevelColor(5), kDistinctColors.at(5));
        panel->UpdateAllButtons();
        for (int level = 0; level < SensorDPIB::kLevels; ++level)
            QVERIFY(ColourButton(panel, level)->styleSheet().contains(kDistinctColors.at(level)));
        panel->SetLabelText("DPI levels");
        QCOMPARE(panel->findChild<QLabel *>("label")->text(), QString("DPI levels"));
        QVERIFY(page.Shoot("sensordpib"));
    }

    void levelsOutsideTheTableChangeNothing()
    {
        auto *panel = FilledPanel(8, 0);
        Page page(panel);
        for (int level : {-1, 8}) {
            panel->SetSliderValue(900, level);
            panel->SetSpinValue(900, level);
            panel->SetLevelText(level, "900");
            panel->SetLevelColor(level, "#123456");
            panel->CheckLevelButton(level);
            panel->ShowLevels(level);
        }
        QCOMPARE(ShownRows(panel), QString("11111111"));
        QCOMPARE(CheckedBoxes(panel), QList<int>{0});
        for (int level = 0; level < SensorDPIB::kLevels; ++level) {
            QCOMPARE(Spin(panel, level)->value(), 400 * (level + 1));
            QCOMPARE(panel->GetLevelColor(level), kDistinctColors.at(level));
        }
        QCOMPARE(ImagesSent(), 0);
    }
};

VOGM_TEST_MAIN(TestSensorDPIB)
#include "tst_sensordpib.moc"
