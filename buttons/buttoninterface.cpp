#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "buttontheme.h"
#include "configini.h"
#include "globals.h"
#include "languagereader.h"
#include "paneltheme.h"
#include "paths.h"
#include "postmsg.h"
#include "sensordescription.h"
#include "wheelguard.h"
#include "worker.h"
#include "writers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
// The page has one mouse picture.
constexpr int kMousePicture = 0;
// A press is compared with the function list's rectangle this far higher up.
constexpr int kFunctionListLift = 340;


QString OptionColor(const QString &key)
{
    return ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), key);
}
}  // namespace

QString Buttoninterface::CurrentSensorName()
{
    return ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex), QStringLiteral("Sensor"));
}

Buttoninterface::Buttoninterface(QWidget *parent) : QWidget(parent), ui(new Ui_Buttoninterface)
{
    ui->setupUi(this);

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Buttoninterface::SlotChangeLanguage);
    connect(hub, &PostMsg::SigMouseIndex, this, &Buttoninterface::SlotMouseIndex);

    PictureDir = PanelTheme::PictureDir(QStringLiteral("Buttoninterface"));
    const QString mainPageDir = Paths::BaseFolder() + QStringLiteral("/usersetting/MainPage");
    if (!QDir(mainPageDir).exists())
        QDir().mkpath(mainPageDir);
    ShowMousePicture();

    SetupButtonGroups();
    WholeMouse = new ProfileAndFileActions(ui->ProjectChoose, this, ConfigPrefix, [this] { return ShownImage(); });
    BuildFunctionTable();
    ConnectForm();
    // A short or malformed colour list gives the theme's fallback colour.
    ButtonColor = OptionColor(QStringLiteral("ButtonColor"));
    BuildMacroPanel();

    // The profile switch cannot be chosen, and the lighting list opens only
    // for a row that already has a lighting function.
    ui->DPI_3->hide();
    ui->DPI_9->hide();

    ui->scrollArea_11->setFrameShape(QFrame::NoFrame);
    // The page lies on the device page's dark background without a frame
    // line of its own; the form's scroll-bar theme stays as it is.
    ui->MainWindow->setStyleSheet(ui->MainWindow->styleSheet() + QStringLiteral("#MainWindow{border:0px;}"));
    ApplyProfileBoxSheets();
    ReadSensorDefinitions();
    ApplyButtonSheets();

    // The device side waits in the blocking emits until the page has taken them.
    const auto blocking = Qt::BlockingQueuedConnection;
    connect(hub, &PostMsg::SigUpDataLightUIButton, this, &Buttoninterface::SlotUpDataButtonUIButton, blocking);
    connect(hub, &PostMsg::SigUpDataConfigUI, this, &Buttoninterface::SlotUpDataConfigUI, blocking);
    connect(hub, &PostMsg::SigUpDataButtonUIC, this, &Buttoninterface::SlotUpDataButtonUIB);
    connect(hub, &PostMsg::SigAddMacroButton, this, &Buttoninterface::SlotAddMacroButton);
    connect(hub, &PostMsg::SigDeleteMacroButton, this, &Buttoninterface::SlotDeleteMacroButton);
    connect(hub, &PostMsg::SigUpDataMacro, this, &Buttoninterface::SlotUpDataMacro);
    connect(hub, &PostMsg::SigMacroRename, this, &Buttoninterface::SlotMacroRename);
    connect(hub, &PostMsg::SigFormReset, this, &Buttoninterface::SlotFormResetButton, blocking);

    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);

    LoadLanguage(true, CurrentLanguageIndex());
    // After the language's texts: a sheet lays out the lists it styles, and
    // the form's placeholder texts would need a CJK font.
    ApplyListSheets();
    ApplyBoxSheets();
    // Nothing to export before the first fill.
    ui->OutputData->setEnabled(false);
    WheelGuard::InstallOn(this);
}

Buttoninterface::~Buttoninterface()
{
    // The library's thread or a worker pass may be parked in a blocking emit
    // to this page: take no new ones, and release those already queued
    // (deleting a queued blocking call wakes its emitter).
    PostMsg::GetInstance()->disconnect(this);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    delete ui;
}

// ---- rows and lists ---------------------------------------------------------------

int Buttoninterface::SelectedDeviceButton() const
{
    return TheRows->SelectedDeviceButton();
}

QToolButton *Buttoninterface::RowOfDeviceButton(int button) const
{
    return TheRows->RowOfDevice(button);
}

void Buttoninterface::CloseFunctionLists()
{
    Lists->Close();
}

void Buttoninterface::ShowRowsScrollBar()
{
    Lists->ShowRowsScrollBar();
}

void Buttoninterface::ClearRowSelection()
{
    TheRows->Clear();
}

