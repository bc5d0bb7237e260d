#include "devices/drumel/drumelwidget.h"

#include "core/debugqtstream.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"

#include <QEvent>
#include <QGridLayout>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int FreeConvertionUnits = 251;

struct UnitRow
{
    const char *text;
    int code;
};

// The pressure units a converter shows, with their HART unit codes; the first row converts
// freely and is offered for the indication only.
const UnitRow InputUnits[] = {
    {QT_TRANSLATE_NOOP("DrumelWidget", "Free convertion"), FreeConvertionUnits},
    {QT_TRANSLATE_NOOP("DrumelWidget", "Pa  (Pa)"), 11},
    {QT_TRANSLATE_NOOP("DrumelWidget", "kPa (kPa)"), 12},
    {QT_TRANSLATE_NOOP("DrumelWidget", "MPa (MPa)"), 237},
    {QT_TRANSLATE_NOOP("DrumelWidget", "kgf/sm2 (kgf/sm2)"), 10},
    {QT_TRANSLATE_NOOP("DrumelWidget", "mbar (mbar)"), 8},
    {QT_TRANSLATE_NOOP("DrumelWidget", "bar (bar)"), 7},
    {QT_TRANSLATE_NOOP("DrumelWidget", "mmWS (mmWS)"), 4},
    {QT_TRANSLATE_NOOP("DrumelWidget", "inchWS (inchWS)"), 1},
    {QT_TRANSLATE_NOOP("DrumelWidget", "mmHg (mmHg)"), 5},
    {QT_TRANSLATE_NOOP("DrumelWidget", "inchHg (inchHg)"), 2},
    {QT_TRANSLATE_NOOP("DrumelWidget", "psi (lb/inch2)"), 6},
};

const char *const CorrectionModes[] = {
    QT_TRANSLATE_NOOP("DrumelWidget", "correction is disabled"),
    QT_TRANSLATE_NOOP("DrumelWidget", "zero offset correction"),
    QT_TRANSLATE_NOOP("DrumelWidget", "zero offset and gain correction"),
};

QVariantList unitMaps(bool withFreeConvertion)
{
    QVariantList maps;
    for (const UnitRow &row : InputUnits) {
        if (row.code == FreeConvertionUnits && !withFreeConvertion)
            continue;
        maps.append(QVariantMap{{QStringLiteral("name"), DrumelWidget::tr(row.text)},
                                {QStringLiteral("id"), row.code}});
    }
    return maps;
}

} // namespace

DrumelWidget::DrumelWidget(QWidget *parent)
    : MainDeviceWidget(parent, nullptr)
{
    setupUi(this);
    initWidget();
    buildPages();
    retranslateTabs();
    onUpdateButtons(false);
    tabMainWidget->setCurrentIndex(0);
    stackedWidgetAdjust->setCurrentIndex(0);
}

DrumelWidget::~DrumelWidget()
{
    DEBUGQT_LOG(4) << "~DrumelWidget";
}

