#include "measure/measurewidget.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "measure/measuretablemodel.h"
#include "measure/plotter.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/decimalpointfilter.h"
#include "widgets/readout.h"

#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace {

const char *const kScrollToLast = "scroll_to_last";
const char *const kDefaultFileName = "default_file_name";
const char *const kAutoSaveFile = "auto_save_file";
const char *const kWriteLineCount = "write_line_count";
const char *const kArchivePathName = "archive_path_name";
const char *const kArchiveFileName = "archive_file_name";

void setTextColor(QCheckBox *box, Qt::GlobalColor color)
{
    QPalette palette = box->palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(color));
    box->setPalette(palette);
}

} // namespace

MeasureWidget::MeasureWidget(QWidget *parent, int mode)
    : StackPage(parent)
    , mode(std::clamp(mode, 1, 4))
{
    setupUi(this);
    DecimalPointFilter::install();
    // The Y fields show measured values and windows around them: any value a variable can have.
    // A variable is a float; a double of the float's range keeps every window computed from the
    // fields finite.
    const double anyValue = std::numeric_limits<float>::max();
    for (QDoubleSpinBox *field : {dspnMinY, dspnMaxY, dspnViewMinY, dspnViewMaxY})
        field->setRange(-anyValue, anyValue);
    dspnStepY->setMaximum(anyValue);
    watchWindowFields();
    model = new MeasureTableModel(this);
    tableWidget->setModel(model);
    tableWidget->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    nextRow = 0;
    periodRunning = false;
    connect(&periodThread, &PeriodThread::responsePV, this, &MeasureWidget::showPeriodResponsePV);
    device = nullptr;
    connect(&fileThread, &FileThread::error, this, &MeasureWidget::onFileThreadError);
    connect(&fileThread, &FileThread::writeLines, this, &MeasureWidget::onFileThreadWriteLines);
    connect(&fileThread, &FileThread::changeFile, this, &MeasureWidget::onChangeThreadFile);

    initWidget();

    plotter = new Plotter(this);
    plotter->setUtcTime(false);
    stackedWidgetPlotter->addWidget(plotter);
    stackedWidgetPlotter->setCurrentWidget(plotter);
    connect(plotter, &Plotter::zoomChanged, this, &MeasureWidget::onZoomChanged);
    connect(plotter, &Plotter::minXChanged, this, &MeasureWidget::onMinXChanged);

    viewMaxY = dataMaxY = 10.0;
    viewMinY = dataMinY = 0.0;
    viewMinX = dataMinX = double(QDateTime::currentSecsSinceEpoch());
    viewMaxX = dataMaxX = dataMinX + 60;
    initialSpanY = 10.0;
    PlotSettings initial;
    initial.minX = dataMinX;
    initial.maxX = dataMaxX;
    initial.minY = dataMinY;
    initial.maxY = dataMaxY;
    initial.numYTicks = 10;
    plotter->setCurZoomPlotSettings(initial);

    archiveFile.setFileName(QString());
    setMaxRows(300000);
    setupTableColumns();
}

MeasureWidget::~MeasureWidget()
{
    stopPeriodThread();
    // A field that has the focus finishes its edit as the window closes, after the page's own
    // members are gone: nothing of the page may hear it.
    for (QAbstractSpinBox *field : windowFields()) {
        field->disconnect(this);
        field->findChild<QLineEdit *>()->disconnect(this);
    }
}

void MeasureWidget::setMaxRows(int rows)
{
    maxRows = std::max(1, rows);
    plotter->setMaxPoints(maxRows);
}

void MeasureWidget::initWidget()
{
    DEBUGQT_LOG(4) << "mode" << mode;
    setupTableColumns();
    nextRow = model->rowCount();
    onUpdateButtons(false);
    tabWidget->setCurrentWidget(tabTable);
    tabWidgetPlotConfig->setCurrentWidget(tabAbsoluteRange);
    btnShowFullPlot->setChecked(true);
    txtPathName->setText(AppSettings::archivesDir());
    // Nothing is measured yet.
    for (QLCDNumber *lcd : {lcdCh1Value, lcdSVValue, lcdTVValue, lcdQVValue})
        Readout::show(lcd, QVariant());

    const QSignalBlocker pageBlocker(this);
    chkScrollToLast->setChecked(false);
    chkAutoSaveFile->setChecked(false);
    chkDefaultFileName->setChecked(true);
    spnWriteLineCount->setValue(10);

    setTextColor(chkPV, Qt::red);
    setTextColor(chkSV, Qt::green);
    setTextColor(chkTV, Qt::blue);
    setTextColor(chkQV, Qt::cyan);
    const QSignalBlocker pvBlocker(chkPV);
    chkPV->setChecked(true);
}

