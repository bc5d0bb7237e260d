#pragma once

#include "editor/maindevicewidget.h"
#include "ui_acivelwidget.h"

class CommonWidget;
class MeasureWidget;
class QEvent;

// The editor page of the "Acivel-M" pH meter: the frame with the shared pages (process
// variables and identification side by side, measurement, HART log, custom command), the
// meter's own pages of its form, and the status strip under the tabs.
class AcivelWidget : public MainDeviceWidget, public Ui_AcivelWidget
{
    Q_OBJECT

public:
    explicit AcivelWidget(QWidget *parent = nullptr);
    ~AcivelWidget() override;

    void initWidget() override;

public slots:
    void onUpdateButtons(bool enable);
    void onResetWidget();

protected:
    void changeEvent(QEvent *event) override;

private:
    void createPages();

    CommonWidget *commonWidget = nullptr;
    MeasureWidget *measureWidget = nullptr;
};
