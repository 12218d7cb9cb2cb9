#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QPair>

#include <functional>

// Answers dialogs from per-kind queues and records what each call asked for. Installed for its
// lifetime. A call with nothing queued for its kind fails the running test and is cancelled.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // An empty path, std::nullopt or false answers as Cancel would.
    ScriptedDialogs& answerOpenFile(const QString& path);
    ScriptedDialogs& answerSaveFile(const QString& path);
    ScriptedDialogs& answerColor(std::optional<QColor> color);
    ScriptedDialogs& answerFont(std::optional<QFont> font);
    // configure, when given, plays the user's choices on the printer before OK.
    ScriptedDialogs& answerPrinterSetup(bool ok, std::function<void(QPrinter&)> configure = {});
    ScriptedDialogs& answerFolder(const QString& path);

    const QList<FileDialogOptions>& openFileCalls() const { return m_openCalls; }
    const QList<FileDialogOptions>& saveFileCalls() const { return m_saveCalls; }
    const QList<QColor>& colorCalls() const { return m_colorCalls; }
    const QList<QFont>& fontCalls() const { return m_fontCalls; }
    int printerSetupCalls() const { return m_printerCalls; }
    const QList<QPair<QString, QString>>& folderCalls() const { return m_folderCalls; }  // title, start

    bool allAnswered() const;
    bool verifyAllAnswered();  // fails the running test when queued answers were not used

    QString openFile(const FileDialogOptions& options) override;
    QString saveFile(const FileDialogOptions& options) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    bool printerSetup(QPrinter& printer) override;
    QString chooseFolder(const QString& title, const QString& start) override;

private:
    struct PrinterAnswer {
        bool ok;
        std::function<void(QPrinter&)> configure;
    };

    Dialogs* m_previous;
    QList<QString> m_openAnswers, m_saveAnswers, m_folderAnswers;
    QList<std::optional<QColor>> m_colorAnswers;
    QList<std::optional<QFont>> m_fontAnswers;
    QList<PrinterAnswer> m_printerAnswers;

    QList<FileDialogOptions> m_openCalls, m_saveCalls;
    QList<QColor> m_colorCalls;
    QList<QFont> m_fontCalls;
    int m_printerCalls = 0;
    QList<QPair<QString, QString>> m_folderCalls;
};
