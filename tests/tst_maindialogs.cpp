#include "mainwindow/deviceadddialog.h"
#include "mainwindow/helpviewer.h"
#include "mainwindow/settingsdialog.h"
#include "promptrecorder.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTest>
#include <QTranslator>

// The main window's small dialogs: the template chooser, the settings dialog and the help viewer.
class TestMainDialogs : public QObject
{
    Q_OBJECT

private slots:
    void okFollowsTheTicks();
    void selectionIsOrderedByName();
    void logFlagsRoundTrip_data();
    void logFlagsRoundTrip();
    void secondaryMasterAndUnshownFields();
    void russianKeepsMasterNamesInEnglish();
    void fontLabel();
    void guideDecodes();
    void missingHelpFile();
    void closeButton();
};

namespace {

void tick(DeviceAddDialog &dialog, int row, bool ticked)
{
    dialog.findChild<QTableWidget *>()->item(row, 0)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool okEnabled(const DeviceAddDialog &dialog)
{
    return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
}

} // namespace

void TestMainDialogs::okFollowsTheTicks()
{
    DeviceAddDialog dialog;
    QVERIFY(!okEnabled(dialog));
    tick(dialog, 0, true);
    QVERIFY(okEnabled(dialog));
    tick(dialog, 2, true);
    tick(dialog, 0, false);
    QVERIFY(okEnabled(dialog));
    tick(dialog, 2, false);
    QVERIFY(!okEnabled(dialog));
}

void TestMainDialogs::selectionIsOrderedByName()
{
    DeviceAddDialog dialog;
    for (int row : {0, 1, 3, 4})
        tick(dialog, row, true);
    const QMap<QString, QString> selection = dialog.userSelection();
    QCOMPARE(selection.keys(), QStringList({"Acivel-M", "Belkor-M", "General", "Zorvan-M"}));
    QCOMPARE(selection.values(), QStringList({"Acivel-M", "Belkor-M", "General", "Zorvan-M"}));
    QVERIFY(!(dialog.findChild<QTableWidget *>()->item(0, 0)->flags() & Qt::ItemIsEditable));
    // The window gives it the settings font after it is built: every name still shows whole.
    QFont large = dialog.font();
    large.setPointSize(large.pointSize() + 6);
    dialog.setFont(large);
    const QTableWidget *table = dialog.findChild<QTableWidget *>();
    const QAbstractItemView *view = table;   // the width its contents need
    for (int column = 0; column < 3; ++column)
        QVERIFY(table->columnWidth(column) >= view->sizeHintForColumn(column));
}

void TestMainDialogs::logFlagsRoundTrip_data()
{
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QStringList>("accepted");
    QTest::newRow("two flags") << QStringList{"ERR", "INFO"} << QStringList{"ERR", "INFO"};
    QTest::newRow("order restored") << QStringList{"INFO", "ERR"} << QStringList{"ERR", "INFO"};
    QTest::newRow("lower case dropped") << QStringList{"err", "WARN"} << QStringList{"WARN"};
    QTest::newRow("none") << QStringList() << QStringList();
}

void TestMainDialogs::logFlagsRoundTrip()
{
    QFETCH(QStringList, flags);
    QFETCH(QStringList, accepted);
    AppSettings record = *AppSettings::instance();
    record.logFlags = flags;
    SettingsDialog dialog;
    dialog.setSettings(record);
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("b_dbg_warn"))->isChecked(), flags.contains("WARN"));
    dialog.accept();
    QCOMPARE(dialog.settings().logFlags, accepted);
}

