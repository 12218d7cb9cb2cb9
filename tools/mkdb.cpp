// mkdb: builds one of the database files shipped beside the program.
//
//   mkdb OUT.mdb SCRIPT.sql... [--csv TABLE=FILE.csv ...]
//   mkdb --header OUT.h SCRIPT.sql...
//
// Runs the SQL scripts, in order, into a new SQLite database, then loads each CSV file into its
// table. A CSV file is UTF-8 in the usual quoted form (fields may be quoted; a quoted field may
// hold commas, line breaks and doubled quotes); its first line names the table's columns exactly
// as the table spells them. An empty cell inserts nothing for its column, so the column's default
// applies. Cells are bound as text and the column's declared type does the conversion, so "12"
// in a whole-number column is stored as 12 while "00123" in a text column stays "00123".
//
// The database is built under a temporary name beside OUT and renamed into place only when it is
// complete, so an interrupted or failed build never leaves a partial file under the real name.
// Errors name the file and line and end with a non-zero exit status.
//
// With --header, the scripts run into a database in memory and OUT.h receives the first row of
// each table they create, as C++ constants: for a program that must know the values a shipped
// database starts with even when the file is missing. Every value of those rows must be a whole
// number. The header is written under a temporary name and renamed into place, like a database.

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Failure : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string &where, const std::string &what)
{
    throw Failure(where + ": " + what);
}

[[noreturn]] void usageError(const std::string &what)
{
    throw Failure(what + "\nusage: mkdb OUT.mdb SCRIPT.sql... [--csv TABLE=FILE.csv ...]\n"
                         "       mkdb --header OUT.h SCRIPT.sql...");
}

std::string at(const fs::path &file, long line)
{
    return file.string() + ":" + std::to_string(line);
}

std::string readFile(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        fail(file.string(), "cannot open file");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        fail(file.string(), "cannot read file");
    return std::move(text).str();
}

// Line number (1-based) of byte offset `pos` in `text`.
long lineOf(const std::string &text, size_t pos)
{
    long line = 1;
    for (size_t i = 0; i < pos && i < text.size(); ++i)
        if (text[i] == '\n')
            ++line;
    return line;
}

// Offset of the first word of the statement that begins at `pos`: past the blanks and comments
// that separate it from the one before, so that an error points at the statement itself.
size_t statementStart(const std::string &sql, size_t pos)
{
    const size_t n = sql.size();
    while (pos < n) {
        if (std::isspace(static_cast<unsigned char>(sql[pos]))) {
            ++pos;
        } else if (sql.compare(pos, 2, "--") == 0) {
            pos = sql.find('\n', pos);
            if (pos == std::string::npos)
                return n;
        } else if (sql.compare(pos, 2, "/*") == 0) {
            pos = sql.find("*/", pos + 2);
            if (pos == std::string::npos)
                return n;
            pos += 2;
        } else {
            break;
        }
    }
    return pos;
}

// Returns the offset of the first byte that is not part of well-formed UTF-8, or npos.
size_t invalidUtf8At(const std::string &s)
{
    const auto *p = reinterpret_cast<const unsigned char *>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        size_t len;
        unsigned min;
        unsigned cp;
        if (c < 0x80) { ++i; continue; }
        else if ((c & 0xE0) == 0xC0) { len = 2; min = 0x80; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; min = 0x800; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; min = 0x10000; cp = c & 0x07; }
        else return i;
        if (i + len > n)
            return i;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return i;
        i += len;
    }
    return std::string::npos;
}

std::string quoteIdentifier(const std::string &name)
{
    std::string q = "\"";
    for (char c : name) {
        if (c == '"')
            q += '"';
        q += c;
    }
    return q + "\"";
}

// ---- CSV -------------------------------------------------------------------------------------

struct CsvRecord
{
    long line = 0;                   // line on which the record starts
    std::vector<std::string> cells;
};

