#include "editor/commandwidget.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QTest>

#include <memory>

// The arbitrary-command page against the simulated slave: what goes on the line, the request
// buffer's editing, and decoding the answer by hand and by mask.
class TestCommandWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sentRequest_data();
    void sentRequest();
    void sizeLimits_data();
    void sizeLimits();
    void selectionIsReplacedOrInsertedInto();
    void manualDecodersStayInsideTheAnswer();
    void statusBytesOfThePagesOwnSend();
    void mask_data();
    void mask();

private:
    void fillBuffer(int size);
    void choose(int entryData);
    void answerWith(const QByteArray &data);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
    std::unique_ptr<CommandWidget> m_page;
};

void TestCommandWidget::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    m_sim->addDevice(HartSimDevice(0));
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("line"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    m_device = port->createDevice(QStringLiteral("General"));
    port->insertChild(-1, m_device);
    m_page = std::make_unique<CommandWidget>();
    m_page->onDeviceChanged(m_device);
    m_page->onUpdateButtons(true);
}

void TestCommandWidget::cleanup()
{
    m_page.reset();
    m_server.reset();
    m_sim.reset();
}

void TestCommandWidget::fillBuffer(int size)
{
    m_page->btnClearBuffer->click();
    for (int i = 0; i < size; ++i) {
        m_page->txtByte->setText(QString::number(i + 1));
        m_page->btnAddByte->click();
    }
}

void TestCommandWidget::choose(int entryData)
{
    m_page->cmbCmdContext->setCurrentIndex(m_page->cmbCmdContext->findData(entryData));
}

void TestCommandWidget::answerWith(const QByteArray &data)
{
    m_sim->setHandler(200, [data](HartSimDevice &, const QByteArray &) {
        HartSimResponse response;
        response.data = data;
        return response;
    });
    choose(-1);
    m_page->spnCommandNumber->setValue(200);
    m_page->btnClearBuffer->click();
    m_page->btnSendCustomCmd->click();
    QCOMPARE(m_page->answer(), data);
}

void TestCommandWidget::sentRequest_data()
{
    QTest::addColumn<int>("entry");   // item data of the list entry; -1 is "custom"
    QTest::addColumn<int>("number");  // typed after choosing "custom"
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("bufferSent");
    QTest::newRow("a known read never sends the buffer") << 3 << 0 << 2 << 3 << false;
    QTest::newRow("a command with a read and a write name goes as a read") << 48 << 0 << 2 << 48 << false;
    QTest::newRow("a write sends the buffer") << 34 << 0 << 4 << 34 << true;
    QTest::newRow("custom with an empty buffer reads") << -1 << 3 << 0 << 3 << false;
    QTest::newRow("custom sends the buffer with a known number") << -1 << 3 << 2 << 3 << true;
    QTest::newRow("custom sends an unknown number with the buffer") << -1 << 201 << 3 << 201 << true;
}

void TestCommandWidget::sentRequest()
{
    QFETCH(int, entry);
    QFETCH(int, number);
    QFETCH(int, bufferSize);
    QFETCH(int, command);
    QFETCH(bool, bufferSent);
    fillBuffer(bufferSize);
    choose(entry);
    QCOMPARE(m_page->isCustom(), entry == -1);
    if (entry == -1)
        m_page->spnCommandNumber->setValue(number);
    m_page->btnSendCustomCmd->click();
    const HartSimRequest request = m_sim->requests().last();
    QCOMPARE(int(request.command), command);
    QCOMPARE(request.data, bufferSent ? m_page->requestBuffer() : QByteArray());
}

void TestCommandWidget::sizeLimits_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("a zero byte up to 32") << 31 << "btnPlus" << QString() << 32;
    QTest::newRow("no zero byte past 32") << 32 << "btnPlus" << QString() << 32;
    QTest::newRow("a typed byte up to 64") << 63 << "btnAddByte" << QString() << 64;
    QTest::newRow("no typed byte past 64") << 64 << "btnAddByte" << QString() << 64;
    QTest::newRow("a float up to 64") << 60 << "btnAddFloat" << QString() << 64;
    QTest::newRow("no float past 64") << 61 << "btnAddFloat" << QString() << 61;
    QTest::newRow("packed text up to 63") << 39 << "btnAddText" << QString(32, QLatin1Char('A')) << 63;
    QTest::newRow("no packed text to 64") << 40 << "btnAddText" << QString(32, QLatin1Char('A')) << 40;
    QTest::newRow("five characters padded and packed into 6 bytes") << 0 << "btnAddText" << "ABCDE" << 6;
    QTest::newRow("no Latin-1 text to 64") << 59 << "btnAddLatin1Text" << "ABCDE" << 59;
}

void TestCommandWidget::sizeLimits()
{
    QFETCH(int, size);
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, expected);
    fillBuffer(size);
    m_page->txtAscii->setText(text);
    m_page->findChild<QPushButton *>(button)->click();
    QCOMPARE(int(m_page->requestBuffer().size()), expected);
    QCOMPARE(m_page->lbLen->text(), QString::number(expected));
}

void TestCommandWidget::selectionIsReplacedOrInsertedInto()
{
    fillBuffer(5);   // 01 02 03 04 05
    auto selectThirdAndFourth = [this] {
        m_page->txtCmd->setSelection(6, 5);   // "03 04"
        m_page->txtCmd->deselect();           // as when the field loses the focus
    };
    selectThirdAndFourth();
    m_page->txtByte->setText(QStringLiteral("0xFF"));
    m_page->btnAddByte->click();
    QCOMPARE(m_page->requestBuffer(), QByteArray::fromHex("0102FF05"));
    QCOMPARE(m_page->txtCmd->text(), QStringLiteral("01 02 FF 05"));

    fillBuffer(5);
    selectThirdAndFourth();
    m_page->btnPlus->click();
    QCOMPARE(m_page->requestBuffer(), QByteArray::fromHex("010200030405"));
    m_page->btnPlus->click();   // the selection is used once
    QCOMPARE(m_page->requestBuffer(), QByteArray::fromHex("01020003040500"));
}

