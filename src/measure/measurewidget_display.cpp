// Value display, plot view range and plot redraw of the measurements page.
#include "measure/measurewidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "measure/measuretablemodel.h"
#include "measure/plotter.h"
#include "model/device.h"
#include "widgets/readout.h"

#include <QDateTime>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QString kTimeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");
const QString kLogTimeFormat = QStringLiteral("dd.MM.yy hh:mm:ss");
const char *const kVariableKeys[] = {"PV", "SV", "TV", "QV"};
// A value or time further outside the window than this many ticks moves the window in one
// step, not tick by tick.
constexpr double kFarTicks = 3.0;

QDateTime secondsToDateTime(double seconds)
{
    return QDateTime::fromSecsSinceEpoch(qint64(seconds));
}

// What a window field holds, whatever its locale or language writes it as.
QVariant fieldValue(const QAbstractSpinBox *field)
{
    if (const auto *decimal = qobject_cast<const QDoubleSpinBox *>(field))
        return decimal->value();
    if (const auto *whole = qobject_cast<const QSpinBox *>(field))
        return whole->value();
    return static_cast<const QDateTimeEdit *>(field)->dateTime();
}

QString logTime(double seconds)
{
    return secondsToDateTime(seconds).toString(kLogTimeFormat);
}

// Lays whole steps from min, at most 100 of them, ending at the typed max rounded to a step.
// A step too small to tell from the bounds' rounding is widened, so the axis always has a length.
void fitAxis(double &min, double &max, int &ticks, double step, int target)
{
    const double span = max - min;
    const double magnitude = std::max(std::abs(min), std::abs(max));
    step = std::max({step, span / PlotSettings::kMaxTicks, magnitude * PlotSettings::kResolution});
    int count = int(std::floor(span / step));
    if (count <= 0)
        count = std::clamp(target, 1, int(PlotSettings::kMaxTicks));
    double newMax = min + count * step;
    while (max - newMax >= step / 4 && count < PlotSettings::kMaxTicks) {
        newMax += step;
        ++count;
    }
    max = newMax;
    ticks = count;
}

} // namespace

// Value display

void MeasureWidget::showPeriodResponsePV(const QVariantMap &response)
{
    QDateTime responseTime = response.value(QStringLiteral("DateTime")).toDateTime();
    if (!responseTime.isValid())
        responseTime = QDateTime::currentDateTime();
    qint64 t = responseTime.toSecsSinceEpoch();

    const bool success = !response.contains(QStringLiteral("errorText"));
    const int variables = !response.contains(QStringLiteral("SV"))   ? 1
                          : !response.contains(QStringLiteral("TV")) ? 2
                          : !response.contains(QStringLiteral("QV")) ? 3
                                                                    : 4;
    if (success && variables != mode) {
        mode = variables;
        setupTableColumns();
    }
    float values[4];
    for (int i = 0; i < 4; ++i)
        values[i] = float(Readout::shown(response.value(QLatin1String(kVariableKeys[i])).toFloat()));

    // Two responses within one second get distinct times on the plot and in the table.
    if (model->rowCount() > 0 && model->row(model->rowCount() - 1).time == t)
        ++t;
    addTableRow(response, t, values);
    // Polling stood still before this row: no curve links it to the rows before.
    if (model->row(model->rowCount() - 1).runStart) {
        for (int curve = 0; curve < 4; ++curve)
            plotter->breakCurve(curve, double(t));
    }

    Readout::show(lcdCh1Value, response.value(QStringLiteral("PV")));
    lbPVUnit->setText(response.value(QStringLiteral("PVUnitCodeText")).toString());
    lbCurrentTime->setText(responseTime.toString(kTimeFormat));
    emit responsePV(response);
    if (archiving && chkAutoSaveFile->isChecked())
        fileThread.writeResponse(response);
    // No pause for pending events here: a response costs well under a millisecond, and events
    // run between responses, never one response inside another.

    bool plotted = false;
    for (int variable = 3; variable >= 1; --variable)
        plotted |= showLiveValue(response, variable, t, values[variable]);
    // A failed read measured no PV, nor is NaN a measurement: the curve breaks there.
    if (chkPV->isChecked()) {
        if (Readout::isMeasured(response.value(QStringLiteral("PV")))) {
            plotValue(0, t, values[0]);
            plotted = true;
        } else {
            plotter->breakCurve(0, double(t));
        }
    }
    // The range fields follow the data once per response, not once per curve.
    if (plotted)
        showDataRange();
}

