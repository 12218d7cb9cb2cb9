#include "utilities/frmZipCreate.h"

#include "data/Connection.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "parts/PartsFonts.h"
#include "platform/AppFolder.h"
#include "platform/DriveA.h"
#include "platform/FileOps.h"
#include "platform/FolderLock.h"
#include "platform/MainWindowLock.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "utilities/ExtractDialog.h"
#include "utilities/TrappedError.h"
#include "utilities/ZipArchiver.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <cerrno>

namespace {

// The archive of the automatic backup, and the name the database has in it.
const QString BackupArchive = QStringLiteral("A:\\InventoryBackup.zip");
const QString BackupEntry = QStringLiteral("inventory.mdb");

constexpr int ClientWidth = 9540;
constexpr int ClientHeight = 4440;

enum Column { ColName, ColDate, ColTime, ColSize, ColPacked, ColRatio, ColPath };

QString skipReasonText(int reason)
{
    switch (reason) {
    case 0: return QStringLiteral("file not found.");
    case 1: return QStringLiteral("unknown compression.");
    case 2: return QStringLiteral("CRC does not check out.");
    case 3: return QStringLiteral("file is already up to date.");
    case 4: return QStringLiteral("unable to open file.");
    case 5: return QStringLiteral("invalid or no password to decrypt file.");
    case 6: return QStringLiteral("file's compressed data is corrupted.");
    case 7: return QStringLiteral("instructed not to overwrite.");
    default: return QString();
    }
}

// Str(n): a number with the blank that stands for its sign.
QString str(qint64 n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

// Every window that opens a command keeps the window busy until the command ends, by whatever
// way it ends.
class Busy {
public:
    explicit Busy(frmZipCreate* w)
        : m_w(w)
    {
        m_w->SetBusy(true);
    }
    ~Busy() { m_w->SetBusy(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    frmZipCreate* m_w;
};

// Why the database in the file is not one the program can work on (it opens and holds the parts
// tables); empty when it is one.
QString notUsable(const PendingFile& database)
{
    return Database::problemWith(database, {QStringLiteral("Parts"), QStringLiteral("PartsUsage"), QStringLiteral("Information")});
}

// "3 files were kept and 1 was dropped."
QString keptAndDropped(int kept, int dropped)
{
    return QStringLiteral("%1 kept and %2 dropped.")
        .arg(kept == 1 ? QStringLiteral("1 file was") : QStringLiteral("%1 files were").arg(kept),
             dropped == 1 ? QStringLiteral("1 was") : QStringLiteral("%1 were").arg(dropped));
}

// Where the road's archive is on drive A, once a medium is there (for the backup, one that can be
// written; for the restore, the one that holds the backup); otherwise the error the road answers with.
QString driveAArchive(bool forWriting)
{
    DriveA& drive = DriveA::get();
    switch (drive.state(forWriting)) {
    case DriveA::State::NoDisk: throw TrappedError{DriveA::NoDiskError, QString()};
    case DriveA::State::WriteProtected: throw TrappedError{DriveA::WriteProtectedError, QString()};
    case DriveA::State::Ready: break;
    }
    const QString archive = forWriting ? drive.path(BackupArchive) : drive.pathToRead(BackupArchive);
    if (archive.isEmpty())
        throw TrappedError{DriveA::NoDiskError, QString()};
    return archive;
}

}  // namespace

frmZipCreate::frmZipCreate(QWidget* parent)
    : QMainWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmZipCreate"));
    setWindowTitle(QStringLiteral("Database Backup "));
    setFont(arialFont(8));

    ZipMain = new ZipArchiver(this);
    ZipMain->setObjectName(QStringLiteral("ZipMain"));
    dlgSelectFiles.options.filter = ArchiveFilters::StoredSelectFiles;
    dlgSelectZip.options.filter = ArchiveFilters::StoredSelectZip;
    dlgSelectZip.options.defaultExt = QStringLiteral("zip");

    buildControls();
    buildMenus();

    connect(ZipMain, &ZipArchiver::adding, this, &frmZipCreate::ZipMain_Adding);
    connect(ZipMain, &ZipArchiver::updating, this, &frmZipCreate::ZipMain_Updating);
    connect(ZipMain, &ZipArchiver::extracting, this, &frmZipCreate::ZipMain_Extracting);
    connect(ZipMain, &ZipArchiver::testing, this, &frmZipCreate::ZipMain_Testing);
    connect(ZipMain, &ZipArchiver::deleting, this, &frmZipCreate::ZipMain_Deleting);
    connect(ZipMain, &ZipArchiver::fixing, this, &frmZipCreate::ZipMain_Fixing);
    connect(ZipMain, &ZipArchiver::status, this, &frmZipCreate::ZipMain_Status);
    connect(ZipMain, &ZipArchiver::listing, this, &frmZipCreate::ZipMain_Listing);
    connect(ZipMain, &ZipArchiver::replaceFile, this, &frmZipCreate::ZipMain_ReplaceFile);
    connect(ZipMain, &ZipArchiver::skippingFile, this, &frmZipCreate::ZipMain_SkippingFile);
    connect(cmdAbort, &QPushButton::clicked, this, &frmZipCreate::cmdAbort_Click);

    Form_Load();
}

frmZipCreate::~frmZipCreate()
{
    if (m_hourglass)
        QApplication::restoreOverrideCursor();
}

void frmZipCreate::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setMinimumSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight));

    lstMain = new QTreeWidget(client);
    lstMain->setObjectName(QStringLiteral("lstMain"));
    lstMain->setRootIsDecorated(false);
    lstMain->setUniformRowHeights(true);
    lstMain->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstMain->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstMain->setAllColumnsShowFocus(true);
    lstMain->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Size"),
                              QStringLiteral("Packed"), QStringLiteral("Ratio"), QStringLiteral("Path")});
    lstMain->header()->setStretchLastSection(false);
    const int widths[7] = {2400, 900, 660, 1140, 1140, 780, 1620};
    for (int c = 0; c < 7; ++c)
        lstMain->setColumnWidth(c, twipsToPx(widths[c]));
    for (int c : {int(ColSize), int(ColPacked), int(ColRatio)})
        lstMain->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    placeTwips(lstMain, 60, 60, 9420, 3840);

    prbMain = new QProgressBar(client);
    prbMain->setObjectName(QStringLiteral("prbMain"));
    prbMain->setRange(0, 100);
    prbMain->setValue(0);
    prbMain->setTextVisible(false);
    placeTwips(prbMain, 4680, 4020, 3480, 300);
    prbMain->hide();

    cmdAbort = new QPushButton(QStringLiteral("Abort"), client);
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    placeTwips(cmdAbort, 8280, 3975, 1200, 390);
    cmdAbort->hide();

    stbMain = new QStatusBar(this);
    stbMain->setObjectName(QStringLiteral("stbMain"));
    stbMain->setSizeGripEnabled(true);
    m_status = new QLabel(stbMain);
    m_status->setObjectName(QStringLiteral("stbMainText"));
    stbMain->addWidget(m_status, 1);
    setStatusBar(stbMain);
}