// Splits CSV text into records. A line holding nothing at all (typically the end of the file)
// is no record; a line with only commas is a record of empty cells.
std::vector<CsvRecord> parseCsv(const fs::path &file, std::string text)
{
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (size_t bad = invalidUtf8At(text); bad != std::string::npos)
        fail(at(file, lineOf(text, bad)), "text is not valid UTF-8");

    std::vector<CsvRecord> records;
    const size_t n = text.size();
    size_t i = 0;
    long line = 1;
    while (i < n) {
        // An empty line: skip it.
        if (text[i] == '\n' || (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')) {
            i += text[i] == '\r' ? 2 : 1;
            ++line;
            continue;
        }
        CsvRecord record;
        record.line = line;
        for (;;) {
            std::string cell;
            if (i < n && text[i] == '"') {
                const long openedOn = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        fail(at(file, openedOn), "quoted field is never closed");
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < n && text[i] == '"') {
                            cell += '"';
                            ++i;
                        } else {
                            break;
                        }
                    } else {
                        if (c == '\n')
                            ++line;
                        cell += c;
                    }
                }
                if (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                    fail(at(file, line), "unexpected text after the closing quote of a field");
            } else {
                while (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                    if (text[i] == '"')
                        fail(at(file, line), "quote inside an unquoted field (quote the whole field and double the quote)");
                    cell += text[i++];
                }
            }
            record.cells.push_back(std::move(cell));
            if (i < n && text[i] == ',') {
                ++i;
                continue;
            }
            // End of record: LF, CRLF or end of text. A lone CR ends nothing.
            if (i < n && text[i] == '\r') {
                if (i + 1 < n && text[i + 1] == '\n')
                    ++i;
                else
                    fail(at(file, line), "carriage return without a line feed");
            }
            if (i < n) {
                ++i;   // the line feed
                ++line;
            }
            break;
        }
        records.push_back(std::move(record));
    }
    return records;
}

// ---- SQLite ----------------------------------------------------------------------------------

struct StmtCloser
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtCloser>;

class Database
{
public:
    explicit Database(const fs::path &file)
    {
        const int rc = sqlite3_open_v2(file.c_str(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            const std::string msg = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
            close();
            fail(file.string(), "cannot create database: " + msg);
        }
        sqlite3_extended_result_codes(m_db, 1);
    }
    ~Database() { close(); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void close()
    {
        if (m_db) {
            sqlite3_close_v2(m_db);
            m_db = nullptr;
        }
    }
    sqlite3 *handle() const { return m_db; }
    std::string error() const { return sqlite3_errmsg(m_db); }

    void exec(const std::string &sql, const std::string &where)
    {
        char *err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err ? err : error();
            sqlite3_free(err);
            fail(where, msg);
        }
    }

    Stmt prepare(const std::string &sql, const std::string &where)
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
            fail(where, error());
        return Stmt(s);
    }

    // Runs every statement of a script, reporting a failure at the line where it happens.
    void runScript(const fs::path &file)
    {
        const std::string sql = readFile(file);
        const char *const begin = sql.c_str();
        const char *tail = begin;
        while (*tail) {
            sqlite3_stmt *raw = nullptr;
            const char *next = nullptr;
            const int rc = sqlite3_prepare_v2(m_db, tail, -1, &raw, &next);
            Stmt s(raw);
            const size_t start = statementStart(sql, static_cast<size_t>(tail - begin));
            if (rc != SQLITE_OK) {
                size_t pos = start;
#if SQLITE_VERSION_NUMBER >= 3038000
                if (int off = sqlite3_error_offset(m_db); off >= 0)
                    pos = static_cast<size_t>(tail - begin) + static_cast<size_t>(off);
#endif
                fail(at(file, lineOf(sql, pos)), error());
            }
            if (s) {
                int step;
                while ((step = sqlite3_step(s.get())) == SQLITE_ROW) {
                }
                if (step != SQLITE_DONE)
                    fail(at(file, lineOf(sql, start)), error());
            }
            tail = next;
        }
    }

private:
    sqlite3 *m_db = nullptr;
};

std::vector<std::string> columnsOf(Database &db, const std::string &table, const std::string &where)
{
    Stmt s = db.prepare("SELECT name FROM pragma_table_info(?1)", where);
    sqlite3_bind_text(s.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::string> names;
    while (sqlite3_step(s.get()) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(s.get(), 0)));
    return names;
}

