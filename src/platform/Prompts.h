#pragma once

#include <QList>
#include <QString>

// Message boxes, input boxes and the beep. Screens never show a box directly: they go through
// Prompts::get(), so that a test can install a scripted service that answers in order.
class Prompts {
public:
    enum Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

    virtual ~Prompts() = default;

    // style uses the legacy message-box numbers: the low four bits choose the buttons
    // (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel);
    // 16 critical, 32 question, 48 exclamation, 64 information icon; 256 makes the second
    // button the default, 512 the third. An empty title shows AppInfo::title.
    virtual int message(const QString& text, int style, const QString& title) = 0;

    // Input box with a prompt, a title (empty = AppInfo::title) and default text, its top-left
    // corner at (xTwips, yTwips) from the screen's top-left; -1 centres it on that axis.
    // Returns the typed text, or an empty string when cancelled.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultText,
                          int xTwips, int yTwips) = 0;

    virtual void beep() = 0;

    static Prompts& get();            // the installed service, else the one showing real boxes
    static void install(Prompts* p);  // nullptr restores the real one; not owned

    // The answers a box of this style offers, in button order.
    static QList<int> answersOffered(int style);
    // The answer Enter gives: the default button's (the first, or the one 256 or 512 names).
    static int defaultAnswer(int style);
};

int MsgBox(const QString& text, int style = 0, const QString& title = QString());
QString InputBox(const QString& prompt, const QString& title = QString(),
                 const QString& defaultText = QString(), int xTwips = -1, int yTwips = -1);
void Beep();
