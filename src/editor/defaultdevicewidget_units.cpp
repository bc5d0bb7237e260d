#include "editor/defaultdevicewidget.h"

#include <QComboBox>
#include <QSignalBlocker>

// The engineering units the generic editor offers, grouped by HART device-variable class. The
// editor knows nothing of a device's own units, so it offers this fixed list; a unit is told by
// its (class, code) pair, since one code may stand for units of different classes.

namespace {

struct Unit
{
    int classCode;
    int id;
    const char *name;
    bool translated;
};

// Class 0 holds the special codes every class offers.
constexpr Unit Units[] = {
    {0, 0, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Null"), true},
    {0, 250, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Not Used"), true},
    {0, 251, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "None"), true},
    {0, 252, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Unknown"), true},
    {0, 253, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Special"), true},
    // temperature
    {64, 32, "°C", false},
    {64, 33, "°F", false},
    {64, 35, "°K", false},
    // pressure
    {65, 11, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Pa  (Pa)"), true},
    {65, 12, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kPa (kPa)"), true},
    {65, 237, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "MPa (MPa)"), true},
    {65, 10, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kgf/sm2 (kgf/sm2)"), true},
    {65, 8, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "mbar (mbar)"), true},
    {65, 7, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "bar (bar)"), true},
    {65, 4, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "mmWS (mmWS)"), true},
    {65, 1, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "inchWS (inchWS)"), true},
    {65, 5, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "mmHg (mmHg)"), true},
    {65, 2, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "inchHg (inchHg)"), true},
    {65, 6, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "psi (lb/inch2)"), true},
    // analytical
    {81, 59, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "pH"), true},
    {81, 57, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "% (percent)"), true},
    // voltage
    {83, 36, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "mV"), true},
    {83, 58, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "V"), true},
    // resistance
    {85, 163, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kOm"), true},
    {85, 170, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "MOm"), true},
    {85, 37, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Om"), true},
    // conductance
    {87, 56, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "microsiemens"), true},
    {87, 66, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "milli siemens per centimeter"), true},
    {87, 67, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "micro siemens per centimeter"), true},
    // mass per volume and concentration
    {73, 90, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "specific gravity units"), true},
    {73, 146, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "micrograms per liter"), true},
    {73, 147, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "micrograms per cubic meter"), true},
    {73, 170, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "milligrams per liter"), true},
    {73, 95, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per milliliter"), true},
    {73, 91, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per cubic centimeter"), true},
    {73, 97, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per liter"), true},
    {73, 92, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per cubic meter"), true},
    {73, 96, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per liter"), true},
    {73, 139, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "parts per million"), true},
    {73, 169, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "parts per billion"), true},
    // turbidity
    {97, 170, "FNU", false},
    {97, 171, "FTU", false},
    {97, 172, "NTU", false},
    // mass flow
    {72, 70, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per second"), true},
    {72, 71, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per minute"), true},
    {72, 72, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams per hour"), true},
    {72, 73, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per second"), true},
    {72, 74, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per minute"), true},
    {72, 75, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per hour"), true},
    {72, 76, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms per day"), true},
    // volumetric flow
    {66, 17, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "liters per minute"), true},
    {66, 24, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "liters per second"), true},
    {66, 138, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "liters per hour"), true},
    {66, 19, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic meter per hour"), true},
    {66, 28, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic meters per second"), true},
    {66, 29, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic meters per day"), true},
    {66, 131, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic meters per minute"), true},
    {66, 132, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "barrels per second"), true},
    {66, 133, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "barrels per minute"), true},
    {66, 134, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "barrels per hour"), true},
    {66, 135, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "barrels per day"), true},
    // volume
    {68, 40, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "gallons"), true},
    {68, 41, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "liters"), true},
    {68, 43, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic meters"), true},
    {68, 113, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "cubic inches"), true},
    {68, 46, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "barrels"), true},
    // length
    {69, 45, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "meters"), true},
    {69, 47, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "inches"), true},
    {69, 48, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "centimeters"), true},
    {69, 49, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "millimeters"), true},
    // mass
    {71, 60, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "grams"), true},
    {71, 61, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "kilograms"), true},
    {71, 62, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "metric tons"), true},
    // time
    {70, 50, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "minutes"), true},
    {70, 51, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "seconds"), true},
    {70, 52, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "hours"), true},
    {70, 53, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "days"), true},
};

struct TransferFunction
{
    int id;
    const char *name;
};

constexpr TransferFunction TransferFunctions[] = {
    {0, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Linear")},
    {1, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Square Root")},
    {2, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Square Root Third Power")},
    {3, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Square Root Fifth Power")},
    {4, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Special Curve")},
    {5, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Square")},
    {230, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Discrete (Switch)")},
    {250, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Not Used")},
    {251, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "None")},
    {252, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Unknown")},
    {253, QT_TRANSLATE_NOOP("DefaultDeviceWidget", "Special")},
};

const QString ClassKey = QStringLiteral("class");
const QString NameKey = QStringLiteral("name");
const QString IdKey = QStringLiteral("id");

} // namespace

QVariantList DefaultDeviceWidget::unitsCatalogue()
{
    QVariantList catalogue;
    catalogue.reserve(int(std::size(Units)));
    for (const Unit &unit : Units) {
        const QString name = unit.translated ? tr(unit.name) : QString::fromUtf8(unit.name);
        catalogue.append(QVariantMap{{ClassKey, unit.classCode}, {NameKey, name}, {IdKey, unit.id}});
    }
    return catalogue;
}

QVariantList DefaultDeviceWidget::transferFunctions()
{
    QVariantList functions;
    functions.reserve(int(std::size(TransferFunctions)));
    for (const TransferFunction &function : TransferFunctions)
        functions.append(QVariantMap{{NameKey, tr(function.name)}, {IdKey, function.id}});
    return functions;
}

void DefaultDeviceWidget::initUnitsCatalogue(int classificationCode, QComboBox *combo)
{
    const QVariantList catalogue = unitsCatalogue();
    if (combo) {
        fillUnitsCombo(catalogue, classificationCode, combo);
        return;
    }
    fillComboBoxFromMaps(catalogue, cmbInputUnits);
    fillComboBoxFromMaps(catalogue, cmbDevVariableUnits);
    fillComboBoxFromMaps(transferFunctions(), cmbTransferFunction);
}

void DefaultDeviceWidget::fillUnitsCombo(const QVariantList &catalogue, int classificationCode, QComboBox *combo)
{
    if (!combo)
        return;
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const QVariant &entry : catalogue) {
        const QVariantMap unit = entry.toMap();
        const int unitClass = unit.value(ClassKey).toInt();
        if (classificationCode == 0 || unitClass == classificationCode || unitClass == 0)
            combo->addItem(unit.value(NameKey).toString(), unit.value(IdKey));
    }
    combo->setCurrentIndex(-1);
}
