#include "hartcomm/hartport.h"

#include "core/debugqtstream.h"
#include "hartcomm/hartcommand.h"
#include "core/utils.h"

#include <QDynamicPropertyChangeEvent>
#include <QMutexLocker>

namespace {

constexpr int MaxPackedCharacters = 32;
constexpr int MaxPackedBytes = 24;

constexpr int DefaultRequestTimeout = 200;
constexpr int DefaultResponseTimeout = 370;
constexpr int DefaultByteTimeout = 50;
constexpr int MinReplyPreambles = 5;
constexpr int MinIdentityBytes = 12;

// The 8-bit code of every character; 0 for characters outside Latin-1 (never '?').
QByteArray latin1Codes(const QString &text)
{
    QByteArray codes;
    codes.reserve(text.size());
    for (const QChar character : text)
        codes.append(character.toLatin1());
    return codes;
}

} // namespace

HartPort::HartPort(QObject *parent)
    : QObject(parent)
{
    DEBUGQT_LOG(4);
    setProperty("request_timeout", DefaultRequestTimeout);
    setProperty("response_timeout", DefaultResponseTimeout);
    setProperty("byte_timeout", DefaultByteTimeout);
}

HartPort::HartPort(QObject *parent, const QString &portName)
    : HartPort(parent)
{
    this->portName = portName;
}

HartPort::~HartPort()
{
    DEBUGQT_LOG(4);
    close();
}

void HartPort::setPortName(const QString &name)
{
    portName = name;
}

bool HartPort::isOpen() const
{
    return portThread.portOpen;
}

bool HartPort::event(QEvent *event)
{
    // A timeout property changes in this object's thread; the copy follows under the lock.
    if (event->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
        int *const field = name == "request_timeout"    ? &m_timeouts.request
                           : name == "response_timeout" ? &m_timeouts.response
                           : name == "byte_timeout"     ? &m_timeouts.byte
                                                        : nullptr;
        if (field) {
            const int value = property(name.constData()).toInt();
            QMutexLocker locker(&m_timeoutsLock);
            *field = value;
        }
    }
    return QObject::event(event);
}

HartPort::Timeouts HartPort::timeouts() const
{
    QMutexLocker locker(&m_timeoutsLock);
    return m_timeouts;
}

bool HartPort::open()
{
    const Timeouts limits = timeouts();
    portThread.transaction(portName, limits.request, limits.response, limits.byte, QByteArray());
    syncFromThread();
    return portThread.portOpen;
}

void HartPort::close()
{
    if (!portThread.portOpen)
        return;
    portThread.transaction(QString(), 0, 0, 0, QByteArray());
    syncFromThread();
}

bool HartPort::sendRequest()
{
    const Timeouts limits = timeouts();
    portThread.transaction(portName, limits.request, limits.response, limits.byte, request);
    return syncFromThread();
}

bool HartPort::syncFromThread()
{
    // The job's own result (a job that outran the wait reports timeout code 12 and its late
    // result is dropped), taken before another thread may post the next job.
    const PortThread::Outcome outcome = portThread.waitResponse();
    txLogLine = outcome.txLogLine;
    rxLogLine = outcome.rxLogLine;
    reply = outcome.reply;
    errorCode = outcome.errorCode;
    errorText = outcome.errorText;
    return errorCode == 0;
}

bool HartPort::sendCommand(HartCommand &request, QByteArray &replyData)
{
    DEBUGQT_LOG(4) << "### SEND COMMAND: " << request.command();
    statusTexts.clear();
    status.clear();
    errorCode = 0;
    errorText.clear();
    this->request = request.toByteArray();

    // A frame that cannot be built (its byte count would pass 255) must not reach the worker:
    // an empty request is an open job there, and the previous reply would pass for the answer.
    if (this->request.isEmpty()) {
        errorCode = -2;
        txLogLine.clear();
        rxLogLine.clear();
        reply.clear();
        errorText = request.errorText();
        DEBUGQT_LOG(1) << "*** Request frame not built:" << errorText;
        return false;
    }

    if (!sendRequest()) {
        DEBUGQT_LOG(4) << "*** Send request error!";
        return false;
    }

    HartCommand replyFrame;
    if (!replyFrame.fromByteArray(reply, false)) {
        errorCode = -1;
        DEBUGQT_LOG(1) << "*** Response command parsing error:";
        errorText = tr("Response command parsing error: ") + replyFrame.errorText();
        return false;
    }
    if (!request.checkAnswer(replyFrame)) {
        errorCode = -2;
        DEBUGQT_LOG(1) << "Command response check error:";
        errorText = tr("Invalid command response: ") + request.errorText();
        return false;
    }
    const bool statusOk = replyFrame.checkStatus();
    statusTexts = replyFrame.statusTexts();
    status = replyFrame.status();
    if (!statusOk) {
        errorCode = -3;
        DEBUGQT_LOG(1) << "Command STATUS check error:";
        errorText = replyFrame.errorText();
        return false;
    }

    replyData = replyFrame.data();
    adaptPreambles(request, replyFrame);
    return true;
}

