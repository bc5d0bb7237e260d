#include "editor/pvwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QEvent>

namespace {

constexpr int NotUsedUnitCode = 250;
constexpr int PVDigits = 6;
constexpr int MalfunctionBit = 0x80;
constexpr int ConfigChangedBit = 0x40;
constexpr double LoopCurrentAtRest = 4.01;   // mA

const QString LoopModeKey = QStringLiteral("current_loop_mode");
const QString OutputCurrentKey = QStringLiteral("output_current");

} // namespace

PVWidget::PVWidget(DeviceWidget *parent, int variableCount, bool showAdditionalStatus)
    : DeviceWidget(parent, nullptr)
{
    ui.setupUi(this);
    if (parent) {
        connect(parent, &DeviceWidget::deviceChanged, this, &PVWidget::onDeviceChanged);
        connect(parent, &DeviceWidget::updateButtons, this, &PVWidget::onUpdateButtons);
        connect(parent, &DeviceWidget::resetWidget, this, &PVWidget::onResetWidget);
        connect(parent, &DeviceWidget::init_progress_bar, this, &PVWidget::onInitProgressBar);
    }
    onUpdateButtons(false);
    const QList<VariableRow> rows = variableRows();
    setRowVisible(rows.at(0), variableCount > 1);
    setRowVisible(rows.at(1), variableCount > 2);
    setRowVisible(rows.at(2), variableCount == 4);
    ui.chkAdditionalStatus->setVisible(showAdditionalStatus);
    showNothingMeasured();
}

PVWidget::~PVWidget()
{
    DEBUGQT_LOG(4);
}

QList<PVWidget::VariableRow> PVWidget::variableRows() const
{
    return {{QStringLiteral("SV"), ui.lbSVTitle, ui.lcdSVValue, ui.lbSVUnit},
            {QStringLiteral("TV"), ui.lbTVTitle, ui.lcdTVValue, ui.lbTVUnit},
            {QStringLiteral("QV"), ui.lbQVTitle, ui.lcdQVValue, ui.lbQVUnit}};
}

void PVWidget::setRowVisible(const VariableRow &row, bool visible)
{
    row.title->setVisible(visible);
    row.lcd->setVisible(visible);
    row.unit->setVisible(visible);
}

QString PVWidget::unitText(const QString &name) const
{
    if (name == QLatin1String("SV"))
        return device->svUnitText();
    if (name == QLatin1String("TV"))
        return device->tvUnitText();
    return device->qvUnitText();
}

void PVWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui.retranslateUi(this);
    DeviceWidget::changeEvent(event);
}

void PVWidget::onUpdateButtons(bool enable)
{
    ui.btnRefresh->setEnabled(enable);
    ui.chkAdditionalStatus->setEnabled(enable);
    ui.btnResetConfigChanged->setEnabled(enable && configChanged);
}

void PVWidget::onDeviceChanged(Device *newDevice)
{
    DEBUGQT_LOG(4);
    if (device) {
        disconnect(device, &Device::deviceStatus, this, &PVWidget::appendDeviceStatus);
        disconnect(device, &Device::deviceError, this, &PVWidget::appendDeviceError);
    }
    device = newDevice;
    if (!device)
        return;
    connect(device, &Device::deviceStatus, this, &PVWidget::appendDeviceStatus);
    connect(device, &Device::deviceError, this, &PVWidget::appendDeviceError);
}

void PVWidget::onResetWidget()
{
    shownStatusLines.clear();
    ui.txtStatusText->clear();
    ui.lcdPVValue->setDigitCount(PVDigits);
    for (QLCDNumber *lcd : {ui.lcdPVValue, ui.lcdSVValue, ui.lcdTVValue, ui.lcdQVValue})
        Readout::show(lcd, QVariant());
    clearCurrents();
}

void PVWidget::onInitProgressBar(const QString &, int)
{
    DEBUGQT_LOG(4);
    ui.txtStatusText->clear();
    shownStatusLines.clear();
}

