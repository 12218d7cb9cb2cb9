#include "support/ScriptedDialogs.h"

#include <QTest>

namespace {

void unexpected(const QString& what)
{
    const QString failure = QStringLiteral("Unexpected %1 dialog: nothing scripted for it").arg(what);
    QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
}

}  // namespace

ScriptedDialogs::ScriptedDialogs()
    : m_previous(&Dialogs::get())
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    if (&Dialogs::get() == this)
        Dialogs::install(m_previous);
}

ScriptedDialogs& ScriptedDialogs::answerOpenFile(const QString& path)
{
    m_openAnswers.append(path);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerSaveFile(const QString& path)
{
    m_saveAnswers.append(path);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerColor(std::optional<QColor> color)
{
    m_colorAnswers.append(color);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFont(std::optional<QFont> font)
{
    m_fontAnswers.append(font);
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerPrinterSetup(bool ok, std::function<void(QPrinter&)> configure)
{
    m_printerAnswers.append({ok, std::move(configure)});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::answerFolder(const QString& path)
{
    m_folderAnswers.append(path);
    return *this;
}

bool ScriptedDialogs::allAnswered() const
{
    return m_openAnswers.isEmpty() && m_saveAnswers.isEmpty() && m_folderAnswers.isEmpty()
        && m_colorAnswers.isEmpty() && m_fontAnswers.isEmpty() && m_printerAnswers.isEmpty();
}

bool ScriptedDialogs::verifyAllAnswered()
{
    if (allAnswered())
        return true;
    const QString failure = QStringLiteral("Scripted dialogs never asked for: %1 open, %2 save, %3 colour, "
                                           "%4 font, %5 printer, %6 folder")
                                .arg(m_openAnswers.size())
                                .arg(m_saveAnswers.size())
                                .arg(m_colorAnswers.size())
                                .arg(m_fontAnswers.size())
                                .arg(m_printerAnswers.size())
                                .arg(m_folderAnswers.size());
    QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
    return false;
}

QString ScriptedDialogs::openFile(const FileDialogOptions& options)
{
    m_openCalls.append(options);
    if (m_openAnswers.isEmpty()) {
        unexpected(QStringLiteral("open-file"));
        return QString();
    }
    return m_openAnswers.takeFirst();
}

QString ScriptedDialogs::saveFile(const FileDialogOptions& options)
{
    m_saveCalls.append(options);
    if (m_saveAnswers.isEmpty()) {
        unexpected(QStringLiteral("save-file"));
        return QString();
    }
    return withDefaultExtension(m_saveAnswers.takeFirst(), options.defaultExt);
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor& initial)
{
    m_colorCalls.append(initial);
    if (m_colorAnswers.isEmpty()) {
        unexpected(QStringLiteral("colour"));
        return std::nullopt;
    }
    return m_colorAnswers.takeFirst();
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont& initial)
{
    m_fontCalls.append(initial);
    if (m_fontAnswers.isEmpty()) {
        unexpected(QStringLiteral("font"));
        return std::nullopt;
    }
    return m_fontAnswers.takeFirst();
}

bool ScriptedDialogs::printerSetup(QPrinter& printer)
{
    ++m_printerCalls;
    if (m_printerAnswers.isEmpty()) {
        unexpected(QStringLiteral("printer set-up"));
        return false;
    }
    const PrinterAnswer answer = m_printerAnswers.takeFirst();
    if (answer.ok && answer.configure)
        answer.configure(printer);
    return answer.ok;
}

QString ScriptedDialogs::chooseFolder(const QString& title, const QString& start)
{
    m_folderCalls.append({title, start});
    if (m_folderAnswers.isEmpty()) {
        unexpected(QStringLiteral("folder"));
        return QString();
    }
    return m_folderAnswers.takeFirst();
}
