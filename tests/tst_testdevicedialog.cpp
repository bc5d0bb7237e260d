#include "testrunner/testdevicedialog.h"

#include "core/appsettings.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "hartsimacivelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "promptrecorder.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <climits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A General device's test of universal reads and writes with read-back.
const QByteArray GeneralTemplate = R"({"name": "general", "template": "General", "description": "General test",
 "device": {"commands": [
  {"number": 3, "description": "variables", "print": ["PV", "output_current"]},
  {"number": 35, "description": "range", "read_cmd": 15,
   "parameters": {"range_unit_code": [32, 32, 7], "range_max": [74.3, 100], "range_min": [0, -80]}},
  {"number": 6, "description": "address", "parameters": {"polling_address": [0]}, "read_cmd": 7},
  {"number": 17, "description": "message", "parameters": {"message": ["TESTMSG"]}, "read_cmd": 12},
  {"number": 2, "description": "current"}
 ]}})";

// A pH meter's test: a read with print, a write of float values read back, a write whose
// read-back differs, a write the device refuses and a read it refuses.
const QByteArray AcivelTemplate = R"({"name": "acivel", "template": "Acivel-M", "description": "Acivel test",
 "device": {"commands": [
  {"number": 140, "description": "indication range", "print": ["indicate_range_min", "indicate_range_max"]},
  {"number": 141, "description": "range", "read_cmd": 140,
   "parameters": {"indicate_range_min": [0, 2.3], "indicate_range_max": [14, 12.75, 99]}},
  {"number": 176, "description": "Ei and S", "read_cmd": 152,
   "parameters": {"ei_min": [-100], "ei_max": [100], "s_min": [50], "s_max": [74.3]}},
  {"number": 133, "description": "diagnostics", "parameters": {"electrode_diag": [1]}, "read_cmd": 130},
  {"number": 130, "description": "configuration"}
 ]}})";

// Two reads that pass; the first runs three cycles.
const QByteArray ReadsTemplate = R"({"name": "reads", "template": "General", "description": "Reads",
 "device": {"commands": [{"number": 1, "description": "pv", "cycles": 3}, {"number": 2, "description": "current"}]}})";

QByteArray generalTemplateWith(const char *templateName, const char *commands)
{
    return QByteArray(R"({"name": "t", "template": ")") + templateName
           + R"(", "description": "T", "device": {"commands": )" + commands + "}}";
}

HartSimResponse refuse(HartSimDevice &, const QByteArray &)
{
    HartSimResponse response;
    response.responseCode = 7;
    return response;
}

} // namespace

class TestTestDeviceDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void templateLoading_data();
    void templateLoading();
    void stepRowCounts_data();
    void stepRowCounts();
    void oneRoundReportAndCells();
    void countErrorClassification_data();
    void countErrorClassification();
    void rounds_data();
    void rounds();
    void cancelInRoundTwo_data();
    void cancelInRoundTwo();
    void cancelEndsLongWait();
    void waitsAreBounded_data();
    void waitsAreBounded();
    void hugeCyclesAreBounded();
    void stepReportLines_data();
    void stepReportLines();
    void startAndCloseDuringRunAreRefused();
    void commandZeroKeepsTheRecord();
    void saveAs_data();
    void saveAs();
    void saveReport_data();
    void saveReport();
    void checkUncheckHide_data();
    void checkUncheckHide();
    void parameterView();
    void closeQuestion_data();
    void closeQuestion();
    void openFrom_data();
    void openFrom();

private:
    void openDialog(const QString &templateName = u"General"_s);
    void openWith(const QByteArray &file, const QString &description, const QString &model = u"General"_s);
    void chooseTemplate(const QString &description);
    void start(int rounds);
    QStringList reportLines() const;
    QStringList column(int column) const;
    template<typename T>
    T *widget(const char *name) const { return dialog->findChild<T *>(QLatin1String(name)); }

    std::unique_ptr<TempWorkDir> workDir;
    std::unique_ptr<HartSimulator> sim;
    std::unique_ptr<Server> server;
    std::unique_ptr<PromptRecorder> prompts;
    Device *device = nullptr;
    std::unique_ptr<TestDeviceDialog> dialog;
};

