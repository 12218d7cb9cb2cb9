#pragma once

#include <QString>
#include <stdexcept>

// Error numbers of the database engine that callers test for. The numbers are the ones the
// windows have always checked, so that "table exists" or "file is read-only" can be told
// apart from other failures whatever engine sits underneath.
namespace EngineError {
constexpr int General = 3000;
constexpr int TableExists = 3010;
constexpr int NoCurrentRecord = 3021;
constexpr int DuplicateKey = 3022;
constexpr int FileNotFound = 3024;
constexpr int DiskFull = 3035;
constexpr int FileLocked = 3050;         // read-only file or locked by another program
constexpr int CannotOpen = 3051;
constexpr int TooFewParameters = 3061;   // an unknown field name in a statement
constexpr int SyntaxError = 3075;
constexpr int TableNotFound = 3078;
constexpr int NotUpdatable = 3027;
constexpr int NotInEditMode = 3020;
constexpr int ItemNotFound = 3265;       // no such field in the record
constexpr int NotValidForKind = 3251;    // operation not supported by this kind of recordset
constexpr int TypeConversion = 3421;     // a value that does not fit the field's type
constexpr int NotADatabase = 3343;
}

class DbError : public std::runtime_error
{
public:
    DbError(int number, const QString& text)
        : std::runtime_error(text.toStdString()), number_(number), text_(text) {}

    int number() const { return number_; }
    const QString& text() const { return text_; }

private:
    int number_;
    QString text_;
};