void PVWidget::clearCurrents()
{
    loading = true;
    ui.txtOutputCurrent->clear();
    ui.txtOutputCurrentP->clear();
    loading = false;
}

// A failed read measured nothing: dashes, no units, no currents, until a read measures again.
void PVWidget::showNothingMeasured()
{
    for (QLCDNumber *lcd : {ui.lcdPVValue, ui.lcdSVValue, ui.lcdTVValue, ui.lcdQVValue})
        Readout::show(lcd, QVariant());
    for (QLabel *unit : {ui.lbPVUnit, ui.lbSVUnit, ui.lbTVUnit, ui.lbQVUnit})
        unit->clear();
    clearCurrents();
}

// ---------------------------------------------------------------------------------------------
// Reads

bool PVWidget::readPrimaryVariable(bool interactive)
{
    DEBUGQT_LOG(4) << interactive;
    if (!device)
        return false;
    if (interactive && !startOperation(tr("Reading variables"), 1))
        return false;
    // After the read a unit code exists only when this answer carried its variable.
    for (const VariableRow &row : variableRows())
        device->removeParameter(row.name + QStringLiteral("_unit_code"));
    bool read = false;
    {
        // The value this read stored, whatever a poller of the device leaves in it meanwhile.
        const Device::ReadCapture values(device);
        read = device->readDevice(3);
        readPV = read ? values.value(QStringLiteral("PV")) : QVariant();
    }
    if (!read)
        return failPrimaryVariable(interactive);

    Readout::show(ui.lcdPVValue, readPV);
    ui.lbPVUnit->setText(device->pvUnitText());
    for (const VariableRow &row : variableRows())
        showVariableRow(row);
    const QByteArray status = device->lastStatusBytes();
    if (Utils::byteAt(status, 1) & MalfunctionBit)
        device->statusText(true, false);
    return finishPrimaryVariable(interactive);
}

void PVWidget::showVariableRow(const VariableRow &row)
{
    const QString unitKey = row.name + QStringLiteral("_unit_code");
    const bool present = device->hasParameter(unitKey);
    const int unitCode = device->parameterInt(unitKey) & 0xFF;
    if (present)
        DEBUGQT_LOG(4) << row.name + QStringLiteral(" unit code:") << Utils::hexByte(quint8(unitCode));
    const bool shown = present && unitCode != NotUsedUnitCode;
    setRowVisible(row, shown);
    if (!shown)
        return;
    row.unit->setText(unitText(row.name));
    // A row on a tab not in front is updated too, so it never shows a stale value later.
    Readout::show(row.lcd, device->parameter(row.name));
}

bool PVWidget::failPrimaryVariable(bool interactive)
{
    showNothingMeasured();
    if (interactive) {
        finishOperation(0);
        Prompt::warning(this, tr("Reading the primary variable"),
                        tr("Primary Variable value read error! Try again please."), QMessageBox::Cancel);
    }
    return false;
}

bool PVWidget::finishPrimaryVariable(bool interactive)
{
    const int errorCode = device->parameterInt(QStringLiteral("error_code"));
    if (!interactive)
        return true;
    if (errorCode == 0) {
        nextStep();
        finishOperation(0);
        return true;
    }
    finishOperation(0);
    Prompt::warning(this, tr("Reading the primary variable"),
                    tr("PV measurement error=%1! Try again please.").arg(errorCode), QMessageBox::Cancel);
    return false;
}

bool PVWidget::readOutputCurrent()
{
    if (!device)
        return false;
    clearCurrents();
    if (!device->readDevice(2))
        return false;
    const QString percentKey = QStringLiteral("output_current_%");
    if (Readout::isMeasured(device->parameter(OutputCurrentKey)))
        showDeviceInfoInField(OutputCurrentKey, ui.txtOutputCurrent, true);
    if (Readout::isMeasured(device->parameter(percentKey)))
        showDeviceInfoInField(percentKey, ui.txtOutputCurrentP, true);
    readLoopCurrentMode(true);
    return true;
}

