#include "hartsimuniversalcommands.h"

#include "hartsimdevice.h"
#include "hartsimulator.h"

#include <QDate>
#include <QtEndian>

#include <cstring>
#include <functional>

namespace {

using Body = std::function<QByteArray(HartSimDevice &device, const QByteArray &request)>;

constexpr int AdditionalStatusBytes = 9;

quint8 byteOf(const HartSimDevice &device, const char *key)
{
    return quint8(device.values.value(QLatin1String(key)).toInt());
}

QByteArray byteField(const HartSimDevice &device, const char *key)
{
    return QByteArray(1, char(byteOf(device, key)));
}

QByteArray floatField(const HartSimDevice &device, const QString &key)
{
    return HartSimUniversalCommands::floatBytes(device.values.value(key).toFloat());
}

QByteArray floatField(const HartSimDevice &device, const char *key)
{
    return floatField(device, QLatin1String(key));
}

QByteArray u24(int value)
{
    QByteArray bytes;
    bytes.append(char((value >> 16) & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
    bytes.append(char(value & 0xFF));
    return bytes;
}

int u24At(const QByteArray &bytes, int offset)
{
    const QByteArray part = bytes.mid(offset, 3).leftJustified(3, '\0');
    return (quint8(part.at(0)) << 16) | (quint8(part.at(1)) << 8) | quint8(part.at(2));
}

quint8 at(const QByteArray &bytes, int offset)
{
    return offset < bytes.size() ? quint8(bytes.at(offset)) : 0;
}

QString variableKey(int code, const char *field)
{
    return QStringLiteral("variable_%1_%2").arg(code).arg(QLatin1String(field));
}

bool hasVariable(const HartSimDevice &device, int code)
{
    return device.values.contains(variableKey(code, "value"));
}

QByteArray additionalStatus(const HartSimDevice &device)
{
    const QVariant stored = device.values.value(QStringLiteral("additional_status"));
    return stored.isValid() ? stored.toByteArray() : QByteArray(AdditionalStatusBytes, '\0');
}

QByteArray longTagBytes(const QString &text)
{
    return text.toLatin1().leftJustified(32, '\0', true);
}

// Reads ------------------------------------------------------------------------------------------

QByteArray command3(HartSimDevice &device, const QByteArray &)
{
    QByteArray data = floatField(device, "output_current");
    for (const char *name : {"PV", "SV", "TV", "QV"}) {
        const QString stem = QLatin1String(name);
        data.append(char(device.values.value(stem + QStringLiteral("_unit_code")).toInt()));
        data.append(floatField(device, stem));
    }
    return data;
}

QByteArray command13(HartSimDevice &device, const QByteArray &)
{
    const QDate date = device.values.value(QStringLiteral("date")).toDate();
    QByteArray data = HartSimUniversalCommands::pack(device.tag, 8)
                      + HartSimUniversalCommands::pack(device.values.value(QStringLiteral("descriptor")).toString(), 16);
    data.append(char(date.day()));
    data.append(char(date.month()));
    data.append(char(date.year() - 1900));
    return data;
}

QByteArray command15(HartSimDevice &device, const QByteArray &)
{
    return byteField(device, "PV_alarm_selection_code") + byteField(device, "conversion_function")
           + byteField(device, "range_unit_code") + floatField(device, "range_max") + floatField(device, "range_min")
           + floatField(device, "damping_time") + byteField(device, "write_protection")
           + byteField(device, "distributor_label");
}

QByteArray command9(HartSimDevice &device, const QByteArray &request)
{
    QByteArray data(1, char(device.extendedStatus));
    for (const char code : request) {
        const int number = quint8(code);
        if (!hasVariable(device, number))
            continue;   // a device leaves out a variable it does not have
        data.append(code);
        data.append(char(device.values.value(variableKey(number, "class")).toInt()));
        data.append(char(device.values.value(variableKey(number, "unit_code")).toInt()));
        data.append(floatField(device, variableKey(number, "value")));
        data.append(char(device.values.value(variableKey(number, "status")).toInt()));
    }
    data.append(QByteArray(4, '\0'));   // time stamp
    return data;
}

QByteArray command33(HartSimDevice &device, const QByteArray &request)
{
    QByteArray data;
    for (const char code : request) {
        const int number = quint8(code);
        if (!hasVariable(device, number))
            continue;
        data.append(code);
        data.append(char(device.values.value(variableKey(number, "unit_code")).toInt()));
        data.append(floatField(device, variableKey(number, "value")));
    }
    return data;
}

QByteArray command54(HartSimDevice &device, const QByteArray &request)
{
    const int code = at(request, 0);
    QByteArray data(1, char(code));
    data.append(u24(device.values.value(QStringLiteral("sensor_number")).toInt()));
    data.append(char(device.values.value(variableKey(code, "unit_code")).toInt()));
    data.append(floatField(device, "sensor_range_max"));
    data.append(floatField(device, "sensor_range_min"));
    data.append(floatField(device, "damping_time"));
    data.append(floatField(device, "sensor_minimum_range"));
    data.append(char(device.values.value(variableKey(code, "class")).toInt()));
    data.append(char(device.values.value(variableKey(code, "family")).toInt()));
    return data;
}

// Writes -----------------------------------------------------------------------------------------

QByteArray command6(HartSimDevice &device, const QByteArray &request)
{
    device.pollingAddress = at(request, 0);
    if (device.universalRevision == 5)
        return request.left(1);
    device.values.insert(QStringLiteral("current_loop_mode"), int(at(request, 1)));
    return request;
}

QByteArray command18(HartSimDevice &device, const QByteArray &request)
{
    device.tag = HartSimUniversalCommands::unpack(request.left(6));
    device.values.insert(QStringLiteral("descriptor"), HartSimUniversalCommands::unpack(request.mid(6, 12)));
    device.values.insert(QStringLiteral("date"), QDate(1900 + at(request, 20), at(request, 19), at(request, 18)));
    return request;
}

QByteArray command35(HartSimDevice &device, const QByteArray &request)
{
    device.values.insert(QStringLiteral("range_unit_code"), int(at(request, 0)));
    device.values.insert(QStringLiteral("range_max"), HartSimUniversalCommands::floatAt(request, 1));
    device.values.insert(QStringLiteral("range_min"), HartSimUniversalCommands::floatAt(request, 5));
    return request;
}

QByteArray acknowledge48(HartSimDevice &device, const QByteArray &request)
{
    QByteArray current = additionalStatus(device);
    if (device.values.value(QStringLiteral("additional_status_changes")).toBool()) {
        current[0] = char(quint8(current.at(0)) + 1);
        device.values.insert(QStringLiteral("additional_status"), current);
        return current;
    }
    if (request == current)
        device.deviceStatus &= quint8(~0x10);
    return request;
}

// A write that stores its request under the keys, one byte each (or a float / 3-byte number),
// and echoes it.
Body storeBytes(std::initializer_list<const char *> keys)
{
    const QList<const char *> names(keys);
    return [names](HartSimDevice &device, const QByteArray &request) {
        for (int index = 0; index < names.size(); ++index)
            device.values.insert(QLatin1String(names.at(index)), int(at(request, index)));
        return request;
    };
}

Body storeFloat(const char *key)
{
    return [key](HartSimDevice &device, const QByteArray &request) {
        device.values.insert(QLatin1String(key), HartSimUniversalCommands::floatAt(request, 0));
        return request;
    };
}

Body storeU24(const char *key)
{
    return [key](HartSimDevice &device, const QByteArray &request) {
        device.values.insert(QLatin1String(key), u24At(request, 0));
        return request;
    };
}

Body echo()
{
    return [](HartSimDevice &, const QByteArray &request) { return request; };
}

HartSimResponse identityUnlessSilent(HartSimDevice &device, bool matches)
{
    HartSimResponse response;
    if (!matches) {
        response.silent = true;
        return response;
    }
    response.data = device.identityData();
    return response;
}

} // namespace

void HartSimUniversalCommands::install(HartSimulator &simulator)
{
    const QHash<quint8, Body> bodies{
        {1, [](HartSimDevice &d, const QByteArray &) { return byteField(d, "PV_unit_code") + floatField(d, "PV"); }},
        {2, [](HartSimDevice &d, const QByteArray &) {
             return floatField(d, "output_current") + floatField(d, "output_current_%");
         }},
        {3, command3},
        {7, [](HartSimDevice &d, const QByteArray &) {
             return QByteArray(1, char(d.pollingAddress)) + byteField(d, "current_loop_mode");
         }},
        {8, [](HartSimDevice &d, const QByteArray &) {
             return byteField(d, "PV_class_code") + byteField(d, "SV_class_code") + byteField(d, "TV_class_code")
                    + byteField(d, "QV_class_code");
         }},
        {9, command9},
        {12, [](HartSimDevice &d, const QByteArray &) {
             return pack(d.values.value(QStringLiteral("message")).toString(), 32);
         }},
        {13, command13},
        {14, [](HartSimDevice &d, const QByteArray &) {
             return u24(d.values.value(QStringLiteral("sensor_number")).toInt()) + byteField(d, "sensor_unit_code")
                    + floatField(d, "sensor_range_max") + floatField(d, "sensor_range_min")
                    + floatField(d, "sensor_minimum_range");
         }},
        {15, command15},
        {16, [](HartSimDevice &d, const QByteArray &) {
             return u24(d.values.value(QStringLiteral("final_assembly_number")).toInt());
         }},
        {20, [](HartSimDevice &d, const QByteArray &) {
             return longTagBytes(d.values.value(QStringLiteral("long_tag")).toString());
         }},
        {33, command33},
        {50, [](HartSimDevice &d, const QByteArray &) {
             return byteField(d, "PV_dev_variable_code") + byteField(d, "SV_dev_variable_code")
                    + byteField(d, "TV_dev_variable_code") + byteField(d, "QV_dev_variable_code");
         }},
        {54, command54},
        {6, command6},
        {17, [](HartSimDevice &d, const QByteArray &request) {
             d.values.insert(QStringLiteral("message"), unpack(request));
             return request;
         }},
        {18, command18},
        {19, storeU24("final_assembly_number")},
        {22, [](HartSimDevice &d, const QByteArray &request) {
             const qsizetype end = request.indexOf('\0');
             d.values.insert(QStringLiteral("long_tag"), QString::fromLatin1(end < 0 ? request : request.left(end)));
             return request;
         }},
        {34, storeFloat("damping_time")},
        {35, command35},
        {36, echo()},
        {37, echo()},
        {38, echo()},
        {40, storeFloat("fixed_current")},
        {41, echo()},
        {42, echo()},
        {43, echo()},
        {44, storeBytes({"input_units"})},
        {45, storeFloat("adjust_4mA")},
        {46, storeFloat("adjust_20mA")},
        {47, storeBytes({"conversion_function"})},
        {49, storeU24("sensor_number")},
        {51, storeBytes({"PV_dev_variable_code", "SV_dev_variable_code", "TV_dev_variable_code",
                         "QV_dev_variable_code"})},
        {53, storeBytes({"dev_variable_code", "dev_variable_limits_unit_code"})},
        {59, storeBytes({"preambles_count"})},
        {129, storeBytes({"write_protection"})},
    };

    for (auto it = bodies.cbegin(); it != bodies.cend(); ++it) {
        const quint8 command = it.key();
        const Body body = it.value();
        simulator.setHandler(command, [command, body](HartSimDevice &device, const QByteArray &request) {
            HartSimResponse response;
            response.data = body(device, request);
            const QString length = QStringLiteral("reply_length_%1").arg(command);
            if (device.values.contains(length))
                response.data = response.data.left(device.values.value(length).toInt());
            const QString replacement = QStringLiteral("reply_data_%1").arg(command);
            if (device.values.contains(replacement))
                response.data = device.values.value(replacement).toByteArray();
            return response;
        });
    }

    // Command 48 reads without data and acknowledges with them.
    simulator.setHandler(48, [](HartSimDevice &device, const QByteArray &request) {
        HartSimResponse response;
        response.data = request.isEmpty() ? additionalStatus(device) : acknowledge48(device, request);
        return response;
    });

    // The find commands answer only from the device they name.
    simulator.setHandler(11, [](HartSimDevice &device, const QByteArray &request) {
        return identityUnlessSilent(device, request == pack(device.tag, 8));
    });
    simulator.setHandler(21, [](HartSimDevice &device, const QByteArray &request) {
        const QString longTag = device.values.value(QStringLiteral("long_tag")).toString();
        return identityUnlessSilent(device, !longTag.isEmpty() && request == longTagBytes(longTag));
    });
    simulator.setHandler(73, [](HartSimDevice &device, const QByteArray &) {
        return identityUnlessSilent(device, true);
    });
}

QByteArray HartSimUniversalCommands::pack(const QString &text, int characters)
{
    const QByteArray codes = text.toUpper().leftJustified(characters, QLatin1Char(' '), true).toLatin1();
    QByteArray packed;
    for (int first = 0; first + 4 <= codes.size(); first += 4) {
        quint32 bits = 0;
        for (int k = 0; k < 4; ++k)
            bits = (bits << 6) | (quint8(codes.at(first + k)) & 0x3F);
        packed.append(char(bits >> 16));
        packed.append(char(bits >> 8));
        packed.append(char(bits));
    }
    return packed;
}

QString HartSimUniversalCommands::unpack(const QByteArray &bytes)
{
    QString text;
    for (int first = 0; first + 3 <= bytes.size(); first += 3) {
        const quint32 bits = (quint8(bytes.at(first)) << 16) | (quint8(bytes.at(first + 1)) << 8)
                             | quint8(bytes.at(first + 2));
        for (int k = 0; k < 4; ++k) {
            quint8 code = (bits >> (18 - 6 * k)) & 0x3F;
            if (!(code & 0x20))
                code |= 0x40;
            text.append(QLatin1Char(char(code)));
        }
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

QByteArray HartSimUniversalCommands::floatBytes(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(4, '\0');
    qToBigEndian(bits, bytes.data());
    return bytes;
}

float HartSimUniversalCommands::floatAt(const QByteArray &bytes, int offset)
{
    const QByteArray part = bytes.mid(offset, 4).leftJustified(4, '\0');
    const quint32 bits = qFromBigEndian<quint32>(part.constData());
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
