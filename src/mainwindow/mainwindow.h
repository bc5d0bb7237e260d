#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <QVariantMap>

class AppSettings;
class Device;
class Port;
class QComboBox;
class QLabel;
class QTreeWidgetItem;
class Server;
class ServerItem;

namespace Ui {
class MainWindow;
}

// The program's window: the tree of the server, its ports and their devices beside one editor
// page per tree item, the tool bar, the configuration-file commands and the status bar.
//
// Definitions are spread by concern: mainwindow.cpp (construction, actions, status, dialogs),
// mainwindow_tree.cpp (tree items and editor pages), mainwindow_files.cpp (configuration files).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindow *form() const { return ui; }
    Server *server() const { return m_server; }
    QList<Port *> ports() const;
    QStringList portKeys() const;
    Port *portByKey(const QString &key) const;
    Port *findPortBySerialName(const QString &serialName) const;

    QTreeWidgetItem *treeItem(ServerItem *item) const { return m_items.value(item); }
    QWidget *editorPage(ServerItem *item) const { return m_pages.value(item); }
    QLabel *statusLabel() const { return m_statusLabel; }
    QLabel *versionLabel() const { return m_versionLabel; }
    QComboBox *languageSelector() const { return m_languageSelector; }

    // Configuration files
    bool loadConfigFile(const QString &fileName);
    bool loadConfigData();
    bool saveConfigFile(const QString &fileName);
    bool backupConfigFile();
    bool rollbackBackupConfigFile();
    void setCurrentFile(const QString &fileName);
    void updateWindowTitle();
    bool maybeSave(bool exit);
    void applyAppSettings();

    // Tree and pages
    void createTreeItem(Port *port, bool select);
    void createDeviceWidget(Port *port, Device *device, bool select);
    void updateTreeItem(Device *device);
    void updateAllTreeItems();
    void setRootItemFont(bool modified);
    void retranslateTree();
    void removePortItem(Port *port);
    void removeDeviceItem(Device *device);
    // Places the records of a device search on the ports that use their serial lines.
    void addFoundDevices(const QList<QVariantMap> &records);

signals:
    void firstEvent();
    void closeApplication();

public slots:
    void onFirstEvent();
    void onServerLoaded();
    void onChanged();
    void currentTreeWidgetItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void onLangSelectorIndexChanged(int index);
    void on_splitter_splitterMoved(int pos, int index);

    void newTree() { newTree(false); }
    void newTree(bool force);
    void open();
    bool save();
    bool saveWithQuestion();
    bool saveAs();
    void serverModified();

    void addItem();
    void deleteItem();
    void find();
    void changeSettings();
    void help();
    void testDevice();
    void saveFactoryNumber();

    void updateActions();
    void updateStatusBar();
    // Asked to end by the system: the device pages stop their work and the window closes
    // without questions, as nobody is there to answer them. Nothing is saved.
    void closeOnTermination();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createConnections();
    void createServer();
    void createLanguageSelector();
    void loadConfig();
    void retranslateUi();
    QTreeWidgetItem *rootItem() const;
    ServerItem *currentServerItem() const;
    Device *currentDevice() const;
    QWidget *createDevicePage(const QString &templateName);
    void dropPage(ServerItem *item);
    void addPage(QWidget *page);
    void handlePageEvents();
    void applySettingsFont();
    void showCurrentItemPage();
    QString nextFreePortName() const;

    Ui::MainWindow *ui = nullptr;
    AppSettings *m_settings = nullptr;
    Server *m_rootHolder = nullptr;
    Server *m_server = nullptr;
    QHash<ServerItem *, QTreeWidgetItem *> m_items;
    QHash<ServerItem *, QWidget *> m_pages;
    QString m_shownFileName;
    QString m_productTitle;
    QString m_makerTitle;
    QLabel *m_versionLabel = nullptr;
    QLabel *m_statusLabel = nullptr;
    QComboBox *m_languageSelector = nullptr;
    bool m_terminating = false;
    bool m_closeDeferred = false;   // a close waits for this thread's transaction to end
    // Set while a loaded tree is built: every change of the shown page walks all pages built so
    // far, and a shown stack lays itself out again for every page added, so the pages join the
    // stack and the shown page is chosen once, when the whole tree is there.
    bool m_buildingTree = false;
    QList<QWidget *> m_builtPages;
};