void HartPort::adaptPreambles(const HartCommand &request, const HartCommand &reply)
{
    // The reply to command 21 does not move the count.
    const quint8 command = request.command();
    if (command != 0 && command != 11 && command != 73)
        return;
    if (reply.preamblesCount() != preamblesCount)
        preamblesCount = qMax(reply.preamblesCount(), MinReplyPreambles);
}

bool HartPort::sendShortFrameCommand(quint8 pollingAddress, quint8 command, const QByteArray &data,
                                     QByteArray &replyData, bool primaryMaster)
{
    const int preambles = command == 0 ? initialPreamblesCount : preamblesCount;
    HartCommand request(nullptr, preambles, pollingAddress, command, data, primaryMaster);
    return sendCommand(request, replyData);
}

bool HartPort::sendLongFrameCommand(const QByteArray &address, quint8 command, const QByteArray &data,
                                    QByteArray &replyData, bool primaryMaster)
{
    const bool findsDevice = command == 11 || command == 21 || command == 73;
    const int preambles = findsDevice ? initialPreamblesCount : preamblesCount;
    HartCommand request(nullptr, preambles, address, command, data, primaryMaster);
    return sendCommand(request, replyData);
}

bool HartPort::sendZeroCommand(quint8 pollingAddress, QByteArray &replyData, bool primaryMaster)
{
    DEBUGQT_LOG(4);
    const bool ok = sendShortFrameCommand(pollingAddress, 0, QByteArray(), replyData, primaryMaster);
    if (ok)
        DEBUGQT_LOG(4) << "response len: " << int(replyData.size());
    return ok;
}

bool HartPort::parseCommandZeroResponse(const QByteArray &data, QVariantMap &map)
{
    if (data.size() < MinIdentityBytes) {
        errorCode = -2;
        errorText = tr("Invalid response lenght of command ZERO.");
        DEBUGQT_LOG(4) << errorText;
        DEBUGQT_LOG(4) << Utils::bufferToHex(data);
        return false;
    }

    DEBUGQT_LOG(4) << "manufacturer code: " << Utils::hexByte(Utils::byteAt(data, 1));
    DEBUGQT_LOG(4) << "device type code: " << Utils::hexByte(Utils::byteAt(data, 2));
    DEBUGQT_LOG(4) << "preambule count: " << Utils::hexByte(Utils::byteAt(data, 3));
    DEBUGQT_LOG(4) << "universal cmd version: " << Utils::hexByte(Utils::byteAt(data, 4));
    DEBUGQT_LOG(4) << "specific cmd version: " << Utils::hexByte(Utils::byteAt(data, 5));
    DEBUGQT_LOG(4) << "software version: " << Utils::hexByte(Utils::byteAt(data, 6));
    DEBUGQT_LOG(4) << "hardware version: " << Utils::hexByte(Utils::byteAt(data, 7));
    DEBUGQT_LOG(4) << "device flags: " << Utils::hexByte(Utils::byteAt(data, 8));
    DEBUGQT_LOG(4) << "device ID " << Utils::hexByte(Utils::byteAt(data, 9)) << Utils::hexByte(Utils::byteAt(data, 10))
                   << Utils::hexByte(Utils::byteAt(data, 11));

    map.insert(QStringLiteral("manufacturer_code"), int(Utils::byteAt(data, 1)));
    map.insert(QStringLiteral("device_type_code"), int(Utils::byteAt(data, 2)));
    map.insert(QStringLiteral("min_preambles_count"), int(Utils::byteAt(data, 3)));
    map.insert(QStringLiteral("expanded_device_type"), data.mid(1, 2));

    // The device's minimum raises the count, taken as the unsigned byte it is; never lowered.
    const int minPreambles = Utils::byteAt(data, 3);
    if (minPreambles > preamblesCount)
        preamblesCount = minPreambles;
    map.insert(QStringLiteral("preambles_count"), preamblesCount);

    map.insert(QStringLiteral("universal_cmd_version"), int(Utils::byteAt(data, 4)));
    map.insert(QStringLiteral("specific_cmd_version"), int(Utils::byteAt(data, 5)));
    map.insert(QStringLiteral("software_version"), int(Utils::byteAt(data, 6)));
    map.insert(QStringLiteral("hardware_version"), int(Utils::byteAt(data, 7)));
    map.insert(QStringLiteral("device_flags"), int(Utils::byteAt(data, 8)));
    map.insert(QStringLiteral("deviceID"), data.mid(9, 3));
    QByteArray address;
    address.append(char(Utils::byteAt(data, 1) & 0x3F));
    address.append(char(Utils::byteAt(data, 2)));
    address.append(data.mid(9, 3));
    map.insert(QStringLiteral("address"), address);
    DEBUGQT_LOG(4) << "address <:" << Utils::bufferToHex(address);

    if (data.size() > MinIdentityBytes) {
        map.insert(QStringLiteral("preambles_count"), int(Utils::byteAt(data, 12)));
        const int variables = Utils::byteAt(data, 13);
        map.insert(QStringLiteral("dev_variables_count"), variables);
        DEBUGQT_LOG(4) << "Number of device variables:" << variables;
        const int modifyCount = Utils::byteAt(data, 14) * 256 + Utils::byteAt(data, 15);
        map.insert(QStringLiteral("modify_count"), modifyCount);
        DEBUGQT_LOG(4) << "$$$ modify_count:" << modifyCount;
        const quint8 extendedStatus = Utils::byteAt(data, 16);
        map.insert(QStringLiteral("extended_status"), int(extendedStatus));
        DEBUGQT_LOG(4) << "extended_status:" << Utils::hexByte(extendedStatus);
        QByteArray vendorId;
        vendorId.append(char(Utils::byteAt(data, 17)));
        vendorId.append(char(Utils::byteAt(data, 18)));
        map.insert(QStringLiteral("vendorID"), vendorId);
        DEBUGQT_LOG(4) << "vendorID:" << Utils::bufferToHex(vendorId);
    }
    return true;
}

