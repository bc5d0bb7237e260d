#include "model/device.h"

#include "model/tag.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "model/loadedsetting.h"
#include "model/port.h"
#include "core/utils.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QDynamicPropertyChangeEvent>
#include <QMutexLocker>
#include <QThread>
#include <QTime>

#include <cmath>
#include <limits>
#include <utility>

namespace {

const QString AddressKey = QStringLiteral("address");
const QString DeviceIdKey = QStringLiteral("deviceID");
const QString TagKey = QStringLiteral("tag");
const QString PollingAddressKey = QStringLiteral("polling_address");
const QString ModifyCountKey = QStringLiteral("modify_count");
const QString ParameterTypesKey = QStringLiteral("parameter_types");

// The fields under the device's data lock are copied in and out whole, each under the lock.
template <typename T>
T lockedCopy(QMutex &lock, const T &field)
{
    QMutexLocker locker(&lock);
    return field;
}

template <typename T>
void lockedAssign(QMutex &lock, T &field, const T &value)
{
    QMutexLocker locker(&lock);
    field = value;
}

// The calling thread's captures of read values, innermost first.
thread_local Device::ReadCapture *t_captures = nullptr;

} // namespace

Device::OutcomeHold::OutcomeHold(const Device *device)
    : m_locker(&device->m_outcomeLock)
{
    HeldLocks::outcomeTaken();
}

Device::OutcomeHold::~OutcomeHold()
{
    HeldLocks::outcomeReleased();
}

Device::ReadCapture::ReadCapture(const Device *device)
    : m_device(device), m_outer(std::exchange(t_captures, this))
{
}

Device::ReadCapture::~ReadCapture()
{
    t_captures = m_outer;
}

Device::Device(ServerItem *parent)
    : ServerItem(parent)
{
    applyDefaults(QStringLiteral("Device%1"));
}

Device::~Device()
{
    DEBUGQT_LOG(4) << metaObject()->className() << name();
    emit tagsDeleting();
}

void Device::applyDefaults(const QString &namePattern)
{
    setName(uniqueName(namePattern));
    setPollingPeriod(1000);
    setProperty("priority", parentItem() ? parentItem()->property("priority").toInt() : 0);
}

QString Device::key() const
{
    if (!parentItem())
        return name();
    return parentItem()->key() + QLatin1Char('/') + name();
}

bool Device::removeChildren(int position, int count)
{
    emit tagsDeleting();
    return ServerItem::removeChildren(position, count);
}

ServerItem *Device::createChild()
{
    auto *tag = new Tag(this);
    connect(tag, &ServerItem::modified, this, &ServerItem::modified);
    return tag;
}

QString Device::deviceSpecificStatusText(int code) const
{
    Q_UNUSED(code)
    return QString();
}

Port *Device::port() const
{
    return qobject_cast<Port *>(parentItem());
}

QString Device::templateName() const { return lockedCopy(m_dataLock, m_templateName); }

void Device::setTemplate(const QString &name)
{
    {
        QMutexLocker locker(&m_dataLock);
        m_templateName = name;
    }
    emit deviceTemplateChanged(name);
}

int Device::address() const { return lockedCopy(m_dataLock, m_address); }

void Device::setAddress(int address) { setProperty("address", address); }

bool Device::event(QEvent *event)
{
    // The polling address is a property the GUI thread sets (through setAddress or directly);
    // polling threads read the copy kept under the device's lock.
    if (event->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == "address") {
        const int address = property("address").toInt();
        QMutexLocker locker(&m_dataLock);
        m_address = address;
    }
    return ServerItem::event(event);
}
int Device::pollingPeriod() const { return property("polling_period").toInt(); }
void Device::setPollingPeriod(int milliseconds) { setProperty("polling_period", milliseconds); }
int Device::requestTimeout() const { return property("request_timeout").toInt(); }
void Device::setRequestTimeout(int milliseconds) { setProperty("request_timeout", milliseconds); }
int Device::responceTimeout() const { return property("responce_timeout").toInt(); }
void Device::setResponceTimeout(int milliseconds) { setProperty("responce_timeout", milliseconds); }
int Device::byteTimeout() const { return property("byte_timeout").toInt(); }
void Device::setByteTimeout(int milliseconds) { setProperty("byte_timeout", milliseconds); }
bool Device::closePortIfError() const { return property("close_port_if_error").toBool(); }
void Device::setClosePortIfError(bool close) { setProperty("close_port_if_error", close); }
QString Device::producer() const { return property("producer").toString(); }
void Device::setProducer(const QString &producer) { setProperty("producer", producer); }
QString Device::comment() const { return property("comment").toString(); }
void Device::setComment(const QString &comment) { setProperty("comment", comment); }
QString Device::variant() const { return property("variant").toString(); }
void Device::setVariant(const QString &variant) { setProperty("variant", variant); }

QByteArray Device::uniqueAddress() const { return lockedCopy(m_dataLock, m_uniqueAddress); }

