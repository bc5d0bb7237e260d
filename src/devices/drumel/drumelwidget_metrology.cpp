// The metrology wizard of the pressure converter page: access code and task pages, leaving
// metrology mode, fixed current and loop-current trim, sensor parameters, and the zero and gain
// adjustment of the configuration tab.
#include "devices/drumel/drumelwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "editor/statuswidget.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QKeyEvent>

namespace {

enum AdjustPage { StartPage = 0, CodePage = 1, CurrentPage = 2, LinePointsPage = 3, TemperaturePage = 4, SensorPage = 5 };

constexpr int MetrologyTab = 2;
constexpr quint8 AccessGranted = 0x80;

} // namespace

// ---------------------------------------------------------------------------------------------
// Start entries and the access code

void DrumelWidget::on_btnStartAdjust_clicked()
{
    startTask(LoopCurrentTask, false);
}

void DrumelWidget::on_btnStartLinePointAdjust_clicked()
{
    startTask(LinePointsTask, true);
}

void DrumelWidget::on_btnStartTemperAdjust_clicked()
{
    startTask(TemperatureTask, true);
}

void DrumelWidget::on_btnStartSensorParam_clicked()
{
    startTask(SensorTask, false);
}

void DrumelWidget::startTask(int task, bool needsConfiguration)
{
    DEBUGQT_LOG(4) << task;
    if (taskOpen() || (needsConfiguration && !checkConfigurationRead()))
        return;
    pendingTask = task;
    showAccessCodePage();
}

void DrumelWidget::showAccessCodePage()
{
    dspnAdjustCode->setValue(0);
    dspnAdjustCode->setFocus(Qt::OtherFocusReason);
    dspnAdjustCode->selectAll();
    stackedWidgetAdjust->setCurrentIndex(CodePage);
}

void DrumelWidget::on_btnCheckCode_clicked()
{
    DEBUGQT_LOG(4) << pendingTask;
    if (taskOpen() || pendingTask == NoAdjustMode)
        return;
    // A task that needs the configuration is not unlocked once the configuration is gone: its
    // page could not open and the device would stay unlocked.
    const bool needsConfiguration = pendingTask == LinePointsTask || pendingTask == TemperatureTask;
    if (needsConfiguration && !checkConfigurationRead()) {
        closeCodePage();
        return;
    }
    if (!sendAdjustCode(float(dspnAdjustCode->value())))
        return;
    const QByteArray answer = device->parameterByteArray(QStringLiteral("adjust_code"));
    if (answer.isEmpty() || quint8(answer.at(0)) != AccessGranted) {
        DEBUGQT_LOG(2) << "wrong access code, answer" << Utils::bufferToHex(answer);
        Prompt::warning(this, tr("Adjustment"), tr("Wrong security code (answer=%1).").arg(Utils::bufferToHex(answer)),
                        QMessageBox::Cancel, QMessageBox::Cancel);
        return;
    }
    adjustMode = pendingTask;
    pendingTask = NoAdjustMode;
    openTaskPage();
}

void DrumelWidget::openTaskPage()
{
    btnSetFixedCurrent->setEnabled(false);
    btnResetFixedCurrent->setEnabled(false);
    switch (adjustMode) {
    case LoopCurrentTask:
        stackedWidgetAdjust->setCurrentIndex(CurrentPage);
        btnAdjust4mA->setEnabled(false);
        btnAdjust20mA->setEnabled(false);
        break;
    case LinePointsTask:
        loadLinePointsTable();
        stackedWidgetAdjust->setCurrentIndex(LinePointsPage);
        break;
    case TemperatureTask:
        readTemperCorrection();
        stackedWidgetAdjust->setCurrentIndex(TemperaturePage);
        break;
    case SensorTask:
        readSensorParameters();
        stackedWidgetAdjust->setCurrentIndex(SensorPage);
        break;
    default:
        break;
    }
}

void DrumelWidget::on_btnCancelAdjust_clicked()
{
    closeCodePage();
}

// Nothing was unlocked yet, so nothing needs locking.
void DrumelWidget::closeCodePage()
{
    pendingTask = NoAdjustMode;
    stackedWidgetAdjust->setCurrentIndex(StartPage);
}

