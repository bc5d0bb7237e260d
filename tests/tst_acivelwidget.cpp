#include "devices/acivel/acivelwidget.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QLabel>
#include <QTest>

// The pH meter's editor page: its pages, and what it does over the simulated meter.
class TestAcivelWidget : public QObject
{
    Q_OBJECT

private slots:
    void pages();
};

void TestAcivelWidget::pages()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->createDevice(QStringLiteral("Acivel-M"));
    port->insertChild(-1, device);
    AcivelWidget page(nullptr);
    page.setItem(device);
    page.showDeviceInfoInFields();

    QStringList titles;
    for (int i = 0; i < page.tabMainWidget->count(); ++i)
        titles << page.tabMainWidget->tabText(i);
    QCOMPARE(titles, (QStringList{QStringLiteral("Текущее состояние"), QStringLiteral("Конфигурация"),
                                  QStringLiteral("Градуировка"), QStringLiteral("Метрология"),
                                  QStringLiteral("Measurement"), QStringLiteral("Hart Log"), QStringLiteral("Custom")}));
    QCOMPARE(page.tabMainWidget->currentIndex(), 0);
    QCOMPARE(page.stackedWidgetAdjust->currentIndex(), 0);

    // Three variables, and the identity the device check asks of the meter.
    auto *pv = page.findChild<PVWidget *>();
    QVERIFY(pv->findChild<QLabel *>(QStringLiteral("lbTVTitle"))->isVisibleTo(pv));
    QVERIFY(!pv->findChild<QLabel *>(QStringLiteral("lbQVTitle"))->isVisibleTo(pv));
    QCOMPARE(page.findChild<MeasureWidget *>()->variableMode(), 3);
    auto *common = page.findChild<CommonWidget *>();
    QCOMPARE(common->expectedManufacturerCode, 0xE0);
    QCOMPARE(common->expectedDeviceTypeCode, 0x94);
}

QTEST_MAIN(TestAcivelWidget)
#include "tst_acivelwidget.moc"
