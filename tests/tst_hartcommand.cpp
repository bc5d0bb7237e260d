#include "hartcomm/hartcommand.h"

#include <QTranslator>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A slave reply as it comes off the line, with the check byte computed here.
QByteArray replyFrame(int preambles, const QByteArray &address, quint8 command, const QByteArray &statusAndData)
{
    QByteArray frame(preambles, char(0xFF));
    QByteArray body;
    body.append(char(address.size() == 5 ? 0x86 : 0x06));
    body.append(address);
    body.append(char(command));
    body.append(char(statusAndData.size()));
    body.append(statusAndData);
    quint8 check = 0;
    for (const char byte : body)
        check ^= quint8(byte);
    return frame + body + char(check);
}

QStringList capturedLines;

void captureLine(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLines.append(message);
}

// The log lines of the given level that the parser wrote while parsing the bytes.
QStringList parseLogLines(const QByteArray &bytes, int level)
{
    capturedLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureLine);
    {
        HartCommand reply;
        reply.fromByteArray(bytes, false);
    }
    qInstallMessageHandler(previous);
    const QString levelMark = QStringLiteral("__DEBUGQT_PREFIX__ %1 ").arg(level);
    return capturedLines.filter(levelMark);
}

} // namespace

class TestHartCommand : public QObject
{
    Q_OBJECT

private slots:
    void requestFrame_data();
    void requestFrame();
    void defaultFrameIsCommandZeroToPollingAddressZero();
    void oversizedRequestIsRefused_data();
    void oversizedRequestIsRefused();
    void checksumOfTooShortArrayIsZero();
    void addressParts();

    void parse_data();
    void parse();
    void strayBytesAreWarnedAbout();
    void masterFrameAheadOfReply_data();
    void masterFrameAheadOfReply();

    void checkAnswer_data();
    void checkAnswer();

    void checkStatus_data();
    void checkStatus();
    void checkStatusKeepsEarlierErrorWhenAllIsWell();
    void checkStatusTwiceGivesSameTexts();
    void everyStatusTextHasRussian();

    void reverseByteGroups_data();
    void reverseByteGroups();
    void mapBytesByDigits_data();
    void mapBytesByDigits();
    void swapCharPairs_data();
    void swapCharPairs();
};

void TestHartCommand::requestFrame_data()
{
    QTest::addColumn<int>("preambles");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("primary");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("command 0 to polling address 0, primary master")
        << 5 << hex("00") << 0 << QByteArray() << true << hex("FFFFFFFFFF02800000" "82");
    QTest::newRow("short address keeps low bits, burst bit cleared")
        << 5 << hex("45") << 3 << QByteArray() << true << hex("FFFFFFFFFF02850300" "84");
    QTest::newRow("short address from secondary master")
        << 5 << hex("C5") << 3 << QByteArray() << false << hex("FFFFFFFFFF02050300" "04");
    QTest::newRow("long address, primary master")
        << 5 << hex("264E123456") << 1 << QByteArray() << true << hex("FFFFFFFFFF82A64E1234560100" "1B");
    QTest::newRow("long address, secondary master")
        << 5 << hex("264E123456") << 1 << QByteArray() << false << hex("FFFFFFFFFF82264E1234560100" "9B");
    QTest::newRow("data bytes count and enter the check byte")
        << 3 << hex("01") << 6 << hex("0A0B") << true << hex("FFFFFF028106020A0B" "86");
    QTest::newRow("three-byte address is cut to a short frame")
        << 5 << hex("112233") << 1 << QByteArray() << true << hex("FFFFFFFFFF02910100" "92");
    QTest::newRow("seven-byte address is cut to a long frame")
        << 2 << hex("264E1234567788") << 1 << QByteArray() << true << hex("FFFF82A64E1234560100" "1B");
    QTest::newRow("empty address, primary master") << 1 << QByteArray() << 0 << QByteArray() << true
                                                   << hex("FF02800000" "82");
    QTest::newRow("empty address, secondary master") << 1 << QByteArray() << 0 << QByteArray() << false
                                                     << hex("FF02000000" "02");
    QTest::newRow("no preambles") << 0 << hex("00") << 0 << QByteArray() << true << hex("02800000" "82");
    QTest::newRow("negative preamble count acts as none") << -3 << hex("00") << 0 << QByteArray() << true
                                                          << hex("02800000" "82");
}

