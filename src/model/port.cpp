#include "model/port.h"

#include "devices/acivel/aciveldevice.h"
#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "model/defaultdevice.h"
#include "model/device.h"
#include "model/loadedsetting.h"
#include "devices/drumel/drumeldevice.h"
#include "model/server.h"
#include "core/utils.h"
#include "devices/zorvan/zorvandevice.h"

#include <QDynamicPropertyChangeEvent>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QThread>

#include <algorithm>
#include <cstring>

// The conversions are static; their log lines still carry the port's class name.
#define PORT_LOG(level) DebugQtStream((level), __FILE__, __func__, __LINE__, &Port::staticMetaObject)

namespace {

const int BaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// The first of the lines the calling thread holds (HeldLocks counts them); null when none.
thread_local Port *t_firstLineHeld = nullptr;
// The line the calling thread holds across several of its transactions, if any.
thread_local Port *t_lineHeldAcross = nullptr;

QString hexNumber(quint32 value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString quotedHex(const QByteArray &bytes)
{
    return Utils::bufferToHex(bytes);
}

QByteArray reversed(const QByteArray &bytes)
{
    QByteArray result = bytes;
    std::reverse(result.begin(), result.end());
    return result;
}

// The parity letter is stored as a one-letter text; a character code is taken as well.
QVariant parityFromValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return QChar(char16_t(value.toInt()));
    default: {
        const QString text = value.toString();
        return text.isEmpty() ? QChar() : text.at(0);
    }
    }
}

// The settings of the port editor's fields. The line always runs at the one setting each
// line-setting box offers; a timeout or preamble count of 0 or less means "not set".
const LoadedSetting LineSettingFields[] = {
    LoadedSetting::number("baudrate", Port::LineBaudrate, Port::LineBaudrate, Port::LineBaudrate),
    LoadedSetting::choice("parity", {QChar(QLatin1Char(Port::LineParity))}, parityFromValue),
    LoadedSetting::number("stopbits", Port::LineStopbits, Port::LineStopbits, Port::LineStopbits),
    LoadedSetting::number("databits", Port::LineDatabits, Port::LineDatabits, Port::LineDatabits)};
const LoadedSetting Timeouts[] = {
    LoadedSetting::number("request_timeout", 200, 1, PortThread::maxRequestTimeoutMs, true),
    LoadedSetting::number("response_timeout", 370, 1, PortThread::maxResponseTimeoutMs, true),
    LoadedSetting::number("byte_timeout", 50, 1, PortThread::maxByteTimeoutMs, true)};
// Each preamble costs a byte of every frame and its time on the line.
const LoadedSetting InitialPreambles = LoadedSetting::number("initial_number_of_preambles", 10, 1, 99, true);

} // namespace

Port::Port(ServerItem *parent)
    : ServerItem(parent)
    , transactionSemaphore(0)
    , hartPort(nullptr)
{
    DEBUGQT_LOG(4) << "create port";
    setName(uniqueName(QStringLiteral("Port_%1")));
    setProperty("priority", 10);
    setSerialName(name());
    setProperty("baudrate", LineBaudrate);
    setProperty("parity", QChar(QLatin1Char(LineParity)));
    setProperty("stopbits", LineStopbits);
    setProperty("databits", LineDatabits);
    setResultCode(ResultSuccess);
    transactionSemaphore.release();
}

Port::~Port()
{
    closeLine();
}

Server *Port::server() const
{
    return qobject_cast<Server *>(parentItem());
}

QString Port::settingsText() const
{
    return QStringLiteral("%1 ; %2 ; %3%4%5")
        .arg(property("serial_name").toString())
        .arg(property("baudrate").toInt())
        .arg(property("databits").toInt())
        .arg(property("parity").toChar())
        .arg(property("stopbits").toInt());
}

int Port::baudrateIndex(int baudrate) const
{
    if (baudrate == -1)
        baudrate = property("baudrate").toInt();
    for (int index = 0; index < int(std::size(BaudRates)); ++index) {
        if (BaudRates[index] == baudrate)
            return index;
    }
    return -1;
}

void Port::setBaudrateIndex(int index)
{
    const bool known = index >= 0 && index < int(std::size(BaudRates));
    setProperty("baudrate", known ? BaudRates[index] : BaudRates[0]);
}

int Port::parityIndex(QChar parity) const
{
    if (parity == QLatin1Char(' '))
        parity = property("parity").toChar();
    if (parity == QLatin1Char('N'))
        return 1;
    if (parity == QLatin1Char('E'))
        return 2;
    if (parity == QLatin1Char('O'))
        return 3;
    return 0;
}

