#include "widgets/logwidget.h"

#include "filesizelimit.h"
#include "promptrecorder.h"
#include "testfiles.h"
#include "tempworkdir.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTranslator>
#include <QtTest>

namespace {

// Holds the log in a parent, the way the editors and the test dialog do.
struct Pane
{
    QWidget parent;
    LogWidget *log = new LogWidget(&parent);

    QPlainTextEdit *text() const { return log->findChild<QPlainTextEdit *>(QStringLiteral("modbusLogTextEdit")); }
    QSpinBox *lines() const { return log->findChild<QSpinBox *>(QStringLiteral("spnLines")); }
    QLineEdit *search() const { return log->findChild<QLineEdit *>(QStringLiteral("txtSearch")); }
    QPushButton *button(const char *name) const { return log->findChild<QPushButton *>(QLatin1String(name)); }

    QStringList shownLines() const { return text()->toPlainText().split(QLatin1Char('\n')); }
    void appendLines(int count) const
    {
        for (int i = 1; i <= count; ++i)
            log->appendLogMessage(0, QStringLiteral("line %1").arg(i));
    }
};

} // namespace

class TestLogWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void appendedMessage_data();
    void appendedMessage();
    void linesLimit_data();
    void linesLimit();
    void searchButtonsFollowText();
    void search_data();
    void search();
    void clearKeepsLimit();
    void save_data();
    void save();
    void languageChange();
};

void TestLogWidget::init()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("No matching signal")));
}

void TestLogWidget::appendedMessage_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("error note after text starts its own line")
        << "RX 06 80 *** timeout" << QStringList{"RX 06 80 ", "*** timeout"};
    QTest::newRow("two error notes give three lines")
        << "TX 02 80 ***first***second" << QStringList{"TX 02 80 ", "***first", "***second"};
    QTest::newRow("message starting with an error note stays whole")
        << "*** no answer *** retry" << QStringList{"*** no answer *** retry"};
    QTest::newRow("message without error note is unchanged") << "### RX 06 80 00" << QStringList{"### RX 06 80 00"};
    QTest::newRow("line breaks of the message start lines") << "one\ntwo" << QStringList{"one", "two"};
}

void TestLogWidget::appendedMessage()
{
    QFETCH(QString, message);
    QFETCH(QStringList, lines);

    Pane pane;
    pane.log->appendLogMessage(0, QStringLiteral("before"));
    pane.log->appendLogMessage(0, message);

    QCOMPARE(pane.shownLines(), QStringList{"before"} + lines);
    QVERIFY(pane.text()->textCursor().atEnd());
    QVERIFY(!pane.text()->textCursor().hasSelection());
}

void TestLogWidget::linesLimit_data()
{
    QTest::addColumn<int>("requested");  // 0: the limit after construction
    QTest::addColumn<int>("limit");

    QTest::newRow("default limit drops the 5001st line's oldest") << 0 << 5000;
    QTest::newRow("limit of the test dialog") << 10000 << 10000;
    QTest::newRow("limit below the minimum is raised to it") << 100 << 5000;
}

void TestLogWidget::linesLimit()
{
    QFETCH(int, requested);
    QFETCH(int, limit);

    Pane pane;
    if (requested)
        pane.log->setLinesLimit(requested);
    QCOMPARE(pane.lines()->value(), limit);

    pane.appendLines(limit + 1);
    QCOMPARE(pane.text()->document()->blockCount(), limit);
    QCOMPARE(pane.text()->document()->firstBlock().text(), QStringLiteral("line 2"));
    QCOMPARE(pane.text()->document()->lastBlock().text(), QStringLiteral("line %1").arg(limit + 1));
}

void TestLogWidget::searchButtonsFollowText()
{
    Pane pane;
    QPushButton *up = pane.button("btnSearchUp");
    QPushButton *down = pane.button("btnSearchDown");
    QVERIFY(!up->isEnabled() && !down->isEnabled());

    QTest::keyClick(pane.search(), Qt::Key_A);
    QVERIFY(up->isEnabled() && down->isEnabled());

    QTest::keyClick(pane.search(), Qt::Key_Backspace);
    QVERIFY(!up->isEnabled() && !down->isEnabled());
}

void TestLogWidget::search_data()
{
    QTest::addColumn<QString>("presses");     // "<" up, ">" down
    QTest::addColumn<QList<int>>("selected"); // line of the selection after each press, -1 for none

    QTest::newRow("up walks to the first line and stops there") << "<<<<" << QList<int>{2, 1, 0, 0};
    QTest::newRow("down after up goes down again") << "<<<>>" << QList<int>{2, 1, 0, 1, 2};
    QTest::newRow("down from the end finds nothing and does not wrap") << ">" << QList<int>{-1};
    QTest::newRow("down stops at the last match") << "<<>>" << QList<int>{2, 1, 2, 2};
}

