#include "devices/drumel/drumeldevice.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "model/port.h"

#include <QList>

namespace {

enum class FieldType { Byte, Float };

struct Field
{
    const char *key;
    FieldType type;
};

using Layout = QList<Field>;

constexpr int LinePointReplyBytes = 5;

int widthOf(const Layout &layout)
{
    int width = 0;
    for (const Field &field : layout)
        width += field.type == FieldType::Byte ? 1 : 4;
    return width;
}

// The maker's reads carry no request data; their replies fill these keys, in reply order.
Layout readLayout(int command)
{
    switch (command) {
    case 132:
        return {{"decimal_point_position", FieldType::Byte}};
    case 135:
        return {{"decimal_point_position", FieldType::Byte}, {"average_count", FieldType::Byte},
                {"input_units", FieldType::Byte},            {"free_range_min", FieldType::Float},
                {"free_range_max", FieldType::Float},        {"indicate_range_min", FieldType::Float},
                {"indicate_range_max", FieldType::Float},    {"calibrate_unit_code", FieldType::Byte},
                {"line_points_count", FieldType::Byte}};
    case 139:
        return {{"temper_correction_mode", FieldType::Byte}, {"t1_correcton_value", FieldType::Float},
                {"t2_correcton_value", FieldType::Float}};
    case 149:
        return {{"line_point_pressure", FieldType::Float}};
    default:
        return {};
    }
}

// The request data of the maker's writes, in request order.
Layout writeLayout(int command)
{
    switch (command) {
    case 133:
        return {{"decimal_point_position", FieldType::Byte}};
    case 134:
        return {{"average_count", FieldType::Byte}};
    case 136:
        return {{"calibrate_unit_code", FieldType::Byte}};
    case 137:
        return {{"line_points_count", FieldType::Byte}};
    case 138:
        return {{"line_point_number", FieldType::Byte}, {"line_point_value", FieldType::Float}};
    case 140:
        return {{"temper_correction_mode", FieldType::Byte}};
    case 141:
        return {{"temper_correction_step", FieldType::Byte}, {"temper_correction_value", FieldType::Float}};
    case 142:
        return {{"gain_adjustment", FieldType::Float}};
    case 145:
        return {{"free_range_min", FieldType::Float}, {"free_range_max", FieldType::Float}};
    case 146:
        return {{"indicate_range_min", FieldType::Float}, {"indicate_range_max", FieldType::Float}};
    case 147:
        return {{"sensor_unit_code", FieldType::Byte}, {"sensor_range_max", FieldType::Float},
                {"sensor_range_min", FieldType::Float}, {"sensor_minimum_range", FieldType::Float}};
    case 148:
        return {{"line_point_number", FieldType::Byte}};
    case 170:
        return {{"adjust_code", FieldType::Float}};
    case 192:
        return {{"manufacturer_settings", FieldType::Byte}};
    default:
        return {};
    }
}

const char *readName(int command)
{
    switch (command) {
    case 132: return QT_TRANSLATE_NOOP("DrumelDevice", "decimal point position");
    case 135: return QT_TRANSLATE_NOOP("DrumelDevice", "device configuration");
    case 139: return QT_TRANSLATE_NOOP("DrumelDevice", "temperature correction params");
    case 149: return QT_TRANSLATE_NOOP("DrumelDevice", "pressure for line point");
    default: return nullptr;
    }
}

// What the debug log calls a decoded reply; the pressure of a point is not logged.
const char *readLogText(int command)
{
    switch (command) {
    case 132: return "decimal point position";
    case 135: return "device configuration";
    case 139: return "temper correction";
    default: return nullptr;
    }
}

const char *writeName(int command)
{
    switch (command) {
    case 133: return QT_TRANSLATE_NOOP("DrumelDevice", "decimal point position");
    case 134: return QT_TRANSLATE_NOOP("DrumelDevice", "average_count");
    case 136: return QT_TRANSLATE_NOOP("DrumelDevice", "calibration unit code");
    case 137: return QT_TRANSLATE_NOOP("DrumelDevice", "line points count");
    case 138: return QT_TRANSLATE_NOOP("DrumelDevice", "line point value");
    case 140: return QT_TRANSLATE_NOOP("DrumelDevice", "temper corretion mode");
    case 141: return QT_TRANSLATE_NOOP("DrumelDevice", "temper corretion");
    case 142: return QT_TRANSLATE_NOOP("DrumelDevice", "adjust gain");
    case 145: return QT_TRANSLATE_NOOP("DrumelDevice", "free ragne");
    case 146: return QT_TRANSLATE_NOOP("DrumelDevice", "indication range");
    case 148: return QT_TRANSLATE_NOOP("DrumelDevice", "get line point value");
    case 170: return QT_TRANSLATE_NOOP("DrumelDevice", "check access code");
    case 192: return QT_TRANSLATE_NOOP("DrumelDevice", "manufacturer settings");
    default: return nullptr;   // 147 has no name, so the command list does not offer it
    }
}

} // namespace

