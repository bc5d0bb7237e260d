#include "measure/plotsettings.h"
#include "measure/plotter.h"

#include "tempworkdir.h"

#include <QImage>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <cmath>

class TestPlotter : public QObject
{
    Q_OBJECT

private slots:
    void adjustRoundsOutward_data();
    void adjustRoundsOutward();
    void adjustKeepsTickLimits_data();
    void adjustKeepsTickLimits();
    void pointCapDropsSixtyAtATime_data();
    void pointCapDropsSixtyAtATime();
    void blackWhiteName_data();
    void blackWhiteName();
    void savePictureWritesPair();
    void rubberBandZoomAndKeys();
};

void TestPlotter::adjustRoundsOutward_data()
{
    QTest::addColumn<bool>("xAxis");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("expectedMin");
    QTest::addColumn<double>("expectedMax");
    QTest::addColumn<int>("expectedTicks");

    QTest::newRow("Y 0..10 in steps of 2") << false << 0.0 << 10.0 << 0.0 << 10.0 << 5;
    QTest::newRow("Y 15..25 in steps of 2") << false << 15.0 << 25.0 << 14.0 << 26.0 << 6;
    QTest::newRow("Y 3.3..3.9 in steps of 0.1") << false << 3.3 << 3.9 << 3.3 << 3.9 << 6;
    QTest::newRow("Y reversed bounds are swapped") << false << 10.0 << 0.0 << 0.0 << 10.0 << 5;
    QTest::newRow("Y no height gets a window around the value") << false << 5.0 << 5.0 << 4.4 << 5.6 << 6;
    QTest::newRow("X 300 s in steps of 30 s") << true << 1200.0 << 1500.0 << 1200.0 << 1500.0 << 10;
    QTest::newRow("X no width gets six 1 s ticks") << true << 1000.5 << 1000.5 << 1000.0 << 1006.0 << 6;
    QTest::newRow("X a day in steps of 3 h") << true << 0.0 << 86400.0 << 0.0 << 86400.0 << 8;
    QTest::newRow("X ten days in steps of a day") << true << 0.0 << 864000.0 << 0.0 << 864000.0 << 10;
}

void TestPlotter::adjustRoundsOutward()
{
    QFETCH(bool, xAxis);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, expectedMin);
    QFETCH(double, expectedMax);
    QFETCH(int, expectedTicks);

    PlotSettings settings;
    if (xAxis) {
        settings.minX = min;
        settings.maxX = max;
        settings.adjustX();
        QCOMPARE(settings.minX, expectedMin);
        QCOMPARE(settings.maxX, expectedMax);
        QCOMPARE(settings.numXTicks, expectedTicks);
    } else {
        settings.minY = min;
        settings.maxY = max;
        settings.adjustY();
        QVERIFY(qFuzzyCompare(settings.minY, expectedMin));
        QVERIFY(qFuzzyCompare(settings.maxY, expectedMax));
        QCOMPARE(settings.numYTicks, expectedTicks);
    }
}

void TestPlotter::adjustKeepsTickLimits_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("target");

    QTest::newRow("huge span") << -1e300 << 1e300 << 5;
    QTest::newRow("no width far out") << 1e30 << 1e30 << 5;
    QTest::newRow("tiny span far out") << 1e30 << 1e30 * (1 + 1e-15) << 5;
    QTest::newRow("subnormal span") << 0.0 << 1e-310 << 5;
    QTest::newRow("a thousand ticks asked") << 0.0 << 1e6 << 1000;
    QTest::newRow("no ticks asked") << 0.0 << 1e6 << 0;
    QTest::newRow("a year") << 1.7e9 << 1.7e9 + 365 * 86400.0 << 6;
    QTest::newRow("long Y labels") << 123456780.0 << 123456790.0 << 5;
}

void TestPlotter::adjustKeepsTickLimits()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, target);

    PlotSettings settings;
    settings.minX = settings.minY = min;
    settings.maxX = settings.maxY = max;
    settings.targetXTicks = settings.targetYTicks = target;
    settings.adjust();

    for (double bound : {settings.minX, settings.maxX, settings.minY, settings.maxY})
        QVERIFY(std::isfinite(bound));
    QVERIFY(settings.maxX > settings.minX);
    QVERIFY(settings.maxY > settings.minY);
    QVERIFY(settings.numXTicks >= PlotSettings::kMinXTicks && settings.numXTicks <= PlotSettings::kMaxTicks);
    QVERIFY(settings.numYTicks >= PlotSettings::kMinYTicks && settings.numYTicks <= PlotSettings::kMaxTicks);
    // Every label has room beside the plot area: the last time right of it, the values left of it.
    Plotter plotter;
    plotter.resize(420, 300);
    plotter.setPlotSettings(settings);
    const QRect area = plotter.plotRect();
    const QFontMetrics metrics(plotter.font());
    const QDateTime last = QDateTime::fromSecsSinceEpoch(qint64(settings.maxX), Qt::UTC);
    QVERIFY(area.right() + metrics.horizontalAdvance(last.toString(settings.stepX() >= 86400 ? "dd.MM.yyyy" : "hh:mm:ss")) / 2 < 420);
    for (int i = 0; i <= settings.numYTicks; ++i)
        QVERIFY(metrics.horizontalAdvance(QString::number(settings.minY + i * settings.stepY(), 'g', 6)) + 8 <= area.left());
    plotter.setCurveData(0, {QPointF(settings.minX, settings.minY)});   // a dot in the corner, drawn whole
    QCOMPARE(plotter.grab().toImage().pixelColor(area.left() - 1, area.bottom()), Plotter::curveColor(0));
}