void TestHartCommand::requestFrame()
{
    QFETCH(int, preambles);
    QFETCH(QByteArray, address);
    QFETCH(int, command);
    QFETCH(QByteArray, data);
    QFETCH(bool, primary);
    QFETCH(QByteArray, frame);

    const HartCommand request(nullptr, preambles, address, quint8(command), data, primary);
    QCOMPARE(request.toByteArray().toHex(' '), frame.toHex(' '));
    QVERIFY(request.status().isEmpty());
    QVERIFY(request.errorText().isEmpty());
}

void TestHartCommand::defaultFrameIsCommandZeroToPollingAddressZero()
{
    const HartCommand reply;
    const HartCommand request(nullptr, 5, quint8(0), 0, QByteArray(), true);
    QCOMPARE(reply.toByteArray(), hex("FFFFFFFFFF0280000082"));
    QCOMPARE(request.toByteArray(), hex("FFFFFFFFFF0280000082"));
    QCOMPARE(request.address(), hex("80"));
    QCOMPARE(request.delimiter(), quint8(0x02));
}

void TestHartCommand::oversizedRequestIsRefused_data()
{
    QTest::addColumn<int>("dataSize");
    QTest::addColumn<bool>("built");

    QTest::newRow("255 data bytes fill the byte count") << 255 << true;
    QTest::newRow("256 data bytes would wrap the byte count to 0") << 256 << false;
    QTest::newRow("300 data bytes would wrap the byte count to 44") << 300 << false;
}

void TestHartCommand::oversizedRequestIsRefused()
{
    QFETCH(int, dataSize);
    QFETCH(bool, built);

    const HartCommand request(nullptr, 5, quint8(1), 130, QByteArray(dataSize, '\x11'), true);
    const QByteArray frame = request.toByteArray();
    QCOMPARE(!frame.isEmpty(), built);
    QCOMPARE(request.errorText().isEmpty(), built);
    if (built) {
        QCOMPARE(frame.size(), 5 + 4 + dataSize + 1);
        QCOMPARE(quint8(frame.at(8)), quint8(dataSize));
    } else {
        QVERIFY(request.errorText().contains(QString::number(dataSize)));
        QVERIFY(request.toByteArrayNoChecksum().isEmpty());
    }
}

void TestHartCommand::checksumOfTooShortArrayIsZero()
{
    const HartCommand frame(nullptr, 3, quint8(0), 0, QByteArray(), true);
    QCOMPARE(frame.calculateChecksum(hex("FFFFFF02")), quint8(0));
    QCOMPARE(frame.calculateChecksum(QByteArray()), quint8(0));
    QCOMPARE(frame.calculateChecksum(hex("FFFFFF0280")), quint8(0x02));
}

void TestHartCommand::addressParts()
{
    const HartCommand longFrame(nullptr, 5, hex("264E123456"), 0, QByteArray(), true);
    QCOMPARE(longFrame.manufacturerIdByte(), quint8(0xA6));
    QCOMPARE(longFrame.deviceTypeByte(), quint8(0x4E));
    QCOMPARE(longFrame.deviceIdBytes(), hex("123456"));

    const HartCommand shortFrame(nullptr, 5, quint8(3), 0, QByteArray(), true);
    QCOMPARE(shortFrame.manufacturerIdByte(), quint8(0));
    QCOMPARE(shortFrame.deviceTypeByte(), quint8(0));
    QVERIFY(shortFrame.deviceIdBytes().isEmpty());
}

