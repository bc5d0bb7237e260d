#pragma once

#include "editor/maindevicewidget.h"
#include "ui_defaultdevicewidget.h"

#include <QList>
#include <QString>
#include <QVariantList>

class CommonWidget;
class QComboBox;
class QEvent;
class QKeyEvent;
class QTableWidgetItem;

// The editor of any HART device that has no model editor of its own (template "General"). It
// serves the instrument with universal and common-practice commands only: the user reads the
// configuration (classifications, dynamic variables and their assignment, device variables,
// sensor and range), writes what he changed and sees it read back, trims the zero and the loop
// current, inspects each device variable, and polls the device on the Measurement tab.
//
// Every program fill of a field runs with the field's signals blocked or through the binder, so
// only a person's edit marks a field, the device or the configuration.
class DefaultDeviceWidget : public MainDeviceWidget, public Ui_DefaultDeviceWidget
{
    Q_OBJECT

public:
    explicit DefaultDeviceWidget(QWidget *parent);
    ~DefaultDeviceWidget() override;

    void initWidget() override;
    void showDeviceInfoInFields() override;
    void setFieldColorModified(QWidget *field, bool modified) override;
    bool refreshAfterWrite() override;

    // A unit choice changes no other field of this editor.
    void ControlFieldsByInputUnits(int index);

    // Views of what the parameter map holds.
    void showSensorInfo();
    void showRangeInfo();
    void showDeviceVariables();
    void fillDeviceVariableCombos();
    void initDeviceVariablesTable();
    void fillPVUnits();
    void showDynamicVariableInfo();
    void showDeviceVariableInfo(int slotIndex);

    // The unit catalogue. With a combo box: fills it with the units of the class (every class
    // also offers the five special codes). Without one: refills the PV units and the
    // device-variable units with the whole catalogue and the transfer functions with theirs.
    void initUnitsCatalogue(int classificationCode, QComboBox *combo);
    static void fillUnitsCombo(const QVariantList &catalogue, int classificationCode, QComboBox *combo);
    // Built afresh on every call, in the current language: maps of "class", "name" and "id".
    static QVariantList unitsCatalogue();
    static QVariantList transferFunctions();

public slots:
    void onWidgetStateChanged() override;
    void onUpdateButtons(bool enabled);
    void onResetWidget();
    void onStartPeriod(bool enable);
    void on_btnSaveMinByPV_clicked();
    void on_btnSaveMaxByPV_clicked();
    void on_btnAdjust4mA_clicked();
    void on_btnAdjust20mA_clicked();
    void on_btnAdjustZero_clicked();
    void on_btnReadCfgFromDevice_clicked();
    void on_btnWriteCfgInDevice_clicked();
    void on_cmbInputUnits_currentIndexChanged(int index);
    void on_tabWidget_currentChanged(int index);
    void on_btnSetFixedCurrent_clicked();
    void on_btnResetFixedCurrent_clicked();
    void on_tableWidgetDV_currentItemChanged(QTableWidgetItem *current, QTableWidgetItem *previous);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct CurrentTrim
    {
        const char *title;
        const char *firstQuestion;
        const char *secondQuestion;
        bool upper;
    };

    void createPages();
    void createMeasurementTab();
    void setSlotCodesForCommand9();
    bool readDeviceVariables(bool valuesRead);
    void setSlotsFromDynamicVariables(bool valuesRead);
    void fillSlotFallback(int row);
    void adjustCurrent(const CurrentTrim &trim);
    void addTableItem(int row, int column, const QString &text, Qt::Alignment alignment);

    // Whether a selection in the device-variable table asks the device (command 54); cleared for
    // good when the device answers that it does not implement the command.
    bool deviceVariableCommandSupported = true;
    // The commands of the last write, in the order they were sent, for the read-back.
    QList<int> lastWriteCommands;
    // While the measurements page polls, the write button stays disabled; marking fields only
    // updates the state it gets back when polling stops.
    bool polling = false;

    CommonWidget *commonWidget = nullptr;     // child page, owned through Qt parenthood
};
