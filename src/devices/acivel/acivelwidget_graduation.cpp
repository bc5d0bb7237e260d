// The graduation page of the pH meter: the stored graduation, and a new one with one or two
// buffer solutions while the command-33 poller shows EMF, temperature and pH.

#include "devices/acivel/acivelwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QPalette>

#include <cmath>

namespace {

constexpr int GraduationPeriod = 2100;
constexpr int TemperatureVariable = 1;
constexpr int EmfVariable = 4;
constexpr int PhVariable = 6;
// The EMF magnitude a measurement starts from: the first reading shows no change unless it
// lies within 2000 of it.
constexpr float NoEmfYet = 3000.0f;
constexpr float ShownEmfChange = 2000.0f;
constexpr float StableEmfChange = 0.1f;

const char ErrorText[] = QT_TRANSLATE_NOOP("AcivelWidget", "<p style=\"color: red; \">Error</p>");
const char UndefinedText[] = QT_TRANSLATE_NOOP("AcivelWidget", "<p style=\"color: red; \">Undefined</p>");
const char SavedText[] = QT_TRANSLATE_NOOP("AcivelWidget", "<p style=\"color: green; \">Saved</p>");
const char PointStateProperty[] = "tenvara_point_state";

} // namespace

void AcivelWidget::showGraduationValues()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("current_grd_type"), cmbCurrentGrdType, true);
    txtCurrentGrdType->setText(cmbCurrentGrdType->currentText());
    showDeviceInfoInField(QStringLiteral("current_ph_1"), dspnCurrentPH_1, true);
    showDeviceInfoInField(QStringLiteral("current_eds_1"), dspnCurrentEDS_1, true);
    showDeviceInfoInField(QStringLiteral("current_t_1"), dspnCurrentT_1, true);
    showDeviceInfoInField(QStringLiteral("current_ph_2"), dspnCurrentPH_2, true);
    showDeviceInfoInField(QStringLiteral("current_eds_2"), dspnCurrentEDS_2, true);
    showDeviceInfoInField(QStringLiteral("current_t_2"), dspnCurrentT_2, true);
    const bool twoPoints = cmbCurrentGrdType->currentIndex() == 1;
    for (QWidget *field : {dspnCurrentPH_2, dspnCurrentEDS_2, dspnCurrentT_2})
        field->setVisible(twoPoints);
}

void AcivelWidget::showEiSRanges()
{
    if (!device)
        return;
    showEiSRangeLabels();
    showDeviceInfoInField(QStringLiteral("ei_min"), dspnEiMin, true);
    showDeviceInfoInField(QStringLiteral("ei_max"), dspnEiMax, true);
    showDeviceInfoInField(QStringLiteral("s_min"), dspnSMin, true);
    showDeviceInfoInField(QStringLiteral("s_max"), dspnSMax, true);
}

void AcivelWidget::showEiSRangeLabels()
{
    const auto range = [this](const char *minKey, const char *maxKey) {
        return QStringLiteral("[ %1 : %2]")
            .arg(Readout::numberText(device->parameterFloat(QLatin1String(minKey))),
                 Readout::numberText(device->parameterFloat(QLatin1String(maxKey))));
    };
    lbEiRange->setText(range("ei_min", "ei_max"));
    lbSRange->setText(range("s_min", "s_max"));
}

void AcivelWidget::setFieldColor(QWidget *field, Qt::GlobalColor colour)
{
    QPalette palette = field->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(colour));
    field->setPalette(palette);
}

// The state beside a graduation point, one of the texts above or none, kept by its source text
// so that a language change shows it again in the new language.
void AcivelWidget::setPointState(QLabel *state, const char *text)
{
    state->setProperty(PointStateProperty, QByteArray(text));
    state->setText(text ? tr(text) : QString());
}

void AcivelWidget::retranslatePointStates()
{
    for (QLabel *state : {lbNan_p1, lbNan_p2}) {
        const QByteArray source = state->property(PointStateProperty).toByteArray();
        setPointState(state, source.isEmpty() ? nullptr : source.constData());
    }
}

void AcivelWidget::watchSavedMarks()
{
    // "Saved" names the value the meter took: another value in the field is not saved.
    for (const auto &[field, state] : {std::pair{dspnPH_p1, lbNan_p1}, std::pair{dspnPH_p2, lbNan_p2}}) {
        connect(field, &QDoubleSpinBox::valueChanged, state, [this, state = state] {
            if (state->property(PointStateProperty).toByteArray() == SavedText)
                setPointState(state, nullptr);
        });
    }
}

void AcivelWidget::on_btnReadCurrentGrdValues_clicked()
{
    if (!device || !startOperation(tr("Read current graduation values"), 3))
        return;
    int reached = 1;
    nextStep();
    if (device->readDevice(150)) {
        showGraduationValues();
        ++reached;
    }
    nextStep();
    if (device->readDevice(152)) {
        showEiSRanges();
        ++reached;
    }
    nextStep();
    finishOperation(reached);
}

