#include "app/MainMenu.h"

#include "app/AMForBRUNS.h"
#include "app/AboutBox.h"
#include "app/Information.h"
#include "app/TaskIcons.h"
#include "colours/ColorScheme.h"
#include "data/Connection.h"
#include "data/DataControl.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/AppInfo.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "platform/VendorInformation.h"
#include "reports/PaperSize.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>

namespace {

struct TaskButton {
    const char* caption;
    int left;
    int top;
    const QString& screen;
};

// In tab order: two columns of three.
const TaskButton taskButtons[] = {
    {"&Maintain Database", 300, 1380, ScreenName::MaintScreen},
    {"&Tag Parts for Ordering", 4800, 1380, ScreenName::TagParts},
    {"&Center Information", 300, 2460, ScreenName::Information},
    {"R&eceive Parts", 4800, 2460, ScreenName::ReceiveParts},
    {"U&se Parts", 300, 3540, ScreenName::PartsUsage},
    {"&Input Your Inventory", 4800, 3540, ScreenName::ModifyData},
};

QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

ColorSchemeConfig mainMenuColors()
{
    ColorSchemeConfig config;
    config.tableName = QStringLiteral("MainMenuColors");
    config.bindings = {{QStringLiteral("MainFormBackColor"), QString(), ColorProperty::BackColor}};
    config.menuName = QStringLiteral("mnuToolsCustomize");
    config.menuCaption = QStringLiteral("&Customize");
    ColorMenuItem colors;
    colors.name = QStringLiteral("MnuCustomizeColors");
    colors.caption = QStringLiteral("Col&ors");
    colors.steps = {ColorStep::apply(QString(), ColorProperty::BackColor),
                    ColorStep::store(QStringLiteral("MainFormBackColor"))};
    config.items = {colors};
    return config;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* addMenu(QWidget* parentMenu, const char* name, const char* caption)
{
    auto* menu = new QMenu(QString::fromLatin1(caption), parentMenu);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    if (auto* bar = qobject_cast<QMenuBar*>(parentMenu))
        bar->addMenu(menu);
    else if (auto* parent = qobject_cast<QMenu*>(parentMenu))
        parent->addMenu(menu);
    return menu;
}

}  // namespace

MainMenu::MainMenu(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainMenu"));
    setWindowTitle(AppInfo::title);
    setFont(arial(8.25, true));
    setHelpContext(this, 42);
    // The menu bar keeps its own colours when the window's background changes, and the plain
    // face menus have.
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    menuBar()->setFont(arial(9, false));

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setRecordSource(QStringLiteral("Parts"));

    auto* client = new QWidget(this);
    setCentralWidget(client);
    buildTaskButtons();

    Colors = new ColorScheme(this, mainMenuColors());
    buildMenus();

    client->resize(twipsToPx(9195), twipsToPx(6345));
    resize(client->size() + QSize(0, menuBar()->sizeHint().height()));
    m_resizer = new ProportionalResizer(this);
    m_resizer->captureDesign();
    client->installEventFilter(this);   // the button pictures grow and shrink with the window

    // The paper size starts as Letter every run.
    PaperSize::setA4(false);

    RegisterScreens(m_screens);
    MainWindowLock::setMainWindow(this);
    installVendorInformation(&Information::ShowVendorInformation);
}

MainMenu::~MainMenu() = default;

namespace {
constexpr int designIconTwips = 480;
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        const QSize design = twipsRect(0, 0, 9195, 6345).size();
        const QSize now = centralWidget()->size();
        const qreal ratio = qMin(qreal(now.width()) / design.width(), qreal(now.height()) / design.height());
        const int side = qMax(16, qRound(twipsToPx(designIconTwips) * ratio));
        for (QPushButton* button : SSDBCommand)
            button->setIconSize(QSize(side, side));
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainMenu::buildTaskButtons()
{
    for (int i = 0; i < 6; ++i) {
        const TaskButton& design = taskButtons[i];
        auto* button = new QPushButton(TaskButtonIcon(i + 1), QString::fromLatin1(design.caption), centralWidget());
        button->setObjectName(QStringLiteral("SSDBCommand%1").arg(i + 1));
        button->setFont(arial(12, false));
        button->setIconSize(QSize(twipsToPx(designIconTwips), twipsToPx(designIconTwips)));
        placeTwips(button, design.left, design.top, 4005, 945);
        SSDBCommand[i] = button;
    }
    connect(SSDBCommand[0], &QPushButton::clicked, this, &MainMenu::SSDBCommand1_AfterClick);
    connect(SSDBCommand[1], &QPushButton::clicked, this, &MainMenu::SSDBCommand2_AfterClick);
    connect(SSDBCommand[2], &QPushButton::clicked, this, &MainMenu::SSDBCommand3_AfterClick);
    connect(SSDBCommand[3], &QPushButton::clicked, this, &MainMenu::SSDBCommand4_AfterClick);
    connect(SSDBCommand[4], &QPushButton::clicked, this, &MainMenu::SSDBCommand5_AfterClick);
    connect(SSDBCommand[5], &QPushButton::clicked, this, &MainMenu::SSDBCommand6_AfterClick);
}

void MainMenu::buildMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile = addMenu(bar, "mnuFile", "&File");
    mnuFileOpen = addItem(mnuFile, "mnuFileOpen", "&Open...");
    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFile->addSeparator();
    mnuFileSaveAs = addItem(mnuFile, "mnuFileSaveAs", "Save &As...");
    mnuFile->addSeparator();
    mnuFilePrintPreview = addItem(mnuFile, "mnuFilePrintPreview", "Printer S&etup");
    mnuFile->addSeparator();
    MnuPaperSetup = addMenu(mnuFile, "MnuPaperSetup", "Paper Size");
    MnuLetter = addItem(MnuPaperSetup, "MnuLetter", "Letter (USA)");
    MnuA4 = addItem(MnuPaperSetup, "MnuA4", "A4 (Europe)");
    auto* paper = new QActionGroup(this);
    for (QAction* size : {MnuLetter, MnuA4}) {
        size->setCheckable(true);
        paper->addAction(size);
    }
    MnuLetter->setChecked(true);
    mnuFileExit = addItem(mnuFile, "mnuFileExit", "E&xit");