void frmZipCreate::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (frmZipCreate::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuFileWizard = item(mnuFile, "mnuFileWizard", QStringLiteral("&Wizard Backup"), &frmZipCreate::mnuFileWizard_Click);
    mnuFileNew = item(mnuFile, "mnuFileNew", QStringLiteral("&New Zipfile..."), &frmZipCreate::mnuFileNew_Click);
    mnuFileOpen = item(mnuFile, "mnuFileOpen", QStringLiteral("&Open Zipfile..."), &frmZipCreate::mnuFileOpen_Click);
    mnuFileClose = item(mnuFile, "mnuFileClose", QStringLiteral("&Close Zipfile"), &frmZipCreate::mnuFileClose_Click);
    mnuFile->addSeparator();
    mnuFileTest = item(mnuFile, "mnuFileTest", QStringLiteral("&Test Zipfile..."), &frmZipCreate::mnuFileTest_Click);
    mnuFileFix = mnuFile->addMenu(QStringLiteral("&Fix Zipfile..."));
    mnuFileFix->setObjectName(QStringLiteral("mnuFileFix"));
    mnuFileFixNormal = item(mnuFileFix, "mnuFileFixNormal", QStringLiteral("Normal"), &frmZipCreate::mnuFileFixNormal_Click);
    mnuFileFixAgressive = item(mnuFileFix, "mnuFileFixAgressive", QStringLiteral("Agressive"), &frmZipCreate::mnuFileFixAgressive_Click);
    mnuFileDelete = item(mnuFile, "mnuFileDelete", QStringLiteral("&Delete Zipfile..."), &frmZipCreate::mnuFileDelete_Click);
    mnuFile->addSeparator();
    mnuFileExit = item(mnuFile, "mnuFileExit", QStringLiteral("E&xit"), &frmZipCreate::mnuFileExit_Click);

    mnuEdit = menu("mnuEdit", QStringLiteral("&Edit"));
    mnuEditAdd = item(mnuEdit, "mnuEditAdd", QStringLiteral("&Add..."), &frmZipCreate::mnuEditAdd_Click);
    mnuEditDelete = item(mnuEdit, "mnuEditDelete", QStringLiteral("&Delete..."), &frmZipCreate::mnuEditDelete_Click);
    mnuEditExtract = item(mnuEdit, "mnuEditExtract", QStringLiteral("&Restore..."), &frmZipCreate::mnuEditExtract_Click);
    mnuEditUpdate = item(mnuEdit, "mnuEditUpdate", QStringLiteral("&Update..."), &frmZipCreate::mnuEditUpdate_Click);
    mnuEdit->addSeparator();
    mnuEditUpdateZipDate = item(mnuEdit, "mnuEditUpdateZipDate", QStringLiteral("&UpdateZipDate"), &frmZipCreate::mnuEditUpdateZipDate_Click);
    mnuEdit->addSeparator();
    mnuEditSelectAll = item(mnuEdit, "mnuEditSelectAll", QStringLiteral("Select &All"), &frmZipCreate::mnuEditSelectAll_Click);

    mnuOptions = menu("mnuOptions", QStringLiteral("&Options"));
    mnuOptionsBest = item(mnuOptions, "mnuOptionsBest", QStringLiteral("&Best compression"), &frmZipCreate::mnuOptionsBest_Click);
    mnuOptionsNormal = item(mnuOptions, "mnuOptionsNormal", QStringLiteral("&Normal compression"), &frmZipCreate::mnuOptionsNormal_Click);
    mnuOptionsFastest = item(mnuOptions, "mnuOptionsFastest", QStringLiteral("&Fastest compression"), &frmZipCreate::mnuOptionsFastest_Click);
    mnuOptionsStore = item(mnuOptions, "mnuOptionsStore", QStringLiteral("&Store without compression"), &frmZipCreate::mnuOptionsStore_Click);
    mnuOptions->addSeparator();
    mnuOptionsMultidiskMode = item(mnuOptions, "mnuOptionsMultidiskMode", QStringLiteral("&Multidisk mode"), &frmZipCreate::mnuOptionsMultidiskMode_Click);
    mnuOptionsClearDisks = item(mnuOptions, "mnuOptionsClearDisks", QStringLiteral("&Clear disks"), &frmZipCreate::mnuOptionsClearDisks_Click);
    mnuOptions->addSeparator();
    mnuOptionsUseTempFile = item(mnuOptions, "mnuOptionsUseTempFile", QStringLiteral("&Use Temp File"), &frmZipCreate::mnuOptionsUseTempFile_Click);
    for (QAction* a : {mnuOptionsBest, mnuOptionsNormal, mnuOptionsFastest, mnuOptionsStore, mnuOptionsMultidiskMode,
                       mnuOptionsClearDisks, mnuOptionsUseTempFile})
        a->setCheckable(true);

    mnuAutomatic = menu("mnuAutomatic", QStringLiteral("&Automatic"));
    mnuAutomaticBackup = item(mnuAutomatic, "mnuAutomaticBackup", QStringLiteral("&Backup to Drive A"), &frmZipCreate::mnuAutomaticBackup_Click);
    mnuAutomaticBackup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuAutomaticRestore = item(mnuAutomatic, "mnuAutomaticRestore", QStringLiteral("&Restore From Drive A"), &frmZipCreate::mnuAutomaticRestore_Click);
    mnuAutomaticRestore->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    // The check marks are the flags of the automatic roads, set only while one runs.
    mnuAutomaticBackup->setCheckable(true);
    mnuAutomaticRestore->setCheckable(true);

    connect(mnuFile, &QMenu::aboutToShow, this, &frmZipCreate::mnuFile_Click);
    connect(mnuEdit, &QMenu::aboutToShow, this, &frmZipCreate::mnuEdit_Click);
    connect(mnuOptions, &QMenu::aboutToShow, this, &frmZipCreate::mnuOptions_Click);
}

