// The settings page as it is built and as it loads its texts: the language
// files and where the version widgets stand per language, the web-link file
// Net.xml, the two layouts, scrolling, the theme's pictures, and a press on
// the page.

#include "formsetting.h"
#include "weblinkfile.h"

#include "compiledresources.h"
#include "globals.h"
#include "macroini.h"
#include "notices.h"
#include "testsupport.h"
#include "updaterepair.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

namespace {

template <typename T = QWidget>
T *Child(QWidget *page, const QString &name)
{
    T *child = page->findChild<T *>(name);
    if (!child)
        qFatal("the settings page has no %s", qPrintable(name));
    return child;
}

QString Text(QWidget *page, const QString &name)
{
    return Child<QWidget>(page, name)->property("text").toString();
}

void StoreLanguage(int index)
{
    MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(index));
}

const QStringList kLongRangeBlock{"TitleButton_6", "label_11", "checkBox_2", "textEdit"};
const QStringList kLedBlock{"TitleButton_7", "label_14", "ReUntil", "ReUntil_2", "ReUntil_3",
                            "textEdit_2", "textEdit_3", "textEdit_4"};

// A program folder like the staged one whose Language folder is a copy that
// a case may change; restores VOGM_APP_DIR when it goes.
class ProgramFolderCopy
{
public:
    ProgramFolderCopy() : m_staged(QString::fromLocal8Bit(qgetenv("VOGM_APP_DIR")))
    {
        for (const char *entry : {"Picture", "usersetting", "driver_sensor.h", "bin"})
            QFile::link(m_staged + "/" + entry, m_dir.path() + "/" + QLatin1String(entry));
        QDir(m_dir.path()).mkpath("Language");
        for (const QFileInfo &file : QDir(m_staged + "/Language").entryInfoList(QDir::Files))
            QFile::copy(file.filePath(), Language(file.fileName()));
        qputenv("VOGM_APP_DIR", m_dir.path().toLocal8Bit());
    }
    ~ProgramFolderCopy() { qputenv("VOGM_APP_DIR", m_staged.toLocal8Bit()); }

    QString Language(const QString &file) const { return m_dir.path() + "/Language/" + file; }

private:
    QString m_staged;
    QTemporaryDir m_dir;
};

}  // namespace

class TestFormSetting : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void textsAndPlacesFollowTheLanguage_data();
    void textsAndPlacesFollowTheLanguage();
    void missingLanguageFileChangesNothing();
    void storedLanguageIsLoadedAtConstruction_data();
    void storedLanguageIsLoadedAtConstruction();
    void constructionHidesBlocksInTheCompactLayout();
    void layoutsSizeTheContentAndPlaceTheBottomLines();
    void autostartBoxFollowsMacroIni_data();
    void autostartBoxFollowsMacroIni();
    void driverVersionFollowsTheScrollBar();
    void webLinkFileChoosesBySection_data();
    void webLinkFileChoosesBySection();
    void webLinkFollowsTheStoredLanguage();
    void everyPictureOfThePageExists();
    void pressOnThePageStaysThere();

private:
    FormSetting *NewPage();
    std::unique_ptr<FormSetting> m_page;
};

void TestFormSetting::init()
{
    StoreLanguage(0);
    MacroIni::GetInstance()->Remove("AutoStart", "Enable");
}

void TestFormSetting::cleanup()
{
    m_page.reset();
}

FormSetting *TestFormSetting::NewPage()
{
    m_page.reset();
    m_page = std::make_unique<FormSetting>();
    return m_page.get();
}

// ---- texts and places per language --------------------------------------------------------

