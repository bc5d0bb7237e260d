// The service operations of the editor frame: short sequences of HART transactions that every
// model offers the same way, each run as one operation of the page set.
#include "editor/maindevicewidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "editor/pvwidget.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QDoubleSpinBox>

bool MainDeviceWidget::sendAdjustCode(float code)
{
    DEBUGQT_LOG(4) << code;
    return sendValue(tr("Access code verification"), QStringLiteral("adjust_code"), code, 170, false);
}

bool MainDeviceWidget::setFixedCurrent(float current)
{
    DEBUGQT_LOG(4) << current;
    return sendValue(tr("Fixed current setting"), QStringLiteral("fixed_current"), current, 40, true);
}

void MainDeviceWidget::setFixedCurrentFrom(QDoubleSpinBox *field)
{
    if (fieldsHoldValues(tr("Fixed current setting"), {field}) && setFixedCurrent(float(field->value())))
        showDeviceInfoInField(QStringLiteral("fixed_current"), field, false);
}

bool MainDeviceWidget::manufacturerSettings(int save)
{
    DEBUGQT_LOG(4) << save;
    return sendValue(tr("Manufacturer settings"), QStringLiteral("manufacturer_settings"), save, 192, true);
}

bool MainDeviceWidget::sendValue(const QString &title, const QString &key, const QVariant &value, int command,
                                 bool announce)
{
    if (!device || !startOperation(title, 1))
        return false;
    device->setParameter(key, value);
    const bool ok = device->writeDevice(command);
    if (ok) {
        nextStep();
        if (announce)
            emit changed();
    }
    finishOperation(0);
    return ok;
}

void MainDeviceWidget::on_btnSaveManufacturerSettings_clicked()
{
    if (confirm(tr("Manufacturer setting"),
                tr("Do you really want to save current device settings as manufacturer setting?\n"
                   "Previously saved device settings will be lost!")))
        manufacturerSettings(1);
}

void MainDeviceWidget::on_btnRestoreManufacturerSettings_clicked()
{
    if (confirm(tr("Manufacturer setting"),
                tr("Do you really want to restore manufacturer settings ?\n"
                   "All current device settings will be lost!")))
        manufacturerSettings(0);
}

void MainDeviceWidget::saveRangeMaxByPV()
{
    DEBUGQT_LOG(4);
    static const RangeEnd upper{
        QT_TR_NOOP("Do you want to write current\nPrimary Variable value=%1 %2\nas Upper Range Value ?"),
        QT_TR_NOOP("Setting the high range limit"), 36, "range_max"};
    saveRangeByPV(upper);
}

void MainDeviceWidget::saveRangeMinByPV()
{
    DEBUGQT_LOG(4);
    static const RangeEnd lower{
        QT_TR_NOOP("Do you want to write current\nPrimary Variable value=%1 %2\nas Lower Range Value ?"),
        QT_TR_NOOP("Setting the lower range limit"), 37, "range_min"};
    saveRangeByPV(lower);
}

bool MainDeviceWidget::readPrimaryVariable(QVariant *pv, QString *unit)
{
    if (!device || !pvWidget || !pvWidget->readPrimaryVariable(true))
        return false;
    *pv = pvWidget->primaryVariable();
    *unit = device->pvUnitText();
    return true;
}

void MainDeviceWidget::saveRangeByPV(const RangeEnd &end)
{
    // The read's outcome is all the user sees of a failure.
    QVariant pv;
    QString unit;
    if (!readPrimaryVariable(&pv, &unit))
        return;
    const QString question = tr(end.question).arg(Readout::questionText(pv), unit);
    if (Prompt::warning(this, tr("Setting the conversion range"), question, QMessageBox::Yes | QMessageBox::Cancel,
                        QMessageBox::Yes)
        != QMessageBox::Yes) {
        return;
    }
    if (!startOperation(tr(end.title), 2))
        return;
    if (device->writeDevice(end.command)) {
        nextStep();
        emit changed();
        if (device->readDevice(15)) {
            nextStep();
            const QString key = QLatin1String(end.key);
            showDeviceInfoInField(key, fields.value(key), true);
        }
    }
    finishOperation(0);
}

void MainDeviceWidget::onAdjust4mA_clicked(QDoubleSpinBox *measured)
{
    static const CurrentTrim trim{QT_TR_NOOP("Current adjustment 4 mA"), "adjust_4mA", 45};
    adjustCurrent(measured, trim);
}

void MainDeviceWidget::onAdjust20mA_clicked(QDoubleSpinBox *measured)
{
    static const CurrentTrim trim{QT_TR_NOOP("Current adjustment 20 mA"), "adjust_20mA", 46};
    adjustCurrent(measured, trim);
}

void MainDeviceWidget::adjustCurrent(QDoubleSpinBox *measured, const CurrentTrim &trim)
{
    if (!measured || !device)
        return;
    DEBUGQT_LOG(4) << measured->value();
    if (!fieldsHoldValues(tr(trim.title), {measured}) || !startOperation(tr(trim.title), 1))
        return;
    const QString key = QLatin1String(trim.key);
    device->setParameter(key, measured->value());
    if (device->writeDevice(trim.command)) {
        showDeviceInfoInField(key, measured, true);
        nextStep();
        emit changed();
    }
    finishOperation(0);
}

bool MainDeviceWidget::completeAdjust()
{
    if (!sendAdjustCode(0))
        return false;
    const QByteArray answer = device->parameterByteArray(QStringLiteral("adjust_code"));
    if (Utils::byteAt(answer, 0) != 0) {
        DEBUGQT_LOG(1) << "*** unexpected answer to the access code 0:" << Utils::bufferToHex(answer);
        Prompt::warning(this, tr("Adjustment"), tr("Unknown answer code (%1).").arg(Utils::bufferToHex(answer)),
                        QMessageBox::Cancel);
        return false;
    }
    if (adjustMode == CurrentAdjustMode && !setFixedCurrent(0))
        return false;
    adjustMode = NoAdjustMode;
    return true;
}
