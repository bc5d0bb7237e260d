#include "core/appsettings.h"
#include "editor/commonwidget.h"
#include "editor/defaultdevicewidget.h"
#include "editor/statuswidget.h"
#include "hartsimulator.h"
#include "measure/measurewidget.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"
#include "tempworkdir.h"
#include "widgets/readout.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <limits>
#include <memory>

namespace {

constexpr int VariableCount = 3;   // the simulated device's highest device-variable code

HartSimResponse notImplemented()
{
    HartSimResponse response;
    response.responseCode = 64;
    return response;
}

bool isBlue(const QWidget *field)
{
    return field->palette().color(QPalette::Text) == QColor(Qt::blue);
}

QList<int> itemCounts(const DefaultDeviceWidget &page)
{
    return {page.cmbPVDevVariable->count(), page.cmbSVDevVariable->count(), page.cmbTVDevVariable->count(),
            page.cmbQVDevVariable->count()};
}

enum Edit { EditRange, EditRangeTyped, EditVariableUnits, EditUnitsAndAssignment, EditAssignmentFailing, EditUnitsReadBackFailing,
            EditUnitsAndRange, EditAssignmentToNewClass };
enum Action { ZeroAdjust, Adjust4mA, Adjust20mA, Adjust4mAFromNoValue };
enum Fill { ReadConfiguration, ShowFields, LanguageChange };

} // namespace

class TestDefaultDeviceWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readConfiguration_data();
    void readConfiguration();
    void programFillsMarkNothing_data();
    void programFillsMarkNothing();
    void writeSendsChangesAndReadsBack_data();
    void writeSendsChangesAndReadsBack();
    void assignmentCombos_data();
    void assignmentCombos();
    void extendedStatusAndSlotTable_data();
    void extendedStatusAndSlotTable();
    void selectionAsksWithSlotCode();
    void selectionStopsAskingAfterNotImplemented();
    void selectionOfUnidentifiedDeviceUsesSlotData();
    void adjustments_data();
    void adjustments();
    void writeButtonAcrossPolling();
    void unitCatalogue_data();
    void unitCatalogue();

private:
    void identify();
    void readWholeConfiguration();
    QList<quint8> commandsSent() const;
    QString outcome() const;
    void changeLanguageToRussian();

    std::unique_ptr<TempWorkDir> m_work;
    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    std::unique_ptr<DefaultDeviceWidget> m_page;
    std::unique_ptr<PromptRecorder> m_prompts;
    QTranslator m_russian;
    Device *m_device = nullptr;
};

void TestDefaultDeviceWidget::initTestCase()
{
    // The Measurement tab keeps its archives under the working folder.
    m_work = std::make_unique<TempWorkDir>();
    AppSettings::instance();
}

void TestDefaultDeviceWidget::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDevice simDevice(0);
    simDevice.deviceVariables = VariableCount;
    const QVariantMap values{
        {QStringLiteral("PV_class_code"), 65}, {QStringLiteral("SV_class_code"), 64},
        {QStringLiteral("TV_class_code"), 64}, {QStringLiteral("QV_class_code"), 64},
        {QStringLiteral("PV_unit_code"), 12}, {QStringLiteral("PV"), 12.5f},
        {QStringLiteral("output_current"), 12.0f}, {QStringLiteral("PV_dev_variable_code"), 1},
        {QStringLiteral("SV_dev_variable_code"), 0}, {QStringLiteral("TV_dev_variable_code"), 2},
        {QStringLiteral("QV_dev_variable_code"), 252}, {QStringLiteral("sensor_unit_code"), 12},
        {QStringLiteral("sensor_range_max"), 250.0f}, {QStringLiteral("sensor_range_min"), -50.0f},
        {QStringLiteral("range_unit_code"), 12}, {QStringLiteral("range_max"), 100.0f},
        {QStringLiteral("range_min"), 0.0f}, {QStringLiteral("conversion_function"), 1},
    };
    simDevice.values.insert(values);
    for (int code = 0; code <= VariableCount; ++code) {
        simDevice.values.insert(QStringLiteral("variable_%1_value").arg(code), 20.0f + float(code));
        simDevice.values.insert(QStringLiteral("variable_%1_class").arg(code), 64);
        simDevice.values.insert(QStringLiteral("variable_%1_unit_code").arg(code), 32);
    }
    m_sim->addDevice(simDevice);

    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
    m_device = port->createDevice(QStringLiteral("General"));
    port->insertChild(-1, m_device);

    m_prompts = std::make_unique<PromptRecorder>();
    m_prompts->defaultAnswer.button = QMessageBox::Yes;
    m_page = std::make_unique<DefaultDeviceWidget>(nullptr);
    m_page->setItem(m_device);
    m_page->showDeviceInfoInFields();
}

