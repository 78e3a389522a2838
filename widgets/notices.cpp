#include "notices.h"

#include "postmsg.h"

#include <QCheckBox>
#include <QPalette>
#include <QPixmap>
#include <QLabel>
#include <QToolButton>

namespace {

using FrameLimits = NoticeLayout::FrameLimits;

const QString kConfirm = QStringLiteral("确定");
const QString kCancel = QStringLiteral("取消");

NoticeTextButton NewHongAt(int x, int y, const QString &text = kConfirm)
{
    return {"NewHong", QPoint(x, y), text};
}

std::vector<NoticeTextButton> OkCancelAt(int cancelX)
{
    return {{"OK", QPoint(40, 110), kConfirm}, {"Cancel", QPoint(cancelX, 110), kCancel}};
}

NoticeLayout QuestiondialogBLayout()
{
    NoticeLayout layout{"QuestiondialogB", "QuestionB", QRect(0, 30, 301, 60),
                        QStringLiteral("  Do not insert multiple identical devices"), {}};
    layout.frameLimits = FrameLimits::Fixed300x130;
    return layout;
}

NoticeLayout MouseOffLineLayout()
{
    NoticeLayout layout{"MouseOffLine", "MouseOffLineA", QRect(0, 20, 301, 71),
                        QStringLiteral("   The mouse is offline. Please move first"),
                        {NewHongAt(100, 100, QStringLiteral("确认"))}};
    layout.closeButtonPos = QPoint(275, 3);
    return layout;
}

NoticeLayout LeftButtonOnlyLayout()
{
    NoticeLayout layout{"LeftButtonOnly", "ButtonOnly", QRect(0, 19, 301, 91),
                        QStringLiteral("Left button must be retained"), {}};
    layout.dialogMinimum = QSize(300, 140);
    layout.dialogMaximum = QSize(300, 140);
    return layout;
}

NoticeLayout MakeMacroLayout()
{
    return {"MakeMacro", "MakeMacroA", QRect(6, 29, 291, 71),
            QStringLiteral("Please create a macro first"), {NewHongAt(100, 110)}};
}

NoticeLayout SameMacroLayout()
{
    return {"SameMacro", "SameMacroA", QRect(0, 30, 301, 71),
            QStringLiteral("Already have a same name macro"), {NewHongAt(100, 110)}};
}

NoticeLayout GroupMaxThreeLayout()
{
    return {"GroupMaxThree", "MaxThree", QRect(0, 30, 301, 71),
            QStringLiteral("  Key can only have up to three buttons"), {NewHongAt(105, 110)}};
}

NoticeLayout ContainResetLayout()
{
    return {"ContainReset", "ContainResetA", QRect(10, 30, 281, 71),
            QStringLiteral(" Is need to restore the default settings"), OkCancelAt(170)};
}

NoticeLayout KeyNumberLimitLayout()
{
    return {"KeyNumberLimit", "LimitA", QRect(0, 30, 301, 71),
            QStringLiteral("Macro Key reached the Max limit"), {NewHongAt(100, 110)}};
}

NoticeLayout RePairLayout()
{
    NoticeLayout layout{"RePair", "RePairA", QRect(0, 30, 301, 71),
                        QStringLiteral("        Do you need to pair again"), OkCancelAt(180)};
    layout.frameLimits = FrameLimits::Free;
    return layout;
}

NoticeLayout DeleteConfirmLayout()
{
    NoticeLayout layout{"DeleteConfirm", "DeleteConfirmA", QRect(5, 30, 291, 71),
                        QStringLiteral("Confirm Delete"), {NewHongAt(100, 110)}};
    layout.frameLimits = FrameLimits::Free;
    return layout;
}

NoticeLayout ExeIsRunLayout()
{
    NoticeLayout layout{"ExeIsRun", "DeleteConfirmA", QRect(0, 30, 301, 71),
                        QStringLiteral("The program is already running"), {NewHongAt(100, 110)}};
    layout.frameLimits = FrameLimits::Free;
    layout.dialogMinimum = QSize(298, 140);
    layout.dialogMaximum = QSize(300, 140);
    return layout;
}

NoticeLayout InportFailLayout()
{
    return {"InportFail", "InportFailA", QRect(0, 30, 301, 71),
            QStringLiteral("Config does not match the device"), {NewHongAt(100, 110)}};
}

NoticeLayout UpDateWarningLayout()
{
    NoticeLayout layout{"UpDateWarning", "WarningFrame", QRect(5, 30, 291, 71), QString(),
                        {NewHongAt(100, 110)}};
    layout.frameLimits = FrameLimits::Free;
    return layout;
}

NoticeLayout LessThreeLayout()
{
    NoticeLayout layout{"LessThree", "LessThreeframe", QRect(0, 30, 301, 61),
                        QStringLiteral("Please wait, we are updating the setting"),
                        {NewHongAt(100, 110)}};
    layout.frameLimits = FrameLimits::Free;
    return layout;
}

NoticeLayout FindNewVerLayout()
{
    return {"FindNewVer", "SameMacroA", QRect(0, 30, 301, 51),
            QStringLiteral("发现新固件,请更新!"), {NewHongAt(100, 90)}};
}

// Each notice reloads its texts whenever the language changes.
template <typename Notice>
void FollowLanguage(Notice *notice)
{
    QObject::connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, notice,
                     &Notice::SlotChangeLanguage);
}

}  // namespace

