#include "formsetting.h"

#include "globals.h"
#include "languagereader.h"
#include "postmsg.h"
#include "updaterepair.h"

QString g_WiredModeText;

namespace {
constexpr int kPageWidth = 883;
constexpr int kPageHeight = 630;
}  // namespace

FormSetting::FormSetting(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormSetting"));
    setMaximumSize(kPageWidth, kPageHeight);

    // The one repair dialog of the run, hidden until a page shows it.
    g_UpDateRepair = new UpDateRepair(nullptr);
    g_UpDateRepair->hide();

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
    LanguageReader reader(QStringLiteral("FormSetting"),
                          {{QStringLiteral("WiredMode"), StoreTarget(&g_WiredModeText)}});
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
    Q_UNUSED(index);
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
