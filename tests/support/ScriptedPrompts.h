#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Answers prompts from a script, in order, and records every prompt. Installed for its lifetime.
// A prompt with no queued answer of its kind fails the running test and is answered OK / empty.
class ScriptedPrompts : public Prompts {
public:
    struct Recorded {
        enum Kind { Message, Input, Beep };
        Kind kind = Message;
        QString text;            // as passed, line breaks unconverted
        int style = 0;
        QString title;           // as passed
        QString effectiveTitle;  // what the user sees: AppInfo::title for an empty title
        QString defaultText;
        int x = -1;
        int y = -1;
        bool beepBefore = false;  // a beep came immediately before this prompt
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // A message box answered with this button; Enter answers with the box's default button.
    static constexpr int Enter = -1;
    ScriptedPrompts& expectMessage(int answer = Ok);
    ScriptedPrompts& answerInput(const QString& text);

    const QList<Recorded>& log() const { return m_log; }
    QList<Recorded> messages() const;
    QStringList texts() const;  // texts of messages and input prompts, in order
    int beeps() const;
    bool allAnswered() const { return m_script.isEmpty(); }
    bool verifyAllAnswered();   // fails the running test when queued answers were not used

    int message(const QString& text, int style, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText,
                  int xTwips, int yTwips) override;
    void beep() override;

private:
    struct Step {
        Recorded::Kind kind;
        int answer;
        QString text;
    };

    Recorded& record(Recorded::Kind kind, const QString& text, const QString& title);

    Prompts* m_previous;
    QList<Step> m_script;
    QList<Recorded> m_log;
};
