#pragma once

#include "editor/devicewidget.h"
#include "ui_pvwidget.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVariantMap>

class QEvent;
class QLCDNumber;
class QLabel;

// What a device measures now: its primary variable and, as far as the model has them, the
// secondary, tertiary and quaternary variables with their units, the loop current in mA and in
// percent of range, whether the loop current is disabled, and the device's status and error
// lines. The user refreshes the values, chooses whether every variables read also reads the
// additional status, and resets the configuration-changed flag. While the measurements page
// polls, each polling response is shown here too.
class PVWidget : public DeviceWidget
{
    Q_OBJECT

public:
    // The variable count sets which rows show until the first read: SV above 1, TV above 2,
    // QV at 4.
    PVWidget(DeviceWidget *parent, int variableCount, bool showAdditionalStatus);
    ~PVWidget() override;

    // Reads command 3 and shows the variables. Interactive, it runs as an operation of its own
    // and reports failures in boxes; otherwise it runs inside its caller's operation.
    bool readPrimaryVariable(bool interactive);
    // The primary variable the last of those reads delivered, taken with its outcome: a poller
    // of the device replaces the device's own, or takes it away for a moment, whenever it reads.
    // Invalid when that read failed.
    QVariant primaryVariable() const { return readPV; }
    bool readOutputCurrent();
    void readLoopCurrentMode(bool mayRead);

public slots:
    void onUpdateButtons(bool enable);
    void onDeviceChanged(Device *device);
    void onResetWidget();
    void onInitProgressBar(const QString &, int);
    void on_btnRefresh_clicked();
    void on_btnResetConfigChanged_clicked();
    void on_chkAdditionalStatus_stateChanged(int state);
    void appendDeviceStatus(const QString &text, const QByteArray &statusBytes);
    void appendDeviceError(const QString &text);
    void showPeriodResponsePV(const QVariantMap &response);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct VariableRow
    {
        QString name;   // "SV", "TV", "QV"
        QLabel *title;
        QLCDNumber *lcd;
        QLabel *unit;
    };

    QList<VariableRow> variableRows() const;
    QString unitText(const QString &name) const;
    void showVariableRow(const VariableRow &row);
    void setRowVisible(const VariableRow &row, bool visible);
    void clearCurrents();
    void showNothingMeasured();
    bool failPrimaryVariable(bool interactive);
    bool finishPrimaryVariable(bool interactive);

    Ui::PVWidget ui;
    QSet<QString> shownStatusLines;
    bool configChanged = false;
    QVariant readPV;
};