void TestTestDeviceDialog::init()
{
    QTest::failOnWarning(QRegularExpression(u"No matching signal"_s));
    workDir = std::make_unique<TempWorkDir>();
    AppSettings::instance()->testsPath = workDir->filePath(u"tests"_s);
    prompts = std::make_unique<PromptRecorder>();
    sim = std::make_unique<HartSimulator>();
    QVERIFY(sim->isValid());
    HartSimUniversalCommands::install(*sim);
    HartSimDevice simDevice(0);
    simDevice.values.insert(u"PV"_s, 21.5f);
    simDevice.values.insert(u"output_current"_s, 12.25f);
    sim->addDevice(simDevice);
    server = std::make_unique<Server>();
    Port *port = server->addPort(u"COM1"_s);
    QVERIFY(port->setSerialName(sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
}

void TestTestDeviceDialog::cleanup()
{
    dialog.reset();
    server.reset();
    sim.reset();
    prompts.reset();
    workDir.reset();
}

void TestTestDeviceDialog::openDialog(const QString &templateName)
{
    Port *port = server->ports().first();
    device = port->createDevice(templateName);
    port->insertChild(-1, device);
    QVERIFY(device->readDevice(0));
    dialog = std::make_unique<TestDeviceDialog>(nullptr, device);
    dialog->show();
}

void TestTestDeviceDialog::openWith(const QByteArray &file, const QString &description, const QString &model)
{
    QVERIFY(TestFiles::write(u"tests/fixture.tpl"_s, file));
    openDialog(model);
    chooseTemplate(description);
}

void TestTestDeviceDialog::chooseTemplate(const QString &description)
{
    auto *templates = widget<QComboBox>("cmbTemplates");
    const int index = templates->findText(description);
    QVERIFY(index > 0);
    templates->setCurrentIndex(index);
}

void TestTestDeviceDialog::start(int rounds)
{
    widget<QSpinBox>("spnCycles")->setValue(rounds);
    widget<QPushButton>("btnStart")->click();
}

QStringList TestTestDeviceDialog::reportLines() const
{
    return widget<QPlainTextEdit>("txtReport")->toPlainText().split(QLatin1Char('\n'));
}

QStringList TestTestDeviceDialog::column(int column) const
{
    QStringList texts;
    auto *table = widget<QTableWidget>("tableWidget");
    for (int row = 0; row < table->rowCount(); ++row)
        texts.append(table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

void TestTestDeviceDialog::templateLoading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("errorLabel");
    QTest::addColumn<QStringList>("values");   // "Values" cells of the step rows

    const QString invalid = u"invalid template"_s;
    QTest::newRow("a template of the device") << generalTemplateWith("General", R"([{"number": 1},
        {"number": 6, "parameters": {"polling_address": [1]}}])") << QString() << true << false
                                              << QStringList{QString(), u" ... "_s};
    QTest::newRow("not JSON marks the label") << QByteArray("{\"name\": ") << QString() << false << true
                                              << QStringList();
    QTest::newRow("an array at the top level") << QByteArray("[1, 2]") << invalid << false << false << QStringList();
    QTest::newRow("no name") << QByteArray(R"({"template": "General", "description": "T", "device": {}})")
                             << invalid << false << false << QStringList();
    QTest::newRow("template in other letter case") << generalTemplateWith("general", "[]") << QString() << false
                                                   << false << QStringList();
    QTest::newRow("template with a trailing blank") << generalTemplateWith("General ", "[]") << QString() << false
                                                    << false << QStringList();
    QTest::newRow("parameters holding a text make a read step")
        << generalTemplateWith("General", R"([{"number": 18, "parameters": "TEST"}])") << QString() << true << false
        << QStringList{QString()};
    QTest::newRow("commands that are no list give no steps")
        << generalTemplateWith("General", R"({"number": 1})") << QString() << true << false << QStringList();
    QTest::newRow("a step that is no object gives no row")
        << generalTemplateWith("General", R"([5, {"number": 1}])") << u"not an object"_s << true
        << false << QStringList{QString()};
}

void TestTestDeviceDialog::templateLoading()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, logLine);
    QFETCH(bool, offered);
    QFETCH(bool, errorLabel);
    QFETCH(QStringList, values);
    QVERIFY(TestFiles::write(u"tests/fixture.tpl"_s, file));
    if (!logLine.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(logLine));
    openDialog();

    auto *templates = widget<QComboBox>("cmbTemplates");
    QCOMPARE(templates->count(), offered ? 2 : 1);
    QCOMPARE(templates->currentIndex(), 0);
    QCOMPARE(widget<QLabel>("lbError")->text(),
             errorLabel ? u"Failed to load test %1"_s.arg(workDir->filePath(u"tests/fixture.tpl"_s))
                        : QString());
    if (offered) {
        templates->setCurrentIndex(1);
        QCOMPARE(column(TestDeviceDialog::ValuesColumn).mid(0, values.size()), values);
        QCOMPARE(widget<QTableWidget>("tableWidget")->rowCount(), values.isEmpty() ? 0 : values.size() + 1);
    }
}

void TestTestDeviceDialog::stepRowCounts_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("description");   // empty: the read functions
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("russian");
    QTest::newRow("read functions of a General device") << u"General"_s << QString() << 15 << false;
    QTest::newRow("read functions of a pH meter") << u"Acivel-M"_s << QString() << 21 << false;
    QTest::newRow("embedded write test") << u"Zorvan-M"_s << u"Тест записи в прибор Зорван-Т"_s
                                         << 63 << false;
    QTest::newRow("embedded current test") << u"Zorvan-M"_s
                                           << u"Тест прибора Зорван-Т на 4-12-20мА "_s << 45 << false;
    QTest::newRow("in Russian, within the screen too") << u"Acivel-M"_s << QString() << 21 << true;
}

