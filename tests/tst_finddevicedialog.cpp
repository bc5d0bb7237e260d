#include "mainwindow/finddevicedialog.h"
#include "hartcomm/hartport.h"
#include "hartsimulator.h"
#include "promptrecorder.h"

#include <QComboBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

constexpr int ShortResponseTimeout = 40;

// Command-13 data as a device sends it: tag, descriptor, day, month, year minus 1900.
QByteArray tagData(const QString &tag, const QString &descriptor, int day, int month, int year)
{
    HartPort packer;
    QByteArray data = packer.packAscii(tag.leftJustified(8)) + packer.packAscii(descriptor.leftJustified(16));
    data.append(char(day)).append(char(month)).append(char(year - 1900));
    return data;
}

// Devices answer command 13 with the bytes kept under "cmd13"; without them they stay silent.
HartSimResponse readTagAnswer(HartSimDevice &device, const QByteArray &)
{
    HartSimResponse response;
    if (!device.values.contains(QStringLiteral("cmd13")))
        response.silent = true;
    response.data = device.values.value(QStringLiteral("cmd13")).toByteArray();
    return response;
}

HartSimDevice simDevice(quint8 pollingAddress, quint8 manufacturer, quint8 type, const QByteArray &id,
                        const QByteArray &cmd13 = QByteArray())
{
    HartSimDevice device(pollingAddress, manufacturer, type, id);
    if (!cmd13.isNull())
        device.values.insert(QStringLiteral("cmd13"), cmd13);
    return device;
}

QList<quint8> pollingAddressesAsked(const HartSimulator &sim)
{
    QList<quint8> addresses;
    const QList<HartSimRequest> requests = sim.requests();
    for (const HartSimRequest &request : requests) {
        if (request.command == 0)
            addresses.append(quint8(request.address.at(0)) & 0x3F);
    }
    return addresses;
}

} // namespace

class TestFindDeviceDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithDefaults();
    void responseTimeoutSetsLinkTimeouts_data();
    void responseTimeoutSetsLinkTimeouts();
    void startButtonFollowsPortSelection();
    void instanceIsKeptAndRefreshesPorts();
    void scanListsDevicesOfTwoLines();
    void rowContents_data();
    void rowContents();
    void scanStopsAtHighestPollingAddress();
    void emptyRangeSendsNothing();
    void silentAddressWaitsResponseTimeout();
    void portThatCannotOpenIsReportedAndSkipped();
    void cancelStopsBetweenAddresses();
    void closingDialogStopsScan();
    void destroyingDialogDuringScanReleasesLine();
    void okFollowsTicks();
    void userSelectionRecords();
    void newScanClearsRowsAndKeepsButtonsOff();
    void languageChangeRetranslatesForm();

private:
    void selectPorts(const QStringList &names);
    void scan(int from, int to);

    std::unique_ptr<HartSimulator> line1;
    std::unique_ptr<HartSimulator> line2;
    std::unique_ptr<FindDeviceDialog> dialog;
};

void TestFindDeviceDialog::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("No matching signal")));
    line1 = std::make_unique<HartSimulator>();
    line2 = std::make_unique<HartSimulator>();
    QVERIFY(line1->isValid() && line2->isValid());
    line1->setHandler(13, readTagAnswer);
    line2->setHandler(13, readTagAnswer);
    dialog = std::make_unique<FindDeviceDialog>();
}

void TestFindDeviceDialog::cleanup()
{
    dialog.reset();
    line1.reset();
    line2.reset();
}

void TestFindDeviceDialog::selectPorts(const QStringList &names)
{
    // Pseudo-terminals are not enumerated as serial ports; a test lists its lines itself.
    dialog->lstPorts->clear();
    for (const QString &name : names) {
        dialog->lstPorts->addItem(name);
        dialog->lstPorts->item(dialog->lstPorts->count() - 1)->setSelected(true);
    }
}

