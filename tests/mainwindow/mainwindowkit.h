#pragma once
// Helpers of the main-window suites: the library's call log as text, a
// recorder of the modal dialogs that open (with their place), and a reset of
// the shared state between cases.

#include "globals.h"
#include "hidusb_control.h"
#include "noticedialog.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace MainWindowKit {

// The calls of the given functions as "Name(args)" ("Name" without
// arguments), oldest first.
inline QStringList Calls(const QStringList &functions)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallLog()) {
        if (!functions.contains(record.function))
            continue;
        out << (record.arguments.isEmpty() ? record.function
                                           : record.function + "(" + record.arguments + ")");
    }
    return out;
}

// The connection-shutdown calls the main window and the device page make.
inline QStringList ShutdownCalls()
{
    return Calls({"UsbServer_SetPCDriverStatus", "StopUsbChanged", "UsbServer_Exit"});
}

// One modal dialog as it appeared.
struct SeenModal {
    QString className;
    QPoint pos;
    QSize size;
};

// Watches for modal dialogs while it lives. Each new one is recorded with its
// place and then answered: by clicking the child named in `answers` for its
// class, or with Escape (the dialog's rejection) when none is named. Dialogs
// of the classes in `leave` are neither recorded nor answered.
class ModalRecorder : public QObject
{
public:
    explicit ModalRecorder(QMap<QString, QString> answers = {}, QStringList leave = {})
        : m_answers(std::move(answers)), m_leave(std::move(leave))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start(10);
    }

    QStringList Classes() const
    {
        QStringList names;
        for (const SeenModal &modal : seen)
            names << modal.className;
        return names;
    }

    QList<SeenModal> seen;
    // Called with each new modal before it is answered.
    std::function<void(QWidget *)> inspect;

private:
    void Poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || m_leave.contains(QString::fromLatin1(modal->metaObject()->className())))
            return;
        m_last = modal;
        seen.append({QString::fromLatin1(modal->metaObject()->className()), modal->pos(), modal->size()});
        if (inspect)
            inspect(modal);
        const QString child = m_answers.value(seen.last().className);
        TestSupport::AnswerModal(modal, child);
    }

    QMap<QString, QString> m_answers;
    QStringList m_leave;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};

// Where a dialog of `size` goes over `opener` with the offset (dx, dy).
inline QPoint PlaceOver(const QWidget *opener, const QSize &size, int dx, int dy)
{
    return NoticePosition(QRect(opener->mapToGlobal(QPoint(0, 0)), opener->size()), size, dx, dy);
}

inline void ResetSharedState()
{
    g_WritesAllowed = 0;
    g_SessionActive = 0;
    g_MacroRecording = 0;
    g_WaitOnline = 0;
    g_RestartWorker = 0;
    g_SensorFilled = 0;
    g_ButtonFilled = 0;
    g_DeviceOnline = 0;
    g_DeviceDataReady = 0;
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    g_LoadCacheName.Set(QString());
    g_SaveCacheName.Set(QString());
    g_CurrentDevice.Set(DeviceAllInfo());
    StoreImage(FlashDataMap{});
}

}  // namespace MainWindowKit
