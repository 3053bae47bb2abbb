#include "atspi.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace e2e {

namespace {

constexpr int TimeoutMs = 5000;
int connections = 0;

std::vector<Node> readReferences(const QDBusArgument &arg)
{
    std::vector<Node> out;
    arg.beginArray();
    while (!arg.atEnd()) {
        Node n;
        QDBusObjectPath p;
        arg.beginStructure();
        arg >> n.service >> p;
        arg.endStructure();
        n.path = p.path();
        out.push_back(n);
    }
    arg.endArray();
    return out;
}

} // namespace

AtSpi::AtSpi(const QString &sessionBusAddress)
{
    const QString id = QString::number(++connections);
    QDBusConnection session = QDBusConnection::connectToBus(sessionBusAddress, QStringLiteral("e2e-session-") + id);
    if (!session.isConnected()) {
        error_ = QStringLiteral("no session bus at ") + sessionBusAddress;
        return;
    }
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                    QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    const QDBusMessage reply = session.call(m, QDBus::Block, 20000);
    QDBusConnection::disconnectFromBus(session.name());
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        error_ = QStringLiteral("the accessibility bus cannot be found: ") + reply.errorMessage();
        return;
    }
    connectionName_ = QStringLiteral("e2e-a11y-") + id;
    const QDBusConnection a11y = QDBusConnection::connectToBus(reply.arguments().first().toString(), connectionName_);
    if (!a11y.isConnected())
        error_ = QStringLiteral("the accessibility bus does not answer");
}

AtSpi::~AtSpi()
{
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
}

bool AtSpi::isConnected() const
{
    return !connectionName_.isEmpty() && QDBusConnection(connectionName_).isConnected();
}

std::optional<Node> AtSpi::applicationOf(qint64 pid)
{
    QDBusConnection bus(connectionName_);
    const QDBusMessage names = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames")), QDBus::Block, TimeoutMs);
    if (names.arguments().isEmpty())
        return std::nullopt;
    for (const QString &name : names.arguments().first().toStringList()) {
        if (!name.startsWith(u':'))
            continue;
        QDBusMessage m = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
        m << name;
        const QDBusMessage r = bus.call(m, QDBus::Block, TimeoutMs);
        if (r.type() == QDBusMessage::ReplyMessage && !r.arguments().isEmpty()
            && r.arguments().first().toLongLong() == pid)
            return Node{name, QStringLiteral("/org/a11y/atspi/accessible/root")};
    }
    return std::nullopt;
}

QDBusMessage AtSpi::call(const Node &n, const QString &iface, const QString &method, const QList<QVariant> &args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(n.service, n.path, iface, method);
    m.setArguments(args);
    return QDBusConnection(connectionName_).call(m, QDBus::Block, TimeoutMs);
}

QVariant AtSpi::property(const Node &n, const QString &iface, const QString &prop)
{
    const QDBusMessage r = call(n, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                {iface, prop});
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return {};
    return r.arguments().first().value<QDBusVariant>().variant();
}

std::vector<Node> AtSpi::children(const Node &n)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetChildren"));
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return {};
    return readReferences(r.arguments().first().value<QDBusArgument>());
}

uint AtSpi::role(const Node &n)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetRole"));
    return r.arguments().isEmpty() ? 0 : r.arguments().first().toUInt();
}

QString AtSpi::name(const Node &n)
{
    return property(n, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("Name")).toString();
}

QRect AtSpi::extents(const Node &n)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"),
                                {QVariant::fromValue(uint(0))});
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return {};
    const QDBusArgument arg = r.arguments().first().value<QDBusArgument>();
    int x = 0, y = 0, w = 0, h = 0;
    arg.beginStructure();
    arg >> x >> y >> w >> h;
    arg.endStructure();
    return QRect(x, y, w, h);
}

bool AtSpi::hasState(const Node &n, int stateBit)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetState"));
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return false;
    QList<uint> words;
    const QDBusArgument arg = r.arguments().first().value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        uint w = 0;
        arg >> w;
        words.append(w);
    }
    arg.endArray();
    const int word = stateBit / 32;
    return word < words.size() && (words[word] & (1u << (stateBit % 32)));
}

QStringList AtSpi::interfaces(const Node &n)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetInterfaces"));
    return r.arguments().isEmpty() ? QStringList() : r.arguments().first().toStringList();
}

QString AtSpi::text(const Node &n)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetText"), {0, -1});
    return r.arguments().isEmpty() ? QString() : r.arguments().first().toString();
}

int AtSpi::characterCount(const Node &n)
{
    const QVariant v = property(n, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("CharacterCount"));
    return v.isValid() ? v.toInt() : -1;
}

bool AtSpi::setTextContents(const Node &n, const QString &text)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.EditableText"), QStringLiteral("SetTextContents"), {text});
    return r.type() == QDBusMessage::ReplyMessage && !r.arguments().isEmpty() && r.arguments().first().toBool();
}

bool AtSpi::doAction(const Node &n, int index)
{
    const QDBusMessage r = call(n, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("DoAction"), {index});
    return r.type() == QDBusMessage::ReplyMessage && !r.arguments().isEmpty() && r.arguments().first().toBool();
}

} // namespace e2e
