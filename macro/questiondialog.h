#pragma once
// The macro name dialog: asks for the name of a new macro (mode 0) or a new
// name for the selected one (mode 1).
//
// The opener builds it on its stack without a parent, calls SetLabelMode,
// places it, runs exec() and reads resultText: the name after OK, empty after
// Cancel, the close button or Escape (exec()'s result means nothing).
//
// The line edit keeps every name a macro can take: characters that cannot
// stand in a file name ("/", "\", control characters) are dropped as they are
// typed, a blank typed at the end removes all blanks, and the name is cut to
// the device record's 30 bytes in the local 8-bit encoding, between whole
// characters. OK with a name the macro folder would not list back under the
// same name (IsValidMacroName) shows the rule such a name breaks and keeps
// the dialog open with the text selected.

#include <QDialog>
#include <QString>

class Ui_QuestionDialog;

class QuestionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionDialog(QWidget *parent = nullptr);
    ~QuestionDialog() override;

    // 0: the new-macro prompt; any other mode: the rename prompt.
    void SetLabelMode(int mode);

    // The text the line edit keeps of `text` as typed.
    static QString NameRule(const QString &text);
    // The notice that a name breaks the rules of macro names (no leading
    // ".", no "xml", no ".ini"), placed over `opener`, run modally.
    static void ShowNameRefused(QWidget *opener);
    static QString NameRefusedText();

    QString resultText;

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void WindowClosedLan();
    void on_lineEdit_textEdited(const QString &text);
    void SlotChangeLanguage(int index);

protected:
    // The window bypasses the window manager, so it gets the keyboard only
    // once it is activated.
    void showEvent(QShowEvent *event) override;

private:
    void ApplyStyleSheets();

    Ui_QuestionDialog *ui;
    QString pictureDir;
    QString newPrompt;
    QString renamePrompt;
};