void loadCsv(Database &db, const std::string &table, const fs::path &file)
{
    const std::vector<CsvRecord> records = parseCsv(file, readFile(file));
    if (records.empty())
        fail(at(file, 1), "no header line");

    const std::vector<std::string> &header = records.front().cells;
    const std::vector<std::string> columns = columnsOf(db, table, file.string());
    if (columns.empty())
        fail(at(file, 1), "the database has no table \"" + table + "\"");
    for (size_t c = 0; c < header.size(); ++c) {
        const std::string &name = header[c];
        bool known = false;
        for (const std::string &col : columns)
            known = known || col == name;
        if (!known)
            fail(at(file, 1), "table \"" + table + "\" has no column spelled \"" + name + "\"");
        for (size_t d = 0; d < c; ++d)
            if (header[d] == name)
                fail(at(file, 1), "column \"" + name + "\" named twice");
    }

    // One prepared statement per combination of filled cells: rows that leave the same cells
    // empty share it.
    std::map<std::vector<bool>, Stmt> statements;
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord &rec = records[r];
        const std::string where = at(file, rec.line);
        if (rec.cells.size() != header.size())
            fail(where, "record has " + std::to_string(rec.cells.size()) + " fields, the header has "
                            + std::to_string(header.size()));
        std::vector<bool> filled(header.size());
        for (size_t c = 0; c < header.size(); ++c)
            filled[c] = !rec.cells[c].empty();

        Stmt &stmt = statements[filled];
        if (!stmt) {
            std::string names, params;
            for (size_t c = 0; c < header.size(); ++c) {
                if (!filled[c])
                    continue;
                if (!names.empty()) {
                    names += ", ";
                    params += ", ";
                }
                names += quoteIdentifier(header[c]);
                params += "?";
            }
            const std::string sql = names.empty()
                ? "INSERT INTO " + quoteIdentifier(table) + " DEFAULT VALUES"
                : "INSERT INTO " + quoteIdentifier(table) + " (" + names + ") VALUES (" + params + ")";
            stmt = db.prepare(sql, where);
        }
        sqlite3_reset(stmt.get());
        int param = 0;
        for (size_t c = 0; c < header.size(); ++c)
            if (filled[c])
                sqlite3_bind_text(stmt.get(), ++param, rec.cells[c].data(),
                                  static_cast<int>(rec.cells[c].size()), SQLITE_STATIC);
        if (sqlite3_step(stmt.get()) != SQLITE_DONE)
            fail(where, db.error());
        sqlite3_clear_bindings(stmt.get());
    }
}

void removeIfPresent(const fs::path &file)
{
    std::error_code ec;
    fs::remove(file, ec);
}

void removeWithCompanions(const fs::path &file)
{
    removeIfPresent(file);
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        removeIfPresent(fs::path(file.string() + suffix));
}

struct Job
{
    bool header = false;   // OUT is a C++ header of the tables' first rows
    fs::path out;
    std::vector<fs::path> scripts;
    std::vector<std::pair<std::string, fs::path>> csvs;
};

Job parseArguments(int argc, char **argv)
{
    Job job;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--csv") {
            if (i + 1 >= args.size())
                usageError("--csv needs TABLE=FILE.csv");
            const std::string &spec = args[++i];
            const size_t eq = spec.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == spec.size())
                usageError("--csv needs TABLE=FILE.csv, not \"" + spec + "\"");
            job.csvs.emplace_back(spec.substr(0, eq), spec.substr(eq + 1));
        } else if (a == "--header") {
            job.header = true;
        } else if (a.size() > 1 && a[0] == '-') {
            usageError("unknown option \"" + a + "\"");
        } else if (job.out.empty()) {
            job.out = a;
        } else {
            job.scripts.emplace_back(a);
        }
    }
    if (job.out.empty() || job.scripts.empty())
        usageError("an output file and at least one SQL script are needed");
    if (job.header && !job.csvs.empty())
        usageError("--header takes SQL scripts only");
    return job;
}

