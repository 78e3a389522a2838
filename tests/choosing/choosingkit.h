#pragma once
// Fixtures of the device-choice and wait-popup suites: a recorder of the hub
// signals they emit, a watcher that answers modal dialogs by class, settings
// files written the way the button page exports them, and an application
// folder whose firmware images a test chooses.

#include "deviceallinfo.h"
#include "firmwareimages.h"
#include "flashdatamap.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>
#include <functional>
#include <mutex>

namespace ChoosingKit {

inline QByteArray ImageBytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

inline FlashDataMap ImageFrom(const QByteArray &bytes)
{
    FlashDataMap image{};
    std::memcpy(&image, bytes.constData(), size_t(qMin(bytes.size(), kFlashDataMapSize)));
    return image;
}

// Records, in order, the hub signals that choosing a device and the wait
// popup emit, with the images and device records they carry.
class HubRecorder : public QObject
{
public:
    explicit HubRecorder(QObject *parent = nullptr) : QObject(parent)
    {
        PostMsg *hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigSetver, this, [this](int i) { Add(QString("SigSetver(%1)").arg(i)); });
        connect(hub, &PostMsg::SigMouseIndex, this, [this](int i) { Add(QString("SigMouseIndex(%1)").arg(i)); });
        connect(hub, &PostMsg::SigSelectMouseInfo, this, [this](DeviceAllInfo info) {
            selected = info;
            Add("SigSelectMouseInfo");
        });
        connect(hub, &PostMsg::SigLabelTextB, this,
                [this](QString a, QString b) { Add(QString("SigLabelTextB(%1,%2)").arg(a, b)); });
        connect(hub, &PostMsg::SigChangeMainDialog, this,
                [this](int i) { Add(QString("SigChangeMainDialog(%1)").arg(i)); });
        connect(hub, &PostMsg::SigUpDataParam, this, [this](int i) { Add(QString("SigUpDataParam(%1)").arg(i)); });
        connect(hub, &PostMsg::SigMouseOffLineo, this,
                [this](int i) { Add(QString("SigMouseOffLineo(%1)").arg(i)); });
        connect(hub, &PostMsg::SigUpDataLightUIA, this, [this](FlashDataMap image) {
            images << ImageBytes(image);
            Add("SigUpDataLightUIA");
        });
        connect(hub, &PostMsg::SigUpDataSensorUIB, this, [this](FlashDataMap image) {
            images << ImageBytes(image);
            Add("SigUpDataSensorUIB");
        });
        connect(hub, &PostMsg::SigUpDataButtonUIC, this, [this](FlashDataMap image) {
            images << ImageBytes(image);
            Add("SigUpDataButtonUIC");
        });
        connect(hub, &PostMsg::SigFormB, this, [this] { Add("SigFormB"); });
    }

    // Marks an event of the test itself (such as a popup closing) in the order.
    void Add(const QString &name)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        names << name;
    }
    QStringList Names() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return names;
    }
    // The recorded names that start with one of `prefixes`.
    QStringList Only(const QStringList &prefixes) const
    {
        QStringList kept;
        for (const QString &name : Names()) {
            for (const QString &prefix : prefixes) {
                if (name.startsWith(prefix)) {
                    kept << name;
                    break;
                }
            }
        }
        return kept;
    }
    void Clear()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        names.clear();
        images.clear();
    }

    DeviceAllInfo selected;
    QList<QByteArray> images;

private:
    mutable std::mutex mutex;
    QStringList names;
};

using TestSupport::SeenModal;

// Answers every modal dialog that opens while it lives, except the wait popup:
// it clicks the child named for the class (by default CloseButton; "" sends
// Escape) and records what it saw.
class ModalWatcher : public TestSupport::ModalWatcher
{
public:
    explicit ModalWatcher(QHash<QString, QString> answers = {})
        : TestSupport::ModalWatcher(std::move(answers), {QStringLiteral("UpDataParam")}, QStringLiteral("CloseButton"))
    {
    }
};

// A settings file as the button page exports it: three length-prefixed
// blocks (tag, sensor name, image). Lengths can be overridden to build
// damaged files; `truncateTo` >= 0 cuts the file after that many bytes.
struct SettingsFile {
    QByteArray tag = QByteArray("Qelvo").leftJustified(12, '\0');
    QByteArray sensor = QByteArray("3950").leftJustified(12, '\0');
    QByteArray image;
    qint64 imageLengthOverride = -1;
    qint64 tagLengthOverride = -1;
    int truncateTo = -1;

    static QByteArray NameBlock(const QByteArray &name) { return name.leftJustified(12, '\0', true); }

    QByteArray Bytes() const
    {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        auto block = [&out](const QByteArray &data, qint64 lengthOverride) {
            out << quint32(lengthOverride >= 0 ? quint32(lengthOverride) : quint32(data.size()));
            out.writeRawData(data.constData(), data.size());
        };
        block(tag, tagLengthOverride);
        block(sensor, -1);
        block(image, imageLengthOverride);
        return truncateTo >= 0 ? bytes.left(truncateTo) : bytes;
    }

    bool Write(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(Bytes()) == Bytes().size();
    }
};

// An application folder beside the staged one: everything of the stage is
// linked in, except "bin", which starts empty and takes the test's images.
// VOGM_APP_DIR points at it while the object lives.
class FixtureAppFolder
{
public:
    FixtureAppFolder() : m_stage(qEnvironmentVariable("VOGM_APP_DIR"))
    {
        const QDir stage(m_stage);
        for (const QString &entry : stage.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (entry != QLatin1String("bin"))
                QFile::link(stage.filePath(entry), m_dir.filePath(entry));
        }
        QDir(m_dir.path()).mkpath(QStringLiteral("bin"));
        qputenv("VOGM_APP_DIR", m_dir.path().toLocal8Bit());
    }
    ~FixtureAppFolder() { qputenv("VOGM_APP_DIR", m_stage.toLocal8Bit()); }

    bool AddImage(const QString &fileName, uint8_t target, uint32_t version, uint8_t cid, uint8_t mid,
                  const QByteArray &model)
    {
        FirmwareHeader header;
        header.Version = version;
        header.Target = target;
        header.Cid = cid;
        header.Mid = mid;
        header.ModelName = model;
        QSaveFile file(m_dir.filePath(QStringLiteral("bin/") + fileName));
        return file.open(QIODevice::WriteOnly) && file.write(header.MakeImage(QByteArray(64, '\x5A'))) > 0
            && file.commit();
    }

private:
    QString m_stage;
    QTemporaryDir m_dir;
};

}  // namespace ChoosingKit