void TestTestDeviceDialog::stepRowCounts()
{
    QFETCH(QString, templateName);
    QFETCH(QString, description);
    QFETCH(int, steps);
    QFETCH(bool, russian);
    QTranslator translator;   // leaves the application with the row
    if (russian)
        QVERIFY(translator.load(u":/lang/ru_ru.qm"_s) && QCoreApplication::installTranslator(&translator));
    openDialog(templateName);
    if (!description.isEmpty())
        chooseTemplate(description);
    // Opened on a laptop's screen, the whole dialog is on it.
    QVERIFY(dialog->screen()->availableGeometry().contains(dialog->frameGeometry()));
    QCOMPARE(widget<QTableWidget>("tableWidget")->rowCount(), steps + 1);
    QCOMPARE(column(TestDeviceDialog::CyclesColumn).last(), TestDeviceDialog::tr("Total:"));
    QVERIFY(widget<QPushButton>("btnStart")->isEnabled());
}

void TestTestDeviceDialog::oneRoundReportAndCells()
{
    sim->removeDevices();
    HartSimAcivelCommands::install(*sim);
    HartSimDevice meter = HartSimAcivelCommands::device(0);
    meter.values.insert(u"indicate_range_min"_s, 0.0f);
    meter.values.insert(u"indicate_range_max"_s, 14.0f);
    meter.values.insert(u"reply_data_152"_s, HartSimUniversalCommands::floatBytes(-100) + HartSimUniversalCommands::floatBytes(100)
                                               + HartSimUniversalCommands::floatBytes(50) + HartSimUniversalCommands::floatBytes(74.30001f));
    sim->addDevice(meter);
    sim->setHandler(133, refuse);
    sim->setHandler(130, refuse);
    QVERIFY(TestFiles::write(u"tests/fixture.tpl"_s, AcivelTemplate));
    openDialog(u"Acivel-M"_s);
    chooseTemplate(u"Acivel test"_s);
    start(1);

    const QString refused = device->lastErrorText();
    const QString dashes(30, u'-');
    // Floats apart in their seventh digit are told apart.
    const QString mismatch = u"s_max validation error: send:74.3 recv:74.30001"_s;
    const QStringList expected{
        u"###### Test round 1 ######"_s, QString(),
        u"Test command 140 - indication range (1 cycles)..."_s, u"\tindicate_range_min: 0 | indicate_range_max: 14"_s,
        QString(), u"Test of command 140 completed."_s, u"No errors."_s, QString(),
        u"Test command 141 - range (1 cycles)..."_s, u"\tvalues - [14 | 0]"_s, u"\tvalues - [12.75 | 2.3]"_s, QString(),
        u"Test of command 141 completed."_s, u"No errors."_s, QString(),
        u"Test command 176 - Ei and S (1 cycles)..."_s, u"\tvalues - [100 | -100 | 74.3 | 50]"_s, u'\t' + mismatch,
        QString(), u"Test of command 176 completed."_s, dashes, u"1 errors: "_s + mismatch,
        u"total command 176 errors: 1"_s, QString(),
        u"Test command 133 - diagnostics (1 cycles)..."_s, u"\tvalues - [1]"_s, QString(),
        u"\twhen writing a values [1], an error occurred:"_s, u'\t' + refused, QString(),
        u"Test of command 133 completed."_s, dashes, u"1 errors: "_s + refused, u"total command 133 errors: 1"_s, QString(),
        u"Test command 130 - configuration (1 cycles)..."_s, u'\t' + refused, QString(),
        u"Test of command 130 completed."_s, dashes, u"1 errors: "_s + refused, u"total command 130 errors: 1"_s, QString(),
        u"Total round errors: 3"_s, QString(), u"2 errors: "_s + refused, u"1 errors: validation errors"_s};
    QCOMPARE(reportLines().mid(3), expected);
    QVERIFY(reportLines().at(1).startsWith(u"Test device %1 address:0x"_s.arg(device->name())));

    QCOMPARE(column(TestDeviceDialog::ErrorCountColumn),
             (QStringList{u"No errors."_s, u"No errors."_s, u"1"_s, u"1"_s, u"1"_s, u"3"_s}));
    QCOMPARE(column(TestDeviceDialog::ErrorTextColumn),
             (QStringList{QString(), QString(), u"1 errors: "_s + mismatch, u"1 errors: "_s + refused,
                          u"1 errors: "_s + refused, QString()}));
    QVERIFY(widget<QPushButton>("btnContinue")->isHidden());
}

