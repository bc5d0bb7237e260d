// The metrology page of the pH meter: the fixed loop current, the manufacturer settings and
// the wizard whose tasks open once the meter accepts the access code the user types.

#include "devices/acivel/acivelwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"
#include "widgets/readout.h"

namespace {

// The wizard's tasks (adjustMode) and their pages.
constexpr int InputAdjustTask = 1;
constexpr int CurrentAdjustTask = 3;
constexpr int EiSRangesTask = 5;
constexpr int SensorTask = 6;
enum AdjustPage { StartPage, CodePage, CurrentPage, InputPage, EiSRangesPage, SensorPage };

constexpr char AccessGranted = char(0x80);
constexpr int AdjustPeriod = 1700;
constexpr int RcVariable = 2;
constexpr int UVariable = 4;
constexpr int RtVariable = 5;

} // namespace

void AcivelWidget::on_btnStartAdjust_clicked()
{
    startTask(CurrentAdjustTask);
}

void AcivelWidget::on_btnStartURRAdjust_clicked()
{
    startTask(InputAdjustTask);
}

void AcivelWidget::on_btnEiSRangeCorrection_clicked()
{
    startTask(EiSRangesTask);
}

void AcivelWidget::on_btnStartSensorParam_clicked()
{
    startTask(SensorTask);
}

void AcivelWidget::startTask(int mode)
{
    adjustMode = mode;
    adjustGranted = false;
    grantUnknown = false;
    showAccessCodePage();
}

void AcivelWidget::showAccessCodePage()
{
    resetGraduation();
    dspnAdjustCode->setValue(0);
    dspnAdjustCode->setFocus(Qt::OtherFocusReason);
    dspnAdjustCode->selectAll();
    stackedWidgetAdjust->setCurrentIndex(CodePage);
}

void AcivelWidget::on_btnCheckCode_clicked()
{
    if (!device || isBusy())
        return;
    if (!sendAdjustCode(float(dspnAdjustCode->value()))) {
        grantUnknown = true;
        return;
    }
    grantUnknown = false;
    const QByteArray answer = device->parameterByteArray(QStringLiteral("adjust_code"));
    if (answer.isEmpty() || answer.at(0) != AccessGranted) {
        Prompt::warning(this, tr("Adjustment"), tr("Wrong security code (answer=%1).").arg(Utils::bufferToHex(answer)),
                        QMessageBox::Cancel);
        return;
    }
    adjustGranted = true;
    btnSetFixedCurrent->setEnabled(false);
    btnResetFixedCurrent->setEnabled(false);
    switch (adjustMode) {
    case CurrentAdjustTask:
        stackedWidgetAdjust->setCurrentIndex(CurrentPage);
        btnAdjust4mA->setEnabled(false);
        btnAdjust20mA->setEnabled(false);
        break;
    case InputAdjustTask:
        readAdjustParameters();
        lbAdjustU->setText(tr("mV"));
        lbAdjustRc->setText(tr("kOm"));
        lbAdjustRt->setText(tr("Om"));
        stackedWidgetAdjust->setCurrentIndex(InputPage);
        break;
    case EiSRangesTask:
        readEiSRanges();
        stackedWidgetAdjust->setCurrentIndex(EiSRangesPage);
        break;
    case SensorTask:
        loadSensorParams();
        stackedWidgetAdjust->setCurrentIndex(SensorPage);
        break;
    default:
        break;
    }
}

void AcivelWidget::on_btnCancelAdjust_clicked()
{
    // A code whose answer was lost may have opened metrology mode: lock the meter again.
    if (grantUnknown) {
        finishAdjust();
        return;
    }
    // The code was never accepted: the meter is not in metrology mode, nothing is left open.
    dropPendingTask();
}

void AcivelWidget::dropPendingTask()
{
    adjustMode = NoAdjustMode;
    adjustGranted = false;
    grantUnknown = false;
    stackedWidgetAdjust->setCurrentIndex(StartPage);
}

void AcivelWidget::finishAdjust()
{
    DEBUGQT_LOG(4) << adjustMode << adjustGranted << grantUnknown;
    if (!adjustGranted && !grantUnknown) {
        if (adjustMode != NoAdjustMode)
            dropPendingTask();
        return;
    }
    if (!completeAdjust())
        return;   // the task stays open, the meter in metrology mode
    adjustGranted = false;
    grantUnknown = false;
    stopAdjustMeasurement();
    stackedWidgetAdjust->setCurrentIndex(StartPage);
    btnSetFixedCurrent->setEnabled(btnStartAdjust->isEnabled());
    btnResetFixedCurrent->setEnabled(btnStartAdjust->isEnabled());
}

