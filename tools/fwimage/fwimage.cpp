// fwimage: writes firmware image files in the layout the program reads
// (header fields from the arguments, a body of the given size).
//
//   fwimage write --out FILE --version V --target T --cid C --mid M --model NAME [--body-size N]
//       One image. Numbers take decimal or 0x-hexadecimal.
//   fwimage demo --config Config.ini --out-dir DIR [--mouse-version V] [--receiver-version V]
//                [--receiver-keys D4M,D8M] [--body-size N]
//       The demo images staged beside the program: for every model group of
//       Config.ini one mouse image (target 210, its MM) and one receiver image
//       (target 211) per listed receiver key. Files whose content is already
//       right are left untouched.

#include "firmwareimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QTextCodec>
#include <cstdio>

namespace {

using Options = QMap<QString, QString>;

const int kDefaultBodySize = 8192;

void Fail(const QString &message)
{
    std::fprintf(stderr, "fwimage: %s\n", qPrintable(message));
}

bool ParseOptions(const QStringList &args, Options *options)
{
    for (int i = 0; i < args.size(); i += 2) {
        if (!args.at(i).startsWith("--") || i + 1 >= args.size()) {
            Fail("expected --name value pairs, got " + args.at(i));
            return false;
        }
        options->insert(args.at(i).mid(2), args.at(i + 1));
    }
    return true;
}

bool Number(const Options &options, const QString &name, qulonglong max, uint32_t *value)
{
    bool ok = false;
    const qulonglong parsed = options.value(name).toULongLong(&ok, 0);
    if (!ok || parsed > max) {
        Fail(QString("--%1 needs a number up to %2").arg(name).arg(max));
        return false;
    }
    *value = uint32_t(parsed);
    return true;
}

bool OptionalNumber(const Options &options, const QString &name, uint32_t fallback, qulonglong max,
                    uint32_t *value)
{
    if (!options.contains(name)) {
        *value = fallback;
        return true;
    }
    return Number(options, name, max, value);
}

// A body that looks like firmware and differs between images: xorshift
// bytes seeded from the header.
QByteArray Body(const QByteArray &header, int size)
{
    uint32_t state = 2166136261u;
    for (const char c : header)
        state = (state ^ uint8_t(c)) * 16777619u;
    if (state == 0)
        state = 1;
    QByteArray body(size, '\0');
    for (int i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        body[i] = char(state & 0xFF);
    }
    return body;
}

QByteArray Image(const FirmwareHeader &header, int bodySize)
{
    return header.MakeImage(Body(header.MakeImage({}), bodySize));
}

bool WriteIfChanged(const QString &path, const QByteArray &content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return true;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        Fail("cannot write " + path);
        return false;
    }
    return true;
}

bool CheckedModelName(const QString &name, QByteArray *bytes)
{
    *bytes = name.toLocal8Bit();
    if (bytes->size() > FirmwareLayout::kModelNameSize) {
        Fail(QString("model name longer than %1 bytes: %2").arg(FirmwareLayout::kModelNameSize).arg(name));
        return false;
    }
    return true;
}

int WriteOne(const Options &options)
{
    FirmwareHeader header;
    uint32_t target = 0, cid = 0, mid = 0, bodySize = 0;
    if (!options.contains("out") || !options.contains("model")) {
        Fail("write needs --out and --model");
        return 2;
    }
    if (!Number(options, "version", 0xFFFFFFFFull, &header.Version) || !Number(options, "target", 255, &target) ||
        !Number(options, "cid", 255, &cid) || !Number(options, "mid", 255, &mid) ||
        !OptionalNumber(options, "body-size", kDefaultBodySize, 64u << 20, &bodySize) ||
        !CheckedModelName(options.value("model"), &header.ModelName))
        return 2;
    header.Target = uint8_t(target);
    header.Cid = uint8_t(cid);
    header.Mid = uint8_t(mid);
    return WriteIfChanged(options.value("out"), Image(header, int(bodySize))) ? 0 : 1;
}

// The identity keys of Config.ini are stored Base64-coded; this is the
// program's decoding (the tool cannot link the core library it feeds).
QString Decoded(const QString &stored)
{
    QString text = QString::fromUtf8(QByteArray::fromBase64(stored.toUtf8()));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char(' '));
    return text;
}

QString FileNameFor(const QString &model, uint32_t version)
{
    QString safe = model;
    safe.replace(QRegularExpression("[^A-Za-z0-9._-]"), "_");
    return safe + "_" + FirmwareVersionText(version) + ".bin";
}

struct DemoImage {
    uint8_t target;
    QString modelKey;
    uint32_t version;
};

int WriteDemo(const Options &options)
{
    uint32_t mouseVersion = 0, receiverVersion = 0, bodySize = 0;
    if (!options.contains("config") || !options.contains("out-dir")) {
        Fail("demo needs --config and --out-dir");
        return 2;
    }
    if (!OptionalNumber(options, "mouse-version", 0x0103, 0xFFFFFFFFull, &mouseVersion) ||
        !OptionalNumber(options, "receiver-version", 0x0102, 0xFFFFFFFFull, &receiverVersion) ||
        !OptionalNumber(options, "body-size", kDefaultBodySize, 64u << 20, &bodySize))
        return 2;
    if (!QFile::exists(options.value("config"))) {
        Fail("no such file: " + options.value("config"));
        return 1;
    }
    QSettings config(options.value("config"), QSettings::IniFormat);
    config.setIniCodec(QTextCodec::codecForName("UTF8"));
    const uint32_t cid = Decoded(config.value("Option/CID").toString()).toUInt();
    const int deviceTotal = config.value("Option/DeviceTotal").toInt();
    QList<DemoImage> kinds = {{kMouseFirmware, "MM", mouseVersion}};
    for (const QString &key : options.value("receiver-keys", "D4M,D8M").split(',', Qt::SkipEmptyParts))
        kinds.append({kReceiverFirmware, key.trimmed(), receiverVersion});

    const QString outDir = options.value("out-dir");
    if (!QDir().mkpath(outDir)) {
        Fail("cannot create " + outDir);
        return 1;
    }
    if (cid == 0 || deviceTotal <= 0) {
        Fail("Config.ini has no customer id or no models");
        return 1;
    }
    for (int drive = 1; drive <= deviceTotal; ++drive) {
        const QString group = "Drive" + QString::number(drive);
        for (const DemoImage &kind : kinds) {
            const QString model = Decoded(config.value(group + "/" + kind.modelKey).toString());
            FirmwareHeader header;
            header.Version = kind.version;
            header.Target = kind.target;
            header.Cid = uint8_t(cid);
            header.Mid = uint8_t(config.value(group + "/MID").toUInt());
            if (model.isEmpty() || header.Mid == 0) {
                Fail(group + " lacks MID or " + kind.modelKey);
                return 1;
            }
            if (!CheckedModelName(model, &header.ModelName) ||
                !WriteIfChanged(outDir + "/" + FileNameFor(model, kind.version), Image(header, int(bodySize))))
                return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    Options options;
    if (!ParseOptions(args, &options))
        return 2;
    if (command == "write")
        return WriteOne(options);
    if (command == "demo")
        return WriteDemo(options);
    Fail("usage: fwimage write|demo --name value ... (see the comment at the top of fwimage.cpp)");
    return 2;
}
