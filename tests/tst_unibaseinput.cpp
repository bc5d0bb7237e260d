#include "widgets/unibaseinput.h"

#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Types text key by key; "\b" stands for the backspace key.
void type(QWidget *widget, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == u'\b')
            QTest::keyClick(widget, Qt::Key_Backspace);
        else
            QTest::keyClick(widget, c.toLatin1());
    }
}

QLocale localeNamed(const QString &name)
{
    return name == QLatin1String("C") ? QLocale::c() : QLocale(name);
}

} // namespace

// How a test puts the number into the field before it looks at the display.
enum class Setup { Signed, Unsigned, Float, Typed };
Q_DECLARE_METATYPE(Setup)

class TestUniBaseInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void typedInput_data();
    void typedInput();
    void emissionsOfLastKey_data();
    void emissionsOfLastKey();
    void display_data();
    void display();
    void setNegative_data();
    void setNegative();
    void decimalRangeFollowsTheHeldValue_data();
    void decimalRangeFollowsTheHeldValue();
};

void TestUniBaseInput::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestUniBaseInput::cleanup()
{
    QLocale::setDefault(QLocale::system());
}

void TestUniBaseInput::typedInput_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("base");
    QTest::addColumn<bool>("negative");

    QTest::newRow("minus seven is signed") << "C" << "-7" << false << "-7" << uint(-7) << 10 << true;
    QTest::newRow("plus seven is positive") << "C" << "+7" << false << "+7" << 7u << 10 << false;
    QTest::newRow("decimal above the int range is kept unsigned")
        << "C" << "3000000000" << false << "3000000000" << 3000000000u << 10 << false;
    QTest::newRow("largest unsigned decimal") << "C" << "4294967295" << false << "4294967295" << 4294967295u << 10
                                              << false;
    QTest::newRow("decimal wider than 32 bits reverts")
        << "C" << "42949672950" << false << "4294967295" << 4294967295u << 10 << false;
    QTest::newRow("decimal below the int range reverts")
        << "C" << "-21474836480" << false << "-2147483648" << 0x80000000u << 10 << true;
    QTest::newRow("long decimal paste reverts to the empty text")
        << "C" << "123456789012345678901234567890" << true << "" << 0u << 10 << false;
    QTest::newRow("0x prefix gives hexadecimal as typed") << "C" << "0x1F" << false << "0x1F" << 31u << 16 << false;
    QTest::newRow("bare 0x stores zero") << "C" << "0x" << false << "0x" << 0u << 16 << false;
    QTest::newRow("pasted h suffix with the top bit set is negative")
        << "C" << "FFFFFFFFh" << true << "FFFFFFFFh" << 0xFFFFFFFFu << 16 << true;
    QTest::newRow("hexadecimal wider than 32 bits reverts")
        << "C" << "0x1FFFFFFFF" << false << "0x1FFFFFFF" << 0x1FFFFFFFu << 16 << false;
    QTest::newRow("binary suffix") << "C" << "101b" << false << "101b" << 5u << 2 << false;
    QTest::newRow("lone b is binary zero") << "C" << "b" << false << "b" << 0u << 2 << false;
    QTest::newRow("pasted binary wider than 32 bits reverts")
        << "C" << QString(33, u'1') + u'b' << true << "" << 0u << 10 << false;
    QTest::newRow("hex letters without suffix revert") << "C" << "1A" << false << "1" << 1u << 10 << false;
    QTest::newRow("capital 0X is not understood and reverts") << "C" << "0X" << false << "0" << 0u << 10 << false;
    QTest::newRow("point in a point locale") << "C" << "2.5" << false << "2.5" << 0x40200000u << 10 << false;
    QTest::newRow("decimal comma in a point locale") << "C" << "1,5" << false << "1,5" << 0x3FC00000u << 10 << false;
    QTest::newRow("decimal comma in a comma locale")
        << "de_DE" << "1,5" << false << "1,5" << 0x3FC00000u << 10 << false;
    QTest::newRow("point cannot be typed in a comma locale") << "de_DE" << "1.5" << false << "15" << 15u << 10 << false;
    QTest::newRow("float beyond the float range reverts")
        << "C" << QString(40, u'9') + QStringLiteral(".5") << true << "" << 0u << 10 << false;
    QTest::newRow("lone minus stays and stores nothing") << "C" << "-" << false << "-" << 0u << 10 << false;
    QTest::newRow("clearing keeps the last number") << "C" << "5\b" << false << "" << 5u << 10 << false;
}

void TestUniBaseInput::typedInput()
{
    QFETCH(QString, locale);
    QFETCH(QString, keys);
    QFETCH(bool, pasted);
    QFETCH(QString, text);
    QFETCH(uint, value);
    QFETCH(int, base);
    QFETCH(bool, negative);

    QLocale::setDefault(localeNamed(locale));
    UniBaseInput field;
    if (pasted)
        field.insert(keys);
    else
        type(&field, keys);

    QCOMPARE(field.text(), text);
    QCOMPARE(field.unsignedValue(), value);
    QCOMPARE(field.base(), base);
    QCOMPARE(field.isNegative(), negative);
}

void TestUniBaseInput::emissionsOfLastKey_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("lastKey");
    QTest::addColumn<QStringList>("emitted");

    QTest::newRow("signed number: variant, then int") << "-" << "7" << QStringList{"variant int -7", "int -7"};
    QTest::newRow("number beyond int range travels as unsigned")
        << "300000000" << "0" << QStringList{"variant uint 3000000000", "int -1294967296"};
    QTest::newRow("hexadecimal with the top bit set is signed")
        << "0xFFFFFFF" << "F" << QStringList{"variant int -1", "int -1"};
    QTest::newRow("float emits only int, truncated toward zero") << "-2." << "7" << QStringList{"int -2"};
    QTest::newRow("huge float saturates the int") << "99999999999." << "5" << QStringList{"int 2147483647"};
    QTest::newRow("reverted overflow emits nothing") << "429496729" << "6" << QStringList{};
    QTest::newRow("lone minus emits nothing") << "" << "-" << QStringList{};
    QTest::newRow("clearing emits nothing") << "5" << "\b" << QStringList{};
}

