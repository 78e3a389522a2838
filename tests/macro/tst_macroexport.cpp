// Exporting and importing a macro: the exchange file byte by byte, the
// page's Export and Import through the real file dialogs, and files made to
// harm: none of them changes anything in or outside the macro folder.

#include "globals.h"
#include "macro.h"
#include "macroexport.h"
#include "macrokit.h"
#include "macroini.h"
#include "macrorecord.h"
#include "noticedialog.h"
#include "paths.h"
#include "eventrows.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDataStream>
#include <QBuffer>
#include <QDir>
#include <QLabel>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

using namespace MacroKit;

namespace {

const QByteArray kAClick = "254\n0x04 1 0\n10ms\n0x04 1 1\n";

// The export of macro "m1", loop 254, [A pressed, "10ms", A released] with
// null icons, as the exchange format lays it out.
const QByteArray kGolden = QByteArray::fromHex(
    "0000000c" "51656c766f" "00000000000000"
    "00000030" "6d31" "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
              "0000"
    "0000000c" "323534" "000000000000000000"
    "00000003"
    "00000002" "0041" "ffffffff" "00000002" "3000"
    "00000008" "00310030006d0073" "ffffffff"
    "00000002" "0041" "ffffffff" "00000002" "3100");

QString MacroFolder()
{
    return TestSupport::BaseFolder() + "/usersetting/MacroPage";
}

QString MacroPath(const QString &name)
{
    return MacroFolder() + "/" + name + ".ini";
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// ---- the format, byte by byte ----

QByteArray U32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

QByteArray Block(const QByteArray &text, int size)
{
    return U32(quint32(size)) + text.leftJustified(size, '\0', true);
}

QByteArray String(const QString &text)
{
    QByteArray bytes = U32(quint32(text.size() * 2));
    for (const QChar c : text)
        bytes += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xff));
    return bytes;
}

const QByteArray kNullIcon = QByteArray::fromHex("ffffffff");

QByteArray KeyItem(const QString &name, bool press, const QByteArray &icon = kNullIcon)
{
    return String(name) + icon + U32(2) + (press ? QByteArray("0", 2) : QByteArray("1", 2));
}

QByteArray DelayItem(const QString &text)
{
    return String(text) + kNullIcon;
}

QByteArray ExportFile(const QByteArray &name, const QByteArray &loop, const QList<QByteArray> &items,
                      const QByteArray &tag = "Qelvo")
{
    QByteArray file = Block(tag, 12) + Block(name, 48) + Block(loop, 12) + U32(quint32(items.size()));
    for (const QByteArray &item : items)
        file += item;
    return file;
}

const QList<QByteArray> kAClickItems{KeyItem("A", true), DelayItem("10ms"), KeyItem("A", false)};

QImage ImageOf(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Everything below the per-user base folder, with each file's content.
QMap<QString, QByteArray> UserFiles()
{
    QMap<QString, QByteArray> files;
    const QDir base(TestSupport::BaseFolder());
    QDirIterator it(base.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(base.relativeFilePath(path), QFileInfo(path).isFile() ? ReadFile(path) : QByteArray("<dir>"));
    }
    return files;
}

// Answers a file dialog with `path`, recording how it was opened.
struct FileDialogSeen {
    QString title;
    QStringList filters;
    QString directory;
    QWidget *parent = nullptr;
};

ModalScript::Step ChooseFile(const QString &path, FileDialogSeen *seen = nullptr)
{
    return [path, seen](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        if (seen)
            *seen = {dialog->windowTitle(), dialog->nameFilters(), dialog->directory().absolutePath(),
                     dialog->parentWidget()};
        // Typed as a user types a whole path; selectFile() may lose it while
        // the dialog still lists the start folder.
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        static_cast<QDialog *>(dialog)->accept();  // QFileDialog::accept, reached as a dialog
    };
}

}  // namespace

class TestMacroExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exportWritesTheFormat();
    void emptyMacroExportsAndImportsItsLoopLine();
    void failedExportSaysSo();
    void importOfAFileBuiltByHand();
    void importAcceptsAndMends_data();
    void importAcceptsAndMends();
    void hostileFilesChangeNothing_data();
    void hostileFilesChangeNothing();
    void tooManyKeysAreRefused();
    void exportDeleteImportKeepsTheMacro();
    void decoderStopsAtTheEndOfTheData();
    void decoderLeavesALongerListUnread();
    void iconsOnlyFromPngPictures();

