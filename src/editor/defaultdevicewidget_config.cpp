#include "editor/defaultdevicewidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QStringList>

#include <algorithm>

// The device operations of the generic editor: reading the configuration, writing what the
// user changed with its read-back, and the zero and loop-current trims.

namespace {

constexpr int UnknownVariableCode = 252;
// Devices of an older universal revision do not implement command 9.
constexpr int FirstRevisionWithCommand9 = 6;

const char *const AssignmentKeys[] = {"PV_dev_variable_code", "SV_dev_variable_code", "QV_dev_variable_code",
                                      "TV_dev_variable_code"};

} // namespace

void DefaultDeviceWidget::on_btnReadCfgFromDevice_clicked()
{
    DEBUGQT_LOG(4) << "read configuration";
    configurationRead = false;
    if (!device || !startOperation(tr("Read device configuration"), 7))
        return;
    // Every command is tried whatever became of the ones before; the count of steps reached
    // tells the status page whether all of them succeeded.
    int reached = 1;
    nextStep();

    for (QLineEdit *classField : {lbPVClass, lbSVClass, lbTVClass, lbQVClass})
        classField->clear();
    for (const char *key : {"PV_class_code", "SV_class_code", "TV_class_code", "QV_class_code"})
        device->removeParameter(QLatin1String(key));
    if (device->readDevice(8))
        reached = 2;
    nextStep();

    const bool valuesRead = device->readDevice(3);
    if (valuesRead) {
        fillPVUnits();
        ++reached;
    }
    nextStep();

    fillDeviceVariableCombos();
    for (const char *key : AssignmentKeys)
        device->removeParameter(QLatin1String(key));
    if (device->readDevice(50)) {
        ++reached;
    } else {
        for (const char *key : AssignmentKeys)
            device->setParameter(QLatin1String(key), UnknownVariableCode);
    }
    showDynamicVariableInfo();
    nextStep();

    if (readDeviceVariables(valuesRead))
        ++reached;
    nextStep();

    if (device->readDevice(14)) {
        showSensorInfo();
        ++reached;
    }
    nextStep();

    if (device->readDevice(15)) {
        showRangeInfo();
        ++reached;
    }
    nextStep();

    finishOperation(reached);
    configurationRead = true;
    emit changed();
}

void DefaultDeviceWidget::setSlotCodesForCommand9()
{
    const int count = device->parameterInt(QStringLiteral("dev_variables_count"));
    DEBUGQT_LOG(4) << "Try command 9 to get " << count << "device variables";
    // Command 9 takes eight slots: codes beyond them would only pile up in the saved
    // configuration, since clearing the slots clears these eight.
    const int last = std::min(count, Device::SlotCount - 1);
    for (int slot = 0; slot <= last; ++slot)
        device->setParameter(QStringLiteral("slot_%1_code").arg(slot), slot);
}

// valuesRead: command 3 has just measured the dynamic variables, which an older device's table
// shows.
bool DefaultDeviceWidget::readDeviceVariables(bool valuesRead)
{
    device->clearSlotVariables();
    initDeviceVariablesTable();
    if (device->hasParameter(QStringLiteral("universal_cmd_version"))
        && device->parameterInt(QStringLiteral("universal_cmd_version")) < FirstRevisionWithCommand9) {
        // An older device has no command 9: the table shows what commands 3 and 8 told.
        setSlotsFromDynamicVariables(valuesRead);
    } else {
        setSlotCodesForCommand9();
        if (!device->writeDevice(9))
            return false;
    }
    showDeviceVariables();
    return true;
}

void DefaultDeviceWidget::setSlotsFromDynamicVariables(bool valuesRead)
{
    const char *const names[] = {"PV", "SV", "TV", "QV"};
    for (int slot = 0; slot < 4; ++slot) {
        const QString name = QLatin1String(names[slot]);
        const QString unitKey = name + QStringLiteral("_unit_code");
        if (!device->hasParameter(unitKey))
            break;
        const QString slotPrefix = QStringLiteral("slot_%1_").arg(slot);
        const QString assignmentKey = name + QStringLiteral("_dev_variable_code");
        const int code = device->hasParameter(assignmentKey) ? device->parameterInt(assignmentKey) & 0xFF : slot;
        device->setParameter(slotPrefix + QStringLiteral("code"), code);
        device->setParameter(slotPrefix + QStringLiteral("unit_code"), device->parameterInt(unitKey));
        // A failed read measured nothing: the slot gets no value rather than an earlier one.
        if (valuesRead)
            device->setParameter(slotPrefix + QStringLiteral("value"), device->parameterFloat(name));
        const QString classKey = name + QStringLiteral("_class_code");
        if (device->hasParameter(classKey))
            device->setParameter(slotPrefix + QStringLiteral("class"), device->parameterInt(classKey));
    }
}