void AcivelWidget::on_btnCompleteAdjustCurrent_clicked()
{
    finishAdjust();
}

void AcivelWidget::on_btnCompleteAdjustURR_clicked()
{
    finishAdjust();
}

void AcivelWidget::on_btnCompleteEiSRange_clicked()
{
    finishAdjust();
}

void AcivelWidget::on_btnCompleteSensorParam_clicked()
{
    finishAdjust();
}

void AcivelWidget::on_btnSetFixedCurrent_clicked()
{
    setFixedCurrentFrom(dspnFixedCurrent);
}

void AcivelWidget::on_btnResetFixedCurrent_clicked()
{
    setFixedCurrent(0.0f);
}

void AcivelWidget::on_btnSet4mA_clicked()
{
    if (!setFixedCurrent(4.0f))
        return;
    showDeviceInfoInField(QStringLiteral("fixed_current"), dspn4mA, true);
    btnAdjust4mA->setEnabled(true);
    btnAdjust20mA->setEnabled(false);
}

void AcivelWidget::on_btnSet20mA_clicked()
{
    if (!setFixedCurrent(20.0f))
        return;
    showDeviceInfoInField(QStringLiteral("fixed_current"), dspn20mA, true);
    btnAdjust20mA->setEnabled(true);
    btnAdjust4mA->setEnabled(false);
}

void AcivelWidget::on_btnAdjust4mA_clicked()
{
    onAdjust4mA_clicked(dspn4mA);
}

void AcivelWidget::on_btnAdjust20mA_clicked()
{
    onAdjust20mA_clicked(dspn20mA);
}

void AcivelWidget::on_btnSaveManufacturerSettings_clicked()
{
    MainDeviceWidget::on_btnSaveManufacturerSettings_clicked();
}

void AcivelWidget::on_btnRestoreManufacturerSettings_clicked()
{
    MainDeviceWidget::on_btnRestoreManufacturerSettings_clicked();
}

void AcivelWidget::readAdjustParameters()
{
    if (!device || !startOperation(tr("adjustment parameters"), 1))
        return;
    if (device->readDevice(171)) {
        showAdjustInfo();
        nextStep();
    }
    finishOperation(0);
}

void AcivelWidget::showAdjustInfo()
{
    if (!device)
        return;
    showAdjustPointLabels();
    showDeviceInfoInField(QStringLiteral("adjust_U_p1"), dspnAdjustU_p1, true);
    showDeviceInfoInField(QStringLiteral("adjust_U_p2"), dspnAdjustU_p2, true);
    showDeviceInfoInField(QStringLiteral("adjust_Rc_p1"), dspnAdjustRc_p1, true);
    showDeviceInfoInField(QStringLiteral("adjust_Rc_p2"), dspnAdjustRc_p2, true);
    showDeviceInfoInField(QStringLiteral("adjust_Rt_p"), dspnAdjustRt, true);
}

void AcivelWidget::showAdjustPointLabels()
{
    const auto value = [this](const char *key) {
        return Readout::numberText(device->parameterFloat(QLatin1String(key)));
    };
    lbEiPoints->setText(QStringLiteral("[ %1 : %2]").arg(value("adjust_U_p1"), value("adjust_U_p2")));
    lbRcPoints->setText(QStringLiteral("[ %1 : %2]").arg(value("adjust_Rc_p1"), value("adjust_Rc_p2")));
    lbRt->setText(QStringLiteral("[ %1 ]").arg(value("adjust_Rt_p")));
}

void AcivelWidget::on_btnAdjustU_p1_clicked()
{
    adjustU(0);
}

void AcivelWidget::on_btnAdjustU_p2_clicked()
{
    adjustU(1);
}

void AcivelWidget::on_btnAdjustRc_p1_clicked()
{
    adjustRc(0);
}

void AcivelWidget::on_btnAdjustRc_p2_clicked()
{
    adjustRc(1);
}

void AcivelWidget::adjustU(int point)
{
    adjustPoint(tr("U adjustment"), 172, point, point == 0 ? dspnAdjustU_p1 : dspnAdjustU_p2);
}

