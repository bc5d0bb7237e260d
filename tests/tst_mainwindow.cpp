#include "mainwindow/mainwindow.h"

#include "ui_mainwindow.h"

#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "core/terminationwatcher.h"
#include "devices/acivel/acivelwidget.h"
#include "editor/maindevicewidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "mainwindow/helpviewer.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include "eventcounter.h"
#include "filesizelimit.h"
#include "hartsimacivelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "promptrecorder.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QGroupBox>
#include <QJsonDocument>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolBar>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// One port without devices, in English.
const QByteArray OnePort(R"({"srv":{"ports":[{"name":"Port 0"}]},"app":{"language":"en_US"}})");

QVariantMap deviceMap(const QString &name, const QString &templateName, int address)
{
    return {{"name", name}, {"template", templateName}, {"polling_address", address}};
}

QVariantMap portMap(const QString &name, const QString &serialName, const QVariantList &devices)
{
    return {{"name", name}, {"serial_name", serialName}, {"devices", devices}};
}

// Two ports of three devices: every template, and one the program has no editor for.
QByteArray twoPortConfig(const QString &currentItem)
{
    const QVariantList ports{
        portMap("Port 0", "/dev/ttyS0",
                {deviceMap("a", "Zorvan-M", 1), deviceMap("b", "General", 2), deviceMap("c", "Unknown-X", 3)}),
        portMap("Port 1", "/dev/ttyS1",
                {deviceMap("d", "Drumel-M", 1), deviceMap("e", "Acivel-M", 2), deviceMap("f", "Belkor-M", 3)}),
    };
    const QVariantMap config{{"srv", QVariantMap{{"ports", ports}}},
                             {"app", QVariantMap{{"current_item", currentItem}, {"language", "en_US"}}}};
    return QJsonDocument::fromVariant(config).toJson(QJsonDocument::Compact);
}

// A configuration file in a fresh folder, named by the start-up file so the next window loads it.
struct Workspace
{
    QTemporaryDir dir;
    QString config = dir.filePath("test.cfg");

    explicit Workspace(const QByteArray &content)
    {
        TestFiles::write(config, content);
        TestFiles::write(AppSettings::startupFileName(),
                         QJsonDocument::fromVariant(QVariantMap{{"cfg_filename", config}}).toJson());
    }
};

Device *deviceNamed(MainWindow &window, const QString &name)
{
    for (Port *port : window.ports()) {
        for (Device *device : port->devices()) {
            if (device->name().startsWith(name))
                return device;
        }
    }
    return nullptr;
}

// The least size a layout gives the widget across or down, as Qt's layouts reckon it: a control
// that wraps its text needs its height for the width it has.
int leastSize(const QWidget *widget, Qt::Orientation orientation)
{
    const bool across = orientation == Qt::Horizontal;
    auto along = [across](const QSize &size) { return across ? size.width() : size.height(); };
    const QSizePolicy::Policy policy = across ? widget->sizePolicy().horizontalPolicy() : widget->sizePolicy().verticalPolicy();
    int least = 0;
    if (policy != QSizePolicy::Ignored) {
        least = policy & QSizePolicy::ShrinkFlag ? along(widget->minimumSizeHint())
                                                 : std::max(along(widget->sizeHint()), along(widget->minimumSizeHint()));
    }
    if (!across && !widget->layout() && widget->hasHeightForWidth())
        least = std::max(least, widget->heightForWidth(widget->width()));
    least = std::min(least, along(widget->maximumSize()));
    return along(widget->minimumSize()) > 0 ? along(widget->minimumSize()) : least;
}

bool laysOut(const QLayout *layout, const QWidget *widget)
{
    for (int index = 0; index < layout->count(); ++index) {
        QLayoutItem *item = layout->itemAt(index);
        if (item->widget() == widget || (item->layout() && laysOut(item->layout(), widget)))
            return true;
    }
    return false;
}

// Delivers every event posted, and those their handlers post, until none is left, as the event
// loop does before the window is painted: a layout that resizes a widget asks for its parent's
// again, and a scroll area hears of its contents' new needs last. Checked before that, a page
// shows the geometry of a moment nobody sees.
void settleLayouts()
{
    EventCounter delivered(QEvent::None);
    QCoreApplication::instance()->installEventFilter(&delivered);
    for (int pass = 0; pass < 100; ++pass) {
        const int before = delivered.count;
        QCoreApplication::sendPostedEvents();
        if (delivered.count == before)
            break;
    }
    QCoreApplication::instance()->removeEventFilter(&delivered);
}

