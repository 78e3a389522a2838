#include "macro.h"

#include "ui_macro.h"

#include "adddelaytime.h"
#include "addkey.h"
#include "configini.h"
#include "eventlisteditor.h"
#include "eventwait.h"
#include "globals.h"
#include "keynames.h"
#include "languagereader.h"
#include "macroexport.h"
#include "macrofile.h"
#include "macroitemsmodel.h"
#include "macrorecord.h"
#include "notices.h"
#include "paneltheme.h"
#include "pendingmacros.h"
#include "postmsg.h"
#include "questiondialog.h"
#include "wheelguard.h"
#include "wholefile.h"
#include "writers.h"

#include <QButtonGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QCursor>
#include <QListView>
#include <QListWidgetItem>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <utility>

namespace {

// SigStartRecord arguments: a recording started (the device page's navigation
// goes off), or stopped (it comes back).
constexpr int kRecordingStarted = 0;
constexpr int kRecordingStopped = 1;

// SigUpDataMacro index: the events, or the loop mode, changed.
constexpr int kEventsChangedIndex = 0;
constexpr int kLoopChangedIndex = 1;

// Loop codes of the three repeat modes; counts run from 1 to 250.
constexpr int kLoopUntil = 253;
constexpr int kLoopUntilRelease = 254;
constexpr int kLoopUntilClick = 255;
constexpr int kMinLoopCount = 1;
constexpr int kMaxLoopCount = 250;

// The only language whose "new macro" text is long enough to want a tool tip.
constexpr int kNewHongToolTipLanguage = 5;

// Save serves events for this long before it writes.
constexpr int kSaveWaitMs = 100;

// Notices of the page sit this far left of and above the page's centre.
constexpr int kNoticeDx = -100;
constexpr int kNoticeDy = -50;

// The file dialogs of export and import.
const char kExportCaption[] = "FileSave";
const char kImportCaption[] = "SelectFile";
const char kExchangeFilter[] = "File(*.ini)";

// Import places its SameMacro notice by this size, not the notice's own.
const QSize kImportNoticeSize(300, 110);

// Modes of the name dialog.
constexpr int kNameForNewMacro = 0;
constexpr int kNameForRename = 1;

// The delay and single-key dialogs sit this far left of and above the centre.
constexpr int kDialogDx = -50;
constexpr int kDialogDy = -70;

constexpr int kEventMenuRows = 5;

// Items of the event menu; 4 to 8 are the five mouse buttons.
constexpr int kMenuNothing = 0;
constexpr int kMenuKeyPress = 1;
constexpr int kMenuKeyRelease = 2;
constexpr int kMenuDelay = 3;
constexpr int kFirstMouseButtonItem = 4;
constexpr int kLastMouseButtonItem = 8;


QString Rgb(const QString &triple)
{
    return QStringLiteral("rgb(") + triple + QLatin1Char(')');
}

// The tool buttons' look: the theme's button colour on the page's button
// pictures, or greyed on the plain picture.
QString ToolButtonSheet(const QString &pictureDir, const QString &buttonColor)
{
    return QStringLiteral("QToolButton{border:0px;color:") + Rgb(buttonColor)
        + QStringLiteral(";background-image:url(") + pictureDir
        + QStringLiteral("Button.png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image:url(")
        + pictureDir + QStringLiteral("ButtonHover.png);}QToolButton:pressed{background-image:url(") + pictureDir
        + QStringLiteral("ButtonClick.png);}");
}

QString GreyToolButtonSheet(const QString &pictureDir)
{
    return QStringLiteral("QToolButton{border:0px;color:rgb(127,127,127);background-image:url(") + pictureDir
        + QStringLiteral("Button.png);background-position:center;background-repeat:no-repeat;}");
}

// The five mouse-button names in the order of the event menu's items 4 to 8.
QStringList MouseButtonNames()
{
    return {g_MouseLeftName, g_MouseRightName, g_MouseMiddleName, g_MouseForwardName, g_MouseBackName};
}

}  // namespace

Macro::Macro(QWidget *parent)
    : QWidget(parent), ui(new Ui_Macro()),
      recorder([this](int virtualKey, bool down, bool repeat) { UpdateCapslockTip(virtualKey, down, repeat); },
               MacroRecorder::Sink{
                   [this](const QString &name, bool press) { AppendKeyItem(name, press); },
                   [this](double ms) { AppendDelayItem(ms); },
                   [this]() -> std::optional<int> {
                       if (ui->AutoInsertDelay->isChecked())
                           return std::nullopt;
                       return ui->DelayTime->value();
                   },
                   [this] { OnRecordingLimit(); },
               })
{
    ui->setupUi(this);
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Macro::SlotChangeLanguage);

    pictureDir = PanelTheme::PictureDir(QStringLiteral("Macro"));
    macroDir = MacroFile::Folder();
    pressIcon = QIcon(pictureDir + QStringLiteral("MacroDown.png"));
    releaseIcon = QIcon(pictureDir + QStringLiteral("MacroUp.png"));
    delayIcon = QIcon(pictureDir + QStringLiteral("MacroTime.png"));
    events = new MacroItemsModel(this);
    events->SetIcons(pressIcon, releaseIcon, delayIcon);
    ui->listWidgetKey->setModel(events);
    connect(events, &MacroItemsModel::ItemTextChanged, this, [this] { on_listWidgetKey_itemChanged(nullptr); });

    connect(hub, &PostMsg::SigButtonToMacro, this, &Macro::SlotButtonToMacro);
    connect(hub, &PostMsg::SigMacroDownLoadData, this, &Macro::SlotMacroDownLoadData);
    connect(hub, &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);

    ApplyListTheme();
    LoadMacroList();
    SetupButtonGroups();
    ApplyComboTheme();

    ui->StopRecord->hide();
    ui->AutoInsertDelay->setChecked(true);
    buttonColorRgb = ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QStringLiteral("ButtonColor"));

    connect(loopGroup, &QButtonGroup::idToggled, this, &Macro::OnLoopModeChanged, Qt::DirectConnection);
    SetSaveEnabled(false);
    ApplyTextTheme();
    ApplyButtonTheme();
    SlotChangeLanguage(CurrentLanguageIndex());
    WheelGuard::InstallOn(this);
    WheelGuard::MarkAsMenu(ui->ChooseEvent);
}

