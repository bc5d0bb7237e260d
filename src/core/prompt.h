#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box, file dialog and input dialog of the program goes through here, so that a
// test can answer it instead of a person.
class Prompt
{
public:
    enum Kind { Information, Warning, Critical, Question, OpenFile, SaveFile, Directory, Text, Font, Number };

    struct Request
    {
        Kind kind = Information;
        QString title;
        QString text;    // message, or the label of an input dialog
        QString path;    // start folder or file of a file dialog, initial text of an input dialog
        QString filter;  // file dialogs
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton; // message boxes
        QFont font;      // initial font of a font dialog
        double value = 0;      // number dialog: initial value, range and decimals
        double minimum = 0;
        double maximum = 0;
        int decimals = 0;
    };

    struct Answer
    {
        QMessageBox::StandardButton button = QMessageBox::Ok;
        QString text;           // chosen path or typed text; empty when cancelled
        bool accepted = true;
        QFont font;             // chosen font of a font dialog
        double value = 0;       // typed number of a number dialog
    };

    using Handler = std::function<Answer(const Request &)>;

    // Replaces the real dialogs (tests); an empty handler restores them.
    static void setHandler(Handler handler);

    static QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
                                   const QString &filter = QString());
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &dir = QString(),
                                   const QString &filter = QString());
    static QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir = QString());
    static QString getText(QWidget *parent, const QString &title, const QString &label, const QString &text = QString(),
                           bool *ok = nullptr);
    // A number dialog; *ok tells whether a number was accepted (else the initial value returns).
    static double getDouble(QWidget *parent, const QString &title, const QString &label, double value, double minimum,
                            double maximum, int decimals, bool *ok);
    // A font dialog starting at initial; *ok tells whether a font was chosen.
    static QFont getFont(bool *ok, const QFont &initial, QWidget *parent, const QString &title = QString());

private:
    static Answer ask(QWidget *parent, const Request &request);
    static Answer askPerson(QWidget *parent, const Request &request);
};
