#include "progress.h"

#include "globals.h"
#include "postmsg.h"

#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

namespace {

NoticeLayout ProgressLayout()
{
    return {"Progress", "AddDelayTimeA", QRect(10, 15, 281, 51), QString(),
            {{"NewHong", QPoint(110, 110), QStringLiteral("确定")}}};
}

const char kProgressBarSheet[]
    = "QProgressBar{\n"
      "border: 2px solid grey;\n"
      "border-radius: 5px;\n"
      "background-color: TRANSPARENT;\n"
      "color: rgb(255, 255, 255);\n"
      "}\n"
      "QProgressBar::chunk{\n"
      "background-color: rgb(80, 240, 0);\n"
      "width: 20px;\n"
      "}\n"
      "QProgressBar{\n"
      "border: 2px solid grey;\n"
      "border-radius: 5px;\n"
      "text-align: center;\n"
      "}";

}  // namespace

Progress::Progress(QWidget *parent)
    : NoticeDialog(ProgressLayout(), parent)
{
    ui.label->setLayoutDirection(Qt::LeftToRight);
    ui.label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    ui.CloseButton->setFocusPolicy(Qt::NoFocus);
    ui.NewHong->setFocusPolicy(Qt::NoFocus);
    BuildProgressBar();

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Progress::SlotChangeLanguage);
    connect(hub, &PostMsg::SigCloseProgress, this, &Progress::SlotCloseProgress);
    BindButtonSlots();
    SlotChangeLanguage(StoredLanguageIndex());

    ui.NewHong->hide();
    ui.label->setText(PercentageLine(1));
}

Progress::~Progress() = default;

void Progress::BuildProgressBar()
{
    auto *bar = new QProgressBar(ui.frame);
    bar->setObjectName(QStringLiteral("progressBar_2"));
    bar->setGeometry(QRect(30, 70, 241, 26));
    bar->setFont(ui.label->font());
    bar->setStyleSheet(QString::fromLatin1(kProgressBarSheet));
    bar->setValue(0);
    bar->setInvertedAppearance(false);
    bar->setTextDirection(QProgressBar::TopToBottom);
    bar->setFormat(QString());
    ui.progressBar_2 = bar;
}

void Progress::SlotChangeLanguage(int index)
{
    // The label is not rewritten: a new prefix shows with the next report.
    const TagMap targets{
        {QStringLiteral("Confirm"), PropertyTarget(ui.NewHong)},
        {QStringLiteral("UpdateNotMove"), StoreTarget(&updateNotMoveText)},
        {QStringLiteral("UpDateFail"), StoreTarget(&updateFailText)},
        {QStringLiteral("UpDateSuccess"), StoreTarget(&updateSuccessText)},
    };
    LoadTexts(index, QStringLiteral("Progress"), targets);
}

QString Progress::PercentageLine(int percent) const
{
    return updateNotMoveText + QStringLiteral(": ") + QString::number(percent) + QLatin1Char('%');
}

void Progress::ShowPercentage(int percent)
{
    ui.label->setText(PercentageLine(percent));
    state = State::Running;
}

void Progress::Reset()
{
    ShowPercentage(0);
    ui.progressBar_2->setValue(0);
}

void Progress::SlotProgress(int schedue, int Discrib)
{
    ui.progressBar_2->setValue(schedue);
    switch (Discrib) {
    case 0:
        ShowPercentage(schedue);
        break;
    case 1:
        ui.NewHong->setShortcut(QKeySequence(Qt::Key_Return));
        ui.label->setText(updateFailText);
        state = State::Failed;
        ui.NewHong->show();
        break;
    case 2:
        ui.NewHong->setShortcut(QKeySequence(Qt::Key_Return));
        ui.label->setText(updateSuccessText);
        state = State::Succeeded;
        ui.progressBar_2->setValue(100);
        ui.NewHong->show();
        break;
    case 3:
        ui.NewHong->hide();
        break;
    case 4:
        ui.NewHong->hide();
        Reset();
        break;
    default:
        break;
    }
}

void Progress::SlotCloseProgress()
{
    if (g_UpdateBusy)
        return;
    CloseNow();
    Reset();
}

void Progress::on_CloseButton_clicked()
{
    if (g_UpdateBusy)
        return;
    Finish();
}

void Progress::on_NewHong_clicked()
{
    Finish();
}

void Progress::reject()
{
    if (closingItself) {
        QDialog::reject();
        return;
    }
    on_CloseButton_clicked();
}

void Progress::Finish()
{
    if (state == State::Failed) {
        PostMsg::GetInstance()->EmitChangeMainDialog(0);
        CloseNow();
        return;
    }
    CloseNow();
    Reset();
    PostMsg::GetInstance()->EmitContinue(0);
}

// close() asks reject() on a visible dialog; this close must not loop back
// into the close-button handling.
void Progress::CloseNow()
{
    closingItself = true;
    close();
    closingItself = false;
}
