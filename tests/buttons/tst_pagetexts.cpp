// The button page's texts: the function list's font, the language file by
// index, the tags it reads from its element (the import and export tool
// tips, the prefixes, the debounce units) and what a load does afterwards:
// the rows captioned again from the image they show and the profile items
// with the new prefix, only for a model with cached settings. Every text of
// the six shipped files fits its widget.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "devicecache.h"
#include "firekey.h"
#include "globals.h"
#include "languagereader.h"
#include "languagetags.h"
#include "macrofile.h"
#include "macroini.h"
#include "myconmbobox.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace ButtonPageKit;

namespace {

const QString kCacheName = "Device_CID12_MID01.bin";
const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Total>\n<Buttoninterface>\n";
const QByteArray kTail = "</Buttoninterface>\n</Total>\n";

void StoreLanguage(int index)
{
    QVERIFY(MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(index)));
}

// An application folder beside the staged one: everything of the stage is
// linked in except the language folder, which holds only the files a test
// writes. VOGM_APP_DIR points at it while the object lives.
class AppFolder
{
public:
    AppFolder() : m_stage(qEnvironmentVariable("VOGM_APP_DIR"))
    {
        const QDir stage(m_stage);
        for (const QString &entry : stage.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (entry != QLatin1String("Language"))
                QFile::link(stage.filePath(entry), m_dir.filePath(entry));
        }
        QDir(m_dir.path()).mkpath("Language");
        qputenv("VOGM_APP_DIR", m_dir.path().toLocal8Bit());
    }
    ~AppFolder() { qputenv("VOGM_APP_DIR", m_stage.toLocal8Bit()); }

    // The English file with `element` as the page's element.
    bool WriteEnglish(const QByteArray &element)
    {
        QFile file(m_dir.filePath("Language/0-English.xml"));
        return file.open(QIODevice::WriteOnly) && file.write(kHead + element + kTail) > 0;
    }

private:
    QString m_stage;
    QTemporaryDir m_dir;
};

// An image whose first six buttons are the left, right, middle, back and
// forward mouse buttons and DPI cycle.
FlashDataMap MouseButtonsImage()
{
    FlashDataMap image{};
    const uint8_t entries[6][3] = {{1, 1, 0}, {1, 2, 0}, {1, 4, 0}, {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};
    for (int i = 0; i < 6; ++i) {
        image.Keys[i].Type = entries[i][0];
        image.Keys[i].Param1 = entries[i][1];
        image.Keys[i].Param2 = entries[i][2];
    }
    return image;
}

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// What the profile box keeps clear on either side of its centred text: its
// drop-down arrow sits on the right.
constexpr int kComboArrowRoom = 24;

constexpr int kOpenerArrowRoom = 18;

// The width a widget's text may take: its fixed width, less a small margin
// on either side.
int RoomFor(const QWidget *widget)
{
    const int width = widget->maximumWidth() < QWIDGETSIZE_MAX ? widget->maximumWidth() : widget->width();
    return width - 6;
}

}  // namespace

class TestPageTexts : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fontFollowsTheLanguage_data();
    void fontFollowsTheLanguage();
    void filesAndToolTipsByIndex();
    void tagsOfTheElement_data();
    void tagsOfTheElement();
    void loadDrawsCaptionsAndProfilesAgain_data();
    void loadDrawsCaptionsAndProfilesAgain();
    void captionsComeFromTheShownImage();
    void shippedTextsFitTheirWidgets_data();
    void shippedTextsFitTheirWidgets();

private:
    void MakePage();
    QComboBox *Debounce() const { return m_page->findChild<QComboBox *>("Debunce"); }
    QComboBox *Profiles() const { return m_page->findChild<MyConmboBox *>("ProjectChoose"); }

    std::unique_ptr<Buttoninterface> m_ownedPage;
};

