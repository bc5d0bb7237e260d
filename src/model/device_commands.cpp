#include "model/device.h"

#include "model/tag.h"

#include "core/debugqtstream.h"
#include "model/port.h"
#include "core/utils.h"

#include <QDate>
#include <QHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTime>

#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------------------------
// Universal and common-practice commands

namespace {

const QString TagKey = QStringLiteral("tag");
const QString ModifyCountKey = QStringLiteral("modify_count");

constexpr int ShortTagCharacters = 8;
constexpr int DescriptorCharacters = 16;
constexpr int MessageCharacters = 32;
constexpr int LongTagBytes = 32;
constexpr int NotUsedSlotCode = 250;
// The result of an exchange whose reply could not be taken (too short, or answering another question).
constexpr int ReplyFailure = -2;

char lowByte(int value)
{
    return char(value & 0xFF);
}

QString slotKey(int slot, const char *field)
{
    return QStringLiteral("slot_%1_%2").arg(slot).arg(QLatin1String(field));
}

bool isCountedWrite(int command)
{
    switch (command) {
    case 9: case 11: case 21: case 33: case 38: case 40: case 41: case 42: case 48: case 54:
        return false;
    default:
        return true;
    }
}

bool isDecodedWrite(int command)
{
    switch (command) {
    case 9: case 33: case 40: case 45: case 46: case 54:
        return true;
    default:
        return false;
    }
}

} // namespace


bool Device::isRevision5() const
{
    const QVariant version = parameter(QStringLiteral("universal_cmd_version"));
    return version.isValid() && version.toInt() == 5;
}

bool Device::readDevice(int command)
{
    const QString name = readCommandName(command);
    if (command == 0)
        return checkDevice(QString(), QString(), true);
    if (command == 73)
        return findDevice();
    const bool unsupportedInRevision5 = command == 7 || command == 8 || command == 9 || command == 20 || command == 21;
    if (unsupportedInRevision5 && isRevision5()) {
        logMessage(tr("Device command version is 5. Command #%1 not supported").arg(command));
        return true;
    }

    QByteArray reply;
    if (read(name, command, reply) != ResultSuccess)
        return false;
    if (command == 48) {
        storeStatusParameters(reply);
        return true;
    }
    statusText(true, command == 3 ? !requestAdditionalStatus() : true);
    return decodeReadReply(command, reply);
}

bool Device::replyLongEnough(int command, const QByteArray &reply, int expected)
{
    if (reply.size() >= expected)
        return true;
    recordReplyFailure(tr("*** the answer to command %1 is too short: %2 of %3 bytes")
                           .arg(command)
                           .arg(reply.size())
                           .arg(expected));
    return false;
}

void Device::recordReplyFailure(const QString &text)
{
    setResult(ReplyFailure);
    setLastErrorText(text);
    DEBUGQT_LOG(4) << text;
    emit deviceError(text);
    logMessage(text);
}