void Device::setUniqueAddress(const QByteArray &address) { lockedAssign(m_dataLock, m_uniqueAddress, address); }

QByteArray Device::deviceId() const { return lockedCopy(m_dataLock, m_deviceId); }

void Device::setDeviceId(const QByteArray &id) { lockedAssign(m_dataLock, m_deviceId, id); }

QByteArray Device::expandedDeviceType() const { return lockedCopy(m_dataLock, m_expandedDeviceType); }

void Device::setExpandedDeviceType(const QByteArray &type) { lockedAssign(m_dataLock, m_expandedDeviceType, type); }

QByteArray Device::vendorId() const { return lockedCopy(m_dataLock, m_vendorId); }

void Device::setVendorId(const QByteArray &id) { lockedAssign(m_dataLock, m_vendorId, id); }

QVariantMap Device::parameters() const { return lockedCopy(m_dataLock, m_parameters); }

QVariant Device::parameter(const QString &key) const
{
    QMutexLocker locker(&m_dataLock);
    return m_parameters.value(key);
}

// Applies a change of the parameter map to the calling thread's captures of this device.
template<typename Change>
void Device::captureChange(Change change) const
{
    for (ReadCapture *capture = t_captures; capture; capture = capture->m_outer) {
        if (capture->m_device == this)
            change(capture->m_values);
    }
}

void Device::setParameter(const QString &key, const QVariant &value)
{
    captureChange([&](QVariantMap &values) { values.insert(key, value); });
    QMutexLocker locker(&m_dataLock);
    m_parameters.insert(key, value);
}

void Device::replaceParameters(const QVariantMap &parameters)
{
    captureChange([&](QVariantMap &values) { values = parameters; });
    lockedAssign(m_dataLock, m_parameters, parameters);
}

void Device::insertParameters(const QVariantMap &parameters)
{
    captureChange([&](QVariantMap &values) { values.insert(parameters); });
    QMutexLocker locker(&m_dataLock);
    m_parameters.insert(parameters);
}

int Device::parameterInt(const QString &key) const
{
    return parameter(key).toInt();
}

float Device::parameterFloat(const QString &key) const
{
    return parameter(key).toFloat();
}

QString Device::parameterString(const QString &key) const
{
    return parameter(key).toString();
}

QByteArray Device::parameterByteArray(const QString &key) const
{
    // A number converts to its decimal text in Qt 6; only real bytes or text are bytes here.
    const QVariant value = parameter(key);
    if (value.typeId() == QMetaType::QByteArray || value.typeId() == QMetaType::QString)
        return value.toByteArray();
    return QByteArray();
}

bool Device::hasParameter(const QString &key) const
{
    QMutexLocker locker(&m_dataLock);
    return m_parameters.contains(key);
}

void Device::removeParameter(const QString &key)
{
    captureChange([&](QVariantMap &values) { values.remove(key); });
    QMutexLocker locker(&m_dataLock);
    m_parameters.remove(key);
}

void Device::clearSlotVariables()
{
    static const QStringList slotKeys{QStringLiteral("slot_%1_code"), QStringLiteral("slot_%1_class"),
                                      QStringLiteral("slot_%1_unit_code"), QStringLiteral("slot_%1_value"),
                                      QStringLiteral("slot_%1_status")};
    QMutexLocker locker(&m_dataLock);
    for (int slot = 0; slot < SlotCount; ++slot) {
        for (const QString &pattern : slotKeys)
            m_parameters.remove(pattern.arg(slot));
    }
}

void Device::clearIdentity()
{
    {
        QMutexLocker locker(&m_dataLock);
        m_deviceId.clear();
        m_uniqueAddress.clear();
        m_parameters.insert(AddressKey, QVariant());
        m_parameters.insert(DeviceIdKey, QVariant());
    }
    setStateFlags(StateInitial);
    resetState();
}

void Device::incrementModifyCount()
{
    QMutexLocker locker(&m_dataLock);
    m_parameters.insert(ModifyCountKey, m_parameters.value(ModifyCountKey).toInt() + 1);
}

void Device::beginPolling()
{
    QMutexLocker locker(&m_dataLock);
    if (m_pollers++ == 0)
        addStateFlags(StatePeriodicallyRequested);
}

void Device::endPolling()
{
    QMutexLocker locker(&m_dataLock);
    if (m_pollers == 0)
        return;
    if (--m_pollers == 0)
        clearStateFlags(StatePeriodicallyRequested);
}

void Device::setStateFlags(int flags)
{
    QMutexLocker locker(&m_dataLock);
    if (m_pollers > 0)
        flags |= StatePeriodicallyRequested;
    m_stateFlags.store(flags);
}

int Device::pollerCount() const { return lockedCopy(m_dataLock, m_pollers); }

