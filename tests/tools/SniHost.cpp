// horalis_sni_host: a minimal StatusNotifierItem host on the session bus, for end-to-end tests.
// It owns org.kde.StatusNotifierWatcher, reports each item that registers on standard output
// ("registered <service>"), and answers commands read from standard input, one per line:
//   pixmap    prints "pixmap <width>x<height> <opaque pixels>" for the item's largest icon
//   activate  calls the item's Activate (a left click)
//   context   calls the item's ContextMenu (a right click)
//   newicons  prints "newicons <n>", the NewIcon signals items sent so far
//   sizes     prints "sizes <w>x<h> ...", every icon picture's size in the order sent
//   tooltip   prints "tooltip <title>|<text>"
//   accessible  prints "accessible <IconAccessibleDesc>|<AttentionAccessibleDesc>"
//   activate <x> <y>, context <x> <y>: the same clicks at a given point
//   flood <n> asks the menu for the properties of item 1, <n> times over in one call, and
//             prints "flood <items in the answer>", or "flood error <name>"
//   property <id> <name>  prints "property <value>" or "property error <name>"
//   eventgroup <n> <id>  sends <n> clicks on item <id> in one EventGroup call and prints
//             "eventgroup <ids the menu reports unknown>", or "eventgroup error <name>"
//   event <id>  sends a click on item <id>; prints "event ok" or "event error <name>"
//   layout <id>  prints "layout <label>|<label>..." for the item's children ("-" for a
//             separator), as a host builds its menu, or "layout error <name>"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QSocketNotifier>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

class Watcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QString service() const { return m_items.isEmpty() ? QString() : m_items.last(); }

