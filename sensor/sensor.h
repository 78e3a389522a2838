#pragma once
// The sensor page, second of the device page's settings pages.
//
// It hosts the DPI levels, report-rate, lift-off, indicator-effect and on/off
// panels (each writes its own setting) and owns three controls of its own:
// the sensor-mode box, the performance-mode check box and its time box.
//
// The page fills every control from a copy of the settings image whenever one
// arrives (from the mouse, the image cache or the wait popup), with
// g_SensorRefreshing set for the duration so that nothing it sets is written
// back; a fill from a device read ends with g_SensorFilled set, which the wait
// popup waits for. It resets to fixed defaults when the mouse is away and no
// cached image exists, and follows the single values the mouse reports.
//
// What a model offers comes from Config.ini (group "Drive" + N: Sensor,
// DPIMaxGrade, DPIRange, XIn1) and from driver_sensor.h (which sensors support
// the sensor mode, lift-off calibration and the three on/off options).
// Everything runs on the GUI thread.

#include "flashdatamap.h"

#include <QString>
#include <QWidget>
#include <memory>

class LanguageReader;
class MotionSync;
class QListView;
class RippeControl;
class SensorDPI;
class SensorEffect;
class SensorLOD;
class SensorRate;
class StraightLine;
class Ui_Sensor;

class Sensor : public QWidget
{
    Q_OBJECT
public:
    explicit Sensor(QWidget *parent = nullptr);
    ~Sensor() override;

    // Level.ini in the page's per-user folder: its first line as a number
    // (1 when the file is missing or empty, 0 when the line is no number),
    // handed to the DPI panel's level count.
    void ReadLevelIni();
    // Rewrites Level.ini whole with the value (decimal, no line end).
    bool WriteLevelIni(int value);
    // Reads the installed driver_sensor.h into the support lists and appends
    // its DPI defines to the shared define lists.
    void LoadDriverSensorHeader();

    // The first line of a Level.ini file read as the page reads it.
    static int LevelIniNumber(const QString &filePath);
    // Rate button (0-6) of a report-rate code, -1 for an unknown code. A whole
    // image on a 4 kHz receiver shows 8000 Hz as 4000 Hz, which that link offers.
    static int RateIndexForCode(int code, bool showHighestAs4000);
    // Item of the performance-time box for image byte 13 (units of 10 s), -1
    // for a value that names no item; and the code an item writes.
    static int PerformanceIndexForCode(int code);
    static int PerformanceCodeForIndex(int index);
    // Brightness step 1-10 of an indicator brightness code; any other code is
    // returned unchanged (the panel's slider bounds it).
    static int BrightnessStepForCode(int code);

    const QString &PageFolder() const { return SensorPageDir; }

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

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void on_Performance_toggled(bool checked);
    void on_ModelChoose_currentIndexChanged(int index);
    void on_LOD_currentIndexChanged(int index);
    void on_Performance_clicked(bool checked);
    void on_PerformanceOpen_currentIndexChanged(int index);

private:
    void ApplyComboTheme();
    void ApplyTextTheme();
    void DropFrameLines();
    void ConnectDeviceSignals();

    // The whole-image fill; `fromDevice` marks the page filled for the wait popup.
    void FillFromImage(const FlashDataMap &image, bool fromDevice);
    void ShowSensorMode(const FlashDataMap &image);
    void ShowPerformance(const FlashDataMap &image);
    void ShowOnOffOptions(const FlashDataMap &image);
    void ShowDpiLed(const FlashDataMap &image);
    void FillLevelColors(const FlashDataMap &image, int levels);
    void ApplyDpiRanges(const QString &group);
    void FillLevelValues(const FlashDataMap &image, int levels);
    void PlaceCurrentLevel(const FlashDataMap &image);
    void ApplyRateClass();
    void ApplySupport();
    void ApplyLayout(bool reduced);

    void ResetDpiLevels();
    void ResetByLinkType();
    void SetModeIndexSilently(int index);

    // The sensor-mode box on a low rate: usable, on the image's mode, without
    // the "Corded" row; on a high rate: locked on "Corded".
    void FreeSensorMode();
    void LockSensorModeCorded();
    bool SensorModeListed() const;

    Ui_Sensor *ui;
    QString SensorPageDir;
    QString DpiMin;
    QString DpiMax;
    QString PictureDir;
    QListView *ModelView = nullptr;
    std::unique_ptr<LanguageReader> reader;
    QString SupportModeSel;
    QString SupportLodCal;
    QString SupportRipple;
    QString SupportFixLine;
    QString SupportMotionSync;
    QString SupportMousepadCal;
};
