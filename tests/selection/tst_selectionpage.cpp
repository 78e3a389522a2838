#include "dialogchange.h"
#include "globals.h"
#include "macroini.h"
#include "myconmbobox.h"
#include "noticedialog.h"
#include "postmsg.h"
#include "registrystore.h"
#include "selectionform.h"
#include "selectionworlds.h"
#include "testsupport.h"
#include "updaterepair.h"
#include "usbcallbacks.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QScreen>
#include <QtTest>
#include <memory>


using namespace SelectionWorlds;

namespace {

const QString kConnectPrompt = QStringLiteral("Please connect your gaming device");
const QString kRepairText
    = QStringLiteral("A firmware update did not finish. Click the repair button to restore your device");

void SetFailInfo(const QString &value)
{
    RegistryStore store;
    if (value.isNull())
        store.Remove(RegistryStore::MouseDriveTestKey(), QLatin1String(RegistryStore::kUpdateFailInfo));
    else
        store.SetValue(RegistryStore::MouseDriveTestKey(), QLatin1String(RegistryStore::kUpdateFailInfo), value);
}

QString MacroValue(const char *group, const char *key)
{
    return MacroIni::GetInstance()->Value(QLatin1String(group), QLatin1String(key));
}

}  // namespace

class TestSelectionPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void formLayout_data();
    void formLayout();
    void registersItsCallbackAndScansNothingItself();
    void repairHintAtStart_data();
    void repairHintAtStart();
    void callbackFollowsTheFailedUpdateRecord();
    void upDateButtonSwitchesTheHint();
    void enterKey_data();
    void enterKey();
    void repairDialogOpensOverThePage();
    void languageBox();
    void storedLanguageAtStart();
    void languageChangeEventResetsTheBox();
    void popupButtons();
    void windowButtons();
    void screenshotWithoutDevices();

private:
    void Build();
    SelectionForm Form() const { return SelectionForm(m_page.get()); }
    std::unique_ptr<DialogChange> m_page;
};

void TestSelectionPage::initTestCase()
{
    HidSim::SetWorld(Fixtures::WorldOf({}, {}));
}

void TestSelectionPage::init()
{
    HidSim::ClearCallLog();
    SetFailInfo(QString());
    MacroIni::GetInstance()->Remove(QStringLiteral("Language"), QStringLiteral("Language"));
}

void TestSelectionPage::cleanup()
{
    m_page.reset();
    QVERIFY(Settle());
}

void TestSelectionPage::Build()
{
    m_page = std::make_unique<DialogChange>();
    QCOMPARE(g_DialogChange, m_page.get());
}

void TestSelectionPage::formLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("frameChange") << "frameChange" << "QFrame" << "DialogChange" << QRect(0, 0, 1020, 700);
    QTest::newRow("MinButton") << "MinButton" << "QToolButton" << "frameChange" << QRect(940, 10, 20, 20);
    QTest::newRow("CloseButton") << "CloseButton" << "QToolButton" << "frameChange" << QRect(980, 10, 20, 20);
    QTest::newRow("comboBox") << "comboBox" << "MyConmboBox" << "frameChange" << QRect(790, 10, 142, 26);
    QTest::newRow("label_2") << "label_2" << "QLabel" << "frameChange" << QRect(0, 320, 1021, 121);
    QTest::newRow("LeftButton") << "LeftButton" << "QToolButton" << "frameChange" << QRect(10, 360, 46, 46);
    QTest::newRow("RightButton") << "RightButton" << "QToolButton" << "frameChange" << QRect(965, 360, 46, 46);
    QTest::newRow("Repair") << "Repair" << "QPushButton" << "frameChange" << QRect(740, 8, 36, 33);
    QTest::newRow("stackedWidget") << "stackedWidget" << "QStackedWidget" << "frameChange" << QRect(65, 200, 894, 360);
    QTest::newRow("FindVer") << "FindVer" << "QFrame" << "frameChange" << QRect(350, 300, 300, 140);
    QTest::newRow("CloseButton_2") << "CloseButton_2" << "QToolButton" << "FindVer" << QRect(275, 5, 20, 20);
    QTest::newRow("NewHong") << "NewHong" << "QToolButton" << "FindVer" << QRect(100, 90, 90, 24);
    QTest::newRow("FindVerlaebl") << "FindVerlaebl" << "QLabel" << "FindVer" << QRect(0, 20, 301, 51);
    QTest::newRow("NoApear") << "NoApear" << "QCheckBox" << "FindVer" << QRect(5, 120, 291, 18);
    QTest::newRow("label_3") << "label_3" << "QLabel" << "frameChange" << QRect(0, 530, 1021, 121);
}

