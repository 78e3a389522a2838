#include "formsetting.h"

#include "ui_formsetting.h"

#include "contentpanel.h"
#include "firmwareimages.h"
#include "globals.h"
#include "languagereader.h"
#include "macroini.h"
#include "notices.h"
#include "paneltheme.h"
#include "postmsg.h"
#include "sleeptime.h"
#include "stopclosetime.h"
#include "updateengine.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "weblinkfile.h"
#include "wheelguard.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QMouseEvent>
#include <QScrollBar>

QString g_WiredModeText;

namespace {

// The repair dialog and the notice stand this far left of and above the
// page's centre.
constexpr int kDialogOffsetX = -75;
constexpr int kDialogOffsetY = -65;

constexpr int kContentWidth = 880;
// Content height and the two bottom lines' places, below BlockOffset.
constexpr int kCompactHeight = 630;
constexpr int kCompactWebLinkY = 540;
constexpr int kCompactCompanyLineY = 560;
constexpr int kExpandedHeight = 780;
constexpr int kExpandedWebLinkY = 710;
constexpr int kExpandedCompanyLineY = 730;
constexpr int kWebLinkX = 610;
constexpr int kCompanyLineX = 490;

// The scroll area stands this far inside the device page's content panel,
// so its scroll bar keeps clear of the panel's rounded corners.
constexpr int kPanelInsetY = 8;
constexpr int kPanelInsetRight = 4;

// The driver-version label sits this far below its first place while the
// content scrolls.
constexpr int kLabelScrollDrop = 10;

constexpr int kLanguageRows = 5;
constexpr int kJapanese = 5;
constexpr int kUpdateButtonPointSize = 10;
// Japanese texts of the update button are long; it takes them in a smaller font.
constexpr int kJapaneseUpdateButtonPointSize = 7;

const char kFontFamily[] = "微软雅黑";

// Where the version texts and the update button stand for a language: the
// captions before them differ in length.
struct VersionPlaces {
    int versionX;           // label_5 and label_7
    bool moveUpdateButton;  // false: Receive_2 stays where it is
    QPoint updateButton;
};

VersionPlaces VersionPlacesOf(int language)
{
    switch (language) {
    case 0:
        return {200, true, {280, 170}};
    case 1:
        return {150, true, {280, 170}};
    case 2:
        return {150, true, {330, 170}};
    case 3:
        return {170, true, {280, 170}};
    case 4:
        return {280, true, {330, 170}};
    case kJapanese:
        return {280, false, {}};
    default:
        return {235, true, {285, 155}};
    }
}

constexpr int kReceiverVersionY = 155;
constexpr int kMouseVersionY = 185;
const QPoint kReceiverMarker(460, 160);
const QPoint kMouseMarker(460, 190);

QString Rgb(const QString &triple)
{
    return QStringLiteral("rgb(") + triple + QStringLiteral(";)");
}

// The link-like buttons: text only, in the label colour.
QString TextButtonSheet(const QString &labelColor, const char *alignment)
{
    return QStringLiteral("QPushButton{border:none;background:transparent;color: ") + Rgb(labelColor)
        + QStringLiteral(";text-align : ") + QLatin1String(alignment) + QStringLiteral(";padding-right:1px;}");
}

}  // namespace

FormSetting::FormSetting(QWidget *parent) : QWidget(parent), form(std::make_unique<Ui_FormSetting>())
{
    form->setupUi(this);
    form->Receive_2->hide();
    form->NewLabel->hide();
    PlaceLowerBlocks();
    ConnectHub();
    PictureDir = PanelTheme::PictureDir(QStringLiteral("FormSetting"));

    LedGroup = new QButtonGroup(this);
    LedGroup->setExclusive(true);

    ApplyTheme();
    form->toolButton_2->hide();
    form->toolButton_3->hide();
    form->scrollArea->setFrameShape(QFrame::NoFrame);
    form->scrollAreaWidgetContents->setStyleSheet(QStringLiteral("background-color:transparent;border:none;"));
    FitIntoPanel();

    MakeUpdateEngine();
    const int language = CurrentLanguageIndex();
    form->comboBox->setCurrentIndex(language);
    LabelOrigin = form->label->pos();
    SlotChangeLanguage(language);

    // The box shows what was chosen here; the desktop's autostart folder is
    // not looked at.
    form->checkBox->setChecked(
        MacroIni::GetInstance()->Value(QStringLiteral("AutoStart"), QStringLiteral("Enable")).toInt() == 1);

    SetLongRangeBlockVisible(false);
    SetLedBlockVisible(false);
    ApplyCompactLayout();

    LedGroup->addButton(form->ReUntil);
    LedGroup->addButton(form->ReUntil_2);
    LedGroup->addButton(form->ReUntil_3);

    WheelGuard::InstallOn(this);
}

