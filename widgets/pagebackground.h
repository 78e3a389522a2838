#pragma once
// The full-window background picture of a page (a frame's border-image
// style sheet), resident only while the page can be seen. The device list and
// the device page each have one of 1020 x 700; only one of them is shown at a
// time, so only one is kept decoded.
//
// The page attaches its background when it is polished for its first show
// (before its children are, so they are styled once) and at every later
// show, and releases it when it is hidden.

#include <QString>

class QWidget;

class PageBackground
{
public:
    // `frame` gets `styleSheet`, which names the picture `picturePath`.
    PageBackground(QWidget *frame, QString styleSheet, QString picturePath);

    void Attach();
    // Clears the style sheet and drops the decoded picture from Qt's pixmap
    // cache, so its memory goes with it.
    void Release();
    bool Attached() const { return m_attached; }

    // The key under which QPixmap keeps a picture loaded from `path` in
    // QPixmapCache (how Qt 5 names it).
    static QString CacheKeyOf(const QString &path);

private:
    QWidget *m_frame;
    QString m_styleSheet;
    QString m_picturePath;
    bool m_attached = false;
};