// What a person sees wrong on a page once its layouts have run: a control a layout gives less
// than its least height, or two controls of one layout over each other.
QStringList layoutFaults(const QWidget *page)
{
    settleLayouts();
    QList<const QWidget *> shown;
    for (const QWidget *widget : page->findChildren<QWidget *>()) {
        const QWidget *parent = widget->parentWidget();
        if (widget->isVisible() && parent->layout() && laysOut(parent->layout(), widget))
            shown.append(widget);
    }
    QStringList faults;
    for (const QWidget *widget : std::as_const(shown)) {
        if (widget->height() < leastSize(widget, Qt::Vertical))
            faults << QStringLiteral("%1 is %2 px high of %3").arg(widget->objectName()).arg(widget->height()).arg(leastSize(widget, Qt::Vertical));
        if (widget->width() < leastSize(widget, Qt::Horizontal))
            faults << QStringLiteral("%1 is %2 px wide of %3").arg(widget->objectName()).arg(widget->width()).arg(leastSize(widget, Qt::Horizontal));
        for (const QWidget *other : std::as_const(shown)) {
            if (other < widget && other->parentWidget() == widget->parentWidget() && other->geometry().intersects(widget->geometry()))
                faults << QStringLiteral("%1 over %2").arg(widget->objectName(), other->objectName());
        }
    }
    return faults;
}

// The room a page leaves blank right of and below its controls on show, group boxes among them:
// what a window scrolling the page across or down would scroll over. The margins of a tab and of
// the boxes in it leave up to this much.
constexpr int MarginsAroundControls = 20;

QSize blankRoom(const QWidget *page)
{
    QRect reach;
    for (const QWidget *widget : page->findChildren<QWidget *>()) {
        const bool control = !widget->layout() || qobject_cast<const QGroupBox *>(widget);
        if (widget->isVisible() && control && !qobject_cast<const QTabWidget *>(widget))
            reach |= QRect(widget->mapTo(page, QPoint()), widget->size());
    }
    return {page->width() - reach.right() - 1, page->height() - reach.bottom() - 1};
}

void select(MainWindow &window, ServerItem *item)
{
    window.form()->treeWidget->setCurrentItem(window.treeItem(item));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { Application::setLanguage("en_US"); }

    void startUpBuildsTreeAndPages_data();
    void startUpBuildsTreeAndPages();
    void deviceItemLook_data();
    void deviceItemLook();
    void enabledActions_data();
    void enabledActions();
    void addPortTakesNextFreeNumber();
    void foundDevicesGoToPortOfTheirLine();
    void saveKeepsBackupAndRollsBack();
    void saveAsKeepsCurrentFileModified();
    void saveMessageDateFollowsLanguage_data();
    void saveMessageDateFollowsLanguage();
    void guideNamesWhatTheWindowShows();
    void backupSurvivesDamagedConfiguration_data();
    void backupSurvivesDamagedConfiguration();
    void openFiles_data();
    void openFiles();
    void questionsBeforeDiscarding();
    void logMaskAndEmptyFont();
    void removingPortRemovesItsDevices();
    void everyPollerStopsBeforeItsLineGoes_data();
    void everyPollerStopsBeforeItsLineGoes();
};

void TestMainWindow::startUpBuildsTreeAndPages_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("language");        // at start-up, or switched to once the window shows
    QTest::addColumn<QStringList>("variables");   // those the polled instrument answers
    QTest::newRow("laptop, four variables") << "laptop" << "en_US" << QStringList{"PV", "SV", "TV", "QV"};
    QTest::newRow("laptop, four variables in Russian") << "laptop" << "ru_RU" << QStringList{"PV", "SV", "TV", "QV"};
    QTest::newRow("laptop, one variable, switched to Russian") << "laptop" << "switched to ru_RU" << QStringList{"PV"};
    QTest::newRow("small laptop, where the window scrolls a tab taller than it") << "small" << "en_US" << QStringList{"PV", "SV", "TV", "QV"};
    QTest::newRow("wide screen, where every measurement tab fits") << "wide" << "en_US" << QStringList{"PV", "SV", "TV", "QV"};
    QTest::newRow("1000x700 window, where the window scrolls a page wider than it") << "laptop, 1000x700 window" << "en_US" << QStringList{"PV", "SV", "TV", "QV"};
    QTest::newRow("1000x700 window in Russian") << "laptop, 1000x700 window" << "ru_RU" << QStringList{"PV", "SV", "TV", "QV"};
}