void PVWidget::readLoopCurrentMode(bool mayRead)
{
    if (!device)
        return;
    int mode = device->hasParameter(LoopModeKey) ? device->parameterInt(LoopModeKey) & 0xFF : 1;
    // A multidrop device with its loop current disabled shows more than 4 mA: read its mode again.
    const bool multidrop = (device->parameterInt(QStringLiteral("polling_address")) & 0xFF) != 0;
    if (mayRead && multidrop && mode == 0 && double(device->parameterFloat(OutputCurrentKey)) > LoopCurrentAtRest) {
        if (device->readDevice(7))
            mode = device->parameterInt(LoopModeKey) & 0xFF;
    }
    ui.lbCurrentLoopMode->setText(mode == 0 ? tr("current loop disabled") : QString());
}

void PVWidget::on_btnRefresh_clicked()
{
    if (!startOperation(tr("Reading variables"), 3))
        return;
    nextStep();
    if (readPrimaryVariable(false))
        nextStep();
    if (readOutputCurrent())
        nextStep();
    finishOperation(0);
}

void PVWidget::on_btnResetConfigChanged_clicked()
{
    if (!device || !startOperation(tr("Reset flag <Config changed>"), 1))
        return;
    if (device->writeDevice(38))
        nextStep();
    finishOperation(0);
}

void PVWidget::on_chkAdditionalStatus_stateChanged(int state)
{
    if (device)
        device->setRequestAdditionalStatus(state == Qt::Checked);
}

// ---------------------------------------------------------------------------------------------
// Status, errors and polling responses

void PVWidget::appendDeviceStatus(const QString &text, const QByteArray &statusBytes)
{
    DEBUGQT_LOG(4);
    readLoopCurrentMode(false);
    const QString hex = Utils::bufferToHex(statusBytes).toUpper();
    const bool prefixed = !hex.isEmpty() && hex != QLatin1String("00 00");
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (shownStatusLines.contains(line))
            continue;
        shownStatusLines.insert(line);
        const bool withPrefix = prefixed && !line.isEmpty() && !line.contains(QLatin1String("---"));
        ui.txtStatusText->appendPlainText(withPrefix ? QStringLiteral("[%1] %2").arg(hex, line) : line);
    }
    configChanged = Utils::byteAt(statusBytes, 1) & ConfigChangedBit;
    ui.btnResetConfigChanged->setEnabled(configChanged);
}

void PVWidget::appendDeviceError(const QString &text)
{
    DEBUGQT_LOG(4);
    // A successful identification reports an empty error text.
    if (text.trimmed().isEmpty())
        return;
    QString shown = text;
    shown.replace(QStringLiteral("***"), QStringLiteral("\n***"));
    ui.txtStatusText->appendPlainText(shown);
}

// The polling thread empties the device's variables while it reads, so the values come from the
// response itself.
void PVWidget::showPeriodResponsePV(const QVariantMap &response)
{
    if (!device)
        return;
    if (response.contains(QStringLiteral("errorText"))) {
        showNothingMeasured();
        return;
    }
    Readout::show(ui.lcdPVValue, response.value(QStringLiteral("PV")));
    ui.lbPVUnit->setText(device->pvUnitText());
    loading = true;
    const QVariant current = response.value(OutputCurrentKey);
    ui.txtOutputCurrent->setText(Readout::isMeasured(current) ? Readout::text(current.toFloat()) : QString());
    loading = false;
    // A variable this read did not deliver shows dashes rather than an older value.
    for (const VariableRow &row : variableRows()) {
        Readout::show(row.lcd, response.value(row.name));
        row.unit->setText(response.contains(row.name) ? unitText(row.name) : QString());
    }
}
