#include "macroini.h"

#include "paths.h"
#include "wholefile.h"


#include <limits>

MacroIni *g_MacroIni = nullptr;
std::mutex g_MacroIniMutex;

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// A section or key name as Qt's INI format writes it: letters, digits, "_",
// "-" and "." as they are, "/" as "\", everything else %XX or %UXXXX.
QByteArray EscapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const ushort u = c.unicode();
        if (u == '/') {
            out += '\\';
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
                   || u == '-' || u == '.') {
            out += char(u);
        } else if (u <= 0xFF) {
            out += '%';
            out += kHexDigits[u / 16];
            out += kHexDigits[u % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(u >> shift) & 0xF];
        }
    }
    return out;
}

bool IsHexDigit(ushort u)
{
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// One text value as Qt's INI format writes it with a UTF-8 codec: control
// characters escaped, quoted when it holds ";", "," or "=" or starts or ends
// with a blank, and a leading "@" doubled (Qt reads "@..." as a typed value).
QByteArray EscapedText(const QString &value)
{
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out;
    bool quote = false;
    bool escapeNextIfHexDigit = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (u == ';' || u == ',' || u == '=')
            quote = true;
        if (escapeNextIfHexDigit && IsHexDigit(u)) {
            out += "\\x" + QByteArray::number(u, 16);
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (u) {
        case 0: out += "\\0"; escapeNextIfHexDigit = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(u);
            break;
        default:
            if (u <= 0x1F) {
                out += "\\x" + QByteArray::number(u, 16);
                escapeNextIfHexDigit = true;
            } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += QString(text.constData() + i, 2).toUtf8();  // one character outside the BMP
                ++i;
            } else {
                out += QString(c).toUtf8();
            }
        }
    }
    // The reader trims spaces around an unquoted text (tabs are escaped).
    if (quote || text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' ')))
        out = '"' + out + '"';
    return out;
}

QByteArray EscapedValue(const QVariant &value)
{
    if (!value.isValid())
        return QByteArrayLiteral("@Invalid()");
    const bool isList = value.userType() == QMetaType::QStringList
        || (value.userType() == QMetaType::QVariantList && value.toList().size() != 1);
    if (!isList)
        return EscapedText(value.toString());
    const QStringList items = value.toStringList();
    if (items.isEmpty())
        return QByteArrayLiteral("@Invalid()");
    QByteArray out;
    for (int i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += EscapedText(items.at(i));
    }
    return out;
}

// "[General]" holds the keys without a group; a group of that name is
// written "[%General]" so that it stays a group.
QByteArray SectionLine(const QString &group)
{
    if (group.isEmpty())
        return QByteArrayLiteral("[General]");
    if (group.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return "[%" + group.toLatin1() + ']';
    return '[' + EscapedKey(group) + ']';
}

QString FullKey(const QString &group, const QString &key)
{
    return group + QLatin1Char('/') + key;
}

// Trims what Qt's INI format counts as blanks around a line, a key or an
// unquoted value: spaces, tabs and carriage returns (other Unicode blanks
// are part of the text).
QString TrimmedBlanks(const QString &text)
{
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r'); };
    int from = 0;
    int to = text.size();
    while (from < to && blank(text.at(from)))
        ++from;
    while (to > from && blank(text.at(to - 1)))
        --to;
    return text.mid(from, to - from);
}

// Undoes EscapedKey: %XX and %UXXXX, "\" back to "/".
QString UnescapedKey(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            continue;
        }
        if (c == QLatin1Char('%')) {
            const bool wide = i + 1 < text.size() && text.at(i + 1) == QLatin1Char('U');
            const int digits = wide ? 4 : 2;
            const int from = i + 1 + (wide ? 1 : 0);
            bool ok = false;
            const uint code = text.mid(from, digits).toUInt(&ok, 16);
            if (ok && text.mid(from, digits).size() == digits) {
                out += QChar(ushort(code));
                i = from + digits - 1;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QChar EscapedChar(QChar c)
{
    switch (c.unicode()) {
    case 'a': return QChar('\a');
    case 'b': return QChar('\b');
    case 'f': return QChar('\f');
    case 'n': return QChar('\n');
    case 'r': return QChar('\r');
    case 't': return QChar('\t');
    case 'v': return QChar('\v');
    case '0': return QChar(0);
    default: return c;
    }
}

// One value: quoted parts, backslash escapes (\xHH.. with up to four hex
// digits), "," between list items and ";" starting a comment outside quotes.
// One item gives a text ("@@" at its start is a literal "@", "@Invalid()" no
// value), several a list.
QVariant ParsedValue(const QString &text)
{
    QStringList items;
    QString item;
    bool quoted = false;
    int kept = 0;  // the item's length up to its last character that is not a bare blank
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r'); };
    auto add = [&](QChar c, bool bare) {
        if (bare && isBlank(c)) {
            if (!item.isEmpty())  // blanks before the text are dropped, after it trimmed at its end
                item += c;
            return;
        }
        item += c;
        kept = item.size();
    };
    auto finishItem = [&] {
        item.truncate(kept);
        items << item;
        item.clear();
        kept = 0;
    };
    int i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i++);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            kept = item.size();
        } else if (c == QLatin1Char('\\') && i < text.size()) {
            const QChar next = text.at(i++);
            if (next == QLatin1Char('x')) {
                int digits = 0;
                uint code = 0;
                while (digits < 4 && i < text.size() && IsHexDigit(text.at(i).unicode())) {
                    code = code * 16 + uint(QString(text.at(i)).toUInt(nullptr, 16));
                    ++i;
                    ++digits;
                }
                add(QChar(ushort(code)), false);
            } else {
                add(EscapedChar(next), false);
            }
        } else if (!quoted && c == QLatin1Char(',')) {
            finishItem();
        } else if (!quoted && c == QLatin1Char(';')) {
            break;
        } else {
            add(c, !quoted);
        }
    }
    finishItem();
    if (items.size() > 1) {
        for (QString &listed : items) {
            if (listed.startsWith(QLatin1String("@@")))
                listed.remove(0, 1);
        }
        return items;
    }
    const QString value = items.first();
    if (value == QLatin1String("@Invalid()"))
        return QVariant();
    if (value.startsWith(QLatin1String("@@")))
        return value.mid(1);
    return value;
}

}  // namespace

