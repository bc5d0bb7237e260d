#include "devices/zorvan/zorvanwidget.h"

#include "core/debugqtstream.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"

#include <QEvent>
#include <QGridLayout>
#include <QTabWidget>
#include <QVBoxLayout>

ZorvanWidget::ZorvanWidget(QWidget *parent)
    : MainDeviceWidget(parent, nullptr)
{
    setObjectName(QStringLiteral("ZorvanWidget"));
    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(5);
    verticalLayout->setContentsMargins(5, 5, 5, 5);
    tabMainWidget = new QTabWidget(this);
    tabMainWidget->setObjectName(QStringLiteral("tabMainWidget"));
    tabMainWidget->setElideMode(Qt::ElideNone);
    tabMainWidget->setUsesScrollButtons(true);
    verticalLayout->addWidget(tabMainWidget, 1);
    verticalLayoutStatus = new QVBoxLayout();
    verticalLayout->addLayout(verticalLayoutStatus);
    initWidget();

    statusWidget = new StatusWidget(this);
    verticalLayoutStatus->addWidget(statusWidget);

    pvWidget = new PVWidget(this, 1, false);
    addChildWidget(pvWidget, QStringLiteral("PV"));
    connect(pvWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);

    commonWidget = new CommonWidget(this, false);
    addChildWidget(commonWidget, QStringLiteral("Common"));
    connect(commonWidget, &DeviceWidget::resetWidget, this, &ZorvanWidget::onResetWidget);
    connect(commonWidget, &DeviceWidget::updateButtons, this, &ZorvanWidget::onUpdateButtons);
    connect(commonWidget, &DeviceWidget::changed, this, &DeviceWidget::changed);
    buildCurrentStateTab();
    measureWidget = addMeasurementTab(tabMainWidget, 1, pvWidget, commonWidget);
    logWidget = addLogTab(tabMainWidget);
    commandWidget = addCommandTab(tabMainWidget);

    retranslateTabs();
    retranslatePage();
    onUpdateButtons(false);
    tabMainWidget->setCurrentIndex(0);
}

ZorvanWidget::~ZorvanWidget() = default;

void ZorvanWidget::buildCurrentStateTab()
{
    tabCurrentState = new StackPage(tabMainWidget);
    tabCurrentState->setObjectName(QStringLiteral("tabCurrentState"));
    auto *grid = new QGridLayout(tabCurrentState);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->addWidget(pvWidget, 0, 0);
    grid->addWidget(commonWidget, 0, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    tabMainWidget->addTab(tabCurrentState, QString());
}

// Polling of the primary variable; while it runs, the identification page keeps its writes.
void ZorvanWidget::initWidget()
{
    DEBUGQT_LOG(4);
    modifiedKeys.clear();
}

void ZorvanWidget::onUpdateButtons(bool enabled)
{
    DEBUGQT_LOG(4) << enabled;
    emit updateButtons(enabled);
}

void ZorvanWidget::onResetWidget()
{
    onUpdateButtons(false);
    configurationRead = false;
    emit resetWidget();
}

void ZorvanWidget::retranslatePage()
{
    tabMainWidget->setTabText(tabMainWidget->indexOf(tabCurrentState), tr("Current state"));
}

void ZorvanWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslatePage();
    MainDeviceWidget::changeEvent(event);
}
