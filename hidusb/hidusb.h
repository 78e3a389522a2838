#pragma once
/*
 * HIDUsb: the device library. Plain C interface; every device call and every
 * device callback of the program crosses it. See README.md in this folder for
 * the threading rules, the report encodings and the simulated world behind it.
 *
 * Paths are NUL-terminated 8-bit strings owned by the library (interned,
 * stable for the whole run). A bool result counts by its low byte.
 */
#include <stdbool.h>
#include <stdint.h>

#if defined(HIDUSB_BUILD)
#define HIDUSB_API __attribute__((visibility("default")))
#else
#define HIDUSB_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct FlashDataMap; /* the 10,428-byte settings image, HIDUSB_IMAGE_SIZE */
struct DongleRGB;    /* the 10-byte receiver-LED record */

#define HIDUSB_IMAGE_SIZE 10428
#define HIDUSB_DUMP_SIZE 6912

/* Data callback: report header (byte 1 command, byte 3 status, byte 4
 * sub-command, see README.md) and its data. Called on the library's delivery
 * thread only. */
typedef void (*HidDataCallback)(const unsigned char *report, int reportLen,
                                const unsigned char *data, int dataLen);
/* USB-change callback: called on the thread that registered it. */
typedef void (*UsbChangedCallback)(void);
/* Firmware-flash progress callback: 3-byte reports (7, 1, percent) or (7, 2, 1 ok / other failed). */
typedef void (*UpgradeCallback)(const unsigned char *report);

/* ---- discovery ---- */
HIDUSB_API const char **UsbFinderC_FindHidDevicesByDefaultDeviceId(const char *vid, const char *pid, int *count);
HIDUSB_API const char **UsbFinderC_FindHidDevicesByDeviceId(const char *vid, const char *pid, int interfaceId,
                                                            int deviceId, int *count);
/* 3 bytes: customer id, model id, link type. Ids are 0 until the device answers. */
HIDUSB_API const unsigned char *UsbFinderC_GetDeviceInfo(const char *path);
/* Fills 12 bytes; the 16-bit word at byte 8 is the version, major in the high byte. */
HIDUSB_API bool UsbFinderC_GetUsbDeviceAttribute(const char *path, unsigned char *out);
HIDUSB_API bool UsbFinderC_GetDeviceOnLine(const char *path);
/* Fills exactly 10 bytes: out[6] 1 = online, out[7..9] the pairing address. */
HIDUSB_API bool UsbFinderC_GetDeviceOnLineWithUsbAddress(const char *path, unsigned char *out);
/* Mouse firmware version, major in the high byte, minor in the low byte; 0 when unknown. */
HIDUSB_API int UsbFinderC_GetVersion(const char *path);
/* Receiver version as major * 256 + minor. */
HIDUSB_API bool UsbFinderC_GetSlaveVersion(const char *path, int *version);
HIDUSB_API bool UsbFinderC_SetDongleIDToMouse(const char *path, unsigned char *record);

/* ---- change notification ---- */
HIDUSB_API void StartUsbChanged(UsbChangedCallback callback, int intervalMs);
HIDUSB_API void StopUsbChanged(void);

/* ---- the connection ---- */
HIDUSB_API bool UsbServerC_Start(const char *path, const char *path2, HidDataCallback callback);
HIDUSB_API void UsbServer_SetPCDriverStatus(bool attached);
HIDUSB_API void UsbServer_Exit(void);

/* ---- reads, answered through the data callback ---- */
HIDUSB_API bool UsbServer_ReadAllFlashData(void);
HIDUSB_API bool UsbServer_ReadReportRate(void);
HIDUSB_API bool UsbServer_ReadCurrentDPI(void);
HIDUSB_API bool UsbServer_ReadDPILed(void);
HIDUSB_API bool UsbServer_ReadLedBar(void);
HIDUSB_API bool UsbServer_ReadBatteryLevel(void);
HIDUSB_API bool UsbServer_ReadConfig(void);
HIDUSB_API bool UsbServer_ReadVersion(void);

/* ---- decoders ---- */
HIDUSB_API bool ProtocolDataParser(const unsigned char *data, struct FlashDataMap *image);
HIDUSB_API void BufferToDPILed(const unsigned char *data, unsigned char *out4);
HIDUSB_API void BufferToLedBar(const unsigned char *data, unsigned char *out7);
HIDUSB_API void GetDeviceBatteryStatus(const unsigned char *data, unsigned char *out);
HIDUSB_API void GetDeviceStatusChanged(const unsigned char *data, unsigned char *out7);

/* ---- writes ---- */
HIDUSB_API bool ProtocolDataUpdate(struct FlashDataMap *image);
HIDUSB_API bool UsbServer_SetCurrentConfig(unsigned char index);
HIDUSB_API bool UsbServer_SetClearSetting(void);

/* ---- receiver options ---- */
HIDUSB_API bool UsbFinderC_SetLongRangeMode(const char *path, bool on);
HIDUSB_API bool UsbFinderC_GetLongRangeMode(const char *path, unsigned char *out);
HIDUSB_API bool UsbFinderC_Set4KDongleRGB(const char *path, struct DongleRGB *record);
HIDUSB_API bool UsbFinderC_Get4KDongleRGBValue(const char *path, struct DongleRGB *record);

/* ---- pairing ---- */
HIDUSB_API bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid);
HIDUSB_API bool UsbServer_ReadDonglePairStatus(void);

/* ---- firmware ---- */
/* *count (preset by the caller) receives the number of boot-mode devices that take the image. */
HIDUSB_API bool UsbUpgradeC_FindBootDevices(const unsigned char *image, int *count);
HIDUSB_API bool UsbUpgrade_Start(const unsigned char *image, UpgradeCallback callback, int timeoutMs);

#ifdef __cplusplus
}
#endif
