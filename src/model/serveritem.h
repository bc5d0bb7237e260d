#pragma once

#include <QIcon>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <atomic>

// Base of every item of the configuration tree: its name and place among its siblings, its
// children, and the outcome of the last operation run on it.
//
// Items have no QObject parent: each item owns its children through its own child list and
// deletes them itself. The outcome fields may be written by a polling thread while the GUI
// thread shows them, so the numbers are atomic and the error text is guarded; so is the name,
// which polling threads read while the GUI thread may rename the item.
class ServerItem : public QObject
{
    Q_OBJECT

public:
    enum Kind { ServerKind = 1, PortKind = 2, DeviceKind = 3, TagKind = 4 };
    enum State { StateReset = 1, StateSuccess = 2, StateFailure = 3 };
    enum Result { ResultSuccess = 1, ResultPortError = 2, ResultConfigError = 3, ResultLinkError = 4,
                  ResultTimeout = 5 };

    explicit ServerItem(ServerItem *parent);
    ~ServerItem() override;

    ServerItem *parentItem() const { return m_parent; }
    QList<ServerItem *> childItems() const { return m_children; }
    int childCount() const { return int(m_children.size()); }
    ServerItem *child(int row) const;
    // The child registered under exactly this name, or null.
    ServerItem *childByName(const QString &name) const { return m_childMap.value(name); }
    QStringList childNames() const { return m_childMap.keys(); }
    int row() const;

    QString name() const;
    void setName(const QString &name);
    static QString sanitizeName(const QString &name);
    bool isNameFree(const QString &name) const;

    int result() const { return m_result.load(); }
    int state() const { return m_state.load(); }
    int errorCounter() const { return m_errorCounter.load(); }
    QString lastErrorText() const;
    void setLastErrorText(const QString &text);
    // Records an outcome: state, error counter and result, then stateChanged().
    void setResult(int code);
    // Writes the result code alone, leaving state, counter and signals as they are.
    void setResultCode(int code) { m_result.store(code); }
    // Clears result, state, error counter and error text, here and in every child.
    virtual void resetState();

    bool isEnabled() const;
    void setEnabled(bool enabled);

    void insertChild(int position, ServerItem *child);
    bool canMoveUp(ServerItem *child) const;
    bool canMoveDown(ServerItem *child) const;
    void moveUp(ServerItem *child);
    void moveDown(ServerItem *child);

    virtual QString key() const = 0;
    virtual QIcon icon() const = 0;
    virtual bool load(const QVariantMap &map) = 0;
    virtual QVariantMap save() const = 0;
    virtual bool insertChildren(int position, int count);
    virtual bool removeChildren(int position, int count);
    virtual bool removeAllChildren();
    virtual QString uniqueName(const QString &pattern);
    virtual int type() const = 0;
    virtual ServerItem *createChild() = 0;
    virtual QString errorText(int code, int extra) const;

signals:
    void stateChanged();
    void modified();

protected:
    // Takes the child registered under the name out of the map and the list; the caller owns it.
    ServerItem *takeChild(const QString &name);
    // Points the item at another parent; neither parent's child list or map changes.
    void replaceParentReference(ServerItem *parent) { m_parent = parent; }

private:
    ServerItem *m_parent;
    QList<ServerItem *> m_children;
    QMap<QString, ServerItem *> m_childMap;
    QMap<QString, int> m_nameCounters;
    std::atomic<int> m_result{ResultSuccess};
    std::atomic<int> m_state{StateReset};
    QString m_errorText;
    QString m_name;
    std::atomic<int> m_errorCounter{0};
    mutable QMutex m_errorTextLock;
    mutable QMutex m_nameLock;
};
