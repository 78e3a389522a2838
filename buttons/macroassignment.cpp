// Giving a row a macro, and keeping the rows in step with the macro editor:
// the macro list made from the macro folder, the device record built from
// a macro's file, and the editor's deletions, new names and saves.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "buttontheme.h"
#include "configini.h"
#include "eventwait.h"
#include "globals.h"
#include "connection.h"
#include "macrofile.h"
#include "macropanel.h"
#include "notices.h"
#include "pendingmacros.h"
#include "postmsg.h"
#include "wholefile.h"
#include "writers.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QDir>
#include <mutex>
#include <cstring>

namespace {

// The editor's save is written to the mouse this long after it announced it.
constexpr int kMacroSaveWaitMs = 1500;
// What the editor's save announces: its events changed, or its loop mode.
constexpr int kEventsSaved = 0;
constexpr int kLoopModeSaved = 1;
// The model's default of a button whose default is a key: "0x05", then a
// media code (three items) or a combination text (four items).
const char kKeyDefault[] = "0x05";
constexpr int kMediaDefaultItems = 3;
constexpr int kCombinationDefaultItems = 4;

QString MacroPath(const QString &name)
{
    return MacroFile::PathOf(MacroFile::Folder(), name);
}

QString WithoutNul(QString text)
{
    return text.remove(QChar(0));
}

}  // namespace

// ---- the macro list ---------------------------------------------------------------

void Buttoninterface::BuildMacroPanel()
{
    MacroPanel = new ::MacroPanel(this);
    MacroPanel->SetLook(PictureDir, ButtonColor);
    // The list scrolls itself, with the bar where the frame had its own.
    ui->scrollArea_7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->scrollArea_7->setWidget(MacroPanel);
    MacroPanel->List(MacroNamesModel::Listing::First);
    connect(MacroPanel, &::MacroPanel::MacroChosen, this, &Buttoninterface::AssignMacro);
    // One highlight in the detail lists: a function chosen clears the macro.
    connect(DetailGroup, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), MacroPanel,
            [this](QAbstractButton *, bool checked) {
                if (checked)
                    MacroPanel->ClearChoice();
            });
}

void Buttoninterface::SlotAddMacroButton()
{
    MacroPanel->List(MacroNamesModel::Listing::Again);
}

void Buttoninterface::on_DPI_10_clicked()
{
    if (!MacroPanel->IsEmpty()) {
        ui->stackedWidget_2->setCurrentWidget(ui->page_5);
        return;
    }
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    MakeMacro notice(nullptr);
    RunNotice(notice);
}

void Buttoninterface::RunNotice(QDialog &notice)
{
    PlaceOnOpener(&notice, this, -50, -70);
    notice.exec();
}

// ---- assigning --------------------------------------------------------------------

void Buttoninterface::AssignMacro(const QString &name)
{
    // The macro's row stays the one highlight of the detail lists.
    Lists->ClearDetailHighlights();
    const int device = SelectedDeviceButton();
    MacroRecord record;
    const MacroBuild built = BuildMacroRecord(name, &record);
    if (built == MacroBuild::TooManyEvents) {
        KeyNumberLimit notice(nullptr);
        RunNotice(notice);
    } else if (built == MacroBuild::Built && device >= 0) {
        const int loopCode = ReadMacroLoopCode(name).toInt();  // 0 when it is no number
        const Function macro = Function::Macro(device, record, loopCode);
        const KeyEntry entry = macro.Entry();
        if (SendMacroToButton(device, entry, record) != WriteResult::Refused) {
            RowOfDeviceButton(device)->setText(MacroPrefix + name);
            Model.Assign(ButtonAssignments::RowOfDevice(device), macro);
        }
    }
    CloseFunctionLists();
}

// The same reading, repair and builder as the macro editor's download, so
// both pages send one record for one file.
Buttoninterface::MacroBuild Buttoninterface::BuildMacroRecord(const QString &name, MacroRecord *record) const
{
    if (!g_WritesAllowed)
        return MacroBuild::NotAllowed;
    switch (MacroFile::BuildRecord(MacroPath(name), WithoutNul(name), record)) {
    case MacroFile::LoadResult::Loaded:
        return MacroBuild::Built;
    case MacroFile::LoadResult::Unreadable:
        return MacroBuild::NoFile;
    case MacroFile::LoadResult::OverLimit:
        break;
    }
    return MacroBuild::TooManyEvents;
}