// The first row of every table, in the order the tables were created.
std::string firstRowsHeader(Database &db, const std::vector<fs::path> &scripts)
{
    std::string sources;
    for (const fs::path &script : scripts)
        sources += (sources.empty() ? "" : ", ") + script.filename().string();
    std::string text = "// Made by mkdb from " + sources + ": the first row of each table. Do not edit.\n"
                       "#pragma once\n\n"
                       "struct FirstRowValue {\n"
                       "    const char *table;\n"
                       "    const char *column;\n"
                       "    long long value;\n"
                       "};\n\n"
                       "inline constexpr FirstRowValue firstRowValues[] = {\n";
    Stmt tables = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                             "ESCAPE '\\' ORDER BY rowid", "--header");
    while (sqlite3_step(tables.get()) == SQLITE_ROW) {
        const std::string table = reinterpret_cast<const char *>(sqlite3_column_text(tables.get(), 0));
        Stmt row = db.prepare("SELECT * FROM " + quoteIdentifier(table) + " ORDER BY rowid LIMIT 1", table);
        if (sqlite3_step(row.get()) != SQLITE_ROW)
            continue;
        for (int c = 0; c < sqlite3_column_count(row.get()); ++c) {
            const std::string column = sqlite3_column_name(row.get(), c);
            if (sqlite3_column_type(row.get(), c) != SQLITE_INTEGER)
                fail(table + "." + column, "--header takes whole numbers only");
            for (const std::string &name : {table, column})
                for (char ch : name)
                    if (ch == '"' || ch == '\\' || static_cast<unsigned char>(ch) < 0x20)
                        fail(table + "." + column, "name cannot be written as a C++ string");
            text += "    {\"" + table + "\", \"" + column + "\", "
                    + std::to_string(sqlite3_column_int64(row.get(), c)) + "LL},\n";
        }
    }
    return text + "};\n";
}

// Writes text to file under a temporary name, then renames it into place.
void writeFileAtomically(const fs::path &file, const std::string &text)
{
    const fs::path out = fs::absolute(file);
    if (out.has_parent_path())
        fs::create_directories(out.parent_path());
    const fs::path temp = out.parent_path() / (out.filename().string() + ".tmp" + std::to_string(::getpid()));
    {
        std::ofstream stream(temp, std::ios::binary | std::ios::trunc);
        stream << text;
        stream.close();
        if (!stream) {
            removeIfPresent(temp);
            fail(temp.string(), "cannot write file");
        }
    }
    fs::rename(temp, out);
}

void buildHeader(const Job &job)
{
    Database db(":memory:");
    for (const fs::path &script : job.scripts)
        db.runScript(script);
    writeFileAtomically(job.out, firstRowsHeader(db, job.scripts));
}

void build(const Job &job)
{
    if (job.header) {
        buildHeader(job);
        return;
    }
    const fs::path out = fs::absolute(job.out);
    if (out.has_parent_path())
        fs::create_directories(out.parent_path());
    const fs::path temp = out.parent_path()
        / (out.filename().string() + ".tmp" + std::to_string(::getpid()));
    removeWithCompanions(temp);

    try {
        {
            Database db(temp);
            for (const fs::path &script : job.scripts)
                db.runScript(script);

            if (!job.csvs.empty()) {
                db.exec("BEGIN", temp.string());
                for (const auto &[table, file] : job.csvs)
                    loadCsv(db, table, file);
                db.exec("COMMIT", temp.string());
            }

            // A single file that any copy of the program can open, even read-only: no
            // write-ahead log beside it.
            db.exec("PRAGMA journal_mode=DELETE", temp.string());
            db.exec("VACUUM", temp.string());
        }
        // A stale journal left beside an earlier file of the same name would be taken for the
        // new file's own and rolled back into it.
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            removeIfPresent(fs::path(out.string() + suffix));
        fs::rename(temp, out);
    } catch (...) {
        removeWithCompanions(temp);
        throw;
    }
}

} // namespace

int main(int argc, char **argv)
{
    try {
        build(parseArguments(argc, argv));
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "mkdb: %s\n", e.what());
    }
    return 1;
}