void AcivelWidget::adjustRc(int point)
{
    adjustPoint(tr("Rc adjustment"), 174, point, point == 0 ? dspnAdjustRc_p1 : dspnAdjustRc_p2);
}

// U (172) and Rc (174): the point, then the reference value; the points are read back whatever
// the write gave, so that they show what the meter holds.
void AcivelWidget::adjustPoint(const QString &title, int command, int point, const QDoubleSpinBox *reference)
{
    if (!device || !fieldsHoldValues(title, {reference}) || !startOperation(title, 3))
        return;
    const QString prefix = command == 172 ? QStringLiteral("adjust_U") : QStringLiteral("adjust_Rc");
    device->setParameter(prefix + QStringLiteral("_point"), point);
    device->setParameter(prefix, float(reference->value()));
    nextStep();
    if (device->writeDevice(command)) {
        nextStep();
        emit changed();
    }
    if (readAfterWrite(171)) {
        nextStep();
        showAdjustInfo();
    }
    finishOperation(0);
}

void AcivelWidget::on_btnAdjustRt_clicked()
{
    const QString title = tr("Rt adjustment");
    if (!device || !fieldsHoldValues(title, {dspnAdjustRt}) || !startOperation(title, 2))
        return;
    device->setParameter(QStringLiteral("adjust_Rt"), float(dspnAdjustRt->value()));
    if (device->writeDevice(173)) {
        nextStep();
        emit changed();
    }
    if (readAfterWrite(171)) {
        showAdjustInfo();
        nextStep();
    }
    finishOperation(0);
}

void AcivelWidget::on_btnAdjustMeasurement_clicked()
{
    toggleAdjustMeasurement();
}

void AcivelWidget::toggleAdjustMeasurement()
{
    if (btnAdjustMeasurement->isChecked()) {
        if (!device) {
            btnAdjustMeasurement->setChecked(false);
            return;
        }
        connect(&periodThread33, &PeriodThread33::responsePeriodThrd33, this,
                &AcivelWidget::updateAdjustInfoByResponsePT33, Qt::UniqueConnection);
        liveValues = LiveValues::Adjustment;
        periodThread33.setDevice(device, AdjustPeriod, RcVariable, UVariable, RtVariable, PeriodThread33::NotUsed);
        btnAdjustMeasurement->setText(QLatin1Char(' ') + tr("Stop measurement"));
        return;
    }
    disconnect(&periodThread33, &PeriodThread33::responsePeriodThrd33, this,
               &AcivelWidget::updateAdjustInfoByResponsePT33);
    if (liveValues == LiveValues::Adjustment) {
        periodThread33.stopThread();
        liveValues = LiveValues::None;
    }
    for (QPushButton *button : {btnAdjustU_p1, btnAdjustU_p2, btnAdjustRc_p1, btnAdjustRc_p2, btnAdjustRt})
        button->setEnabled(true);
    btnAdjustMeasurement->setText(tr("Start measurement"));
}

void AcivelWidget::stopAdjustMeasurement()
{
    if (!btnAdjustMeasurement->isChecked())
        return;
    btnAdjustMeasurement->setChecked(false);
    toggleAdjustMeasurement();
}

void AcivelWidget::updateAdjustInfoByResponsePT33(const QVariantMap &response)
{
    // An answer that was on its way when the measurement stopped is not shown.
    if (liveValues != LiveValues::Adjustment)
        return;
    for (const char *key : {"slot_0_value", "slot_1_value", "slot_2_value"}) {
        if (!response.contains(QLatin1String(key))) {
            const QString failed = QStringLiteral("<p style=\"color: red; \">Err</p>");
            for (QLabel *label : {lbAdjustRc, lbAdjustU, lbAdjustRt})
                label->setText(failed);
            stopAdjustMeasurement();
            return;
        }
    }
    showLiveQuantity(response.value(QStringLiteral("slot_0_value")), lbAdjustRc, lbAdjustRcUnits, dspnRc,
                     {btnAdjustRc_p1, btnAdjustRc_p2});
    showLiveQuantity(response.value(QStringLiteral("slot_1_value")), lbAdjustU, lbAdjustUUnits, dspnU,
                     {btnAdjustU_p1, btnAdjustU_p2});
    showLiveQuantity(response.value(QStringLiteral("slot_2_value")), lbAdjustRt, lbAdjustRtUnits, dspnRt,
                     {btnAdjustRt});
}