void TestMainWindow::startUpBuildsTreeAndPages()
{
    QFETCH(QString, screen);
    QFETCH(QString, language);
    QFETCH(QStringList, variables);
    const bool switched = language.startsWith("switched");
    Workspace space(twoPortConfig("Port_1/Drumel-M_{1}").replace("en_US", switched ? "en_US" : language.toLatin1()));
    MainWindow window;
    QTreeWidget *tree = window.form()->treeWidget;
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->child(0)->childCount(), 3);
    if (language == "en_US" || switched) {
        QCOMPARE(window.statusLabel()->text(), QStringLiteral("ports: 2, devices: 6"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvell. Tenvara - [*]") + space.config);
    }

    const QStringList pages{"ZorvanWidget", "DefaultDeviceWidget", "", "DrumelWidget", "AcivelWidget", "ZorvanWidget"};
    int index = 0;
    for (Port *port : window.ports()) {
        QCOMPARE(window.editorPage(port)->metaObject()->className(), "RTUPortEditor");
        for (Device *device : port->devices()) {
            QWidget *page = window.editorPage(device);
            QCOMPARE(page ? QString(page->metaObject()->className()) : QString(), pages.at(index++));
        }
    }
    QCOMPARE(window.form()->stackedWidget->currentWidget(), window.editorPage(window.server()));
    // The saved selection comes back from the event loop.
    QTRY_COMPARE(tree->currentItem(), window.treeItem(deviceNamed(window, "Drumel-M")));

    // Maximized or in a smaller window, every tab of every editor lays out each control at its
    // least size or more, none over another; the window scrolls a tab larger than it, and no
    // further than the tab's controls reach. Maximized, the measurement tab, its panel scrolled
    // on its own, keeps its status row in view while it archives, however long the archive's
    // name; nothing scrolls across on a laptop, and nothing at all on a larger screen.
    for (QScreen *shown : QGuiApplication::screens()) {
        if (screen.startsWith(shown->name()))
            window.move(shown->geometry().topLeft());
    }
    const bool windowed = screen.endsWith("window");
    if (windowed) {
        window.resize(1000, 700);
        window.show();
    } else {
        window.showMaximized();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (switched)
        Application::setLanguage(language.right(5));
    const QScrollArea *area = window.findChild<QScrollArea *>("scrollArea");
    QVariantMap reply{{"DateTime", QDateTime::currentDateTime()}};
    for (const QString &variable : std::as_const(variables)) {
        reply.insert(variable, 21.5f);
        reply.insert(variable + "UnitCodeText", "kPa");
    }
    for (auto *page : window.form()->stackedWidget->findChildren<MainDeviceWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        window.form()->stackedWidget->setCurrentWidget(page);
        // The status row tells an operation's outcome, as after Check.
        QVERIFY(page->startOperation("Check", 1));
        page->nextStep();
        page->finishOperation(0);
        auto *tabs = page->findChild<QTabWidget *>("tabMainWidget");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            if (auto *measurement = qobject_cast<MeasureWidget *>(tabs->currentWidget())) {
                measurement->onUpdateButtons(true);
                measurement->chkAutoSaveFile->setChecked(true);
                measurement->chkPeriod->setChecked(true);
                measurement->btnStartStop->click();
                measurement->showPeriodResponsePV(reply);
                const QWidget *status = page->findChild<StatusWidget *>();
                settleLayouts();
                QVERIFY(screen == "small" || windowed || area->viewport()->rect().contains(QRect(status->mapTo(area->viewport(), QPoint()), status->size())));
                QVERIFY(screen != "wide" || !measurement->scrollControls->verticalScrollBar()->isVisible());
                const QWidget *panelView = measurement->scrollControls->viewport();
                for (const QWidget *control : measurement->panelControls->findChildren<QWidget *>()) {
                    const QRect onView(control->mapTo(panelView, QPoint()), control->size());
                    QVERIFY2(!control->isVisible() || (onView.left() >= 0 && onView.right() < panelView->width()), qPrintable(control->objectName()));
                }
            }
            // Each tab of the tab shown, as the plot's.
            QList<QTabWidget *> inner = tabs->currentWidget()->findChildren<QTabWidget *>();
            inner.prepend(tabs);
            for (QTabWidget *shown : std::as_const(inner)) {
                for (int innerTab = 0; innerTab < shown->count(); ++innerTab) {
                    shown->setCurrentIndex(innerTab);
                    const QStringList faults = layoutFaults(page);
                    QVERIFY2(faults.isEmpty(), qPrintable(tabs->tabText(tab) + ": " + faults.join(", ")));
                    QVERIFY2(screen != "wide" || !area->verticalScrollBar()->isVisible(), qPrintable(tabs->tabText(tab)));
                    QVERIFY2(screen != "laptop" || !area->horizontalScrollBar()->isVisible(), qPrintable(tabs->tabText(tab)));
                    // The window scrolls no further than the tab's controls reach, their margins aside.
                    const QSize blank = blankRoom(tabs->currentWidget());
                    QVERIFY2(area->verticalScrollBar()->maximum() == 0 || blank.height() <= MarginsAroundControls, qPrintable(tabs->tabText(tab)));
                    QVERIFY2(area->horizontalScrollBar()->maximum() == 0 || blank.width() <= MarginsAroundControls, qPrintable(tabs->tabText(tab)));
                }
            }
        }
    }
}

void TestMainWindow::deviceItemLook_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("identified");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("initial device, black, a blank before the comment") << 0x01 << 0 << false << "General_{5} note" << false << QColor(Qt::black);
    QTest::newRow("read successfully: dark green") << 0x04 << 0 << true << "General_{5} [>]note" << true << QColor(Qt::darkGreen);
    QTest::newRow("read then edited") << 0x06 << 0 << true << "General_{5} [>*]note" << true << QColor(Qt::darkGreen);
    QTest::newRow("written with errors: red") << 0x08 << 1 << false << "General_{5} [<]note" << false << QColor(Qt::red);
    QTest::newRow("errors without a read stay black") << 0x02 << 2 << false << "General_{5} [*]note" << false << QColor(Qt::black);
    QTest::newRow("polled and flagged, plus prefix") << 0x70 << 0 << false << "+General_{5} [@!]note" << false << QColor(Qt::black);
}

