// The fifteen notice and question dialogs: their forms, the texts each reads
// from its own element of the language file, the answers they hand back,
// closing by the hub, their window flags and where their openers put them.

#include "noticetestkit.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace NoticeTestKit;

namespace {

// Sends `key` to the next modal dialog once it is up (through the window, as
// a real key press travels, so shortcuts see it too).
void PressOnNextModal(Qt::Key key)
{
    QTimer::singleShot(0, [key] {
        TestSupport::WithModal([key](QWidget *modal) {
            QPointer<QWidget> guarded(modal);
            if (!QTest::qWaitForWindowActive(modal))
                qWarning("the notice was never activated");
            QTest::keyClick(modal, key);
            // A button clicked by its shortcut clicks a moment later; a key
            // that did nothing must not leave the test waiting forever.
            const bool closed = QTest::qWaitFor([guarded] { return !guarded || !guarded->isVisible(); }, TestSupport::kHangGuardMs);
            if (!closed && guarded)
                TestSupport::AnswerModal(guarded, QString());
        });
    });
}

// "name x y text" items of a button table cell.
struct ButtonRow {
    QString name;
    QPoint pos;
    QString text;
};

QVector<ButtonRow> Buttons(const QStringList &cells)
{
    QVector<ButtonRow> rows;
    for (const QString &cell : cells) {
        const QStringList parts = cell.split(' ');
        rows.append({parts.at(0), QPoint(parts.at(1).toInt(), parts.at(2).toInt()), parts.mid(3).join(' ')});
    }
    return rows;
}

}  // namespace

class TestNotices : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir noFiles;   // a program folder without language files
    QTemporaryDir fixture;   // language files whose texts name their element and tag

