#pragma once

#include "editor/devicewidget.h"

#include <QList>
#include <QMap>
#include <QMetaObject>
#include <QSet>
#include <QString>
#include <QVariant>

class CommandWidget;
class CommonWidget;
class Device;
class LogWidget;
class MeasureWidget;
class PVWidget;
class QDoubleSpinBox;
class QTabWidget;

// The frame of every device editor: it binds the page set to its device and relays the device's
// HART log, keeps the registry of editable fields with the command that writes each, writes
// exactly the settings a person changed, and carries the service operations every model offers
// (access code, fixed loop current, manufacturer settings, range from the primary variable,
// 4 mA and 20 mA trim, leaving metrology mode).
//
// The frame creates no pages of its own: a concrete editor builds its form and pages in its
// constructor, fills fields and writeCommands in initWidget, and wires the frame's signals.
class MainDeviceWidget : public DeviceWidget
{
    Q_OBJECT

public:
    // Metrology modes: none, and the loop-current (4 mA / 20 mA) adjustment.
    static constexpr int NoAdjustMode = 7;
    static constexpr int CurrentAdjustMode = 3;

    MainDeviceWidget(QWidget *parent, Device *device);
    ~MainDeviceWidget() override;

    // Binds the page set to the device: the device's log and its port's line-name changes are
    // relayed (once, whatever was bound before), then deviceChanged() tells the pages.
    void setItem(Device *device);

    // Writing changed settings. A field a person edits joins the written keys; one shown from
    // the device or written leaves them.
    void setFieldColorModified(QWidget *field, bool modified) override;
    // Asks for confirmation, copies the edited values into the device's parameter map and gives
    // the commands to send, each once, the range (35) last; empty when refused or declined.
    QList<int> getWriteFunctionsList();
    // Sends the commands as one operation, stopping at the first failure.
    void writeConfiguration(const QList<int> &commands, bool refresh);
    bool checkConfigurationRead();

    // Reads back what a complete write changed; runs inside the write operation. False when a
    // read-back failed, so the write is not reported as a success.
    virtual bool refreshAfterWrite();
    // Leaves metrology mode before settings are written in it.
    virtual void finishAdjust();
    // Whether a write of the command carries the key's value; a model may send a fixed value in
    // its place.
    virtual bool writeCarries(int command, const QString &key) const;

    // Service operations, each one operation of the page set. The bool ones return false when
    // the set is busy or the transaction failed.
    bool sendAdjustCode(float code);
    bool setFixedCurrent(float current);
    // Sets the current the field holds and shows the one the device took.
    void setFixedCurrentFrom(QDoubleSpinBox *field);
    bool manufacturerSettings(int save);
    // The model editors' buttons forward here; each asks first.
    void on_btnSaveManufacturerSettings_clicked();
    void on_btnRestoreManufacturerSettings_clicked();
    void saveRangeMaxByPV();
    void saveRangeMinByPV();
    void onAdjust4mA_clicked(QDoubleSpinBox *measured);
    void onAdjust20mA_clicked(QDoubleSpinBox *measured);
    // Sends the access code 0 and, in the loop-current mode, releases the fixed current; true
    // when the device has left metrology mode.
    bool completeAdjust();

signals:
    void appendLogMessage(int address, const QString &line);
    void closeApplication();

protected:
    // The tabs every editor shares, appended to tabs and wired to this page: the measurements
    // page polling in the given mode (its responses reach pv, its start and stop reach common),
    // the device's HART log and the arbitrary command.
    MeasureWidget *addMeasurementTab(QTabWidget *tabs, int mode, PVWidget *pv, CommonWidget *common);
    LogWidget *addLogTab(QTabWidget *tabs);
    CommandWidget *addCommandTab(QTabWidget *tabs);

    // An edit a person has not written yet. A language change refills the fields from the
    // device, so a page takes its pending edits before and puts them back, still marked, after.
    struct PendingEdit
    {
        QWidget *field;
        QVariant value;
        bool enabled;
    };
    QList<PendingEdit> pendingEdits() const;
    void restorePendingEdits(const QList<PendingEdit> &edits);

    bool configurationRead = false;
    QMap<QWidget *, bool> enabledStates;     // controls' enabled states kept while polling runs
    // The editable field of each parameter key, registered by initWidget. The binder's own map
    // of shown fields (DeviceWidget::fields) may hold more: read-only fields have no command.
    QMap<QString, QWidget *> fields;
    QMap<QString, int> writeCommands;        // the HART command that writes each key
    QSet<QString> modifiedKeys;              // keys whose fields show an unwritten edit
    int adjustMode = NoAdjustMode;
    PVWidget *pvWidget = nullptr;            // not owned; the editor's process-variable page

    // For a question about the present primary variable: reads it as an operation of its own and
    // takes the value that read delivered, once, with its unit. The device's own changes whenever
    // a poller reads, so whatever the question leads to uses these. False when the read failed.
    bool readPrimaryVariable(QVariant *pv, QString *unit);

private:
    struct RangeEnd
    {
        const char *question;
        const char *title;
        int command;
        const char *key;
    };
    struct CurrentTrim
    {
        const char *title;
        const char *key;
        int command;
    };

    bool confirmWrite();
    bool commandsCarryValues(const QSet<int> &commands);
    void copyEditedValues();
    static QVariant editedValue(const QWidget *field);
    void markWritten(int command);
    bool sendValue(const QString &title, const QString &key, const QVariant &value, int command, bool announce);
    void saveRangeByPV(const RangeEnd &end);
    void adjustCurrent(QDoubleSpinBox *measured, const CurrentTrim &trim);

    QMetaObject::Connection m_logRelay;
    QMetaObject::Connection m_serialNameRelay;
};