    MnuUtilities = addMenu(bar, "MnuUtilities", "&Utilities");
    MnuUtilitiesCompact = addItem(MnuUtilities, "MnuUtilitiesCompact", "&Compact Database");
    MnuUtilities->addSeparator();
    MnuUtilitiesBackup = addItem(MnuUtilities, "MnuUtilitiesBackup", "&Backup / Restore Data");
    MnuUtilitiesBackup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    MnuUtilities->addSeparator();
    mnuUtilitiesChangeprices = addItem(MnuUtilities, "mnuUtilitiesChangeprices", "&Change Prices (With Disk)");
    MnuUpdatDatabase = addItem(MnuUtilities, "MnuUpdatDatabase", "Update Database for Images");

    MnuPRint = addMenu(bar, "MnuPRint", "&Print");
    buildPrintMenu();

    mnuTools = addMenu(bar, "mnuTools", "&Tools");
    // The colour scheme's menu is the Customize menu: "Col&ors" is its item, "&Fonts" is added.
    mnuToolsCustomize = Colors->menu();
    mnuToolsCustomize->menuAction()->setObjectName(QStringLiteral("mnuToolsCustomize"));
    mnuTools->addMenu(mnuToolsCustomize);
    MnuCustomizeColors = mnuToolsCustomize->findChild<QAction*>(QStringLiteral("MnuCustomizeColors"));
    MnuCustomFonts = addItem(mnuToolsCustomize, "MnuCustomFonts", "&Fonts");