void frmZipCreate::Form_Load()
{
    QFont listFont = lstMain->font();
    listFont.setBold(false);
    lstMain->setFont(listFont);
    resize(sizeHint().expandedTo(QSize(twipsToPx(ClientWidth), twipsToPx(ClientHeight))));
    m_loadedSize = size();
    setMinimumSize(m_loadedSize);
    m_progressAt = prbMain->pos();
    m_abortAt = cmdAbort->pos();
    m_listSize = lstMain->size();
}

void frmZipCreate::Form_Resize()
{
    if (isMinimized() || !m_loadedSize.isValid())
        return;
    // The minimum size keeps the window from shrinking below its size when it loaded.
    const int dx = qMax(0, width() - m_loadedSize.width());
    const int dy = qMax(0, height() - m_loadedSize.height());
    prbMain->move(m_progressAt + QPoint(dx, dy));
    cmdAbort->move(m_abortAt + QPoint(dx, dy));
    lstMain->resize(m_listSize + QSize(dx, dy));
    lstMain->setColumnWidth(ColPath, dx + twipsToPx(1620));
}

void frmZipCreate::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmZipCreate::closeEvent(QCloseEvent* event)
{
    // A window in the middle of an archive operation stays until the operation has ended.
    if (isBusy()) {
        event->ignore();
        return;
    }
    MainWindowLock::release(this);
    QMainWindow::closeEvent(event);
}

QString frmZipCreate::statusText() const
{
    return m_status->text();
}

void frmZipCreate::setStatus(const QString& text)
{
    m_status->setText(text);
}

// ---------------------------------------------------------------- procedures

void frmZipCreate::SetBusy(bool busy)
{
    m_busy += busy ? 1 : -1;
    const bool on = m_busy != 0;
    if (on && !m_hourglass) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_hourglass = true;
    } else if (!on && m_hourglass) {
        QApplication::restoreOverrideCursor();
        m_hourglass = false;
    }
    cmdAbort->setVisible(on);
    prbMain->setVisible(on);
    for (QMenu* m : {mnuFile, mnuEdit, mnuOptions, mnuAutomatic})
        m->menuAction()->setEnabled(!on);
    // Their shortcuts would reach them with the menu disabled.
    mnuAutomaticBackup->setEnabled(!on);
    mnuAutomaticRestore->setEnabled(!on);
    lstMain->setEnabled(!on);
}

void frmZipCreate::SetProgress(int percent)
{
    prbMain->setValue(qBound(0, percent, 100));
}

void frmZipCreate::ShowArchiveSummary()
{
    if (m_totalSize >= 1) {
        const qint64 r = 100 - (m_totalPacked * 100) / m_totalSize;
        setStatus(QStringLiteral(" %1 files, %2 bytes, %3 bytes compressed, %4%").arg(m_listed).arg(m_totalSize).arg(m_totalPacked).arg(r));
    } else if (m_listed > 0) {
        setStatus(QStringLiteral(" %1 files, 0 bytes").arg(m_listed));
    } else {
        setStatus(QStringLiteral("No files in this archive."));
    }
}

