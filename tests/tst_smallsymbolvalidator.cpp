#include "widgets/smallsymbolvalidator.h"

#include <QLineEdit>
#include <QPalette>
#include <QtTest>

// How a text reaches the field: typed key by key, pasted at the cursor, or set by the program.
enum class Entry { Typed, Pasted, Set };
Q_DECLARE_METATYPE(Entry)

class TestSmallSymbolValidator : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();

private:
    static QColor background(const QWidget &widget) { return widget.palette().color(QPalette::Window); }
};

static QString packedAsciiWithoutQuote()
{
    QString text;
    for (char16_t c = u' '; c <= u'_'; ++c) {
        if (c != u'"')
            text += QChar(c);
    }
    return text;
}

void TestSmallSymbolValidator::entries_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");

    const QColor white(Qt::white);
    const QColor magenta(Qt::magenta);

    QTest::newRow("small letters typed become capitals") << "" << Entry::Typed << "tag1" << "TAG1" << white;
    QTest::newRow("double quote typed is refused") << "AB" << Entry::Typed << "\"" << "AB" << magenta;
    QTest::newRow("opening brace is refused") << "AB" << Entry::Typed << "{" << "AB" << magenta;
    QTest::newRow("closing brace is refused") << "AB" << Entry::Typed << "}" << "AB" << magenta;
    QTest::newRow("characters above the underscore are refused") << "" << Entry::Typed << "`|~" << "" << magenta;
    QTest::newRow("accepted keystroke after a refused one turns white") << "" << Entry::Typed << "\"a" << "A" << white;
    QTest::newRow("cyrillic letter is refused") << "AB" << Entry::Pasted << QStringLiteral("я") << "AB" << magenta;
    QTest::newRow("latin-1 letter is refused") << "AB" << Entry::Pasted << QStringLiteral("é") << "AB" << magenta;
    QTest::newRow("packed ASCII set without the quote is accepted")
        << "" << Entry::Pasted << packedAsciiWithoutQuote() << packedAsciiWithoutQuote() << white;
    QTest::newRow("backslash and apostrophe are accepted") << "" << Entry::Typed << "a\\'b" << "A\\'B" << white;
    QTest::newRow("deleting the whole text is accepted") << "AB" << Entry::Typed << "\b\b" << "" << white;
    QTest::newRow("program text in small letters shows in capitals") << "" << Entry::Set << "pt-100" << "PT-100" << white;
    QTest::newRow("program text with a refused character stays as set")
        << "" << Entry::Set << "pt{1}" << "pt{1}" << magenta;
}

void TestSmallSymbolValidator::entries()
{
    QFETCH(QString, initial);
    QFETCH(Entry, entry);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(QColor, colour);

    QLineEdit field;
    field.setValidator(new SmallSymbolValidator(&field));
    field.setText(initial);

    switch (entry) {
    case Entry::Typed:
        for (const QChar c : input) {
            if (c == u'\b')
                QTest::keyClick(&field, Qt::Key_Backspace);
            else
                QTest::keyClicks(&field, QString(c));
        }
        break;
    case Entry::Pasted:
        field.insert(input);
        break;
    case Entry::Set:
        field.setText(input);
        break;
    }

    QCOMPARE(field.text(), text);
    QCOMPARE(background(field), colour);
}

QTEST_MAIN(TestSmallSymbolValidator)
#include "tst_smallsymbolvalidator.moc"