void TestHartCommand::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ackOnly");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("preambles");
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("data");

    const QString none;
    QTest::newRow("seven bytes are too few even for a valid frame")
        << hex("FFFF06800000" "86") << false << false
        << QStringLiteral("*** Invalid message size for command parsing: 7") << 0 << 0 << QByteArray()
        << QByteArray();
    QTest::newRow("eight bytes are too few") << hex("FFFFFF06800000" "86") << false << false
                                             << QStringLiteral("*** Invalid message size for command parsing: 8")
                                             << 0 << 0 << QByteArray() << QByteArray();
    QTest::newRow("byte count 0 goes straight to the check byte")
        << hex("FFFFFFFFFF06800000" "86") << false << true << none << 5 << 0 << QByteArray() << QByteArray();
    QTest::newRow("status and data")
        << hex("FFFFFFFFFF06800304 0000AABB 90") << false << true << none << 5 << 3 << hex("0000") << hex("AABB");
    QTest::newRow("long reply") << replyFrame(5, hex("A64E123456"), 1, hex("0000 07")) << false << true << none
                                << 5 << 1 << hex("0000") << hex("07");
    QTest::newRow("stray bytes before the frame are skipped")
        << hex("1234") + replyFrame(3, hex("80"), 3, hex("0000AABB")) << false << true << none << 3 << 3
        << hex("0000") << hex("AABB");
    QTest::newRow("a single preamble starts over")
        << hex("FF06") + replyFrame(2, hex("80"), 3, hex("0040")) << false << true << none << 2 << 3
        << hex("0040") << QByteArray();
    QTest::newRow("two preambles before a master delimiter, no further frame")
        << hex("FFFF02800000821122") << false << false << QStringLiteral("*** Start of message not found!") << 2
        << 0 << QByteArray() << QByteArray();
    QTest::newRow("bytes after the check byte are ignored")
        << replyFrame(5, hex("80"), 0, hex("0000")) + hex("FFFF1234") << false << true << none << 5 << 0
        << hex("0000") << QByteArray();
    QTest::newRow("byte count 1 is invalid") << hex("FFFFFFFFFF0680000100" "87") << false << false
                                             << QStringLiteral("*** Invalid dataLength (=1)") << 5 << 0
                                             << QByteArray() << QByteArray();
    QTest::newRow("wrong check byte") << hex("FFFFFFFFFF06800304 0000AABB 91") << false << false
                                      << QStringLiteral("*** Checksum is wrong!") << 5 << 3 << hex("0000")
                                      << QByteArray();
    QTest::newRow("input stops inside the data") << hex("FFFFFFFFFF06800304 0000AA") << false << false
                                                 << QStringLiteral("*** Unexpected end of message!") << 5 << 3
                                                 << hex("0000") << hex("AA00");
    QTest::newRow("only preambles") << QByteArray(12, char(0xFF)) << false << false
                                    << QStringLiteral("*** Start of message not found!") << 0 << 0
                                    << QByteArray() << QByteArray();
    QTest::newRow("only noise") << hex("0102030405060708090A") << false << false
                                << QStringLiteral("*** Start of message not found!") << 0 << 0 << QByteArray()
                                << QByteArray();
    QTest::newRow("master delimiter after five preambles fails at once")
        << hex("FFFFFFFFFF02800000" "82") + replyFrame(5, hex("80"), 0, hex("0000")) << false << false
        << QStringLiteral("*** Invalid delimiter: 02") << 5 << 0 << QByteArray() << QByteArray();
}

void TestHartCommand::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ackOnly);
    QFETCH(bool, parsed);
    QFETCH(QString, error);
    QFETCH(int, preambles);
    QFETCH(int, command);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, data);

    HartCommand reply;
    QCOMPARE(reply.fromByteArray(bytes, ackOnly), parsed);
    QCOMPARE(reply.errorText(), error);
    QCOMPARE(reply.step() == 8, parsed);
    if (bytes.size() <= 8) {
        // Nothing was touched: the frame still is the one the constructor made.
        QCOMPARE(reply.delimiter(), quint8(0x02));
        QCOMPARE(reply.preamblesCount(), 5);
        return;
    }
    if (error.isEmpty() || !error.contains(QLatin1String("not found")))
        QCOMPARE(reply.preamblesCount(), preambles);
    QCOMPARE(int(reply.command()), command);
    QCOMPARE(reply.status().toHex(' '), status.toHex(' '));
    QCOMPARE(reply.data().toHex(' '), data.toHex(' '));
}

