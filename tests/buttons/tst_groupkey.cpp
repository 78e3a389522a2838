// The key-combination dialog: keys captured from the window system while it
// runs modally, the result of OK with the modifier boxes, the three-key
// limit, the ways out and what the capture does after them, its look and
// texts.

#include "configini.h"
#include "groupkey.h"
#include "notices.h"
#include "steppedclock.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Stands for "the dialog's clock moves on by `ms`" in a key list.
constexpr int After(int ms)
{
    return -ms;
}
constexpr int kWindowMs = GroupKey::kSequenceWindowMs;

QLineEdit *Edit(GroupKey &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
}

QCheckBox *Box(GroupKey &dialog, const QString &name)
{
    return dialog.findChild<QCheckBox *>(name);
}

void Click(GroupKey &dialog, const char *button)
{
    dialog.findChild<QToolButton *>(QLatin1String(button))->click();
}

void Type(GroupKey &dialog, Qt::Key key)
{
    QTest::keyClick(dialog.windowHandle(), key);
}

// Runs the dialog with exec(); `script` runs once it is the modal window.
// A dialog still open afterwards is closed by its close button.
void RunModal(GroupKey &dialog, const std::function<void()> &script)
{
    QTimer::singleShot(0, &dialog, [&] {
        TestSupport::WithModal([&](QWidget *) {
            script();
            if (dialog.isVisible())
                Click(dialog, "CloseButton");
        });
    });
    dialog.exec();
}

// Clicks OK of the next three-key notice once it runs over the dialog.
void AnswerTooManyKeysNotice(GroupKey &dialog)
{
    auto *timer = new QTimer(&dialog);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        if (auto *notice = qobject_cast<GroupMaxThree *>(QApplication::activeModalWidget())) {
            timer->stop();
            TestSupport::AnswerModal(notice, QStringLiteral("NewHong"));
        }
    });
    timer->start(10);
}

// The names the dialog shows, by virtual key: the keyboard keys of the key
// vocabulary less Space; modifiers and the keypad's middle key have none.
QMap<int, QString> DialogKeyNames()
{
    QMap<int, QString> names{
        {8, "BackSpace"}, {9, "Tab"},    {13, "Enter"},  {19, "Pause"},   {20, "CapsLock"}, {27, "Esc"},
        {33, "PgUp"},     {34, "PgDn"},  {35, "End"},    {36, "Home"},    {37, "←"},        {38, "↑"},
        {39, "→"},        {40, "↓"},     {44, "Screen"}, {45, "Insert"},  {46, "Del"},      {93, "APPs"},
        {106, "Num*"},    {107, "Num+"}, {109, "Num-"},  {110, "Num."},   {111, "Num/"},    {144, "NumLock"},
        {145, "Scroll"},  {186, ";"},    {187, "="},     {188, ","},      {189, "-"},       {190, "."},
        {191, "/"},       {192, "`"},    {219, "["},     {220, "\\"},     {221, "]"},       {222, "'"},
    };
    for (int i = 0; i < 10; ++i) {
        names.insert(48 + i, QString::number(i));
        names.insert(96 + i, QStringLiteral("Num") + QString::number(i));
    }
    for (int i = 0; i < 26; ++i)
        names.insert(65 + i, QString(QChar('A' + i)));
    for (int i = 0; i < 12; ++i)
        names.insert(112 + i, QStringLiteral("F") + QString::number(i + 1));
    return names;
}

}  // namespace

class TestGroupKey : public QObject
{
    Q_OBJECT

private slots:
    void keyNames();
    void capturesKeys_data();
    void capturesKeys();
    void keypadPlusIsOneKey();
    void okJoinsBoxesAndKeys_data();
    void okJoinsBoxesAndKeys();
    void moreThanThreeKeysKeepsTheDialogOpen();
    void editedTextShowsInUpperCase();
    void captureEndsWithTheDialog_data();
    void captureEndsWithTheDialog();
    void lookAndTexts();
};

void TestGroupKey::keyNames()
{
    const QMap<int, QString> expected = DialogKeyNames();
    for (int virtualKey = -1; virtualKey < 300; ++virtualKey)
        QCOMPARE(GroupKey::KeyName(virtualKey), expected.value(virtualKey));
}

