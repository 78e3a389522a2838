#include "translucentwindows.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

std::function<bool()> &Probe()
{
    static std::function<bool()> probe;
    return probe;
}

template <typename Reply>
struct FreedReply {
    Reply *reply;
    ~FreedReply() { std::free(reply); }
};

// Asks the X server whether a client owns _NET_WM_CM_S<screen>, the selection
// a compositing manager holds while it runs.
bool X11CompositorRunning()
{
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    bool running = true;  // no answer: leave the windows as they are
    if (!xcb_connection_has_error(connection)) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
        const FreedReply<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr)};
        running = false;
        if (atom.reply && atom.reply->atom != XCB_NONE) {
            const FreedReply<xcb_get_selection_owner_reply_t> owner{xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, atom.reply->atom), nullptr)};
            running = owner.reply && owner.reply->owner != XCB_NONE;
        }
    }
    xcb_disconnect(connection);
    return running;
}

bool IsFramelessTranslucentWindow(const QWidget *widget)
{
    return widget->isWindow() && widget->testAttribute(Qt::WA_TranslucentBackground)
        && widget->windowFlags().testFlag(Qt::FramelessWindowHint);
}

class ShowWatcher : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (IsFramelessTranslucentWindow(widget))
                TranslucentWindows::Shape(widget);
        }
        return false;
    }
};

}  // namespace

namespace TranslucentWindows {

void Install()
{
    static ShowWatcher *watcher = nullptr;
    if (watcher || !qApp)
        return;
    watcher = new ShowWatcher;
    qApp->installEventFilter(watcher);
}

bool CompositorRunning()
{
    if (Probe())
        return Probe()();
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    return X11CompositorRunning();
}

void SetCompositorProbe(std::function<bool()> probe)
{
    Probe() = std::move(probe);
}

QRegion PaintedRegion(QWidget *window)
{
    QImage painted(window->size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    window->render(&painted, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRegion region(QBitmap::fromImage(painted.createAlphaMask()));
    return region.isEmpty() ? QRegion(window->rect()) : region;
}

void Shape(QWidget *window)
{
    if (CompositorRunning())
        window->clearMask();
    else
        window->setMask(PaintedRegion(window));
}

}  // namespace TranslucentWindows
