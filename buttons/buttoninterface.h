#pragma once
// The button assignment page, first of the device page's four settings pages.
//
// It owns the one Worker (created here, stopped by the destructor) and answers
// the image signals: every fill raises g_ButtonRefreshing for its duration,
// and a fill from a device read ends with g_ButtonFilled set, which the wait
// popup waits for. Its one control is the debounce panel; a fill also hands
// the image's sleep time on to the settings page (SigLightToFrom). The macro
// and profile slots accept their signals and change nothing.

#include "flashdatamap.h"

#include <QString>
#include <QWidget>

class DebounceTime;

class Buttoninterface : public QWidget
{
    Q_OBJECT
public:
    explicit Buttoninterface(QWidget *parent = nullptr);
    ~Buttoninterface() override;

public slots:
    // SigUpDataLightUIButton (blocking queued): a whole image read from the
    // mouse or taken from the cache.
    void SlotUpDataButtonUIButton(FlashDataMap DataMap);
    // SigUpDataButtonUIC: an imported settings file or the cached image that
    // the wait popup applied.
    void SlotUpDataButtonUIB(FlashDataMap DataMap);
    // SigFormReset (blocking queued): the device is offline and no cached image exists.
    void SlotFormResetButton();
    // SigUpDataConfigUI (blocking queued): the profile choice.
    void SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable);
    void SlotAddMacroButton();
    void SlotDeleteMacroButton(QString MacroName);
    void SlotUpDataMacro(QString MacroName, int index);
    void SlotMacroRename(QString Rename, QString Name);
    void SlotMouseIndex(int index);
    void SlotChangeLanguage(int index);

private:
    // The sleep time of an image in seconds, as the settings page shows it.
    static int SleepSeconds(const FlashDataMap &image);

    DebounceTime *DebunceButton = nullptr;  // the debounce panel
};