void TestUniBaseInput::emissionsOfLastKey()
{
    QFETCH(QString, before);
    QFETCH(QString, lastKey);
    QFETCH(QStringList, emitted);

    UniBaseInput field;
    field.insert(before);
    QStringList log;
    connect(&field, qOverload<const QVariant &>(&UniBaseInput::valueChanged), &field, [&log](const QVariant &v) {
        log << QStringLiteral("variant %1 %2").arg(QString::fromLatin1(v.typeName()), v.toString());
    });
    connect(&field, qOverload<int>(&UniBaseInput::valueChanged), &field,
            [&log](int v) { log << QStringLiteral("int %1").arg(v); });
    type(&field, lastKey);

    QCOMPARE(log, emitted);
}

void TestUniBaseInput::display_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QVariant>("number");
    QTest::addColumn<int>("base");  // 0: leave the base alone
    QTest::addColumn<QStringList>("texts");  // shown after the setup, then after each Ctrl double click

    QTest::newRow("minus one cycles signed, unsigned, hexadecimal")
        << Setup::Signed << QVariant(-1) << 0 << QStringList{"-1", "4294967295", "0xFFFFFFFF", "-1"};
    QTest::newRow("five cycles decimal and hexadecimal") << Setup::Signed << QVariant(5) << 0
                                                         << QStringList{"5", "0x5", "5"};
    QTest::newRow("largest unsigned shows unsigned first")
        << Setup::Unsigned << QVariant(4294967295u) << 0
        << QStringList{"4294967295", "0xFFFFFFFF", "-1", "4294967295"};
    QTest::newRow("typed negative number cycles like a set one")
        << Setup::Typed << QVariant("-7") << 0 << QStringList{"-7", "4294967289", "0xFFFFFFF9", "-7"};
    QTest::newRow("typed hexadecimal goes back to decimal")
        << Setup::Typed << QVariant("0x1F") << 0 << QStringList{"0x1F", "31", "0x1F"};
    QTest::newRow("octal shows with o and does not toggle") << Setup::Signed << QVariant(8) << 8
                                                            << QStringList{"10o", "10o"};
    QTest::newRow("negative binary") << Setup::Signed << QVariant(-2) << 2 << QStringList{"-10b", "-10b"};
    QTest::newRow("float in base 10 does not toggle") << Setup::Float << QVariant(2.5f) << 10
                                                      << QStringList{"2.5", "2.5"};
    QTest::newRow("large float in exponent form") << Setup::Float << QVariant(1234567.0f) << 0
                                                  << QStringList{"1.23457e+06"};
    QTest::newRow("float bits shown in hexadecimal") << Setup::Float << QVariant(1.0f) << 16
                                                     << QStringList{"0x3F800000"};
}

void TestUniBaseInput::display()
{
    QFETCH(Setup, setup);
    QFETCH(QVariant, number);
    QFETCH(int, base);
    QFETCH(QStringList, texts);

    UniBaseInput field;
    QSignalSpy textSpy(&field, &QLineEdit::textChanged);
    QSignalSpy valueSpy(&field, qOverload<int>(&UniBaseInput::valueChanged));
    switch (setup) {
    case Setup::Signed:
        field.setValue(number.toInt());
        break;
    case Setup::Unsigned:
        field.setUnsignedValue(number.toUInt());
        break;
    case Setup::Float:
        field.setFloatValue(number.toFloat());
        break;
    case Setup::Typed:
        type(&field, number.toString());
        textSpy.clear();
        valueSpy.clear();
        break;
    }
    if (base)
        field.setBase(base);
    QCOMPARE(field.text(), texts.first());

    for (const QString &text : texts.mid(1)) {
        QTest::mouseDClick(&field, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(field.text(), text);
    }
    QCOMPARE(textSpy.count(), 0);
    QCOMPARE(valueSpy.count(), 0);
}

void TestUniBaseInput::setNegative_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text");

    QTest::newRow("positive value refuses the sign") << 3 << false << "3";
    QTest::newRow("zero takes the sign") << 0 << true << "0";
}

void TestUniBaseInput::setNegative()
{
    QFETCH(int, number);
    QFETCH(bool, taken);
    QFETCH(QString, text);

    UniBaseInput field;
    field.setValue(number);
    QCOMPARE(field.setNegative(true), taken);
    QCOMPARE(field.isNegative(), taken);
    QCOMPARE(field.text(), text);
}

void TestUniBaseInput::decimalRangeFollowsTheHeldValue_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("value");
    QTest::newRow("signed field keeps the int range and its text") << Setup::Signed << "-5" << uint(-5);
    QTest::newRow("unsigned field takes the unsigned range") << Setup::Unsigned << "3000000000" << 3000000000u;
}

void TestUniBaseInput::decimalRangeFollowsTheHeldValue()
{
    QFETCH(Setup, setup);
    QFETCH(QString, text);
    QFETCH(uint, value);

    UniBaseInput field;
    if (setup == Setup::Signed)
        field.setValue(-5);
    else
        field.setUnsignedValue(7);
    field.selectAll();
    field.insert(QStringLiteral("3000000000"));
    QCOMPARE(field.text(), text);
    QCOMPARE(field.unsignedValue(), value);
}

QTEST_MAIN(TestUniBaseInput)
#include "tst_unibaseinput.moc"
