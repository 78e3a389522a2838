// The macro editor's delay and single-key dialogs, run modally with keys sent
// to their window as the window system delivers them (hand-made events carry
// X11 native codes): what each hands back, the ways out, what the single-key
// dialog's capture does after them, and their look and texts.

#include "adddelaytime.h"
#include "addkey.h"
#include "configini.h"
#include "testsupport.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// One key event: a press or release of a Qt key, with X11 codes when
// `keysym` is not 0.
struct KeyStep {
    bool press;
    int key;
    quint32 keycode = 0;
    quint32 keysym = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
using KeySteps = QVector<KeyStep>;

KeySteps Click(int key, quint32 keycode = 0, quint32 keysym = 0, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {{true, key, keycode, keysym, modifiers}, {false, key, keycode, keysym, modifiers}};
}

void Send(QWindow *window, const KeyStep &step)
{
    if (step.keysym == 0) {
        if (step.press)
            QTest::keyPress(window, Qt::Key(step.key), step.modifiers);
        else
            QTest::keyRelease(window, Qt::Key(step.key), step.modifiers);
        return;
    }
    QKeyEvent event(step.press ? QEvent::KeyPress : QEvent::KeyRelease, step.key, step.modifiers, step.keycode,
                    step.keysym, 0);
    QCoreApplication::sendEvent(window, &event);
}

void Press(QDialog &dialog, const char *button)
{
    dialog.findChild<QToolButton *>(QLatin1String(button))->click();
}

// Runs the dialog with exec() and returns its result; `script` runs once it
// is the modal window. A dialog still open afterwards is closed by its close
// button.
int RunModal(QDialog &dialog, const std::function<void()> &script)
{
    QTimer::singleShot(0, &dialog, [&] {
        TestSupport::WithModal([&](QWidget *) {
            script();
            if (dialog.isVisible())
                Press(dialog, "CloseButton");
        });
    });
    return dialog.exec();
}

// Every way out of a dialog other than destruction.
void End(QDialog &dialog, const QString &how)
{
    if (how == "OK")
        Press(dialog, "NewHong");
    else if (how == "Cancel")
        Press(dialog, "NewHong_2");
    else if (how == "close button")
        Press(dialog, "CloseButton");
    else if (how == "Escape")
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
    else if (how == "Return")
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
    else if (how == "window-system close") {
        QCloseEvent close;
        QCoreApplication::sendEvent(dialog.windowHandle(), &close);
    }
}

// The pictures named by a dialog's style sheets, all in the notice folder.
void CheckLook(QDialog &dialog, int pictureCount)
{
    QCOMPARE(int(dialog.windowFlags() & ~Qt::WindowType(Qt::Window)), 0x6C12);
    const QStringList pictures = TestSupport::PicturesNamed(&dialog);
    QCOMPARE(pictures.size(), pictureCount);
    for (const QString &picture : pictures) {
        QVERIFY2(picture.startsWith(TestSupport::AppFolder() + "/Picture/WarningDialog/"), qPrintable(picture));
        QVERIFY2(QFileInfo(picture).isFile(), qPrintable(picture));
    }
    const QString labelColour = ConfigIni::GetInstance()->ColorTriple("Option", "LabelColor");
    QVERIFY(dialog.findChild<QLabel *>("label")->styleSheet().contains("rgb(" + labelColour + ";)"));
}

void CheckTexts(QDialog &dialog, const QString &chineseLabel)
{
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong")->text(), QStringLiteral("OK"));
    QVERIFY(QMetaObject::invokeMethod(&dialog, "SlotChangeLanguage", Q_ARG(int, 1)));
    QCOMPARE(dialog.findChild<QLabel *>("label")->text(), chineseLabel);
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong")->text(), QString::fromUtf8("确定"));
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong_2")->text(), QString::fromUtf8("取消"));
}

}  // namespace

Q_DECLARE_METATYPE(KeySteps)

class TestMacroDialogs : public QObject
{
    Q_OBJECT

private slots:
    void delayDialogHandsBackWhatItShows_data();
    void delayDialogHandsBackWhatItShows();
    void delayDialogLook();