Macro::~Macro()
{
    // A recording ends with the page: nothing else would clear the flag that
    // keeps the main window from taking keys.
    if (recorder.Stop())
        g_MacroRecording = 0;
    delete ui;
    ui = nullptr;
}

// ---- key vocabulary -------------------------------------------------------------------

QStringList Macro::KeyNameToHexCode(const QString &name)
{
    return KeyNames::KeyNameToHexCode(name);
}

QString Macro::HexCodeToKeyName(const QString &code, int kind)
{
    return KeyNames::HexCodeToKeyName(code, kind);
}

void Macro::KeyNameToEvent(const QString &name, int button, int index, MacroRecord &record)
{
    Q_UNUSED(button);
    KeyNames::KeyNameToEvent(name, index, record);
}

QString Macro::CodeToKeyName(int usage, int kind)
{
    return KeyNames::CodeToKeyName(usage, kind);
}

QString Macro::MouseCodeToName(int bit)
{
    return KeyNames::MouseCodeToName(bit);
}

// ---- construction ---------------------------------------------------------------------

void Macro::SetupButtonGroups()
{
    delayGroup = new QButtonGroup(this);
    delayGroup->setExclusive(true);
    delayGroup->addButton(ui->AutoInsertDelay);
    delayGroup->addButton(ui->DefaultDelay);

    loopGroup = new QButtonGroup(this);
    loopGroup->setExclusive(true);
    loopGroup->addButton(ui->ReUntilLoose);
    loopGroup->addButton(ui->ReUntilClick);
    loopGroup->addButton(ui->ReNumber);
    loopGroup->addButton(ui->ReUntil);
}

void Macro::ApplyListTheme()
{
    const QString &dir = pictureDir;
    const QString sheet =
        QStringLiteral("QListView{background:transparent;color:white;outline:0px;"
                       "border:1px solid rgb(60,60,60);border-radius:4px;}"
                       "QListView::item:selected,QListView::item:selected:!active"
                       "{background:#a3a3a3;color:white;}"
                       "QListView::item:hover:!selected{background:transparent;}"
                       "QScrollBar:vertical{width:20px;background:rgb(30,30,30);margin:22px 0px 22px 0px;}"
                       "QScrollBar::handle:vertical{background:rgb(117,117,117);border-radius:3px;min-height:30px;}"
                       "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}"
                       "QScrollBar::sub-line:vertical{height:25px;subcontrol-position:top;subcontrol-origin:margin;"
                       "background:rgb(30,30,30);}"
                       "QScrollBar::add-line:vertical{height:25px;subcontrol-position:bottom;"
                       "subcontrol-origin:margin;background:rgb(30,30,30);}"
                       "QScrollBar::up-arrow:vertical{width:15px;height:15px;image:url(")
        + dir + QStringLiteral("Up.png);}QScrollBar::down-arrow:vertical{width:15px;height:15px;image:url(") + dir
        + QStringLiteral("Down.png);}");
    ui->listWidgetHong->setStyleSheet(sheet);
    ui->listWidgetKey->setStyleSheet(sheet);
    ui->MacroPage->setStyleSheet(
        QStringLiteral("#MacroPage{border:0px;background:transparent;}"
                       "QScrollBar:vertical{width:13px;background:rgb(30,30,30);}"
                       "QScrollBar::handle:vertical{background:rgb(117,117,117);}"
                       "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}"
                       "QScrollBar::up-arrow:vertical,QScrollBar::down-arrow:vertical{background:transparent;}"));
}

void Macro::ApplyComboTheme()
{
    PanelTheme::ApplyComboTheme(ui->ChooseEvent, pictureDir, ComboTheme::Ending::Plain, true, kEventMenuRows);
}

