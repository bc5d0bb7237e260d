#include "devices/acivel/acivelwidget.h"

#include "core/debugqtstream.h"
#include "editor/commandwidget.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "widgets/logwidget.h"

#include <QEvent>
#include <QGridLayout>

namespace {

// The identity the common page's device check requires of the meter.
constexpr int ManufacturerCode = 0xE0;
constexpr int DeviceTypeCode = 0x94;

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
}

AcivelWidget::~AcivelWidget()
{
    DEBUGQT_LOG(4) << "~AcivelWidget";
}

void AcivelWidget::createPages()
{
    statusWidget = new StatusWidget(this);
    verticalLayoutStatus->addWidget(statusWidget);

    pvWidget = new PVWidget(this, 3, false);
    addChildWidget(pvWidget, QStringLiteral("PV"));
    connect(pvWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    commonWidget = new CommonWidget(this, false);
    commonWidget->expectedManufacturerCode = ManufacturerCode;
    commonWidget->expectedDeviceTypeCode = DeviceTypeCode;
    addChildWidget(commonWidget, QStringLiteral("Common"));
    connect(commonWidget, &DeviceWidget::resetWidget, this, &AcivelWidget::onResetWidget);
    connect(commonWidget, &DeviceWidget::updateButtons, this, &AcivelWidget::onUpdateButtons);
    connect(commonWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    auto *currentState = new QGridLayout(tabCurrentState);
    currentState->addWidget(pvWidget, 0, 0);
    currentState->addWidget(commonWidget, 0, 1);
    currentState->setColumnStretch(0, 1);
    currentState->setColumnStretch(1, 1);
    currentState->setContentsMargins(5, 5, 5, 5);

    measureWidget = new MeasureWidget(this, 3);
    setWidgetInTab(measureWidget, tabMainWidget, QStringLiteral("Measurement"));
    connect(this, &DeviceWidget::deviceChanged, measureWidget, &MeasureWidget::onDeviceChanged);
    connect(measureWidget, &MeasureWidget::responsePV, pvWidget, &PVWidget::showPeriodResponsePV);
    connect(measureWidget, &MeasureWidget::changed, this, &DeviceWidget::changed);
    connect(measureWidget, &MeasureWidget::startPeriod, commonWidget, &CommonWidget::onStartPeriod);
    connect(this, &DeviceWidget::updateButtons, measureWidget, &MeasureWidget::onUpdateButtons);
    connect(this, &MainDeviceWidget::closeApplication, measureWidget, &MeasureWidget::onCloseApplication);

    auto *logWidget = new LogWidget(this);
    setWidgetInTab(logWidget, tabMainWidget, QStringLiteral("Hart Log"));
    connect(this, &MainDeviceWidget::appendLogMessage, logWidget, &LogWidget::appendLogMessage);

    auto *commandWidget = new CommandWidget(this);
    setWidgetInTab(commandWidget, tabMainWidget, QStringLiteral("Custom"));
    connect(this, &DeviceWidget::deviceChanged, commandWidget, &CommandWidget::onDeviceChanged);
    connect(this, &DeviceWidget::updateButtons, commandWidget, &CommandWidget::onUpdateButtons);
}

void AcivelWidget::initWidget()
{
    modifiedKeys.clear();
}

void AcivelWidget::onUpdateButtons(bool enable)
{
    DEBUGQT_LOG(4) << enable;
    emit updateButtons(enable);
}

void AcivelWidget::onResetWidget()
{
    onUpdateButtons(false);
    configurationRead = false;
    emit resetWidget();
}

void AcivelWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi(this);
    MainDeviceWidget::changeEvent(event);
}