void MeasureWidget::setupTableColumns()
{
    const bool sv = mode >= 2;
    const bool tv = mode >= 3;
    const bool qv = mode >= 4;
    for (QWidget *control : {static_cast<QWidget *>(lbSVTitle), static_cast<QWidget *>(lcdSVValue),
                             static_cast<QWidget *>(lbSVUnit), static_cast<QWidget *>(chkSV)})
        control->setVisible(sv);
    for (QWidget *control : {static_cast<QWidget *>(lbTVTitle), static_cast<QWidget *>(lcdTVValue),
                             static_cast<QWidget *>(lbTVUnit), static_cast<QWidget *>(chkTV)})
        control->setVisible(tv);
    for (QWidget *control : {static_cast<QWidget *>(lbQVTitle), static_cast<QWidget *>(lcdQVValue),
                             static_cast<QWidget *>(lbQVUnit), static_cast<QWidget *>(chkQV)})
        control->setVisible(qv);
    updateTableHeader();
    // Hidden, not removed: the cells of variables a mode does not show stay in the rows.
    for (int column = MeasureTableModel::SVColumn; column < MeasureTableModel::ColumnCount; ++column)
        tableWidget->setColumnHidden(column, !columnShown(column));
}

bool MeasureWidget::columnShown(int column) const
{
    return column < MeasureTableModel::SVColumn || column - MeasureTableModel::SVColumn + 2 <= mode;
}

void MeasureWidget::updateTableHeader()
{
    QStringList labels{tr("Time"), tr("PV"), tr("Current"), tr("Status"), tr("Info"), tr("SV"), tr("TV"), tr("QV")};
    if (device) {
        labels[MeasureTableModel::PVColumn] += QStringLiteral("\n") + device->pvUnitText();
        labels[MeasureTableModel::SVColumn] += QStringLiteral("\n") + device->svUnitText();
        labels[MeasureTableModel::TVColumn] += QStringLiteral("\n") + device->tvUnitText();
        labels[MeasureTableModel::QVColumn] += QStringLiteral("\n") + device->qvUnitText();
    }
    model->setHeaderLabels(labels);
}

void MeasureWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        // The form's texts are those of an idle page.
        btnStartStop->setText(periodRunning ? tr("Stop") : tr("Start"));
        updateTableHeader();
    }
    QWidget::changeEvent(event);
}

void MeasureWidget::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

void MeasureWidget::on_chkPeriod_stateChanged(int state)
{
    btnStartStop->setEnabled(state != Qt::Unchecked || periodRunning);
}

void MeasureWidget::on_cmbTimes_currentIndexChanged(int)
{
}

void MeasureWidget::on_spnPeriod_valueChanged(int)
{
}

void MeasureWidget::onDeviceChanged(Device *newDevice)
{
    DEBUGQT_LOG(4) << (newDevice ? newDevice->name() : QStringLiteral("none"));
    device = newDevice;
    updateFileButtons();
    if (!device)
        return;

    const QSignalBlocker pageBlocker(this);
    const QVariantMap info = device->measureInfo();
    chkScrollToLast->setChecked(info.value(QLatin1String(kScrollToLast), false).toBool());
    chkDefaultFileName->setChecked(info.value(QLatin1String(kDefaultFileName), true).toBool());
    chkAutoSaveFile->setChecked(info.value(QLatin1String(kAutoSaveFile), false).toBool());
    spnWriteLineCount->setValue(info.value(QLatin1String(kWriteLineCount), 10).toInt());
    const QString path = info.value(QLatin1String(kArchivePathName)).toString();
    if (path.isEmpty()) {
        txtPathName->setText(AppSettings::archivesDir());
        storeSetting(QLatin1String(kArchivePathName), txtPathName->text());
    } else {
        txtPathName->setText(path);
    }
    // Last: unchecking the default names empties the file field.
    if (info.contains(QLatin1String(kArchiveFileName)))
        txtFileName->setText(info.value(QLatin1String(kArchiveFileName)).toString());
}

