#pragma once

#include "app/PrintMenu.h"
#include "app/ScreenOpeners.h"

#include <QHash>
#include <QMainWindow>

#include <array>

class ColorScheme;
class DataControl;
class ProportionalResizer;
class QAction;
class QMenu;
class QPushButton;

// The program's home: six task buttons open the working screens, and the menu bar holds the
// file commands, the paper size, the utilities, the printed reports, the window's colour and font,
// and help. It is the first window created and the last one closed: closing it ends the program.
// While a screen opened from here is open, it is disabled (MainWindowLock).
class MainMenu : public QMainWindow {
    Q_OBJECT
public:
    explicit MainMenu(QWidget* parent = nullptr);
    ~MainMenu() override;

    // Start-up, before the window is shown: help, the colour source, and Inventory.mdb, which
    // the first start makes from a template chosen in "Parts Selection". False when the program
    // is to end instead of showing the main window.
    bool Form_Load();

    // The windows the task buttons and the utilities open.
    ScreenOpeners& screens() { return m_screens; }

    DataControl* Data1;                 // parts source: Inventory.mdb, or a file chosen with "&Open..."
    ColorScheme* Colors;                // colour source: table MainMenuColors in Colors.mdb

    std::array<QPushButton*, 6> SSDBCommand;   // SSDBCommand1 .. SSDBCommand6

    QMenu* mnuFile;
    QAction* mnuFileOpen;
    QAction* mnuFileSaveAs;
    QAction* mnuFilePrintPreview;
    QMenu* MnuPaperSetup;
    QAction* MnuLetter;
    QAction* MnuA4;
    QAction* mnuFileExit;
    QMenu* MnuUtilities;
    QAction* MnuUtilitiesCompact;
    QAction* MnuUtilitiesBackup;
    QAction* mnuUtilitiesChangeprices;
    QAction* MnuUpdatDatabase;
    QMenu* MnuPRint;
    QMenu* mnuTools;
    QMenu* mnuToolsCustomize;
    QAction* MnuCustomizeColors;
    QAction* MnuCustomFonts;
    QMenu* mnuHelp;
    QAction* mnuHelpContents;
    QAction* mnuWindowSearchForHelpOn;
    QAction* mnuHelpIndex;
    QAction* mnuHelpAbout;
    QAction* mnuHelpTechnicalSupport;

    // The Print menu's commands by item name; runs nothing for an item without a command yet.
    QAction* printItem(const QString& name) const { return m_printItems.value(name); }
    void RunPrintCommand(const QString& name);

    void SSDBCommand1_AfterClick();
    void SSDBCommand2_AfterClick();
    void SSDBCommand3_AfterClick();
    void SSDBCommand4_AfterClick();
    void SSDBCommand5_AfterClick();
    void SSDBCommand6_AfterClick();

    void mnuFileOpen_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePrintPreview_Click();
    void MnuLetter_Click();
    void MnuA4_Click();
    void MnuFileExit_Click();
    void MnuUtilitiesCompact_Click();
    void MnuUtilitiesBackup_Click();
    void mnuUtilitiesChangeprices_Click();
    void MnuUpdatDatabase_Click();
    void MnuOnePart_Click();              // ShowPartUsage
    void MnuCustomizeColors_Click();
    void MnuCustomFonts_Click();
    void mnuHelpContents_Click();
    void mnuWindowSearchForHelpOn_Click();
    void mnuHelpIndex_Click();
    void mnuHelpAbout_Click();
    void mnuHelpTechnicalSupport_Click();
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTaskButtons();
    void buildMenus();
    void buildPrintMenu();
    // Shows a screen modeless with the main window disabled until the screen closes.
    QWidget* OpenScreen(const QString& screen, std::function<void()> onRelease = {});

    ScreenOpeners m_screens;
    ProportionalResizer* m_resizer = nullptr;
    QHash<QString, QAction*> m_printItems;
    QHash<QString, PrintCommand> m_printCommands;
    QString m_dialogFileName;   // the file dialog's name, kept between uses as the dialog kept it
};