QString Device::stateMarks() const
{
    const int flags = stateFlags();
    QString marks;
    if (flags & StateReadFromDevice)
        marks += QLatin1Char('>');
    if (flags & StateChanged)
        marks += QLatin1Char('*');
    if (flags & StateSavedInDevice)
        marks += QLatin1Char('<');
    if (flags & StatePeriodicallyRequested)
        marks += QLatin1Char('@');
    if (flags & StateFlag40)
        marks += QLatin1Char('!');
    return marks.isEmpty() ? QString() : QStringLiteral("[%1]").arg(marks);
}

QString Device::valueSourceText() const
{
    const int flags = stateFlags();
    const QString separator = QStringLiteral(" / ");
    QString text = (flags & StateReadFromDevice) ? tr("from device") : tr("from file");
    if (flags & StateChanged)
        text += separator + tr("changed");
    if (flags & StateSavedInDevice)
        text += separator + tr("saved in device");
    if (flags & StatePeriodicallyRequested)
        text += separator + tr("periodically requested");
    return text;
}

bool Device::displayName()
{
    QString label = parameterString(TagKey);
    if (label.isEmpty())
        label = QString::number(address());
    const QString text = QStringLiteral("%1 {%2}").arg(templateName(), label);
    const bool free = isNameFree(text);
    if (free)
        setName(text);
    return free;
}

QStringList Device::logLines() const { return lockedCopy(m_dataLock, m_log); }

void Device::appendLogLine(const QString &line)
{
    QMutexLocker locker(&m_dataLock);
    m_log.append(line);
    while (m_log.size() > DefaultLogLineLimit)
        m_log.removeFirst();
}

void Device::logMessage(const QString &line)
{
    appendLogLine(line);
    emit modbusMessage(address(), line);
}

QByteArray Device::lastStatusBytes() const { return lockedCopy(m_dataLock, m_statusBytes); }

QStringList Device::lastStatusTexts() const { return lockedCopy(m_dataLock, m_statusTexts); }

void Device::setLastStatus(const QByteArray &bytes, const QStringList &texts)
{
    QMutexLocker locker(&m_dataLock);
    m_statusBytes = bytes;
    m_statusTexts = texts;
}

QByteArray Device::storedStatusBytes() const { return lockedCopy(m_dataLock, m_storedStatusBytes); }

void Device::setStoredStatusBytes(const QByteArray &bytes) { lockedAssign(m_dataLock, m_storedStatusBytes, bytes); }

QString Device::additionalStatusText() const { return lockedCopy(m_dataLock, m_additionalStatusText); }

void Device::setAdditionalStatusText(const QString &text) { lockedAssign(m_dataLock, m_additionalStatusText, text); }

void Device::reportAdditionalStatus()
{
    const QString text = additionalStatusText();
    if (text.isEmpty())
        return;
    logMessage(QStringLiteral("\n--- ") + tr("Additional status info:") + QLatin1Char('\n') + text);
    emit deviceStatus(QLatin1Char('\n') + text + QLatin1Char('\n'), lastStatusBytes());
}

QVariantMap Device::measureInfo() const { return lockedCopy(m_dataLock, m_measureInfo); }

void Device::setMeasureInfo(const QVariantMap &info) { lockedAssign(m_dataLock, m_measureInfo, info); }

// ---------------------------------------------------------------------------------------------
// Configuration map
//
// JSON carries text, booleans, numbers, lists and maps only, and its numbers come back as
// qlonglong or double. So that a saved configuration loads back unchanged, the parameters
// are written in a form JSON carries (byte arrays as marked hex "0x26h 0xE0h", dates and times
// as ISO text, non-finite numbers as "nan", "inf" or "-inf") and the type of every parameter
// JSON would not give back as it was goes into "parameter_types" beside "parameters".

namespace {

bool keepsTypeThroughJson(int typeId)
{
    switch (typeId) {
    case QMetaType::UnknownType:
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::QVariantMap:
    case QMetaType::QVariantList:
        return true;
    default:
        return false;
    }
}

QVariant encodeNumber(double value, const QVariant &original)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return original;
}

QVariant encodeValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return Utils::bufferToHexH(value.toByteArray());
    case QMetaType::Float:
    case QMetaType::Double:
        return encodeNumber(value.toDouble(), value);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return value.toTime().toString(Qt::ISODateWithMs);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QChar:
        return value.toString();
    default:
        return value;
    }
}

double decodeNumber(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("nan"))
            return std::numeric_limits<double>::quiet_NaN();
        if (text == QLatin1String("inf"))
            return std::numeric_limits<double>::infinity();
        if (text == QLatin1String("-inf"))
            return -std::numeric_limits<double>::infinity();
    }
    return value.toDouble();
}