void TestFindDeviceDialog::scan(int from, int to)
{
    dialog->spnResponseTimeout->setValue(ShortResponseTimeout);
    dialog->spnAddrFrom->setValue(from);
    dialog->spnAddrTo->setValue(to);
    dialog->btnStart->click();
}

void TestFindDeviceDialog::startsWithDefaults()
{
    QCOMPARE(dialog->spnAddrFrom->value(), 0);
    QCOMPARE(dialog->spnAddrTo->value(), 15);
    QCOMPARE(dialog->spnResponseTimeout->value(), 370);
    QCOMPARE(dialog->spnAddrFrom->maximum(), 15);
    QCOMPARE(dialog->spnAddrTo->maximum(), 99);
    QCOMPARE(dialog->spnResponseTimeout->maximum(), 9000);
    QCOMPARE(dialog->searchLink().property("request_timeout").toInt(), 200);
    QCOMPARE(dialog->searchLink().property("response_timeout").toInt(), 370);
    QCOMPARE(dialog->searchLink().property("byte_timeout").toInt(), 185);
    QVERIFY(!dialog->btnStart->isEnabled());
    QVERIFY(!dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Cancel)->isEnabled());
    QCOMPARE(dialog->tableWidget->columnCount(), 7);
    QCOMPARE(dialog->tableWidget->horizontalHeaderItem(5)->text(), QStringLiteral("Description"));
    QCOMPARE(dialog->lstPorts->selectionMode(), QAbstractItemView::MultiSelection);
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
}

void TestFindDeviceDialog::responseTimeoutSetsLinkTimeouts_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("responseTimeout");
    QTest::addColumn<int>("byteTimeout");
    QTest::newRow("zero falls back to both defaults") << 0 << 370 << 50;
    QTest::newRow("1 ms keeps the default byte timeout") << 1 << 1 << 50;
    QTest::newRow("2 ms gives a 1 ms byte timeout") << 2 << 2 << 1;
    QTest::newRow("odd values halve downwards") << 3 << 3 << 1;
    QTest::newRow("highest value") << 9000 << 9000 << 4500;
}

void TestFindDeviceDialog::responseTimeoutSetsLinkTimeouts()
{
    QFETCH(int, value);
    QFETCH(int, responseTimeout);
    QFETCH(int, byteTimeout);
    dialog->spnResponseTimeout->setValue(value);
    QCOMPARE(dialog->searchLink().property("response_timeout").toInt(), responseTimeout);
    QCOMPARE(dialog->searchLink().property("byte_timeout").toInt(), byteTimeout);
    QCOMPARE(dialog->searchLink().property("request_timeout").toInt(), 200);
}

void TestFindDeviceDialog::startButtonFollowsPortSelection()
{
    dialog->lstPorts->addItems({QStringLiteral("a"), QStringLiteral("b")});
    dialog->lstPorts->item(1)->setSelected(true);
    QVERIFY(dialog->btnStart->isEnabled());
    dialog->lstPorts->item(1)->setSelected(false);
    QVERIFY(!dialog->btnStart->isEnabled());
    dialog->lstPorts->item(0)->setSelected(true);
    dialog->btnRefreshPortList->click();
    QVERIFY(!dialog->btnStart->isEnabled());
    QVERIFY(dialog->lstPorts->selectedItems().isEmpty());
}

void TestFindDeviceDialog::instanceIsKeptAndRefreshesPorts()
{
    QWidget parent;
    FindDeviceDialog *first = FindDeviceDialog::instance(&parent);
    first->lstPorts->addItem(QStringLiteral("typed"));
    first->lstPorts->item(first->lstPorts->count() - 1)->setSelected(true);
    first->spnAddrTo->setValue(7);
    FindDeviceDialog *second = FindDeviceDialog::instance(nullptr);
    QCOMPARE(second, first);
    QVERIFY(second->lstPorts->findItems(QStringLiteral("typed"), Qt::MatchExactly).isEmpty());
    QVERIFY(!second->btnStart->isEnabled());
    QCOMPARE(second->spnAddrTo->value(), 7);
}