void TestGroupKey::capturesKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("focusOnABox");
    QTest::addColumn<QString>("shown");

    const int A = Qt::Key_A, B = Qt::Key_B, C = Qt::Key_C, D = Qt::Key_D;
    QTest::newRow("three keys") << QList<int>{A, B, C} << false << "A+B+C";
    QTest::newRow("a fourth key starts over") << QList<int>{A, B, C, D} << false << "D";
    QTest::newRow("a key shown already") << QList<int>{A, B, A} << false << "A+B";
    // Names are compared whole.
    QTest::newRow("F beside F1") << QList<int>{Qt::Key_F1, Qt::Key_F} << false << "F1+F";
    QTest::newRow("C beside CapsLock") << QList<int>{Qt::Key_CapsLock, C} << false << "CapsLock+C";
    QTest::newRow("a key just past the window") << QList<int>{A, After(kWindowMs + 1), B} << false << "B";
    QTest::newRow("a key at the window's end") << QList<int>{A, After(kWindowMs), B} << false << "A+B";
    QTest::newRow("the window counts from the first key")
        << QList<int>{A, After(kWindowMs - 500), B, After(501), C} << false << "C";
    QTest::newRow("a nameless fourth key") << QList<int>{A, B, C, Qt::Key_Shift} << false << "";
    QTest::newRow("the third key again") << QList<int>{A, B, C, C} << false << "C";
    QTest::newRow("Space has no name") << QList<int>{Qt::Key_Space} << false << "";
    QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << false << "Esc";
    QTest::newRow("Escape, F12 and Return reach the dialog")
        << QList<int>{Qt::Key_Escape, Qt::Key_F12, Qt::Key_Return} << true << "Esc+F12+Enter";
}

void TestGroupKey::capturesKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, focusOnABox);
    QFETCH(QString, shown);

    // The window's length is what some rows check: unscaled, on a clock that
    // moves only when a row says so.
    const TestSupport::ShorterWaits unscaled(1);
    SteppedClock clock;
    GroupKey dialog;
    dialog.SequenceTimer.UseSource(&clock);
    bool openAfterKeys = false;
    RunModal(dialog, [&] {
        if (focusOnABox)
            Box(dialog, "Win")->setFocus();
        for (int key : keys) {
            if (key < 0)
                clock.Advance(-key);
            else
                Type(dialog, Qt::Key(key));
        }
        openAfterKeys = dialog.isVisible();
        QCOMPARE(Edit(dialog)->text(), shown);
    });
    QVERIFY(openAfterKeys);
    QVERIFY(!dialog.Confirmed);
}

// Keypad plus is one key: after three keys the next starts over, and the
// key count of OK counts it once.
void TestGroupKey::keypadPlusIsOneKey()
{
    SteppedClock clock;  // the keys fall in one window however slow the machine
    GroupKey dialog;
    dialog.SequenceTimer.UseSource(&clock);
    QString threeKeys;
    RunModal(dialog, [&] {
        QWindow *window = dialog.windowHandle();
        QTest::keyClick(window, Qt::Key_NumLock);
        QTest::keyClick(window, Qt::Key_1, Qt::KeypadModifier);
        QTest::keyClick(window, Qt::Key_Plus, Qt::KeypadModifier);
        threeKeys = Edit(dialog)->text();
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(Edit(dialog)->text(), QStringLiteral("Enter"));
        QTest::keyClick(window, Qt::Key_Plus, Qt::KeypadModifier);
        Box(dialog, "Ctrl")->setChecked(true);
        Click(dialog, "NewHong");
    });
    QCOMPARE(threeKeys, QStringLiteral("NumLock+Num1+Num+"));
    QVERIFY(dialog.Confirmed);
    QCOMPARE(dialog.ComboText, QStringLiteral("Ctrl+Enter+Num+"));
}

void TestGroupKey::okJoinsBoxesAndKeys_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("result");

    QTest::newRow("boxes and a key") << QStringList{"Shift", "Win"} << "Q" << "Shift+Win+Q";
    QTest::newRow("a box alone") << QStringList{"Ctrl"} << "" << "Ctrl";
    QTest::newRow("keys alone") << QStringList{} << "A+B+C" << "A+B+C";
    QTest::newRow("nothing") << QStringList{} << "" << "";
    QTest::newRow("all boxes, no key") << QStringList{"Shift", "Ctrl", "Alt"} << "" << "Shift+Ctrl+Alt";
}

void TestGroupKey::okJoinsBoxesAndKeys()
{
    QFETCH(QStringList, boxes);
    QFETCH(QString, edit);
    QFETCH(QString, result);

    GroupKey dialog;
    bool closedByOk = false;
    RunModal(dialog, [&] {
        for (const QString &box : boxes)
            Box(dialog, box)->setChecked(true);
        Edit(dialog)->setText(edit);
        Click(dialog, "NewHong");
        closedByOk = !dialog.isVisible();
    });
    QVERIFY(closedByOk);
    QVERIFY(dialog.Confirmed);
    QCOMPARE(dialog.ComboText, result);
}