void AcivelWidget::showLiveQuantity(const QVariant &value, QLabel *state, const QLabel *unit, QDoubleSpinBox *field,
                                    const QList<QPushButton *> &buttons)
{
    const bool valid = Readout::isMeasured(value);
    Readout::show(field, value);
    if (valid) {
        state->setText(unit->text());
        setFieldColor(field, Qt::black);
    } else {
        state->setText(QStringLiteral("<p style=\"color: red; \">nan</p>"));
        setFieldColor(field, Qt::red);
    }
    for (QPushButton *button : buttons)
        button->setEnabled(valid);
}

void AcivelWidget::readEiSRanges()
{
    if (!device || !startOperation(tr("Ei and S ranges"), 2))
        return;
    nextStep();
    if (device->readDevice(152)) {
        nextStep();
        showEiSRanges();
    }
    finishOperation(0);
}

void AcivelWidget::on_btnSaveEiSRanges_clicked()
{
    const QString title = tr("Ei and S ranges");
    if (!device || !fieldsHoldValues(title, {dspnEiMin, dspnEiMax, dspnSMin, dspnSMax}) || !startOperation(title, 2))
        return;
    device->setParameter(QStringLiteral("ei_min"), float(dspnEiMin->value()));
    device->setParameter(QStringLiteral("ei_max"), float(dspnEiMax->value()));
    device->setParameter(QStringLiteral("s_min"), float(dspnSMin->value()));
    device->setParameter(QStringLiteral("s_max"), float(dspnSMax->value()));
    nextStep();
    if (device->writeDevice(176)) {
        nextStep();
        emit changed();
        showEiSRanges();
    }
    finishOperation(0);
}

void AcivelWidget::loadSensorParams()
{
    if (!device || !device->readDevice(14))
        return;
    showDeviceInfoInField(QStringLiteral("sensor_range_min"), dspnSensorMin, true);
    showDeviceInfoInField(QStringLiteral("sensor_range_max"), dspnSensorMax, true);
    showDeviceInfoInField(QStringLiteral("sensor_minimum_range"), dspnSensorRange, true);
    showDeviceInfoInField(QStringLiteral("sensor_number"), spnSensorNumberM, true);
    showDeviceInfoInField(QStringLiteral("sensor_unit_code"), cmbSensorUnits, true);
    on_cmbSensorUnits_currentIndexChanged(cmbSensorUnits->currentIndex());
}

void AcivelWidget::on_cmbSensorUnits_currentIndexChanged(int index)
{
    if (index == -1)
        return;
    const QString suffix = QLatin1Char(' ') + Device::unitText(cmbSensorUnits->itemData(index).toInt(), 0);
    for (QDoubleSpinBox *field : {dspnSensorMin, dspnSensorMax, dspnSensorRange})
        field->setSuffix(suffix);
}

void AcivelWidget::on_btnSaveSensorParam_clicked()
{
    // A unit the page does not offer would go out as code 0.
    if (cmbSensorUnits->currentIndex() == -1) {
        Prompt::warning(this, tr("Sensor parameters saving"),
                        tr("The sensor unit of the device is neither pH nor mV: choose one before saving."),
                        QMessageBox::Ok);
        return;
    }
    const QString title = tr("Sensor parameters saving");
    if (!device || !fieldsHoldValues(title, {dspnSensorMax, dspnSensorMin, dspnSensorRange})
        || !startOperation(title, 2))
        return;
    device->setParameter(QStringLiteral("sensor_unit_code"), cmbSensorUnits->currentData().toInt());
    device->setParameter(QStringLiteral("sensor_number"), spnSensorNumberM->value());
    device->setParameter(QStringLiteral("sensor_range_max"), float(dspnSensorMax->value()));
    device->setParameter(QStringLiteral("sensor_range_min"), float(dspnSensorMin->value()));
    device->setParameter(QStringLiteral("sensor_minimum_range"), float(dspnSensorRange->value()));
    if (!device->writeDevice(49)) {
        finishOperation(0);
        return;
    }
    setFieldColorModified(spnSensorNumberM, false);
    nextStep();
    if (!device->writeDevice(142)) {
        finishOperation(0);
        return;
    }
    for (QWidget *field : std::initializer_list<QWidget *>{cmbSensorUnits, dspnSensorMax, dspnSensorMin, dspnSensorRange})
        setFieldColorModified(field, false);
    nextStep();
    finishOperation(0);
}
