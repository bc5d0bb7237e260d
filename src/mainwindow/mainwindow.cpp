#include "mainwindow/mainwindow.h"

#include "ui_mainwindow.h"

#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "editor/maindevicewidget.h"
#include "mainwindow/factorynumberdialog.h"
#include "mainwindow/helpviewer.h"
#include "mainwindow/settingsdialog.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "testrunner/testdevicedialog.h"
#include "widgets/currentpagesize.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QResizeEvent>

namespace {

const char Version[] = "1.2.23";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    m_productTitle = tr("Tenvara");
    m_makerTitle = tr("Morvell. ") + m_productTitle;
    qApp->installEventFilter(this);
    m_settings = AppSettings::instance();

    ui->setupUi(this);
    // The window scrolls the page shown only where that page needs more than the window has.
    CurrentPageSize::follow(ui->stackedWidget);
    createConnections();
    createServer();

    ui->mainTabWidget->setCurrentIndex(0);
    ui->treeWidget->setHeaderHidden(true);
    ui->splitter->setStretchFactor(0, 0);
    ui->splitter->setStretchFactor(1, 5);
    connect(ui->treeWidget, &QTreeWidget::currentItemChanged, this, &MainWindow::currentTreeWidgetItemChanged);

    m_versionLabel = new QLabel(tr("Version: %1").arg(QLatin1String(Version)), this);
    statusBar()->insertPermanentWidget(0, m_versionLabel);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_statusLabel->setIndent(50);
    statusBar()->insertPermanentWidget(0, m_statusLabel);
    createLanguageSelector();

    connect(m_server, &Server::loaded, this, &MainWindow::onServerLoaded);
    loadConfig();
    // An English start gets no language-change event (its translation is empty), so the
    // window's own texts are set here as well.
    retranslateUi();

    connect(this, &MainWindow::firstEvent, this, &MainWindow::onFirstEvent, Qt::QueuedConnection);
    emit firstEvent();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The pages go first: a device page may still refer to its device. The page on show goes
    // last: each time the stack loses its current page it brings up another one, lays it out and
    // switches updates off and on again over every page it holds.
    QWidget *shown = ui->stackedWidget->currentWidget();
    bool shownIsPage = false;
    for (QWidget *page : std::as_const(m_pages)) {
        if (page == shown)
            shownIsPage = true;
        else
            delete page;
    }
    if (shownIsPage)
        delete shown;
    m_pages.clear();
    delete m_rootHolder;
    delete ui;
}

void MainWindow::createConnections()
{
    connect(ui->actionNew, &QAction::triggered, this, qOverload<>(&MainWindow::newTree));
    connect(ui->actionOpen, &QAction::triggered, this, &MainWindow::open);
    connect(ui->actionSave, &QAction::triggered, this, &MainWindow::saveWithQuestion);
    connect(ui->actionSaveAs, &QAction::triggered, this, &MainWindow::saveAs);
    connect(ui->actionFind, &QAction::triggered, this, &MainWindow::find);
    connect(ui->actionAdd, &QAction::triggered, this, &MainWindow::addItem);
    connect(ui->actionRemove, &QAction::triggered, this, &MainWindow::deleteItem);
    connect(ui->actionSettings, &QAction::triggered, this, &MainWindow::changeSettings);
    connect(ui->actionTest, &QAction::triggered, this, &MainWindow::testDevice);
    connect(ui->actionHelp, &QAction::triggered, this, &MainWindow::help);
}

void MainWindow::createLanguageSelector()
{
    m_languageSelector = new QComboBox(this);
    const QStringList languages = Application::languages();
    for (const QString &code : languages)
        m_languageSelector->addItem(QLocale::languageToString(QLocale(code).language()), code);
    m_languageSelector->hide();
    connect(m_languageSelector, &QComboBox::currentIndexChanged, this, &MainWindow::onLangSelectorIndexChanged);
    statusBar()->addPermanentWidget(m_languageSelector);
}

QList<Port *> MainWindow::ports() const
{
    return m_server->ports();
}

QStringList MainWindow::portKeys() const
{
    return m_server->portKeys();
}

Port *MainWindow::portByKey(const QString &key) const
{
    return m_server->portByName(key);
}

Port *MainWindow::findPortBySerialName(const QString &serialName) const
{
    const QList<Port *> all = ports();
    for (Port *port : all) {
        if (port->property("serial_name").toString() == serialName)
            return port;
    }
    return nullptr;
}

