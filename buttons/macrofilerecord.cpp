#include "macrofilerecord.h"

#include "keynames.h"

#include <QIODevice>
#include <QStringList>
#include <cstring>

namespace {

// Action words of a key line.
const char kPressWord[] = "0";
const char kReleaseWord[] = "1";
constexpr uint8_t kPress = 0;
constexpr uint8_t kRelease = 1;

// The words of a line, its line end (LF, CR LF) taken off first, so that the
// last line of a file reads the same with or without a final line end.
QStringList WordsOf(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

uint32_t DelayOf(QString word)
{
    word.remove(QStringLiteral("ms"));
    bool ok = false;
    const uint ms = word.trimmed().toUInt(&ok, 10);
    return ok ? uint32_t(ms) : 0;
}

void SetName(const QString &name, MacroRecord &record)
{
    QString plain = name;
    plain.remove(QChar(0));
    const QByteArray bytes = MacroRecordNameBytes(plain);
    record.NameLength = uint8_t(bytes.size());
    std::memcpy(record.Name, bytes.constData(), size_t(bytes.size()));
}

}  // namespace

bool BuildMacroRecord(QIODevice &file, const QString &name, MacroRecord *record)
{
    MacroRecord built = EmptyMacroRecord();
    SetName(name, built);

    file.readLine();  // the loop code
    int k = 0;  // the current event
    bool anyEvent = false;
    while (!file.atEnd()) {
        const QStringList words = WordsOf(file.readLine());
        if (words.size() != 3 && words.size() != 1)
            continue;
        if (k >= kMacroEventSlots)
            return false;
        anyEvent = true;
        MacroEvent &event = built.Events[k];
        if (words.size() == 3) {
            const QString key = KeyNames::HexCodeToKeyName(words.at(0), words.at(1).toInt(nullptr, 10));
            KeyNames::KeyNameToEvent(key, k, built);
            if (words.at(2) == QLatin1String(kPressWord))
                event.Action = kPress;
            else if (words.at(2) == QLatin1String(kReleaseWord))
                event.Action = kRelease;
            event.Delay = 0;
        } else {
            event.Delay = DelayOf(words.first());
            ++k;
        }
    }
    const int count = anyEvent ? k + 1 : 0;
    if (count > kMacroEventSlots)
        return false;
    built.Count = uint8_t(count);
    *record = built;
    return true;
}
