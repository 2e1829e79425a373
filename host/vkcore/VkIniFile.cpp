#include <vkcore/VkIniFile.h>

#include <vkcore/VkError.h>
#include <vkcore/VkStoreFile.h>
#include <vkcore/VkStoreLock.h>

#include <QList>

namespace {
// Keys outside any group live in this section; a group really named so is written "%General".
const char kRootSection[] = "General";
const char kEscapedRootName[] = "%General";

struct Line
{
    QByteArray raw;      // as in the file, without the line break
    bool header = false; // a "[section]" line
    QString section;     // the group the line belongs to; empty for the root group
    QString key;         // the key of a "key=value" line; empty for other lines
};

struct Parsed
{
    QList<Line> lines;
    QHash<QString, QString> values;
    bool wellFormed = true;
};

bool isHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// "%XX" and "%UXXXX" escapes of keys and section names; a backslash in a key stands for '/'.
QString unescapedKey(const QString& text)
{
    QString result;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            result += QLatin1Char('/');
        } else if (c == QLatin1Char('%') && i + 5 < text.size() && text.at(i + 1) == QLatin1Char('U')) {
            bool ok = false;
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            result += ok ? QChar(code) : c;
            i += ok ? 5 : 0;
        } else if (c == QLatin1Char('%') && i + 2 < text.size()) {
            bool ok = false;
            const ushort code = text.mid(i + 1, 2).toUShort(&ok, 16);
            result += ok ? QChar(code) : c;
            i += ok ? 2 : 0;
        } else {
            result += c;
        }
    }
    return result;
}

QString escapedKey(const QString& key)
{
    QString result;
    for (const QChar c : key) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
            u == '-' || u == '.')
            result += c;
        else if (u == '/')
            result += QLatin1Char('\\');
        else if (u <= 0xff)
            result += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            result += QStringLiteral("%U%1").arg(u, 4, 16, QLatin1Char('0')).toUpper();
    }
    return result;
}

// Appends the character that the escape whose letter is text[i] (its backslash just before) stands
// for; returns the index of the escape's last character.
int appendEscaped(const QString& text, int i, QString& result)
{
    const QChar e = text.at(i);
    switch (e.unicode()) {
    case 'a':
        result += QChar(7);
        break;
    case 'b':
        result += QChar(8);
        break;
    case 'f':
        result += QChar(12);
        break;
    case 'n':
        result += QChar(10);
        break;
    case 'r':
        result += QChar(13);
        break;
    case 't':
        result += QChar(9);
        break;
    case 'v':
        result += QChar(11);
        break;
    case 'x': {
        uint code = 0;
        while (i + 1 < text.size() && isHex(text.at(i + 1)))
            code = (code << 4) + uint(QString(text.at(++i)).toUInt(nullptr, 16));
        result += QChar(ushort(code));
        break;
    }
    default:
        if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
            uint code = uint(e.unicode() - '0');
            while (i + 1 < text.size() && text.at(i + 1) >= QLatin1Char('0') &&
                   text.at(i + 1) <= QLatin1Char('7'))
                code = (code << 3) + uint(text.at(++i).unicode() - '0');
            result += QChar(ushort(code));
        } else {
            result += e; // \" \' \\ \? and anything unknown stand for themselves
        }
    }
    return i;
}

// The value part of a line: double quotes group, backslash escapes as in C, ';' outside quotes starts
// a comment, blanks outside quotes at either end do not count, "@@" stands for a leading '@'.
QString unescapedValue(const QString& text)
{
    QString result;
    bool quoted = false;
    int significant = 0; // length of result up to its last character that is not a trailing blank
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            significant = result.size();
            continue;
        }
        if (c == QLatin1Char(';') && !quoted)
            break;
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            i = appendEscaped(text, i + 1, result);
            significant = result.size();
            continue;
        }
        result += c;
        if (quoted || (c != QLatin1Char(' ') && c != QLatin1Char('\t')))
            significant = result.size();
    }
    result.truncate(significant);
    if (result.startsWith(QLatin1String("@@")))
        result.remove(0, 1);
    return result;
}