void AcivelWidget::on_btnStartGraduation_clicked()
{
    if (adjustMode != NoAdjustMode && (adjustGranted || grantUnknown)) {
        const auto answer = Prompt::warning(this, tr("Adjustment"),
                                            tr("You are in metrology mode and really want to start graduation?"),
                                            QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Cancel)
            return;
        finishAdjust();
        // Still in metrology mode: its measurement may own the poller, so no graduation.
        if (adjustGranted || grantUnknown)
            return;
    } else if (adjustMode != NoAdjustMode) {
        dropPendingTask();   // its code was never accepted
    }
    setWriteButtonEnabled(false);
    grpboxPoint_1->setEnabled(true);
    grpboxPoint_2->setEnabled(cmbGrdType->currentIndex() == 1);
    stackedWidgetPoint_1->setCurrentIndex(0);
    btnStopGraduation->setVisible(true);
    btnStartGraduation->setEnabled(false);
    cmbGrdType->setEnabled(false);
    grdPoint = 0;
}

void AcivelWidget::on_btnStartPoint_1_clicked()
{
    stackedWidgetPoint_1->setCurrentIndex(1);
    btnGetPH_p1->setChecked(true);
    on_btnGetPH_p1_clicked();
}

void AcivelWidget::on_btnStartPoint_2_clicked()
{
    stackedWidgetPoint_2->setCurrentIndex(1);
    btnGetPH_p2->setChecked(true);
    on_btnGetPH_p2_clicked();
}

void AcivelWidget::on_btnGetPH_p1_clicked()
{
    measurePoint(1);
}

void AcivelWidget::on_btnGetPH_p2_clicked()
{
    measurePoint(2);
}

void AcivelWidget::measurePoint(int point)
{
    // One point measures at a time.
    QPushButton *other = point == 1 ? btnGetPH_p2 : btnGetPH_p1;
    if (other->isChecked()) {
        other->setChecked(false);
        startGraduationMeasurement(0);
    }
    grdPoint = point;
    startGraduationMeasurement(0);
}

void AcivelWidget::startGraduationMeasurement(int newPoint)
{
    if (grdPoint == 0)
        return;
    QPushButton *measure = grdPoint == 1 ? btnGetPH_p1 : btnGetPH_p2;
    QPushButton *save = grdPoint == 1 ? btnSetPH_p1 : btnSetPH_p2;
    if (measure->isChecked()) {
        if (!device) {
            measure->setChecked(false);
            return;
        }
        stopAdjustMeasurement();   // the poller serves one measurement at a time
        Readout::show(grdPoint == 1 ? dspnPH_p1 : dspnPH_p2, QVariant());   // nothing measured yet
        connect(&periodThread33, &PeriodThread33::responsePeriodThrd33, this,
                &AcivelWidget::updateBufferInfoByResponsePT33, Qt::UniqueConnection);
        liveValues = LiveValues::Graduation;
        setPollerRunning(GraduationPoller, true);
        lastU = NoEmfYet;
        periodThread33.setDevice(device, GraduationPeriod, TemperatureVariable, EmfVariable, PhVariable,
                                 PeriodThread33::NotUsed);
        measure->setText(QLatin1Char(' ') + tr("Stop measurement"));
        return;
    }
    disconnect(&periodThread33, &PeriodThread33::responsePeriodThrd33, this,
               &AcivelWidget::updateBufferInfoByResponsePT33);
    grdPoint = newPoint;
    setFieldColor(dspnPH_p1, Qt::black);
    setFieldColor(dspnPH_p2, Qt::black);
    if (liveValues == LiveValues::Graduation) {
        periodThread33.stopThread();
        liveValues = LiveValues::None;
    }
    measure->setText(tr("Start measurement"));
    setPollerRunning(GraduationPoller, false);
    save->setEnabled(true);
}