void Macro::ApplyTextTheme()
{
    const QString label = Rgb(PanelTheme::Triple(QStringLiteral("LabelColor")));
    const QString labelSheet = QStringLiteral("QLabel{color:") + label + QStringLiteral(";}");
    for (QLabel *text : {ui->label, ui->label_2, ui->label_3, ui->AutoInsertDelayLabel, ui->ReUntilLooseLabel,
                         ui->ReUntilClickLabel, ui->ReUntilLabel})
        text->setStyleSheet(labelSheet);

    const QString checkSheet = QStringLiteral("QCheckBox{color:") + label
        + QStringLiteral(";}QCheckBox::indicator:checked{image:url(") + pictureDir
        + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked{image:url(") + pictureDir
        + QStringLiteral("CheckBox.png);}");
    for (QCheckBox *box : {ui->AutoInsertDelay, ui->DefaultDelay, ui->ReUntilLoose, ui->ReUntilClick, ui->ReUntil,
                           ui->ReNumber})
        box->setStyleSheet(checkSheet);

    const QString spinSheet = QStringLiteral("QSpinBox{background:rgb(63,63,63);border:0px;color:")
        + Rgb(PanelTheme::Triple(QStringLiteral("LinEditColorSecond"))) + QStringLiteral(";}");
    ui->DelayTime->setStyleSheet(spinSheet);
    ui->NumberEdit->setStyleSheet(spinSheet);
}

void Macro::ApplyButtonTheme()
{
    const QString buttonSheet = ToolButtonSheet(pictureDir, buttonColorRgb);
    for (QToolButton *button : {ui->NewHong, ui->DeleteHong, ui->Amend, ui->DeleteKey})
        button->setStyleSheet(buttonSheet);

    auto recordSheet = [this](const QString &picture) {
        return QStringLiteral("QPushButton{border:0px;color:") + Rgb(buttonColorRgb)
            + QStringLiteral(";background-image:url(") + pictureDir + picture
            + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}"
                             "QPushButton:hover{background-image:url(")
            + pictureDir + picture + QStringLiteral("Hover.png);}");
    };
    ui->StartRecord->setStyleSheet(recordSheet(QStringLiteral("Record")));
    ui->StopRecord->setStyleSheet(recordSheet(QStringLiteral("Stop")));
}

// ---- texts ----------------------------------------------------------------------------

void Macro::SlotChangeLanguage(int index)
{
    if (!reader) {
        auto item = [this](int row) { return [this, row](const QString &t) { ui->ChooseEvent->setItemText(row, t); }; };
        auto mouseName = [item](int row, QString *name) {
            return [setItem = item(row), name](const QString &t) {
                setItem(t);
                *name = t;
            };
        };
        QToolButton *newHong = ui->NewHong;
        reader = std::make_unique<LanguageReader>(QStringLiteral("Macro"), TagMap{
            {QStringLiteral("label"), PropertyTarget(ui->label)},
            {QStringLiteral("label_2"), PropertyTarget(ui->label_2)},
            {QStringLiteral("label_3"), PropertyTarget(ui->label_3)},
            {QStringLiteral("NewHong"), [newHong](const QString &t) {
                 newHong->setText(t);
                 newHong->setToolTip(CurrentLanguageIndex() == kNewHongToolTipLanguage ? t : QString());
             }},
            {QStringLiteral("DeleteHong"), PropertyTarget(ui->DeleteHong)},
            {QStringLiteral("Amend"), PropertyTarget(ui->Amend)},
            {QStringLiteral("DeleteKey"), PropertyTarget(ui->DeleteKey)},
            {QStringLiteral("StartRecord"), PropertyTarget(ui->StartRecord)},
            {QStringLiteral("StopRecord"), PropertyTarget(ui->StopRecord)},
            {QStringLiteral("Save"), PropertyTarget(ui->Save)},
            {QStringLiteral("DefaultDelay"), PropertyTarget(ui->DefaultDelay)},
            {QStringLiteral("ReNumber"), PropertyTarget(ui->ReNumber)},
            {QStringLiteral("AutoInsertDelay"), PropertyTarget(ui->AutoInsertDelayLabel)},
            {QStringLiteral("ReUntilLoose"), PropertyTarget(ui->ReUntilLooseLabel)},
            {QStringLiteral("ReUntilClick"), PropertyTarget(ui->ReUntilClickLabel)},
            {QStringLiteral("ReUntil"), PropertyTarget(ui->ReUntilLabel)},
            {QStringLiteral("ChooseEvent1"), item(1)},
            {QStringLiteral("ChooseEvent2"), item(2)},
            {QStringLiteral("ChooseEvent3"), item(3)},
            {QStringLiteral("ChooseEvent4"), mouseName(4, &g_MouseLeftName)},
            {QStringLiteral("ChooseEvent5"), mouseName(5, &g_MouseRightName)},
            {QStringLiteral("ChooseEvent6"), mouseName(6, &g_MouseMiddleName)},
            {QStringLiteral("ChooseEvent7"), mouseName(7, &g_MouseForwardName)},
            {QStringLiteral("ChooseEvent8"), mouseName(8, &g_MouseBackName)},
            {QStringLiteral("Key1"), StoreTarget(&exportMenuText)},
            {QStringLiteral("Key2"), StoreTarget(&renameMenuText)},
            {QStringLiteral("Key3"), StoreTarget(&deleteMenuText)},
            {QStringLiteral("Key4"), StoreTarget(&newMenuText)},
            {QStringLiteral("Key5"), StoreTarget(&importMenuText)},
            {QStringLiteral("MacroReal"), StoreTarget(&macroCaptionPrefix)},
            {QStringLiteral("SaveFail"), StoreTarget(&saveFailText)},
            {QStringLiteral("ImportFail"), StoreTarget(&importFailText)},
        });
    }
    const QStringList oldNames = MouseButtonNames();
    reader->Load(index);
    RenameMouseButtonItems(oldNames);
}

