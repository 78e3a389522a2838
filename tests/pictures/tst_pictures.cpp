#include "compiledresources.h"
#include "picturetable.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

namespace {

QImage Staged(const PictureEntry &entry)
{
    return QImage(QDir(TestSupport::AppFolder()).filePath(entry.RelativePath()));
}

const PictureEntry *Find(const QString &folder, const QString &name)
{
    for (const PictureEntry &entry : PictureTable())
        if (entry.folder == folder && entry.name == name)
            return &entry;
    return nullptr;
}

// Share of pixels whose colour or coverage differs clearly between the two
// pictures, compared over the smaller picture's area centred in the larger.
double ChangedShare(const QImage &a, const QImage &b)
{
    const QImage one = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage two = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = qMin(one.width(), two.width());
    const int h = qMin(one.height(), two.height());
    const QPoint offsetOne((one.width() - w) / 2, (one.height() - h) / 2);
    const QPoint offsetTwo((two.width() - w) / 2, (two.height() - h) / 2);
    int changed = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = one.pixel(offsetOne + QPoint(x, y));
            const QRgb q = two.pixel(offsetTwo + QPoint(x, y));
            const int difference = qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                                        qMax(qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))));
            if (difference > 40)
                ++changed;
        }
    }
    return double(changed) / (w * h);
}

int MaxChannelDifference(const QImage &a, const QImage &b)
{
    const QImage one = a.convertToFormat(QImage::Format_ARGB32);
    const QImage two = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x) {
            const QRgb p = one.pixel(x, y);
            const QRgb q = two.pixel(x, y);
            worst = qMax(worst, qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                                     qMax(qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q)))));
        }
    return worst;
}

}  // namespace

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void everyFormPictureIsInTheTable_data();
    void everyFormPictureIsInTheTable();
    void everyPictureIsStagedAtItsSize_data();
    void everyPictureIsStagedAtItsSize();
    void statesLookDifferent_data();
    void statesLookDifferent();
    void batteryLeavesRoomForTheLevelBar();
    void compiledTitleMatchesTheSet();
};

void TestPictures::everyFormPictureIsInTheTable_data()
{
    // The names the forms load, folder by folder (".png" left out), with the
    // number of pictures each folder holds.
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Dialog") << "Dialog"
                            << QStringList{"Logo", "Brand", "Grain", "Battery", "Charg", "Home", "HomeHover",
                                           "HomeChecked", "Sensor", "SensorHover", "SensorChecked", "Macro",
                                           "MacroHover", "MacroChecked", "Light", "LightHover", "LightChecked",
                                           "Setting", "SettingHover", "SettingClick", "Close", "CloseHover",
                                           "CloseClick", "Min", "MinHover", "MinClick", "PageChange",
                                           "PageChangeHover", "PageChangeClick"};
    QTest::newRow("DialogChange") << "DialogChange"
                                  << QStringList{"Close", "CloseHover", "CloseClick", "Min", "MinHover",
                                                 "MinClick", "Repair", "Right", "RightClick", "Left", "LeftClick",
                                                 "ComboboxBack", "Menu", "MenuClicked", "ComboboxTextBack", "Unknow",
                                                 "DisOnlin0", "OnLine0", "DisOnline", "OnLineUsb", "OnLineWifi",
                                                 "1KHz", "2KHz", "4KHz", "8KHz"};
    QTest::newRow("WarningDialog") << "WarningDialog"
                                   << QStringList{"BackGround", "Close", "CloseHover", "CloseClick", "Confirm",
                                                  "ConfirmClick", "CheckBoxCheck", "CheckBox", "ok_nr", "ok_enter"};
    QTest::newRow("Setting") << "Setting"
                             << QStringList{"Pair", "Picture", "CloseSecondPage", "CloseSecondPageHover",
                                            "CloseSecondPageClick", "BackSecondPage", "PairSuccess", "PairFail"};
    QTest::newRow("Sensor") << "Sensor"
                            << QStringList{"ComboboxBack", "Menu", "MenuClicked", "ComboboxTextBack",
                                           "CheckBoxChecked", "CheckBox", "Title", "Close", "Open", "Level",
                                           "LevelHover", "HuaKuai", "Reduce", "Add", "MinA", "MaxA", "MinB", "MaxB",
                                           "ReportRate", "ReportRateClick", "LOD", "LODCheck"};
    QTest::newRow("Buttoninterface")
        << "Buttoninterface"
        << QStringList{"mouse0", "CMenuTitle", "CMenuTitleChecked", "AMenuTitle", "AMenuTitleChecked",
                       "LabelNumber", "ComboboxBack", "Menu", "MenuClicked", "ComboboxTextBack", "Reset",
                       "ResetHover", "ResetClick", "NumberOrigin", "NumberHover", "NumberClick", "BMenuTitle",
                       "BMenuTitleChecked", "BMenuTitleB", "BMenuTitleCheckedB", "Config", "TiltleBack"};
    QTest::newRow("Macro") << "Macro"
                           << QStringList{"MacroDown", "MacroUp", "MacroTime", "Up", "Down", "ComboboxBack", "Menu",
                                          "MenuClicked", "ComboboxTextBack", "CheckBoxCheck", "CheckBox", "Button",
                                          "ButtonHover", "ButtonClick", "Record", "RecordHover", "Stop", "StopHover"};
    QStringList light{"ComboboxBack", "Menu", "MenuClicked", "ComboboxTextBack", "HuaKuai", "Close", "Open",
                      "ColorBoard", "Reduce", "Add", "PreviewColor"};
    for (char c = 'A'; c <= 'N'; ++c)
        light << QStringLiteral("Color") + QChar(c);
    QTest::newRow("Light") << "Light" << light;
    QTest::newRow("FormSetting") << "FormSetting"
                                 << QStringList{"PariButton", "Title", "Mouse", "ComboboxBack", "Menu", "MenuClicked",
                                                "ComboboxTextBack", "CheckBox", "CheckBoxChecked", "CheckBoxCheck",
                                                "CheckBox2", "Picture", "Confirm", "WaitUpdate", "WaitUpdateHover"};
}