void TestFindDeviceDialog::scanListsDevicesOfTwoLines()
{
    line1->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("0a1b2c"),
                               tagData(QStringLiteral("TT-101"), QStringLiteral("BOILER INLET"), 5, 3, 2021)));
    line1->addDevice(simDevice(2, 0x26, 0x4E, QByteArray::fromHex("010203"),
                               tagData(QStringLiteral("PT-7"), QStringLiteral("DRUM"), 31, 12, 1999)));
    line2->addDevice(simDevice(1, 0xE0, 0x93, QByteArray::fromHex("ffeedd"),
                               tagData(QStringLiteral("PT-9"), QString(), 1, 1, 2000)));
    selectPorts({line1->portName(), line2->portName()});
    QList<QPair<int, int>> progressAtRows;   // maximum and value when each row appears
    connect(dialog->tableWidget->model(), &QAbstractItemModel::rowsInserted, dialog.get(), [&] {
        const QProgressDialog *progress = dialog->findChild<QProgressDialog *>();
        progressAtRows.append({progress->maximum(), progress->value()});
    });

    scan(0, 4);

    QCOMPARE(progressAtRows, (QList<QPair<int, int>>{{8, 0}, {8, 2}, {8, 5}}));
    QCOMPARE(pollingAddressesAsked(*line1), (QList<quint8>{0, 1, 2, 3}));
    QCOMPARE(pollingAddressesAsked(*line2), (QList<quint8>{0, 1, 2, 3}));
    QTableWidget *table = dialog->tableWidget;
    QCOMPARE(table->rowCount(), 3);
    const QStringList ports = {line1->portName(), line1->portName(), line2->portName()};
    const QStringList addresses = {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("1")};
    const QStringList longAddresses = {QStringLiteral("20 91 0A 1B 2C"), QStringLiteral("26 4E 01 02 03"),
                                       QStringLiteral("20 93 FF EE DD")};
    const QStringList tags = {QStringLiteral("TT-101"), QStringLiteral("PT-7"), QStringLiteral("PT-9")};
    const QStringList descriptors = {QStringLiteral("BOILER INLET"), QStringLiteral("DRUM"), QString()};
    const QStringList dates = {QStringLiteral("05.03.2021"), QStringLiteral("31.12.1999"),
                               QStringLiteral("01.01.2000")};
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(table->item(row, 0)->text(), ports.at(row));
        QCOMPARE(table->item(row, 0)->checkState(), Qt::Unchecked);
        QCOMPARE(table->item(row, 1)->text(), addresses.at(row));
        QCOMPARE(table->item(row, 2)->text(), longAddresses.at(row));
        QCOMPARE(table->item(row, 4)->text(), tags.at(row));
        QCOMPARE(table->item(row, 5)->text(), descriptors.at(row));
        QCOMPARE(table->item(row, 6)->text(), dates.at(row));
        for (int column : {0, 1, 2, 4, 5, 6})
            QVERIFY(!(table->item(row, column)->flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("Zorvan-M"));
    QVERIFY(!table->item(1, 3));
    QCOMPARE(table->item(2, 3)->text(), QStringLiteral("Drumel-M"));

    // Command 13 goes to the long address just read.
    const HartSimRequest readTag = line1->requests().at(1);
    QCOMPARE(readTag.command, quint8(13));
    QVERIFY(readTag.isLongFrame());
    QCOMPARE(readTag.address.mid(1), QByteArray::fromHex("910a1b2c"));

    QVERIFY(!dialog->searchLink().isOpen());
    QVERIFY(!dialog->findChild<QProgressDialog *>());
    QVERIFY(!dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled());
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Cancel)->isEnabled());
}

