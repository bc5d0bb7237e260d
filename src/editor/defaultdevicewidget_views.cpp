#include "editor/defaultdevicewidget.h"

#include "core/debugqtstream.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

// The display side of the generic editor: copies what the HART reads left in the device's
// parameter map into the form. Nothing here talks to the device.

namespace {

constexpr int UnknownVariableCode = 252;
constexpr int LastDeviceVariableCode = 249;
constexpr int VariableColumn = 0;
constexpr int ClassColumn = 1;
constexpr int ValueColumn = 2;
constexpr int UnitsColumn = 3;
constexpr int StatusColumn = 4;

int lowByte(int value)
{
    return value & 0xFF;
}

QString slotKey(int slot, const char *field)
{
    return QStringLiteral("slot_%1_%2").arg(slot).arg(QLatin1String(field));
}

} // namespace

void DefaultDeviceWidget::showSensorInfo()
{
    showDeviceInfoInField(QStringLiteral("sensor_range_min"), lbSensorRangeMin, true);
    showDeviceInfoInField(QStringLiteral("sensor_range_max"), lbSensorRangeMax, true);
    showDeviceInfoInField(QStringLiteral("sensor_minimum_range"), lbSensorMinimumRange, true);
    showDeviceInfoInField(QStringLiteral("sensor_number"), spnSensorNumber, true);
    if (!device)
        return;
    const QString unit = Device::unitText(lowByte(device->parameterInt(QStringLiteral("sensor_unit_code"))),
                                          lowByte(device->parameterInt(QStringLiteral("PV_class_code"))));
    lbSensorUnit1->setText(unit);
    lbSensorUnit2->setText(unit);
    lbSensorUnit3->setText(unit);
}

void DefaultDeviceWidget::showRangeInfo()
{
    showDeviceInfoInField(QStringLiteral("range_min"), dspnRangeMin, true);
    showDeviceInfoInField(QStringLiteral("range_max"), dspnRangeMax, true);
    if (!device)
        return;
    const QString unit = Device::unitText(lowByte(device->parameterInt(QStringLiteral("range_unit_code"))),
                                          lowByte(device->parameterInt(QStringLiteral("PV_class_code"))));
    lbUnitMinRange->setText(unit);
    lbUnitMaxRange->setText(unit);
    const bool protectedDevice = lowByte(device->parameterInt(QStringLiteral("write_protection"))) == 1;
    lbWriteProtection->setText(protectedDevice ? tr("write protection is enabled") : QString());
    txtPVAlarmCode->setText(
        Device::alarmSelectionText(lowByte(device->parameterInt(QStringLiteral("PV_alarm_selection_code")))));
    showDeviceInfoInField(QStringLiteral("conversion_function"), cmbTransferFunction, true);
}

