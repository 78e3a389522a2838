#pragma once
// What the panel suites share: a simulated cable mouse opened as the current
// device, a view of what reached it, and ways to drive the real widgets.

#include "testsupport.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QComboBox;
class QSignalSpy;
class QSlider;

namespace PanelFixture {

// The mouse the suites write to (the default world's cable mouse).
extern const char *const kMouse;

// Fresh default world; the mouse is opened and read as the current device (so
// the program's image is the mouse's own), writes are allowed and both
// refreshing flags are clear.
void OpenMouse();
// The same with the default world's 4 kHz receiver and its mouse (model 2)
// as the current device; StoredImage and SeedByte then speak of that mouse.
extern const char *const kReceiver;
extern const char *const kReceiverMouse;
void OpenReceiverMouse();
// Puts `value` at `offset` in both the mouse's stored image and the
// program's image, as if the mouse had been read with it.
void SeedByte(int offset, int value);
// Pulls the cable: the current device is absent from now on.
void UnplugMouse();

// The settings image the mouse has stored now.
QByteArray StoredImage();
int StoredByte(int offset);
// Offsets at which two images differ.
QList<int> ChangedBytes(const QByteArray &before, const QByteArray &after);
// Whole images the program has sent since OpenMouse.
int ImagesSent();

// A spy on PostMsg::SigMouseOffLineo (owned by the caller).
QSignalSpy *OfflineNoticeSpy();

// Opens the popup of `box` with a mouse click and clicks item `index` in it,
// as a user does.
void ChooseItem(QComboBox *box, int index);
// Presses the slider's handle, drags it to the position of `value` with
// plain mouse-move events and releases it there; `beforeRelease` runs while
// the handle is still held.
void DragSlider(QSlider *slider, int value, const std::function<void()> &beforeRelease = {});

using TestSupport::SeenModal;
// Watches for modal dialogs until StopWatching and closes each with its
// "NewHong" button, recording it.
void WatchModals();
QList<SeenModal> StopWatching();

// Every picture file named by a url(...) in the style sheets of `root` and
// its descendants that does not exist.
QStringList MissingPictures(const QWidget *root);

// Renders `widget` into <name>.png (TestSupport::SaveShot); false when the
// grab came out empty or saving failed.
bool Shoot(QWidget *widget, const QString &name);

// A dark page that hosts one panel (taking it over) the way the real pages
// do, shown so that clicks reach the panel's widgets.
class Page : public QWidget
{
public:
    explicit Page(QWidget *panel);
    bool Shoot(const QString &name) { return PanelFixture::Shoot(this, name); }
};

}  // namespace PanelFixture
