// The backup window: its result messages and dialogs, its menus and list, its commands on real
// archives, and the automatic backup to and restore from drive A.

#include "support/DirectSql.h"
#include "UtilitiesFixture.h"
#include "ZipFixture.h"

#include "platform/FolderLock.h"
#include "platform/MainWindowLock.h"
#include "platform/Twips.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "utilities/ArchiveDialogs.h"
#include "utilities/ExtractDialog.h"
#include "utilities/ZipArchiver.h"
#include "utilities/frmZipCreate.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QString NoDisk = QStringLiteral("There is no disk in drive A, or it is not formatted!");
const QString BackupQuestion = QStringLiteral("Please insert a blank formatted floppy disk in drive A?\rIf you continue, all data on the "
                                              "floppy will be erased and a backup disk will be created!");
const QString RestoreQuestion = QStringLiteral("Please insert your backup disk in drive A?");
const QString ReplaceQuestion = QStringLiteral("The file 'inventory.mdb' already exists. Do you want to replace this file?");

QString part(const QString& number)
{
    return QStringLiteral("INSERT INTO Parts([Part Number 1]) VALUES ('%1')").arg(number);
}

// A dialog set that also answers a multiple selection.
class MultiDialogs : public ScriptedDialogs {
public:
    QList<QStringList> selections;
    QStringList openFiles(const FileDialogOptions& options) override
    {
        if (selections.isEmpty())
            return ScriptedDialogs::openFiles(options);
        asked << options;
        return selections.takeFirst();
    }
    QList<FileDialogOptions> asked;
};

QStringList rowTexts(const QTreeWidget* list, int row)
{
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->topLevelItem(row)->text(c);
    return out;
}

bool menusEnabled(frmZipCreate& w)
{
    return w.mnuFile->menuAction()->isEnabled() && w.mnuEdit->menuAction()->isEnabled() && w.mnuOptions->menuAction()->isEnabled()
        && w.mnuAutomatic->menuAction()->isEnabled() && w.lstMain->isEnabled();
}

bool idle(frmZipCreate& w)
{
    return !w.isBusy() && menusEnabled(w) && w.cmdAbort->isHidden() && w.prbMain->isHidden() && !QApplication::overrideCursor();
}

// A database file holding the given parts, zipped as the backup names it.
void makeBackup(UtilitiesFixture& f, const QString& archive, const QStringList& parts)
{
    QStringList statements;
    for (const QString& p : parts)
        statements << part(p);
    const QString db = f.makeDatabase(QStringLiteral("Backup.mdb"), statements);
    makeArchive(archive, {{QStringLiteral("inventory.mdb"), readFile(db)}});
    QFile::remove(db);
}

QStringList partNumbers(const QString& dbFile)
{
    return directColumn(dbFile, QStringLiteral("SELECT [Part Number 1] FROM Parts ORDER BY 1"));
}

// File, Open Zipfile on the archive, Select All, Edit, Restore... into the folder typed in the
// extraction dialog.
void restoreByHand(frmZipCreate& w, ScriptedDialogs& dialogs, ScriptedModal& modal, const QString& archive, const QString& into)
{
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    modal.onNext([into](QWidget* window) {
        auto* dialog = qobject_cast<ExtractDialog*>(window);
        QVERIFY(dialog);
        QTest::mouseClick(dialog->txtExtract, Qt::LeftButton);
        QTest::keyClick(dialog->txtExtract, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->txtExtract, into);
        QTest::mouseClick(dialog->cmdSelect, Qt::LeftButton);
    });
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
}

// Backup To Drive A, which completes, then Restore From Drive A, answered Yes.
void backUpAndRestore(frmZipCreate& w, ScriptedPrompts& prompts)
{
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Compressed backup process completed!"));
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
}

// A write-locked memory card and a stick that can be written, both plugged in, as the system mounts
// them; drive A while it lasts.
struct CardAndStick {
    QTemporaryDir system;
    const QString media = system.filePath(QStringLiteral("media/"));
    std::unique_ptr<MountedMedium> medium;
    DriveA* previous = nullptr;

    CardAndStick()
    {
        const QString sys = system.filePath(QStringLiteral("sys"));
        for (const char* disk : {"sdb", "sdc"}) {
            const QString node = sys + QStringLiteral("/devices/pci0000:00/usb1/1-1/block/") + QLatin1String(disk);
            QDir().mkpath(node);
            writeFile(node + QStringLiteral("/removable"), "1\n");
            QDir().mkpath(sys + QStringLiteral("/class/block"));
            QFile::link(node, sys + QStringLiteral("/class/block/") + QLatin1String(disk));
        }
        QDir().mkpath(media + QStringLiteral("CARD"));
        QDir().mkpath(media + QStringLiteral("STICK"));
        writeFile(system.filePath(QStringLiteral("mounts")),
                  QStringLiteral("/dev/sdb %1CARD vfat ro 0 0\n/dev/sdc %1STICK vfat rw 0 0\n").arg(media).toUtf8());
        medium = std::make_unique<MountedMedium>(system.filePath(QStringLiteral("mounts")), sys, QStringList{media});
        previous = DriveA::install(medium.get());
    }
    ~CardAndStick() { DriveA::install(previous); }
};

}  // namespace

class TestArchiveManager : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Messages and dialogs.
    void zipResultMessages_data();
    void zipResultMessages();
    void multipleSelection();
    void archiveDialogs();
    void extractDialog();

    // The window.
    void windowOpensEmpty();
    void menuEnablingFollowsTheArchive();
    void listingShowsEachEntryAndTheSummary();
    void largeArchiveReportsItsReading();
    void everyCancelledCommandLeavesTheWindowIdle();
    void newAddUpdateDeleteRestoreRoundTrip();
    void abort();
    void testFixAndDeleteArchive();
    void closingWhileBusyWaitsAndUnloadingReleasesTheMainWindow();
    void resizingGrowsTheList();

    // Drive A.
    void backupWritesTheDatabaseToDriveA();
    void backupArchivesTheDatabaseTheProgramHasOpen();
    void backupFailuresAreToldAndKeepThePreviousBackup();
    void restoreReplacesTheDatabase();
    void restoreAnswersAndDamagedBackupsLeaveTheDatabase();
    void restoreFromMissingDiskOrArchive();
    void handRestoreNeverWritesTheProgramsBookkeeping();
    void handRestoreChecksTheDatabaseHoweverItIsReached();
    void restoreReadsTheBackupFromTheMediumThatHoldsIt();
    void restoreReadsTheLatestOfTwoBackups();
    void handRestoreTakesNamesAsOtherProgramsWriteThem();
    void backupOfADatabaseInWriteAheadModeIsWhole();
    void backupOfADatabaseLeftMidwayOrInUse();
    void backupOfADamagedDatabaseFailsAndKeepsTheLastBackup();
    void restoreAndFixWriteTheFileALinkNames();
};

void TestArchiveManager::zipResultMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("multidisk");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");

    QTest::newRow("0 silent") << 0 << false << QString() << 0;
    QTest::newRow("10 silent") << 10 << false << QString() << 0;
    QTest::newRow("140 silent") << 140 << false << QString() << 0;
    QTest::newRow("40") << 40 << false << "Some files were skipped while adding." << 48;
    QTest::newRow("50") << 50 << false << "The Zip file is empty." << 48;
    QTest::newRow("110") << 110 << false << "The archive file is corrupted. Try using the Fix option on it." << 16;
    QTest::newRow("150 multidisk") << 150 << true << "A full disk was inserted instead of an empty one." << 16;
    QTest::newRow("150") << 150 << false << "Disk full while adding." << 16;
    QTest::newRow("190") << 190 << false << "The adding operation was aborted." << 48;
    QTest::newRow("450") << 450 << false << "Could not open the self-extractor configuration file" << 16;
    QTest::newRow("other") << 999 << false << "An error occured while adding the specified files." << 16;
}

