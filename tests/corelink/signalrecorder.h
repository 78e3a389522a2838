#pragma once
// Records the order in which hub signals reach the GUI thread. Signals that the
// pages receive blocking-queued are connected that way here too, so an emitter
// on another thread waits exactly as it does in the program.

#include "postmsg.h"

#include <QObject>
#include <QStringList>

#include <mutex>

class SignalRecorder : public QObject
{
    Q_OBJECT
public:
    explicit SignalRecorder(QObject *parent = nullptr) : QObject(parent)
    {
        PostMsg *hub = PostMsg::GetInstance();
        const auto blocking = Qt::BlockingQueuedConnection;
        connect(hub, &PostMsg::SigUpDataLightUIButton, this, [this](FlashDataMap) { Add("SigUpDataLightUIButton"); }, blocking);
        connect(hub, &PostMsg::SigUpDataLightLight, this, [this](FlashDataMap) { Add("SigUpDataLightLight"); }, blocking);
        connect(hub, &PostMsg::SigUpDataLightSensor, this, [this](FlashDataMap image) {
            Add("SigUpDataLightSensor");
            lastSensorImage = image;
        }, blocking);
        connect(hub, &PostMsg::SigForm, this, [this] { Add("SigForm"); }, blocking);
        connect(hub, &PostMsg::SigFormReset, this, [this] { Add("SigFormReset"); }, blocking);
        connect(hub, &PostMsg::SigRGBValue, this, [this](DongleRGB *rgb) { Add(QString("SigRGBValue(%1)").arg(rgb->Mode)); }, blocking);
        connect(hub, &PostMsg::SigLongRangeMode, this, [this](bool on) { Add(QString("SigLongRangeMode(%1)").arg(on)); }, blocking);
        connect(hub, &PostMsg::SigUpDataReportRate, this, [this](int code) { Add(QString("SigUpDataReportRate(%1)").arg(code)); }, blocking);
        connect(hub, &PostMsg::SigUpDataDPI, this, [this](int level) { Add(QString("SigUpDataDPI(%1)").arg(level)); }, blocking);
        connect(hub, &PostMsg::SigUpDataConfigUI, this, [this](int total, int index, bool enable) {
            Add(QString("SigUpDataConfigUI(%1,%2,%3)").arg(total).arg(index).arg(enable));
        }, blocking);
        connect(hub, &PostMsg::SigBattery, this, [this](bool charging, int level, bool text) {
            Add(QString("SigBattery(%1,%2,%3)").arg(charging).arg(level).arg(text));
        }, blocking);
        connect(hub, &PostMsg::SigSetver, this, [this](int index) { Add(QString("SigSetver(%1)").arg(index)); });
        connect(hub, &PostMsg::SigUpDataParam, this, [this](int index) { Add(QString("SigUpDataParam(%1)").arg(index)); });
        connect(hub, &PostMsg::SigCloseOffOnline, this, [this] { Add("SigCloseOffOnline"); });
        connect(hub, &PostMsg::SigMouseOffLineo, this, [this](int index) { Add(QString("SigMouseOffLineo(%1)").arg(index)); });
    }

    QStringList Names() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_names;
    }
    void Clear()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_names.clear();
    }

    FlashDataMap lastSensorImage{};

private:
    void Add(const QString &name)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_names << name;
    }
    mutable std::mutex m_mutex;
    QStringList m_names;
};
