#pragma once
// What the page host shows: one tab per entry, each a dark page like the
// device page's content area. To show another page or a set of panels, add
// an entry to HostedPages() whose function builds the widget and fills it
// from the current mouse's settings image.

#include "flashdatamap.h"

#include <QString>
#include <QVector>
#include <functional>

class QWidget;

struct HostedPage
{
    QString title;
    // Builds the widget (parentless; the host takes it over) and fills it.
    std::function<QWidget *(const FlashDataMap &image)> build;
};

QVector<HostedPage> HostedPages();

// The content area of the device page: dark, with `content` at its top-left
// corner.
QWidget *DarkPage(QWidget *content);
