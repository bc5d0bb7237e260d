#include "hartcomm/hartport.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestPackedAscii : public QObject
{
    Q_OBJECT

private slots:
    void pack_data();
    void pack();
    void unpack_data();
    void unpack();
    void roundTrip_data();
    void roundTrip();

private:
    HartPort m_port;
};

void TestPackedAscii::pack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("packed");

    QTest::newRow("tag with blanks") << QStringLiteral("M150 R7 ") << hex("371D70812DE0");
    QTest::newRow("1 character gives 1 byte") << QStringLiteral("A") << hex("04");
    QTest::newRow("2 characters give 2 bytes") << QStringLiteral("AB") << hex("0420");
    QTest::newRow("3 characters give 3 bytes") << QStringLiteral("ABC") << hex("0420C0");
    QTest::newRow("4 characters give 3 bytes") << QStringLiteral("ABCD") << hex("0420C4");
    QTest::newRow("5 characters give 4 bytes") << QStringLiteral("ABCDA") << hex("0420C404");
    QTest::newRow("8 blanks") << QStringLiteral("        ") << hex("820820820820");
    QTest::newRow("32 characters give 24 bytes")
        << QStringLiteral("ABCD").repeated(8) << hex("0420C4").repeated(8);
    QTest::newRow("33 characters are refused") << QStringLiteral("A").repeated(33) << QByteArray();
    QTest::newRow("empty text") << QString() << QByteArray();
    QTest::newRow("lower case is not folded") << QStringLiteral("a") << hex("84");
    QTest::newRow("Latin-1 letter packs by its low six bits") << QStringLiteral("\u00E9") << hex("A4");
    QTest::newRow("character outside Latin-1 packs as code 0") << QStringLiteral("\u0416B") << hex("0020");
}

void TestPackedAscii::pack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, packed);

    QCOMPARE(m_port.packAscii(text).toHex(' '), packed.toHex(' '));
}

void TestPackedAscii::unpack_data()
{
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<QString>("text");

    QTest::newRow("tag loses its trailing blank") << hex("371D70812DE0") << QStringLiteral("M150 R7");
    QTest::newRow("1 byte gives 1 character") << hex("04") << QStringLiteral("A");
    QTest::newRow("2 bytes give 2 characters") << hex("0420") << QStringLiteral("AB");
    QTest::newRow("3 bytes always give 4 characters") << hex("0420C0") << QStringLiteral("ABC@");
    QTest::newRow("full group") << hex("0420C4") << QStringLiteral("ABCD");
    QTest::newRow("8 blanks give an empty text") << hex("820820820820") << QString();
    QTest::newRow("all zero bytes give an empty text") << QByteArray(6, '\0') << QString();
    QTest::newRow("trailing zero bytes are dropped") << hex("0420C4000000") << QStringLiteral("ABCD");
    QTest::newRow("leading zero bytes are at signs") << hex("0000000420C4") << QStringLiteral("@@@@ABCD");
    QTest::newRow("24 bytes give 32 characters")
        << hex("0420C4").repeated(8) << QStringLiteral("ABCD").repeated(8);
    QTest::newRow("25 bytes are refused even with zeros at the end")
        << hex("0420C4").repeated(8) + QByteArray(1, '\0') << QString();
    QTest::newRow("exclamation mark") << hex("84") << QStringLiteral("!");
    QTest::newRow("empty buffer") << QByteArray() << QString();
}

void TestPackedAscii::unpack()
{
    QFETCH(QByteArray, packed);
    QFETCH(QString, text);

    QCOMPARE(m_port.unpackAscii(packed), text);
}

void TestPackedAscii::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("back");

    QTest::newRow("1 character") << QStringLiteral("Z") << QStringLiteral("Z");
    QTest::newRow("2 characters") << QStringLiteral("7-") << QStringLiteral("7-");
    QTest::newRow("3 characters come back with an at sign") << QStringLiteral("T1/") << QStringLiteral("T1/@");
    QTest::newRow("4 characters") << QStringLiteral("PT-1") << QStringLiteral("PT-1");
    QTest::newRow("8 characters padded tag") << QStringLiteral("TT 101  ") << QStringLiteral("TT 101");
    QTest::newRow("32 characters of the whole set")
        << QStringLiteral("@AZ[\\]^_ !\"#$%&'()*+,-./09:;<=>?") << QStringLiteral("@AZ[\\]^_ !\"#$%&'()*+,-./09:;<=>?");
    QTest::newRow("33 characters are lost") << QStringLiteral("ABCDEFGH").repeated(4) + QLatin1Char('I') << QString();
}

void TestPackedAscii::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, back);

    QCOMPARE(m_port.unpackAscii(m_port.packAscii(text)), back);
}

QTEST_GUILESS_MAIN(TestPackedAscii)
#include "tst_packedascii.moc"
