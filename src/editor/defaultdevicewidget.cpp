#include "editor/defaultdevicewidget.h"

#include "core/debugqtstream.h"
#include "core/utils.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QTableWidget>

namespace {

QString slotCodeKey(int slot)
{
    return QStringLiteral("slot_%1_code").arg(slot);
}

} // namespace

DefaultDeviceWidget::DefaultDeviceWidget(QWidget *parent)
    : MainDeviceWidget(parent, nullptr)
{
    setupUi(this);
    initWidget();
    createPages();
    createMeasurementTab();

    addLogTab(tabMainWidget);
    addCommandTab(tabMainWidget);

    retranslateTabs();
    onUpdateButtons(false);
    tabMainWidget->setCurrentIndex(0);
}

DefaultDeviceWidget::~DefaultDeviceWidget()
{
    DEBUGQT_LOG(4) << "~DefaultDeviceWidget";
}

void DefaultDeviceWidget::createPages()
{
    statusWidget = new StatusWidget(this);
    verticalLayoutStatus->addWidget(statusWidget);

    pvWidget = new PVWidget(this, 4, true);
    addChildWidget(pvWidget, QStringLiteral("PV"));
    connect(pvWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    commonWidget = new CommonWidget(this, true);
    addChildWidget(commonWidget, QStringLiteral("Common"));
    connect(commonWidget, &DeviceWidget::resetWidget, this, &DefaultDeviceWidget::onResetWidget);
    connect(commonWidget, &DeviceWidget::updateButtons, this, &DefaultDeviceWidget::onUpdateButtons);
    connect(commonWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    auto *layout = new QGridLayout(tabCurrentState);
    layout->addWidget(pvWidget, 0, 0);
    layout->addWidget(commonWidget, 0, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setContentsMargins(5, 5, 5, 5);
}

void DefaultDeviceWidget::createMeasurementTab()
{
    // The generic editor polls all four dynamic variables.
    MeasureWidget *measureWidget = addMeasurementTab(tabMainWidget, 4, pvWidget, commonWidget);
    connect(measureWidget, &MeasureWidget::startPeriod, this, &DefaultDeviceWidget::onStartPeriod);
}

void DefaultDeviceWidget::initWidget()
{
    initUnitsCatalogue(0, nullptr);
    initDeviceVariablesTable();
    DEBUGQT_LOG(4) << "Input Units:" << cmbInputUnits->currentIndex();
    connect(tabRangeWidget, &QTabWidget::currentChanged, this, &DefaultDeviceWidget::on_tabWidget_currentChanged);
    connect(dspnFixedCurrent, &QDoubleSpinBox::valueChanged, this, &DeviceWidget::onSpnDoubleBoxValueChanged);
    // The units of a device variable mean nothing until a variable's details are shown.
    cmbDevVariableUnits->setEnabled(false);

    // The editable settings: parameter key, field and the command that writes it. Several keys
    // share a command; the write list holds each command once.
    const struct
    {
        const char *key;
        QWidget *field;
        int command;
    } settings[] = {
        {"sensor_number", spnSensorNumber, 49},
        {"range_max", dspnRangeMax, 35},
        {"range_min", dspnRangeMin, 35},
        {"input_units", cmbInputUnits, 44},
        {"conversion_function", cmbTransferFunction, 47},
        {"PV_dev_variable_code", cmbPVDevVariable, 51},
        {"SV_dev_variable_code", cmbSVDevVariable, 51},
        {"TV_dev_variable_code", cmbTVDevVariable, 51},
        {"QV_dev_variable_code", cmbQVDevVariable, 51},
        {"dev_variable_limits_unit_code", cmbDevVariableUnits, 53},
    };
    for (const auto &setting : settings)
        fields.insert(QLatin1String(setting.key), setting.field);
    for (const auto &setting : settings)
        writeCommands.insert(QLatin1String(setting.key), setting.command);
    modifiedKeys.clear();
    btnReadCfgFromDevice->setFocus(Qt::OtherFocusReason);
}

void DefaultDeviceWidget::showDeviceInfoInFields()
{
    DeviceWidget::showDeviceInfoInFields();
    showSensorInfo();
    showRangeInfo();
    fillPVUnits();
    fillDeviceVariableCombos();
    showDynamicVariableInfo();
    showDeviceVariables();
}

void DefaultDeviceWidget::setFieldColorModified(QWidget *field, bool modified)
{
    MainDeviceWidget::setFieldColorModified(field, modified);
    const bool enable = !modifiedKeys.isEmpty() && configurationRead;
    if (polling)
        enabledStates.insert(btnWriteCfgInDevice, enable);
    else
        btnWriteCfgInDevice->setEnabled(enable);
}

void DefaultDeviceWidget::onWidgetStateChanged()
{
    DEBUGQT_LOG(4) << "field changed, loading:" << loading;
    MainDeviceWidget::onWidgetStateChanged();
}

void DefaultDeviceWidget::onStartPeriod(bool enable)
{
    if (!enable) {
        if (!polling)
            enabledStates.insert(btnWriteCfgInDevice, btnWriteCfgInDevice->isEnabled());
        polling = true;
        btnWriteCfgInDevice->setEnabled(false);
    } else {
        polling = false;
        // Without a stored state the button stays disabled.
        btnWriteCfgInDevice->setEnabled(enabledStates[btnWriteCfgInDevice]);
    }
    emit changed();
}

void DefaultDeviceWidget::ControlFieldsByInputUnits(int index)
{
    DEBUGQT_LOG(4) << "input units index" << index;
}

void DefaultDeviceWidget::on_cmbInputUnits_currentIndexChanged(int index)
{
    DEBUGQT_LOG(4) << "cmbInputUnits" << index;
    if (index != -1)
        ControlFieldsByInputUnits(index);
}

void DefaultDeviceWidget::on_tableWidgetDV_currentItemChanged(QTableWidgetItem *, QTableWidgetItem *)
{
    DEBUGQT_LOG(4) << "FFFFFFFFFFF";
    const int currentRow = tableWidgetDV->currentRow();
    if (!device || tableWidgetDV->rowCount() == 0 || currentRow < 0)
        return;
    const QTableWidgetItem *item = tableWidgetDV->item(currentRow, 0);
    if (!item)
        return;
    const int row = item->data(Qt::UserRole).toInt();
    DEBUGQT_LOG(4) << item->text() << "row" << row;

    // Commands 54 and 53 name the variable by the device's own code, which the row shows; the
    // row index only finds the slot's data.
    device->setParameter(QStringLiteral("dev_variable_code"), device->parameterInt(slotCodeKey(row)) & 0xFF);
    const bool identified = !device->uniqueAddress().isEmpty();
    if (identified && deviceVariableCommandSupported) {
        if (!startOperation(tr("Read device variable information"), 2))
            return;
        nextStep();
        if (device->writeDevice(54)) {
            fillPVUnits();
            nextStep();
        } else if (Utils::byteAt(device->lastStatusBytes(), 0) == 64) {
            deviceVariableCommandSupported = false;
        }
        finishOperation(0);
    }
    if (!identified || !deviceVariableCommandSupported)
        fillSlotFallback(row);
    showDeviceVariableInfo(row);
}

void DefaultDeviceWidget::fillSlotFallback(int row)
{
    const QString unitKey = QStringLiteral("slot_%1_unit_code").arg(row);
    const QString classKey = QStringLiteral("slot_%1_class").arg(row);
    device->setParameter(QStringLiteral("dev_variable_limits_unit_code"),
                         device->hasParameter(unitKey) ? device->parameterInt(unitKey) & 0xFF : 255);
    device->setParameter(QStringLiteral("dev_variable_class"),
                         device->hasParameter(classKey) ? device->parameterInt(classKey) & 0xFF : 0);
}

void DefaultDeviceWidget::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    if (event->key() == Qt::Key_D && (event->modifiers() & both) == both) {
        DEBUGQT_LOG(4) << "Hit Ctrl-Shift-S";
        event->ignore();
    }
    // Every other key stops at the page: the event stays accepted.
}