    void keyDialogNamesTheLatestKey_data();
    void keyDialogNamesTheLatestKey();
    void keyDialogAnswer_data();
    void keyDialogAnswer();
    void keyDialogCaptureEndsWithIt_data();
    void keyDialogCaptureEndsWithIt();
    void keyDialogLook();
};

void TestMacroDialogs::delayDialogHandsBackWhatItShows_data()
{
    QTest::addColumn<QStringList>("typed");  // each text replaces the whole box
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("staysOpen");  // then the close button ends it
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("shown");

    QTest::newRow("OK") << QStringList{"500"} << "OK" << false << true << 500 << "500";
    QTest::newRow("the fifth digit is refused") << QStringList{"70000"} << "OK" << false << true << 7000 << "7000";
    QTest::newRow("the largest") << QStringList{"65535"} << "OK" << false << true << 65535 << "65535";
    QTest::newRow("below the minimum settles at 10")
        << QStringList{"65535", "5"} << "OK" << false << true << 10 << "10";
    QTest::newRow("Cancel") << QStringList{"500"} << "Cancel" << false << false << 0 << "500";
    QTest::newRow("close button") << QStringList{"500"} << "close button" << false << false << 0 << "500";
    QTest::newRow("Escape") << QStringList{"500"} << "Escape" << false << false << 0 << "500";
    QTest::newRow("Return confirms nothing") << QStringList{"500"} << "Return" << true << false << 0 << "500";
}

void TestMacroDialogs::delayDialogHandsBackWhatItShows()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, end);
    QFETCH(bool, staysOpen);
    QFETCH(bool, accepted);
    QFETCH(int, delay);
    QFETCH(QString, shown);

    AddDelayTime dialog;
    auto *box = dialog.findChild<QSpinBox *>("spinBox");
    QCOMPARE(box->value(), 10);  // every new dialog starts at 10
    bool openAfterEnd = false;
    RunModal(dialog, [&] {
        QWindow *window = dialog.windowHandle();
        for (const QString &text : typed) {
            QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
            for (QChar c : text)
                QTest::keyClick(window, c.toLatin1());
        }
        End(dialog, end);
        openAfterEnd = dialog.isVisible();
    });
    QCOMPARE(openAfterEnd, staysOpen);
    QCOMPARE(dialog.accepted, accepted);
    QCOMPARE(dialog.delay, delay);
    QCOMPARE(box->text(), shown);
}

void TestMacroDialogs::delayDialogLook()
{
    AddDelayTime dialog;
    CheckLook(dialog, 8);
    const QString field = dialog.findChild<QSpinBox *>("spinBox")->styleSheet();
    QVERIFY(field.contains(ConfigIni::GetInstance()->ColorTriple("Option", "LinEditColor")));
    CheckTexts(dialog, QString::fromUtf8("请输入延时时间(毫秒)"));
}

void TestMacroDialogs::keyDialogNamesTheLatestKey_data()
{
    QTest::addColumn<KeySteps>("steps");
    QTest::addColumn<QString>("name");

    QTest::newRow("A") << Click(Qt::Key_A) << "A";
    QTest::newRow("the release names the key")
        << KeySteps{{true, Qt::Key_Shift}, {true, Qt::Key_A}, {false, Qt::Key_A}, {false, Qt::Key_Shift}} << "LShift";
    QTest::newRow("right Shift") << Click(Qt::Key_Shift, 62, 0xffe2) << "RShift";
    QTest::newRow("right Alt") << Click(Qt::Key_AltGr, 108, 0xfe03) << "RAlt";
    QTest::newRow("Space") << Click(Qt::Key_Space) << "Space";
    QTest::newRow("Shift+1") << Click(Qt::Key_Exclam, 10, '!', Qt::ShiftModifier) << "1";
    QTest::newRow("keypad 5, NumLock off") << Click(Qt::Key_Clear, 84, 0xff9d, Qt::KeypadModifier) << "";
    QTest::newRow("keypad 5, NumLock on") << Click(Qt::Key_5, 84, 0xffb5, Qt::KeypadModifier) << "Num5";
    QTest::newRow("Escape") << Click(Qt::Key_Escape) << "Esc";
    QTest::newRow("F12") << Click(Qt::Key_F12) << "F12";
    QTest::newRow("Return") << Click(Qt::Key_Return) << "Enter";
    QTest::newRow("keypad Enter") << Click(Qt::Key_Enter, 104, 0xff8d, Qt::KeypadModifier) << "Enter";
}