void DefaultDeviceWidget::showDeviceVariables()
{
    txtExtendedStatus->clear();
    if (!device)
        return;
    const int extendedStatus = device->parameterInt(QStringLiteral("extended_status"));
    if (extendedStatus > 0) {
        if (extendedStatus & 0x01)
            txtExtendedStatus->append(QStringLiteral("*** ") + tr("Device requires maintenance."));
        if (extendedStatus & 0x02)
            txtExtendedStatus->append(QStringLiteral("*** ") + tr("Device variable is in an Alarm state."));
    }

    const bool identified = !device->deviceId().isEmpty();
    {
        const QSignalBlocker blocker(tableWidgetDV);
        for (int slot = 0; slot < Device::SlotCount && device->hasParameter(slotKey(slot, "code")); ++slot) {
            const int classCode = lowByte(device->parameterInt(slotKey(slot, "class")));
            if (tableWidgetDV->rowCount() < slot + 1)
                tableWidgetDV->setRowCount(slot + 1);
            addTableItem(slot, VariableColumn, tr("Variable %1").arg(device->parameterInt(slotKey(slot, "code"))),
                         Qt::AlignLeft | Qt::AlignVCenter);
            tableWidgetDV->item(slot, VariableColumn)->setData(Qt::UserRole, slot);
            addTableItem(slot, ClassColumn, Device::classificationText(classCode), Qt::AlignCenter);
            const QVariant measured = device->parameter(slotKey(slot, "value"));
            const QString value = identified && Readout::isMeasured(measured) ? Readout::text(measured.toFloat())
                                                                              : QString();
            addTableItem(slot, ValueColumn, value, Qt::AlignCenter);
            addTableItem(slot, UnitsColumn,
                         Device::unitText(lowByte(device->parameterInt(slotKey(slot, "unit_code"))), classCode),
                         Qt::AlignCenter);
            // A slot filled without command 9 has no status to show.
            const QString status =
                device->hasParameter(slotKey(slot, "status"))
                    ? Device::variableStatusText(lowByte(device->parameterInt(slotKey(slot, "status"))))
                    : QString();
            addTableItem(slot, StatusColumn, status, Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    tableWidgetDV->resizeColumnsToContents();
    tableWidgetDV->resizeRowsToContents();

    // The details of the variable selected before are forgotten, and so is an edit of its
    // units: they belonged to a variable that is no longer shown.
    {
        const QSignalBlocker blocker(cmbDevVariableUnits);
        cmbDevVariableUnits->setCurrentIndex(-1);
    }
    cmbDevVariableUnits->setEnabled(false);
    setFieldColorModified(cmbDevVariableUnits, false);
    for (const char *key : {"dev_variable_sensor", "dev_variable_limits_unit_code", "dev_variable_usl",
                            "dev_variable_lsl", "dev_variable_damping_value", "dev_variable_span"})
        device->removeParameter(QLatin1String(key));
}

void DefaultDeviceWidget::addTableItem(int row, int column, const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    tableWidgetDV->setItem(row, column, item);
}

void DefaultDeviceWidget::fillDeviceVariableCombos()
{
    QComboBox *const combos[] = {cmbPVDevVariable, cmbSVDevVariable, cmbTVDevVariable, cmbQVDevVariable};
    for (QComboBox *combo : combos) {
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->setEnabled(false);
    }
    if (!device)
        return;

    // Device-variable codes are one byte, and the codes from 250 up are special ("Unknown" is
    // offered above): a larger count, as a damaged configuration may hold, offers no more.
    const int last = std::min(device->parameterInt(QStringLiteral("dev_variables_count")), LastDeviceVariableCode);
    for (QComboBox *combo : combos) {
        const QSignalBlocker blocker(combo);
        combo->addItem(tr("Unknown"), UnknownVariableCode);
    }
    for (int code = 0; code <= last; ++code) {
        const QString text = tr("Variable %1").arg(code);
        // Each further dynamic variable needs one more device variable to choose from.
        for (int position = 0; position < 4; ++position) {
            if (position > 0 && last <= position)
                break;
            const QSignalBlocker blocker(combos[position]);
            combos[position]->addItem(text, code);
        }
    }
    for (QComboBox *combo : combos) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
}

void DefaultDeviceWidget::initDeviceVariablesTable()
{
    const QSignalBlocker blocker(tableWidgetDV);
    tableWidgetDV->setRowCount(0);
    tableWidgetDV->setColumnCount(5);
    tableWidgetDV->setHorizontalHeaderLabels({tr("Variable"), tr("Class"), tr("Value"), tr("Units"), tr("Status")});
}

void DefaultDeviceWidget::fillPVUnits()
{
    const int classCode = device ? device->parameterInt(QStringLiteral("PV_class_code")) : 0;
    initUnitsCatalogue(classCode, cmbInputUnits);
    showDeviceInfoInField(QStringLiteral("PV_unit_code"), cmbInputUnits, true);
}

void DefaultDeviceWidget::showDynamicVariableInfo()
{
    if (!device)
        return;
    const struct
    {
        const char *key;
        QComboBox *combo;
    } assignments[] = {{"PV_dev_variable_code", cmbPVDevVariable},
                       {"SV_dev_variable_code", cmbSVDevVariable},
                       {"TV_dev_variable_code", cmbTVDevVariable},
                       {"QV_dev_variable_code", cmbQVDevVariable}};
    for (const auto &assignment : assignments) {
        const QString key = QLatin1String(assignment.key);
        if (!device->hasParameter(key))
            continue;
        showDeviceInfoInField(key, assignment.combo, true);
        assignment.combo->setEnabled(lowByte(device->parameterInt(key)) != UnknownVariableCode);
    }
    DEBUGQT_LOG(4) << "showDynamicVariableInfo";
    lbPVClass->setText(Device::classificationText(lowByte(device->parameterInt(QStringLiteral("PV_class_code")))));
    lbSVClass->setText(Device::classificationText(lowByte(device->parameterInt(QStringLiteral("SV_class_code")))));
    lbTVClass->setText(Device::classificationText(lowByte(device->parameterInt(QStringLiteral("TV_class_code")))));
    lbQVClass->setText(Device::classificationText(lowByte(device->parameterInt(QStringLiteral("QV_class_code")))));
}

void DefaultDeviceWidget::showDeviceVariableInfo(int slotIndex)
{
    DEBUGQT_LOG(4) << "showDeviceVariableInfo" << slotIndex;
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("dev_variable_sensor"), spnVariableSensorNumber, true);
    const int classCode = lowByte(device->parameterInt(QStringLiteral("dev_variable_class")));
    initUnitsCatalogue(classCode, cmbDevVariableUnits);
    showDeviceInfoInField(QStringLiteral("dev_variable_limits_unit_code"), cmbDevVariableUnits, true);
    cmbDevVariableUnits->setEnabled(true);
    const struct
    {
        const char *key;
        QDoubleSpinBox *box;
    } limits[] = {{"dev_variable_usl", dspnUSL}, {"dev_variable_lsl", dspnLSL}, {"dev_variable_span", dspnMinSpan}};
    for (const auto &limit : limits) {
        const QString key = QLatin1String(limit.key);
        // A variable shown from its slot data has no limits: show none, neither the last ones nor 0.
        if (!device->hasParameter(key)) {
            const QSignalBlocker blocker(limit.box);
            Readout::show(limit.box, QVariant());
        }
        showDeviceInfoInField(key, limit.box, true);
    }
    const QString unit =
        Device::unitText(lowByte(device->parameterInt(QStringLiteral("dev_variable_limits_unit_code"))), classCode);
    lbLSLUnit->setText(unit);
    lbUSLUnit->setText(unit);
    lbSpanUnit->setText(unit);
    if (device->hasParameter(QStringLiteral("dev_variable_family")))
        txtDevVariableFamily->setText(
            Device::familyText(lowByte(device->parameterInt(QStringLiteral("dev_variable_family")))));
}

void DefaultDeviceWidget::onUpdateButtons(bool enabled)
{
    btnReadCfgFromDevice->setEnabled(enabled);
    btnWriteCfgInDevice->setEnabled(false);
    if (polling)
        enabledStates.insert(btnWriteCfgInDevice, false);
    for (QPushButton *button : {btnAdjust4mA, btnAdjust20mA, btnAdjustZero, btnSaveMinByPV, btnSaveMaxByPV,
                                btnResetFixedCurrent, btnSetFixedCurrent})
        button->setEnabled(enabled);
    emit updateButtons(enabled);
}

void DefaultDeviceWidget::onResetWidget()
{
    onUpdateButtons(false);
    configurationRead = false;
    emit resetWidget();
}

void DefaultDeviceWidget::on_btnSetFixedCurrent_clicked()
{
    setFixedCurrentFrom(dspnFixedCurrent);
}

void DefaultDeviceWidget::on_btnResetFixedCurrent_clicked()
{
    setFixedCurrent(0.0f);
}

void DefaultDeviceWidget::on_btnSaveMinByPV_clicked()
{
    saveRangeMinByPV();
}

void DefaultDeviceWidget::on_btnSaveMaxByPV_clicked()
{
    saveRangeMaxByPV();
}

void DefaultDeviceWidget::on_tabWidget_currentChanged(int)
{
}

void DefaultDeviceWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // Only the texts change: the edits not yet written stay, marked, with the write button.
        const QList<PendingEdit> edits = pendingEdits();
        retranslateUi(this);
        loading = true;
        initUnitsCatalogue(0, nullptr);
        fillDeviceVariableCombos();
        initDeviceVariablesTable();
        fillPVUnits();
        showRangeInfo();
        showDynamicVariableInfo();
        showDeviceVariables();
        for (const PendingEdit &edit : edits) {
            // The edited units of a device variable are chosen among its class's units.
            if (edit.field == cmbDevVariableUnits && device)
                initUnitsCatalogue(lowByte(device->parameterInt(QStringLiteral("dev_variable_class"))),
                                   cmbDevVariableUnits);
        }
        restorePendingEdits(edits);
        loading = false;
        retranslateTabs();
    }
    QWidget::changeEvent(event);
}