void TestSelectionPage::formLayout()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);
    QFETCH(QRect, geometry);
    Build();
    QCOMPARE(m_page->objectName(), QStringLiteral("DialogChange"));
    QCOMPARE(m_page->size(), QSize(1020, 700));
    const QWidget *widget = m_page->findChild<QWidget *>(name);
    QVERIFY(widget);
    if (className == QLatin1String("MyConmboBox"))  // no meta-object of its own
        QVERIFY(dynamic_cast<const MyConmboBox *>(widget));
    else
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget()->objectName(), parentName);
    QCOMPARE(widget->geometry(), geometry);
    if (widget != Form().frameChange && widget != Form().stackedWidget && widget != Form().FindVer
        && !qobject_cast<const QLabel *>(widget))
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
}

void TestSelectionPage::registersItsCallbackAndScansNothingItself()
{
    Build();
    const auto registrations = HidSim::CallsOf("StartUsbChanged");
    QCOMPARE(int(registrations.size()), 1);
    QCOMPARE(registrations.front().arguments, QStringLiteral("600"));
    QVERIFY(HidSim::CallsOf("UsbFinderC_FindHidDevicesByDefaultDeviceId").empty());
    QVERIFY(Settle());
    QCOMPARE(int(HidSim::CallsOf("callback:usb").size()), 1);
    QCOMPARE(int(HidSim::CallsOf("UsbFinderC_FindHidDevicesByDefaultDeviceId").size()), 5);
}

void TestSelectionPage::repairHintAtStart_data()
{
    QTest::addColumn<QString>("failInfo");  // null: no value
    QTest::addColumn<bool>("repairShown");
    QTest::newRow("no record") << QString() << false;
    QTest::newRow("empty record") << QStringLiteral("") << false;
    QTest::newRow("failed update") << QStringLiteral("211,8,18,1") << true;
}

void TestSelectionPage::repairHintAtStart()
{
    QFETCH(QString, failInfo);
    QFETCH(bool, repairShown);
    SetFailInfo(failInfo);
    Build();
    QCOMPARE(!Form().Repair->isHidden(), repairShown);
    QCOMPARE(Form().label_2->text(), repairShown ? kRepairText : kConnectPrompt);
    // The first callback finds no device and keeps the hint.
    QVERIFY(Settle());
    QCOMPARE(!Form().Repair->isHidden(), repairShown);
    QCOMPARE(Form().label_2->text(), repairShown ? kRepairText : kConnectPrompt);
    QVERIFY(!Form().label_2->isHidden());
    QVERIFY(Form().label_3->isHidden());
}

void TestSelectionPage::callbackFollowsTheFailedUpdateRecord()
{
    Build();
    QVERIFY(Settle());
    SetFailInfo(QStringLiteral("210,4,18,2"));
    QVERIFY(Register(SelectionUsbChangedCallback));
    QVERIFY(!Form().Repair->isHidden());
    QCOMPARE(Form().label_2->text(), kRepairText);
    SetFailInfo(QString());
    QVERIFY(Register(SelectionUsbChangedCallback));
    QVERIFY(Form().Repair->isHidden());
    QCOMPARE(Form().label_2->text(), kConnectPrompt);
}

void TestSelectionPage::upDateButtonSwitchesTheHint()
{
    Build();
    PostMsg::GetInstance()->EmitUpDateButton(false);
    QVERIFY(!Form().Repair->isHidden());
    QCOMPARE(Form().label_2->text(), kRepairText);
    PostMsg::GetInstance()->EmitUpDateButton(true);
    QVERIFY(Form().Repair->isHidden());
    QCOMPARE(Form().label_2->text(), kConnectPrompt);
}

void TestSelectionPage::enterKey_data()
{
    QTest::addColumn<bool>("popupShown");
    QTest::addColumn<bool>("repairShown");
    QTest::newRow("nothing shown") << false << false;
    QTest::newRow("popup shown") << true << false;
    QTest::newRow("popup and repair shown") << true << true;
    QTest::newRow("repair shown") << false << true;
}

void TestSelectionPage::enterKey()
{
    QFETCH(bool, popupShown);
    QFETCH(bool, repairShown);
    Build();
    Form().FindVer->setVisible(popupShown);
    m_page->ShowRepairHint(repairShown);
    QSignalSpy repairChecks(PostMsg::GetInstance(), &PostMsg::SigRepairCheckUpdate);

    PostMsg::GetInstance()->EmitEnterKey();
    QVERIFY(Form().FindVer->isHidden());
    QCOMPARE(!Form().Repair->isHidden(), repairShown);
    // Until the settings page builds the repair dialog, opening it does nothing.
    QCOMPARE(repairChecks.count(), 0);
    QTest::mouseClick(Form().Repair, Qt::LeftButton);
    QCOMPARE(repairChecks.count(), 0);
    QVERIFY(!RepairDialogVisible());
}