private:
    Macro *MakePage();
    template <typename T>
    T *Child(const char *name) const
    {
        T *child = m_page->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    QListWidget *Macros() const { return Child<QListWidget>("listWidgetHong"); }
    QListView *Events() const { return Child<QListView>("listWidgetKey"); }
    QStringList MacroNames() const;
    QList<MacroItem> ShownItems() const;
    void ClickMacro(const QString &name);
    // Export and Import as the page runs them, their file dialog answered with `path`.
    QStringList Export(const QString &path, FileDialogSeen *seen = nullptr);
    QStringList Import(const QString &path, QList<ModalScript::Step> after = {}, FileDialogSeen *seen = nullptr);

    std::unique_ptr<Macro> m_page;
    std::unique_ptr<QTemporaryDir> m_outside;
};

void TestMacroExport::initTestCase()
{
    // Names are counted in bytes of the local 8-bit encoding.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroExport::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    m_outside = std::make_unique<QTemporaryDir>();
    g_MacroRecording = 0;
}

void TestMacroExport::cleanup()
{
    m_page.reset();
}

Macro *TestMacroExport::MakePage()
{
    m_page = std::make_unique<Macro>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs))
        qWarning("macro page not exposed");
    return m_page.get();
}

QStringList TestMacroExport::MacroNames() const
{
    QStringList names;
    for (int row = 0; row < Macros()->count(); ++row)
        names << Macros()->item(row)->text();
    return names;
}

QList<MacroItem> TestMacroExport::ShownItems() const
{
    QList<MacroItem> items;
    for (int row = 0; row < EventRows::Count(Events()); ++row)
        items << EventRows::Item(Events(), row);
    return items;
}

void TestMacroExport::ClickMacro(const QString &name)
{
    const QList<QListWidgetItem *> found = Macros()->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    QTest::mouseClick(Macros()->viewport(), Qt::LeftButton, {}, Macros()->visualItemRect(found.first()).center());
}

QStringList TestMacroExport::Export(const QString &path, FileDialogSeen *seen)
{
    ModalScript script({ChooseFile(path, seen)});
    m_page->ExPortMacro();
    return script.seen;
}

QStringList TestMacroExport::Import(const QString &path, QList<ModalScript::Step> after, FileDialogSeen *seen)
{
    ModalScript script(QList<ModalScript::Step>{ChooseFile(path, seen)} + after);
    m_page->InPortMacro();
    return script.seen;
}

void TestMacroExport::exportWritesTheFormat()
{
    WriteFile(MacroPath("m1"), kAClick);
    MakePage();
    ClickMacro("m1");
    const QString path = m_outside->filePath("m1-export.ini");
    FileDialogSeen seen;
    QCOMPARE(Export(path, &seen).size(), 1);
    QCOMPARE(seen.title, QString("FileSave"));
    QCOMPARE(seen.filters, QStringList{"File(*.ini)"});
    QCOMPARE(seen.directory, QDir::homePath());
    QCOMPARE(seen.parent, m_page.get());

    // Blocks, count, texts and markers as laid out; the icons are the page's
    // pictures, readable back as icons.
    const QByteArray bytes = ReadFile(path);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_6);
    auto block = [&in]() {
        char *raw = nullptr;
        uint length = 0;
        in.readBytes(raw, length);
        const QByteArray read(raw, int(length));
        delete[] raw;
        return read;
    };
    QCOMPARE(block(), QByteArray("Qelvo").leftJustified(12, '\0'));
    QCOMPARE(block(), QByteArray("m1").leftJustified(48, '\0'));
    QCOMPARE(block(), QByteArray("254").leftJustified(12, '\0'));
    qint32 count = 0;
    in >> count;
    QCOMPARE(count, 3);
    const QString pictures = TestSupport::AppFolder() + "/Picture/Macro/";
    const struct {
        const char *text;
        const char *picture;
        const char *marker;
    } items[] = {{"A", "MacroDown.png", "0"}, {"10ms", "MacroTime.png", nullptr}, {"A", "MacroUp.png", "1"}};
    for (const auto &item : items) {
        QString text;
        QIcon icon;
        in >> text >> icon;
        QCOMPARE(text, QString(item.text));
        QVERIFY(!icon.isNull());
        QCOMPARE(ImageOf(icon), ImageOf(QIcon(pictures + item.picture)));
        if (item.marker)
            QCOMPARE(block(), QByteArray(item.marker, 2));
    }
    QCOMPARE(in.status(), QDataStream::Ok);
    QVERIFY(in.atEnd());

    // With the icons cleared the whole file is the layout's 136 bytes.
    qobject_cast<MacroItemsModel *>(Events()->model())->SetIcons(QIcon(), QIcon(), QIcon());
    const QString bare = m_outside->filePath("bare.ini");
    Export(bare);
    QCOMPARE(ReadFile(bare).toHex(' '), kGolden.toHex(' '));
    QCOMPARE(kGolden.size(), 136);
}