void TestHartCommand::strayBytesAreWarnedAbout()
{
    const QStringList warnings = parseLogLines(hex("1234") + replyFrame(3, hex("80"), 3, hex("0000")), 2);
    QCOMPARE(warnings.size(), 2);
    QVERIFY(warnings.at(0).endsWith(QLatin1String("*** Unexpected start of message:  12 ")));
    QVERIFY(warnings.at(1).endsWith(QLatin1String("*** Unexpected start of message:  34 ")));

    // A skipped master frame: every byte after its delimiter that is not a preamble is stray.
    const QByteArray echo = hex("FFFFFFFFFF02820300" "83");
    QCOMPARE(parseLogLines(hex("55") + echo + replyFrame(5, hex("80"), 3, hex("0000")), 2).size(), 1 + 4);
}

void TestHartCommand::masterFrameAheadOfReply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ackOnly");

    const QByteArray echo = hex("FFFFFFFFFF02820300" "83");
    const QByteArray reply = replyFrame(4, hex("82"), 3, hex("0000 0102"));
    QTest::newRow("acknowledge-only skips the echoed request") << echo + reply << true;
    QTest::newRow("after a stray byte the echoed request is skipped") << hex("55") + echo + reply << false;
}

void TestHartCommand::masterFrameAheadOfReply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ackOnly);

    HartCommand reply;
    QVERIFY(reply.fromByteArray(bytes, ackOnly));
    QVERIFY(reply.restarted());
    QCOMPARE(reply.delimiter(), quint8(0x06));
    QCOMPARE(reply.preamblesCount(), 4);
    QCOMPARE(reply.address(), hex("82"));
    QCOMPARE(reply.data(), hex("0102"));
}

void TestHartCommand::checkAnswer_data()
{
    QTest::addColumn<QByteArray>("requestAddress");
    QTest::addColumn<int>("requestCommand");
    QTest::addColumn<QByteArray>("replyAddress");
    QTest::addColumn<int>("replyCommand");
    QTest::addColumn<QString>("error");

    const QString none;
    QTest::newRow("same address and command") << hex("00") << 3 << hex("80") << 3 << none;
    QTest::newRow("burst bit set by the device") << hex("00") << 3 << hex("C0") << 3 << none;
    QTest::newRow("burst bit on a long address") << hex("264E123456") << 1 << hex("E64E123456") << 1 << none;
    QTest::newRow("other polling address") << hex("00") << 3 << hex("81") << 3
                                           << QStringLiteral("*** address check error: 80 / 81");
    QTest::newRow("burst bit does not excuse another address")
        << hex("00") << 3 << hex("C1") << 3 << QStringLiteral("*** address check error: 80 / c1");
    QTest::newRow("reply to the secondary master") << hex("00") << 3 << hex("00") << 3
                                                   << QStringLiteral("*** address check error: 80 / 00");
    QTest::newRow("other long address") << hex("264E123456") << 1 << hex("A64E123457") << 1
                                        << QStringLiteral("*** address check error: a64e123456 / a64e123457");
    QTest::newRow("other command") << hex("00") << 3 << hex("80") << 1
                                   << QStringLiteral("*** command number check error:  3 / 1");
    QTest::newRow("long reply to a short request") << hex("00") << 3 << hex("A64E123456") << 3
                                                   << QStringLiteral("*** start delimiter check error:  02 / 86");
    QTest::newRow("short reply to a long request") << hex("264E123456") << 3 << hex("80") << 3
                                                   << QStringLiteral("*** start delimiter check error:  82 / 06");
}

void TestHartCommand::checkAnswer()
{
    QFETCH(QByteArray, requestAddress);
    QFETCH(int, requestCommand);
    QFETCH(QByteArray, replyAddress);
    QFETCH(int, replyCommand);
    QFETCH(QString, error);

    HartCommand request(nullptr, 5, requestAddress, quint8(requestCommand), QByteArray(), true);
    HartCommand reply;
    QVERIFY(reply.fromByteArray(replyFrame(5, replyAddress, quint8(replyCommand), hex("0000")), false));
    const QByteArray addressBefore = reply.address();

    QCOMPARE(request.checkAnswer(reply), error.isEmpty());
    QCOMPARE(request.errorText(), error);
    QCOMPARE(reply.address(), addressBefore);
}