void MeasureWidget::addTableRow(const QVariantMap &response, qint64 rowTime, const float values[4])
{
    MeasureTableModel::Row row;
    row.time = rowTime;
    std::copy(values, values + 4, row.values);
    // A failed read measured neither PV nor current, nor is NaN or infinity a measurement: their
    // cells stay empty rather than show a number nobody measured.
    if (Readout::isMeasured(response.value(QStringLiteral("PV"))))
        row.cells |= MeasureTableModel::PVCell;
    const QVariant current = response.value(QStringLiteral("output_current"));
    if (Readout::isMeasured(current)) {
        row.current = current.toFloat();
        row.cells |= MeasureTableModel::CurrentCell;
    }
    // Nor does it measure SV, TV or QV, and a good read measures only those it carries.
    for (int variable = 1; variable < 4; ++variable) {
        if (Readout::isMeasured(response.value(QLatin1String(kVariableKeys[variable]))))
            row.cells |= quint8(1u << variable);
    }
    // The run starts, for the plot, at its first read that measured a variable.
    row.runStart = runStarting;
    if (row.cells & ~MeasureTableModel::CurrentCell)
        runStarting = false;
    const QString errorText = response.value(QStringLiteral("errorText")).toString();
    const QString statusText = response.value(QStringLiteral("statusText")).toString();
    row.status = response.value(QStringLiteral("statusCode")).toString();
    row.info = errorText + statusText;
    // Rows repeat their texts; sharing them keeps a full table small.
    if (model->rowCount() > 0) {
        const MeasureTableModel::Row &previous = model->row(model->rowCount() - 1);
        if (previous.status == row.status)
            row.status = previous.status;
        if (previous.info == row.info)
            row.info = previous.info;
    }
    DEBUGQT_LOG(4) << MeasureTableModel::timeText(rowTime) << values[0];
    model->appendRow(row);

    if (nextRow == 0) {
        storeUnitTexts(response);
        updateTableHeader();
        tableWidget->resizeColumnsToContents();
    } else {
        widenValueColumns(model->rowCount() - 1);
        if (!statusText.isEmpty() || !errorText.isEmpty()) {
            tableWidget->resizeColumnToContents(MeasureTableModel::InfoColumn);
            tableWidget->resizeRowToContents(nextRow);
        }
    }
    if (chkScrollToLast->isChecked())
        tableWidget->scrollToBottom();

    ++nextRow;
    if (model->rowCount() > maxRows) {
        model->removeFirstRows(model->rowCount() - maxRows);
        nextRow = model->rowCount();
        DEBUGQT_LOG(4) << "##########" << nextRow << model->rowCount();
    }
}

// A value column grows where the row's value needs more room than the column has, measured on
// that row alone so that a full table costs no more per row; it never shrinks by itself.
void MeasureWidget::widenValueColumns(int row)
{
    // A view's column fitted to its contents has room for the grid line too.
    const int grid = tableWidget->showGrid() ? 1 : 0;
    for (int column : {MeasureTableModel::PVColumn, MeasureTableModel::CurrentColumn, MeasureTableModel::SVColumn,
                       MeasureTableModel::TVColumn, MeasureTableModel::QVColumn}) {
        if (tableWidget->isColumnHidden(column))
            continue;
        const int needed = tableWidget->sizeHintForIndex(model->index(row, column)).width() + grid;
        if (needed > tableWidget->columnWidth(column))
            tableWidget->setColumnWidth(column, needed);
    }
}