QVariant decodeValue(const QVariant &value, QMetaType type)
{
    const QString text = value.toString();
    switch (type.id()) {
    case QMetaType::QByteArray:
        return Utils::stringToByteArray(text);
    case QMetaType::Float:
        return float(decodeNumber(value));
    case QMetaType::Double:
        return decodeNumber(value);
    case QMetaType::QDate:
        return QDate::fromString(text, Qt::ISODate);
    case QMetaType::QTime:
        return QTime::fromString(text, Qt::ISODateWithMs);
    case QMetaType::QDateTime:
        return QDateTime::fromString(text, Qt::ISODateWithMs);
    case QMetaType::QChar:
        return text.isEmpty() ? QChar() : text.at(0);
    default: {
        QVariant converted = value;
        return converted.convert(type) ? converted : value;
    }
    }
}

} // namespace

QVariantMap Device::encodeParameters(const QVariantMap &parameters, QVariantMap *types)
{
    QVariantMap stored;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        stored.insert(it.key(), encodeValue(it.value()));
        if (!keepsTypeThroughJson(it.value().typeId()))
            types->insert(it.key(), QString::fromLatin1(it.value().metaType().name()));
    }
    return stored;
}

QVariantMap Device::decodeParameters(const QVariantMap &stored, const QVariantMap &types)
{
    QVariantMap parameters;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        // Only Qt's own value types are taken from a file, never an arbitrary registered type.
        const QMetaType type = QMetaType::fromName(types.value(it.key()).toString().toLatin1());
        if (type.isValid() && type.id() < QMetaType::User)
            parameters.insert(it.key(), decodeValue(it.value(), type));
        else if (it.value().typeId() == QMetaType::Nullptr)
            parameters.insert(it.key(), QVariant());
        else
            parameters.insert(it.key(), it.value());
    }
    return parameters;
}

QVariantMap Device::save() const
{
    QVariantMap map;
    map.insert(QStringLiteral("name"), name());
    map.insert(QStringLiteral("enabled"), property("enabled").toBool());
    map.insert(QStringLiteral("priority"), property("priority").toInt());
    map.insert(QStringLiteral("polling_period"), pollingPeriod());
    map.insert(QStringLiteral("polling_address"), address());
    map.insert(QStringLiteral("template"), templateName());
    map.insert(QStringLiteral("comment"), comment());
    if (!variant().isEmpty())
        map.insert(QStringLiteral("variant"), variant());

    // The identity bytes are kept as marked hex whatever the parameter map holds for them.
    QVariantMap parameterCopy = parameters();
    const QString addressText = Utils::bufferToHexH(parameterByteArray(AddressKey));
    const QString deviceIdText = Utils::bufferToHexH(parameterByteArray(DeviceIdKey));
    parameterCopy.remove(AddressKey);
    parameterCopy.remove(DeviceIdKey);

    QVariantMap types;
    QVariantMap stored = encodeParameters(parameterCopy, &types);
    stored.insert(AddressKey, addressText);
    stored.insert(DeviceIdKey, deviceIdText);
    map.insert(QStringLiteral("parameters"), stored);
    if (!types.isEmpty())
        map.insert(ParameterTypesKey, types);

    const QVariantMap info = measureInfo();
    if (!info.isEmpty())
        map.insert(QStringLiteral("measure_info"), info);
    return map;
}

// The polling address as the identification page's field takes it, the one frames go to.
int Device::loadedAddress(const QVariantMap &map) const
{
    static const LoadedSetting pollingAddress = LoadedSetting::number("polling_address", 0, 0, MaxPollingAddress);
    const Port *line = port();
    const QString name = map.value(QStringLiteral("name")).toString();
    return pollingAddress.take(map, line ? line->name() + QLatin1Char('/') + name : name).toInt();
}

