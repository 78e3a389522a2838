#include "questiondialog.h"

#include "ui_questiondialog.h"

#include "dialogtheme.h"
#include "languagereader.h"
#include "macrofile.h"
#include "macrorecord.h"
#include "noticedialog.h"
#include "notices.h"
#include "paths.h"
#include "postmsg.h"

namespace {

constexpr int kNewMacroMode = 0;

bool CannotStandInAFileName(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control;
}

}  // namespace

QuestionDialog::QuestionDialog(QWidget *parent) : QDialog(parent), ui(new Ui_QuestionDialog)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &QuestionDialog::SlotChangeLanguage);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(NoticeDialog::NoticeWindowFlags());
    setFixedSize(size());
    connect(ui->NewHong_2, &QToolButton::clicked, this, &QuestionDialog::WindowClosedLan);
    ApplyStyleSheets();
    ui->lineEdit->setFocus(Qt::OtherFocusReason);
    SlotChangeLanguage(CurrentLanguageIndex());
}

QuestionDialog::~QuestionDialog()
{
    delete ui;
}

void QuestionDialog::ApplyStyleSheets()
{
    ui->Question->setStyleSheet(DialogTheme::FrameSheet(ui->Question->objectName(), pictureDir));
    ui->label->setStyleSheet(DialogTheme::LabelSheet());
    ui->lineEdit->setStyleSheet(DialogTheme::FieldSheet(QStringLiteral("QLineEdit")));
    const QString buttonSheet = DialogTheme::TextButtonSheet(pictureDir);
    ui->NewHong->setStyleSheet(buttonSheet);
    ui->NewHong_2->setStyleSheet(buttonSheet);
    ui->CloseButton->setStyleSheet(DialogTheme::CloseButtonSheet(pictureDir));
}

void QuestionDialog::SetLabelMode(int mode)
{
    ui->label->setText(mode == kNewMacroMode ? newPrompt : renamePrompt);
}

QString QuestionDialog::NameRule(const QString &text)
{
    QString name;
    for (const QChar c : text) {
        if (!CannotStandInAFileName(c))
            name.append(c);
    }
    if (name.endsWith(QLatin1Char(' ')))
        name.remove(QLatin1Char(' '));
    return MacroNamePrefix(name);
}

void QuestionDialog::on_lineEdit_textEdited(const QString &text)
{
    // Setting the text puts the cursor at the end, after every edit.
    ui->lineEdit->setText(NameRule(text));
}

void QuestionDialog::on_NewHong_clicked()
{
    const QString name = ui->lineEdit->text();
    if (!name.isEmpty() && !IsValidMacroName(name)) {
        ShowNameRefused(this);
        ui->lineEdit->selectAll();
        ui->lineEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    resultText = name;
    close();
}

QString QuestionDialog::NameRefusedText()
{
    QString text;
    LanguageReader(QStringLiteral("Question"), {{QStringLiteral("NameRefused"), StoreTarget(&text)}})
        .Load(CurrentLanguageIndex());
    return text;
}

void QuestionDialog::ShowNameRefused(QWidget *opener)
{
    UpDateWarning notice;
    notice.SetLabelText(NameRefusedText());
    PlaceOnOpener(&notice, opener);
    notice.exec();
}

void QuestionDialog::on_CloseButton_clicked()
{
    resultText.clear();
    close();
}

void QuestionDialog::WindowClosedLan()
{
    resultText.clear();
    close();
}

void QuestionDialog::SlotChangeLanguage(int index)
{
    LanguageReader(QStringLiteral("Question"), {
                                                   {QStringLiteral("label"), StoreTarget(&newPrompt)},
                                                   {QStringLiteral("label_2"), StoreTarget(&renamePrompt)},
                                                   {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
                                                   {QStringLiteral("NewHong_2"), PropertyTarget(ui->NewHong_2)},
                                               })
        .Load(index);
}

void QuestionDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activateWindow();
    raise();
}
