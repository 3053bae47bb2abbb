#pragma once
// A small client of the accessibility bus: what a screen reader sees of another process. It asks
// the objects of Qt's AT-SPI bridge one method or one property at a time (never GetAll or
// Introspect, which Qt 6.4's bridge does not survive).

#include <QDBusConnection>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace e2e {

// AT-SPI roles and states used here (atspi-constants.h numbering).
namespace role {
constexpr uint Frame = 23;
constexpr uint Label = 29;
constexpr uint List = 31;
constexpr uint ListItem = 32;
constexpr uint PushButton = 43;
constexpr uint ComboBox = 11;
constexpr uint Text = 61;
constexpr uint PasswordText = 40;
constexpr uint Image = 27;
constexpr uint Static = 116;
} // namespace role

namespace state {
constexpr int Enabled = 8;
constexpr int Focusable = 11;
constexpr int Focused = 12;
constexpr int Sensitive = 24;
constexpr int Showing = 25;
constexpr int Visible = 30;
} // namespace state

struct Node
{
    QString service;
    QString path;
    bool isNull() const { return path.isEmpty() || path == QLatin1String("/org/a11y/atspi/null"); }
    friend bool operator==(const Node &, const Node &) = default;
};

class AtSpi
{
public:
    // Connects to the accessibility bus that the session bus in DBUS_SESSION_BUS_ADDRESS names.
    explicit AtSpi(const QString &sessionBusAddress);
    ~AtSpi();

    bool isConnected() const;
    QString error() const { return error_; }

    // The root object of the application whose connection belongs to the process, if any.
    std::optional<Node> applicationOf(qint64 pid);

    std::vector<Node> children(const Node &n);
    uint role(const Node &n);
    QString name(const Node &n);
    // Screen coordinates, in the device pixels of the screen.
    QRect extents(const Node &n);
    bool hasState(const Node &n, int stateBit);
    QStringList interfaces(const Node &n);
    // The text of a text interface, whole.
    QString text(const Node &n);
    // How many characters a text interface holds (also for masked text, which it does not give).
    int characterCount(const Node &n);
    // Replaces the whole text of an editable text, as a person's typing would leave it.
    bool setTextContents(const Node &n, const QString &text);
    bool doAction(const Node &n, int index = 0);

private:
    QDBusMessage call(const Node &n, const QString &iface, const QString &method,
                      const QList<QVariant> &args = {});
    QVariant property(const Node &n, const QString &iface, const QString &prop);

    QString connectionName_;
    QString error_;
};

} // namespace e2e