void TestTestDeviceDialog::countErrorClassification_data()
{
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    const QString deviceError = u"Timeout error"_s;
    QTest::newRow("an empty text takes the device's error") << false << QString() << deviceError;
    QTest::newRow("a read-back failure: the device's error") << false << u"Checking cmd 7: Timeout error"_s << deviceError;
    QTest::newRow("a mismatch: validation errors") << false << u"tag validation error: send:A recv:B"_s
                                                   << u"validation errors"_s;
    QTest::newRow("a lower-case marker is no marker") << false << u"checking cmd 7: x"_s << u"checking cmd 7: x"_s;
    QTest::newRow("a capitalised marker is no marker") << false << u"Validation error"_s << u"Validation error"_s;
    QTest::newRow("Russian read-back failure") << true << u"Проверочная команда 7: Timeout error"_s << deviceError;
    QTest::newRow("Russian mismatch") << true << u"tag ошибка валидации: отправ:A получ:B"_s << u"ошибок валидации"_s;
}

void TestTestDeviceDialog::countErrorClassification()
{
    QFETCH(bool, russian);
    QFETCH(QString, text);
    QFETCH(QString, key);
    QTranslator translator;
    if (russian) {
        QVERIFY(translator.load(u":/lang/ru_ru.qm"_s));
        QCoreApplication::installTranslator(&translator);
    }
    openDialog();
    device->setLastErrorText(u"Timeout error"_s);
    dialog->countError(text);
    dialog->countError(text);
    QCoreApplication::removeTranslator(&translator);

    const QString line = text.isEmpty() ? device->lastErrorText() : text;
    QCOMPARE(dialog->m_roundErrorCount, 2);
    QCOMPARE(dialog->m_testErrorCount, 2);
    QCOMPARE(dialog->m_roundErrors, (QMap<QString, int>{{key, 2}}));
    QCOMPARE(dialog->m_testErrors, (QMap<QString, int>{{key, 2}}));
    QCOMPARE(dialog->m_commandErrors, (QMap<QString, int>{{line, 2}}));
    QCOMPARE(reportLines().last(), u'\t' + line);
}

void TestTestDeviceDialog::rounds_data()
{
    QTest::addColumn<int>("rounds");
    QTest::newRow("one round: no test summary") << 1;
    QTest::newRow("three rounds end with the test summary") << 3;
}

void TestTestDeviceDialog::rounds()
{
    QFETCH(int, rounds);
    openWith(ReadsTemplate, u"Reads"_s);
    start(rounds);

    const QStringList lines = reportLines();
    for (int round = 1; round <= rounds; ++round)
        QCOMPARE(lines.count(u"###### Test round %1 ######"_s.arg(round)), 1);
    QCOMPARE(lines.count(u"Total round errors: 0"_s), rounds);
    const QStringList testSummary{QString(20, QLatin1Char('_')), u"Total test errors: 0"_s, QString(),
                                  u" "_s, QString()};
    QCOMPARE(lines.mid(lines.size() - 5) == testSummary, rounds > 1);
    QCOMPARE(column(TestDeviceDialog::ErrorCountColumn).last(), u"0"_s);
    QVERIFY(widget<QPushButton>("btnContinue")->isHidden());
    QVERIFY(widget<QDialogButtonBox>("buttonBox")->button(QDialogButtonBox::Close)->isEnabled());
}

void TestTestDeviceDialog::cancelInRoundTwo_data()
{
    QTest::addColumn<QString>("resume");
    QTest::addColumn<int>("roundsAfterCancel");
    QTest::addColumn<int>("roundSummaries");
    QTest::addColumn<bool>("testSummary");
    QTest::newRow("Continue finishes round 2 and runs round 3") << u"btnContinue"_s << 3 << 3 << true;
    QTest::newRow("Start begins again at round 1") << u"btnStart"_s << 3 << 3 << true;
    QTest::newRow("Continue after lowering the rounds ends the test")
        << u"btnContinue"_s << 1 << 2 << false;
    QTest::newRow("the program ends: the run stops as after Cancel") << QString() << 3 << 1 << false;
}