bool Device::decodeReadReply(int command, const QByteArray &reply)
{
    // The fixed part of each reply; a shorter one would fill the map with zeros as if read.
    // (Command 15's write protection and label bytes are missing from older devices' replies.)
    static const QHash<int, int> LeastLengths{{1, 5}, {2, 8}, {3, 9}, {7, 2}, {8, 4}, {12, 24},
                                              {13, 21}, {14, 16}, {15, 15}, {16, 3}};
    if (!replyLongEnough(command, reply, LeastLengths.value(command, 0)))
        return false;

    auto storeByte = [&](const char *key, int offset) { setParameter(QLatin1String(key), Utils::byteAt(reply, offset)); };
    auto storeFloat = [&](const char *key, int offset) {
        setParameter(QLatin1String(key), Port::getFloatFromBufferByOffset(reply, offset));
    };
    auto storeU24 = [&](const char *key, int offset) {
        setParameter(QLatin1String(key), uint(Port::getIntFromBufferByOffset(reply, offset, 3)));
    };

    switch (command) {
    case 1:
        storeByte("PV_unit_code", 0);
        storeFloat("PV", 1);
        return true;
    case 2:
        storeFloat("output_current", 0);
        storeFloat("output_current_%", 4);
        return true;
    case 3:
        // The secondary variables are taken only when the reply holds the whole unit and value:
        // a value cut off by a short reply would pass for a real one.
        storeFloat("output_current", 0);
        storeByte("PV_unit_code", 4);
        storeFloat("PV", 5);
        if (reply.size() >= 14) {
            storeByte("SV_unit_code", 9);
            storeFloat("SV", 10);
        }
        if (reply.size() >= 19) {
            storeByte("TV_unit_code", 14);
            storeFloat("TV", 15);
        }
        if (reply.size() >= 24) {
            storeByte("QV_unit_code", 19);
            storeFloat("QV", 20);
        }
        return true;
    case 7:
        storeByte("polling_address", 0);
        storeByte("current_loop_mode", 1);
        setAddress(parameterInt(QStringLiteral("polling_address")));
        return true;
    case 8:
        storeByte("PV_class_code", 0);
        storeByte("SV_class_code", 1);
        storeByte("TV_class_code", 2);
        storeByte("QV_class_code", 3);
        return true;
    case 12: {
        const QString message = port()->unpackAscii(reply);
        setParameter(QStringLiteral("message"), message);
        DEBUGQT_LOG(4) << "### MSG: " << message;
        return true;
    }
    case 13: {
        QByteArray padded = reply.left(21);
        padded.append(QByteArray(21 - padded.size(), '\0'));
        const QString tag = port()->unpackAscii(padded.left(6));
        const QString descriptor = port()->unpackAscii(padded.mid(6, 12));
        const int day = Utils::byteAt(reply, 18);
        const int month = Utils::byteAt(reply, 19);
        const int year = 1900 + Utils::byteAt(reply, 20);
        setParameter(TagKey, tag);
        setParameter(QStringLiteral("descriptor"), descriptor);
        setParameter(QStringLiteral("date"), QDate(year, month, day));
        DEBUGQT_LOG(4) << "### TAG: " << tag << "### DESC: " << descriptor << "### day: " << day << "month: " << month
                       << "year: " << year;
        displayName();
        return true;
    }
    case 14:
        storeU24("sensor_number", 0);
        storeByte("sensor_unit_code", 3);
        storeFloat("sensor_range_max", 4);
        storeFloat("sensor_range_min", 8);
        storeFloat("sensor_minimum_range", 12);
        DEBUGQT_LOG(4) << "### sensor_number ### " << parameterInt(QStringLiteral("sensor_number"))
                       << Utils::hexByte(Utils::byteAt(reply, 3))
                       << "sensor_range_max" << parameterFloat(QStringLiteral("sensor_range_max"))
                       << "sensor_range_min" << parameterFloat(QStringLiteral("sensor_range_min"))
                       << "sensor_minimum_range" << parameterFloat(QStringLiteral("sensor_minimum_range"));
        return true;
    case 15:
        storeByte("PV_alarm_selection_code", 0);
        storeByte("conversion_function", 1);
        storeByte("range_unit_code", 2);
        storeFloat("range_max", 3);
        storeFloat("range_min", 7);
        storeFloat("damping_time", 11);
        storeByte("write_protection", 15);
        storeByte("distributor_label", 16);
        DEBUGQT_LOG(4) << "range_max" << parameterFloat(QStringLiteral("range_max")) << "range_min"
                       << parameterFloat(QStringLiteral("range_min")) << "damping_time"
                       << parameterFloat(QStringLiteral("damping_time"));
        return true;
    case 16:
        storeU24("final_assembly_number", 0);
        DEBUGQT_LOG(4) << "### final_assembly_number ###" << parameterInt(QStringLiteral("final_assembly_number"));
        return true;
    case 20: {
        const qsizetype end = reply.indexOf('\0');
        const QString longTag = QString::fromLatin1(end < 0 ? reply : reply.left(end));
        setParameter(QStringLiteral("long_tag"), longTag);
        DEBUGQT_LOG(4) << "long tag: '" << longTag << "'";
        return true;
    }
    case 50:
        storeByte("PV_dev_variable_code", 0);
        storeByte("SV_dev_variable_code", 1);
        storeByte("TV_dev_variable_code", 2);
        storeByte("QV_dev_variable_code", 3);
        return true;
    default:
        return false;
    }
}

