#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The SQL the windows build is the legacy engine's dialect: bracketed names, "Select * from",
// double-quoted strings, #m/d/y# date literals, "Delete * From", YES/NO/TRUE/FALSE, and in
// table definitions the Counter and Memo types. translateJetSql() turns one statement into
// SQLite's dialect in one place. It works on tokens, so text inside string literals and
// bracketed names is never touched.
//
// LIKE needs no rewriting: every connection installs a like() with the legacy wildcards
// (* any run, ? one character, # one digit, [abc], [a-z], [!abc]), case-insensitive.
QString translateJetSql(const QString& jetSql);   // throws DbError (SyntaxError) on a bad date literal

// User text as a string literal: 'O''BRIEN'. Every statement builder quotes through this.
QString sqlQuote(const QString& text);
// User text inside a LIKE pattern, its wildcard characters made literal: A*1 -> A[*]1.
QString sqlLikeEscape(const QString& text);
// A date literal in the legacy form, #mm/dd/yyyy#.
QString sqlDate(const QDate& date);

// The legacy LIKE match (see above), exposed for the report formula evaluator and tests.
bool jetLike(const QString& text, const QString& pattern);
bool jetLikeUtf8(const char* text, int textLen, const char* pattern, int patternLen);

// The shape of a SELECT over one table, which a dynaset needs in order to write back to the
// rows it shows: the table, the name the statement uses for it (an alias or the table
// itself), and the text after FROM. Nothing for joins, unions, DISTINCT, GROUP BY or anything
// that is not a plain SELECT.
struct SingleTableSelect {
    QString table;        // unbracketed
    QString qualifier;    // as it may be written before ".rowid"
    QString fromClause;   // everything after the FROM keyword
};
std::optional<SingleTableSelect> analyseSelect(const QString& sqliteSql);
