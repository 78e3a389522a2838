#include "adddelaytime.h"

#include "ui_adddelaytime.h"

#include "dialogtheme.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "paths.h"
#include "postmsg.h"
#include "wheelguard.h"

AddDelayTime::AddDelayTime(QWidget *parent) : QDialog(parent), ui(new Ui_AddDelayTime)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &AddDelayTime::SlotChangeLanguage);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(NoticeDialog::NoticeWindowFlags());
    // Text below the minimum settles to the nearest valid value, so that OK
    // hands back what the box then shows.
    ui->spinBox->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    ApplyStyleSheets();
    ui->spinBox->setFocus(Qt::ActiveWindowFocusReason);
    SlotChangeLanguage(CurrentLanguageIndex());
    WheelGuard::InstallOn(this);
}

AddDelayTime::~AddDelayTime()
{
    delete ui;
}

void AddDelayTime::ApplyStyleSheets()
{
    ui->label->setStyleSheet(DialogTheme::LabelSheet());
    const QString buttonSheet = DialogTheme::TextButtonSheet(pictureDir);
    ui->NewHong->setStyleSheet(buttonSheet);
    ui->NewHong_2->setStyleSheet(buttonSheet);
    ui->spinBox->setStyleSheet(DialogTheme::FieldSheet(QStringLiteral("QSpinBox")));
    ui->CloseButton->setStyleSheet(DialogTheme::CloseButtonSheet(pictureDir));
    ui->AddDelayTimeA->setStyleSheet(DialogTheme::FrameSheet(ui->AddDelayTimeA->objectName(), pictureDir));
}

void AddDelayTime::on_CloseButton_clicked()
{
    accepted = false;
    close();
}

void AddDelayTime::on_NewHong_clicked()
{
    // OK is a tool button and takes no focus: text still being typed is
    // settled here, not when the box loses the focus.
    ui->spinBox->interpretText();
    accepted = true;
    delay = ui->spinBox->value();
    close();
}

void AddDelayTime::on_NewHong_2_clicked()
{
    accepted = false;
    close();
}

void AddDelayTime::SlotChangeLanguage(int index)
{
    LanguageReader(QStringLiteral("AddDelayTime"), {
                                                       {QStringLiteral("label"), PropertyTarget(ui->label)},
                                                       {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
                                                       {QStringLiteral("NewHong_2"), PropertyTarget(ui->NewHong_2)},
                                                   })
        .Load(index);
}

void AddDelayTime::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activateWindow();
    raise();
}