bool Device::writeDevice(int command)
{
    const QString name = writeCommandName(command);
    if (command == 11)
        return checkDevice(parameterString(TagKey), QString(), true);
    if (command == 21)
        return checkDevice(QString(), parameterString(QStringLiteral("long_tag")), false);
    if (!port()) {
        DEBUGQT_LOG(1) << "*** a device without a port cannot send command" << command;
        return false;
    }

    QStringList unmeasured;
    const QByteArray request = writeRequest(command, &unmeasured);
    QByteArray reply;
    if (write(name, command, request, reply, unmeasured) != ResultSuccess)
        return false;
    if (command == 18)
        displayName();
    if (isDecodedWrite(command))
        return decodeWriteReply(command, reply);
    return checkEcho(command, isCountedWrite(command), request, reply);
}

QByteArray Device::slotCodesRequest(int slotCount) const
{
    QByteArray request;
    for (int slot = 0; slot < slotCount; ++slot) {
        const QString key = slotKey(slot, "code");
        if (!hasParameter(key))
            break;
        const int code = parameterInt(key) & 0xFF;
        if (code != NotUsedSlotCode)
            request.append(char(code));
    }
    return request;
}

QByteArray Device::requestFloat(const QString &key, QStringList *unmeasured) const
{
    const float value = parameterFloat(key);
    if (!std::isfinite(value))
        unmeasured->append(key);
    return Port::getBufferFromFloat(value);
}

QByteArray Device::writeRequest(int command, QStringList *unmeasured) const
{
    Port *line = port();
    // Texts are cut to their field so that an over-long one cannot shift the fields behind it.
    auto packed = [&](const char *key, int characters) {
        const QString text = parameterString(QLatin1String(key)).left(characters);
        return line->packAscii(text.leftJustified(characters, QLatin1Char(' ')));
    };
    auto byteOf = [&](const char *key) { return QByteArray(1, lowByte(parameterInt(QLatin1String(key)))); };
    auto floatOf = [&](const char *key) { return requestFloat(QLatin1String(key), unmeasured); };

    switch (command) {
    case 6:
        // Devices of universal revision 5 take and echo the polling address alone.
        if (isRevision5())
            return byteOf("polling_address");
        return byteOf("polling_address") + byteOf("current_loop_mode");
    case 9:
        return slotCodesRequest(SlotCount);
    case 17:
        return packed("message", MessageCharacters);
    case 18: {
        QByteArray request = packed("tag", ShortTagCharacters) + packed("descriptor", DescriptorCharacters);
        const QDate date = parameter(QStringLiteral("date")).toDate();
        if (date.isValid()) {
            request.append(lowByte(date.day()));
            request.append(lowByte(date.month()));
            request.append(lowByte(date.year() - 1900));
        } else {
            request.append(QByteArray(3, '\0'));
        }
        return request;
    }
    case 19:
        return Port::getBufferFromInt(parameterInt(QStringLiteral("final_assembly_number")), 3);
    case 22:
        return parameterString(QStringLiteral("long_tag")).toLatin1().leftJustified(LongTagBytes, '\0', true);
    case 33:
        return slotCodesRequest(4);
    case 34:
        return floatOf("damping_time");
    case 35:
        return byteOf("range_unit_code") + floatOf("range_max") + floatOf("range_min");
    case 38: {
        const QByteArray request = Port::getBufferFromInt(parameterInt(ModifyCountKey), 2);
        DEBUGQT_LOG(4) << "$$$ modify_count:" << parameterInt(ModifyCountKey);
        DEBUGQT_LOG(4) << "$$$ modify_count:" << Utils::bufferToHex(request);
        return request;
    }
    case 40:
        return floatOf("fixed_current");
    case 44:
        return byteOf("input_units");
    case 45:
        return floatOf("adjust_4mA");
    case 46:
        return floatOf("adjust_20mA");
    case 47:
        return byteOf("conversion_function");
    case 48:
        return storedStatusBytes();
    case 49:
        return Port::getBufferFromInt(parameterInt(QStringLiteral("sensor_number")), 3);
    case 51:
        return byteOf("PV_dev_variable_code") + byteOf("SV_dev_variable_code") + byteOf("TV_dev_variable_code")
               + byteOf("QV_dev_variable_code");
    case 53:
        return byteOf("dev_variable_code") + byteOf("dev_variable_limits_unit_code");
    case 54:
        return byteOf("dev_variable_code");
    case 59:
        return byteOf("preambles_count");
    case 129:
        return byteOf("write_protection");
    default:
        return QByteArray();
    }
}

