#pragma once

#include <QByteArray>

#include <optional>

// Changes one key of the [General] section of an INI file the way a person would in an editor:
// every other line, comments and keys Horalis does not know included, stays byte for byte. The
// file is read exactly as QSettings reads it: sections named in any case and with spaces,
// quotes and backslash continuations that span lines, comments, any line ends, a byte-order
// mark.
class IniFileEditor
{
public:
    // The file with `key` set to `value`, which must be plain ASCII words (letters and digits):
    // QSettings reads them back as written. None where the result would not read back as
    // exactly that change, so that a write is refused rather than reported done.
    static std::optional<QByteArray> withValue(const QByteArray& file, const QByteArray& key,
                                               const QByteArray& value);
};
