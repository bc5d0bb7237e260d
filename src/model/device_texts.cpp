#include "model/device.h"

#include <QCoreApplication>

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