// Event items name mouse buttons by the interface texts; after a change of
// language they take the new texts, or a Save would store them as unknown keys.
// The events themselves are the same, so nothing is marked as changed.
void Macro::RenameMouseButtonItems(const QStringList &oldNames)
{
    const QStringList newNames = MouseButtonNames();
    if (newNames == oldNames)
        return;
    const int current = CurrentEventRow();
    events->RenameKeys(oldNames, newNames);
    SetCurrentEventRow(current);
}

// ---- macro list and selection ------------------------------------------------------------

void Macro::LoadMacroList(const QString &unused)
{
    Q_UNUSED(unused);
    const QFileInfoList files =
        QDir(macroDir).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        QString name = file.fileName();
        if (name.contains(QStringLiteral("xml")))
            continue;
        name.remove(QStringLiteral(".ini"));
        ui->listWidgetHong->addItem(name);
    }
}

void Macro::on_listWidgetHong_clicked(const QModelIndex &index)
{
    Q_UNUSED(index);
    SelectMacro();
}

void Macro::on_listWidgetHong_currentRowChanged(int row)
{
    if (row >= 0)
        SelectMacro();
}

void Macro::SelectMacro()
{
    SetSaveEnabled(false);
    events->Clear();
    loopGroup->blockSignals(true);
    ui->NumberEdit->blockSignals(true);
    LoadMacroEvents();
}

QString Macro::SelectedMacroName() const
{
    const QListWidgetItem *current = ui->listWidgetHong->currentItem();
    return current ? current->text() : QString();
}

void Macro::LoadMacroEvents(const QString &unused)
{
    Q_UNUSED(unused);
    if (ui->listWidgetHong->currentRow() >= 0) {
        const MacroFile::Loaded loaded = MacroFile::Load(MacroFile::PathOf(macroDir, SelectedMacroName()));
        ShowLoopCode(loaded.loopCode);
        events->Load(loaded.items, LoopCode());
        if (loaded.result == MacroFile::LoadResult::OverLimit)
            RefuseOverLimitMacro();
    }
    loopGroup->blockSignals(false);
    ui->NumberEdit->blockSignals(false);
}

// A file over the record's limits is not shown: with nothing selected, no
// Save can replace it by an empty list.
void Macro::RefuseOverLimitMacro()
{
    {
        const QSignalBlocker blocker(ui->listWidgetHong);
        ui->listWidgetHong->setCurrentRow(-1);
    }
    events->Unload();
    QMetaObject::invokeMethod(this, [this] { ShowKeyNumberLimit(); }, Qt::QueuedConnection);
}

void Macro::ShowLoopCode(int loopCode)
{
    switch (loopCode) {
    case kLoopUntilRelease:
        ui->ReUntilLoose->setChecked(true);
        return;
    case kLoopUntilClick:
        ui->ReUntilClick->setChecked(true);
        return;
    case kLoopUntil:
        ui->ReUntil->setChecked(true);
        return;
    default:
        break;
    }
    const bool isCount = loopCode >= kMinLoopCount && loopCode <= kMaxLoopCount;
    ui->ReNumber->setChecked(true);
    ui->NumberEdit->setValue(isCount ? loopCode : kMinLoopCount);
}

int Macro::LoopCode() const
{
    if (ui->ReUntilLoose->isChecked())
        return kLoopUntilRelease;
    if (ui->ReUntilClick->isChecked())
        return kLoopUntilClick;
    if (ui->ReUntil->isChecked())
        return kLoopUntil;
    return ui->NumberEdit->value();
}

// ---- new, rename, delete and the context menu ---------------------------------------------

bool Macro::IsNameTaken(const QString &name) const
{
    if (!ui->listWidgetHong->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty())
        return true;
    const QString path = MacroFile::PathOf(macroDir, name);
    return path.isEmpty() || MacroFile::Exists(path);
}

bool Macro::CreateMacroFile(const QString &name)
{
    const QString path = MacroFile::PathOf(macroDir, name);
    return !path.isEmpty() && MacroFile::CreateEmpty(path);
}

QString Macro::AskMacroName(int mode)
{
    QuestionDialog dialog;
    dialog.SetLabelMode(mode);
    PlaceOnOpener(&dialog, this, kNoticeDx, kNoticeDy);
    dialog.exec();
    return dialog.resultText;
}

void Macro::on_NewHong_clicked()
{
    if (g_MacroRecording) {
        ShowPleaseStop();
        return;
    }
    const QString name = AskMacroName(kNameForNewMacro);
    if (name.isEmpty())
        return;
    if (IsNameTaken(name)) {
        ShowSameMacro();
        return;
    }
    if (!CreateMacroFile(name))
        return;
    {
        const QSignalBlocker blocker(ui->listWidgetHong);
        ui->listWidgetHong->addItem(name);
        ui->listWidgetHong->setCurrentRow(ui->listWidgetHong->count() - 1);
    }
    events->Load({}, kMinLoopCount);
    // A new macro repeats once; a changed loop box or count marks the change.
    ui->ReNumber->setChecked(true);
    ui->NumberEdit->setValue(kMinLoopCount);
}

void Macro::CreateMewMacro()
{
    on_NewHong_clicked();
}

