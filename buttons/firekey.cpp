#include "firekey.h"

#include "ui_firekey.h"

#include "dialogtheme.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "paths.h"
#include "postmsg.h"
#include "wheelguard.h"

FireKey::FireKey(QWidget *parent) : QDialog(parent), ui(new Ui_FireKey)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &FireKey::SlotChangeLanguage);
    PictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(NoticeDialog::NoticeWindowFlags());
    ApplyStyleSheets();
    SlotChangeLanguage(CurrentLanguageIndex());
    WheelGuard::InstallOn(this);
}

FireKey::~FireKey()
{
    delete ui;
}

void FireKey::SetInterval(int value)
{
    ui->Time->setValue(value);
}

void FireKey::SetCount(int value)
{
    ui->Count->setValue(value);
}

void FireKey::ApplyStyleSheets()
{
    const QString &P = PictureDir;
    const QString label = DialogTheme::LabelSheet();
    for (QWidget *widget : {ui->label, ui->label_2, ui->label_3})
        widget->setStyleSheet(label);
    const QString button = DialogTheme::TextButtonSheet(P);
    ui->NewHong->setStyleSheet(button);
    ui->NewHong_2->setStyleSheet(button);
    const QString field = DialogTheme::FieldSheet(QStringLiteral("QSpinBox"));
    ui->Count->setStyleSheet(field);
    ui->Time->setStyleSheet(field);
    ui->CloseButton->setStyleSheet(DialogTheme::CloseButtonSheet(P));
    // The background picture is stretched over the larger frame.
    ui->FireKeyA->setStyleSheet(
        QStringLiteral("#FireKeyA{border:0px;background-position:center;background-repeat:no-repeat;border-image: url(")
        + P + QStringLiteral("BackGround.png);}"));
}

void FireKey::on_CloseButton_clicked()
{
    Confirmed = false;
    close();
}

void FireKey::on_NewHong_2_clicked()
{
    Confirmed = false;
    close();
}

void FireKey::on_NewHong_clicked()
{
    Confirmed = true;
    IntervalValue = ui->Time->value();
    CountValue = ui->Count->value();
    close();
}

void FireKey::SlotChangeLanguage(int index)
{
    LanguageReader(QStringLiteral("FireKey"), {
                                                  {QStringLiteral("label"), PropertyTarget(ui->label)},
                                                  {QStringLiteral("label_2"), PropertyTarget(ui->label_2)},
                                                  {QStringLiteral("label_3"), PropertyTarget(ui->label_3)},
                                                  {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
                                                  {QStringLiteral("NewHong_2"), PropertyTarget(ui->NewHong_2)},
                                              })
        .Load(index);
}

void FireKey::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activateWindow();
    raise();
}