void TestMainWindow::deviceItemLook()
{
    QFETCH(int, flags);
    QFETCH(int, errors);
    QFETCH(bool, identified);
    // The address last read from the device (0) is not the one the user set and saved (5).
    Workspace space(R"({"srv":{"ports":[{"name":"Port 0","devices":[{"name":"x","template":"General","polling_address":5,"comment":"note","parameters":{"polling_address":0}}]}]},"app":{"language":"en_US"}})");
    MainWindow window;
    Device *device = window.ports().first()->devices().first();
    QCOMPARE(device->address(), 5);
    device->setStateFlags(flags);
    device->setResult(1);
    for (int i = 0; i < errors; ++i)
        device->setResult(3);
    if (identified)
        device->setDeviceId(QByteArray::fromHex("0a0b0c"));
    window.updateTreeItem(device);

    QTreeWidgetItem *item = window.treeItem(device);
    QTEST(item->text(0), "text");
    QTEST(item->font(0).bold(), "bold");
    QTEST(item->foreground(0).color(), "colour");
}

void TestMainWindow::enabledActions_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("identified");
    QTest::addColumn<QString>("enabled"); // add, remove, test as 0/1

    QTest::newRow("server") << "server" << 0x01 << false << "100";
    QTest::newRow("port with idle devices") << "port" << 0x01 << false << "110";
    QTest::newRow("port with a polled device") << "port" << 0x10 << false << "100";
    QTest::newRow("unidentified device") << "device" << 0x01 << false << "010";
    QTest::newRow("identified device") << "device" << 0x01 << true << "011";
    QTest::newRow("polled device") << "device" << 0x10 << true << "000";
    QTest::newRow("flag 40 device") << "device" << 0x40 << true << "000";
}

void TestMainWindow::enabledActions()
{
    QFETCH(QString, current);
    QFETCH(int, flags);
    QFETCH(bool, identified);
    Workspace space(R"({"srv":{"ports":[{"name":"Port 0","devices":[{"name":"x","template":"Unknown-X"}]}]},"app":{"language":"en_US"}})");
    MainWindow window;
    Port *port = window.ports().first();
    Device *device = port->devices().first();
    device->setStateFlags(flags);
    if (identified)
        device->setDeviceId(QByteArray::fromHex("0a0b0c"));
    select(window, current == "server" ? static_cast<ServerItem *>(window.server())
                   : current == "port"  ? static_cast<ServerItem *>(port)
                                        : device);
    const Ui::MainWindow *ui = window.form();
    const QString enabled = QString::number(ui->actionAdd->isEnabled()) + QString::number(ui->actionRemove->isEnabled())
        + QString::number(ui->actionTest->isEnabled());
    QTEST(enabled, "enabled");
    device->setStateFlags(0x01); // let the window go without a polled device
}

void TestMainWindow::addPortTakesNextFreeNumber()
{
    Workspace space(R"({"srv":{"ports":[{"name":"Port 1"},{"name":"Port 2"}]},"app":{"language":"en_US"}})");
    MainWindow window;
    for (int i = 0; i < 2; ++i) {
        select(window, window.server());
        window.addItem();
    }
    QCOMPARE(window.portKeys(), (QStringList{"Port_1", "Port_2", "Port_3", "Port_4"}));
    Port *last = window.ports().last();
    QCOMPARE(window.form()->treeWidget->currentItem(), window.treeItem(last));
    QVERIFY(window.isWindowModified());
}

