#include "model/device.h"

#include "model/tag.h"

#include "core/debugqtstream.h"
#include "model/port.h"
#include "core/utils.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QSemaphoreReleaser>
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
    auto *tag = new Tag(this);
    connect(tag, &ServerItem::modified, this, &ServerItem::modified);
    return tag;
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

void Device::replaceParameters(const QVariantMap &parameters)
{
    QMutexLocker locker(&m_dataLock);
    m_parameters = parameters;
}

void Device::insertParameters(const QVariantMap &parameters)
{
    QMutexLocker locker(&m_dataLock);
    m_parameters.insert(parameters);
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

// ---------------------------------------------------------------------------------------------
// Transactions

namespace {

const char *const ResetKeyword = QT_TRANSLATE_NOOP("Device", "reset");
const char *const StartKeyword = QT_TRANSLATE_NOOP("Device", "start");
const char *const GetKeyword = QT_TRANSLATE_NOOP("Device", "get");

QString lines(const QStringList &texts)
{
    return texts.join(QLatin1Char('\n'));
}

} // namespace

Device::LineSettings Device::lineSettings() const
{
    QMutexLocker locker(&m_dataLock);
    return m_lineSettings;
}

void Device::setLineSettingsFromPort(const Port *line)
{
    LineSettings settings;
    settings.defined = true;
    settings.serialName = line->property("serial_name").toString();
    settings.baudrate = line->property("baudrate").toInt();
    settings.databits = line->property("databits").toInt();
    settings.parity = line->property("parity").toChar();
    settings.stopbits = line->property("stopbits").toInt();
    QMutexLocker locker(&m_dataLock);
    m_lineSettings = settings;
}

QByteArray Device::requestAddress() const
{
    // A device never identified is reached in a short frame at its own polling address, so its
    // request cannot reach another instrument of a multidrop line.
    const QByteArray unique = uniqueAddress();
    if (unique.size() >= 5)
        return unique;
    return QByteArray(1, char(address() & 0x3F));
}

bool Device::openPort(int baudrateIndex, int parityIndex)
{
    Port *line = port();
    if (!line)
        return false;
    if (deviceId().isEmpty() && baudrateIndex != -1 && parityIndex != -1)
        return openPortWith(line, baudrateIndex, parityIndex);
    return openPortOwnSettings(line);
}

bool Device::openPortDefault()
{
    if (!openPort(0, 3))
        return false;
    port()->setProperty("databits", 8);
    port()->setProperty("stopbits", 1);
    return true;
}

bool Device::openPortWith(Port *line, int baudrateIndex, int parityIndex)
{
    DEBUGQT_LOG(4) << "baudrate index:" << baudrateIndex << "parity index:" << parityIndex;
    if (line->isOpened()
        && (line->baudrateIndex(-1) != baudrateIndex || line->parityIndex(QLatin1Char(' ')) != parityIndex))
        line->closeHart();
    if (!line->isOpened()) {
        line->setBaudrateIndex(baudrateIndex);
        line->setParityIndex(parityIndex);
        if (!line->openHart())
            return failOpen(line);
    }
    setLineSettingsFromPort(line);
    return true;
}

bool Device::openPortOwnSettings(Port *line)
{
    // A device that was never opened with explicit settings (one loaded from a configuration
    // with its device ID, for instance) has none of its own: it takes the port's current ones
    // rather than compare against or apply undefined values.
    if (!lineSettings().defined)
        setLineSettingsFromPort(line);
    const LineSettings own = lineSettings();
    const bool differs = line->property("serial_name").toString() != own.serialName
                         || line->property("baudrate").toInt() != own.baudrate
                         || line->property("parity").toChar() != own.parity
                         || line->property("databits").toInt() != own.databits
                         || line->property("stopbits").toInt() != own.stopbits;
    if (line->isOpened() && differs)
        line->closeHart();
    if (line->isOpened())
        return true;
    line->setProperty("baudrate", own.baudrate);
    line->setProperty("parity", own.parity);
    line->setProperty("databits", own.databits);
    line->setProperty("stopbits", own.stopbits);
    if (line->openHart())
        return true;
    return failOpen(line);
}

bool Device::failOpen(Port *line)
{
    const QString text = line->lastErrorText();
    setLastErrorText(text);
    DEBUGQT_LOG(1) << QStringLiteral("error open port '%1' - %2").arg(line->name(), text);
    setResult(ResultLinkError);
    if (!deviceId().isEmpty())
        clearIdentity();
    logMessage(text);
    return false;
}

void Device::logLinkLines(const Port *line)
{
    if (!line->hartPort.txLogLine.isEmpty())
        logMessage(line->hartPort.txLogLine);
    if (!line->hartPort.rxLogLine.isEmpty())
        logMessage(line->hartPort.rxLogLine);
}

void Device::recordOutcome(Port *line)
{
    setLastErrorText(line->lastErrorText());
    setLastStatus(line->hartPort.status, line->hartPort.statusTexts);
    setResult(line->result());
}

void Device::recordRefusedIdentity(const Port *line)
{
    // The port reports success for a check that was refused before any exchange (a tag that
    // packed ASCII cannot carry) or whose identity reply was too short; the device must not
    // show it as a success.
    const bool shortIdentity = line->hartPort.errorCode == -2;
    QString text = line->lastErrorText();
    if (text.isEmpty())
        text = shortIdentity ? line->hartPort.errorText : QStringLiteral("*** pack/unpack error!");
    setLastErrorText(text);
    setResult(shortIdentity ? -2 : ResultConfigError);
}

int Device::read(const QString &name, int command, QByteArray &reply)
{
    return transaction(Direction::Read, name, command, QByteArray(), reply);
}

int Device::write(const QString &name, int command, const QByteArray &request, QByteArray &reply)
{
    return transaction(Direction::Write, name, command, request, reply);
}

int Device::transaction(Direction direction, const QString &name, int command, const QByteArray &request,
                        QByteArray &reply)
{
    setProcessingTime(0);
    QElapsedTimer timer;
    timer.start();
    Port *line = port();
    if (!line) {
        DEBUGQT_LOG(1) << "*** a device without a port cannot send command" << command;
        setResult(ResultLinkError);
        return ResultLinkError;
    }

    line->transactionSemaphore.acquire();
    QSemaphoreReleaser permit(line->transactionSemaphore);

    if (openPort(-1, -1)) {
        const QString commandText = QString::number(command);
        if (direction == Direction::Read) {
            logMessage(QLatin1Char('\n') + tr("reading %1 (cmd=%2)...").arg(name, commandText));
        } else {
            const bool keyword = name.contains(tr(ResetKeyword)) || name.contains(tr(StartKeyword))
                                 || name.contains(tr(GetKeyword));
            const QString action = keyword ? name : tr("writing %1").arg(name);
            logMessage(QLatin1Char('\n') + tr("%1 (cmd=%2)...").arg(action, commandText));
        }
        line->sendCommand(requestAddress(), quint8(command), request, &reply);
        setProcessingTime(int(timer.elapsed()));
        logLinkLines(line);
        emit deviceStatus(lines(line->hartPort.statusTexts), line->hartPort.status);
        if (line->statusByte(0) != 0 || line->statusByte(1) != 0) {
            logMessage(tr("Device status: [%1]").arg(Utils::bufferToHex(line->hartPort.status).toUpper()));
            logMessage(lines(line->hartPort.statusTexts));
        }
    }

    recordOutcome(line);
    const int code = line->result();
    if (code == ResultSuccess) {
        logMessage(tr("Success (processing time: %1ms)").arg(processingTime()));
        addStateFlags(direction == Direction::Read ? StateReadFromDevice : StateSavedInDevice);
    } else {
        logTransactionError(direction, name, command);
    }
    if (closePortAfterTransaction() && line->isOpened())
        line->closeHart();
    return code;
}

void Device::logTransactionError(Direction direction, const QString &name, int command)
{
    const QString code = QString::number(result());
    const QString commandText = QString::number(command);
    const QString errorText = lastErrorText();
    const QString timeLine = tr("\nError (processing time: %1ms)").arg(processingTime());
    QString message;
    QString signalText;
    if (direction == Direction::Read) {
        DEBUGQT_LOG(1) << QStringLiteral("error %1 reading cmd=%2 (%3ms)").arg(code, commandText).arg(processingTime());
        message = tr("error %1 reading '%2' - %3").arg(code, name, errorText);
        signalText = tr("error %1 executing cmd=%2 - %3").arg(code, commandText, errorText);
    } else {
        DEBUGQT_LOG(1) << QStringLiteral("error %1 writing cmd=%2 (%3ms)").arg(code, commandText).arg(processingTime());
        const bool reset = name.contains(tr(ResetKeyword));
        const bool get = name.contains(tr(GetKeyword));
        const bool keyword = reset || get || name.contains(tr(StartKeyword));
        const QString verb = keyword ? QString() : tr("writing");
        message = tr("error %1 %2 %3 - %4").arg(code, verb, name, errorText);
        if (reset)
            message.replace(tr("writing"), tr("executing"));
        if (get)
            message.remove(tr("writing"));
        signalText = tr("error executing cmd=%1 - %2").arg(commandText, errorText);
    }
    logMessage(message + timeLine);
    emit deviceError(signalText.replace(QStringLiteral(" - "), QStringLiteral("\n")));
}

bool Device::findDevice()
{
    return identify(73, QString(), QString(), true);
}

bool Device::checkDevice(const QString &tag, const QString &longTag, bool clearParameters)
{
    const int command = !tag.isEmpty() ? 11 : (!longTag.isEmpty() ? 21 : 0);
    return identify(command, tag, longTag, clearParameters);
}

bool Device::identify(int command, const QString &tag, const QString &longTag, bool clearParameters)
{
    resetState();
    Port *line = port();
    if (!line)
        return false;
    line->transactionSemaphore.acquire();
    QSemaphoreReleaser permit(line->transactionSemaphore);

    bool ok = false;
    if (openPortDefault()) {
        setProcessingTime(0);
        QElapsedTimer timer;
        timer.start();
        if (clearParameters)
            replaceParameters(QVariantMap());
        ok = runIdentityCheck(line, command, tag, longTag);
        logLinkLines(line);
        logIdentityOutcome(line, command, ok);

        setProcessingTime(int(timer.elapsed()));
        emit deviceError(line->lastErrorText());
        emit deviceStatus(lines(line->hartPort.statusTexts), line->hartPort.status);
        if (command != 73 && (line->statusByte(0) != 0 || line->statusByte(1) != 0))
            logMessage(lines(line->hartPort.statusTexts));
        recordOutcome(line);
        if (!ok && line->result() == ResultSuccess)
            recordRefusedIdentity(line);
    }
    if (closePortAfterTransaction() && line->isOpened())
        line->closeHart();
    return ok;
}

bool Device::runIdentityCheck(Port *line, int command, const QString &tag, const QString &longTag)
{
    const QString settings = line->settingsText();
    QVariantMap identity;
    bool ok = false;
    switch (command) {
    case 73:
        logMessage(tr("Try to check %1 via %3 ...").arg(name(), settings));
        ok = line->findDevice(&identity);
        break;
    case 11:
        logMessage(QLatin1Char('\n') + tr("Try to check %1 by tag '%2' via %3 ...").arg(name(), tag, settings));
        ok = line->checkHartDeviceByTag(tag, &identity);
        break;
    case 21:
        logMessage(QLatin1Char('\n') + tr("Try to check %1 by long tag '%2' via %3 ...").arg(name(), longTag, settings));
        ok = line->checkHartDeviceByLongTag(longTag, &identity);
        break;
    default:
        logMessage(QLatin1Char('\n')
                   + tr("Try to check %1 at address %2 via %3 ...").arg(name(), QString::number(address()), settings));
        ok = line->checkHartDevice(quint8(address()), &identity);
        break;
    }
    insertParameters(identity);
    return ok;
}

void Device::logIdentityOutcome(const Port *line, int command, bool ok)
{
    if (!ok) {
        setLastErrorText(line->lastErrorText());
        if (command != 73) {
            const QString failure = tr("Get device ID by cmd %1 error:").arg(command);
            logMessage(failure);
            logMessage(line->lastErrorText());
            emit deviceError(failure);
        } else {
            logMessage(line->lastErrorText());
        }
        return;
    }
    setUniqueAddress(parameterByteArray(AddressKey));
    setDeviceId(parameterByteArray(DeviceIdKey));
    if (command == 73) {
        logMessage(tr("Checked successfully - %1!").arg(Utils::bufferToHex(uniqueAddress())));
        return;
    }
    setVendorId(parameterByteArray(QStringLiteral("vendorID")));
    setExpandedDeviceType(parameterByteArray(QStringLiteral("expanded_device_type")));
    const auto extended = quint8(parameterInt(QStringLiteral("extended_status")));
    logMessage(tr("Checked successfully - %1 (%2 %3 exts:%4)!")
                   .arg(Utils::bufferToHex(uniqueAddress()), Utils::bufferToHex(expandedDeviceType()),
                        Utils::bufferToHex(vendorId()), Utils::hexByte(extended)));
}

// ---------------------------------------------------------------------------------------------
// Universal and common-practice commands

namespace {

const CodeText ReadCommandNames[] = {
    {0, QT_TRANSLATE_NOOP("Device", "device identifier")},
    {1, QT_TRANSLATE_NOOP("Device", "PV")},
    {2, QT_TRANSLATE_NOOP("Device", "output current")},
    {3, QT_TRANSLATE_NOOP("Device", "device variables & output current")},
    {7, QT_TRANSLATE_NOOP("Device", "polling address")},
    {8, QT_TRANSLATE_NOOP("Device", "dynamic variable classifications")},
    {12, QT_TRANSLATE_NOOP("Device", "message")},
    {13, QT_TRANSLATE_NOOP("Device", "tag, descriptor, data")},
    {14, QT_TRANSLATE_NOOP("Device", "PV sensor info (number & range)")},
    {15, QT_TRANSLATE_NOOP("Device", "output info (range & damping time)")},
    {16, QT_TRANSLATE_NOOP("Device", "final assembly number")},
    {20, QT_TRANSLATE_NOOP("Device", "long tag")},
    {48, QT_TRANSLATE_NOOP("Device", "device status info")},
    {50, QT_TRANSLATE_NOOP("Device", "dynamic variable assignments")},
    {73, QT_TRANSLATE_NOOP("Device", "find device")},
};

const CodeText WriteCommandNames[] = {
    {6, QT_TRANSLATE_NOOP("Device", "polling address")},
    {9, QT_TRANSLATE_NOOP("Device", "get device variables with status")},
    {11, QT_TRANSLATE_NOOP("Device", "get device identifier by tag")},
    {17, QT_TRANSLATE_NOOP("Device", "message")},
    {18, QT_TRANSLATE_NOOP("Device", "tag, descriptor, data")},
    {19, QT_TRANSLATE_NOOP("Device", "final assembly number")},
    {21, QT_TRANSLATE_NOOP("Device", "get device identifier by long tag")},
    {22, QT_TRANSLATE_NOOP("Device", "long tag")},
    {33, QT_TRANSLATE_NOOP("Device", "get device variables")},
    {34, QT_TRANSLATE_NOOP("Device", "damping value")},
    {35, QT_TRANSLATE_NOOP("Device", "range (min / max)")},
    {36, QT_TRANSLATE_NOOP("Device", "PV as upper range value")},
    {37, QT_TRANSLATE_NOOP("Device", "PV as lower range value")},
    {38, QT_TRANSLATE_NOOP("Device", "reset config changed flag ")},
    {40, QT_TRANSLATE_NOOP("Device", "set fixed current")},
    {41, QT_TRANSLATE_NOOP("Device", "start device self test")},
    {42, QT_TRANSLATE_NOOP("Device", "reset device")},
    {43, QT_TRANSLATE_NOOP("Device", "adjust zero")},
    {44, QT_TRANSLATE_NOOP("Device", "PV unit code")},
    {45, QT_TRANSLATE_NOOP("Device", "adjust current 4 mA")},
    {46, QT_TRANSLATE_NOOP("Device", "adjust current 20 mA")},
    {47, QT_TRANSLATE_NOOP("Device", "PV transfer function")},
    {48, QT_TRANSLATE_NOOP("Device", "reset additional status flag ")},
    {49, QT_TRANSLATE_NOOP("Device", "sensor number")},
    {51, QT_TRANSLATE_NOOP("Device", "dynamic variable assignments")},
    {53, QT_TRANSLATE_NOOP("Device", "device variable units")},
    {54, QT_TRANSLATE_NOOP("Device", "get device variable information")},
    {59, QT_TRANSLATE_NOOP("Device", "response preambles count")},
    {129, QT_TRANSLATE_NOOP("Device", "set write protection by HART protocol")},
};

constexpr int ShortTagCharacters = 8;
constexpr int DescriptorCharacters = 16;
constexpr int MessageCharacters = 32;
constexpr int LongTagBytes = 32;
constexpr int NotUsedSlotCode = 250;

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

QString Device::readCommandName(int command)
{
    const char *text = findText(ReadCommandNames, command);
    return text ? tr(text) : QString();
}

QString Device::writeCommandName(int command)
{
    const char *text = findText(WriteCommandNames, command);
    return text ? tr(text) : QString();
}

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

bool Device::decodeReadReply(int command, const QByteArray &reply)
{
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

    const QByteArray request = writeRequest(command);
    QByteArray reply;
    if (write(name, command, request, reply) != ResultSuccess)
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

QByteArray Device::writeRequest(int command) const
{
    Port *line = port();
    // Texts are cut to their field so that an over-long one cannot shift the fields behind it.
    auto packed = [&](const char *key, int characters) {
        const QString text = parameterString(QLatin1String(key)).left(characters);
        return line->packAscii(text.leftJustified(characters, QLatin1Char(' ')));
    };
    auto byteOf = [&](const char *key) { return QByteArray(1, lowByte(parameterInt(QLatin1String(key)))); };
    auto floatOf = [&](const char *key) { return Port::getBufferFromFloat(parameterFloat(QLatin1String(key))); };

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
    return statusBytes.size() >= 2 && (quint8(statusBytes.at(1)) & 0x10) != 0;
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

// ---------------------------------------------------------------------------------------------
// Snapshots, the older loader and operations for outside callers

namespace {

const QString StateFlagsKey = QStringLiteral("device_tag_state");

} // namespace

void Device::clearMeasureInfo()
{
    QMutexLocker locker(&m_dataLock);
    m_secondSnapshot.clear();
}

void Device::loadDeviceSettings(const QVariantMap &map)
{
    setName(map.value(QStringLiteral("name")).toString());
    setAddress(map.value(QStringLiteral("polling_address")).toInt());
    setEnabled(map.value(QStringLiteral("enabled")).toBool());
    setProperty("priority", map.value(QStringLiteral("priority")).toInt());
    setPollingPeriod(map.value(QStringLiteral("polling_period")).toInt());
    setProducer(map.value(QStringLiteral("producer")).toString());
    setComment(map.value(QStringLiteral("comment")).toString());
}

bool Device::loadKeepingSettings(const QVariantMap &map)
{
    const QVariantMap own = save();
    const QString previousName = name();
    const bool loaded = load(map);
    loadDeviceSettings(own);
    if (!previousName.isEmpty())
        setName(previousName);
    return loaded;
}

QVariantMap Device::snapshot() const
{
    QVariantMap map = save();
    map.insert(StateFlagsKey, stateFlags());
    return map;
}

bool Device::restoreSnapshot(const QVariantMap &snapshot)
{
    if (snapshot.isEmpty())
        return false;
    const QVariantMap current = this->snapshot();
    {
        QMutexLocker locker(&m_dataLock);
        m_redoMap = current;
    }
    const bool loaded = load(snapshot);
    setStateFlags(snapshot.value(StateFlagsKey, int(StateInitial)).toInt());
    return loaded;
}

void Device::takeFirstSnapshot()
{
    const QVariantMap map = snapshot();
    QMutexLocker locker(&m_dataLock);
    m_firstSnapshot = map;
}

void Device::takeSecondSnapshot()
{
    const QVariantMap map = snapshot();
    QMutexLocker locker(&m_dataLock);
    m_secondSnapshot = map;
}

bool Device::restoreFirstSnapshot()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_firstSnapshot;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::restoreSecondSnapshot()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_secondSnapshot;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::loadWithUndo(const QVariantMap &map)
{
    const QVariantMap current = snapshot();
    {
        QMutexLocker locker(&m_dataLock);
        m_undoMap = current;
        m_redoMap.clear();
    }
    const bool loaded = load(map);
    addStateFlags(StateChanged);
    emit modified();
    return loaded;
}

bool Device::undo()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_undoMap;
    locker.unlock();
    return restoreSnapshot(map);
}

bool Device::redo()
{
    QMutexLocker locker(&m_dataLock);
    const QVariantMap map = m_redoMap;
    locker.unlock();
    if (map.isEmpty())
        return false;
    const QVariantMap current = snapshot();
    const bool loaded = load(map);
    setStateFlags(map.value(StateFlagsKey, int(StateInitial)).toInt());
    QMutexLocker relock(&m_dataLock);
    m_undoMap = current;
    m_redoMap.clear();
    return loaded;
}

bool Device::hasFirstSnapshot() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_firstSnapshot.isEmpty();
}

bool Device::hasSecondSnapshot() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_secondSnapshot.isEmpty();
}

bool Device::hasUndo() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_undoMap.isEmpty();
}