QString escapedValue(const QString& value)
{
    bool quote = value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
    QString body;
    bool escapeHexDigit = false;
    for (const QChar c : value) {
        const ushort u = c.unicode();
        if (escapeHexDigit && isHex(c)) {
            // A hex digit right after "\x..." would be read as part of that escape.
            body += QStringLiteral("\\x%1").arg(u, 0, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (u) {
        case '"':
            body += QLatin1String("\\\"");
            break;
        case '\\':
            body += QLatin1String("\\\\");
            break;
        case '\n':
            body += QLatin1String("\\n");
            break;
        case '\r':
            body += QLatin1String("\\r");
            break;
        case '\t':
            body += QLatin1String("\\t");
            break;
        case ';':
        case ',':
        case '=':
            quote = true;
            body += c;
            break;
        default:
            if (u < 0x20 || u >= 0x7f) {
                body += QStringLiteral("\\x%1").arg(u, 0, 16);
                escapeHexDigit = true;
            } else {
                body += c;
            }
        }
    }
    if (body.startsWith(QLatin1Char('@')))
        body.prepend(QLatin1Char('@'));
    return quote ? QLatin1Char('"') + body + QLatin1Char('"') : body;
}

QString sectionName(const QString& header)
{
    if (header == QLatin1String(kRootSection))
        return QString();
    if (header == QLatin1String(kEscapedRootName))
        return QLatin1String(kRootSection);
    return unescapedKey(header);
}

Parsed parse(const QByteArray& bytes)
{
    Parsed parsed;
    parsed.wellFormed = !bytes.contains('\0');
    QList<QByteArray> raws = bytes.split('\n');
    if (!raws.isEmpty() && raws.last().isEmpty())
        raws.removeLast(); // the break after the last line
    QString section;
    for (const QByteArray& raw : qAsConst(raws)) {
        Line line;
        line.raw = raw;
        QByteArray text = raw;
        if (text.endsWith('\r'))
            text.chop(1);
        // Read as QSettings reads a file without a codec: one byte, one character.
        const QString trimmed = QString::fromLatin1(text).trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) ||
            trimmed.startsWith(QLatin1Char('#'))) {
            // blank or comment
        } else if (trimmed.startsWith(QLatin1Char('['))) {
            const int end = trimmed.indexOf(QLatin1Char(']'));
            if (end < 0)
                parsed.wellFormed = false;
            section = sectionName(trimmed.mid(1, end - 1).trimmed());
            line.header = true;
        } else if (trimmed.contains(QLatin1Char('='))) {
            const int equals = trimmed.indexOf(QLatin1Char('='));
            line.key = unescapedKey(trimmed.left(equals).trimmed());
            if (line.key.isEmpty())
                parsed.wellFormed = false;
            const QString full = section.isEmpty() ? line.key : section + QLatin1Char('/') + line.key;
            parsed.values.insert(full, unescapedValue(trimmed.mid(equals + 1)));
        } else {
            parsed.wellFormed = false;
        }
        line.section = section;
        parsed.lines.append(line);
    }
    return parsed;
}

// The line after the last line that is not blank in the first block of the section whose header is
// line `header`: where a new key of that section goes.
int endOfFirstBlock(const Parsed& parsed, int header)
{
    int at = header + 1;
    for (int i = header + 1; i < parsed.lines.size() && !parsed.lines.at(i).header; ++i) {
        if (!parsed.lines.at(i).raw.trimmed().isEmpty())
            at = i + 1;
    }
    return at;
}

QByteArray sectionHeader(const QString& section)
{
    const QString headerText = section.isEmpty()                        ? QLatin1String(kRootSection)
                               : section == QLatin1String(kRootSection) ? QLatin1String(kEscapedRootName)
                                                                        : escapedKey(section);
    return QByteArray("[") + headerText.toLatin1() + QByteArray("]");
}