void TestMainWindow::foundDevicesGoToPortOfTheirLine()
{
    Workspace space(R"({"srv":{"ports":[{"name":"Port 0","serial_name":"/dev/ttyS3"},{"name":"/dev/ttyS4","serial_name":"/dev/ttyS9"}]},"app":{"language":"en_US"}})");
    MainWindow window;
    QVERIFY(!window.isWindowModified());
    const auto record = [](const QString &line, int address, const QString &tag) {
        return QVariantMap{{"port", line}, {"polling_address", address}, {"template", "Unknown-X"},
                           {"address", QByteArray::fromHex("2680aabbcc")}, {"tag", tag}, {"descriptor", ""}, {"date", ""}};
    };
    window.addFoundDevices({record("/dev/ttyS3", 2, "TT1")});
    Port *first = window.ports().first();
    QCOMPARE(first->deviceKeys(), QStringList{"Unknown-X_{TT1}"});
    QCOMPARE(window.form()->treeWidget->currentItem(), window.treeItem(first->devices().first()));
    QVERIFY(window.isWindowModified());

    select(window, first);
    window.addFoundDevices({record("/dev/ttyS4", 3, ""), record("/dev/ttyS4", 4, "")});
    QCOMPARE(window.ports().size(), 3);
    Port *added = window.ports().last();
    QCOMPARE(added->property("serial_name").toString(), QStringLiteral("/dev/ttyS4"));
    QCOMPARE(added->deviceKeys(), (QStringList{"Unknown-X_{3}", "Unknown-X_{4}"}));
    QCOMPARE(window.form()->treeWidget->currentItem(), window.treeItem(first));
}

void TestMainWindow::saveKeepsBackupAndRollsBack()
{
    Workspace space(OnePort);
    PromptRecorder prompts;
    MainWindow window;
    select(window, window.server());
    window.addItem(); // the first change keeps the file as it was
    QCOMPARE(TestFiles::read(space.config + ".bak"), OnePort);
    QVERIFY(window.save());
    QVERIFY(!window.isWindowModified());
    QVERIFY(window.statusBar()->currentMessage().startsWith("Configuration saved on "));
    const QByteArray saved = TestFiles::read(space.config);
    QVERIFY(saved.contains("Port_1"));

    // A write cut short by a full disk fails, and the rollback brings back the saved file.
    select(window, window.server());
    window.addItem();
    {
        FileSizeLimit limit(saved.size() + 1); // room for the backup, not for the larger tree
        QVERIFY(!window.save());
    }
    QCOMPARE(TestFiles::read(space.config), saved);
    QVERIFY(window.isWindowModified());
    QCOMPARE(prompts.requests.last().text, QStringLiteral("Config file write error!"));

    // When the copy fails too, the file is left as it is rather than removed.
    TestFiles::write(space.config, saved.left(10));
    {
        FileSizeLimit limit(20);
        QVERIFY(!window.rollbackBackupConfigFile());
    }
    QCOMPARE(TestFiles::read(space.config), saved.left(10));
    QCOMPARE(prompts.requests.last().title, QStringLiteral("Rollback config file"));
}

void TestMainWindow::saveAsKeepsCurrentFileModified()
{
    Workspace space(OnePort);
    PromptRecorder prompts;
    MainWindow window;
    select(window, window.server());
    window.addItem();
    const QString copy = space.dir.filePath("copy.cfg");
    prompts.answerText(copy);
    QVERIFY(window.saveAs());
    QVERIFY(TestFiles::read(copy).contains("Port_1"));
    QCOMPARE(AppSettings::configFileName(), space.config);
    QVERIFY(window.isWindowModified());
    QVERIFY(window.windowTitle().endsWith(space.config));

    prompts.answerText(space.config); // onto the current file: written and no longer modified
    QVERIFY(window.saveAs());
    QVERIFY(!window.isWindowModified());
}

void TestMainWindow::saveMessageDateFollowsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("saved");
    QTest::newRow("English") << "en_US" << "Configuration saved on ";
    QTest::newRow("Russian") << "ru_RU" << QStringLiteral("Конфигурация сохранена ");
}

void TestMainWindow::saveMessageDateFollowsLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, saved);
    const QString config = QStringLiteral(R"({"srv":{"ports":[{"name":"Port 0"}]},"app":{"language":"%1"}})");
    Workspace space(config.arg(language).toUtf8());
    PromptRecorder prompts;
    MainWindow window;
    select(window, window.server());
    window.addItem();
    const QDate before = QDate::currentDate();
    QVERIFY(window.save());
    const QString message = window.statusBar()->currentMessage();
    const QLocale locale(language);
    QVERIFY2(message.startsWith(saved), qPrintable(message));
    QVERIFY2(message.contains(locale.toString(before, QLocale::LongFormat))
                 || message.contains(locale.toString(QDate::currentDate(), QLocale::LongFormat)),
             qPrintable(message));
}