// The shared pages: status strip, variables and identification side by side on the first tab,
// then measurements, HART log and arbitrary commands as tabs behind the form's own.
void DrumelWidget::buildPages()
{
    statusWidget = new StatusWidget(this);
    verticalLayoutStatus->addWidget(statusWidget);

    pvWidget = new PVWidget(this, 2, false);
    addChildWidget(pvWidget, QStringLiteral("PV"));
    connect(pvWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    auto *common = new CommonWidget(this, false);
    addChildWidget(common, QStringLiteral("Common"));
    connect(common, &DeviceWidget::resetWidget, this, &DrumelWidget::onResetWidget);
    connect(common, &DeviceWidget::updateButtons, this, &DrumelWidget::onUpdateButtons);
    connect(common, &DeviceWidget::changed, this, &DeviceWidget::changed);

    auto *currentState = new QGridLayout(tabCurrentState);
    currentState->setContentsMargins(5, 5, 5, 5);
    currentState->addWidget(pvWidget, 0, 0);
    currentState->addWidget(common, 0, 1);
    currentState->setColumnStretch(0, 1);
    currentState->setColumnStretch(1, 1);

    MeasureWidget *measure = addMeasurementTab(tabMainWidget, 2, pvWidget, common);
    connect(measure, &MeasureWidget::startPeriod, this, &DrumelWidget::onStartPeriod);
    addLogTab(tabMainWidget);
    addCommandTab(tabMainWidget);
}

void DrumelWidget::initWidget()
{
    fillCombos();
    DEBUGQT_LOG(4) << "Input Units:" << cmbInputUnits->currentIndex();
    ControlFieldsByInputUnits(cmbInputUnits->currentIndex());
    connect(tabRangeWidget, &QTabWidget::currentChanged, this, &DrumelWidget::on_tabWidget_currentChanged);
    // An edited fixed current is coloured like any field, but has no key and is never written.
    connect(dspnFixedCurrent, &QDoubleSpinBox::valueChanged, this, &DeviceWidget::onSpnDoubleBoxValueChanged);
    registerFields();
    modifiedKeys.clear();
    btnReadCfgFromDevice->setFocus();
    tableWidgetPoints->setColumnCount(1);
    tableWidgetPoints->setHorizontalHeaderLabels({tr("Value")});
}

void DrumelWidget::registerFields()
{
    fields = {
        {QStringLiteral("sensor_number"), spnSensorNumber},
        {QStringLiteral("average_count"), spnAverageCount},
        {QStringLiteral("range_max"), dspnRangeMax},
        {QStringLiteral("range_min"), dspnRangeMin},
        {QStringLiteral("decimal_point_position"), cmbDecimalPoint},
        {QStringLiteral("input_units"), cmbInputUnits},
        {QStringLiteral("calibrate_units"), cmbCalibrateUnits},
        {QStringLiteral("line_points_count"), spnLinePoints},
        {QStringLiteral("indicate_range_min"), dspnMinIndication},
        {QStringLiteral("indicate_range_max"), dspnMaxIndication},
        {QStringLiteral("free_range_min"), dspnMinInputForIndication},
        {QStringLiteral("free_range_max"), dspnMaxInputForIndication},
    };
    // The calibration units and the point count have buttons of their own on the metrology tab
    // and no command here.
    writeCommands = {
        {QStringLiteral("sensor_number"), 49},
        {QStringLiteral("average_count"), 134},
        {QStringLiteral("range_max"), 35},
        {QStringLiteral("range_min"), 35},
        {QStringLiteral("decimal_point_position"), 133},
        {QStringLiteral("input_units"), 44},
        {QStringLiteral("indicate_range_min"), 146},
        {QStringLiteral("indicate_range_max"), 146},
        {QStringLiteral("free_range_min"), 145},
        {QStringLiteral("free_range_max"), 145},
    };
}

void DrumelWidget::fillCombos()
{
    fillComboBox({QStringLiteral("0000."), QStringLiteral("000.0"), QStringLiteral("00.00"), QStringLiteral("0.000")},
                 cmbDecimalPoint);
    fillComboBoxFromMaps(unitMaps(true), cmbInputUnits);
    fillComboBoxFromMaps(unitMaps(false), cmbCalibrateUnits);
    fillComboBoxFromMaps(unitMaps(false), cmbSensorUnits);
    QStringList modes;
    for (const char *mode : CorrectionModes)
        modes.append(tr(mode));
    fillComboBox(modes, cmbTCorrectionMode);
}

void DrumelWidget::ControlFieldsByInputUnits(int index)
{
    if (index < 0)
        return;
    const bool free = index == 0;
    setFieldEnabled(dspnMinInputForIndication, free, lbMinForIndication);
    setFieldEnabled(dspnMaxInputForIndication, free, lbMaxForIndication);
    stackedWidget->setCurrentIndex(free ? 0 : 1);
}

void DrumelWidget::on_cmbInputUnits_currentIndexChanged(int index)
{
    DEBUGQT_LOG(4) << index;
    ControlFieldsByInputUnits(index);
}

void DrumelWidget::on_tabWidget_currentChanged(int)
{
}

// ---------------------------------------------------------------------------------------------
// Showing the device's values

void DrumelWidget::showDeviceInfoInFields()
{
    MainDeviceWidget::showDeviceInfoInFields();
    showSensorInfo();
    showRangeInfo();
    showConfigInfo();
}

void DrumelWidget::showSensorInfo()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("sensor_range_min"), lbSensorRangeMin, true);
    showDeviceInfoInField(QStringLiteral("sensor_range_max"), lbSensorRangeMax, true);
    showDeviceInfoInField(QStringLiteral("sensor_minimum_range"), lbSensorMinimumRange, true);
    showDeviceInfoInField(QStringLiteral("sensor_number"), spnSensorNumber, true);
    const QString unit = Device::unitText(device->parameterInt(QStringLiteral("sensor_unit_code")) & 0xFF, 0);
    lbSensorUnit1->setText(unit);
    lbSensorUnit2->setText(unit);
    lbSensorUnit3->setText(unit);
}

