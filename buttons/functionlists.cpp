#include "functionlists.h"

#include "ui_buttoninterface.h"

#include "listscroll.h"

#include <QButtonGroup>
#include <QScrollBar>

namespace {
const QString kRowsScrollBarWide = QStringLiteral("QScrollBar {width:10px;}");
const QString kRowsScrollBarHidden = QStringLiteral("QScrollBar {width:0px;}");
}  // namespace

FunctionLists::FunctionLists(Ui_Buttoninterface &form, QButtonGroup *details, QObject *parent)
    : QObject(parent), ui(form), m_details(details)
{
}

void FunctionLists::Close()
{
    ui.stackedWidget->setCurrentWidget(ui.page);
    ShowRowsScrollBar();
    ui.stackedWidget_2->setCurrentWidget(ui.page_9);
}

bool FunctionLists::FunctionListOpen() const
{
    return ui.stackedWidget->currentWidget() != ui.page;
}

bool FunctionLists::DetailListOpen() const
{
    return ui.stackedWidget_2->currentWidget() != ui.page_9;
}

void FunctionLists::OpenAt(QWidget *detailPage, QAbstractButton *category, QAbstractButton *function)
{
    ui.stackedWidget->setCurrentWidget(ui.page_2);
    ui.stackedWidget_2->setCurrentWidget(detailPage);
    if (category)
        category->setChecked(true);
    if (function)
        function->setChecked(true);
}

void FunctionLists::ShowDetail(QWidget *page)
{
    ui.stackedWidget_2->setCurrentWidget(page);
}

void FunctionLists::KeepFunctionListOpen()
{
    ui.stackedWidget->setCurrentWidget(ui.page_2);
    ShowRowsScrollBar();
    ui.stackedWidget_2->setCurrentWidget(ui.page_9);
}

void FunctionLists::ShowRowsScrollBar(bool wide)
{
    ui.scrollArea_11->verticalScrollBar()->setStyleSheet(wide ? kRowsScrollBarWide : kRowsScrollBarHidden);
}

void FunctionLists::ClearDetailHighlights()
{
    m_details->setExclusive(false);
    for (QAbstractButton *button : m_details->buttons())
        button->setChecked(false);
    m_details->setExclusive(true);
}

void FunctionLists::ScrollTo(QScrollArea *area, int position)
{
    area->verticalScrollBar()->setSliderPosition(ListScroll::WholeItemPosition(area, position));
}
