#include "core/utils.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "core/qjsonsettings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>

#include <cmath>
#include <limits>

namespace Utils {

namespace {

template<typename ByteText>
QString joinBytes(const void *data, int length, ByteText byteText)
{
    QString text;
    if (length < 1 || !data)
        return text;
    const auto *bytes = static_cast<const quint8 *>(data);
    text.reserve(length * 6);
    for (int i = 0; i < length; ++i) {
        text += byteText(bytes[i]);
        if (i < length - 1)
            text += QLatin1Char(' ');
    }
    return text;
}

bool isMap(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap;
}

// The shortest text that reads back as the same float: different floats never share a text,
// and a float never gets the digits of its nearest double (2.3f is "2.3", not "2.29999995").
// Six digits, trailing zeros dropped, are already the shortest for every float that they read
// back as, and keep 60 from becoming "6e+01"; more are taken only where six are not enough.
QString floatText(float value)
{
    if (!std::isfinite(value))
        return QString::number(double(value));
    for (int digits = 6; digits < std::numeric_limits<float>::max_digits10; ++digits) {
        const QString text = QString::number(double(value), 'g', digits);
        if (text.toFloat() == value)
            return text;
    }
    return QString::number(double(value), 'g', std::numeric_limits<float>::max_digits10);
}

} // namespace

QString hexByte(quint8 byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}

quint8 byteAt(const QByteArray &data, qsizetype index)
{
    return index >= 0 && index < data.size() ? quint8(data.at(index)) : 0;
}

QString bufferToHex(const void *data, int length)
{
    return joinBytes(data, length, hexByte);
}

QString bufferToHex(const QByteArray &bytes)
{
    return bufferToHex(bytes.constData(), int(bytes.size()));
}

QString bufferToHexH(const void *data, int length)
{
    return joinBytes(data, length, [](quint8 byte) { return QStringLiteral("0x%1h").arg(hexByte(byte).toUpper()); });
}

QString bufferToHexH(const QByteArray &bytes)
{
    return bufferToHexH(bytes.constData(), int(bytes.size()));
}

QByteArray stringToByteArray(const QString &text)
{
    static const QRegularExpression token(
        QRegularExpression::anchoredPattern(QStringLiteral("(0[xX][0-9a-fA-F][0-9a-fA-F][hH])")));
    static const QRegularExpression hMark(QStringLiteral("[hH]"));

    QByteArray bytes;
    DEBUGQT_LOG(4) << text;
    const QStringList tokens = text.split(QLatin1Char(' '));
    for (const QString &candidate : tokens) {
        if (!token.match(candidate).hasMatch())
            continue;
        QString digits = candidate;
        digits.remove(hMark);
        const auto value = static_cast<quint8>(digits.toUInt(nullptr, 16));
        DEBUGQT_LOG(4) << digits << hexByte(value);
        bytes.append(static_cast<char>(value));
    }
    DEBUGQT_LOG(4) << bufferToHexH(bytes);
    return bytes;
}

quint32 extractBits(const quint64 &value, quint8 first, quint8 count)
{
    // Callers read bit fields of register values; clamp a field that reaches past bit 63.
    if (count == 0 || first > 63)
        return 0;
    if (count > 64 - first)
        count = quint8(64 - first);
    const quint64 field = (value << (64 - first - count)) >> (64 - count);
    return static_cast<quint32>(field);
}

void msleep(quint32 ms)
{
    QThread::msleep(ms);
}

bool waitProcessingEvents(quint32 ms, QEventLoop::ProcessEventsFlags flags, const std::function<bool()> &stop)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (stop && stop())
            return false;
        const qint64 left = qint64(ms) - waited.elapsed();
        if (left <= 0)
            return true;
        msleep(quint32(qMin<qint64>(left, WaitSliceMs)));
        HeldLocks::processEvents("a wait", flags, int(WaitSliceMs));
    }
}

void usleep(qint32 us)
{
    if (us > 0)
        msleep(quint32(us / 1000));
}