void DrumelWidget::showRangeInfo()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("range_min"), dspnRangeMin, true);
    showDeviceInfoInField(QStringLiteral("range_max"), dspnRangeMax, true);
    const QString unit = Device::unitText(device->parameterInt(QStringLiteral("range_unit_code")) & 0xFF, 0);
    lbUnitMinRange->setText(unit);
    lbUnitMaxRange->setText(unit);
    showWriteProtection();
}

void DrumelWidget::showWriteProtection()
{
    const bool protectedDevice = device && device->parameterInt(QStringLiteral("write_protection")) == 1;
    lbWriteProtection->setText(protectedDevice ? tr("write protection is enabled") : QString());
}

void DrumelWidget::showConfigInfo()
{
    if (!device)
        return;
    showDeviceInfoInField(QStringLiteral("decimal_point_position"), cmbDecimalPoint, true);
    showDeviceInfoInField(QStringLiteral("average_count"), spnAverageCount, true);
    showDeviceInfoInField(QStringLiteral("input_units"), cmbInputUnits, true);
    showDeviceInfoInField(QStringLiteral("calibrate_unit_code"), cmbCalibrateUnits, true);
    showDeviceInfoInField(QStringLiteral("indicate_range_min"), dspnMinIndication, true);
    showDeviceInfoInField(QStringLiteral("indicate_range_max"), dspnMaxIndication, true);
    showDeviceInfoInField(QStringLiteral("free_range_min"), dspnMinInputForIndication, true);
    showDeviceInfoInField(QStringLiteral("free_range_max"), dspnMaxInputForIndication, true);
    grpbFreeRange->setTitle(device->calibrateUnitText());
}

// ---------------------------------------------------------------------------------------------
// Edits and the write button

void DrumelWidget::setFieldColorModified(QWidget *field, bool modified)
{
    if (!field)
        return;
    DEBUGQT_LOG(4) << field->metaObject()->className();
    MainDeviceWidget::setFieldColorModified(field, modified);
    // The calibration units and the point count stay marked until their own buttons save them;
    // the write sends neither, so only an edit it sends enables it.
    const bool pendingWrite = std::any_of(modifiedKeys.cbegin(), modifiedKeys.cend(),
                                          [this](const QString &key) { return writeCommands.contains(key); });
    btnWriteCfgInDevice->setEnabled(pendingWrite && configurationRead);
}

void DrumelWidget::onWidgetStateChanged()
{
    DEBUGQT_LOG(4);
    MainDeviceWidget::onWidgetStateChanged();
}

// ---------------------------------------------------------------------------------------------
// Reading and writing the configuration