void Buttoninterface::SetupButtonGroups()
{
    TheRows = new RowList({ui->FireKey, ui->RightKey, ui->BackKey, ui->StartPause, ui->TopMusic, ui->BackMusic},
                          {ui->Number1, ui->Number2, ui->Number3, ui->Number4, ui->Number5, ui->Number6}, Model,
                          this);
    RowGroup = TheRows->Group();
    FunctionGroup = new QButtonGroup(this);
    DetailGroup = new QButtonGroup(this);
    for (QButtonGroup *group : {FunctionGroup, DetailGroup})
        group->setExclusive(true);
    Lists = new FunctionLists(*ui, DetailGroup, this);

    const std::initializer_list<QAbstractButton *> functions = {
        ui->LeftKey_3, ui->RightKey_3, ui->MidKey, ui->BackKey_2, ui->ForWardKey, ui->DPI_2,  ui->DPI_3,  ui->DPI_4,
        ui->DPI_5,     ui->DPI_6,      ui->DPI_7,  ui->DPI_8,     ui->DPI_9,      ui->DPI_10, ui->DPI_11, ui->DPI_12,
        ui->DPI_13};
    for (QAbstractButton *button : functions)
        FunctionGroup->addButton(button);

    const std::initializer_list<QAbstractButton *> details = {
             // media keys
             ui->Player, ui->StartPause_2, ui->BackMusic_2, ui->TopMusic_2, ui->Mute, ui->VolumeUp, ui->VolumeDown,
             ui->VolumeDown_3, ui->VolumeDown_4, ui->VolumeDown_5, ui->VolumeDown_6, ui->VolumeDown_7,
             ui->VolumeDown_8, ui->VolumeDown_9, ui->VolumeDown_10, ui->VolumeDown_11, ui->VolumeDown_12,
             ui->VolumeDown_13,
             // lighting
             ui->VolumeUp_4, ui->VolumeUp_5, ui->VolumeUp_6, ui->VolumeUp_7,
             // DPI lock
             ui->VolumeUp_11, ui->VolumeUp_12, ui->VolumeUp_13, ui->VolumeUp_15, ui->VolumeUp_16, ui->VolumeUp_18,
             ui->VolumeUp_19, ui->VolumeUp_20, ui->VolumeUp_21, ui->VolumeUp_22, ui->VolumeUp_23, ui->VolumeUp_24,
             // tilt, DPI, wheel
             ui->VolumeDown_2, ui->VolumeUp_2, ui->VolumeUp_10, ui->VolumeUp_8, ui->VolumeUp_9, ui->VolumeUp_14,
             ui->VolumeDown_14};
    for (QAbstractButton *button : details)
        DetailGroup->addButton(button);
}

void Buttoninterface::ConnectForm()
{
    const auto connectClick = [this](QAbstractButton *button, void (Buttoninterface::*slot)()) {
        connect(button, &QAbstractButton::clicked, this, slot);
    };
    // List openers and the whole-mouse buttons (rows and markers: RowList).
    connect(TheRows, &RowList::RowClicked, this,
            [this](int row) { SelectRow(row, ButtonAssignments::DeviceOfRow(row)); });
    connect(TheRows, &RowList::MarkerClicked, this, &Buttoninterface::SelectRowFromMarker);
    connectClick(ui->DPI_11, &Buttoninterface::on_DPI_11_clicked);
    connectClick(ui->DPI_10, &Buttoninterface::on_DPI_10_clicked);
    connectClick(ui->DPI_9, &Buttoninterface::on_DPI_9_clicked);
    connectClick(ui->DPI_7, &Buttoninterface::on_DPI_7_clicked);
    connectClick(ui->DPI_12, &Buttoninterface::on_DPI_12_clicked);
    connectClick(ui->DPI_4, &Buttoninterface::on_DPI_4_clicked);
    connectClick(ui->DPI_13, &Buttoninterface::on_DPI_13_clicked);
    connectClick(ui->DPI_8, &Buttoninterface::on_DPI_8_clicked);
    connectClick(ui->Reset, &Buttoninterface::on_Reset_clicked);
    connectClick(ui->OutputData, &Buttoninterface::on_OutputData_clicked);
    connectClick(ui->ImportData, &Buttoninterface::on_ImportData_clicked);
    connect(ui->ProjectChoose, QOverload<int>::of(&QComboBox::activated), this,
            &Buttoninterface::on_ProjectChoose_activated);

    // The function buttons: every click of the lists goes through the table.
    const auto chosen = [this](QAbstractButton *button) {
        // The fire key acts on its own press (below).
        if (button != ui->DPI_6)
            ChooseFunctionOf(button, button->isChecked());
    };
    for (QButtonGroup *group : {FunctionGroup, DetailGroup})
        connect(group, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this, chosen);
    // A press writes on a double click, then opens the fire-key dialog.
    connect(ui->DPI_6, &QAbstractButton::clicked, this, [this](bool checked) {
        on_DPI_6_clicked(checked);
        on_DPI_6_clicked();
    });
}

