#pragma once

#include <QDialog>
#include <QMap>
#include <QString>
#include <QVariantMap>

class QEvent;
class Ui_DeviceAddDialog;

// The template chooser of a port's add action: one row per device template the program knows,
// ticked in its first cell. The selection maps each ticked row's shown name to its template
// name, which chooses the new device's class and editor.
class DeviceAddDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DeviceAddDialog(QWidget *parent = nullptr);
    ~DeviceAddDialog() override;

    // Shown name -> template name of every ticked row, ordered by the shown name.
    QMap<QString, QString> userSelection() const;

public slots:
    void updateOkButton();

protected:
    void changeEvent(QEvent *event) override;

private:
    void fillTemplates();
    void addTemplateRow(const QVariantMap &row);

    Ui_DeviceAddDialog *ui;
};
