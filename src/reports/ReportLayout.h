#pragma once

// The inside of a report document, shared by the page builder (ReportPageBuilder.cpp: how each
// band is laid out and placed on the pages) and the document (ReportDocument.cpp: what each page
// prints, built when the page is asked for).

#include "ReportDocument.h"
#include "ReportFormat.h"
#include "TextShaping.h"

#include <QHash>
#include <QImage>

#include <list>
#include <optional>
#include <vector>

constexpr double epsilon = 0.01;

// Whether an element prints in the band it is evaluated for (its if=).
inline bool prints(const ReportElement& e, const FormulaContext& ctx)
{
    return e.condition.isEmpty() || formulaHolds(*e.condition.root(), ctx);
}

struct AggregateKey {
    const FormulaNode* node;
    int begin;
    int end;
    bool operator==(const AggregateKey& o) const { return node == o.node && begin == o.begin && end == o.end; }
};

inline size_t qHash(const AggregateKey& k, size_t seed = 0)
{
    return qHashMulti(seed, quintptr(k.node), k.begin, k.end);
}

// Where growing elements need more room than they were given: how much taller each element
// of a band gets, how far each moves down (whatever lies under a growing element moves down
// with its foot), and the height of the band; and the lines of its texts and the bars of its
// charts, each worked out once (a growing one to know its height, any other where a page is
// cut through it or built).
struct BandLayout {
    std::vector<double> extra;
    std::vector<double> shift;
    std::vector<bool> pushes;      // an element with others under it
    std::vector<std::optional<ShapedText>> texts;
    std::vector<std::shared_ptr<ReportChartData>> charts;
    double height = 0;
};

// The rows an element prints in, one under the other, between which a page may be cut: the
// lines of a text, the bars of a chart (band coordinates, points).
struct ElementRows {
    double start = 0;          // where it starts, with what goes over with its first row
    double top = 0;            // the first row's top
    double pitch = 0;          // the height of a row
    qsizetype count = 0;

    double rowTop(qsizetype i) const { return top + double(i) * pitch; }
    // The rows that lie whole between two heights: the first and how many.
    std::pair<qsizetype, qsizetype> within(double from, double to) const;
};

struct Placement {
    const ReportBand* band = nullptr;
    int row = -1;
    int scopeBegin = 0;
    int scopeEnd = 0;
    QPointF origin;
    double width = 0;
    double height = 0;
    // A band taller than a page prints in parts, one a page: this part shows the band from `from`
    // down (band coordinates) for `height`; `full` is the whole band's height.
    double from = 0;
    double full = 0;
    bool alternate = false;
    bool repeated = false;   // a group header printed again on a continued page
    // The parts of a band printed over pages share the layout their cuts were found in.
    std::shared_ptr<BandLayout> layout;
};

struct PagePlan {
    std::vector<Placement> placements;
    int firstRow = -1;
    int lastRow = -1;
};

struct ReportDocument::Impl {
    std::shared_ptr<const ReportDefinition> def;
    std::shared_ptr<const ReportData> data;
    QDateTime printTime;
    std::vector<PagePlan> pages;
    int dataColumns = 0;
    // Per group level (0 = outermost): the first and one past the last row of the group that
    // holds each row.
    std::vector<std::vector<int>> groupBegin;
    std::vector<std::vector<int>> groupEnd;

    mutable QHash<AggregateKey, ReportValue> aggregates;
    mutable std::list<ReportPage> pageCache;
    mutable QHash<QString, QImage> fileImages;
    mutable QHash<const ReportElement*, double> sharedScales;

    class Context;
    class PageBuilder;   // ReportPageBuilder.cpp

