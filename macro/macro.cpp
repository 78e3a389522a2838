#include "macro.h"

#include "globals.h"
#include "keynames.h"
#include "languagereader.h"
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
    SlotChangeLanguage(CurrentLanguageIndex());
}

Macro::~Macro() = default;

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
    if (!reader) {
        reader = std::make_unique<LanguageReader>(QStringLiteral("Macro"), TagMap{
            {QStringLiteral("ChooseEvent4"), StoreTarget(&g_MouseLeftName)},
            {QStringLiteral("ChooseEvent5"), StoreTarget(&g_MouseRightName)},
            {QStringLiteral("ChooseEvent6"), StoreTarget(&g_MouseMiddleName)},
            {QStringLiteral("ChooseEvent7"), StoreTarget(&g_MouseForwardName)},
            {QStringLiteral("ChooseEvent8"), StoreTarget(&g_MouseBackName)},
        });
    }
    reader->Load(index);
}
