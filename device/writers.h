#pragma once
// The one path by which a change reaches the mouse. Every writer below, the
// key writers of the button page, the import of a settings file and the
// profile switch go through it, and each tells what became of the change:
//
// - Done: the mouse was present and took the image.
// - Refused: the mouse is absent, or the library refused the image (no mouse
//   answers through the open connection). The image holds what it held
//   before, the pages are filled again from the image they showed, so no
//   control shows a value the mouse does not hold, and SigMouseOffLineo(0) is
//   raised once. While a page is filling itself (g_SensorRefreshing or
//   g_ButtonRefreshing) nothing is shown or refilled.
// - NotYetRead: the mouse is there but the image is not yet the open
//   connection's whole dump (ImageIsDevicesOwn, connection.h): it may still
//   hold another mouse's or another profile's settings. The change is held,
//   in order, with its connection serial, and a whole read is asked for unless
//   one is under way. When the dump is stored (AdoptDump) the held changes are
//   applied to it on the GUI thread and the image goes to the mouse once; the
//   pages are then filled from it. A read that ends without a dump, or a
//   connection that changes under the held changes, drops them: the pages
//   show the mouse's values and the offline notice is raised once.
//
// A key index outside 0-15 or a level index outside 0-7 is refused without a
// notice. Integer arguments are stored in their low byte. All of this runs on
// the GUI thread, except AdoptDump and EndOfWholeRead, which the data callback
// calls from the library's thread (they hop to the GUI thread).

#include "flashdatamap.h"

#include <cstdint>
#include <functional>

enum class WriteResult { Done, Refused, NotYetRead };

using ImageChange = std::function<void(FlashDataMap &)>;

// Quiet: a refused or dropped change raises no notice and refills nothing
// (for sends that follow a change whose writer has already told the user).
enum class WriteNotice { Shown, Quiet };

// The write path itself: `change` is applied to the image and the image sent.
WriteResult WriteImageChange(const ImageChange &change, WriteNotice notice = WriteNotice::Shown);
// The image as a whole, such as an imported settings file.
WriteResult WriteWholeImage(const FlashDataMap &image);

WriteResult WriteReportRate(int code);
WriteResult WriteDpiLevelCount(int count);
WriteResult WriteDpiLevel(int level);
WriteResult WriteByte3(int value);
WriteResult WriteByte4(int value);
WriteResult WriteLod(int code);
WriteResult WriteDebounceTime(int ms);
WriteResult WriteMotionSync(int on);
WriteResult WriteStopCloseTime(int code);
WriteResult WriteStraightLine(int on);
WriteResult WriteRippeControl(int on);
WriteResult WriteMoveLightOff(int on);
WriteResult WritePerformance(int on);
WriteResult WritePerformanceOpen(int code);
WriteResult WriteSensorMode(int mode);

// Level record bytes 0-2 (X code, Y code, flag byte); see sensorcoding.h.
WriteResult WriteDpiLevelValue(int level, int x, int y, int flags);
// Level record bytes 3-5.
WriteResult WriteDpiLevelColor(int level, int r, int g, int b);
// DpiLevels[slotA] = *recA, then DpiLevels[slotB] = *recB (so slotA == slotB
// ends with recB), then DpiLevel = level and DpiLevelCount = level + 1.
// The records may point into g_FlashDataMap; they are copied first.
WriteResult WriteDpiLevelSwap(const DpiLevelRecord *recA, const DpiLevelRecord *recB, int slotB, int slotA, int level);

// Mode 0 switches the indicator off and keeps the last mode; any other mode
// switches it on with that mode.
WriteResult WriteDpiLedMode(int mode);
WriteResult WriteDpiLedBrightness(int code);
WriteResult WriteDpiLedSpeed(int speed);

// Mode 0 switches the lighting off and keeps the last mode.
WriteResult WriteLightMode(int mode);
WriteResult WriteLightColor(int r, int g, int b);
WriteResult WriteLightSpeed(int value);
WriteResult WriteLightBrightness(int value);

WriteResult WriteKeyFunction(int key, int type, int p1, int p2);
// `record` holds kKeySequenceSize (52) bytes.
WriteResult WriteKeySequence(int key, const KeyEntry *entry, const unsigned char *record);
// `record` holds kMacroRecordSize (592) bytes.
WriteResult WriteKeyMacro(int key, const KeyEntry *entry, const unsigned char *record);

// The online test alone: true when present; false raises the offline notice
// unless a page is filling itself.
bool CheckDeviceOnline();

// Sends the image as it is.
WriteResult WriteFlashDataMap();
// The same without a notice.
WriteResult WriteFlashDataMapQuietly();

// Switches the open mouse to profile `index`: Done asks for the new profile's
// whole read (writes are held until it is stored); Refused when the mouse is
// absent or refuses the switch: `showMouseProfile` puts the page back to the
// mouse's profile, then the offline notice is shown.
WriteResult SwitchProfile(int index, const std::function<void()> &showMouseProfile);

// Called by the data callback once the connection `serial`'s whole dump is in
// g_FlashDataMap: on the GUI thread, the dump becomes the mouse's own image
// and the held changes of that connection are applied and sent. True when
// the image was sent (so the callback need not send it back again).
bool AdoptDump(uint64_t serial);
// The whole read of the open connection ended without a dump.
void EndOfWholeRead();
// Drops the held changes without a word (the device page was left).
void ForgetHeldChanges();
// How many changes wait for a dump.
int HeldChangeCount();
