#pragma once

#include "editor/maindevicewidget.h"

class CommandWidget;
class CommonWidget;
class LogWidget;
class MeasureWidget;
class QEvent;
class QTabWidget;
class QVBoxLayout;

// The editor of temperature converters of the templates "Zorvan-M" and "Belkor-M": the frame
// with the shared pages (current state with the primary variable and the identification, the
// HART log and the arbitrary command) and the status strip.
class ZorvanWidget : public MainDeviceWidget
{
    Q_OBJECT

public:
    explicit ZorvanWidget(QWidget *parent);
    ~ZorvanWidget() override;

    // The model has no settings of its own on these pages: no field is registered.
    void initWidget() override;

public slots:
    void onUpdateButtons(bool enabled);
    void onResetWidget();

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildCurrentStateTab();
    void retranslatePage();

    QVBoxLayout *verticalLayoutStatus = nullptr;
    QTabWidget *tabMainWidget = nullptr;
    QWidget *tabCurrentState = nullptr;
    CommonWidget *commonWidget = nullptr;
    LogWidget *logWidget = nullptr;
    CommandWidget *commandWidget = nullptr;
    MeasureWidget *measureWidget = nullptr;
};
