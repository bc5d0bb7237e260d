#include "mainwindow/mainwindow.h"

#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "core/debugqtstream.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

const char kVersion[] = "1.2.23";

quint32 logMask(const QStringList &flags)
{
    quint32 mask = DebugQt::FormatBits;
    for (const QString &flag : flags) {
        if (flag == QLatin1String("ERR"))
            mask |= DebugQt::LevelError;
        else if (flag == QLatin1String("WARN"))
            mask |= DebugQt::LevelWarning;
        else if (flag == QLatin1String("INFO"))
            mask |= DebugQt::LevelInfo;
    }
    return mask;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tree(new QTreeWidget(this))
    , m_versionLabel(new QLabel(this))
{
    m_tree->setHeaderHidden(true);
    m_rootItem = new QTreeWidgetItem(m_tree);
    setCentralWidget(m_tree);
    resize(800, 600); // until a stored geometry says otherwise
    statusBar()->insertPermanentWidget(0, m_versionLabel);
    retranslateUi();

    connect(this, &MainWindow::firstEvent, this, &MainWindow::onFirstEvent, Qt::QueuedConnection);
    loadConfig();
    emit firstEvent();
}

MainWindow::~MainWindow() = default;

QString MainWindow::versionText() const
{
    return m_versionLabel->text();
}

void MainWindow::loadConfig()
{
    DEBUGQT_LOG(4) << "begin";
    AppSettings::instance()->loadStartup();
    onServerLoaded();
    applyAppSettings();
    DEBUGQT_LOG(4) << "end";
}

void MainWindow::applyAppSettings()
{
    DEBUGQT_LOG(4) << "begin";
    AppSettings *settings = AppSettings::instance();
    DebugQt::instance(DebugQt::HandlerMask, nullptr)->mask = logMask(settings->logFlags);
    Application::setLanguage(settings->language);
    if (!settings->geometry.isEmpty())
        restoreGeometry(settings->geometry);
    if (settings->font.family().isEmpty())
        settings->font = QFont(QStringLiteral("MS Sans Serif"), 10);
    else
        DEBUGQT_LOG(4) << settings->font.family();
    m_tree->setFont(settings->font);
    DEBUGQT_LOG(4) << "end";
}

void MainWindow::onServerLoaded()
{
    m_rootItem->setExpanded(true);
}

void MainWindow::onFirstEvent()
{
    m_tree->setCurrentItem(m_rootItem);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslateUi()
{
    m_rootItem->setText(0, tr("Ports & Devices"));
    m_versionLabel->setText(tr("Version: %1").arg(QLatin1String(kVersion)));
}
