#include "panelfixture.h"

#include "devicesession.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <cstring>
#include <memory>

namespace PanelFixture {

const char *const kMouse = "m1";
const char *const kReceiver = "r4k";
const char *const kReceiverMouse = "m2";

namespace {

int s_imagesBefore = 0;
// The mouse whose stored image the helpers read and seed.
const char *s_mouse = kMouse;

std::unique_ptr<TestSupport::ModalWatcher> s_watcher;

}  // namespace

namespace {

void Open(const char *device, const char *mouse)
{
    s_mouse = mouse;
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    if (!TestSupport::OpenAsCurrentDevice(device))
        qFatal("the device %s was not read", device);
    g_WritesAllowed = 1;
    g_SensorRefreshing = 0;
    g_ButtonRefreshing = 0;
    s_imagesBefore = int(HidSim::CallsOf("ProtocolDataUpdate").size());
}

}  // namespace

void OpenMouse()
{
    Open(kMouse, kMouse);
}

void OpenReceiverMouse()
{
    Open(kReceiver, kReceiverMouse);
}

void SeedByte(int offset, int value)
{
    QByteArray stored = HidSim::StoredImage(s_mouse);
    stored[offset] = char(value);
    HidSim::SetStoredImage(s_mouse, stored);
    FlashDataMap image = ReadImage();
    reinterpret_cast<uint8_t *>(&image)[offset] = uint8_t(value);
    StoreImage(image);
}

void UnplugMouse()
{
    HidSim::SetCable(kMouse, false);
    HidSim::WaitUntilIdle();
}

QByteArray StoredImage()
{
    return HidSim::StoredImage(s_mouse);
}

int StoredByte(int offset)
{
    return uint8_t(StoredImage().at(offset));
}

QList<int> ChangedBytes(const QByteArray &before, const QByteArray &after)
{
    QList<int> changed;
    for (int i = 0; i < qMin(before.size(), after.size()); ++i) {
        if (before.at(i) != after.at(i))
            changed << i;
    }
    return changed;
}

int ImagesSent()
{
    return int(HidSim::CallsOf("ProtocolDataUpdate").size()) - s_imagesBefore;
}

QSignalSpy *OfflineNoticeSpy()
{
    return new QSignalSpy(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
}

void ChooseItem(QComboBox *box, int index)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView *view = box->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }, 2000))
        qFatal("the popup of %s did not open", qPrintable(box->objectName()));
    QWidget *viewport = view->viewport();
    const QModelIndex item = view->model()->index(index, box->modelColumn());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    // A real pointer travels from the box onto the item before it clicks; the
    // popup takes no click until the pointer has left the spot that opened it.
    const QPoint opened = box->mapToGlobal(box->rect().center());
    QPoint away = viewport->rect().topLeft();
    for (const QPoint &corner : {viewport->rect().topRight(), viewport->rect().bottomLeft(),
                                 viewport->rect().bottomRight()}) {
        if ((viewport->mapToGlobal(corner) - opened).manhattanLength()
            > (viewport->mapToGlobal(away) - opened).manhattanLength())
            away = corner;
    }
    for (const QPoint &point : {away, at}) {
        QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    if (!QTest::qWaitFor([view] { return !view->isVisible(); }, 2000))
        qFatal("the popup of %s did not close on a click", qPrintable(box->objectName()));
}

namespace {

QRect HandleRect(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    // The theme's rules are written for the horizontal state.
    if (slider->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    option.upsideDown = slider->invertedAppearance();
    option.pageStep = slider->pageStep();
    option.singleStep = slider->singleStep();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.subControls = QStyle::SC_All;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

void SendMouse(QWidget *to, QEvent::Type type, const QPoint &at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, to->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

}  // namespace

void DragSlider(QSlider *slider, int value, const std::function<void()> &beforeRelease)
{
    const QRect handle = HandleRect(slider);
    const QPoint grab = handle.center();
    SendMouse(slider, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    const int span = slider->width() - handle.width();
    const int range = slider->maximum() - slider->minimum();
    const int targetX = handle.width() / 2 + (range > 0 ? span * (value - slider->minimum()) / range : 0);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const QPoint at(grab.x() + (targetX - grab.x()) * i / steps, grab.y());
        SendMouse(slider, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    if (beforeRelease)
        beforeRelease();
    SendMouse(slider, QEvent::MouseButtonRelease, QPoint(targetX, grab.y()), Qt::LeftButton, Qt::NoButton);
}

void WatchModals()
{
    s_watcher = std::make_unique<TestSupport::ModalWatcher>(QHash<QString, QString>(), QStringList(),
                                                            QStringLiteral("NewHong"));
}

QList<SeenModal> StopWatching()
{
    // Give a notice that is about to open its chance to be seen.
    QTest::qWait(50);
    const QList<SeenModal> seen = s_watcher ? s_watcher->seen : QList<SeenModal>();
    s_watcher.reset();
    return seen;
}

QStringList MissingPictures(const QWidget *root)
{
    QStringList missing;
    for (const QString &file : TestSupport::PicturesNamed(root)) {
        if (!QFile::exists(file) && !missing.contains(file))
            missing << file;
    }
    return missing;
}

Page::Page(QWidget *panel)
{
    setObjectName("ShotPage");
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet("#ShotPage{background-color: rgb(24, 25, 29);}");
    panel->setParent(this);
    panel->move(16, 16);
    resize(panel->width() + 32, panel->height() + 32);
    panel->show();
    show();
    if (!QTest::qWaitForWindowExposed(this))
        qWarning("the panel page was not exposed");
}

bool Shoot(QWidget *widget, const QString &name)
{
    const QPixmap shot = widget->grab();
    return !shot.isNull() && shot.size() == widget->size() && TestSupport::SaveShot(shot.toImage(), name + ".png");
}

}  // namespace PanelFixture
