#include "platform/store/IniFileEditor.h"

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>

#include <cctype>
#include <vector>

namespace {

// The byte-order mark QSettings skips at the start of a file.
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// One logical line as QSettings reads it: [start, end), with the first '=' outside quotes.
struct Line
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;
};

// The next logical line from `pos`, the way QSettings' INI reader splits a file: leading
// space skipped, a ';' at a line's start comments out the rest of it, quotes and a backslash
// carry a line past its end, a ';' elsewhere outside quotes ends it.
bool nextLine(QByteArrayView data, qsizetype& pos, Line& line)
{
    const qsizetype size = data.size();
    bool inQuotes = false;
    line.equals = -1;
    qsizetype start = pos;
    while (start < size && isSpace(data[start]))
        ++start;
    qsizetype i = start;
    while (i < size) {
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = data[i++];
                if (i < size) {
                    const char next = data[i];
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && isSpace(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

// A key as QSettings unescapes it: "%XX" and "%UXXXX" are characters, '\' is '/'.
QString unescapedKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded.at(i);
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == decoded.size() - 1) {
            result += c;
            ++i;
            continue;
        }
        qsizetype first = i + 1;
        qsizetype digits = 2;
        if (decoded.at(first) == u'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code = first + digits <= decoded.size()
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

// The prefix a section header gives its keys: none for [General], in any case and spacing.
QString sectionPrefix(QByteArrayView header)
{
    qsizetype close = header.indexOf(']');
    if (close < 0)
        close = header.size();
    const QByteArrayView name = header.first(close).sliced(1).trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.sliced(1)) + u'/';
    return unescapedKey(name) + u'/';
}

struct Entry
{
    QString key; // with its section's prefix
    Line line;
};

// Every key line of the file in order, and where the last line of [General] ends.
struct Reading
{
    qsizetype bodyStart = 0;
    std::vector<Entry> entries;
    qsizetype lastGeneralEnd = -1;
};

Reading read(QByteArrayView file)
{
    Reading reading;
    if (file.startsWith(kByteOrderMark))
        reading.bodyStart = kByteOrderMark.size();
    QString prefix;
    Line line;
    for (qsizetype pos = reading.bodyStart; nextLine(file, pos, line);) {
        const QByteArrayView text = file.sliced(line.start, line.end - line.start);
        if (text.startsWith('[')) {
            prefix = sectionPrefix(text);
        } else if (line.equals >= 0) {
            QByteArrayView name = file.sliced(line.start, line.equals - line.start);
            // QSettings reads the key on the line of a byte order mark from the file's first
            // byte, mark included, and decodes it as UTF-8, which drops one leading mark: the
            // spaces before that key stay (" a=1" reads as " a"), and so does a second mark,
            // which on any other line is dropped.
            const QByteArrayView before =
                file.sliced(reading.bodyStart, line.start - reading.bodyStart);
            if (reading.bodyStart > 0 && !before.contains('\n') && !before.contains('\r')) {
                name = file.sliced(0, line.equals);
                while (!name.isEmpty() && std::isspace(static_cast<unsigned char>(name.back())))
                    name.chop(1);
            } else {
                name = name.trimmed();
            }
            reading.entries.push_back({prefix + unescapedKey(name), line});
        }
        if (prefix.isEmpty())
            reading.lastGeneralEnd = line.end;
    }
    return reading;
}

// What QSettings makes of the file: each key's text as written, the last line winning. Spaces
// and tabs around a value are not part of it.
QMap<QString, QByteArray> valuesIn(QByteArrayView file)
{
    QMap<QString, QByteArray> values;
    for (const Entry& entry : read(file).entries) {
        QByteArrayView text =
            file.sliced(entry.line.equals + 1, entry.line.end - entry.line.equals - 1);
        while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
            text = text.sliced(1);
        while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
            text.chop(1);
        values.insert(entry.key, text.toByteArray());
    }
    return values;
}

bool isPlainWord(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9'))
            return false;
    }
    return true;
}

// The line end the file already uses, so that a CRLF file stays one.
QByteArray lineEndOf(QByteArrayView file)
{
    const qsizetype at = file.indexOf('\n');
    return at > 0 && file[at - 1] == '\r' ? QByteArray("\r\n") : QByteArray("\n");
}

} // namespace

std::optional<QByteArray> IniFileEditor::withValue(const QByteArray& file, const QByteArray& key,
                                                   const QByteArray& value)
{
    if (!isPlainWord(key) || !isPlainWord(value))
        return std::nullopt;
    const QString name = QString::fromLatin1(key);
    const QByteArray definition = key + '=' + value;
    const QByteArray lineEnd = lineEndOf(file);
    const Reading reading = read(file);

    const Entry* current = nullptr;
    for (const Entry& entry : reading.entries) {
        if (entry.key == name)
            current = &entry; // the one QSettings reads
    }
    // Where the change can go, most natural first: the definition QSettings reads rewritten,
    // or a new line after the section's last one; failing that (an open quote or a
    // continuation running to the end of the file), a [General] section of its own at the top.
    QList<QByteArray> candidates;
    if (current) {
        // The whole definition, continuations and quotes included; a comment after it and
        // the spaces before that comment stay.
        qsizetype end = current->line.end;
        while (end > current->line.equals + 1 && (file[end - 1] == ' ' || file[end - 1] == '\t'))
            --end;
        candidates << QByteArray(file).replace(current->line.start, end - current->line.start,
                                               definition);
    } else {
        if (reading.lastGeneralEnd >= 0) {
            // Past the comment and the end of the section's last line.
            qsizetype at = reading.lastGeneralEnd;
            while (at < file.size() && file[at] != '\n' && file[at] != '\r')
                ++at;
            if (at == file.size())
                candidates << file + lineEnd + definition + lineEnd;
            else
                candidates << QByteArray(file).insert(at + (file.mid(at, 2) == "\r\n" ? 2 : 1),
                                                      definition + lineEnd);
        }
        const bool more = reading.bodyStart < file.size();
        candidates << QByteArray(file).insert(reading.bodyStart, "[General]" + lineEnd +
                                                                     definition + lineEnd +
                                                                     (more ? lineEnd : ""));
    }

    // The change must read back as exactly itself: the key with its new value, every other
    // key as it was.
    QMap<QString, QByteArray> expected = valuesIn(file);
    expected.insert(name, value);
    for (const QByteArray& candidate : candidates) {
        if (valuesIn(candidate) == expected)
            return candidate;
    }
    return std::nullopt;
}
