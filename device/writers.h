#pragma once
// One-field device writers: each checks that the current mouse is present,
// changes its field(s) of the settings image g_FlashDataMap and hands the whole
// image to the device library (ProtocolDataUpdate). All run on the GUI thread.
//
// Result: true when the mouse was present and took the image. false when
// - it was absent, or the library refused the write (no mouse answers through
//   the open connection): the image is left as it was, and SigMouseOffLineo(0)
//   has been emitted unless a page is filling itself (g_SensorRefreshing or
//   g_ButtonRefreshing);
// - the image does not hold the open connection's whole dump yet
//   (ImageIsDevicesOwn, connection.h): nothing is changed, sent or shown, since
//   the image may still be another mouse's; the page is filled with the
//   mouse's own values once its dump arrives;
// - a key index is outside 0-15 or a level index outside 0-7 (then nothing is
//   asked, written or shown).
// Integer arguments are stored in their low byte.

#include "flashdatamap.h"

bool WriteReportRate(int code);
bool WriteDpiLevelCount(int count);
bool WriteDpiLevel(int level);
bool WriteByte3(int value);
bool WriteByte4(int value);
bool WriteLod(int code);
bool WriteDebounceTime(int ms);
bool WriteMotionSync(int on);
bool WriteStopCloseTime(int code);
bool WriteStraightLine(int on);
bool WriteRippeControl(int on);
bool WriteMoveLightOff(int on);
bool WritePerformance(int on);
bool WritePerformanceOpen(int code);
bool WriteSensorMode(int mode);

// Level record bytes 0-2 (X code, Y code, flag byte); see sensorcoding.h.
bool WriteDpiLevelValue(int level, int x, int y, int flags);
// Level record bytes 3-5.
bool WriteDpiLevelColor(int level, int r, int g, int b);
// DpiLevels[slotA] = *recA, then DpiLevels[slotB] = *recB (so slotA == slotB
// ends with recB), then DpiLevel = level and DpiLevelCount = level + 1.
// The records may point into g_FlashDataMap; they are copied first.
bool WriteDpiLevelSwap(const DpiLevelRecord *recA, const DpiLevelRecord *recB, int slotB, int slotA, int level);

// Mode 0 switches the indicator off and keeps the last mode; any other mode
// switches it on with that mode.
bool WriteDpiLedMode(int mode);
bool WriteDpiLedBrightness(int code);
bool WriteDpiLedSpeed(int speed);

// Mode 0 switches the lighting off and keeps the last mode.
bool WriteLightMode(int mode);
bool WriteLightColor(int r, int g, int b);
bool WriteLightSpeed(int value);
bool WriteLightBrightness(int value);

bool WriteKeyFunction(int key, int type, int p1, int p2);
// `record` holds kKeySequenceSize (52) bytes.
bool WriteKeySequence(int key, const KeyEntry *entry, const unsigned char *record);
// `record` holds kMacroRecordSize (592) bytes.
bool WriteKeyMacro(int key, const KeyEntry *entry, const unsigned char *record);

// The online test alone: true when present; false raises the offline notice
// unless a page is filling itself.
bool CheckDeviceOnline();

// Sends the image as it is, without the online test; false (nothing sent)
// while the image is not the mouse's own dump, or when the library refuses.
bool WriteFlashDataMap();