void Macro::on_DeleteHong_clicked()
{
    if (g_MacroRecording) {
        ShowPleaseStop();
        return;
    }
    QListWidgetItem *current = ui->listWidgetHong->currentItem();
    if (!current)
        return;
    DeleteConfirm confirm;
    PlaceOnOpener(&confirm, this, kNoticeDx, kNoticeDy);
    confirm.exec();
    if (!confirm.accepted())
        return;

    const QString name = current->text();
    const QString path = MacroFile::PathOf(macroDir, name);
    if (path.isEmpty() || !MacroFile::Remove(path))
        return;
    PendingMacros::Clear(name);
    PostMsg::GetInstance()->EmitDeleteMacroButton(macroCaptionPrefix + name);
    {
        const QSignalBlocker blocker(ui->listWidgetHong);
        delete ui->listWidgetHong->takeItem(ui->listWidgetHong->row(current));
        ui->listWidgetHong->setCurrentRow(-1);
    }
    events->Clear();
    events->Unload();
}

void Macro::DeleteMacro()
{
    on_DeleteHong_clicked();
}

// The file moves first; the item and the button page follow only when it
// moved, so no caption ever names a file that is not there.
void Macro::RenameMacro()
{
    QListWidgetItem *current = ui->listWidgetHong->currentItem();
    if (!current)
        return;
    const QString newName = AskMacroName(kNameForRename);
    if (newName.isEmpty())
        return;
    if (IsNameTaken(newName)) {
        ShowSameMacro();
        return;
    }
    const QString oldName = current->text();
    const QString oldPath = MacroFile::PathOf(macroDir, oldName);
    const QString newPath = MacroFile::PathOf(macroDir, newName);
    if (oldPath.isEmpty() || newPath.isEmpty() || !QFile::rename(oldPath, newPath))
        return;
    current->setText(newName);
    if (PendingMacros::IsPending(oldName)) {
        PendingMacros::Clear(oldName);
        PendingMacros::Mark(newName);
    }
    PostMsg::GetInstance()->EmitMacroRename(oldName, newName);
}

void Macro::on_listWidgetHong_customContextMenuRequested(const QPoint &pos)
{
    QMenu menu;
    if (ui->listWidgetHong->itemAt(pos)) {
        connect(menu.addAction(exportMenuText), &QAction::triggered, this, &Macro::ExPortMacro);
        connect(menu.addAction(renameMenuText), &QAction::triggered, this, &Macro::RenameMacro);
        connect(menu.addAction(deleteMenuText), &QAction::triggered, this, &Macro::DeleteMacro);
        // With many macros the list has no empty place left to offer it.
        connect(menu.addAction(importMenuText), &QAction::triggered, this, &Macro::InPortMacro);
    } else {
        connect(menu.addAction(newMenuText), &QAction::triggered, this, &Macro::CreateMewMacro);
        connect(menu.addAction(importMenuText), &QAction::triggered, this, &Macro::InPortMacro);
    }
    menu.exec(QCursor::pos());
}

// ---- export and import -------------------------------------------------------------------

void Macro::ExPortMacro()
{
    if (!ui->listWidgetHong->currentItem())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QString::fromLatin1(kExportCaption), QDir::homePath(),
                                                      QString::fromLatin1(kExchangeFilter));
    if (path.isEmpty())
        return;
    QVector<MacroExport::EncodeItem> items;
    for (int row = 0; row < events->rowCount(); ++row)
        items.append({events->Item(row), events->index(row).data(Qt::DecorationRole).value<QIcon>()});
    if (!WholeFile::Write(path, MacroExport::Encode(SelectedMacroName(), LoopCode(), items))) {
        InportFail notice;
        notice.ShowWriteFailText();
        PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
        notice.exec();
    }
}

void Macro::InPortMacro()
{
    const QString path = QFileDialog::getOpenFileName(this, QString::fromLatin1(kImportCaption), QDir::homePath(),
                                                      QString::fromLatin1(kExchangeFilter));
    if (path.isEmpty())
        return;
    QByteArray bytes;
    if (!WholeFile::Read(path, &bytes, MacroExport::kMaxFileBytes)) {
        ShowMacroNotice(importFailText);
        return;
    }
    Import(bytes);
}

void Macro::Import(const QByteArray &bytes)
{
    // A longer list is refused whatever it holds; it is not read item by item.
    const std::optional<MacroExport::Decoded> decoded = MacroExport::Decode(bytes, EventListEditor::kMaxItems);
    if (!decoded) {
        ShowMacroNotice(importFailText);
        return;
    }
    const QString name = MacroNamePrefix(decoded->name);
    if (name.isEmpty()) {
        ShowMacroNotice(importFailText);
        return;
    }
    if (!IsValidMacroName(name)) {
        QuestionDialog::ShowNameRefused(this);
        return;
    }
    if (IsNameTaken(name)) {
        SameMacro notice;
        const QRect page(mapToGlobal(QPoint(0, 0)), size());
        notice.move(NoticePosition(page, kImportNoticeSize, kNoticeDx, kNoticeDy));
        notice.exec();
        return;
    }
    if (decoded->tag != QLatin1String(MacroExport::kTag)) {
        ShowMacroNotice(importFailText);
        return;
    }
    if (decoded->overItemLimit || !EventListEditor::WithinLimits(decoded->Items())) {
        ShowKeyNumberLimit();
        return;
    }
    const int loopCode = MacroExport::LoopCodeOf(decoded->loopText);
    const MacroItems items = EventListEditor::Repaired(decoded->Items());
    if (!CreateMacroFile(name)) {
        ShowMacroNotice(saveFailText);
        return;
    }
    if (!WriteMacroFile(name, loopCode, items)) {
        MacroFile::Remove(MacroFile::PathOf(macroDir, name));
        ShowMacroNotice(saveFailText);
        return;
    }

    {
        const QSignalBlocker blocker(ui->listWidgetHong);
        ui->listWidgetHong->addItem(name);
        ui->listWidgetHong->setCurrentRow(ui->listWidgetHong->count() - 1);
    }
    {
        const QSignalBlocker loopBlocker(loopGroup);
        const QSignalBlocker countBlocker(ui->NumberEdit);
        ShowLoopCode(loopCode);
    }
    events->Load(items, LoopCode());
    SetSaveEnabled(false);
}

