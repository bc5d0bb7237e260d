#include "editor/maindevicewidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "editor/commandwidget.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/logwidget.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace {

// The range values go last: a device checks them against the unit and sensor written before.
constexpr int RangeCommand = 35;

} // namespace

MainDeviceWidget::MainDeviceWidget(QWidget *parent, Device *device)
    : DeviceWidget(parent, device)
{
}

MainDeviceWidget::~MainDeviceWidget() = default;

void MainDeviceWidget::setItem(Device *newDevice)
{
    // Handles rather than sender and signal, so a device that is gone is never touched.
    disconnect(m_logRelay);
    disconnect(m_serialNameRelay);
    device = newDevice;
    Port *port = device ? device->port() : nullptr;
    DEBUGQT_LOG(4) << (port ? port->name() : QString())
                   << (port ? port->property("serial_name").toString() : QString());
    if (device)
        m_logRelay = connect(device, &Device::modbusMessage, this, &MainDeviceWidget::appendLogMessage);
    if (port)
        m_serialNameRelay = connect(port, &Port::serialNameChanged, this, &DeviceWidget::serialNameChanged);
    emit deviceChanged(device);
}

void MainDeviceWidget::setFieldColorModified(QWidget *field, bool modified)
{
    if (!field)
        return;
    DeviceWidget::setFieldColorModified(field, modified);
    const auto registered = std::find(fields.cbegin(), fields.cend(), field);
    if (registered == fields.cend())
        return;
    if (modified)
        modifiedKeys.insert(registered.key());
    else
        modifiedKeys.remove(registered.key());
    DEBUGQT_LOG(4) << modified << QStringList(modifiedKeys.cbegin(), modifiedKeys.cend());
}

QList<int> MainDeviceWidget::getWriteFunctionsList()
{
    if (isBusy() || !device)
        return {};
    if (device->parameterInt(QStringLiteral("write_protection")) == 1) {
        Prompt::warning(this, tr("Write changes to device"), tr("The device is write-protected!"), QMessageBox::Ok);
        return {};
    }
    // A key without a command has nothing to send it (and command 0 would identify).
    QSet<int> commandSet;
    for (const QString &key : std::as_const(modifiedKeys)) {
        if (fields.value(key) && writeCommands.contains(key))
            commandSet.insert(writeCommands.value(key));
    }
    if (!commandsCarryValues(commandSet) || !confirmWrite())
        return {};

    copyEditedValues();
    QList<int> commands(commandSet.cbegin(), commandSet.cend());
    std::sort(commands.begin(), commands.end());
    if (commands.removeOne(RangeCommand))
        commands.append(RangeCommand);
    return commands;
}

bool MainDeviceWidget::confirmWrite()
{
    if (adjustMode == NoAdjustMode)
        return confirm(tr("Changes"), tr("Do you want to save your changes of the settings in the device?"));
    if (!confirm(tr("Adjustment"),
                 tr("You are in metrology mode and really want to record changes to the settings in the device?")))
        return false;
    // The settings are written whether or not metrology mode could be left.
    finishAdjust();
    return true;
}

// A command sends every key it carries, the ones not edited as the instrument gave them: one
// whose field shows that the instrument gave no value would send a number nobody measured.
bool MainDeviceWidget::commandsCarryValues(const QSet<int> &commands)
{
    QList<const QAbstractSpinBox *> carried;
    for (auto it = writeCommands.cbegin(); it != writeCommands.cend(); ++it) {
        const auto *box = qobject_cast<const QAbstractSpinBox *>(fields.value(it.key()));
        if (box && commands.contains(it.value()) && writeCarries(it.value(), it.key()))
            carried.append(box);
    }
    return fieldsHoldValues(tr("Write changes to device"), carried);
}

bool MainDeviceWidget::writeCarries(int, const QString &) const
{
    return true;
}

void MainDeviceWidget::copyEditedValues()
{
    for (const QString &key : std::as_const(modifiedKeys)) {
        const QWidget *field = fields.value(key);
        if (!field || !writeCommands.contains(key))
            continue;
        const QVariant value = editedValue(field);
        DEBUGQT_LOG(4) << key << "v: " << value;
        if (!value.isNull())
            device->setParameter(key, value);
    }
}

QVariant MainDeviceWidget::editedValue(const QWidget *field)
{
    // By the exact class: a subclass with a meta-object of its own is not read.
    if (!field->isEnabled())
        return QVariant();
    const QLatin1String className(field->metaObject()->className());
    if (className == QLatin1String("QComboBox"))
        return static_cast<const QComboBox *>(field)->currentData();
    if (className == QLatin1String("QSpinBox"))
        return static_cast<const QSpinBox *>(field)->value();
    if (className == QLatin1String("QDoubleSpinBox"))
        return static_cast<const QDoubleSpinBox *>(field)->value();
    return QVariant();
}

