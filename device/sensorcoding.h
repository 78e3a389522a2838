#pragma once
// DPI value coding of the level records (X code, Y code, flag byte).
//
// Flag byte: 0x11 doubles the value; 0x22 means steps of 100 (plain coding)
// or doubles the value (define coding); 0xC0 carries bits 8-9 of a plain code
// for the 10-bit sensors "3395" and "3950" (0x0C repeats them, write only).
// Range bits 0 / 0x11 / 0x22 / 0x33 give the factors 1 / 2 / 2 / 4.
//
// Two codings: sensors with DPI defines "SENSOR_<name>_DPI_<dpi>" in
// driver_sensor.h use the define's value as the code; all others use the plain
// code dpi / (50 * factor) - 1. Every code written decodes to a DPI value:
// plain codes are clamped to the code width, and a DPI without a define of its
// own is written with the nearest define at or below it. A define whose DPI
// lies outside the model's DPI range (lowest range minimum to highest range
// maximum) is ignored.

#include "flashdatamap.h"

#include <QList>
#include <QString>
#include <QStringList>

// Everything the coding depends on. Current() takes the sensor page's globals.
struct DpiCodingModel {
    QString SensorName;
    int RangeMode = 0;
    int RangeCount = 0;
    QList<int> RangeMinList;
    QList<int> RangeMaxList;
    QStringList DefineNames;
    QList<int> DefineValues;

    static DpiCodingModel Current();
};

struct DpiRangeFactor {
    int Factor = 1;
    uint8_t Bits = 0;
};

struct DpiLevelCode {
    int Code = 0;       // the full code (up to 10 bits for "3395"/"3950")
    uint8_t X = 0;      // low 8 bits of the code, written as X and Y
    uint8_t Flags = 0;  // range bits plus the high code bits
};

// Factor and range bits of a DPI value by the range mode and range maxima.
DpiRangeFactor RangeFactorFor(const DpiCodingModel &model, int dpi);

// True for the sensors whose plain code has 10 bits ("3395", "3950").
bool HasTenBitCode(const QString &sensorName);

// True when the sensor has at least one usable DPI define.
bool HasDpiDefineTable(const DpiCodingModel &model);

DpiLevelCode EncodeDpi(const DpiCodingModel &model, int dpi);
int DecodeDpi(const DpiCodingModel &model, uint8_t x, uint8_t flags);

// Decodes a level record with the current model (the sensor page's fill).
int DecodeLevelDpi(const DpiLevelRecord &record);

// Codes `dpi` with the current model and writes it into level `level` (0..7)
// with WriteDpiLevelValue. Level -1 (no level selected) does nothing.
void SendLevelDpi(int level, int dpi);