// ---- the whole mouse ---------------------------------------------------------------

void Buttoninterface::SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    WholeMouse->ShowProfiles(ToTalItem, SelectIndex, ItemEnable);
}

void Buttoninterface::RebuildProfileItems() { WholeMouse->RebuildProfileItems(); }
void Buttoninterface::on_ProjectChoose_activated(int index) { WholeMouse->ChooseProfile(index); }
void Buttoninterface::on_Reset_clicked() { WholeMouse->ResetMouse(); }
void Buttoninterface::on_OutputData_clicked() { WholeMouse->Export(); }
void Buttoninterface::on_ImportData_clicked() { WholeMouse->Import(); }

// ---- driver_sensor.h --------------------------------------------------------------

void Buttoninterface::ReadSensorDefinitions()
{
    // The shared reader skips the capability lines and every broken line.
    const SensorDescription description = ReadInstalledSensorDescription();
    DefineNames = description.DefineNames.toVector();
    DefineValues = description.DefineValues.toVector();
}

// ---- theme ------------------------------------------------------------------------

void Buttoninterface::ApplyListSheets()
{
    const QString transparent = QStringLiteral("background-color:transparent;border:none;");
    for (QWidget *contents : {ui->scrollAreaWidgetContents_3, ui->scrollAreaWidgetContents_4,
                              ui->scrollAreaWidgetContents_6, ui->scrollAreaWidgetContents_8,
                              ui->scrollAreaWidgetContents_9, ui->scrollAreaWidgetContents_12,
                              ui->scrollAreaWidgetContents_10})
        contents->setStyleSheet(transparent);

    const QString detailPage = ButtonTheme::DetailPage(PictureDir, ButtonColor);
    for (QWidget *page : {ui->page_3, ui->page_9, ui->page_4, ui->page_6, ui->page_7, ui->page_10, ui->page_8})
        page->setStyleSheet(detailPage);

    ui->scrollAreaWidgetContents_11->setStyleSheet(ButtonTheme::Rows(PictureDir, ButtonColor));
}

void Buttoninterface::ApplyProfileBoxSheets()
{
    // The box's sheet, and a list view of its own as its popup.
    PanelTheme::ApplyComboTheme(ui->ProjectChoose, PictureDir, ComboTheme::Ending::DisabledBlack, true);
}

void Buttoninterface::ApplyButtonSheets()
{
    ui->label_3->setStyleSheet(ButtonTheme::Label(OptionColor(QStringLiteral("LabelColor"))));

    const QString action = ButtonTheme::ActionButton(PictureDir, ButtonColor);
    for (QToolButton *button : {ui->Reset, ui->ImportData, ui->OutputData})
        button->setStyleSheet(action);

    const QString marker = ButtonTheme::Marker(PictureDir);
    for (QToolButton *button : {ui->Number1, ui->Number2, ui->Number3, ui->Number4, ui->Number5, ui->Number6})
        button->setStyleSheet(marker);

    const QString function =
        ButtonTheme::FunctionButton(PictureDir, QStringLiteral("BMenuTitle.png"), QStringLiteral("BMenuTitleChecked.png"));
    const std::initializer_list<QToolButton *> functions = {ui->LeftKey_3, ui->RightKey_3, ui->MidKey, ui->BackKey_2,
                                                            ui->ForWardKey, ui->DPI_2,      ui->DPI_3,  ui->DPI_6,
                                                            ui->DPI_8,      ui->DPI_5};
    for (QToolButton *button : functions)
        button->setStyleSheet(function);

    const QString opener = ButtonTheme::FunctionButton(PictureDir, QStringLiteral("BMenuTitleB.png"),
                                                       QStringLiteral("BMenuTitleCheckedB.png"));
    for (QToolButton *button : {ui->DPI_13, ui->DPI_11, ui->DPI_10, ui->DPI_9, ui->DPI_7, ui->DPI_12, ui->DPI_4})
        button->setStyleSheet(opener);

    ui->label->setStyleSheet(ButtonTheme::ProfileIcon(PictureDir));
}