bool frmZipCreate::HasSelection() const
{
    return lstMain->topLevelItemCount() > 0 && !lstMain->selectedItems().isEmpty();
}

void frmZipCreate::ListArchive(const QString& word)
{
    Busy busy(this);
    m_listed = 0;
    m_totalSize = 0;
    m_totalPacked = 0;
    lstMain->clear();
    lstMain->hide();
    SetProgress(0);
    m_expected = ZipMain->entryCount();
    if (m_expected > 100)
        setStatus(QStringLiteral("Reading %1 files...").arg(m_expected));
    const int result = ZipMain->list();
    SetProgress(0);
    lstMain->show();
    if (result > 0)
        ShowZipResult(result, word, ZipMain->multidiskMode());
    ShowArchiveSummary();
}

void frmZipCreate::ProcessSelectedFiles(int mode)
{
    if (!HasSelection())
        return;
    QStringList names;
    for (int i = 0; i < lstMain->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = lstMain->topLevelItem(i);
        if (!row->isSelected())
            continue;
        // The name as the archive stores it (folders after "/" or, as some programs write them, "\\").
        names << row->data(ColName, Qt::UserRole).toString();
    }
    if (mode == 1 && mnuAutomaticRestore->isChecked()) {
        restoreDatabase(names);
        return;
    }
    const int selected = int(names.size());
    // Where the entries go, reached however they are reached (a parent folder, a link, another
    // letter case): an entry that would replace the database the program works with goes in as the
    // automatic restore puts it there, checked first and only then in its place; files replaced
    // in the program's folder may be open (the colours), so every data source lets go of its file
    // first and opens it again on its next use.
    QStringList databases;
    bool intoProgramFolder = false;
    if (mode == 1) {
        const QString live = InventoryDatabasePath();
        QStringList folders{ZipMain->extractionTarget()};
        for (const QString& name : std::as_const(names)) {
            const std::optional<QString> to = ZipMain->destinationOf(name);
            if (!to)
                continue;
            const QString folder = QFileInfo(*to).absolutePath();
            if (!folders.contains(folder))
                folders << folder;
            // (A folder of the database's name is no database: its extraction fails on the file.)
            if (isSameFile(*to, live) && !name.endsWith(QLatin1Char('/')) && !databases.contains(name))
                databases << name;
        }
        for (const QString& folder : std::as_const(folders)) {
            // Another copy of the program working in a folder an entry goes to would keep using a
            // database the extraction replaced under it.
            if (ProgramFolderLock::heldByAnotherCopy(folder)) {
                MsgBox(QStringLiteral("Nothing was extracted: another copy of the program is working with the database in %1.")
                           .arg(QDir::toNativeSeparators(folder)),
                       48);
                return;
            }
            intoProgramFolder = intoProgramFolder || isSameFile(folder, AppFolder::path());
        }
        for (const QString& database : std::as_const(databases))
            names.removeAll(database);
    }
    QString files = ZipMain->filesToProcess();
    for (const QString& name : std::as_const(names))
        files += name + QLatin1Char('\r');
    ZipMain->setFilesToProcess(files);

    const QString word = mode == 0 ? QStringLiteral("deleting") : QStringLiteral("extracting");
    int result = 0;
    {
        Busy busy(this);
        if (mode == 0) {
            setStatus(QStringLiteral(" Deleting ") + str(selected) + QStringLiteral(" selected files..."));
            result = ZipMain->deleteFiles();
        } else {
            setStatus(QStringLiteral(" Extracting ") + str(selected) + QStringLiteral(" selected files..."));
            if (intoProgramFolder)
                Connection::closeAll();
            if (!names.isEmpty())
                result = ZipMain->extract(0);
        }
    }
    // Only writing to the archive's medium can find "a full disk inserted"; an extraction fills
    // the disk it extracts to.
    if (result > 0)
        ShowZipResult(result, word, ZipMain->multidiskMode() && mode == 0);
    try {
        for (const QString& database : std::as_const(databases)) {
            if (result == ZipArchiver::Aborted || !restoreDatabaseFrom(database))
                break;
        }
    } catch (const TrappedError& e) {
        MsgBox(diskErrorText(e.number, e.description));
    }
    SetProgress(0);
    setStatus(QStringLiteral(" Finished ") + word + QStringLiteral(" files, updating list..."));
    ListArchive(QStringLiteral("listing"));
    ShowArchiveSummary();
}

void frmZipCreate::FixArchive(bool aggressive)
{
    Busy busy(this);
    const QString name = SelectArchive(dlgSelectZip, 3);
    if (name.isEmpty())
        return;
    ZipMain->setArchiveName(name);
    setStatus(QStringLiteral(" Repairing Zip archive..."));
    const int result = ZipMain->fix(aggressive);
    // Fixed only when nothing had to be dropped.
    const QString counts = keptAndDropped(ZipMain->fixKept(), ZipMain->fixDropped());
    if (result == 0)
        MsgBox(QStringLiteral("The specified Zip file has been fixed.") + QStringLiteral("\r") + counts, 64);
    else if (result == ZipArchiver::Warnings)
        MsgBox(QStringLiteral("Damaged files were dropped from the specified Zip file.") + QStringLiteral("\r") + counts, 48);
    else if (result == ZipArchiver::NotAZipFile)
        MsgBox(QStringLiteral("The specified Zip file is too corrupted to be fixed."), 16);
    else
        ShowZipResult(result, QStringLiteral("fixing"), ZipMain->multidiskMode());
    ZipMain->setArchiveName(QString());
    SetProgress(0);
    setStatus(QStringLiteral(" Finished fixing files."));
}

