#include "devices/acivel/aciveldevice.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/port.h"

#include <QHash>
#include <QList>

namespace {

// The meter's data: one unsigned byte, or an IEEE-754 single sent most significant byte first.
// The fields of a command follow each other without gaps.
enum class FieldKind { U8, F32 };

struct Field
{
    FieldKind kind;
    const char *key;
};

using Layout = QList<Field>;

struct ReadCommand
{
    const char *title;   // of the log line with the raw answer
    Layout fields;
};

constexpr FieldKind U8 = FieldKind::U8;
constexpr FieldKind F32 = FieldKind::F32;

const QHash<int, ReadCommand> &readCommands()
{
    static const QHash<int, ReadCommand> commands{
        {130, {"device configuration 1",
               {{U8, "input_units"}, {F32, "ei_isopotential_point"}, {F32, "steepness"},
                {F32, "phi_isopotential_point"}, {U8, "average_time_small_sig_ph"}, {U8, "average_time_big_sig_ph"},
                {F32, "big_sig_threshold_ph"}, {U8, "electrode_diag"}}}},
        {134, {"device configuration 2",
               {{U8, "t_measurement_mode"}, {U8, "ts_type"}, {F32, "ts_0"}, {F32, "t_for_correction"},
                {F32, "t_manual"}, {U8, "average_time_small_sig_t"}, {U8, "average_time_big_sig_t"},
                {F32, "big_sig_threshold_t"}}}},
        {140, {"indication range", {{F32, "indicate_range_min"}, {F32, "indicate_range_max"}}}},
        {150, {"current graduation values",
               {{U8, "current_grd_type"}, {F32, "current_ph_1"}, {F32, "current_eds_1"}, {F32, "current_t_1"},
                {F32, "current_ph_2"}, {F32, "current_eds_2"}, {F32, "current_t_2"}}}},
        {152, {"Ei and S ranges", {{F32, "ei_min"}, {F32, "ei_max"}, {F32, "s_min"}, {F32, "s_max"}}}},
        {171, {"Adjustment parameters",
               {{F32, "adjust_U_p1"}, {F32, "adjust_U_p2"}, {F32, "adjust_Rt_p"}, {F32, "adjust_Rc_p1"},
                {F32, "adjust_Rc_p2"}}}},
    };
    return commands;
}

// Every other number above 129 sends no data.
Layout writeLayout(int command)
{
    static const QHash<int, Layout> layouts{
        {131, {{U8, "input_units"}, {F32, "ei_isopotential_point"}, {F32, "steepness"}, {F32, "phi_isopotential_point"}}},
        {132, {{U8, "average_time_small_sig_ph"}, {U8, "average_time_big_sig_ph"}, {F32, "big_sig_threshold_ph"}}},
        {133, {{U8, "electrode_diag"}}},
        {135, {{U8, "t_measurement_mode"}, {F32, "t_manual"}}},
        {136, {{U8, "ts_type"}, {F32, "ts_0"}, {F32, "t_for_correction"}}},
        {137, {{U8, "average_time_small_sig_t"}, {U8, "average_time_big_sig_t"}, {F32, "big_sig_threshold_t"}}},
        {141, {{F32, "indicate_range_min"}, {F32, "indicate_range_max"}}},
        {142, {{U8, "sensor_unit_code"}, {F32, "sensor_range_max"}, {F32, "sensor_range_min"},
               {F32, "sensor_minimum_range"}}},
        {151, {{U8, "grd_type"}, {U8, "grd_point_number"}, {F32, "grd_point_value"}}},
        {170, {{F32, "adjust_code"}}},
        {172, {{U8, "adjust_U_point"}, {F32, "adjust_U"}}},
        {173, {{F32, "adjust_Rt"}}},
        {174, {{U8, "adjust_Rc_point"}, {F32, "adjust_Rc"}}},
        {176, {{F32, "ei_min"}, {F32, "ei_max"}, {F32, "s_min"}, {F32, "s_max"}}},
        {192, {{U8, "manufacturer_settings"}}},
    };
    return layouts.value(command);
}

int byteCount(FieldKind kind)
{
    return kind == FieldKind::U8 ? 1 : 4;
}

int layoutLength(const Layout &fields)
{
    int length = 0;
    for (const Field &field : fields)
        length += byteCount(field.kind);
    return length;
}

const QString GraduationPointKey = QStringLiteral("grd_point_number");
constexpr int GraduationAnswerLength = 9;
constexpr int ElectrodeCommand = 131;
const QString PhiKey = QStringLiteral("phi_isopotential_point");

} // namespace

AcivelDevice::AcivelDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Acivel-M (%1)"));
}

AcivelDevice::~AcivelDevice()
{
    DEBUGQT_LOG(4) << name();
    emit tagsDeleting();
}

QString AcivelDevice::readCommandName(int command)
{
    if (command < FirstModelCommand)
        return Device::readCommandName(command);
    switch (command) {
    case 130: return tr("device configuration (part 1)");
    case 134: return tr("device configuration (part 2)");
    case 140: return tr("indication range");
    case 150: return tr("current graduation values");
    case 152: return tr("Ei and S ranges");
    case 171: return tr("adjustment parameters");
    default: return QString();
    }
}

