#include "hartcomm/hartcommand.h"

#include "core/debugqtstream.h"
#include "core/utils.h"

#include <utility>

namespace {

constexpr quint8 Preamble = 0xFF;
constexpr quint8 ShortRequest = 0x02;
constexpr quint8 LongRequest = 0x82;
constexpr quint8 ShortReply = 0x06;
constexpr quint8 LongReply = 0x86;
constexpr quint8 PrimaryMasterBit = 0x80;
constexpr quint8 BurstModeBit = 0x40;
constexpr int LongAddressSize = 5;
constexpr int StatusSize = 2;
constexpr int FinalStep = 8;

// Bare (unquoted) hexadecimal item for a log line.
QByteArray hexItem(quint8 byte)
{
    return Utils::hexByte(byte).toLatin1();
}

bool isAcknowledge(quint8 byte)
{
    return (byte & 0x7F) == ShortReply;
}

} // namespace

HartCommand::HartCommand(QObject *parent)
    : QObject(parent)
{
    init(5, QByteArray(1, '\0'), 0, QByteArray(), true);
}

HartCommand::HartCommand(QObject *parent, qint32 preamblesCount, quint8 pollingAddress, quint8 command,
                         const QByteArray &data, bool primaryMaster)
    : QObject(parent)
{
    init(preamblesCount, QByteArray(1, char(pollingAddress)), command, data, primaryMaster);
}

HartCommand::HartCommand(QObject *parent, qint32 preamblesCount, const QByteArray &address, quint8 command,
                         const QByteArray &data, bool primaryMaster)
    : QObject(parent)
{
    init(preamblesCount, address, command, data, primaryMaster);
}

HartCommand::~HartCommand()
{
    DEBUGQT_LOG(4) << "~HartCommand";
}

void HartCommand::init(qint32 preamblesCount, const QByteArray &address, quint8 command, const QByteArray &data,
                       bool primaryMaster)
{
    m_restarted = false;
    m_ackOnly = false;
    m_preamblesCount = preamblesCount;
    m_command = command;
    m_address = address;
    if (m_address.size() > 1 && m_address.size() < LongAddressSize)
        m_address.truncate(1);
    if (m_address.isEmpty())
        m_address = QByteArray(1, '\0');
    if (primaryMaster)
        m_address[0] = char(quint8(m_address.at(0)) | PrimaryMasterBit);
    else
        m_address[0] = char(quint8(m_address.at(0)) & ~PrimaryMasterBit);
    m_address[0] = char(quint8(m_address.at(0)) & ~BurstModeBit);
    if (m_address.size() > LongAddressSize)
        m_address.truncate(LongAddressSize);
    m_data = data;
    m_status.clear();
    m_delimiter = m_address.size() == LongAddressSize ? LongRequest : ShortRequest;

    // The byte count field would wrap and the device would read a different frame.
    if (m_data.size() > MaxByteCount) {
        m_errorText = tr("*** Too many data bytes for one frame: %1 (at most %2)")
                          .arg(m_data.size())
                          .arg(MaxByteCount);
        DEBUGQT_LOG(1) << "*** Too many data bytes for one frame: " << int(m_data.size());
    }
}

quint8 HartCommand::manufacturerIdByte() const
{
    return m_address.size() == LongAddressSize ? quint8(m_address.at(0)) : 0;
}

quint8 HartCommand::deviceTypeByte() const
{
    return m_address.size() == LongAddressSize ? quint8(m_address.at(1)) : 0;
}

QByteArray HartCommand::deviceIdBytes() const
{
    return m_address.size() == LongAddressSize ? m_address.mid(2, 3) : QByteArray();
}

QByteArray HartCommand::toByteArrayNoChecksum() const
{
    const int byteCount = int(m_data.size() + m_status.size());
    if (byteCount > MaxByteCount)
        return QByteArray();

    QByteArray frame;
    if (m_preamblesCount > 0)
        frame.fill(char(Preamble), m_preamblesCount);
    frame.append(char(m_delimiter));
    frame.append(m_address);
    frame.append(char(m_command));
    frame.append(char(byteCount));
    frame.append(m_status);
    frame.append(m_data);
    frame.append('\0');
    return frame;
}