void MeasureWidget::storeUnitTexts(const QVariantMap &response)
{
    if (!device)
        return;
    for (const char *key : {"PVUnitCodeText", "SVUnitCodeText", "TVUnitCodeText", "QVUnitCodeText"})
        device->setParameter(QLatin1String(key), response.value(QLatin1String(key)).toString());
}

bool MeasureWidget::showLiveValue(const QVariantMap &response, int variable, qint64 time, float value)
{
    QLCDNumber *const lcds[] = {lcdCh1Value, lcdSVValue, lcdTVValue, lcdQVValue};
    QLabel *const units[] = {lbPVUnit, lbSVUnit, lbTVUnit, lbQVUnit};
    QCheckBox *const boxes[] = {chkPV, chkSV, chkTV, chkQV};
    // A read that did not deliver the variable leaves no old value on show under its time.
    const QVariant measured = response.value(QLatin1String(kVariableKeys[variable]));
    Readout::show(lcds[variable], measured);
    units[variable]->setText(response.value(QLatin1String(kVariableKeys[variable]) + QStringLiteral("UnitCodeText")).toString());
    if (!boxes[variable]->isChecked())
        return false;
    if (!Readout::isMeasured(measured)) {
        plotter->breakCurve(variable, double(time));
        return false;
    }
    plotValue(variable, time, value);
    return true;
}

void MeasureWidget::plotValue(int curve, qint64 time, double value)
{
    if (!plotStarted)
        openInitialWindow(curve, time, value);

    lastTime = double(time);
    dataMaxX = lastTime;
    const bool dropped = plotter->addpendCurveData(curve, QPointF(lastTime, value));
    PlotSettings cur = plotter->curZoomPlotSettings();
    if (dropped) {
        DEBUGQT_LOG(4) << "!!! update plot settings";
        pageSettings = cur;
        dataMinX = viewMinX = cur.minX;
    }
    dataMinY = std::min(dataMinY, value);
    dataMaxY = std::max(dataMaxY, value);
    // The user moved the window since the page set it: the page stops managing it.
    if (!cur.sameBounds(pageSettings))
        btnShowFullPlot->setChecked(false);
    if (btnShowFullPlot->isChecked())
        applyFullPlotMode(cur);
    else
        applyFollowMode(curve, cur, value);
    lastValues[curve] = value;
    lastTimes[curve] = lastTime;
}

void MeasureWidget::openInitialWindow(int curve, qint64 time, double value)
{
    DEBUGQT_LOG(4) << "######## fsec = " << time
                   << QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("dd.MM.yy hh:mm:ss.zzz"));
    dataMinX = double(time);
    lastTimes[curve] = double(time);
    lastValues[curve] = value;
    dataMinY = dataMaxY = value;
    pageSettings.minX = double(time);
    pageSettings.maxX = double(time) + 60.0 * spnPeriod->value();
    pageSettings.minY = value - initialSpanY / 2;
    pageSettings.maxY = value + initialSpanY / 2;
    pageSettings.adjust();
    viewMinX = pageSettings.minX;
    viewMaxX = pageSettings.maxX;
    viewMinY = pageSettings.minY;
    viewMaxY = pageSettings.maxY;
    plotter->setPlotSettings(pageSettings);
    plotStarted = true;
}