void TestFindDeviceDialog::rowContents_data()
{
    QTest::addColumn<int>("manufacturer");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<QByteArray>("cmd13");
    QTest::addColumn<QString>("templateName");   // empty: a template chooser
    QTest::addColumn<bool>("hasTagCells");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("descriptor");
    QTest::addColumn<QString>("dateText");
    QTest::addColumn<QDate>("date");

    const QByteArray full = tagData(QStringLiteral("T1"), QStringLiteral("D1"), 2, 4, 2015);
    QTest::newRow("Belkor-M recognised") << 0xE0 << 0x92 << full << "Belkor-M" << true << "T1" << "D1"
                                         << "02.04.2015" << QDate(2015, 4, 2);
    QTest::newRow("Acivel-M recognised") << 0xE0 << 0x94 << full << "Acivel-M" << true << "T1" << "D1"
                                         << "02.04.2015" << QDate(2015, 4, 2);
    QTest::newRow("unknown device type of the maker") << 0xE0 << 0x95 << full << QString() << true << "T1" << "D1"
                                                      << "02.04.2015" << QDate(2015, 4, 2);
    QTest::newRow("another manufacturer") << 0x26 << 0x91 << full << QString() << true << "T1" << "D1"
                                          << "02.04.2015" << QDate(2015, 4, 2);
    QTest::newRow("no answer to command 13") << 0xE0 << 0x91 << QByteArray() << "Zorvan-M" << false << QString()
                                             << QString() << QString() << QDate();
    QTest::newRow("19 bytes: no year, month 0") << 0xE0 << 0x91 << full.left(19) << "Zorvan-M" << true << "T1"
                                                << "D1" << QString() << QDate();
    QTest::newRow("invalid day") << 0xE0 << 0x91 << tagData(QStringLiteral("T1"), QString(), 0, 4, 2015)
                                 << "Zorvan-M" << true << "T1" << QString() << QString() << QDate();
    QTest::newRow("reply cut inside the descriptor")
        << 0xE0 << 0x91 << full.left(9) << "Zorvan-M" << true << "T1" << "D1" << QString() << QDate();
    QTest::newRow("reply cut inside the tag")
        << 0xE0 << 0x91 << tagData(QStringLiteral("ABCDEFGH"), QString(), 1, 1, 2001).left(3) << "Zorvan-M" << true
        << "ABCD" << QString() << QString() << QDate();
}

void TestFindDeviceDialog::rowContents()
{
    QFETCH(int, manufacturer);
    QFETCH(int, deviceType);
    QFETCH(QByteArray, cmd13);
    QFETCH(QString, templateName);
    QFETCH(bool, hasTagCells);
    QFETCH(QString, tag);
    QFETCH(QString, descriptor);
    QFETCH(QString, dateText);
    QFETCH(QDate, date);

    HartSimDevice device(1, quint8(manufacturer), quint8(deviceType), QByteArray::fromHex("445566"));
    if (!cmd13.isNull())
        device.values.insert(QStringLiteral("cmd13"), cmd13);
    line1->addDevice(device);
    selectPorts({line1->portName()});
    scan(1, 2);

    QTableWidget *table = dialog->tableWidget;
    QCOMPARE(table->rowCount(), 1);
    if (templateName.isEmpty()) {
        QVERIFY(!table->item(0, 3));
        auto *chooser = qobject_cast<QComboBox *>(table->cellWidget(0, 3));
        QVERIFY(chooser);
        QCOMPARE(chooser->count(), 5);
        QCOMPARE(chooser->currentText(), QStringLiteral("Zorvan-M"));
        QCOMPARE(chooser->itemText(4), QStringLiteral("General"));
    } else {
        QCOMPARE(table->item(0, 3)->text(), templateName);
        QVERIFY(!table->cellWidget(0, 3));
    }
    if (!hasTagCells) {
        QVERIFY(!table->item(0, 4) && !table->item(0, 5) && !table->item(0, 6));
        return;
    }
    QCOMPARE(table->item(0, 4)->text(), tag);
    QCOMPARE(table->item(0, 5)->text(), descriptor);
    QCOMPARE(table->item(0, 6)->text(), dateText);
    QCOMPARE(table->item(0, 6)->data(Qt::UserRole).toDate(), date);
}