// ---------------------------------------------------------------- menus

void frmZipCreate::mnuFile_Click()
{
    const bool open = !ZipMain->archiveName().isEmpty();
    mnuFileClose->setEnabled(open);
    mnuFileTest->setEnabled(!open);
    mnuFileFix->menuAction()->setEnabled(!open && !ZipMain->multidiskMode());
    mnuFileDelete->setEnabled(!open);
}

void frmZipCreate::mnuEdit_Click()
{
    const bool open = !ZipMain->archiveName().isEmpty();
    const bool multidisk = ZipMain->multidiskMode();
    const int rows = lstMain->topLevelItemCount();
    mnuEditAdd->setEnabled(open && (!multidisk || rows == 0));
    mnuEditDelete->setEnabled(!multidisk && HasSelection());
    mnuEditExtract->setEnabled(HasSelection());
    mnuEditUpdate->setEnabled(open && !multidisk);
    mnuEditUpdateZipDate->setEnabled(!multidisk && rows > 0);
    mnuEditSelectAll->setEnabled(rows > 0);
}

void frmZipCreate::mnuOptions_Click()
{
    const int level = ZipMain->compressionLevel();
    const bool multidisk = ZipMain->multidiskMode();
    mnuOptionsBest->setChecked(level == 9);
    mnuOptionsNormal->setChecked(level == 6);
    mnuOptionsFastest->setChecked(level == 1);
    mnuOptionsStore->setChecked(level == 0);
    mnuOptionsMultidiskMode->setChecked(multidisk);
    mnuOptionsClearDisks->setEnabled(multidisk);
    mnuOptionsClearDisks->setChecked(multidisk && ZipMain->clearDisks());
    mnuOptionsUseTempFile->setEnabled(!multidisk);
    mnuOptionsUseTempFile->setChecked(ZipMain->useTempFile() && !multidisk);
}

void frmZipCreate::mnuFileWizard_Click()
{
    MsgBox(QStringLiteral("The next window to pop up will ask you to create a new zip file. ") + QStringLiteral("\r")
           + QStringLiteral("Type in the name of the file you want to create."));
    mnuFileNew_Click();
    // Without a new archive there is nothing to add files to.
    if (ZipMain->archiveName().isEmpty())
        return;
    MsgBox(QStringLiteral("The next window to pop up will ask you to add new files to your new zip file. ") + QStringLiteral("\r")
           + QStringLiteral("Please select the files you wish to add."));
    mnuEditAdd_Click();
}

void frmZipCreate::mnuFileNew_Click()
{
    const QString name = mnuAutomaticBackup->isChecked() ? m_driveAArchive : SelectArchive(dlgSelectZip, 1);
    if (name.isEmpty())
        return;
    // A file of that name is replaced once the new archive is complete, not before: if the new
    // one cannot be written, the old one is still there.
    lstMain->clear();
    setStatus(QStringLiteral(" New Zip archive now open."));
    ZipMain->setArchiveName(name);
    ZipMain->startNewArchive();
    setWindowTitle(name);
}

void frmZipCreate::mnuFileOpen_Click()
{
    const QString name = mnuAutomaticRestore->isChecked() ? m_driveAArchive : SelectArchive(dlgSelectZip, 0);
    if (name.isEmpty())
        return;
    Busy busy(this);
    ZipMain->setArchiveName(name);
    setWindowTitle(name);
    ListArchive(QStringLiteral("Opening"));
}

void frmZipCreate::mnuFileClose_Click()
{
    ZipMain->setArchiveName(QString());
    lstMain->clear();
    setStatus(QStringLiteral(" No Zip archive is currently open."));
    setWindowTitle(QStringLiteral("Database Backup"));
}

void frmZipCreate::mnuFileTest_Click()
{
    const QString name = SelectArchive(dlgSelectZip, 2);
    if (name.isEmpty())
        return;
    Busy busy(this);
    ZipMain->setArchiveName(name);
    setStatus(QStringLiteral(" Testing all files in ") + name + QStringLiteral("..."));
    const int result = ZipMain->test();
    if (result == 0)
        MsgBox(QStringLiteral("All files in the archive are OK."), 64);
    else if (result == ZipArchiver::Warnings)
        MsgBox(QStringLiteral("All files tested in the archive are OK.") + QStringLiteral("\r") + QStringLiteral("(Some files were skipped)"), 64);
    else
        ShowZipResult(result, QStringLiteral("testing"), ZipMain->multidiskMode());
    ZipMain->setArchiveName(QString());
    SetProgress(0);
    setStatus(QStringLiteral(" Finished testing files."));
}

void frmZipCreate::mnuFileFixNormal_Click()
{
    FixArchive(false);
}

void frmZipCreate::mnuFileFixAgressive_Click()
{
    FixArchive(true);
}

