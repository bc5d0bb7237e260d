#include "measure/measurewidget.h"

#include "core/application.h"
#include "core/appsettings.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "measure/measuretablemodel.h"
#include "measure/plotter.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"
#include "tempworkdir.h"
#include "widgets/readout.h"

#include <QProgressDialog>
#include <QSignalSpy>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <limits>
#include <memory>
#include <utility>

#include <sys/resource.h>

namespace {

const QDateTime kStart(QDate(2024, 3, 5), QTime(10, 0, 0));

QVariantMap success(int variables, float pv, const QDateTime &time = kStart)
{
    QVariantMap map{{QStringLiteral("PV"), pv},
                    {QStringLiteral("PVUnitCodeText"), QStringLiteral("degC")},
                    {QStringLiteral("output_current"), 12.5f},
                    {QStringLiteral("DateTime"), time},
                    {QStringLiteral("statusCode"), QStringLiteral("00 00")},
                    {QStringLiteral("statusText"), QString()}};
    const char *keys[] = {"SV", "TV", "QV"};
    for (int i = 1; i < variables; ++i) {
        map.insert(QLatin1String(keys[i - 1]), 1.5f * float(i));
        map.insert(QLatin1String(keys[i - 1]) + QStringLiteral("UnitCodeText"), QStringLiteral("mA"));
    }
    return map;
}

QVariantMap failure(const QDateTime &time = kStart)
{
    return {{QStringLiteral("PV"), QVariant()},
            {QStringLiteral("output_current"), QVariant()},
            {QStringLiteral("DateTime"), time},
            {QStringLiteral("statusCode"), QString()},
            {QStringLiteral("errorText"), QStringLiteral("\n*** Response timeout (100ms)")}};
}

// The read-out as the table would write it; empty for the dashes of nothing measured (kept).
QString readOut(QLCDNumber *lcd)
{
    const QString value = Readout::text(lcd->value());
    const QImage shown = lcd->grab().toImage();
    lcd->display(QStringLiteral("----"));
    return !shown.isNull() && lcd->grab().toImage() == shown ? QString() : value;
}

// The separate lines the plot shows of its red PV curve: the runs of pixel columns red is on.
int drawnLines(Plotter *plotter)
{
    const QImage image = plotter->grab().toImage();
    int lines = 0;
    bool inLine = false;
    for (int x = 0; x < image.width(); ++x) {
        bool red = false;
        for (int y = 0; y < image.height() && !red; ++y)
            red = qRed(image.pixel(x, y)) > qGreen(image.pixel(x, y)) + 40;
        lines += red && !inLine;
        inLine = red;
    }
    return lines;
}

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestMeasureWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rows_data();
    void rows();
    void modeChangesKeepHiddenCells();
    void sameSecondAndUnitStore();
    void rowCap();
    void nonFiniteAndFarValues_data();
    void nonFiniteAndFarValues();
    void initialAndFollowingWindows();
    void setRange_data();
    void setRange();
    void redraw_data();
    void redraw();
    void settings();
    void pollingStartStop();
    void refusals();
    void archiveChooserKeepsFile();
    void tableExport_data();
    void tableExport();
    void exportCancelAndFailures();

private:
    void show(const QVariantMap &response) { m_page->showPeriodResponsePV(response); }
    QString cell(int row, int column) const { return m_page->tableModel()->text(row, column); }

    std::unique_ptr<TempWorkDir> m_work;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
    std::unique_ptr<MeasureWidget> m_page;
    std::unique_ptr<PromptRecorder> m_prompts;
};

void TestMeasureWidget::initTestCase()
{
    // The folder layout is fixed when the settings store first comes into being.
    m_work = std::make_unique<TempWorkDir>();
    AppSettings::instance();
    Application::loadTranslations(QStringLiteral(":/lang"));
}

void TestMeasureWidget::init()
{
    m_prompts = std::make_unique<PromptRecorder>();
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("COM1"));
    port->setProperty("serial_name", QStringLiteral("/dev/ttyS7"));
    m_device = port->createDevice(QStringLiteral("General"));
    port->insertChild(-1, m_device);
    m_page = std::make_unique<MeasureWidget>(nullptr, 4);
    m_page->resize(980, 620);
    m_page->onDeviceChanged(m_device);
    m_page->onUpdateButtons(true);
}

void TestMeasureWidget::cleanup()
{
    Application::setLanguage(QStringLiteral("en_US"));
    m_page.reset();
    m_server.reset();
    m_prompts.reset();
}