// The file with key set to value, every other line as it was.
QByteArray withValue(const Parsed& parsed, const QString& key, const QString& value)
{
    const int slash = key.indexOf(QLatin1Char('/'));
    const QString section = slash < 0 ? QString() : key.left(slash);
    const QString name = slash < 0 ? key : key.mid(slash + 1);
    const QByteArray entry = (escapedKey(name) + QLatin1Char('=') + escapedValue(value)).toLatin1();

    QList<QByteArray> lines;
    for (const Line& line : parsed.lines)
        lines.append(line.raw);
    int replaced = -1;
    int header = -1;
    for (int i = 0; i < parsed.lines.size(); ++i) {
        const Line& line = parsed.lines.at(i);
        if (line.section != section)
            continue;
        if (line.header && header < 0)
            header = i;
        if (line.key == name)
            replaced = i; // the last one is the one readers end up with
    }
    if (replaced >= 0) {
        lines[replaced] = entry;
    } else if (header >= 0) {
        lines.insert(endOfFirstBlock(parsed, header), entry);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append(sectionHeader(section));
        lines.append(entry);
    }
    QByteArray bytes = lines.join('\n');
    bytes.append('\n');
    return bytes;
}
} // namespace

VkIniFile::VkIniFile(const QString& path)
    : m_path(path)
{
    reload();
}

void VkIniFile::reload()
{
    m_values.clear();
    m_lastError.clear();
    QByteArray bytes;
    QString error;
    const VkStoreFile::ReadResult result = VkStoreFile::read(m_path, kMaxBytes, &bytes, &error);
    if (result == VkStoreFile::ReadResult::Read)
        m_values = parse(bytes).values;
    else if (result != VkStoreFile::ReadResult::Missing)
        m_lastError = error;
}

QString VkIniFile::value(const QString& key) const
{
    return m_values.value(key);
}

bool VkIniFile::setValue(const QString& key, const QString& text, QString* error)
{
    // The value holds for this run even when the file cannot take it.
    m_values.insert(key, text);
    const auto fail = [this, error](const QString& message) {
        m_lastError = message;
        return VkError::fail(error, message);
    };
    VkStoreLock lock(m_path);
    QString lockError;
    if (!lock.lock(&lockError))
        return fail(lockError);

    // Start from the file as it is now, so that what another program wrote since is kept.
    QByteArray bytes;
    QString readError;
    QString notice;
    switch (VkStoreFile::read(m_path, kMaxBytes, &bytes, &readError)) {
    case VkStoreFile::ReadResult::Read:
    case VkStoreFile::ReadResult::Missing:
        break;
    case VkStoreFile::ReadResult::TooLarge:
        bytes.clear();
        notice = readError;
        break;
    case VkStoreFile::ReadResult::NotRegular:
    case VkStoreFile::ReadResult::Failed:
        return fail(readError + QStringLiteral("; nothing was written"));
    }
    Parsed parsed = parse(bytes);
    if (!parsed.wellFormed) {
        notice = QStringLiteral("%1 is not a settings file").arg(m_path);
        parsed = Parsed();
    }
    if (!notice.isEmpty()) {
        // Whatever it is, it is the user's: it is kept under another name, never overwritten.
        QString aside;
        QString asideError;
        if (!VkStoreFile::setAside(m_path, &aside, &asideError))
            return fail(notice + QStringLiteral("; ") + asideError);
        notice += QStringLiteral("; it was kept as %1").arg(aside);
    }

    const QByteArray updated = withValue(parsed, key, text);
    QString writeError;
    if (!VkStoreFile::replace(m_path, updated, &writeError))
        return fail(notice.isEmpty() ? writeError : notice + QStringLiteral("; ") + writeError);
    m_values = parse(updated).values;
    m_lastError = notice;
    return true;
}
