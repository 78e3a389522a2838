#pragma once
// The wait popup "Please wait, we are updating the setting": covers the time
// in which the whole settings image travels to or from the mouse.
//
// An opener calls StartWaitTimer(), sets a mode, places the popup and runs
// exec(); 4500 ms later onTimeupDestroy() decides what happened and closes it:
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

class QFrame;
class QLabel;
class QTimer;

// 1 while the button page's import popup exists; chooses the popup's text.
extern int g_ImportRunning;

class UpDataParam : public QDialog
{
    Q_OBJECT
public:
    explicit UpDataParam(QWidget *parent = nullptr);
    ~UpDataParam() override;

    // Starts the single-shot 4500 ms timer; every opener calls it before exec().
    void StartWaitTimer();

    // Checks a settings file against the current mouse model.
    // 0: it fits and *out holds its image; 1: it cannot be read, its tag is
    // wrong or its image block is not a whole image (*out untouched); 2: the
    // sensor name differs (*out untouched) or the DPI level count is above
    // the model's DPIMaxGrade (*out written, not to be applied).
    static int CheckImportFile(const QString &path, FlashDataMap *out);

    QString importPath;
    bool importMode = false;
    bool resetWaitMode = false;

public slots:
    void onTimeupDestroy();
    void SlotChangeLanguage(int index);

private:
    void BuildForm();
    void ApplyStyleSheets();
    // Up to 12 passes of 500 ms; true as soon as both pages confirmed a fill.
    static bool WaitForPages();
    void FinishResetWait();
    void FinishImport();
    void FinishOfflineRead();
    void FinishRead();
    // Hands an imported or cached image to the pages.
    static void SendImageToPages(const FlashDataMap &image);

    QFrame *UpDataParamA = nullptr;
    QLabel *label = nullptr;
    QTimer *timer = nullptr;
    QString pictureDir;
};