bool Device::checkEcho(int command, bool counted, const QByteArray &request, const QByteArray &reply)
{
    if (reply == request) {
        if (counted)
            incrementModifyCount();
        if (command != 48)
            statusText(true, true);
        return true;
    }
    if (command == 48) {
        storeStatusParameters(reply);
        statusText(false, false);
        return true;
    }
    // The device did not take what was sent: a failure, for the tree and the editor pages too.
    const QString text = QStringLiteral("*** cmdData != response");
    setResult(-2);
    setLastErrorText(text);
    DEBUGQT_LOG(4) << text;
    emit deviceError(text);
    logMessage(text);
    return false;
}

bool Device::decodeWriteReply(int command, const QByteArray &reply)
{
    // The current a device reports back is a float; a shorter reply would store a current it
    // never reported.
    const bool currentReply = command == 40 || command == 45 || command == 46;
    if (currentReply && !replyLongEnough(command, reply, 4))
        return false;
    switch (command) {
    case 9:
        decodeSlotVariables9(reply);
        break;
    case 33:
        decodeSlotVariables33(reply);
        break;
    case 40:
        setParameter(QStringLiteral("fixed_current"), Port::getFloatFromBufferByOffset(reply, 0));
        break;
    case 45:
        setParameter(QStringLiteral("adjust_4mA"), Port::getFloatFromBufferByOffset(reply, 0));
        break;
    case 46:
        setParameter(QStringLiteral("adjust_20mA"), Port::getFloatFromBufferByOffset(reply, 0));
        break;
    case 54:
        if (Utils::byteAt(reply, 0) == (parameterInt(QStringLiteral("dev_variable_code")) & 0xFF)) {
            if (!replyLongEnough(command, reply, 23))
                return false;
            setParameter(QStringLiteral("dev_variable_sensor"), uint(Port::getIntFromBufferByOffset(reply, 1, 3)));
            setParameter(QStringLiteral("dev_variable_limits_unit_code"), Utils::byteAt(reply, 4));
            setParameter(QStringLiteral("dev_variable_usl"), Port::getFloatFromBufferByOffset(reply, 5));
            setParameter(QStringLiteral("dev_variable_lsl"), Port::getFloatFromBufferByOffset(reply, 9));
            setParameter(QStringLiteral("dev_variable_damping_value"), Port::getFloatFromBufferByOffset(reply, 13));
            setParameter(QStringLiteral("dev_variable_span"), Port::getFloatFromBufferByOffset(reply, 17));
            setParameter(QStringLiteral("dev_variable_class"), Utils::byteAt(reply, 21));
            setParameter(QStringLiteral("dev_variable_family"), Utils::byteAt(reply, 22));
            return true;
        }
        break;
    default:
        break;
    }
    if (isCountedWrite(command))
        incrementModifyCount();
    statusText(true, true);
    return true;
}

