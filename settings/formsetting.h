#pragma once
// The settings page, fourth of the device page's settings pages.
//
// What the rest of the program relies on today: it keeps the hidden repair
// dialog g_UpDateRepair for the whole run and the wired-mode text
// g_WiredModeText from its language element, and it answers the hub signals
// that the device link and the main window send to it. Its controls
// (language, versions and updates, pairing, autostart, receiver options,
// sleep time) are added by the settings page's own work.

#include "flashdatamap.h"

#include <QString>
#include <QWidget>

struct DongleRGB;

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
};