void DrumelWidget::finishAdjust()
{
    DEBUGQT_LOG(4) << adjustMode;
    if (!taskOpen() || !completeAdjust())
        return;
    stackedWidgetAdjust->setCurrentIndex(StartPage);
    const bool deviceButtons = btnStartAdjust->isEnabled();
    btnSetFixedCurrent->setEnabled(deviceButtons);
    btnResetFixedCurrent->setEnabled(deviceButtons);
}

void DrumelWidget::startEditSensorParameters()
{
    if (focusWidget() != spnSensorNumber)
        return;
    DEBUGQT_LOG(4) << "sensor parameters by keyboard";
    if (taskOpen())
        return;
    tabMainWidget->setCurrentIndex(MetrologyTab);
    pendingTask = SensorTask;
    showAccessCodePage();
}

void DrumelWidget::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers controlShift = Qt::ControlModifier | Qt::ShiftModifier;
    if (event->key() == Qt::Key_D && (event->modifiers() & controlShift) == controlShift) {
        DEBUGQT_LOG(4) << "Hit Ctrl-Shift-S";
        event->ignore();
        startEditSensorParameters();
        return;
    }
    if (event->key() == Qt::Key_Return && focusWidget() == dspnAdjustCode)
        on_btnCheckCode_clicked();
}

// ---------------------------------------------------------------------------------------------
// Fixed current and loop-current trim

void DrumelWidget::on_btnSetFixedCurrent_clicked()
{
    setFixedCurrentFrom(dspnFixedCurrent);
}

void DrumelWidget::on_btnResetFixedCurrent_clicked()
{
    setFixedCurrent(0);
}

void DrumelWidget::on_btnSet4mA_clicked()
{
    setFixedCurrentFor(4.0, dspn4mA, btnAdjust4mA, btnAdjust20mA);
}

void DrumelWidget::on_btnSet20mA_clicked()
{
    setFixedCurrentFor(20.0, dspn20mA, btnAdjust20mA, btnAdjust4mA);
}

void DrumelWidget::setFixedCurrentFor(double current, QDoubleSpinBox *field, QPushButton *enabled,
                                      QPushButton *disabled)
{
    if (!setFixedCurrent(float(current)))
        return;
    showDeviceInfoInField(QStringLiteral("fixed_current"), field, true);
    enabled->setEnabled(true);
    disabled->setEnabled(false);
}

void DrumelWidget::on_btnAdjust4mA_clicked()
{
    onAdjust4mA_clicked(dspn4mA);
}

void DrumelWidget::on_btnAdjust20mA_clicked()
{
    onAdjust20mA_clicked(dspn20mA);
}

void DrumelWidget::on_btnCompleteAdjustCurrent_clicked()
{
    finishAdjust();
}

// ---------------------------------------------------------------------------------------------
// Sensor parameters

void DrumelWidget::readSensorParameters()
{
    if (!device || !device->readDevice(14))
        return;
    showDeviceInfoInField(QStringLiteral("sensor_range_min"), dspnSensorMin, true);
    showDeviceInfoInField(QStringLiteral("sensor_range_max"), dspnSensorMax, true);
    showDeviceInfoInField(QStringLiteral("sensor_minimum_range"), dspnSensorRange, true);
    showDeviceInfoInField(QStringLiteral("sensor_number"), spnSensorNumberM, true);
    showDeviceInfoInField(QStringLiteral("sensor_unit_code"), cmbSensorUnits, true);
}

void DrumelWidget::on_cmbSensorUnits_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    const QString suffix = QLatin1Char(' ') + Device::unitText(cmbSensorUnits->itemData(index).toInt() & 0xFF, 0);
    dspnSensorMin->setSuffix(suffix);
    dspnSensorMax->setSuffix(suffix);
    dspnSensorRange->setSuffix(suffix);
}

// A combo box showing no item would send code 0 as if it had been chosen.
bool DrumelWidget::choiceMade(const QComboBox *combo, const QString &what)
{
    if (combo->currentIndex() >= 0)
        return true;
    Prompt::warning(this, tr("Adjustment"), what, QMessageBox::Ok);
    return false;
}