void MeasureWidget::storeSetting(const QString &key, const QVariant &value)
{
    if (!device)
        return;
    QVariantMap info = device->measureInfo();
    info.insert(key, value);
    device->setMeasureInfo(info);
    emit changed();
}

void MeasureWidget::onUpdateButtons(bool enable)
{
    DEBUGQT_LOG(4) << enable;
    buttonsEnabled = enable;
    for (QWidget *control : {static_cast<QWidget *>(chkPeriod), static_cast<QWidget *>(spnPeriod),
                             static_cast<QWidget *>(cmbTimes), static_cast<QWidget *>(btnClear)})
        control->setEnabled(enable);
    // Polling can always be stopped; only its start needs the period box.
    btnStartStop->setEnabled(enable && (chkPeriod->isChecked() || periodRunning));
    for (QCheckBox *box : {chkPV, chkSV, chkTV, chkQV})
        box->setEnabled(enable);
    updateFileButtons();
}

void MeasureWidget::updateFileButtons()
{
    // The table export must not run while rows are being added and dropped.
    btnSaveAsFile->setEnabled(device && buttonsEnabled && !periodRunning && !exporting);
    btnSavePlotInFile->setEnabled(device != nullptr);
    const bool fileLocked = periodRunning && chkAutoSaveFile->isChecked() && !chkDefaultFileName->isChecked();
    btnSelectFile->setEnabled(device && !fileLocked);
}

void MeasureWidget::on_chkScrollToLast_stateChanged(int state)
{
    storeSetting(QLatin1String(kScrollToLast), state == Qt::Checked);
}

void MeasureWidget::on_spnWriteLineCount_valueChanged(int value)
{
    storeSetting(QLatin1String(kWriteLineCount), value);
}

void MeasureWidget::on_chkDefaultFileName_stateChanged(int state)
{
    stackedWidgetPath->setCurrentIndex(state == Qt::Checked ? 0 : 1);
    if (state == Qt::Unchecked)
        txtFileName->clear();
    storeSetting(QLatin1String(kDefaultFileName), state == Qt::Checked);
}

void MeasureWidget::on_chkAutoSaveFile_stateChanged(int state)
{
    const bool on = state == Qt::Checked;
    for (QWidget *control : {static_cast<QWidget *>(chkDefaultFileName), static_cast<QWidget *>(stackedWidgetPath),
                             static_cast<QWidget *>(lbPo), static_cast<QWidget *>(spnWriteLineCount),
                             static_cast<QWidget *>(lbLines)})
        control->setEnabled(on);
    if (!on)
        lbFileName->clear();
    storeSetting(QLatin1String(kAutoSaveFile), on);
}

void MeasureWidget::on_btnSelectPath_clicked()
{
    const QString start = txtPathName->text().isEmpty() ? AppSettings::archivesDir() : txtPathName->text();
    const QString chosen = Prompt::getExistingDirectory(this, tr("Path for archive"), start);
    if (chosen.isEmpty())
        return;
    txtPathName->setText(chosen);
    if (!device)
        return;
    QVariantMap info = device->measureInfo();
    info.insert(QLatin1String(kArchivePathName), chosen);
    info.insert(QLatin1String(kArchiveFileName), QString());
    device->setMeasureInfo(info);
    emit changed();
}

void MeasureWidget::on_btnClear_clicked()
{
    const auto answer = Prompt::warning(this, tr("Clear data..."), tr("Do you really want to clear ALL data?"),
                                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Yes)
        return;
    model->clear();
    initialSpanY = 1.0;
    nextRow = 0;
    btnShowFullPlot->setChecked(true);
    for (int curve = 0; curve < 4; ++curve)
        plotter->clearCurve(curve);
    plotStarted = false;
}

void MeasureWidget::onMinXChanged(double x)
{
    dataMinX = x;
    dtMinX->setDateTime(QDateTime::fromSecsSinceEpoch(qint64(x)));
}

void MeasureWidget::onChangeThreadFile()
{
    lbFileName->setText(fileThread.fileName());
}

// Polling control

void MeasureWidget::on_btnStartStop_clicked()
{
    if (periodRunning) {
        stopPolling();
        return;
    }
    if (!chkPeriod->isChecked() || spnPeriod->value() == 0 || !device) {
        btnStartStop->setChecked(false);
        return;
    }
    startPolling();
}