bool Device::load(const QVariantMap &map)
{
    DEBUGQT_LOG(4) << "load" << map.value(QStringLiteral("name")).toString();
    emit tagsDeleting();
    setName(map.value(QStringLiteral("name")).toString());
    // Written by save; restored as they were, without enabling the port and the server.
    if (map.contains(QStringLiteral("enabled")))
        setProperty("enabled", map.value(QStringLiteral("enabled")).toBool());
    if (map.contains(QStringLiteral("priority")))
        setProperty("priority", map.value(QStringLiteral("priority")).toInt());
    setAddress(loadedAddress(map));
    setPollingPeriod(map.value(QStringLiteral("polling_period")).toInt());
    if (map.contains(QStringLiteral("producer")))
        setProducer(map.value(QStringLiteral("producer")).toString());
    if (map.contains(QStringLiteral("comment")))
        setComment(map.value(QStringLiteral("comment")).toString());
    if (map.contains(QStringLiteral("variant")))
        setVariant(map.value(QStringLiteral("variant")).toString());
    setTemplate(map.value(QStringLiteral("template")).toString());

    const QVariantMap stored = map.value(QStringLiteral("parameters")).toMap();
    QVariantMap loaded = decodeParameters(stored, map.value(ParameterTypesKey).toMap());
    loaded.insert(AddressKey, Utils::stringToByteArray(stored.value(AddressKey).toString()));
    loaded.insert(DeviceIdKey, Utils::stringToByteArray(stored.value(DeviceIdKey).toString()));
    {
        QMutexLocker locker(&m_dataLock);
        m_parameters = loaded;
    }

    if (map.contains(QStringLiteral("measure_info"))) {
        const QVariantMap info = map.value(QStringLiteral("measure_info")).toMap();
        setMeasureInfo(info);
        DEBUGQT_LOG(4) << "measureInfo:" << info;
    }

    displayName();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Transactions

namespace {

const char *const ResetKeyword = QT_TRANSLATE_NOOP("Device", "reset");
const char *const StartKeyword = QT_TRANSLATE_NOOP("Device", "start");
const char *const GetKeyword = QT_TRANSLATE_NOOP("Device", "get");

QString lines(const QStringList &texts)
{
    return texts.join(QLatin1Char('\n'));
}

} // namespace

Device::LineSettings Device::lineSettings() const
{
    QMutexLocker locker(&m_dataLock);
    return m_lineSettings;
}

void Device::setLineSettingsFromPort(const Port *line)
{
    LineSettings settings;
    static_cast<Port::LineSettings &>(settings) = line->lineSettings();
    settings.defined = true;
    QMutexLocker locker(&m_dataLock);
    m_lineSettings = settings;
}

QByteArray Device::requestAddress() const
{
    // A device never identified is reached in a short frame at its own polling address, so its
    // request cannot reach another instrument of a multidrop line.
    const QByteArray unique = uniqueAddress();
    if (unique.size() >= 5)
        return unique;
    return QByteArray(1, char(address() & 0x3F));
}

bool Device::openPort(int baudrateIndex, int parityIndex)
{
    Port *line = port();
    if (!line)
        return false;
    if (deviceId().isEmpty() && baudrateIndex != -1 && parityIndex != -1)
        return openPortWith(line, baudrateIndex, parityIndex);
    return openPortOwnSettings(line);
}

bool Device::openPortDefault()
{
    if (!openPort(0, 3))
        return false;
    port()->setProperty("databits", 8);
    port()->setProperty("stopbits", 1);
    return true;
}

bool Device::openPortWith(Port *line, int baudrateIndex, int parityIndex)
{
    DEBUGQT_LOG(4) << "baudrate index:" << baudrateIndex << "parity index:" << parityIndex;
    if (line->isOpened()
        && (line->baudrateIndex(-1) != baudrateIndex || line->parityIndex(QLatin1Char(' ')) != parityIndex))
        line->closeHart();
    if (!line->isOpened()) {
        line->setBaudrateIndex(baudrateIndex);
        line->setParityIndex(parityIndex);
        if (!line->openHart())
            return failOpen(line);
    }
    setLineSettingsFromPort(line);
    return true;
}

bool Device::openPortOwnSettings(Port *line)
{
    // A device that was never opened with explicit settings (one loaded from a configuration
    // with its device ID, for instance) has none of its own: it takes the port's current ones
    // rather than compare against or apply undefined values.
    if (!lineSettings().defined)
        setLineSettingsFromPort(line);
    const LineSettings own = lineSettings();
    if (line->isOpened() && line->lineSettings() != own)
        line->closeHart();
    if (line->isOpened())
        return true;
    // The port's properties are written in its own thread only; a poll in a worker opens the
    // line as it is (the modem line always runs at 1200 baud, 8 bits, odd parity, 1 stop bit,
    // so the recorded settings do not change how it opens).
    if (QThread::currentThread() == line->thread()) {
        line->setProperty("baudrate", own.baudrate);
        line->setProperty("parity", own.parity);
        line->setProperty("databits", own.databits);
        line->setProperty("stopbits", own.stopbits);
    }
    if (line->openHart())
        return true;
    return failOpen(line);
}

bool Device::failOpen(Port *line)
{
    const QString text = line->lastErrorText();
    setLastErrorText(text);
    DEBUGQT_LOG(1) << QStringLiteral("error open port '%1' - %2").arg(line->name(), text);
    // The device's identity stays: a line that is out for a while (a modem unplugged) must not
    // cost the record its long address, and the device works again once the line is back.
    setResult(ResultLinkError);
    logMessage(text);
    return false;
}

void Device::logLinkLines(const Port *line)
{
    if (!line->hartPort.txLogLine.isEmpty())
        logMessage(line->hartPort.txLogLine);
    if (!line->hartPort.rxLogLine.isEmpty())
        logMessage(line->hartPort.rxLogLine);
}

void Device::recordOutcome(Port *line)
{
    setLastErrorText(line->lastErrorText());
    setLastStatus(line->hartPort.status, line->hartPort.statusTexts);
    setResult(line->result());
}

void Device::recordShortIdentity(const Port *line)
{
    // The port reports success for an exchange whose identity reply was too short (a refused
    // tag records its own failure on the port); the device must not show it as a success.
    const QString text = line->lastErrorText();
    setLastErrorText(text.isEmpty() ? line->hartPort.errorText : text);
    setResult(-2);
}

int Device::read(const QString &name, int command, QByteArray &reply)
{
    return transaction(Direction::Read, name, command, QByteArray(), reply);
}

int Device::write(const QString &name, int command, const QByteArray &request, QByteArray &reply,
                  const QStringList &unmeasured)
{
    return transaction(Direction::Write, name, command, request, reply, unmeasured);
}

int Device::transaction(Direction direction, const QString &name, int command, const QByteArray &request,
                        QByteArray &reply, const QStringList &unmeasured)
{
    // The time counts from the call, waits for the locks included.
    QElapsedTimer timer;
    timer.start();
    // The outcome lock comes before the line's permit, everywhere, so the two never cross.
    // Everything the outcome holds, the processing time included, is written under it: a
    // request refused before it is sent is this transaction's outcome too, and is never taken
    // for the outcome of another thread's transaction.
    const OutcomeHold outcome(this);
    setProcessingTime(0);
    Port *line = port();
    if (!line) {
        DEBUGQT_LOG(1) << "*** a device without a port cannot send command" << command;
        setResult(ResultLinkError);
        return ResultLinkError;
    }
    const Port::LineHold permit = line->holdLine();
    // A frame carries the command number in one byte: any other number would go out as a
    // different command (262 as 6, write polling address).
    if (command < 0 || command > 255) {
        setLastErrorText(tr("Command number %1 is outside 0 to 255: nothing was sent.").arg(command));
        setResult(-2);
        logTransactionError(direction, name, command);
        return -2;
    }
    if (!unmeasured.isEmpty()) {
        recordReplyFailure(tr("Command %1 was not sent: the value of %2 is not a number (NaN or infinity).")
                               .arg(QString::number(command), unmeasured.join(QStringLiteral(", "))));
        return -2;
    }

    if (openPort(-1, -1)) {
        const QString commandText = QString::number(command);
        if (direction == Direction::Read) {
            logMessage(QLatin1Char('\n') + tr("reading %1 (cmd=%2)...").arg(name, commandText));
        } else {
            const bool keyword = name.contains(tr(ResetKeyword)) || name.contains(tr(StartKeyword))
                                 || name.contains(tr(GetKeyword));
            const QString action = keyword ? name : tr("writing %1").arg(name);
            logMessage(QLatin1Char('\n') + tr("%1 (cmd=%2)...").arg(action, commandText));
        }
        line->sendCommand(requestAddress(), quint8(command), request, &reply);
        setProcessingTime(int(timer.elapsed()));
        logLinkLines(line);
        emit deviceStatus(lines(line->hartPort.statusTexts), line->hartPort.status);
        if (line->statusByte(0) != 0 || line->statusByte(1) != 0) {
            logMessage(tr("Device status: [%1]").arg(Utils::bufferToHex(line->hartPort.status).toUpper()));
            logMessage(lines(line->hartPort.statusTexts));
        }
    }

    recordOutcome(line);
    const int code = line->result();
    if (code == ResultSuccess) {
        logMessage(tr("Success (processing time: %1ms)").arg(processingTime()));
        addStateFlags(direction == Direction::Read ? StateReadFromDevice : StateSavedInDevice);
    } else {
        logTransactionError(direction, name, command);
    }
    if (closePortAfterTransaction() && line->isOpened())
        line->closeHart();
    return code;
}

void Device::logTransactionError(Direction direction, const QString &name, int command)
{
    const QString code = QString::number(result());
    const QString commandText = QString::number(command);
    const QString errorText = lastErrorText();
    const QString timeLine = tr("\nError (processing time: %1ms)").arg(processingTime());
    QString message;
    QString signalText;
    if (direction == Direction::Read) {
        DEBUGQT_LOG(1) << QStringLiteral("error %1 reading cmd=%2 (%3ms)").arg(code, commandText).arg(processingTime());
        message = tr("error %1 reading '%2' - %3").arg(code, name, errorText);
        signalText = tr("error %1 executing cmd=%2 - %3").arg(code, commandText, errorText);
    } else {
        DEBUGQT_LOG(1) << QStringLiteral("error %1 writing cmd=%2 (%3ms)").arg(code, commandText).arg(processingTime());
        const bool reset = name.contains(tr(ResetKeyword));
        const bool get = name.contains(tr(GetKeyword));
        const bool keyword = reset || get || name.contains(tr(StartKeyword));
        const QString verb = keyword ? QString() : tr("writing");
        message = tr("error %1 %2 %3 - %4").arg(code, verb, name, errorText);
        if (reset)
            message.replace(tr("writing"), tr("executing"));
        if (get)
            message.remove(tr("writing"));
        signalText = tr("error executing cmd=%1 - %2").arg(commandText, errorText);
    }
    logMessage(message + timeLine);
    emit deviceError(signalText.replace(QStringLiteral(" - "), QStringLiteral("\n")));
}

void Device::resetState()
{
    // Waits for a transaction of another thread, so that its outcome is not wiped before its
    // owner has taken it.
    const OutcomeHold outcome(this);
    ServerItem::resetState();
}

bool Device::findDevice()
{
    return identify(73, QString(), QString(), true);
}

bool Device::checkDevice(const QString &tag, const QString &longTag, bool clearParameters)
{
    const int command = !tag.isEmpty() ? 11 : (!longTag.isEmpty() ? 21 : 0);
    return identify(command, tag, longTag, clearParameters);
}

bool Device::identify(int command, const QString &tag, const QString &longTag, bool clearParameters)
{
    const OutcomeHold outcome(this);
    resetState();
    Port *line = port();
    if (!line)
        return false;
    const Port::LineHold permit = line->holdLine();

    bool ok = false;
    if (openPortDefault()) {
        setProcessingTime(0);
        QElapsedTimer timer;
        timer.start();
        // The identity is gathered apart and taken only when the check succeeds: a device that
        // did not answer keeps its whole record (address, device ID, tag, values).
        QVariantMap identity;
        ok = runIdentityCheck(line, command, tag, longTag, identity);
        // An answer from the instrument the device already is only refreshes its identity: the
        // rest of the record (tag, range, values) still describes it. Another instrument starts
        // a new record, but the polling address configured for this device stays with it.
        const bool sameInstrument = !uniqueAddress().isEmpty()
                                    && identity.value(AddressKey).toByteArray() == uniqueAddress();
        if (ok && clearParameters && !sameInstrument) {
            if (hasParameter(PollingAddressKey))
                identity.insert(PollingAddressKey, parameter(PollingAddressKey));
            replaceParameters(identity);
        } else if (ok) {
            insertParameters(identity);
        }
        logLinkLines(line);
        logIdentityOutcome(line, command, ok);

        setProcessingTime(int(timer.elapsed()));
        emit deviceError(line->lastErrorText());
        emit deviceStatus(lines(line->hartPort.statusTexts), line->hartPort.status);
        if (command != 73 && (line->statusByte(0) != 0 || line->statusByte(1) != 0))
            logMessage(lines(line->hartPort.statusTexts));
        recordOutcome(line);
        if (!ok && line->result() == ResultSuccess)
            recordShortIdentity(line);
    }
    if (closePortAfterTransaction() && line->isOpened())
        line->closeHart();
    return ok;
}

bool Device::runIdentityCheck(Port *line, int command, const QString &tag, const QString &longTag,
                              QVariantMap &identity)
{
    const QString settings = line->settingsText();
    bool ok = false;
    switch (command) {
    case 73:
        logMessage(tr("Try to check %1 via %3 ...").arg(name(), settings));
        ok = line->findDevice(&identity);
        break;
    case 11:
        logMessage(QLatin1Char('\n') + tr("Try to check %1 by tag '%2' via %3 ...").arg(name(), tag, settings));
        ok = line->checkHartDeviceByTag(tag, &identity);
        break;
    case 21:
        logMessage(QLatin1Char('\n') + tr("Try to check %1 by long tag '%2' via %3 ...").arg(name(), longTag, settings));
        ok = line->checkHartDeviceByLongTag(longTag, &identity);
        break;
    default:
        logMessage(QLatin1Char('\n')
                   + tr("Try to check %1 at address %2 via %3 ...").arg(name(), QString::number(address()), settings));
        ok = line->checkHartDevice(quint8(address()), &identity);
        break;
    }
    return ok;
}

void Device::logIdentityOutcome(const Port *line, int command, bool ok)
{
    if (!ok) {
        setLastErrorText(line->lastErrorText());
        if (command != 73) {
            const QString failure = tr("Get device ID by cmd %1 error:").arg(command);
            logMessage(failure);
            logMessage(line->lastErrorText());
            emit deviceError(failure);
        } else {
            logMessage(line->lastErrorText());
        }
        return;
    }
    setUniqueAddress(parameterByteArray(AddressKey));
    setDeviceId(parameterByteArray(DeviceIdKey));
    if (command == 73) {
        logMessage(tr("Checked successfully - %1!").arg(Utils::bufferToHex(uniqueAddress())));
        return;
    }
    setVendorId(parameterByteArray(QStringLiteral("vendorID")));
    setExpandedDeviceType(parameterByteArray(QStringLiteral("expanded_device_type")));
    const auto extended = quint8(parameterInt(QStringLiteral("extended_status")));
    logMessage(tr("Checked successfully - %1 (%2 %3 exts:%4)!")
                   .arg(Utils::bufferToHex(uniqueAddress()), Utils::bufferToHex(expandedDeviceType()),
                        Utils::bufferToHex(vendorId()), Utils::hexByte(extended)));
}

// ---------------------------------------------------------------------------------------------
// Snapshots, the older loader and operations for outside callers

namespace {

const QString StateFlagsKey = QStringLiteral("device_tag_state");

} // namespace

void Device::clearMeasureInfo()
{
    QMutexLocker locker(&m_dataLock);
    m_secondSnapshot.clear();
}

void Device::loadDeviceSettings(const QVariantMap &map)
{
    setName(map.value(QStringLiteral("name")).toString());
    setAddress(loadedAddress(map));
    setEnabled(map.value(QStringLiteral("enabled")).toBool());
    setProperty("priority", map.value(QStringLiteral("priority")).toInt());
    setPollingPeriod(map.value(QStringLiteral("polling_period")).toInt());
    setProducer(map.value(QStringLiteral("producer")).toString());
    setComment(map.value(QStringLiteral("comment")).toString());
}

bool Device::loadKeepingSettings(const QVariantMap &map)
{
    const QVariantMap own = save();
    const QString previousName = name();
    const bool loaded = load(map);
    loadDeviceSettings(own);
    if (!previousName.isEmpty())
        setName(previousName);
    return loaded;
}

QVariantMap Device::snapshot() const
{
    QVariantMap map = save();
    map.insert(StateFlagsKey, stateFlags());
    return map;
}

bool Device::restoreSnapshot(const QVariantMap &snapshot)
{
    if (snapshot.isEmpty())
        return false;
    const QVariantMap current = this->snapshot();
    {
        QMutexLocker locker(&m_dataLock);
        m_redoMap = current;
    }
    const bool loaded = load(snapshot);
    setStateFlags(snapshot.value(StateFlagsKey, int(StateInitial)).toInt());
    return loaded;
}

void Device::takeFirstSnapshot()
{
    const QVariantMap map = snapshot();
    QMutexLocker locker(&m_dataLock);
    m_firstSnapshot = map;
}

void Device::takeSecondSnapshot()
{
    const QVariantMap map = snapshot();
    QMutexLocker locker(&m_dataLock);
    m_secondSnapshot = map;
}

bool Device::restoreFirstSnapshot()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_firstSnapshot;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::restoreSecondSnapshot()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_secondSnapshot;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::loadWithUndo(const QVariantMap &map)
{
    const QVariantMap current = snapshot();
    {
        QMutexLocker locker(&m_dataLock);
        m_undoMap = current;
        m_redoMap.clear();
    }
    const bool loaded = load(map);
    addStateFlags(StateChanged);
    emit modified();
    return loaded;
}

bool Device::undo()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_undoMap;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::redo()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_redoMap;
    locker.unlock();
    if (map.isEmpty())
        return false;
    const QVariantMap current = snapshot();
    const bool loaded = load(map);
    setStateFlags(map.value(StateFlagsKey, int(StateInitial)).toInt());
    QMutexLocker relock(&m_dataLock);
    m_undoMap = current;
    m_redoMap.clear();
    return loaded;
}

