#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

// A dBASE III table (.DBF), read only. Values come back as the text the file holds: character
// fields without their padding blanks, numbers as written ("5", "12.50"), dates as yyyymmdd,
// memo fields (M) with their text from the .DBT file beside the table. Text is decoded from the
// DOS code page the older programs wrote (437), or from the Windows code page when the table's
// language byte says so.
class DbaseTable {
public:
    DbaseTable() = default;
    ~DbaseTable();
    DbaseTable(const DbaseTable&) = delete;
    DbaseTable& operator=(const DbaseTable&) = delete;

    // False, with the reason in *error, when the file is missing or not a dBASE table.
    bool open(const QString& path, QString* error);
    void close();
    bool isOpen() const { return m_handle != nullptr; }

    int recordCount() const { return m_records; }
    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int field) const { return m_fields.at(field).name; }
    char fieldType(int field) const { return m_fields.at(field).type; }
    int fieldIndex(const QString& name) const;   // without regard to case; -1 when absent

    // Makes a record current (0-based). False when it cannot be read.
    bool read(int record);
    bool isDeleted() const;                      // of the current record
    QString text(int field) const;               // of the current record
    void appendText(int field, QString& out) const;
    // A numeric field of the current record as written in plain digits ("12", "-3.50"); nothing
    // for a blank field or any other text.
    std::optional<double> plainNumber(int field) const;

    // Decoding of one byte string of the table's code page (exposed for tests).
    static QString decodeDos(const char* data, int size);
    static QString decodeWindows(const char* data, int size);

private:
    struct Field {
        QString name;
        char type = 'C';
        int offset = 0;
        int size = 0;
    };

    QString memoText(const QString& blockText) const;
    // The field's bytes in the current record, without padding.
    bool span(int field, const char** begin, int* size) const;

    void* m_handle = nullptr;   // DBFHandle
    QList<Field> m_fields;
    int m_records = 0;
    bool m_windowsCodePage = false;
    const char* m_record = nullptr;
    mutable QFile m_memo;
    int m_memoBlockSize = 512;
    bool m_memoHasHeaders = false;   // dBASE IV memo blocks start with their length
};