void TestFormSetting::textsAndPlacesFollowTheLanguage_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("heading");    // label_2
    QTest::addColumn<QString>("wiredMode");  // g_WiredModeText
    QTest::addColumn<int>("versionX");       // label_5 and label_7
    QTest::addColumn<QPoint>("updateButton");
    QTest::addColumn<int>("updateButtonPointSize");

    const QString english = "Please connect the mouse with its cable to update it";
    // Before each row the page shows Traditional Chinese, which puts the update button at (330, 170).
    QTest::newRow("0 English") << 0 << "Language" << english << 200 << QPoint(280, 170) << 10;
    QTest::newRow("1 Simplified Chinese") << 1 << QString::fromUtf8("语言")
                                          << QString::fromUtf8("请使用数据线连接鼠标后再进行更新") << 150
                                          << QPoint(280, 170) << 10;
    QTest::newRow("2 Traditional Chinese") << 2 << QString::fromUtf8("語言")
                                           << QString::fromUtf8("請使用傳輸線連接滑鼠後再進行更新") << 150
                                           << QPoint(330, 170) << 10;
    QTest::newRow("3 Korean") << 3 << QString::fromUtf8("언어")
                              << QString::fromUtf8("업데이트하려면 마우스를 케이블로 연결하세요") << 170
                              << QPoint(280, 170) << 10;
    QTest::newRow("4 Russian") << 4 << QString::fromUtf8("Язык")
                               << QString::fromUtf8("Для обновления подключите мышь кабелем") << 280
                               << QPoint(330, 170) << 10;
    QTest::newRow("5 Japanese, update button not moved")
        << 5 << QString::fromUtf8("言語") << QString::fromUtf8("更新するには、マウスをケーブルで接続してください")
        << 280 << QPoint(330, 170) << 7;
    QTest::newRow("9 loads English") << 9 << "Language" << english << 235 << QPoint(285, 155) << 10;
}

void TestFormSetting::textsAndPlacesFollowTheLanguage()
{
    QFETCH(int, index);
    QFETCH(QString, heading);
    QFETCH(QString, wiredMode);
    QFETCH(int, versionX);
    QFETCH(QPoint, updateButton);
    QFETCH(int, updateButtonPointSize);

    FormSetting *page = NewPage();
    page->SlotChangeLanguage(2);
    StoreLanguage(index);
    page->SlotChangeLanguage(index);

    QCOMPARE(Text(page, "label_2"), heading);
    QCOMPARE(g_WiredModeText, wiredMode);
    QCOMPARE(Child(page, "label_5")->pos(), QPoint(versionX, 155));
    QCOMPARE(Child(page, "label_7")->pos(), QPoint(versionX, 185));
    QCOMPARE(Child(page, "Receive_2")->pos(), updateButton);
    QCOMPARE(Child(page, "Receive_2")->font().pointSize(), updateButtonPointSize);
    QCOMPARE(Child(page, "toolButton_2")->pos(), QPoint(460, 160));
    QCOMPARE(Child(page, "toolButton_3")->pos(), QPoint(460, 190));
}

void TestFormSetting::missingLanguageFileChangesNothing()
{
    ProgramFolderCopy folder;
    FormSetting *page = NewPage();
    const QStringList shown{Text(page, "label_2"), Text(page, "pushButton_3"), Text(page, "pushButton_4"),
                            Child<QTextEdit>(page, "textEdit")->toPlainText(), g_WiredModeText};
    QFile korean(folder.Language("3-Korea.xml"));
    QVERIFY(korean.open(QIODevice::ReadOnly));
    const QByteArray koreanTexts = korean.readAll();
    korean.close();
    QVERIFY(korean.remove());
    // Were Net.xml read, Korean would take its English section.
    QFile net(folder.Language("Net.xml"));
    QVERIFY(net.open(QIODevice::WriteOnly | QIODevice::Truncate));
    net.write("<Profile><English><CompanyName>read</CompanyName><CompanyWeben>https://read.example/</CompanyWeben>"
              "</English></Profile>");
    net.close();

    StoreLanguage(3);
    page->SlotChangeLanguage(3);
    QCOMPARE((QStringList{Text(page, "label_2"), Text(page, "pushButton_3"), Text(page, "pushButton_4"),
                          Child<QTextEdit>(page, "textEdit")->toPlainText(), g_WiredModeText}),
             shown);
    QCOMPARE(Child(page, "label_5")->pos(), QPoint(170, 155));  // the places still follow the index

    // With the file back, both files are read.
    QVERIFY(korean.open(QIODevice::WriteOnly));
    korean.write(koreanTexts);
    korean.close();
    page->SlotChangeLanguage(3);
    QCOMPARE(Text(page, "label_2"), QString::fromUtf8("언어"));
    QCOMPARE(Text(page, "pushButton_4"), QString("read"));
}