void MainDeviceWidget::writeConfiguration(const QList<int> &commands, bool refresh)
{
    if (!device)
        return;
    // An empty list writes and refreshes nothing, so it counts no step that could be missed.
    const int steps = commands.isEmpty() ? 0 : int(commands.size()) + (refresh ? 1 : 0);
    if (!startOperation(tr("Write device configuration"), steps))
        return;
    if (commands.isEmpty()) {
        finishOperation(0);
        return;
    }

    int written = 0;
    for (int command : commands) {
        if (!device->writeDevice(command))
            break;
        // The device now keeps its range in the new PV units, so a range written after them
        // carries those units and not the ones last read.
        if (command == 44)
            device->setParameter(QStringLiteral("range_unit_code"), device->parameterInt(QStringLiteral("input_units")));
        markWritten(command);
        nextStep();
        ++written;
    }
    if (written < commands.size()) {
        finishOperation(written);
        return;
    }
    if (refresh) {
        // The read-back is a step of its own: a failed one leaves the operation incomplete.
        finishOperation(refreshAfterWrite() ? written + 1 : written);
    } else {
        finishOperation(written);
    }
    emit changed();
}

void MainDeviceWidget::markWritten(int command)
{
    for (auto it = writeCommands.cbegin(); it != writeCommands.cend(); ++it) {
        if (it.value() == command)
            setFieldColorModified(fields.value(it.key()), false);
    }
}

bool MainDeviceWidget::checkConfigurationRead()
{
    if (configurationRead)
        return true;
    Prompt::warning(this, tr("Adjustment"), tr("You must first read the device configuration!"), QMessageBox::Ok);
    return false;
}

bool MainDeviceWidget::refreshAfterWrite()
{
    return true;
}

void MainDeviceWidget::finishAdjust()
{
    completeAdjust();
}

MeasureWidget *MainDeviceWidget::addMeasurementTab(QTabWidget *tabs, int mode, PVWidget *pv, CommonWidget *common)
{
    auto *measure = new MeasureWidget(this, mode);
    setWidgetInTab(measure, tabs, QStringLiteral("Measurement"));
    connect(this, &DeviceWidget::deviceChanged, measure, &MeasureWidget::onDeviceChanged);
    connect(this, &DeviceWidget::updateButtons, measure, &MeasureWidget::onUpdateButtons);
    connect(this, &MainDeviceWidget::closeApplication, measure, &MeasureWidget::onCloseApplication);
    connect(measure, &MeasureWidget::changed, this, &DeviceWidget::changed);
    connect(measure, &MeasureWidget::responsePV, pv, &PVWidget::showPeriodResponsePV);
    connect(measure, &MeasureWidget::startPeriod, common, &CommonWidget::onStartPeriod);
    return measure;
}

LogWidget *MainDeviceWidget::addLogTab(QTabWidget *tabs)
{
    auto *log = new LogWidget(this);
    setWidgetInTab(log, tabs, QStringLiteral("Hart Log"));
    connect(this, &MainDeviceWidget::appendLogMessage, log, &LogWidget::appendLogMessage);
    return log;
}

CommandWidget *MainDeviceWidget::addCommandTab(QTabWidget *tabs)
{
    auto *command = new CommandWidget(this);
    setWidgetInTab(command, tabs, QStringLiteral("Custom"));
    connect(this, &DeviceWidget::deviceChanged, command, &CommandWidget::onDeviceChanged);
    connect(this, &DeviceWidget::updateButtons, command, &CommandWidget::onUpdateButtons);
    return command;
}

QList<MainDeviceWidget::PendingEdit> MainDeviceWidget::pendingEdits() const
{
    QList<PendingEdit> edits;
    for (const QString &key : modifiedKeys) {
        QWidget *field = fields.value(key);
        if (!field)
            continue;
        QVariant value;
        if (const auto *combo = qobject_cast<const QComboBox *>(field))
            value = combo->currentData();
        else if (const auto *box = qobject_cast<const QSpinBox *>(field))
            value = box->value();
        else if (const auto *box = qobject_cast<const QDoubleSpinBox *>(field))
            value = box->value();
        else
            continue;
        edits.append({field, value, field->isEnabled()});
    }
    return edits;
}

void MainDeviceWidget::restorePendingEdits(const QList<PendingEdit> &edits)
{
    // Put back under the loading flag: the device was marked when the person made the edit.
    const bool wasLoading = loading;
    loading = true;
    for (const PendingEdit &edit : edits) {
        {
            const QSignalBlocker blocker(edit.field);
            if (auto *combo = qobject_cast<QComboBox *>(edit.field))
                combo->setCurrentIndex(combo->findData(edit.value));
            else if (auto *box = qobject_cast<QSpinBox *>(edit.field))
                box->setValue(edit.value.toInt());
            else if (auto *box = qobject_cast<QDoubleSpinBox *>(edit.field))
                box->setValue(edit.value.toDouble());
            edit.field->setEnabled(edit.enabled);
        }
        setFieldColorModified(edit.field, true);
    }
    loading = wasLoading;
}