FormSetting::~FormSetting()
{
    delete g_UpDateRepair;
    g_UpDateRepair = nullptr;
}

// ---- construction -------------------------------------------------------------------------

// The blocks below the sleep time stand BlockOffset lower than the top blocks'
// rhythm would put them.
void FormSetting::PlaceLowerBlocks()
{
    const struct {
        QWidget *widget;
        int x;
        int dy;
    } places[] = {
        {form->label_9, 70, 343},       {form->checkBox, 40, 380},      {form->label_10, 70, 380},
        {form->toolButton, 40, 420},    {form->pushButton, 60, 420},    {form->TitleButton_6, 40, 480},
        {form->label_11, 70, 473},      {form->textEdit, 65, 505},      {form->checkBox_2, 40, 510},
        {form->TitleButton_7, 40, 560}, {form->label_14, 70, 553},      {form->ReUntil, 70, 580},
        {form->ReUntil_2, 70, 620},     {form->ReUntil_3, 70, 660},     {form->textEdit_2, 90, 580},
        {form->textEdit_3, 90, 620},    {form->textEdit_4, 90, 660},
        // The divider under the advanced heading, as line_4 is under "Other".
        {form->line_5, 40, 505},
    };
    for (const auto &place : places)
        place.widget->move(place.x, BlockOffset + place.dy);
    form->TitleButton_5->move(40, 430);
}

