#pragma once
#include <QLineEdit>

// The line edit of the key-capture dialogs: it shows what the dialog captured
// and takes no typing. Its key handlers do nothing, so a key pressed while it
// has the focus neither changes the text nor travels on to the dialog.
class MyLineEdit : public QLineEdit
{
public:
    explicit MyLineEdit(QWidget *parent = nullptr);
    ~MyLineEdit() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