void Buttoninterface::ApplyBoxSheets()
{
    ui->groupBox->setStyleSheet(ButtonTheme::RowsBox(PictureDir));
    ui->groupBox_4->setStyleSheet(ButtonTheme::NoBorderBox(QStringLiteral("groupBox_4")));
    ui->groupBox_2->setStyleSheet(ButtonTheme::NoBorderBox(QStringLiteral("groupBox_2")));
    for (QWidget *area : {ui->scrollArea_4, ui->scrollArea_3, ui->scrollArea_7, ui->scrollArea_8, ui->scrollArea_10,
                          ui->scrollArea_6, ui->scrollArea_9, ui->scrollArea_12})
        area->setStyleSheet(ButtonTheme::NoBorder(area->objectName()));
}

// ---- events -----------------------------------------------------------------------

Buttoninterface::PressOutcome Buttoninterface::PressOutcomeAt(const QPoint &at, bool functionListOpen,
                                                              bool detailListOpen) const
{
    // Every rectangle is the widget's geometry in its own parent's frame; the
    // press is compared with them as it is, in page coordinates.
    const QRect rows = ui->scrollArea_11->geometry();
    const QRect functions = ui->stackedWidget->geometry();
    const QRect details = ui->stackedWidget_2->geometry();
    const QRect box = ui->groupBox->geometry();
    const QPoint lifted = at - QPoint(0, kFunctionListLift);

    PressOutcome outcome;
    bool listOpen = functionListOpen;
    bool detailOpen = detailListOpen;
    const bool closeFirst = (listOpen && detailOpen && !box.contains(at))
                            || (listOpen && !detailOpen && !rows.contains(at) && !functions.contains(lifted));
    if (closeFirst) {
        outcome.closeLists = true;
        listOpen = detailOpen = false;
    }

    bool release = false;
    if (!listOpen && !detailOpen)
        release = !rows.contains(at) || functions.contains(lifted);
    else if (listOpen && !detailOpen)
        release = !box.contains(at);
    else if (listOpen && detailOpen)
        release = !rows.contains(at) && !functions.contains(at) && !details.contains(at);
    if (ui->widget->geometry().contains(at))
        release = true;

    if (release)
        outcome.closeLists = outcome.clearRows = true;
    return outcome;
}

void Buttoninterface::mousePressEvent(QMouseEvent *event)
{
    // Qt also hands the second press of a double click here; only a plain
    // left press acts. The event is not passed on.
    if (event->type() != QEvent::MouseButtonPress || event->button() != Qt::LeftButton)
        return;
    const PressOutcome outcome = PressOutcomeAt(event->pos(), Lists->FunctionListOpen(), Lists->DetailListOpen());
    if (outcome.clearRows)
        ClearRowSelection();
    if (outcome.closeLists)
        CloseFunctionLists();
}

void Buttoninterface::changeEvent(QEvent *event)
{
    if (event->type() != QEvent::LanguageChange)
        return;
    // The form's default texts come back; the profile box keeps its entry and stays quiet.
    const int profile = ui->ProjectChoose->currentIndex();
    ui->ProjectChoose->blockSignals(true);
    ui->retranslateUi(this);
    ui->ProjectChoose->setCurrentIndex(profile);
    ui->ProjectChoose->blockSignals(false);
}

// ---- openers and markers ----------------------------------------------------------

void Buttoninterface::on_DPI_11_clicked()
{
    Lists->ShowDetail(ui->page_4);
}

void Buttoninterface::on_DPI_9_clicked()
{
    Lists->ShowDetail(ui->page_6);
}

void Buttoninterface::on_DPI_7_clicked()
{
    Lists->ShowDetail(ui->page_7);
}

void Buttoninterface::on_DPI_12_clicked()
{
    Lists->ShowDetail(ui->page_3);
}

void Buttoninterface::on_DPI_4_clicked()
{
    Lists->ShowDetail(ui->page_8);
}

void Buttoninterface::on_DPI_13_clicked()
{
    Lists->ShowDetail(ui->page_10);
}

void Buttoninterface::SelectRowFromMarker(int row)
{
    // Offline this raises the notice (unless a page is filling itself); the
    // row is selected either way. Nothing opens and nothing is written.
    CheckDeviceOnline();
    TheRows->Select(row);
}

void Buttoninterface::on_Number1_clicked() { SelectRowFromMarker(0); }
void Buttoninterface::on_Number2_clicked() { SelectRowFromMarker(1); }
void Buttoninterface::on_Number3_clicked() { SelectRowFromMarker(2); }
void Buttoninterface::on_Number4_clicked() { SelectRowFromMarker(3); }
void Buttoninterface::on_Number5_clicked() { SelectRowFromMarker(4); }
void Buttoninterface::on_Number6_clicked() { SelectRowFromMarker(5); }

void Buttoninterface::SlotMouseIndex(int index)
{
    Q_UNUSED(index);
    ShowMousePicture();
}

void Buttoninterface::ShowMousePicture()
{
    ui->widget->setStyleSheet(ButtonTheme::MousePicture(PictureDir, kMousePicture));
}

