#include "buttoninterface.h"

#include "globals.h"
#include "postmsg.h"
#include "worker.h"

namespace {
constexpr int kPageWidth = 883;
constexpr int kPageHeight = 630;
// The sleep time a reset to defaults shows.
constexpr int kDefaultSleepSeconds = 60;
// The image stores the sleep time in units of 10 seconds.
constexpr int kSleepUnitSeconds = 10;
}  // namespace

Buttoninterface::Buttoninterface(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Buttoninterface"));
    setMaximumSize(kPageWidth, kPageHeight);

    // The one worker of the program; its online poll starts at once.
    g_Worker = new Worker(this);

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigUpDataLightUIButton, this, &Buttoninterface::SlotUpDataButtonUIButton,
            Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataButtonUIC, this, &Buttoninterface::SlotUpDataButtonUIB);
    connect(hub, &PostMsg::SigFormReset, this, &Buttoninterface::SlotFormResetButton, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataConfigUI, this, &Buttoninterface::SlotUpDataConfigUI,
            Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigAddMacroButton, this, &Buttoninterface::SlotAddMacroButton);
    connect(hub, &PostMsg::SigDeleteMacroButton, this, &Buttoninterface::SlotDeleteMacroButton);
    connect(hub, &PostMsg::SigUpDataMacro, this, &Buttoninterface::SlotUpDataMacro);
    connect(hub, &PostMsg::SigMacroRename, this, &Buttoninterface::SlotMacroRename);
    connect(hub, &PostMsg::SigMouseIndex, this, &Buttoninterface::SlotMouseIndex);
    connect(hub, &PostMsg::SigChangeLanguage, this, &Buttoninterface::SlotChangeLanguage);
}

Buttoninterface::~Buttoninterface()
{
    // Stop(), deleteLater(), wait() and StopUsbChanged(), in that order.
    ShutdownWorker();
}

int Buttoninterface::SleepSeconds(const FlashDataMap &image)
{
    return image.StopCloseTime * kSleepUnitSeconds;
}

void Buttoninterface::SlotUpDataButtonUIButton(FlashDataMap DataMap)
{
    g_ButtonFilled = 0;
    g_ButtonRefreshing = 1;
    PostMsg::GetInstance()->EmitLightToFrom(SleepSeconds(DataMap));
    g_ButtonRefreshing = 0;
    g_ButtonFilled = 1;
}

void Buttoninterface::SlotUpDataButtonUIB(FlashDataMap DataMap)
{
    g_ButtonRefreshing = 1;
    PostMsg::GetInstance()->EmitLightToFrom(SleepSeconds(DataMap));
    g_ButtonRefreshing = 0;
}

void Buttoninterface::SlotFormResetButton()
{
    g_ButtonRefreshing = 1;
    PostMsg::GetInstance()->EmitLightToFrom(kDefaultSleepSeconds);
    PostMsg::GetInstance()->EmitMouseIndex(0);
    g_ButtonRefreshing = 0;
}

void Buttoninterface::SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    Q_UNUSED(ToTalItem);
    Q_UNUSED(SelectIndex);
    Q_UNUSED(ItemEnable);
}

void Buttoninterface::SlotAddMacroButton() {}

void Buttoninterface::SlotDeleteMacroButton(QString MacroName)
{
    Q_UNUSED(MacroName);
}

void Buttoninterface::SlotUpDataMacro(QString MacroName, int index)
{
    Q_UNUSED(MacroName);
    Q_UNUSED(index);
}

void Buttoninterface::SlotMacroRename(QString Rename, QString Name)
{
    Q_UNUSED(Rename);
    Q_UNUSED(Name);
}

void Buttoninterface::SlotMouseIndex(int index)
{
    Q_UNUSED(index);
}

void Buttoninterface::SlotChangeLanguage(int index)
{
    Q_UNUSED(index);
}
