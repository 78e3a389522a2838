#include "pagebackground.h"

#include "picturecache.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

PageBackground::PageBackground(QWidget *frame, PageScene::Kind kind, const QString &pictureRoot)
    : QObject(frame),
      m_frame(frame),
      m_kind(kind),
      m_brandPath(BrandPath(pictureRoot)),
      m_grainPath(GrainPath(pictureRoot))
{
    // The scene is the whole look: no panel edge of the widget style on top.
    // The frame keeps a sheet of its own, as when its picture was a sheet's
    // border image: everything below it is styled (and measured) through the
    // style-sheet style, as the pages' own sheets expect.
    m_frame->setStyleSheet(QLatin1Char('#') + m_frame->objectName() + QStringLiteral("{border:none;}"));
    m_frame->installEventFilter(this);
}

QString PageBackground::BrandPath(const QString &pictureRoot)
{
    return pictureRoot + QStringLiteral("Dialog/Brand.png");
}

QString PageBackground::GrainPath(const QString &pictureRoot)
{
    return pictureRoot + QStringLiteral("Dialog/Grain.png");
}

// Painted before the frame's own paint (it draws no frame of its own).
bool PageBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame && event->type() == QEvent::Paint) {
        QPainter painter(m_frame);
        painter.setClipRegion(static_cast<QPaintEvent *>(event)->region());
        PageScene::Paint(painter, m_kind, PictureCache::Get(m_brandPath), PictureCache::Get(m_grainPath));
    }
    return QObject::eventFilter(watched, event);
}