QString AcivelDevice::writeCommandName(int command)
{
    if (command < FirstModelCommand)
        return Device::writeCommandName(command);
    switch (command) {
    case 131: return tr("electrode parameters");
    case 132: return tr("PV filter parameters");
    case 133: return tr("electrode diagnostic on/off");
    case 135: return tr("temperature measurement mode");
    case 136: return tr("temperature sensor parameters");
    case 137: return tr("temperature filter parameters");
    case 141: return tr("indication range");
    case 151: return tr("graduation point");
    case 170: return tr("check access code");
    case 172: return tr("adjust U");
    case 173: return tr("adjust Rt");
    case 174: return tr("adjust Rc");
    case 176: return tr("Ei and S ranges");
    case 192: return tr("manufacturer settings");
    default: return QString();   // 142 is served, but has no name
    }
}

bool AcivelDevice::readDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::readDevice(command);

    QByteArray reply;
    if (read(readCommandName(command), command, reply) != ResultSuccess)
        return false;
    statusText(true, true);

    const auto found = readCommands().constFind(command);
    if (found == readCommands().cend())
        return false;
    DEBUGQT_LOG(4) << found->title << Utils::bufferToHex(reply);

    // An answer cut short would fill the editor with zeros as if they had been read.
    const int length = layoutLength(found->fields);
    if (reply.size() < length) {
        failShortAnswer(command, int(reply.size()), length);
        return false;
    }
    int offset = 0;
    for (const Field &field : found->fields) {
        const QString key = QLatin1String(field.key);
        if (field.kind == FieldKind::U8)
            setParameter(key, int(Utils::byteAt(reply, offset)));
        else
            setParameter(key, Port::getFloatFromBufferByOffset(reply, offset));
        offset += byteCount(field.kind);
    }
    return true;
}

QByteArray AcivelDevice::writeRequest(int command, QStringList *unmeasured) const
{
    const bool zeroPhi = command == ElectrodeCommand && isMillivoltMode(parameterInt(QStringLiteral("input_units")));
    QByteArray request;
    for (const Field &field : writeLayout(command)) {
        const QString key = QLatin1String(field.key);
        if (field.kind == FieldKind::U8)
            request.append(char(parameterInt(key) & 0xFF));
        else if (zeroPhi && key == PhiKey)
            request.append(QByteArray(4, '\0'));
        else
            request.append(requestFloat(key, unmeasured));
    }
    return request;
}

bool AcivelDevice::writeDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::writeDevice(command);

    QStringList unmeasured;
    const QByteArray request = writeRequest(command, &unmeasured);
    // Restoring the manufacturer settings (1) is not a change of the configuration.
    const bool counted = command != 192 || parameterInt(QStringLiteral("manufacturer_settings")) != 1;
    QByteArray reply;
    if (write(writeCommandName(command), command, request, reply, unmeasured) != ResultSuccess)
        return false;

    switch (command) {
    case 151:
        return storeGraduationAnswer(reply);
    case 170:
        // The answer, not the code sent, is what the editor judges the access by.
        setParameter(QStringLiteral("adjust_code"), reply);
        statusText(true, true);
        return true;
    default:
        return checkEcho(command, counted, request, reply);
    }
}

bool AcivelDevice::storeGraduationAnswer(const QByteArray &reply)
{
    const bool samePoint = !reply.isEmpty() && Utils::byteAt(reply, 0) == (parameterInt(GraduationPointKey) & 0xFF);
    // An answer for another point leaves Ei and S as they are. One that names no point, or names
    // this point but is cut short, would otherwise give a new Ei and S of zero.
    if (reply.isEmpty() || (samePoint && reply.size() < GraduationAnswerLength)) {
        failShortAnswer(151, int(reply.size()), GraduationAnswerLength);
        return false;
    }
    if (samePoint) {
        setParameter(QStringLiteral("ei_isopotential_point"), Port::getFloatFromBufferByOffset(reply, 1));
        setParameter(QStringLiteral("steepness"), Port::getFloatFromBufferByOffset(reply, 5));
    }
    statusText(true, true);
    return true;
}

void AcivelDevice::failShortAnswer(int command, int received, int expected)
{
    recordReplyFailure(tr("Invalid response length of command %1: %2 bytes, %3 expected.")
                           .arg(command)
                           .arg(received)
                           .arg(expected));
}

QString AcivelDevice::deviceSpecificStatusText(int code) const
{
    static const struct
    {
        int bit;
        const char *text;
    } Texts[] = {
        {0x01, QT_TR_NOOP("Temperature sensor short circuit.")},
        {0x02, QT_TR_NOOP("Temperature sensor not connected. ")},
        {0x04, QT_TR_NOOP("Ei is out of range.")},
        {0x08, QT_TR_NOOP("S is out of range. ")},
    };
    QString text;
    for (const auto &entry : Texts) {
        if (code & entry.bit)
            text += tr(entry.text) + QLatin1Char('\n');
    }
    return text;
}
