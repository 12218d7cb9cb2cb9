#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;

struct FileDialogOptions {
    QString title;
    // Either the legacy pipe form ("Text (*.txt)|*.txt|All (*.*)|*.*") or Qt's ";;" form.
    QString filter;
    int filterIndex = 1;  // 1-based, as in the legacy form
    QString defaultExt;   // with or without the dot
    QString fileName;     // initial or remembered name; an absolute path also picks the folder
    QString folder;
};

// File, colour, font, printer and folder dialogs. Screens go through Dialogs::get(), so that a
// test can install a scripted set that answers in order.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual QString openFile(const FileDialogOptions& options) = 0;  // empty = cancelled
    // One or more existing files of one folder; empty = cancelled. Unless a set of dialogs
    // offers more, this is openFile's single choice.
    virtual QStringList openFiles(const FileDialogOptions& options);
    // Empty = cancelled. The default extension is appended when the chosen name has none.
    virtual QString saveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    // Chooses and sets up the printer without printing: its accept button reads "OK".
    virtual bool printerSetup(QPrinter& printer) = 0;  // false = cancelled
    // The same choice just before something prints (accept button "Print"). Unless a set of
    // dialogs offers more, this is printerSetup.
    virtual bool printDialog(QPrinter& printer);
    virtual QString chooseFolder(const QString& title, const QString& start) = 0;  // empty = cancelled

    static Dialogs& get();            // the installed set, else the real dialogs
    static void install(Dialogs* d);  // nullptr restores the real dialogs; not owned
};

// The one printer of the application: Printer Setup configures it, reports print on it.
QPrinter& sharedPrinter();

// Name filters in Qt's form ("Text (*.txt)", "All (*)") for either filter form above.
QStringList fileDialogFilters(const QString& filter);

// path with ".ext" appended when its file name has no extension; unchanged for an empty path.
QString withDefaultExtension(const QString& path, const QString& ext);