void TestTestDeviceDialog::cancelInRoundTwo()
{
    QFETCH(QString, resume);
    QFETCH(int, roundsAfterCancel);
    QFETCH(int, roundSummaries);
    QFETCH(bool, testSummary);
    openWith(ReadsTemplate, u"Reads"_s);
    // Cancel in the second cycle of round 2's first step, as a person would press the button.
    int readsInRoundTwo = 0;
    connect(device, &Device::modbusMessage, dialog.get(), [&](int, const QString &line) {
        if (dialog->m_roundIndex == 1 && line.contains(u"reading"_s) && ++readsInRoundTwo == 2)
            resume.isEmpty() ? dialog->abandon() : dialog->findChild<QProgressDialog *>()->cancel();
    });
    start(3);
    const QString interrupted = u" === Test of command 1 was interrupted. ==="_s;
    QCOMPARE(reportLines().count(u"Total round errors: 0"_s), 1);
    QVERIFY(reportLines().contains(interrupted));
    QVERIFY(widget<QPushButton>("btnContinue")->isVisible());
    if (resume.isEmpty())
        return;

    widget<QSpinBox>("spnCycles")->setValue(roundsAfterCancel);
    dialog->findChild<QPushButton *>(resume)->click();
    const QStringList lines = reportLines();
    QCOMPARE(lines.count(u"###### Test round 2 ######"_s), 1);
    QCOMPARE(lines.count(u"Total round errors: 0"_s), roundSummaries);
    QCOMPARE(lines.contains(interrupted), resume == u"btnContinue"_s);
    QCOMPARE(lines.contains(u"Total test errors: 0"_s), testSummary);
    QVERIFY(widget<QPushButton>("btnContinue")->isHidden());
    // The interrupted step's counted cycles were taken back, so the count ends at the maximum.
    QCOMPARE(dialog->m_progressCount, dialog->roundMaximum());
}

void TestTestDeviceDialog::cancelEndsLongWait()
{
    // Cancel pressed while the step waits its longest time after the read.
    openWith(generalTemplateWith("General", R"([{"number": 1, "delay": 99999}, {"number": 2}])"), u"T"_s);
    const int repliesBefore = sim->repliesSent();
    QElapsedTimer sinceReply;
    QElapsedTimer sinceCancel;
    QTimer press;
    connect(&press, &QTimer::timeout, dialog.get(), [&] {
        if (!sinceReply.isValid() && sim->repliesSent() > repliesBefore)
            sinceReply.start();
        if (sinceReply.isValid() && sinceReply.elapsed() >= 300 && !sinceCancel.isValid()) {
            sinceCancel.start();
            dialog->findChild<QProgressDialog *>()->findChild<QPushButton *>()->click();
        }
    });
    press.start(20);
    start(1);
    QVERIFY(sinceCancel.isValid());
    QVERIFY2(sinceCancel.elapsed() < 1000, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(reportLines().contains(u" === Test of command 1 was interrupted. ==="_s));
    for (const HartSimRequest &request : sim->requests())
        QVERIFY(request.command != 2);
}

void TestTestDeviceDialog::waitsAreBounded_data()
{
    QTest::addColumn<QVariant>("delay");
    QTest::addColumn<int>("ms");
    QTest::newRow("absent: the pause") << QVariant() << 25;
    QTest::newRow("own wait") << QVariant(qlonglong(40)) << 40;
    QTest::newRow("zero: the pause") << QVariant(qlonglong(0)) << 25;
    QTest::newRow("negative: the pause, not 49 days") << QVariant(qlonglong(-1)) << 25;
    QTest::newRow("huge: the longest wait") << QVariant(qlonglong(1) << 40) << TestDeviceDialog::MaxWaitMs;
    QTest::newRow("a text: the pause") << QVariant(u"soon"_s) << 25;
}

void TestTestDeviceDialog::waitsAreBounded()
{
    QFETCH(QVariant, delay);
    QFETCH(int, ms);
    openDialog();
    widget<QSpinBox>("spnPause")->setValue(25);
    if (delay.isValid())
        dialog->m_currentStep.insert(u"delay"_s, delay);
    QCOMPARE(dialog->waitTime(u"delay"_s), ms);
}

void TestTestDeviceDialog::hugeCyclesAreBounded()
{
    openWith(generalTemplateWith("General", R"([{"number": 1, "cycles": -2147483648}, {"number": 2, "cycles": 1e12},
                                                {"number": 3, "cycles": -3}])"), u"T"_s);
    QCOMPARE(column(TestDeviceDialog::CyclesColumn).first(), QString::number(INT_MIN));
    QCOMPARE(dialog->rowCycles(0), TestDeviceDialog::MaxCycles);
    QCOMPARE(dialog->rowCycles(2), 3);
    QCOMPARE(dialog->roundMaximum(), 2 * TestDeviceDialog::MaxCycles + 3);
}

void TestTestDeviceDialog::stepReportLines_data()
{
    QTest::addColumn<QByteArray>("steps");
    QTest::addColumn<QList<quint8>>("sent");
    QTest::addColumn<QStringList>("reportLines");   // the indented lines of the report; "%e": the device's error
    QTest::addColumn<QString>("model");
    QTest::addColumn<QList<quint8>>("refused");   // commands the device answers with an error code
    QTest::addColumn<float>("pv");                 // as the device answers it, and its lower range value
    QTest::addColumn<bool>("polled");              // a poller stores 99 as PV while the step waits
    const QString outside = u"\tCommand number %1 is outside 0-255; nothing was sent"_s;
    QTest::newRow("a read of 300") << QByteArray(R"([{"number": 300}])") << QList<quint8>()
                                   << QStringList{outside.arg(300)} << u"General"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a write of -1") << QByteArray(R"([{"number": -1, "parameters": {"tag": ["A"]}}])")
                                   << QList<quint8>()
                                   << QStringList{u"\tvalues - [A]"_s, u"\twhen writing a values [A], an error occurred:"_s,
                                                  outside.arg(-1)} << u"General"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a read-back by 256")
        << QByteArray(R"([{"number": 6, "parameters": {"polling_address": [0]}, "read_cmd": 256}])")
        << QList<quint8>{6} << QStringList{u"\tvalues - [0]"_s, outside.arg(256)} << u"General"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a text where a value list belongs")
        << QByteArray(R"([{"number": 18, "parameters": {"tag": "TEST"}}])") << QList<quint8>() << QStringList()
        << u"General"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a text where a print list belongs") << QByteArray(R"([{"number": 1, "print": "PV"}])")
                                                       << QList<quint8>{1} << QStringList() << u"General"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a maker command of a Zorvan-M says why") << QByteArray(R"([{"number": 140}])") << QList<quint8>()
        << QStringList{u"\tCommand 140 is not supported by this device model"_s} << u"Zorvan-M"_s << QList<quint8>() << 21.5f << false;
    QTest::newRow("a refused read, write or read-back prints dashes, not a value the device did not answer")
        << QByteArray(R"([{"number": 1}, {"number": 3, "cycles": 2, "print": ["PV"]}, {"number": 17, "parameters":
           {"message": ["M"]}, "print": ["message"]}, {"number": 6, "parameters": {"polling_address": [0]},
           "read_cmd": 7, "print": ["polling_address", "PV"]}])") << QList<quint8>{1, 3, 3, 17, 6, 7}
        << QStringList{u"\t%e"_s, u"\tPV: ----"_s, u"\t%e"_s, u"\tPV: ----"_s, u"\tvalues - [M]"_s,
                       u"\twhen writing a values [M], an error occurred:"_s, u"\t%e"_s, u"\tmessage: ----"_s,
                       u"\tvalues - [0]"_s, u"\tChecking cmd 7: %e"_s, u"\tpolling_address: ---- | PV: ----"_s}
        << u"General"_s << QList<quint8>{3, 17, 7} << 21.5f << false;
    QTest::newRow("a variable answered as NaN prints dashes") << QByteArray(R"([{"number": 1, "print": ["PV"]}])")
        << QList<quint8>{1} << QStringList{u"\tPV: ----"_s} << u"General"_s << QList<quint8>() << float(qQNaN()) << false;
    QTest::newRow("a write beside a range value answered as NaN sends nothing and counts an error")
        << QByteArray(R"([{"number": 15}, {"number": 35, "parameters": {"range_max": [100]}}])") << QList<quint8>{15}
        << QStringList{u"\tvalues - [100]"_s, u"\twhen writing a values [100], an error occurred:"_s, u"\tCommand 35 was not "
           "sent: the value of range_min is not a number (NaN or infinity)."_s} << u"General"_s << QList<quint8>() << float(qQNaN()) << false;
    QTest::newRow("a poller's reading is not printed as the cycle's") << QByteArray(R"([{"number": 1, "print": ["PV"]}])")
        << QList<quint8>{1} << QStringList{u"\tPV: 21.5"_s} << u"General"_s << QList<quint8>() << 21.5f << true;
}

