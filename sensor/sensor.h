#pragma once
// The sensor page, second of the device page's settings pages.
//
// It answers the image signals of the device and of the wait popup: a fill
// raises g_SensorRefreshing for its duration, and a fill from a device read
// ends with g_SensorFilled set, which the wait popup waits for. The page's
// form and panels (DPI levels, report rate, lift-off, effect, on/off options,
// sensor and performance mode) are added by the sensor page's own work.

#include "flashdatamap.h"

#include <QWidget>

class Sensor : public QWidget
{
    Q_OBJECT
public:
    explicit Sensor(QWidget *parent = nullptr);
    ~Sensor() override;

public slots:
    // SigUpDataLightSensor (blocking queued): a whole image from the mouse or the cache.
    void SlotUpDataSenSorUISensor(FlashDataMap DataMap);
    // SigFormReset (blocking queued): offline and no cached image.
    void SlotFormReset();
    // SigUpDataReportRate (blocking queued): the rate code the mouse reported.
    void SlotUpDataReportRate(int index);
    // SigUpDataDPI (blocking queued): the current level the mouse reported.
    void SlotUpDataDPI(int index);
    // SigUpDataDPILed (blocking queued): the DPI indicator settings the mouse reported.
    void SlotUpDataDPILed(FlashDataMap DataMap);
    // SigUpDataSensorUIB: an imported or cached image applied by the wait popup.
    void SlotUpDataSenSorUIB(FlashDataMap DataMap);
    void SlotChangeLanguage(int index);
    // SigHideModel: the report-rate panel's choice (0 up to 1000 Hz, 1 above).
    void SlotHideModel(int index);
};
