#pragma once
// The widgets of the pairing dialog (form "Match", 458 x 242): a background
// frame, the instructions, the wired-mode hint, the start button, the close
// button and two small decorations.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

class QDialog;

class Ui_Match
{
public:
    QFrame *MatchA = nullptr;
    QToolButton *toolButton_2 = nullptr;
    QToolButton *CloseButton = nullptr;
    QPushButton *MatchButton = nullptr;
    QTextEdit *textEdit = nullptr;
    QLabel *label = nullptr;
    QToolButton *toolButton_3 = nullptr;

    void setupUi(QDialog *dialog);
    void retranslateUi(QDialog *dialog);
};