void TestCommandWidget::manualDecodersStayInsideTheAnswer()
{
    answerWith(QByteArray::fromHex("414800000102C1C2C3"));
    m_page->btnGetFloat->click();
    QCOMPARE(m_page->txtFloatE->text(), QStringLiteral("1.250000E+01"));
    m_page->spnOffsetFloat->setValue(7);   // two bytes left: the rest reads as 0
    m_page->btnGetFloat->click();
    QCOMPARE(m_page->txtFloatE->text(), QStringLiteral("%1").arg(double(Port::getFloatFromBufferByOffset(
                                                                     QByteArray::fromHex("C2C30000"), 0)), 0, 'E', 6));
    m_page->spnOffsetInt->setValue(8);
    m_page->spnSize->setValue(2);
    m_page->btnGetInt->click();
    QCOMPARE(m_page->txtIntValue->text(), QStringLiteral("49920"));   // C3 00
    m_page->spnOffsetText->setValue(6);
    m_page->spnLen->setValue(99);
    m_page->btnGetText->click();
    QCOMPARE(m_page->txtUnpack->text(), m_device->port()->unpackAscii(QByteArray::fromHex("C1C2C3")));
    answerWith(QByteArray::fromHex("00000000000000FF800000"));   // minus infinity at 7: no number, nor the limit
    m_page->btnGetFloat->click();
    QCOMPARE(m_page->dspnValue->text() + m_page->txtFloatE->text(), QStringLiteral("--------"));
}

void TestCommandWidget::statusBytesOfThePagesOwnSend()
{
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.deviceStatus = 0x40; });
    choose(1);
    m_page->btnSendCustomCmd->click();
    QCOMPARE(m_page->txtStatus->text(), QStringLiteral("00 40"));
}

void TestCommandWidget::mask_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("error");
    const QByteArray bytes = QByteArray::fromHex("010203");
    const QByteArray hint = QByteArray::fromHex("07000100414800000000") + QByteArray::fromHex("0420C41461C8");
    QTest::newRow("empty mask") << "" << bytes << "" << "";
    QTest::newRow("blanks only") << "   " << bytes << "" << "";
    QTest::newRow("three bytes") << "b b b" << bytes << "1 | 2 | 3 | " << "";
    QTest::newRow("upper-case type, two blanks") << "B  b" << bytes << "1 | 2 | " << "";
    QTest::newRow("byte past the end is 0") << "3b" << bytes << "0 | " << "";
    QTest::newRow("3-byte int") << "i" << QByteArray::fromHex("000100") << "256 | " << "";
    QTest::newRow("4-byte int is signed") << "i4" << QByteArray::fromHex("FFFFFFFE") << "-2 | " << "";
    QTest::newRow("2-byte int is unsigned") << "i2" << QByteArray::fromHex("FFFE") << "65534 | " << "";
    QTest::newRow("float") << "f" << QByteArray::fromHex("41480000") << "12.500000 | " << "";
    QTest::newRow("float past the end") << "2f" << bytes << "0.000000 | " << "";
    QTest::newRow("a NaN float as the dashes") << "f" << QByteArray::fromHex("7FC00000") << "---- | " << "";
    QTest::newRow("hint's first example") << "b i f 10t6" << hint << "7 | 256 | 12.500000 | ABCDEFGH | " << "";
    QTest::newRow("hint's second example") << "f 7f b" << QByteArray::fromHex("41480000000000414800000A")
                                           << "12.500000 | 12.500000 | 10 | " << "";
    QTest::newRow("offset and ignored length") << "1b2 b" << bytes << "2 | 3 | " << "";
    QTest::newRow("text takes only the bytes there") << "t6" << hint.mid(10, 3) << "ABCD | " << "";
    QTest::newRow("second letter") << "f7f" << bytes << "" << "Invalid lenght char";
    QTest::newRow("unknown type") << "b x" << bytes << "1 | " << "Invalid type char";
    QTest::newRow("sign before the type") << "-5b" << bytes << "" << "Invalid type char";
    QTest::newRow("digits only") << "12" << bytes << "" << "Invalid type char";
    QTest::newRow("text without length") << "t" << bytes << "" << "Invalid text lenght";
    QTest::newRow("text of length 0") << "4t0" << bytes << "" << "Invalid text lenght";
    QTest::newRow("error in the third token") << "b b q" << bytes << "1 | 2 | " << "Invalid type char";
    QTest::newRow("overflowing offset digits") << "b 99999999999b" << bytes << "1 | " << "Offset or length above 255";
    QTest::newRow("length above 255") << "i256" << bytes << "" << "Offset or length above 255";
}

void TestCommandWidget::mask()
{
    QFETCH(QString, mask);
    QFETCH(QByteArray, answer);
    QFETCH(QString, result);
    QFETCH(QString, error);
    answerWith(answer);
    m_page->txtMask->setText(mask);
    m_page->btnParsing->click();
    QCOMPARE(m_page->txtResult->text(), result);
    QCOMPARE(m_page->lbMaskError->text(), error);
    const QColor colour = m_page->txtMask->palette().color(QPalette::Active, QPalette::Text);
    QCOMPARE(colour, error.isEmpty() ? QColor(Qt::black) : QColor(Qt::red));
}

QTEST_MAIN(TestCommandWidget)
#include "tst_commandwidget.moc"
