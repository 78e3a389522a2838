#include "devicetiles.h"

#include "ui_dialogchange.h"

#include "configini.h"
#include "deviceallinfo.h"
#include "dialogchange.h"
#include "discovery.h"
#include "globals.h"
#include "mytoolbuttonenter.h"
#include "noticedialog.h"
#include "notices.h"
#include "usbcallbacks.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <array>

DialogChange *g_DialogChange = nullptr;
QString g_DialogChangePictureDir;
int g_DeviceTotal = 0;
QList<mytoolButtonEnter *> g_DeviceTiles;
QList<QLabel *> g_OfflineIcons;
QList<QLabel *> g_LinkIcons;
QList<QLabel *> g_RateBadges;
bool g_DuplicateDevice = false;

namespace {

const QSize kTileSize(284, 360);
const QSize kIconSize(32, 32);
const QSize kBadgeSize(42, 26);

// Where a tile, its two icons (one place, at most one visible) and its badge
// sit on a tile page.
struct TilePlace {
    QPoint tile;
    QPoint icon;
    QPoint badge;
};

const TilePlace kFullPage[kTilesPerPage] = {
    {{0, 0}, {225, 20}, {7, 10}},
    {{300, 0}, {525, 20}, {307, 10}},
    {{600, 0}, {825, 20}, {607, 10}},
};
const TilePlace kLastPageOfOne[1] = {
    {{305, 0}, {530, 20}, {312, 10}},
};
const TilePlace kLastPageOfTwo[2] = {
    {{135, 0}, {360, 20}, {142, 10}},
    {{445, 0}, {665, 20}, {452, 10}},
};

const TilePlace &PlaceOf(int slot, int slotsOnPage)
{
    if (slotsOnPage == 1)
        return kLastPageOfOne[0];
    if (slotsOnPage == 2)
        return kLastPageOfTwo[slot];
    return kFullPage[slot];
}

QString TileStyle(const QString &picture)
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
        + g_DialogChangePictureDir + picture + QStringLiteral(");color: rgb(255, 255, 255);}");
}

QString IconStyle(const QString &picture)
{
    return QStringLiteral("QLabel{border:0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
        + g_DialogChangePictureDir + picture + QStringLiteral(");color: rgb(255, 255, 255);}");
}

QString BadgeStyle(const QString &picture)
{
    return QStringLiteral("QLabel{background-image: url(") + g_DialogChangePictureDir + picture
        + QStringLiteral(");}");
}

bool IsUnidentified(const DeviceAllInfo &device)
{
    return device.DriveIndex == g_DeviceTotal;
}

// Entries of one kind and model group. Groups outside the table (a DriveIndex
// of 15 or more) are neither counted nor read: they count as 0.
class KindCounts
{
public:
    void Add(int kind, int group)
    {
        if (Holds(kind, group))
            ++counts[kind][group];
    }
    quint32 At(int kind, int group) const { return Holds(kind, group) ? counts[kind][group] : 0; }
    bool HasDuplicate(int kind) const
    {
        for (int group = 0; group < kTileGroups; ++group) {
            if (At(kind, group) > 1)
                return true;
        }
        return false;
    }

private:
    static bool Holds(int kind, int group)
    {
        return kind >= 0 && kind < kTileKinds && group >= 0 && group < kTileGroups;
    }
    std::array<std::array<quint32, kTileGroups>, kTileKinds> counts{};
};

// A pairing address the device reported; three zero bytes (or none at all)
// mean it could not tell.
bool KnownAddress(const QList<char> &address)
{
    return address.size() >= 3 && address.mid(0, 3).count(char(0)) < 3;
}

// The pairing address of the one cabled entry of `group`.
QList<char> CabledAddress(int group)
{
    for (const DeviceAllInfo &device : qAsConst(g_PageDevices)) {
        if (device.DriveIndex == group && device.Wired)
            return device.Address;
    }
    return {};
}

// Whether a receiver entry shows the mouse that is on its cable: it is paired
// with the same address. When either side cannot tell, it counts as that
// mouse, as folding by model alone did.
bool PairedWithCabledMouse(const DeviceAllInfo &receiver, const QList<char> &cabled)
{
    if (!KnownAddress(receiver.Address) || !KnownAddress(cabled))
        return true;
    return receiver.Address.mid(0, 3) == cabled.mid(0, 3);
}

// The receiver entries of a mouse that is also plugged in by cable go from the
// shown list only; g_PageDevicesCopy keeps them. A receiver of the same model
// paired with another mouse keeps its tile.
void RemoveReceiverEntries(int group)
{
    const QList<char> cabled = CabledAddress(group);
    for (int i = g_PageDevices.size() - 1; i >= 0; --i) {
        const DeviceAllInfo &device = g_PageDevices.at(i);
        if (device.DriveIndex == group && !device.Wired && PairedWithCabledMouse(device, cabled))
            g_PageDevices.removeAt(i);
    }
}

// One counter serves as kind (duplicate test) and as group (folding), bounded
// by DeviceTotal: a one-model configuration tests only the cable kind, so two
// receivers of that model still reach the choosing step. Past the groups the
// table counts nothing can happen, so a huge DeviceTotal stops there.
bool FindDuplicatesAndFold(const KindCounts &counts, int deviceTotal)
{
    bool duplicate = false;
    const int last = std::min(deviceTotal, kTileGroups);
    for (int k = 0; k < last; ++k) {
        if (k < kTileKinds && counts.HasDuplicate(k))
            duplicate = true;
        else if (!duplicate && counts.At(0, k) == 1)
            RemoveReceiverEntries(k);
    }
    return duplicate;
}

template <typename Widget>
void DeleteAllLater(QList<Widget *> &widgets)
{
    // deleteLater: the build may run inside a nested event loop started from
    // a tile's own click, and that tile is still the sender then.
    for (Widget *widget : qAsConst(widgets))
        widget->deleteLater();
    widgets.clear();
}

QLabel *NewIcon(QWidget *page, const QString &name, const QString &picture, const QPoint &pos)
{
    auto *icon = new QLabel(page);
    icon->setObjectName(name);
    icon->setStyleSheet(IconStyle(picture));
    icon->move(pos);
    icon->setFixedSize(kIconSize);
    icon->setFocusPolicy(Qt::NoFocus);
    icon->hide();
    return icon;
}

}  // namespace

