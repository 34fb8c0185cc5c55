#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <optional>

class PreferencesStore;

// A live view onto one preference for the Settings window: reads go to the store, writes are
// stored at once, and `changed()` is emitted whenever the stored value changes, whoever changed
// it (this window, or another program editing the file, noticed within half a second).
class StoredPreference : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Boolean,
        Text
    };

    StoredPreference(PreferencesStore& store, QString key, Kind kind, QObject* parent = nullptr);

    // The stored value, or the default when the key is missing or holds another type.
    bool boolValue(bool defaultValue) const;
    QString textValue(const QString& defaultValue) const;

    // False where the value could not be stored.
    bool setBool(bool value);
    bool setText(const QString& value);

signals:
    void changed();

private:
    std::optional<QVariant> current() const;
    void poll();

    PreferencesStore& m_store;
    QString m_key;
    Kind m_kind;
    std::optional<QVariant> m_seen;
    QTimer m_poll;
};
