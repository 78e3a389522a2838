// A language written in Latin letters needs no CJK font: the program in
// English, through the device list, a device page and each of its pages,
// maps no CJK font file (the process's own maps). A CJK language still gets
// one: the program started in Japanese shows Japanese texts, drawn with it.
// The cases run in this order in one process; a font, once mapped, stays.

#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macroini.h"
#include "programwindow.h"
#include "startup.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

namespace {

constexpr int kEnglish = 0;
constexpr int kJapanese = 5;

// The CJK font files the process has mapped.
QStringList MappedCjkFonts()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("(maps unreadable)")};
    const QRegularExpression cjk(QStringLiteral("CJK|Fallback|wqy|ipa[gmp]|takao|uming|ukai|unifont"),
                                 QRegularExpression::CaseInsensitiveOption);
    QStringList fonts;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (line.contains('/') && QRegularExpression(QStringLiteral("\\.(tt[fc]|otf|otc)$")).match(path).hasMatch()
            && cjk.match(path).hasMatch() && !fonts.contains(path))
            fonts << path;
    }
    return fonts;
}

bool HasJapanese(const QString &text)
{
    return QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]")).match(text).hasMatch();
}

DialogMain *StartIn(int language)
{
    if (!MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(language)))
        return nullptr;
    auto *window = new DialogMain;
    window->show();
    return QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

}  // namespace

class TestCjkFont : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Startup::PrepareUserFolders();
        HidSim::SetWorld(Fixtures::FastDefaultWorld());
    }
    void englishMapsNoCjkFont();
    void japaneseStillShowsJapanese();
};

void TestCjkFont::englishMapsNoCjkFont()
{
    QVERIFY2(MappedCjkFonts().isEmpty(), "mapped before the program started");
    DialogMain *window = StartIn(kEnglish);
    QVERIFY(window);
    QVERIFY(QTest::qWaitFor([] { return g_PageDevices.size() == 3; }, TestSupport::kHangGuardMs));
    window->grab();
    QVERIFY(TestSupport::OpenTile(window, "0xFF14"));
    for (const char *page : {"SensorButton", "MacroButton", "FormSetting", "ButtonMain"}) {
        auto *button = window->DevicePage()->findChild<QAbstractButton *>(page);
        QVERIFY2(button, page);
        button->click();
        window->grab();  // lays out and draws what the page shows
        QVERIFY2(MappedCjkFonts().isEmpty(), qPrintable(QString(page) + ": " + MappedCjkFonts().join(", ")));
    }
    delete window;
}

void TestCjkFont::japaneseStillShowsJapanese()
{
    DialogMain *window = StartIn(kJapanese);
    QVERIFY(window);
    auto *prompt = window->SelectionPage()->findChild<QLabel *>("label_2");
    QVERIFY(prompt);
    QVERIFY2(HasJapanese(prompt->text()), qPrintable(prompt->text()));
    window->grab();
    QVERIFY(!MappedCjkFonts().isEmpty());
    delete window;
}

QTEST_MAIN(TestCjkFont)
#include "tst_cjkfont.moc"