void FormSetting::ConnectHub()
{
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &FormSetting::SlotChangeLanguage);
    connect(hub, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
    connect(hub, &PostMsg::SigSetNewVer, this, &FormSetting::SetVerText);
    connect(hub, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    // The data callback and the worker wait until these have run.
    connect(hub, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigForm, this, &FormSetting::SlotForm, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(hub, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(hub, &PostMsg::SigLabelText, this, &FormSetting::SlotLabelText);
    connect(hub, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(hub, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    connect(hub, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpdateStart, this, &FormSetting::on_Start);
    connect(hub, &PostMsg::SigContinue, this, &FormSetting::SlotContinue);

    connect(form->scrollArea->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &FormSetting::SlotScroolChange);
}

// ---- theme --------------------------------------------------------------------------------

void FormSetting::ApplyTheme()
{
    ButtonColor = PanelTheme::Triple(QStringLiteral("ButtonColor"));
    ApplyTextTheme();
    ApplyButtonTheme();
    ApplyMarkerTheme();
    ApplyBoxTheme();
}

void FormSetting::ApplyTextTheme()
{
    const QString labelSheet = PanelTheme::LabelStyleSheet();
    // label_12 and label_13 keep the form's white.
    for (QLabel *label : {form->label, form->label_2, form->label_3, form->label_4, form->label_5, form->label_6,
                          form->label_7, form->label_8, form->label_9, form->label_10, form->label_11, form->label_14})
        label->setStyleSheet(labelSheet);

    const QString labelColor = PanelTheme::Triple(QStringLiteral("LabelColor"));
    for (QTextEdit *text : {form->textEdit, form->textEdit_2, form->textEdit_3, form->textEdit_4}) {
        text->setStyleSheet(QLatin1Char('#') + text->objectName()
                            + QStringLiteral("{border: transparent;background-color: transparent;color: ")
                            + Rgb(labelColor) + QStringLiteral(";}"));
    }
}

void FormSetting::ApplyButtonTheme()
{
    const QString labelColor = PanelTheme::Triple(QStringLiteral("LabelColor"));
    form->pushButton_2->setStyleSheet(
        QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;color: ")
        + Rgb(ButtonColor) + QStringLiteral(";border-image: url(") + PictureDir + QStringLiteral("PariButton.png);}"));
    form->pushButton->setStyleSheet(TextButtonSheet(labelColor, "left"));
    form->pushButton_3->setStyleSheet(TextButtonSheet(labelColor, "right"));
    form->pushButton_4->setStyleSheet(TextButtonSheet(labelColor, "right"));
}

// Section markers, the mouse icon beside the mouse-settings link, and the
// two markers beside the version rows. TitleButton_8 keeps the form's own.
void FormSetting::ApplyMarkerTheme()
{
    for (QToolButton *title : {form->TitleButton_2, form->TitleButton_3, form->TitleButton_4, form->TitleButton_5,
                               form->TitleButton_6, form->TitleButton_7}) {
        title->setStyleSheet(QLatin1Char('#') + title->objectName() + QStringLiteral("{border-image: url(")
                             + PictureDir + QStringLiteral("Title.png);}"));
    }
    form->toolButton->setStyleSheet(QStringLiteral("#toolButton{border-image: url(") + PictureDir
                                    + QStringLiteral("Mouse.png);}"));
    const QString markerSheet =
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                       "color: rgb(255,106,0);background-image: url(")
        + PictureDir + QStringLiteral("Picture.png);}");
    form->toolButton_2->setStyleSheet(markerSheet);
    form->toolButton_3->setStyleSheet(markerSheet);
}

void FormSetting::ApplyBoxTheme()
{
    PanelTheme::ApplyComboTheme(form->comboBox, PictureDir, ComboTheme::Ending::DisabledGrey, true, kLanguageRows);

    const QString checkSheet = QStringLiteral("QCheckBox{color: rgb(255, 255, 255);}"
                                              "QCheckBox::indicator:unchecked{image: url(")
        + PictureDir + QStringLiteral("CheckBox.png);}QCheckBox::indicator:checked{image: url(") + PictureDir
        + QStringLiteral("CheckBoxChecked.png);}");
    form->checkBox->setStyleSheet(checkSheet);
    form->checkBox_2->setStyleSheet(checkSheet);

    const QString ledSheet = QStringLiteral("QCheckBox{color: ")
        + Rgb(PanelTheme::Triple(QStringLiteral("LabelColor")))
        + QStringLiteral(";}QCheckBox::indicator:checked{image: url(") + PictureDir
        + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked{image: url(") + PictureDir
        + QStringLiteral("CheckBox2.png);}");
    for (QCheckBox *box : {form->ReUntil, form->ReUntil_2, form->ReUntil_3})
        box->setStyleSheet(ledSheet);
}

// ---- texts --------------------------------------------------------------------------------

void FormSetting::SlotChangeLanguage(int index)
{
    form->Receive_2->setFont(QFont(QString::fromUtf8(kFontFamily), kUpdateButtonPointSize));
    PlaceVersionWidgets(index);
    // Without the language file nothing changes, the web link included.
    if (!LoadLanguageTexts(index))
        return;
    PassTextsToEngine();
    LoadWebLinks();
}

void FormSetting::PlaceVersionWidgets(int index)
{
    const VersionPlaces places = VersionPlacesOf(index);
    form->label_5->move(places.versionX, kReceiverVersionY);
    form->label_7->move(places.versionX, kMouseVersionY);
    if (places.moveUpdateButton)
        form->Receive_2->move(places.updateButton);
    else
        form->Receive_2->setFont(QFont(QString::fromUtf8(kFontFamily), kJapaneseUpdateButtonPointSize));
    form->toolButton_2->move(kReceiverMarker);
    form->toolButton_3->move(kMouseMarker);
}

bool FormSetting::LoadLanguageTexts(int index)
{
    TagMap tags;
    for (QWidget *widget : std::initializer_list<QWidget *>{
             form->label, form->label_2, form->label_3, form->label_4, form->label_6, form->label_8, form->label_9,
             form->label_10, form->label_11, form->label_12, form->label_13, form->label_14, form->pushButton,
             form->pushButton_2})
        tags.insert(widget->objectName(), PropertyTarget(widget));
    // Text edits take rich text as well as plain.
    for (QTextEdit *text : {form->textEdit, form->textEdit_2, form->textEdit_3, form->textEdit_4, form->NewLabel})
        tags.insert(text->objectName(), [text](const QString &t) { text->setText(t); });
    for (int item = 0; item < SleepTime::kItemCount; ++item) {
        const QString tag = item == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime%1").arg(item);
        tags.insert(tag, [this, item](const QString &text) { form->frameClose->SetItemText(item, text); });
    }
    QToolButton *updateButton = form->Receive_2;
    tags.insert(QStringLiteral("Receive"), [this, updateButton](const QString &text) {
        ReceiveText = text;
        updateButton->setText(text);
    });
    tags.insert(QStringLiteral("NoRecieve"), StoreTarget(&NoRecieveText));
    tags.insert(QStringLiteral("NoUSB"), StoreTarget(&NoUSBText));
    tags.insert(QStringLiteral("Error"), StoreTarget(&ErrorText));
    tags.insert(QStringLiteral("MultiMouse"), StoreTarget(&MultiMouseText));
    tags.insert(QStringLiteral("MultiDongle"), StoreTarget(&MultiDongleText));
    tags.insert(QStringLiteral("NoDevice"), StoreTarget(&NoDeviceText));
    tags.insert(QStringLiteral("SameDevice"), StoreTarget(&SameDeviceText));
    tags.insert(QStringLiteral("VerNew"), StoreTarget(&VerNewText));
    tags.insert(QStringLiteral("WiredMode"), StoreTarget(&g_WiredModeText));
    tags.insert(QStringLiteral("NotWebAddress"), StoreTarget(&NotWebAddressText));
    tags.insert(QStringLiteral("NoOpener"), StoreTarget(&NoOpenerText));
    tags.insert(QStringLiteral("AutoStartOnFail"), StoreTarget(&AutoStartOnFailText));
    tags.insert(QStringLiteral("AutoStartOffFail"), StoreTarget(&AutoStartOffFailText));

    const LanguageReader reader(QStringLiteral("FormSetting"), tags);
    return reader.Load(index) != LanguageReader::Outcome::NoFile;
}

void FormSetting::LoadWiredModeText(int index)
{
    const LanguageReader reader(QStringLiteral("FormSetting"), {{QStringLiteral("WiredMode"), StoreTarget(&g_WiredModeText)}});
    reader.Load(index);
}

// Net.xml chooses by the language stored in Macro.ini, which the language
// boxes write before they announce a change.
void FormSetting::LoadWebLinks()
{
    WebLinkFile file(CurrentLanguageIndex(), PropertyTarget(form->pushButton_4), PropertyTarget(form->pushButton_3));
    file.Load(WebLinkFile::Path());
}

// ---- layouts ------------------------------------------------------------------------------

// The device page draws a rounded panel behind its pages; the scrolled
// content stays inside it, clear of the navigation bar above and of the
// panel's border below. The frame clips the scroll area on the left, where
// the content holds only its margin, so the content keeps its geometry and
// its right-aligned lines still end before the scroll bar.
void FormSetting::FitIntoPanel()
{
    const QRect visible = ContentPanel::InsideOnPage().adjusted(0, kPanelInsetY, -kPanelInsetRight, -kPanelInsetY);
    form->FrameSetting->setGeometry(visible);
    form->scrollArea->setFixedSize(kContentWidth, visible.height());
    form->scrollArea->move(visible.width() - form->scrollArea->width(), 0);
}

void FormSetting::ApplyCompactLayout()
{
    SetContentLayout(BlockOffset + kCompactHeight, BlockOffset + kCompactWebLinkY,
                     BlockOffset + kCompactCompanyLineY);
}

void FormSetting::ApplyExpandedLayout()
{
    SetContentLayout(BlockOffset + kExpandedHeight, BlockOffset + kExpandedWebLinkY,
                     BlockOffset + kExpandedCompanyLineY);
}

void FormSetting::SetContentLayout(int contentHeight, int webLinkY, int companyLineY)
{
    const QSize content(kContentWidth, contentHeight);
    form->scrollAreaWidgetContents->setMinimumSize(content);
    form->scrollAreaWidgetContents->setMaximumSize(content);
    form->pushButton_3->move(kWebLinkX, webLinkY);
    form->pushButton_4->move(kCompanyLineX, companyLineY);
}

void FormSetting::SetLongRangeBlockVisible(bool visible)
{
    for (QWidget *widget : std::initializer_list<QWidget *>{form->TitleButton_6, form->label_11, form->checkBox_2,
                                                           form->textEdit})
        widget->setVisible(visible);
}

void FormSetting::SetLedBlockVisible(bool visible)
{
    for (QWidget *widget : std::initializer_list<QWidget *>{form->TitleButton_7, form->label_14, form->ReUntil,
                                                           form->ReUntil_2, form->ReUntil_3, form->textEdit_2,
                                                           form->textEdit_3, form->textEdit_4})
        widget->setVisible(visible);
}

// The driver-version text keeps its place in the visible area while the
// content scrolls.
void FormSetting::SlotScroolChange(int index)
{
    form->label->move(LabelOrigin.x(), LabelOrigin.y() + index + kLabelScrollDrop);
}

void FormSetting::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

// ---- firmware versions and updates --------------------------------------------------------

void FormSetting::SetVerText()
{
    form->Receive_2->setText(VerNewText);
}

void FormSetting::ApplyPlainUpdateLook()
{
    form->Receive_2->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + ButtonColor + QStringLiteral(";);border-image: url(") + PictureDir + QStringLiteral("Confirm.png);}"));
}

void FormSetting::ApplyUpdateAvailableLook()
{
    form->Receive_2->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + ButtonColor + QStringLiteral(";);background-image: url(") + PictureDir
        + QStringLiteral("WaitUpdate.png);}QToolButton::hover{background-image: url(") + PictureDir
        + QStringLiteral("WaitUpdateHover.png);}"));
}

// The receiver and mouse version texts of the current device. On its cable
// the mouse shows its receiver's version only while exactly its receiver is
// listed beside it.
void FormSetting::CurrentVersions(QString *receiver, QString *mouse)
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    *receiver = !current.Online || !current.Wired ? current.UsbVersion : FindReceiverPartner().version;
    *mouse = current.Online ? current.FirmwareVersion : QString();
}

// The receiver class whose image fits the current device: its own link, or
// on its cable that of the one receiver listed beside it; 0 otherwise.
int FormSetting::CurrentReceiverClass()
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    return current.Wired ? FindReceiverPartner().receiverClass : ReceiverClass::OfLink(current.LinkType);
}

bool FormSetting::FindUpdatesOfCurrentDevice()
{
    if (!QFileInfo(FirmwareFolder()).isDir())
        return false;
    QString receiver;
    QString mouse;
    CurrentVersions(&receiver, &mouse);
    const int receiverClass = CurrentReceiverClass();
    g_MouseUpdateFound = HasNewFirmwareForClass(kMouseFirmware, mouse, receiverClass);
    g_ReceiverUpdateFound = HasNewFirmwareForClass(kReceiverFirmware, receiver, receiverClass);
    return true;
}

void FormSetting::FillVersionLabels()
{
    QString receiver;
    QString mouse;
    CurrentVersions(&receiver, &mouse);
    form->label_5->setText(receiver);
    form->label_7->setText(mouse);
}

void FormSetting::HideMarkersAndClearRunFlags()
{
    form->Receive_2->setText(ReceiveText);
    form->toolButton_2->hide();
    form->toolButton_3->hide();
    engine->ClearRunFlags();
}

void FormSetting::SetVer(int index)
{
    switch (index) {
    case 0: {
        QString receiver;
        QString mouse;
        CurrentVersions(&receiver, &mouse);
        if (FindUpdatesOfCurrentDevice()) {
            if (g_MouseUpdateFound || g_ReceiverUpdateFound)
                ApplyUpdateAvailableLook();
            else
                ApplyPlainUpdateLook();
        }
        form->label_5->setText(receiver);
        form->label_7->setText(mouse);
        break;
    }
    case 1:
        form->toolButton_2->hide();
        break;
    case 2:
        form->toolButton_3->hide();
        break;
    case 3:
        form->Receive_2->setText(ReceiveText);
        break;
    case 4:
        HideMarkersAndClearRunFlags();
        break;
    case 5:
        HideMarkersAndClearRunFlags();
        FillVersionLabels();
        break;
    case 6:
        form->label_5->clear();
        form->label_7->clear();
        break;
    default:
        break;
    }
}

void FormSetting::SlotLabelText(int index, QString Text)
{
    if (index == 0) {
        form->label_5->setText(Text);
        g_CurrentDevice.Update([&](DeviceAllInfo &device) { device.UsbVersion = Text; });
    } else if (index == 1) {
        form->label_7->setText(Text);
        g_CurrentDevice.Update([&](DeviceAllInfo &device) { device.FirmwareVersion = Text; });
    }
}

void FormSetting::SlotLabelTextB(QString TextA, QString Text)
{
    form->label_5->setText(TextA);
    if (Text == QLatin1String("true"))
        ApplyUpdateAvailableLook();
    else
        ApplyPlainUpdateLook();
}

// The update button: the check's verdict on the repair dialog, which opens
// centred on the page unless there is nothing newer at all.
void FormSetting::on_Receive_2_clicked()
{
    if (form->Receive_2->text() == VerNewText)
        return;
    engine->ClearReceiverNoUpdate();
    UpDateRepair *repair = SharedRepairDialog();
    repair->move(CentredOnPage(repair->size()));
    repair->setModal(true);
    repair->ResetUi();
    if (ChechIsUpDate()) {
        repair->ShowReady();
        repair->show();
    } else if (engine->Context().receiverNoUpdate) {
        form->Receive_2->setText(VerNewText);
    } else {
        repair->show();
    }
}

// ---- the update engine --------------------------------------------------------------------

void FormSetting::MakeUpdateEngine()
{
    engine = new UpdateEngine(this);
    engine->SetVersionSource([this](int target) {
        return target == kReceiverFirmware ? form->label_5->text() : form->label_7->text();
    });
    connect(engine, &UpdateEngine::MarkerVisible, this, &FormSetting::ShowMarker);
    connect(engine, &UpdateEngine::UpdateButtonText, form->Receive_2, &QToolButton::setText);
    connect(engine, &UpdateEngine::PlainLookWanted, this, &FormSetting::ApplyPlainUpdateLook);
    connect(engine, &UpdateEngine::NoticeWanted, this, &FormSetting::ShowFirmwareNotice);
}

void FormSetting::PassTextsToEngine()
{
    engine->SetTexts({NoDeviceText, SameDeviceText, VerNewText, NoRecieveText, NoUSBText, ErrorText,
                      MultiDongleText, MultiMouseText});
}

void FormSetting::ShowMarker(int target, bool visible)
{
    (target == kReceiverFirmware ? form->toolButton_2 : form->toolButton_3)->setVisible(visible);
}

QPoint FormSetting::CentredOnPage(const QSize &size) const
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    return {origin.x() + (width() - size.width()) / 2 + kDialogOffsetX,
            origin.y() + (height() - size.height()) / 2 + kDialogOffsetY};
}

UpDateWarning *FormSetting::FirmwareNotice()
{
    if (!UpdateWarning)
        UpdateWarning = std::make_unique<UpDateWarning>(nullptr);
    return UpdateWarning.get();
}

void FormSetting::ShowFirmwareNotice(const QString &text)
{
    UpDateWarning *notice = FirmwareNotice();
    notice->move(CentredOnPage(notice->size()));
    notice->setModal(true);
    notice->SetLabelText(text);
    notice->show();
}

bool FormSetting::ChechIsUpDate()
{
    return engine->Check();
}

void FormSetting::SlotCheckUpdate()
{
    engine->CheckForDialog();
}

void FormSetting::on_Receive_clicked()
{
    engine->StartReceiverRun();
}

void FormSetting::on_Mouse_clicked()
{
    engine->StartMouseRun();
}

void FormSetting::on_Start()
{
    engine->Start();
}

void FormSetting::SlotContinue(int index)
{
    Q_UNUSED(index);
    engine->Continue();
}

void FormSetting::onDongleCheckTimer()
{
    engine->Tick(kReceiverFirmware);
}

void FormSetting::onMouseCheckTimer()
{
    engine->Tick(kMouseFirmware);
}