void TestFindDeviceDialog::scanStopsAtHighestPollingAddress()
{
    // A device at address 2 would also answer to 66, whose address byte loses bit 6.
    line1->addDevice(simDevice(2, 0xE0, 0x91, QByteArray::fromHex("010101"), QByteArray()));
    selectPorts({line1->portName()});
    dialog->spnResponseTimeout->setValue(1);
    dialog->spnAddrFrom->setValue(15);
    dialog->spnAddrTo->setValue(99);
    dialog->btnStart->click();

    const QList<HartSimRequest> requests = line1->requests();
    QCOMPARE(requests.size(), 63 - 15 + 1);
    QCOMPARE(quint8(requests.first().address.at(0)), quint8(0x80 | 15));
    QCOMPARE(quint8(requests.last().address.at(0)), quint8(0x80 | 63));
    QCOMPARE(dialog->tableWidget->rowCount(), 0);
}

void TestFindDeviceDialog::emptyRangeSendsNothing()
{
    line1->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("010101")));
    selectPorts({line1->portName()});
    scan(5, 5);
    QCOMPARE(line1->requestCount(), 0);
    QCOMPARE(dialog->tableWidget->rowCount(), 0);
    QVERIFY(!dialog->searchLink().isOpen());
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Cancel)->isEnabled());
}

void TestFindDeviceDialog::silentAddressWaitsResponseTimeout()
{
    selectPorts({line1->portName()});
    dialog->spnResponseTimeout->setValue(150);
    dialog->spnAddrFrom->setValue(0);
    dialog->spnAddrTo->setValue(3);
    dialog->btnStart->click();

    const QList<HartSimRequest> requests = line1->requests();
    QCOMPARE(requests.size(), 3);
    // The next address is asked only after the last one had its full response timeout.
    QVERIFY2(requests.at(1).receivedAtMs - requests.at(0).receivedAtMs >= 150,
             qPrintable(QString::number(requests.at(1).receivedAtMs - requests.at(0).receivedAtMs)));
    QVERIFY(requests.at(2).receivedAtMs - requests.at(1).receivedAtMs >= 150);
}

void TestFindDeviceDialog::portThatCannotOpenIsReportedAndSkipped()
{
    PromptRecorder prompts;
    line1->addDevice(simDevice(1, 0xE0, 0x94, QByteArray::fromHex("020202"),
                               tagData(QStringLiteral("PH"), QString(), 1, 1, 2020)));
    selectPorts({QStringLiteral("/dev/tenvara-no-such-line"), line1->portName()});
    scan(0, 3);

    QCOMPARE(prompts.requests.size(), 1);
    QCOMPARE(prompts.requests.first().kind, Prompt::Critical);
    QCOMPARE(prompts.requests.first().title, QStringLiteral("Open port..."));
    QVERIFY(!prompts.requests.first().text.isEmpty());
    QCOMPARE(dialog->tableWidget->rowCount(), 1);
    QCOMPARE(dialog->tableWidget->item(0, 3)->text(), QStringLiteral("Acivel-M"));
}

void TestFindDeviceDialog::cancelStopsBetweenAddresses()
{
    PromptRecorder prompts;
    for (quint8 address = 0; address < 4; ++address)
        line1->addDevice(simDevice(address, 0xE0, 0x91, QByteArray(3, char(address)), QByteArray()));
    line2->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("090909")));
    selectPorts({line1->portName(), line2->portName()});
    connect(dialog->tableWidget->model(), &QAbstractItemModel::rowsInserted, dialog.get(), [this] {
        if (dialog->tableWidget->rowCount() == 2)
            dialog->findChild<QProgressDialog *>()->cancel();
    });

    scan(0, 4);

    // The exchange that was running completes with its row; no further address is asked, and
    // the second line is only opened and closed.
    QCOMPARE(dialog->tableWidget->rowCount(), 2);
    QCOMPARE(pollingAddressesAsked(*line1), (QList<quint8>{0, 1}));
    QCOMPARE(line2->requestCount(), 0);
    QVERIFY(prompts.requests.isEmpty());
    QVERIFY(!dialog->searchLink().isOpen());
    QVERIFY(!dialog->findChild<QProgressDialog *>());
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Cancel)->isEnabled());
}

