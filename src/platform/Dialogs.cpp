#include "platform/Dialogs.h"

#include "platform/Cursor.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

namespace {

Dialogs* installedDialogs = nullptr;

QString bareExtension(const QString& ext)
{
    QString bare = ext.trimmed();
    while (bare.startsWith(QLatin1Char('.')))
        bare.remove(0, 1);
    return bare;
}

void prepare(QFileDialog& dialog, const FileDialogOptions& options)
{
    const QStringList filters = fileDialogFilters(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.at(qBound(1, options.filterIndex, int(filters.size())) - 1));
    }
    dialog.setDefaultSuffix(bareExtension(options.defaultExt));

    QString folder = options.folder;
    QString name = options.fileName;
    if (!name.isEmpty() && QFileInfo(name).isAbsolute()) {
        folder = QFileInfo(name).absolutePath();
        name = QFileInfo(name).fileName();
    }
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (!name.isEmpty())
        dialog.selectFile(name);
}

class QtDialogs : public Dialogs {
public:
    QString openFile(const FileDialogOptions& options) override
    {
        QFileDialog dialog(QApplication::activeWindow(), options.title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        prepare(dialog, options);
        ArrowCursor arrow;
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }

    QStringList openFiles(const FileDialogOptions& options) override
    {
        QFileDialog dialog(QApplication::activeWindow(), options.title);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        prepare(dialog, options);
        ArrowCursor arrow;
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles();
    }

    QString saveFile(const FileDialogOptions& options) override
    {
        QFileDialog dialog(QApplication::activeWindow(), options.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        prepare(dialog, options);
        ArrowCursor arrow;
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        // A native dialog may ignore the default suffix.
        return withDefaultExtension(dialog.selectedFiles().value(0), options.defaultExt);
    }

    std::optional<QColor> chooseColor(const QColor& initial) override
    {
        ArrowCursor arrow;
        const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow());
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }

    std::optional<QFont> chooseFont(const QFont& initial) override
    {
        ArrowCursor arrow;
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
        if (!ok)
            return std::nullopt;
        return chosen;
    }

    bool printerSetup(QPrinter& printer) override
    {
        ArrowCursor arrow;
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        dialog.setWindowTitle(QStringLiteral("Printer Setup"));
        // Accepting sets the printer up; nothing prints, so no button may say it does.
        for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
            if (QPushButton* accept = buttons->button(QDialogButtonBox::Ok))
                accept->setText(QStringLiteral("OK"));
        return dialog.exec() == QDialog::Accepted;
    }

    bool printDialog(QPrinter& printer) override
    {
        ArrowCursor arrow;
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    }

    QString chooseFolder(const QString& title, const QString& start) override
    {
        ArrowCursor arrow;
        return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, start);
    }
};

}  // namespace

bool Dialogs::printDialog(QPrinter& printer)
{
    return printerSetup(printer);
}

QStringList Dialogs::openFiles(const FileDialogOptions& options)
{
    const QString one = openFile(options);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

Dialogs& Dialogs::get()
{
    static QtDialogs real;
    return installedDialogs ? *installedDialogs : real;
}

void Dialogs::install(Dialogs* d)
{
    installedDialogs = d;
}

QPrinter& sharedPrinter()
{
    // Never destroyed: a printer torn down after the application object can crash the print system.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

QStringList fileDialogFilters(const QString& filter)
{
    if (filter.trimmed().isEmpty())
        return {};
    if (filter.contains(QLatin1String(";;")) || !filter.contains(QLatin1Char('|')))
        return filter.split(QLatin1String(";;"), Qt::SkipEmptyParts);

    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        description.remove(trailingPatterns);
        QStringList patterns;
        for (QString pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            // "*.*" means every file on the legacy platform, extension or not.
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
            if (!pattern.isEmpty() && !patterns.contains(pattern))
                patterns.append(pattern);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        filters.append(QStringLiteral("%1 (%2)").arg(description.trimmed(), patterns.join(QLatin1Char(' '))));
    }
    return filters;
}

QString withDefaultExtension(const QString& path, const QString& ext)
{
    const QString bare = bareExtension(ext);
    if (path.isEmpty() || bare.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    if (name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + bare;
}