void TestSelectionPage::repairDialogOpensOverThePage()
{
    UpDateRepair repair;
    g_UpDateRepair = &repair;
    SetFailInfo(QStringLiteral("211,8,18,3"));
    Build();
    m_page->move(100, 50);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    PostMsg *hub = PostMsg::GetInstance();
    QSignalSpy repairChecks(hub, &PostMsg::SigRepairCheckUpdate);

    PostMsg::GetInstance()->EmitEnterKey();  // Return does what a click does
    QCOMPARE(repairChecks.count(), 1);
    QVERIFY(repair.isVisible());
    QVERIFY(repair.isModal());
    const QPoint topLeft = m_page->mapToGlobal(QPoint(0, 0));
    const QRect centred(topLeft + QPoint((1020 - repair.width()) / 2, (700 - repair.height()) / 2), repair.size());
    const QRect screen = m_page->screen()->availableGeometry();
    QCOMPARE(repair.pos(), KeptInside(centred, QRect(topLeft, m_page->size()), screen).topLeft());
    QVERIFY(screen.contains(repair.geometry()));

    // While it shows, every device-list change asks it to look again.
    QVERIFY(Register(SelectionUsbChangedCallback));
    QCOMPARE(repairChecks.count(), 2);
    g_RepairRunning = true;
    QVERIFY(Register(SelectionUsbChangedCallback));
    g_RepairRunning = false;
    QCOMPARE(repairChecks.count(), 2);
    repair.hide();
    m_page.reset();
    g_UpDateRepair = nullptr;
}

void TestSelectionPage::languageBox()
{
    Build();
    QCOMPARE(Form().comboBox->count(), 1);
    QCOMPARE(Form().comboBox->itemText(0), QStringLiteral("English"));
    QCOMPARE(Form().comboBox->currentIndex(), 0);
    QCOMPARE(Form().comboBox->maxVisibleItems(), 5);

    QSignalSpy changed(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage);
    QSignalSpy same(PostMsg::GetInstance(), &PostMsg::SigLanguageSameB);
    emit Form().comboBox->activated(0);
    QCOMPARE(MacroValue("Language", "Language"), QStringLiteral("0"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 0);
    QCOMPARE(same.count(), 1);
    QCOMPARE(same.at(0).at(0).toInt(), 0);

    // The settings page chose a language this box has no item for.
    PostMsg::GetInstance()->EmitLanguageSameA(2);
    QCOMPARE(Form().comboBox->currentIndex(), -1);
    PostMsg::GetInstance()->EmitLanguageSameA(0);
    QCOMPARE(Form().comboBox->currentIndex(), 0);
}

void TestSelectionPage::storedLanguageAtStart()
{
    MacroIni::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("1"));
    Build();
    QCOMPARE(Form().comboBox->currentIndex(), -1);
    QVERIFY(!Form().label_3->text().isEmpty());
    QVERIFY(Form().label_3->text() != QStringLiteral("Click a device to start"));
    QCOMPARE(Form().label_2->text(), g_ConnectPromptText);
    PostMsg::GetInstance()->EmitChangeLanguage(0);
    QCOMPARE(Form().label_3->text(), QStringLiteral("Click a device to start"));
    QCOMPARE(Form().label_2->text(), kConnectPrompt);
    QCOMPARE(Form().NoApear->text(), QStringLiteral("Do not show again"));
}

void TestSelectionPage::languageChangeEventResetsTheBox()
{
    Build();
    PostMsg::GetInstance()->EmitLanguageSameA(3);
    QSignalSpy activated(Form().comboBox, QOverload<int>::of(&QComboBox::activated));
    QSignalSpy indexChanged(Form().comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(m_page.get(), &change);
    QCOMPARE(Form().comboBox->count(), 1);
    QCOMPARE(Form().comboBox->currentIndex(), 0);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(indexChanged.count(), 0);
}

void TestSelectionPage::popupButtons()
{
    Build();
    QVERIFY(Form().FindVer->isHidden());
    Form().FindVer->show();
    QTest::mouseClick(Form().NewHong, Qt::LeftButton);
    QVERIFY(Form().FindVer->isHidden());
    Form().FindVer->show();
    QTest::mouseClick(Form().CloseButton_2, Qt::LeftButton);
    QVERIFY(Form().FindVer->isHidden());

    Form().NoApear->click();
    QCOMPARE(MacroValue("FindNew", "IsShow"), QStringLiteral("1"));
    Form().NoApear->click();
    QCOMPARE(MacroValue("FindNew", "IsShow"), QStringLiteral("0"));
}

void TestSelectionPage::windowButtons()
{
    Build();
    QSignalSpy size(PostMsg::GetInstance(), &PostMsg::SigChangeSize);
    QTest::mouseClick(Form().MinButton, Qt::LeftButton);
    QTest::mouseClick(Form().CloseButton, Qt::LeftButton);
    QCOMPARE(size.count(), 2);
    QCOMPARE(size.at(0).at(0).toInt(), 2);
    QCOMPARE(size.at(1).at(0).toInt(), 3);
}

void TestSelectionPage::screenshotWithoutDevices()
{
    SetFailInfo(QStringLiteral("211,4,18,2"));
    Build();
    QVERIFY(Settle());
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    const QImage shot = m_page->grab().toImage();
    QCOMPARE(shot.size(), QSize(1020, 700));
    QVERIFY(TestSupport::SaveShot(shot, QStringLiteral("selection-repair.png")));
}

VOGM_TEST_MAIN(TestSelectionPage)
#include "tst_selectionpage.moc"