void TestHartCommand::checkStatus_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("verdict");
    QTest::addColumn<QStringList>("statusTexts");
    QTest::addColumn<QString>("error");

    const QString none;
    const auto codeError = [](int code, const char *text) {
        return QStringLiteral("Command error (error code %1): ").arg(code) + QLatin1String(text);
    };

    QTest::newRow("all clear") << hex("0000") << 3 << true << QStringList() << none;
    QTest::newRow("no status bytes") << QByteArray() << 3 << true << QStringList() << none;
    QTest::newRow("device status bits in table order")
        << hex("0041") << 3 << true
        << QStringList{QStringLiteral("*** Configuration changed"),
                       QStringLiteral("*** Primary variable out of limits")}
        << none;
    QTest::newRow("field device malfunction still delivers")
        << hex("0080") << 3 << true << QStringList{QStringLiteral("*** Field device malfunction")} << none;
    QTest::newRow("communication error: checksum")
        << hex("8800") << 3 << false << QStringList() << QStringLiteral("Communication error: *** checksum error");
    QTest::newRow("communication errors run together")
        << hex("C200") << 3 << false << QStringList()
        << QStringLiteral("Communication error: *** parity error*** receive buffer overflow error");
    QTest::newRow("communication error bits 0x04 and 0x01 have no text")
        << hex("8500") << 3 << false << QStringList() << QStringLiteral("Communication error: ");
    QTest::newRow("code 1 is an unknown code") << hex("0100") << 3 << false << QStringList()
                                               << codeError(1, "*** unknown error code: 1 hex: 01");
    QTest::newRow("code 7 write protection") << hex("0700") << 3 << false << QStringList()
                                             << codeError(7, "*** write protection mode set");
    QTest::newRow("code 5 ignores the device status") << hex("0580") << 3 << false << QStringList()
                                                      << codeError(5, "*** too few data bytes have been received");
    QTest::newRow("code 8 on command 48 is a note")
        << hex("0800") << 48 << true << QStringList{QStringLiteral("*** update in progress")} << codeError(8, "");
    QTest::newRow("code 8 on command 138 is a note")
        << hex("0800") << 138 << true << QStringList{QStringLiteral("*** linearization point not used")}
        << codeError(8, "");
    QTest::newRow("code 8 on command 141 is a note")
        << hex("0800") << 141 << true
        << QStringList{QStringLiteral("*** temperature is different from previous value at this point")}
        << codeError(8, "");
    QTest::newRow("code 8 on other commands fails with a status text")
        << hex("0800") << 3 << false << QStringList{QStringLiteral("*** incorrect input signal type selected")}
        << codeError(8, "");
    QTest::newRow("code 9 on command 35")
        << hex("0900") << 35 << false << QStringList()
        << codeError(9, "*** the lower range limit greater of maximum allowable value");
    QTest::newRow("code 9 on command 46") << hex("0900") << 46 << false << QStringList()
                                          << codeError(9, "*** incorrect fixed current value");
    QTest::newRow("code 9 on command 133") << hex("0900") << 133 << false << QStringList()
                                           << codeError(9, "*** number of decimal places is too large");
    QTest::newRow("code 9 on other commands") << hex("0900") << 1 << false << QStringList()
                                              << codeError(9, "*** value set is too large");
    QTest::newRow("code 10 on command 35 has two blanks")
        << hex("0A00") << 35 << false << QStringList()
        << codeError(10, "*** the lower range limit less of minimum  allowable value");
    QTest::newRow("code 10 on command 37") << hex("0A00") << 37 << false << QStringList()
                                           << codeError(10, "*** PV value is less of lower range limit");
    QTest::newRow("code 10 on other commands") << hex("0A00") << 1 << false << QStringList()
                                               << codeError(10, "*** value set is too small");
    QTest::newRow("code 11 on command 40") << hex("0B00") << 40 << false << QStringList()
                                           << codeError(11, "*** current output off - device in multidrop mode");
    QTest::newRow("code 11 on command 41") << hex("0B00") << 41 << false << QStringList()
                                           << codeError(11, "*** loop Current Not Active (Device in Multidrop Mode)");
    QTest::newRow("code 12 on command 6") << hex("0C00") << 6 << false << QStringList()
                                          << codeError(12, "*** current output mode incorrect selection");
    QTest::newRow("code 12 on command 35 has two blanks")
        << hex("0C00") << 35 << false << QStringList()
        << codeError(12, "*** the upper range value less of minimum  allowable value");
    QTest::newRow("code 12 on command 192") << hex("0C00") << 192 << false << QStringList()
                                            << codeError(12, "*** saved factory settings are missing");
    QTest::newRow("code 12 on other commands") << hex("0C00") << 3 << false << QStringList()
                                               << codeError(12, "*** unrecognized error 12");
    QTest::newRow("code 14 is a note for any command")
        << hex("0E00") << 3 << true
        << QStringList{QStringLiteral("*** the minimum range is too small - impaired accuracy")} << codeError(14, "");
    QTest::newRow("code 32 device busy") << hex("2000") << 3 << false << QStringList()
                                         << codeError(32, "*** device is busy");
    QTest::newRow("code 64 not implemented") << hex("4000") << 3 << false << QStringList()
                                             << codeError(64, "*** command not implemented");
    QTest::newRow("code 65 is an unknown code") << hex("4100") << 3 << false << QStringList()
                                                << codeError(65, "*** unknown error code: 65 hex: 41");
    QTest::newRow("code 127 is an unknown code") << hex("7F00") << 3 << false << QStringList()
                                                 << codeError(127, "*** unknown error code: 127 hex: 7f");
}