void TestFindDeviceDialog::closingDialogStopsScan()
{
    for (quint8 address = 0; address < 4; ++address)
        line1->addDevice(simDevice(address, 0xE0, 0x91, QByteArray(3, char(address)), QByteArray()));
    line2->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("090909")));
    selectPorts({line1->portName(), line2->portName()});
    dialog->show();
    connect(dialog->tableWidget->model(), &QAbstractItemModel::rowsInserted, dialog.get(),
            [this] { dialog->reject(); });

    scan(0, 4);

    QCOMPARE(dialog->tableWidget->rowCount(), 1);
    QCOMPARE(pollingAddressesAsked(*line1), (QList<quint8>{0}));
    QCOMPARE(line2->requestCount(), 0);
    QVERIFY(!dialog->searchLink().isOpen());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
}

void TestFindDeviceDialog::destroyingDialogDuringScanReleasesLine()
{
    for (quint8 address = 0; address < 4; ++address)
        line1->addDevice(simDevice(address, 0xE0, 0x91, QByteArray(3, char(address)), QByteArray()));
    selectPorts({line1->portName()});
    dialog->spnResponseTimeout->setValue(ShortResponseTimeout);
    dialog->spnAddrTo->setValue(4);
    dialog->show();
    QPointer<FindDeviceDialog> watched = dialog.get();
    FindDeviceDialog *raw = dialog.release();
    connect(raw->tableWidget->model(), &QAbstractItemModel::rowsInserted, raw,
            [raw] { QTimer::singleShot(0, [raw] { delete raw; }); });

    raw->btnStart->click();

    QVERIFY(!watched);
    QCOMPARE(pollingAddressesAsked(*line1), (QList<quint8>{0}));
    // The line is free again: another link can open it.
    HartPort other;
    other.setPortName(line1->portName());
    QVERIFY2(other.open(), qPrintable(other.errorText));
    // The progress dialog outlived the dialog only until the events ran.
    const auto progressWindows = [] {
        int count = 0;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows)
            count += qobject_cast<QProgressDialog *>(window) ? 1 : 0;
        return count;
    };
    QTRY_COMPARE(progressWindows(), 0);
}

void TestFindDeviceDialog::okFollowsTicks()
{
    line1->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("010101")));
    line1->addDevice(simDevice(1, 0xE0, 0x92, QByteArray::fromHex("020202")));
    selectPorts({line1->portName()});
    scan(0, 2);
    QTableWidget *table = dialog->tableWidget;
    QPushButton *ok = dialog->buttonBox->button(QDialogButtonBox::Ok);
    QCOMPARE(table->rowCount(), 2);

    table->item(1, 0)->setCheckState(Qt::Checked);
    QVERIFY(ok->isEnabled());
    table->item(0, 0)->setCheckState(Qt::Checked);
    table->item(1, 0)->setCheckState(Qt::Unchecked);
    QVERIFY(ok->isEnabled());
    table->item(0, 0)->setCheckState(Qt::PartiallyChecked);
    QVERIFY(!ok->isEnabled());
}