// --- QuestiondialogB ---

QuestiondialogB::QuestiondialogB(QWidget *parent)
    : NoticeDialog(QuestiondialogBLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    setFixedSize(size());
    FillBelowFrame();
    SlotChangeLanguage(StoredLanguageIndex());
}

// The frame is only 130 high: the strip below it shows the dialog itself,
// which would stay in the plain window colour; it shows the background
// picture instead.
void QuestiondialogB::FillBelowFrame()
{
    const QPixmap background(pictureDir + QStringLiteral("BackGround.png"));
    if (background.isNull())
        return;
    QPalette filled = palette();
    filled.setBrush(QPalette::Window, QBrush(background));
    setPalette(filled);
}

QuestiondialogB::~QuestiondialogB() = default;

void QuestiondialogB::on_CloseButton_clicked()
{
    close();
}

void QuestiondialogB::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("QuestionB"), WidgetTargets({QStringLiteral("label")}));
}

// --- MouseOffLine ---

MouseOffLine::MouseOffLine(QWidget *parent)
    : NoticeDialog(MouseOffLineLayout(), parent)
{
    FollowLanguage(this);
    // The worker's online poll closes the notice when the device is back.
    connect(PostMsg::GetInstance(), &PostMsg::SigCloseOffOnline, this,
            &MouseOffLine::on_CloseButton_clicked);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

MouseOffLine::~MouseOffLine() = default;

void MouseOffLine::on_NewHong_clicked()
{
    close();
}

void MouseOffLine::on_CloseButton_clicked()
{
    close();
}

void MouseOffLine::SlotChangeLanguage(int index)
{
    // The kind is read when the tag is met, so an opener sets it before
    // building the notice.
    QLabel *label = ui.label;
    TagMap targets = WidgetTargets({QStringLiteral("NewHong")});
    targets.insert(QStringLiteral("label"), [label](const QString &text) {
        if (g_OfflineNoticeKind == 0)
            label->setText(text);
    });
    targets.insert(QStringLiteral("Timeout"), [label](const QString &text) {
        if (g_OfflineNoticeKind == 1)
            label->setText(text);
    });
    LoadTexts(index, QStringLiteral("MouseOffLine"), targets);
}

// --- LeftButtonOnly ---

LeftButtonOnly::LeftButtonOnly(QWidget *parent)
    : NoticeDialog(LeftButtonOnlyLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

LeftButtonOnly::~LeftButtonOnly() = default;

void LeftButtonOnly::on_CloseButton_clicked()
{
    close();
}

void LeftButtonOnly::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("ButtonOnly"), WidgetTargets({QStringLiteral("label")}));
}

// --- MakeMacro ---