void MainWindow::onFirstEvent()
{
    const QString path = m_settings->currentItem;
    if (path.isEmpty())
        return;
    QTreeWidgetItem *found = nullptr;
    const QList<Port *> all = ports();
    for (Port *port : all) {
        if (m_server->name() + QLatin1Char('/') + port->name() == path) {
            found = m_items.value(port);
            break;
        }
        const QList<Device *> devices = port->devices();
        for (Device *device : devices) {
            if (port->name() + QLatin1Char('/') + device->name() == path) {
                found = m_items.value(device);
                break;
            }
        }
        if (found)
            break;
    }
    if (found) {
        found->setSelected(true);
        ui->treeWidget->setCurrentItem(found);
    }
}

void MainWindow::onLangSelectorIndexChanged(int index)
{
    const QString code = m_languageSelector->itemData(index).toString();
    Application::setLanguage(code);
    m_settings->language = code;
    setWindowModified(true);
}

void MainWindow::on_splitter_splitterMoved(int, int)
{
    setWindowModified(true);
    updateActions();
}

void MainWindow::updateActions()
{
    ui->actionSave->setEnabled(isWindowModified());
    ServerItem *item = currentServerItem();
    const int kind = item ? item->type() : 0;
    bool canAdd = kind == ServerItem::ServerKind || kind == ServerItem::PortKind;
    bool canRemove = false;
    bool canTest = false;
    if (auto *port = qobject_cast<Port *>(item)) {
        // A polled device keeps its port too: removing the port would delete the device.
        canRemove = !port->hasDevicesWithStateFlag40() && !port->hasPeriodicallyRequestedDevices();
    } else if (auto *device = qobject_cast<Device *>(item)) {
        const bool busy = device->hasStateFlag(Device::StatePeriodicallyRequested)
            || device->hasStateFlag(Device::StateFlag40);
        canRemove = !busy;
        canTest = !busy && !device->deviceId().isEmpty();
    }
    ui->actionAdd->setEnabled(canAdd);
    ui->actionRemove->setEnabled(canRemove);
    ui->actionTest->setEnabled(canTest);
}

void MainWindow::updateStatusBar()
{
    m_statusLabel->setText(tr("ports: %1, devices: %2").arg(m_server->portCount()).arg(m_server->deviceCount()));
}

void MainWindow::retranslateUi()
{
    retranslateTree();
    m_versionLabel->setText(tr("Version: %1").arg(QLatin1String(Version)));
    updateStatusBar();
    updateWindowTitle();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers both = Qt::ControlModifier | Qt::ShiftModifier;
    if (event->key() == Qt::Key_F && (event->modifiers() & both) == both) {
        event->ignore();
        saveFactoryNumber();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (event->oldSize().isValid()) {
        setWindowModified(true);
        updateActions();
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateUi();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::changeSettings()
{
    SettingsDialog dialog(this);
    dialog.setFont(m_settings->font);
    dialog.setSettings(*m_settings);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The record is copied back whole: every field the dialog edits, and those it only carries.
    *m_settings = dialog.settings();
    applyAppSettings();
    setWindowModified(true);
    updateActions();
}

void MainWindow::help()
{
    HelpViewer viewer(nullptr, true);
    viewer.loadFile(QStringLiteral(":/doc/tenvara.txt"));
    viewer.setFont(m_settings->font);
    viewer.exec();
}

void MainWindow::testDevice()
{
    Device *device = currentDevice();
    if (!device || device->deviceId().isEmpty())
        return;
    TestDeviceDialog dialog(this, device);
    const QMetaObject::Connection relay = connect(&dialog, &TestDeviceDialog::changed, this, &MainWindow::onChanged);
    // Only a termination closes the window while the dialog is up; its run ends with the window.
    connect(this, &MainWindow::closeApplication, &dialog, &TestDeviceDialog::abandon);
    dialog.exec();
    disconnect(relay);
}

void MainWindow::saveFactoryNumber()
{
    Device *device = currentDevice();
    if (!device)
        return;
    FactoryNumberDialog dialog(this, device);
    dialog.exec();
    if (!dialog.written())
        return;
    if (auto *page = qobject_cast<MainDeviceWidget *>(m_pages.value(device)))
        page->showDeviceInfoInFields();
}