void MeasureWidget::startPolling()
{
    const int period = spnPeriod->value() * (cmbTimes->currentIndex() == 0 ? 1000 : 60000);
    periodRunning = true;
    runStarting = true;
    polledDevice = device;
    archiving = false;
    periodThread.setDevice(device, period);
    emit startPeriod(false);
    updateTableHeader();
    btnStartStop->setChecked(true);
    btnStartStop->setText(tr("Stop"));
    btnStartStop->setEnabled(true);

    // A file page without a file falls back to default names before anything is locked.
    const bool autoSave = chkAutoSaveFile->isChecked();
    const bool fallBack = autoSave && !chkDefaultFileName->isChecked() && txtFileName->text().isEmpty();
    if (fallBack)
        chkDefaultFileName->setChecked(true);
    setArchiveControlsLocked(true);
    if (!autoSave) {
        lbFileName->clear();
        return;
    }
    QVariantMap parameters = archiveParameters();
    if (fallBack) // the writer's own default folder
        parameters.remove(QStringLiteral("archive_path"));
    if (fileThread.setParameters(parameters)) {
        archiving = true;
        lbFileName->setText(fileThread.fileName());
    } else {
        Prompt::warning(this, tr("Archive file"), fileThread.errorText(), QMessageBox::Cancel);
    }
}

void MeasureWidget::stopPolling()
{
    DEBUGQT_LOG(4) << "Stop";
    stopPeriodThread();
    emit startPeriod(true);
    btnStartStop->setChecked(false);
    btnStartStop->setText(tr("Start"));
    btnStartStop->setEnabled(buttonsEnabled && chkPeriod->isChecked());
    setArchiveControlsLocked(false);
}

void MeasureWidget::setArchiveControlsLocked(bool locked)
{
    for (QWidget *control : {static_cast<QWidget *>(chkPeriod), static_cast<QWidget *>(spnPeriod),
                             static_cast<QWidget *>(cmbTimes), static_cast<QWidget *>(chkAutoSaveFile)})
        control->setEnabled(!locked);
    if (chkAutoSaveFile->isChecked()) {
        spnWriteLineCount->setEnabled(!locked);
        chkDefaultFileName->setEnabled(!locked);
        if (chkDefaultFileName->isChecked())
            btnSelectPath->setEnabled(!locked);
    }
    btnClear->setEnabled(!locked);
    updateFileButtons();
}

QString MeasureWidget::periodText() const
{
    return spnPeriod->text() + cmbTimes->currentText();
}

QString MeasureWidget::deviceFullName() const
{
    const Port *port = device->port();
    return QStringLiteral("%1 ; %2 ; %3 ; %4 ; %5")
        .arg(device->name(), device->parameterString(QStringLiteral("descriptor")), device->templateName(),
             port ? port->property("serial_name").toString() : QString())
        .arg(device->address());
}

QVariantMap MeasureWidget::archiveParameters()
{
    QVariantMap parameters;
    parameters.insert(QStringLiteral("name"), device->name());
    parameters.insert(QStringLiteral("full_name"), deviceFullName());
    parameters.insert(QStringLiteral("date"), QDateTime::currentDateTime());
    parameters.insert(QStringLiteral("archive_type"), periodText());
    parameters.insert(QStringLiteral("write_line_count"), spnWriteLineCount->value());
    if (chkDefaultFileName->isChecked() && !txtPathName->text().isEmpty())
        parameters.insert(QStringLiteral("archive_path"), txtPathName->text());
    else if (!chkDefaultFileName->isChecked() && !txtFileName->text().isEmpty())
        parameters.insert(QStringLiteral("file_name"), txtFileName->text());
    return parameters;
}

void MeasureWidget::stopPeriodThread()
{
    DEBUGQT_LOG(4) << "running" << periodRunning;
    if (!periodRunning)
        return;
    periodRunning = false;
    periodThread.stopThread();
    fileThread.flushData();
    if (polledDevice && polledDevice->port())
        polledDevice->port()->closeLine();
    DEBUGQT_LOG(4) << "OK";
}

void MeasureWidget::onCloseApplication()
{
    DEBUGQT_LOG(4) << "###";
    stopPeriodThread();
}