MakeMacro::MakeMacro(QWidget *parent)
    : NoticeDialog(MakeMacroLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

MakeMacro::~MakeMacro() = default;

void MakeMacro::on_CloseButton_clicked()
{
    close();
}

void MakeMacro::on_NewHong_clicked()
{
    close();
}

void MakeMacro::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("MakeMacro"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

// --- SameMacro ---

SameMacro::SameMacro(QWidget *parent)
    : NoticeDialog(SameMacroLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

SameMacro::~SameMacro() = default;

void SameMacro::on_NewHong_clicked()
{
    close();
}

void SameMacro::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("SameMacro"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

void SameMacro::on_CloseButton_clicked()
{
    close();
}

// --- GroupMaxThree ---

GroupMaxThree::GroupMaxThree(QWidget *parent)
    : NoticeDialog(GroupMaxThreeLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

GroupMaxThree::~GroupMaxThree() = default;

void GroupMaxThree::on_NewHong_clicked()
{
    close();
}

void GroupMaxThree::on_CloseButton_clicked()
{
    close();
}

void GroupMaxThree::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("MaxThree"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

// --- ContainReset ---

ContainReset::ContainReset(QWidget *parent)
    : NoticeDialog(ContainResetLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
    ui.OK->setShortcut(QKeySequence(Qt::Key_Return));
}

ContainReset::~ContainReset() = default;

void ContainReset::SetLabelText(QString text)
{
    ui.label->setText(text);
}

void ContainReset::on_CloseButton_clicked()
{
    accepted_ = false;
    close();
}

void ContainReset::on_OK_clicked()
{
    accepted_ = true;
    close();
}

void ContainReset::on_Cancel_clicked()
{
    accepted_ = false;
    close();
}

void ContainReset::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("ContainReset"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("OK"), QStringLiteral("Cancel")}));
}

// --- KeyNumberLimit ---

KeyNumberLimit::KeyNumberLimit(QWidget *parent)
    : NoticeDialog(KeyNumberLimitLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

KeyNumberLimit::~KeyNumberLimit() = default;

void KeyNumberLimit::on_CloseButton_clicked()
{
    close();
}

void KeyNumberLimit::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("Limit"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

void KeyNumberLimit::on_NewHong_clicked()
{
    close();
}

// --- RePair ---

RePair::RePair(QWidget *parent)
    : NoticeDialog(RePairLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

RePair::~RePair() = default;

void RePair::on_CloseButton_clicked()
{
    accepted_ = false;
    close();
}

void RePair::on_OK_clicked()
{
    accepted_ = true;
    close();
}

void RePair::on_Cancel_clicked()
{
    accepted_ = false;
    close();
}

void RePair::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("RePair"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("OK"), QStringLiteral("Cancel")}));
}

// --- DeleteConfirm ---

DeleteConfirm::DeleteConfirm(QWidget *parent)
    : NoticeDialog(DeleteConfirmLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

DeleteConfirm::~DeleteConfirm() = default;

void DeleteConfirm::on_NewHong_clicked()
{
    accepted_ = true;
    close();
}

void DeleteConfirm::on_CloseButton_clicked()
{
    accepted_ = false;
    close();
}

void DeleteConfirm::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("DeleteConfirm"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

// --- ExeIsRun ---

ExeIsRun::ExeIsRun(QWidget *parent)
    : NoticeDialog(ExeIsRunLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

ExeIsRun::~ExeIsRun() = default;

void ExeIsRun::ShowLabel2Text()
{
    ui.label->setText(label2Text);
}

void ExeIsRun::ShowPleaseStopText()
{
    ui.label->setText(pleaseStopText);
}

void ExeIsRun::on_NewHong_clicked()
{
    close();
}

void ExeIsRun::on_CloseButton_clicked()
{
    close();
}

void ExeIsRun::SlotChangeLanguage(int index)
{
    TagMap targets = WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")});
    targets.insert(QStringLiteral("label_2"), StoreTarget(&label2Text));
    targets.insert(QStringLiteral("PleaseStop"), StoreTarget(&pleaseStopText));
    LoadTexts(index, QStringLiteral("EXEIsRun"), targets);
}

// --- InportFail ---

InportFail::InportFail(QWidget *parent)
    : NoticeDialog(InportFailLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

InportFail::~InportFail() = default;

void InportFail::ShowWriteFailText()
{
    writeFailed = true;
    ui.label->setText(writeFailText);
}

void InportFail::on_NewHong_clicked()
{
    close();
}

void InportFail::SlotChangeLanguage(int index)
{
    // The check result is read when the tag is met, so the import sets it
    // before building the notice.
    QLabel *label = ui.label;
    TagMap targets = WidgetTargets({QStringLiteral("NewHong")});
    const bool write = writeFailed;
    targets.insert(QStringLiteral("label"), [label, write](const QString &text) {
        if (!write && g_ImportCheckResult == 1)
            label->setText(text);
    });
    targets.insert(QStringLiteral("label_1"), [label, write](const QString &text) {
        if (!write && g_ImportCheckResult == 2)
            label->setText(text);
    });
    targets.insert(QStringLiteral("WriteFail"), [this, label, write](const QString &text) {
        writeFailText = text;
        if (write)
            label->setText(text);
    });
    LoadTexts(index, QStringLiteral("InportFail"), targets);
}

void InportFail::on_CloseButton_clicked()
{
    close();
}

// --- UpDateWarning ---

UpDateWarning::UpDateWarning(QWidget *parent)
    : NoticeDialog(UpDateWarningLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
    ui.NewHong->setShortcut(QKeySequence(Qt::Key_Return));
}

UpDateWarning::~UpDateWarning() = default;

void UpDateWarning::SetLabelText(QString text)
{
    ui.label->setText(text);
}

void UpDateWarning::on_CloseButton_clicked()
{
    close();
}

void UpDateWarning::SlotChangeLanguage(int index)
{
    // The message belongs to the opener; only the button follows the language.
    LoadTexts(index, QStringLiteral("NewVer"), WidgetTargets({QStringLiteral("NewHong")}));
}

void UpDateWarning::on_NewHong_clicked()
{
    close();
}

// --- LessThree ---

LessThree::LessThree(QWidget *parent)
    : NoticeDialog(LessThreeLayout(), parent)
{
    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

LessThree::~LessThree() = default;

void LessThree::on_NewHong_clicked()
{
    close();
}

void LessThree::on_CloseButton_clicked()
{
    close();
}

void LessThree::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("LessThree"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong")}));
}

// --- FindNewVer ---

FindNewVer::FindNewVer(QWidget *parent)
    : NoticeDialog(FindNewVerLayout(), parent)
{
    ui.NoApear = new QCheckBox(ui.frame);
    ui.NoApear->setObjectName(QStringLiteral("NoApear"));
    ui.NoApear->setGeometry(QRect(0, 120, 291, 18));
    ui.NoApear->setText(QStringLiteral("下次不再显示"));
    ui.NoApear->setFocusPolicy(Qt::NoFocus);
    // Without a sheet of its own the box would show black text on the dark
    // background; it takes the label colour and the notices' check pictures.
    ui.NoApear->setStyleSheet(
        QStringLiteral("QCheckBox{color: rgb(") + LabelColour()
        + QStringLiteral(");padding-left: 8px;}QCheckBox::indicator{width: 16px;height: 16px;"
                         "image: url(")
        + pictureDir + QStringLiteral("CheckBox.png);}QCheckBox::indicator:checked{image: url(")
        + pictureDir + QStringLiteral("CheckBoxCheck.png);}"));
    ui.CloseButton->setFocusPolicy(Qt::NoFocus);
    ui.NewHong->setFocusPolicy(Qt::NoFocus);

    FollowLanguage(this);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());
}

FindNewVer::~FindNewVer() = default;

void FindNewVer::on_NewHong_clicked()
{
    close();
}

void FindNewVer::SlotChangeLanguage(int index)
{
    LoadTexts(index, QStringLiteral("NewVer"),
              WidgetTargets({QStringLiteral("label"), QStringLiteral("NewHong"),
                             QStringLiteral("NoApear")}));
}

void FindNewVer::on_CloseButton_clicked()
{
    close();
}
