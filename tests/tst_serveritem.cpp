#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QSignalSpy>
#include <QTest>

class TestServerItem : public QObject
{
    Q_OBJECT

private slots:
    void sanitizeName_data();
    void sanitizeName();
    void constructorNamesFollowCounters();
    void renameAmongSiblings_data();
    void renameAmongSiblings();
    void renameMovesChildMapEntry();
    void outcomesCountFailures();
    void resetStateClearsSubtree();
    void errorText_data();
    void errorText();
    void removeChildrenRange_data();
    void removeChildrenRange();
    void enablingReachesAncestors();
    void moveUpAndDown();
};

void TestServerItem::sanitizeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank becomes underscore") << "COM 1" << "COM_1";
    QTest::newRow("backslash between letters") << "A\\B" << "A_B";
    QTest::newRow("run of blanks and backslashes") << "A \\\\  \t\\B" << "A_B";
    QTest::newRow("plain name unchanged") << "Port_1" << "Port_1";
    QTest::newRow("leading and trailing blanks") << " X " << "_X_";
}

void TestServerItem::sanitizeName()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(ServerItem::sanitizeName(name), expected);
}

void TestServerItem::constructorNamesFollowCounters()
{
    Server server;
    QVERIFY(server.insertChildren(0, 1));
    QVERIFY(server.insertChildren(1, 1));
    QVERIFY(server.insertChildren(2, 1));
    QCOMPARE(server.child(0)->name(), QStringLiteral("Port_1"));
    QCOMPARE(server.child(1)->name(), QStringLiteral("Port_2"));
    QCOMPARE(server.child(2)->name(), QStringLiteral("Port_3"));

    // A removed name is not handed out again: the counter never goes back.
    QVERIFY(server.removeChildren(2, 1));
    QVERIFY(server.insertChildren(2, 1));
    QCOMPARE(server.child(2)->name(), QStringLiteral("Port_4"));

    // Nor does reloading the tree reset it.
    QVERIFY(server.load({{QStringLiteral("ports"), QVariantList{QVariantMap{{QStringLiteral("name"), "COM1"}}}}}));
    QVERIFY(server.insertChildren(1, 1));
    QCOMPARE(server.child(1)->name(), QStringLiteral("Port_6"));
}

void TestServerItem::renameAmongSiblings_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("second clash gets _1")
        << QStringList{"COM1", "COM1"} << QStringList{"COM1", "COM1_1"};
    QTest::newRow("third clash gets _2")
        << QStringList{"COM1", "COM1", "COM1"} << QStringList{"COM1", "COM1_1", "COM1_2"};
    QTest::newRow("sanitised forms clash") << QStringList{"COM 3", "COM\\3"} << QStringList{"COM_3", "COM_3_1"};
    QTest::newRow("distinct names kept") << QStringList{"A", "B"} << QStringList{"A", "B"};
}

void TestServerItem::renameAmongSiblings()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    Server server;
    QVERIFY(server.insertChildren(0, int(names.size())));
    for (int i = 0; i < names.size(); ++i)
        server.child(i)->setName(names.at(i));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(server.child(i)->name(), expected.at(i));

    // Renaming an item to its own name keeps it.
    server.child(0)->setName(expected.at(0));
    QCOMPARE(server.child(0)->name(), expected.at(0));
}

void TestServerItem::renameMovesChildMapEntry()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->addDevice(QStringLiteral("dev"), QStringLiteral("General"));
    const QString oldName = device->name();

    port->setName(QStringLiteral("COM2"));
    QCOMPARE(server.portByName(QStringLiteral("COM2")), port);
    QVERIFY(!server.portByName(QStringLiteral("COM1")));
    QCOMPARE(device->key(), QStringLiteral("COM2/") + oldName);

    device->setName(QStringLiteral("renamed"));
    QCOMPARE(port->deviceByKey(QStringLiteral("renamed")), device);
    QVERIFY(!port->deviceByKey(oldName));
}

void TestServerItem::outcomesCountFailures()
{
    Server server;
    QSignalSpy changed(&server, &ServerItem::stateChanged);
    server.setResult(1);
    QCOMPARE(server.state(), int(ServerItem::StateSuccess));
    QCOMPARE(server.errorCounter(), 0);
    server.setResult(4);
    server.setResult(4);
    QCOMPARE(server.state(), int(ServerItem::StateFailure));
    QCOMPARE(server.result(), 4);
    QCOMPARE(server.errorCounter(), 2);
    QCOMPARE(changed.count(), 3);
}

void TestServerItem::resetStateClearsSubtree()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->addDevice(QStringLiteral("dev"), QStringLiteral("General"));
    port->setResult(4);
    device->setResult(-3);
    device->setLastErrorText(QStringLiteral("status check failed"));

    server.resetState();
    for (ServerItem *item : QList<ServerItem *>{&server, port, device}) {
        QCOMPARE(item->state(), int(ServerItem::StateReset));
        QCOMPARE(item->result(), 1);
        QCOMPARE(item->errorCounter(), 0);
        QCOMPARE(item->lastErrorText(), QStringLiteral("No error"));
    }
}

void TestServerItem::errorText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("success") << 1 << "No error";
    QTest::newRow("port error") << 2 << "Port error (Port error code)";
    QTest::newRow("configuration error") << 3 << "Config error(invalid access type)";
    QTest::newRow("link error") << 4 << "Port/Link error";
    QTest::newRow("timeout") << 5 << "Timeout error";
    QTest::newRow("zero") << 0 << "No error";
    QTest::newRow("negative link code") << -2 << "No error";
}

void TestServerItem::errorText()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    Server server;
    QCOMPARE(server.errorText(code, 0), expected);
}

void TestServerItem::removeChildrenRange_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("remaining");
    QTest::newRow("past the end refused") << 1 << 2 << false << 2;
    QTest::newRow("negative position refused") << -1 << 1 << false << 2;
    QTest::newRow("nothing to remove") << 0 << 0 << true << 2;
    QTest::newRow("last child") << 1 << 1 << true << 1;
    QTest::newRow("all children") << 0 << 2 << true << 0;
}

void TestServerItem::removeChildrenRange()
{
    QFETCH(int, position);
    QFETCH(int, count);
    QFETCH(bool, accepted);
    QFETCH(int, remaining);
    Server server;
    server.addPort(QStringLiteral("A"));
    server.addPort(QStringLiteral("B"));
    QCOMPARE(server.removeChildren(position, count), accepted);
    QCOMPARE(server.portCount(), remaining);
    QCOMPARE(server.portKeys().size(), remaining);
}

void TestServerItem::enablingReachesAncestors()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->addDevice(QStringLiteral("dev"), QStringLiteral("General"));
    device->setEnabled(true);
    QVERIFY(port->isEnabled());
    QVERIFY(server.isEnabled());

    server.setEnabled(false);
    QVERIFY(!server.isEnabled());
    QVERIFY(port->isEnabled());
}

void TestServerItem::moveUpAndDown()
{
    Server server;
    Port *a = server.addPort(QStringLiteral("A"));
    Port *b = server.addPort(QStringLiteral("B"));
    QVERIFY(!server.canMoveUp(a));
    QVERIFY(server.canMoveDown(a));
    server.moveDown(a);
    QCOMPARE(server.ports(), (QList<Port *>{b, a}));
    server.moveDown(a); // already last
    QCOMPARE(a->row(), 1);
    server.moveUp(a);
    QCOMPARE(a->row(), 0);
}

QTEST_GUILESS_MAIN(TestServerItem)
#include "tst_serveritem.moc"