DrumelDevice::DrumelDevice(ServerItem *parent)
    : Device(parent)
{
    applyDefaults(QStringLiteral("Drumel-M (%1)"));
}

DrumelDevice::~DrumelDevice()
{
    DEBUGQT_LOG(4) << name();
    emit tagsDeleting();
}

QString DrumelDevice::readCommandName(int command)
{
    if (command < FirstModelCommand)
        return Device::readCommandName(command);
    const char *text = readName(command);
    return text ? tr(text) : QString();
}

QString DrumelDevice::writeCommandName(int command)
{
    if (command < FirstModelCommand)
        return Device::writeCommandName(command);
    const char *text = writeName(command);
    return text ? tr(text) : QString();
}

bool DrumelDevice::readDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::readDevice(command);
    QByteArray reply;
    if (read(readCommandName(command), command, reply) != ResultSuccess)
        return false;
    statusText(true, true);
    return decodeModelReply(command, reply);
}

// A command this class does not decode has been sent but stores nothing and fails. A reply
// shorter than its layout fails too and stores nothing: a cut field would pass for a value.
bool DrumelDevice::decodeModelReply(int command, const QByteArray &reply)
{
    const Layout layout = readLayout(command);
    if (layout.isEmpty() || !replyLongEnough(command, reply, widthOf(layout)))
        return false;
    if (const char *text = readLogText(command))
        DEBUGQT_LOG(4) << text << Utils::bufferToHex(reply);
    int offset = 0;
    for (const Field &field : layout) {
        const QString key = QLatin1String(field.key);
        if (field.type == FieldType::Byte) {
            setParameter(key, int(Utils::byteAt(reply, offset)));
            offset += 1;
        } else {
            setParameter(key, Port::getFloatFromBufferByOffset(reply, offset));
            offset += 4;
        }
    }
    return true;
}

bool DrumelDevice::writeDevice(int command)
{
    if (command < FirstModelCommand)
        return Device::writeDevice(command);
    const QString name = writeCommandName(command);
    QStringList unmeasured;
    const QByteArray request = modelRequest(command, &unmeasured);
    // Saving the settings as the manufacturer's changes nothing the device counts.
    const bool counted = command != 192 || parameterInt(QStringLiteral("manufacturer_settings")) != 1;
    QByteArray reply;
    if (write(name, command, request, reply, unmeasured) != ResultSuccess)
        return false;

    switch (command) {
    case 148:
        if (!takeLinePointValue(reply))
            return false;
        break;
    case 170:
        // The caller reads the device's verdict from the first answer byte.
        setParameter(QStringLiteral("adjust_code"), reply);
        break;
    default:
        return checkEcho(command, counted, request, reply);
    }
    statusText(true, true);
    return true;
}

QByteArray DrumelDevice::modelRequest(int command, QStringList *unmeasured) const
{
    QByteArray request;
    const Layout layout = writeLayout(command);
    for (const Field &field : layout) {
        const QString key = QLatin1String(field.key);
        if (field.type == FieldType::Byte)
            request.append(char(parameterInt(key) & 0xFF));
        else
            request.append(requestFloat(key, unmeasured));
    }
    return request;
}

// The answer to a point request must name the point asked for and carry its whole value;
// otherwise the previous point's value would be shown as this one's.
bool DrumelDevice::takeLinePointValue(const QByteArray &reply)
{
    if (!replyLongEnough(148, reply, LinePointReplyBytes))
        return false;
    const int requested = parameterInt(QStringLiteral("line_point_number")) & 0xFF;
    const int answered = Utils::byteAt(reply, 0);
    if (answered != requested) {
        recordReplyFailure(tr("*** the answer names linearization point %1 instead of %2").arg(answered).arg(requested));
        return false;
    }
    setParameter(QStringLiteral("line_point_value"), Port::getFloatFromBufferByOffset(reply, 1));
    return true;
}