void Port::setParityIndex(int index)
{
    const char letter = index == 2 ? 'E' : index == 3 ? 'O' : 'N';
    setProperty("parity", QChar(QLatin1Char(letter)));
}

QString Port::protocolText(int protocol)
{
    switch (protocol) {
    case 0:
        return QStringLiteral("HART");
    case 1:
        return QStringLiteral("MODBUS_TCP");
    default:
        return QString();
    }
}

int Port::protocolFromText(const QString &text)
{
    return text.compare(QLatin1String("MODBUS_TCP"), Qt::CaseInsensitive) == 0 ? 1 : 0;
}

Device *Port::createDevice(const QString &templateName)
{
    Device *device = nullptr;
    if (templateName == QLatin1String("Zorvan-M") || templateName == QLatin1String("Belkor-M"))
        device = new ZorvanDevice(this);
    else if (templateName == QLatin1String("Drumel-M"))
        device = new DrumelDevice(this);
    else if (templateName == QLatin1String("Acivel-M"))
        device = new AcivelDevice(this);
    else if (templateName == QLatin1String("General"))
        device = new DefaultDevice(this);
    else
        device = new Device(this);
    device->setTemplate(templateName);
    connect(device, &ServerItem::modified, this, &ServerItem::modified);
    return device;
}

Device *Port::addDevice(const QString &name, const QString &templateName, int index)
{
    DEBUGQT_LOG(4) << name << templateName;
    if (name.isEmpty())
        return nullptr;
    if (index < 0 || index > childCount())
        index = childCount();
    Device *device = createDevice(templateName);
    device->setName(name);
    device->displayName();
    insertChild(index, device);
    return device;
}

void Port::removeDevice(const QString &name)
{
    // An editor may still be working on the device; it goes once control returns to the loop.
    // The port may go before then, so the device no longer names it as its line.
    if (ServerItem *item = takeChild(name)) {
        if (auto *device = qobject_cast<Device *>(item))
            device->setParentItem(nullptr);
        item->deleteLater();
    }
}

QList<Device *> Port::devices() const
{
    QList<Device *> result;
    const QList<ServerItem *> items = childItems();
    for (ServerItem *item : items) {
        if (auto *device = qobject_cast<Device *>(item))
            result.append(device);
    }
    return result;
}

Device *Port::deviceByKey(const QString &name) const
{
    return qobject_cast<Device *>(childByName(name));
}

Device *Port::deviceByAddress(int pollingAddress) const
{
    const QList<Device *> all = devices();
    for (Device *device : all) {
        if (device->address() == pollingAddress)
            return device;
    }
    return nullptr;
}

bool Port::hasDeviceWithStateFlag(int flag) const
{
    const QList<Device *> all = devices();
    return std::any_of(all.cbegin(), all.cend(), [flag](const Device *device) { return device->hasStateFlag(flag); });
}

bool Port::hasPeriodicallyRequestedDevices() const
{
    return hasDeviceWithStateFlag(Device::StatePeriodicallyRequested);
}

bool Port::hasDevicesWithStateFlag40() const
{
    return hasDeviceWithStateFlag(Device::StateFlag40);
}

bool Port::hasDevicesWithDeviceId() const
{
    return !devicesWithDeviceId().isEmpty();
}

QList<Device *> Port::devicesWithDeviceId() const
{
    QList<Device *> result;
    const QList<Device *> all = devices();
    for (Device *device : all) {
        if (!device->deviceId().isEmpty())
            result.append(device);
    }
    return result;
}

QStringList Port::availablePortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        names.append(info.portName());
    return names;
}

bool Port::checkUniqSerialName(const QString &name) const
{
    const Server *root = server();
    if (!root)
        return property("serial_name").toString() != name;
    const QList<Port *> all = root->ports();
    return std::none_of(all.cbegin(), all.cend(),
                        [&name](const Port *port) { return port->property("serial_name").toString() == name; });
}

QByteArray Port::getBufferFromInt(int value, int size)
{
    const auto bits = quint32(value);
    PORT_LOG(4) << "int:" << value << "hex:" << hexNumber(bits);
    QByteArray bytes;
    const int width = (size == 4 || size == 3) ? size : 2;
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        bytes.append(char((bits >> shift) & 0xFF));
    PORT_LOG(4) << "result: " << quotedHex(bytes);
    return bytes;
}