void MeasureWidget::applyFullPlotMode(PlotSettings cur)
{
    const double h = cur.stepY() / 2;
    cur.minY = dataMinY;
    cur.maxY = dataMaxY;
    if (lastTime > cur.maxX) {
        const double s = cur.stepX();
        cur.maxX = lastTime - cur.maxX > s ? lastTime + 2 * s : cur.maxX + 2 * s;
    }
    if (pageSettings.minX <= cur.minX && cur.maxX <= pageSettings.maxX && pageSettings.minY <= dataMinY
        && dataMaxY <= pageSettings.maxY)
        return;

    if (pageSettings.minX <= cur.minX) {
        cur.minX = pageSettings.minX;
        cur.adjustX();
    }
    if (cur.maxX <= pageSettings.maxX) {
        cur.maxX = pageSettings.maxX;
        cur.adjustX();
    }
    bool fromData = false;
    if (pageSettings.minY <= dataMinY) {
        cur.minY = pageSettings.minY;
    } else {
        cur.minY = dataMinY - h;
        fromData = true;
    }
    if (dataMaxY <= pageSettings.maxY) {
        cur.maxY = pageSettings.maxY;
    } else {
        cur.maxY = dataMaxY + h;
        fromData = true;
    }
    if (fromData)
        cur.adjustY();
    plotter->setCurZoomPlotSettings(cur);
    pageSettings = cur;
}

void MeasureWidget::applyFollowMode(int curve, PlotSettings cur, double value)
{
    // The curve's previous point tells whether the user looks at older data, but only within a
    // run: the first read of a run is always brought into view.
    const bool runStart = model->rowCount() > 0 && model->row(model->rowCount() - 1).runStart;
    double shiftX = 0;
    if (lastTime >= cur.maxX && (runStart || lastTimes.value(curve) <= cur.maxX))
        shiftX = std::floor((lastTime - cur.maxX) / cur.stepX()) + 1;
    else if (lastTime < cur.minX && runStart)
        shiftX = -std::ceil((cur.minX - lastTime) / cur.stepX());
    // By whole X steps, as many as the point is away; a window without width stays.
    if (!std::isfinite(shiftX))
        shiftX = 0;
    if (std::abs(shiftX) > kFarTicks) {
        // Both bounds by the same distance: the window keeps its width and its steps.
        const double distance = shiftX * cur.stepX();
        cur.minX += distance;
        cur.maxX += distance;
        plotter->setCurZoomPlotSettings(cur);
    } else if (shiftX != 0) {
        plotter->scroll(int(shiftX), 0);
    }
    cur = plotter->curZoomPlotSettings();

    const double d = cur.stepY() / 3.0;
    const bool inTime = cur.minX <= lastTime && lastTime <= cur.maxX;
    int direction = 0;
    double ticks = 0;
    if (value <= cur.minY + d && (runStart || lastValues.value(curve) >= cur.minY) && inTime) {
        direction = -1;
        ticks = std::ceil((cur.minY + d - value) / cur.stepY());
    } else if (value >= cur.maxY - d && (runStart || lastValues.value(curve) <= cur.maxY) && inTime) {
        direction = 1;
        ticks = std::ceil((value - cur.maxY + d) / cur.stepY());
    }
    if (direction == 0)
        return;
    if (ticks <= kFarTicks) {
        // Tick by tick, as far as the value needs and at least once.
        for (int i = 0; i < std::max(1.0, ticks); ++i)
            plotter->scroll(0, direction);
        return;
    }
    // Far away, or no height to step by: the window is centred on the value at once. Where
    // its height is lost to the size of the value, it gets a height that fits the value.
    const double span = cur.spanY();
    cur.minY = value - span / 2;
    cur.maxY = value + span / 2;
    if (!(cur.maxY - cur.minY > span / 2))
        cur.adjustY();
    plotter->setCurZoomPlotSettings(cur);
}

void MeasureWidget::showDataRange()
{
    dspnMinY->setValue(dataMinY);
    dspnMaxY->setValue(dataMaxY);
    dtMinX->setDateTime(secondsToDateTime(dataMinX));
    dtMaxX->setDateTime(secondsToDateTime(dataMaxX));
}

// Plot view range

QList<QAbstractSpinBox *> MeasureWidget::windowFields() const
{
    return {dspnViewMinY, dspnViewMaxY, dtViewMinX, dtViewMaxX, dspnStepY, spnStepXDays, timeStepX};
}

