#pragma once

#include <QMainWindow>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the tree of ports and devices beside the editor pages, the version label and
// the status bar. It loads the configuration named by the start-up file when it is created.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QTreeWidget *tree() const { return m_tree; }
    QString versionText() const;

signals:
    void firstEvent();

public slots:
    void onServerLoaded();
    void onFirstEvent();

protected:
    void changeEvent(QEvent *event) override;

private:
    void loadConfig();
    void applyAppSettings();
    void retranslateUi();

    QTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_rootItem = nullptr;
    QLabel *m_versionLabel = nullptr;
};