void TestMeasureWidget::rows_data()
{
    QTest::addColumn<QVariantMap>("response");
    QTest::addColumn<QStringList>("texts"); // columns 0 to 7
    QTest::addColumn<int>("infoAlignment");
    QTest::addColumn<QVariantMap>("later");  // a response a second later, or none

    QVariantMap rounded = success(4, 2.345678f);
    rounded.insert(QStringLiteral("statusText"), QStringLiteral("More status available"));
    QTest::newRow("success, two decimals, status text as info")
        << rounded
        << QStringList{"05.03.2024 10:00:00", "2.35", "12.50", "00 00", "More status available", "1.50", "3.00", "4.50"}
        << int(Qt::AlignLeft | Qt::AlignVCenter) << QVariantMap();
    QTest::newRow("failure: no value, the error as info")
        << failure() << QStringList{"05.03.2024 10:00:00", "", "", "", "\n*** Response timeout (100ms)", "", "", ""}
        << int(Qt::AlignLeft | Qt::AlignVCenter) << QVariantMap();
    QVariantMap noisy = success(2, 80.67f);
    noisy.insert(QStringLiteral("SV"), 80.67f);
    QTest::newRow("read-outs show the two decimals, not the float's noise")
        << noisy << QStringList{"05.03.2024 10:00:00", "80.67", "12.50", "00 00", "", "80.67"}
        << int(Qt::AlignLeft | Qt::AlignVCenter) << QVariantMap();
    QVariantMap wider = success(4, 123456.75f, kStart.addSecs(1));
    wider.insert(QStringLiteral("output_current"), -12345.5f);
    wider.insert(QStringLiteral("QV"), 98765.25f);
    QTest::newRow("wider values later widen their columns")
        << success(4, 12.5f) << QStringList{"05.03.2024 10:00:00", "12.50", "12.50", "00 00", "", "1.50", "3.00", "4.50"}
        << int(Qt::AlignLeft | Qt::AlignVCenter) << wider;
    QTest::newRow("values fitting their columns later leave the widths")
        << success(4, 12.5f) << QStringList{"05.03.2024 10:00:00", "12.50", "12.50", "00 00", "", "1.50", "3.00", "4.50"}
        << int(Qt::AlignLeft | Qt::AlignVCenter) << success(4, 3.25f, kStart.addSecs(1));
}