// The box holds "English" only: another stored language is loaded from its
// file while the box shows no current item.
void TestFormSetting::storedLanguageIsLoadedAtConstruction_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("boxIndex");
    QTest::newRow("English") << "0" << "Language" << 0;
    QTest::newRow("Korean") << "3" << QString::fromUtf8("언어") << -1;
    QTest::newRow("not a number") << "ko" << "Language" << 0;
}

void TestFormSetting::storedLanguageIsLoadedAtConstruction()
{
    QFETCH(QString, stored);
    QFETCH(QString, heading);
    QFETCH(int, boxIndex);
    MacroIni::GetInstance()->SetValue("Language", "Language", stored);
    FormSetting *page = NewPage();
    QComboBox *box = Child<QComboBox>(page, "comboBox");
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), QString("English"));
    QCOMPARE(box->currentIndex(), boxIndex);
    QCOMPARE(Text(page, "label_2"), heading);
}

// ---- construction and layouts -------------------------------------------------------------

void TestFormSetting::constructionHidesBlocksInTheCompactLayout()
{
    FormSetting *page = NewPage();
    for (const QString &name : kLongRangeBlock + kLedBlock
                                   + QStringList{"Receive_2", "NewLabel", "toolButton_2", "toolButton_3"})
        QVERIFY2(Child(page, name)->isHidden(), qPrintable(name));
    QWidget *content = Child(page, "scrollAreaWidgetContents");
    QCOMPARE(content->minimumSize(), QSize(880, 710));
    QCOMPARE(content->maximumSize(), QSize(880, 710));
    QCOMPARE(Child(page, "pushButton_3")->pos(), QPoint(610, 620));
    QCOMPARE(Child(page, "pushButton_4")->pos(), QPoint(490, 640));
    // The lower blocks stand where the form puts them.
    QCOMPARE(Child(page, "checkBox_2")->pos(), QPoint(40, 590));
    QCOMPARE(Child(page, "ReUntil_3")->pos(), QPoint(70, 740));
    QCOMPARE(Child(page, "TitleButton_5")->pos(), QPoint(40, 430));

    // The repair dialog and the firmware notice come when first needed, then stay.
    QVERIFY(!g_UpDateRepair);
    UpDateRepair *repair = SharedRepairDialog();
    QCOMPARE(g_UpDateRepair, repair);
    QCOMPARE(SharedRepairDialog(), repair);
    QVERIFY(repair->isHidden());
    QVERIFY(!repair->parent());
    QCOMPARE(page->FirmwareNotice(), page->FirmwareNotice());
    QVERIFY(page->FirmwareNotice()->isHidden());
    QVERIFY(!page->FirmwareNotice()->parent());
}

void TestFormSetting::layoutsSizeTheContentAndPlaceTheBottomLines()
{
    FormSetting *page = NewPage();
    QWidget *content = Child(page, "scrollAreaWidgetContents");
    page->ApplyExpandedLayout();
    QCOMPARE(content->minimumSize(), QSize(880, 860));
    QCOMPARE(content->maximumSize(), QSize(880, 860));
    QCOMPARE(Child(page, "pushButton_3")->pos(), QPoint(610, 790));
    QCOMPARE(Child(page, "pushButton_4")->pos(), QPoint(490, 810));
    page->ApplyCompactLayout();
    QCOMPARE(content->maximumSize(), QSize(880, 710));
    QCOMPARE(Child(page, "pushButton_3")->pos(), QPoint(610, 620));
    QCOMPARE(Child(page, "pushButton_4")->pos(), QPoint(490, 640));
}

void TestFormSetting::autostartBoxFollowsMacroIni_data()
{
    QTest::addColumn<QString>("stored");  // empty: no value
    QTest::addColumn<bool>("checked");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("missing") << "" << false;
    QTest::newRow("not a number") << "yes" << false;
}