QByteArray HartPort::packAscii(const QString &text) const
{
    const QByteArray codes = latin1Codes(text);
    DEBUGQT_LOG(4) << "ASCII to pack: " << text;
    DEBUGQT_LOG(4) << Utils::bufferToHex(codes);
    if (text.size() > MaxPackedCharacters) {
        DEBUGQT_LOG(4) << "*** string is too long ( > 32)!";
        return QByteArray();
    }

    QByteArray packed;
    for (qsizetype first = 0; first < codes.size(); first += 4) {
        const qsizetype count = qMin<qsizetype>(4, codes.size() - first);
        quint32 bits = 0;
        for (qsizetype k = 0; k < 4; ++k) {
            const quint32 code = k < count ? quint8(codes.at(first + k)) & 0x3F : 0;
            bits = (bits << 6) | code;
        }
        // A short last group gives only the bytes its characters reach into.
        const qsizetype bytes = count == 4 ? 3 : count;
        for (qsizetype k = 0; k < bytes; ++k)
            packed.append(char((bits >> (16 - 8 * k)) & 0xFF));
    }
    DEBUGQT_LOG(4) << "result: " << Utils::bufferToHex(packed);
    return packed;
}

QString HartPort::unpackAscii(const QByteArray &bytes) const
{
    DEBUGQT_LOG(4) << "buffer to unpack: " << Utils::bufferToHex(bytes);
    if (bytes.size() > MaxPackedBytes) {
        DEBUGQT_LOG(4) << "*** buffer is too long ( > 24)!";
        return QString();
    }

    qsizetype used = bytes.size();
    while (used > 0 && bytes.at(used - 1) == '\0')
        --used;

    QString text;
    for (qsizetype first = 0; first < used; first += 3) {
        const qsizetype count = qMin<qsizetype>(3, used - first);
        quint32 bits = 0;
        for (qsizetype k = 0; k < 3; ++k)
            bits = (bits << 8) | (k < count ? quint8(bytes.at(first + k)) : 0);
        // One byte holds one whole character, two bytes two, three bytes four.
        const qsizetype characters = count == 3 ? 4 : count;
        for (qsizetype k = 0; k < characters; ++k) {
            quint8 code = (bits >> (18 - 6 * k)) & 0x3F;
            if (!(code & 0x20))
                code += 0x40;
            text.append(QLatin1Char(char(code)));
        }
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);

    DEBUGQT_LOG(4) << "result: " << text;
    DEBUGQT_LOG(4) << "buffer:" << Utils::bufferToHex(latin1Codes(text));
    return text;
}
