#pragma once

#include "Formula.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A report definition file (.rpt) as read: where the data comes from, how the page is laid
// out, and the bands with their elements. The format is described in src/reports/FORMAT.md.
// All lengths are in points (1/72 inch); element positions are relative to their band (or
// label) top-left corner.

enum class BandKind { ReportHeader, PageHeader, GroupHeader, Detail, GroupFooter, PageFooter, ReportFooter };

struct ReportElement {
    enum class Kind { Text, Field, Line, Box, Image, Barcode, Chart };
    enum class Fit { Contain, Stretch, Cover };
    enum class Aggregate { Sum, Count, Avg, Min, Max };

    Kind kind = Kind::Text;
    int line = 0;                      // in the definition file, for messages
    QRectF rect;
    QString text;                      // Text: what it prints; Chart: its title; Image: a picture file
    Formula value;                     // Field, Image, Barcode: what it shows; Chart: each bar's value
    Formula category;                  // Chart: one bar per distinct value of this
    Formula condition;                 // printed only where this holds (empty: always)

    QFont font;
    QColor color = Qt::black;
    QColor fill;                       // invalid: none
    QColor borderColor = Qt::black;
    double borderWidth = 0;            // text and box frames; 0: none
    double lineWidth = 0.75;           // lines
    double radius = 0;                 // box corners
    double padding = 0;                // inner space of text and fields
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    bool grow = false;                 // a wrapped field that needs more room makes its band taller
    bool shrink = false;               // text too big for its box prints smaller (to a legible size, then wraps);
                                       // with grow, stays on its line to that size and then wraps
    QString format;                    // see FORMAT.md, "Formats"
    bool blankZero = false;            // a zero prints as nothing

    Fit fit = Fit::Contain;            // Image
    bool showText = true;              // Barcode: the human-readable line under the bars
    Aggregate aggregate = Aggregate::Sum;   // Chart
    int maxBars = 0;                   // Chart: only the first bars (the largest, by value); 0: all
    bool sortByValue = false;          // Chart: largest first, rather than by category
    bool sharedScale = false;          // Chart: one scale for the charts of every group of its band

    bool isTextual() const { return kind == Kind::Text || kind == Kind::Field; }
};

struct ReportBand {
    BandKind kind = BandKind::Detail;
    int level = 0;                     // group bands: 1 = outermost group
    int line = 0;
    double height = 0;
    Formula condition;                 // the band prints (and takes room) only where this holds
    bool newPageBefore = false;
    bool newPageAfter = false;
    QColor fill;                       // background of the whole band
    QColor alternateFill;              // detail: background of every second row
    std::vector<ReportElement> elements;

    bool hasGrowingElements() const;
};

struct ReportGroup {
    FieldRef field;
    Formula key;                       // the field reference as a formula, for evaluation
    bool descending = false;
    bool newPage = false;              // every group after the first starts a new page
    bool repeatHeader = false;         // the header prints again at the top of a continued page
    int line = 0;
};

struct ReportJoin {
    QString table;
    FieldRef left;
    FieldRef right;
    bool inner = false;
};

// Label and card sheets: the detail band is one label, placed in a grid of cells.
struct LabelSheet {
    int columns = 1;
    int rows = 1;
    QSizeF size;                       // one label
    QSizeF pitch;                      // from one label's corner to the next one's, across and down
    QPointF origin;                    // top-left corner of the first label, from the sheet's corner
    bool acrossFirst = true;           // fill each row before the next (else each column)
    int perPage() const { return columns * rows; }
};

class ReportDefinition
{
public:
    // Reads a definition file; throws ReportError naming the file and line of the first fault.
    static ReportDefinition load(const QString& path);
    // The same from text; includes are looked up in folder.
    static ReportDefinition parse(const QString& text, const QString& fileName, const QString& folder);

    QString fileName;                  // without folder, for messages
    QString title;
    QString database = QStringLiteral("Inventory.mdb");   // relative to the program's folder
    QString table;
    QList<ReportJoin> joins;
    QStringList lookups;               // single-row tables read once (Information)
    Formula selection;                 // the definition's own, always in force
    QList<SortField> order;            // the definition's own order, after the groups
    QList<ReportGroup> groups;         // outermost first

    QPageSize pageSize = QPageSize(QPageSize::Letter);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins = QMarginsF(36, 36, 36, 36);
    std::optional<LabelSheet> labels;
    QFont font;
    DateOrder dateOrder = DateOrder::MonthFirst;   // longdate, shortdate and dates in words

    std::vector<ReportBand> bands;

    // The least a page leaves to print in, across and down (points): a page size and margins
    // leaving less are refused, so that every page has room for some of a band.
    static constexpr double minContent = 72;

    const ReportBand* band(BandKind kind, int level = 0) const;   // nullptr when absent
    QSizeF pageSizePoints() const;     // oriented
    QRectF contentRect() const;        // the page less its margins

    // Every field the bands, groups and conditions read, lookups excluded, each once, in the
    // order their slots are numbered; lookup fields follow in lookupFields().
    const QList<FieldRef>& dataFields() const { return dataFields_; }
    const QList<FieldRef>& lookupFields() const { return lookupFields_; }
    bool isLookup(const QString& table) const;

private:
    void bindSlots();
    QList<FieldRef> dataFields_;
    QList<FieldRef> lookupFields_;
    friend class DefinitionParser;
};