void TestMainDialogs::secondaryMasterAndUnshownFields()
{
    AppSettings record = *AppSettings::instance();
    record.primaryMaster = true;
    record.language = QStringLiteral("en_US");
    record.geometry = QByteArrayLiteral("geometry");
    record.splitter = QByteArrayLiteral("splitter");
    record.currentItem = QStringLiteral("ttyS0/General {TT1}");
    record.server = {{QStringLiteral("ports"), QVariantList()}};
    record.testsPath = QStringLiteral("/tmp/tests");
    record.logFileEnabled = true;
    record.logViewLinesLimit = 77;
    SettingsDialog dialog;
    dialog.setSettings(record);
    dialog.findChild<QRadioButton *>(QStringLiteral("rbSecondaryMaster"))->setChecked(true);
    dialog.accept();
    const AppSettings result = dialog.settings();
    QVERIFY(!result.primaryMaster);
    QCOMPARE(result.language, record.language);
    QCOMPARE(result.geometry, record.geometry);
    QCOMPARE(result.splitter, record.splitter);
    QCOMPARE(result.currentItem, record.currentItem);
    QCOMPARE(result.server, record.server);
    QCOMPARE(result.testsPath, record.testsPath);
    QCOMPARE(result.logFileEnabled, true);
    QCOMPARE(result.logViewLinesLimit, 77);
}

void TestMainDialogs::russianKeepsMasterNamesInEnglish()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    SettingsDialog dialog;
    QCoreApplication::removeTranslator(&russian);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Настройки"));
    const auto text = [&](const char *button) { return dialog.findChild<QAbstractButton *>(QLatin1String(button))->text(); };
    QCOMPARE(text("rbPrimaryMaster"), QStringLiteral("Primary Master"));
    QCOMPARE(text("rbSecondaryMaster"), QStringLiteral("Secondary Master"));
    QCOMPARE(text("chkAddComments"), QStringLiteral("add comments in tree"));
    QCOMPARE(text("chkApplyCss"), QStringLiteral("load css styles"));
}

void TestMainDialogs::fontLabel()
{
    AppSettings record = *AppSettings::instance();
    record.font = QFont(QStringLiteral("Serif"), 10);
    SettingsDialog dialog;
    dialog.setSettings(record);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("lbFont"));
    QCOMPARE(label->text(), QStringLiteral("Serif 10pt  "));

    PromptRecorder prompts;
    QFont chosen(QStringLiteral("Mono"), 12, QFont::Bold, true);
    prompts.answerFont(chosen);
    prompts.answerCancel();
    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("btnFont"));
    button->click();
    QCOMPARE(label->text(), QStringLiteral("Mono 12pt bold italic"));
    button->click();   // cancelled: nothing changes
    QCOMPARE(label->text(), QStringLiteral("Mono 12pt bold italic"));
    QCOMPARE(prompts.requests.last().font, chosen);
    dialog.accept();
    QCOMPARE(dialog.settings().font, chosen);
}

void TestMainDialogs::guideDecodes()
{
    HelpViewer viewer(nullptr, false);
    viewer.loadFile(QString::fromLatin1(HelpViewer::GuideFile));
    QFile guide(QString::fromLatin1(HelpViewer::GuideFile));
    QVERIFY(guide.open(QIODevice::ReadOnly));
    const QByteArray bytes = guide.readAll();
    QPlainTextEdit *view = viewer.textView();
    QCOMPARE(view->blockCount(), int(bytes.count("\r\n")));
    QCOMPARE(view->document()->findBlockByNumber(4).text(), QStringLiteral("1. НАЗНАЧЕНИЕ ПРОГРАММЫ"));
    QVERIFY(!view->toPlainText().contains(QLatin1Char('\r')));
    QCOMPARE(view->textCursor().position(), 0);
    QVERIFY(viewer.closeButton()->isHidden());
}

void TestMainDialogs::missingHelpFile()
{
    HelpViewer viewer(nullptr, true);
    viewer.loadFile(QStringLiteral("/nonexistent/help.txt"));
    QCOMPARE(viewer.textView()->toPlainText(), QStringLiteral("Can't open help file"));
}

void TestMainDialogs::closeButton()
{
    HelpViewer viewer(nullptr, true);
    viewer.show();
    QVERIFY(!viewer.closeButton()->isHidden());
    viewer.closeButton()->click();
    QVERIFY(!viewer.isVisible());
}

QTEST_MAIN(TestMainDialogs)
#include "tst_maindialogs.moc"