void DefaultDeviceWidget::on_btnWriteCfgInDevice_clicked()
{
    const QList<int> commands = getWriteFunctionsList();
    QStringList numbers;
    for (int command : commands)
        numbers.append(QString::number(command));
    DEBUGQT_LOG(4) << "write list (" + numbers.join(QStringLiteral(", ")) + ")";
    if (commands.isEmpty())
        return;
    // Units and assignments change what other reads show; the rest is read back by nobody.
    const bool refresh = commands.contains(44) || commands.contains(51) || commands.contains(53);
    lastWriteCommands = commands;
    writeConfiguration(commands, refresh);
    DEBUGQT_LOG(4) << "modified keys:" << modifiedKeys.size();
    DEBUGQT_LOG(4) << QStringList(modifiedKeys.cbegin(), modifiedKeys.cend()).join(QStringLiteral(", "));
}

bool DefaultDeviceWidget::refreshAfterWrite()
{
    if (!device)
        return false;
    bool complete = true;
    const auto readBack = [this, &complete](int command) {
        const bool read = device->readDevice(command);
        complete = complete && read;
        return read;
    };
    const bool assignments = lastWriteCommands.contains(51);
    const bool variableUnits = lastWriteCommands.contains(53);
    const bool valuesRead = (assignments || variableUnits) && readBack(3);
    if (assignments && readBack(8))
        showDynamicVariableInfo();
    // The PV units follow the class of the PV, which a new assignment changes: the list is
    // filled once the classes are read.
    if (valuesRead)
        fillPVUnits();
    if (variableUnits && !readDeviceVariables(valuesRead))
        complete = false;
    if (lastWriteCommands.contains(44)) {
        if (readBack(14))
            showSensorInfo();
        if (readBack(15))
            showRangeInfo();
    }
    return complete;
}

void DefaultDeviceWidget::on_btnAdjustZero_clicked()
{
    QVariant pv;
    QString unit;
    if (!readPrimaryVariable(&pv, &unit))
        return;
    const QString question = tr("Do you want to set current\nPrimary Variable value=%1 %2\nas Zero Value ?");
    if (!confirm(tr("Zero adjustment"), question.arg(Readout::questionText(pv), unit)))
        return;
    if (!startOperation(tr("Adjusting zero"), 2))
        return;
    nextStep();
    if (device->writeDevice(43)) {
        nextStep();
        emit changed();
    }
    finishOperation(0);
}

void DefaultDeviceWidget::on_btnAdjust4mA_clicked()
{
    adjustCurrent({QT_TR_NOOP("4mA adjustment"), QT_TR_NOOP("Have you set fixed loop current value at 4 mA ?"),
                   QT_TR_NOOP("Do you really want to set the measured current value=%1 as 4 mA ?"), false});
}

void DefaultDeviceWidget::on_btnAdjust20mA_clicked()
{
    adjustCurrent({QT_TR_NOOP("20mA adjustment"), QT_TR_NOOP("Have you set fixed loop current value at 20 mA ?"),
                   QT_TR_NOOP("Do you really want to set the measured current value =%1 as 20 mA ?"), true});
}

void DefaultDeviceWidget::adjustCurrent(const CurrentTrim &trim)
{
    const QString title = tr(trim.title);
    // A current the device gave no value for is refused before any question names a number.
    if (!fieldsHoldValues(title, {dspnMeasuringCurrent}) || !confirm(title, tr(trim.firstQuestion)))
        return;
    const QString measured = QString::number(dspnMeasuringCurrent->value(), 'g', 6);
    if (!confirm(title, tr(trim.secondQuestion).arg(measured)))
        return;
    if (trim.upper)
        onAdjust20mA_clicked(dspnMeasuringCurrent);
    else
        onAdjust4mA_clicked(dspnMeasuringCurrent);
}
