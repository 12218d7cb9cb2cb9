#pragma once

#include "ReportError.h"
#include "ReportValue.h"
#include "data/Connection.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

// The report formula language: selection formulas handed to a report at run time, and the
// expressions a report definition computes its fields with. One parser serves both; a parsed
// formula is either translated into an SQL condition with every value bound as a parameter
// (selection), or evaluated row by row (fields, totals, conditions). The grammar is in
// src/reports/FORMAT.md, "Formulas".

// {Table.Field}: names as written, brackets removed; matched without regard to case.
struct FieldRef {
    QString table;
    QString field;
    QString text() const { return u'{' + table + u'.' + field + u'}'; }
    bool matches(const FieldRef& o) const
    {
        return table.compare(o.table, Qt::CaseInsensitive) == 0 && field.compare(o.field, Qt::CaseInsensitive) == 0;
    }
};

// A formula that does not parse, or that cannot be applied (a text compared with a number, a
// total in a selection formula). position is the 0-based offset of the offending text.
class FormulaError : public ReportError
{
public:
    FormulaError(const QString& text, int position) : ReportError(text), position_(position) {}
    int position() const { return position_; }

private:
    int position_;
};

enum class FormulaOp {
    None,
    Or, And, Not,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    Like, NotLike, StartsWith, InRange,
    Add, Subtract, Multiply, Divide, Concat, Negate,
};

struct FormulaNode {
    enum class Kind { Literal, Field, Special, Unary, Binary, Call };

    Kind kind = Kind::Literal;
    FormulaOp op = FormulaOp::None;   // Unary and Binary (InRange has three operands)
    ReportValue literal;              // Literal
    FieldRef field;                   // Field
    QString name;                     // Special and Call, in canonical spelling ("Sum", "PageNumber")
    int position = 0;
    mutable int slot = -1;            // Field: where the evaluator finds it (set by the report)
    std::vector<std::unique_ptr<FormulaNode>> args;

    bool isAggregate() const;         // Sum, Count, Avg, Min, Max
};

class Formula
{
public:
    Formula() = default;                                  // the empty formula: every record
    static Formula parse(const QString& text);            // throws FormulaError

    bool isEmpty() const { return !root_; }
    const QString& text() const { return text_; }
    const FormulaNode* root() const { return root_.get(); }
    QList<FieldRef> fields() const;                       // every reference, first appearance order
    void forEachNode(const std::function<void(const FormulaNode&)>& fn) const;

private:
    QString text_;
    std::shared_ptr<const FormulaNode> root_;
};

// "+{Table.Field}" (ascending) or "-{Table.Field}" (descending).
struct SortField {
    FieldRef field;
    bool descending = false;
    static SortField parse(const QString& text);          // throws FormulaError
};

// What the evaluator asks of the report while it evaluates an expression.
class FormulaContext
{
public:
    virtual ~FormulaContext() = default;
    virtual ReportValue field(const FormulaNode& node) const = 0;
    virtual ReportValue special(const FormulaNode& node) const = 0;       // PageNumber, TotalPages ...
    virtual ReportValue aggregate(const FormulaNode& call) const = 0;     // Sum(...) over its scope
    // How dates are written where a formula turns one into text (`&`, ToText).
    virtual DateOrder dateOrder() const { return DateOrder::MonthFirst; }
};

// Throws ReportError (for instance text multiplied by a number).
ReportValue evaluateFormula(const FormulaNode& node, const FormulaContext& context);
// A condition: true only when the value is true; null and false are false.
bool formulaHolds(const FormulaNode& node, const FormulaContext& context);

// What a field reference stands for in SQL: a column expression with its kind, or the constant
// value of a single-row lookup table (bound as a parameter like every other value).
struct SqlField {
    QString sql;              // "[Parts].[In Stock]"; empty for a constant
    FieldType type = FieldType::Text;
    ReportValue constant;
};
using SqlFieldResolver = std::function<SqlField(const FieldRef&)>;   // throws ReportError when unknown

struct SqlCondition {
    QString sql;              // empty for the empty formula
    QVariantList params;      // one per "?" in sql, in order
};

// The selection formula as a WHERE condition. Throws FormulaError for a formula that cannot
// select rows (a total, a page number, text compared with a number ...).
SqlCondition formulaToSql(const Formula& formula, const SqlFieldResolver& resolve);
// "col ASC" / "col COLLATE NOCASE DESC" for a sort field.
QString sortFieldToSql(const SortField& field, const SqlFieldResolver& resolve);

// The pattern a formula's LIKE matches with: the text as given when it holds a * or ? wildcard
// outside a [...] class, otherwise the text anywhere in the value ("A1" as "*A1*").
QString formulaLikePattern(const QString& pattern);