public slots:
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message)
    {
        // An item may register by its bus name or by an object path on its connection.
        const QString name = service.startsWith(QLatin1Char('/')) ? message.service() : service;
        m_items.append(name);
        emit StatusNotifierItemRegistered(name);
        std::printf("registered %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    void RegisterStatusNotifierHost(const QString&) {}
    void countNewIcon() { ++newIcons; }

public:
    int newIcons = 0;

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
};

// (isvu): a host's event on a menu item, here always a click.
struct ClickEvent
{
    int id = 0;
};
Q_DECLARE_METATYPE(ClickEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const ClickEvent& event)
{
    argument.beginStructure();
    argument << event.id << QStringLiteral("clicked") << QDBusVariant(QString()) << uint(0);
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ClickEvent& event)
{
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
    argument.beginStructure();
    argument >> event.id >> eventId >> data >> timestamp;
    argument.endStructure();
    return argument;
}

namespace {

QDBusMessage callItem(const QString& service, const QString& interface, const QString& method,
                      const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/StatusNotifierItem"), interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

QVariant itemProperty(const QString& service, const QString& name)
{
    const QDBusMessage reply =
        callItem(service, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {QStringLiteral("org.kde.StatusNotifierItem"), name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
}

// (iiay): a picture as the protocol carries it, ARGB32 in network byte order.
struct Picture
{
    int width = 0;
    int height = 0;
    QByteArray argb;
};

// An a(iiay) the argument is at the start of.
QList<Picture> readPictures(const QDBusArgument& argument)
{
    QList<Picture> pictures;
    argument.beginArray();
    while (!argument.atEnd()) {
        Picture picture;
        argument.beginStructure();
        argument >> picture.width >> picture.height >> picture.argb;
        argument.endStructure();
        pictures << picture;
    }
    argument.endArray();
    return pictures;
}

QList<Picture> iconPictures(const QString& service)
{
    const QVariant value = itemProperty(service, QStringLiteral("IconPixmap"));
    return value.canConvert<QDBusArgument>() ? readPictures(value.value<QDBusArgument>())
                                             : QList<Picture>();
}

void printSizes(const QString& service)
{
    std::printf("sizes");
    for (const Picture& picture : iconPictures(service)) {
        // A picture whose bytes do not fill its stated size is garbage to a host.
        const bool filled = picture.argb.size() == qsizetype(picture.width) * picture.height * 4;
        std::printf(filled ? " %dx%d" : " %dx%d!", picture.width, picture.height);
    }
    std::printf("\n");
}

void printToolTip(const QString& service)
{
    QString title, text;
    const QVariant value = itemProperty(service, QStringLiteral("ToolTip"));
    if (value.canConvert<QDBusArgument>()) {
        const QDBusArgument toolTip = value.value<QDBusArgument>();
        QString iconName;
        toolTip.beginStructure();
        toolTip >> iconName;
        readPictures(toolTip);
        toolTip >> title >> text;
        toolTip.endStructure();
    }
    std::printf("tooltip %s|%s\n", qPrintable(title), qPrintable(text));
}

QDBusMessage callMenu(const QString& service, const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 30000);
}

void printFlood(const QString& service, int copies)
{
    const QDBusMessage reply =
        callMenu(service, QStringLiteral("GetGroupProperties"),
                 {QVariant::fromValue(QList<int>(copies, 1)), QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::printf("flood error %s\n", qPrintable(reply.errorName()));
        return;
    }
    int items = 0;
    const QDBusArgument answer = reply.arguments().value(0).value<QDBusArgument>();
    answer.beginArray();
    while (!answer.atEnd()) {
        int id = 0;
        QVariantMap properties;
        answer.beginStructure();
        answer >> id >> properties;
        answer.endStructure();
        ++items;
    }
    answer.endArray();
    std::printf("flood %d\n", items);
}

void printMenuProperty(const QString& service, int id, const QString& name)
{
    const QDBusMessage reply = callMenu(service, QStringLiteral("GetProperty"), {id, name});
    if (reply.type() != QDBusMessage::ReplyMessage)
        std::printf("property error %s\n", qPrintable(reply.errorName()));
    else
        std::printf(
            "property %s\n",
            qPrintable(reply.arguments().value(0).value<QDBusVariant>().variant().toString()));
}

void printEventGroup(const QString& service, int copies, int id)
{
    const QList<ClickEvent> events(copies, ClickEvent{id});
    const QDBusMessage reply =
        callMenu(service, QStringLiteral("EventGroup"), {QVariant::fromValue(events)});
    if (reply.type() != QDBusMessage::ReplyMessage)
        std::printf("eventgroup error %s\n", qPrintable(reply.errorName()));
    else
        std::printf(
            "eventgroup %lld\n",
            static_cast<long long>(qdbus_cast<QList<int>>(reply.arguments().value(0)).size()));
}

void printEvent(const QString& service, int id)
{
    const QDBusMessage reply =
        callMenu(service, QStringLiteral("Event"),
                 {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QString())), 0u});
    if (reply.type() != QDBusMessage::ReplyMessage)
        std::printf("event error %s\n", qPrintable(reply.errorName()));
    else
        std::printf("event ok\n");
}

void printLayout(const QString& service, int id)
{
    const QDBusMessage reply =
        callMenu(service, QStringLiteral("GetLayout"), {id, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::printf("layout error %s\n", qPrintable(reply.errorName()));
        return;
    }
    // (u(ia{sv}av)): the revision, then the item with its children as variants.
    QStringList labels;
    const QDBusArgument root = reply.arguments().value(1).value<QDBusArgument>();
    int rootId = 0;
    QVariantMap properties;
    root.beginStructure();
    root >> rootId >> properties;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const QDBusArgument item = child.variant().value<QDBusArgument>();
        int childId = 0;
        QVariantMap childProperties;
        item.beginStructure();
        item >> childId >> childProperties;
        item.endStructure();
        labels << (childProperties.value(QStringLiteral("type")) == QLatin1String("separator")
                       ? QStringLiteral("-")
                       : childProperties.value(QStringLiteral("label")).toString());
    }
    root.endArray();
    root.endStructure();
    std::printf("layout %s\n", qPrintable(labels.join(QLatin1Char('|'))));
}

void printPixmap(const QString& service)
{
    Picture best;
    for (const Picture& picture : iconPictures(service)) {
        if (picture.width * picture.height > best.width * best.height)
            best = picture;
    }
    // Network byte order ARGB: the alpha byte comes first.
    int opaque = 0;
    for (qsizetype i = 0; i + 3 < best.argb.size(); i += 4)
        opaque += static_cast<unsigned char>(best.argb[i]) > 128;
    std::printf("pixmap %dx%d %d\n", best.width, best.height, opaque);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<ClickEvent>();
    qDBusRegisterMetaType<QList<ClickEvent>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    Watcher watcher;
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "cannot own the watcher name\n");
        return 1;
    }
    bus.connect(QString(), QString(), QStringLiteral("org.kde.StatusNotifierItem"),
                QStringLiteral("NewIcon"), &watcher, SLOT(countNewIcon()));
    std::printf("ready\n");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[256];
        const ssize_t length = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (length <= 0) {
            app.quit();
            return;
        }
        for (const QString& command : QString::fromLatin1(line, length).split('\n')) {
            const QString item = watcher.service();
            const QString sni = QStringLiteral("org.kde.StatusNotifierItem");
            const QStringList words = command.split(QLatin1Char(' '));
            const QString verb = words.first();
            const int x = words.value(1, QStringLiteral("100")).toInt();
            const int y = words.value(2, QStringLiteral("40")).toInt();
            if (verb == QLatin1String("pixmap"))
                printPixmap(item);
            else if (verb == QLatin1String("sizes"))
                printSizes(item);
            else if (verb == QLatin1String("tooltip"))
                printToolTip(item);
            else if (verb == QLatin1String("accessible"))
                std::printf(
                    "accessible %s|%s\n",
                    qPrintable(itemProperty(item, QStringLiteral("IconAccessibleDesc")).toString()),
                    qPrintable(
                        itemProperty(item, QStringLiteral("AttentionAccessibleDesc")).toString()));
            else if (verb == QLatin1String("item")) {
                const QVariant value = itemProperty(item, words.value(1));
                std::printf("item %s %s\n", qPrintable(words.value(1)),
                            value.canConvert<QDBusObjectPath>()
                                ? qPrintable(value.value<QDBusObjectPath>().path())
                                : qPrintable(value.toString()));
            } else if (verb == QLatin1String("activate"))
                callItem(item, sni, QStringLiteral("Activate"), {x, y});
            else if (verb == QLatin1String("context"))
                callItem(item, sni, QStringLiteral("ContextMenu"), {x, y});
            else if (verb == QLatin1String("newicons"))
                std::printf("newicons %d\n", watcher.newIcons);
            else if (verb == QLatin1String("flood"))
                printFlood(item, words.value(1).toInt());
            else if (verb == QLatin1String("eventgroup"))
                printEventGroup(item, words.value(1).toInt(), words.value(2).toInt());
            else if (verb == QLatin1String("event"))
                printEvent(item, words.value(1).toInt());
            else if (verb == QLatin1String("layout"))
                printLayout(item, words.value(1).toInt());
            else if (verb == QLatin1String("property"))
                printMenuProperty(item, words.value(1).toInt(), words.value(2));
            if (!command.isEmpty()) {
                std::printf("done %s\n", qPrintable(command));
                std::fflush(stdout);
            }
        }
    });
    return app.exec();
}

#include "SniHost.moc"
