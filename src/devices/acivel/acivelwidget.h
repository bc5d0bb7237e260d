#pragma once

#include "editor/maindevicewidget.h"
#include "measure/periodthread33.h"
#include "ui_acivelwidget.h"

#include <QVariantMap>

class CommonWidget;
class MeasureWidget;
class QEvent;
class QKeyEvent;

// The editor page of the "Acivel-M" pH meter. Besides the shared pages (process variables and
// identification side by side, measurement, HART log, custom command) it has three pages of
// its own:
// - configuration: input mode, electrode, temperature, filters and indication range, read with
//   the meter's own commands and written back command by command, only what was edited;
// - graduation: the stored graduation, and a new one with one or two buffer solutions while a
//   command-33 poller shows EMF, temperature, pH and how stable the EMF is;
// - metrology: after the meter accepts the access code the user types, loop-current trim, input
//   adjustment against reference sources with live values, Ei and S ranges, sensor parameters.
//
// The measurement tab and the graduation measurement lock writing and the metrology page while
// either polls; the graduation and the input adjustment share the page's one command-33 poller.
class AcivelWidget : public MainDeviceWidget, public Ui_AcivelWidget
{
    Q_OBJECT

public:
    explicit AcivelWidget(QWidget *parent = nullptr);
    ~AcivelWidget() override;

    void initWidget() override;
    void showDeviceInfoInFields() override;
    void setFieldColorModified(QWidget *field, bool modified) override;
    bool refreshAfterWrite() override;
    void finishAdjust() override;
    bool writeCarries(int command, const QString &key) const override;

    void showSensorInfo();
    void showRangeInfo();

    // Configuration.
    void initCombos(int selector);
    void showConfigInFields();
    void ControlFieldsByInputUnits(int mode);

    // Graduation.
    void showGraduationValues();
    void showEiSRanges();
    void setFieldColor(QWidget *field, Qt::GlobalColor colour);
    void startGraduationMeasurement(int newPoint);
    void resetGraduation();

    // Metrology.
    void showAccessCodePage();
    void readAdjustParameters();
    void showAdjustInfo();
    void adjustU(int point);
    void adjustRc(int point);
    void readEiSRanges();
    void loadSensorParams();
    void toggleAdjustMeasurement();

    // The graduation point in hand (0 none, 1 or 2) and whether a granted metrology task is open.
    int graduationPoint() const { return grdPoint; }
    bool isAdjustGranted() const { return adjustGranted; }

public slots:
    void onWidgetStateChanged() override;
    void onUpdateButtons(bool enable);
    void onResetWidget();
    void onStartPeriod(bool enable);
    void on_btnSaveMinByPV_clicked();
    void on_btnSaveMaxByPV_clicked();
    void on_btnReadCfgFromDevice_clicked();
    void on_tabWidget_currentChanged(int index);

    void on_btnWriteCfgInDevice_clicked();
    void on_cmbElectrodeDiag_currentIndexChanged(int index);
    void on_cmbInputMode_currentIndexChanged(int index);

    void on_btnReadCurrentGrdValues_clicked();
    void on_btnStartGraduation_clicked();
    void on_btnStartPoint_1_clicked();
    void on_btnStartPoint_2_clicked();
    void on_btnGetPH_p1_clicked();
    void on_btnGetPH_p2_clicked();
    void on_btnSetPH_p1_clicked();
    void on_btnSetPH_p2_clicked();
    void on_btnStopGraduation_clicked();
    void on_cmbGrdType_currentIndexChanged(int index);
    void updateBufferInfoByResponsePT33(const QVariantMap &response);

    void on_btnAdjustMeasurement_clicked();
    void updateAdjustInfoByResponsePT33(const QVariantMap &response);
    void on_btnCheckCode_clicked();
    void on_btnSetFixedCurrent_clicked();
    void on_btnResetFixedCurrent_clicked();
    void on_btnCancelAdjust_clicked();
    void on_btnStartAdjust_clicked();
    void on_btnStartURRAdjust_clicked();
    void on_btnCompleteAdjustCurrent_clicked();
    void on_btnCompleteAdjustURR_clicked();
    void on_btnCompleteEiSRange_clicked();
    void on_btnSet4mA_clicked();
    void on_btnSet20mA_clicked();
    void on_btnAdjust4mA_clicked();
    void on_btnAdjust20mA_clicked();
    void on_btnSaveManufacturerSettings_clicked();
    void on_btnRestoreManufacturerSettings_clicked();
    void on_btnAdjustU_p1_clicked();
    void on_btnAdjustU_p2_clicked();
    void on_btnAdjustRc_p1_clicked();
    void on_btnAdjustRc_p2_clicked();
    void on_btnAdjustRt_clicked();
    void on_btnEiSRangeCorrection_clicked();
    void on_btnSaveEiSRanges_clicked();
    void on_btnStartSensorParam_clicked();
    void on_cmbSensorUnits_currentIndexChanged(int index);
    void on_btnSaveSensorParam_clicked();
    void on_btnCompleteSensorParam_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The pollers that lock writing and the metrology page while they run.
    enum Poller { MeasurementTabPoller = 0x1, GraduationPoller = 0x2 };
    // Who the command-33 poller reads for; its answers reach only that one.
    enum class LiveValues { None, Graduation, Adjustment };

    void createPages();
    void stopLiveValues();
    void setPollerRunning(Poller poller, bool running);
    // The write button's state: held back until the last poller stops while polling locks it.
    void setWriteButtonEnabled(bool enabled);
    void updateWriteButton();
    void setThresholdSuffix(const QString &unit);
    // Puts back what the form's retranslation empties or resets and the page had shown.
    void retranslateShownValues();

    void showEiSRangeLabels();
    void setPointState(QLabel *state, const char *text);
    void retranslatePointStates();
    void watchSavedMarks();
    void measurePoint(int point);
    void setGraduationBuffer();

    void startTask(int mode);
    void dropPendingTask();
    void stopAdjustMeasurement();
    void showAdjustPointLabels();
    void adjustPoint(const QString &title, int command, int point, const QDoubleSpinBox *reference);
    void showLiveQuantity(const QVariant &value, QLabel *state, const QLabel *unit, QDoubleSpinBox *field,
                          const QList<QPushButton *> &buttons);

    int grdPoint = 0;
    float lastU = 0.0f;
    PeriodThread33 periodThread33;
    int runningPollers = 0;
    LiveValues liveValues = LiveValues::None;
    // The meter accepted the access code of the task in adjustMode.
    bool adjustGranted = false;
    // The code was sent but no answer came: the meter may have accepted it, so leaving the task
    // locks it again as for a granted one.
    bool grantUnknown = false;
    // The last onUpdateButtons(): whether the device may be used at all.
    bool buttonsEnabled = false;
    CommonWidget *commonWidget = nullptr;
    MeasureWidget *measureWidget = nullptr;
};