void TestPlotter::pointCapDropsSixtyAtATime_data()
{
    QTest::addColumn<double>("windowMinX");
    QTest::addColumn<bool>("movesWindow");

    QTest::newRow("window began before the kept points") << 0.0 << true;
    QTest::newRow("window begins after the kept points") << 1000.0 << false;
}

void TestPlotter::pointCapDropsSixtyAtATime()
{
    QFETCH(double, windowMinX);
    QFETCH(bool, movesWindow);

    Plotter plotter;
    plotter.setMaxPoints(10);
    PlotSettings window;
    window.minX = windowMinX;
    window.maxX = windowMinX + 200;
    plotter.setPlotSettings(window);
    for (int i = 0; i < 71; ++i)
        QVERIFY(!plotter.addpendCurveData(0, QPointF(i, i)));
    QCOMPARE(plotter.curveData(0).size(), 71);

    QSignalSpy zoomSpy(&plotter, &Plotter::zoomChanged);
    QSignalSpy minXSpy(&plotter, &Plotter::minXChanged);
    QCOMPARE(plotter.addpendCurveData(0, QPointF(71, 71)), movesWindow);
    // 71 points held, 60 dropped, then the new one appended.
    QCOMPARE(plotter.curveData(0).size(), 12);
    QCOMPARE(plotter.curveData(0).first().x(), 60.0);
    if (movesWindow) {
        QCOMPARE(zoomSpy.count(), 1);
        QCOMPARE(plotter.curZoomPlotSettings().minX, 60.0);
        QCOMPARE(minXSpy.count(), 0);
    } else {
        QCOMPARE(zoomSpy.count(), 0);
        QCOMPARE(minXSpy.count(), 1);
        QCOMPARE(minXSpy.at(0).at(0).toDouble(), 60.0);
    }
}

void TestPlotter::blackWhiteName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("trailing .png replaced") << "trend.png" << "trend_bw.png";
    QTest::newRow("a folder named like an image stays") << "/tmp/x.png/trend.png" << "/tmp/x.png/trend_bw.png";
    QTest::newRow("no suffix") << "trend" << "trend_bw.png";
    QTest::newRow("upper-case suffix is not .png") << "trend.PNG" << "trend.PNG_bw.png";
}

void TestPlotter::blackWhiteName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QCOMPARE(Plotter::blackWhiteFileName(fileName), expected);
}

void TestPlotter::savePictureWritesPair()
{
    TempWorkDir work;
    Plotter plotter;
    plotter.resize(400, 300);
    plotter.setCurveData(0, {QPointF(1, 1), QPointF(5, 9), QPointF(9, 2)});

    QVERIFY(plotter.savePicture(work.filePath(QStringLiteral("trend.png"))));
    const QImage copy(work.filePath(QStringLiteral("trend_bw.png")));
    QCOMPARE(copy.size(), QSize(400, 300));
    QCOMPARE(copy.pixel(2, 2), 0xFFFFFFFFu);                  // background
    QVERIFY(QImage(work.filePath(QStringLiteral("trend.png"))).pixel(2, 2) != 0xFFFFFFFFu);

    QVERIFY(!plotter.savePicture(work.filePath(QStringLiteral("missing/trend.png"))));
}

void TestPlotter::rubberBandZoomAndKeys()
{
    Plotter plotter;
    plotter.resize(600, 400);
    plotter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plotter));
    PlotSettings window;
    window.minX = 0;
    window.maxX = 600;
    window.minY = 0;
    window.maxY = 100;
    window.adjust();
    plotter.setPlotSettings(window);

    QTest::mousePress(&plotter, Qt::LeftButton, {}, QPoint(150, 100));
    QTest::mouseMove(&plotter, QPoint(300, 250));
    QTest::mouseRelease(&plotter, Qt::LeftButton, {}, QPoint(300, 250));
    const PlotSettings zoomed = plotter.curZoomPlotSettings();
    QVERIFY(zoomed.spanX() < window.spanX() && zoomed.spanY() < window.spanY());
    auto *zoomOut = plotter.findChildren<QToolButton *>().at(1);
    QVERIFY(zoomOut->isVisible() && zoomOut->isEnabled());

    QTest::keyClick(&plotter, Qt::Key_Right);
    QCOMPARE(plotter.curZoomPlotSettings().minX, zoomed.minX + zoomed.stepX());
    plotter.zoomOut();
    QVERIFY(plotter.curZoomPlotSettings().sameBounds(window));
}

QTEST_MAIN(TestPlotter)
#include "tst_plotter.moc"
