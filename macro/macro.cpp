#include "macro.h"

#include "globals.h"
#include "postmsg.h"

namespace {
constexpr int kPageWidth = 883;
constexpr int kPageHeight = 630;
// SigStartRecord argument: the recording stopped, navigation is free again.
constexpr int kRecordingStopped = 1;
}  // namespace

Macro::Macro(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Macro"));
    setMaximumSize(kPageWidth, kPageHeight);

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigButtonToMacro, this, &Macro::SlotButtonToMacro);
    connect(hub, &PostMsg::SigMacroDownLoadData, this, &Macro::SlotMacroDownLoadData);
    connect(hub, &PostMsg::SigSetMacroPage, this, &Macro::SlotSetMacroPage);
    connect(hub, &PostMsg::SigChangeLanguage, this, &Macro::SlotChangeLanguage);
}

Macro::~Macro() = default;

void Macro::SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer)
{
    Q_UNUSED(DataMap);
    Q_UNUSED(KeyNumer);
}

void Macro::SlotMacroDownLoadData(QString MacroName, int index)
{
    Q_UNUSED(MacroName);
    Q_UNUSED(index);
}

void Macro::SlotSetMacroPage()
{
    g_MacroRecording = 0;
    PostMsg::GetInstance()->EmitStartRecord(kRecordingStopped);
}

void Macro::SlotChangeLanguage(int index)
{
    Q_UNUSED(index);
}
