#include "macrofile.h"

#include "eventlisteditor.h"
#include "keynames.h"
#include "macrorecord.h"
#include "paths.h"
#include "wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QVector>
#include <limits>
#include <optional>

namespace MacroFile {

namespace {

const char kPressDigit[] = "0";
const char kReleaseDigit[] = "1";

// Strips the line end (LF, CR LF, or a stray CR) off a line.
QByteArray WithoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

QVector<QByteArray> Lines(const QByteArray &content)
{
    QVector<QByteArray> lines;
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        lines.append(WithoutLineEnd(content.mid(start, end - start)));
        start = end + 1;
    }
    return lines;
}

QStringList Words(const QByteArray &line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A key line's action digit: press or release; nullopt for anything else.
std::optional<bool> PressOf(const QString &digit)
{
    if (digit == QLatin1String(kPressDigit))
        return true;
    if (digit == QLatin1String(kReleaseDigit))
        return false;
    return std::nullopt;
}

void ParseItemLine(const QStringList &words, MacroItems &items)
{
    if (words.size() == 3) {
        bool kindOk = false;
        const int kind = words.at(1).toInt(&kindOk, 10);
        const std::optional<bool> press = PressOf(words.at(2));
        if (kindOk && press)
            items.append(MacroItem::Key(KeyNames::HexCodeToKeyName(words.at(0), kind), *press));
        return;
    }
    if (words.size() != 1)
        return;
    const QString &word = words.first();
    if (IsDelayText(word)) {
        items.append(MacroItem{word, MacroItem::kDelayType});
        return;
    }
    // Older files hold a bare action digit for a key whose name had no code.
    if (const std::optional<bool> press = PressOf(word))
        items.append(MacroItem::Key(QString(), *press));
}

}  // namespace

QString Folder()
{
    return Paths::BaseFolder() + QStringLiteral("/usersetting/MacroPage");
}

QString PathOf(const QString &folder, const QString &name)
{
    if (!IsSafeMacroName(name))
        return QString();
    return folder + QLatin1Char('/') + name + QStringLiteral(".ini");
}

QByteArray ItemLine(const MacroItem &item)
{
    if (item.IsDelay())
        return item.text.toUtf8();
    QStringList code = KeyNames::KeyNameToHexCode(item.text);
    if (code.isEmpty())
        code = KeyNames::KeyNameToHexCode(QString());
    code.append(QLatin1String(item.IsPress() ? kPressDigit : kReleaseDigit));
    return code.join(QLatin1Char(' ')).toUtf8();
}

QByteArray ItemLines(const MacroItems &items)
{
    QByteArray lines;
    for (const MacroItem &item : items)
        lines += ItemLine(item) + '\n';
    return lines;
}

QByteArray Content(int loopCode, const MacroItems &items)
{
    return QByteArray::number(loopCode) + '\n' + ItemLines(items);
}

Parsed ParseMacroFile(const QByteArray &content)
{
    Parsed parsed;
    const QVector<QByteArray> lines = Lines(content);
    if (lines.isEmpty())
        return parsed;
    const QStringList first = Words(lines.first());
    if (!first.isEmpty()) {
        bool ok = false;
        const int code = first.first().toInt(&ok, 10);
        parsed.loopCode = ok ? code : 0;
    }
    for (int i = 1; i < lines.size(); ++i)
        ParseItemLine(Words(lines.at(i)), parsed.items);
    return parsed;
}

bool Write(const QString &path, int loopCode, const MacroItems &items)
{
    return WholeFile::Write(path, Content(loopCode, items));
}

bool Append(const QString &path, const MacroItems &items)
{
    QByteArray content;
    if (!WholeFile::Read(path, &content))
        return false;
    if (!content.isEmpty() && !content.endsWith('\n'))
        content += '\n';
    return WholeFile::Write(path, content + ItemLines(items));
}

bool Read(const QString &path, Parsed *parsed)
{
    QByteArray content;
    if (!WholeFile::Read(path, &content, kMaxFileBytes))
        return false;
    *parsed = ParseMacroFile(content);
    return true;
}

Loaded Load(const QString &path)
{
    Loaded loaded;
    Parsed parsed;
    if (path.isEmpty())
        return loaded;
    if (!Read(path, &parsed)) {
        if (WholeFile::IsRegularFile(path, std::numeric_limits<qint64>::max()))
            loaded.result = LoadResult::OverLimit;
        return loaded;
    }
    if (!EventListEditor::WithinLimits(parsed.items)) {
        loaded.result = LoadResult::OverLimit;
        return loaded;
    }
    loaded.result = LoadResult::Loaded;
    loaded.loopCode = parsed.loopCode;
    loaded.items = EventListEditor::Repaired(parsed.items);
    return loaded;
}

LoadResult BuildRecord(const QString &path, const QString &name, MacroRecord *record)
{
    const Loaded loaded = Load(path);
    if (loaded.result != LoadResult::Loaded)
        return loaded.result;
    return BuildMacroRecord(name, loaded.items, record) ? LoadResult::Loaded : LoadResult::OverLimit;
}

bool Exists(const QString &path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

bool CreateEmpty(const QString &path)
{
    // NewOnly opens with O_EXCL: an existing entry, a dangling link included,
    // makes the open fail instead of being emptied or followed.
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

bool Remove(const QString &path)
{
    return QFile::remove(path) || !Exists(path);
}

bool IsDelayText(const QString &text)
{
    if (!text.endsWith(QStringLiteral("ms")) || text.size() <= 2)
        return false;
    for (int i = 0; i < text.size() - 2; ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

}  // namespace MacroFile

bool IsSafeMacroName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool IsValidMacroName(const QString &name)
{
    return IsSafeMacroName(name) && name.toLocal8Bit().size() <= kMacroNameBytes
           && !name.contains(QStringLiteral("xml")) && !name.contains(QStringLiteral(".ini"))
           && !name.startsWith(QLatin1Char('.'));
}