void TestPageTexts::init()
{
    TestSupport::IsolateUserFolders();
    QVERIFY(QDir().mkpath(TestSupport::BaseFolder()));
    g_LoadCacheName.Set(QString());
    g_DeviceOnline = 0;
    StoreImage(FlashDataMap{});
}

void TestPageTexts::cleanup()
{
    m_page = nullptr;
    m_ownedPage.reset();
    g_LoadCacheName.Set(QString());
}

void TestPageTexts::MakePage()
{
    m_ownedPage = std::make_unique<Buttoninterface>(nullptr);
    m_page = m_ownedPage.get();
}

void TestPageTexts::fontFollowsTheLanguage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<int>("points");

    QTest::newRow("Russian") << 4 << true << 8;
    QTest::newRow("English") << 0 << true << 9;
    QTest::newRow("Russian without files") << 4 << false << 8;
    QTest::newRow("English without files") << 0 << false << 9;
}

void TestPageTexts::fontFollowsTheLanguage()
{
    QFETCH(int, index);
    QFETCH(bool, withFiles);
    QFETCH(int, points);
    std::unique_ptr<AppFolder> noFiles;
    if (!withFiles)
        noFiles = std::make_unique<AppFolder>();

    // At start with the stored index, after a change to the other size and
    // after the change back.
    auto fontPoints = [this] {
        QSet<int> sizes;
        for (QToolButton *button : m_page->FunctionListButtons()) {
            if (button->font().family() != QString::fromUtf8("微软雅黑") || button->font().italic()
                || button->font().weight() != QFont::Normal)
                return -1;
            sizes << button->font().pointSize();
        }
        return sizes.size() == 1 ? *sizes.begin() : -1;
    };
    StoreLanguage(index);
    MakePage();
    QCOMPARE(m_page->FunctionListButtons().size(), 17);
    QCOMPARE(fontPoints(), points);
    const int other = index == 4 ? 0 : 4;
    m_page->SlotChangeLanguage(other);
    QCOMPARE(fontPoints(), other == 4 ? 8 : 9);
    m_page->SlotChangeLanguage(index);
    QCOMPARE(fontPoints(), points);
    // Without files no text changed.
    if (!withFiles)
        QCOMPARE(Button("Reset")->text(), QString::fromUtf8("重置"));
}

void TestPageTexts::filesAndToolTipsByIndex()
{
    StoreLanguage(5);
    MakePage();
    QCOMPARE(Button("Reset")->text(), QString::fromUtf8("リセット"));
    for (const char *name : {"ImportData", "OutputData"}) {
        QVERIFY(!Button(name)->text().isEmpty());
        QCOMPARE(Button(name)->toolTip(), Button(name)->text());
    }

    StoreLanguage(0);
    m_page->SlotChangeLanguage(0);
    QCOMPARE(Button("Reset")->text(), QString("Reset"));
    QCOMPARE(Button("ImportData")->text(), QString("Import"));
    QCOMPARE(Button("ImportData")->toolTip(), QString());
    QCOMPARE(Button("OutputData")->toolTip(), QString());

    // An index outside the six loads English.
    m_page->SlotChangeLanguage(1);
    QCOMPARE(Button("Reset")->text(), QString::fromUtf8("重置"));
    m_page->SlotChangeLanguage(7);
    QCOMPARE(Button("Reset")->text(), QString("Reset"));
}

void TestPageTexts::tagsOfTheElement_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<QStringList>("expected");  // "what=text"

    QTest::newRow("debounce units")
        << QByteArray("<S20>u</S20><S1>v</S1>") << QStringList{"item0=0v", "item19=19u", "item20=20u", "item1=1ms"};
    QTest::newRow("no Config")
        << QByteArray("<Macro_>M-</Macro_>") << QStringList{"ConfigPrefix=Kept", "MacroPrefix=M-", "profile0=Kept1"};
    QTest::newRow("unknown child with children")
        << QByteArray("<Unknown><Reset>no</Reset><a><b/></a></Unknown><Reset>R</Reset><Config>C</Config>")
        << QStringList{"Reset=R", "ConfigPrefix=C", "profile0=C1"};
    QTest::newRow("markup inside a text")
        << QByteArray("<Config>C</Config><Reset>x<b/>y</Reset><ImportData>I</ImportData>")
        << QStringList{"ConfigPrefix=C", "Reset=Before", "ImportData=Before", "profile0=C1"};
}

