#include "formsetting.h"

#include "globals.h"
#include "languagereader.h"
#include "postmsg.h"
#include "sleeptime.h"
#include "stopclosetime.h"
#include "updaterepair.h"

QString g_WiredModeText;

namespace {
constexpr int kPageWidth = 883;
constexpr int kPageHeight = 630;
const QRect kSleepPanelGeometry(250, 365, 145, 35);
}  // namespace

FormSetting::FormSetting(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormSetting"));
    setMaximumSize(kPageWidth, kPageHeight);

    // The one repair dialog of the run, hidden until a page shows it.
    g_UpDateRepair = new UpDateRepair(nullptr);
    g_UpDateRepair->hide();

    frameClose = new StopCloseTime(this);
    frameClose->setObjectName(QStringLiteral("frameClose"));
    frameClose->setGeometry(kSleepPanelGeometry);

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigForm, this, &FormSetting::SlotForm, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigChangeLanguage, this, &FormSetting::SlotChangeLanguage);
    connect(hub, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
    connect(hub, &PostMsg::SigSetNewVer, this, &FormSetting::SetVerText);
    connect(hub, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    connect(hub, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(hub, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(hub, &PostMsg::SigLabelText, this, &FormSetting::SlotLabelText);
    connect(hub, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(hub, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    connect(hub, &PostMsg::SigUpdateStart, this, &FormSetting::on_Start);
    connect(hub, &PostMsg::SigContinue, this, &FormSetting::SlotContinue);

    SlotChangeLanguage(CurrentLanguageIndex());
}

FormSetting::~FormSetting()
{
    delete g_UpDateRepair;
    g_UpDateRepair = nullptr;
}

void FormSetting::SlotChangeLanguage(int index)
{
    TagMap tags{{QStringLiteral("WiredMode"), StoreTarget(&g_WiredModeText)}};
    // The sleep-time panel's items: tags StopCloseTime, StopCloseTime1, StopCloseTime2, ...
    for (int item = 0; item < SleepTime::kItemCount; ++item) {
        const QString tag = item == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime%1").arg(item);
        tags.insert(tag, [this, item](const QString &text) { frameClose->SetItemText(item, text); });
    }
    LanguageReader reader(QStringLiteral("FormSetting"), tags);
    reader.Load(index);
}

void FormSetting::SlotRGBValue(DongleRGB *Rgb)
{
    Q_UNUSED(Rgb);
}

void FormSetting::SlotLongRangeMode(bool Select)
{
    Q_UNUSED(Select);
}

void FormSetting::SlotForm() {}

void FormSetting::SlotFormResetForm() {}

void FormSetting::SlotLanguageSameB(int index)
{
    Q_UNUSED(index);
}

void FormSetting::SetVerText() {}

void FormSetting::SlotLightToFrom(int index)
{
    // A time the mouse does not offer changes nothing; SetCurrentIndex sends nothing.
    const int item = SleepTime::ItemOfSeconds(index);
    if (item >= 0)
        frameClose->SetCurrentIndex(item);
}

void FormSetting::SlotFormB() {}

void FormSetting::SetVer(int index)
{
    Q_UNUSED(index);
}

void FormSetting::SlotLabelText(int index, QString Text)
{
    Q_UNUSED(index);
    Q_UNUSED(Text);
}

void FormSetting::SlotCheckUpdate() {}

void FormSetting::SlotLabelTextB(QString TextA, QString Text)
{
    Q_UNUSED(TextA);
    Q_UNUSED(Text);
}

void FormSetting::on_Start() {}

void FormSetting::SlotContinue(int index)
{
    Q_UNUSED(index);
}