QByteArray HartCommand::toByteArray() const
{
    QByteArray frame = toByteArrayNoChecksum();
    if (frame.isEmpty())
        return frame;
    frame[frame.size() - 1] = char(calculateChecksum(frame));
    return frame;
}

quint8 HartCommand::calculateChecksum(const QByteArray &frame) const
{
    quint8 checksum = 0;
    for (qsizetype i = qMax(m_preamblesCount, 0); i < frame.size() - 1; ++i)
        checksum ^= quint8(frame.at(i));
    DEBUGQT_LOG(4) << hexItem(checksum).constData();
    return checksum;
}

bool HartCommand::IsChecksumCorrect(quint8 checksum) const
{
    DEBUGQT_LOG(4) << hexItem(checksum).constData();
    return checksum == calculateChecksum(toByteArrayNoChecksum());
}

void HartCommand::resetParser()
{
    m_step = 0;
    m_counter = 0;
}

bool HartCommand::fromByteArray(const QByteArray &bytes, bool ackOnly)
{
    DEBUGQT_LOG(4) << Utils::bufferToHex(bytes);
    // Shorter than a reply could ever be: preambles, delimiter, address, command, count, check.
    if (bytes.size() <= 8) {
        m_errorText = tr("*** Invalid message size for command parsing: %1").arg(bytes.size());
        DEBUGQT_LOG(1) << "*** Invalid message size for command parsing: " << int(bytes.size());
        return false;
    }

    m_delimiter = 0;
    m_restarted = false;
    m_step = 0;
    m_ackOnly = ackOnly;
    m_counter = 0;

    for (const char byte : bytes) {
        if (!ParseByte(quint8(byte))) {
            DEBUGQT_LOG(1) << "*** ERROR on step " << m_step;
            return false;
        }
    }

    if (m_step == FinalStep) {
        DEBUGQT_LOG(4) << "*** SUCCESS *** ";
        return true;
    }
    DEBUGQT_LOG(1) << "*** Incorrect start or end of message!";
    m_errorText = m_step <= 1 ? tr("*** Start of message not found!") : tr("*** Unexpected end of message!");
    return false;
}

bool HartCommand::ParseByte(quint8 byte)
{
    DEBUGQT_LOG(4) << "step:" << m_step << " byte: " << hexItem(byte).constData();
    switch (m_step) {
    case 0:
        if (byte == Preamble) {
            m_step = 1;
            return ParsePreamble(byte);
        }
        DEBUGQT_LOG(2) << "*** Unexpected start of message: " << hexItem(byte).constData();
        m_restarted = true;
        return true;
    case 1:
        return ParsePreamble(byte);
    case 2:
        return ParseStartDelimiter(byte);
    case 3:
        return ParseAddress(byte);
    case 4:
        return ParseCommand(byte);
    case 5:
        return ParseDataLength(byte);
    case 6:
        return ParseData(byte);
    case 7:
        return ParseChecksum(byte);
    default:
        // Whatever follows a complete frame is not ours to read.
        return true;
    }
}

bool HartCommand::startOver()
{
    m_counter = 0;
    m_step = 0;
    m_restarted = true;
    return true;
}

bool HartCommand::ParsePreamble(quint8 byte)
{
    if (byte == Preamble) {
        ++m_counter;
        return true;
    }

    m_preamblesCount = m_counter;
    m_counter = 0;
    if (m_preamblesCount == 1) {
        DEBUGQT_LOG(1) << "*** Too few preambles have been received";
        return startOver();
    }
    const bool acknowledge = isAcknowledge(byte);
    if (m_preamblesCount < 5 && !acknowledge) {
        DEBUGQT_LOG(1) << "*** Too few preambles & invalid delimiter have been received";
        return startOver();
    }
    // Once noise was seen, or when only replies count, a master frame (an echo of the request,
    // another master's traffic) is skipped rather than taken as the reply.
    if ((m_restarted || m_ackOnly) && !acknowledge) {
        DEBUGQT_LOG(1) << "*** Preambles:" << m_preamblesCount << " but invalid delimiter: "
                       << hexItem(byte).constData();
        return startOver();
    }
    m_step = 2;
    return ParseStartDelimiter(byte);
}

