#include "ui_acivelwidget.h"

#include <QTest>
#include <QTranslator>

// The pH meter editor's form: what the editor page relies on when it sets the form up on itself
// and switches its tabs and pages by index.
class TestAcivelWidgetForm : public QObject
{
    Q_OBJECT

private slots:
    void objectName_data();
    void objectName();
    void pagesByIndex_data();
    void pagesByIndex();
    void fieldRanges_data();
    void fieldRanges();
    void comboBoxesStartEmpty();
    void englishTextsInRussian();
};

void TestAcivelWidgetForm::objectName_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("a bare widget is named by the form") << QString() << QStringLiteral("AcivelWidget");
    QTest::newRow("a named widget keeps its name") << QStringLiteral("meterPage") << QStringLiteral("meterPage");
}

void TestAcivelWidgetForm::objectName()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QWidget host;
    host.setObjectName(before);
    Ui_AcivelWidget form;
    form.setupUi(&host);
    QCOMPARE(host.objectName(), after);
}

void TestAcivelWidgetForm::pagesByIndex_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<int>("current");
    QTest::newRow("main tabs") << QStringLiteral("tabMainWidget")
                               << QStringList{"tabCurrentState", "tabInputConfig", "tabGrd", "tabAdjust"} << 1;
    QTest::newRow("filter tabs") << QStringLiteral("tabWidget") << QStringList{"tab", "tab_2"} << 0;
    QTest::newRow("range tabs") << QStringLiteral("tabRangeWidget") << QStringList{"tabByHand", "tabFromDevice"} << 0;
    QTest::newRow("pHi pages") << QStringLiteral("stackedWidgetPH") << QStringList{"page_17", "page_18"} << 0;
    QTest::newRow("point 1 pages") << QStringLiteral("stackedWidgetPoint_1") << QStringList{"page", "page_2"} << 1;
    QTest::newRow("point 2 pages") << QStringLiteral("stackedWidgetPoint_2") << QStringList{"page_3", "page_4"} << 1;
    QTest::newRow("metrology pages") << QStringLiteral("stackedWidgetAdjust")
                                     << QStringList{"pageStartAdjust", "pageCheckCode", "pageAdjustCurrent",
                                                    "pageAdjustURR", "pageTemperCompensation", "pageSensor"}
                                     << 5;
}

void TestAcivelWidgetForm::pagesByIndex()
{
    QFETCH(QString, container);
    QFETCH(QStringList, pages);
    QFETCH(int, current);
    QWidget host;
    Ui_AcivelWidget form;
    form.setupUi(&host);
    QStringList found;
    int index = -1;
    if (auto *tabs = host.findChild<QTabWidget *>(container)) {
        for (int i = 0; i < tabs->count(); ++i)
            found << tabs->widget(i)->objectName();
        index = tabs->currentIndex();
    } else if (auto *stack = host.findChild<QStackedWidget *>(container)) {
        for (int i = 0; i < stack->count(); ++i)
            found << stack->widget(i)->objectName();
        index = stack->currentIndex();
    }
    QCOMPARE(found, pages);
    QCOMPARE(index, current);
}

void TestAcivelWidgetForm::fieldRanges_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("decimals");   // -1 for an integer spin box
    QTest::addColumn<double>("value");
    QTest::newRow("access code: whole numbers to 9999") << "dspnAdjustCode" << 0.0 << 9999.0 << 0 << 0.0;
    QTest::newRow("sensor number: 24 bits") << "spnSensorNumber" << 0.0 << 16777215.0 << -1 << 0.0;
    QTest::newRow("sensor number on the metrology page") << "spnSensorNumberM" << 0.0 << 16777215.0 << -1 << 0.0;
    QTest::newRow("S starts at 100") << "dspnS" << 80.0 << 120.0 << 2 << 100.0;
    QTest::newRow("R0 starts at its minimum") << "dspnResistanceTS0" << 50.0 << 2000.0 << 2 << 50.0;
    QTest::newRow("fixed current starts at 4 mA") << "dspnFixedCurrent" << 3.0 << 21.0 << 4 << 4.0;
}

void TestAcivelWidgetForm::fieldRanges()
{
    QFETCH(QString, field);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, decimals);
    QFETCH(double, value);
    QWidget host;
    Ui_AcivelWidget form;
    form.setupUi(&host);
    if (decimals < 0) {
        auto *spin = host.findChild<QSpinBox *>(field);
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), int(minimum));
        QCOMPARE(spin->maximum(), int(maximum));
        QCOMPARE(spin->value(), int(value));
    } else {
        auto *spin = host.findChild<QDoubleSpinBox *>(field);
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), minimum);
        QCOMPARE(spin->maximum(), maximum);
        QCOMPARE(spin->decimals(), decimals);
        QCOMPARE(spin->value(), value);
    }
}

void TestAcivelWidgetForm::comboBoxesStartEmpty()
{
    QWidget host;
    Ui_AcivelWidget form;
    form.setupUi(&host);
    const QList<QComboBox *> combos = host.findChildren<QComboBox *>();
    QCOMPARE(combos.size(), 7);
    for (const QComboBox *combo : combos)
        QVERIFY2(combo->count() == 0, qPrintable(combo->objectName()));
}

void TestAcivelWidgetForm::englishTextsInRussian()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    QWidget host;
    Ui_AcivelWidget form;
    form.setupUi(&host);
    QCoreApplication::removeTranslator(&russian);

    QCOMPARE(form.btnReadCfgFromDevice->text(), QStringLiteral("Прочитать из прибора"));
    QCOMPARE(form.btnWriteCfgInDevice->text(), QStringLiteral("Записать в прибор"));
    QCOMPARE(form.btnStartSensorParam->text(), QStringLiteral("Старт"));
    QCOMPARE(form.btnAdjustMeasurement->text(), QStringLiteral("Старт измерения"));
    QCOMPARE(form.btnStartPoint_1->text(), QStringLiteral("Приступить к градуировке по 1-му буферу"));
}

QTEST_MAIN(TestAcivelWidgetForm)
#include "tst_acivelwidgetform.moc"
