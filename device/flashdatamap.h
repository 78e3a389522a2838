#pragma once
// The mouse's settings image: one flat block of 10,428 bytes that the device
// library fills from the mouse and takes back whole after single fields changed.
// Nothing may be inserted between the fields; the static checks below hold the
// layout to the byte.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct DpiLevelRecord {
    uint8_t DpiX;      // X resolution code
    uint8_t DpiY;      // Y resolution code
    uint8_t DpiFlags;  // range and high-bit flags of the two codes
    uint8_t Red;
    uint8_t Green;
    uint8_t Blue;
};

struct KeyEntry {
    uint8_t Type;    // function kind; 1 = mouse button
    uint8_t Param1;  // for Type 1 the button mask: 0x01 left, 0x02 right, 0x04 middle, 0x08 back, 0x10 forward
    uint8_t Param2;  // for Type 1 always 0
};

constexpr int kKeyCount = 16;
constexpr int kDpiLevelSlots = 8;
constexpr int kKeySequenceSize = 52;
constexpr int kMacroRecordSize = 592;

struct FlashDataMap {
    uint8_t ReportRate;        // 0x000: 1=1000 Hz, 2=500, 4=250, 8=125, 0x10=2000, 0x20=4000, 0x40=8000
    uint8_t DpiLevelCount;     // 0x001: 1..8
    uint8_t DpiLevel;          // 0x002: current level 0..7
    uint8_t Byte3;             // 0x003
    uint8_t Byte4;             // 0x004
    uint8_t Lod;               // 0x005: 1 = 1 mm, 2 = 2 mm, 3 = 0.7 mm
    uint8_t DebounceTime;      // 0x006: ms 0..20
    uint8_t MotionSync;        // 0x007
    uint8_t StopCloseTime;     // 0x008: sleep time in units of 10 s
    uint8_t StraightLine;      // 0x009
    uint8_t RippeControl;      // 0x00A
    uint8_t MoveLightOff;      // 0x00B
    uint8_t Performance;       // 0x00C
    uint8_t PerformanceOpen;   // 0x00D: units of 10 s
    uint8_t SensorMode;        // 0x00E: 0 LP, 1 HP, 2 Corded
    DpiLevelRecord DpiLevels[kDpiLevelSlots];  // 0x00F
    uint8_t DpiLedMode;        // 0x03F: 1 steady, 2 breathing
    uint8_t DpiLedBrightness;  // 0x040
    uint8_t DpiLedSpeed;       // 0x041: 1..5
    uint8_t DpiLedOn;          // 0x042
    uint8_t LightMode;         // 0x043: 1..5
    uint8_t LightRed;          // 0x044
    uint8_t LightGreen;        // 0x045
    uint8_t LightBlue;         // 0x046
    uint8_t LightSpeed;        // 0x047: step - 1
    uint8_t LightBrightness;   // 0x048: step - 1
    uint8_t LightOn;           // 0x049
    KeyEntry Keys[kKeyCount];  // 0x04A
    uint8_t Reserved[2];       // 0x07A: owned by the device; never read or set here
    uint8_t KeySequences[kKeyCount][kKeySequenceSize];  // 0x07C
    uint8_t Macros[kKeyCount][kMacroRecordSize];        // 0x3BC
};

#pragma pack(pop)

constexpr int kFlashDataMapSize = 10428;

static_assert(sizeof(DpiLevelRecord) == 6, "DpiLevelRecord is 6 bytes");
static_assert(sizeof(KeyEntry) == 3, "KeyEntry is 3 bytes");
static_assert(sizeof(FlashDataMap) == kFlashDataMapSize, "FlashDataMap is 10,428 bytes");
static_assert(offsetof(FlashDataMap, ReportRate) == 0x000, "layout");
static_assert(offsetof(FlashDataMap, DpiLevelCount) == 0x001, "layout");
static_assert(offsetof(FlashDataMap, DpiLevel) == 0x002, "layout");
static_assert(offsetof(FlashDataMap, Byte3) == 0x003, "layout");
static_assert(offsetof(FlashDataMap, Byte4) == 0x004, "layout");
static_assert(offsetof(FlashDataMap, Lod) == 0x005, "layout");
static_assert(offsetof(FlashDataMap, DebounceTime) == 0x006, "layout");
static_assert(offsetof(FlashDataMap, MotionSync) == 0x007, "layout");
static_assert(offsetof(FlashDataMap, StopCloseTime) == 0x008, "layout");
static_assert(offsetof(FlashDataMap, StraightLine) == 0x009, "layout");
static_assert(offsetof(FlashDataMap, RippeControl) == 0x00A, "layout");
static_assert(offsetof(FlashDataMap, MoveLightOff) == 0x00B, "layout");
static_assert(offsetof(FlashDataMap, Performance) == 0x00C, "layout");
static_assert(offsetof(FlashDataMap, PerformanceOpen) == 0x00D, "layout");
static_assert(offsetof(FlashDataMap, SensorMode) == 0x00E, "layout");
static_assert(offsetof(FlashDataMap, DpiLevels) == 0x00F, "layout");
static_assert(offsetof(FlashDataMap, DpiLedMode) == 0x03F, "layout");
static_assert(offsetof(FlashDataMap, DpiLedBrightness) == 0x040, "layout");
static_assert(offsetof(FlashDataMap, DpiLedSpeed) == 0x041, "layout");
static_assert(offsetof(FlashDataMap, DpiLedOn) == 0x042, "layout");
static_assert(offsetof(FlashDataMap, LightMode) == 0x043, "layout");
static_assert(offsetof(FlashDataMap, LightRed) == 0x044, "layout");
static_assert(offsetof(FlashDataMap, LightGreen) == 0x045, "layout");
static_assert(offsetof(FlashDataMap, LightBlue) == 0x046, "layout");
static_assert(offsetof(FlashDataMap, LightSpeed) == 0x047, "layout");
static_assert(offsetof(FlashDataMap, LightBrightness) == 0x048, "layout");
static_assert(offsetof(FlashDataMap, LightOn) == 0x049, "layout");
static_assert(offsetof(FlashDataMap, Keys) == 0x04A, "layout");
static_assert(offsetof(FlashDataMap, Reserved) == 0x07A, "layout");
static_assert(offsetof(FlashDataMap, KeySequences) == 0x07C, "layout");
static_assert(offsetof(FlashDataMap, Macros) == 0x3BC, "layout");
static_assert(offsetof(FlashDataMap, Macros) + sizeof(FlashDataMap::Macros) - 1 == 0x28BB, "last byte");

// The receiver-LED record exchanged with the device library: byte 0 is the LED
// mode (1, 2 or 3; 0 none); bytes 1..9 go back to the library unchanged.
#pragma pack(push, 1)
struct DongleRGB {
    uint8_t Mode;
    uint8_t Rest[9];
};
#pragma pack(pop)
static_assert(sizeof(DongleRGB) == 10, "DongleRGB is 10 bytes");