// ---- event list ---------------------------------------------------------------------------

int Macro::CurrentEventRow() const
{
    const QModelIndex current = ui->listWidgetKey->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Macro::SetCurrentEventRow(int row)
{
    ui->listWidgetKey->setCurrentIndex(row >= 0 ? events->index(row) : QModelIndex());
}

bool Macro::EditEvents(const std::function<bool(EventListEditor &)> &rule)
{
    int current = -1;
    const bool acted = events->Edit(CurrentEventRow(), rule, &current);
    SetCurrentEventRow(current);
    return acted;
}

void Macro::AppendKeyItem(const QString &name, bool press)
{
    if (MacroSelected())
        EditEvents([&](EventListEditor &list) { list.AppendKey(name, press); return true; });
}

void Macro::AppendDelayItem(double ms)
{
    if (MacroSelected())
        EditEvents([&](EventListEditor &list) { list.AppendDelay(ms); return true; });
}

MacroItems Macro::EventItems() const
{
    return events->Items();
}

// ---- editing the event list ---------------------------------------------------------------

bool Macro::MacroSelected() const
{
    return ui->listWidgetHong->currentRow() >= 0;
}

void Macro::InsertKeyEvent(const QString &name, bool press)
{
    EditEvents([&](EventListEditor &list) { return list.InsertKeyEvent(name, press); });
}

void Macro::InsertMouseClick(const QString &buttonName)
{
    EditEvents([&](EventListEditor &list) { return list.InsertMouseClick(buttonName); });
}

void Macro::InsertDelay(double ms)
{
    EditEvents([&](EventListEditor &list) { return list.InsertDelay(ms); });
}

void Macro::MarkEventsChanged()
{
    eventsChanged = true;
    SetSaveEnabled(true);
}

// False, after the notice, when `added` more key items would not fit the
// mouse's record.
bool Macro::RoomForKeys(int added)
{
    if (EventListEditor::KeyCountOf(events->Items()) + added <= EventListEditor::kMaxKeys)
        return true;
    ShowKeyNumberLimit();
    return false;
}

std::optional<QString> Macro::AskKeyName()
{
    addKey dialog;
    PlaceOnOpener(&dialog, this, kDialogDx, kDialogDy);
    const int result = dialog.exec();
    if (result == QDialog::Accepted && dialog.accepted)
        return dialog.keyName;
    return std::nullopt;
}

std::optional<int> Macro::AskDelay()
{
    AddDelayTime dialog;
    PlaceOnOpener(&dialog, this, kDialogDx, kDialogDy);
    dialog.exec();
    if (dialog.accepted)
        return dialog.delay;
    return std::nullopt;
}

void Macro::on_ChooseEvent_activated(int index)
{
    if (index == kMenuKeyPress || index == kMenuKeyRelease)
        ChooseKeyEvent(index == kMenuKeyPress);
    else if (index == kMenuDelay)
        ChooseDelay();
    else if (index >= kFirstMouseButtonItem && index <= kLastMouseButtonItem)
        ChooseMouseClick(MouseButtonNames().at(index - kFirstMouseButtonItem));
    ui->ChooseEvent->setCurrentIndex(kMenuNothing);
}

void Macro::ChooseKeyEvent(bool press)
{
    if (MacroSelected() && !RoomForKeys(1))
        return;
    const std::optional<QString> name = AskKeyName();
    if (!name || !MacroSelected())
        return;
    InsertKeyEvent(*name, press);
    MarkEventsChanged();
}

void Macro::ChooseDelay()
{
    const std::optional<int> delay = AskDelay();
    if (!delay || !MacroSelected() || CurrentEventRow() < 0)
        return;
    InsertDelay(*delay);
    MarkEventsChanged();
}

void Macro::ChooseMouseClick(const QString &buttonName)
{
    if (!MacroSelected() || !RoomForKeys(2))
        return;
    InsertMouseClick(buttonName);
    MarkEventsChanged();
}

// The row is checked again after the dialog: the list may have been
// rebuilt while it was open. The new text reaches the change flag through
// the model's text change.
void Macro::on_Amend_clicked()
{
    if (g_MacroRecording) {
        ShowPleaseStop();
        return;
    }
    const int row = CurrentEventRow();
    if (row < 0)
        return;
    const bool delay = events->Item(row).IsDelay();
    QString text;
    if (delay) {
        const std::optional<int> ms = AskDelay();
        if (!ms)
            return;
        text = MacroItem::Delay(*ms).text;
    } else {
        const std::optional<QString> name = AskKeyName();
        if (!name)
            return;
        text = *name;
    }
    if (CurrentEventRow() != row || events->Item(row).IsDelay() != delay)
        return;
    events->setData(events->index(row), text);
    SetSaveEnabled(true);
}

void Macro::on_DeleteKey_clicked()
{
    if (g_MacroRecording) {
        ShowPleaseStop();
        return;
    }
    if (!MacroSelected())
        return;
    if (EditEvents([](EventListEditor &list) { return list.DeleteCurrent(); }))
        MarkEventsChanged();
}

// ---- change flags and Save -----------------------------------------------------------------

void Macro::SetSaveEnabled(bool enabled)
{
    ui->Save->setStyleSheet(enabled ? ToolButtonSheet(pictureDir, buttonColorRgb) : GreyToolButtonSheet(pictureDir));
    ui->Save->setEnabled(enabled);
}

void Macro::OnLoopModeChanged(int id, bool checked)
{
    Q_UNUSED(id);
    Q_UNUSED(checked);
    loopChanged = true;
    SetSaveEnabled(true);
}

void Macro::on_NumberEdit_valueChanged(int value)
{
    Q_UNUSED(value);
    loopChanged = true;
    SetSaveEnabled(true);
}

void Macro::on_listWidgetKey_itemChanged(QListWidgetItem *item)
{
    Q_UNUSED(item);
    eventsChanged = true;
    SetSaveEnabled(true);
}

bool Macro::WriteMacroFile(const QString &name, int loopCode, const MacroItems &items) const
{
    const QString path = MacroFile::PathOf(macroDir, name);
    return !path.isEmpty() && MacroFile::Write(path, loopCode, items);
}

void Macro::WaitMs(int ms)
{
    WaitProcessingEvents(ms);
}

// Save works on the macro selected when it is clicked: its name, loop code and
// events are taken at once, so a selection changed while it waits cannot mix
// one macro's events into another's file, and a macro deleted while it waits
// is not written again. Nothing is announced unless the file was written.
//
// An announced change marks the macro pending first: until the saved file has
// reached every button showing the macro, a read of the mouse sends the file
// instead of rebuilding it from the mouse's older record.
void Macro::on_Save_clicked()
{
    if (g_MacroRecording) {
        ShowPleaseStop();
        return;
    }
    SetSaveEnabled(false);
    if (!ui->listWidgetHong->currentItem())
        return;
    refusedDownload.reset();
    const QString name = SelectedMacroName();
    const int loopCode = LoopCode();
    const MacroItems items = EventItems();

    WaitMs(kSaveWaitMs);
    if (!IsListed(name))
        return;
    if (!WriteMacroFile(name, loopCode, items)) {
        SetSaveEnabled(true);
        ShowMacroNotice(saveFailText);
        return;
    }
    if (SelectedMacroName() == name)
        events->MarkSaved(items, loopCode);
    const bool announceEvents = std::exchange(eventsChanged, false);
    const bool announceLoop = std::exchange(loopChanged, false);
    if (!announceEvents && !announceLoop)
        return;
    PendingMacros::Mark(name);
    PostMsg *hub = PostMsg::GetInstance();
    if (announceEvents)
        hub->EmitUpDataMacro(name, kEventsChangedIndex);
    if (announceLoop)
        hub->EmitUpDataMacro(name, kLoopChangedIndex);
    if (PendingMacros::SavedFileReachedMouse(name, ReadImage()))
        PendingMacros::Clear(name);
}

bool Macro::IsListed(const QString &name) const
{
    return !ui->listWidgetHong->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty();
}

void Macro::ShowPleaseStop()
{
    ExeIsRun notice;
    notice.ShowPleaseStopText();
    PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
    notice.exec();
}

void Macro::ShowMacroNotice(const QString &text)
{
    UpDateWarning notice;
    notice.SetLabelText(text);
    PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
    notice.exec();
}

void Macro::ShowSameMacro()
{
    SameMacro notice;
    PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
    notice.exec();
}

// ---- device record (download and upload) ------------------------------------------------

// A record read from the mouse becomes the macro of that name: its file is
// written whole from the record (the loop code is the button's entry's), and
// the name is listed. A macro saved but not yet on the mouse keeps its file:
// the button page sends that file instead. The shown list stays as it is
// while it holds edits not saved yet; otherwise nothing is selected and the
// list is empty, as after any upload. A name that is empty (a record zeroed
// by a reset) or cannot name a file changes nothing.
void Macro::SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer)
{
    if (KeyNumer < 0 || KeyNumer >= kKeyCount)
        return;
    const UploadedMacro uploaded = ReadMacroRecord(LoadRecord(DataMap.Macros[KeyNumer]));
    const QString name = QString(uploaded.name).remove(QChar(0));
    const QString path = MacroFile::PathOf(macroDir, name);
    if (path.isEmpty())
        return;
    if (PendingMacros::IsPending(name) && MacroFile::Exists(path))
        return;
    PendingMacros::Clear(name);
    MacroFile::Write(path, DataMap.Keys[KeyNumer].Param2, uploaded.items);
    const bool keepShown = HasUnsavedEdits();
    SelectOrInsertMacro(name, !keepShown);
    if (!keepShown) {
        {
            const QSignalBlocker blocker(ui->listWidgetHong);
            ui->listWidgetHong->setCurrentRow(-1);
        }
        events->Clear();
        events->Unload();
    }
    PostMsg::GetInstance()->EmitAddMacroButton();
}

