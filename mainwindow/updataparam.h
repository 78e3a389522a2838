#pragma once
// The wait popup "Please wait, we are updating the setting": covers the time
// in which the whole settings image travels to or from the mouse.
//
// An opener calls StartWaitTimer(), sets a mode, places the popup and runs
// exec(); 4500 ms later onTimeupDestroy() decides what happened and closes it
// (after a read or a re-read it does so as soon as both pages have confirmed
// a fill made after the popup opened; the timer stays the upper bound):
// - no mode (after a full read): waits for the pages to confirm their fill,
//   falls back to the cached image when the device was found offline and
//   creates the model's cache file on its first read;
// - resetWaitMode (a reset to defaults or a re-read the mouse asked for):
//   only waits for the pages;
// - importMode (a settings file chosen for import): checks importPath against
//   the current model and applies it, or explains why not.

#include "flashdatamap.h"

#include <QDialog>
#include <QString>

class QShowEvent;
class QTimer;
class Ui_UpDataParam;

// 1 while the button page's import popup exists; chooses the popup's text
// (tag label_1 instead of label). The button page sets it around the popup.
extern int g_ImportRunning;
// The button page's name for the same flag.
extern int &g_ImportPopupText;

class UpDataParam : public QDialog
{
    Q_OBJECT
public:
    explicit UpDataParam(QWidget *parent = nullptr);
    ~UpDataParam() override;

    // Starts the single-shot 4500 ms timer; every opener calls it before exec().
    void StartWaitTimer();

    // The page that opened the popup is gone (back to the device list): the
    // wait ends here, without its outcome, and the popup closes.
    void Abandon();

    // Checks a settings file against the current mouse model (the Config.ini
    // group of g_CurrentDevice).
    // 0: it fits and *out holds its image.
    // 1: it cannot be opened, or it is not a settings file: its tag is not
    //    "Qelvo", a name block is longer than any exporter writes, or the
    //    image block is not exactly one whole image (*out untouched).
    // 2: the sensor name differs (*out untouched) or the DPI level count is
    //    above the model's DPIMaxGrade (*out written, not to be applied).
    static int CheckImportFile(const QString &path, FlashDataMap *out);
    // The same check of a file's content already read.
    static int CheckImportContent(QByteArray content, FlashDataMap *out);

    // Set by the opener after StartWaitTimer() and before exec().
    QString importPath;
    bool importMode = false;
    bool resetWaitMode = false;
    // The button page's names for the same three members.
    QString &ImportPath = importPath;
    bool &ImportMode = importMode;
    bool &ResetWaitMode = resetWaitMode;

public slots:
    void onTimeupDestroy();
    void SlotChangeLanguage(int index);

protected:
    // Escape would end exec() before the timer slot ran and so drop an
    // import unseen; while the wait runs the popup cannot be dismissed.
    void reject() override;
    void showEvent(QShowEvent *event) override;

private slots:
    // A page confirmed a fill: ends the wait early once both have, since the
    // popup opened (not for an import, which keeps its timer).
    void CheckPagesFilled();

private:
    void ApplyStyleSheets();
    // Up to 12 passes of 500 ms; true as soon as both pages confirmed a fill
    // (false also when the wait was abandoned meanwhile).
    bool WaitForPages();
    // Ends the wait: the popup may be dismissed again, and closes.
    void CloseAfterWait();
    void FinishResetWait();
    void FinishImport();
    void FinishOfflineRead();
    void FinishRead();
    // Hands an imported or cached image to the pages.
    static void SendImageToPages(const FlashDataMap &image);

    Ui_UpDataParam *ui;
    QTimer *timer = nullptr;
    QString pictureDir;
    // From StartWaitTimer() until the timer slot closes the popup.
    bool waiting = false;
    // Set by Abandon(); the outcome steps still to come are skipped.
    bool abandoned = false;
    // The pages' confirmation counts when the popup opened.
    quint64 sensorFillsAtStart = 0;
    quint64 buttonFillsAtStart = 0;
};
