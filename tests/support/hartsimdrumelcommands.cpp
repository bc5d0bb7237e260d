#include "hartsimdrumelcommands.h"

#include "hartsimdevice.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"

#include <QHash>

#include <functional>

namespace {

using Body = std::function<HartSimResponse(HartSimDevice &device, const QByteArray &request)>;

constexpr quint8 NotImplemented = 64;
constexpr quint8 PointNotUsed = 8;   // also: temperature differs from the one stored at the step

quint8 at(const QByteArray &bytes, int offset)
{
    return offset < bytes.size() ? quint8(bytes.at(offset)) : 0;
}

QByteArray byteField(const HartSimDevice &device, const char *key)
{
    return QByteArray(1, char(device.values.value(QLatin1String(key)).toInt()));
}

QByteArray floatField(const HartSimDevice &device, const QString &key)
{
    return HartSimUniversalCommands::floatBytes(device.values.value(key).toFloat());
}

QByteArray floatField(const HartSimDevice &device, const char *key)
{
    return floatField(device, QLatin1String(key));
}

HartSimResponse answer(const QByteArray &data, quint8 responseCode = 0)
{
    HartSimResponse response;
    response.data = data;
    response.responseCode = responseCode;
    return response;
}

QString pointKey(int point)
{
    return QStringLiteral("line_point_%1").arg(point);
}

// A write that stores its request under the keys and echoes it; "f:" marks a float key.
Body storeFields(std::initializer_list<const char *> keys)
{
    const QList<const char *> names(keys);
    return [names](HartSimDevice &device, const QByteArray &request) {
        int offset = 0;
        for (const char *name : names) {
            const QLatin1String key(name);
            if (key.startsWith(QLatin1String("f:"))) {
                device.values.insert(key.mid(2), HartSimUniversalCommands::floatAt(request, offset));
                offset += 4;
            } else {
                device.values.insert(key, int(at(request, offset)));
                offset += 1;
            }
        }
        return answer(request);
    };
}

HartSimResponse configuration(HartSimDevice &d, const QByteArray &)
{
    return answer(byteField(d, "decimal_point_position") + byteField(d, "average_count") + byteField(d, "input_units")
                  + floatField(d, "free_range_min") + floatField(d, "free_range_max")
                  + floatField(d, "indicate_range_min") + floatField(d, "indicate_range_max")
                  + byteField(d, "calibrate_unit_code") + byteField(d, "line_points_count"));
}

HartSimResponse storePoint(HartSimDevice &device, const QByteArray &request)
{
    device.values.insert(pointKey(at(request, 0)), HartSimUniversalCommands::floatAt(request, 1));
    return answer(request);
}

HartSimResponse pointValue(HartSimDevice &device, const QByteArray &request)
{
    const int point = at(request, 0);
    const int count = qMin(device.values.value(QStringLiteral("line_points_count")).toInt(),
                           HartSimDrumelCommands::MaxLinePoints);
    const QByteArray number(1, char(point));
    if (point < 1 || point > count)
        return answer(number + HartSimUniversalCommands::floatBytes(0), PointNotUsed);
    return answer(number + floatField(device, pointKey(point)));
}

HartSimResponse temperatureStep(HartSimDevice &device, const QByteArray &request)
{
    const int step = at(request, 0);
    const float temperature = HartSimUniversalCommands::floatAt(request, 1);
    const QString stepKey = QStringLiteral("temper_correction_%1").arg(step);
    const QVariant before = device.values.value(stepKey);
    device.values.insert(stepKey, temperature);
    device.values.insert(QLatin1String(step < 2 ? "t1_correcton_value" : "t2_correcton_value"), temperature);
    const bool differs = before.isValid() && before.toFloat() != temperature;
    return answer(request, differs ? PointNotUsed : 0);
}

HartSimResponse accessCode(HartSimDevice &device, const QByteArray &request)
{
    const float code = HartSimUniversalCommands::floatAt(request, 0);
    if (code == 0) {
        device.values.insert(QStringLiteral("unlocked"), false);
        return answer(QByteArray(1, '\0'));
    }
    if (code == device.values.value(QStringLiteral("access_code")).toFloat()) {
        device.values.insert(QStringLiteral("unlocked"), true);
        return answer(QByteArray::fromHex("8001"));
    }
    return answer(QByteArray::fromHex("4000"));
}

bool isConverter(const HartSimDevice &device)
{
    return device.manufacturerCode == HartSimDrumelCommands::ManufacturerCode
           && device.deviceTypeCode == HartSimDrumelCommands::DeviceTypeCode;
}

// The test hooks of the universal commands, applied after the command has taken effect.
void applyReplyHooks(const HartSimDevice &device, int command, HartSimResponse &response)
{
    const QString length = QStringLiteral("reply_length_%1").arg(command);
    if (device.values.contains(length))
        response.data = response.data.left(device.values.value(length).toInt());
    const QString replacement = QStringLiteral("reply_data_%1").arg(command);
    if (device.values.contains(replacement))
        response.data = device.values.value(replacement).toByteArray();
}

} // namespace

void HartSimDrumelCommands::install(HartSimulator &simulator)
{
    const QHash<quint8, Body> bodies{
        {132, [](HartSimDevice &d, const QByteArray &) { return answer(byteField(d, "decimal_point_position")); }},
        {135, configuration},
        {139, [](HartSimDevice &d, const QByteArray &) {
             return answer(byteField(d, "temper_correction_mode") + floatField(d, "t1_correcton_value")
                           + floatField(d, "t2_correcton_value"));
         }},
        {149, [](HartSimDevice &d, const QByteArray &) { return answer(floatField(d, "line_point_pressure")); }},
        {133, storeFields({"decimal_point_position"})},
        {134, storeFields({"average_count"})},
        {136, storeFields({"calibrate_unit_code"})},
        {137, storeFields({"line_points_count"})},
        {138, storePoint},
        {140, storeFields({"temper_correction_mode"})},
        {141, temperatureStep},
        {142, storeFields({"f:gain_adjustment"})},
        {145, storeFields({"f:free_range_min", "f:free_range_max"})},
        {146, storeFields({"f:indicate_range_min", "f:indicate_range_max"})},
        {147, storeFields({"sensor_unit_code", "f:sensor_range_max", "f:sensor_range_min", "f:sensor_minimum_range"})},
        {148, pointValue},
        {170, accessCode},
        {192, storeFields({"manufacturer_settings"})},
    };

    for (auto it = bodies.cbegin(); it != bodies.cend(); ++it) {
        const quint8 command = it.key();
        const Body body = it.value();
        simulator.setHandler(command, [command, body](HartSimDevice &device, const QByteArray &request) {
            if (!isConverter(device))
                return answer(QByteArray(), NotImplemented);
            HartSimResponse response = body(device, request);
            applyReplyHooks(device, command, response);
            return response;
        });
    }
}

HartSimDevice HartSimDrumelCommands::device(quint8 pollingAddress)
{
    return HartSimDevice(pollingAddress, ManufacturerCode, DeviceTypeCode);
}