bool Macro::HasUnsavedEdits() const
{
    return MacroSelected() && events->DiffersFromSaved(LoopCode());
}

void Macro::SelectOrInsertMacro(const QString &name, bool select)
{
    const QSignalBlocker blocker(ui->listWidgetHong);
    QListWidget *list = ui->listWidgetHong;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == name) {
            if (select)
                list->setCurrentRow(row);
            return;
        }
    }
    const int current = list->currentRow();
    if (current >= 0) {
        list->insertItem(current + 1, name);
    } else {
        list->addItem(name);
        list->setCurrentRow(list->count() - 1);
    }
}

bool Macro::AppendMacroFile(const QString &name) const
{
    const QString path = MacroFile::PathOf(macroDir, name);
    return !path.isEmpty() && MacroFile::Append(path, EventItems());
}

// The download sends the macro as it was saved, never edits not yet saved:
// the file is what the user saved, and the button page reads the same file
// the same way when it assigns the macro.
void Macro::SlotMacroDownLoadData(QString MacroName, int index)
{
    if (index < 0 || index >= kKeyCount)
        return;
    const KeyEntry entry = ReadImage().Keys[index];
    const QString name = MacroName.remove(QChar(0));
    if (!g_WritesAllowed)
        return;
    MacroRecord record = EmptyMacroRecord();
    const MacroFile::LoadResult built = MacroFile::BuildRecord(MacroFile::PathOf(macroDir, name), name, &record);
    if (built == MacroFile::LoadResult::Unreadable)
        return;
    if (built == MacroFile::LoadResult::OverLimit) {
        if (refusedDownload != name) {
            refusedDownload = name;
            ShowKeyNumberLimit();
        }
        return;
    }
    refusedDownload.reset();
    SendMacroToButton(index, entry, record);
}