private slots:
    void initTestCase()
    {
        QVERIFY(noFiles.isValid() && fixture.isValid());
        QVERIFY(MakeFixtureFolder(noFiles.path()) && MakeFixtureFolder(fixture.path()));
        QVERIFY(WriteTagFixture(fixture.path(), 0));
        // Language 3 lacks ContainReset's label, so that label keeps the text
        // of the language before it.
        QVERIFY(WriteTagFixture(fixture.path(), 3, "#3", {"ContainReset.label"}));
    }

    void init()
    {
        g_OfflineNoticeKind = 0;
        g_ImportCheckResult = 0;
        UseAppFolder(fixture.path());
    }

    void form_data()
    {
        QTest::addColumn<QString>("frameName");
        QTest::addColumn<QRect>("labelGeometry");
        QTest::addColumn<QString>("labelText");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QPoint>("closeButtonPos");
        QTest::addColumn<int>("frameHeight");

        const QPoint close(275, 5);
        QTest::newRow("QuestiondialogB") << "QuestionB" << QRect(0, 30, 301, 60)
            << "  Do not insert multiple identical devices" << QStringList() << close << 130;
        QTest::newRow("MouseOffLine") << "MouseOffLineA" << QRect(0, 20, 301, 71)
            << "   The mouse is offline. Please move first" << QStringList{"NewHong 100 100 确认"}
            << QPoint(275, 3) << 140;
        QTest::newRow("LeftButtonOnly") << "ButtonOnly" << QRect(0, 19, 301, 91)
            << "Left button must be retained" << QStringList() << close << 140;
        QTest::newRow("MakeMacro") << "MakeMacroA" << QRect(6, 29, 291, 71)
            << "Please create a macro first" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("SameMacro") << "SameMacroA" << QRect(0, 30, 301, 71)
            << "Already have a same name macro" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("GroupMaxThree") << "MaxThree" << QRect(0, 30, 301, 71)
            << "  Key can only have up to three buttons" << QStringList{"NewHong 105 110 确定"}
            << close << 140;
        QTest::newRow("ContainReset") << "ContainResetA" << QRect(10, 30, 281, 71)
            << " Is need to restore the default settings"
            << QStringList{"OK 40 110 确定", "Cancel 170 110 取消"} << close << 140;
        QTest::newRow("KeyNumberLimit") << "LimitA" << QRect(0, 30, 301, 71)
            << "Macro Key reached the Max limit" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("RePair") << "RePairA" << QRect(0, 30, 301, 71)
            << "        Do you need to pair again"
            << QStringList{"OK 40 110 确定", "Cancel 180 110 取消"} << close << 140;
        QTest::newRow("DeleteConfirm") << "DeleteConfirmA" << QRect(5, 30, 291, 71)
            << "Confirm Delete" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("ExeIsRun") << "DeleteConfirmA" << QRect(0, 30, 301, 71)
            << "The program is already running" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("InportFail") << "InportFailA" << QRect(0, 30, 301, 71)
            << "Config does not match the device" << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("UpDateWarning") << "WarningFrame" << QRect(5, 30, 291, 71) << ""
            << QStringList{"NewHong 100 110 确定"} << close << 140;
        QTest::newRow("LessThree") << "LessThreeframe" << QRect(0, 30, 301, 61)
            << "Please wait, we are updating the setting" << QStringList{"NewHong 100 110 确定"}
            << close << 140;
        QTest::newRow("FindNewVer") << "SameMacroA" << QRect(0, 30, 301, 51)
            << "发现新固件,请更新!" << QStringList{"NewHong 100 90 确定"} << close << 140;
    }

    // Without language files every notice shows its form's own texts.
    void form()
    {
        QFETCH(QString, frameName);
        QFETCH(QRect, labelGeometry);
        QFETCH(QString, labelText);
        QFETCH(QStringList, buttons);
        QFETCH(QPoint, closeButtonPos);
        QFETCH(int, frameHeight);
        UseAppFolder(noFiles.path());

        const QString className = QTest::currentDataTag();
        const auto notice = MakeNotice(className);
        QCOMPARE(notice->objectName(), className);
        QCOMPARE(notice->size(), QSize(300, 140));
        QCOMPARE(notice->windowTitle(), QString("Dialog"));

        auto *frame = notice->findChild<QFrame *>(frameName, Qt::FindDirectChildrenOnly);
        QVERIFY(frame);
        QCOMPARE(frame->geometry(), QRect(0, 0, 300, frameHeight));

        auto *label = frame->findChild<QLabel *>("label");
        QVERIFY(label);
        QCOMPARE(label->geometry(), labelGeometry);
        QCOMPARE(label->text(), labelText);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        QVERIFY(label->wordWrap());

        auto *closeButton = frame->findChild<QToolButton *>("CloseButton");
        QVERIFY(closeButton);
        QCOMPARE(closeButton->geometry(), QRect(closeButtonPos, QSize(20, 20)));
        QVERIFY(closeButton->text().isEmpty());

        const QVector<ButtonRow> expected = Buttons(buttons);
        QCOMPARE(frame->findChildren<QToolButton *>().size(), expected.size() + 1);
        for (const ButtonRow &row : expected) {
            auto *button = frame->findChild<QToolButton *>(row.name);
            QVERIFY2(button, qPrintable(row.name));
            QCOMPARE(button->geometry(), QRect(row.pos, QSize(90, 24)));
            QCOMPARE(button->text(), row.text);
        }
    }

    void findNewVerCheckBox()
    {
        UseAppFolder(noFiles.path());
        FindNewVer notice;
        auto *box = notice.findChild<QCheckBox *>("NoApear");
        QVERIFY(box);
        QCOMPARE(box->geometry(), QRect(0, 120, 291, 18));
        QCOMPARE(box->text(), QString("下次不再显示"));
        QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("offlineKind");
        QTest::addColumn<int>("importResult");
        QTest::addColumn<QStringList>("expected");  // "widget=text"

        auto row = [](const char *tag, const QString &name, const QStringList &expected, int kind = 0,
                      int result = 0) { QTest::newRow(tag) << name << kind << result << expected; };
        row("QuestiondialogB", "QuestiondialogB", {"label=QuestionB.label"});
        row("MouseOffLine kind 0", "MouseOffLine", {"label=MouseOffLine.label", "NewHong=MouseOffLine.NewHong"});
        row("MouseOffLine kind 1", "MouseOffLine", {"label=MouseOffLine.Timeout", "NewHong=MouseOffLine.NewHong"}, 1);
        row("LeftButtonOnly", "LeftButtonOnly", {"label=ButtonOnly.label"});
        row("MakeMacro", "MakeMacro", {"label=MakeMacro.label", "NewHong=MakeMacro.NewHong"});
        row("SameMacro", "SameMacro", {"label=SameMacro.label", "NewHong=SameMacro.NewHong"});
        row("GroupMaxThree", "GroupMaxThree", {"label=MaxThree.label", "NewHong=MaxThree.NewHong"});
        row("ContainReset", "ContainReset",
            {"label=ContainReset.label", "OK=ContainReset.OK", "Cancel=ContainReset.Cancel"});
        row("KeyNumberLimit", "KeyNumberLimit", {"label=Limit.label", "NewHong=Limit.NewHong"});
        row("RePair", "RePair", {"label=RePair.label", "OK=RePair.OK", "Cancel=RePair.Cancel"});
        row("DeleteConfirm", "DeleteConfirm", {"label=DeleteConfirm.label", "NewHong=DeleteConfirm.NewHong"});
        row("ExeIsRun", "ExeIsRun", {"label=EXEIsRun.label", "NewHong=EXEIsRun.NewHong"});
        row("InportFail result 0", "InportFail",
            {"label=Config does not match the device", "NewHong=InportFail.NewHong"});
        row("InportFail result 1", "InportFail", {"label=InportFail.label", "NewHong=InportFail.NewHong"}, 0, 1);
        row("InportFail result 2", "InportFail", {"label=InportFail.label_1", "NewHong=InportFail.NewHong"}, 0, 2);
        row("UpDateWarning", "UpDateWarning", {"label=", "NewHong=NewVer.NewHong"});
        row("LessThree", "LessThree", {"label=LessThree.label", "NewHong=LessThree.NewHong"});
        row("FindNewVer", "FindNewVer",
            {"label=NewVer.label", "NewHong=NewVer.NewHong", "NoApear=NewVer.NoApear"});
    }

    // Each notice shows the texts of its own element; the two globals choose
    // the message when the notice is built.
    void texts()
    {
        QFETCH(QString, className);
        QFETCH(int, offlineKind);
        QFETCH(int, importResult);
        QFETCH(QStringList, expected);
        g_OfflineNoticeKind = offlineKind;
        g_ImportCheckResult = importResult;

        const auto notice = MakeNotice(className);
        for (const QString &item : expected) {
            const QString widgetName = item.section('=', 0, 0);
            auto *widget = notice->findChild<QWidget *>(widgetName);
            QVERIFY2(widget, qPrintable(widgetName));
            QCOMPARE(widget->property("text").toString(), item.section('=', 1));
        }
    }

    void exeIsRunKeptTexts()
    {
        ExeIsRun notice;
        notice.ShowLabel2Text();
        QCOMPARE(notice.findChild<QLabel *>("label")->text(), QString("EXEIsRun.label_2"));
        notice.ShowPleaseStopText();
        QCOMPARE(notice.findChild<QLabel *>("label")->text(), QString("EXEIsRun.PleaseStop"));

        UseAppFolder(noFiles.path());
        ExeIsRun withoutFile;
        withoutFile.ShowPleaseStopText();
        QCOMPARE(withoutFile.findChild<QLabel *>("label")->text(), QString());
    }

    // Live notices follow a language change at once; a tag the new file
    // lacks keeps the text before it, and a message set by the opener stays.
    void languageChangeReachesLiveNotices()
    {
        UpDateWarning warning;
        warning.SetLabelText("Receiver firmware 1.2 found");
        ContainReset reset;

        emit PostMsg::GetInstance()->SigChangeLanguage(3);

        QCOMPARE(warning.findChild<QToolButton *>("NewHong")->text(), QString("NewVer.NewHong#3"));
        QCOMPARE(warning.findChild<QLabel *>("label")->text(), QString("Receiver firmware 1.2 found"));
        QCOMPARE(reset.findChild<QToolButton *>("OK")->text(), QString("ContainReset.OK#3"));
        QCOMPARE(reset.findChild<QLabel *>("label")->text(), QString("ContainReset.label"));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("answer");  // a button's name, "Escape" or "Return"
        QTest::addColumn<bool>("accepted");

        QTest::newRow("RePair OK") << "RePair" << "OK" << true;
        QTest::newRow("RePair Cancel") << "RePair" << "Cancel" << false;
        QTest::newRow("RePair close") << "RePair" << "CloseButton" << false;
        QTest::newRow("RePair Escape") << "RePair" << "Escape" << false;
        QTest::newRow("ContainReset OK") << "ContainReset" << "OK" << true;
        QTest::newRow("ContainReset Return") << "ContainReset" << "Return" << true;
        QTest::newRow("ContainReset Cancel") << "ContainReset" << "Cancel" << false;
        QTest::newRow("ContainReset Escape") << "ContainReset" << "Escape" << false;
        QTest::newRow("DeleteConfirm NewHong") << "DeleteConfirm" << "NewHong" << true;
        QTest::newRow("DeleteConfirm close") << "DeleteConfirm" << "CloseButton" << false;
        QTest::newRow("DeleteConfirm Escape") << "DeleteConfirm" << "Escape" << false;
    }

    // Only the positive button makes accepted() true; exec() itself always
    // reports rejection.
    void answers()
    {
        QFETCH(QString, className);
        QFETCH(QString, answer);
        QFETCH(bool, accepted);

        const auto notice = MakeNotice(className);
        if (answer == "Return")
            PressOnNextModal(Qt::Key_Return);
        else
            TestSupport::AnswerNextModal(answer == "Escape" ? QString() : answer);
        QCOMPARE(notice->exec(), int(QDialog::Rejected));
        QVERIFY(!notice->isVisible());

        bool given = false;
        if (auto *question = qobject_cast<RePair *>(notice.get()))
            given = question->accepted();
        else if (auto *question = qobject_cast<ContainReset *>(notice.get()))
            given = question->accepted();
        else if (auto *question = qobject_cast<DeleteConfirm *>(notice.get()))
            given = question->accepted();
        QCOMPARE(given, accepted);
    }

    void everyButtonCloses_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("button");
        UseAppFolder(noFiles.path());
        for (const QString &name : NoticeClasses()) {
            const auto notice = MakeNotice(name);
            for (const QToolButton *button : notice->findChildren<QToolButton *>()) {
                const QString tag = name + ' ' + button->objectName();
                QTest::newRow(qPrintable(tag)) << name << button->objectName();
            }
        }
    }

    void everyButtonCloses()
    {
        QFETCH(QString, className);
        QFETCH(QString, button);
        const auto notice = MakeNotice(className);
        TestSupport::AnswerNextModal(button);
        QCOMPARE(notice->exec(), int(QDialog::Rejected));
        QVERIFY(!notice->isVisible());
    }

    // The worker's online poll closes the offline notice when the device is back.
    void offlineNoticeClosesWhenDeviceIsBack()
    {
        MouseOffLine notice;
        QTimer::singleShot(0, [] {
            TestSupport::WithModal([](QWidget *) { PostMsg::GetInstance()->EmitCloseOffOnline(); });
        });
        QCOMPARE(notice.exec(), int(QDialog::Rejected));
        QVERIFY(!notice.isVisible());
    }

    void windowFlags()
    {
        QCOMPARE(int(NoticeDialog::NoticeWindowFlags()), 0x6C12);
        for (const QString &name : NoticeClasses() + QStringList{"Progress"}) {
            const auto notice = MakeNotice(name);
            const Qt::WindowFlags wanted = NoticeDialog::NoticeWindowFlags();
            QCOMPARE(int(notice->windowFlags() & wanted), int(wanted));
        }
    }

    // A notice closing while the main window is hidden (in the tray) must not
    // end the program. Qt reports the last window closed only while the
    // application's event loop runs, so the notice runs inside it.
    void closingANoticeDoesNotEndTheProgram()
    {
        QWidget mainWindow;
        mainWindow.show();
        mainWindow.hide();
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, [] {
            RePair notice;
            TestSupport::AnswerNextModal("Cancel");
            notice.exec();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        });
        QApplication::exec();
        QCOMPARE(lastClosed.count(), 0);
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("opener");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("main window, offline notice")
            << QRect(100, 50, 1020, 700) << QPoint(0, -20) << QPoint(460, 310);
        QTest::newRow("button page") << QRect(0, 0, 800, 600) << QPoint(-50, -70) << QPoint(200, 160);
        // Half of a negative odd difference is truncated toward zero.
        QTest::newRow("opener smaller than the notice")
            << QRect(10, 10, 299, 139) << QPoint(0, 0) << QPoint(10, 10);
        QTest::newRow("much smaller opener") << QRect(0, 0, 97, 37) << QPoint(0, 0) << QPoint(-101, -51);
    }

    void placement()
    {
        QFETCH(QRect, opener);
        QFETCH(QPoint, offset);
        QFETCH(QPoint, expected);

        QCOMPARE(NoticePosition(opener, QSize(300, 140), offset.x(), offset.y()), expected);
        // Off the screen's top-left corner, the notice is moved onto the screen.
        const QPoint kept(qMax(0, expected.x()), qMax(0, expected.y()));

        // Like the main window, the opener is frameless: its top-left corner
        // is where it was put.
        QWidget openerWindow(nullptr, Qt::FramelessWindowHint);
        openerWindow.setGeometry(opener);
        openerWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&openerWindow));
        RePair notice;
        PlaceOnOpener(&notice, &openerWindow, offset.x(), offset.y());
        QCOMPARE(notice.pos(), kept);
    }

    // A notice whose offset would take it out of its window comes back over
    // the window, and in any case lies wholly on the screen.
    void keptInside_data()
    {
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("inside the window: unchanged") << QRect(400, 300, 300, 140) << QRect(100, 50, 1020, 700)
                                                      << QPoint(400, 300);
        QTest::newRow("left of and above the window") << QRect(-181, -98, 300, 140) << QRect(120, 10, 1020, 700)
                                                      << QPoint(120, 10);
        QTest::newRow("right of and below the window") << QRect(1100, 700, 300, 140) << QRect(100, 50, 1020, 700)
                                                       << QPoint(820, 610);
        QTest::newRow("window half off the screen") << QRect(-500, 100, 300, 140) << QRect(-600, 50, 1020, 700)
                                                    << QPoint(0, 100);
        QTest::newRow("window smaller than the notice") << QRect(-101, -51, 300, 140) << QRect(0, 0, 97, 37)
                                                        << QPoint(0, 0);
    }

    void keptInside()
    {
        QFETCH(QRect, placed);
        QFETCH(QRect, window);
        QFETCH(QPoint, expected);
        const QRect screen(0, 0, 1280, 800);

        const QRect kept = KeptInside(placed, window, screen);

        QCOMPARE(kept.topLeft(), expected);
        QCOMPARE(kept.size(), placed.size());
        QVERIFY(screen.contains(kept));
        // Larger than the screen in one direction: that coordinate stays.
        QCOMPARE(KeptInside(QRect(-50, 900, 2000, 140), QRect(), screen).topLeft(), QPoint(-50, 660));
    }

    // In every language each message keeps the frame's inner margin: it
    // wraps, and shrinks (to 9 pt at the least) only when wrapping is not enough.
    void messagesKeepTheFrameMargin_data()
    {
        QTest::addColumn<int>("language");
        const char *names[] = {"English", "Simplified Chinese", "Traditional Chinese", "Korean", "Russian",
                               "Japanese"};
        for (int index = 0; index < 6; ++index)
            QTest::newRow(names[index]) << index;
    }

    void messagesKeepTheFrameMargin()
    {
        QFETCH(int, language);
        QStringList cases = NoticeClasses();
        cases << "Progress" << "MouseOffLine/timeout" << "InportFail/unreadable";
        for (const QString &name : cases) {
            g_OfflineNoticeKind = name.endsWith("/timeout") ? 1 : 0;
            g_ImportCheckResult = name.endsWith("/unreadable") ? 1 : 2;
            const auto notice = MakeNotice(name.section('/', 0, 0));
            QVERIFY2(QMetaObject::invokeMethod(notice.get(), "SlotChangeLanguage", Q_ARG(int, language)),
                     qPrintable(name));
            notice->show();
            auto *label = notice->findChild<QLabel *>("label");
            const QRect room = label->contentsRect();
            QCOMPARE(room.left(), 12);
            QCOMPARE(label->width() - room.right() - 1, 12);
            QVERIFY2(label->font().pointSize() >= 9, qPrintable(name));
            const QRect needed = QFontMetrics(label->font())
                                     .boundingRect(QRect(0, 0, room.width(), 1000),
                                                   Qt::AlignHCenter | Qt::TextWordWrap, label->text());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(QString("%1: \"%2\" needs %3 x %4 in %5 x %6")
                                    .arg(name, label->text())
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(room.width())
                                    .arg(room.height())));
            notice->hide();
        }
        g_OfflineNoticeKind = 0;
        g_ImportCheckResult = 0;
    }

    void cornerPlacement()
    {
        QWidget openerWindow;
        openerWindow.setGeometry(120, 80, 600, 400);
        GroupMaxThree notice;
        PlaceAtOpenerCorner(&notice, &openerWindow);
        QCOMPARE(notice.pos(), QPoint(120, 80));
    }
};

VOGM_TEST_MAIN(TestNotices)
#include "tst_notices.moc"