QString findAppFile(const QString &name)
{
    const QString path = QCoreApplication::applicationDirPath() + QDir::separator() + name;
    if (QFileInfo::exists(path))
        return path;
    return QStringLiteral(":/%1").arg(name);
}

QString findDataFile(const QString &name)
{
    const QStringList folders{QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
                              QDir::currentPath(), QCoreApplication::applicationDirPath()};
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString path = folder + QDir::separator() + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QPoint centeredPosition(const QRect &available, const QSize &size)
{
    return available.topLeft()
           + QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2);
}

QString variantToText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Float:
        return floatText(value.toFloat());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

void vmap_put(QVariantMap &target, const QString &path, const QVariant &value)
{
    if (path.isEmpty()) {
        if (isMap(value)) {
            vmap_merge(value.toMap(), target);
            return;
        }
        DEBUGQT_LOG(1) << "dont understand";
        DEBUGQT_LOG(1) << "path =" << path;
        DEBUGQT_LOG(1) << "map =" << target;
        DEBUGQT_LOG(1) << "value =" << value;
        DEBUGQT_LOG(4) << "segfault";
        return;
    }

    const QStringList components = path.split(QLatin1Char('/'));
    if (components.size() == 1) {
        target.insert(path, value);
        return;
    }

    // Walk down with working copies, then write them back from the deepest level up.
    QList<QVariantMap> levels;
    for (qsizetype i = 0; i < components.size() - 1; ++i) {
        const QVariant entry = (i == 0 ? target : levels.at(i - 1)).value(components.at(i));
        levels.append(isMap(entry) ? entry.toMap() : QVariantMap());
    }
    levels.last().insert(components.last(), value);
    for (qsizetype i = levels.size() - 1; i >= 1; --i)
        levels[i - 1].insert(components.at(i), levels.at(i));
    target.insert(components.first(), levels.first());
}

QVariant vmap_value(const QVariantMap &map, const QString &path)
{
    const QStringList components = path.split(QLatin1Char('/'));
    QVariant current = map.value(components.first());
    for (qsizetype i = 1; i < components.size(); ++i) {
        if (!isMap(current))
            return QVariant();
        current = current.toMap().value(components.at(i));
    }
    return current;
}

QVariant vmap_get(const QVariantMap &map, const QString &path, const QVariant &defaultValue)
{
    if (!path.contains(QLatin1Char('/')))
        return map.value(path);
    // Deeper paths descend like vmap_value, with the default where nothing is found.
    const QVariant value = vmap_value(map, path);
    return value.isValid() ? value : defaultValue;
}

void vmap_merge(const QVariantMap &source, QVariantMap &target)
{
    if (target.isEmpty()) {
        target = source;
        return;
    }
    for (auto it = source.constBegin(); it != source.constEnd(); ++it)
        target.insert(it.key(), it.value());
}

void vmap_add_missing(const QVariantMap &source, QVariantMap &target)
{
    if (target.isEmpty()) {
        target = source;
        return;
    }
    for (auto it = source.constBegin(); it != source.constEnd(); ++it) {
        if (!target.contains(it.key()))
            target.insert(it.key(), it.value());
    }
}

QVariantMap readAppSetting(const QString &fileName)
{
    QJsonSettings settings(fileName);
    const QVariant app = settings.value(QStringLiteral("app"));
    const QVariant srv = settings.value(QStringLiteral("srv"));
    return QVariantMap{{QStringLiteral("app"), isMap(app) ? app.toMap() : QVariantMap()},
                       {QStringLiteral("srv"), isMap(srv) ? srv.toMap() : QVariantMap()}};
}

bool writeAppSetting(const QVariantMap &map, const QString &fileName)
{
    QJsonSettings settings(fileName);
    for (const QString &key : {QStringLiteral("app"), QStringLiteral("srv")}) {
        if (!map.contains(key))
            continue;
        const QVariant value = map.value(key);
        settings.setValue(key, isMap(value) ? value.toMap() : QVariantMap());
    }
    // A write that did not reach the disk is a failure, not a success.
    return settings.writeNow();
}

} // namespace Utils
