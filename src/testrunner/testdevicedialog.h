#pragma once

#include "ui_testdevicedialog.h"

#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class Device;
class LogWidget;
class QEvent;
class QProgressDialog;
class QTableWidgetItem;

// The dialog in which the engineer runs scripted tests against one device. Test templates (JSON
// files "*.tpl", embedded or from the user's tests folder) and the list of every readable command
// become rows of the step table; the ticked rows run for a number of rounds: reads, writes of
// value lists with read-back checks, waits and print lines. The dialog follows the device's HART
// log, counts failures by round, test and command, and writes a report that can be saved.
//
// A test runs in the GUI thread inside the Start or Continue slot, behind a window-modal
// progress dialog whose Cancel interrupts the round; Continue resumes it at the interrupted step.
class TestDeviceDialog : public QDialog, private Ui_TestDeviceDialog
{
    Q_OBJECT
    // The tests reach the error bookkeeping and the wait and cycle bounds directly.
    friend class TestTestDeviceDialog;

public:
    TestDeviceDialog(QWidget *parent, Device *device);
    ~TestDeviceDialog() override;

    void connectDevice(Device *device);
    void clearErrorCells();
    // The program ends: a running round stops at its next step, as after Cancel.
    void abandon();

    // Step table columns.
    enum Column { CmdColumn, ContextColumn, ValuesColumn, CyclesColumn, ErrorCountColumn, ErrorTextColumn,
                  ColumnCount };

    // Bounds the round keeps to, whatever a template or a cell holds.
    static constexpr int MaxCycles = 100000;
    static constexpr int MaxWaitMs = 99999;

signals:
    void changed();

private slots:
    void onItemChanged(QTableWidgetItem *item);
    void onItemDoubleClicked(QTableWidgetItem *item);
    void updateStartButton();
    void on_btnStart_clicked();
    void on_btnContinue_clicked();
    void on_btnCheckAll_clicked();
    void on_btnUncheckAll_clicked();
    void on_spnCycles_valueChanged(int value);
    void on_cmbTemplates_currentIndexChanged(int index);
    void on_btnSaveReport_clicked();
    void onShowLogMessage(int addr, const QString &msg);
    void onAppendDeviceError(QString errorText);
    void on_btnHiddenUnchecked_clicked();
    void on_btnOpenFrom_clicked();
    void on_btnSaveAs_clicked();

protected:
    void changeEvent(QEvent *event) override;
    void reject() override;

private:
    // Templates and step rows
    void loadTestTemlates(const QString &extraFolder);
    void appendTemplateData(const QString &path);
    void appendReadFunctionRows();
    void appendCommandRow(const QVariantList &steps);
    void appendStepRow(const QVariantMap &step);
    void appendRow(QTableWidgetItem *cmd, const QString &context, QTableWidgetItem *values, int cycles);
    void finishRows();
    void setHeaderLabels();
    bool isStepChecked(int row) const;

    // Error accounting and report
    void writeReportHeader();
    void updateTotals();
    void countError(const QString &errorText);
    void stopTest();
    bool saveReport(const QString &fileName, QString *errorText) const;

    // Rounds and run control
    void runTestRound();
    void runRounds();
    void testDevice();
    void runStep(QProgressDialog &progress);
    bool runCycle(QProgressDialog &progress, int cycle, int &stepErrors);
    void runValueSets(QProgressDialog &progress, int cycle, const QVariantMap &parameters, int &stepErrors);
    bool checkReadBack(QProgressDialog &progress, const QVariantMap &parameters, int index, int &stepErrors);
    void finishCycle(QProgressDialog &progress, int &stepErrors);
    void writeStepSummary(int stepErrors);
    void writeRoundSummary();
    bool checkCanceled(QProgressDialog &progress, const QString &key);
    void formatPrintStep(bool answered);
    int waitTime(const QString &key) const;
    int roundMaximum() const;
    int rowCycles(int row) const;
    void setProgress(QProgressDialog &progress, int value) const;
    bool transact(bool write, qint64 command, QString *errorText);
    void report(const QString &line);

    // Template values are taken as a list or a map only when they are one: Qt would otherwise
    // split a text into its characters.
    static QVariantList listValue(const QVariant &value);
    static QVariantMap mapValue(const QVariant &value);

    QPointer<Device> m_device;
    LogWidget *m_logWidget = nullptr;
    int m_roundErrorCount = 0;
    QMap<QString, int> m_roundErrors;
    int m_testErrorCount = 0;
    QMap<QString, int> m_testErrors;
    QMap<QString, int> m_commandErrors;
    bool m_canceled = false;
    QVariantMap m_currentStep;
    // What the commands of the running cycle or value set stored in the device, whatever a
    // poller of the same device stores meanwhile: the print line takes it from here.
    QVariantMap m_answer;
    int m_currentCommand = 0;
    int m_progressCount = 0;
    int m_currentRow = 0;
    int m_roundIndex = 0;
    bool m_uncheckedHidden = false;
    QVariantMap currentTemplate;
    // Set while Start or Continue runs rounds: a second run cannot start inside the first, and
    // the dialog does not close under it.
    bool m_running = false;
};
