#pragma once
// The fifteen notice and question dialogs. Openers build one as a local
// object with no parent, optionally replace its message, place it with
// PlaceOnOpener(), run exec() and read accepted() where a class has it; exec()
// itself always reports rejection, since every button closes with close().

#include "noticedialog.h"

#include <QString>

// Two identical devices were found.
class QuestiondialogB : public NoticeDialog
{
    Q_OBJECT
public:
    explicit QuestiondialogB(QWidget *parent = nullptr);
    ~QuestiondialogB() override;

public slots:
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);

private:
    void FillBelowFrame();
};

// The mouse is offline; closes itself when the device is back.
class MouseOffLine : public NoticeDialog
{
    Q_OBJECT
public:
    explicit MouseOffLine(QWidget *parent = nullptr);
    ~MouseOffLine() override;

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
};

// An assignment would take the left-click function away.
class LeftButtonOnly : public NoticeDialog
{
    Q_OBJECT
public:
    explicit LeftButtonOnly(QWidget *parent = nullptr);
    ~LeftButtonOnly() override;

public slots:
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
};

// A macro assignment while no macro exists.
class MakeMacro : public NoticeDialog
{
    Q_OBJECT
public:
    explicit MakeMacro(QWidget *parent = nullptr);
    ~MakeMacro() override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    void SlotChangeLanguage(int index);
};

// A macro name already in use.
class SameMacro : public NoticeDialog
{
    Q_OBJECT
public:
    explicit SameMacro(QWidget *parent = nullptr);
    ~SameMacro() override;

public slots:
    void on_NewHong_clicked();
    void SlotChangeLanguage(int index);
    void on_CloseButton_clicked();
};

// A key combination of more than three keys.
class GroupMaxThree : public NoticeDialog
{
    Q_OBJECT
public:
    explicit GroupMaxThree(QWidget *parent = nullptr);
    ~GroupMaxThree() override;

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
};

// Asks before restoring the default settings; Return clicks OK.
class ContainReset : public NoticeDialog
{
    Q_OBJECT
public:
    explicit ContainReset(QWidget *parent = nullptr);
    ~ContainReset() override;

    // True only after the positive button was clicked.
    bool accepted() const { return accepted_; }
    void SetLabelText(QString text);

public slots:
    void on_CloseButton_clicked();
    void on_OK_clicked();
    void on_Cancel_clicked();
    void SlotChangeLanguage(int index);

private:
    bool accepted_ = false;
};

// A macro recording reached its event limit.
class KeyNumberLimit : public NoticeDialog
{
    Q_OBJECT
public:
    explicit KeyNumberLimit(QWidget *parent = nullptr);
    ~KeyNumberLimit() override;

public slots:
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
    void on_NewHong_clicked();
};

// Asks whether to pair again.
class RePair : public NoticeDialog
{
    Q_OBJECT
public:
    explicit RePair(QWidget *parent = nullptr);
    ~RePair() override;

    // True only after the positive button was clicked.
    bool accepted() const { return accepted_; }

public slots:
    void on_CloseButton_clicked();
    void on_OK_clicked();
    void on_Cancel_clicked();
    void SlotChangeLanguage(int index);

private:
    bool accepted_ = false;
};

// Asks before deleting a macro.
class DeleteConfirm : public NoticeDialog
{
    Q_OBJECT
public:
    explicit DeleteConfirm(QWidget *parent = nullptr);
    ~DeleteConfirm() override;

    // True only after the positive button was clicked.
    bool accepted() const { return accepted_; }

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);

private:
    bool accepted_ = false;
};

// Another copy of the program runs; the macro editor also shows its two other texts.
class ExeIsRun : public NoticeDialog
{
    Q_OBJECT
public:
    explicit ExeIsRun(QWidget *parent = nullptr);
    ~ExeIsRun() override;

    // Show the texts of tags label_2 and PleaseStop (empty when the file lacks them).
    void ShowLabel2Text();
    void ShowPleaseStopText();

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);

private:
    QString label2Text;
    QString pleaseStopText;
};

// A settings file that cannot be imported; an export that could not be
// written shows the text of tag WriteFail instead.
class InportFail : public NoticeDialog
{
    Q_OBJECT
public:
    explicit InportFail(QWidget *parent = nullptr);
    ~InportFail() override;

    // Shows the failed-write text (empty when the file lacks it), also after
    // a language change.
    void ShowWriteFailText();

public slots:
    void on_NewHong_clicked();
    void SlotChangeLanguage(int index);
    void on_CloseButton_clicked();

private:
    bool writeFailed = false;
    QString writeFailText;
};

// A firmware notice whose message the opener sets; Return clicks NewHong.
class UpDateWarning : public NoticeDialog
{
    Q_OBJECT
public:
    explicit UpDateWarning(QWidget *parent = nullptr);
    ~UpDateWarning() override;
    void SetLabelText(QString text);

public slots:
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
    void on_NewHong_clicked();
};

// A debounce time of 3 or less was chosen.
class LessThree : public NoticeDialog
{
    Q_OBJECT
public:
    explicit LessThree(QWidget *parent = nullptr);
    ~LessThree() override;

public slots:
    void on_NewHong_clicked();
    void on_CloseButton_clicked();
    void SlotChangeLanguage(int index);
};

// Newer firmware was found.
class FindNewVer : public NoticeDialog
{
    Q_OBJECT
public:
    explicit FindNewVer(QWidget *parent = nullptr);
    ~FindNewVer() override;

public slots:
    void on_NewHong_clicked();
    void SlotChangeLanguage(int index);
    void on_CloseButton_clicked();
};

