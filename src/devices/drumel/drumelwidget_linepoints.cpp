// The linearisation table of the pressure converter page: calibration unit, number of points,
// and each point read from the device and set from the pressure it measures.
#include "devices/drumel/drumelwidget.h"

#include "core/debugqtstream.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <algorithm>

QString DrumelWidget::linePointText(float value) const
{
    return QStringLiteral("   %1\t%2").arg(Readout::numberText(value), device->calibrateUnitText());
}

// The device's count, but never more rows than the form offers points.
int DrumelWidget::shownPointCount()
{
    const int count = device->parameterInt(QStringLiteral("line_points_count"));
    if (count <= MaxLinePoints)
        return count;
    DEBUGQT_LOG(2) << "the device counts" << count << "linearization points; the first" << MaxLinePoints << "are loaded";
    return MaxLinePoints;
}

void DrumelWidget::loadLinePointsTable()
{
    if (!device)
        return;
    on_btnCompleteAdjustPoint_clicked();
    lbSensorRange->setText(
        QStringLiteral("[%1 - %2] %3").arg(lbSensorRangeMin->text(), lbSensorRangeMax->text(), lbSensorUnit1->text()));
    showDeviceInfoInField(QStringLiteral("calibrate_unit_code"), cmbCalibrateUnits, true);
    const int count = shownPointCount();
    if (!startOperation(tr("Linearization table loading"), count))
        return;

    const QSignalBlocker countBlocker(spnLinePoints);
    showDeviceInfoInField(QStringLiteral("line_points_count"), spnLinePoints, true);
    tableWidgetPoints->setRowCount(0);
    const QSignalBlocker tableBlocker(tableWidgetPoints);
    bool allRead = true;
    for (int point = 1; point <= count; ++point) {
        device->setParameter(QStringLiteral("line_point_number"), point);
        if (!device->writeDevice(148)) {
            allRead = false;
            continue;
        }
        nextStep();
        const float value = device->parameterFloat(QStringLiteral("line_point_value"));
        tableWidgetPoints->setRowCount(point);
        DEBUGQT_LOG(4) << "point" << point << "value" << value;
        tableWidgetPoints->setItem(point - 1, 0, new QTableWidgetItem(linePointText(value)));
    }
    finishOperation(0);
    // Count and unit may change only while the table shows every point the device holds.
    spnLinePoints->setEnabled(allRead);
    cmbCalibrateUnits->setEnabled(allRead);
    tableWidgetPoints->resizeColumnsToContents();
}

void DrumelWidget::on_btnReload_clicked()
{
    if (device && device->readDevice(135))
        loadLinePointsTable();
}

void DrumelWidget::on_btnSetCalibrateUnits_clicked()
{
    DEBUGQT_LOG(4) << cmbCalibrateUnits->currentData();
    if (!device || !choiceMade(cmbCalibrateUnits, tr("Choose the calibration units first.")))
        return;
    if (!startOperation(tr("Calibration units saving"), 1))
        return;
    device->setParameter(QStringLiteral("calibrate_unit_code"), cmbCalibrateUnits->currentData());
    if (device->writeDevice(136)) {
        setFieldColorModified(cmbCalibrateUnits, false);
        nextStep();
    }
    finishOperation(0);
}

void DrumelWidget::on_btnSetLinePointsCount_clicked()
{
    DEBUGQT_LOG(4) << spnLinePoints->value();
    if (!device || !startOperation(tr("Line points count saving"), 1))
        return;
    device->setParameter(QStringLiteral("line_points_count"), spnLinePoints->value());
    if (device->writeDevice(137)) {
        setFieldColorModified(spnLinePoints, false);
        nextStep();
    }
    finishOperation(0);
}

void DrumelWidget::on_spnLinePoints_valueChanged(int count)
{
    const int rows = tableWidgetPoints->rowCount();
    DEBUGQT_LOG(4) << rows << count;
    tableWidgetPoints->setRowCount(count);
    const QString unit = device ? device->calibrateUnitText() : QString();
    for (int row = rows; row < count; ++row)
        tableWidgetPoints->setItem(row, 0, new QTableWidgetItem(QStringLiteral("   0.0\t%1").arg(unit)));
}

void DrumelWidget::on_btnStartEditLinePoints_clicked()
{
    stackedWidgetLinePoints->setCurrentIndex(1);
    spnPoint->setValue(1);
    spnPoint->setMaximum(std::min(spnLinePoints->value(), MaxLinePoints));
    tableWidgetPoints->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidgetPoints->selectRow(0);
    lbCalibratePointUnit->setText(device ? device->calibrateUnitText() : QString());
    btnAdjustLinePoint->setEnabled(false);
}

void DrumelWidget::on_spnPoint_valueChanged(int point)
{
    tableWidgetPoints->selectRow(point - 1);
    dspnPressure->setValue(0);
    btnAdjustLinePoint->setEnabled(false);
}

void DrumelWidget::on_tableWidgetPoints_itemClicked(QTableWidgetItem *item)
{
    {
        const QSignalBlocker blocker(spnPoint);
        spnPoint->setValue(item->row() + 1);
    }
    dspnPressure->setValue(0);
    btnAdjustLinePoint->setEnabled(false);
}

void DrumelWidget::on_btnGetPressure_clicked()
{
    if (!device || !startOperation(tr("Pressure reading"), 1))
        return;
    if (device->readDevice(149)) {
        showDeviceInfoInField(QStringLiteral("line_point_pressure"), dspnPressure, true);
        nextStep();
        // A pressure the device did not measure is no point value.
        btnAdjustLinePoint->setEnabled(Readout::value(dspnPressure).isValid());
    }
    finishOperation(0);
}

void DrumelWidget::on_btnAdjustLinePoint_clicked()
{
    const int point = spnPoint->value();
    const float value = float(dspnPressure->value());
    DEBUGQT_LOG(4) << "point:" << point << "value:" << value;
    if (!device || !startOperation(tr("Linearization point %1 value saving").arg(point), 1))
        return;
    device->setParameter(QStringLiteral("line_point_number"), point);
    device->setParameter(QStringLiteral("line_point_value"), value);
    if (device->writeDevice(138)) {
        nextStep();
        if (QTableWidgetItem *cell = tableWidgetPoints->item(point - 1, 0))
            cell->setText(linePointText(value));
        setFieldColorModified(dspnPressure, false);
    }
    finishOperation(0);
}

void DrumelWidget::on_btnCompleteAdjustPoint_clicked()
{
    stackedWidgetLinePoints->setCurrentIndex(0);
    tableWidgetPoints->clearSelection();
    tableWidgetPoints->setSelectionMode(QAbstractItemView::NoSelection);
}

void DrumelWidget::on_btnCompleteAdjustLinePoints_clicked()
{
    finishAdjust();
    setFieldColorModified(cmbCalibrateUnits, false);
    setFieldColorModified(spnLinePoints, false);
}