void TestDefaultDeviceWidget::cleanup()
{
    QCoreApplication::removeTranslator(&m_russian);
    m_page.reset();
    m_prompts.reset();
    m_server.reset();
    m_sim.reset();
}

void TestDefaultDeviceWidget::identify()
{
    m_page->findChild<CommonWidget *>()->findChild<QPushButton *>(QStringLiteral("btnCheck"))->click();
    QVERIFY2(outcome().contains(QLatin1String("completed successfully")), qPrintable(outcome()));
    QVERIFY(m_page->btnReadCfgFromDevice->isEnabled());
    m_sim->clearRequests();
}

void TestDefaultDeviceWidget::readWholeConfiguration()
{
    m_page->btnReadCfgFromDevice->click();
    QVERIFY2(outcome().contains(QLatin1String("completed successfully")), qPrintable(outcome()));
    m_sim->clearRequests();
    m_prompts->requests.clear();
}

QList<quint8> TestDefaultDeviceWidget::commandsSent() const
{
    QList<quint8> commands;
    for (const HartSimRequest &request : m_sim->requests())
        commands.append(request.command);
    return commands;
}

QString TestDefaultDeviceWidget::outcome() const
{
    return m_page->findChild<StatusWidget *>()->lbError->text();
}

void TestDefaultDeviceWidget::changeLanguageToRussian()
{
    // Installed until cleanup: the language change it posts is delivered here, not inside a write.
    QVERIFY(m_russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&m_russian);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(m_page->btnReadCfgFromDevice->text(), QStringLiteral("Прочитать из прибора"));
}

// ---------------------------------------------------------------------------------------------
// Reading the configuration

void TestDefaultDeviceWidget::readConfiguration_data()
{
    QTest::addColumn<int>("failing");
    QTest::addColumn<int>("revision");
    QTest::newRow("all commands succeed") << -1 << 7;
    for (int command : {8, 3, 50, 9, 14, 15})
        QTest::newRow(qPrintable(QStringLiteral("command %1 fails").arg(command))) << command << 7;
    // Such a device has neither 8 nor 9: the table shows the dynamic variables of command 3.
    QTest::newRow("a HART 5 device is not asked for command 9") << -1 << 5;
    QTest::newRow("a HART 5 device's failed command 3 shows no earlier value") << 3 << 5;
}

void TestDefaultDeviceWidget::readConfiguration()
{
    QFETCH(int, failing);
    QFETCH(int, revision);
    const bool hart5 = revision == 5;
    m_sim->updateDevice(0, [&](HartSimDevice &device) {
        device.universalRevision = quint8(revision);
        device.identityLength = hart5 ? 12 : device.identityLength;
    });
    identify();
    if (hart5 && failing >= 0) {   // after a good read
        m_page->btnReadCfgFromDevice->click();
        m_sim->clearRequests();
    }
    if (failing >= 0)
        m_sim->setHandler(quint8(failing), [](HartSimDevice &, const QByteArray &) { return notImplemented(); });

    m_page->btnReadCfgFromDevice->click();

    // Every command is tried; only a complete read is reported as a success.
    QCOMPARE(commandsSent(), hart5 ? (QList<quint8>{3, 50, 14, 15}) : (QList<quint8>{8, 3, 50, 9, 14, 15}));
    QCOMPARE(outcome().contains(QLatin1String("completed successfully")), failing < 0);
    QCOMPARE(m_page->lbSensorRangeMax->text().isEmpty(), failing == 14);
    QCOMPARE(m_page->dspnRangeMax->value(), failing == 15 ? 0.0 : 100.0);
    QCOMPARE(m_page->tableWidgetDV->rowCount(), failing == 9 ? 0 : hart5 ? 4 : VariableCount + 1);
    if (hart5) {
        QCOMPARE(m_page->tableWidgetDV->item(0, 0)->text(), m_page->tr("Variable %1").arg(1));
        QCOMPARE(m_page->tableWidgetDV->item(0, 2)->text().isEmpty(), failing == 3);
        return;
    }
    QCOMPARE(m_page->lbPVClass->text(), Device::classificationText(failing == 8 ? 0 : 65));
    QCOMPARE(m_page->cmbPVDevVariable->currentText(),
             failing == 50 ? m_page->tr("Unknown") : m_page->tr("Variable %1").arg(1));
    QCOMPARE(m_page->cmbPVDevVariable->isEnabled(), failing != 50);
    // The units follow the PV class: without it the whole catalogue, with it the pressure units.
    QCOMPARE(m_page->cmbInputUnits->count(), failing == 3 || failing == 8 ? 77 : 16);
}

