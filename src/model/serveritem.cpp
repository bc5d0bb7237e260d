#include "model/serveritem.h"

#include "core/debugqtstream.h"

#include <QMutexLocker>
#include <QRegularExpression>

ServerItem::ServerItem(ServerItem *parent)
    : QObject(nullptr)
    , m_parent(parent)
{
}

ServerItem::~ServerItem()
{
    const QList<ServerItem *> children = m_children;
    m_childMap.clear();
    m_children.clear();
    qDeleteAll(children);
}

ServerItem *ServerItem::child(int row) const
{
    if (row < 0 || row >= m_children.size())
        return nullptr;
    return m_children.at(row);
}

int ServerItem::row() const
{
    if (!m_parent)
        return -1;
    return int(m_parent->m_children.indexOf(const_cast<ServerItem *>(this)));
}

QString ServerItem::name() const
{
    QMutexLocker locker(&m_nameLock);
    return m_name;
}

namespace {

// Whether name is base followed by "_" and a number, the form a taken name is made unique in.
bool isNumberedFrom(const QString &name, const QString &base)
{
    if (!name.startsWith(base + QLatin1Char('_')))
        return false;
    bool number = false;
    const uint value = QStringView(name).mid(base.size() + 1).toUInt(&number);
    return number && value > 0;
}

} // namespace

void ServerItem::setName(const QString &name)
{
    DEBUGQT_LOG(4) << name;
    const QString oldName = this->name();
    QString newName = sanitizeName(name);
    // An item that already bears this name with a number of its own (as it comes back from a
    // configuration) keeps it: the next number would rename it on every load.
    if (!isNameFree(newName)) {
        const bool keepNumber = isNumberedFrom(oldName, newName) && isNameFree(oldName);
        newName = keepNumber ? oldName : uniqueName(newName + QStringLiteral("_%1"));
    }
    {
        QMutexLocker locker(&m_nameLock);
        m_name = newName;
    }
    DEBUGQT_LOG(4) << "name:" << newName;

    if (m_parent && m_parent->m_childMap.value(oldName) == this) {
        m_parent->m_childMap.remove(oldName);
        m_parent->m_childMap.insert(newName, this);
    }
}

QString ServerItem::sanitizeName(const QString &name)
{
    static const QRegularExpression separators(QStringLiteral("(\\s|\\\\)+"),
                                               QRegularExpression::UseUnicodePropertiesOption);
    QString result = name;
    return result.replace(separators, QStringLiteral("_"));
}

bool ServerItem::isNameFree(const QString &name) const
{
    if (!m_parent)
        return true;
    ServerItem *holder = m_parent->m_childMap.value(name);
    return !holder || holder == this;
}

QString ServerItem::lastErrorText() const
{
    QMutexLocker locker(&m_errorTextLock);
    return m_errorText;
}

void ServerItem::setLastErrorText(const QString &text)
{
    QMutexLocker locker(&m_errorTextLock);
    m_errorText = text;
}

void ServerItem::setResult(int code)
{
    m_state.store(code == ResultSuccess ? StateSuccess : StateFailure);
    if (code != ResultSuccess)
        ++m_errorCounter;
    m_result.store(code);
    emit stateChanged();
}

void ServerItem::resetState()
{
    m_state.store(StateReset);
    m_result.store(ResultSuccess);
    m_errorCounter.store(0);
    setLastErrorText(errorText(ResultSuccess, 0));
    emit stateChanged();
    const QList<ServerItem *> children = m_children;
    for (ServerItem *item : children)
        item->resetState();
}

bool ServerItem::isEnabled() const
{
    return property("enabled").toBool();
}

void ServerItem::setEnabled(bool enabled)
{
    // An enabled item is only useful below enabled ancestors.
    if (enabled && m_parent)
        m_parent->setEnabled(true);
    setProperty("enabled", enabled);
    emit stateChanged();
}

void ServerItem::insertChild(int position, ServerItem *child)
{
    if (position < 0 || position > m_children.size())
        m_children.append(child);
    else
        m_children.insert(position, child);
    m_childMap.insert(child->name(), child);
}

bool ServerItem::canMoveUp(ServerItem *child) const
{
    return m_children.indexOf(child) > 0;
}

bool ServerItem::canMoveDown(ServerItem *child) const
{
    const qsizetype index = m_children.indexOf(child);
    return index >= 0 && index < m_children.size() - 1;
}

void ServerItem::moveUp(ServerItem *child)
{
    const qsizetype index = m_children.indexOf(child);
    if (index >= 1)
        m_children.swapItemsAt(index, index - 1);
}

void ServerItem::moveDown(ServerItem *child)
{
    const qsizetype index = m_children.indexOf(child);
    if (index >= 0 && index < m_children.size() - 1)
        m_children.swapItemsAt(index, index + 1);
}

bool ServerItem::insertChildren(int position, int count)
{
    DEBUGQT_LOG(4) << "position:" << position << "count:" << count;
    if (position < 0 || position > m_children.size())
        return false;
    for (int i = 0; i < count; ++i) {
        ServerItem *item = createChild();
        if (!item)
            return false;
        m_children.insert(position, item);
        m_childMap.insert(item->name(), item);
    }
    return true;
}

bool ServerItem::removeChildren(int position, int count)
{
    if (position < 0 || position + count > m_children.size())
        return false;
    for (int i = 0; i < count; ++i) {
        ServerItem *item = m_children.takeAt(position);
        if (m_childMap.value(item->name()) == item)
            m_childMap.remove(item->name());
        delete item;
    }
    return true;
}

bool ServerItem::removeAllChildren()
{
    return removeChildren(0, childCount());
}

QString ServerItem::uniqueName(const QString &pattern)
{
    if (!m_parent)
        return pattern;
    // The counters live in the parent and never go back, so a removed item's name is not reused.
    for (;;) {
        const int counter = m_parent->m_nameCounters.value(pattern, 0) + 1;
        m_parent->m_nameCounters.insert(pattern, counter);
        const QString candidate = QString(pattern).replace(QStringLiteral("%1"), QString::number(counter));
        if (!m_parent->m_childMap.contains(candidate))
            return candidate;
    }
}

QString ServerItem::errorText(int code, int extra) const
{
    Q_UNUSED(extra)
    switch (code) {
    case ResultPortError:
        return QStringLiteral("%1 (%2)").arg(QStringLiteral("Port error"), QStringLiteral("Port error code"));
    case ResultConfigError:
        return QStringLiteral("Config error(invalid access type)");
    case ResultLinkError:
        return QStringLiteral("Port/Link error");
    case ResultTimeout:
        return QStringLiteral("Timeout error");
    default:
        return QStringLiteral("No error");
    }
}

ServerItem *ServerItem::takeChild(const QString &name)
{
    ServerItem *item = m_childMap.take(name);
    if (item)
        m_children.removeOne(item);
    return item;
}