// No key closes the dialog; the line edit shows the name handed back.
void TestMacroDialogs::keyDialogNamesTheLatestKey()
{
    QFETCH(KeySteps, steps);
    QFETCH(QString, name);

    addKey dialog;
    bool open = false;
    QString shown;
    RunModal(dialog, [&] {
        dialog.findChild<QLineEdit *>("lineEdit")->setText("x");
        for (const KeyStep &step : steps)
            Send(dialog.windowHandle(), step);
        open = dialog.isVisible();
        shown = dialog.findChild<QLineEdit *>("lineEdit")->text();
    });
    QVERIFY(open);
    QCOMPARE(dialog.keyName, name);
    QCOMPARE(shown, name);
}

void TestMacroDialogs::keyDialogAnswer_data()
{
    QTest::addColumn<KeySteps>("steps");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("name");

    QTest::newRow("OK without a key") << KeySteps{} << "OK" << int(QDialog::Accepted) << true << "";
    QTest::newRow("OK after a key") << Click(Qt::Key_Q) << "OK" << int(QDialog::Accepted) << true << "Q";
    QTest::newRow("Cancel") << Click(Qt::Key_Q) << "Cancel" << int(QDialog::Rejected) << false << "Q";
    QTest::newRow("close button") << Click(Qt::Key_Q) << "close button" << int(QDialog::Rejected) << false << "Q";
}

void TestMacroDialogs::keyDialogAnswer()
{
    QFETCH(KeySteps, steps);
    QFETCH(QString, end);
    QFETCH(int, result);
    QFETCH(bool, accepted);
    QFETCH(QString, name);

    addKey dialog;
    const int answer = RunModal(dialog, [&] {
        for (const KeyStep &step : steps)
            Send(dialog.windowHandle(), step);
        End(dialog, end);
    });
    QCOMPARE(answer, result);
    QCOMPARE(dialog.accepted, accepted);
    QCOMPARE(dialog.keyName, name);
}

void TestMacroDialogs::keyDialogCaptureEndsWithIt_data()
{
    QTest::addColumn<QString>("end");
    for (const char *end : {"OK", "Cancel", "close button", "window-system close", "destroyed"})
        QTest::newRow(end) << QString::fromLatin1(end);
}

// A key reaching another window after the end calls nothing of the dialog
// (under ASan a call into a destroyed dialog would fail the test).
void TestMacroDialogs::keyDialogCaptureEndsWithIt()
{
    QFETCH(QString, end);

    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other, TestSupport::kHangGuardMs));

    auto dialog = std::make_unique<addKey>();
    QPointer<QLineEdit> edit = dialog->findChild<QLineEdit *>("lineEdit");
    if (end == "destroyed") {
        dialog->show();
        QTest::keyClick(dialog->windowHandle(), Qt::Key_A);
        QCOMPARE(dialog->keyName, QStringLiteral("A"));
        dialog.reset();
        QVERIFY(!edit);
    } else {
        RunModal(*dialog, [&] {
            QTest::keyClick(dialog->windowHandle(), Qt::Key_A);
            QCOMPARE(dialog->keyName, QStringLiteral("A"));
            End(*dialog, end);
            QVERIFY(!dialog->isVisible());
        });
    }

    QTest::keyClick(other.windowHandle(), Qt::Key_B);
    if (dialog) {
        QCOMPARE(dialog->keyName, QStringLiteral("A"));
        QCOMPARE(edit->text(), QStringLiteral("A"));
    }
}

void TestMacroDialogs::keyDialogLook()
{
    addKey dialog;
    CheckLook(dialog, 8);
    auto *edit = dialog.findChild<QLineEdit *>("lineEdit");
    QCOMPARE(edit->maxLength(), 50);
    QVERIFY(edit->styleSheet().contains(ConfigIni::GetInstance()->ColorTriple("Option", "LinEditColor")));
    CheckTexts(dialog, QString::fromUtf8("请按下一个按键"));
}

VOGM_TEST_MAIN(TestMacroDialogs)
#include "tst_macrodialogs.moc"