void TestFormSetting::autostartBoxFollowsMacroIni()
{
    QFETCH(QString, stored);
    QFETCH(bool, checked);
    if (!stored.isEmpty())
        MacroIni::GetInstance()->SetValue("AutoStart", "Enable", stored);
    const QByteArray before = [] {
        QFile file(TestSupport::BaseFolder() + "/Macro.ini");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    FormSetting *page = NewPage();
    QCOMPARE(Child<QCheckBox>(page, "checkBox")->isChecked(), checked);
    QFile file(TestSupport::BaseFolder() + "/Macro.ini");
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), before);  // nothing written
}

void TestFormSetting::driverVersionFollowsTheScrollBar()
{
    FormSetting *page = NewPage();
    page->ApplyExpandedLayout();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    auto *area = Child<QScrollArea>(page, "scrollArea");
    QScrollBar *bar = area->verticalScrollBar();
    QCOMPARE(bar->maximum(), 860 - area->viewport()->height());
    bar->setValue(100);
    QCOMPARE(Child(page, "label")->pos(), QPoint(600, 130));
    bar->setValue(0);
    QCOMPARE(Child(page, "label")->pos(), QPoint(600, 30));
}

// ---- the web-link file --------------------------------------------------------------------

void TestFormSetting::webLinkFileChoosesBySection_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("company");  // "before": unchanged
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("outcome");

    const QByteArray bySection = "<?xml version=\"1.0\"?><Profile>"
                                 "<English><CompanyName>en co</CompanyName><CompanyWeben>en link</CompanyWeben></English>"
                                 "<Chinese><CompanyName>cn co</CompanyName><CompanyWebcn>cn link</CompanyWebcn></Chinese>"
                                 "</Profile>";
    const QByteArray webOnly = "<Profile><Web><CompanyName>web co</CompanyName><CompanyWebcn>web cn</CompanyWebcn>"
                               "<CompanyWeben>web en</CompanyWeben><Other><CompanyName>x</CompanyName></Other>"
                               "</Web></Profile>";
    const QByteArray webThenEnglish = "<Profile><Web><CompanyName>web co</CompanyName><CompanyWeben>web en</CompanyWeben>"
                                      "</Web><English><CompanyWeben>english en</CompanyWeben></English></Profile>";
    const QByteArray totalRoot = "<Total><English><CompanyName>en co</CompanyName></English></Total>";
    const QByteArray markup = "<Profile><English><CompanyName>en co</CompanyName>"
                              "<CompanyWeben>en <b>link</b></CompanyWeben><CompanyName>late</CompanyName>"
                              "</English></Profile>";

    const int read = int(WebLinkFile::Outcome::Read);
    const int notProfile = int(WebLinkFile::Outcome::NotProfile);
    const int stopped = int(WebLinkFile::Outcome::Stopped);
    struct Row {
        const char *name;
        QByteArray file;
        int index;
        const char *company;
        const char *link;
        int outcome;
    };
    const Row rows[] = {
        {"sections, English", bySection, 0, "en co", "en link", read},
        {"sections, Simplified Chinese", bySection, 1, "cn co", "cn link", read},
        {"sections, Korean", bySection, 3, "en co", "en link", read},
        {"sections, Japanese keeps the link", bySection, 5, "en co", "before", read},
        {"Web only, English", webOnly, 0, "web co", "web en", read},
        {"Web only, Simplified Chinese", webOnly, 1, "web co", "web cn", read},
        {"Web only, Korean", webOnly, 3, "web co", "web en", read},
        {"Web only, Japanese", webOnly, 5, "web co", "before", read},
        {"Web then English, English wins", webThenEnglish, 0, "web co", "english en", read},
        {"Web then English, Simplified Chinese", webThenEnglish, 1, "web co", "before", read},
        {"Web then English, Korean", webThenEnglish, 3, "web co", "english en", read},
        {"Web then English, Japanese", webThenEnglish, 5, "web co", "before", read},
        {"root Total, English", totalRoot, 0, "before", "before", notProfile},
        {"root Total, Simplified Chinese", totalRoot, 1, "before", "before", notProfile},
        {"root Total, Korean", totalRoot, 3, "before", "before", notProfile},
        {"root Total, Japanese", totalRoot, 5, "before", "before", notProfile},
        {"markup in a value stops, English", markup, 0, "en co", "before", stopped},
        {"markup in a value stops, Japanese", markup, 5, "en co", "before", stopped},
        {"markup in a skipped section, Chinese", markup, 1, "before", "before", read},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.file << row.index << row.company << row.link << row.outcome;
}