void TestPageTexts::tagsOfTheElement()
{
    QFETCH(QByteArray, element);
    QFETCH(QStringList, expected);
    AppFolder app;
    MakePage();
    // A cached image of the model: the profile items are drawn again.
    QVERIFY(SaveDeviceCache(kCacheName, FlashDataMap{}));
    g_LoadCacheName.Set(kCacheName);
    m_page->ConfigPrefix = "Kept";
    m_page->SlotUpDataConfigUI(4, 1, true);
    Button("Reset")->setText("Before");
    Button("ImportData")->setText("Before");
    Debounce()->setItemText(1, "1ms");

    QVERIFY(app.WriteEnglish(element));
    m_page->SlotChangeLanguage(0);

    for (const QString &pair : expected) {
        const QString what = pair.section('=', 0, 0);
        const QString text = pair.section('=', 1);
        QString actual;
        if (what.startsWith("item"))
            actual = Debounce()->itemText(what.mid(4).toInt());
        else if (what == "profile0")
            actual = Profiles()->itemText(0);
        else if (what == "ConfigPrefix")
            actual = m_page->ConfigPrefix;
        else if (what == "MacroPrefix")
            actual = m_page->MacroPrefix;
        else
            actual = Button(what)->text();
        QVERIFY2(actual == text, qPrintable(what + ": " + actual));
    }
    QCOMPARE(Profiles()->count(), 4);
    QCOMPARE(Profiles()->currentIndex(), 1);
}

void TestPageTexts::loadDrawsCaptionsAndProfilesAgain_data()
{
    QTest::addColumn<bool>("cached");
    QTest::newRow("cached model") << true;
    QTest::newRow("no cache") << false;
}

void TestPageTexts::loadDrawsCaptionsAndProfilesAgain()
{
    QFETCH(bool, cached);
    StoreLanguage(1);
    MakePage();
    m_page->SlotUpDataButtonUIButton(MouseButtonsImage());
    QCOMPARE(Button("FireKey")->text(), QString::fromUtf8("左键"));
    QCOMPARE(Button("BackMusic")->text(), QString::fromUtf8("DPI循环"));
    m_page->SlotUpDataConfigUI(4, 2, false);
    QCOMPARE(Profiles()->itemText(0), QString::fromUtf8("配置1"));
    if (cached) {
        QVERIFY(SaveDeviceCache(kCacheName, FlashDataMap{}));
        g_LoadCacheName.Set(kCacheName);
    }

    StoreLanguage(0);
    m_page->SlotChangeLanguage(0);

    QCOMPARE(Button("LeftKey_3")->text(), QString("Left button"));
    if (cached) {
        QCOMPARE(Button("FireKey")->text(), QString("Left button"));
        QCOMPARE(Button("BackMusic")->text(), Button("VolumeUp_8")->text());
        QCOMPARE(Items(Profiles()), (QStringList{"Profile #1", "Profile #2", "Profile #3", "Profile #4"}));
    } else {
        // The row keeps the file's own row text: no caption is drawn.
        QCOMPARE(Button("BackMusic")->text(), QString("Next track"));
        QCOMPARE(Profiles()->itemText(0), QString::fromUtf8("配置1"));
    }
    QCOMPARE(Profiles()->count(), 4);
    QCOMPARE(Profiles()->currentIndex(), 2);
    QVERIFY(!Profiles()->isEnabled());
}