void frmZipCreate::mnuFileDelete_Click()
{
    const QString name = SelectArchive(dlgSelectZip, 4);
    if (name.isEmpty())
        return;
    if (MsgBox(QStringLiteral("Are you sure you want to delete ") + name + QStringLiteral("?"), 292) != Prompts::Yes)
        return;
    if (QFileInfo(name).isFile()) {
        QString why;
        if (!removeFile(name, &why))
            MsgBox(why, 48);
    }
}

void frmZipCreate::mnuFileExit_Click()
{
    close();
}

QString frmZipCreate::databaseSnapshot()
{
    // What goes into the archive is the database the program has open, whatever other spellings
    // of its name stand beside it, as a consistent copy (the file may be open elsewhere in the
    // program), named as the backup has always named it. The copy is made out of sight in the
    // temporary folder and goes with the program, however the program ends.
    const QString live = InventoryDatabasePath();
    if (!QFileInfo(live).isFile())
        throw DbError(EngineError::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(live));
    // Kept for the backup only once whole: a copy that fails goes at once.
    auto snapshot = std::make_unique<PendingFile>(QDir::temp().filePath(BackupEntry));
    QString why;
    if (!snapshot->open(&why)) {
        throw DbError(snapshot->diskFull() ? EngineError::DiskFull : EngineError::CannotOpen,
                      QStringLiteral("No room for a copy of the database: %1").arg(why));
    }
    Database::copy(live, *snapshot);
    // What goes into the backup is what the restore takes: a copy the restore would refuse makes
    // the backup fail, never complete.
    why = notUsable(*snapshot);
    if (!why.isEmpty())
        throw DbError(EngineError::General, QStringLiteral("The copy of the database cannot be restored (%1).").arg(why));
    ZipMain->storeAs(snapshot->path(), BackupEntry);
    m_snapshot = std::move(snapshot);
    return m_snapshot->path();
}

// Puts the files of a file dialog's answer on the archiver's list; their count as the answer gives it.
int frmZipCreate::queueSelectedFiles(const QString& names)
{
    const int n = CountSelectedFiles(names);
    QString files = ZipMain->filesToProcess();
    for (int i = 1; i <= n; ++i) {
        const QString file = GetSelectedFile(names, i);
        if (!file.isEmpty())
            files += file + QLatin1Char('\r');
    }
    ZipMain->setFilesToProcess(files);
    return n;
}

// The end of an add or an update: the archive is listed again, unless the run was aborted.
void frmZipCreate::relistAfter(int result, const QString& finished)
{
    SetProgress(0);
    setStatus(finished);
    if (result != ZipArchiver::Aborted)
        ListArchive(QStringLiteral("listing"));
    ShowArchiveSummary();
}

void frmZipCreate::mnuEditAdd_Click()
{
    QString names;
    if (mnuAutomaticBackup->isChecked()) {
        names = databaseSnapshot();
    } else {
        dlgSelectFiles.options.filter = ArchiveFilters::AddFiles;
        names = SelectFilesToAdd(dlgSelectFiles, QStringLiteral("Add files"));
    }
    if (names.isEmpty())
        return;
    Busy busy(this);
    const int n = queueSelectedFiles(names);
    setStatus(QStringLiteral(" Preparing to add %1 files...").arg(n));
    int result = ZipMain->add(ZipArchiver::AddFiles);
    m_snapshot.reset();   // the copy of the database has gone into the archive
    // What was written is read back before anyone is told it worked.
    if (result == 0 && !ZipArchiver::verify(ZipMain->archiveName()))
        result = ZipArchiver::TestFailed;
    if (result != 0)
        ShowZipResult(result, QStringLiteral("adding"), ZipMain->multidiskMode());
    if (result == 0 && ZipMain->multidiskMode()) {
        MsgBox(QStringLiteral("Compressed backup process completed!"));
        mnuAutomaticBackup->setChecked(false);
    }
    relistAfter(result, QStringLiteral(" Finished adding files, updating list."));
}

void frmZipCreate::mnuEditDelete_Click()
{
    Busy busy(this);
    ProcessSelectedFiles(0);
}

void frmZipCreate::mnuEditExtract_Click()
{
    if (!mnuAutomaticRestore->isChecked()) {
        ExtractDialog dialog(ZipMain, this);
        ShowModal(&dialog);
        if (dialog.cancelled())
            return;
    }
    Busy busy(this);
    ProcessSelectedFiles(1);
}

void frmZipCreate::mnuEditUpdate_Click()
{
    const QString names = SelectFilesToAdd(dlgSelectFiles, QStringLiteral("Update files"));
    if (names.isEmpty())
        return;
    Busy busy(this);
    const int n = queueSelectedFiles(names);
    setStatus(QStringLiteral(" Preparing to update %1 files...").arg(n));
    const int result = ZipMain->add(ZipArchiver::UpdateFiles);
    if (result > 0)
        ShowZipResult(result, QStringLiteral("updating"), ZipMain->multidiskMode());
    relistAfter(result, QStringLiteral(" Finished updating files, updating list..."));
}

void frmZipCreate::mnuEditUpdateZipDate_Click()
{
    Busy busy(this);
    setStatus(QStringLiteral(" Updating the Zip date..."));
    const int result = ZipMain->updateZipDate();
    if (result != 0)
        ShowZipResult(result, QStringLiteral("updating zip date"), ZipMain->multidiskMode());
    else
        MsgBox(QStringLiteral("Zip date has been updated."), 64);
    ShowArchiveSummary();
}