QString Buttoninterface::ReadMacroLoopCode(const QString &name)
{
    const QString fallback = QStringLiteral("0");
    const QString path = MacroPath(name);
    QByteArray content;
    if (path.isEmpty() || !WholeFile::Read(path, &content) || content.isEmpty())
        return fallback;
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    const QStringList words = QString::fromUtf8(file.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return fallback;
    QString first = words.first();
    return first.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
}

void Buttoninterface::ResetMacroFile(const QString &name, const QString &loopCode)
{
    const QString path = MacroPath(name);
    if (!path.isEmpty())
        WholeFile::Write(path, (loopCode + QLatin1Char('\n')).toUtf8());
}

// ---- macros saved but not yet on the mouse ----------------------------------------

bool Buttoninterface::HoldsPendingMacro(const QString &name) const
{
    if (!PendingMacros::IsPending(name))
        return false;
    if (MacroFile::Exists(MacroPath(name)))
        return true;
    // Nothing saved is left to send: the mouse's record rebuilds the file.
    PendingMacros::Clear(name);
    return false;
}

// Sends the saved file of a pending macro to device button `button`, once a
// fill is over and while the image is the mouse's own; the mark goes when
// every row showing the macro holds the file.
void Buttoninterface::SendSavedMacro(int button, const QString &name)
{
    if (!PendingMacros::IsPending(name) || !ImageIsDevicesOwn() || !RowsShowingMacro(name).contains(button))
        return;
    // A refusal refills the pages; that fill must not send again on the same
    // connection, or a mouse that keeps refusing is asked for ever. The next
    // connection's read sends the file.
    const uint64_t serial = OpenedConnection().serial;
    if (pendingSendRefusedOn == serial)
        return;
    MacroRecord record = EmptyMacroRecord();
    if (BuildMacroRecord(name, &record) != MacroBuild::Built)
        return;
    const Function macro = Function::Macro(button, record, ReadMacroLoopCode(name).toInt());
    const KeyEntry entry = macro.Entry();
    // Set before the send: a refusal refills the pages and shows its notice
    // while the send is still under way.
    pendingSendRefusedOn = serial;
    if (SendMacroToButton(button, entry, record) == WriteResult::Refused)
        return;
    pendingSendRefusedOn = 0;
    Model.Assign(ButtonAssignments::RowOfDevice(button), macro);
    if (PendingMacros::SavedFileReachedMouse(name, ReadImage()))
        PendingMacros::Clear(name);
}

// ---- following the macro editor ---------------------------------------------------

QList<int> Buttoninterface::RowsShowingMacro(const QString &name) const
{
    return Model.DevicesOfMacro(name);
}

void Buttoninterface::SlotDeleteMacroButton(QString MacroName)
{
    // Each row's default function button.
    QToolButton *const defaults[kRows] = {ui->LeftKey_3,  ui->RightKey_3, ui->MidKey,
                                          ui->ForWardKey, ui->BackKey_2,  ui->VolumeUp_8};

    QString name = WithoutNul(MacroName);
    if (!MacroPrefix.isEmpty() && name.startsWith(MacroPrefix))
        name.remove(0, MacroPrefix.size());
    const QList<int> devices = RowsShowingMacro(name);
    const QString group = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);

    for (int row = 0; row < kRows; ++row) {
        const int device = kRowDeviceButtons[row];
        if (!devices.contains(device))
            continue;
        TheRows->Select(row);
        defaults[row]->setChecked(true);
        const QStringList keyDefault =
            ConfigIni::GetInstance()->ValueList(group, QStringLiteral("KeyParam%1").arg(device + 1));
        if (keyDefault.value(0) != QLatin1String(kKeyDefault))
            RestoreFunctionDefault(device, defaults[row]);
        else if (keyDefault.size() == kMediaDefaultItems)
            WriteMediaKey(device, keyDefault.at(2).toInt(nullptr, 16));
        else if (keyDefault.size() == kCombinationDefaultItems)
            WriteKeyCombination(device, keyDefault.at(3));
    }
    ClearRowSelection();
    CloseFunctionLists();
    // The image goes out once more, as it always has; a row's restore above
    // has told the user if the mouse is away, so this send says nothing.
    WriteFlashDataMapQuietly();
}

void Buttoninterface::SlotMacroRename(QString OldName, QString NewName)
{
    for (int device : RowsShowingMacro(OldName)) {
        RowOfDeviceButton(device)->setText(MacroPrefix + NewName);
        // The record the mouse holds: the editor may have sent new events since the fill.
        const FlashDataMap image = ReadImage();
        const MacroRecordBytes renamed = ButtonAssignments::Renamed(image.Macros[device], NewName);
        const KeyEntry entry = *Model.Entry(device);
        if (WriteKeyMacro(device, &entry, renamed.data()) != WriteResult::Refused)
            Model.KeepMacroRecord(device, renamed);
    }
}

void Buttoninterface::SlotUpDataMacro(QString MacroName, int index)
{
    // The rows are those that show the macro when the save is announced.
    const QList<int> devices = RowsShowingMacro(MacroName);
    if (index == kEventsSaved) {
        // The editor sends its event list itself, once its save has settled.
        WaitProcessingEvents(kMacroSaveWaitMs);
        for (int device : devices)
            PostMsg::GetInstance()->EmitMacroDownLoadData(MacroName, device);
    } else if (index == kLoopModeSaved) {
        const int loopCode = ReadMacroLoopCode(MacroName).toInt();
        for (int device : devices) {
            // A row whose macro was taken away meanwhile (the wait above) is left alone.
            const std::optional<KeyEntry> held = Model.Entry(device);
            if (!held || held->Type != Function::kMacro)
                continue;
            KeyEntry entry = *held;
            entry.Param2 = uint8_t(loopCode);
            // The record the mouse holds: the editor sends new events itself.
            const FlashDataMap image = ReadImage();
            if (WriteKeyMacro(device, &entry, image.Macros[device]) != WriteResult::Refused)
                Model.Assign(ButtonAssignments::RowOfDevice(device),
                             Function::Macro(device, LoadRecord(image.Macros[device]), loopCode));
        }
    }
}