bool Device::hasRedo() const
{
    QMutexLocker locker(&m_dataLock);
    return !m_redoMap.isEmpty();
}

bool Device::rename(const QString &name, bool keepOld)
{
    if (name.isEmpty() || !isNameFree(name))
        return false;
    if (!keepOld)
        setName(name);
    return true;
}

void Device::commentFromParameter()
{
    setComment(parameterString(QStringLiteral("comment")));
}

void Device::syncTimeoutsToPort()
{
    Port *line = port();
    if (!line)
        return;
    const int response = responceTimeout() < 1 ? 370 : responceTimeout();
    const int byte = byteTimeout() < 1 ? 50 : byteTimeout();
    if (line->hartPort.property("response_timeout").toInt() != response)
        line->hartPort.setProperty("response_timeout", response);
    if (line->hartPort.property("byte_timeout").toInt() != byte)
        line->hartPort.setProperty("byte_timeout", byte);
}

void Device::copyParametersToReference()
{
    QMutexLocker locker(&m_dataLock);
    m_referenceParameters = m_parameters;
}

bool Device::mergeFromReference()
{
    QMutexLocker locker(&m_dataLock);
    const QVariant own = m_parameters.value(AddressKey);
    const QVariant reference = m_referenceParameters.value(AddressKey);
    const QByteArray ownAddress = own.typeId() == QMetaType::QByteArray ? own.toByteArray() : QByteArray();
    const QByteArray referenceAddress =
        reference.typeId() == QMetaType::QByteArray ? reference.toByteArray() : QByteArray();
    if (ownAddress.isEmpty() || ownAddress != referenceAddress)
        return false;
    for (auto it = m_referenceParameters.cbegin(); it != m_referenceParameters.cend(); ++it) {
        if (!m_parameters.contains(it.key()))
            m_parameters.insert(it.key(), it.value());
    }
    return true;
}