void TestGroupKey::moreThanThreeKeysKeepsTheDialogOpen()
{
    SteppedClock clock;  // the keys fall in one window however slow the machine
    GroupKey dialog;
    dialog.SequenceTimer.UseSource(&clock);
    RunModal(dialog, [&] {
        Box(dialog, "Shift")->setChecked(true);
        Box(dialog, "Ctrl")->setChecked(true);
        Type(dialog, Qt::Key_A);
        Type(dialog, Qt::Key_B);
        AnswerTooManyKeysNotice(dialog);
        Click(dialog, "NewHong");

        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.Confirmed);
        QCOMPARE(Edit(dialog)->text(), QString());
        QVERIFY(Box(dialog, "Shift")->isChecked());
        QVERIFY(Box(dialog, "Ctrl")->isChecked());

        Type(dialog, Qt::Key_A);  // still capturing, and A counts as new
        QCOMPARE(Edit(dialog)->text(), QStringLiteral("A"));
        Click(dialog, "NewHong");
    });
    QVERIFY(dialog.Confirmed);
    QCOMPARE(dialog.ComboText, QStringLiteral("Shift+Ctrl+A"));
}

void TestGroupKey::editedTextShowsInUpperCase()
{
    GroupKey dialog;
    RunModal(dialog, [&] {
        emit Edit(dialog)->textEdited(QStringLiteral("ctrl+a"));
        QCOMPARE(Edit(dialog)->text(), QStringLiteral("CTRL+A"));
        Click(dialog, "NewHong");
    });
    QCOMPARE(dialog.ComboText, QStringLiteral("CTRL+A"));
}

void TestGroupKey::captureEndsWithTheDialog_data()
{
    QTest::addColumn<QString>("end");
    for (const char *end : {"OK", "Cancel", "close button", "close()", "window-system close", "destroyed"})
        QTest::newRow(end) << QString::fromLatin1(end);
}

// A key reaching any window after the end calls nothing of the dialog (under
// ASan a call into a destroyed dialog would fail the test).
void TestGroupKey::captureEndsWithTheDialog()
{
    QFETCH(QString, end);

    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other, TestSupport::kHangGuardMs));

    auto dialog = std::make_unique<GroupKey>();
    QPointer<QLineEdit> edit = Edit(*dialog);
    auto endDialog = [&] {
        if (end == "OK")
            Click(*dialog, "NewHong");
        else if (end == "Cancel")
            Click(*dialog, "NewHong_2");
        else if (end == "close button")
            Click(*dialog, "CloseButton");
        else if (end == "close()")
            dialog->close();
        else if (end == "window-system close") {
            QCloseEvent close;
            QCoreApplication::sendEvent(dialog->windowHandle(), &close);
        }
    };

    if (end == "destroyed") {
        dialog->show();
        Type(*dialog, Qt::Key_A);
        QCOMPARE(edit->text(), QStringLiteral("A"));
        dialog.reset();
        QVERIFY(!edit);
    } else {
        RunModal(*dialog, [&] {
            Type(*dialog, Qt::Key_A);
            QCOMPARE(edit->text(), QStringLiteral("A"));
            endDialog();
            QVERIFY(!dialog->isVisible());
        });
    }

    QTest::keyClick(other.windowHandle(), Qt::Key_B);
    if (dialog) {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_C);
        QCOMPARE(edit->text(), QStringLiteral("A"));
    }
}

void TestGroupKey::lookAndTexts()
{
    GroupKey dialog;
    QCOMPARE(int(dialog.windowFlags() & ~Qt::WindowType(Qt::Window)), 0x6C12);
    QCOMPARE(dialog.size(), QSize(300, 140));

    const QStringList pictures = TestSupport::PicturesNamed(&dialog);
    QCOMPARE(pictures.size(), 16);
    for (const QString &picture : pictures) {
        QVERIFY2(picture.startsWith(TestSupport::AppFolder() + "/Picture/WarningDialog/"), qPrintable(picture));
        QVERIFY2(QFileInfo(picture).isFile(), qPrintable(picture));
    }
    const QString labelColour = ConfigIni::GetInstance()->ColorTriple("Option", "LabelColor");
    QVERIFY(dialog.findChild<QLabel *>("label")->styleSheet().contains("rgb(" + labelColour + ";)"));
    QVERIFY(Box(dialog, "Win")->styleSheet().contains("rgb(" + labelColour + ";)"));
    // The edit's light text sits on the theme's dark field, not on the platform's white one.
    const QString editSheet = Edit(dialog)->styleSheet();
    QVERIFY(editSheet.contains("color: rgb(" + ConfigIni::GetInstance()->ColorTriple("Option", "LinEditColor")));
    QVERIFY(editSheet.contains("background-color: rgb("
                               + ConfigIni::GetInstance()->ColorTriple("Option", "ComboxBackGroundColor")));

    QCOMPARE(dialog.findChild<QToolButton *>("NewHong_2")->text(), QStringLiteral("Cancel"));
    dialog.SlotChangeLanguage(1);
    QCOMPARE(dialog.findChild<QLabel *>("label")->text(), QString::fromUtf8("请按下组合键"));
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong")->text(), QString::fromUtf8("确定"));
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong_2")->text(), QString::fromUtf8("取消"));
    QCOMPARE(Box(dialog, "Shift")->text(), QStringLiteral("shift"));  // the boxes are never translated
}

VOGM_TEST_MAIN(TestGroupKey)
#include "tst_groupkey.moc"
