#pragma once
// The sensor page's model state: the current model's sensor name, the numeric
// defines of driver_sensor.h and the DPI ranges of the model's DPIRange key.
// Widget-free so the DPI coding, the button page and tests can use it.
//
// Plain globals: only the GUI thread writes them (the sensor page at
// construction and on every fill) and reads them (the DPI coding, the panels).

#include <QList>
#include <QString>
#include <QStringList>

struct SensorDescription;

extern QString g_SensorName;
extern QStringList g_SensorDefineNames;   // parallel to g_SensorDefineValues,
extern QList<int> g_SensorDefineValues;   // in file order, duplicates kept
extern int g_DpiRangeMode;                // 0x11, 0x22 or 0x33
extern int g_DpiRangeCount;
extern QList<int> g_DpiRangeMinList;
extern QList<int> g_DpiRangeMaxList;
extern QString g_DpiRange1Min, g_DpiRange1Max, g_DpiRange1Step;
extern QString g_DpiRange2Min, g_DpiRange2Max, g_DpiRange2Step;
extern QString g_DpiRange3Min, g_DpiRange3Max, g_DpiRange3Step;
extern QString g_DpiRange4Min, g_DpiRange4Max, g_DpiRange4Step;

constexpr int kMaxDpiRanges = 4;

// One DPIRange list taken apart: min, max and step of one to four ranges,
// followed by the range mode in hexadecimal ("50,10000,50,10100,26000,100,0x22").
struct DpiRangeTable {
    int Mode = 0;             // last field read as hexadecimal; 0 when absent or no number
    int Count = 0;            // (fields - 1) / 3, whatever the field count
    bool Valid = false;       // Count is 1..4 and the list has exactly 3 * Count + 1 fields
    QStringList Texts;        // fields 0 .. 3 * Count - 1 as written (only when Valid)
    QList<int> MinList;       // range minima (only when Valid)
    QList<int> MaxList;       // range maxima (only when Valid)
    QString DpiMin;           // field 0 (only when Valid)
    QString DpiMax;           // the last range's maximum (only when Valid)
};

// Pure parser of a DPIRange field list as ConfigIni::ValueList returns it.
DpiRangeTable ParseDpiRange(const QStringList &fields);

// Sets the range globals from a parsed list the way every fill does: the mode
// and the count always, both lists emptied, and for a valid table the lists
// and the first 3 * Count range texts (the other texts keep their values).
void ApplyDpiRange(const DpiRangeTable &table);

// Appends the defines of a read description to g_SensorDefineNames/Values.
void AppendSensorDefines(const SensorDescription &description);

// The twelve range texts in order (range 1 min, max, step, range 2 min, ...).
QStringList DpiRangeTexts();

// One DPI range of the model.
struct DpiRange {
    int min = 0;
    int max = 0;
    int step = 0;  // 0 when its text is 0 or no number
};

// The model's ranges, read from the range texts at every call; empty when the
// range count is not 1 to 4.
QList<DpiRange> CurrentDpiRanges();

// Where a DPI value lands on the model's grid, and the page step a slider
// showing it takes.
struct DpiSnap {
    int value = 0;
    int pageStep = 0;  // 0: the slider keeps its page step
};

// The first of these that holds decides: within a range the value goes down
// to a multiple of the range's step (counted from zero), page step that step;
// in the gap before a range it becomes that range's minimum, page step that
// range's step. Below the first range, above the last or without ranges the
// value stays. A range whose step is not a positive number never divides: a
// value within it stays, and no page step comes from it.
DpiSnap SnapDpi(int value);
