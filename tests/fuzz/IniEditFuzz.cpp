// A rewrite of one key either is refused or reads back, through QSettings itself, as exactly
// that change: the key holds the new value, every other key its old one, the bytes it
// replaced were that key's own definition, and the same write again changes nothing.

#include "platform/store/IniFileEditor.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QVariant>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Every key as QSettings reads the bytes, from a path it has never cached. A key stored with
// a leading, trailing or doubled '/' (one in a section named "" or "/") is left out: value()
// takes such a name for another key, so no reader can reach it.
QMap<QString, QVariant> readByQSettings(const QByteArray& bytes)
{
    static const QString folder = [] {
        char name[] = "/tmp/horalis-fuzz-ini-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(name));
    }();
    static long long count = 0;
    const QString path = folder + QStringLiteral("/%1.conf").arg(++count);
    QMap<QString, QVariant> values;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const QString& key : settings.allKeys()) {
            if (!key.startsWith(u'/') && !key.endsWith(u'/') && !key.contains(QStringLiteral("//")))
                values.insert(key, settings.value(key));
        }
    }
    QFile::remove(path);
    return values;
}

[[noreturn]] void fail(const char* what, const QByteArray& before, const QByteArray& after)
{
    std::fprintf(stderr, "%s\n--- before\n%s\n--- after\n%s\n", what, before.constData(),
                 after.constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const char* const keys[] = {"weekStart", "iconStyle", "showIcon", "a"};
    static const char* const values[] = {"sunday", "circle", "true", "x1"};
    const QByteArray key = keys[data[0] & 3];
    const QByteArray value = values[(data[0] >> 2) & 3];
    const QByteArray before(reinterpret_cast<const char*>(data) + 1,
                            static_cast<qsizetype>(size - 1));

    const auto after = IniFileEditor::withValue(before, key, value);
    if (!after)
        return 0;
    QMap<QString, QVariant> expected = readByQSettings(before);
    expected.insert(QString::fromLatin1(key), QString::fromLatin1(value));
    if (readByQSettings(*after) != expected)
        fail("does not read back as the change alone", before, *after);
    if (IniFileEditor::withValue(*after, key, value) != after)
        fail("a second write of the same value changes the file", before, *after);

    // What was replaced lay within the key's own definition: without those bytes, every
    // other key still reads as before.
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after->size() && before[prefix] == (*after)[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after->size() - prefix &&
           before[before.size() - 1 - suffix] == (*after)[after->size() - 1 - suffix])
        ++suffix;
    if (prefix + suffix < before.size()) {
        QMap<QString, QVariant> others = readByQSettings(before);
        QMap<QString, QVariant> probed =
            readByQSettings(QByteArray(before).remove(prefix, before.size() - prefix - suffix));
        others.remove(QString::fromLatin1(key));
        probed.remove(QString::fromLatin1(key));
        if (probed != others)
            fail("more than the key's definition was replaced", before, *after);
    }
    return 0;
}