void frmZipCreate::mnuEditSelectAll_Click()
{
    lstMain->hide();
    lstMain->selectAll();
    if (!lstMain->currentItem() && lstMain->topLevelItemCount() > 0)
        lstMain->setCurrentItem(lstMain->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    lstMain->show();
}

void frmZipCreate::setCompression(int level)
{
    ZipMain->setCompressionLevel(level);
}

void frmZipCreate::mnuOptionsBest_Click() { setCompression(9); }
void frmZipCreate::mnuOptionsNormal_Click() { setCompression(6); }
void frmZipCreate::mnuOptionsFastest_Click() { setCompression(1); }
void frmZipCreate::mnuOptionsStore_Click() { setCompression(0); }

void frmZipCreate::mnuOptionsMultidiskMode_Click()
{
    ZipMain->setMultidiskMode(!ZipMain->multidiskMode());
}

void frmZipCreate::mnuOptionsClearDisks_Click()
{
    ZipMain->setClearDisks(!(ZipMain->multidiskMode() && ZipMain->clearDisks()));
}

void frmZipCreate::mnuOptionsUseTempFile_Click()
{
    ZipMain->setUseTempFile(!(ZipMain->useTempFile() && !ZipMain->multidiskMode()));
}

void frmZipCreate::cmdAbort_Click()
{
    if (ZipMain->useTempFile()) {
        if (MsgBox(QStringLiteral("Are you sure you want to abort the current operation?"), 36, QStringLiteral("Abort")) == Prompts::Yes) {
            mnuAutomaticBackup->setChecked(false);
            ZipMain->setAbort(true);
        }
    } else {
        MsgBox(QStringLiteral("You cannot abort an operation when you are not using a temporary file."), 48);
    }
}

// ---------------------------------------------------------------- automatic roads

void frmZipCreate::mnuAutomaticBackup_Click()
{
    mnuAutomaticBackup->setChecked(false);   // a click toggles the mark; the road sets it itself
    if (MsgBox(QStringLiteral("Please insert a blank formatted floppy disk in drive A?") + QStringLiteral("\r")
                   + QStringLiteral("If you continue, all data on the floppy will be erased and a backup disk will be created!"),
               292, QStringLiteral("Confirm"))
        != Prompts::Yes)
        return;
    try {
        mnuAutomaticBackup->setChecked(true);
        ZipMain->setMultidiskMode(true);
        ZipMain->setClearDisks(true);
        m_driveAArchive = driveAArchive(true);
        mnuFileNew_Click();
        mnuEditAdd_Click();
        mnuAutomaticBackup->setChecked(false);
    } catch (const TrappedError& e) {
        mnuAutomaticBackup->setChecked(false);
        MsgBox(diskErrorText(e.number, e.description));
    } catch (const DbError& e) {
        mnuAutomaticBackup->setChecked(false);
        // The copy of the database is made on this computer's disk, not on the medium: the engine's
        // "cannot lock the file" is the database in use there, not a write-protected disk.
        MsgBox(e.number() == EngineError::DiskFull ? computerDiskFullText(QStringLiteral("the database could not be copied for the backup."))
                                                   : generalErrorText(e.number(), e.text()));
    }
}

void frmZipCreate::mnuAutomaticRestore_Click()
{
    mnuAutomaticRestore->setChecked(false);
    if (MsgBox(QStringLiteral("Please insert your backup disk in drive A?"), 292, QStringLiteral("Confirm")) != Prompts::Yes)
        return;
    try {
        mnuAutomaticRestore->setChecked(true);
        ZipMain->setMultidiskMode(true);
        m_driveAArchive = driveAArchive(false);
        mnuFileOpen_Click();
        mnuEditSelectAll_Click();
        mnuEditExtract_Click();
        mnuAutomaticRestore->setChecked(false);
    } catch (const TrappedError& e) {
        mnuAutomaticRestore->setChecked(false);
        MsgBox(diskErrorText(e.number, e.description));
    } catch (const DbError& e) {
        mnuAutomaticRestore->setChecked(false);
        MsgBox(diskErrorText(e.number(), e.text()));
    }
}

void frmZipCreate::restoreDatabase(const QStringList& entries)
{
    // Only the database is restored, and only into the program's folder, whatever else the
    // archive holds and wherever its entries say they came from.
    QString entry;
    for (const QString& name : entries) {
        if (QFileInfo(name).fileName().compare(QLatin1String("inventory.mdb"), Qt::CaseInsensitive) == 0) {
            entry = name;
            break;
        }
    }
    if (entry.isEmpty()) {
        MsgBox(QStringLiteral("The backup on drive A does not hold the inventory database. Your database was not changed."), 48);
        return;
    }
    setStatus(QStringLiteral(" Extracting ") + str(1) + QStringLiteral(" selected files..."));
    restoreDatabaseFrom(entry);
    SetProgress(0);
    setStatus(QStringLiteral(" Finished extracting files, updating list..."));
    ListArchive(QStringLiteral("listing"));
    ShowArchiveSummary();
}

bool frmZipCreate::restoreDatabaseFrom(const QString& entry)
{
    // Extracted out of sight beside the live file, so that putting it in place is one step.
    const QString notRestored = QStringLiteral("the backup could not be restored. Your database was not changed.");
    const QString live = InventoryDatabasePath();
    PendingFile restored(live);
    QString why;
    if (!restored.open(&why)) {
        if (restored.diskFull()) {
            MsgBox(computerDiskFullText(notRestored), 48);
            return true;
        }
        throw TrappedError{EngineError::CannotOpen, QStringLiteral("The program's folder cannot be written: %1").arg(why)};
    }
    int result = 0;
    {
        Busy busy(this);
        result = ZipMain->extractInto(entry, restored);
    }
    // The extraction writes on this computer's disk, beside the database.
    if (result == ZipArchiver::DiskFull)
        MsgBox(computerDiskFullText(notRestored), 48);
    else if (result > 0)
        ShowZipResult(result, QStringLiteral("extracting"), ZipMain->multidiskMode());
    if (result != 0)
        return result != ZipArchiver::Aborted;
    why = notUsable(restored);
    if (!why.isEmpty()) {
        MsgBox(QStringLiteral("The backup does not hold a usable inventory database (%1). Your database was not changed.").arg(why), 48);
        return true;
    }
    int reply = 1;
    if (QFileInfo::exists(live)) {
        reply = 0;
        ZipMain_ReplaceFile(QFileInfo(entry).fileName(), &reply);
    }
    if (ZipMain->abort()) {
        ZipMain->setAbort(false);
        ShowZipResult(ZipArchiver::Aborted, QStringLiteral("extracting"), ZipMain->multidiskMode());
        return false;
    }
    if (reply == 1) {
        // Sole use of the file: every data source lets go of it and opens it again on its next
        // use. What the journal of the old file holds belongs to the old file, beside the file
        // itself (where the database's name is a link, beside the file it names).
        Connection::closeAll();
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            QFile::remove(restored.target() + QString::fromLatin1(suffix));
        if (!restored.commit(&why))
            MsgBox(QStringLiteral("The database could not be restored: %1. Your database was not changed.").arg(why), 48);
    }
    return true;
}

// ---------------------------------------------------------------- archiver events

void frmZipCreate::ZipMain_Adding(const QString& name, qint64 size)
{
    setStatus(QStringLiteral(" Adding file: %1 (%2 bytes)").arg(name).arg(size));
}

void frmZipCreate::ZipMain_Updating(const QString& name, qint64 size)
{
    setStatus(QStringLiteral(" Updating file: %1 (%2 bytes)").arg(name).arg(size));
}

void frmZipCreate::ZipMain_Extracting(const QString& name, qint64 size)
{
    setStatus(QStringLiteral(" Extracting file: %1 (%2 bytes)").arg(name).arg(size));
}

void frmZipCreate::ZipMain_Testing(const QString& name, qint64 size)
{
    setStatus(QStringLiteral(" Testing file: %1 (%2 bytes)").arg(name).arg(size));
}

void frmZipCreate::ZipMain_Deleting(const QString& name)
{
    setStatus(QStringLiteral(" Deleting file: ") + name);
}

void frmZipCreate::ZipMain_Fixing(const QString& name)
{
    setStatus(QStringLiteral(" Repairing file: ") + name);
}

void frmZipCreate::ZipMain_Status(int percent)
{
    SetProgress(percent);
    // The operation runs inside the command: this is when the window repaints and "Abort" can
    // be pressed. Everything else is disabled while the window is busy.
    QCoreApplication::processEvents();
}

void frmZipCreate::ZipMain_Listing(const QString& name, qint64 size, qint64 packedSize, const QString& dateTime, int ratio)
{
    QString path;
    QString file = name;
    const int cut = int(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))));
    if (cut >= 0) {
        path = name.left(cut);
        file = name.mid(cut + 1);
    }
    if (file.isEmpty())
        file = QStringLiteral("<dir>");
    auto* row = new QTreeWidgetItem(lstMain);
    row->setText(ColName, file);
    row->setData(ColName, Qt::UserRole, name);
    row->setText(ColDate, dateTime.mid(3, 2) + QLatin1Char('/') + dateTime.mid(0, 3) + dateTime.mid(6, 2));
    row->setText(ColTime, dateTime.right(5));
    row->setText(ColSize, str(size));
    row->setText(ColPacked, str(packedSize));
    row->setText(ColRatio, str(ratio) + QLatin1Char('%'));
    row->setText(ColPath, path);
    for (int c : {int(ColSize), int(ColPacked), int(ColRatio)})
        row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    ++m_listed;
    m_totalSize += size;
    m_totalPacked += packedSize;
    if (m_expected > 100)
        SetProgress(int(qRound(double(m_listed) / double(m_expected) * 100.0)));
}

void frmZipCreate::ZipMain_ReplaceFile(const QString& name, int* reply)
{
    const int answer = MsgBox(QStringLiteral("The file '") + name + QStringLiteral("' already exists. Do you want to replace this file?"), 259);
    if (answer == Prompts::Yes) {
        *reply = 1;
    } else if (answer == Prompts::No) {
        *reply = 0;
        mnuAutomaticRestore->setChecked(false);
    } else {
        ZipMain->setAbort(true);
        mnuAutomaticRestore->setChecked(false);
    }
}

void frmZipCreate::ZipMain_SkippingFile(const QString& name, int reason)
{
    MsgBox(QStringLiteral("Can't process '") + name + QStringLiteral("', ") + skipReasonText(reason), 48);
    SetProgress(0);
}