void TestDefaultDeviceWidget::programFillsMarkNothing_data()
{
    QTest::addColumn<int>("fill");
    QTest::addColumn<int>("announcements");
    // The read announces its new values once, by itself; no fill of a field adds to that.
    QTest::newRow("reading the configuration") << int(ReadConfiguration) << 1;
    QTest::newRow("showing the fields again") << int(ShowFields) << 0;
    QTest::newRow("a language change") << int(LanguageChange) << 0;
}

void TestDefaultDeviceWidget::programFillsMarkNothing()
{
    QFETCH(int, fill);
    QFETCH(int, announcements);
    identify();
    readWholeConfiguration();
    m_page->tableWidgetDV->setCurrentCell(1, 0);
    m_device->clearStateFlags(Device::StateChanged);
    m_sim->clearRequests();
    QSignalSpy changed(m_page.get(), &DeviceWidget::changed);

    switch (Fill(fill)) {
    case ReadConfiguration: m_page->btnReadCfgFromDevice->click(); break;
    case ShowFields: m_page->showDeviceInfoInFields(); break;
    case LanguageChange:
        changeLanguageToRussian();
        QCOMPARE(m_page->cmbInputUnits->currentText(), QStringLiteral("килопаскаль (кПа)"));
        QCOMPARE(m_page->label_13->text(), QStringLiteral("Код сигнализации PV:"));
        QCOMPARE(m_page->label_5->text(), QStringLiteral("НПИ:"));
        QCOMPARE(m_page->lbPVClass->text(), QStringLiteral("Давление"));
        QCOMPARE(m_page->txtPVAlarmCode->text(), QStringLiteral("Высокий"));
        break;
    }

    QCOMPARE(changed.count(), announcements);
    QVERIFY(!m_device->hasStateFlag(Device::StateChanged));
    for (QWidget *field : m_page->findChildren<QWidget *>())
        QVERIFY2(!isBlue(field), qPrintable(field->objectName()));
    QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());
    QVERIFY(!m_page->cmbDevVariableUnits->isEnabled());

    // Nothing was marked, so a write has nothing to send.
    m_sim->clearRequests();
    m_page->btnWriteCfgInDevice->setEnabled(true);
    m_page->btnWriteCfgInDevice->click();
    QVERIFY(commandsSent().isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Writing changed settings

void TestDefaultDeviceWidget::writeSendsChangesAndReadsBack_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QList<quint8>>("sent");
    QTest::newRow("range alone is not read back") << int(EditRange) << QList<quint8>{35};
    QTest::newRow("a range typed with the period, main and keypad, is sent as typed") << int(EditRangeTyped) << QList<quint8>{35};
    QTest::newRow("device-variable units read back 3 and 9") << int(EditVariableUnits) << QList<quint8>{53, 3, 9};
    QTest::newRow("units and assignment read back 3, 8, 14, 15")
        << int(EditUnitsAndAssignment) << QList<quint8>{44, 51, 3, 8, 14, 15};
    QTest::newRow("a failing write reads nothing back") << int(EditAssignmentFailing) << QList<quint8>{44, 51};
    QTest::newRow("a failing read-back is no success") << int(EditUnitsReadBackFailing) << QList<quint8>{44, 14, 15};
    QTest::newRow("the range is written in the new units") << int(EditUnitsAndRange) << QList<quint8>{44, 35, 14, 15};
    QTest::newRow("PV units follow the new PV's class") << int(EditAssignmentToNewClass) << QList<quint8>{51, 3, 8};
}

