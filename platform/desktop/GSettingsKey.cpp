#include "platform/desktop/GSettingsKey.h"

// GLib names struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

GSettingsKey::GSettingsKey(const char* schema, const char* key, QObject* parent)
    : QObject(parent), m_key(key)
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* found =
        source ? g_settings_schema_source_lookup(source, schema, TRUE) : nullptr;
    if (!found)
        return;
    bool isNumber = false;
    if (g_settings_schema_has_key(found, key)) {
        GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(found, key);
        const GVariantType* type = g_settings_schema_key_get_value_type(schemaKey);
        m_isText = g_variant_type_equal(type, G_VARIANT_TYPE_STRING);
        isNumber = g_variant_type_equal(type, G_VARIANT_TYPE_INT32);
        g_settings_schema_key_unref(schemaKey);
    }
    g_settings_schema_unref(found);
    if (!m_isText && !isNumber)
        return;
    auto* settings = g_settings_new(schema);
    m_settings = settings;
    const QByteArray signal = "changed::" + m_key;
    g_signal_connect(settings, signal.constData(), G_CALLBACK(&GSettingsKey::onChanged), this);
    // GSettings sends change notifications only for keys read since.
    g_variant_unref(g_settings_get_value(settings, key));
}

GSettingsKey::~GSettingsKey()
{
    if (auto* settings = static_cast<GSettings*>(m_settings)) {
        g_signal_handlers_disconnect_by_data(settings, this);
        g_object_unref(settings);
    }
}

std::optional<QString> GSettingsKey::value() const
{
    auto* settings = static_cast<GSettings*>(m_settings);
    if (!settings || !m_isText)
        return std::nullopt;
    gchar* text = g_settings_get_string(settings, m_key.constData());
    QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

std::optional<int> GSettingsKey::number() const
{
    auto* settings = static_cast<GSettings*>(m_settings);
    if (!settings || m_isText)
        return std::nullopt;
    return g_settings_get_int(settings, m_key.constData());
}

void GSettingsKey::onChanged(void*, const char*, void* self)
{
    emit static_cast<GSettingsKey*>(self)->changed();
}