bool HartCommand::ParseStartDelimiter(quint8 byte)
{
    if (byte == ShortReply || byte == LongReply) {
        m_address = QByteArray(byte == LongReply ? LongAddressSize : 1, '\0');
        m_delimiter = byte;
        m_counter = 0;
        m_step = 3;
        return true;
    }
    DEBUGQT_LOG(1) << "*** Invalid delimiter: " << hexItem(byte).constData();
    m_errorText = tr("*** Invalid delimiter: %1").arg(Utils::hexByte(byte));
    return false;
}

bool HartCommand::ParseAddress(quint8 byte)
{
    m_address[m_counter] = char(byte);
    ++m_counter;
    if (m_counter == m_address.size()) {
        m_counter = 0;
        m_step = 4;
    }
    return true;
}

bool HartCommand::ParseCommand(quint8 byte)
{
    m_command = byte;
    m_counter = 0;
    m_step = 5;
    return true;
}

bool HartCommand::ParseDataLength(quint8 byte)
{
    if (byte == 0) {
        m_status.clear();
        m_data.clear();
        m_counter = 0;
        m_step = 7;
        return true;
    }
    if (byte == 1) {
        DEBUGQT_LOG(1) << "*** Invalid dataLength (=1) ! ";
        m_errorText = tr("*** Invalid dataLength (=1)");
        return false;
    }
    m_status = QByteArray(StatusSize, '\0');
    m_data = QByteArray(byte - StatusSize, '\0');
    m_counter = 0;
    m_step = 6;
    return true;
}

bool HartCommand::ParseData(quint8 byte)
{
    if (m_counter < StatusSize) {
        DEBUGQT_LOG(4) << " # status [" << m_counter << "]:" << hexItem(byte).constData();
        m_status[m_counter] = char(byte);
    } else {
        DEBUGQT_LOG(4) << " # data [" << m_counter << "]:" << hexItem(byte).constData();
        m_data[m_counter - StatusSize] = char(byte);
    }
    ++m_counter;
    if (m_counter == m_status.size() + m_data.size())
        m_step = 7;
    return true;
}

bool HartCommand::ParseChecksum(quint8 byte)
{
    m_counter = 0;
    if (IsChecksumCorrect(byte)) {
        m_step = FinalStep;
        return true;
    }
    DEBUGQT_LOG(1) << "*** Checksum is wrong!";
    m_errorText = tr("*** Checksum is wrong!");
    m_data.clear();
    return false;
}

bool HartCommand::checkAnswer(const HartCommand &reply)
{
    DEBUGQT_LOG(4) << "\n### send - " << Utils::bufferToHex(toByteArray()) << "\n### recv - "
                   << Utils::bufferToHex(reply.toByteArray());

    const bool delimitersMatch = (m_delimiter == ShortRequest && reply.m_delimiter == ShortReply)
                                 || (m_delimiter == LongRequest && reply.m_delimiter == LongReply);
    if (!delimitersMatch) {
        m_errorText = tr("*** start delimiter check error:  %1 / %2")
                          .arg(Utils::hexByte(m_delimiter), Utils::hexByte(reply.m_delimiter));
        DEBUGQT_LOG(1) << m_errorText;
        return false;
    }

    if (m_command != reply.m_command) {
        m_errorText = tr("*** command number check error:  %1 / %2").arg(m_command).arg(reply.m_command);
        DEBUGQT_LOG(1) << m_errorText;
        return false;
    }

    if (reply.m_address == m_address) {
        DEBUGQT_LOG(4) << "success";
        return true;
    }

    // A device in burst mode sets the burst bit in every reply, also in answers to us.
    if (reply.m_address.size() == m_address.size() && (quint8(reply.m_address.at(0)) & BurstModeBit)) {
        DEBUGQT_LOG(4) << "### BURST MODE";
        QByteArray withoutBurst = reply.m_address;
        withoutBurst[0] = char(quint8(withoutBurst.at(0)) & ~BurstModeBit);
        if (withoutBurst == m_address) {
            DEBUGQT_LOG(4) << "success ### BURST MODE";
            return true;
        }
    }

    m_errorText = tr("*** address check error: %1")
                      .arg(QString::fromLatin1(m_address.toHex() + " / " + reply.m_address.toHex()));
    DEBUGQT_LOG(1) << m_errorText;
    return false;
}

