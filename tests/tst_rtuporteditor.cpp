#include "mainwindow/rtuporteditor.h"
#include "hartsimulator.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <memory>

// The port's editor page over a simulated line: choosing the serial device, the link settings and
// the check that the line opens.
class TestRTUPortEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void choosingADeviceStoresAndRenames();
    void deviceOfAnotherPortIsRefused();
    void choosingThePortsOwnDeviceChangesNothing();
    void zeroStoresTheDefault_data();
    void zeroStoresTheDefault();
    void loadingKeepsValuesAboveTheMaxima();
    void checkOpensAndClosesTheLine();
    void failedCheckShowsTheEscapedError();
    void closingTheLineAfterTransactions();

private:
    template<typename T>
    T *child(const char *name) const { return m_page->findChild<T *>(QLatin1String(name)); }
    void choose(const QString &serialName);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Port *m_otherPort = nullptr;
    std::unique_ptr<RTUPortEditor> m_page;
    QStringList m_names;
};

void TestRTUPortEditor::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("Port_1"));
    m_otherPort = m_server->addPort(QStringLiteral("ttyS1"));
    QVERIFY(m_otherPort->setSerialName(QStringLiteral("ttyS1")));
    m_names = {m_sim->portName(), QStringLiteral("ttyS1"), QStringLiteral("ttyS0"), QStringLiteral("ttyS0")};
    m_page = std::make_unique<RTUPortEditor>();
    m_page->setPortNamesSource([this] { return m_names; });
    m_page->setItem(m_port);
}

void TestRTUPortEditor::cleanup()
{
    m_page.reset();
    m_server.reset();
    m_sim.reset();
}

void TestRTUPortEditor::choose(const QString &serialName)
{
    auto *box = child<QComboBox>("portChoiceComboBox");
    box->setCurrentIndex(box->findText(serialName));
}