int Port::getIntFromBufferByOffset(const QByteArray &buffer, int offset, int size)
{
    if (size <= 0)
        return 0;
    // Wider fields than 3 bytes other than 4 are read as 24-bit numbers.
    const int width = size == 4 ? 4 : std::min(size, 3);
    QByteArray taken;
    quint32 value = 0;
    for (int i = 0; i < width; ++i) {
        const quint32 byte = Utils::byteAt(buffer, qsizetype(offset) + i);
        taken.append(char(byte));
        value = (value << 8) | byte;
    }
    PORT_LOG(4) << quotedHex(taken);
    PORT_LOG(4) << "result int: " << value << " - " << hexNumber(value);
    return int(value);
}

QByteArray Port::getBufferFromFloat(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray littleEndian;
    for (int shift = 0; shift < 32; shift += 8)
        littleEndian.append(char((bits >> shift) & 0xFF));
    PORT_LOG(4) << quotedHex(littleEndian);
    const QByteArray bytes = reversed(littleEndian);
    PORT_LOG(4) << "result float: " << quotedHex(bytes);
    return bytes;
}

float Port::getFloatFromBufferByOffset(const QByteArray &buffer, int offset)
{
    QByteArray taken;
    quint32 bits = 0;
    for (int i = 0; i < 4; ++i) {
        const quint32 byte = Utils::byteAt(buffer, qsizetype(offset) + i);
        taken.append(char(byte));
        bits = (bits << 8) | byte;
    }
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    PORT_LOG(4) << quotedHex(taken) << quotedHex(reversed(taken));
    PORT_LOG(4) << "result: " << value;
    return value;
}

bool Port::isOpened() const
{
    const bool open = hartPort.isOpen();
    DEBUGQT_LOG(4) << name() << " is open - " << open;
    return open;
}

Port::LineSettings Port::lineSettings() const
{
    QMutexLocker locker(&m_lineSettingsLock);
    return m_lineSettings;
}

bool Port::event(QEvent *event)
{
    // A line property changes in this object's thread; the copy follows under the lock.
    if (event->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
        const QVariant value = property(name.constData());
        QMutexLocker locker(&m_lineSettingsLock);
        if (name == "serial_name")
            m_lineSettings.serialName = value.toString();
        else if (name == "baudrate")
            m_lineSettings.baudrate = value.toInt();
        else if (name == "parity")
            m_lineSettings.parity = value.toChar();
        else if (name == "databits")
            m_lineSettings.databits = value.toInt();
        else if (name == "stopbits")
            m_lineSettings.stopbits = value.toInt();
    }
    return ServerItem::event(event);
}

bool Port::openHart()
{
    const QString serialName = lineSettings().serialName;
    DEBUGQT_LOG(4) << serialName;
    hartPort.setPortName(serialName);
    if (hartPort.open())
        return true;
    setResultCode(ResultLinkError);
    setLastErrorText(tr("Can't open %1!\n error code: %2 - %3")
                         .arg(serialName)
                         .arg(hartPort.errorCode)
                         .arg(hartPort.errorText));
    return false;
}

Port::LineHold Port::holdLine()
{
    // Held across by this thread already: the line is its own until that hold goes.
    if (t_lineHeldAcross == this)
        return LineHold(nullptr);
    transactionSemaphore.acquire();
    if (HeldLocks::lineTaken() == 1)
        t_firstLineHeld = this;
    return LineHold(this);
}

Port::LineHold Port::holdLineAcross()
{
    LineHold hold = holdLine();
    if (hold.m_port) {
        hold.m_across = true;
        hold.m_outerAcross = std::exchange(t_lineHeldAcross, this);
    }
    return hold;
}

Port *Port::lineHeldHere()
{
    return t_firstLineHeld;
}

