#include "sensor.h"

#include "globals.h"
#include "postmsg.h"

namespace {
constexpr int kPageWidth = 883;
constexpr int kPageHeight = 630;
}  // namespace

Sensor::Sensor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Sensor"));
    setMaximumSize(kPageWidth, kPageHeight);

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Sensor::SlotChangeLanguage);
    connect(hub, &PostMsg::SigHideModel, this, &Sensor::SlotHideModel);
    connect(hub, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor,
            Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);
}

Sensor::~Sensor() = default;

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap DataMap)
{
    g_SensorFilled = 0;
    g_SensorRefreshing = 1;
    Q_UNUSED(DataMap);
    g_SensorRefreshing = 0;
    g_SensorFilled = 1;
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap DataMap)
{
    g_SensorRefreshing = 1;
    Q_UNUSED(DataMap);
    g_SensorRefreshing = 0;
}

void Sensor::SlotFormReset() {}

void Sensor::SlotUpDataReportRate(int index)
{
    Q_UNUSED(index);
}

void Sensor::SlotUpDataDPI(int index)
{
    Q_UNUSED(index);
    // The level controls are moved with writes off (so the level is not
    // written back); writes are allowed afterwards whatever they were before.
    g_WritesAllowed = 1;
}

void Sensor::SlotUpDataDPILed(FlashDataMap DataMap)
{
    Q_UNUSED(DataMap);
}

void Sensor::SlotChangeLanguage(int index)
{
    Q_UNUSED(index);
}

void Sensor::SlotHideModel(int index)
{
    Q_UNUSED(index);
}
