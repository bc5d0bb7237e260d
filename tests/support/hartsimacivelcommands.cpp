#include "hartsimacivelcommands.h"

#include "hartsimdevice.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"

#include <QHash>
#include <QList>

#include <functional>

namespace {

using Body = std::function<QByteArray(HartSimDevice &device, const QByteArray &request)>;

struct Field
{
    bool isFloat;
    const char *key;
};

using Layout = QList<Field>;

constexpr bool U8 = false;
constexpr bool F32 = true;

QByteArray encode(const HartSimDevice &device, const Layout &fields)
{
    QByteArray data;
    for (const Field &field : fields) {
        const QVariant value = device.values.value(QLatin1String(field.key));
        if (field.isFloat)
            data.append(HartSimUniversalCommands::floatBytes(value.toFloat()));
        else
            data.append(char(value.toInt() & 0xFF));
    }
    return data;
}

void store(HartSimDevice &device, const Layout &fields, const QByteArray &request)
{
    int offset = 0;
    for (const Field &field : fields) {
        const QString key = QLatin1String(field.key);
        if (field.isFloat) {
            device.values.insert(key, HartSimUniversalCommands::floatAt(request, offset));
            offset += 4;
        } else {
            device.values.insert(key, offset < request.size() ? int(quint8(request.at(offset))) : 0);
            offset += 1;
        }
    }
}

Body reading(const Layout &fields)
{
    return [fields](HartSimDevice &device, const QByteArray &) { return encode(device, fields); };
}

Body storing(const Layout &fields)
{
    return [fields](HartSimDevice &device, const QByteArray &request) {
        store(device, fields, request);
        return request;
    };
}

// A point byte (0 or 1) followed by the value of that point.
Body storingPoint(const char *firstKey, const char *secondKey)
{
    return [firstKey, secondKey](HartSimDevice &device, const QByteArray &request) {
        const bool second = !request.isEmpty() && request.at(0) != 0;
        device.values.insert(QLatin1String(second ? secondKey : firstKey), HartSimUniversalCommands::floatAt(request, 1));
        return request;
    };
}

QByteArray graduationPoint(HartSimDevice &device, const QByteArray &request)
{
    const quint8 point = request.size() > 1 ? quint8(request.at(1)) : 0;
    const float ei = HartSimUniversalCommands::floatAt(request, 2);
    const float s = 100.0f + point;
    device.values.insert(QStringLiteral("ei_isopotential_point"), ei);
    device.values.insert(QStringLiteral("steepness"), s);
    return QByteArray(1, char(point)) + HartSimUniversalCommands::floatBytes(ei)
           + HartSimUniversalCommands::floatBytes(s);
}

// Code 0 locks the meter again; its own code unlocks it.
QByteArray accessCode(HartSimDevice &device, const QByteArray &request)
{
    const float code = HartSimUniversalCommands::floatAt(request, 0);
    const bool granted = code != 0.0f && code == device.values.value(QStringLiteral("access_code")).toFloat();
    device.values.insert(QStringLiteral("unlocked"), granted);
    return QByteArray(1, granted ? char(0x80) : '\0');
}

// pHi is kept only in the two pH modes; the others send zero in its place.
QByteArray electrode(HartSimDevice &device, const QByteArray &request)
{
    const float phi = device.values.value(QStringLiteral("phi_isopotential_point")).toFloat();
    store(device, {{U8, "input_units"}, {F32, "ei_isopotential_point"}, {F32, "steepness"},
                   {F32, "phi_isopotential_point"}}, request);
    if (device.values.value(QStringLiteral("input_units")).toInt() > 1)
        device.values.insert(QStringLiteral("phi_isopotential_point"), phi);
    return request;
}

HartSimulator::Handler withTestHooks(quint8 command, const Body &body)
{
    return [command, body](HartSimDevice &device, const QByteArray &request) {
        HartSimResponse response;
        response.data = body(device, request);
        const QString length = QStringLiteral("reply_length_%1").arg(command);
        if (device.values.contains(length))
            response.data = response.data.left(device.values.value(length).toInt());
        const QString replacement = QStringLiteral("reply_data_%1").arg(command);
        if (device.values.contains(replacement))
            response.data = device.values.value(replacement).toByteArray();
        response.responseCode = quint8(device.values.value(QStringLiteral("response_code_%1").arg(command)).toInt());
        return response;
    };
}

} // namespace