namespace {

struct BitText
{
    quint8 bit;
    const char *text;
    int logLevel;
};

const BitText CommunicationErrors[] = {
    {0x40, QT_TRANSLATE_NOOP("HartCommand", "*** parity error"), 1},
    {0x20, QT_TRANSLATE_NOOP("HartCommand", "*** speed overflow error"), 1},
    {0x10, QT_TRANSLATE_NOOP("HartCommand", "*** synhronization (frame) error"), 1},
    {0x08, QT_TRANSLATE_NOOP("HartCommand", "*** checksum error"), 1},
    {0x02, QT_TRANSLATE_NOOP("HartCommand", "*** receive buffer overflow error"), 1},
};

const BitText DeviceStatusBits[] = {
    {0x80, QT_TRANSLATE_NOOP("HartCommand", "*** Field device malfunction"), 1},
    {0x40, QT_TRANSLATE_NOOP("HartCommand", "*** Configuration changed"), 4},
    {0x20, QT_TRANSLATE_NOOP("HartCommand", "*** Cold start"), 2},
    {0x10, QT_TRANSLATE_NOOP("HartCommand", "*** More status available"), 2},
    {0x08, QT_TRANSLATE_NOOP("HartCommand", "*** Analogue output fixed"), 4},
    {0x04, QT_TRANSLATE_NOOP("HartCommand", "*** Analogue output out of limits"), 2},
    {0x02, QT_TRANSLATE_NOOP("HartCommand", "*** Non-primary variable out of limits"), 2},
    {0x01, QT_TRANSLATE_NOOP("HartCommand", "*** Primary variable out of limits"), 2},
};

// How a response code is reported: a failure goes to the error text, a note to the status texts.
struct ResponseText
{
    const char *text;
    bool isStatusText;
    bool verdict;
    const char *logText = nullptr; // when the log line differs from the text
};

ResponseText failure(const char *text)
{
    return {text, false, false};
}

// Codes 8 to 12 mean different things for different commands; 0 text means "unknown code".
ResponseText responseText(quint8 code, quint8 command)
{
    switch (code) {
    case 2: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** wrong choice"));
    case 3: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** last parameter too large"));
    case 4: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** last parameter too small"));
    case 5: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** too few data bytes have been received"));
    case 6: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** command not executed"));
    case 7: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** write protection mode set"));
    case 8:
        switch (command) {
        case 48: return {QT_TRANSLATE_NOOP("HartCommand", "*** update in progress"), true, true};
        case 138:
        case 148: return {QT_TRANSLATE_NOOP("HartCommand", "*** linearization point not used"), true, true};
        case 141:
            return {QT_TRANSLATE_NOOP("HartCommand",
                                      "*** temperature is different from previous value at this point"),
                    true, true};
        default: return {QT_TRANSLATE_NOOP("HartCommand", "*** incorrect input signal type selected"), true, false};
        }
    case 9:
        switch (command) {
        case 35:
            return failure(QT_TRANSLATE_NOOP("HartCommand",
                                             "*** the lower range limit greater of maximum allowable value"));
        case 36:
        case 37: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** PV value is greater of upper range limit"));
        case 38: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** mismatch counter configuration change"));
        case 45:
        case 46: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** incorrect fixed current value"));
        case 133: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** number of decimal places is too large"));
        default: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** value set is too large"));
        }
    case 10:
        switch (command) {
        case 35:
            return failure(QT_TRANSLATE_NOOP("HartCommand",
                                             "*** the lower range limit less of minimum  allowable value"));
        case 36:
        case 37: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** PV value is less of lower range limit"));
        default: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** value set is too small"));
        }
    case 11:
        switch (command) {
        case 35:
            return failure(QT_TRANSLATE_NOOP("HartCommand",
                                             "*** the upper range limit greater of maximum allowable value"));
        case 40:
        case 45:
        case 46:
            return failure(QT_TRANSLATE_NOOP("HartCommand", "*** current output off - device in multidrop mode"));
        default:
            return failure(
                QT_TRANSLATE_NOOP("HartCommand", "*** loop Current Not Active (Device in Multidrop Mode)"));
        }
    case 12:
        switch (command) {
        case 6: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** current output mode incorrect selection"));
        case 35:
            return failure(QT_TRANSLATE_NOOP("HartCommand",
                                             "*** the upper range value less of minimum  allowable value"));
        case 192: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** saved factory settings are missing"));
        default: return {QT_TRANSLATE_NOOP("HartCommand", "*** unrecognized error 12"), false, false, "***  Error 12"};
        }
    case 13:
        return failure(QT_TRANSLATE_NOOP("HartCommand",
                                         "*** upper and lower conversion limits are out of permissible values"));
    case 14:
        return {QT_TRANSLATE_NOOP("HartCommand", "*** the minimum range is too small - impaired accuracy"), true,
                true};
    case 16: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** restricted access"));
    case 18: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** invalid unit code"));
    case 29: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** invalid range"));
    case 32: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** device is busy"));
    case 64: return failure(QT_TRANSLATE_NOOP("HartCommand", "*** command not implemented"));
    default: return failure(nullptr);
    }
}

} // namespace

