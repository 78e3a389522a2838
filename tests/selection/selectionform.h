#pragma once
// The named widgets of the device-selection page that the suites look at,
// found by object name as a user's tools would.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

struct SelectionForm {
    explicit SelectionForm(const QWidget *page)
        : frameChange(Find<QFrame>(page, "frameChange"))
        , comboBox(Find<QComboBox>(page, "comboBox"))
        , label_2(Find<QLabel>(page, "label_2"))
        , label_3(Find<QLabel>(page, "label_3"))
        , LeftButton(Find<QToolButton>(page, "LeftButton"))
        , RightButton(Find<QToolButton>(page, "RightButton"))
        , Repair(Find<QPushButton>(page, "Repair"))
        , stackedWidget(Find<QStackedWidget>(page, "stackedWidget"))
        , FindVer(Find<QFrame>(page, "FindVer"))
        , MinButton(Find<QToolButton>(page, "MinButton"))
        , CloseButton(Find<QToolButton>(page, "CloseButton"))
        , CloseButton_2(Find<QToolButton>(page, "CloseButton_2"))
        , NewHong(Find<QToolButton>(page, "NewHong"))
        , NoApear(Find<QCheckBox>(page, "NoApear"))
    {
    }

    QFrame *frameChange;
    QComboBox *comboBox;
    QLabel *label_2;
    QLabel *label_3;
    QToolButton *LeftButton;
    QToolButton *RightButton;
    QPushButton *Repair;
    QStackedWidget *stackedWidget;
    QFrame *FindVer;
    QToolButton *MinButton;
    QToolButton *CloseButton;
    QToolButton *CloseButton_2;
    QToolButton *NewHong;
    QCheckBox *NoApear;

private:
    template <typename T>
    static T *Find(const QWidget *page, const char *name)
    {
        T *child = page->findChild<T *>(QLatin1String(name));
        Q_ASSERT(child);
        return child;
    }
};