void TestArchiveManager::zipResultMessages()
{
    QFETCH(int, code);
    QFETCH(bool, multidisk);
    QFETCH(QString, text);
    QFETCH(int, style);
    ScriptedPrompts prompts;
    if (!text.isEmpty())
        prompts.expectMessage();
    ShowZipResult(code, QStringLiteral("adding"), multidisk);
    if (text.isEmpty()) {
        QVERIFY(prompts.log().isEmpty());
        return;
    }
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, text);
    QCOMPARE(prompts.messages()[0].style, style);
    QCOMPARE(prompts.messages()[0].title, QString());
}

void TestArchiveManager::multipleSelection()
{
    const QChar nul(u'\0');
    const QString root = QStringLiteral("C:\\") + nul + QStringLiteral("a.mdb") + nul + QStringLiteral("b.mdb");
    QCOMPARE(CountSelectedFiles(root), 2);
    QCOMPARE(GetSelectedFile(root, 1), QStringLiteral("C:\\a.mdb"));
    QCOMPARE(GetSelectedFile(root, 2), QStringLiteral("C:\\b.mdb"));
    const QString data = QStringLiteral("C:\\DATA") + nul + QStringLiteral("a.mdb");
    QCOMPARE(GetSelectedFile(data, 1), QStringLiteral("C:\\DATA\\a.mdb"));
    const QString linux = QStringLiteral("/home/centre") + nul + QStringLiteral("x") + nul + QStringLiteral("y") + nul + QStringLiteral("z");
    QCOMPARE(CountSelectedFiles(linux), 3);
    QCOMPARE(GetSelectedFile(linux, 3), QStringLiteral("/home/centre/z"));
    QCOMPARE(CountSelectedFiles(QStringLiteral("/one/file.mdb")), 1);
    QCOMPARE(GetSelectedFile(QStringLiteral("/one/file.mdb"), 1), QStringLiteral("/one/file.mdb"));
    QCOMPARE(CountSelectedFiles(QString()), 1);

    // The dialog's answer in that form.
    MultiDialogs dialogs;
    dialogs.selections << QStringList{QStringLiteral("/d/a.mdb"), QStringLiteral("/d/b.mdb")};
    ArchiveFileDialog dlg;
    dlg.options.filter = ArchiveFilters::AddFiles;
    dlg.options.fileName = QStringLiteral("old");
    QCOMPARE(SelectFilesToAdd(dlg, QStringLiteral("Add files")), QStringLiteral("/d") + nul + QStringLiteral("a.mdb") + nul + QStringLiteral("b.mdb"));
    QCOMPARE(dialogs.asked[0].title, QStringLiteral("Add files"));
    QCOMPARE(dialogs.asked[0].fileName, QString());
    QCOMPARE(dialogs.asked[0].filter, ArchiveFilters::AddFiles);
}

void TestArchiveManager::archiveDialogs()
{
    ScriptedDialogs dialogs;
    ArchiveFileDialog dlg;
    const char* titles[] = {"Open Archive", "New Archive", "Test Archive", "Fix Archive", "Delete Archive"};
    for (int kind = 0; kind < 5; ++kind) {
        if (kind == 1)
            dialogs.answerSaveFile(QStringLiteral("/x/new.zip"));
        else
            dialogs.answerOpenFile(QStringLiteral("/x/%1.zip").arg(kind));
        QCOMPARE(SelectArchive(dlg, kind), kind == 1 ? QStringLiteral("/x/new.zip") : QStringLiteral("/x/%1.zip").arg(kind));
    }
    QCOMPARE(dialogs.saveFileCalls().size(), 1);
    QCOMPARE(dialogs.saveFileCalls()[0].title, QStringLiteral("New Archive"));
    QCOMPARE(dialogs.openFileCalls().size(), 4);
    for (int i = 0; i < 4; ++i) {
        const FileDialogOptions& o = dialogs.openFileCalls()[i];
        QCOMPARE(o.title, QString::fromLatin1(titles[i == 0 ? 0 : i + 1]));
        QCOMPARE(o.filter, QStringLiteral("Zip archives (*.zip)|*.zip|Self-extracting Zip archives (*.exe)|*.exe|All files (*.*)|*.*"));
        QCOMPARE(o.fileName, QString());
    }
    QCOMPARE(SelectArchive(dlg, 5), QString());   // no dialog for any other kind
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestArchiveManager::extractDialog()
{
    QTemporaryDir dir;
    ZipArchiver zip;
    ScriptedPrompts prompts;
    {
        ExtractDialog d(&zip);
        QCOMPARE(d.windowTitle(), QStringLiteral("Extract archive"));
        QCOMPARE(d.Label1->text(), QStringLiteral("Extract files to:"));
        QCOMPARE(d.Label2->text(), QStringLiteral("Directories:"));
        QCOMPARE(d.Label3->text(), QStringLiteral("Drives:"));
        QCOMPARE(d.txtExtract->text(), QDir::toNativeSeparators(QDir::currentPath()));
        d.setCurrentFolder(dir.path());
        QCOMPARE(d.txtExtract->text(), dir.path());
        d.txtExtract->setText(QStringLiteral("  ") + dir.path() + QStringLiteral("  "));
        d.cmdSelect->click();
        QVERIFY(!d.cancelled());
        QCOMPARE(zip.extractionFolder(), dir.path());
    }
    {
        ExtractDialog d(&zip);
        QCOMPARE(d.txtExtract->text(), dir.path());   // opens on the folder chosen last
        d.txtExtract->setText(QStringLiteral("/elsewhere"));
        d.cmdCancel->click();
        QVERIFY(d.cancelled());
        QCOMPARE(zip.extractionFolder(), dir.path());

        // A volume that has gone away.
        const int before = d.drvExtract->currentIndex();
        d.drvExtract->addItem(QStringLiteral("/no-such-volume"));
        prompts.expectMessage();
        d.drvExtract->setCurrentIndex(d.drvExtract->count() - 1);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("/no-such-volume/ is not accessible\r\rThe device is not ready"));
        QCOMPARE(prompts.messages()[0].title, QStringLiteral("Error"));
        QCOMPARE(prompts.messages()[0].style, 16);
        QCOMPARE(d.drvExtract->currentIndex(), before);
    }
}