void TestRTUPortEditor::choosingADeviceStoresAndRenames()
{
    auto *box = child<QComboBox>("portChoiceComboBox");
    QCOMPARE(box->count(), 3);   // sorted, without the duplicate
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(!child<QPushButton>("b_check")->isEnabled());

    QSignalSpy changed(m_page.get(), &RTUPortEditor::changed);
    choose(QStringLiteral("ttyS0"));
    QCOMPARE(m_port->property("serial_name").toString(), QStringLiteral("ttyS0"));
    QCOMPARE(m_port->name(), QStringLiteral("ttyS0"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(child<QPushButton>("b_check")->isEnabled());
}

void TestRTUPortEditor::deviceOfAnotherPortIsRefused()
{
    choose(QStringLiteral("ttyS0"));
    PromptRecorder prompts;
    QSignalSpy changed(m_page.get(), &RTUPortEditor::changed);
    choose(QStringLiteral("ttyS1"));
    QCOMPARE(prompts.requests.size(), 1);
    QCOMPARE(prompts.requests.first().kind, Prompt::Warning);
    QCOMPARE(prompts.requests.first().text, QStringLiteral("Port ttyS1 already exists!"));
    QCOMPARE(m_port->property("serial_name").toString(), QStringLiteral("ttyS0"));
    QCOMPARE(child<QComboBox>("portChoiceComboBox")->currentText(), QStringLiteral("ttyS0"));
    QCOMPARE(changed.count(), 0);
}

void TestRTUPortEditor::choosingThePortsOwnDeviceChangesNothing()
{
    choose(QStringLiteral("ttyS0"));
    const QStringList all = m_names;
    m_names.removeAll(QStringLiteral("ttyS0"));   // the device goes away ...
    child<QPushButton>("btnRefresh")->click();
    QCOMPARE(child<QComboBox>("portChoiceComboBox")->currentIndex(), -1);
    QCOMPARE(m_port->property("serial_name").toString(), QStringLiteral("ttyS0"));
    m_names = all;                                  // ... and comes back
    child<QPushButton>("btnRefresh")->click();
    QSignalSpy changed(m_page.get(), &RTUPortEditor::changed);
    choose(QStringLiteral("ttyS0"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!child<QPushButton>("b_check")->isEnabled());
}

void TestRTUPortEditor::zeroStoresTheDefault_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("property");   // empty: the initial preamble count
    QTest::addColumn<int>("defaultValue");
    QTest::newRow("request timeout") << "spnRequestTimeout" << "request_timeout" << 200;
    QTest::newRow("response timeout") << "spnResponseTimeout" << "response_timeout" << 370;
    QTest::newRow("byte timeout") << "spnByteTimeout" << "byte_timeout" << 50;
    QTest::newRow("initial preambles") << "spnStartPreamblesCount" << "" << 10;
}

void TestRTUPortEditor::zeroStoresTheDefault()
{
    QFETCH(QString, box);
    QFETCH(QString, property);
    QFETCH(int, defaultValue);
    auto stored = [&] {
        return property.isEmpty() ? m_port->hartPort.initialPreamblesCount
                                  : m_port->hartPort.property(property.toLatin1().constData()).toInt();
    };
    auto *spin = m_page->findChild<QSpinBox *>(box);
    QSignalSpy changed(m_page.get(), &RTUPortEditor::changed);
    spin->setValue(7);
    QCOMPARE(stored(), 7);
    spin->setValue(0);
    QCOMPARE(stored(), defaultValue);
    QCOMPARE(spin->value(), 0);
    QCOMPARE(changed.count(), 2);

    // The polling thread reads the link settings: they cannot be edited while a device is polled.
    Device *device = m_port->createDevice(QStringLiteral("General"));
    m_port->insertChild(-1, device);
    device->beginPolling();
    m_page->updateButtons();
    QVERIFY(!spin->isEnabled());
    QVERIFY(!m_page->findChild<QComboBox *>(QStringLiteral("portChoiceComboBox"))->isEnabled());
    device->endPolling();
    m_page->updateButtons();
    QVERIFY(spin->isEnabled());
}

void TestRTUPortEditor::loadingKeepsValuesAboveTheMaxima()
{
    m_otherPort->hartPort.setProperty("response_timeout", 20000);
    m_otherPort->hartPort.initialPreamblesCount = 150;
    RTUPortEditor page;
    page.setPortNamesSource([this] { return m_names; });
    page.setItem(m_otherPort);
    QCOMPARE(page.findChild<QSpinBox *>(QStringLiteral("spnResponseTimeout"))->value(), 9000);
    QCOMPARE(m_otherPort->hartPort.property("response_timeout").toInt(), 20000);
    QCOMPARE(m_otherPort->hartPort.initialPreamblesCount, 150);
    QVERIFY(page.findChild<QPushButton *>(QStringLiteral("b_check"))->isEnabled());
}

void TestRTUPortEditor::checkOpensAndClosesTheLine()
{
    choose(m_sim->portName());
    QVERIFY(m_port->openHart());   // an open line is closed first, then opened and closed again
    child<QPushButton>("b_check")->click();
    QCOMPARE(child<QLabel>("resultLabel")->text(), QStringLiteral("<p style=\"color: green;\">Success.</p>"));
    QVERIFY(!child<QLabel>("resultLabel")->isHidden());
    QVERIFY(!m_port->isOpened());
}

void TestRTUPortEditor::failedCheckShowsTheEscapedError()
{
    const QString missing = QStringLiteral("/dev/no<such>&port");
    m_names.append(missing);
    child<QPushButton>("btnRefresh")->click();
    choose(missing);
    child<QPushButton>("b_check")->click();
    const QString text = child<QLabel>("resultLabel")->text();
    QVERIFY2(text.startsWith(QStringLiteral("<p style=\"color: red;\">Failure: Can't open /dev/no&lt;such&gt;&amp;port!<br>")),
             qPrintable(text));
    QVERIFY(!text.contains(QLatin1Char('\n')));
    QCOMPARE(m_port->result(), int(ServerItem::ResultLinkError));
}

void TestRTUPortEditor::closingTheLineAfterTransactions()
{
    choose(m_sim->portName());
    QVERIFY(m_port->openHart());
    QSignalSpy changed(m_page.get(), &RTUPortEditor::changed);
    child<QCheckBox>("chkTransactionClosePort")->setChecked(true);
    QVERIFY(m_port->property("close_port_after_transaction").toBool());
    QVERIFY(!m_port->isOpened());
    child<QCheckBox>("chkTransactionClosePort")->setChecked(false);
    QVERIFY(!m_port->property("close_port_after_transaction").toBool());
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(TestRTUPortEditor)
#include "tst_rtuporteditor.moc"