void TestPictures::everyFormPictureIsInTheTable()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, names);
    QStringList inTable;
    for (const PictureEntry &entry : PictureTable())
        if (entry.folder == folder)
            inTable << entry.name;
    for (const QString &name : names)
        QVERIFY2(inTable.contains(name), qPrintable(folder + "/" + name + " is not drawn"));
    QCOMPARE(inTable.size(), names.size());
    QCOMPARE(QSet<QString>(inTable.begin(), inTable.end()).size(), inTable.size());  // no name twice
}

void TestPictures::everyPictureIsStagedAtItsSize_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < PictureTable().size(); ++i)
        QTest::newRow(qPrintable(PictureTable().at(i).RelativePath())) << i;
}

void TestPictures::everyPictureIsStagedAtItsSize()
{
    QFETCH(int, index);
    const PictureEntry &entry = PictureTable().at(index);
    const QString path = QDir(TestSupport::AppFolder()).filePath(entry.RelativePath());
    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path + " does not load"));
    QCOMPARE(image.size(), entry.size);

    // Something is drawn, and not one flat colour.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < argb.height() && colours.size() < 3; ++y)
        for (int x = 0; x < argb.width() && colours.size() < 3; ++x)
            colours.insert(argb.pixel(x, y));
    QVERIFY2(colours.size() >= 2, qPrintable(path + " is blank"));

    // What was drawn is what is stored; a fully opaque picture is stored without alpha.
    const QImage drawn = RenderPicture(entry).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(argb == drawn, qPrintable(path + " differs from the drawing"));
    bool opaque = true;
    for (int y = 0; y < drawn.height() && opaque; ++y)
        for (int x = 0; x < drawn.width() && opaque; ++x)
            opaque = qAlpha(drawn.pixel(x, y)) == 255;
    QCOMPARE(image.hasAlphaChannel(), !opaque);
}

void TestPictures::statesLookDifferent_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < PictureTable().size(); ++i)
        if (!PictureTable().at(i).variantOf.isEmpty())
            QTest::newRow(qPrintable(PictureTable().at(i).RelativePath())) << i;
}

void TestPictures::statesLookDifferent()
{
    QFETCH(int, index);
    const PictureEntry &variant = PictureTable().at(index);
    const PictureEntry *base = Find(variant.folder, variant.variantOf);
    QVERIFY2(base, qPrintable(variant.variantOf + " is not in the table"));
    const double share = ChangedShare(Staged(*base), Staged(variant));
    QVERIFY2(share > 0.04, qPrintable(QStringLiteral("%1 differs from %2 in only %3% of its pixels")
                                          .arg(variant.name, base->name)
                                          .arg(share * 100, 0, 'f', 1)));
}

void TestPictures::batteryLeavesRoomForTheLevelBar()
{
    // The program draws the level bar at (1, 1) to (38, 18) inside the outline.
    const PictureEntry *battery = Find("Dialog", "Battery");
    QVERIFY(battery);
    const QImage image = Staged(*battery).convertToFormat(QImage::Format_ARGB32);
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 38; ++x)
            QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    QVERIFY(qAlpha(image.pixel(0, 10)) > 100);   // left edge of the outline
    QVERIFY(qAlpha(image.pixel(41, 10)) > 100);  // the nub
}

void TestPictures::compiledTitleMatchesTheSet()
{
    LoadCompiledResources();
    const QImage compiled(":/sensor/Source/SensorImage/Title.png");
    QVERIFY(!compiled.isNull());
    QCOMPARE(compiled.size(), CompiledTitleEntry().size);
    // The committed resource is a copy of the drawn marker; redraw it with the
    // generator's --resource-title when the drawing changes.
    QVERIFY(MaxChannelDifference(compiled, RenderPicture(CompiledTitleEntry())) <= 8);
    const PictureEntry *staged = Find("FormSetting", "Title");
    QVERIFY(staged);
    QVERIFY(MaxChannelDifference(compiled, Staged(*staged)) <= 8);
}

VOGM_TEST_MAIN(TestPictures)
#include "tst_pictures.moc"
