#pragma once

#include "utilities/ArchiveDialogs.h"

#include <QMainWindow>
#include <QSize>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class PendingFile;
class ZipArchiver;

// "Database Backup ": a small zip-archive manager. It creates, opens, lists, tests, repairs and
// deletes archives, adds and updates files in them, deletes and restores entries, and updates an
// archive's date; its "&Automatic" menu backs Inventory.mdb up to drive A and restores it from
// there in one command each. Modeless; deleted when closed.
//
// Everything the archiver does runs inside the command that started it, with the window busy:
// the menus and the list are disabled and only "Abort" answers.
class frmZipCreate : public QMainWindow {
    Q_OBJECT
public:
    explicit frmZipCreate(QWidget* parent = nullptr);
    ~frmZipCreate() override;

    // Menus: their opening sets the enabling and the check marks of their items.
    void mnuFile_Click();
    void mnuEdit_Click();
    void mnuOptions_Click();

    void mnuFileWizard_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileTest_Click();
    void mnuFileFixNormal_Click();
    void mnuFileFixAgressive_Click();
    void mnuFileDelete_Click();
    void mnuFileExit_Click();
    void mnuEditAdd_Click();
    void mnuEditDelete_Click();
    void mnuEditExtract_Click();
    void mnuEditUpdate_Click();
    void mnuEditUpdateZipDate_Click();
    void mnuEditSelectAll_Click();
    void mnuOptionsBest_Click();
    void mnuOptionsNormal_Click();
    void mnuOptionsFastest_Click();
    void mnuOptionsStore_Click();
    void mnuOptionsMultidiskMode_Click();
    void mnuOptionsClearDisks_Click();
    void mnuOptionsUseTempFile_Click();
    void mnuAutomaticBackup_Click();
    void mnuAutomaticRestore_Click();
    void cmdAbort_Click();

    // The archiver's events.
    void ZipMain_Adding(const QString& name, qint64 size);
    void ZipMain_Updating(const QString& name, qint64 size);
    void ZipMain_Extracting(const QString& name, qint64 size);
    void ZipMain_Testing(const QString& name, qint64 size);
    void ZipMain_Deleting(const QString& name);
    void ZipMain_Fixing(const QString& name);
    void ZipMain_Status(int percent);
    void ZipMain_Listing(const QString& name, qint64 size, qint64 packedSize, const QString& dateTime, int ratio);
    void ZipMain_ReplaceFile(const QString& name, int* reply);
    void ZipMain_SkippingFile(const QString& name, int reason);

    // Procedures.
    void SetBusy(bool busy);
    void ShowArchiveSummary();
    void ProcessSelectedFiles(int mode);   // 0 delete, 1 extract
    void FixArchive(bool aggressive);
    bool HasSelection() const;
    void SetProgress(int percent);
    void ListArchive(const QString& word);

    bool isBusy() const { return m_busy != 0; }
    QString statusText() const;

    ZipArchiver* ZipMain;
    QTreeWidget* lstMain;
    QStatusBar* stbMain;
    QProgressBar* prbMain;
    QPushButton* cmdAbort;
    ArchiveFileDialog dlgSelectFiles;
    ArchiveFileDialog dlgSelectZip;

    QMenu* mnuFile;
    QAction* mnuFileWizard;
    QAction* mnuFileNew;
    QAction* mnuFileOpen;
    QAction* mnuFileClose;
    QAction* mnuFileTest;
    QMenu* mnuFileFix;
    QAction* mnuFileFixNormal;
    QAction* mnuFileFixAgressive;
    QAction* mnuFileDelete;
    QAction* mnuFileExit;
    QMenu* mnuEdit;
    QAction* mnuEditAdd;
    QAction* mnuEditDelete;
    QAction* mnuEditExtract;
    QAction* mnuEditUpdate;
    QAction* mnuEditUpdateZipDate;
    QAction* mnuEditSelectAll;
    QMenu* mnuOptions;
    QAction* mnuOptionsBest;
    QAction* mnuOptionsNormal;
    QAction* mnuOptionsFastest;
    QAction* mnuOptionsStore;
    QAction* mnuOptionsMultidiskMode;
    QAction* mnuOptionsClearDisks;
    QAction* mnuOptionsUseTempFile;
    QMenu* mnuAutomatic;
    QAction* mnuAutomaticBackup;
    QAction* mnuAutomaticRestore;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    void Form_Load();
    void Form_Resize();
    void setStatus(const QString& text);
    void setCompression(int level);
    QString databaseSnapshot();
    int queueSelectedFiles(const QString& names);
    void relistAfter(int result, const QString& finished);
    void restoreDatabase(const QStringList& entries);
    // The database restored from the archive's entry, checked first; false when the user ended
    // the extraction (Cancel at the replace question).
    bool restoreDatabaseFrom(const QString& entry);

    QLabel* m_status;
    int m_busy = 0;
    bool m_hourglass = false;
    qint64 m_listed = 0;
    qint64 m_totalSize = 0;
    qint64 m_totalPacked = 0;
    qint64 m_expected = 0;
    QSize m_loadedSize;
    QPoint m_progressAt;
    QPoint m_abortAt;
    QSize m_listSize;
    std::unique_ptr<PendingFile> m_snapshot;   // the copy of the database a backup archives
    QString m_driveAArchive;   // the archive on drive A that the running automatic road works on
};
