#include "addkey.h"

#include "ui_addkey.h"

#include "dialogtheme.h"
#include "keylabels.h"
#include "keynames.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "paths.h"
#include "postmsg.h"

#include <QCloseEvent>
#include <QKeyEvent>

addKey::addKey(QWidget *parent)
    : QDialog(parent), ui(new Ui_addKey),
      capture([this](int virtualKey, bool down, bool repeat) { UpdateCapslockTip(virtualKey, down, repeat); })
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &addKey::SlotChangeLanguage);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    capture.Install();
    setWindowFlags(NoticeDialog::NoticeWindowFlags());
    ApplyStyleSheets();
    ui->lineEdit->setFocus(Qt::ActiveWindowFocusReason);
    SlotChangeLanguage(CurrentLanguageIndex());
}

addKey::~addKey()
{
    capture.Uninstall();
    delete ui;
}

void addKey::ApplyStyleSheets()
{
    ui->label->setStyleSheet(DialogTheme::LabelSheet());
    const QString buttonSheet = DialogTheme::TextButtonSheet(pictureDir);
    ui->NewHong->setStyleSheet(buttonSheet);
    ui->NewHong_2->setStyleSheet(buttonSheet);
    ui->lineEdit->setStyleSheet(DialogTheme::FieldSheet(QStringLiteral("QLineEdit")));
    ui->CloseButton->setStyleSheet(DialogTheme::CloseButtonSheet(pictureDir));
    ui->addKeyA->setStyleSheet(DialogTheme::FrameSheet(ui->addKeyA->objectName(), pictureDir));
}

void addKey::on_CloseButton_clicked()
{
    accepted = false;
    capture.Uninstall();
    reject();
}

void addKey::on_NewHong_clicked()
{
    accepted = true;
    capture.Uninstall();
    accept();
}

void addKey::on_NewHong_2_clicked()
{
    accepted = false;
    capture.Uninstall();
    reject();
}

void addKey::UpdateCapslockTip(int keyCode, bool /*downOrUp*/, bool /*aotu*/)
{
    const QString name = KeyNames::VirtualKeyName(keyCode).value_or(QString());
    ui->lineEdit->setText(KeyLabels::Current().Shown(name));
    keyName = name;
}

void addKey::SlotChangeLanguage(int index)
{
    LanguageReader(QStringLiteral("AddKey"), {
                                                 {QStringLiteral("label"), PropertyTarget(ui->label)},
                                                 {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
                                                 {QStringLiteral("NewHong_2"), PropertyTarget(ui->NewHong_2)},
                                             })
        .Load(index);
}

void addKey::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QDialog::keyPressEvent(event);
}

void addKey::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activateWindow();
    raise();
}

void addKey::closeEvent(QCloseEvent *event)
{
    capture.Uninstall();
    QDialog::closeEvent(event);
}

void addKey::done(int result)
{
    capture.Uninstall();
    QDialog::done(result);
}
