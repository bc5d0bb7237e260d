#include "model/server.h"

#include "core/debugqtstream.h"
#include "model/port.h"

Server::Server(ServerItem *parent)
    : ServerItem(parent)
{
    setName(QStringLiteral("Server"));
}

Server::~Server()
{
    DEBUGQT_LOG(4) << "~Server";
}

Port *Server::addPort(const QString &name, int position)
{
    DEBUGQT_LOG(4) << "trying to add to ports: " << name;
    if (name.isEmpty())
        return nullptr;
    if (Port *existing = portByName(name))
        return existing;
    if (position < 0 || position > portCount())
        position = portCount();

    auto *port = static_cast<Port *>(createChild());
    DEBUGQT_LOG(4) << "create port with default name" << port->name();
    port->setName(name);
    insertChild(position, port);
    return port;
}

Port *Server::portByName(const QString &name) const
{
    return qobject_cast<Port *>(childByName(name));
}

QList<Port *> Server::ports() const
{
    QList<Port *> result;
    const QList<ServerItem *> items = childItems();
    for (ServerItem *item : items) {
        if (auto *port = qobject_cast<Port *>(item))
            result.append(port);
    }
    return result;
}

int Server::deviceCount() const
{
    int count = 0;
    const QList<Port *> all = ports();
    for (const Port *port : all)
        count += port->childCount();
    return count;
}

void Server::removePort(const QString &name)
{
    delete takeChild(name);
}

void Server::removeAllPorts()
{
    const QList<Port *> all = ports();
    for (const Port *port : all)
        removePort(port->name());
}

ServerItem *Server::createChild()
{
    auto *port = new Port(this);
    connect(port, &ServerItem::modified, this, &ServerItem::modified);
    return port;
}

QVariantMap Server::save() const
{
    QVariantList portMaps;
    const QList<Port *> all = ports();
    for (const Port *port : all)
        portMaps.append(port->save());
    return {{QStringLiteral("ports"), portMaps}};
}

bool Server::load(const QVariantMap &map)
{
    DEBUGQT_LOG(4) << "begin";
    if (!map.contains(QStringLiteral("ports")))
        return false;
    // A string converts to a list of its characters in Qt 6; only a real list holds ports.
    const QVariant value = map.value(QStringLiteral("ports"));
    const QVariantList portMaps = value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
    if (portMaps.isEmpty()) {
        DEBUGQT_LOG(4) << "ports.count() = 0  ---> Invalid or empty configuration";
        return false;
    }

    removeAllChildren();
    for (const QVariant &element : portMaps) {
        const QVariantMap portMap = element.toMap();
        if (Port *port = addPort(portMap.value(QStringLiteral("name")).toString(), -1))
            port->load(portMap);
    }

    DEBUGQT_LOG(4) << "emit loaded()";
    emit loaded();
    return true;
}