void TestArchiveManager::windowOpensEmpty()
{
    UtilitiesFixture f;
    frmZipCreate w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Database Backup "));
    QVERIFY(idle(w));
    QVERIFY(!w.lstMain->font().bold());
    QCOMPARE(w.lstMain->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(!w.mnuAutomaticBackup->isChecked() && !w.mnuAutomaticRestore->isChecked());

    w.mnuOptions_Click();
    QVERIFY(w.mnuOptionsNormal->isChecked());
    QVERIFY(!w.mnuOptionsBest->isChecked());
    QVERIFY(!w.mnuOptionsMultidiskMode->isChecked());
    QVERIFY(!w.mnuOptionsClearDisks->isEnabled());
    QVERIFY(w.mnuOptionsUseTempFile->isEnabled());
    QVERIFY(w.mnuOptionsUseTempFile->isChecked());
    w.mnuOptionsBest->trigger();
    w.mnuOptionsMultidiskMode->trigger();
    w.mnuOptions_Click();
    QVERIFY(w.mnuOptionsBest->isChecked());
    QVERIFY(!w.mnuOptionsNormal->isChecked());
    QVERIFY(w.mnuOptionsClearDisks->isEnabled());
    QVERIFY(!w.mnuOptionsClearDisks->isChecked());
    QVERIFY(!w.mnuOptionsUseTempFile->isEnabled());
    QVERIFY(!w.mnuOptionsUseTempFile->isChecked());
    w.mnuOptionsClearDisks->trigger();
    w.mnuOptions_Click();
    QVERIFY(w.mnuOptionsClearDisks->isChecked());
    QCOMPARE(w.ZipMain->compressionLevel(), 9);
}

void TestArchiveManager::menuEnablingFollowsTheArchive()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("two.zip"));
    makeArchive(archive, {{QStringLiteral("a"), "1"}, {QStringLiteral("b"), "2"}});
    ScriptedDialogs dialogs;
    frmZipCreate w;
    w.show();
    auto state = [&] {
        w.mnuFile_Click();
        w.mnuEdit_Click();
        QString s;
        for (QAction* a : {w.mnuFileClose, w.mnuFileTest, w.mnuFileFix->menuAction(), w.mnuFileDelete, w.mnuEditAdd, w.mnuEditDelete,
                           w.mnuEditExtract, w.mnuEditUpdate, w.mnuEditUpdateZipDate, w.mnuEditSelectAll})
            s += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    //                   close test fix del | add del restore update date all
    QCOMPARE(state(), QStringLiteral("0111000000"));
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(w.windowTitle(), archive);
    QCOMPARE(state(), QStringLiteral("1000100111"));
    w.mnuEditSelectAll->trigger();
    QCOMPARE(w.lstMain->selectedItems().size(), 2);
    QCOMPARE(state(), QStringLiteral("1000111111"));
    w.mnuOptionsMultidiskMode->trigger();
    QCOMPARE(state(), QStringLiteral("1000001001"));   // in multidisk mode only restore and select all
    w.mnuFileClose->trigger();
    QCOMPARE(w.windowTitle(), QStringLiteral("Database Backup"));
    QCOMPARE(w.statusText(), QStringLiteral(" No Zip archive is currently open."));
    QCOMPARE(w.lstMain->topLevelItemCount(), 0);
    QCOMPARE(state(), QStringLiteral("0101000000"));   // no fixing in multidisk mode
}

void TestArchiveManager::listingShowsEachEntryAndTheSummary()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("list.zip"));
    const QDateTime when(QDate(2007, 3, 4), QTime(12, 30));
    makeArchive(archive, {{QStringLiteral("docs/"), {}}, {QStringLiteral("docs/readme.txt"), compressible(4000)}, {QStringLiteral("Parts.csv"), compressible(9000)}}, when);
    const QList<EntryInfo> entries = readArchive(archive);
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(w.lstMain->topLevelItemCount(), 3);
    QCOMPARE(rowTexts(w.lstMain, 0), QStringList({"<dir>", "03/04/07", "12:30", " 0", " 0", " 0%", "docs"}));
    const qint64 packed1 = entries[1].packed;
    const int ratio1 = int((400000 - packed1 * 100 + 2000) / 4000);
    QCOMPARE(rowTexts(w.lstMain, 1), QStringList({"readme.txt", "03/04/07", "12:30", " 4000", QLatin1Char(' ') + QString::number(packed1),
                                                  QStringLiteral(" %1%").arg(ratio1), "docs"}));
    QCOMPARE(rowTexts(w.lstMain, 2)[6], QString());
    const qint64 packed = entries[1].packed + entries[2].packed;
    QCOMPARE(w.statusText(), QStringLiteral(" 3 files, 13000 bytes, %1 bytes compressed, %2%").arg(packed).arg(100 - packed * 100 / 13000));
    QVERIFY(prompts.log().isEmpty());
    QVERIFY(idle(w));

    // An archive whose entries hold no bytes, and an archive with no entries.
    makeArchive(archive, {{QStringLiteral("a.txt"), {}}});
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(w.statusText(), QStringLiteral(" 1 files, 0 bytes"));
    ZipArchiver emptier;
    emptier.setArchiveName(archive);
    emptier.setFilesToProcess(QStringLiteral("a.txt\r"));
    QCOMPARE(emptier.deleteFiles(), 0);
    prompts.expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The Zip file is empty."));
    QCOMPARE(w.statusText(), QStringLiteral("No files in this archive."));
}