int TileKind(const DeviceAllInfo &device)
{
    if (device.Wired)
        return 0;
    const QStringList *lists[] = {&g_WirelessPidList, &g_Wireless2PidList, &g_Wireless4PidList, &g_Wireless8PidList};
    for (int i = 0; i < 4; ++i) {
        if (lists[i]->contains(device.Pid))
            return i + 1;
    }
    return -1;
}

QString RateBadgePicture(const QString &pid)
{
    if (g_Wireless2PidList.contains(pid))
        return QStringLiteral("2KHz.png");
    if (g_Wireless4PidList.contains(pid))
        return QStringLiteral("4KHz.png");
    if (g_WirelessPidList.contains(pid))
        return QStringLiteral("1KHz.png");
    if (g_Wireless8PidList.contains(pid))
        return QStringLiteral("8KHz.png");
    return QString();
}

bool RefreshPageTile(int index)
{
    if (index < 0 || index >= g_DeviceTiles.size() || index >= g_LinkIcons.size()
        || index >= g_OfflineIcons.size())
        return false;
    if (!RefreshPageEntry(index))
        return false;
    const DeviceAllInfo &device = g_PageDevices.at(index);
    mytoolButtonEnter *tile = g_DeviceTiles.at(index);
    QLabel *link = g_LinkIcons.at(index);
    QLabel *offline = g_OfflineIcons.at(index);
    QString picture;
    if (IsUnidentified(device)) {
        link->show();
        picture = QStringLiteral("Unknow.png");
    } else if (device.Online) {
        link->show();
        offline->hide();
        picture = QStringLiteral("OnLine0.png");
    } else {
        picture = QStringLiteral("DisOnlin0.png");
        offline->show();
        link->hide();
    }
    // The same sheet set again would style the tile again, at every enter.
    const QString sheet = TileStyle(picture);
    if (tile->styleSheet() != sheet)
        tile->setStyleSheet(sheet);
    return true;
}

bool TileDevice(const QObject *tile, DeviceAllInfo *device)
{
    if (!tile || !device)
        return false;
    const int n = mytoolButtonEnter::TileIndexFromName(tile->objectName());
    if (n < 0 || n >= g_PageDevices.size())
        return false;
    *device = g_PageDevices.at(n);
    return true;
}

// --- the builder ---