void DrumelWidget::on_btnSaveSensorParam_clicked()
{
    DEBUGQT_LOG(4);
    const QString title = tr("Sensor parameters saving");
    if (!device || !choiceMade(cmbSensorUnits, tr("Choose the units of the sensor first."))
        || !fieldsHoldValues(title, {dspnSensorMax, dspnSensorMin, dspnSensorRange}) || !startOperation(title, 2))
        return;
    device->setParameter(QStringLiteral("sensor_unit_code"), cmbSensorUnits->currentData());
    device->setParameter(QStringLiteral("sensor_number"), spnSensorNumberM->value());
    device->setParameter(QStringLiteral("sensor_range_max"), dspnSensorMax->value());
    device->setParameter(QStringLiteral("sensor_range_min"), dspnSensorMin->value());
    device->setParameter(QStringLiteral("sensor_minimum_range"), dspnSensorRange->value());
    if (device->writeDevice(49)) {
        setFieldColorModified(spnSensorNumberM, false);
        nextStep();
        if (device->writeDevice(147)) {
            for (QWidget *field : {static_cast<QWidget *>(cmbSensorUnits), static_cast<QWidget *>(dspnSensorMax),
                                   static_cast<QWidget *>(dspnSensorMin), static_cast<QWidget *>(dspnSensorRange)})
                setFieldColorModified(field, false);
            nextStep();
        }
    }
    finishOperation(0);
}

void DrumelWidget::on_btnCompleteSensorParam_clicked()
{
    finishAdjust();
}

void DrumelWidget::on_btnSaveManufacturerSettings_clicked()
{
    MainDeviceWidget::on_btnSaveManufacturerSettings_clicked();
}

void DrumelWidget::on_btnRestoreManufacturerSettings_clicked()
{
    MainDeviceWidget::on_btnRestoreManufacturerSettings_clicked();
}

// ---------------------------------------------------------------------------------------------
// Zero and gain

void DrumelWidget::on_btnAdjustZero_clicked()
{
    DEBUGQT_LOG(4);
    QVariant pv;
    QString unit;
    if (!readPrimaryVariable(&pv, &unit))
        return;
    const QString value = Readout::questionText(pv);
    if (Prompt::warning(this, tr("Zero adjustment"),
                        tr("Do you want to set current\nPrimary Variable value=%1 %2\nas Zero Value ?").arg(value, unit),
                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Yes) {
        return;
    }
    writeAdjustment(tr("Adjusting zero"), 43);
}

void DrumelWidget::on_btnAdjustGain_clicked()
{
    DEBUGQT_LOG(4);
    QVariant pv;
    QString unit;
    if (!readPrimaryVariable(&pv, &unit))
        return;
    // The gain is calibrated to the value read, the one the question shows, whatever the device
    // holds by the time the user answers: a PV the instrument could not measure is none.
    if (!Readout::isMeasured(pv)) {
        Prompt::warning(this, tr("Gain correction"), tr("The primary variable is not a number: the gain is not corrected."),
                        QMessageBox::Ok);
        return;
    }
    const float measured = pv.toFloat();
    const QString value = Readout::questionText(pv);
    const QMessageBox::StandardButton answer = Prompt::warning(
        this, tr("Gain correction"),
        tr("Do you want to set current\nPrimary Variable value=%1 %2\nas upper limit of measurement ?").arg(value, unit),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No)
        return;
    QVariant gain = measured;
    if (answer == QMessageBox::No) {
        bool accepted = false;
        const double typed = Prompt::getDouble(this, tr("Gain correction"), tr("Real value of input signal (%1):").arg(unit),
                                               value.toDouble(), -1999, 9999, 3, &accepted);
        if (!accepted)
            return;
        gain = typed;
    }
    device->setParameter(QStringLiteral("gain_adjustment"), gain);
    writeAdjustment(tr("Adjusting the gain"), 142);
}

void DrumelWidget::writeAdjustment(const QString &title, int command)
{
    if (!startOperation(title, 2))
        return;
    nextStep();
    if (device->writeDevice(command)) {
        nextStep();
        emit changed();
    }
    finishOperation(0);
}
