// The page's texts from the language file: the widget texts, the caption
// prefixes of macro rows and profile items, and the debounce units; then the
// captions and profile items are drawn again with them.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "devicecache.h"
#include "globals.h"
#include "languagereader.h"

#include <QFont>

namespace {

// Widgets whose text is the tag of the same name.
const char *const kWidgetTags[] = {
    "Reset",         "FireKey",       "RightKey",      "BackKey",       "StartPause",    "TopMusic",
    "BackMusic",     "LeftKey_3",     "RightKey_3",    "MidKey",        "BackKey_2",     "ForWardKey",
    "DPI_2",         "DPI_3",         "DPI_6",         "DPI_8",         "DPI_5",         "DPI_13",
    "DPI_11",        "DPI_10",        "DPI_9",         "DPI_7",         "DPI_12",        "DPI_4",
    "Player",        "StartPause_2",  "BackMusic_2",   "TopMusic_2",    "Mute",          "VolumeUp",
    "VolumeDown",    "VolumeDown_4",  "VolumeDown_5",  "VolumeDown_6",  "VolumeDown_3",  "VolumeDown_8",
    "VolumeDown_9",  "VolumeDown_7",  "VolumeDown_10", "VolumeDown_12", "VolumeDown_13", "VolumeDown_11",
    "VolumeUp_4",    "VolumeUp_5",    "VolumeUp_6",    "VolumeUp_7",    "VolumeUp_2",    "VolumeDown_2",
    "VolumeUp_8",    "VolumeUp_14",   "VolumeDown_14",
};

// The debounce list has items 0 to 20; tag Sk carries the unit of item k - 1,
// and the last tag also that of item 20.
constexpr int kDebounceUnitTags = 20;
// Japanese texts of the import and export buttons are also their tool tips.
constexpr int kToolTipLanguage = 5;
// Russian texts need the smaller font in the function list.
constexpr int kSmallFontLanguage = 4;
constexpr int kSmallFontPoints = 8;
constexpr int kFontPoints = 9;
const QString kFunctionListFont = QStringLiteral("微软雅黑");

}  // namespace

void Buttoninterface::SlotChangeLanguage(int index)
{
    LoadLanguage(false, index);
}

QList<QToolButton *> Buttoninterface::FunctionListButtons() const
{
    return {ui->LeftKey_3, ui->RightKey_3, ui->MidKey, ui->BackKey_2, ui->ForWardKey, ui->DPI_2,
            ui->DPI_3,     ui->DPI_6,      ui->DPI_8,  ui->DPI_5,     ui->DPI_13,     ui->DPI_11,
            ui->DPI_4,     ui->DPI_9,      ui->DPI_7,  ui->DPI_12,    ui->DPI_10};
}

void Buttoninterface::LoadLanguage(bool FirstLoad, int index)
{
    // The font holds also when no file can be read.
    const QFont font(kFunctionListFont, index == kSmallFontLanguage ? kSmallFontPoints : kFontPoints);
    for (QToolButton *button : FunctionListButtons())
        button->setFont(font);

    const LanguageReader::Outcome outcome = LanguageReader(QStringLiteral("Buttoninterface"), PageTextTargets()).Load(index);
    if (outcome == LanguageReader::Outcome::NoFile || outcome == LanguageReader::Outcome::NotLabelsFile)
        return;

    // The texts are drawn again only for a model whose settings were cached.
    FlashDataMap cached{};
    if (!LoadDeviceCache(g_LoadCacheName.Get(), &cached))
        return;
    // The captions come from the image the rows show; before any fill and
    // after a reset there is none, and the rows keep their captions.
    if (!FirstLoad) {
        if (const std::optional<FlashDataMap> image = ShownImage())
            ShowButtons(*image);
    }
    RebuildProfileItems();
}

TagMap Buttoninterface::PageTextTargets()
{
    TagMap tags;
    for (const char *tag : kWidgetTags)
        tags.insert(QLatin1String(tag), PropertyTarget(findChild<QWidget *>(QLatin1String(tag))));

    const bool withToolTip = CurrentLanguageIndex() == kToolTipLanguage;
    for (QToolButton *button : {ui->ImportData, ui->OutputData}) {
        tags.insert(button->objectName(), [button, withToolTip](const QString &text) {
            button->setText(text);
            button->setToolTip(withToolTip ? text : QString());
        });
    }
    tags.insert(QStringLiteral("checkBox"), PropertyTarget(ui->label_3));
    tags.insert(QStringLiteral("Macro_"), StoreTarget(&MacroPrefix));
    tags.insert(QStringLiteral("Config"), StoreTarget(&ConfigPrefix));

    for (int item = 0; item < kDebounceUnitTags; ++item) {
        const bool last = item == kDebounceUnitTags - 1;
        tags.insert(QStringLiteral("S%1").arg(item + 1), [this, item, last](const QString &unit) {
            ui->DebunceButton->SetItemUnit(item, unit);
            if (last)
                ui->DebunceButton->SetItemUnit(item + 1, unit);
        });
    }
    return tags;
}