void TestFindDeviceDialog::userSelectionRecords()
{
    line1->addDevice(simDevice(0, 0xE0, 0x93, QByteArray::fromHex("0a0b0c"),
                               tagData(QStringLiteral("LT-4"), QStringLiteral("TANK"), 9, 10, 2011)));
    line1->addDevice(simDevice(1, 0x26, 0x01, QByteArray::fromHex("0d0e0f")));
    line1->addDevice(simDevice(2, 0xE0, 0x91, QByteArray::fromHex("101112")));
    selectPorts({line1->portName()});
    scan(0, 3);
    QTableWidget *table = dialog->tableWidget;
    QCOMPARE(table->rowCount(), 3);
    QVERIFY(dialog->userSelection().isEmpty());

    table->item(0, 0)->setCheckState(Qt::Checked);
    table->item(1, 0)->setCheckState(Qt::Checked);
    qobject_cast<QComboBox *>(table->cellWidget(1, 3))->setCurrentIndex(4);
    const QList<QVariantMap> records = dialog->userSelection();

    QCOMPARE(records.size(), 2);
    const QVariantMap &first = records.at(0);
    QCOMPARE(first.value(QStringLiteral("port")).toString(), line1->portName());
    QCOMPARE(first.value(QStringLiteral("polling_address")).typeId(), QMetaType::Int);
    QCOMPARE(first.value(QStringLiteral("polling_address")).toInt(), 0);
    QCOMPARE(first.value(QStringLiteral("address")).typeId(), QMetaType::QByteArray);
    QCOMPARE(first.value(QStringLiteral("address")).toByteArray(), QByteArray::fromHex("20930a0b0c"));
    QCOMPARE(first.value(QStringLiteral("template")).toString(), QStringLiteral("Drumel-M"));
    QCOMPARE(first.value(QStringLiteral("tag")).toString(), QStringLiteral("LT-4"));
    QCOMPARE(first.value(QStringLiteral("descriptor")).toString(), QStringLiteral("TANK"));
    QCOMPARE(first.value(QStringLiteral("date")).typeId(), QMetaType::QDate);
    QCOMPARE(first.value(QStringLiteral("date")).toDate(), QDate(2011, 10, 9));

    // An unrecognised device that gave no tag: the chooser's current entry, empty texts and no date.
    const QVariantMap &second = records.at(1);
    QCOMPARE(second.value(QStringLiteral("polling_address")).toInt(), 1);
    QCOMPARE(second.value(QStringLiteral("template")).toString(), QStringLiteral("General"));
    QCOMPARE(second.value(QStringLiteral("tag")).toString(), QString());
    QVERIFY(!second.value(QStringLiteral("date")).toDate().isValid());

    // Reading the selection leaves the dialog as it was.
    QCOMPARE(dialog->userSelection().size(), 2);
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled());
}

void TestFindDeviceDialog::newScanClearsRowsAndKeepsButtonsOff()
{
    line1->addDevice(simDevice(0, 0xE0, 0x91, QByteArray::fromHex("010101")));
    selectPorts({line1->portName()});
    scan(0, 1);
    dialog->tableWidget->item(0, 0)->setCheckState(Qt::Checked);
    QVERIFY(dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled());

    bool buttonsOffDuringScan = false;
    connect(dialog->tableWidget->model(), &QAbstractItemModel::rowsInserted, dialog.get(), [&] {
        buttonsOffDuringScan = dialog->tableWidget->rowCount() == 1
                               && !dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled()
                               && !dialog->buttonBox->button(QDialogButtonBox::Cancel)->isEnabled();
    });
    dialog->btnStart->click();

    QVERIFY(buttonsOffDuringScan);
    QCOMPARE(dialog->tableWidget->rowCount(), 1);
    QCOMPARE(dialog->tableWidget->item(0, 0)->checkState(), Qt::Unchecked);
    QVERIFY(!dialog->buttonBox->button(QDialogButtonBox::Ok)->isEnabled());
}

void TestFindDeviceDialog::languageChangeRetranslatesForm()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    QTRY_COMPARE(dialog->windowTitle(), QStringLiteral("Поиск устройства..."));
    QCOMPARE(dialog->btnStart->text(), QStringLiteral("Старт поиска"));
    QCOMPARE(dialog->groupBox_7->title(), QStringLiteral("Порты"));
    QCOMPARE(dialog->label_6->text(), QStringLiteral("мс"));
    // Column headers keep the language they were made in.
    QCOMPARE(dialog->tableWidget->horizontalHeaderItem(0)->text(), QStringLiteral("Port"));
    QCoreApplication::removeTranslator(&russian);
    QTRY_COMPARE(dialog->btnStart->text(), QStringLiteral("Start Find"));
}

QTEST_MAIN(TestFindDeviceDialog)
#include "tst_finddevicedialog.moc"