void TestLogWidget::search()
{
    QFETCH(QString, presses);
    QFETCH(QList<int>, selected);

    Pane pane;
    pane.log->appendLogMessage(0, QStringLiteral("TX 02 80 Key 00"));
    pane.log->appendLogMessage(0, QStringLiteral("RX 06 80 KEY 01"));
    pane.log->appendLogMessage(0, QStringLiteral("RX 06 80 key 02"));
    pane.search()->setText(QStringLiteral("kEy"));

    for (int i = 0; i < presses.size(); ++i) {
        QTest::mouseClick(pane.button(presses.at(i) == u'<' ? "btnSearchUp" : "btnSearchDown"), Qt::LeftButton);
        const QTextCursor cursor = pane.text()->textCursor();
        const int line = cursor.hasSelection() ? cursor.block().blockNumber() : -1;
        QCOMPARE(line, selected.at(i));
        if (cursor.hasSelection())
            QCOMPARE(cursor.selectedText().toLower(), QStringLiteral("key"));
    }
}

void TestLogWidget::clearKeepsLimit()
{
    Pane pane;
    pane.log->setLinesLimit(10000);
    pane.appendLines(3);

    QTest::mouseClick(pane.button("btnClear"), Qt::LeftButton);

    QVERIFY(pane.text()->toPlainText().isEmpty());
    QCOMPARE(pane.lines()->value(), 10000);
    QCOMPARE(pane.text()->document()->maximumBlockCount(), 10000);
}

void TestLogWidget::save_data()
{
    QTest::addColumn<QString>("target");        // chosen file; empty: the dialog is cancelled
    QTest::addColumn<QByteArray>("before");     // the file before the save; null: none
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("after");      // the file after the save; null: none
    QTest::addColumn<bool>("warned");

    const QByteArray saved("### TX 02 80 00\n*** no answer");
    const QByteArray old("earlier log");

    QTest::newRow("log saved as lines joined by line feeds") << "saved.log" << QByteArray() << false << saved << false;
    QTest::newRow("existing file replaced") << "saved.log" << old << false << saved << false;
    QTest::newRow("cancelled dialog writes nothing") << "" << QByteArray() << false << QByteArray() << false;
    QTest::newRow("folder that does not exist is reported")
        << "missing/saved.log" << QByteArray() << false << QByteArray() << true;
    QTest::newRow("write failing part-way is reported and keeps the earlier file")
        << "saved.log" << old << true << old << true;
}

void TestLogWidget::save()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, before);
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, after);
    QFETCH(bool, warned);

    TempWorkDir workDir;
    const QString path = workDir.filePath(target);
    if (!before.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    Pane pane;
    pane.log->appendLogMessage(0, QStringLiteral("### TX 02 80 00"));
    pane.log->appendLogMessage(0, QStringLiteral("*** no answer"));

    PromptRecorder prompts;
    if (target.isEmpty())
        prompts.answerCancel();
    else
        prompts.answerText(path);
    {
        std::unique_ptr<FileSizeLimit> limit(diskFull ? new FileSizeLimit(8) : nullptr);
        QTest::mouseClick(pane.button("btnSaveAs"), Qt::LeftButton);
    }

    QCOMPARE(prompts.requests.size(), warned ? 2 : 1);
    const Prompt::Request &dialog = prompts.requests.first();
    QCOMPARE(dialog.kind, Prompt::SaveFile);
    QCOMPARE(dialog.title, QStringLiteral("Save As..."));
    QCOMPARE(dialog.path, QDir::currentPath() + QLatin1Char('/'));
    QCOMPARE(dialog.filter, QStringLiteral("Logs (*.log);;All files (*)"));
    if (warned) {
        const Prompt::Request &warning = prompts.requests.last();
        QCOMPARE(warning.kind, Prompt::Warning);
        QCOMPARE(warning.title, QStringLiteral("Save report"));
        QVERIFY2(warning.text.startsWith(QStringLiteral("Cannot open file for writing log: ")), qPrintable(warning.text));
        QVERIFY2(warning.text.size() > 34, "the reason is missing");
        QCOMPARE(warning.buttons, QMessageBox::StandardButtons(QMessageBox::Cancel));
    }
    if (!target.isEmpty())
        QCOMPARE(QFile::exists(path), !after.isNull());
    if (!after.isNull())
        QCOMPARE(TestFiles::read(path), after);
    QVERIFY(pane.button("btnSaveAs")->isEnabled());
    QCOMPARE(QDir(workDir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), after.isNull() ? 0 : 1);
}

void TestLogWidget::languageChange()
{
    Pane pane;
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));

    // Without a running event loop the application does not pass the change on by itself.
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::installTranslator(&russian);
    QCoreApplication::sendEvent(pane.log, &change);
    QCOMPARE(pane.log->findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("Строк:"));
    QCOMPARE(pane.log->findChild<QLabel *>(QStringLiteral("label_2"))->text(), QStringLiteral("Найти:"));
    QCOMPARE(pane.button("btnSearchUp")->toolTip(), QStringLiteral("Искать вверх"));
    QCOMPARE(pane.button("btnSearchDown")->toolTip(), QStringLiteral("Искать вниз"));
    QCOMPARE(pane.button("btnClear")->text(), QStringLiteral("Очистить журнал"));
    QCOMPARE(pane.button("btnSaveAs")->text(), QStringLiteral("Сохранить как..."));

    QCoreApplication::removeTranslator(&russian);
    QCoreApplication::sendEvent(pane.log, &change);
    QCOMPARE(pane.button("btnClear")->text(), QStringLiteral("Clear"));
}

QTEST_MAIN(TestLogWidget)
#include "tst_logwidget.moc"
