#pragma once
// Reader of the sensor description file "driver_sensor.h" beside the program.
// The file looks like a C header but is never compiled: it is read line by
// line, split on spaces (a TAB separates a name from its value):
//   #define SUPPORT_LOD_CAL<TAB>3950,3395        support line: sensors listed
//   #define SENSOR_3950_DPI_400<TAB>0x07         define: hex when it has "0x"
//   #define SENSOR_3950_DPI_800<TAB>15 //note    commented define: decimal only
// A define is taken only when its value is the last field of a line that ends
// with a line end. The sensor page and the button page (DPI-lock codes) read
// the file through this one reader.

#include <QList>
#include <QString>
#include <QStringList>

// The six support texts. A sensor is listed when its name occurs in the text
// (case-sensitive substring), so an empty name counts as listed everywhere.
struct SensorSupport {
    QString ModeSel;      // SUPPORT_SENSOR_MODE_SEL
    QString LodCal;       // SUPPORT_LOD_CAL
    QString Ripple;       // SUPPORT_RIPPLE
    QString FixLine;      // SUPPORT_FIXLINE
    QString MotionSync;   // SUPPORT_MOTION_SYNC
    QString MousepadCal;  // SUPPORT_MOUSEPAD_CAL

    static bool Lists(const QString &supportText, const QString &sensorName)
    {
        return supportText.contains(sensorName);
    }
};

struct SensorDescription {
    SensorSupport Support;
    QStringList DefineNames;   // in file order, duplicates kept
    QList<int> DefineValues;   // parallel to DefineNames
};

// Reads the description file at `filePath`; a missing, unreadable or empty
// file gives an empty description.
SensorDescription ReadSensorDescription(const QString &filePath);
// The same rules over a content already read.
SensorDescription ParseSensorDescription(QByteArray content);

// The installed file: Paths::AppFolder() + "/driver_sensor.h".
QString SensorDescriptionPath();
SensorDescription ReadInstalledSensorDescription();
