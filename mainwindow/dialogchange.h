#pragma once
// The device-selection page, index 0 of the main window's page stack.
//
// Its constructor registers the selection page's USB-change callback: the page
// makes no scan of its own, the library's first call of the callback brings
// the device list. So far the page shows its background, its prompt and its
// minimise and close buttons, and keeps the texts that other classes read;
// the device tiles, the language box, the repair button and the page arrows
// come with the device-selection page's own work.

#include <QWidget>

class QFrame;
class QLabel;
class QToolButton;

class DialogChange;

// The one selection page (set by its constructor).
extern DialogChange *g_DialogChange;
// Application folder + "/Picture/DialogChange/"; the tiles use it too.
extern QString g_DialogChangePictureDir;
// Texts of the page's language element kept for later use.
extern QString g_ConnectPromptText;     // tag label_2
extern QString g_RepairDeviceText;      // tag RepairDevice
extern QString g_OfflineTips1Text;      // tag OfflineTips1
extern QString g_OfflineTips2Text;      // tag OfflineTips2
extern QString g_MouseIsNewTipsText;    // tag MouseIsNewTips: the main window's repair question

class DialogChange : public QWidget
{
    Q_OBJECT
public:
    explicit DialogChange(QWidget *parent = nullptr);
    ~DialogChange() override;

public slots:
    // SigChangeSize(2): the main window hides itself.
    void on_MinButton_clicked();
    // SigChangeSize(3): the main window closes the application.
    void on_CloseButton_clicked();
    // Loads the page's texts for a language index.
    void ChangeDialogLanguage(int index);

private:
    void BuildForm();
    void ApplyStyleSheets();

    QFrame *frameChange = nullptr;
    QToolButton *MinButton = nullptr;
    QToolButton *CloseButton = nullptr;
    QLabel *label_2 = nullptr;
};
