#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PendingFile;
struct zip;

// The zip archiver of the backup window: one archive at a time, named by archiveName(), worked on
// by methods that return a result code (0 success; the others are listed in ZipResult) and report
// what they do through signals raised while they run, on the caller's thread.
//
// Writing is safe: an archive is written to a pending file (see FileOps.h) that replaces it only
// when complete, so an aborted or failed operation, or a program ended midway, leaves the previous
// archive as it was and nothing beside it. An extracted file is written the same way and put in
// place only after its data has passed the checksum, so a damaged member never replaces a good file.
//
// Files are stored under their own names, without their folders. An archive spans no disks: with
// multidisk mode on, it is one file on one medium and the setting only changes which commands the
// window offers; disks are never cleared (the medium may hold other files).
class ZipArchiver : public QObject {
    Q_OBJECT
public:
    // Result codes.
    enum Result {
        Success = 0,
        Warnings = 40,            // some files were skipped
        EmptyZipFile = 50,
        FileNotFound = 100,       // the archive is not there
        NotAZipFile = 110,        // damaged or not an archive; for fix, too damaged to mend
        InsufficientMemory = 120,
        InvalidSettings = 130,
        DiskFull = 150,
        Aborted = 190,
        TestFailed = 200,
        NothingToTest = 210,
        TemporaryFile = 280,
        ReadError = 290,
        WriteError = 300,
        CreateError = 310,
        RepeatedNames = 370,
        NothingToDate = 380,
        ReadWriteError = 400,
        MultidiskArchive = 410,
        DestinationFolder = 510,
        OtherError = 999,
    };
    // Why a file was passed over (skippingFile).
    enum SkipReason {
        SkipNotFound = 0,
        SkipUnknownCompression = 1,
        SkipBadCrc = 2,
        SkipUpToDate = 3,
        SkipCannotOpen = 4,
        SkipPassword = 5,
        SkipCorrupted = 6,
        SkipNoOverwrite = 7,
    };
    enum AddMode { AddFiles = 0, UpdateFiles = 2 };

    explicit ZipArchiver(QObject* parent = nullptr);
    ~ZipArchiver() override;

    QString archiveName() const { return m_archiveName; }
    void setArchiveName(const QString& name);
    // Names for add (paths of files), update, delete and extract (names of entries), each
    // followed by a carriage return. Emptied at the end of every method.
    QString filesToProcess() const { return m_filesToProcess; }
    void setFilesToProcess(const QString& files) { m_filesToProcess = files; }
    // The file at path goes into the archive under name, not under its own file name, at the next
    // add (a copy made for the archive under another name).
    void storeAs(const QString& path, const QString& name) { m_storedNames.insert(path, name); }
    int compressionLevel() const { return m_compressionLevel; }   // 9 best, 6 normal, 1 fastest, 0 store
    void setCompressionLevel(int level);
    bool multidiskMode() const { return m_multidisk; }
    void setMultidiskMode(bool on) { m_multidisk = on; }
    bool clearDisks() const { return m_clearDisks; }
    void setClearDisks(bool on) { m_clearDisks = on; }
    bool useTempFile() const { return m_useTempFile; }
    void setUseTempFile(bool on) { m_useTempFile = on; }
    QString extractionFolder() const { return m_extractionFolder; }
    void setExtractionFolder(const QString& folder) { m_extractionFolder = folder; }
    // The folder extract writes into: the extraction folder, else the current folder.
    QString extractionTarget() const;
    // Where extract puts the entry of that name, below the extraction target; nothing for a name
    // that would leave it ("../x", "/etc/x", "C:\x").
    std::optional<QString> destinationOf(const QString& name) const;
    bool abort() const { return m_abort; }
    void setAbort(bool on) { m_abort = on; }

    // The archive about to be written afresh: the next add starts from no entries and replaces
    // the file of that name only once the new archive is complete. Until then the archive lists
    // as empty. Naming another archive ends this.
    void startNewArchive();
    bool isNewArchive() const { return m_fresh; }

    int entryCount();   // 0 when the archive cannot be read

    int add(int mode);
    // An existing file whose name differs from the entry's only in letter case is the entry's
    // file: the replace question is asked about it and it is replaced under its own spelling.
    int extract(int option = 0);
    // Extracts the entry name into a pending file, opened and empty, checked against the length and
    // the checksum the archive records; putting it in place is the caller's. Warnings when the
    // entry is not there or does not read back whole (told by skippingFile).
    int extractInto(const QString& name, PendingFile& out);
    int deleteFiles();
    int list();
    int test();
    // Keeps every whole entry of a damaged archive as it stands and makes its central directory
    // anew (see ZipSalvage.h): normally following the entries one after the other, aggressively
    // also searching past damaged stretches. The mended archive replaces the damaged one, with its
    // permissions, only when it holds at least one entry. Success when nothing had to be dropped,
    // Warnings when damaged entries were, NotAZipFile when nothing could be kept, Aborted (the
    // archive as it was) when abort was set meanwhile.
    int fix(bool aggressive);
    // What the last fix kept and dropped, in entries.
    int fixKept() const { return m_fixKept; }
    int fixDropped() const { return m_fixDropped; }
    int updateZipDate();

    // The system error (errno) behind the last failure to read or write a file, 0 when none.
    int lastSystemError() const { return m_systemError; }

    // True when every entry of the archive at path reads back whole: the length and the checksum
    // its directory records.
    static bool verify(const QString& path, QString* why = nullptr);

    // The result for a failure of libzip (its error code, and the system's error number behind it,
    // 0 when none) while reading an archive or, with creating, writing one. A disk without room,
    // whichever step came upon it, is DiskFull.
    static int resultOf(int zipError, int systemError, bool creating);

Q_SIGNALS:
    void adding(const QString& name, qint64 size);
    void updating(const QString& name, qint64 size);
    void extracting(const QString& name, qint64 size);
    void testing(const QString& name, qint64 size);
    void deleting(const QString& name);
    void fixing(const QString& name);
    void status(int percent);
    // dateTime is "dd/MM/yy hh:mm"; ratio is the percentage saved by compression.
    void listing(const QString& name, qint64 size, qint64 packedSize, const QString& dateTime, int ratio);
    // reply comes in as 0 (keep the file); the handler sets it to 1 to replace the file.
    void replaceFile(const QString& name, int* reply);
    void skippingFile(const QString& name, int reason);

private:
    QStringList takeNames();
    int finish(int result);
    int failedWith(struct zip_error* error, bool creating);
    int addFiles(int mode);
    // The result of a failed write to out, which is discarded.
    int writeFailure(PendingFile& out, int otherwise);
    // An entry read into out: Success, SkipEntry (told by skippingFile) or the result to end with.
    enum { SkipEntry = -1 };
    int writeEntry(struct zip* za, quint64 index, const QString& name, PendingFile& out, const std::function<void(qint64)>& written);
    // A large file compressed on all processors; the source data for libzip (a Precompressed),
    // or nullptr with *result set.
    void* compressFile(const QString& path, qint64 size, int* result);
    friend struct ZipCallbacks;

    QString m_archiveName;
    QString m_filesToProcess;
    QHash<QString, QString> m_storedNames;
    int m_compressionLevel = 6;
    bool m_multidisk = false;
    bool m_clearDisks = false;
    bool m_useTempFile = true;
    QString m_extractionFolder;
    bool m_abort = false;
    bool m_fresh = false;
    int m_systemError = 0;
    int m_fixKept = 0;
    int m_fixDropped = 0;
    int m_lastPercent = -1;
    int m_progressFrom = 0;   // where the writing of the archive starts on the progress scale
};