void TestDefaultDeviceWidget::writeSendsChangesAndReadsBack()
{
    QFETCH(int, edit);
    QFETCH(QList<quint8>, sent);
    identify();
    readWholeConfiguration();

    QWidget *lastField = nullptr;
    switch (Edit(edit)) {
    case EditRange:
        // No range a device may hold is bounded by the form.
        m_page->dspnRangeMax->setValue(20000.0);
        m_page->dspnRangeMin->setValue(10.0);
        lastField = m_page->dspnRangeMin;
        break;
    case EditRangeTyped:   // in the form's locale, which writes a decimal comma; a whole number takes no point
        for (auto [field, whole, decimals, keypad] : {std::tuple(m_page->dspnRangeMax, "95", "5", Qt::NoModifier),
                                                      std::tuple(m_page->dspnRangeMin, "0", "125", Qt::KeypadModifier)}) {
            field->selectAll();
            QTest::keyClicks(field, whole);
            QTest::keyClick(field, Qt::Key_Period, keypad);
            QTest::keyClicks(field, decimals);
        }
        QTest::keyClick(m_page->spnSensorNumber, Qt::Key_Period);
        QCOMPARE(m_page->spnSensorNumber->text(), QString::number(m_page->spnSensorNumber->value()));
        lastField = m_page->dspnRangeMin;
        break;
    case EditUnitsReadBackFailing:
        m_sim->setHandler(14, [](HartSimDevice &, const QByteArray &) { return notImplemented(); });
        m_page->cmbInputUnits->setCurrentIndex(m_page->cmbInputUnits->findData(7));
        lastField = m_page->cmbInputUnits;
        break;
    case EditUnitsAndRange:
        m_page->cmbInputUnits->setCurrentIndex(m_page->cmbInputUnits->findData(7));
        m_page->dspnRangeMax->setValue(50.0);
        lastField = m_page->dspnRangeMax;
        break;
    case EditAssignmentToNewClass:
        // Variable 3 is a temperature in degrees Celsius: PV takes its class and unit.
        m_sim->updateDevice(0, [](HartSimDevice &device) {
            device.values.insert({{QStringLiteral("PV_class_code"), 64}, {QStringLiteral("PV_unit_code"), 32}});
        });
        m_page->cmbPVDevVariable->setCurrentIndex(m_page->cmbPVDevVariable->findData(3));
        lastField = m_page->cmbPVDevVariable;
        break;
    case EditVariableUnits:
        m_page->tableWidgetDV->setCurrentCell(2, 0);
        m_sim->clearRequests();
        m_page->cmbDevVariableUnits->setCurrentIndex(m_page->cmbDevVariableUnits->findData(33));
        lastField = m_page->cmbDevVariableUnits;
        break;
    case EditAssignmentFailing:
        m_sim->setHandler(51, [](HartSimDevice &, const QByteArray &) { return notImplemented(); });
        Q_FALLTHROUGH();
    case EditUnitsAndAssignment:
        m_page->cmbInputUnits->setCurrentIndex(m_page->cmbInputUnits->findData(7));
        m_page->cmbPVDevVariable->setCurrentIndex(m_page->cmbPVDevVariable->findData(3));
        lastField = m_page->cmbPVDevVariable;
        break;
    }
    // A language change changes no edit.
    changeLanguageToRussian();
    QVERIFY(isBlue(lastField));
    QVERIFY(m_page->btnWriteCfgInDevice->isEnabled());

    m_page->btnWriteCfgInDevice->click();

    QCOMPARE(commandsSent(), sent);
    const bool failed = edit == EditAssignmentFailing;
    QCOMPARE(isBlue(lastField), failed);
    QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), failed);
    QCOMPARE(outcome() == QCoreApplication::translate("StatusWidget", "<p style=\"color: green;\">completed successfully</p>"),
             !failed && edit != EditUnitsReadBackFailing);
    if (edit == EditVariableUnits) {
        // Command 53 names the selected variable by its code, with the chosen unit.
        QCOMPARE(m_sim->requests().first().data, QByteArray::fromHex("0221"));
    }
    if (edit == EditRange)
        QCOMPARE(m_sim->device(0).values.value(QStringLiteral("range_max")).toFloat(), 20000.0f);
    if (edit == EditRangeTyped)
        QCOMPARE(QVariantList({m_sim->device(0).values.value("range_max"), m_sim->device(0).values.value("range_min")}), QVariantList({95.5f, 0.125f}));
    if (edit == EditUnitsAndRange)
        QCOMPARE(m_sim->device(0).values.value(QStringLiteral("range_unit_code")).toInt(), 7);
    if (edit == EditAssignmentToNewClass) {
        QCOMPARE(m_page->cmbInputUnits->count(), 8);
        QCOMPARE(m_page->cmbInputUnits->currentData().toInt(), 32);
    }
    if (edit == EditUnitsAndAssignment)
        QCOMPARE(m_sim->device(0).values.value(QStringLiteral("PV_dev_variable_code")).toInt(), 3);
}

