#pragma once
// The settings page, fourth of the device page's settings pages.
//
// It keeps the hidden repair dialog g_UpDateRepair for the whole run and the
// wired-mode text g_WiredModeText from its language element. Its one control
// is the sleep-time panel, which SigLightToFrom fills; the other hub signals
// that the device link and the main window send to it change nothing.

#include "flashdatamap.h"

#include <QString>
#include <QWidget>

struct DongleRGB;
class StopCloseTime;

// The text of tag WiredMode (empty until the page has loaded its texts); the
// main window's Space key and the tile click show it in an UpDateWarning.
extern QString g_WiredModeText;

class FormSetting : public QWidget
{
    Q_OBJECT
public:
    explicit FormSetting(QWidget *parent = nullptr);
    ~FormSetting() override;

public slots:
    // Blocking queued, from the data callback and the worker.
    void SlotRGBValue(DongleRGB *Rgb);
    void SlotLongRangeMode(bool Select);
    void SlotForm();
    void SlotFormResetForm();
    // Automatic connections.
    void SlotChangeLanguage(int index);
    void SlotLanguageSameB(int index);
    void SetVerText();
    void SlotLightToFrom(int index);
    void SlotFormB();
    void SetVer(int index);
    void SlotLabelText(int index, QString Text);
    void SlotCheckUpdate();
    void SlotLabelTextB(QString TextA, QString Text);
    void on_Start();
    void SlotContinue(int index);

private:
    StopCloseTime *frameClose = nullptr;  // the sleep-time panel
};
