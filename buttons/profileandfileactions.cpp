#include "profileandfileactions.h"

#include "myconmbobox.h"

#include "configini.h"
#include "connection.h"
#include "globals.h"
#include "hidusb.h"
#include "noticedialog.h"
#include "notices.h"
#include "postmsg.h"
#include "settingsfile.h"
#include "updataparam.h"
#include "waits.h"
#include "wholefile.h"
#include "worker.h"
#include "writers.h"

#include <QDir>
#include <QFileDialog>
#include <QSignalBlocker>
#include <QTimer>

namespace {

// The reset question and the reset and import popups sit this far from the
// page's centre.
constexpr int kPopupOffsetX = -75;
constexpr int kPopupOffsetY = -65;
constexpr int kOfflineNotice = 0;
const QString kFileFilter = QStringLiteral("File(*.bin)");
const QString kFileSuffix = QStringLiteral("bin");

bool MousePresent()
{
    return UsbFinderC_GetDeviceOnLine(g_CurrentPath);
}

QString CurrentSensorName()
{
    return ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex), QStringLiteral("Sensor"));
}

}  // namespace

// ---- profiles ---------------------------------------------------------------------

ProfileAndFileActions::ProfileAndFileActions(MyConmboBox *profiles, QWidget *page, const QString &itemPrefix,
                                             std::function<std::optional<FlashDataMap>()> shownImage)
    : QObject(page), m_box(profiles), m_page(page), m_itemPrefix(itemPrefix), m_shownImage(std::move(shownImage))
{
}

void ProfileAndFileActions::ShowProfiles(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    MyConmboBox *box = m_box;
    box->clear();
    {
        const QSignalBlocker quiet(box);
        const int items = ToTalItem > 0 ? ToTalItem : (ToTalItem == 0 ? 1 : 0);
        for (int item = 0; item < items; ++item)
            box->addItem(m_itemPrefix + QString::number(item + 1));
    }
    box->setEnabled(ItemEnable);
    // Setting the index emits no activated(): nothing goes to the mouse.
    if (ToTalItem > 0)
        box->setCurrentIndex(SelectIndex);
}

void ProfileAndFileActions::RebuildProfileItems()
{
    const int count = m_box->count();
    const int current = m_box->currentIndex();
    const QSignalBlocker quiet(m_box);
    m_box->clear();
    for (int item = 0; item < count; ++item)
        m_box->addItem(m_itemPrefix + QString::number(item + 1));
    m_box->setCurrentIndex(current);
}

void ProfileAndFileActions::ChooseProfile(int index)
{
    // A switch the mouse refuses (absent, or a handle that died with a quick
    // replug) leaves the box at the profile the mouse still has.
    MyConmboBox *box = m_box;
    SwitchProfile(index, [box] { box->setCurrentIndex(box->PressIndex); });
}

// ---- reset ------------------------------------------------------------------------

void ProfileAndFileActions::ResetMouse()
{
    if (!MousePresent()) {
        PostMsg::GetInstance()->EmitMouseOffLineo(kOfflineNotice);
        return;
    }
    ContainReset question;
    PlaceOnOpener(&question, m_page, kPopupOffsetX, kPopupOffsetY);
    question.exec();
    if (!question.accepted())
        return;

    g_ApplyingSettings = 1;
    g_OnlineTimer->stop();
    WriteFlashDataMap();
    UsbServer_SetClearSetting();
    // The mouse announces the finished reset and is read whole again; the
    // popup closes once both pages have shown that image.
    UpDataParam popup;
    popup.StartWaitTimer();
    popup.ResetWaitMode = true;
    g_Worker->StartPass();
    PlaceOnOpener(&popup, m_page, kPopupOffsetX, kPopupOffsetY);
    popup.exec();
    g_ApplyingSettings = 0;
    g_OnlineTimer->start(Waits::Scaled(kOnlinePollMs));
}

// ---- export and import ------------------------------------------------------------

bool ProfileAndFileActions::ExportSettings(const QString &path, const FlashDataMap &DataMap)
{
    return WholeFile::Write(path, SettingsFile::Content(CurrentSensorName(), DataMap));
}

void ProfileAndFileActions::Export()
{
    // The settings the rows show go to the file, whichever mouse or cache
    // they came from. Without any the button is disabled.
    const std::optional<FlashDataMap> image = m_shownImage();
    if (!image)
        return;
    // A name given without a suffix takes the filter's, so that the import
    // lists the file; the dialog adds it before it asks about overwriting.
    QFileDialog dialog(m_page, QStringLiteral("FileSave"), QDir::homePath(), kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(kFileSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!ExportSettings(dialog.selectedFiles().constFirst(), *image)) {
        InportFail notice;
        notice.ShowWriteFailText();
        PlaceOnOpener(&notice, m_page, kPopupOffsetX, kPopupOffsetY);
        notice.exec();
    }
}

void ProfileAndFileActions::Import()
{
    if (!MousePresent()) {
        PostMsg::GetInstance()->EmitMouseOffLineo(kOfflineNotice);
        return;
    }
    g_ApplyingSettings = 1;
    const QString path =
        QFileDialog::getOpenFileName(m_page, QStringLiteral("SelectFile"), QDir::homePath(), kFileFilter);
    if (!path.isEmpty()) {
        // The popup takes its import text when it is built.
        g_ImportPopupText = 1;
        {
            UpDataParam popup;
            popup.StartWaitTimer();
            popup.ImportMode = true;
            popup.ImportPath = path;
            PlaceOnOpener(&popup, m_page, kPopupOffsetX, kPopupOffsetY);
            popup.exec();
        }
        g_ImportPopupText = 0;
    }
    g_ApplyingSettings = 0;
}
