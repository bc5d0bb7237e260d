#include "devices/acivel/acivelwidget.h"

#include "core/debugqtstream.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"

#include <QGridLayout>
#include <QKeyEvent>

#include <iterator>

namespace {

// The identity the common page's device check requires of the meter.
constexpr int ManufacturerCode = 0xE0;
constexpr int DeviceTypeCode = 0x94;

// Reads of the configuration, each one step: the whole read succeeds only when all of them do.
// The indication range (140) is read too: command 141 writes both of its bounds at once.
constexpr int ConfigurationReads[] = {130, 134, 140, 150, 152, 14, 15};
constexpr int ConfigurationSteps = int(std::size(ConfigurationReads)) + 1;

} // namespace

AcivelWidget::AcivelWidget(QWidget *parent)
    : MainDeviceWidget(parent, nullptr)
{
    setupUi(this);
    loading = false;
    initWidget();
    createPages();
    retranslateTabs();
    onUpdateButtons(false);
    tabMainWidget->setCurrentIndex(0);
    stackedWidgetAdjust->setCurrentIndex(0);
    // Open, New, Remove and closing the window take the device and its line away before the
    // page goes: the command-33 poller stops first, as the measurement tab's poller does.
    connect(this, &MainDeviceWidget::closeApplication, this, &AcivelWidget::stopLiveValues);
}

AcivelWidget::~AcivelWidget()
{
    DEBUGQT_LOG(4) << "~AcivelWidget";
    // No live value may arrive while the page's widgets go.
    periodThread33.stopThread();
}

void AcivelWidget::stopLiveValues()
{
    liveValues = LiveValues::None;
    periodThread33.stopThread();
}

void AcivelWidget::createPages()
{
    statusWidget = new StatusWidget(this);
    verticalLayoutStatus->addWidget(statusWidget);

    pvWidget = new PVWidget(this, 3, false);
    addChildWidget(pvWidget, QStringLiteral("PV"));
    connect(pvWidget, &PVWidget::changed, this, &DeviceWidget::changed);

    commonWidget = new CommonWidget(this, false);
    commonWidget->expectedManufacturerCode = ManufacturerCode;
    commonWidget->expectedDeviceTypeCode = DeviceTypeCode;
    addChildWidget(commonWidget, QStringLiteral("Common"));
    connect(commonWidget, &CommonWidget::resetWidget, this, &AcivelWidget::onResetWidget);
    connect(commonWidget, &CommonWidget::updateButtons, this, &AcivelWidget::onUpdateButtons);
    connect(commonWidget, &CommonWidget::changed, this, &DeviceWidget::changed);

    auto *currentState = new QGridLayout(tabCurrentState);
    currentState->addWidget(pvWidget, 0, 0);
    currentState->addWidget(commonWidget, 0, 1);
    currentState->setColumnStretch(0, 1);
    currentState->setColumnStretch(1, 1);
    currentState->setContentsMargins(5, 5, 5, 5);

    measureWidget = addMeasurementTab(tabMainWidget, 3, pvWidget, commonWidget);
    connect(measureWidget, &MeasureWidget::startPeriod, this, &AcivelWidget::onStartPeriod);
    addLogTab(tabMainWidget);
    addCommandTab(tabMainWidget);
}