bool Device::hasFirstSnapshot() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_firstSnapshot.isEmpty();
}

bool Device::hasSecondSnapshot() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_secondSnapshot.isEmpty();
}

bool Device::hasUndo() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_undoMap.isEmpty();
}

bool Device::hasRedo() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_redoMap.isEmpty();
}

bool Device::rename(const QString &name, bool keepOld)
{
    if (name.isEmpty() || !isNameFree(name))
        return false;
    if (!keepOld)
        setName(name);
    return true;
}

void Device::commentFromParameter()
{
    setComment(parameterString(QStringLiteral("comment")));
}

void Device::syncTimeoutsToPort()
{
    Port *line = port();
    if (!line)
        return;
    const int response = responceTimeout() < 1 ? 370 : responceTimeout();
    const int byte = byteTimeout() < 1 ? 50 : byteTimeout();
    if (line->hartPort.property("response_timeout").toInt() != response)
        line->hartPort.setProperty("response_timeout", response);
    if (line->hartPort.property("byte_timeout").toInt() != byte)
        line->hartPort.setProperty("byte_timeout", byte);
}

void Device::copyParametersToReference()
{
    QMutexLocker locker(&m_dataLock);
    m_referenceParameters = m_parameters;
}

bool Device::mergeFromReference()
{
    QMutexLocker locker(&m_dataLock);
    const QVariant own = m_parameters.value(AddressKey);
    const QVariant reference = m_referenceParameters.value(AddressKey);
    const QByteArray ownAddress = own.typeId() == QMetaType::QByteArray ? own.toByteArray() : QByteArray();
    const QByteArray referenceAddress =
        reference.typeId() == QMetaType::QByteArray ? reference.toByteArray() : QByteArray();
    if (ownAddress.isEmpty() || ownAddress != referenceAddress)
        return false;
    for (auto it = m_referenceParameters.cbegin(); it != m_referenceParameters.cend(); ++it) {
        if (!m_parameters.contains(it.key()))
            m_parameters.insert(it.key(), it.value());
    }
    return true;
}
