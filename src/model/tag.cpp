#include "model/tag.h"

#include "core/debugqtstream.h"
#include "model/device.h"
#include "core/utils.h"

#include <QReadLocker>
#include <QRegularExpression>
#include <QWriteLocker>

#include <cmath>
#include <cstring>

namespace {

const QStringList DeviceTypeTexts = {QStringLiteral("bit"),    QStringLiteral("int16"),   QStringLiteral("uint16"),
                                     QStringLiteral("int32"),  QStringLiteral("uint32"),  QStringLiteral("float32"),
                                     QStringLiteral("float64")};
const QStringList ServerTypeTexts = {QStringLiteral("bool"),   QStringLiteral("int16"),   QStringLiteral("uint16"),
                                     QStringLiteral("int32"),  QStringLiteral("uint32"),  QStringLiteral("float32"),
                                     QStringLiteral("float64")};
const QStringList AccessTexts = {QStringLiteral("ReadOnly"), QStringLiteral("WriteOnly"), QStringLiteral("ReadWrite")};
const QStringList AccessShortTexts = {QStringLiteral("R"), QStringLiteral("W"), QStringLiteral("R/W")};
const QString InvalidText = QStringLiteral("Invalid");
constexpr int DataTypeSizes[] = {1, 2, 2, 4, 4, 4, 8};
constexpr int TypeOfUnknownText = Tag::Int32;

QString textOf(const QStringList &texts, int code)
{
    return code >= 0 && code < texts.size() ? texts.at(code) : InvalidText;
}

int codeOf(const QStringList &texts, const QString &text, int fallback)
{
    for (int code = 0; code < texts.size(); ++code) {
        if (texts.at(code).compare(text, Qt::CaseInsensitive) == 0)
            return code;
    }
    return fallback;
}

// Qt 6 turns a text into a list of its characters; only a real list counts as one here.
bool isList(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

} // namespace

Tag::Tag(Device *device)
    : ServerItem(device)
    , m_deviceItem(device)
{
    setName(uniqueName(QStringLiteral("Tag%1")));
    if (device) {
        setProperty("priority", device->property("priority").toInt());
        setProperty("period", device->pollingPeriod());
    }
    setProperty("byteorder", QStringLiteral("0123"));
    setProperty("modified", false);
}

Tag::~Tag() = default;

QString Tag::key() const
{
    if (!m_deviceItem)
        return name();
    return m_deviceItem->key() + QLatin1Char('/') + name();
}

QVariantMap Tag::save() const
{
    QVariantMap map;
    map.insert(QStringLiteral("name"), name());
    map.insert(QStringLiteral("enabled"), property("enabled").toBool());
    map.insert(QStringLiteral("polling_period"), property("period").toInt());
    map.insert(QStringLiteral("address"), m_address);
    map.insert(QStringLiteral("priority"), property("priority").toInt());
    map.insert(QStringLiteral("server_type"), serverTypeText(m_serverType));
    map.insert(QStringLiteral("device_type"), deviceTypeText(m_deviceType));
    map.insert(QStringLiteral("read_func"), property("read_func").toInt());
    map.insert(QStringLiteral("write_func"), property("write_func").toInt());
    map.insert(QStringLiteral("byteorder"), property("byteorder").toString());
    map.insert(QStringLiteral("byteorder_enabled"), property("byteorder_enabled").toBool());
    map.insert(QStringLiteral("access"), accessTypeText(m_accessType, false));
    map.insert(QStringLiteral("comment"), property("comment").toString());
    map.insert(QStringLiteral("use_bit_extraction"), m_useBitExtraction);
    map.insert(QStringLiteral("extract_bit_from"), m_extractBitFrom);
    map.insert(QStringLiteral("extract_bit_to"), m_extractBitTo);
    map.insert(QStringLiteral("config_group"), m_configGroup);
    map.insert(QStringLiteral("value"), value());
    map.insert(QStringLiteral("limits"), m_limits);
    map.insert(QStringLiteral("values"), m_values);
    map.insert(QStringLiteral("modified"), property("modified").toBool());
    return map;
}

bool Tag::load(const QVariantMap &map)
{
    setEnabled(map.value(QStringLiteral("enabled")).toBool());
    setName(map.value(QStringLiteral("name")).toString());
    m_address = map.value(QStringLiteral("address")).toString();
    setProperty("priority", map.value(QStringLiteral("priority")).toInt());
    setProperty("period", map.value(QStringLiteral("polling_period")).toInt());
    m_serverType = serverTypeFromText(map.value(QStringLiteral("server_type")).toString());
    // The type comes before the bit bounds, so they are clamped for the loaded type.
    m_deviceType = deviceTypeFromText(map.value(QStringLiteral("device_type")).toString());
    m_accessType = accessTypeFromText(map.value(QStringLiteral("access")).toString());
    setProperty("comment", map.value(QStringLiteral("comment")).toString());
    setProperty("read_func", map.value(QStringLiteral("read_func")).toInt());
    setProperty("write_func", map.value(QStringLiteral("write_func")).toInt());
    m_useBitExtraction = map.value(QStringLiteral("use_bit_extraction")).toBool();
    setExtractBitFrom(map.value(QStringLiteral("extract_bit_from")).toInt());
    setExtractBitTo(map.value(QStringLiteral("extract_bit_to")).toInt());
    const QVariant group = map.value(QStringLiteral("config_group"));
    if (isList(group))
        m_configGroup = group.toStringList();
    setValue(map.contains(QStringLiteral("value")) ? map.value(QStringLiteral("value")) : QVariant(0));
    const QVariant limits = map.value(QStringLiteral("limits"));
    m_limits = isList(limits) ? limits.toList() : QVariantList();
    m_values = map.value(QStringLiteral("values")).toMap();
    setProperty("modified", map.value(QStringLiteral("modified")).toBool());
    return true;
}

QVariant Tag::value() const
{
    QReadLocker locker(&m_valueLock);
    return m_value;
}

void Tag::setValue(const QVariant &value)
{
    DEBUGQT_LOG(4) << "*";
    {
        QWriteLocker locker(&m_valueLock);
        m_value = value;
        setTimestamp(QDateTime::currentDateTime());
    }
    emit valueChanged(value);
}

QDateTime Tag::timestamp() const
{
    QReadLocker locker(&m_timestampLock);
    return m_timestamp;
}

void Tag::setTimestamp(const QDateTime &timestamp)
{
    QWriteLocker locker(&m_timestampLock);
    m_timestamp = timestamp;
}

void Tag::requestWrite(const QVariant &value)
{
    {
        QWriteLocker locker(&m_valueLock);
        m_value = value;
    }
    emit writeRequest();
}

QString Tag::valueText() const
{
    if (m_values.isEmpty())
        return QString();
    static const QRegularExpression digitsOnly(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]*")));
    const QString text = Utils::variantToText(value());
    if (!digitsOnly.match(text).hasMatch())
        return QString();
    const QString prefix = property("values_prefix").toString();
    if (!prefix.isEmpty())
        return m_values.value(prefix + text).toString();
    const QString display = m_values.value(text).toString();
    return display.isEmpty() ? m_values.value(QLatin1Char('0') + text).toString() : display;
}

bool Tag::isOutOfLimits() const
{
    if (m_limits.size() != 2)
        return false;
    const float low = m_limits.at(0).toFloat();
    const float high = m_limits.at(1).toFloat();
    const float current = value().toFloat();
    return current < low || current > high || std::isnan(current);
}

bool Tag::isNanOrInf() const
{
    const QString text = Utils::variantToText(value());
    return text == QLatin1String("nan") || text.contains(QLatin1String("inf"));
}

QString Tag::deviceTypeText(int code)
{
    return textOf(DeviceTypeTexts, code);
}

QString Tag::serverTypeText(int code)
{
    return textOf(ServerTypeTexts, code);
}

QString Tag::accessTypeText(int code, bool shortForm)
{
    return textOf(shortForm ? AccessShortTexts : AccessTexts, code);
}

int Tag::deviceTypeFromText(const QString &text)
{
    return codeOf(DeviceTypeTexts, text, TypeOfUnknownText);
}

int Tag::serverTypeFromText(const QString &text)
{
    return codeOf(ServerTypeTexts, text, TypeOfUnknownText);
}

int Tag::accessTypeFromText(const QString &text)
{
    return codeOf(AccessTexts, text, ReadOnly);
}

int Tag::dataTypeSize(int code)
{
    return code >= Bit && code <= Float64 ? DataTypeSizes[code] : 0;
}

int Tag::lastBit() const
{
    return dataTypeSize(m_deviceType) * 8 - 1;
}

// Bounds are kept between bit 0 and the last bit of the device type, so that extraction never
// shifts by a negative count or past the raw value.
void Tag::setExtractBitFrom(int bit)
{
    bit = qMax(0, qMin(bit, lastBit()));
    m_extractBitFrom = bit;
    if (m_extractBitFrom > m_extractBitTo)
        m_extractBitTo = bit;
}

void Tag::setExtractBitTo(int bit)
{
    bit = qMax(0, qMin(bit, lastBit()));
    m_extractBitTo = bit;
    if (m_extractBitTo < m_extractBitFrom)
        m_extractBitFrom = bit;
}

unsigned int Tag::addressValue() const
{
    static const QRegularExpression hexadecimal(
        QRegularExpression::anchoredPattern(QStringLiteral("(0[xX][0-9a-fA-F]+)|([0-9a-fA-F]+[hH])")));
    if (hexadecimal.match(m_address).hasMatch()) {
        QString digits = m_address;
        digits.remove(QLatin1Char('h')).remove(QLatin1Char('H'));
        return digits.toUInt(nullptr, 16);
    }
    return m_address.toUInt(nullptr, 10);
}

QString Tag::configGroupFirst() const
{
    return m_configGroup.size() == 2 ? m_configGroup.at(0) : QString();
}

QString Tag::configGroupSecond() const
{
    return m_configGroup.size() == 2 ? m_configGroup.at(1) : QString();
}

bool Tag::isChannel() const
{
    return configGroupFirst().toLower() == QLatin1String("channel");
}

QList<Tag *> Tag::tags()
{
    return {this};
}

QList<Tag *> Tag::channels()
{
    return isChannel() ? QList<Tag *>{this} : QList<Tag *>();
}

Device *Tag::device() const
{
    return qobject_cast<Device *>(m_deviceItem);
}

void Tag::setDevice(ServerItem *item)
{
    // The tag's parent reference follows too, so its naming among siblings and its key agree
    // with the device it reports to; no child list changes.
    m_deviceItem = item;
    replaceParentReference(item);
}

int Tag::deviceProcessingTime() const
{
    const Device *owner = device();
    return owner ? owner->processingTime() : 0;
}

void Tag::tagRequesting()
{
    DEBUGQT_LOG(4) << "*";
    m_requestLock.lock();
}

void Tag::waitTagRequested()
{
    DEBUGQT_LOG(4) << "*";
    m_requestCondition.wait(&m_requestLock);
    m_requestLock.unlock();
}

QVariant Tag::decodeRawData() const
{
    if (m_deviceType == Bit)
        return !m_rawData.isEmpty() && m_rawData.at(0) != 0;

    // Raw data shorter than the type reads as if the missing high bytes were 0.
    const int width = qMin(dataTypeSize(m_deviceType), int(m_rawData.size()));
    quint64 work = 0;
    for (int index = 0; index < width; ++index)
        work |= quint64(quint8(m_rawData.at(index))) << (8 * index);
    if (m_useBitExtraction) {
        const int count = m_extractBitTo - m_extractBitFrom + 1;
        const quint32 field = Utils::extractBits(work, quint8(m_extractBitFrom), quint8(count));
        work = (work & Q_UINT64_C(0xFFFFFFFF00000000)) | field;
    }

    switch (m_deviceType) {
    case Int16:
        return int(qint16(quint16(work)));
    case UInt16:
        return int(quint16(work));
    case Int32:
        return int(qint32(quint32(work)));
    case UInt32:
        return uint(quint32(work));
    case Float32: {
        const quint32 bits = quint32(work);
        float number;
        std::memcpy(&number, &bits, sizeof number);
        return number;
    }
    case Float64: {
        double number;
        std::memcpy(&number, &work, sizeof number);
        return float(number);
    }
    default:
        return QVariant();
    }
}

void Tag::finishTransfer(int resultCode)
{
    const Device *owner = device();
    setLastErrorText(owner ? owner->lastErrorText() : QString());
    setResult(resultCode);
}

QVariant Tag::read()
{
    int resultCode = ResultConfigError;
    if (m_accessType == ReadOnly || m_accessType == ReadWrite) {
        Utils::msleep(quint32(m_transferDelay));
        if (m_deviceType != Bit)
            DEBUGQT_LOG(4) << name() << " - " << Utils::bufferToHex(m_rawData);
        setValue(decodeRawData());
        resultCode = ResultSuccess;
    }
    finishTransfer(resultCode);
    if (resultCode != ResultSuccess)
        DEBUGQT_LOG(4) << qPrintable(QStringLiteral("error reading tag '%1' - %2").arg(key(), lastErrorText()));

    m_requestCondition.wakeAll();
    m_requestLock.unlock();
    return value();
}

bool Tag::write(const QVariant &value)
{
    DEBUGQT_LOG(4) << "write " << name() << " - " << value;
    int resultCode = ResultConfigError;
    if (m_accessType == WriteOnly || m_accessType == ReadWrite) {
        {
            QWriteLocker locker(&m_valueLock);
            m_value = value;
        }
        Utils::msleep(quint32(m_transferDelay));
        resultCode = ResultSuccess;
    }
    finishTransfer(resultCode);
    if (resultCode != ResultSuccess)
        DEBUGQT_LOG(1) << qPrintable(QStringLiteral("error writing tag '%1' - %2").arg(key(), lastErrorText()));

    m_requestCondition.wakeAll();
    m_requestLock.unlock();
    return resultCode == ResultSuccess;
}

void Tag::appendModbusMessage(const QString &line)
{
    m_messageLog.append(line);
    while (m_messageLog.size() > MessageLogLimit)
        m_messageLog.removeFirst();
}