void TestMacroExport::emptyMacroExportsAndImportsItsLoopLine()
{
    WriteFile(MacroPath("e"), "17\n");
    MakePage();
    ClickMacro("e");
    const QString path = m_outside->filePath("e.ini");
    Export(path);
    QCOMPARE(ReadFile(path), ExportFile("e", "17", {}));

    QVERIFY(QFile::remove(MacroPath("e")));
    MakePage();
    Import(path);
    QCOMPARE(MacroNames(), QStringList{"e"});
    QCOMPARE(ReadFile(MacroPath("e")), QByteArray("17\n"));
    QCOMPARE(EventRows::Count(Events()), 0);
    QCOMPARE(Child<QSpinBox>("NumberEdit")->value(), 17);
}

// The folder picked is gone by the time the file is written: the export says
// so instead of looking as if it had worked.
void TestMacroExport::failedExportSaysSo()
{
    WriteFile(MacroPath("m1"), kAClick);
    MakePage();
    ClickMacro("m1");
    QString message;
    ModalScript script({ChooseFile(m_outside->filePath("gone/m1.ini")), [&message](QWidget *modal) {
                            message = modal->findChild<QLabel *>("label")->text();
                            TestSupport::AnswerModal(modal, "NewHong");
                        }});
    m_page->ExPortMacro();
    QCOMPARE(script.seen.value(1), QString("InportFail"));
    QCOMPARE(message, QString("The file could not be written"));
    QVERIFY(!QFileInfo::exists(m_outside->filePath("gone")));
}

// The file is made here, not by the exporter.
void TestMacroExport::importOfAFileBuiltByHand()
{
    QCOMPARE(ExportFile("m1", "254", kAClickItems), kGolden);
    WriteFile(MacroPath("b"), "1\n0x05 1 0\n");
    const QString path = m_outside->filePath("golden.ini");
    WriteFile(path, kGolden);
    MakePage();
    ClickMacro("b");
    HubSignals hub;

    FileDialogSeen seen;
    QCOMPARE(Import(path, {}, &seen).size(), 1);
    QCOMPARE(seen.title, QString("SelectFile"));
    QCOMPARE(seen.filters, QStringList{"File(*.ini)"});
    QCOMPARE(seen.directory, QDir::homePath());

    QCOMPARE(MacroNames(), (QStringList{"b", "m1"}));
    QCOMPARE(Macros()->currentItem()->text(), QString("m1"));
    QCOMPARE(ShownItems(), (QList<MacroItem>{MacroItem::Key("A", true), {"10ms", 0}, MacroItem::Key("A", false)}));
    for (int row = 0; row < EventRows::Count(Events()); ++row)
        QVERIFY(!EventRows::Icon(Events(), row).isNull());  // the page's pictures, not the file's empty icons
    QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
    QVERIFY(Child<QCheckBox>("ReUntilLoose")->isChecked());
    QVERIFY(!Child<QToolButton>("Save")->isEnabled());
    QCOMPARE(hub.Emitted(), QStringList());

    // Again: the name is taken; the notice sits where a 300 x 110 notice would.
    const QMap<QString, QByteArray> before = UserFiles();
    QPoint noticeAt;
    const QStringList dialogs = Import(path, {[&noticeAt](QWidget *modal) {
                                           noticeAt = modal->pos();
                                           TestSupport::AnswerModal(modal, "NewHong");
                                       }});
    QCOMPARE(dialogs.value(1), QString("SameMacro"));
    QCOMPARE(noticeAt,
             NoticePosition(QRect(m_page->mapToGlobal(QPoint(0, 0)), m_page->size()), QSize(300, 110), -100, -50));
    QCOMPARE(MacroNames(), (QStringList{"b", "m1"}));
    QCOMPARE(UserFiles(), before);
    QCOMPARE(hub.Emitted(), QStringList());
}

