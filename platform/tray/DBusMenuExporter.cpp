#include "platform/tray/DBusMenuExporter.h"

#include <QAction>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kAfterHostMenuMs = 150;

// A key as a host names it: after X's key names ("q", "comma") for GTK's readers; as Qt names
// it in text ("Q", ",") for Qt's, which take "plus" and "minus" for "+" and "-" as GTK's do.
QString keyName(Qt::Key key, TrayHost::KeyNames names)
{
    if (names == TrayHost::KeyNames::Qt) {
        QString name = QKeySequence(key).toString(QKeySequence::PortableText);
        if (name == QLatin1String("+"))
            return QStringLiteral("plus");
        if (name == QLatin1String("-"))
            return QStringLiteral("minus");
        return name;
    }
    switch (key) {
    case Qt::Key_Comma:
        return QStringLiteral("comma");
    case Qt::Key_Period:
        return QStringLiteral("period");
    case Qt::Key_Slash:
        return QStringLiteral("slash");
    case Qt::Key_Semicolon:
        return QStringLiteral("semicolon");
    case Qt::Key_Minus:
        return QStringLiteral("minus");
    case Qt::Key_Plus:
        return QStringLiteral("plus");
    default:
        return QKeySequence(key).toString().toLower();
    }
}

// "Ctrl+Q" as DBusMenu writes a shortcut: [["Control", "q"]].
QList<QStringList> shortcutOf(const QKeySequence& sequence, TrayHost::KeyNames names)
{
    QList<QStringList> result;
    for (int i = 0; i < sequence.count(); ++i) {
        const QKeyCombination combination = sequence[i];
        QStringList keys;
        const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
        if (modifiers & Qt::ControlModifier)
            keys << QStringLiteral("Control");
        if (modifiers & Qt::AltModifier)
            keys << QStringLiteral("Alt");
        if (modifiers & Qt::ShiftModifier)
            keys << QStringLiteral("Shift");
        if (modifiers & Qt::MetaModifier)
            keys << QStringLiteral("Super");
        keys << keyName(combination.key(), names);
        result << keys;
    }
    return result;
}

} // namespace

// The com.canonical.dbusmenu interface, as hosts call it. Any client on the bus may call it,
// so every answer is bounded by the menu's size, whatever the request holds, and a request
// for something the menu lacks gets an error reply.
class DBusMenuAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter* exporter)
        : QDBusAbstractAdaptor(exporter), m_exporter(exporter)
    {}

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    // QtDBus takes the call's message after the inputs and before the outputs.
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   const QDBusMessage& call, DBusMenuLayoutItem& layout)
    {
        Q_UNUSED(recursionDepth);
        Q_UNUSED(propertyNames);
        if (!m_exporter->hasItem(parentId)) {
            m_exporter->refuse(call, QStringLiteral("No menu item %1").arg(parentId));
            return 0;
        }
        // A flat menu: the root holds every item, and an item has no children.
        const DBusMenuLayoutItem root = m_exporter->layout();
        layout = root;
        for (const DBusMenuLayoutItem& child : root.children) {
            if (parentId != 0 && child.id == parentId)
                layout = child;
        }
        return m_exporter->revision();
    }
    DBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids,
                                                  const QStringList& propertyNames)
    {
        Q_UNUSED(propertyNames);
        return m_exporter->properties(ids);
    }
    QDBusVariant GetProperty(int id, const QString& name, const QDBusMessage& call)
    {
        const auto items = m_exporter->properties({id});
        const QVariant value = items.isEmpty() ? QVariant() : items.first().properties.value(name);
        if (!value.isValid())
            m_exporter->refuse(
                call, QStringLiteral("Menu item %1 has no property \"%2\"").arg(id).arg(name));
        // Never an empty variant: QtDBus cannot send one, not even in a reply it drops.
        return QDBusVariant(value.isValid() ? value : QVariant(QString()));
    }
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp,
               const QDBusMessage& call)
    {
        Q_UNUSED(data);
        Q_UNUSED(timestamp);
        if (!m_exporter->hasItem(id)) {
            m_exporter->refuse(call, QStringLiteral("No menu item %1").arg(id));
            return;
        }
        if (eventId == QLatin1String("clicked"))
            m_exporter->activate(id);
    }
    QList<int> EventGroup(const DBusMenuEventList& events)
    {
        // One click on an item is all a person can make at once: repeats are dropped, so a
        // flood of them costs one action each, not one each.
        QList<int> known, unknown;
        for (const DBusMenuEvent& event : events) {
            QList<int>& seen = m_exporter->hasItem(event.id) ? known : unknown;
            if (seen.contains(event.id) || seen.size() >= kMaxIdsInAnswer)
                continue;
            seen << event.id;
            if (&seen == &known && event.eventId == QLatin1String("clicked"))
                m_exporter->activate(event.id);
        }
        return unknown;
    }
    bool AboutToShow(int id, const QDBusMessage& call)
    {
        if (!m_exporter->hasItem(id))
            m_exporter->refuse(call, QStringLiteral("No menu item %1").arg(id));
        return false;
    }
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
    {
        for (int id : ids) {
            if (!m_exporter->hasItem(id) && !idErrors.contains(id) &&
                idErrors.size() < kMaxIdsInAnswer)
                idErrors << id;
        }
        return {};
    }

