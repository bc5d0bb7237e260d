#pragma once

#include "measure/filethread.h"
#include "measure/periodthread.h"
#include "measure/plotsettings.h"
#include "ui_measurewidget.h"
#include "widgets/stackpage.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QVariantMap>

class Device;
class QProgressDialog;
class QSaveFile;
class MeasureTableModel;
class Plotter;

// The "Measurement" tab of every device editor: starts and stops the periodic polling of the
// device's dynamic variables, shows each response as a table row, on LCD read-outs and as trend
// curves, archives the responses to CSV files and exports the table and the plot.
//
// The table is a model/view table (object name "tableWidget") that keeps each row's time and
// values as numbers and always has its eight columns; those beyond the mode are hidden.
class MeasureWidget : public StackPage, public Ui_MeasureWidget
{
    Q_OBJECT

public:
    MeasureWidget(QWidget *parent, int mode);
    ~MeasureWidget() override;

    virtual void initWidget();
    void updateTableHeader();
    void setupTableColumns();
    void stopPeriodThread();

    // The row cap of the table and the point cap of each curve (300000).
    void setMaxRows(int rows);
    int variableMode() const { return mode; }
    bool isPolling() const { return periodRunning; }
    Plotter *plotWidget() const { return plotter; }
    MeasureTableModel *tableModel() const { return model; }
    PlotSettings pagePlotSettings() const { return pageSettings; }

signals:
    void responsePV(const QVariantMap &response);
    void startPeriod(bool stopped);
    void changed();

public slots:
    void onCloseApplication();
    void onUpdateButtons(bool enable);
    void on_cmbTimes_currentIndexChanged(int index);
    void on_spnPeriod_valueChanged(int value);
    void on_btnStartStop_clicked();
    void on_chkPeriod_stateChanged(int state);
    void showPeriodResponsePV(const QVariantMap &response);
    void onDeviceChanged(Device *device);
    void on_dspnViewMinY_editingFinished();
    void on_dspnViewMaxY_editingFinished();
    void on_dtViewMinX_editingFinished();
    void on_dtViewMaxX_editingFinished();
    void on_btnShowFullPlot_clicked();
    void on_btnMinusMinTime_pressed();
    void on_btnPlusMinTime_pressed();
    void on_btnMinusMaxTime_pressed();
    void on_btnPlusMaxTime_pressed();
    void on_btnSetRange_clicked();
    void on_btnMinus_pressed();
    void on_btnPlus_pressed();
    void on_btnSelectPath_clicked();
    void on_btnSelectFile_clicked();
    void on_btnSaveAsFile_clicked();
    void on_spnWriteLineCount_valueChanged(int value);
    void on_chkScrollToLast_stateChanged(int state);
    void on_chkAutoSaveFile_stateChanged(int state);
    void on_chkDefaultFileName_stateChanged(int state);
    void on_btnClear_clicked();
    void onChangeThreadFile();
    void onFileThreadError(const QString &text);
    void onFileThreadWriteLines(const QString &fileName, int count);
    void onZoomChanged();
    void onMinXChanged(double x);
    void on_btnSavePlotInFile_clicked();
    void on_chkPV_stateChanged(int state);
    void on_chkSV_stateChanged(int state);
    void on_chkTV_stateChanged(int state);
    void on_chkQV_stateChanged(int state);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Polling control.
    void startPolling();
    void stopPolling();
    void setArchiveControlsLocked(bool locked);
    QVariantMap archiveParameters();
    QString deviceFullName() const;
    QString periodText() const;
    void updateFileButtons();

    // Value display.
    void addTableRow(const QVariantMap &response, qint64 rowTime, const float values[4]);
    void widenValueColumns(int row);
    void storeUnitTexts(const QVariantMap &response);
    // Shows one of SV, TV, QV; true when it went onto the plot.
    bool showLiveValue(const QVariantMap &response, int variable, qint64 time, float value);
    void plotValue(int curve, qint64 time, double value);
    void openInitialWindow(int curve, qint64 time, double value);
    void applyFullPlotMode(PlotSettings cur);
    void applyFollowMode(int curve, PlotSettings cur, double value);
    void showDataRange();

    // Plot range and redraw.
    QList<QAbstractSpinBox *> windowFields() const;
    void watchWindowFields();
    void checkRange(bool reversed, QWidget *field, const QString &title, const QString &text);
    void stepTimeEdit(QDateTimeEdit *edit, int direction);
    void curveToggled(int curve, int state);
    void drawPlot();
    bool columnShown(int column) const;

    // Settings.
    void storeSetting(const QString &key, const QVariant &value);
    QString defaultFileName(const QString &pattern, const QString &from, const QString &to) const;
    bool writeTableExport(QSaveFile &file, QProgressDialog &progress);

    int nextRow = 0;
    FileThread fileThread;
    PeriodThread periodThread;
    bool periodRunning = false;
    Device *device = nullptr;
    Plotter *plotter = nullptr;
    double viewMaxY = 10.0;
    double viewMinY = 0.0;
    double viewMinX = 0.0;
    double viewMaxX = 60.0;
    double initialSpanY = 10.0;
    double dataMaxY = 10.0;
    double dataMinY = 0.0;
    double dataMinX = 0.0;
    double dataMaxX = 60.0;
    bool plotStarted = false;
    // A polling run has measured no variable yet: the next row still starts it for the plot.
    bool runStarting = false;
    QMap<int, double> lastTimes;
    QMap<int, double> lastValues;
    PlotSettings pageSettings;
    QFile archiveFile;
    int maxRows = 300000;
    int mode = 1;
    double lastTime = 0.0;

    MeasureTableModel *model = nullptr;
    // The device of the running poll, whose line is closed when it stops.
    QPointer<Device> polledDevice;
    // True for a run whose archive was set up; only then are responses archived.
    bool archiving = false;
    // The editor's last updateButtons().
    bool buttonsEnabled = false;
    bool exporting = false;
    bool drawing = false;
    bool checkingRange = false;
    // The Window tab's fields the user edited and has not applied: the window's moves leave
    // them as typed. The page's own fills, a language or a locale mark none of them.
    QSet<const QAbstractSpinBox *> typedWindowFields;
    // The value the page last gave each window field; a field left holding it follows again.
    QHash<const QAbstractSpinBox *, QVariant> windowValues;
    bool fillingWindow = false;
};