    mnuHelp = addMenu(bar, "mnuHelp", "&Help");
    mnuHelpContents = addItem(mnuHelp, "mnuHelpContents", "&Contents");
    mnuWindowSearchForHelpOn = addItem(mnuHelp, "mnuWindowSearchForHelpOn", "&Search for help on...");
    mnuHelpIndex = addItem(mnuHelp, "mnuHelpIndex", "&Index");
    mnuHelp->addSeparator();
    mnuHelpAbout = addItem(mnuHelp, "mnuHelpAbout", "&About");
    mnuHelp->addSeparator();
    mnuHelpTechnicalSupport = addItem(mnuHelp, "mnuHelpTechnicalSupport", "&Technical Support");

    setHelpContext(mnuFile, 410);
    setHelpContext(MnuUtilities, 430);
    setHelpContext(MnuPRint, 440);
    setHelpContext(mnuTools, 450);
    setHelpContext(mnuHelp, 460);

    connect(mnuFileOpen, &QAction::triggered, this, &MainMenu::mnuFileOpen_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &MainMenu::mnuFileSaveAs_Click);
    connect(mnuFilePrintPreview, &QAction::triggered, this, &MainMenu::mnuFilePrintPreview_Click);
    connect(MnuLetter, &QAction::triggered, this, &MainMenu::MnuLetter_Click);
    connect(MnuA4, &QAction::triggered, this, &MainMenu::MnuA4_Click);
    connect(mnuFileExit, &QAction::triggered, this, &MainMenu::MnuFileExit_Click);
    connect(MnuUtilitiesCompact, &QAction::triggered, this, &MainMenu::MnuUtilitiesCompact_Click);
    connect(MnuUtilitiesBackup, &QAction::triggered, this, &MainMenu::MnuUtilitiesBackup_Click);
    connect(mnuUtilitiesChangeprices, &QAction::triggered, this, &MainMenu::mnuUtilitiesChangeprices_Click);
    connect(MnuUpdatDatabase, &QAction::triggered, this, &MainMenu::MnuUpdatDatabase_Click);
    connect(MnuCustomFonts, &QAction::triggered, this, &MainMenu::MnuCustomFonts_Click);
    connect(mnuHelpContents, &QAction::triggered, this, &MainMenu::mnuHelpContents_Click);
    connect(mnuWindowSearchForHelpOn, &QAction::triggered, this, &MainMenu::mnuWindowSearchForHelpOn_Click);
    connect(mnuHelpIndex, &QAction::triggered, this, &MainMenu::mnuHelpIndex_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &MainMenu::mnuHelpAbout_Click);
    connect(mnuHelpTechnicalSupport, &QAction::triggered, this, &MainMenu::mnuHelpTechnicalSupport_Click);
}

void MainMenu::buildPrintMenu()
{
    QHash<QString, QMenu*> submenus;
    for (const PrintMenuItem& item : PrintMenuItems()) {
        QMenu* parent = item.parent.isEmpty() ? MnuPRint : submenus.value(item.parent, MnuPRint);
        switch (item.kind) {
        case PrintMenuItem::Submenu: {
            QMenu* sub = parent->addMenu(item.caption);
            sub->setObjectName(item.name);
            sub->menuAction()->setObjectName(item.name);
            submenus.insert(item.name, sub);
            break;
        }
        case PrintMenuItem::Separator:
            parent->addSeparator()->setObjectName(item.name);
            break;
        case PrintMenuItem::Command: {
            QAction* action = parent->addAction(item.caption);
            action->setObjectName(item.name);
            m_printItems.insert(item.name, action);
            if (item.command)
                m_printCommands.insert(item.name, item.command);
            const QString name = item.name;
            connect(action, &QAction::triggered, this, [this, name] { RunPrintCommand(name); });
            break;
        }
        }
    }
}

void MainMenu::RunPrintCommand(const QString& name)
{
    if (const PrintCommand command = m_printCommands.value(name))
        command(*this);
}

bool MainMenu::Form_Load()
{
    SetUpHelp(0);
    Colors->OpenColorScheme();
    Colors->install();

    if (AppFolder::find(QStringLiteral("Inventory.mdb"))) {
        Data1->setDatabaseName(AppFolder::join(QStringLiteral("\\Inventory.mdb")));
        return true;
    }
    // First start: the parts source stays unbound until a command binds it.
    auto* choice = new AMForBRUNS;
    QPointer<AMForBRUNS> guard(choice);
    ShowModal(choice);
    const bool installed = guard && guard->outcome() == AMForBRUNS::Outcome::Installed;
    delete guard.data();
    return installed;
}

QWidget* MainMenu::OpenScreen(const QString& screen, std::function<void()> onRelease)
{
    if (!m_screens.has(screen))
        return nullptr;   // a screen not built yet opens nothing
    WaitCursor hourglass;
    QWidget* window = m_screens.window(screen);
    if (!window)
        return nullptr;
    MainWindowLock::acquire(window, std::move(onRelease));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void MainMenu::SSDBCommand1_AfterClick() { OpenScreen(taskButtons[0].screen); }
void MainMenu::SSDBCommand2_AfterClick() { OpenScreen(taskButtons[1].screen); }
void MainMenu::SSDBCommand3_AfterClick() { OpenScreen(taskButtons[2].screen); }
void MainMenu::SSDBCommand4_AfterClick() { OpenScreen(taskButtons[3].screen); }
void MainMenu::SSDBCommand5_AfterClick() { OpenScreen(taskButtons[4].screen); }
void MainMenu::SSDBCommand6_AfterClick() { OpenScreen(taskButtons[5].screen); }

void MainMenu::mnuFileOpen_Click()
{
    Data1->setEnabled(true);
    FileDialogOptions options;
    options.title = QStringLiteral("Dialog Box");
    options.filter = QStringLiteral("Access Database Files |*.mdb");
    options.defaultExt = QStringLiteral("mdb");
    options.fileName = m_dialogFileName;
    const QString chosen = Dialogs::get().openFile(options);
    // Cancel leaves the parts source on the database it had.
    if (chosen.isEmpty())
        return;
    m_dialogFileName = chosen;
    Data1->setDatabaseName(chosen);
}

void MainMenu::mnuFileSaveAs_Click()
{
    const QString source = Data1->databaseName();
    FileDialogOptions options;
    options.filter = QStringLiteral("Access Database Files|*.MDB");
    options.filterIndex = 1;
    options.fileName = m_dialogFileName;
    const QString target = Dialogs::get().saveFile(options);
    if (target.isEmpty())
        return;
    m_dialogFileName = target;
    if (ProgramFolderLock::isDatabaseOfAnotherCopy(target)) {
        MsgBox(QStringLiteral("The database could not be saved as %1: another copy of the program is working with it.")
                   .arg(target),
               48);
        return;
    }

    WaitCursor hourglass;
    try {
        Data1->close();
        if (source.isEmpty())
            throw DbError(EngineError::FileNotFound, QStringLiteral("No database is open."));
        // A consistent snapshot, written beside the target and renamed over it when complete.
        Database::copy(resolveNoCase(source), target);
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The database could not be saved as %1: %2").arg(target, e.text()), 48);
    }
}

void MainMenu::mnuFilePrintPreview_Click()
{
    Dialogs::get().printerSetup(sharedPrinter());
}

void MainMenu::MnuLetter_Click()
{
    MnuLetter->setChecked(true);
    MnuA4->setChecked(false);
    PaperSize::setA4(false);
}

void MainMenu::MnuA4_Click()
{
    MnuLetter->setChecked(false);
    MnuA4->setChecked(true);
    PaperSize::setA4(true);
}

void MainMenu::MnuFileExit_Click()
{
    close();
}

void MainMenu::MnuUtilitiesCompact_Click()
{
    WaitCursor hourglass;
    const QString database = InventoryDatabasePath();
    // A stale copy from an earlier failure, in whatever case it was written, goes first.
    const QString compacted = resolveNoCase(AppFolder::join(QStringLiteral("\\INV1.MDB")));
    const bool partsWereOpen = Data1->recordset() != nullptr;

    QString failure;
    try {
        // Sole use of the file: every data source lets go of it; each reopens on its next use.
        Data1->close();
        Connection::closeAll();
        if (!QFileInfo(database).isFile())
            throw DbError(EngineError::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(database));
        if (!removeFile(compacted, &failure))
            throw DbError(EngineError::General, failure);
        Database::compact(database, compacted);
        // One rename puts the compacted file in place: the database is at every moment either
        // the old file or the new one.
        if (!replaceFileAtomic(compacted, database, &failure)) {
            removeFile(compacted, nullptr);
            throw DbError(EngineError::General, failure);
        }
    } catch (const DbError& e) {
        failure = e.text();
    }

    Data1->setEnabled(true);
    if (partsWereOpen) {
        try {
            Data1->refresh();
        } catch (const DbError&) {
            // The next command that needs the parts source opens it again.
        }
    }
    if (failure.isEmpty())
        MsgBox(QStringLiteral("Database successfully compacted. "), 64, QStringLiteral("Notice!"));
    else
        MsgBox(QStringLiteral("The database could not be compacted: %1").arg(failure), 48);
}

void MainMenu::MnuUtilitiesBackup_Click()
{
    if (!m_screens.has(ScreenName::frmZipCreate))
        return;
    // The Print menu comes back with the main window, when the backup window has closed.
    MnuPRint->menuAction()->setEnabled(false);
    QPointer<MainMenu> self(this);
    if (!OpenScreen(ScreenName::frmZipCreate, [self] {
            if (self)
                self->MnuPRint->menuAction()->setEnabled(true);
        }))
        MnuPRint->menuAction()->setEnabled(true);
}

void MainMenu::mnuUtilitiesChangeprices_Click()
{
    OpenScreen(ScreenName::ChangePrice);
}

void MainMenu::MnuUpdatDatabase_Click()
{
    CreatePicturesTableFromMenu();
}

void MainMenu::MnuOnePart_Click()
{
    if (!m_screens.has(ScreenName::PartsUsage))
        return;
    WaitCursor hourglass;
    QWidget* usage = OpenScreen(ScreenName::PartsUsage);
    if (!usage)
        return;
    // "&Show Usage" lists the current part's usage; "Keep &Visible" and "Always Re&fresh" are
    // ticked as a click would tick them.
    if (auto* showUsage = usage->findChild<QAbstractButton*>(QStringLiteral("Command3")))
        showUsage->click();
    for (const char* name : {"SSCheck2", "SSCheck1"}) {
        auto* box = usage->findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (box && !box->isChecked())
            box->click();
    }
}

void MainMenu::MnuCustomizeColors_Click()
{
    if (MnuCustomizeColors)
        MnuCustomizeColors->trigger();
}

void MainMenu::MnuCustomFonts_Click()
{
    const std::optional<QFont> chosen = Dialogs::get().chooseFont(SSDBCommand[0]->font());
    if (!chosen)
        return;   // Cancel keeps the buttons as they are
    // Only the name of the font is taken; nothing is stored.
    for (QPushButton* button : SSDBCommand) {
        QFont font = button->font();
        font.setFamily(chosen->family());
        button->setFont(font);
    }
    m_resizer->captureDesign();
}

void MainMenu::mnuHelpContents_Click()
{
    ShowHelpContents();
}

void MainMenu::mnuWindowSearchForHelpOn_Click()
{
    SearchHelp();
}

void MainMenu::mnuHelpIndex_Click()
{
    SearchHelp();
}

void MainMenu::mnuHelpAbout_Click()
{
    QPointer<frmAbout> about = new frmAbout(this);
    ShowModal(about);
    delete about.data();
}

void MainMenu::mnuHelpTechnicalSupport_Click()
{
    ShowHelpTopic(1240);
}

void MainMenu::closeEvent(QCloseEvent* event)
{
    // Every other window closes first, through its own closing, so that what a screen still
    // holds is saved rather than lost. One that refuses (it could not save and the user chose to
    // stay) keeps the program running.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->inherits("QMenu"))
            window->close();
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->inherits("QMenu")) {
            event->ignore();
            return;
        }
    }
    event->accept();
    Form_Unload();
}

void MainMenu::Form_Unload()
{
    QuitHelp();
    QCoreApplication::quit();
}