void TestTestDeviceDialog::stepReportLines()
{
    QFETCH(QByteArray, steps);
    QFETCH(QList<quint8>, sent);
    QFETCH(QStringList, reportLines);
    QFETCH(QString, model);
    QFETCH(QList<quint8>, refused);
    QFETCH(float, pv);
    sim->updateDevice(0, [pv](HartSimDevice &d) { d.values.insert({{u"PV"_s, pv}, {u"range_min"_s, pv}}); });
    for (quint8 command : refused)
        sim->setHandler(command, refuse);
    openWith(generalTemplateWith(model.toLatin1().constData(), steps.constData()), u"T"_s, model);
    QFETCH(bool, polled);
    // The poller's reading lands once the step's read is over and the step waits.
    if (polled) {
        connect(device->port(), &Port::lineReleased, dialog.get(), [this] { device->setParameter(u"PV"_s, 99.0f); },
                Qt::QueuedConnection);
    }
    sim->clearRequests();
    start(1);
    QList<quint8> commands;
    for (const HartSimRequest &request : sim->requests())
        commands.append(request.command);
    QCOMPARE(commands, sent);
    QCOMPARE(this->reportLines().filter(QRegularExpression(u"^\\t"_s)),
             reportLines.replaceInStrings(u"%e"_s, device->lastErrorText()));
}

