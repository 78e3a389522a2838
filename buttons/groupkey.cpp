#include "groupkey.h"

#include "ui_groupkey.h"

#include "configini.h"
#include "dialogtheme.h"
#include "keylabels.h"
#include "keynames.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "notices.h"
#include "paths.h"
#include "postmsg.h"
#include "waits.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPointer>

namespace {

constexpr int kMaxParts = 3;
constexpr int kVirtualKeySpace = 32;
const QChar kJoin('+');

}  // namespace

GroupKey::GroupKey(QWidget *parent)
    : QDialog(parent), ui(new Ui_GroupKey),
      Capture([this](int virtualKey, bool down, bool repeat) { UpdateCapslockTip(virtualKey, down, repeat); })
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &GroupKey::SlotChangeLanguage);
    PictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    Capture.Install();
    setWindowFlags(NoticeDialog::NoticeWindowFlags());
    ui->lineEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    ui->lineEdit->installEventFilter(this);
    ui->lineEdit->setFocus(Qt::OtherFocusReason);
    ApplyStyleSheets();
    SlotChangeLanguage(CurrentLanguageIndex());
}

GroupKey::~GroupKey()
{
    Capture.Uninstall();
    delete ui;
}

QString GroupKey::KeyName(int virtualKey)
{
    if (virtualKey == kVirtualKeySpace)
        return QString();
    const std::optional<QString> name = KeyNames::VirtualKeyName(virtualKey);
    if (!name)
        return QString();
    const std::optional<KeyNames::KeyCode> code = KeyNames::LookUp(*name);
    if (!code || code->kind != kKindKeyboard)
        return QString();
    return KeyLabels::Current().Shown(*name);
}

bool GroupKey::eventFilter(QObject *watched, QEvent *event)
{
    // The Menu key is a key to capture: it opens no menu over the edit. The
    // right-click menu stays.
    if (watched == ui->lineEdit && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
        return true;
    return QDialog::eventFilter(watched, event);
}

void GroupKey::ApplyStyleSheets()
{
    const QString &P = PictureDir;
    ui->label->setStyleSheet(DialogTheme::LabelSheet());
    const QString boxSheet = QStringLiteral("QCheckBox{color: rgb(")
                             + ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"))
                             + QStringLiteral(";);}QCheckBox::indicator:checked {image: url(") + P
                             + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked {image: url(") + P
                             + QStringLiteral("CheckBox.png);}");
    for (QWidget *box : {ui->Shift, ui->Ctrl, ui->Alt, ui->Win})
        box->setStyleSheet(boxSheet);
    const QString buttonSheet = DialogTheme::TextButtonSheet(P);
    ui->NewHong->setStyleSheet(buttonSheet);
    ui->NewHong_2->setStyleSheet(buttonSheet);
    ui->lineEdit->setStyleSheet(DialogTheme::FieldSheet(QStringLiteral("QLineEdit")));
    ui->CloseButton->setStyleSheet(DialogTheme::CloseButtonSheet(P));
    ui->groupKeyA->setStyleSheet(DialogTheme::FrameSheet(ui->groupKeyA->objectName(), P));
}

void GroupKey::on_CloseButton_clicked()
{
    Confirmed = false;
    Capture.Uninstall();
    close();
}

void GroupKey::on_NewHong_2_clicked()
{
    Confirmed = false;
    Capture.Uninstall();
    close();
}

QString GroupKey::CheckedModifiers(int &parts) const
{
    QString text;
    const std::pair<const QCheckBox *, const char *> boxes[] = {
        {ui->Shift, "Shift"}, {ui->Ctrl, "Ctrl"}, {ui->Alt, "Alt"}, {ui->Win, "Win"}};
    for (const auto &[box, word] : boxes) {
        if (!box->isChecked())
            continue;
        ++parts;
        if (!text.isEmpty())
            text += kJoin;
        text += QLatin1String(word);
    }
    return text;
}

void GroupKey::on_NewHong_clicked()
{
    int parts = 0;
    ComboText = CheckedModifiers(parts);
    const QString keys = ui->lineEdit->text();
    if (!keys.isEmpty())
        parts += KeyNames::SplitCombination(keys).size();
    if (parts > kMaxParts) {
        ShowTooManyKeys();
        return;
    }
    Capture.Uninstall();
    if (ComboText.isEmpty())
        ComboText = keys;
    else if (!keys.isEmpty())
        ComboText += kJoin + keys;
    Confirmed = true;
    close();
}

// The notice covers the dialog; the capture goes on meanwhile, and what it
// took is cleared with the edit when the notice closes.
void GroupKey::ShowTooManyKeys()
{
    QPointer<GroupKey> self(this);
    GroupMaxThree notice;
    PlaceAtOpenerCorner(&notice, this);
    notice.exec();
    if (!self)
        return;
    PlusCount = 0;
    LastKey = -1;
    ui->lineEdit->clear();
}

void GroupKey::UpdateCapslockTip(int keyCode, bool downOrUp, bool /*aotu*/)
{
    if (!downOrUp)
        return;
    if (FirstKey) {
        SequenceTimer.start();
        FirstKey = false;
    } else if (SequenceTimer.elapsed() > Waits::Scaled(kSequenceWindowMs)) {
        // The window is measured from the first key of a combination: this
        // key begins a new one.
        ui->lineEdit->clear();
        LastKey = -1;
        SequenceTimer.restart();
    }
    if (keyCode == LastKey)
        return;  // a held key's repeats and the same key twice add nothing
    LastKey = keyCode;

    const QString name = KeyName(keyCode);
    const QString text = ui->lineEdit->text();
    const QStringList shown = KeyNames::SplitCombination(text);
    PlusCount = shown.size() - 1;
    if (PlusCount == kMaxParts - 1) {
        // Three keys are shown: a further key starts over with itself alone.
        PlusCount = 0;
        ui->lineEdit->setText(name);
        return;
    }
    // Unnamed keys add nothing.
    if (name.isEmpty() || shown.contains(name))
        return;
    if (text.isEmpty()) {
        ui->lineEdit->setText(name);
        return;
    }
    ui->lineEdit->setText(text + kJoin + name);
    if (PlusCount == 1)
        LastKey = -1;  // the third key: even the same key next starts over
}

void GroupKey::on_lineEdit_textEdited(const QString &text)
{
    ui->lineEdit->setText(text.toUpper());
}

void GroupKey::SlotChangeLanguage(int index)
{
    LanguageReader(QStringLiteral("groupKey"), {
                                                   {QStringLiteral("label"), PropertyTarget(ui->label)},
                                                   {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
                                                   {QStringLiteral("NewHong_2"), PropertyTarget(ui->NewHong_2)},
                                               })
        .Load(index);
}

void GroupKey::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QDialog::keyPressEvent(event);
}

void GroupKey::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activateWindow();
    raise();
}

void GroupKey::closeEvent(QCloseEvent *event)
{
    Capture.Uninstall();
    QDialog::closeEvent(event);
}

void GroupKey::done(int result)
{
    Capture.Uninstall();
    QDialog::done(result);
}