void TestMacroExport::importAcceptsAndMends_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    const QByteArray aClickLines = kAClick.mid(3);
    QTest::newRow("48-byte name keeps 30 bytes")
        << ExportFile(QByteArray(48, 'n'), "254", kAClickItems) << QString(30, 'n') << kAClick;
    QTest::newRow("CJK name cut between characters")
        << ExportFile(QString::fromUtf8("宏").repeated(16).toUtf8(), "254", kAClickItems)
        << QString::fromUtf8("宏").repeated(10) << kAClick;
    QTest::newRow("loop 300 stored as 1") << ExportFile("m", "300", kAClickItems) << "m" << "1" + aClickLines;
    QTest::newRow("loop abc stored as 1") << ExportFile("m", "abc", kAClickItems) << "m" << "1" + aClickLines;
    QTest::newRow("loop 253 kept") << ExportFile("m", "253", kAClickItems) << "m" << "253" + aClickLines;
    QTest::newRow("unknown key name: the empty key")
        << ExportFile("m", "5", {KeyItem("NoSuchKey", false)}) << "m" << QByteArray("5\n0x00 1 1\n");
    QTest::newRow("marker other than a press is a release")
        << ExportFile("m", "5", {String("A") + kNullIcon + U32(2) + QByteArray("7", 2)}) << "m"
        << QByteArray("5\n0x04 1 1\n");
    QTest::newRow("trailing bytes after the last item")
        << ExportFile("m", "254", kAClickItems) + "junk" << "m" << kAClick;
    QTest::newRow("keys in a row and delays in a row repaired")
        << ExportFile("m", "254",
                      {KeyItem("A", true), KeyItem("B", true), DelayItem("10ms"), DelayItem("20ms"), KeyItem("A", false)})
        << "m" << QByteArray("254\n0x04 1 0\n0ms\n0x05 1 0\n30ms\n0x04 1 1\n");
}

void TestMacroExport::importAcceptsAndMends()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_outside->filePath("in.ini");
    WriteFile(path, file);
    MakePage();
    QCOMPARE(Import(path).size(), 1);
    QCOMPARE(MacroNames(), QStringList{name});
    QCOMPARE(ReadFile(MacroPath(name)), content);
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::Files), QStringList{name + ".ini"});
}

void TestMacroExport::hostileFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("notice");  // the message shown after the file dialog
    const QString unreadable = "The file cannot be read or is not a macro file";
    const QString nameRule = "A macro name must not start with \".\" or contain \"xml\", \".ini\", \"/\" or \"\\\"";
    QByteArray countMax = kGolden;
    countMax.replace(16 + 52 + 16, 4, U32(0x7FFFFFFF));
    QByteArray countNegative = kGolden;
    countNegative.replace(16 + 52 + 16, 4, U32(0xFFFFFFFF));
    QTest::newRow("cut inside an item") << kGolden.left(kGolden.size() - 3) << unreadable;
    QTest::newRow("cut after the count") << kGolden.left(16 + 52 + 16 + 4) << unreadable;
    QTest::newRow("count 0x7FFFFFFF") << countMax << unreadable;
    QTest::newRow("count -1") << countNegative << unreadable;
    QTest::newRow("name ../../Macro") << ExportFile("../../Macro", "254", kAClickItems) << nameRule;
    QTest::newRow("empty name") << ExportFile("", "254", kAClickItems) << unreadable;
    QTest::newRow("name with xml") << ExportFile("myxml", "254", kAClickItems) << nameRule;
    QTest::newRow("name with .ini") << ExportFile("a.ini", "254", kAClickItems) << nameRule;
    QTest::newRow("wrong tag") << ExportFile("m", "254", kAClickItems, "Qelvx") << unreadable;
    QTest::newRow("line end in a key name")
        << ExportFile("m", "254", {KeyItem("A\n0x04", true), DelayItem("10ms"), KeyItem("A", false)}) << unreadable;
    QTest::newRow("line end in a delay") << ExportFile("m", "254", {KeyItem("A", true), DelayItem("10ms\n0x04 1 0")})
                                         << unreadable;
    QTest::newRow("delay not a number") << ExportFile("m", "254", {KeyItem("A", true), DelayItem("abcms")})
                                        << unreadable;
    QTest::newRow("another icon engine")
        << ExportFile("m", "254", {KeyItem("A", true, String("QSvgIconEngine") + U32(0))}) << unreadable;
    QTest::newRow("odd text length") << ExportFile("m", "254", {U32(3) + "abc" + kNullIcon}) << unreadable;
    QTest::newRow("name taken") << ExportFile("taken", "254", kAClickItems) << "A macro with this name already exists";
}