// The user guide names the tree's root, the tool-bar actions and the version as the Russian
// window shows them.
void TestMainWindow::guideNamesWhatTheWindowShows()
{
    Workspace space(R"({"srv":{"ports":[]},"app":{"language":"ru_RU"}})");
    Application::setLanguage("ru_RU");
    MainWindow window;
    HelpViewer guide(nullptr, false);
    guide.loadFile(QString::fromLatin1(HelpViewer::GuideFile));
    const QString text = guide.textView()->toPlainText().simplified();

    QStringList names{QStringLiteral("«%1»").arg(window.form()->treeWidget->topLevelItem(0)->text(0))};
    for (const QAction *action : window.findChild<QToolBar *>()->actions()) {
        const QString shortcut = action->shortcut().toString();
        names << (shortcut.isEmpty() ? action->text() : QStringLiteral("%1 (%2)").arg(action->text(), shortcut));
    }
    for (const QLabel *label : window.statusBar()->findChildren<QLabel *>()) {
        if (label->text().startsWith(QStringLiteral("Версия: ")))
            names << QStringLiteral("версия ") + label->text().mid(8);
    }
    QCOMPARE(names.size(), 12);
    for (const QString &name : std::as_const(names))
        QVERIFY2(text.contains(name), qPrintable(name));
}

void TestMainWindow::backupSurvivesDamagedConfiguration_data()
{
    QTest::addColumn<QByteArray>("content");    // the configuration file at start-up
    QTest::addColumn<bool>("becomesFolder");    // the file is replaced by a folder before the save
    QTest::newRow("file that does not parse at start-up") << QByteArray("{\"srv\":") << false;
    QTest::newRow("file that became a folder before the save") << OnePort << true;
}

void TestMainWindow::backupSurvivesDamagedConfiguration()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, becomesFolder);
    const bool damaged = content != OnePort;
    Workspace space(content);
    const QString backup = space.config + ".bak";
    TestFiles::write(backup, OnePort);
    PromptRecorder prompts;
    MainWindow window;
    QCOMPARE(prompts.requests.size(), damaged ? 1 : 0); // told at start-up
    if (damaged)
        QCOMPARE(prompts.requests.first().kind, Prompt::Critical);

    select(window, window.server());
    window.addItem();
    QCOMPARE(TestFiles::read(backup), OnePort);
    if (becomesFolder) {
        QVERIFY(QFile::remove(space.config));
        QVERIFY(QDir().mkdir(space.config));
    }
    QCOMPARE(window.save(), !becomesFolder);
    QCOMPARE(TestFiles::read(backup), OnePort);
    if (damaged) { // the damaged file is kept under a name of its own
        const QStringList kept = QDir(space.dir.path()).entryList({"test.cfg.*.bak"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TestFiles::read(space.dir.filePath(kept.first())), content);
    }
}

void TestMainWindow::openFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("stackPages");   // the form's two empty pages, the help page and the tree's pages
    QTest::addColumn<QStringList>("replaced");   // what the load logs as replaced

    QTest::newRow("good file") << QByteArray(R"({"srv":{"ports":[{"name":"A"},{"name":"B","devices":[{"name":"d","template":"General"},{"name":"e","template":"General"}]}]},"app":{"language":"en_US"}})") << true << 2 << 7 << QStringList();
    QTest::newRow("file without ports is an empty tree") << QByteArray(R"({"srv":{"ports":[]},"app":{"language":"en_US"}})") << true << 0 << 3 << QStringList();
    QTest::newRow("unreadable file keeps the current configuration") << QByteArray("{\"srv\":") << false << 1 << 4 << QStringList();
    QTest::newRow("values out of range: the pages show and the line uses one replacement each, logged")
        << QByteArray(R"({"srv":{"ports":[{"name":"A","serial_name":"SIM","baudrate":"fast","parity":"E","request_timeout":"x","devices":[{"name":"d","template":"General","polling_address":99}]}]},"app":{"language":"en_US"}})")
        << true << 1 << 5
        << QStringList{R"("A" "baudrate" "fast" replaced by "1200")", R"("A" "parity" "E" replaced by "O")",
                       R"("A" "request_timeout" "x" replaced by "200")", R"("A/d" "polling_address" "99" replaced by "63")"};
}