void TestMeasureWidget::rows()
{
    QFETCH(QVariantMap, response);
    QFETCH(QStringList, texts);
    QFETCH(int, infoAlignment);

    QSignalSpy passedOn(m_page.get(), &MeasureWidget::responsePV);
    show(response);
    for (int column = 0; column < texts.size(); ++column)
        QCOMPARE(cell(0, column), texts.at(column));
    const QAbstractItemModel *model = m_page->tableWidget->model();
    QCOMPARE(model->data(model->index(0, 4), Qt::TextAlignmentRole).toInt(), infoAlignment);
    QCOMPARE(model->data(model->index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
    QCOMPARE(passedOn.count(), 1);
    QCOMPARE(m_page->variableMode(), texts.size() > 6 ? 4 : 2);
    // The read-outs show exactly what the table shows.
    QCOMPARE(readOut(m_page->lcdCh1Value), texts.at(1));
    QCOMPARE(readOut(m_page->lcdSVValue), texts.at(5));
    // A value column is as wide as its first row made it, or as its widest value needs.
    QFETCH(QVariantMap, later);
    const QTableView *table = m_page->tableWidget;
    QList<int> firstWidths;
    for (int column = 0; column < MeasureTableModel::ColumnCount; ++column)
        firstWidths << table->columnWidth(column);
    if (!later.isEmpty())
        show(later);
    for (int column : {1, 2, 5, 6, 7}) {
        if (!table->isColumnHidden(column))
            QCOMPARE(table->columnWidth(column), std::max(firstWidths.at(column), static_cast<const QAbstractItemView *>(table)->sizeHintForColumn(column)));
    }
}

void TestMeasureWidget::modeChangesKeepHiddenCells()
{
    show(success(4, 1.0f));
    show(failure(kStart.addSecs(5)));
    QCOMPARE(m_page->variableMode(), 4);
    show(success(2, 1.0f, kStart.addSecs(10)));
    QCOMPARE(m_page->variableMode(), 2);
    QVERIFY(m_page->tableWidget->isColumnHidden(MeasureTableModel::TVColumn));
    QVERIFY(!m_page->tableWidget->isColumnHidden(MeasureTableModel::SVColumn));
    QVERIFY(m_page->lcdQVValue->isHidden() && m_page->chkTV->isHidden());
    QCOMPARE(m_page->tableWidget->model()->columnCount(), 8);
    QCOMPARE(cell(0, MeasureTableModel::QVColumn), QStringLiteral("4.50"));
    QCOMPARE(cell(2, MeasureTableModel::QVColumn), QString());
}

void TestMeasureWidget::sameSecondAndUnitStore()
{
    show(success(4, 1.0f));
    QCOMPARE(m_device->parameter(QStringLiteral("PVUnitCodeText")).toString(), QStringLiteral("degC"));
    QCOMPARE(m_device->parameter(QStringLiteral("QVUnitCodeText")).toString(), QStringLiteral("mA"));
    m_device->setParameter(QStringLiteral("PVUnitCodeText"), QStringLiteral("kept"));

    show(success(4, 2.0f));
    QCOMPARE(cell(1, 0), QStringLiteral("05.03.2024 10:00:01"));
    QCOMPARE(m_page->lbCurrentTime->text(), QStringLiteral("05.03.2024 10:00:00"));
    QCOMPARE(m_page->plotWidget()->curveData(0).last().x(), double(kStart.toSecsSinceEpoch() + 1));
    QCOMPARE(m_device->parameter(QStringLiteral("PVUnitCodeText")).toString(), QStringLiteral("kept"));
}

void TestMeasureWidget::rowCap()
{
    m_page->setMaxRows(3);
    for (int i = 0; i < 5; ++i)
        show(success(1, float(i), kStart.addSecs(10 * i)));
    QCOMPARE(m_page->tableModel()->rowCount(), 3);
    QCOMPARE(cell(0, MeasureTableModel::PVColumn), QStringLiteral("2.00"));
    QCOMPARE(cell(2, MeasureTableModel::PVColumn), QStringLiteral("4.00"));
}

void TestMeasureWidget::nonFiniteAndFarValues_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("plotted");
    QTest::addColumn<bool>("fullPlot");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("NaN leaves a gap and empty fields") << nan << "" << 20.0 << false;
    QTest::newRow("minus infinity leaves a gap and empty fields") << -inf << "" << 20.0 << false;
    QTest::newRow("1e30 followed in one move") << 1e30f << "1000000015047466219876688855040.00" << 1e30 << false;
    QTest::newRow("1e30 in full-plot mode") << 1e30f << "1000000015047466219876688855040.00" << 1e30 << true;
    QTest::newRow("NaN in full-plot mode") << nan << "" << 20.0 << true;
}

void TestMeasureWidget::nonFiniteAndFarValues()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QFETCH(double, plotted);
    QFETCH(bool, fullPlot);

    // Archived by a run of the page's own; the line stays busy, so its poller reads nothing.
    const Port::LineHold busy = m_device->port()->holdLine();
    m_page->txtPathName->setText(m_work->filePath(QLatin1String(QTest::currentDataTag())));
    m_page->chkAutoSaveFile->setChecked(true);
    m_page->chkPeriod->setChecked(true);
    m_page->btnStartStop->click();
    show(success(1, 20.0f));
    m_page->btnShowFullPlot->setChecked(fullPlot);
    QSignalSpy moves(m_page->plotWidget(), &Plotter::zoomChanged);
    show(success(1, value, kStart.addSecs(5)));
    QCOMPARE(cell(1, MeasureTableModel::PVColumn), text);
    QCOMPARE(readOut(m_page->lcdCh1Value), std::isfinite(value) ? text : QString());
    QCOMPARE(m_page->plotWidget()->curveData(0).last().y() == double(float(plotted)), bool(std::isfinite(value)));
    QVERIFY(moves.count() <= 2);
    const PlotSettings window = m_page->plotWidget()->curZoomPlotSettings();
    QVERIFY(std::isfinite(window.minY) && std::isfinite(window.maxY) && window.maxY > window.minY);
    QVERIFY(window.minY <= float(plotted) && float(plotted) <= window.maxY);

    // The archive and the saved table leave the value's field as a failed read does, and keep the rest.
    const QString archive = m_page->lbFileName->text();
    // Its name keeps to one line in any width, the whole of it in the tool tip.
    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), m_page->lbFileName->mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(m_page->lbFileName, &tip);
    QVERIFY(!m_page->lbFileName->hasHeightForWidth() && m_page->lbFileName->sizeHint().height() < 2 * m_page->lbFileName->fontMetrics().height());
    QCOMPARE(QToolTip::text(), archive);
    m_page->btnStartStop->click();
    QTRY_COMPARE(fileLines(archive).size(), 3);
    QCOMPARE(fileLines(archive).at(2).section(QLatin1Char(';'), 2, 2).isEmpty(), !std::isfinite(value));
    QCOMPARE(fileLines(archive).at(2).section(QLatin1Char(';'), 3), QStringLiteral("12.5;00 00;"));
    m_prompts->answerText(m_work->filePath(QStringLiteral("nonfinite.csv")));
    m_page->on_btnSaveAsFile_clicked();
    QCOMPARE(fileLines(m_work->filePath(QStringLiteral("nonfinite.csv"))).at(2).section(QLatin1Char(';'), 2), text + QStringLiteral(";12.50;00 00;"));
}

void TestMeasureWidget::initialAndFollowingWindows()
{
    m_page->spnPeriod->setValue(5);
    show(success(1, 20.0f));
    const double t0 = double(kStart.toSecsSinceEpoch());
    PlotSettings window = m_page->plotWidget()->curZoomPlotSettings();
    // 300 s from the sample and 15 to 25, rounded outward.
    QVERIFY(window.minX <= t0 && window.minX > t0 - 60 && window.maxX >= t0 + 300 && window.maxX < t0 + 400);
    QVERIFY(window.minY <= 15 && window.minY > 12 && window.maxY >= 25 && window.maxY < 28);

    show(success(1, 40.0f, kStart.addSecs(10)));
    QVERIFY(m_page->btnShowFullPlot->isChecked());
    QVERIFY(m_page->plotWidget()->curZoomPlotSettings().maxY >= 40);

    // Zoomed by hand: the window only follows, tick by tick.
    m_page->plotWidget()->scroll(0, 1);
    const PlotSettings moved = m_page->plotWidget()->curZoomPlotSettings();
    show(success(1, float(moved.maxY - moved.stepY() / 10), kStart.addSecs(20)));
    QVERIFY(!m_page->btnShowFullPlot->isChecked());
    QCOMPARE(m_page->plotWidget()->curZoomPlotSettings().minY, moved.minY + moved.stepY());
}