void TestTestDeviceDialog::startAndCloseDuringRunAreRefused()
{
    openWith(ReadsTemplate, u"Reads"_s);
    bool tried = false;
    connect(device, &Device::modbusMessage, dialog.get(), [&] {
        if (std::exchange(tried, true))
            return;
        widget<QPushButton>("btnStart")->click();
        dialog->reject();
    });
    start(1);
    QVERIFY(tried);
    QVERIFY(prompts->requests.isEmpty());
    QVERIFY(dialog->isVisible());
    const QStringList lines = reportLines();
    QCOMPARE(lines.count(u"###### Test round 1 ######"_s), 1);
    QCOMPARE(lines.count(u"Total round errors: 0"_s), 1);
}

void TestTestDeviceDialog::commandZeroKeepsTheRecord()
{
    // Whether the test ends or is cancelled after it, a command-0 step answered by the device's
    // own instrument leaves the rest of the record (here the tag) as it was.
    openWith(generalTemplateWith("General", R"([{"number": 0}])"), u"T"_s);
    device->setParameter(u"tag"_s, u"TT7"_s);
    start(1);
    QCOMPARE(device->parameterString(u"tag"_s), u"TT7"_s);
}

void TestTestDeviceDialog::saveAs_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("source");   // the file the destination must equal afterwards
    QTest::newRow("onto itself keeps the template") << u"Reads"_s << u"tests/reads.tpl"_s
                                                    << u"tests/reads.tpl"_s;
    QTest::newRow("an embedded template is copied writable")
        << u"Тест записи в прибор Зорван-Т"_s << u"copy.tpl"_s
        << u":/tests/Zorvan.tpl"_s;
}

void TestTestDeviceDialog::saveAs()
{
    QFETCH(QString, description);
    QFETCH(QString, destination);
    QFETCH(QString, source);
    QVERIFY(TestFiles::write(u"tests/reads.tpl"_s, ReadsTemplate));
    const QByteArray original = TestFiles::read(source);
    openDialog(description == QLatin1String("Reads") ? u"General"_s : u"Zorvan-M"_s);
    chooseTemplate(description);
    prompts->answerText(workDir->filePath(destination));
    widget<QPushButton>("btnSaveAs")->click();
    QCOMPARE(prompts->requests.size(), 1);
    QCOMPARE(TestFiles::read(workDir->filePath(destination)), original);
    QVERIFY(QFileInfo(workDir->filePath(destination)).isWritable());
}

void TestTestDeviceDialog::saveReport_data()
{
    QTest::addColumn<QString>("answer");   // empty: the chooser is cancelled
    QTest::addColumn<bool>("saved");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("saved") << u"report.txt"_s << true;
    QTest::newRow("a folder cannot take the report") << u"tests"_s << false;
}

void TestTestDeviceDialog::saveReport()
{
    QFETCH(QString, answer);
    QFETCH(bool, saved);
    QDir().mkpath(u"tests"_s);
    openDialog();
    dialog->writeReportHeader();
    widget<QLineEdit>("txtFilename")->setText(u"before"_s);
    if (answer.isEmpty())
        prompts->answerCancel();
    else
        prompts->answerText(workDir->filePath(answer));
    widget<QPushButton>("btnSaveReport")->click();

    const Prompt::Request chooser = prompts->requests.first();
    QVERIFY(QRegularExpression(u"^%1/Available_read_functions__0x264E123456_\\d{6}_\\d{4}\\.txt$"_s
                                   .arg(QRegularExpression::escape(QDir::currentPath())))
                .match(chooser.path).hasMatch());
    const bool failed = !answer.isEmpty() && !saved;
    QCOMPARE(prompts->requests.size(), failed ? 2 : 1);
    if (failed)
        QVERIFY(prompts->requests.last().text.startsWith(u"Cannot open file for writing data: "_s));
    QCOMPARE(widget<QLineEdit>("txtFilename")->text(), saved ? workDir->filePath(answer) : u"before"_s);
    if (saved)
        QCOMPARE(TestFiles::read(answer), widget<QPlainTextEdit>("txtReport")->toPlainText().toUtf8());
    QVERIFY(widget<QPushButton>("btnSaveReport")->isEnabled());
}

void TestTestDeviceDialog::checkUncheckHide_data()
{
    QTest::addColumn<QStringList>("actions");   // "untick N", "hide", "check all", "uncheck all"
    QTest::addColumn<QList<int>>("hiddenRows");
    QTest::addColumn<bool>("startEnabled");
    QTest::newRow("unticking keeps the row") << QStringList{u"untick 0"_s} << QList<int>() << true;
    QTest::newRow("hiding hides unticked rows") << QStringList{u"untick 0"_s, u"hide"_s}
                                                << QList<int>{0} << true;
    QTest::newRow("unticked while hidden disappears") << QStringList{u"hide"_s, u"untick 1"_s}
                                                      << QList<int>{1} << true;
    QTest::newRow("uncheck all while hidden hides every step")
        << QStringList{u"hide"_s, u"uncheck all"_s} << QList<int>{0, 1} << false;
    QTest::newRow("check all shows every row again")
        << QStringList{u"hide"_s, u"uncheck all"_s, u"check all"_s}
        << QList<int>() << true;
}

