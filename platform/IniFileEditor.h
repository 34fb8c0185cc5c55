#pragma once

#include <QByteArray>

// Changes one key of the [General] section of an INI file the way a person would in an editor:
// every other line, comments and keys Horalis does not know included, stays byte for byte.
class IniFileEditor
{
public:
    // The file with `key` set to `value`. The key and the value are plain ASCII words, which
    // need no escaping in QSettings' INI format.
    static QByteArray withValue(const QByteArray& file, const QByteArray& key,
                                const QByteArray& value);
};