void HartSimAcivelCommands::install(HartSimulator &simulator)
{
    const Layout configuration1{{U8, "input_units"}, {F32, "ei_isopotential_point"}, {F32, "steepness"},
                                {F32, "phi_isopotential_point"}, {U8, "average_time_small_sig_ph"},
                                {U8, "average_time_big_sig_ph"}, {F32, "big_sig_threshold_ph"},
                                {U8, "electrode_diag"}};
    const Layout configuration2{{U8, "t_measurement_mode"}, {U8, "ts_type"}, {F32, "ts_0"},
                                {F32, "t_for_correction"}, {F32, "t_manual"}, {U8, "average_time_small_sig_t"},
                                {U8, "average_time_big_sig_t"}, {F32, "big_sig_threshold_t"}};
    const Layout indication{{F32, "indicate_range_min"}, {F32, "indicate_range_max"}};
    const Layout graduation{{U8, "current_grd_type"}, {F32, "current_ph_1"}, {F32, "current_eds_1"},
                            {F32, "current_t_1"}, {F32, "current_ph_2"}, {F32, "current_eds_2"}, {F32, "current_t_2"}};
    const Layout eiSRanges{{F32, "ei_min"}, {F32, "ei_max"}, {F32, "s_min"}, {F32, "s_max"}};
    const Layout adjustment{{F32, "adjust_U_p1"}, {F32, "adjust_U_p2"}, {F32, "adjust_Rt_p"},
                            {F32, "adjust_Rc_p1"}, {F32, "adjust_Rc_p2"}};

    const QHash<quint8, Body> bodies{
        {130, reading(configuration1)},
        {134, reading(configuration2)},
        {140, reading(indication)},
        {150, reading(graduation)},
        {152, reading(eiSRanges)},
        {171, reading(adjustment)},
        {131, electrode},
        {132, storing({{U8, "average_time_small_sig_ph"}, {U8, "average_time_big_sig_ph"},
                       {F32, "big_sig_threshold_ph"}})},
        {133, storing({{U8, "electrode_diag"}})},
        {135, storing({{U8, "t_measurement_mode"}, {F32, "t_manual"}})},
        {136, storing({{U8, "ts_type"}, {F32, "ts_0"}, {F32, "t_for_correction"}})},
        {137, storing({{U8, "average_time_small_sig_t"}, {U8, "average_time_big_sig_t"},
                       {F32, "big_sig_threshold_t"}})},
        {141, storing(indication)},
        {142, storing({{U8, "sensor_unit_code"}, {F32, "sensor_range_max"}, {F32, "sensor_range_min"},
                       {F32, "sensor_minimum_range"}})},
        {151, graduationPoint},
        {170, accessCode},
        {172, storingPoint("adjust_U_p1", "adjust_U_p2")},
        {173, storing({{F32, "adjust_Rt_p"}})},
        {174, storingPoint("adjust_Rc_p1", "adjust_Rc_p2")},
        {176, storing(eiSRanges)},
        {192, storing({{U8, "manufacturer_settings"}})},
    };
    for (auto it = bodies.cbegin(); it != bodies.cend(); ++it)
        simulator.setHandler(it.key(), withTestHooks(it.key(), it.value()));
}

HartSimDevice HartSimAcivelCommands::device(quint8 pollingAddress)
{
    return HartSimDevice(pollingAddress, ManufacturerCode, DeviceTypeCode);
}
