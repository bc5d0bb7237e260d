#include "device.h"

#include "debugqtstream.h"
#include "port.h"
#include "utils.h"

#include <QDate>
#include <QDateTime>
#include <QMutexLocker>
#include <QTime>

#include <cmath>
#include <limits>

namespace {

const QString AddressKey = QStringLiteral("address");
const QString DeviceIdKey = QStringLiteral("deviceID");
const QString TagKey = QStringLiteral("tag");
const QString ModifyCountKey = QStringLiteral("modify_count");
const QString ParameterTypesKey = QStringLiteral("parameter_types");

} // namespace

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
    // Data-point items come with their own class; until then a device takes no children.
    return nullptr;
}

QString Device::readCommandName(int command)
{
    Q_UNUSED(command)
    return QString();
}

QString Device::writeCommandName(int command)
{
    Q_UNUSED(command)
    return QString();
}

bool Device::readDevice(int command)
{
    DEBUGQT_LOG(1) << "*** no transaction path for reading command" << command;
    return false;
}

bool Device::writeDevice(int command)
{
    DEBUGQT_LOG(1) << "*** no transaction path for writing command" << command;
    return false;
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

QString Device::templateName() const
{
    QMutexLocker locker(&m_dataLock);
    return m_templateName;
}

void Device::setTemplate(const QString &name)
{
    {
        QMutexLocker locker(&m_dataLock);
        m_templateName = name;
    }
    emit deviceTemplateChanged(name);
}

int Device::address() const { return property("address").toInt(); }
void Device::setAddress(int address) { setProperty("address", address); }
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

QByteArray Device::uniqueAddress() const
{
    QMutexLocker locker(&m_dataLock);
    return m_uniqueAddress;
}

void Device::setUniqueAddress(const QByteArray &address)
{
    QMutexLocker locker(&m_dataLock);
    m_uniqueAddress = address;
}

QByteArray Device::deviceId() const
{
    QMutexLocker locker(&m_dataLock);
    return m_deviceId;
}

void Device::setDeviceId(const QByteArray &id)
{
    QMutexLocker locker(&m_dataLock);
    m_deviceId = id;
}

QByteArray Device::expandedDeviceType() const
{
    QMutexLocker locker(&m_dataLock);
    return m_expandedDeviceType;
}

void Device::setExpandedDeviceType(const QByteArray &type)
{
    QMutexLocker locker(&m_dataLock);
    m_expandedDeviceType = type;
}

QByteArray Device::vendorId() const
{
    QMutexLocker locker(&m_dataLock);
    return m_vendorId;
}

void Device::setVendorId(const QByteArray &id)
{
    QMutexLocker locker(&m_dataLock);
    m_vendorId = id;
}

QVariantMap Device::parameters() const
{
    QMutexLocker locker(&m_dataLock);
    return m_parameters;
}

QVariant Device::parameter(const QString &key) const
{
    QMutexLocker locker(&m_dataLock);
    return m_parameters.value(key);
}

void Device::setParameter(const QString &key, const QVariant &value)
{
    QMutexLocker locker(&m_dataLock);
    m_parameters.insert(key, value);
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

QStringList Device::logLines() const
{
    QMutexLocker locker(&m_dataLock);
    return m_log;
}

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

QByteArray Device::lastStatusBytes() const
{
    QMutexLocker locker(&m_dataLock);
    return m_statusBytes;
}

QStringList Device::lastStatusTexts() const
{
    QMutexLocker locker(&m_dataLock);
    return m_statusTexts;
}

void Device::setLastStatus(const QByteArray &bytes, const QStringList &texts)
{
    QMutexLocker locker(&m_dataLock);
    m_statusBytes = bytes;
    m_statusTexts = texts;
}

QByteArray Device::storedStatusBytes() const
{
    QMutexLocker locker(&m_dataLock);
    return m_storedStatusBytes;
}

void Device::setStoredStatusBytes(const QByteArray &bytes)
{
    QMutexLocker locker(&m_dataLock);
    m_storedStatusBytes = bytes;
}

QString Device::additionalStatusText() const
{
    QMutexLocker locker(&m_dataLock);
    return m_additionalStatusText;
}

void Device::setAdditionalStatusText(const QString &text)
{
    QMutexLocker locker(&m_dataLock);
    m_additionalStatusText = text;
}

void Device::reportAdditionalStatus()
{
    const QString text = additionalStatusText();
    if (text.isEmpty())
        return;
    logMessage(QStringLiteral("\n--- ") + tr("Additional status info:") + QLatin1Char('\n') + text);
    emit deviceStatus(QLatin1Char('\n') + text + QLatin1Char('\n'), lastStatusBytes());
}

QVariantMap Device::measureInfo() const
{
    QMutexLocker locker(&m_dataLock);
    return m_measureInfo;
}

void Device::setMeasureInfo(const QVariantMap &info)
{
    QMutexLocker locker(&m_dataLock);
    m_measureInfo = info;
}

// ---------------------------------------------------------------------------------------------
// Text tables of HART codes

namespace {

struct CodeText
{
    int code;
    const char *text;
};

// Unit codes outside the classification-dependent range 170..219.
const CodeText UnitTexts[] = {
    {1, QT_TRANSLATE_NOOP("Device", "inchWS")},    {2, QT_TRANSLATE_NOOP("Device", "inchHg")},
    {4, QT_TRANSLATE_NOOP("Device", "mmWS")},      {5, QT_TRANSLATE_NOOP("Device", "mmHg")},
    {6, QT_TRANSLATE_NOOP("Device", "lb/inch2")},  {7, QT_TRANSLATE_NOOP("Device", "bar")},
    {8, QT_TRANSLATE_NOOP("Device", "mbar")},      {10, QT_TRANSLATE_NOOP("Device", "kgf/sm2")},
    {11, QT_TRANSLATE_NOOP("Device", "Pa")},       {12, QT_TRANSLATE_NOOP("Device", "kPa")},
    {17, QT_TRANSLATE_NOOP("Device", "l/min")},    {19, QT_TRANSLATE_NOOP("Device", "m3/h")},
    {24, QT_TRANSLATE_NOOP("Device", "l/s")},      {28, QT_TRANSLATE_NOOP("Device", "m3/s")},
    {29, QT_TRANSLATE_NOOP("Device", "m3/day")},   {36, QT_TRANSLATE_NOOP("Device", "mV")},
    {37, QT_TRANSLATE_NOOP("Device", "Om")},       {39, QT_TRANSLATE_NOOP("Device", "mA")},
    {40, QT_TRANSLATE_NOOP("Device", "gallons")},  {41, QT_TRANSLATE_NOOP("Device", "l")},
    {43, QT_TRANSLATE_NOOP("Device", "m3")},       {45, QT_TRANSLATE_NOOP("Device", "m")},
    {46, QT_TRANSLATE_NOOP("Device", "bbls")},     {47, QT_TRANSLATE_NOOP("Device", "inches")},
    {48, QT_TRANSLATE_NOOP("Device", "cm")},       {49, QT_TRANSLATE_NOOP("Device", "mm")},
    {50, QT_TRANSLATE_NOOP("Device", "minutes")},  {51, QT_TRANSLATE_NOOP("Device", "seconds")},
    {52, QT_TRANSLATE_NOOP("Device", "hours")},    {53, QT_TRANSLATE_NOOP("Device", "days")},
    {56, QT_TRANSLATE_NOOP("Device", "mcS")},      {57, QT_TRANSLATE_NOOP("Device", "%")},
    {58, QT_TRANSLATE_NOOP("Device", "V")},        {60, QT_TRANSLATE_NOOP("Device", "g")},
    {61, QT_TRANSLATE_NOOP("Device", "kg")},       {62, QT_TRANSLATE_NOOP("Device", "tons")},
    {66, QT_TRANSLATE_NOOP("Device", "mS/cm")},    {67, QT_TRANSLATE_NOOP("Device", "mcS/cm")},
    {70, QT_TRANSLATE_NOOP("Device", "g/s")},      {71, QT_TRANSLATE_NOOP("Device", "g/min")},
    {72, QT_TRANSLATE_NOOP("Device", "g/h")},      {73, QT_TRANSLATE_NOOP("Device", "kg/s")},
    {74, QT_TRANSLATE_NOOP("Device", "kg/min")},   {75, QT_TRANSLATE_NOOP("Device", "kg/h")},
    {91, QT_TRANSLATE_NOOP("Device", "g/cm3")},    {92, QT_TRANSLATE_NOOP("Device", "kg/m3")},
    {95, QT_TRANSLATE_NOOP("Device", "g/ml")},     {96, QT_TRANSLATE_NOOP("Device", "kg/l")},
    {97, QT_TRANSLATE_NOOP("Device", "g/l")},      {113, QT_TRANSLATE_NOOP("Device", "in3")},
    {131, QT_TRANSLATE_NOOP("Device", "m3/min")},  {132, QT_TRANSLATE_NOOP("Device", "bbls/s")},
    {133, QT_TRANSLATE_NOOP("Device", "bbls/min")}, {134, QT_TRANSLATE_NOOP("Device", "bbls/h")},
    {135, QT_TRANSLATE_NOOP("Device", "bbls/day")}, {138, QT_TRANSLATE_NOOP("Device", "l/h")},
    {139, QT_TRANSLATE_NOOP("Device", "ppm")},     {146, QT_TRANSLATE_NOOP("Device", "mcg/l")},
    {147, QT_TRANSLATE_NOOP("Device", "mcg/m3")},  {163, QT_TRANSLATE_NOOP("Device", "kOm")},
    {169, QT_TRANSLATE_NOOP("Device", "ppb")},     {237, QT_TRANSLATE_NOOP("Device", "MPa")},
};

const CodeText ClassificationTexts[] = {
    {0, QT_TRANSLATE_NOOP("Device", "Not Classified")},   {64, QT_TRANSLATE_NOOP("Device", "Temperature")},
    {65, QT_TRANSLATE_NOOP("Device", "Pressure")},        {66, QT_TRANSLATE_NOOP("Device", "Volumetric Flow")},
    {67, QT_TRANSLATE_NOOP("Device", "Velocity")},        {68, QT_TRANSLATE_NOOP("Device", "Volume")},
    {69, QT_TRANSLATE_NOOP("Device", "Length")},          {70, QT_TRANSLATE_NOOP("Device", "Time")},
    {71, QT_TRANSLATE_NOOP("Device", "Mass")},            {72, QT_TRANSLATE_NOOP("Device", "Mass Flow")},
    {73, QT_TRANSLATE_NOOP("Device", "Mass Per Volume")}, {74, QT_TRANSLATE_NOOP("Device", "Viscosity")},
    {75, QT_TRANSLATE_NOOP("Device", "Angular Velocity")}, {76, QT_TRANSLATE_NOOP("Device", "Area")},
    {77, QT_TRANSLATE_NOOP("Device", "Energy (Work)")},   {78, QT_TRANSLATE_NOOP("Device", "Force")},
    {79, QT_TRANSLATE_NOOP("Device", "Power")},           {80, QT_TRANSLATE_NOOP("Device", "Frequency")},
    {81, QT_TRANSLATE_NOOP("Device", "Analytical")},      {82, QT_TRANSLATE_NOOP("Device", "Capacitance")},
    {83, QT_TRANSLATE_NOOP("Device", "Emf")},             {84, QT_TRANSLATE_NOOP("Device", "Current")},
    {85, QT_TRANSLATE_NOOP("Device", "Resistance")},      {86, QT_TRANSLATE_NOOP("Device", "Angle")},
    {87, QT_TRANSLATE_NOOP("Device", "Conductance")},     {88, QT_TRANSLATE_NOOP("Device", "Volume Per Volume")},
    {89, QT_TRANSLATE_NOOP("Device", "Volume Per Mass")}, {90, QT_TRANSLATE_NOOP("Device", "Concentration")},
    {91, QT_TRANSLATE_NOOP("Device", "Valve Actuator")},  {92, QT_TRANSLATE_NOOP("Device", "Level")},
    {93, QT_TRANSLATE_NOOP("Device", "Vortex Flow")},     {94, QT_TRANSLATE_NOOP("Device", "Mag Flow")},
    {95, QT_TRANSLATE_NOOP("Device", "Coriolis Flow")},   {97, QT_TRANSLATE_NOOP("Device", "Turbidity")},
    {250, QT_TRANSLATE_NOOP("Device", "Not used")},
};

const CodeText FamilyTexts[] = {
    {4, QT_TRANSLATE_NOOP("Device", "Temperature")},         {5, QT_TRANSLATE_NOOP("Device", "Pressure")},
    {6, QT_TRANSLATE_NOOP("Device", "Valve / Actuator")},    {7, QT_TRANSLATE_NOOP("Device", "Simple PID Control")},
    {8, QT_TRANSLATE_NOOP("Device", "pH")},                  {9, QT_TRANSLATE_NOOP("Device", "Conductivity")},
    {10, QT_TRANSLATE_NOOP("Device", "Totalizer")},          {11, QT_TRANSLATE_NOOP("Device", "Level")},
    {12, QT_TRANSLATE_NOOP("Device", "Vortex Flow")},        {13, QT_TRANSLATE_NOOP("Device", "Mag Flow")},
    {14, QT_TRANSLATE_NOOP("Device", "Coriolis Flow")},      {250, QT_TRANSLATE_NOOP("Device", "Not Used")},
};

const CodeText AlarmSelectionTexts[] = {
    {0, QT_TRANSLATE_NOOP("Device", "High")},    {1, QT_TRANSLATE_NOOP("Device", "Low")},
    {239, QT_TRANSLATE_NOOP("Device", "Hold Last Output Value")},
    {250, QT_TRANSLATE_NOOP("Device", "Not Used")}, {251, QT_TRANSLATE_NOOP("Device", "None")},
    {252, QT_TRANSLATE_NOOP("Device", "Unknown")}, {253, QT_TRANSLATE_NOOP("Device", "Special")},
};

const char *const QualityTexts[] = {
    QT_TRANSLATE_NOOP("Device", "Bad"), QT_TRANSLATE_NOOP("Device", "Poor Accuracy"),
    QT_TRANSLATE_NOOP("Device", "Manual/Fixed"), QT_TRANSLATE_NOOP("Device", "Good")};

const char *const LimitTexts[] = {
    QT_TRANSLATE_NOOP("Device", "Not Limited"), QT_TRANSLATE_NOOP("Device", "Low Limited"),
    QT_TRANSLATE_NOOP("Device", "High Limited"), QT_TRANSLATE_NOOP("Device", "Constant")};

const char *const Reserved = QT_TRANSLATE_NOOP("Device", "Reserved");

template<std::size_t N>
const char *findText(const CodeText (&table)[N], int code)
{
    for (const CodeText &entry : table) {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}

QString unknownText()
{
    return QStringLiteral("?");
}

} // namespace

QString Device::unitText(int unitCode, int classificationCode)
{
    const int unit = unitCode & 0xFF;
    const int classification = classificationCode & 0xFF;
    if (unit >= 170 && unit <= 219) {
        // This range means different units for different variable classifications.
        switch (classification) {
        case 85:
            return unit == 170 ? tr("MOm") : QString();
        case 73:
            return unit == 170 ? tr("mg/l") : QString();
        case 97:
            if (unit == 170)
                return QStringLiteral("FNU");
            if (unit == 171)
                return QStringLiteral("FTU");
            if (unit == 172)
                return QStringLiteral("NTU");
            return QString();
        default:
            return unknownText();
        }
    }
    if (unit == 32)
        return QStringLiteral("°C");
    if (unit == 59)
        return QStringLiteral("pH");
    const char *text = findText(UnitTexts, unit);
    return text ? tr(text) : unknownText();
}

QString Device::familyText(int code)
{
    code &= 0xFF;
    if (code <= 3 || (code >= 132 && code <= 249))
        return tr(Reserved);
    const char *text = findText(FamilyTexts, code);
    return text ? tr(text) : unknownText();
}

QString Device::classificationText(int code)
{
    code &= 0xFF;
    if (code >= 1 && code <= 63)
        return tr(Reserved);
    const char *text = findText(ClassificationTexts, code);
    return text ? tr(text) : unknownText();
}

QString Device::variableStatusText(int status)
{
    return tr(QualityTexts[(status >> 6) & 0x03]) + QStringLiteral(" | ") + tr(LimitTexts[(status >> 4) & 0x03]);
}

QString Device::alarmSelectionText(int code)
{
    code &= 0xFF;
    if (code >= 240 && code <= 249)
        return tr("Manufacturer Specific");
    const char *text = findText(AlarmSelectionTexts, code);
    return text ? tr(text) : unknownText();
}

QString Device::unitTextOf(const QString &unitKey, const QString &classKey) const
{
    return unitText(parameterInt(unitKey), parameterInt(classKey));
}

QString Device::pvUnitText() const
{
    return unitTextOf(QStringLiteral("PV_unit_code"), QStringLiteral("PV_class_code"));
}

QString Device::svUnitText() const
{
    return unitTextOf(QStringLiteral("SV_unit_code"), QStringLiteral("SV_class_code"));
}

QString Device::tvUnitText() const
{
    return unitTextOf(QStringLiteral("TV_unit_code"), QStringLiteral("TV_class_code"));
}

QString Device::qvUnitText() const
{
    return unitTextOf(QStringLiteral("QV_unit_code"), QStringLiteral("QV_class_code"));
}

QString Device::calibrateUnitText() const
{
    return unitText(parameterInt(QStringLiteral("calibrate_unit_code")), 0);
}

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
    setAddress(map.value(QStringLiteral("polling_address")).toInt());
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