// Nothing appears in or outside the macro folder, and the list is as before.
void TestMacroExport::hostileFilesChangeNothing()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, notice);
    WriteFile(MacroPath("taken"), "1\n");
    const QString path = m_outside->filePath("hostile.ini");
    WriteFile(path, file);
    MakePage();
    const QMap<QString, QByteArray> before = UserFiles();
    const QStringList outside = QDir(m_outside->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    HubSignals hub;

    QString shown;
    const QStringList dialogs = Import(path, {[&shown](QWidget *modal) {
                                             shown = modal->findChild<QLabel *>("label")->text();
                                             TestSupport::AnswerModal(modal, "NewHong");
                                         }});
    QCOMPARE(dialogs.size(), 2);
    QCOMPARE(shown, notice);

    QCOMPARE(MacroNames(), QStringList{"taken"});
    QCOMPARE(UserFiles(), before);
    QCOMPARE(QDir(m_outside->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outside);
    QCOMPARE(hub.Emitted(), QStringList());
}

void TestMacroExport::tooManyKeysAreRefused()
{
    QList<QByteArray> items;
    for (int key = 0; key < kMacroEventSlots + 1; ++key) {
        if (key > 0)
            items << DelayItem("5ms");
        items << KeyItem("A", true);
    }
    const QString path = m_outside->filePath("long.ini");
    WriteFile(path, ExportFile("long", "254", items));
    MakePage();
    const QMap<QString, QByteArray> before = UserFiles();

    QCOMPARE(Import(path, {Click("NewHong")}), (QStringList{"QFileDialog", "KeyNumberLimit"}));
    QCOMPARE(MacroNames(), QStringList());
    QCOMPARE(UserFiles(), before);

    // Seventy keys are imported.
    items.removeLast();
    items.removeLast();
    WriteFile(path, ExportFile("long", "254", items));
    QCOMPARE(Import(path), QStringList{"QFileDialog"});
    QCOMPARE(MacroNames(), QStringList{"long"});
    QCOMPARE(EventRows::Count(Events()), 2 * kMacroEventSlots - 1);

    // Items are counted before the repair: two keys and 138 delays are 140.
    QList<QByteArray> delays{KeyItem("A", true)};
    for (int i = 0; i < 138; ++i)
        delays << DelayItem("1ms");
    delays << KeyItem("A", false);
    WriteFile(path, ExportFile("delays", "254", delays));
    QCOMPARE(Import(path, {Click("NewHong")}), (QStringList{"QFileDialog", "KeyNumberLimit"}));
    QCOMPARE(MacroNames(), QStringList{"long"});
}

// Export, delete, import: the macro is back as it was, with the page's
// pictures as the icons the file brought.
void TestMacroExport::exportDeleteImportKeepsTheMacro()
{
    WriteFile(MacroPath("m1"), kAClick);
    WriteFile(MacroPath("z"), "1\n");
    MakePage();
    ClickMacro("m1");
    const QList<MacroItem> shown = ShownItems();
    const QString path = m_outside->filePath("m1.ini");
    Export(path);

    ModalScript confirm({Click("NewHong")});
    QTest::mouseClick(Child<QToolButton>("DeleteHong"), Qt::LeftButton);
    QCOMPARE(MacroNames(), QStringList{"z"});
    QVERIFY(!QFile::exists(MacroPath("m1")));

    Import(path);
    QCOMPARE(MacroNames(), (QStringList{"z", "m1"}));
    QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
    QCOMPARE(ShownItems(), shown);
    const QString pictures = TestSupport::AppFolder() + "/Picture/Macro/";
    const char *const expected[] = {"MacroDown.png", "MacroTime.png", "MacroUp.png"};
    for (int row = 0; row < EventRows::Count(Events()); ++row)
        QCOMPARE(ImageOf(EventRows::Icon(Events(), row)), ImageOf(QIcon(pictures + expected[row])));
}

// Every proper prefix of a good file is refused, so a damaged file never
// adds part of a macro.
void TestMacroExport::decoderStopsAtTheEndOfTheData()
{
    QVERIFY(MacroExport::Decode(kGolden));
    for (int size = 0; size < kGolden.size(); ++size)
        QVERIFY2(!MacroExport::Decode(kGolden.left(size)), qPrintable(QString::number(size)));
}

// A list longer than the reader asks for is not read at all: its length alone
// refuses it, however many items it promises or holds.
void TestMacroExport::decoderLeavesALongerListUnread()
{
    const QByteArray three = ExportFile("m", "1", {KeyItem("A", true), DelayItem("5ms"), KeyItem("A", false)});
    const auto whole = MacroExport::Decode(three, 3);
    QVERIFY(whole);
    QVERIFY(!whole->overItemLimit);
    QCOMPARE(whole->items.size(), 3);

    for (const QByteArray &bytes : {three, three.left(three.size() - 1)}) {
        const auto cut = MacroExport::Decode(bytes, 2);
        QVERIFY(cut);
        QVERIFY(cut->overItemLimit);
        QVERIFY(cut->items.isEmpty());
        QCOMPARE(cut->name, QString("m"));
    }
    // Three items take at least 24 bytes after the count.
    const int countEnd = three.indexOf(QByteArray::fromHex("00000003")) + 4;
    QVERIFY(MacroExport::Decode(three.left(countEnd + 24), 2));
    QVERIFY(!MacroExport::Decode(three.left(countEnd + 23), 2));
}

// A picture entry is only ever PNG data read from the file itself: an entry
// without a picture names a file, which is never opened (a FIFO would block
// the reader), and pictures too large for an icon are refused.
void TestMacroExport::iconsOnlyFromPngPictures()
{
    const QString fifo = m_outside->filePath("fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray namedFile;
    {
        QDataStream out(&namedFile, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_6);
        out << QString("QPixmapIconEngine") << qint32(1) << qint32(0) << fifo << QSize(16, 16) << quint32(0)
            << quint32(0);
    }
    const auto decoded = MacroExport::Decode(ExportFile("m", "1", {KeyItem("A", true, namedFile)}));
    QVERIFY(decoded);
    QCOMPARE(decoded->items.size(), 1);
    QVERIFY(decoded->items.first().icon.isEmpty());

    auto iconOf = [](const QImage &image) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_6);
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(image));
        out << icon;
        return bytes;
    };
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::red);
    const auto fits = MacroExport::Decode(ExportFile("m", "1", {KeyItem("A", true, iconOf(small))}));
    QVERIFY(fits);
    QCOMPARE(fits->items.first().icon.size(), 1);
    QCOMPARE(fits->items.first().icon.first().image.convertToFormat(QImage::Format_ARGB32), small);

    QImage large(1024, 8, QImage::Format_ARGB32);
    large.fill(Qt::red);
    QVERIFY(!MacroExport::Decode(ExportFile("m", "1", {KeyItem("A", true, iconOf(large))})));

    // A BMP picture where a PNG belongs.
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        small.save(&buffer, "BMP");
    }
    QByteArray bmpIcon;
    {
        QDataStream out(&bmpIcon, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_6);
        out << QString("QPixmapIconEngine") << qint32(1) << qint32(1);
        out.writeRawData(bmp.constData(), bmp.size());
        out << QString() << QSize(16, 16) << quint32(0) << quint32(0);
    }
    QVERIFY(!MacroExport::Decode(ExportFile("m", "1", {KeyItem("A", true, bmpIcon)})));
}

VOGM_TEST_MAIN(TestMacroExport)
#include "tst_macroexport.moc"