    ReportValue aggregate(const FormulaNode& call, int begin, int end) const;
    void findGroups();
    void paginate();
    void paginateLabels();
    double neededHeight(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const;
    BandLayout layoutBand(const ReportBand& band, const Context& ctx) const;
    double bandHeight(const ReportBand& band, const Context& ctx) const { return layoutBand(band, ctx).height; }
    // The lines of a band's k-th element (a text or field), broken the first time they are asked for.
    const ShapedText& shaped(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const;
    // The bars of a band's k-th element (a chart), over the rows of the band's scope, added up
    // the first time they are asked for.
    const std::shared_ptr<ReportChartData>& bars(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const;
    // The rows of a band's k-th element lying at `rect` in the band: a text's lines, a chart's
    // bars (a chart keeps its title and its heading, what lies just above it, with its first
    // bar); nothing for an element printed in one piece.
    std::optional<ElementRows> elementRows(const ReportBand& band, size_t k, BandLayout& layout, const Context& ctx,
                                           const QRectF& rect) const;
    // Where an element lies in its band once the growing elements have taken their room: moved
    // down by what grew above it, and a growing one as tall as its text, or down to the band's
    // foot when nothing lies under it.
    static QRectF elementRect(const ReportElement& e, size_t k, const BandLayout& layout, double bandHeight);
    // What a text or field prints: its text, or its formula's value in its format.
    QString elementText(const ReportElement& e, const Context& ctx) const;
    // The lowest place at or above `limit` (band coordinates, below `from`) where a band can go
    // over to the next page: between two rows of an element (the lines of a text, the bars of a
    // chart), never through a row, a picture or a barcode, and never where nothing of the band
    // would print above it. `from` itself when there is none.
    double breakPoint(const ReportBand& band, BandLayout& layout, const Context& ctx, double from, double limit) const;
    // A page of the last few built is used again unless `fresh`; a fresh one replaces it.
    ReportPage buildPage(int index, bool fresh = false) const;
    std::shared_ptr<ReportChartData> chart(const ReportElement& e, int begin, int end) const;
    double sharedScale(const ReportElement& e, const ReportBand& band) const;
    QImage fileImage(const QString& name) const;
    QString format(const ReportValue& v, const QString& how) const { return formatReportValue(v, how, def->dateOrder); }
};

// What a formula sees while it is evaluated for one band on one page.
class ReportDocument::Impl::Context : public FormulaContext
{
public:
    Context(const Impl& d, int row, int begin, int end, int page, bool inAggregate = false, bool repeated = false)
        : d_(d), row_(row), begin_(begin), end_(end), page_(page), inAggregate_(inAggregate), repeated_(repeated) {}

    ReportValue field(const FormulaNode& n) const override
    {
        if (n.slot < 0)
            throw ReportError(QStringLiteral("the field %1 was not read").arg(n.field.text()));
        if (n.slot < d_.dataColumns)
            return row_ >= 0 && row_ < d_.data->rowCount() ? d_.data->cell(row_, n.slot) : ReportValue();
        const int k = n.slot - d_.dataColumns;
        return k < d_.data->lookupCount() ? d_.data->lookup(k) : ReportValue();
    }

    ReportValue special(const FormulaNode& n) const override
    {
        if (n.name == QLatin1String("PageNumber"))
            return ReportValue(qint64(page_ + 1));
        if (n.name == QLatin1String("TotalPages"))
            return ReportValue(qint64(d_.pages.size()));
        if (n.name == QLatin1String("PrintDate"))
            return ReportValue(d_.printTime.date());
        if (n.name == QLatin1String("PrintTime"))
            return ReportValue(d_.printTime);
        if (n.name == QLatin1String("RecordNumber"))
            return row_ >= 0 ? ReportValue(qint64(row_ + 1)) : ReportValue();
        if (n.name == QLatin1String("Continued"))
            return ReportValue(repeated_);
        if (n.name == QLatin1String("ReportTitle"))
            return ReportValue(d_.def->title);
        return {};
    }

    ReportValue aggregate(const FormulaNode& call) const override
    {
        if (inAggregate_)
            throw ReportError(QStringLiteral("a total cannot be taken of a total"));
        return d_.aggregate(call, begin_, end_);
    }

    DateOrder dateOrder() const override { return d_.def->dateOrder; }

    int scopeBegin() const { return begin_; }
    int scopeEnd() const { return end_; }

private:
    const Impl& d_;
    int row_;
    int begin_;
    int end_;
    int page_;
    bool inAggregate_;
    bool repeated_;
};

