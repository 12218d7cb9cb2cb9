#pragma once

#include <QString>

class QWidget;

// Help in place of the legacy help engine: the help file INVENT~2.HLP in the program's folder,
// shown by a small viewer (contents, keyword search, topic by context number). Every call
// goes through HelpService, so that tests can record what was asked for.
class HelpService
{
public:
    virtual ~HelpService() = default;
    virtual void showTopic(const QString& helpFile, int contextNumber) = 0;
    virtual void showContents(const QString& helpFile) = 0;
    virtual void search(const QString& helpFile, const QString& keyword) = 0;   // "" opens the search
    virtual void quit() = 0;                                                     // closes the viewer
    static HelpService& get();
    static void install(HelpService* service);   // nullptr restores the viewer; not owned
};

// The five help procedures the windows call. SetUpHelp (once, at start) keeps the owner and
// sets the help file: the program's folder, trimmed, joined with "/INVENT~2.HLP" (no second
// separator when the folder already ends with one, as the root "/" does).
void SetUpHelp(qintptr owner);
void QuitHelp();
void ShowHelpTopic(int topic);
void ShowHelpContents();
void SearchHelp();
QString HelpFilePath();   // as SetUpHelp set it; before that, where SetUpHelp would put it
qintptr HelpOwner();      // the owner SetUpHelp kept; 0 before
QString HelpFilePathFor(const QString& folder);   // the rule SetUpHelp applies to the program's folder

// F1 in the window (or while one of its menus is open, for a menu) shows this topic. F1 in a
// window or menu without a number of its own shows the number of the nearest window or menu
// around it that has one (a submenu its menu's, a menu without one its window's).
void setHelpContext(QWidget* windowOrMenu, int topic);
int helpContext(const QWidget* widget);   // the number F1 shows there; 0 when none
