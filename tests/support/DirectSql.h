#pragma once

// Straight to a database file with SQLite, beside the program's own connections: how tests set up
// rows and check what really reached the file.

#include <QString>
#include <QStringList>
#include <QVariant>

// Runs one or more statements; false (with the error as a warning) when one fails.
bool directExec(const QString& file, const QString& sql);
// The first column of the first row; an invalid QVariant for NULL or no row.
QVariant directScalar(const QString& file, const QString& sql);
// The first column of every row, as text.
QStringList directColumn(const QString& file, const QString& sql);
// A new database at `file` from the real schema, then the given statements.
QString makeSchemaDatabase(const QString& file, const QStringList& statements = {});