void TestFormSetting::webLinkFileChoosesBySection()
{
    QFETCH(QByteArray, file);
    QFETCH(int, index);
    QFETCH(QString, company);
    QFETCH(QString, link);
    QFETCH(int, outcome);
    QString companyShown = "before";
    QString linkShown = "before";
    WebLinkFile reader(index, StoreTarget(&companyShown), StoreTarget(&linkShown));
    QCOMPARE(int(reader.LoadContent(file)), outcome);
    QCOMPARE(companyShown, company);
    QCOMPARE(linkShown, link);
}

// The page reads the shipped Net.xml after its language file, by the language
// stored in Macro.ini; Japanese keeps the link the language before gave.
void TestFormSetting::webLinkFollowsTheStoredLanguage()
{
    FormSetting *page = NewPage();
    QCOMPARE(Text(page, "pushButton_3"), QString("https://orvandel.example/en"));
    QCOMPARE(Text(page, "pushButton_4"), QString::fromUtf8("© Veltrane Orvandel. All rights reserved."));

    StoreLanguage(1);
    page->SlotChangeLanguage(1);
    QCOMPARE(Text(page, "pushButton_3"), QString("https://orvandel.example/cn"));
    QCOMPARE(Text(page, "pushButton_4"), QString::fromUtf8("© Veltrane Orvandel 版权所有"));

    StoreLanguage(0);
    page->SlotChangeLanguage(0);
    StoreLanguage(5);
    page->SlotChangeLanguage(5);
    QCOMPARE(Text(page, "pushButton_3"), QString("https://orvandel.example/en"));
    QCOMPARE(Text(page, "pushButton_4"), QString::fromUtf8("© Veltrane Orvandel. All rights reserved."));
    StoreLanguage(1);
    page->SlotChangeLanguage(1);
    StoreLanguage(5);
    page->SlotChangeLanguage(5);
    QCOMPARE(Text(page, "pushButton_3"), QString("https://orvandel.example/cn"));

    // The index stored in Macro.ini chooses, not the one the slot is given.
    StoreLanguage(0);
    page->SlotChangeLanguage(1);
    QCOMPARE(Text(page, "pushButton_3"), QString("https://orvandel.example/en"));
}

// ---- look and input -----------------------------------------------------------------------

void TestFormSetting::everyPictureOfThePageExists()
{
    LoadCompiledResources();
    FormSetting *page = NewPage();
    const QStringList pictures = TestSupport::PicturesNamed(page);
    QVERIFY(pictures.size() > 20);
    for (const QString &picture : pictures)
        QVERIFY2(QFileInfo::exists(picture), qPrintable(picture));
}

void TestFormSetting::pressOnThePageStaysThere()
{
    class Host : public QWidget
    {
    public:
        int presses = 0;

    protected:
        void mousePressEvent(QMouseEvent *event) override
        {
            ++presses;
            QWidget::mousePressEvent(event);
        }
    };
    Host host;
    auto *page = new FormSetting(&host);
    host.resize(page->size());
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host, TestSupport::kHangGuardMs));
    // An empty spot of the content, right of the sleep-time box.
    QWidget *content = Child(page, "scrollAreaWidgetContents");
    QTest::mousePress(content, Qt::LeftButton, Qt::NoModifier, QPoint(700, 380));
    QCOMPARE(host.presses, 0);
    // The widgets on the page still take their presses.
    QTest::mouseClick(Child(page, "checkBox"), Qt::LeftButton);
    QVERIFY(Child<QCheckBox>(page, "checkBox")->isChecked());
}

VOGM_TEST_MAIN(TestFormSetting)
#include "tst_formsetting.moc"