void DialogChange::UpdateDeviceTiles()
{
    ClearTiles();
    if (g_PageDevices.isEmpty()) {
        ShowNoTiles();
        return;
    }
    const int deviceTotal = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    KindCounts counts;
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        counts.Add(TileKind(g_PageDevices.at(i)), g_PageDevices.at(i).DriveIndex);
        RefreshPageDevice(i);
    }
    g_DuplicateDevice = FindDuplicatesAndFold(counts, deviceTotal);
    if (g_DuplicateDevice) {
        ShowNoTiles();
        ShowDuplicateNotice();
        return;
    }

    ui->label_2->hide();
    ui->label_3->show();
    const int total = g_PageDevices.size();
    const int fullPages = total / kTilesPerPage;
    const int rest = total % kTilesPerPage;
    QList<QWidget *> pages;
    for (int page = 0; page < fullPages; ++page)
        pages << BuildTilePage(page * kTilesPerPage, kTilesPerPage, false);
    if (rest > 0)
        pages << BuildTilePage(fullPages * kTilesPerPage, rest, true);
    ConnectTiles();
    // Shown (and so styled) only now, with each tile's refreshed picture: a
    // page shown before the refresh is styled twice.
    for (QWidget *page : qAsConst(pages))
        ui->stackedWidget->addWidget(page);
    if (rest > 0)
        ui->stackedWidget->setCurrentIndex(0);
    ui->RightButton->setVisible(total > kTilesPerPage);
    ui->LeftButton->hide();
}

void DialogChange::ClearTiles()
{
    DeleteAllLater(g_DeviceTiles);
    DeleteAllLater(g_OfflineIcons);
    DeleteAllLater(g_RateBadges);
    DeleteAllLater(g_LinkIcons);
    while (ui->stackedWidget->count() > 0) {
        QWidget *page = ui->stackedWidget->widget(0);
        ui->stackedWidget->removeWidget(page);
        page->deleteLater();
    }
}

void DialogChange::ShowNoTiles()
{
    ui->label_2->show();
    ui->label_3->hide();
    ui->LeftButton->hide();
    ui->RightButton->hide();
}

QWidget *DialogChange::BuildTilePage(int first, int count, bool lastPage)
{
    auto *page = new QWidget(ui->stackedWidget);
    const int slotsOnPage = lastPage ? count : kTilesPerPage;
    for (int slot = 0; slot < count; ++slot)
        BuildTile(page, first + slot, slot, slotsOnPage);
    return page;
}

void DialogChange::BuildTile(QWidget *page, int n, int slot, int slotsOnPage)
{
    const DeviceAllInfo &device = g_PageDevices.at(n);
    const TilePlace &place = PlaceOf(slot, slotsOnPage);

    auto *tile = new mytoolButtonEnter(page);
    tile->setObjectName(QStringLiteral("btn") + QString::number(n));
    tile->setStyleSheet(TileStyle(IsUnidentified(device) ? QStringLiteral("Unknow.png")
                                                         : QStringLiteral("DisOnlin0.png")));
    tile->move(place.tile);
    tile->setFixedSize(kTileSize);
    tile->setFocusPolicy(Qt::NoFocus);

    QLabel *offline = NewIcon(page, QStringLiteral("label") + QString::number(n), QStringLiteral("DisOnline.png"),
                              place.icon);
    offline->setToolTip(g_OfflineTips1Text + QLatin1Char('\n') + g_OfflineTips2Text);
    QLabel *link = NewIcon(page, QStringLiteral("UsbWifi") + QString::number(n),
                           device.Wired ? QStringLiteral("OnLineUsb.png") : QStringLiteral("OnLineWifi.png"),
                           place.icon);

    const QString badgePicture = RateBadgePicture(device.Pid);
    if (!badgePicture.isEmpty()) {
        auto *badge = new QLabel(page);
        badge->setStyleSheet(BadgeStyle(badgePicture));
        badge->move(place.badge);
        badge->setFixedSize(kBadgeSize);
        badge->setFocusPolicy(Qt::NoFocus);
        g_RateBadges.append(badge);
    }

    g_DeviceTiles.append(tile);
    g_OfflineIcons.append(offline);
    g_LinkIcons.append(link);
}

void DialogChange::ShowDuplicateNotice()
{
    QuestiondialogB notice;
    PlaceOnOpener(&notice, this);
    notice.exec();
}

void DialogChange::ConnectTiles()
{
    for (mytoolButtonEnter *tile : qAsConst(g_DeviceTiles)) {
        RefreshPageTile(mytoolButtonEnter::TileIndexFromName(tile->objectName()));
        connect(tile, &QToolButton::clicked, this, &DialogChange::slotButtonClicked);
        connect(tile, &mytoolButtonEnter::tileEntered, this, [](int index) { RefreshPageTile(index); });
    }
}