void AcivelWidget::initWidget()
{
    initCombos(-1);
    DEBUGQT_LOG(4) << "Input Units:" << cmbInputMode->currentIndex();
    ControlFieldsByInputUnits(cmbInputMode->currentIndex());

    connect(tabRangeWidget, &QTabWidget::currentChanged, this, &AcivelWidget::on_tabWidget_currentChanged);
    // An edited fixed current is coloured like an edited field; it has no key, so it is never written.
    connect(dspnFixedCurrent, &QDoubleSpinBox::valueChanged, this, &DeviceWidget::onSpnDoubleBoxValueChanged);

    const std::pair<const char *, QWidget *> rows[] = {
        {"sensor_number", spnSensorNumber},
        {"range_min", dspnRangeMin},
        {"range_max", dspnRangeMax},
        {"input_units", cmbInputMode},
        {"ei_isopotential_point", dspnEi},
        {"steepness", dspnS},
        {"phi_isopotential_point", dspnpHi},
        {"average_time_small_sig_ph", spnAvTimeSmallSignal_pH},
        {"average_time_big_sig_ph", spnAvTimeBigSignal_pH},
        {"big_sig_threshold_ph", dspnBigSignalThreshold_pH},
        {"electrode_diag", cmbElectrodeDiag},
        {"t_measurement_mode", cmbCompensationMode},
        {"t_manual", dspnHandSetTemperature},
        {"ts_type", cmbResistorType},
        {"ts_0", dspnResistanceTS0},
        {"t_for_correction", dspnTempCorrection},
        {"average_time_small_sig_t", spnAvTimeSmallSignal_T},
        {"average_time_big_sig_t", spnAvTimeBigSignal_T},
        {"big_sig_threshold_t", dspnBigSignalThreshold_T},
        {"indicate_range_min", dspnMinIndication},
        {"indicate_range_max", dspnMaxIndication},
    };
    const int commands[] = {49, 35, 35, 131, 131, 131, 131, 132, 132, 132, 133,
                            135, 135, 136, 136, 136, 137, 137, 137, 141, 141};
    static_assert(std::size(rows) == std::size(commands));
    for (size_t row = 0; row < std::size(rows); ++row) {
        const QString key = QLatin1String(rows[row].first);
        fields.insert(key, rows[row].second);
        writeCommands.insert(key, commands[row]);
    }
    modifiedKeys.clear();
    btnReadCfgFromDevice->setFocus(Qt::OtherFocusReason);

    cmbCurrentGrdType->hide();
    grpboxPoint_1->setEnabled(false);
    grpboxPoint_2->setEnabled(false);
    stackedWidgetPoint_1->setCurrentIndex(0);
    stackedWidgetPoint_2->setCurrentIndex(0);
    btnStopGraduation->hide();
    on_cmbGrdType_currentIndexChanged(0);
    watchSavedMarks();
}

void AcivelWidget::on_btnReadCfgFromDevice_clicked()
{
    configurationRead = false;
    if (!device || !startOperation(tr("Read device configuration"), ConfigurationSteps))
        return;
    int reached = 1;
    bool rangeRead = false;
    for (const int command : ConfigurationReads) {
        nextStep();
        const bool ok = device->readDevice(command);
        if (!ok)
            continue;
        ++reached;
        switch (command) {
        case 134:
            showConfigInFields();
            break;
        case 140:
            showDeviceInfoInField(QStringLiteral("indicate_range_min"), dspnMinIndication, true);
            showDeviceInfoInField(QStringLiteral("indicate_range_max"), dspnMaxIndication, true);
            break;
        case 150:
            showGraduationValues();
            break;
        case 152:
            showEiSRanges();
            break;
        case 14:
            showSensorInfo();
            break;
        case 15:
            showRangeInfo();
            rangeRead = true;
            break;
        default:
            break;
        }
    }
    nextStep();
    finishOperation(reached);
    configurationRead = rangeRead && reached == ConfigurationSteps;
    updateWriteButton();
    if (configurationRead)
        emit changed();
}

void AcivelWidget::showSensorInfo()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("sensor_range_min"), lbSensorRangeMin, true);
    showDeviceInfoInField(QStringLiteral("sensor_range_max"), lbSensorRangeMax, true);
    showDeviceInfoInField(QStringLiteral("sensor_minimum_range"), lbSensorMinimumRange, true);
    showDeviceInfoInField(QStringLiteral("sensor_number"), spnSensorNumber, true);
    const QString unit = Device::unitText(device->parameterInt(QStringLiteral("sensor_unit_code")) & 0xFF, 0);
    for (QLabel *label : {lbSensorUnit1, lbSensorUnit2, lbSensorUnit3})
        label->setText(unit);
}

void AcivelWidget::showRangeInfo()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("range_min"), dspnRangeMin, true);
    showDeviceInfoInField(QStringLiteral("range_max"), dspnRangeMax, true);
    const QString unit = Device::unitText(device->parameterInt(QStringLiteral("range_unit_code")) & 0xFF, 0);
    lbUnitMinRange->setText(unit);
    lbUnitMaxRange->setText(unit);
    const bool protectedDevice = (device->parameterInt(QStringLiteral("write_protection")) & 0xFF) == 1;
    lbWriteProtection->setText(protectedDevice ? tr("write protection is enabled") : QString());
}

