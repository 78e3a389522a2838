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

/* Report header bytes: the command, its status (0 = good) and the sub-command. */
#define HIDUSB_HEADER_COMMAND 1
#define HIDUSB_HEADER_STATUS 3
#define HIDUSB_HEADER_SUBCOMMAND 4

/* Report commands (header byte 1). */
#define HIDUSB_CMD_BATTERY 4        /* level and charging */
#define HIDUSB_CMD_PAIRING 6        /* pairing status and the customer id asked for */
#define HIDUSB_CMD_SETTINGS 8       /* settings data, by sub-command */
#define HIDUSB_CMD_RESET_DONE 9     /* the mouse has its factory settings back */
#define HIDUSB_CMD_STATUS 10        /* change flags */
#define HIDUSB_CMD_PROFILE 14       /* the active profile */
#define HIDUSB_CMD_VERSION 18       /* the mouse's firmware version */
#define HIDUSB_CMD_RECEIVER_LED 21  /* the receiver's LED record changed */
#define HIDUSB_CMD_LONG_RANGE_OFF 23

/* Sub-commands of HIDUSB_CMD_SETTINGS (header byte 4). */
#define HIDUSB_SUB_FLASH 0x00        /* the whole dump, or the report-rate byte alone */
#define HIDUSB_SUB_CURRENT_DPI 0x04  /* the current DPI level */
#define HIDUSB_SUB_DPI_LED 0x4C      /* the DPI LED block */
#define HIDUSB_SUB_LED_BAR 0xA0      /* the LED bar block */

/* Pairing status, data byte 0 of HIDUSB_CMD_PAIRING. */
#define HIDUSB_PAIR_IDLE 0
#define HIDUSB_PAIR_RUNNING 1
#define HIDUSB_PAIR_FAILED 2
#define HIDUSB_PAIR_SUCCEEDED 3

/* Firmware-flash reports: byte 0 HIDUSB_UPGRADE_REPORT, byte 1 the kind, byte 2
 * the percent (progress) or 1 for success and anything else for failure (finished). */
#define HIDUSB_UPGRADE_REPORT 7
#define HIDUSB_UPGRADE_PROGRESS 1
#define HIDUSB_UPGRADE_FINISHED 2

/* Data callback: report header (see HIDUSB_HEADER_* and README.md) and its
 * data. Called on the library's delivery thread only. */
typedef void (*HidDataCallback)(const unsigned char *report, int reportLen,
                                const unsigned char *data, int dataLen);
/* USB-change callback: called on the thread that registered it. */
typedef void (*UsbChangedCallback)(void);
/* Firmware-flash progress callback: 3-byte reports, see HIDUSB_UPGRADE_REPORT. */
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
