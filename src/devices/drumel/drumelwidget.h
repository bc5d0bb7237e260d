#pragma once

#include "editor/maindevicewidget.h"
#include "ui_drumelwidget.h"

class QEvent;
class QKeyEvent;
class QTableWidgetItem;

// The editor page of a pressure converter: its sensor, range and configuration read and written
// back as far as a person changed them, zero and gain adjustment, and a metrology wizard that,
// once the device accepts the access code the person types, trims the loop current, writes the
// sensor parameters, corrects the linearisation table point by point and sets up the
// temperature correction.
//
// A task of the wizard is open from the moment its code is granted until the device is locked
// again (finishAdjust), and adjustMode names a task only while it is open. While one is open,
// nothing replaces its page and the device check leaves it alone, so its own complete button
// always locks the device again.
class DrumelWidget : public MainDeviceWidget, public Ui_DrumelWidget
{
    Q_OBJECT

public:
    // Metrology tasks, as adjustMode names them.
    static constexpr int TemperatureTask = 2;
    static constexpr int LoopCurrentTask = CurrentAdjustMode;
    static constexpr int LinePointsTask = 4;
    static constexpr int SensorTask = 6;
    static constexpr int MaxLinePoints = 11;

    explicit DrumelWidget(QWidget *parent = nullptr);
    ~DrumelWidget() override;

    void initWidget() override;
    void showDeviceInfoInFields() override;
    void setFieldColorModified(QWidget *field, bool modified) override;
    bool refreshAfterWrite() override;
    void finishAdjust() override;

    void showSensorInfo();
    void showRangeInfo();
    void showConfigInfo();
    void fillCombos();
    void ControlFieldsByInputUnits(int index);

    void showAccessCodePage();
    void readSensorParameters();
    void startEditSensorParameters();
    void loadLinePointsTable();
    void readTemperCorrection();

    // The range tabs' page change; no form object is called tabWidget, so this is connected by
    // hand rather than by name.
    void on_tabWidget_currentChanged(int index);

public slots:
    void onWidgetStateChanged() override;
    void onUpdateButtons(bool on);
    void onResetWidget();
    void onStartPeriod(bool enable);
    void on_btnSaveMinByPV_clicked();
    void on_btnSaveMaxByPV_clicked();
    void on_btnAdjustZero_clicked();
    void on_btnAdjustGain_clicked();
    void on_btnReadCfgFromDevice_clicked();
    void on_btnWriteCfgInDevice_clicked();
    void on_cmbInputUnits_currentIndexChanged(int index);

    // Metrology wizard
    void on_btnCheckCode_clicked();
    void on_btnCancelAdjust_clicked();
    void on_btnStartAdjust_clicked();
    void on_btnStartLinePointAdjust_clicked();
    void on_btnStartTemperAdjust_clicked();
    void on_btnStartSensorParam_clicked();
    void on_btnSetFixedCurrent_clicked();
    void on_btnResetFixedCurrent_clicked();
    void on_btnSet4mA_clicked();
    void on_btnSet20mA_clicked();
    void on_btnAdjust4mA_clicked();
    void on_btnAdjust20mA_clicked();
    void on_btnCompleteAdjustCurrent_clicked();
    void on_cmbSensorUnits_currentIndexChanged(int index);
    void on_btnSaveSensorParam_clicked();
    void on_btnCompleteSensorParam_clicked();
    void on_btnSaveManufacturerSettings_clicked();
    void on_btnRestoreManufacturerSettings_clicked();

    // Linearisation table
    void on_btnReload_clicked();
    void on_btnSetCalibrateUnits_clicked();
    void on_btnSetLinePointsCount_clicked();
    void on_spnLinePoints_valueChanged(int count);
    void on_btnStartEditLinePoints_clicked();
    void on_spnPoint_valueChanged(int point);
    void on_tableWidgetPoints_itemClicked(QTableWidgetItem *item);
    void on_btnGetPressure_clicked();
    void on_btnAdjustLinePoint_clicked();
    void on_btnCompleteAdjustPoint_clicked();
    void on_btnCompleteAdjustLinePoints_clicked();

    // Temperature correction
    void on_btnSetTCorrectMode_clicked();
    void on_btnAdjustT1T2_clicked();
    void on_btnNext_clicked();
    void on_btnPrev_clicked();
    void on_btnSaveT1T2_clicked();
    void on_btnCancelT1T2_clicked();
    void on_btnCompleteT1T2Adjust_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildPages();
    void registerFields();
    void showWriteProtection();
    void setDeviceButtonsEnabled(bool on);
    bool taskOpen() const { return adjustMode != NoAdjustMode; }
    void startTask(int task, bool needsConfiguration);
    void openTaskPage();
    void closeCodePage();
    void writeAdjustment(const QString &title, int command);
    bool choiceMade(const QComboBox *combo, const QString &what);
    void setFixedCurrentFor(double current, QDoubleSpinBox *field, QPushButton *enabled, QPushButton *disabled);
    QString linePointText(float value) const;
    int shownPointCount();
    void showWalkButtons(int page);

    // The task a start entry chose; it becomes adjustMode only when its code is granted.
    int pendingTask = NoAdjustMode;
};