bool HartCommand::checkStatus()
{
    m_statusTexts.clear();
    DEBUGQT_LOG(4) << Utils::bufferToHex(m_status);

    const quint8 code = m_status.size() >= StatusSize ? quint8(m_status.at(0)) : 0;
    const quint8 deviceStatus = m_status.size() >= StatusSize ? quint8(m_status.at(1)) : 0;

    if (code & 0x80) {
        addCommunicationErrors(code);
        return false;
    }
    if (code == 0 && deviceStatus == 0)
        return true;

    DEBUGQT_LOG(4) << "### Check command=" << int(m_command) << " status!";
    if (code == 0) {
        addDeviceStatus(deviceStatus);
        return true;
    }
    return addResponseCode(code);
}

void HartCommand::addCommunicationErrors(quint8 errors)
{
    m_errorText = tr("Communication error:") + QLatin1Char(' ');
    DEBUGQT_LOG(1) << "Communication error: ";
    for (const BitText &error : CommunicationErrors) {
        if (!(errors & error.bit))
            continue;
        m_errorText += tr(error.text);
        DEBUGQT_LOG(error.logLevel) << error.text;
    }
}

void HartCommand::addDeviceStatus(quint8 deviceStatus)
{
    DEBUGQT_LOG(4) << "### Check second byte...";
    for (const BitText &status : DeviceStatusBits) {
        if (!(deviceStatus & status.bit))
            continue;
        m_statusTexts.append(tr(status.text));
        DEBUGQT_LOG(status.logLevel) << status.text;
    }
}

bool HartCommand::addResponseCode(quint8 code)
{
    DEBUGQT_LOG(1) << "Command error (error code: " << int(code) << ")";
    m_errorText = tr("Command error (error code %1): ").arg(code);

    const ResponseText response = responseText(code, m_command);
    if (response.isStatusText) {
        m_statusTexts.append(tr(response.text));
        DEBUGQT_LOG(2) << response.text;
        return response.verdict;
    }
    if (response.text) {
        m_errorText += tr(response.text);
        DEBUGQT_LOG(1) << (response.logText ? response.logText : response.text);
    } else {
        const QString unknown = tr("*** unknown error code: %1 hex: %2").arg(code).arg(Utils::hexByte(code));
        m_errorText += unknown;
        DEBUGQT_LOG(1) << unknown;
    }
    return false;
}

QByteArray reverseByteGroups(const QByteArray &source, qint32 groupSize)
{
    if (groupSize < 1 || source.size() % groupSize != 0)
        return QByteArray();
    QByteArray result(source.size(), '\0');
    for (qsizetype group = 0; group < source.size(); group += groupSize) {
        for (qint32 k = 0; k < groupSize; ++k)
            result[group + k] = source.at(group + groupSize - 1 - k);
    }
    return result;
}

QByteArray mapBytesByDigits(const QByteArray &source, const QString &pattern)
{
    if (pattern.size() > source.size())
        return QByteArray();
    QByteArray result = source;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar digit = pattern.at(i);
        const int index = digit.isDigit() ? digit.digitValue() : -1;
        // Anything but a digit naming a source byte would read outside the source.
        if (index < 0 || index >= source.size())
            return QByteArray();
        result[i] = source.at(index);
    }
    return result;
}

QString swapCharPairs(const QString &text)
{
    QString result = text;
    if (result.size() % 2 != 0)
        result.append(QChar(0));
    for (qsizetype i = 0; i + 1 < result.size(); i += 2)
        std::swap(result[i], result[i + 1]);
    return result;
}