void TestHartCommand::checkStatus()
{
    QFETCH(QByteArray, status);
    QFETCH(int, command);
    QFETCH(bool, verdict);
    QFETCH(QStringList, statusTexts);
    QFETCH(QString, error);

    HartCommand reply;
    QVERIFY(reply.fromByteArray(replyFrame(5, hex("80"), quint8(command), status), false));
    QCOMPARE(reply.checkStatus(), verdict);
    QCOMPARE(reply.statusTexts(), statusTexts);
    QCOMPARE(reply.errorText(), error);
}

void TestHartCommand::checkStatusKeepsEarlierErrorWhenAllIsWell()
{
    HartCommand reply;
    QVERIFY(!reply.fromByteArray(hex("FFFFFFFFFF0680000100" "87"), false));
    QVERIFY(reply.fromByteArray(replyFrame(5, hex("80"), 3, hex("0040")), false));
    QVERIFY(reply.checkStatus());
    QCOMPARE(reply.errorText(), QStringLiteral("*** Invalid dataLength (=1)"));
}

void TestHartCommand::checkStatusTwiceGivesSameTexts()
{
    HartCommand reply;
    QVERIFY(reply.fromByteArray(replyFrame(5, hex("80"), 3, hex("0041")), false));
    QVERIFY(reply.checkStatus());
    const QStringList first = reply.statusTexts();
    QVERIFY(reply.checkStatus());
    QCOMPARE(reply.statusTexts(), first);
    QCOMPARE(first.size(), 2);
}

