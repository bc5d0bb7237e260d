#include "devices/zorvan/zorvanwidget.h"
#include "editor/pvwidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

// The temperature converter's editor opens with the shared pages for both of its templates.
class TestZorvanWidget : public QObject
{
    Q_OBJECT

private slots:
    void sharedPages_data();
    void sharedPages();
};

void TestZorvanWidget::sharedPages_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::newRow("Zorvan-M") << QStringLiteral("Zorvan-M");
    QTest::newRow("Belkor-M") << QStringLiteral("Belkor-M");
}

void TestZorvanWidget::sharedPages()
{
    QFETCH(QString, templateName);
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->createDevice(templateName);
    port->insertChild(-1, device);
    ZorvanWidget page(nullptr);
    page.setItem(device);
    page.showDeviceInfoInFields();

    auto *tabs = page.findChild<QTabWidget *>(QStringLiteral("tabMainWidget"));
    QVERIFY(tabs);
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    QCOMPARE(titles, (QStringList{QStringLiteral("Current state"), QStringLiteral("Measurement"),
                                  QStringLiteral("Hart Log"), QStringLiteral("Custom")}));

    // One variable, no self test.
    auto *pv = page.findChild<PVWidget *>();
    QVERIFY(pv);
    QVERIFY(!pv->findChild<QLabel *>(QStringLiteral("lbSVTitle"))->isVisibleTo(pv));

    // The measurement page polls the primary variable of the bound device and shows each
    // response on the process-variable page too.
    auto *measure = page.findChild<MeasureWidget *>();
    QVERIFY(measure);
    QCOMPARE(measure->variableMode(), 1);
    QVERIFY(device->measureInfo().contains(QStringLiteral("archive_path_name")));
    measure->showPeriodResponsePV({{QStringLiteral("PV"), 21.5f}, {QStringLiteral("output_current"), 7.25f},
                                   {QStringLiteral("DateTime"), QDateTime::currentDateTime()},
                                   {QStringLiteral("statusCode"), QStringLiteral("00 00")},
                                   {QStringLiteral("statusText"), QString()}});
    QCOMPARE(pv->findChild<QLineEdit *>(QStringLiteral("txtOutputCurrent"))->text(), QStringLiteral("7.25"));
    // A failed read measured no current.
    measure->showPeriodResponsePV({{QStringLiteral("PV"), 0.0}, {QStringLiteral("output_current"), QVariant()},
                                   {QStringLiteral("DateTime"), QDateTime::currentDateTime()},
                                   {QStringLiteral("statusCode"), QString()},
                                   {QStringLiteral("errorText"), QStringLiteral("\n*** Response timeout (100ms)")}});
    QCOMPARE(pv->findChild<QLineEdit *>(QStringLiteral("txtOutputCurrent"))->text(), QString());
    QVERIFY(!page.findChild<QPushButton *>(QStringLiteral("btnSelfTest"))->isVisibleTo(&page));

    device->logMessage(QStringLiteral("### send - ff ff 02"));
    QVERIFY(page.findChild<QPlainTextEdit *>(QStringLiteral("modbusLogTextEdit"))->toPlainText().contains(
        QLatin1String("### send - ff ff 02")));
}

QTEST_MAIN(TestZorvanWidget)
#include "tst_zorvanwidget.moc"