void Device::decodeSlotVariables9(const QByteArray &reply)
{
    setParameter(QStringLiteral("extended_status"), Utils::byteAt(reply, 0));
    if (reply.size() < 6)
        return;
    // Groups of eight bytes follow the status byte; the last four bytes are a time stamp. A group
    // cut off by the end of the reply is not taken: its value would pass for a real one.
    for (int slot = 0, offset = 1; slot < SlotCount && offset < reply.size() - 4 && offset + 8 <= reply.size();
         ++slot, offset += 8) {
        if (Utils::byteAt(reply, offset) != (parameterInt(slotKey(slot, "code")) & 0xFF))
            continue;
        setParameter(slotKey(slot, "class"), Utils::byteAt(reply, offset + 1));
        setParameter(slotKey(slot, "unit_code"), Utils::byteAt(reply, offset + 2));
        setParameter(slotKey(slot, "value"), Port::getFloatFromBufferByOffset(reply, offset + 3));
        setParameter(slotKey(slot, "status"), Utils::byteAt(reply, offset + 7));
        DEBUGQT_LOG(4) << QStringLiteral("slot_%1").arg(slot) << "Class" << Utils::byteAt(reply, offset + 1) << "Unit"
                       << Utils::byteAt(reply, offset + 2) << "Value" << parameterFloat(slotKey(slot, "value")) << "Status"
                       << Utils::byteAt(reply, offset + 7);
    }
}

void Device::decodeSlotVariables33(const QByteArray &reply)
{
    // Only whole groups of six bytes are taken, as for command 9.
    for (int slot = 0, offset = 0; slot < SlotCount && offset + 6 <= reply.size(); ++slot, offset += 6) {
        if (Utils::byteAt(reply, offset) != (parameterInt(slotKey(slot, "code")) & 0xFF))
            continue;
        setParameter(slotKey(slot, "unit_code"), Utils::byteAt(reply, offset + 1));
        setParameter(slotKey(slot, "value"), Port::getFloatFromBufferByOffset(reply, offset + 2));
    }
}

// ---------------------------------------------------------------------------------------------
// Additional status

namespace {

struct BitText
{
    int bit;
    const char *text;
};

const BitText EepromTexts[] = {
    {0x01, QT_TRANSLATE_NOOP("Device", "Error of writing configuration to EEPROM.")},
    {0x02, QT_TRANSLATE_NOOP("Device", "Device configuration is restored (from the secondary page).")},
    {0x10, QT_TRANSLATE_NOOP("Device", "Error of writing the device HART_UID to the EEPROM")},
    {0x20, QT_TRANSLATE_NOOP("Device", "Factory device number is restored (from the sub-page).")},
};

const BitText ExtendedStatusTexts[] = {
    {0x01, QT_TRANSLATE_NOOP("Device", "Device requires maintenance.")},
    {0x02, QT_TRANSLATE_NOOP("Device", "Device variable is in an Alarm state.")},
};

const BitText StandardStatusTexts[] = {
    {0x02, QT_TRANSLATE_NOOP("Device", "Non-Volatile Memory Defect.")},
    {0x04, QT_TRANSLATE_NOOP("Device", "Volatile Memory Defect.")},
    {0x10, QT_TRANSLATE_NOOP("Device", "Voltage Conditions Out of Range.")},
};

const QString Marker = QStringLiteral("--- ");
constexpr int DeviceSpecificStatusBytes = 6;

// Acknowledgements nest inside each other on the evaluating thread; this counts how deep.
thread_local int acknowledgementDepth = 0;

bool moreStatusAvailable(const QByteArray &statusBytes)
{
    return (Utils::byteAt(statusBytes, 1) & 0x10) != 0;
}

template<std::size_t N>
void appendBitLines(QStringList &lines, const BitText (&table)[N], int value)
{
    for (const BitText &entry : table) {
        if (value & entry.bit)
            lines.append(Marker + Device::tr(entry.text));
    }
}

} // namespace

