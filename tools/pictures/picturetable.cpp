#include "picturetable.h"

#include "pagescene.h"

#include "painters.h"

#include <QPainter>

using namespace Painters;

QString PictureEntry::RelativePath() const
{
    return QStringLiteral("Picture/%1/%2.png").arg(folder, name);
}

namespace {

// The table is written folder by folder; Add keeps the rows short.
class TableBuilder
{
public:
    explicit TableBuilder(QVector<PictureEntry> &rows) : m_rows(rows) {}

    TableBuilder &Folder(const QString &folder)
    {
        m_folder = folder;
        return *this;
    }

    TableBuilder &Add(const QString &name, int w, int h, const QString &usedBy, Paint paint,
                      const QString &variantOf = QString())
    {
        m_rows.append({m_folder, name, QSize(w, h), usedBy, variantOf, std::move(paint)});
        return *this;
    }

    // The four pictures of the combo theme, sized for the form's box.
    TableBuilder &ComboSet(int w, int h, const QString &usedBy)
    {
        Add(QStringLiteral("ComboboxBack"), w, h, usedBy + QStringLiteral(" (box face)"), ComboBack());
        Add(QStringLiteral("Menu"), 12, 8, usedBy + QStringLiteral(" (drop-down arrow)"), ComboArrow(false));
        Add(QStringLiteral("MenuClicked"), 12, 8, usedBy + QStringLiteral(" (arrow while open)"),
            ComboArrow(true), QStringLiteral("Menu"));
        Add(QStringLiteral("ComboboxTextBack"), w, 125, usedBy + QStringLiteral(" (popup list)"), ComboList());
        return *this;
    }

    // Close/Minimise with their hover and pressed states.
    TableBuilder &WindowButtons(int size, const QString &closeStem, const QString &closeUse,
                                const QString &minUse)
    {
        Add(closeStem, size, size, closeUse, WindowButton(WindowGlyph::Close, State::Normal));
        Add(closeStem + QStringLiteral("Hover"), size, size, closeUse,
            WindowButton(WindowGlyph::Close, State::Hover), closeStem);
        Add(closeStem + QStringLiteral("Click"), size, size, closeUse,
            WindowButton(WindowGlyph::Close, State::Pressed), closeStem);
        if (!minUse.isEmpty()) {
            Add(QStringLiteral("Min"), size, size, minUse, WindowButton(WindowGlyph::Minimise, State::Normal));
            Add(QStringLiteral("MinHover"), size, size, minUse,
                WindowButton(WindowGlyph::Minimise, State::Hover), QStringLiteral("Min"));
            Add(QStringLiteral("MinClick"), size, size, minUse,
                WindowButton(WindowGlyph::Minimise, State::Pressed), QStringLiteral("Min"));
        }
        return *this;
    }