void TestPageTexts::captionsComeFromTheShownImage()
{
    StoreLanguage(1);
    MakePage();
    // The mouse is away: the rows show the model's cache, while the program's
    // own image holds zeros.
    const FlashDataMap cache = MouseButtonsImage();
    QVERIFY(SaveDeviceCache(kCacheName, cache));
    g_LoadCacheName.Set(kCacheName);
    m_page->SlotUpDataButtonUIButton(cache);
    StoreImage(FlashDataMap{});
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
    QFile macro(MacroFile::Folder() + "/M.ini");
    QVERIFY(macro.open(QIODevice::WriteOnly) && macro.write("254\n0x04 1 0\n10ms\n0x04 1 1\n") > 0);
    macro.close();
    const QStringList macros = QDir(MacroFile::Folder()).entryList(QDir::Files);

    m_page->SlotChangeLanguage(0);

    QCOMPARE(Button("FireKey")->text(), Button("LeftKey_3")->text());
    QCOMPARE(Button("RightKey")->text(), Button("RightKey_3")->text());
    QCOMPARE(Button("BackMusic")->text(), Button("VolumeUp_8")->text());
    QCOMPARE(m_page->Assignments().Types(), (QVector<int>{1, 1, 1, 1, 1, 2}));
    QCOMPARE(QDir(MacroFile::Folder()).entryList(QDir::Files), macros);
    QVERIFY(macro.open(QIODevice::ReadOnly));
    QCOMPARE(macro.readAll(), QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1\n"));
}

void TestPageTexts::shippedTextsFitTheirWidgets_data()
{
    QTest::addColumn<int>("index");
    for (int index = 0; index <= 5; ++index)
        QTest::newRow(qPrintable(LanguageFilePath(index))) << index;
}

void TestPageTexts::shippedTextsFitTheirWidgets()
{
    QFETCH(int, index);
    StoreLanguage(index);
    MakePage();
    QStringList tooWide;
    auto check = [&tooWide](const QWidget *widget, const QString &text) {
        const int needed = widget->fontMetrics().horizontalAdvance(text);
        if (needed > RoomFor(widget))
            tooWide << QString("%1: \"%2\" needs %3 px of %4").arg(widget->objectName(), text).arg(needed).arg(RoomFor(widget));
    };
    // The openers of the detail lists carry an arrow on their right; their
    // centred text keeps clear of it on both sides.
    const QStringList openers{"DPI_13", "DPI_11", "DPI_4", "DPI_9", "DPI_7", "DPI_12", "DPI_10"};
    for (const QString &tag : LanguageTags::TagsOf("Buttoninterface")) {
        const QString name = tag == "checkBox" ? QString("label_3") : tag;
        const auto *button = m_page->findChild<QToolButton *>(name);
        if (button && openers.contains(name)) {
            if (button->fontMetrics().horizontalAdvance(button->text()) > button->maximumWidth() - 2 * kOpenerArrowRoom)
                tooWide << name + ": \"" + button->text() + "\"";
        } else if (button)
            check(button, button->text());
        else if (const auto *label = m_page->findChild<QLabel *>(name))
            check(label, label->text());
    }
    // A profile item is centred over the whole box, its arrow included.
    const QString item = m_page->ConfigPrefix + "4";
    if (Profiles()->fontMetrics().horizontalAdvance(item) > Profiles()->maximumWidth() - 2 * kComboArrowRoom)
        tooWide << "ProjectChoose: \"" + item + "\"";

    FireKey dialog;
    for (const char *name : {"label", "label_2"})
        check(dialog.findChild<QLabel *>(name), dialog.findChild<QLabel *>(name)->text());
    for (const char *name : {"NewHong", "NewHong_2"})
        check(dialog.findChild<QToolButton *>(name), dialog.findChild<QToolButton *>(name)->text());
    QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join('\n')));
}

VOGM_TEST_MAIN(TestPageTexts)
#include "tst_pagetexts.moc"