MacroIni::MacroIni(const QString &path) : m_path(path) {}

MacroIni *MacroIni::GetInstance()
{
    const std::lock_guard<std::mutex> lock(g_MacroIniMutex);
    const QString path = DefaultPath();
    if (!g_MacroIni) {
        g_MacroIni = new MacroIni(path);
    } else if (g_MacroIni->m_path != path) {
        // The base folder moved (tests give cases folders of their own).
        g_MacroIni->m_path = path;
        g_MacroIni->m_unsaved.clear();
    }
    return g_MacroIni;
}

QString MacroIni::DefaultPath()
{
    return Paths::BaseFolder() + "/Macro.ini";
}

QVariantMap MacroIni::ReadFile(const QString &path)
{
    QByteArray content;
    if (!WholeFile::Read(path, &content))
        return {};
    return Parsed(content);
}

QVariantMap MacroIni::Parsed(const QByteArray &content)
{
    QVariantMap values;
    QString section;
    for (const QByteArray &rawLine : content.split('\n')) {
        const QString line = TrimmedBlanks(QString::fromUtf8(rawLine));
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.lastIndexOf(QLatin1Char(']'));
            const QString name = TrimmedBlanks(line.mid(1, close < 0 ? -1 : close - 1));
            // "[General]" holds the keys without a group; "[%General]" is the group.
            if (name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare(QLatin1String("%General"), Qt::CaseInsensitive) == 0)
                section = name.mid(1);
            else
                section = UnescapedKey(name);
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = UnescapedKey(TrimmedBlanks(line.left(equals)));
        if (key.isEmpty())
            continue;
        values.insert(section.isEmpty() ? key : section + QLatin1Char('/') + key, ParsedValue(line.mid(equals + 1)));
    }
    return values;
}

QByteArray MacroIni::Serialised(const QVariantMap &values)
{
    // Grouped by the text before the first "/", as Qt writes its INI files.
    QMap<QString, QVariantMap> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        // A key that starts or ends with its only "/" has no group and key of
        // its own: it stays whole in [General].
        const int slash = it.key().indexOf(QLatin1Char('/'));
        const bool grouped = slash > 0 && slash < it.key().size() - 1;
        const QString group = grouped ? it.key().left(slash) : QString();
        sections[group].insert(grouped ? it.key().mid(slash + 1) : it.key(), it.value());
    }
    QByteArray out;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (!out.isEmpty())
            out += '\n';
        out += SectionLine(section.key()) + '\n';
        for (auto it = section->cbegin(); it != section->cend(); ++it)
            out += EscapedKey(it.key()) + '=' + EscapedValue(it.value()) + '\n';
    }
    return out;
}

QVariantMap MacroIni::CurrentValues(bool *replaceable) const
{
    QByteArray content;
    const bool read = WholeFile::Read(m_path, &content);
    // A regular file that is there but cannot be read (no permission, too
    // large) is never replaced by one that holds only the changed values.
    if (replaceable)
        *replaceable = read || !WholeFile::IsRegularFile(m_path, std::numeric_limits<qint64>::max());
    QVariantMap values = read ? Parsed(content) : QVariantMap();
    for (auto it = m_unsaved.cbegin(); it != m_unsaved.cend(); ++it) {
        if (it.value().isValid())
            values.insert(it.key(), it.value());
        else
            values.remove(it.key());
    }
    return values;
}

bool MacroIni::Store(const QString &key, const QVariant &value)
{
    m_unsaved.insert(key, value);
    bool replaceable = false;
    const QVariantMap values = CurrentValues(&replaceable);
    if (!replaceable || !WholeFile::Write(m_path, Serialised(values)))
        return false;
    m_unsaved.clear();
    return true;
}

QString MacroIni::Value(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_MacroIniMutex);
    return CurrentValues().value(FullKey(group, key)).toString();
}

QStringList MacroIni::ValueList(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_MacroIniMutex);
    return CurrentValues().value(FullKey(group, key)).toStringList();
}

bool MacroIni::SetValue(const QString &group, const QString &key, const QString &value)
{
    const std::lock_guard<std::mutex> lock(g_MacroIniMutex);
    return Store(FullKey(group, key), value);
}

bool MacroIni::Remove(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_MacroIniMutex);
    return Store(FullKey(group, key), QVariant());
}
