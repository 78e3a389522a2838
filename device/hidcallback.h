#pragma once
// The data callback handed to the device library when a connection opens.
// Runs on the library's delivery thread, never on the GUI thread: several of
// the signals it emits are delivered blocking-queued and make it wait for the
// GUI thread's slot.

using uchar = unsigned char;

void HidInputCallback(const uchar *report, int reportLen, const uchar *data, int dataLen);

// Turns the status-change flags in g_StatusChanges into read requests.
void RunStatusReads();

// Minimum time between two reloads asked for by status reports.
constexpr int kStatusReloadGateMs = 3000;
