// The temperature correction of the pressure converter page: the correction mode, and the walk
// through the four points P1 and P2 at the thermostat temperatures T1 and T2.
#include "devices/drumel/drumelwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "model/device.h"
#include "widgets/readout.h"

namespace {

enum WalkPage { SetT1 = 0, P1T1 = 1, P2T1 = 2, SetT2 = 3, P1T2 = 4, P2T2 = 5 };

constexpr quint8 TemperatureDiffers = 8;

// A temperature as the walk names it, or the dashes where the device gave none.
QString temperatureText(const QDoubleSpinBox *field)
{
    return Readout::numberText(Readout::value(field));
}

} // namespace

void DrumelWidget::readTemperCorrection()
{
    stackedWidgetPT->setCurrentIndex(0);
    if (!device || !startOperation(tr("Temperature correction mode reading"), 1))
        return;
    if (device->readDevice(139)) {
        showDeviceInfoInField(QStringLiteral("temper_correction_mode"), cmbTCorrectionMode, true);
        showDeviceInfoInField(QStringLiteral("t1_correcton_value"), dspnCurrentT1, true);
        showDeviceInfoInField(QStringLiteral("t2_correcton_value"), dspnCurrentT2, true);
        nextStep();
        btnAdjustT1T2->setEnabled(device->parameterInt(QStringLiteral("temper_correction_mode")) != 0);
    }
    finishOperation(0);
}

void DrumelWidget::on_btnSetTCorrectMode_clicked()
{
    const int mode = cmbTCorrectionMode->currentIndex();
    DEBUGQT_LOG(4) << mode;
    if (!device || !choiceMade(cmbTCorrectionMode, tr("Choose the temperature correction mode first.")))
        return;
    if (!startOperation(tr("Temperature correction mode saving"), 1))
        return;
    device->setParameter(QStringLiteral("temper_correction_mode"), mode);
    if (device->writeDevice(140)) {
        setFieldColorModified(cmbTCorrectionMode, false);
        nextStep();
        btnAdjustT1T2->setEnabled(mode != 0);
    }
    finishOperation(0);
}

void DrumelWidget::showWalkButtons(int page)
{
    btnPrev->setVisible(page != SetT1);
    btnNext->setVisible(page != P2T2);
    btnSaveT1T2->setVisible(page != SetT1 && page != SetT2);
    btnCancelT1T2->setVisible(true);
}

void DrumelWidget::on_btnAdjustT1T2_clicked()
{
    stackedWidgetPT->setCurrentIndex(1);
    stackedWidgetT1T2->setCurrentIndex(SetT1);
    showWalkButtons(SetT1);
    Readout::show(dspnT1, Readout::value(dspnCurrentT1));
    Readout::show(dspnT2, Readout::value(dspnCurrentT2));
}

void DrumelWidget::on_btnNext_clicked()
{
    const int page = stackedWidgetT1T2->currentIndex() + 1;
    stackedWidgetT1T2->setCurrentIndex(page);
    showWalkButtons(page);
    const QString t1 = tr("in thermostat should be T1=%1 °C").arg(temperatureText(dspnT1));
    const QString t2 = tr("in the thermostat should be T2=%1 °C").arg(temperatureText(dspnT2));
    lbP1T1->setText(t1);
    lbP2T1->setText(t1);
    lbP1T2->setText(t2);
    lbP2T2->setText(t2);
}

void DrumelWidget::on_btnPrev_clicked()
{
    const int page = stackedWidgetT1T2->currentIndex() - 1;
    stackedWidgetT1T2->setCurrentIndex(page);
    showWalkButtons(page);
}

void DrumelWidget::on_btnSaveT1T2_clicked()
{
    const int page = stackedWidgetT1T2->currentIndex();
    if (!device || page == SetT1 || page == SetT2)
        return;
    const bool secondTemperature = page > SetT2;
    const int step = secondTemperature ? page - 2 : page - 1;
    const int pressureNumber = page == P1T1 || page == P1T2 ? 1 : 2;
    const int temperatureNumber = secondTemperature ? 2 : 1;
    QDoubleSpinBox *typedField = secondTemperature ? dspnT2 : dspnT1;
    const float typed = float(typedField->value());
    const QDoubleSpinBox *storedField = secondTemperature ? dspnCurrentT2 : dspnCurrentT1;

    const QString title = tr("P%1T%2 correction saving").arg(pressureNumber).arg(temperatureNumber);
    if (!fieldsHoldValues(title, {typedField}) || !startOperation(title, 1))
        return;
    device->setParameter(QStringLiteral("temper_correction_step"), step);
    device->setParameter(QStringLiteral("temper_correction_value"), typed);
    DEBUGQT_LOG(4) << QStringLiteral("P%1T%2").arg(pressureNumber).arg(temperatureNumber) << step << typed;
    if (device->writeDevice(141)) {
        const QByteArray status = device->lastStatusBytes();
        if (!status.isEmpty() && quint8(status.at(0)) == TemperatureDiffers) {
            Prompt::information(this, title,
                                tr("Operation completed successfully!\n\nWritting temperature is different from previous "
                                   "value at this point.\nPrev = %1 °C - Current = %2 °C")
                                    .arg(temperatureText(storedField), Readout::numberText(typed)),
                                QMessageBox::Ok);
        }
        setFieldColorModified(typedField, false);
        nextStep();
    }
    finishOperation(0);
}

void DrumelWidget::on_btnCancelT1T2_clicked()
{
    readTemperCorrection();
}

void DrumelWidget::on_btnCompleteT1T2Adjust_clicked()
{
    finishAdjust();
}
