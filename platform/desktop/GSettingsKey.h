#pragma once

#include <QObject>
#include <QString>

#include <optional>

// One text or number key of the desktop's GSettings (dconf) store, such as GNOME's
// org.gnome.desktop.interface color-scheme: read once, then followed through GSettings' own
// change notification. Reading is a look into dconf's memory-mapped file, never a wait.
class GSettingsKey : public QObject
{
    Q_OBJECT

public:
    // Where the schema is not installed, or has no such key holding a text or a 32-bit number,
    // the key has no value and never changes: GSettings would abort the program on an unknown
    // schema.
    GSettingsKey(const char* schema, const char* key, QObject* parent = nullptr);
    ~GSettingsKey() override;

    // The text of a text key; none for a number key.
    std::optional<QString> value() const;
    // The number of a number key; none for a text key.
    std::optional<int> number() const;

signals:
    void changed();

private:
    static void onChanged(void* settings, const char* key, void* self);

    // A GSettings*, kept out of this header: GLib's headers and Qt's keywords do not mix.
    void* m_settings = nullptr;
    QByteArray m_key;
    bool m_isText = false;
};