void TestTestDeviceDialog::checkUncheckHide()
{
    QFETCH(QStringList, actions);
    QFETCH(QList<int>, hiddenRows);
    QFETCH(bool, startEnabled);
    openWith(ReadsTemplate, u"Reads"_s);
    auto *table = widget<QTableWidget>("tableWidget");
    for (const QString &action : actions) {
        if (action.startsWith(QLatin1String("untick")))
            table->item(action.section(QLatin1Char(' '), 1).toInt(), 0)->setCheckState(Qt::Unchecked);
        else if (action == QLatin1String("hide"))
            widget<QPushButton>("btnHiddenUnchecked")->click();
        else
            widget<QPushButton>(action == QLatin1String("check all") ? "btnCheckAll" : "btnUncheckAll")->click();
    }
    QList<int> hidden;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->isRowHidden(row))
            hidden.append(row);
    }
    QCOMPARE(hidden, hiddenRows);
    QCOMPARE(widget<QPushButton>("btnStart")->isEnabled(), startEnabled);
    const bool hiding = widget<QPushButton>("btnHiddenUnchecked")->isChecked();
    QCOMPARE(widget<QPushButton>("btnHiddenUnchecked")->text(),
             hiding ? u"Show unchecked rows"_s : u"Hidden unchecked rows"_s);
}

void TestTestDeviceDialog::parameterView()
{
    openWith(GeneralTemplate, u"General test"_s);
    auto *table = widget<QTableWidget>("tableWidget");
    emit table->itemDoubleClicked(table->item(0, TestDeviceDialog::ValuesColumn));   // a read step: nothing
    emit table->itemDoubleClicked(table->item(1, TestDeviceDialog::ContextColumn));  // not the values: nothing
    emit table->itemDoubleClicked(table->item(1, TestDeviceDialog::ValuesColumn));
    QCOMPARE(prompts->requests.size(), 1);
    const Prompt::Request view = prompts->requests.first();
    QCOMPARE(view.title, u"Values"_s);
    QCOMPARE(view.text, u"range:\n\nrange_max: 74.3, 100\nrange_min: 0, -80\nrange_unit_code: 32, 32, 7"_s);
    QCOMPARE(view.buttons, QMessageBox::StandardButtons(QMessageBox::Cancel));
}

void TestTestDeviceDialog::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Yes closes") << int(QMessageBox::Yes) << true;
    QTest::newRow("Cancel keeps the dialog") << int(QMessageBox::Cancel) << false;
}

void TestTestDeviceDialog::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    openDialog();
    prompts->answerButton(QMessageBox::StandardButton(answer));
    widget<QDialogButtonBox>("buttonBox")->button(QDialogButtonBox::Close)->click();
    QCOMPARE(prompts->requests.first().text, u"Do you want to exit from test?"_s);
    QCOMPARE(prompts->requests.first().buttons, QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(dialog->isVisible(), !closed);
}

void TestTestDeviceDialog::openFrom_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("cancelled changes nothing") << false;
    QTest::newRow("a chosen folder is stored and read") << true;
}

void TestTestDeviceDialog::openFrom()
{
    QFETCH(bool, chosen);
    QVERIFY(TestFiles::write(u"other/reads.tpl"_s, ReadsTemplate));
    openDialog();
    const QString before = AppSettings::instance()->testsPath;
    QSignalSpy changed(dialog.get(), &TestDeviceDialog::changed);
    if (chosen)
        prompts->answerText(workDir->filePath(u"other"_s));
    else
        prompts->answerCancel();
    widget<QPushButton>("btnOpenFrom")->click();
    QCOMPARE(prompts->requests.first().path, before);
    QCOMPARE(changed.count(), chosen ? 1 : 0);
    QCOMPARE(AppSettings::instance()->testsPath, chosen ? workDir->filePath(u"other"_s) : before);
    QCOMPARE(widget<QComboBox>("cmbTemplates")->count(), chosen ? 2 : 1);
    QCOMPARE(widget<QComboBox>("cmbTemplates")->currentIndex(), 0);
}

// A laptop's screen, 1366 x 768, which every window must fit.
int main(int argc, char *argv[])
{
    QTemporaryDir screens;
    const QString config = screens.filePath(u"screens.json"_s);
    TestFiles::write(config, R"({"screens": [{"name": "laptop", "width": 1366, "height": 768, "logicalDpi": 96}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication application(argc, argv);
    TestTestDeviceDialog test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_testdevicedialog.moc"