void TestArchiveManager::largeArchiveReportsItsReading()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("many.zip"));
    QList<QPair<QString, QByteArray>> entries;
    for (int i = 0; i < 150; ++i)
        entries.append({QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')), QByteArray::number(i)});
    makeArchive(archive, entries);
    ScriptedDialogs dialogs;
    frmZipCreate w;
    w.show();
    QStringList statusSeen;
    QList<int> progressSeen;
    connect(w.ZipMain, &ZipArchiver::listing, this, [&] {
        statusSeen << w.statusText();
        progressSeen << w.prbMain->value();
    });
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(progressSeen.size(), 150);
    QCOMPARE(statusSeen[0], QStringLiteral("Reading 150 files..."));
    QCOMPARE(progressSeen[74], 50);
    QCOMPARE(progressSeen.last(), 100);
    QCOMPARE(w.prbMain->value(), 0);
    QVERIFY(w.statusText().startsWith(QStringLiteral(" 150 files, ")));

    // A small archive does not move the bar.
    makeArchive(archive, entries.mid(0, 100));
    progressSeen.clear();
    statusSeen.clear();
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    QCOMPARE(progressSeen.size(), 100);
    QCOMPARE(progressSeen.last(), 0);
    QVERIFY(!statusSeen[0].startsWith(QStringLiteral("Reading")));
}

void TestArchiveManager::everyCancelledCommandLeavesTheWindowIdle()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a"), "1"}});
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    dialogs.answerSaveFile(QString());
    w.mnuFileNew->trigger();
    QVERIFY(idle(w));
    for (QAction* a : {w.mnuFileOpen, w.mnuFileTest, w.mnuFileFixNormal, w.mnuFileFixAgressive, w.mnuFileDelete}) {
        dialogs.answerOpenFile(QString());
        a->trigger();
        QVERIFY2(idle(w), qPrintable(a->objectName()));
    }
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    for (QAction* a : {w.mnuEditAdd, w.mnuEditUpdate}) {
        dialogs.answerOpenFile(QString());
        a->trigger();
        QVERIFY2(idle(w), qPrintable(a->objectName()));
    }
    // The wizard stops when no archive was named.
    w.mnuFileClose->trigger();
    prompts.expectMessage();
    dialogs.answerSaveFile(QString());
    w.mnuFileWizard->trigger();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("The next window to pop up will ask you to create a new zip file. \rType in the "
                                                        "name of the file you want to create."));
    QVERIFY(idle(w));
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestArchiveManager::newAddUpdateDeleteRestoreRoundTrip()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("work.zip"));
    makeArchive(archive, {{QStringLiteral("stale"), "x"}});
    const QString a = f.file(QStringLiteral("a.txt"));
    const QString b = f.file(QStringLiteral("b.txt"));
    writeFile(a, compressible(3000), QDateTime(QDate(2005, 5, 5), QTime(5, 5)));
    writeFile(b, "bee", QDateTime(QDate(2005, 5, 5), QTime(5, 5)));
    MultiDialogs dialogs;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    frmZipCreate w;
    w.show();

    dialogs.answerSaveFile(archive);
    w.mnuFileNew->trigger();
    QCOMPARE(w.statusText(), QStringLiteral(" New Zip archive now open."));
    QCOMPARE(w.windowTitle(), archive);

    dialogs.selections << QStringList{a, b};
    w.mnuEditAdd->trigger();
    QCOMPARE(dialogs.asked.last().filter, QStringLiteral("All Files|*.*|Database Files (*.mdb)|*.mdb"));
    QCOMPARE(w.lstMain->topLevelItemCount(), 2);
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"a.txt", "b.txt"}));   // the stale entry went with the old file
    QVERIFY(prompts.log().isEmpty());   // no completion message outside multidisk mode

    // Update with unchanged files: each one is skipped with its reason.
    prompts.expectMessage();
    dialogs.answerOpenFile(b);
    w.mnuEditUpdate->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Can't process 'b.txt', file is already up to date."));
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(w.lstMain->topLevelItemCount(), 2);

    // Delete the selected entry only.
    w.lstMain->topLevelItem(1)->setSelected(true);
    w.mnuEditDelete->trigger();
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"a.txt"});
    QCOMPARE(w.lstMain->topLevelItemCount(), 1);
    QVERIFY(w.ZipMain->filesToProcess().isEmpty());

    // Restore into a folder chosen in the extraction dialog.
    const QString out = f.file(QStringLiteral("restored"));
    modal.onNext([&](QWidget* window) {
        auto* dialog = qobject_cast<ExtractDialog*>(window);
        QVERIFY(dialog);
        dialog->txtExtract->setText(out + QStringLiteral(" "));
        dialog->cmdSelect->click();
    });
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
    QCOMPARE(readFile(out + QStringLiteral("/a.txt")), compressible(3000));
    QVERIFY(idle(w));

    // Cancelled extraction dialog: nothing extracted.
    QFile::remove(out + QStringLiteral("/a.txt"));
    modal.onNext([](QWidget* window) { qobject_cast<ExtractDialog*>(window)->cmdCancel->click(); });
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
    QVERIFY(!QFile::exists(out + QStringLiteral("/a.txt")));

    // A folder where another copy of the program works takes nothing.
    QProcess otherCopy;
    otherCopy.start(QStringLiteral("flock"), {out, QStringLiteral("sleep"), QStringLiteral("60")});
    QVERIFY(otherCopy.waitForStarted());
    QTRY_VERIFY(ProgramFolderLock::heldByAnotherCopy(out));
    modal.onNext([&](QWidget* window) {
        auto* dialog = qobject_cast<ExtractDialog*>(window);
        dialog->txtExtract->setText(out);
        dialog->cmdSelect->click();
    });
    prompts.expectMessage();
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
    QVERIFY(prompts.messages().last().text.startsWith(QStringLiteral("Nothing was extracted: another copy")));
    QVERIFY(!QFile::exists(out + QStringLiteral("/a.txt")));
    otherCopy.kill();
    otherCopy.waitForFinished();
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::abort()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("keep.txt"), "kept"}});
    const QByteArray before = readFile(archive);
    const QString big = f.file(QStringLiteral("big.bin"));
    writeFile(big, noise(8 * 1024 * 1024));
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();

    bool pressed = false;
    connect(w.ZipMain, &ZipArchiver::status, this, [&](int percent) {
        if (!pressed && percent > 0 && percent < 100) {
            pressed = true;
            QVERIFY(w.cmdAbort->isVisible());
            QVERIFY(!menusEnabled(w));
            w.cmdAbort->click();
        }
    });
    prompts.expectMessage(Prompts::Yes).expectMessage();
    dialogs.answerOpenFile(big);
    w.mnuEditAdd->trigger();
    QVERIFY(pressed);
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("Are you sure you want to abort the current operation?"));
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Abort"));
    QCOMPARE(prompts.messages()[0].style, 36);
    QCOMPARE(prompts.messages()[1].text, QStringLiteral("The adding operation was aborted."));
    QCOMPARE(readFile(archive), before);
    QCOMPARE(QDir(f.dir.path()).entryList({QStringLiteral("*.zip*"), QStringLiteral(".*")}, QDir::Files | QDir::Hidden), QStringList{"a.zip"});
    QCOMPARE(w.lstMain->topLevelItemCount(), 1);
    QVERIFY(idle(w));

    // Fix, too, stops at the answer and leaves the archive as it was.
    w.mnuFileClose->trigger();
    const QString damaged = f.file(QStringLiteral("damaged.zip"));
    const QByteArray cut = makeLargeDamagedArchive(damaged);
    pressed = false;
    prompts.expectMessage(Prompts::Yes).expectMessage();
    dialogs.answerOpenFile(damaged);
    w.mnuFileFixAgressive->trigger();
    QVERIFY(pressed);
    QCOMPARE(prompts.texts().mid(prompts.texts().size() - 2),
             QStringList({"Are you sure you want to abort the current operation?", "The fixing operation was aborted."}));
    QCOMPARE(readFile(damaged), cut);
    QVERIFY(idle(w));

    // Without the temporary file the operation cannot be aborted: a warning only.
    w.mnuOptionsUseTempFile->trigger();
    QVERIFY(!w.ZipMain->useTempFile());
    prompts.expectMessage();
    w.cmdAbort_Click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("You cannot abort an operation when you are not using a temporary file."));
    QCOMPARE(prompts.messages().last().style, 48);
    QVERIFY(!w.ZipMain->abort());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::testFixAndDeleteArchive()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(5000)}, {QStringLiteral("b.txt"), compressible(5000)}}, QDateTime(), true);
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();

    prompts.expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileTest->trigger();
    QCOMPARE(dialogs.openFileCalls().last().title, QStringLiteral("Test Archive"));
    QCOMPARE(prompts.messages().last().text, QStringLiteral("All files in the archive are OK."));
    QCOMPARE(prompts.messages().last().style, 64);
    QCOMPARE(w.statusText(), QStringLiteral(" Finished testing files."));
    QVERIFY(w.ZipMain->archiveName().isEmpty());

    damageEntry(archive, QStringLiteral("b.txt"), 40);
    prompts.expectMessage().expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileTest->trigger();
    QCOMPARE(prompts.messages().at(1).text, QStringLiteral("Can't process 'b.txt', CRC does not check out."));
    QCOMPARE(prompts.messages().at(2).text, QStringLiteral("Test failed - errors in the archive."));
    QCOMPARE(prompts.messages().at(2).style, 16);

    // Fixed only when nothing had to be dropped; either way the counts are told.
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(5000)}});
    cutCentralDirectory(archive);
    prompts.expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileFixNormal->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The specified Zip file has been fixed.\r1 file was kept and 0 were dropped."));
    QCOMPARE(prompts.messages().last().style, 64);
    QCOMPARE(w.statusText(), QStringLiteral(" Finished fixing files."));
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"a.txt"});

    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(5000)}, {QStringLiteral("b.txt"), compressible(5000)},
                          {QStringLiteral("c.txt"), compressible(5000)}}, QDateTime(), true);
    damageEntry(archive, QStringLiteral("b.txt"), 40);
    prompts.expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileFixAgressive->trigger();
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("Damaged files were dropped from the specified Zip file.\r2 files were kept and 1 was dropped."));
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"a.txt", "c.txt"}));

    writeFile(archive, "rubbish");
    prompts.expectMessage();
    dialogs.answerOpenFile(archive);
    w.mnuFileFixAgressive->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The specified Zip file is too corrupted to be fixed."));
    QCOMPARE(prompts.messages().last().style, 16);
    QVERIFY(idle(w));

    // Enter on the question keeps the archive: No is the default.
    prompts.expectMessage(ScriptedPrompts::Enter);
    dialogs.answerOpenFile(archive);
    w.mnuFileDelete->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Are you sure you want to delete %1?").arg(archive));
    QVERIFY(QFile::exists(archive));
    prompts.expectMessage(Prompts::Yes);
    dialogs.answerOpenFile(archive);
    w.mnuFileDelete->trigger();
    QVERIFY(!QFile::exists(archive));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::closingWhileBusyWaitsAndUnloadingReleasesTheMainWindow()
{
    UtilitiesFixture f;
    const QString archive = f.file(QStringLiteral("a.zip"));
    writeFile(f.file(QStringLiteral("big.bin")), noise(4 * 1024 * 1024));
    QWidget mainWindow;
    MainWindowLock::setMainWindow(&mainWindow);
    bool printMenuBack = false;
    ScriptedDialogs dialogs;
    QPointer<frmZipCreate> w = new frmZipCreate;
    MainWindowLock::acquire(w, [&] { printMenuBack = true; });
    w->show();
    QVERIFY(!mainWindow.isEnabled());

    dialogs.answerSaveFile(archive);
    w->mnuFileNew->trigger();
    bool tried = false;
    connect(w->ZipMain, &ZipArchiver::status, this, [&] {
        if (!tried) {
            tried = true;
            w->close();
            QVERIFY(w->isVisible());
        }
    });
    dialogs.answerOpenFile(f.file(QStringLiteral("big.bin")));
    w->mnuEditAdd->trigger();
    QVERIFY(tried);
    QVERIFY(w);
    QVERIFY(!mainWindow.isEnabled());

    w->mnuFileExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w);
    QVERIFY(mainWindow.isEnabled());
    QVERIFY(printMenuBack);
    MainWindowLock::setMainWindow(nullptr);
}