void TestMeasureWidget::setRange_data()
{
    QTest::addColumn<double>("minY");
    QTest::addColumn<double>("maxY");
    QTest::addColumn<double>("stepY");
    QTest::addColumn<double>("expectedMinY");
    QTest::addColumn<double>("expectedMaxY");
    QTest::addColumn<int>("expectedTicks");

    QTest::newRow("step 3 rounds up past a quarter") << 0.0 << 10.0 << 3.0 << 0.0 << 12.0 << 4;
    QTest::newRow("step 4") << 0.0 << 10.0 << 4.0 << 0.0 << 12.0 << 3;
    QTest::newRow("no whole step: the tick target") << 0.0 << 1.0 << 2.0 << 0.0 << 10.0 << 5;
    QTest::newRow("reversed bounds are swapped") << 10.0 << 0.0 << 2.0 << 0.0 << 10.0 << 5;
    QTest::newRow("at most 100 ticks") << -300.0 << 2000.0 << 0.005 << -300.0 << 2000.0 << 100;
    QTest::newRow("a pressure in Pa and a vacuum") << -1000.0 << 99000.0 << 20000.0 << -1000.0 << 99000.0 << 5;
    const double doubleMax = std::numeric_limits<double>::max();
    const double floatMax = std::numeric_limits<float>::max();
    QTest::newRow("typed beyond any value: the float's range") << -doubleMax << doubleMax << 1.0 << -floatMax << floatMax << 100;
    QTest::newRow("a step beyond any value") << 0.0 << 10.0 << doubleMax << 0.0 << 5 * floatMax << 5;
    QTest::newRow("equal bounds far out get a height") << 1e20 << 1e20 << 1.0 << 1e20 << 1e20 + 5e8 << 5;
}

void TestMeasureWidget::setRange()
{
    QFETCH(double, minY);
    QFETCH(double, maxY);
    QFETCH(double, stepY);
    QFETCH(double, expectedMinY);
    QFETCH(double, expectedMaxY);
    QFETCH(int, expectedTicks);

    const double floatMax = std::numeric_limits<float>::max();
    const auto measured = [&](double value) { return float(std::clamp(value, -floatMax, floatMax)); };
    show(success(1, measured(minY)));
    show(success(1, measured(maxY), kStart.addSecs(5)));
    QCOMPARE(m_page->dspnMinY->value(), double(measured(std::min(minY, maxY))));
    QCOMPARE(m_page->dspnMaxY->value(), double(measured(std::max(minY, maxY))));
    m_page->dspnViewMinY->setValue(minY);
    m_page->dspnViewMaxY->setValue(maxY);
    m_page->dspnStepY->setValue(stepY);
    // A year at one second per tick, given the wrong way round.
    m_page->dtViewMinX->setDateTime(kStart.addYears(1));
    m_page->dtViewMaxX->setDateTime(kStart);
    m_page->timeStepX->setTime(QTime(0, 0, 1));
    m_page->on_btnSetRange_clicked();

    const PlotSettings window = m_page->plotWidget()->curZoomPlotSettings();
    QVERIFY(qFuzzyCompare(window.minY + 1, expectedMinY + 1));
    QVERIFY(qFuzzyCompare(window.maxY, expectedMaxY));
    QCOMPARE(window.numYTicks, expectedTicks);
    QCOMPARE(window.minX, double(kStart.toSecsSinceEpoch()));
    QVERIFY(window.numXTicks <= 100 && window.maxX >= double(kStart.addYears(1).toSecsSinceEpoch()) - 1);
    QVERIFY(!m_page->btnShowFullPlot->isChecked());
    // The fields show the window's first and last time whole.
    m_page->tabWidget->setCurrentWidget(m_page->tabPlotter);
    m_page->tabWidgetPlotConfig->setCurrentWidget(m_page->tabCurrentRange);
    m_page->grab();
    for (QDateTimeEdit *field : {m_page->dtViewMinX, m_page->dtViewMaxX}) {
        const QLineEdit *text = field->findChild<QLineEdit *>();
        QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) + 4 <= text->contentsRect().width());
    }

    // Minus widens by one step on each side, as far as the fields reach.
    m_page->on_btnMinus_pressed();
    const double widened = std::max(expectedMinY - window.stepY(), -floatMax);
    QVERIFY(qFuzzyCompare(m_page->plotWidget()->curZoomPlotSettings().minY + 1, widened + 1));
    m_page->on_btnPlus_pressed();
    for (const PlotSettings &shown : {window, m_page->plotWidget()->curZoomPlotSettings()})
        QVERIFY(std::isfinite(shown.minY) && std::isfinite(shown.maxY) && shown.maxY > shown.minY);
}