// A field counts as typed from the user's own edit: typing, stepping or the time buttons. Its
// text is no guide, as a locale, a language or a format changes it without anybody typing.
void MeasureWidget::watchWindowFields()
{
    for (QAbstractSpinBox *field : windowFields()) {
        const auto edited = [this, field] {
            if (!fillingWindow)
                typedWindowFields.insert(field);
        };
        if (QLineEdit *line = field->findChild<QLineEdit *>())
            connect(line, &QLineEdit::textEdited, this, edited);
        if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
            connect(decimal, &QDoubleSpinBox::valueChanged, this, edited);
        else if (auto *whole = qobject_cast<QSpinBox *>(field))
            connect(whole, &QSpinBox::valueChanged, this, edited);
        else
            connect(static_cast<QDateTimeEdit *>(field), &QDateTimeEdit::dateTimeChanged, this, edited);
        // Left holding what the page gave it, the field follows the window again.
        connect(field, &QAbstractSpinBox::editingFinished, this, [this, field] {
            if (typedWindowFields.contains(field) && fieldValue(field) == windowValues.value(field)) {
                typedWindowFields.remove(field);
                onZoomChanged();
            }
        });
    }
}

void MeasureWidget::onZoomChanged()
{
    const PlotSettings cur = plotter->curZoomPlotSettings();
    const double stepX = std::max(0.0, cur.stepX());
    const double stepY = cur.stepY();
    const QScopedValueRollback<bool> filling(fillingWindow, true);
    // The fields follow the window, except one the user has edited and not applied yet.
    const auto follow = [this](QAbstractSpinBox *field, const auto &fill) {
        if (typedWindowFields.contains(field))
            return;
        fill();
        windowValues.insert(field, fieldValue(field));
    };
    // A new single step writes the field's text again: it goes with the value.
    const auto followY = [&](QDoubleSpinBox *field, double value) {
        follow(field, [&] {
            field->setValue(value);
            field->setSingleStep(stepY);
        });
    };
    followY(dspnViewMinY, cur.minY);
    followY(dspnViewMaxY, cur.maxY);
    follow(dtViewMinX, [&] { dtViewMinX->setDateTime(secondsToDateTime(cur.minX)); });
    follow(dtViewMaxX, [&] { dtViewMaxX->setDateTime(secondsToDateTime(cur.maxX)); });
    initialSpanY = cur.maxY - cur.minY;
    follow(dspnStepY, [&] { dspnStepY->setValue(stepY); });

    const qint64 step = qint64(std::min(stepX, 1e15));
    const qint64 hours = step / 3600;
    const int minutes = int((step - 3600 * hours) / 60);
    const int seconds = int(step - 3600 * hours - 60 * minutes);
    DEBUGQT_LOG(4) << "*** StepX" << hours << minutes << seconds;
    const qint64 days = hours > 23 ? step / 86400 : 0;
    follow(timeStepX, [&] { timeStepX->setTime(QTime(int(hours - 24 * days), minutes, seconds)); });
    follow(spnStepXDays, [&] { spnStepXDays->setValue(int(std::min<qint64>(days, spnStepXDays->maximum()))); });
}

void MeasureWidget::checkRange(bool reversed, QWidget *field, const QString &title, const QString &text)
{
    // The warning takes the focus, which ends the editing again: one warning at a time.
    if (!reversed || checkingRange)
        return;
    checkingRange = true;
    Prompt::warning(this, title, text, QMessageBox::Cancel);
    field->setFocus(Qt::OtherFocusReason);
    checkingRange = false;
}

void MeasureWidget::on_dspnViewMinY_editingFinished()
{
    DEBUGQT_LOG(4) << "on_dspnViewMinY_editingFinished";
    const double min = dspnViewMinY->value();
    const double max = dspnViewMaxY->value();
    checkRange(min > max, dspnViewMinY, tr("Min Y value"),
               tr("The entered value Min Y (%1) is greater than Max Y (%2)!").arg(min).arg(max));
}

