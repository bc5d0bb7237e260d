#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "mainwindow/mainwindow.h"
#include "ui_mainwindow.h"

#include "eventcounter.h"
#include "promptrecorder.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

// Runs in the program's own start-up order (see main below): logger, settings store in a fresh
// working folder, application object, translators.
class TestStartup : public QObject
{
    Q_OBJECT

public:
    explicit TestStartup(Application *application)
        : m_application(application)
    {
    }

private slots:
    void startupFilesInFreshFolder();
    void languagesFromEmbeddedTranslations();
    void switchingLanguage();
    void styleSheets();
    void windowShowsRootAndVersion();
    void closingWindowEndsEventLoop();
    void programStartsInEmptyFolder();

private:
    Application *m_application;
};

void TestStartup::startupFilesInFreshFolder()
{
    QVERIFY(QFileInfo::exists(AppSettings::startupFileName()));
    QVERIFY(QFileInfo::exists(AppSettings::defaultConfigFileName()));
    QCOMPARE(AppSettings::configFileName(), AppSettings::defaultConfigFileName());
}

void TestStartup::languagesFromEmbeddedTranslations()
{
    QStringList languages = Application::languages();
    languages.sort();
    QCOMPARE(languages, (QStringList{"en_US", "ru_RU"}));
}

void TestStartup::switchingLanguage()
{
    Application::setLanguage("ru_RU");
    QCOMPARE(Application::language(), QStringLiteral("ru_RU"));
    QCOMPARE(MainWindow::tr("Ports & Devices"), QStringLiteral("Порты и устройства"));
    // Qt's own standard buttons follow the language too.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    Application::setLanguage("de_DE");
    QCOMPARE(MainWindow::tr("Ports & Devices"), QStringLiteral("Ports & Devices"));
    QCOMPARE(Application::language(), QStringLiteral("ru_RU"));

    Application::setLanguage("en_US");
    QCOMPARE(Application::language(), QStringLiteral("en_US"));
    QCOMPARE(MainWindow::tr("Ports & Devices"), QStringLiteral("Ports & Devices"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

    // The language in use, set again, sends no widget to translate its texts once more.
    QWidget widget;
    EventCounter changes(QEvent::LanguageChange);
    widget.installEventFilter(&changes);
    Application::setLanguage("en_US");
    QCoreApplication::processEvents();
    QCOMPARE(changes.count, 0);
    Application::setLanguage("ru_RU");
    QTRY_VERIFY(changes.count > 0);
    Application::setLanguage("en_US");
}

void TestStartup::styleSheets()
{
    const QString css = AppSettings::baseDir() + "/css";
    QVERIFY(!m_application->loadCss());

    QDir().mkpath(css);
    QVERIFY(m_application->loadCss());
    QCOMPARE(m_application->styleSheet(), QString());

    QVERIFY(TestFiles::write(css + "/b.css", "QLabel { color: red; }"));
    QVERIFY(TestFiles::write(css + "/a.css", "QLabel { color: blue; }\n"));
    QVERIFY(TestFiles::write(css + "/note.txt", "ignored"));
    QCOMPARE(m_application->readAllFiles(css, {"*.css"}),
             QStringLiteral("QLabel { color: blue; }\nQLabel { color: red; }"));

    // The base folder's css comes before the current folder's.
    TempWorkDir elsewhere;
    QVERIFY(TestFiles::write(elsewhere.filePath("css/c.css"), "QWidget { }"));
    QVERIFY(m_application->loadCss());
    QCOMPARE(m_application->styleSheet(), QStringLiteral("QLabel { color: blue; }\nQLabel { color: red; }"));
    QDir(css).removeRecursively();
    QVERIFY(m_application->loadCss());
    QCOMPARE(m_application->styleSheet(), QStringLiteral("QWidget { }"));
    m_application->setStyleSheet(QString());
}

void TestStartup::windowShowsRootAndVersion()
{
    MainWindow window;
    // The language change reaches the window through its event queue.
    Application::setLanguage("en_US");
    QTRY_COMPARE(window.form()->treeWidget->topLevelItem(0)->text(0), QStringLiteral("Ports & Devices"));
    QCOMPARE(window.versionLabel()->text(), QStringLiteral("Version: 1.2.23"));
    Application::setLanguage("ru_RU");
    QTRY_COMPARE(window.form()->treeWidget->topLevelItem(0)->text(0), QStringLiteral("Порты и устройства"));
    QCOMPARE(window.versionLabel()->text(), QStringLiteral("Версия: 1.2.23"));
    QTRY_COMPARE(window.form()->treeWidget->currentItem(), window.form()->treeWidget->topLevelItem(0));
}

void TestStartup::closingWindowEndsEventLoop()
{
    PromptRecorder prompts;
    prompts.answerButton(QMessageBox::Yes);
    MainWindow window;
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    QCOMPARE(m_application->exec(), 0);
    QCOMPARE(prompts.requests.size(), 1); // "Are you sure you want to exit the application ?"
}

void TestStartup::programStartsInEmptyFolder()
{
    TempWorkDir dir;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.start(QCoreApplication::applicationDirPath() + "/../tenvara", {});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath("cfg/startup.cfg"))
                                 && QFileInfo::exists(dir.filePath("cfg/tenvara.cfg")),
                             20000);
    QCOMPARE(program.state(), QProcess::Running);
    // Asked to end, the program closes its window and leaves its event loop normally.
    program.terminate();
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

int main(int argc, char *argv[])
{
    DebugQt::instance(DebugQt::HandlerMask, nullptr)->emitFlag = true;
    TempWorkDir workDir;
    AppSettings::instance()->loadStartup();
    Application application(argc, argv);
    Application::loadTranslations(QStringLiteral(":/lang"));
    application.setQuitOnLastWindowClosed(true);

    TestStartup test(&application);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
