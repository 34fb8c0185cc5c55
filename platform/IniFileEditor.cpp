#include "platform/IniFileEditor.h"

#include <QList>

namespace {

// QSettings' section for keys without a group; keys above the first header belong to it too.
bool isGeneralHeader(const QByteArray& trimmed)
{
    return trimmed == "[General]";
}

bool isHeader(const QByteArray& trimmed)
{
    return trimmed.startsWith('[');
}

bool definesKey(const QByteArray& line, const QByteArray& key)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && line.left(equals).trimmed() == key;
}

} // namespace

QByteArray IniFileEditor::withValue(const QByteArray& file, const QByteArray& key,
                                    const QByteArray& value)
{
    // Lines keep their own endings, so a CRLF file stays one.
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < file.size();) {
        qsizetype end = file.indexOf('\n', at);
        end = end < 0 ? file.size() : end + 1;
        lines.append(file.mid(at, end - at));
        at = end;
    }
    const QByteArray newLine = key + '=' + value + '\n';

    bool inGeneral = true; // until the first header
    bool sawGeneralHeader = false;
    bool written = false;
    qsizetype lastGeneralLine = -1; // where a new key goes: after the section's last line
    QByteArray result;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (isHeader(trimmed)) {
            inGeneral = isGeneralHeader(trimmed);
            sawGeneralHeader = sawGeneralHeader || inGeneral;
        }
        if (inGeneral && !isHeader(trimmed) && definesKey(lines[i], key)) {
            // The first definition takes the new value; later ones would only shadow it.
            if (!written)
                lines[i] = newLine;
            else
                lines[i].clear();
            written = true;
            continue;
        }
        if (inGeneral && sawGeneralHeader && !trimmed.isEmpty())
            lastGeneralLine = i;
    }
    if (!written) {
        if (lastGeneralLine >= 0) {
            if (!lines[lastGeneralLine].endsWith('\n'))
                lines[lastGeneralLine] += '\n';
            lines.insert(lastGeneralLine + 1, newLine);
        } else {
            lines.prepend("[General]\n" + newLine + (lines.isEmpty() ? "" : "\n"));
        }
    }
    for (const QByteArray& line : lines)
        result += line;
    return result;
}