void MeasureWidget::on_dspnViewMaxY_editingFinished()
{
    DEBUGQT_LOG(4) << "on_dspnViewMaxY_editingFinished";
    const double min = dspnViewMinY->value();
    const double max = dspnViewMaxY->value();
    checkRange(min > max, dspnViewMaxY, tr("Max Y value"),
               tr("The entered value Max Y (%1) less than Min Y (%2)!").arg(max).arg(min));
}

void MeasureWidget::on_dtViewMinX_editingFinished()
{
    DEBUGQT_LOG(4) << "on_dtViewMinX_editingFinished";
    const QDateTime min = dtViewMinX->dateTime();
    const QDateTime max = dtViewMaxX->dateTime();
    checkRange(max < min, dtViewMinX, tr("Min X value"),
               tr("The entered value Min X (%1) is greater than Max X (%2)!")
                   .arg(min.toString(kTimeFormat), max.toString(kTimeFormat)));
}

void MeasureWidget::on_dtViewMaxX_editingFinished()
{
    DEBUGQT_LOG(4) << "on_dtViewMaxX_editingFinished";
    const QDateTime min = dtViewMinX->dateTime();
    const QDateTime max = dtViewMaxX->dateTime();
    checkRange(max < min, dtViewMaxX, tr("Max X value"),
               tr("The entered value Max X (%1) less than Min X (%2)!")
                   .arg(max.toString(kTimeFormat), min.toString(kTimeFormat)));
}

void MeasureWidget::on_btnSetRange_clicked()
{
    DEBUGQT_LOG(4) << dspnViewMinY->value() << dspnViewMaxY->value();
    PlotSettings ps = plotter->curZoomPlotSettings();
    DEBUGQT_LOG(4) << logTime(ps.maxX) << logTime(ps.minX);
    double stepX = ps.stepX();
    DEBUGQT_LOG(4) << "prev stepX" << stepX << "prev numXTicks" << ps.numXTicks;

    ps.minY = dspnViewMinY->value();
    ps.maxY = dspnViewMaxY->value();
    ps.minX = double(dtViewMinX->dateTime().toSecsSinceEpoch());
    ps.maxX = double(dtViewMaxX->dateTime().toSecsSinceEpoch());
    // Bounds typed the wrong way round are taken the right way round.
    if (ps.minY > ps.maxY)
        std::swap(ps.minY, ps.maxY);
    if (ps.minX > ps.maxX)
        std::swap(ps.minX, ps.maxX);

    const QTime time = timeStepX->time();
    if (time != QTime(0, 0) || spnStepXDays->value() != 0) {
        stepX = 3600.0 * time.hour() + 60.0 * time.minute() + time.second() + 86400.0 * spnStepXDays->value();
        DEBUGQT_LOG(4) << time.hour() << time.minute() << time.second() << "new stepX" << stepX;
    }
    if (!(stepX > 0))
        stepX = 1.0;
    const double stepY = dspnStepY->value();

    fitAxis(ps.minX, ps.maxX, ps.numXTicks, stepX, ps.targetXTicks);
    fitAxis(ps.minY, ps.maxY, ps.numYTicks, stepY, ps.targetYTicks);
    DEBUGQT_LOG(4) << "numTicks  X:" << ps.numXTicks << "Y:" << ps.numYTicks;
    DEBUGQT_LOG(4) << "New MaxX: " << logTime(ps.maxX) << "New MaxY: " << ps.maxY << "minX" << logTime(ps.minX);

    // Applied, the fields show the window again.
    typedWindowFields.clear();
    plotter->setCurZoomPlotSettings(ps);
    if (!ps.sameBounds(pageSettings))
        btnShowFullPlot->setChecked(false);
}

