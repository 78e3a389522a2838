#pragma once
// The button page's two stacked lists (the function list and the detail
// lists, which share their place with the debounce panel) and the scroll
// bar of the rows' area: closed or open at a function, and the scroll
// positions that bring a function into view.

#include <QObject>

class QAbstractButton;
class QButtonGroup;
class QScrollArea;
class QWidget;
class Ui_Buttoninterface;

class FunctionLists : public QObject
{
public:
    // `details` is the exclusive group of the detail lists' buttons.
    FunctionLists(Ui_Buttoninterface &ui, QButtonGroup *details, QObject *parent);

    // The closed state: the empty function page, the debounce panel, and the
    // rows' 10 px scroll bar.
    void Close();
    bool FunctionListOpen() const;
    bool DetailListOpen() const;
    // Shows the function list and `detailPage`, checking `category` and
    // `function` where given.
    void OpenAt(QWidget *detailPage, QAbstractButton *category, QAbstractButton *function);
    // Shows `page` in the detail lists' place.
    void ShowDetail(QWidget *page);
    // The function list stays open with the debounce panel beside it.
    void KeepFunctionListOpen();
    // The rows' vertical scroll bar: 10 px wide, or 0 px.
    void ShowRowsScrollBar(bool wide = true);
    // Clears every highlight of the detail lists (macro buttons included).
    void ClearDetailHighlights();
    // Scrolls `area` to `position`, a whole item's place.
    static void ScrollTo(QScrollArea *area, int position);

private:
    Ui_Buttoninterface &ui;
    QButtonGroup *m_details;
};