void TestMeasureWidget::redraw_data()
{
    // An invalid value: a failed read; "stop, start" or an int: stopped (that many seconds more) and
    // started; true: SV shown too; a double: typed into the lower Y bound, applied at the end (NaN:
    // its own text typed again and left); a locale: the editor's; another text: that language, then
    // the data cleared while stopped; a long: that X step in seconds typed alone and applied.
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<double>("low");   // the window before rounding lies within
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("lines");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("empty table") << QVariantList{} << -1.0 << 1.0 << 0;
    QTest::newRow("equal values") << QVariantList{5.0f, 5.0f, 5.0f} << 4.0 << 6.0 << 1;
    QTest::newRow("nan and inf leave gaps")
        << QVariantList{nan, std::numeric_limits<float>::infinity(), 2.0f} << 1.0 << 3.0 << 1;
    QTest::newRow("failed reads and nan break the line")
        << QVariantList{3.0f, 4.0f, QVariant(), QVariant(), nan, 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("stop and start break the line") << QVariantList{3.0f, 4.0f, "stop, start", 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    // A window typed to end there, in steps of 10 s; the stop lasts 15 s.
    QTest::newRow("a typed window takes the first read after a start")
        << QVariantList{3.0f, 4.0f, kStart.addSecs(5), "stop, start", 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("a typed window on older data takes the first read after a start")
        << QVariantList{3.0f, 4.0f, kStart, "stop, start", 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("a typed window jumps after a long stop and keeps its width")
        << QVariantList{3.0f, 4.0f, kStart.addSecs(5), 20, 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("a typed window of two curves jumps after a long stop and keeps its width")
        << QVariantList{3.0f, true, 4.0f, kStart.addSecs(5), 20, 5.0f, 4.0f} << 1.5 << 5.0 << 2;
    QTest::newRow("a typed window far on older data jumps to the first read after a start")
        << QVariantList{3.0f, 4.0f, kStart.addSecs(-60), "stop, start", 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("a typed window of two curves far on older data jumps to the first read after a start")
        << QVariantList{3.0f, true, 4.0f, kStart.addSecs(-60), "stop, start", 5.0f, 4.0f} << 1.5 << 5.0 << 2;
    QTest::newRow("a typed window on older data takes a run's first measured read after a failed one")
        << QVariantList{3.0f, 4.0f, kStart, "stop, start", QVariant(), 5.0f, 4.0f} << 3.0 << 5.0 << 2;
    QTest::newRow("a typed lower Y bound waits for Apply while the window follows")
        << QVariantList{3.0f, 4.0f, kStart.addSecs(5), 2.0, 5.0f, 4.0f} << 3.0 << 5.0 << 1;
    const QVariant russian = QLocale(QLocale::Russian, QLocale::Russia);
    QTest::newRow("in a comma locale untyped fields follow, and the X step applied alone keeps the Y window")
        << QVariantList{russian, 3.0f, 112.5f, 20LL, 113.0f} << 3.0 << 113.0 << 1;
    QTest::newRow("a lower Y bound typed back as shown and left follows again")
        << QVariantList{3.0f, 4.0f, qQNaN(), 112.5f, 113.0f} << 3.0 << 113.0 << 1;
    QTest::newRow("the fields follow the window after a language change")
        << QVariantList{3.0f, 4.0f, 86400LL, "ru_RU", 5.0f, 4.0f} << 4.0 << 5.0 << 1;
}

void TestMeasureWidget::redraw()
{
    QFETCH(QVariantList, values);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, lines);

    // The line stays busy, as under another page's operation: the page's own poller reads nothing.
    const Port::LineHold busy = m_device->port()->holdLine();
    m_page->chkPeriod->setChecked(true);
    m_page->btnStartStop->click();
    Plotter *plotter = m_page->plotWidget();
    double newest = -1, typedWidth = 0, typedMinY = 0;
    for (int i = 0, pause = 0; i < values.size(); ++i) {
        const QVariant value = values.at(i);
        const QDateTime time = kStart.addSecs(5 * i + pause);
        if (value == QStringLiteral("stop, start") || value.typeId() == QMetaType::Int)
            pause += value.toInt(), m_page->btnStartStop->click(), m_page->btnStartStop->click();
        else if (value.typeId() == QMetaType::QLocale)
            m_page->setLocale(value.toLocale());
        else if (value.typeId() == QMetaType::QString) {
            Application::setLanguage(value.toString());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
            m_prompts->answerButton(QMessageBox::Yes);
            m_page->btnStartStop->click(), m_page->btnClear->click(), m_page->btnStartStop->click();
        } else if (value.typeId() == QMetaType::LongLong) {
            const PlotSettings before = plotter->curZoomPlotSettings();
            m_page->spnStepXDays->setValue(int(value.toLongLong() / 86400));
            m_page->timeStepX->setTime(QTime(0, 0).addSecs(int(value.toLongLong() % 86400)));
            m_page->btnSetRange->click();
            QCOMPARE(plotter->curZoomPlotSettings().spanY(), before.spanY());
        }
        else if (value.typeId() == QMetaType::Bool)
            m_page->chkSV->setChecked(true);
        else if (value.typeId() == QMetaType::Double) {
            m_page->show();
            QVERIFY(QTest::qWaitForWindowActive(m_page.get()));
            m_page->dspnViewMinY->setFocus();
            m_page->dspnViewMinY->selectAll();
            const bool back = std::isnan(value.toDouble());
            QTest::keyClicks(m_page->dspnViewMinY, back ? m_page->dspnViewMinY->text() + QLatin1Char('\r') : value.toString());
            typedMinY = back ? 0 : value.toDouble();
        } else if (value.typeId() == QMetaType::QDateTime) {
            m_page->dtViewMinX->setDateTime(value.toDateTime().addSecs(-60));
            m_page->dtViewMaxX->setDateTime(value.toDateTime());
            m_page->timeStepX->setTime(QTime(0, 0, 10));
            m_page->btnSetRange->click();
            typedWidth = plotter->curZoomPlotSettings().spanX();
        } else {
            show(value.isValid() ? success(4, value.toFloat(), time) : failure(time));
            newest = value.isValid() ? double(time.toSecsSinceEpoch()) : newest;
        }
    }
    if (typedMinY != 0) {   // the field kept the keyboard and the text through the window's moves
        QVERIFY(m_page->dspnViewMinY->hasFocus() && m_page->dspnViewMinY->text() == QString::number(typedMinY));
        m_page->btnSetRange->click();
        QCOMPARE(plotter->curZoomPlotSettings().minY, typedMinY);
    }
    // Nothing typed is left: every Window-tab field shows the plot's window.
    const PlotSettings shown = plotter->curZoomPlotSettings();
    const qint64 stepX = qint64(shown.stepX());
    QCOMPARE(QVariantList({m_page->dspnViewMinY->text(), m_page->dspnViewMaxY->text(), m_page->dspnStepY->value(),
                           m_page->dtViewMinX->dateTime(), m_page->dtViewMaxX->dateTime(), m_page->spnStepXDays->value(),
                           m_page->timeStepX->time()}),
             QVariantList({m_page->locale().toString(shown.minY, 'f', 2), m_page->locale().toString(shown.maxY, 'f', 2),
                           QString::number(shown.stepY(), 'f', 3).toDouble(), QDateTime::fromSecsSinceEpoch(qint64(shown.minX)),
                           QDateTime::fromSecsSinceEpoch(qint64(shown.maxX)), int(stepX / 86400), QTime(0, 0).addSecs(int(stepX % 86400))}));
    // The window holds the newest point, with the width typed.
    const PlotSettings followed = plotter->curZoomPlotSettings();
    QVERIFY(newest < 0 || (followed.minX <= newest && newest <= followed.maxX));
    QVERIFY(typedWidth == 0 || followed.spanX() == typedWidth);
    m_page->btnStartStop->click();
    QCOMPARE(drawnLines(plotter), lines);
    m_page->chkPV->setChecked(false);
    m_page->chkPV->setChecked(true);

    QCOMPARE(drawnLines(plotter), lines);
    QCOMPARE(plotter->curveData(1).isEmpty(), !m_page->chkSV->isChecked());
    const PlotSettings window = plotter->curZoomPlotSettings();
    QVERIFY(window.minY <= low && window.maxY >= high);
    QCOMPARE(m_page->tabWidget->currentWidget(), m_page->tabPlotter);
}

void TestMeasureWidget::settings()
{
    // A device without keys: the defaults, with the archives folder stored.
    QCOMPARE(m_page->chkDefaultFileName->isChecked(), true);
    QCOMPARE(m_page->chkAutoSaveFile->isChecked(), false);
    QCOMPARE(m_page->spnWriteLineCount->value(), 10);
    QCOMPARE(m_page->txtPathName->text(), AppSettings::archivesDir());
    QCOMPARE(m_device->measureInfo().value(QStringLiteral("archive_path_name")).toString(), AppSettings::archivesDir());

    QSignalSpy changed(m_page.get(), &MeasureWidget::changed);
    m_device->setMeasureInfo({{QStringLiteral("default_file_name"), false},
                              {QStringLiteral("auto_save_file"), true},
                              {QStringLiteral("write_line_count"), 25},
                              {QStringLiteral("archive_path_name"), QString()},
                              {QStringLiteral("archive_file_name"), QStringLiteral("/tmp/a.csv")}});
    m_page->onDeviceChanged(m_device);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_page->stackedWidgetPath->currentIndex(), 1);
    QCOMPARE(m_page->txtFileName->text(), QStringLiteral("/tmp/a.csv"));
    QCOMPARE(m_page->spnWriteLineCount->value(), 25);

    m_page->chkScrollToLast->setChecked(true);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_device->measureInfo().value(QStringLiteral("scroll_to_last")).toBool(), true);
    m_page->onDeviceChanged(nullptr);
    m_page->chkScrollToLast->setChecked(false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!m_page->btnSaveAsFile->isEnabled() && !m_page->btnSelectFile->isEnabled());
}

void TestMeasureWidget::pollingStartStop()
{
    HartSimulator sim;
    QVERIFY(sim.isValid());
    HartSimUniversalCommands::install(sim);
    HartSimDevice simDevice(0);
    simDevice.values.insert(QStringLiteral("PV"), 21.5f);
    simDevice.values.insert(QStringLiteral("PV_unit_code"), 32);
    sim.addDevice(simDevice);
    Port *port = qobject_cast<Port *>(m_device->parentItem());
    QVERIFY(port->setSerialName(sim.portName()));

    // A run whose archive cannot be set up warns once and archives nothing.
    QFile plain(m_work->filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    m_page->txtPathName->setText(plain.fileName());
    m_page->chkAutoSaveFile->setChecked(true);
    m_page->chkPeriod->setChecked(true);
    m_page->spnPeriod->setValue(5);
    QSignalSpy started(m_page.get(), &MeasureWidget::startPeriod);
    m_page->btnStartStop->click();
    QVERIFY(m_page->isPolling());
    QCOMPARE(m_page->btnStartStop->text(), QStringLiteral("Stop"));
    QVERIFY(!m_page->btnSaveAsFile->isEnabled());
    QCOMPARE(m_prompts->requests.size(), 1);
    QTRY_COMPARE(m_page->tableModel()->rowCount(), 1);
    m_page->onUpdateButtons(true);
    QVERIFY(!m_page->btnSaveAsFile->isEnabled());
    // Unbound and with the period box off, the running poll still stops.
    m_page->onDeviceChanged(nullptr);
    m_page->btnStartStop->click();
    QVERIFY(!m_page->isPolling());
    QCOMPARE(started.count(), 2);
    QCOMPARE(QDir(plain.fileName()).exists(), false);

    // A run with its archive: "5sec" in the header, the file named in the label. Its read fails:
    // no PV is archived, plotted or shown in the table.
    m_page->onDeviceChanged(m_device);
    m_page->txtPathName->setText(m_work->filePath(QStringLiteral("runs")));
    HartSimFaults silent;
    silent.silent = true;
    sim.setFaults(silent);
    m_page->btnStartStop->click();
    QTRY_COMPARE(m_page->tableModel()->rowCount(), 2);
    QCOMPARE(cell(1, MeasureTableModel::PVColumn), QString());
    QCOMPARE(m_page->plotWidget()->curveData(0).size(), 2);   // the first read's point, the failure's break
    m_page->chkSV->setChecked(true);
    QCOMPARE(m_page->plotWidget()->curveData(1).size(), 2);
    const QString archive = m_page->lbFileName->text();
    QVERIFY(archive.startsWith(m_work->filePath(QStringLiteral("runs/"))));
    m_page->onCloseApplication();
    QVERIFY(!m_page->isPolling());
    QCOMPARE(m_device->parameter(QStringLiteral("PV")), QVariant(21.5f));
    QVERIFY(m_page->btnStartStop->isChecked());
    QTRY_COMPARE(fileLines(archive).size(), 2);
    QVERIFY(fileLines(archive).at(0).contains(QStringLiteral(" ; General ; ") + sim.portName() + QStringLiteral(" ; 0 ; 5sec ; ")));
    QVERIFY2(QRegularExpression(QStringLiteral("^1;[-0-9: ]+;;;;$")).match(fileLines(archive).at(1)).hasMatch(),
             qPrintable(fileLines(archive).at(1)));
    // The table export leaves the failed read's value fields empty, as the archive does.
    m_prompts->answerText(m_work->filePath(QStringLiteral("table.csv")));
    m_page->on_btnSaveAsFile_clicked();
    QCOMPARE(fileLines(m_work->filePath(QStringLiteral("table.csv"))).at(2).section(QLatin1Char(';'), 2), QStringLiteral(";;;;;;"));
    QVERIFY(!port->hartPort.isOpen());

    // Stopped inside a read of this thread, the page lets its line close once the read is over.
    sim.setFaults({});
    m_page->btnStartStop->click();
    QTRY_VERIFY(m_page->isPolling() && port->hartPort.isOpen());
    bool stoppedInRead = false;
    const auto hook = connect(m_device, &Device::deviceStatus, this, [&] {
        if (Port::lineHeldHere() == port && !std::exchange(stoppedInRead, true))
            m_page->btnStartStop->click();
    });
    const bool read = m_device->readDevice(3);
    disconnect(hook);
    QVERIFY(read);
    QVERIFY(stoppedInRead && !m_page->isPolling());
    QTRY_VERIFY(!port->hartPort.isOpen());
}

void TestMeasureWidget::refusals()
{
    QSignalSpy started(m_page.get(), &MeasureWidget::startPeriod);
    m_page->btnStartStop->setEnabled(true);
    m_page->btnStartStop->click(); // period box off
    m_page->chkPeriod->setChecked(true);
    m_page->onDeviceChanged(nullptr);
    m_page->btnStartStop->click(); // no device
    QVERIFY(!m_page->isPolling());
    QVERIFY(!m_page->btnStartStop->isChecked());
    QCOMPARE(started.count(), 0);
}

void TestMeasureWidget::archiveChooserKeepsFile()
{
    const QString chosen = m_work->filePath(QStringLiteral("kept.csv"));
    QFile existing(chosen);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("header ;\n1;x;\n");
    existing.close();
    QSignalSpy changed(m_page.get(), &MeasureWidget::changed);
    m_prompts->answerText(chosen);
    m_page->on_btnSelectFile_clicked();
    QCOMPARE(fileLines(chosen).size(), 2);
    QCOMPARE(m_device->measureInfo().value(QStringLiteral("archive_file_name")).toString(), chosen);
    QCOMPARE(m_device->measureInfo().value(QStringLiteral("archive_path_name")).toString(), QString());
    QCOMPARE(changed.count(), 1);

    // A folder below a file cannot hold it: a warning, and the settings stay.
    m_prompts->answerText(m_work->filePath(QStringLiteral("kept.csv/a.csv")));
    m_page->on_btnSelectFile_clicked();
    QCOMPARE(m_prompts->requests.last().text.left(30), QStringLiteral("Cannot open file for writing: "));
    QCOMPARE(m_device->measureInfo().value(QStringLiteral("archive_file_name")).toString(), chosen);
}

void TestMeasureWidget::tableExport_data()
{
    QTest::addColumn<int>("variables");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("lines"); // without the header
    QTest::addColumn<bool>("outcomeHeld");   // a caller's fault: the device's outcome held outside its line

    QTest::newRow("mode 1") << 1 << 2
                            << QStringList{"1;2024-03-05 10:00:00;1.00;12.50;00 00;", "2;2024-03-05 10:00:01;2.00;12.50;00 00;", ";;"} << false;
    QTest::newRow("mode 4") << 4 << 1 << QStringList{"1;2024-03-05 10:00:00;1.00;12.50;00 00;1.50;3.00;4.50;", ";;"} << false;
    QTest::newRow("empty table") << 1 << 0 << QStringList{";;"} << false;
    QTest::newRow("under a held outcome: written whole, no progress step lets events through, and the fault is told")
        << 1 << 1 << QStringList{"1;2024-03-05 10:00:00;1.00;12.50;00 00;", ";;"} << true;
}

void TestMeasureWidget::tableExport()
{
    QFETCH(int, variables);
    QFETCH(int, rows);
    QFETCH(QStringList, lines);
    QFETCH(bool, outcomeHeld);

    m_page = std::make_unique<MeasureWidget>(nullptr, variables);
    m_page->onDeviceChanged(m_device);
    m_page->onUpdateButtons(true);
    for (int i = 0; i < rows; ++i)
        show(success(variables, float(i + 1), kStart.addSecs(i)));
    const QString fileName = m_work->filePath(QStringLiteral("table.csv"));
    m_prompts->answerText(fileName);
    if (outcomeHeld) {   // no progress step is shown, and any other pass is told in the log, not fatal
        qunsetenv("TENVARA_CHECK_LOCKS");
        for (const char *where : {"a progress step", "an event loop"})
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("events run: ") + QLatin1String(where)));
        const Device::OutcomeHold outcome(m_device);
        m_page->on_btnSaveAsFile_clicked();
        QCoreApplication::processEvents();
        qputenv("TENVARA_CHECK_LOCKS", "1");
    } else {
        m_page->on_btnSaveAsFile_clicked();
    }

    QStringList written = fileLines(fileName);
    QVERIFY(!written.isEmpty());
    const QString header = written.takeFirst();
    QVERIFY2(header.startsWith(m_device->name() + QStringLiteral(" ;  ; General ; /dev/ttyS7 ; 0 ; 1sec ; ")), qPrintable(header));
    QVERIFY(header.endsWith(QStringLiteral("; %1 ;").arg(rows)));
    QCOMPARE(written, lines);
    QVERIFY(m_page->btnSaveAsFile->isEnabled());
}

void TestMeasureWidget::exportCancelAndFailures()
{
    for (int i = 0; i < 250; ++i)
        show(success(1, 1.0f, kStart.addSecs(i)));
    const QString fileName = m_work->filePath(QStringLiteral("cancelled.csv"));
    m_prompts->answerText(fileName);
    int cancelledAt = -1;
    QTimer canceller;
    connect(&canceller, &QTimer::timeout, this, [&]() {
        auto *progress = m_page->findChild<QProgressDialog *>();
        if (progress && progress->value() >= 100 && cancelledAt < 0) {
            cancelledAt = progress->value();
            progress->cancel();
        }
    });
    canceller.start(0);
    m_page->on_btnSaveAsFile_clicked();
    canceller.stop();
    QVERIFY(cancelledAt >= 100 && cancelledAt < 250);
    QCOMPARE(fileLines(fileName).size(), 1 + cancelledAt + 1);
    QCOMPARE(fileLines(fileName).last(), QStringLiteral(";;"));

    // A write that fails (here: a full disk) is reported, and the earlier export stays whole.
    {
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous;
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = 2000;
        setrlimit(RLIMIT_FSIZE, &limit);
        m_prompts->answerText(fileName);
        m_page->on_btnSaveAsFile_clicked();
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    QVERIFY(m_prompts->requests.last().text.startsWith(QStringLiteral("Cannot write data to file: ")));
    QCOMPARE(fileLines(fileName).size(), 1 + cancelledAt + 1);

    // Every failure is reported.
    m_prompts->answerText(m_work->filePath(QStringLiteral("cancelled.csv/t.csv")));
    m_page->on_btnSaveAsFile_clicked();
    QVERIFY(m_prompts->requests.last().text.startsWith(QStringLiteral("Cannot open file for writing data: ")));
    m_prompts->answerText(m_work->filePath(QStringLiteral("missing/plot.png")));
    m_page->on_btnSavePlotInFile_clicked();
    QVERIFY(m_prompts->requests.last().text.startsWith(QStringLiteral("Cannot save the plot in file: ")));
    m_prompts->answerText(m_work->filePath(QStringLiteral("trend.png")));
    const int asked = int(m_prompts->requests.size());
    m_page->on_btnSavePlotInFile_clicked();
    QCOMPARE(int(m_prompts->requests.size()), asked + 1);
    QVERIFY(QFile::exists(m_work->filePath(QStringLiteral("trend.png"))));
    QVERIFY(QFile::exists(m_work->filePath(QStringLiteral("trend_bw.png"))));
}

QTEST_MAIN(TestMeasureWidget)
#include "tst_measurewidget.moc"