void MeasureWidget::on_btnShowFullPlot_clicked()
{
    if (!btnShowFullPlot->isChecked())
        return;
    pageSettings.minX = dataMinX;
    pageSettings.maxX = dataMaxX;
    pageSettings.minY = dataMinY;
    pageSettings.maxY = dataMaxY;
    if (std::abs(pageSettings.maxY - pageSettings.minY) < 1.0) {
        pageSettings.minY -= 1.0;
        pageSettings.maxY += 1.0;
    }
    pageSettings.adjust();
    const double margin = pageSettings.stepY() * 0.5;
    if (pageSettings.minY >= dataMinY - margin)
        pageSettings.minY -= margin;
    if (dataMaxY + margin >= pageSettings.maxY)
        pageSettings.maxY += margin;
    pageSettings.adjust();
    typedWindowFields.clear();
    plotter->setPlotSettings(pageSettings);

    showDataRange();
    viewMinX = pageSettings.minX;
    viewMaxX = pageSettings.maxX;
    viewMinY = pageSettings.minY;
    viewMaxY = pageSettings.maxY;
    const QScopedValueRollback<bool> filling(fillingWindow, true);
    dtViewMinX->setDateTime(secondsToDateTime(viewMinX));
    dtViewMaxX->setDateTime(secondsToDateTime(viewMaxX));
    dspnViewMinY->setValue(viewMinY);
    dspnViewMaxY->setValue(viewMaxY);
}

// Held down, the buttons repeat (auto-repeat of the form), one step per repeat.
void MeasureWidget::stepTimeEdit(QDateTimeEdit *edit, int direction)
{
    const double step = plotter->curZoomPlotSettings().stepX();
    const double seconds = double(edit->dateTime().toSecsSinceEpoch()) + direction * step;
    edit->setDateTime(QDateTime::fromSecsSinceEpoch(qint64(std::trunc(seconds))));
}

void MeasureWidget::on_btnMinusMinTime_pressed()
{
    stepTimeEdit(dtViewMinX, -1);
}

void MeasureWidget::on_btnPlusMinTime_pressed()
{
    stepTimeEdit(dtViewMinX, 1);
}

void MeasureWidget::on_btnMinusMaxTime_pressed()
{
    stepTimeEdit(dtViewMaxX, -1);
}

void MeasureWidget::on_btnPlusMaxTime_pressed()
{
    stepTimeEdit(dtViewMaxX, 1);
}

// Plot redraw

void MeasureWidget::on_btnMinus_pressed()
{
    DEBUGQT_LOG(4) << "on_btnMinus_pressed";
    const PlotSettings cur = plotter->curZoomPlotSettings();
    const double stepX = cur.stepX();
    const double stepY = cur.stepY();
    dspnViewMinY->setValue(dspnViewMinY->value() - stepY);
    dspnViewMaxY->setValue(dspnViewMaxY->value() + stepY);
    dtViewMinX->setDateTime(secondsToDateTime(dtViewMinX->dateTime().toSecsSinceEpoch() - stepX));
    dtViewMaxX->setDateTime(secondsToDateTime(dtViewMaxX->dateTime().toSecsSinceEpoch() + stepX));
    on_btnSetRange_clicked();
}

void MeasureWidget::on_btnPlus_pressed()
{
    DEBUGQT_LOG(4) << "on_btnPlus_pressed";
    const PlotSettings cur = plotter->curZoomPlotSettings();
    const double stepX = cur.stepX();
    const double stepY = cur.stepY();
    if (stepY > 0.01) {
        dspnViewMinY->setValue(dspnViewMinY->value() + stepY);
        dspnViewMaxY->setValue(dspnViewMaxY->value() - stepY);
    }
    const qint64 minX = dtViewMinX->dateTime().toSecsSinceEpoch();
    const qint64 maxX = dtViewMaxX->dateTime().toSecsSinceEpoch();
    if (double(maxX - minX) > 2 * stepX) {
        dtViewMinX->setDateTime(secondsToDateTime(minX + stepX));
        dtViewMaxX->setDateTime(secondsToDateTime(maxX - stepX));
    }
    on_btnSetRange_clicked();
}

void MeasureWidget::curveToggled(int curve, int state)
{
    if (state != Qt::Checked)
        plotter->clearCurve(curve);
    drawPlot();
}

