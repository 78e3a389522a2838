#include "firmwareimages.h"

#include "configini.h"
#include "globals.h"
#include "paths.h"
#include "receiverclass.h"
#include "wholefile.h"

#include <QDir>

#include <algorithm>
#include <mutex>

QList<QByteArray> g_RepairFirmware;
QList<QByteArray> g_UpdateFirmware;
std::atomic<int> g_UpdateCid{0};

namespace {

// Every image a search ever took, kept for the whole run so that the pointer
// the firmware library holds never dangles. Identical images share one buffer,
// so repeated searches do not grow it.
QList<QByteArray> s_retainedImages;
std::mutex s_retainedLock;

QByteArray RetainedForTheRun(const QByteArray &image)
{
    const std::lock_guard<std::mutex> lock(s_retainedLock);
    for (const QByteArray &kept : s_retainedImages) {
        if (kept == image)
            return kept;
    }
    s_retainedImages.append(image);
    return image;
}

struct SearchRequest {
    uint8_t target;
    QString currentVersion;  // as given, "v" included
    QString modelName;
    uint8_t cid;
    uint8_t mid;
};

// The current version as the searches compare it: without any lower-case
// "v", and "0.0" when none was given.
QString NormalisedVersion(const QString &given)
{
    if (given.isEmpty())
        return QStringLiteral("0.0");
    QString text = given;
    text.remove(QLatin1Char('v'));
    return text;
}

// "major.minor" (decimal major, hexadecimal minor) as numbers.
bool ParseVersion(const QString &text, qulonglong *major, qulonglong *minor)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 2 || parts.at(0).isEmpty() || parts.at(1).isEmpty())
        return false;
    bool majorOk = false;
    bool minorOk = false;
    *major = parts.at(0).toULongLong(&majorOk, 10);
    *minor = parts.at(1).toULongLong(&minorOk, 16);
    return majorOk && minorOk;
}

// Equal texts, or texts that stand for the same (major, minor): "1.02" is the
// image version 0x0102, "1.10" is not "1.1".
bool IsSameVersion(const QString &normalisedCurrent, uint32_t imageVersion)
{
    QString imageText = FirmwareVersionText(imageVersion);
    imageText.remove(QLatin1Char('v'));
    if (imageText == normalisedCurrent)
        return true;
    qulonglong major = 0;
    qulonglong minor = 0;
    return ParseVersion(normalisedCurrent, &major, &minor) && major == (imageVersion >> 8) &&
           minor == (imageVersion & 0xFF);
}

bool Matches(const FirmwareHeader &header, const SearchRequest &request)
{
    return header.Target == request.target && header.Cid == request.cid && header.Mid == request.mid &&
           QString::fromLocal8Bit(header.ModelName) == request.modelName;
}

// Reads one whole image whose header matches the request. False for a file
// that cannot be read, is not a regular file, does not match, or is not whole
// as its header describes it.
bool ReadMatchingImage(const QString &path, const SearchRequest &request, QByteArray *image,
                       FirmwareHeader *header)
{
    using namespace FirmwareLayout;
    QByteArray bytes;
    if (!WholeFile::Read(path, &bytes, qint64(kHeaderSize) + kMaxBodyLength))
        return false;
    if (!FirmwareHeader::Read(bytes, header) || !Matches(*header, request) || !header->DescribesWhole(bytes))
        return false;
    *image = bytes;
    return true;
}

// The scan shared by the three searches; `keep` is null for HasNewFirmware.
bool Scan(const SearchRequest &request, const QString &folder, QList<QByteArray> *keep)
{
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    // The suffix is compared by hand: a name filter compiles a regular
    // expression, which loads its library's code for this one test.
    QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    const auto notImage = [](const QString &name) {
        return !name.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive);
    };
    names.erase(std::remove_if(names.begin(), names.end(), notImage), names.end());
    const QString current = NormalisedVersion(request.currentVersion);
    bool taken = false;
    for (const QString &name : names) {
        QByteArray image;
        FirmwareHeader header;
        if (!ReadMatchingImage(dir.filePath(name), request, &image, &header))
            continue;
        if (!request.currentVersion.isEmpty() && IsSameVersion(current, header.Version))
            continue;
        taken = true;
        if (keep)
            *keep = {RetainedForTheRun(image)};
    }
    return taken;
}

}  // namespace

QString FirmwareFolder()
{
    return Paths::AppFolder() + "/bin";
}

bool FindRepairFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                        const QString &folder)
{
    g_RepairFirmware.clear();
    return Scan({target, currentVersion, modelName, cid, mid}, folder, &g_RepairFirmware);
}

bool FindRepairFirmwareImage(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                             QByteArray *image, const QString &folder)
{
    QList<QByteArray> taken;
    const bool found = Scan({target, currentVersion, modelName, cid, mid}, folder, &taken);
    *image = found ? taken.first() : QByteArray();
    return found;
}

bool FindUpdateFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                        const QString &folder)
{
    g_UpdateFirmware.clear();
    return Scan({target, currentVersion, modelName, cid, mid}, folder, &g_UpdateFirmware);
}

bool HasNewFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                    const QString &folder)
{
    if (currentVersion.isEmpty())
        return false;
    return Scan({target, currentVersion, modelName, cid, mid}, folder, nullptr);
}

bool HasNewFirmwareForClass(uint8_t target, QString currentVersion, int receiverClass, const QString &folder)
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString group = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);
    const int cid = config->IntValue("Option", "CID");
    g_UpdateCid = cid;
    const int mid = config->IntValue(group, "MID");
    QString modelKey = QStringLiteral("MM");
    if (target != kMouseFirmware) {
        modelKey = ReceiverClass::ModelKey(receiverClass);
        if (modelKey.isEmpty())
            return false;
    }
    return HasNewFirmware(target, currentVersion, config->Value(group, modelKey), uint8_t(cid), uint8_t(mid),
                          folder);
}