// Every text the status check and the parser can give, in the program's default language: each
// "***" line of the error and status texts must be Russian.
void TestHartCommand::everyStatusTextHasRussian()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    QStringList english;
    const auto collect = [&](const QString &text) {
        for (const QString &line : text.split(QStringLiteral("***"), Qt::SkipEmptyParts)) {
            if (!line.contains(cyrillic))
                english.append(line);
        }
    };

    const auto statusBytes = [](int first, int second) { return QByteArray(1, char(first)) + char(second); };
    QList<QByteArray> statuses;
    for (int bit = 0x01; bit < 0x80; bit <<= 1)
        statuses << statusBytes(0x80 | bit, 0) << statusBytes(0, bit);
    statuses << statusBytes(0, 0x80);
    for (int code = 1; code < 0x80; ++code)
        statuses << statusBytes(code, 0);
    for (const int command : {3, 6, 35, 36, 38, 40, 45, 48, 133, 138, 141, 192}) {
        for (const QByteArray &status : std::as_const(statuses)) {
            HartCommand reply;
            QVERIFY(reply.fromByteArray(replyFrame(5, hex("80"), quint8(command), status), false));
            reply.checkStatus();
            collect(reply.errorText());
            collect(reply.statusTexts().join(QString()));
        }
    }
    for (const QByteArray &bytes : {hex("FFFF06800000" "86"), hex("0102030405060708090A"),
                                    hex("FFFFFFFFFF0680000100" "87"), hex("FFFFFFFFFF06800304 0000AABB 91"),
                                    hex("FFFFFFFFFF06800304 0000AA"), hex("FFFFFFFFFF02800000" "82")}) {
        HartCommand reply;
        QVERIFY(!reply.fromByteArray(bytes, false));
        collect(reply.errorText());
    }
    english.removeDuplicates();
    QVERIFY2(english.isEmpty(), qPrintable(english.join(QLatin1Char('|'))));
}

void TestHartCommand::reverseByteGroups_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("groupSize");
    QTest::addColumn<QByteArray>("result");

    QTest::newRow("one float") << hex("01020304") << 4 << hex("04030201");
    QTest::newRow("two floats") << hex("0102030405060708") << 4 << hex("0403020108070605");
    QTest::newRow("pairs") << hex("0102030405060708") << 2 << hex("0201040306050807");
    QTest::newRow("single bytes unchanged") << hex("0102030405060708") << 1 << hex("0102030405060708");
    QTest::newRow("size not a multiple") << hex("0102030405") << 4 << QByteArray();
    QTest::newRow("empty source") << QByteArray() << 4 << QByteArray();
    QTest::newRow("group size 0 is refused") << hex("01020304") << 0 << QByteArray();
    QTest::newRow("negative group size is refused") << hex("01020304") << -2 << QByteArray();
}

void TestHartCommand::reverseByteGroups()
{
    QFETCH(QByteArray, source);
    QFETCH(int, groupSize);
    QFETCH(QByteArray, result);

    QCOMPARE(::reverseByteGroups(source, groupSize), result);
}

void TestHartCommand::mapBytesByDigits_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("result");

    QTest::newRow("reverse") << hex("0A0B0C0D") << QStringLiteral("3210") << hex("0D0C0B0A");
    QTest::newRow("swap halves' bytes") << hex("0A0B0C0D") << QStringLiteral("1032") << hex("0B0A0D0C");
    QTest::newRow("short pattern keeps the rest") << hex("0A0B0C0D") << QStringLiteral("10") << hex("0B0A0C0D");
    QTest::newRow("pattern longer than the source") << hex("0A0B0C0D") << QStringLiteral("01234") << QByteArray();
    QTest::newRow("digit beyond the source is refused") << hex("0A0B0C0D") << QStringLiteral("0129")
                                                        << QByteArray();
    QTest::newRow("non-digit is refused") << hex("0A0B0C0D") << QStringLiteral("01x3") << QByteArray();
}

void TestHartCommand::mapBytesByDigits()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, pattern);
    QFETCH(QByteArray, result);

    QCOMPARE(::mapBytesByDigits(source, pattern), result);
}

void TestHartCommand::swapCharPairs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");

    const QChar zero(0);
    QTest::newRow("even") << QStringLiteral("abcd") << QStringLiteral("badc");
    QTest::newRow("odd gets a zero character")
        << QStringLiteral("abc") << QString(QStringLiteral("ba") + zero + QLatin1Char('c'));
    QTest::newRow("one character") << QStringLiteral("a") << QString(zero + QStringLiteral("a"));
    QTest::newRow("empty") << QString() << QString();
}

void TestHartCommand::swapCharPairs()
{
    QFETCH(QString, text);
    QFETCH(QString, result);

    QCOMPARE(::swapCharPairs(text), result);
}

QTEST_GUILESS_MAIN(TestHartCommand)
#include "tst_hartcommand.moc"