void MeasureWidget::on_chkPV_stateChanged(int state)
{
    DEBUGQT_LOG(4) << "on_chkPV_stateChanged" << state;
    curveToggled(0, state);
}

void MeasureWidget::on_chkSV_stateChanged(int state)
{
    DEBUGQT_LOG(4) << "on_chkSV_stateChanged" << state;
    curveToggled(1, state);
}

void MeasureWidget::on_chkTV_stateChanged(int state)
{
    DEBUGQT_LOG(4) << "on_chkTV_stateChanged" << state;
    curveToggled(2, state);
}

void MeasureWidget::on_chkQV_stateChanged(int state)
{
    DEBUGQT_LOG(4) << "on_chkQV_stateChanged" << state;
    curveToggled(3, state);
}

void MeasureWidget::drawPlot()
{
    // The rows are numbers already: the redraw needs no pause for events and never nests.
    if (drawing)
        return;
    drawing = true;

    const double now = double(QDateTime::currentSecsSinceEpoch());
    double firstX = now;
    double lastX = now;
    const int rows = model->rowCount();
    DEBUGQT_LOG(4) << rows << "rows";

    QCheckBox *const boxes[] = {chkPV, chkSV, chkTV, chkQV};
    bool drawn[4];
    QVector<QPointF> curves[4];
    for (int curve = 0; curve < 4; ++curve) {
        drawn[curve] = boxes[curve]->isChecked() && columnShown(MeasureTableModel::valueColumn(curve));
        if (drawn[curve])
            curves[curve].reserve(rows);
    }
    bool seen = false;
    double minY = 0;
    double maxY = 0;
    for (int r = 0; r < rows; ++r) {
        const MeasureTableModel::Row &row = model->row(r);
        const double x = double(row.time);
        lastX = x;
        if (r == 0)
            firstX = x;
        for (int curve = 0; curve < 4; ++curve) {
            const unsigned cell = curve == 0 ? MeasureTableModel::PVCell : 1u << curve;
            if (!drawn[curve])
                continue;
            // Polling stood still before this row: no line links it to the rows before.
            if (row.runStart)
                Plotter::appendBreak(curves[curve], x);
            // Nothing measured: no point, and the curve breaks there.
            if (!(row.cells & cell)) {
                Plotter::appendBreak(curves[curve], x);
                continue;
            }
            const double y = double(row.values[curve]);
            minY = seen ? std::min(minY, y) : y;
            maxY = seen ? std::max(maxY, y) : y;
            seen = true;
            curves[curve].append(QPointF(x, y));
        }
    }

    plotter->setUtcTime(false);
    plotter->setDrawMode(true);
    for (int curve = 0; curve < 4; ++curve)
        plotter->setCurveData(curve, curves[curve]);
    DEBUGQT_LOG(4) << "curves count:" << plotter->curveCount();

    PlotSettings ps;
    ps.minX = firstX;
    ps.maxX = lastX;
    dataMinX = firstX;
    dataMaxX = lastX;
    dataMinY = minY;
    dataMaxY = maxY;
    if (std::abs(maxY - minY) < 0.5) {
        ps.minY = minY - 1;
        ps.maxY = maxY + 1;
    } else {
        ps.minY = minY;
        ps.maxY = maxY;
    }
    ps.adjust();
    const double h = ps.stepY() / 2;
    if (ps.minY >= dataMinY - h)
        ps.minY -= h;
    if (ps.maxY <= dataMaxY + h)
        ps.maxY += h;
    if (ps.minX == 0)
        ps.minX = now;
    if (ps.maxX == 0)
        ps.maxX = now;
    ps.adjust();
    pageSettings = ps;
    plotter->setPlotSettings(ps);
    DEBUGQT_LOG(4) << "minX" << logTime(ps.minX) << "maxX" << logTime(ps.maxX) << "minY" << ps.minY << "maxY" << ps.maxY;

    showDataRange();
    tabWidget->setCurrentWidget(tabPlotter);
    plotStarted = true;
    drawing = false;
}