// ---------------------------------------------------------------------------------------------
// Views

void TestDefaultDeviceWidget::assignmentCombos_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("items");
    QTest::newRow("count 0 offers variable 0 to PV only") << 0 << QList<int>{2, 1, 1, 1};
    QTest::newRow("count 3 offers four variables to PV, SV and TV") << 3 << QList<int>{5, 5, 5, 1};
    QTest::newRow("a negative count offers only Unknown") << -1 << QList<int>{1, 1, 1, 1};
    QTest::newRow("a damaged count offers the one-byte codes below the special ones")
        << std::numeric_limits<int>::max() << QList<int>{251, 251, 251, 251};
}

void TestDefaultDeviceWidget::assignmentCombos()
{
    QFETCH(int, count);
    QFETCH(QList<int>, items);
    m_device->setParameter(QStringLiteral("dev_variables_count"), count);
    m_page->fillDeviceVariableCombos();
    QCOMPARE(itemCounts(*m_page), items);
    QCOMPARE(m_page->cmbPVDevVariable->currentIndex(), -1);
    QVERIFY(!m_page->cmbPVDevVariable->isEnabled());
}

void TestDefaultDeviceWidget::extendedStatusAndSlotTable_data()
{
    QTest::addColumn<int>("extendedStatus");
    QTest::addColumn<int>("statusLines");
    QTest::addColumn<QList<int>>("slotCodes");
    QTest::addColumn<int>("rows");
    QTest::newRow("status 0, ten slots give eight rows") << 0 << 0 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9} << 8;
    QTest::newRow("status 3 gives two lines") << 3 << 2 << QList<int>{7} << 1;
    QTest::newRow("status 4 gives none, a gap stops the table") << 4 << 0 << QList<int>{0, 1, -1, 3} << 2;
}

void TestDefaultDeviceWidget::extendedStatusAndSlotTable()
{
    QFETCH(int, extendedStatus);
    QFETCH(int, statusLines);
    QFETCH(QList<int>, slotCodes);
    QFETCH(int, rows);
    m_device->setParameter(QStringLiteral("extended_status"), extendedStatus);
    for (int slot = 0; slot < slotCodes.size(); ++slot) {
        if (slotCodes.at(slot) >= 0)
            m_device->setParameter(QStringLiteral("slot_%1_code").arg(slot), slotCodes.at(slot));
    }
    m_page->initDeviceVariablesTable();
    m_page->showDeviceVariables();

    const QString status = m_page->txtExtendedStatus->toPlainText();
    QCOMPARE(status.isEmpty() ? 0 : int(status.split(QLatin1Char('\n')).size()), statusLines);
    QCOMPARE(m_page->tableWidgetDV->rowCount(), rows);
    // A row shows the slot's device-variable code and keeps its own index for the slot data.
    const QTableWidgetItem *first = m_page->tableWidgetDV->item(0, 0);
    QCOMPARE(first->text(), m_page->tr("Variable %1").arg(slotCodes.first()));
    QCOMPARE(first->data(Qt::UserRole).toInt(), 0);
}

