#pragma once
// The full-window background of the device list or the device page, painted
// into its frame at every paint (pagescene.h) rather than kept as a picture.
// The window below the frame fills nothing of its own (WA_OpaquePaintEvent),
// so the window area is filled once per paint. Only the two small pictures
// the scene uses are kept, decoded once and shared (picturecache.h).

#include "pagescene.h"

#include <QObject>
#include <QString>

class QWidget;

class PageBackground : public QObject
{
public:
    // `frame` covers the page; `pictureRoot` is the Picture/ folder, with its
    // trailing slash.
    PageBackground(QWidget *frame, PageScene::Kind kind, const QString &pictureRoot);

    static QString BrandPath(const QString &pictureRoot);
    static QString GrainPath(const QString &pictureRoot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_frame;
    PageScene::Kind m_kind;
    QString m_brandPath;
    QString m_grainPath;
};