void Port::afterLinesReleased(QObject *context, const std::function<void()> &call)
{
    Port *held = lineHeldHere();
    if (!held) {
        call();
        return;
    }
    // Queued, so that the transaction ends first; one that runs by then is waited for in turn.
    connect(held, &Port::lineReleased, context, [context, call] { afterLinesReleased(context, call); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
}

Port::LineHold::~LineHold()
{
    if (!m_port)
        return;
    if (m_across)
        t_lineHeldAcross = m_outerAcross;
    m_port->transactionSemaphore.release();
    if (HeldLocks::lineReleased() > 0)
        return;
    Port *first = std::exchange(t_firstLineHeld, nullptr);
    if (QThread::currentThread() == first->thread())
        emit first->lineReleased();
}

void Port::closeLine()
{
    if (!isOpened())
        return;
    // Asked from the event processing of this thread's own transaction, the close would wait for
    // that transaction's line: it is done once the line is free.
    if (lineHeldHere()) {
        afterLinesReleased(this, [this] { closeLine(); });
        return;
    }
    const LineHold permit = holdLine();
    closeHart();
}

bool Port::checkLine()
{
    const LineHold permit = holdLine();
    if (isOpened())
        closeHart();
    const bool opened = openHart();
    if (opened)
        closeHart();
    return opened;
}

void Port::closeHart()
{
    DEBUGQT_LOG(4) << lineSettings().serialName;
    // A polling thread still uses the line; it stays open until the polling stops.
    if (!hasPeriodicallyRequestedDevices())
        hartPort.close();
    DEBUGQT_LOG(4) << "open:" << hartPort.isOpen();
}

bool Port::sendCommand(const QByteArray &address, quint8 command, const QByteArray &data, QByteArray *response)
{
    const Server *root = server();
    const bool primaryMaster = root ? root->primaryMaster() : true;
    QByteArray reply;
    const bool sent = hartPort.sendLongFrameCommand(address, command, data, reply, primaryMaster);
    if (response)
        *response = reply;
    const int code = hartPort.errorCode;
    if (code == 0) {
        setResultCode(ResultSuccess);
        setLastErrorText(QString());
    } else {
        setResultCode(code < 0 ? code : ResultLinkError);
        setLastErrorText(hartPort.errorText);
    }
    return sent;
}

int Port::statusByte(int index) const
{
    const QByteArray status = hartPort.status;
    if (index < 0 || index >= status.size())
        return 0;
    return int(qint8(status.at(index)));
}

namespace {

constexpr int ShortTagLength = 8;
constexpr int LongTagLength = 32;

// The broadcast address of the find commands: a long frame to five zero bytes.
QByteArray broadcastAddress()
{
    return QByteArray(5, '\0');
}

bool primaryMasterOf(const Server *root)
{
    return root ? root->primaryMaster() : true;
}

} // namespace

bool Port::checkHartDevice(quint8 pollingAddress, QVariantMap *identity)
{
    if (!isOpened()) {
        setLastErrorText(QStringLiteral("port '%1' is not opened").arg(name()));
        DEBUGQT_LOG(4) << QStringLiteral("check error '%1' - %2").arg(ResultLinkError).arg(lastErrorText());
        setResult(ResultLinkError);
        return false;
    }
    setLastErrorText(QString());
    QByteArray reply;
    if (!hartPort.sendZeroCommand(pollingAddress, reply, primaryMasterOf(server()))) {
        setLastErrorText(hartPort.errorText);
        setResult(ResultLinkError);
        return false;
    }
    const bool complete = parseIdentity(reply, identity);
    setResult(ResultSuccess);
    return complete;
}

bool Port::checkHartDeviceByTag(const QString &tag, QVariantMap *identity)
{
    // Upper-case letters, digits, the blank and the punctuation of packed ASCII; '+' to '='
    // is a range in code order.
    static const QRegularExpression allowed(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Z0-9,.!?@#$%^&*()_+-=\\]\\[{}<>;:'/\\\\ ]*")));
    if (!allowed.match(tag).hasMatch())
        return refuseTag(tr("Invalid chars in device tag!"));
    const QString padded = tag.leftJustified(ShortTagLength, QLatin1Char(' '));
    const QByteArray packed = packAscii(padded);
    // Unpacking drops trailing blanks, so an empty tag comes back empty and is sent as blanks.
    if (packed.isEmpty() || unpackAscii(packed).leftJustified(ShortTagLength, QLatin1Char(' ')) != padded) {
        DEBUGQT_LOG(4) << "*** pack/unpack error!";
        return refuseTag(QStringLiteral("*** pack/unpack error!"));
    }

    QByteArray reply;
    if (!sendCommand(broadcastAddress(), 11, packed, &reply)) {
        DEBUGQT_LOG(4) << "device with tag " << tag << "not found!";
        return false;
    }
    return parseIdentity(reply, identity);
}

bool Port::refuseTag(const QString &text)
{
    // Nothing was sent: the outcome is the refusal's own, never what an earlier exchange left.
    hartPort.txLogLine.clear();
    hartPort.rxLogLine.clear();
    hartPort.status.clear();
    hartPort.statusTexts.clear();
    setLastErrorText(text);
    setResultCode(ResultConfigError);
    return false;
}

bool Port::checkHartDeviceByLongTag(const QString &longTag, QVariantMap *identity)
{
    const QByteArray data = longTag.toLatin1().leftJustified(LongTagLength, '\0', true);
    QByteArray reply;
    if (!sendCommand(broadcastAddress(), 21, data, &reply)) {
        DEBUGQT_LOG(4) << "device with tag " << longTag << "not found!";
        return false;
    }
    return parseIdentity(reply, identity);
}

bool Port::findDevice(QVariantMap *identity)
{
    QByteArray reply;
    if (!sendCommand(broadcastAddress(), 73, QByteArray(), &reply))
        return false;
    return parseIdentity(reply, identity);
}

bool Port::parseIdentity(const QByteArray &reply, QVariantMap *identity)
{
    QVariantMap parsed;
    const bool complete = hartPort.parseCommandZeroResponse(reply, parsed);
    identity->insert(parsed);
    return complete;
}

QByteArray Port::packAscii(const QString &text)
{
    return hartPort.packAscii(text.toUpper());
}

QString Port::unpackAscii(const QByteArray &packed)
{
    return hartPort.unpackAscii(packed);
}

ServerItem *Port::createChild()
{
    auto *device = new Device(this);
    connect(device, &ServerItem::modified, this, &ServerItem::modified);
    return device;
}

bool Port::setSerialName(const QString &name)
{
    DEBUGQT_LOG(4) << property("serial_name").toString() << name;
    if (property("serial_name").toString() == name)
        return false;
    if (!checkUniqSerialName(name))
        return false;
    setProperty("serial_name", name);
    // The link follows the new device at once, between the transactions of a polling thread.
    if (isOpened()) {
        const LineHold permit = holdLine();
        closeHart();
        openHart();
    }
    emit serialNameChanged();
    return true;
}

QVariantMap Port::save() const
{
    QVariantMap map;
    map.insert(QStringLiteral("name"), name());
    map.insert(QStringLiteral("enabled"), property("enabled").toBool());
    map.insert(QStringLiteral("priority"), property("priority").toInt());
    map.insert(QStringLiteral("serial_name"), property("serial_name").toString());
    map.insert(QStringLiteral("baudrate"), property("baudrate").toInt());
    // JSON has no character type: the letter is kept as a one-letter text.
    map.insert(QStringLiteral("parity"), QString(property("parity").toChar()));
    map.insert(QStringLiteral("databits"), property("databits").toInt());
    map.insert(QStringLiteral("stopbits"), property("stopbits").toInt());
    for (const LoadedSetting &timeout : Timeouts)
        map.insert(QLatin1String(timeout.key()), hartPort.property(timeout.key()).toInt());
    map.insert(QStringLiteral("close_port_after_transaction"), property("close_port_after_transaction").toBool());
    map.insert(QStringLiteral("initial_number_of_preambles"), hartPort.initialPreamblesCount);

    QVariantList deviceMaps;
    const QList<Device *> all = devices();
    for (const Device *device : all)
        deviceMaps.append(device->save());
    map.insert(QStringLiteral("devices"), deviceMaps);
    return map;
}

bool Port::load(const QVariantMap &map)
{
    DEBUGQT_LOG(4) << map.value(QStringLiteral("name")).toString();
    setName(map.value(QStringLiteral("name")).toString());
    setEnabled(map.value(QStringLiteral("enabled")).toBool());
    setProperty("priority", map.value(QStringLiteral("priority")).toInt());
    setSerialName(map.value(QStringLiteral("serial_name")).toString());
    for (const LoadedSetting &setting : LineSettingFields)
        setProperty(setting.key(), setting.take(map, name()));
    for (const LoadedSetting &timeout : Timeouts)
        hartPort.setProperty(timeout.key(), timeout.take(map, name()));
    setProperty("close_port_after_transaction", map.value(QStringLiteral("close_port_after_transaction")).toBool());
    hartPort.initialPreamblesCount = InitialPreambles.take(map, name()).toInt();

    const QVariant devicesValue = map.value(QStringLiteral("devices"));
    const QVariantList deviceMaps =
        devicesValue.typeId() == QMetaType::QVariantList ? devicesValue.toList() : QVariantList();
    for (const QVariant &element : deviceMaps) {
        const QVariantMap deviceMap = element.toMap();
        const QString deviceName = deviceMap.value(QStringLiteral("name")).toString();
        Device *device = addDevice(deviceName, deviceMap.value(QStringLiteral("template")).toString(), -1);
        if (!device) {
            DEBUGQT_LOG(2) << "*** device without a name skipped on port" << name();
            continue;
        }
        device->load(deviceMap);
    }
    return true;
}