// ---------------------------------------------------------------------------------------------
// Selecting a device variable

void TestDefaultDeviceWidget::selectionAsksWithSlotCode()
{
    identify();
    // Slots whose codes differ from their rows: command 54 must carry the code.
    m_device->setParameter(QStringLiteral("slot_0_code"), 2);
    m_device->setParameter(QStringLiteral("slot_1_code"), 3);
    m_page->initDeviceVariablesTable();
    m_page->showDeviceVariables();

    m_page->tableWidgetDV->setCurrentCell(1, 0);

    QCOMPARE(commandsSent(), QList<quint8>{54});
    QCOMPARE(m_sim->requests().first().data, QByteArray(1, 3));
    QVERIFY(outcome().contains(QLatin1String("completed successfully")));
    QVERIFY(m_page->cmbDevVariableUnits->isEnabled());
    QCOMPARE(m_page->cmbDevVariableUnits->currentData().toInt(), 32);
    QCOMPARE(m_page->lbUSLUnit->text(), Device::unitText(32, 64));
    QVERIFY(m_page->dspnUSL->text() != QStringLiteral("----"));
}

void TestDefaultDeviceWidget::selectionStopsAskingAfterNotImplemented()
{
    identify();
    readWholeConfiguration();
    m_sim->setHandler(54, [](HartSimDevice &, const QByteArray &) { return notImplemented(); });

    m_page->tableWidgetDV->setCurrentCell(1, 0);
    QCOMPARE(commandsSent(), QList<quint8>{54});
    QVERIFY(outcome().contains(QLatin1String("completed with errors")));

    m_sim->clearRequests();
    m_page->tableWidgetDV->setCurrentCell(2, 0);
    QVERIFY(commandsSent().isEmpty());
    // The variable is shown from the slot data of command 9, which gives no limits.
    QCOMPARE(m_page->cmbDevVariableUnits->currentData().toInt(), 32);
    QCOMPARE(m_page->dspnUSL->text(), QStringLiteral("----"));
}

void TestDefaultDeviceWidget::selectionOfUnidentifiedDeviceUsesSlotData()
{
    m_device->setParameter(QStringLiteral("slot_0_code"), 0);
    m_device->setParameter(QStringLiteral("slot_0_value"), 1.5f);
    m_page->initDeviceVariablesTable();
    m_page->showDeviceVariables();
    // Without an identified device no value is shown.
    QVERIFY(m_page->tableWidgetDV->item(0, 2)->text().isEmpty());

    m_page->tableWidgetDV->setCurrentCell(0, 0);

    QVERIFY(commandsSent().isEmpty());
    QCOMPARE(m_device->parameterInt(QStringLiteral("dev_variable_limits_unit_code")), 255);
    QCOMPARE(m_device->parameterInt(QStringLiteral("dev_variable_class")), 0);
}

// ---------------------------------------------------------------------------------------------
// Adjustments

void TestDefaultDeviceWidget::adjustments_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QList<quint8>>("sent");
    QTest::addColumn<QString>("question");
    const int yes = QMessageBox::Yes;
    const int cancel = QMessageBox::Cancel;
    QTest::newRow("zero confirmed") << int(ZeroAdjust) << QList<int>{yes} << QList<quint8>{3, 43}
                                    << "Primary Variable value=12.500 ";
    QTest::newRow("zero cancelled") << int(ZeroAdjust) << QList<int>{cancel} << QList<quint8>{3} << "";
    QTest::newRow("4 mA confirmed twice") << int(Adjust4mA) << QList<int>{yes, yes} << QList<quint8>{45}
                                          << "value=4.02 as 4 mA";
    QTest::newRow("4 mA cancelled first") << int(Adjust4mA) << QList<int>{cancel} << QList<quint8>{} << "";
    QTest::newRow("20 mA cancelled second") << int(Adjust20mA) << QList<int>{yes, cancel} << QList<quint8>{} << "";
    QTest::newRow("20 mA confirmed twice") << int(Adjust20mA) << QList<int>{yes, yes} << QList<quint8>{46}
                                           << "value =4.02 as 20 mA";
    QTest::newRow("4 mA from a current the device gave no value for is refused before any question")
        << int(Adjust4mAFromNoValue) << QList<int>{QMessageBox::Ok} << QList<quint8>{} << "gave no value";
}