void TestArchiveManager::resizingGrowsTheList()
{
    UtilitiesFixture f;
    frmZipCreate w;
    w.show();
    const QSize loaded = w.size();
    QCOMPARE(w.minimumSize(), loaded);
    const QSize list = w.lstMain->size();
    const QPoint abortAt = w.cmdAbort->pos();
    w.resize(loaded + QSize(120, 60));
    QCoreApplication::processEvents();
    QCOMPARE(w.lstMain->size(), list + QSize(120, 60));
    QCOMPARE(w.cmdAbort->pos(), abortAt + QPoint(120, 60));
    QCOMPARE(w.lstMain->columnWidth(6), 120 + twipsToPx(1620));
    w.resize(loaded - QSize(50, 50));
    QCoreApplication::processEvents();
    QCOMPARE(w.size(), loaded);
}

void TestArchiveManager::backupWritesTheDatabaseToDriveA()
{
    UtilitiesFixture f({part(QStringLiteral("A-1")), part(QStringLiteral("B-2"))});
    // The copy of the database a backup archives leaves nothing in the temporary folder, and the
    // backup touches nothing there: folders of the user's named like copies a program might make
    // stay with their files.
    QTemporaryDir temp;
    const QByteArray previousTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QStringList lookAlikes = {QStringLiteral("inventory-backup-%1-AbCdEf").arg(endedPid), QStringLiteral("inventory-backup-2024-01-05")};
    lookAlikes.sort();
    for (const QString& folder : lookAlikes) {
        QVERIFY(QDir().mkpath(temp.filePath(folder)));
        writeFile(temp.filePath(folder + QStringLiteral("/inventory.mdb")), "the user's own");
    }

    // A change still in its transaction is not part of the backup.
    auto live = Connection::open(f.inventory());
    Connection::Transaction pending(*live);
    live->execute(QStringLiteral("INSERT INTO Parts([Part Number 1]) VALUES ('UNSAVED')"));

    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().size(), 2);
    QCOMPARE(prompts.messages()[0].text, BackupQuestion);
    QCOMPARE(prompts.messages()[0].style, 292);
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Confirm"));
    QCOMPARE(prompts.messages()[1].text, QStringLiteral("Compressed backup process completed!"));
    QCOMPARE(prompts.messages()[1].style, 0);
    QCOMPARE(prompts.messages()[1].title, QString());
    QStringList left = QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    left.sort();
    QCOMPARE(left, lookAlikes);
    for (const QString& folder : lookAlikes)
        QCOMPARE(readFile(temp.filePath(folder + QStringLiteral("/inventory.mdb"))), QByteArray("the user's own"));
    qputenv("TMPDIR", previousTemp);

    const QString archive = QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip"));
    const QList<EntryInfo> entries = readArchive(archive);
    QCOMPARE(namesOf(entries), QStringList{"inventory.mdb"});
    QVERIFY(entries[0].readable);
    const QString copy = f.file(QStringLiteral("check.mdb"));
    writeFile(copy, entries[0].content);
    QCOMPARE(partNumbers(copy), QStringList({"A-1", "B-2"}));

    QCOMPARE(w.windowTitle(), archive);
    QCOMPARE(w.lstMain->topLevelItemCount(), 1);
    QCOMPARE(w.lstMain->topLevelItem(0)->text(0), QStringLiteral("inventory.mdb"));
    QVERIFY(!w.mnuAutomaticBackup->isChecked());
    QVERIFY(w.ZipMain->multidiskMode());
    QVERIFY(w.ZipMain->clearDisks());
    QVERIFY(idle(w));

    // A second backup in the same window writes the archive afresh; other files on the medium stay.
    writeFile(QDir(f.driveA.path()).filePath(QStringLiteral("letter.txt")), "mine");
    pending.commit();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Compressed backup process completed!"));
    writeFile(copy, readArchive(archive)[0].content);
    QCOMPARE(partNumbers(copy), QStringList({"A-1", "B-2", "UNSAVED"}));
    QCOMPARE(readFile(QDir(f.driveA.path()).filePath(QStringLiteral("letter.txt"))), QByteArray("mine"));

    // No at the question: nothing happens.
    const QByteArray written = readFile(archive);
    w.ZipMain->setMultidiskMode(false);
    prompts.expectMessage(Prompts::No);
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(readFile(archive), written);
    QVERIFY(!w.ZipMain->multidiskMode());
    QVERIFY(!w.mnuAutomaticBackup->isChecked());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::backupArchivesTheDatabaseTheProgramHasOpen()
{
    // A copy restored by hand beside the live database, in other letter case, is stale.
    UtilitiesFixture f({part(QStringLiteral("A-1"))});
    const QString stale = f.file(QStringLiteral("inventory.mdb"));
    QVERIFY(QFile::copy(f.inventory(), stale));
    QVERIFY(directExec(f.inventory(), part(QStringLiteral("B-2"))));
    ScriptedPrompts prompts;
    ScriptedModal modal;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Compressed backup process completed!"));
    const QString archive = QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip"));
    const QString copy = f.file(QStringLiteral("check.mdb"));
    writeFile(copy, readArchive(archive)[0].content);
    QCOMPARE(partNumbers(copy), QStringList({"A-1", "B-2"}));
    QFile::remove(stale);

    // Restoring that backup by hand into the program's folder replaces the database, after the
    // question, under its own spelling: no second spelling appears.
    QVERIFY(directExec(f.inventory(), part(QStringLiteral("C-3"))));
    w.mnuFileClose->trigger();
    ScriptedDialogs dialogs;
    dialogs.answerOpenFile(archive);
    w.mnuFileOpen->trigger();
    modal.onNext([&](QWidget* window) {
        auto* dialog = qobject_cast<ExtractDialog*>(window);
        dialog->txtExtract->setText(f.dir.path());
        dialog->cmdSelect->click();
    });
    prompts.expectMessage(Prompts::Yes);
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
    QCOMPARE(prompts.messages().last().text, ReplaceQuestion);
    QVERIFY(!QFileInfo::exists(stale));
    QCOMPARE(partNumbers(f.inventory()), QStringList({"A-1", "B-2"}));

    // A file that is no database, restored by hand into the program's folder, is checked as the
    // automatic restore checks it: the database stays, with the same message; the rest comes out.
    const QString other = f.file(QStringLiteral("other.zip"));
    makeArchive(other, {{QStringLiteral("inventory.mdb"), "just some text"}, {QStringLiteral("notes.txt"), "notes"}});
    const QByteArray current = readFile(f.inventory());
    w.mnuFileClose->trigger();
    dialogs.answerOpenFile(other);
    w.mnuFileOpen->trigger();
    modal.onNext([&](QWidget* window) {
        auto* dialog = qobject_cast<ExtractDialog*>(window);
        QTest::mouseClick(dialog->txtExtract, Qt::LeftButton);
        QTest::keyClick(dialog->txtExtract, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->txtExtract, f.dir.path());
        QTest::mouseClick(dialog->cmdSelect, Qt::LeftButton);
    });
    prompts.expectMessage();
    w.mnuEditSelectAll->trigger();
    w.mnuEditExtract->trigger();
    QVERIFY2(prompts.messages().last().text.startsWith(QStringLiteral("The backup does not hold a usable inventory database (")),
             qPrintable(prompts.messages().last().text));
    QVERIFY(prompts.messages().last().text.endsWith(QStringLiteral("). Your database was not changed.")));
    QCOMPARE(readFile(f.inventory()), current);
    QCOMPARE(readFile(f.file(QStringLiteral("notes.txt"))), QByteArray("notes"));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::backupFailuresAreToldAndKeepThePreviousBackup()
{
    UtilitiesFixture f({part(QStringLiteral("A-1"))});
    TestDriveA& drive = f.drive;
    const QString archive = QDir(f.driveA.path()).filePath(QStringLiteral("INVENTORYBACKUP.ZIP"));   // as a FAT medium shows it
    makeBackup(f, archive, {QStringLiteral("OLD")});
    const QByteArray previous = readFile(archive);
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();

    // Drive A as the system finds it: a plain folder where media are mounted, with nothing
    // mounted on it, is no disk, and nothing is written into it.
    {
        QTemporaryDir system;
        const QString floppy = system.filePath(QStringLiteral("media/floppy"));
        QVERIFY(QDir().mkpath(floppy));
        writeFile(system.filePath(QStringLiteral("mounts")), "/dev/sda1 / ext4 rw 0 0\n");
        MountedMedium medium(system.filePath(QStringLiteral("mounts")), system.filePath(QStringLiteral("sys")),
                             {system.filePath(QStringLiteral("media/"))});
        DriveA* previousDrive = DriveA::install(&medium);
        prompts.expectMessage(Prompts::Yes).expectMessage();
        w.mnuAutomaticBackup->trigger();
        DriveA::install(previousDrive);
        QCOMPARE(prompts.messages().last().text, NoDisk);
        QVERIFY(QDir(floppy).isEmpty());
    }

    drive.setState(DriveA::State::NoDisk);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text, NoDisk);
    QCOMPARE(prompts.messages().last().style, 0);
    QVERIFY(!w.mnuAutomaticBackup->isChecked());

    drive.setState(DriveA::State::WriteProtected);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The disk cannot be write protected!"));
    QCOMPARE(readFile(archive), previous);

    // The database is not there: told by number and description, and the old backup stays.
    drive.setState(DriveA::State::Ready);
    Connection::closeAll();
    QVERIFY(QFile::rename(f.inventory(), f.file(QStringLiteral("elsewhere.mdb"))));
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("3024: Could not find file '%1'.Please contact Quenmoor").arg(f.inventory()));
    QCOMPARE(readFile(archive), previous);
    QVERIFY(!w.mnuAutomaticBackup->isChecked());
    QVERIFY(idle(w));

    // With the database back, the backup replaces the old one under its own spelling.
    QVERIFY(QFile::rename(f.file(QStringLiteral("elsewhere.mdb")), f.inventory()));
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Compressed backup process completed!"));
    QCOMPARE(QDir(f.driveA.path()).entryList(QDir::Files), QStringList{"INVENTORYBACKUP.ZIP"});
    const QString copy = f.file(QStringLiteral("check.mdb"));
    writeFile(copy, readArchive(archive)[0].content);
    QCOMPARE(partNumbers(copy), QStringList{"A-1"});
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreReplacesTheDatabase()
{
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    makeBackup(f, QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip")), {QStringLiteral("B-1"), QStringLiteral("C-2")});
    auto live = Connection::open(f.inventory());
    {
        Statement before = live->prepare(QStringLiteral("SELECT COUNT(*) FROM Parts"));
        QVERIFY(before.step());
        QCOMPARE(before.value(0).toInt(), 1);
    }

    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.messages().size(), 2);
    QCOMPARE(prompts.messages()[0].text, RestoreQuestion);
    QCOMPARE(prompts.messages()[0].style, 292);
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Confirm"));
    QCOMPARE(prompts.messages()[1].text, ReplaceQuestion);

    QCOMPARE(partNumbers(f.inventory()), QStringList({"B-1", "C-2"}));
    // The open connection let go of the old file and reads the restored one.
    Statement count = live->prepare(QStringLiteral("SELECT COUNT(*) FROM Parts"));
    QVERIFY(count.step());
    QCOMPARE(count.value(0).toInt(), 2);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"Inventory.mdb"});
    QVERIFY(!w.mnuAutomaticRestore->isChecked());
    QVERIFY(w.ZipMain->multidiskMode());
    QCOMPARE(w.lstMain->topLevelItemCount(), 1);
    QVERIFY(idle(w));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreAnswersAndDamagedBackupsLeaveTheDatabase()
{
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    const QString archive = QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip"));
    makeBackup(f, archive, {QStringLiteral("B-1")});
    const QByteArray current = readFile(f.inventory());
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();

    // Enter on the replace question keeps the database: No is the default.
    prompts.expectMessage(Prompts::Yes).expectMessage(ScriptedPrompts::Enter);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(readFile(f.inventory()), current);
    QVERIFY(!w.mnuAutomaticRestore->isChecked());

    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Cancel).expectMessage();
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The extracting operation was aborted."));
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(readFile(f.inventory()), current);

    // A damaged member is never put in place; no question is asked about it.
    const QString db = f.makeDatabase(QStringLiteral("Backup.mdb"), {part(QStringLiteral("X"))});
    makeArchive(archive, {{QStringLiteral("inventory.mdb"), readFile(db)}}, QDateTime(), true);
    damageEntry(archive, QStringLiteral("inventory.mdb"), 3000);
    prompts.expectMessage(Prompts::Yes).expectMessage().expectMessage();
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.texts().mid(prompts.texts().size() - 2),
             QStringList({"Can't process 'inventory.mdb', CRC does not check out.", "Some files were skipped while extracting."}));
    QCOMPARE(readFile(f.inventory()), current);

    // A member that is not the program's database.
    makeArchive(archive, {{QStringLiteral("inventory.mdb"), "just some text"}});
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticRestore->trigger();
    QVERIFY2(prompts.messages().last().text.startsWith(QStringLiteral("The backup does not hold a usable inventory database")),
             qPrintable(prompts.messages().last().text));
    QVERIFY(prompts.messages().last().text.endsWith(QStringLiteral("Your database was not changed.")));
    QCOMPARE(readFile(f.inventory()), current);

    // Entries that would leave the program's folder, and other files, are not restored.
    makeArchive(archive, {{QStringLiteral("../evil.txt"), "x"}, {QStringLiteral("Colors.mdb"), "y"}, {QStringLiteral("backup/INVENTORY.MDB"), readFile(db)}});
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("The file 'INVENTORY.MDB' already exists. Do you want to replace this file?"));
    QCOMPARE(partNumbers(f.inventory()), QStringList{"X"});
    QVERIFY(!QFile::exists(QDir(f.dir.path()).filePath(QStringLiteral("../evil.txt"))));
    QVERIFY(!QFile::exists(f.file(QStringLiteral("Colors.mdb"))));
    QVERIFY(idle(w));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreFromMissingDiskOrArchive()
{
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    TestDriveA& drive = f.drive;
    const QByteArray current = readFile(f.inventory());
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();

    drive.setState(DriveA::State::NoDisk);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.messages().last().text, NoDisk);
    QVERIFY(!w.mnuAutomaticRestore->isChecked());

    // The disk is there, the archive is not: the listing says so and nothing is extracted.
    drive.setState(DriveA::State::Ready);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Could not find the archive file."));
    QCOMPARE(prompts.messages().size(), 4);
    QCOMPARE(readFile(f.inventory()), current);

    prompts.expectMessage(Prompts::No);
    w.mnuAutomaticRestore->trigger();
    QVERIFY(!w.mnuAutomaticRestore->isChecked());
    QVERIFY(idle(w));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::handRestoreNeverWritesTheProgramsBookkeeping()
{
    // An archive made to look like the program's folder: entries of its list of unfinished files
    // (of a program no longer running) naming the database and a file elsewhere, its lock file, a
    // journal for the database, and a file of the user's.
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("letter.txt"));
    writeFile(outside, "letter");
    const QByteArray current = readFile(f.inventory());
    const QString archive = f.file(QStringLiteral("crafted.zip"));
    makeArchive(archive, {{QStringLiteral(".unfinished/00000000-999999999-1-a"), QFile::encodeName(f.inventory())},
                          {QStringLiteral(".unfinished/00000000-999999999-1-b"), QFile::encodeName(outside)},
                          {QStringLiteral("Inventory.lock"), "lock"}, {QStringLiteral("Inventory.mdb-journal"), noise(2048)},
                          {QStringLiteral("notes.txt"), "notes"}});
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    ScriptedModal modal;
    frmZipCreate w;
    w.show();
    for (int i = 0; i < 5; ++i)
        prompts.expectMessage();
    restoreByHand(w, dialogs, modal, archive, f.dir.path());
    QCOMPARE(prompts.texts(), (QStringList{"Can't process '.unfinished/00000000-999999999-1-a', unable to open file.",
                                           "Can't process '.unfinished/00000000-999999999-1-b', unable to open file.",
                                           "Can't process 'Inventory.lock', unable to open file.",
                                           "Can't process 'Inventory.mdb-journal', unable to open file.",
                                           "Some files were skipped while extracting."}));
    QCOMPARE(readFile(f.inventory()), current);
    QCOMPARE(readFile(outside), QByteArray("letter"));
    QCOMPARE(readFile(f.file(QStringLiteral("notes.txt"))), QByteArray("notes"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"crafted.zip", "Inventory.mdb", "notes.txt"}));

    // The same archive under the program folder's name, restored into the folder above.
    const QString nested = f.file(QStringLiteral("nested.zip"));
    const QString name = QFileInfo(f.dir.path()).fileName();
    makeArchive(nested, {{name + QStringLiteral("/.unfinished/00000000-999999999-1-a"), QFile::encodeName(f.inventory())},
                         {name + QStringLiteral("/notes.txt"), "notes again"}});
    prompts.expectMessage().expectMessage(Prompts::Yes).expectMessage();
    restoreByHand(w, dialogs, modal, nested, QFileInfo(f.dir.path()).absolutePath());
    QCOMPARE(prompts.texts().mid(5, 2), (QStringList{QStringLiteral("Can't process '%1/.unfinished/00000000-999999999-1-a', unable to open file.").arg(name),
                                                     QStringLiteral("The file '%1/notes.txt' already exists. Do you want to replace this file?").arg(name)}));
    QCOMPARE(readFile(f.inventory()), current);
    QCOMPARE(readFile(f.file(QStringLiteral("notes.txt"))), QByteArray("notes again"));
    QVERIFY(!QFileInfo::exists(f.file(QStringLiteral(".unfinished"))));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::handRestoreChecksTheDatabaseHoweverItIsReached()
{
    // An archive of the whole program folder, as zipping the folder makes it, restored into the
    // folder above: its database goes through the check the automatic restore makes.
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    const QByteArray current = readFile(f.inventory());
    const QString name = QFileInfo(f.dir.path()).fileName();
    const QString parent = QFileInfo(f.dir.path()).absolutePath();
    QTemporaryDir work;
    const QString archive = work.filePath(QStringLiteral("folder.zip"));
    makeArchive(archive, {{name + QStringLiteral("/Inventory.mdb"), "just some text"}});
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    ScriptedModal modal;
    frmZipCreate w;
    w.show();
    prompts.expectMessage();
    restoreByHand(w, dialogs, modal, archive, parent);
    QVERIFY2(prompts.texts().last().startsWith(QStringLiteral("The backup does not hold a usable inventory database")), qPrintable(prompts.texts().last()));
    QVERIFY(prompts.texts().last().endsWith(QStringLiteral("Your database was not changed.")));
    QCOMPARE(readFile(f.inventory()), current);

    // Reached through a link to the program folder, in other letters.
    QVERIFY(QFile::link(f.dir.path(), work.filePath(QStringLiteral("shortcut"))));
    makeArchive(archive, {{QStringLiteral("shortcut/INVENTORY.MDB"), "just some text"}});
    prompts.expectMessage();
    restoreByHand(w, dialogs, modal, archive, work.path());
    QVERIFY(prompts.texts().last().startsWith(QStringLiteral("The backup does not hold a usable inventory database")));
    QCOMPARE(readFile(f.inventory()), current);

    // A sound database is put in place after the question, as the automatic restore does.
    const QString db = f.makeDatabase(QStringLiteral("Backup.mdb"), {part(QStringLiteral("B-1"))});
    makeArchive(archive, {{name + QStringLiteral("/Inventory.mdb"), readFile(db)}});
    QFile::remove(db);
    prompts.expectMessage(Prompts::Yes);
    restoreByHand(w, dialogs, modal, archive, parent);
    QCOMPARE(prompts.texts().last(), QStringLiteral("The file 'Inventory.mdb' already exists. Do you want to replace this file?"));
    QCOMPARE(partNumbers(f.inventory()), QStringList{"B-1"});
    QVERIFY(idle(w));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreReadsTheBackupFromTheMediumThatHoldsIt()
{
    // A write-locked memory card holding the backup and a stick that can be written, both plugged
    // in, as the system mounts them.
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    CardAndStick plugged;
    const QString media = plugged.media;
    makeBackup(f, media + QStringLiteral("CARD/INVENTORYBACKUP.ZIP"), {QStringLiteral("B-1")});

    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.texts().last(), ReplaceQuestion);
    QCOMPARE(partNumbers(f.inventory()), QStringList{"B-1"});

    // A backup goes to the stick, the medium that can be written.
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Compressed backup process completed!"));
    QCOMPARE(namesOf(readArchive(media + QStringLiteral("STICK/InventoryBackup.zip"))), QStringList{"inventory.mdb"});
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreReadsTheLatestOfTwoBackups()
{
    // Last week's backup on the write-locked card; today's goes to the stick.
    UtilitiesFixture f({part(QStringLiteral("TODAY"))});
    CardAndStick plugged;
    const QString card = plugged.media + QStringLiteral("CARD/InventoryBackup.zip");
    makeBackup(f, card, {QStringLiteral("LAST-WEEK")});
    const auto age = [](const QString& file, int days) {
        QFile f(file);
        return f.open(QIODevice::ReadWrite) && f.setFileTime(QDateTime::currentDateTime().addDays(-days), QFileDevice::FileModificationTime);
    };
    QVERIFY(age(card, 7));
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    backUpAndRestore(w, prompts);
    // The restore reads back the backup just made, not the card's older one.
    QCOMPARE(partNumbers(f.inventory()), QStringList{"TODAY"});

    // A card written later (on another computer) than the stick is the one read.
    makeBackup(f, card, {QStringLiteral("OTHER-PC")});
    QVERIFY(age(plugged.media + QStringLiteral("STICK/InventoryBackup.zip"), 1));
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(partNumbers(f.inventory()), QStringList{"OTHER-PC"});
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::backupOfADatabaseInWriteAheadModeIsWhole()
{
    // Another program switched the database to write-ahead mode and keeps it open, with changes
    // still in its log.
    UtilitiesFixture f({part(QStringLiteral("A-1"))});
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(f.inventory()).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                                 "INSERT INTO Parts([Part Number 1]) VALUES ('W-2')", nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFileInfo(f.inventory() + QStringLiteral("-wal")).size() > 0);

    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Compressed backup process completed!"));
    // The copy is an ordinary database, whole in its one file (its header says it needs no log).
    const QByteArray copy = readArchive(QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip"))).value(0).content;
    QCOMPARE(copy.mid(18, 2), QByteArray("\x01\x01", 2));
    sqlite3_exec(other, "DELETE FROM Parts", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // The restore takes it, with the change that was in the log.
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.texts().last(), ReplaceQuestion);
    QCOMPARE(partNumbers(f.inventory()), QStringList({"A-1", "W-2"}));

    // An archive another program made of a database in write-ahead mode, whole in its file (the
    // log written back into it), is taken too.
    const QString walFile = f.makeDatabase(QStringLiteral("Other.mdb"), {part(QStringLiteral("O-3"))});
    QCOMPARE(sqlite3_open(QFile::encodeName(walFile).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    QCOMPARE(readFile(walFile).mid(18, 2), QByteArray("\x02\x02", 2));
    makeArchive(QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip")), {{QStringLiteral("inventory.mdb"), readFile(walFile)}});
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QCOMPARE(prompts.texts().last(), ReplaceQuestion);
    QCOMPARE(partNumbers(f.inventory()), QStringList{"O-3"});
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::backupOfADatabaseLeftMidwayOrInUse()
{
    // Another program was ended in the middle of a change: its journal stands beside the database,
    // which holds half the change.
    UtilitiesFixture f({part(QStringLiteral("A-1"))});
    const QString midway = f.file(QStringLiteral("midway.mdb"));
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(f.inventory()).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "PRAGMA cache_size=1; BEGIN; INSERT INTO Parts([Part Number 1]) VALUES ('HALF');"
                                 "UPDATE Parts SET Description = hex(randomblob(3000))", nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(QFile::copy(f.inventory(), midway) && QFile::copy(f.inventory() + QStringLiteral("-journal"), midway + QStringLiteral("-journal")));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(QFile::remove(f.inventory()) && QFile::rename(midway, f.inventory())
            && QFile::rename(midway + QStringLiteral("-journal"), f.inventory() + QStringLiteral("-journal")));

    // The backup takes the database as it was before that change, and the restore gives it back.
    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    backUpAndRestore(w, prompts);
    QCOMPARE(partNumbers(f.inventory()), QStringList{"A-1"});

    // A database another program keeps locked: the backup says so, not that the disk in drive A
    // is write protected.
    QCOMPARE(sqlite3_open(QFile::encodeName(f.inventory()).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM Parts", nullptr, nullptr, nullptr), SQLITE_OK);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QVERIFY2(prompts.texts().last().startsWith(QStringLiteral("3050: Saving a copy of 'Inventory.mdb': the file is read-only or in use")),
             qPrintable(prompts.texts().last()));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::backupOfADamagedDatabaseFailsAndKeepsTheLastBackup()
{
    // A database damaged inside one of its pages (a copy of it is damaged alike), beside last
    // week's backup on drive A.
    UtilitiesFixture f({part(QStringLiteral("A-1"))});
    QVERIFY(directExec(f.inventory(), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                                     "INSERT INTO Parts([Part Number 1], Description) SELECT 'P-' || i, hex(randomblob(40)) FROM n")));
    {
        QFile db(f.inventory());
        QVERIFY(db.open(QIODevice::ReadWrite));
        QVERIFY(db.seek(db.size() - 3 * 4096 + 100));
        QVERIFY(db.write(QByteArray(200, '\xff')) == 200);
    }
    const QString archive = QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip"));
    makeBackup(f, archive, {QStringLiteral("LAST-WEEK")});
    const QByteArray lastWeek = readFile(archive);

    ScriptedPrompts prompts;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w.mnuAutomaticBackup->trigger();
    QVERIFY2(prompts.texts().last().contains(QStringLiteral("The copy of the database cannot be restored (it is damaged).")),
             qPrintable(prompts.texts().last()));
    QCOMPARE(readFile(archive), lastWeek);
    QVERIFY(!w.mnuAutomaticBackup->isChecked());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::restoreAndFixWriteTheFileALinkNames()
{
    // The database and an archive kept elsewhere, reached by links.
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath(QStringLiteral("Inventory.mdb"));
    QVERIFY(QFile::rename(f.inventory(), real));
    QVERIFY(QFile::link(real, f.inventory()));
    makeBackup(f, QDir(f.driveA.path()).filePath(QStringLiteral("InventoryBackup.zip")), {QStringLiteral("B-1")});
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    frmZipCreate w;
    w.show();
    prompts.expectMessage(Prompts::Yes).expectMessage(Prompts::Yes);
    w.mnuAutomaticRestore->trigger();
    QVERIFY(QFileInfo(f.inventory()).isSymLink());
    QCOMPARE(partNumbers(real), QStringList{"B-1"});

    const QString archive = elsewhere.filePath(QStringLiteral("parts.zip"));
    const QString link = f.file(QStringLiteral("parts.zip"));
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(3000)}, {QStringLiteral("b.txt"), "bee"}});
    cutCentralDirectory(archive);
    QVERIFY(QFile::link(archive, link));
    dialogs.answerOpenFile(link);
    prompts.expectMessage();
    w.mnuFileFixNormal->trigger();
    QCOMPARE(prompts.texts().last(), QStringLiteral("The specified Zip file has been fixed.\r2 files were kept and 0 were dropped."));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"a.txt", "b.txt"}));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestArchiveManager::handRestoreTakesNamesAsOtherProgramsWriteThem()
{
    // Folders after "\\", as some programs write them, and a folder of the database's name.
    UtilitiesFixture f({part(QStringLiteral("NOW"))});
    const QByteArray current = readFile(f.inventory());
    QTemporaryDir into;
    const QString archive = f.file(QStringLiteral("other.zip"));
    makeArchive(archive, {{QStringLiteral("docs\\readme.txt"), "read me"}, {QStringLiteral("docs\\.unfinished\\00000000-999999999-1-a"), "x"}});
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    ScriptedModal modal;
    frmZipCreate w;
    w.show();
    restoreByHand(w, dialogs, modal, archive, into.path());
    QCOMPARE(readFile(into.filePath(QStringLiteral("docs/readme.txt"))), QByteArray("read me"));
    QCOMPARE(readFile(into.filePath(QStringLiteral("docs/.unfinished/00000000-999999999-1-a"))), QByteArray("x"));
    QVERIFY(prompts.texts().isEmpty());

    // Into the program's folder, the list of unfinished files so written is refused; a folder named
    // as the database cannot be made, and that is all that is said of it.
    makeArchive(archive, {{QStringLiteral(".unfinished\\00000000-999999999-1-a"), QFile::encodeName(f.inventory())},
                          {QStringLiteral("Inventory.mdb/"), {}}});
    prompts.expectMessage().expectMessage();
    restoreByHand(w, dialogs, modal, archive, f.dir.path());
    QCOMPARE(prompts.texts(), (QStringList{"Can't process '.unfinished\\00000000-999999999-1-a', unable to open file.",
                                           "Problem creating destination directory while extracting."}));
    QCOMPARE(readFile(f.inventory()), current);
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestArchiveManager)
#include "tst_archivemanager.moc"