// ---- recording ---------------------------------------------------------------------------

void Macro::SetRecordClock(RecordClock clock)
{
    recorder.SetClock(std::move(clock));
}

void Macro::on_StartRecord_clicked()
{
    if (!MacroSelected()) {
        ExeIsRun notice;
        notice.ShowLabel2Text();
        PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
        notice.exec();
        return;
    }
    PostMsg::GetInstance()->EmitStartRecord(kRecordingStarted);
    ui->ChooseEvent->setEnabled(false);
    eventsChanged = true;
    recorder.Start();
    ui->StartRecord->hide();
    ui->StopRecord->show();
    g_MacroRecording = 1;
    events->Clear();
    ui->DelayTime->hide();
    ui->NumberEdit->hide();
    ui->listWidgetHong->setEnabled(false);
}

void Macro::on_StopRecord_clicked()
{
    PostMsg::GetInstance()->EmitStartRecord(kRecordingStopped);
    recorder.Stop();
    ShowIdleLayout();
    g_MacroRecording = 0;
    SetSaveEnabled(true);
}

void Macro::SlotSetMacroPage()
{
    PostMsg::GetInstance()->EmitStartRecord(kRecordingStopped);
    recorder.Stop();
    ShowIdleLayout();
    g_MacroRecording = 0;
    SetSaveEnabled(false);
}

void Macro::ShowIdleLayout()
{
    ui->StopRecord->hide();
    ui->StartRecord->show();
    ui->DelayTime->show();
    ui->NumberEdit->show();
    ui->listWidgetHong->setEnabled(true);
    ui->ChooseEvent->setEnabled(true);
}

void Macro::UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu)
{
    Q_UNUSED(aotu);
    recorder.TakeKey(keyCode, downOrUp);
}

// The 70th key ends the capture; the page keeps its recording look until Stop.
void Macro::OnRecordingLimit()
{
    g_MacroRecording = 0;
    // The key arrives inside the application's event filter: the notice opens
    // its own event loop only after the key has been delivered.
    QMetaObject::invokeMethod(this, [this] { ShowKeyNumberLimit(); }, Qt::QueuedConnection);
}

void Macro::ShowKeyNumberLimit()
{
    KeyNumberLimit notice;
    PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
    notice.exec();
}

// ---- events of the page ------------------------------------------------------------------

void Macro::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && ui) {
        const int menuIndex = ui->ChooseEvent->currentIndex();
        const int delay = ui->DelayTime->value();
        const int count = ui->NumberEdit->value();
        const QSignalBlocker menuBlocker(ui->ChooseEvent);
        const QSignalBlocker delayBlocker(ui->DelayTime);
        const QSignalBlocker countBlocker(ui->NumberEdit);
        ui->retranslateUi(this);
        ui->ChooseEvent->setCurrentIndex(menuIndex);
        ui->DelayTime->setValue(delay);
        ui->NumberEdit->setValue(count);
    }
    QWidget::changeEvent(event);
}

void Macro::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Macro::mousePressEvent(QMouseEvent *event)
{
    const QPoint onFrame = ui->MacroPage->mapFrom(this, event->pos());
    if (!ui->DelayTime->geometry().contains(onFrame) && !ui->NumberEdit->geometry().contains(onFrame)) {
        ui->DelayTime->clearFocus();
        ui->NumberEdit->clearFocus();
        setFocus(Qt::OtherFocusReason);
    }
    QWidget::mousePressEvent(event);
}