void TestDefaultDeviceWidget::adjustments()
{
    QFETCH(int, action);
    QFETCH(QList<int>, answers);
    QFETCH(QList<quint8>, sent);
    QFETCH(QString, question);
    identify();
    readWholeConfiguration();
    m_page->dspnMeasuringCurrent->setValue(4.02);
    for (int answer : answers)
        m_prompts->answerButton(QMessageBox::StandardButton(answer));

    switch (Action(action)) {
    case ZeroAdjust: m_page->btnAdjustZero->click(); break;
    case Adjust4mA: m_page->btnAdjust4mA->click(); break;
    case Adjust20mA: m_page->btnAdjust20mA->click(); break;
    case Adjust4mAFromNoValue:
        Readout::show(m_page->dspnMeasuringCurrent, QVariant());
        m_page->btnAdjust4mA->click();
        break;
    }

    QCOMPARE(commandsSent(), sent);
    QCOMPARE(m_prompts->requests.size(), answers.size());
    const Prompt::Request &last = m_prompts->requests.at(answers.size() - 1);
    QCOMPARE(last.defaultButton, last.buttons & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::NoButton);
    if (!question.isEmpty())
        QVERIFY2(last.text.contains(question), qPrintable(last.text));
}

void TestDefaultDeviceWidget::writeButtonAcrossPolling()
{
    identify();
    // Stopping without a start leaves the button disabled.
    m_page->onStartPeriod(true);
    QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());

    readWholeConfiguration();
    m_page->dspnRangeMax->setValue(90.0);
    QVERIFY(m_page->btnWriteCfgInDevice->isEnabled());
    auto *measurement = m_page->findChild<MeasureWidget *>();
    measurement->chkPeriod->setChecked(true);
    measurement->btnStartStop->click();
    QVERIFY(measurement->isPolling());
    QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());
    // An edit while polling runs keeps the button locked ...
    m_page->dspnRangeMin->setValue(5.0);
    QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());
    // ... and stopping gives it back.
    measurement->btnStartStop->click();
    QVERIFY(!measurement->isPolling());
    QVERIFY(m_page->btnWriteCfgInDevice->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// Unit catalogue

void TestDefaultDeviceWidget::unitCatalogue_data()
{
    QTest::addColumn<int>("classCode");
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("russianOfLast");
    QTest::newRow("class 0 offers the whole catalogue") << 0 << 77 << "дни";
    QTest::newRow("a class without units offers the special codes") << 74 << 5 << "Особенный";
    QTest::newRow("pressure") << 65 << 16 << "фунт на квадратный дюйм (psi)";
    QTest::newRow("temperature names stay as they are") << 64 << 8 << "°K";
}

void TestDefaultDeviceWidget::unitCatalogue()
{
    QFETCH(int, classCode);
    QFETCH(int, items);
    QFETCH(QString, russianOfLast);
    QComboBox combo;
    QSignalSpy changes(&combo, &QComboBox::currentIndexChanged);
    m_page->initUnitsCatalogue(classCode, &combo);
    m_page->initUnitsCatalogue(classCode, &combo);
    QCOMPARE(combo.count(), items);
    QCOMPARE(combo.currentIndex(), -1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(combo.itemText(0), QStringLiteral("Null"));

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&translator);
    m_page->initUnitsCatalogue(classCode, &combo);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(combo.itemText(items - 1), russianOfLast);
    QCOMPARE(combo.itemText(0), QStringLiteral("Null"));
}

QTEST_MAIN(TestDefaultDeviceWidget)
#include "tst_defaultdevicewidget.moc"