void TestMainWindow::openFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, loaded);
    QFETCH(int, ports);
    QFETCH(int, stackPages);
    QFETCH(QStringList, replaced);
    HartSimulator sim;
    sim.addDevice(HartSimDevice(63));
    Workspace space(OnePort);
    PromptRecorder prompts;
    MainWindow window;
    const QString other = space.dir.filePath("other.cfg");
    TestFiles::write(other, content.replace("SIM", sim.portName().toUtf8()));
    DebugQt::instance()->mask |= DebugQt::LevelWarning;
    for (const QString &line : replaced)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QRegularExpression::escape("range: " + line)));
    prompts.answerText(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    EventCounter treePaints(QEvent::Paint);
    window.form()->treeWidget->viewport()->installEventFilter(&treePaints);
    QSignalSpy shownPages(window.form()->stackedWidget, &QStackedWidget::currentChanged);
    window.open();

    QCOMPARE(window.ports().size(), ports);
    // The old tree's pages are gone before the new ones are built, and the shown page is not
    // changed for every page built.
    QCOMPARE(window.form()->stackedWidget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), stackPages);
    QVERIFY(shownPages.count() <= 1);
    // The tree is drawn once the load is over, not again for every page built.
    QCOMPARE(treePaints.count, 0);
    QVERIFY(window.form()->treeWidget->updatesEnabled());
    QCOMPARE(AppSettings::configFileName(), loaded ? other : space.config);
    QVERIFY(window.windowTitle().endsWith(loaded ? other : space.config));
    QVERIFY(!window.isWindowModified());
    QCOMPARE(prompts.requests.size(), loaded ? 1 : 2); // the file dialog, and the error box
    if (!loaded)
        QCOMPARE(prompts.requests.last().kind, Prompt::Critical);
    if (replaced.isEmpty())
        return;
    Port *port = window.ports().first();
    QCOMPARE(window.editorPage(port)->findChild<QComboBox *>("baudrateComboBox")->currentText(), "1200");
    QWidget *page = window.editorPage(port->devices().first());
    QCOMPARE(page->findChild<QSpinBox *>("spnPollingAddress")->value(), 63);
    page->findChild<QPushButton *>("btnCheck")->click();
    QCOMPARE(sim.requests().first().address, QByteArray(1, char(0x80 | 63)));
}

void TestMainWindow::questionsBeforeDiscarding()
{
    Workspace space(OnePort);
    PromptRecorder prompts;
    MainWindow window;
    QVERIFY(!window.isWindowModified());
    prompts.answerButton(QMessageBox::Cancel);
    QVERIFY(!window.maybeSave(true));
    QCOMPARE(prompts.requests.last().text, QStringLiteral("Are you sure you want to exit the application ?"));
    QCOMPARE(prompts.requests.last().defaultButton, QMessageBox::Cancel);

    select(window, window.server());
    window.addItem();
    prompts.answerButton(QMessageBox::Cancel);
    window.newTree(false);
    QCOMPARE(window.ports().size(), 2);
    prompts.answerButton(QMessageBox::No);
    window.newTree(false);
    QCOMPARE(window.ports().size(), 0);
    QVERIFY(window.isWindowModified());
    QVERIFY(window.windowTitle().endsWith(space.config));
    QCOMPARE(prompts.requests.last().defaultButton, QMessageBox::Yes);
}

