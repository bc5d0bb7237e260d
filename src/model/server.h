#pragma once

#include "model/serveritem.h"

#include <QList>

class Port;

// Root of the configuration tree: the serial ports, the HART master role used on every line,
// and the "srv" map of the configuration file.
class Server : public ServerItem
{
    Q_OBJECT

public:
    explicit Server(ServerItem *parent = nullptr);
    ~Server() override;

    bool primaryMaster() const { return m_primaryMaster.load(); }
    void setPrimaryMaster(bool primary) { m_primaryMaster.store(primary); }

    Port *addPort(const QString &name, int position = -1);
    Port *portByName(const QString &name) const;
    QStringList portKeys() const { return childNames(); }
    QList<Port *> ports() const;
    int portCount() const { return childCount(); }
    int deviceCount() const;
    void removePort(const QString &name);
    void removeAllPorts();

    QString key() const override { return name(); }
    QIcon icon() const override { return QIcon(); }
    bool load(const QVariantMap &map) override;
    QVariantMap save() const override;
    int type() const override { return ServerKind; }
    ServerItem *createChild() override;

signals:
    void loaded();

private:
    // Read by polling threads on every request, written by the GUI thread.
    std::atomic<bool> m_primaryMaster{true};
};