void DrumelWidget::on_btnReadCfgFromDevice_clicked()
{
    DEBUGQT_LOG(4);
    configurationRead = false;
    if (!device || !startOperation(tr("Read device configuration"), 4))
        return;
    int reached = 1;
    nextStep();
    // Every read is tried, so one failure still shows what the others brought.
    if (device->readDevice(14)) {
        showSensorInfo();
        ++reached;
    }
    nextStep();
    if (device->readDevice(15)) {
        showRangeInfo();
        ++reached;
    }
    nextStep();
    if (device->readDevice(135)) {
        showConfigInfo();
        ++reached;
    }
    nextStep();
    finishOperation(reached);
    if (reached == 4) {
        configurationRead = true;
        emit changed();
    }
}

void DrumelWidget::on_btnWriteCfgInDevice_clicked()
{
    DEBUGQT_LOG(4);
    const QList<int> commands = getWriteFunctionsList();
    if (commands.isEmpty())
        return;
    QStringList numbers;
    for (int command : commands)
        numbers.append(QString::number(command));
    DEBUGQT_LOG(4) << numbers.join(QStringLiteral(", "));
    // New input units change the range unit, so the range is read back after them.
    writeConfiguration(commands, commands.contains(44));
    DEBUGQT_LOG(4) << modifiedKeys.size() << QStringList(modifiedKeys.cbegin(), modifiedKeys.cend());
}

bool DrumelWidget::refreshAfterWrite()
{
    if (!device || !device->readDevice(15))
        return false;
    showRangeInfo();
    return true;
}

void DrumelWidget::on_btnSaveMinByPV_clicked()
{
    saveRangeMinByPV();
}

void DrumelWidget::on_btnSaveMaxByPV_clicked()
{
    saveRangeMaxByPV();
}

// ---------------------------------------------------------------------------------------------
// Buttons, device checks, polling, language

void DrumelWidget::setDeviceButtonsEnabled(bool on)
{
    const QList<QWidget *> buttons{btnReadCfgFromDevice,    btnAdjustZero,           btnAdjustGain,
                                   btnSaveMinByPV,          btnSaveMaxByPV,          btnStartAdjust,
                                   btnStartLinePointAdjust, btnStartTemperAdjust,    btnStartSensorParam,
                                   btnSaveManufacturerSettings, btnRestoreManufacturerSettings};
    for (QWidget *button : buttons)
        button->setEnabled(on);
    // An open task keeps the fixed current to itself until the device is locked again.
    btnSetFixedCurrent->setEnabled(on && !taskOpen());
    btnResetFixedCurrent->setEnabled(on && !taskOpen());
}

void DrumelWidget::onUpdateButtons(bool on)
{
    setDeviceButtonsEnabled(on);
    btnWriteCfgInDevice->setEnabled(false);
    emit updateButtons(on);
}

void DrumelWidget::onResetWidget()
{
    onUpdateButtons(false);
    configurationRead = false;
    // A granted task stays where it is: only its complete button locks the device again.
    if (!taskOpen()) {
        pendingTask = NoAdjustMode;
        stackedWidgetAdjust->setCurrentIndex(0);
    }
    emit resetWidget();
}

void DrumelWidget::onStartPeriod(bool enable)
{
    if (!enable) {
        enabledStates.insert(btnWriteCfgInDevice, btnWriteCfgInDevice->isEnabled());
        btnWriteCfgInDevice->setEnabled(false);
        tabAdjust->setEnabled(false);
    } else {
        tabAdjust->setEnabled(true);
        btnWriteCfgInDevice->setEnabled(enabledStates.value(btnWriteCfgInDevice, false));
    }
    emit changed();
}

void DrumelWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        fillCombos();
        showWriteProtection();
        tableWidgetPoints->setHorizontalHeaderLabels({tr("Value")});
    }
    MainDeviceWidget::changeEvent(event);
}