void Device::storeStatusParameters(const QByteArray &data)
{
    setStoredStatusBytes(data);
    QByteArray specific = data.left(DeviceSpecificStatusBytes);
    specific.append(QByteArray(DeviceSpecificStatusBytes - specific.size(), '\0'));
    QVariantMap status;
    status.insert(QStringLiteral("error_code"), Utils::byteAt(data, 0));
    status.insert(QStringLiteral("ADC_flags"), Utils::byteAt(data, 1));
    status.insert(QStringLiteral("EEPROM_flags"), Utils::byteAt(data, 2));
    status.insert(QStringLiteral("device_specific_status"), specific);
    status.insert(QStringLiteral("extended_status"), Utils::byteAt(data, 6));
    status.insert(QStringLiteral("standart_status_0"), Utils::byteAt(data, 8));
    insertParameters(status);
}

bool Device::statusText(bool readAdditional, bool onlyWhenMore)
{
    if (onlyWhenMore && !moreStatusAvailable(lastStatusBytes())) {
        reportAdditionalStatus();
        return true;
    }
    if (readAdditional && !readDevice(48))
        return false;
    setAdditionalStatusText(additionalStatusLines().join(QLatin1Char('\n')));
    reportAdditionalStatus();
    if (moreStatusAvailable(lastStatusBytes()))
        acknowledgeAdditionalStatus();
    return true;
}

QStringList Device::additionalStatusLines() const
{
    QStringList lines;
    if (templateName().contains(QLatin1String("General"))) {
        QByteArray specific = parameterByteArray(QStringLiteral("device_specific_status")).left(DeviceSpecificStatusBytes);
        specific.append(QByteArray(DeviceSpecificStatusBytes - specific.size(), '\0'));
        if (specific.count('\0') != specific.size())
            lines.append(Marker + tr("Device specific status: ") + Utils::bufferToHex(specific).toUpper());
    } else {
        const int errorCode = parameterInt(QStringLiteral("error_code"));
        if (errorCode > 0) {
            lines.append(Marker + tr("Device ADC error code: %1").arg(errorCode));
            const QStringList pieces = deviceSpecificStatusText(errorCode).split(QLatin1Char('\n'));
            for (const QString &piece : pieces) {
                if (!piece.isEmpty())
                    lines.append(Marker + Marker + piece);
            }
        }
        const int adcFlags = parameterInt(QStringLiteral("ADC_flags"));
        if (adcFlags > 0)
            lines.append(Marker + tr("The ADC is overloaded. Flags: 0x%1").arg(adcFlags & 0xFF, 2, 16, QLatin1Char('0')));
        const int eepromFlags = parameterInt(QStringLiteral("EEPROM_flags"));
        if (eepromFlags > 0)
            appendBitLines(lines, EepromTexts, eepromFlags);
    }
    const int extended = parameterInt(QStringLiteral("extended_status"));
    if (extended > 0)
        appendBitLines(lines, ExtendedStatusTexts, extended);
    const int standard = parameterInt(QStringLiteral("standart_status_0"));
    if (standard > 0)
        appendBitLines(lines, StandardStatusTexts, standard);
    return lines;
}

void Device::acknowledgeAdditionalStatus()
{
    // A device whose status data change at every exchange while it keeps reporting more status
    // would otherwise be acknowledged without end.
    if (acknowledgementDepth >= MaxStatusAcknowledgements) {
        DEBUGQT_LOG(1) << "*** additional status still changing after" << MaxStatusAcknowledgements
                       << "acknowledgements; stopped";
        logMessage(tr("*** Additional status still changes after %1 acknowledgements; no more are sent.")
                       .arg(MaxStatusAcknowledgements));
        return;
    }
    ++acknowledgementDepth;
    writeDevice(48);
    --acknowledgementDepth;
}
