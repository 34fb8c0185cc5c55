#include "Horalis/settings_window/StoredPreference.h"

#include "platform/PreferencesStore.h"

namespace {
constexpr int kPollMs = 500;
}

StoredPreference::StoredPreference(PreferencesStore& store, QString key, Kind kind, QObject* parent)
    : QObject(parent), m_store(store), m_key(std::move(key)), m_kind(kind), m_poll(this)
{
    m_seen = current();
    connect(&m_poll, &QTimer::timeout, this, &StoredPreference::poll);
    m_poll.start(kPollMs);
}

std::optional<QVariant> StoredPreference::current() const
{
    if (m_kind == Kind::Boolean) {
        const auto value = m_store.boolean(m_key);
        return value ? std::optional<QVariant>(*value) : std::nullopt;
    }
    const auto value = m_store.string(m_key);
    return value ? std::optional<QVariant>(*value) : std::nullopt;
}

bool StoredPreference::boolValue(bool defaultValue) const
{
    return m_store.boolean(m_key).value_or(defaultValue);
}

QString StoredPreference::textValue(const QString& defaultValue) const
{
    return m_store.string(m_key).value_or(defaultValue);
}

bool StoredPreference::setBool(bool value)
{
    const bool stored = m_store.set(m_key, value);
    poll();
    return stored;
}

bool StoredPreference::setText(const QString& value)
{
    const bool stored = m_store.set(m_key, value);
    poll();
    return stored;
}

void StoredPreference::poll()
{
    auto now = current();
    if (now == m_seen)
        return;
    m_seen = std::move(now);
    emit changed();
}
