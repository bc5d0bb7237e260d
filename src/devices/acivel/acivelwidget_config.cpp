// The configuration side of the pH meter's page: the vocabularies of the combo boxes, the
// configuration fields, how the input mode reshapes them, and writing what was edited.

#include "devices/acivel/acivelwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "devices/acivel/aciveldevice.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QEvent>

namespace {

constexpr int PhUnitCode = 59;
constexpr int MillivoltUnitCode = 36;
constexpr int ElectrodeCommand = 131;

} // namespace

void AcivelWidget::initCombos(int selector)
{
    if (selector >= 0)
        return;
    fillComboBox({tr("pH-meter"), tr("pH-meter with VCW"), tr("OVP-meter"), tr("EMF-meter")}, cmbInputMode);
    fillComboBox({tr("off"), tr("on")}, cmbElectrodeDiag);
    fillComboBox({tr("measured by temperature sensor"), tr("manually set temperature")}, cmbCompensationMode);
    fillComboBox({tr("P") + QStringLiteral(" (W=1,385)"), QStringLiteral("Pt (W=1,391)")}, cmbResistorType);
    const QStringList graduationTypes{tr("1-point"), tr("2-point")};
    fillComboBox(graduationTypes, cmbCurrentGrdType);
    fillComboBox(graduationTypes, cmbGrdType);
    fillComboBoxFromMaps({QVariantMap{{QStringLiteral("id"), PhUnitCode}, {QStringLiteral("name"), tr("pH")}},
                          QVariantMap{{QStringLiteral("id"), MillivoltUnitCode}, {QStringLiteral("name"), tr("mV")}}},
                         cmbSensorUnits);
}

void AcivelWidget::showConfigInFields()
{
    if (!device)
        return;
    // The input mode first: its layout and range unit are in place before the other fields.
    showDeviceInfoInField(QStringLiteral("input_units"), cmbInputMode, true);
    showDeviceInfoInField(QStringLiteral("electrode_diag"), cmbElectrodeDiag, true);
    showDeviceInfoInField(QStringLiteral("t_measurement_mode"), cmbCompensationMode, true);

    showDeviceInfoInField(QStringLiteral("indicate_range_min"), dspnMinIndication, true);
    showDeviceInfoInField(QStringLiteral("indicate_range_max"), dspnMaxIndication, true);

    showDeviceInfoInField(QStringLiteral("ei_isopotential_point"), dspnEi, true);
    showDeviceInfoInField(QStringLiteral("steepness"), dspnS, true);
    Readout::show(dspnGrdEi, Readout::value(dspnEi));
    Readout::show(dspnGrdS, Readout::value(dspnS));

    showDeviceInfoInField(QStringLiteral("phi_isopotential_point"), dspnpHi, true);
    showDeviceInfoInField(QStringLiteral("ts_type"), cmbResistorType, true);
    showDeviceInfoInField(QStringLiteral("ts_0"), dspnResistanceTS0, true);
    showDeviceInfoInField(QStringLiteral("t_for_correction"), dspnTempCorrection, true);
    showDeviceInfoInField(QStringLiteral("t_manual"), dspnHandSetTemperature, true);

    showDeviceInfoInField(QStringLiteral("average_time_small_sig_ph"), spnAvTimeSmallSignal_pH, true);
    showDeviceInfoInField(QStringLiteral("average_time_big_sig_ph"), spnAvTimeBigSignal_pH, true);
    showDeviceInfoInField(QStringLiteral("big_sig_threshold_ph"), dspnBigSignalThreshold_pH, true);
    setThresholdSuffix(device->pvUnitText());

    showDeviceInfoInField(QStringLiteral("average_time_small_sig_t"), spnAvTimeSmallSignal_T, true);
    showDeviceInfoInField(QStringLiteral("average_time_big_sig_t"), spnAvTimeBigSignal_T, true);
    showDeviceInfoInField(QStringLiteral("big_sig_threshold_t"), dspnBigSignalThreshold_T, true);
}

void AcivelWidget::setThresholdSuffix(const QString &unit)
{
    dspnBigSignalThreshold_pH->setSuffix(QLatin1Char(' ') + unit);
}

void AcivelWidget::ControlFieldsByInputUnits(int mode)
{
    if (mode == -1)
        return;
    const bool millivolts = AcivelDevice::isMillivoltMode(mode);
    stackedWidgetPH->setCurrentIndex(millivolts ? 1 : 0);
    const QString rangeUnitKey = QStringLiteral("range_unit_code");
    if (!device || !device->hasParameter(rangeUnitKey))
        return;
    // In memory only: the meter's own range unit comes back with the read after a write.
    const int unitCode = millivolts ? MillivoltUnitCode : PhUnitCode;
    device->setParameter(rangeUnitKey, unitCode);
    const QString unit = Device::unitText(unitCode, 0);
    lbUnitMinRange->setText(unit);
    lbUnitMaxRange->setText(unit);
    setThresholdSuffix(unit);
}

bool AcivelWidget::writeCarries(int command, const QString &key) const
{
    // The millivolt modes send zero for pHi.
    return command != ElectrodeCommand || key != QLatin1String("phi_isopotential_point")
           || !AcivelDevice::isMillivoltMode(cmbInputMode->currentIndex());
}

void AcivelWidget::on_cmbInputMode_currentIndexChanged(int index)
{
    if (index != -1)
        ControlFieldsByInputUnits(index);
}

void AcivelWidget::on_cmbElectrodeDiag_currentIndexChanged(int index)
{
    // Only a person's choice is cautioned, never a value the program shows.
    if (index != 1 || loading)
        return;
    Prompt::warning(this, tr("Electrode diagnostics"),
                    tr("It is forbidden to turn on the test of the resistance of the auxiliary electrode with a "
                       "two-wire connection diagram of the ES, since in this mode the current consumption exceeds 4 "
                       "mA!"),
                    QMessageBox::Cancel, QMessageBox::NoButton);
}

void AcivelWidget::on_btnWriteCfgInDevice_clicked()
{
    DEBUGQT_LOG(4);
    // A task whose code was never accepted has not put the meter in metrology mode.
    if (adjustMode != NoAdjustMode && !adjustGranted && !grantUnknown)
        dropPendingTask();
    const QList<int> commands = getWriteFunctionsList();
    DEBUGQT_LOG(4) << commands;
    if (commands.isEmpty())
        return;
    writeConfiguration(commands, commands.contains(ElectrodeCommand));
    DEBUGQT_LOG(4) << modifiedKeys << modifiedKeys.size();
}

void AcivelWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // Only the texts change: the edits not yet written stay, marked, with the write button.
        const QList<PendingEdit> edits = pendingEdits();
        retranslateUi(this);
        initCombos(-1);
        showRangeInfo();
        showSensorInfo();
        restorePendingEdits(edits);
        retranslateShownValues();
    }
    // The frame retitles the added tabs.
    MainDeviceWidget::changeEvent(event);
}

void AcivelWidget::retranslateShownValues()
{
    if (!txtCurrentGrdType->text().isEmpty())
        txtCurrentGrdType->setText(cmbCurrentGrdType->currentText());
    retranslatePointStates();
    for (QPushButton *measure : {btnGetPH_p1, btnGetPH_p2, btnAdjustMeasurement}) {
        if (measure->isChecked())
            measure->setText(QLatin1Char(' ') + tr("Stop measurement"));
    }
    if (!device)
        return;
    setThresholdSuffix(device->pvUnitText());
    showEiSRangeLabels();
    showAdjustPointLabels();
}