void AcivelWidget::showDeviceInfoInFields()
{
    DEBUGQT_LOG(4);
    DeviceWidget::showDeviceInfoInFields();
    showSensorInfo();
    showRangeInfo();
    showConfigInFields();
}

bool AcivelWidget::refreshAfterWrite()
{
    const bool sensorRead = device->readDevice(14);
    if (sensorRead)
        showSensorInfo();
    const bool rangeRead = device->readDevice(15);
    if (rangeRead)
        showRangeInfo();
    return sensorRead && rangeRead;
}

void AcivelWidget::setFieldColorModified(QWidget *field, bool modified)
{
    if (!field)
        return;
    DEBUGQT_LOG(4) << field->objectName() << modified;
    MainDeviceWidget::setFieldColorModified(field, modified);
    updateWriteButton();
}

void AcivelWidget::updateWriteButton()
{
    setWriteButtonEnabled(!modifiedKeys.isEmpty() && configurationRead);
}

void AcivelWidget::setWriteButtonEnabled(bool enabled)
{
    if (runningPollers != 0)
        enabledStates.insert(btnWriteCfgInDevice, enabled);
    else
        btnWriteCfgInDevice->setEnabled(enabled);
}

void AcivelWidget::onWidgetStateChanged()
{
    DEBUGQT_LOG(4) << (sender() ? sender()->objectName() : QString());
    DeviceWidget::onWidgetStateChanged();
}

void AcivelWidget::onUpdateButtons(bool enable)
{
    for (QWidget *button : std::initializer_list<QWidget *>{
             btnReadCfgFromDevice, btnReadCurrentGrdValues, btnStartGraduation, btnSaveMinByPV, btnSaveMaxByPV,
             btnStartAdjust, btnStartURRAdjust, btnEiSRangeCorrection, btnStartSensorParam,
             btnSaveManufacturerSettings, btnRestoreManufacturerSettings})
        button->setEnabled(enable);
    buttonsEnabled = enable;
    // The fixed current stays locked while a metrology task is open.
    btnResetFixedCurrent->setEnabled(enable && !adjustGranted);
    btnSetFixedCurrent->setEnabled(enable && !adjustGranted);
    setWriteButtonEnabled(false);
    emit updateButtons(enable);
}

void AcivelWidget::onResetWidget()
{
    DEBUGQT_LOG(4);
    onUpdateButtons(false);
    resetGraduation();
    // The device check keeps the page set busy, so the meter cannot be told to leave metrology
    // mode here: an open task keeps its page for its Complete button, one never granted goes.
    stopAdjustMeasurement();
    if (!adjustGranted)
        dropPendingTask();
    configurationRead = false;
    updateWriteButton();
    emit resetWidget();
}

void AcivelWidget::onStartPeriod(bool enable)
{
    setPollerRunning(MeasurementTabPoller, !enable);
}

void AcivelWidget::setPollerRunning(Poller poller, bool running)
{
    const int before = runningPollers;
    runningPollers = running ? (runningPollers | poller) : (runningPollers & ~poller);
    if (runningPollers == before)
        return;   // a stop without a start, or a second start of the same poller
    if (before == 0) {
        enabledStates.insert(btnWriteCfgInDevice, btnWriteCfgInDevice->isEnabled());
        btnWriteCfgInDevice->setEnabled(false);
        tabAdjust->setEnabled(false);
    } else if (runningPollers == 0) {
        tabAdjust->setEnabled(true);
        btnWriteCfgInDevice->setEnabled(enabledStates.value(btnWriteCfgInDevice, false));
    }
    emit changed();
}

void AcivelWidget::on_btnSaveMinByPV_clicked()
{
    saveRangeMinByPV();
}

void AcivelWidget::on_btnSaveMaxByPV_clicked()
{
    saveRangeMaxByPV();
}

void AcivelWidget::on_tabWidget_currentChanged(int index)
{
    Q_UNUSED(index)
    resetGraduation();
}

void AcivelWidget::keyPressEvent(QKeyEvent *event)
{
    // Return confirms the access code; every other key stops here.
    if (event->key() == Qt::Key_Return && focusWidget() == dspnAdjustCode)
        on_btnCheckCode_clicked();
}