void TestMainWindow::logMaskAndEmptyFont()
{
    Workspace space(R"({"srv":{"ports":[]},"app":{"log_flags":["ERR","INFO","err"],"font":"","language":"en_US"}})");
    AppSettings::instance()->font = QFont();
    AppSettings::instance()->font.setFamily(QString());
    MainWindow window;
    QCOMPARE(DebugQt::instance(0, nullptr)->mask, quint32(0x08ED0000 | 0x1 | 0x4));
    QCOMPARE(window.form()->mainTabWidget->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(window.form()->mainTabWidget->font().pointSize(), 10);
    QCOMPARE(window.statusLabel()->text(), QStringLiteral("ports: 0, devices: 0"));
    DebugQt::instance(0, nullptr)->mask = DebugQt::HandlerMask;
}

void TestMainWindow::removingPortRemovesItsDevices()
{
    Workspace space(twoPortConfig(QString()));
    MainWindow window;
    Port *port = window.ports().first();
    const QList<Device *> devices = port->devices();
    QPointer<QWidget> page = window.editorPage(devices.first());
    select(window, port);
    window.deleteItem();
    QCOMPARE(window.portKeys(), QStringList{"Port_1"});
    QCOMPARE(window.form()->treeWidget->topLevelItem(0)->childCount(), 1);
    for (Device *device : devices)
        QVERIFY(!window.treeItem(device) && !window.editorPage(device));
    QTRY_VERIFY(page.isNull());
    QCOMPARE(window.statusLabel()->text(), QStringLiteral("ports: 1, devices: 3"));
    QVERIFY(window.isWindowModified());
}

void TestMainWindow::everyPollerStopsBeforeItsLineGoes_data()
{
    QTest::addColumn<QString>("door");
    QTest::newRow("New") << "New";
    QTest::newRow("Open") << "Open";
    QTest::newRow("termination during a read closes once the read is over") << "termination";
    // The instrument reports more status after the line is free: a stop or a termination runs there.
    QTest::newRow("termination from a read's status report closes at once") << "termination after the line";
    QTest::newRow("Stop from a read's status report stops at once") << "Stop after the line";
}

void TestMainWindow::everyPollerStopsBeforeItsLineGoes()
{
    QFETCH(QString, door);
    HartSimulator sim;
    HartSimUniversalCommands::install(sim);
    HartSimAcivelCommands::install(sim);
    sim.addDevice(HartSimAcivelCommands::device());
    const QVariantList ports{portMap("P", sim.portName(), {deviceMap("m", "Acivel-M", 0)})};
    const QVariantMap config{{"srv", QVariantMap{{"ports", ports}}}, {"app", QVariantMap{{"language", "en_US"}}}};
    Workspace space(QJsonDocument::fromVariant(config).toJson());
    PromptRecorder prompts;
    MainWindow window;
    Port *port = window.ports().first();
    Device *device = port->devices().first();
    auto *page = qobject_cast<AcivelWidget *>(window.editorPage(device));
    page->onUpdateButtons(true);   // as an identification leaves them
    page->btnStartGraduation->click();
    page->btnStartPoint_1->click();   // the command-33 poller reads the meter
    QTRY_VERIFY(sim.requestCount() > 0);
    if (door != "New" && door != "Open") {
        // The measurement tab polls too; the signal comes while the page's own read holds the
        // line, or after it, and the status page lets it through.
        auto *measurement = page->findChild<MeasureWidget *>();
        measurement->chkPeriod->setChecked(true);
        measurement->btnStartStop->click();
        const bool afterLine = door.endsWith(QLatin1String("after the line"));
        if (afterLine) {
            sim.updateDevice(0, [](HartSimDevice &d) {
                d.deviceStatus = 0x10;
                d.values.insert(QStringLiteral("additional_status"), QByteArray::fromHex("000000000000010000"));
            });
        }
        TerminationWatcher termination;
        connect(&termination, &TerminationWatcher::terminationRequested, &window, &MainWindow::closeOnTermination);
        bool raised = false;
        connect(device, &Device::deviceStatus, &termination, [&] {
            const bool stop = door.startsWith(QLatin1String("Stop"));
            if (QThread::currentThread() != thread() || raised || Port::lineHeldHere() != (stop ? nullptr : port))
                return;
            raised = true;
            if (stop)
                measurement->btnStartStop->click();
            else
                raised = ::raise(SIGTERM) == 0;
        }, Qt::DirectConnection);
        if (door.startsWith(QLatin1String("Stop"))) {
            page->findChild<PVWidget *>()->findChild<QPushButton *>(QStringLiteral("btnRefresh"))->click();
            QVERIFY(raised && !measurement->isPolling());
            return;
        }
        QList<bool> lineHeldAtClose;
        connect(&window, &MainWindow::closeApplication, &termination, [&] { lineHeldAtClose << (Port::lineHeldHere() == port); });
        page->findChild<PVWidget *>()->findChild<QPushButton *>(QStringLiteral("btnRefresh"))->click();
        QTRY_COMPARE(lineHeldAtClose, QList<bool>{false});
        QVERIFY(raised);
        QCOMPARE(device->pollerCount(), 0);
        return;
    }
    int pollersWhenLineWent = -1;
    connect(port, &QObject::destroyed, this, [&] { pollersWhenLineWent = device->pollerCount(); });
    if (door == "Open") {
        prompts.answerButton(QMessageBox::No);   // the measurement's changes are not saved
        prompts.answerText(space.config);
        window.open();
    } else {
        window.newTree(true);
    }
    QCOMPARE(pollersWhenLineWent, 0);
}

// A laptop's screen, 1366 x 768, which every window must fit, and beside it a smaller laptop's,
// 1280 x 720, and a desktop's, 1600 x 900.
int main(int argc, char *argv[])
{
    QTemporaryDir screens;
    const QString screenConfig = screens.filePath("screens.json");
    TestFiles::write(screenConfig, R"({"screens": [{"name": "laptop", "width": 1366, "height": 768, "logicalDpi": 96},
                                                   {"name": "small", "y": 768, "width": 1280, "height": 720, "logicalDpi": 96},
                                                   {"name": "wide", "x": 1366, "width": 1600, "height": 900, "logicalDpi": 96}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screenConfig));
    DebugQt::instance(DebugQt::HandlerMask, nullptr)->emitFlag = true;
    TempWorkDir workDir;
    AppSettings::instance()->loadStartup();
    Application application(argc, argv);
    Application::loadTranslations(QStringLiteral(":/lang"));
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