void AcivelWidget::updateBufferInfoByResponsePT33(const QVariantMap &response)
{
    // An answer that was on its way when the measurement stopped is not shown.
    if (grdPoint == 0 || liveValues != LiveValues::Graduation)
        return;
    const bool first = grdPoint == 1;
    QPushButton *measure = first ? btnGetPH_p1 : btnGetPH_p2;
    QPushButton *save = first ? btnSetPH_p1 : btnSetPH_p2;
    QLabel *state = first ? lbNan_p1 : lbNan_p2;
    QDoubleSpinBox *ph = first ? dspnPH_p1 : dspnPH_p2;
    save->setEnabled(false);

    for (const char *key : {"slot_0_value", "slot_1_value", "slot_2_value"}) {
        if (!response.contains(QLatin1String(key))) {
            setPointState(state, ErrorText);
            measure->setChecked(false);
            startGraduationMeasurement(0);
            save->setEnabled(true);
            return;
        }
    }

    const auto valueText = [&response](int slot) {
        return QStringLiteral("%1 %2").arg(
            Readout::numberText(response.value(QStringLiteral("slot_%1_value").arg(slot)), 'f', 2),
            Device::unitText(response.value(QStringLiteral("slot_%1_unit_code").arg(slot)).toInt(), 0));
    };
    (first ? txtU_p1 : txtU_p2)->setText(valueText(1));
    (first ? txtT_p1 : txtT_p2)->setText(valueText(0));

    // An EMF the meter did not measure has no change to show, and the reading after it is
    // compared as a measurement's first.
    const QVariant emf = response.value(QStringLiteral("slot_1_value"));
    const bool emfMeasured = Readout::isMeasured(emf);
    const float u = emfMeasured ? std::fabs(emf.toFloat()) : NoEmfYet;
    const float delta = emfMeasured ? std::fabs(lastU - u) : ShownEmfChange;
    lastU = u;
    QLabel *change = first ? lbDeltaU_1 : lbDeltaU_2;
    if (!emfMeasured)
        change->setText(Readout::numberText(emf));
    else if (delta < ShownEmfChange)
        change->setText(QStringLiteral("%1").arg(delta, 0, 'f', 2));

    const QVariant phValue = response.value(QStringLiteral("slot_2_value"));
    if (!Readout::isMeasured(phValue)) {
        setPointState(state, UndefinedText);
        Readout::show(ph, QVariant());
        setFieldColor(ph, Qt::red);
        return;
    }
    setPointState(state, nullptr);
    setFieldColor(ph, delta <= StableEmfChange ? Qt::darkGreen : Qt::magenta);
    save->setEnabled(true);
    Readout::show(ph, phValue.toDouble());
    ph->setSuffix(QLatin1Char(' ') + Device::unitText(response.value(QStringLiteral("slot_2_unit_code")).toInt(), 0));
}

void AcivelWidget::on_btnSetPH_p1_clicked()
{
    grdPoint = 1;
    setGraduationBuffer();
}

void AcivelWidget::on_btnSetPH_p2_clicked()
{
    grdPoint = 2;
    setGraduationBuffer();
}

void AcivelWidget::setGraduationBuffer()
{
    if (grdPoint == 0 || !device)
        return;
    const bool first = grdPoint == 1;
    QDoubleSpinBox *ph = first ? dspnPH_p1 : dspnPH_p2;
    (first ? btnGetPH_p1 : btnGetPH_p2)->setChecked(false);
    startGraduationMeasurement(grdPoint);
    const QString title = tr("Write graduation point %1").arg(grdPoint);
    if (!fieldsHoldValues(title, {ph}) || !startOperation(title, 3))
        return;

    device->setParameter(QStringLiteral("grd_type"), cmbGrdType->currentIndex());
    device->setParameter(QStringLiteral("grd_point_number"), grdPoint - 1);
    device->setParameter(QStringLiteral("grd_point_value"), float(ph->value()));
    nextStep();
    QLabel *state = first ? lbNan_p1 : lbNan_p2;
    if (device->writeDevice(151)) {
        nextStep();
        emit changed();
        setPointState(state, SavedText);
        Readout::show(dspnGrdEi, device->parameter(QStringLiteral("ei_isopotential_point")));
        Readout::show(dspnGrdS, device->parameter(QStringLiteral("steepness")));
        showDeviceInfoInField(QStringLiteral("ei_isopotential_point"), dspnEi, true);
        showDeviceInfoInField(QStringLiteral("steepness"), dspnS, true);
    } else {
        setPointState(state, nullptr);   // an earlier save's mark would stand beside a value the meter refused
    }
    if (readAfterWrite(150)) {
        showGraduationValues();
        nextStep();
    }
    finishOperation(0);
}

void AcivelWidget::on_btnStopGraduation_clicked()
{
    resetGraduation();
    on_btnReadCurrentGrdValues_clicked();
}

void AcivelWidget::on_cmbGrdType_currentIndexChanged(int index)
{
    if (index == -1)
        return;
    for (QWidget *field : {dspnCurrentPH_2, dspnCurrentEDS_2, dspnCurrentT_2})
        field->setVisible(index == 1);
}

void AcivelWidget::resetGraduation()
{
    btnGetPH_p1->setChecked(false);
    btnGetPH_p2->setChecked(false);
    startGraduationMeasurement(0);
    // A graduation needs a device that passed its check.
    btnStartGraduation->setEnabled(buttonsEnabled);
    grdPoint = 0;
    cmbGrdType->setEnabled(true);
    btnStopGraduation->hide();
    stackedWidgetPoint_1->setCurrentIndex(0);
    stackedWidgetPoint_2->setCurrentIndex(0);
    grpboxPoint_1->setEnabled(false);
    grpboxPoint_2->setEnabled(false);
    updateWriteButton();
}
