#pragma once
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

class QPainter;

// The one table of the picture set: every picture the forms load from
// Picture/<folder>/<name>.png, its size (the size of the widget that shows
// it), where it is used, which picture it is a state variant of, and the
// function that draws it.
struct PictureEntry
{
    QString folder;     // below Picture/
    QString name;       // file name without ".png"
    QSize size;
    QString usedBy;     // the forms and widgets that show it
    QString variantOf;  // hover/pressed/checked variant of this name; empty if none
    std::function<void(QPainter &, const QRectF &)> paint;

    // "Picture/<folder>/<name>.png"
    QString RelativePath() const;
};

const QVector<PictureEntry> &PictureTable();

// The section marker that the settings form carries compiled in
// (":/sensor/Source/SensorImage/Title.png"); the same drawing as the
// FormSetting picture "Title".
const PictureEntry &CompiledTitleEntry();

// Draws one picture at its size (premultiplied ARGB, transparent where
// nothing is drawn).
QImage RenderPicture(const PictureEntry &entry);