signals:
    void ItemsPropertiesUpdated(const DBusMenuItemPropertiesList& updated,
                                const DBusMenuItemKeysList& removed);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // Ids a caller made up are echoed back at most this many: enough for any real host.
    static constexpr qsizetype kMaxIdsInAnswer = 256;

    DBusMenuExporter* m_exporter;
};

DBusMenuExporter::DBusMenuExporter(QMenu* menu, QObject* parent, TrayHost::KeyNames keyNames)
    : QObject(parent), m_menu(menu), m_connection(QStringLiteral("unset")), m_keyNames(keyNames)
{
    registerDBusTrayTypes();
    new DBusMenuAdaptor(this);
}

DBusMenuExporter::~DBusMenuExporter()
{
    if (m_connection.isConnected())
        m_connection.unregisterObject(objectPath());
}

QString DBusMenuExporter::objectPath()
{
    return QStringLiteral("/MenuBar");
}

bool DBusMenuExporter::publish(QDBusConnection connection)
{
    m_connection = connection;
    return connection.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors);
}

QAction* DBusMenuExporter::actionOf(int id) const
{
    if (!m_menu || id < 1 || id > m_menu->actions().size())
        return nullptr;
    return m_menu->actions().at(id - 1);
}

bool DBusMenuExporter::hasItem(int id) const
{
    return id == 0 || actionOf(id);
}

QVariantMap DBusMenuExporter::propertiesOf(int id) const
{
    if (id == 0)
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    const QAction* action = actionOf(id);
    if (!action)
        return {};
    if (action->isSeparator())
        return {{QStringLiteral("type"), QStringLiteral("separator")},
                {QStringLiteral("visible"), action->isVisible()}};
    QVariantMap properties{{QStringLiteral("label"), action->text()},
                           {QStringLiteral("enabled"), action->isEnabled()},
                           {QStringLiteral("visible"), action->isVisible()}};
    if (!action->shortcut().isEmpty())
        properties.insert(QStringLiteral("shortcut"),
                          QVariant::fromValue(shortcutOf(action->shortcut(), m_keyNames)));
    return properties;
}

DBusMenuLayoutItem DBusMenuExporter::layout() const
{
    DBusMenuLayoutItem root{0, propertiesOf(0), {}};
    const int count = m_menu ? static_cast<int>(m_menu->actions().size()) : 0;
    for (int id = 1; id <= count; ++id)
        root.children.append({id, propertiesOf(id), {}});
    return root;
}

DBusMenuItemPropertiesList DBusMenuExporter::properties(const QList<int>& ids) const
{
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        const int count = m_menu ? static_cast<int>(m_menu->actions().size()) : 0;
        for (int id = 0; id <= count; ++id)
            wanted << id;
    }
    // Each item once, however often it was asked for: the answer stays the menu's size.
    DBusMenuItemPropertiesList result;
    QList<int> answered;
    for (int id : wanted) {
        if (hasItem(id) && !answered.contains(id)) {
            answered << id;
            result.append({id, propertiesOf(id)});
        }
    }
    return result;
}

void DBusMenuExporter::refuse(const QDBusMessage& call, const QString& why) const
{
    call.setDelayedReply(true); // no normal reply after this one
    m_connection.send(call.createErrorReply(QDBusError::InvalidArgs, why));
}

void DBusMenuExporter::activate(int id)
{
    // After the reply to the host, and once the host's menu has let the pointer go: a popup
    // opened while the host still holds its grab could not take the pointer, and would not
    // see the click that should close it.
    QPointer<QAction> action = actionOf(id);
    QTimer::singleShot(kAfterHostMenuMs, this, [action] {
        if (action && action->isEnabled())
            action->trigger();
    });
}

#include "DBusMenuExporter.moc"