    TableBuilder &NavSet(const QString &stem, const QString &activeSuffix, NavIcon icon, const QString &usedBy)
    {
        Add(stem, 30, 30, usedBy, Navigation(icon, NavState::Normal));
        Add(stem + QStringLiteral("Hover"), 30, 30, usedBy, Navigation(icon, NavState::Hover), stem);
        Add(stem + activeSuffix, 30, 30, usedBy + QStringLiteral(" (current page)"),
            Navigation(icon, NavState::Active), stem);
        return *this;
    }

private:
    QVector<PictureEntry> &m_rows;
    QString m_folder;
};

void DialogFolder(TableBuilder &t)
{
    const QString nav = QStringLiteral("Dialog: navigation button");
    t.Folder(QStringLiteral("Dialog"))
        .Add(QStringLiteral("Logo"), 64, 64, QStringLiteral("DialogMain: tray icon"), Logo())
        .Add(QStringLiteral("Brand"), PageScene::kBrandSize.width(), PageScene::kBrandSize.height(),
             QStringLiteral("Dialog: frame_2; DialogChange: frameChange (page backgrounds, brand)"), BrandMark())
        .Add(QStringLiteral("Grain"), PageScene::kGrainTile, PageScene::kGrainTile,
             QStringLiteral("Dialog: frame_2; DialogChange: frameChange (page backgrounds, grain tile)"), GrainTile())
        .Add(QStringLiteral("Battery"), 43, 20, QStringLiteral("Dialog: BatteryButtonC, battery outline"), Battery())
        .Add(QStringLiteral("Charg"), 17, 7, QStringLiteral("Dialog: label, charging symbol"), ChargeBolt())
        .NavSet(QStringLiteral("Home"), QStringLiteral("Checked"), NavIcon::Buttons, nav + QStringLiteral(" ButtonMain"))
        .NavSet(QStringLiteral("Sensor"), QStringLiteral("Checked"), NavIcon::Sensor,
                nav + QStringLiteral(" SensorButton"))
        .NavSet(QStringLiteral("Macro"), QStringLiteral("Checked"), NavIcon::Macro, nav + QStringLiteral(" MacroButton"))
        .NavSet(QStringLiteral("Light"), QStringLiteral("Checked"), NavIcon::Light,
                nav + QStringLiteral(" LightsButton (hidden)"))
        .NavSet(QStringLiteral("Setting"), QStringLiteral("Click"), NavIcon::Settings,
                nav + QStringLiteral(" FormSetting; SetButton (hidden)"))
        .WindowButtons(20, QStringLiteral("Close"), QStringLiteral("Dialog: CloseButton"),
                       QStringLiteral("Dialog: MinButton"))
        .Add(QStringLiteral("PageChange"), 34, 30, QStringLiteral("Dialog: UpArrow, back to the device list"),
             BackArrow(NavState::Normal))
        .Add(QStringLiteral("PageChangeHover"), 34, 30, QStringLiteral("Dialog: UpArrow"), BackArrow(NavState::Hover),
             QStringLiteral("PageChange"))
        .Add(QStringLiteral("PageChangeClick"), 34, 30, QStringLiteral("Dialog: UpArrow"), BackArrow(NavState::Active),
             QStringLiteral("PageChange"));
}

void DialogChangeFolder(TableBuilder &t)
{
    const QString tile = QStringLiteral("DialogChange: device tile btn<n>");
    t.Folder(QStringLiteral("DialogChange"))
        .WindowButtons(20, QStringLiteral("Close"), QStringLiteral("DialogChange: CloseButton"),
                       QStringLiteral("DialogChange: MinButton"))
        .Add(QStringLiteral("Repair"), 36, 33, QStringLiteral("DialogChange: Repair"), RepairWrench())
        .Add(QStringLiteral("Right"), 46, 46, QStringLiteral("DialogChange: RightButton"), PageArrow(true, false))
        .Add(QStringLiteral("RightClick"), 46, 46, QStringLiteral("DialogChange: RightButton (hover)"),
             PageArrow(true, true), QStringLiteral("Right"))
        .Add(QStringLiteral("Left"), 46, 46, QStringLiteral("DialogChange: LeftButton"), PageArrow(false, false))
        .Add(QStringLiteral("LeftClick"), 46, 46, QStringLiteral("DialogChange: LeftButton (hover)"),
             PageArrow(false, true), QStringLiteral("Left"))
        .ComboSet(142, 26, QStringLiteral("DialogChange: comboBox (language)"))
        .Add(QStringLiteral("Unknow"), 284, 360, tile + QStringLiteral(", unidentified device"),
             DeviceTile(TileLook::Unknown))
        .Add(QStringLiteral("DisOnlin0"), 284, 360, tile + QStringLiteral(", device offline"),
             DeviceTile(TileLook::Offline))
        .Add(QStringLiteral("OnLine0"), 284, 360, tile + QStringLiteral(", device online"), DeviceTile(TileLook::Online),
             QStringLiteral("DisOnlin0"))
        .Add(QStringLiteral("DisOnline"), 32, 32, QStringLiteral("DialogChange: tile offline icon label<n>"),
             Link(LinkIcon::Offline))
        .Add(QStringLiteral("OnLineUsb"), 32, 32, QStringLiteral("DialogChange: tile link icon UsbWifi<n>, cable"),
             Link(LinkIcon::Usb))
        .Add(QStringLiteral("OnLineWifi"), 32, 32,
             QStringLiteral("DialogChange: tile link icon UsbWifi<n>, receiver"), Link(LinkIcon::Wireless))
        .Add(QStringLiteral("1KHz"), 42, 26, QStringLiteral("DialogChange: tile rate badge, 1 kHz receiver"), RateBadge(1))
        .Add(QStringLiteral("2KHz"), 42, 26, QStringLiteral("DialogChange: tile rate badge, 2 kHz receiver"), RateBadge(2))
        .Add(QStringLiteral("4KHz"), 42, 26, QStringLiteral("DialogChange: tile rate badge, 4 kHz receiver"), RateBadge(4))
        .Add(QStringLiteral("8KHz"), 42, 26, QStringLiteral("DialogChange: tile rate badge, 8 kHz receiver"), RateBadge(8));
}

void WarningDialogFolder(TableBuilder &t)
{
    const QString notices = QStringLiteral("notice dialogs, UpDataParam, GroupKey, FireKey, QuestionDialog, "
                                           "AddDelayTime, addKey, UpDateRepair, DialogChange FindVer");
    t.Folder(QStringLiteral("WarningDialog"))
        .Add(QStringLiteral("BackGround"), 300, 140, notices + QStringLiteral(": background frame"), NoticeBackground())
        .WindowButtons(20, QStringLiteral("Close"), notices + QStringLiteral(": CloseButton"), QString())
        .Add(QStringLiteral("Confirm"), 90, 24, QStringLiteral("notice dialogs: OK, Cancel, NewHong"),
             FilledButton(State::Normal))
        .Add(QStringLiteral("ConfirmClick"), 90, 24, QStringLiteral("notice dialogs: text buttons pressed"),
             FilledButton(State::Pressed), QStringLiteral("Confirm"))
        .Add(QStringLiteral("CheckBoxCheck"), 16, 16, QStringLiteral("DialogChange NoApear, GroupKey Shift/Ctrl/Alt/Win"),
             CheckBox(true), QStringLiteral("CheckBox"))
        .Add(QStringLiteral("CheckBox"), 16, 16, QStringLiteral("DialogChange NoApear, GroupKey Shift/Ctrl/Alt/Win"),
             CheckBox(false))
        .Add(QStringLiteral("ok_nr"), 120, 24, QStringLiteral("UpDateRepair: NewHong, NewHong_2"),
             OutlineButton(State::Normal))
        .Add(QStringLiteral("ok_enter"), 120, 24, QStringLiteral("UpDateRepair: NewHong, NewHong_2 (hover)"),
             FilledButton(State::Hover), QStringLiteral("ok_nr"));
}

void SettingFolder(TableBuilder &t)
{
    t.Folder(QStringLiteral("Setting"))
        .Add(QStringLiteral("Pair"), 234, 32, QStringLiteral("Match: MatchButton"), FilledButton(State::Normal))
        .Add(QStringLiteral("Picture"), 14, 14, QStringLiteral("Match: toolButton_2 decoration"), Bullet())
        .WindowButtons(14, QStringLiteral("CloseSecondPage"), QStringLiteral("Match: CloseButton"), QString())
        .Add(QStringLiteral("BackSecondPage"), 458, 242, QStringLiteral("Match: MatchA, dialog background"),
             PairingBackground())
        .Add(QStringLiteral("PairSuccess"), 234, 32, QStringLiteral("Match: MatchButton after a pairing"),
             StatusButton(true), QStringLiteral("Pair"))
        .Add(QStringLiteral("PairFail"), 234, 32, QStringLiteral("Match: MatchButton after a failed pairing"),
             StatusButton(false), QStringLiteral("Pair"));
}

void SensorFolder(TableBuilder &t)
{
    const QString dpi = QStringLiteral("SensorDPI: ");
    t.Folder(QStringLiteral("Sensor"))
        .ComboSet(130, 30, QStringLiteral("Sensor ModelChoose/PerformanceOpen, SensorLOD LOD, SensorEffect Model, "
                                          "SensorDPI(B) ChooseEvent"))
        .Add(QStringLiteral("CheckBoxChecked"), 16, 16, QStringLiteral("Sensor: Performance"), CheckBox(true),
             QStringLiteral("CheckBox"))
        .Add(QStringLiteral("CheckBox"), 16, 16, QStringLiteral("Sensor: Performance"), CheckBox(false))
        .Add(QStringLiteral("Title"), 16, 10, QStringLiteral("Sensor: TitleButton .. TitleButton_4"), SectionMarker())
        .Add(QStringLiteral("Close"), 36, 18, QStringLiteral("RippeControl/StraightLine/MotionSync toggles (off)"),
             Toggle(false))
        .Add(QStringLiteral("Open"), 36, 18, QStringLiteral("RippeControl/StraightLine/MotionSync toggles (on)"),
             Toggle(true), QStringLiteral("Close"))
        .Add(QStringLiteral("Level"), 30, 30, dpi + QStringLiteral("label_8, current-level handle"), LevelHandle(false))
        .Add(QStringLiteral("LevelHover"), 30, 30, dpi + QStringLiteral("label_8 under the pointer"), LevelHandle(true),
             QStringLiteral("Level"))
        .Add(QStringLiteral("HuaKuai"), 5, 50, QStringLiteral("slider handles of SensorDPI, SensorEffect, panels B"),
             SliderHandle())
        .Add(QStringLiteral("Reduce"), 14, 4, dpi + QStringLiteral("ReduceLevelA; DebouncetimeC"), MinusBar())
        .Add(QStringLiteral("Add"), 14, 14, dpi + QStringLiteral("AddLevelA; DebouncetimeC"), PlusSign())
        .Add(QStringLiteral("MinA"), 54, 56, dpi + QStringLiteral("level value button"), ValueCard(false))
        .Add(QStringLiteral("MaxA"), 68, 70, dpi + QStringLiteral("selected level value button"), ValueCard(true),
             QStringLiteral("MinA"))
        .Add(QStringLiteral("MinB"), 50, 12, dpi + QStringLiteral("level colour marker"), MarkerGloss(false))
        .Add(QStringLiteral("MaxB"), 66, 14, dpi + QStringLiteral("selected level colour marker"), MarkerGloss(true),
             QStringLiteral("MinB"))
        .Add(QStringLiteral("ReportRate"), 74, 26, QStringLiteral("SensorRate: rate buttons"), RateButton(false))
        .Add(QStringLiteral("ReportRateClick"), 74, 26, QStringLiteral("SensorRate: checked rate button"),
             RateButton(true), QStringLiteral("ReportRate"))
        .Add(QStringLiteral("LOD"), 16, 16, QStringLiteral("panels B: SensorLODB, SensorEffectB, SensorRateB boxes"),
             RadioBox(false))
        .Add(QStringLiteral("LODCheck"), 16, 16, QStringLiteral("panels B: checked boxes"), RadioBox(true),
             QStringLiteral("LOD"));
}

void ButtoninterfaceFolder(TableBuilder &t)
{
    const QString page = QStringLiteral("Buttoninterface: ");
    t.Folder(QStringLiteral("Buttoninterface"))
        .Add(QStringLiteral("mouse0"), 432, 356, page + QStringLiteral("widget, the mouse picture"), MouseWithBadges())
        .Add(QStringLiteral("CMenuTitle"), 174, 22, page + QStringLiteral("detail list buttons, macro buttons"),
             MenuRow(false, false))
        .Add(QStringLiteral("CMenuTitleChecked"), 174, 22, page + QStringLiteral("checked detail button"),
             MenuRow(true, false), QStringLiteral("CMenuTitle"))
        .Add(QStringLiteral("AMenuTitle"), 262, 26, page + QStringLiteral("assignment rows"), MenuRow(false, false))
        .Add(QStringLiteral("AMenuTitleChecked"), 262, 26, page + QStringLiteral("selected assignment row"),
             MenuRow(true, false), QStringLiteral("AMenuTitle"))
        .Add(QStringLiteral("LabelNumber"), 24, 24, page + QStringLiteral("row number labels"), NumberLabel())
        .ComboSet(128, 24, page + QStringLiteral("ProjectChoose; DebounceTime Debunce"))
        .Add(QStringLiteral("Reset"), 110, 26, page + QStringLiteral("Reset, ImportData, OutputData"),
             OutlineButton(State::Normal))
        .Add(QStringLiteral("ResetHover"), 110, 26, page + QStringLiteral("Reset, ImportData, OutputData (hover)"),
             OutlineButton(State::Hover), QStringLiteral("Reset"))
        .Add(QStringLiteral("ResetClick"), 110, 26, page + QStringLiteral("Reset, ImportData, OutputData (pressed)"),
             OutlineButton(State::Pressed), QStringLiteral("Reset"))
        .Add(QStringLiteral("NumberOrigin"), 38, 38, page + QStringLiteral("Number1 .. Number6 badges"),
             NumberBadge(State::Normal))
        .Add(QStringLiteral("NumberHover"), 38, 38, page + QStringLiteral("badges (hover)"), NumberBadge(State::Hover),
             QStringLiteral("NumberOrigin"))
        .Add(QStringLiteral("NumberClick"), 38, 38, page + QStringLiteral("badges (pressed)"),
             NumberBadge(State::Pressed), QStringLiteral("NumberOrigin"))
        .Add(QStringLiteral("BMenuTitle"), 164, 22, page + QStringLiteral("function list buttons"), MenuRow(false, false))
        .Add(QStringLiteral("BMenuTitleChecked"), 164, 22, page + QStringLiteral("checked function button"),
             MenuRow(true, false), QStringLiteral("BMenuTitle"))
        .Add(QStringLiteral("BMenuTitleB"), 164, 22, page + QStringLiteral("function buttons that open a detail list"),
             MenuRow(false, true))
        .Add(QStringLiteral("BMenuTitleCheckedB"), 164, 22, page + QStringLiteral("checked opener button"),
             MenuRow(true, true), QStringLiteral("BMenuTitleB"))
        .Add(QStringLiteral("Config"), 20, 14, page + QStringLiteral("label, the profile icon"), ProfileIcon())
        .Add(QStringLiteral("TiltleBack"), 862, 216, page + QStringLiteral("groupBox behind the rows and lists"),
             GroupBackground());
}

void MacroFolder(TableBuilder &t)
{
    const QString page = QStringLiteral("Macro: ");
    t.Folder(QStringLiteral("Macro"))
        .Add(QStringLiteral("MacroDown"), 16, 16, page + QStringLiteral("event list icon, key press"),
             MacroEvent(MacroIcon::Press))
        .Add(QStringLiteral("MacroUp"), 16, 16, page + QStringLiteral("event list icon, key release"),
             MacroEvent(MacroIcon::Release))
        .Add(QStringLiteral("MacroTime"), 16, 16, page + QStringLiteral("event list icon, delay"),
             MacroEvent(MacroIcon::Delay))
        .Add(QStringLiteral("Up"), 15, 15, page + QStringLiteral("list scroll bar up arrow"), ScrollArrow(true))
        .Add(QStringLiteral("Down"), 15, 15, page + QStringLiteral("list scroll bar down arrow"), ScrollArrow(false))
        .ComboSet(181, 30, page + QStringLiteral("ChooseEvent"))
        .Add(QStringLiteral("CheckBoxCheck"), 16, 16, page + QStringLiteral("delay and loop check boxes"), CheckBox(true),
             QStringLiteral("CheckBox"))
        .Add(QStringLiteral("CheckBox"), 16, 16, page + QStringLiteral("delay and loop check boxes"), CheckBox(false))
        .Add(QStringLiteral("Button"), 116, 30, page + QStringLiteral("NewHong, DeleteHong, Amend, DeleteKey, Save"),
             OutlineButton(State::Normal))
        .Add(QStringLiteral("ButtonHover"), 116, 30, page + QStringLiteral("buttons (hover)"),
             OutlineButton(State::Hover), QStringLiteral("Button"))
        .Add(QStringLiteral("ButtonClick"), 116, 30, page + QStringLiteral("buttons (pressed)"),
             OutlineButton(State::Pressed), QStringLiteral("Button"))
        .Add(QStringLiteral("Record"), 190, 32, page + QStringLiteral("StartRecord"), RecordButton(false, false))
        .Add(QStringLiteral("RecordHover"), 190, 32, page + QStringLiteral("StartRecord (hover)"),
             RecordButton(false, true), QStringLiteral("Record"))
        .Add(QStringLiteral("Stop"), 190, 32, page + QStringLiteral("StopRecord"), RecordButton(true, false))
        .Add(QStringLiteral("StopHover"), 190, 32, page + QStringLiteral("StopRecord (hover)"), RecordButton(true, true),
             QStringLiteral("Stop"));
}

// The 14 preset colours of the lighting page, A to N.
const QColor kPresetColours[14] = {
    {255, 0, 0},   {0, 255, 255},  {0, 255, 0},   {255, 0, 255},   {255, 255, 0},   {255, 80, 0},
    {0, 0, 255},   {227, 0, 127},  {46, 166, 223}, {96, 25, 133},  {255, 255, 255}, {139, 178, 36},
    {255, 155, 51}, {208, 113, 173}};

void LightFolder(TableBuilder &t)
{
    const QString page = QStringLiteral("LampLight: ");
    t.Folder(QStringLiteral("Light"))
        .ComboSet(308, 34, page + QStringLiteral("LightMod; StopCloseTime StopClose"))
        .Add(QStringLiteral("HuaKuai"), 5, 50, page + QStringLiteral("slider handles"), SliderHandle())
        .Add(QStringLiteral("Close"), 36, 18, page + QStringLiteral("RippeControl toggle (off)"), Toggle(false))
        .Add(QStringLiteral("Open"), 36, 18, page + QStringLiteral("RippeControl toggle (on)"), Toggle(true),
             QStringLiteral("Close"))
        .Add(QStringLiteral("ColorBoard"), 308, 34, page + QStringLiteral("label_7, the colour board"), ColourBoard())
        .Add(QStringLiteral("Reduce"), 14, 4, page + QStringLiteral("ReduceR, ReduceG, ReduceB"), MinusBar())
        .Add(QStringLiteral("Add"), 14, 14, page + QStringLiteral("AddR, AddG, AddB"), PlusSign())
        .Add(QStringLiteral("PreviewColor"), 60, 60, page + QStringLiteral("labelPreView before a colour"),
             PreviewPlaceholder());
    for (int i = 0; i < 14; ++i) {
        const QString letter(QChar('A' + i));
        t.Add(QStringLiteral("Color") + letter, 28, 28, page + QStringLiteral("toolButtonColor") + letter,
              Swatch(kPresetColours[i]));
    }
}

void FormSettingFolder(TableBuilder &t)
{
    const QString page = QStringLiteral("FormSetting: ");
    t.Folder(QStringLiteral("FormSetting"))
        .Add(QStringLiteral("PariButton"), 132, 26, page + QStringLiteral("pushButton_2, pairing"),
             OutlineButton(State::Normal))
        .Add(QStringLiteral("Title"), 16, 10, page + QStringLiteral("TitleButton_2 .. TitleButton_7"), SectionMarker())
        .Add(QStringLiteral("Mouse"), 14, 20, page + QStringLiteral("toolButton beside the mouse settings link"),
             SmallMouse())
        .ComboSet(142, 30, page + QStringLiteral("comboBox (language)"))
        .Add(QStringLiteral("CheckBox"), 16, 16, page + QStringLiteral("checkBox, checkBox_2"), CheckBox(false))
        .Add(QStringLiteral("CheckBoxChecked"), 16, 16, page + QStringLiteral("checkBox, checkBox_2 (checked)"),
             CheckBox(true), QStringLiteral("CheckBox"))
        .Add(QStringLiteral("CheckBoxCheck"), 16, 16, page + QStringLiteral("ReUntil .. ReUntil_3 (checked)"),
             RadioBox(true), QStringLiteral("CheckBox2"))
        .Add(QStringLiteral("CheckBox2"), 16, 16, page + QStringLiteral("ReUntil .. ReUntil_3, LED modes"),
             RadioBox(false))
        .Add(QStringLiteral("Picture"), 14, 14, page + QStringLiteral("toolButton_2, toolButton_3 update markers"),
             AlertMarker())
        .Add(QStringLiteral("Confirm"), 128, 26, page + QStringLiteral("Receive_2, plain look"),
             OutlineButton(State::Normal))
        .Add(QStringLiteral("WaitUpdate"), 128, 26, page + QStringLiteral("Receive_2, update available"),
             UpdateButton(false))
        .Add(QStringLiteral("WaitUpdateHover"), 128, 26, page + QStringLiteral("Receive_2, update available (hover)"),
             UpdateButton(true), QStringLiteral("WaitUpdate"));
}

QVector<PictureEntry> BuildTable()
{
    QVector<PictureEntry> rows;
    TableBuilder t(rows);
    DialogFolder(t);
    DialogChangeFolder(t);
    WarningDialogFolder(t);
    SettingFolder(t);
    SensorFolder(t);
    ButtoninterfaceFolder(t);
    MacroFolder(t);
    LightFolder(t);
    FormSettingFolder(t);
    return rows;
}

}  // namespace

const QVector<PictureEntry> &PictureTable()
{
    static const QVector<PictureEntry> table = BuildTable();
    return table;
}

const PictureEntry &CompiledTitleEntry()
{
    static const PictureEntry entry{QStringLiteral("resources"), QStringLiteral("Title"), QSize(16, 10),
                                  QStringLiteral("FormSetting: TitleButton_8 (compiled-in resource)"), QString(),
                                  SectionMarker()};
    return entry;
}

QImage RenderPicture(const PictureEntry &entry)
{
    QImage image(entry.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    entry.paint(painter, QRectF(QPointF(0, 0), QSizeF(entry.size)));
    painter.end();
    return image;
}
