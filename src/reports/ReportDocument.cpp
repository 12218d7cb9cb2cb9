#include "ReportDocument.h"

#include "ReportFormat.h"
#include "platform/AppFolder.h"
#include "platform/FileOps.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextLayout>

#include <list>
#include <optional>

namespace {

constexpr double epsilon = 0.01;
constexpr double pdfScale = 10.0;   // 720 dpi
constexpr int pageCacheSize = 8;

struct AggregateKey {
    const FormulaNode* node;
    int begin;
    int end;
    bool operator==(const AggregateKey& o) const { return node == o.node && begin == o.begin && end == o.end; }
};

size_t qHash(const AggregateKey& k, size_t seed = 0)
{
    return qHashMulti(seed, quintptr(k.node), k.begin, k.end);
}

// Text is measured and broken into lines at 720 dpi (the PDF's resolution) and given back in
// points, so that the page model says where every line prints.
QPaintDevice& measuringDevice()
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        img.setDotsPerMeterX(int(720 / 0.0254));
        img.setDotsPerMeterY(int(720 / 0.0254));
        return img;
    }();
    return device;
}

QFontMetricsF measuringMetrics(const QFont& font)
{
    return QFontMetricsF(font, &measuringDevice());
}

// One font as text is measured in it: the metrics, and the advances of the Latin-1 characters,
// so that the common case (a short line of Western text, thousands of them in a long report)
// is measured by adding up advances, the way the painter places its glyphs.
struct FontMeasure {
    QFontMetricsF metrics;
    double lineHeight = 0;     // points
    double ascent = 0;         // points
    double advance[256] = {};  // points; 0 where the font lacks the character
    explicit FontMeasure(const QFont& font) : metrics(measuringMetrics(font))
    {
        lineHeight = metrics.height() / 10.0;
        ascent = metrics.ascent() / 10.0;
        for (int c = 32; c < 256; ++c)
            advance[c] = metrics.inFontUcs4(uint(c)) ? metrics.horizontalAdvance(QChar(c)) / 10.0 : 0.0;
    }
    double width(QStringView text) const
    {
        double w = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 32 || u > 255 || advance[u] == 0.0)
                return metrics.horizontalAdvance(text.toString()) / 10.0;
            w += advance[u];
        }
        return w;
    }
};

// What tells the fonts of a report apart (QFont::key() spells out far more, far slower).
struct FontKey {
    QString family;
    qint64 size;               // 1/1000 point
    int weight;
    bool italic;
    bool underline;
    bool operator==(const FontKey& o) const
    {
        return size == o.size && weight == o.weight && italic == o.italic && underline == o.underline && family == o.family;
    }
};

size_t qHash(const FontKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.family, k.size, k.weight, k.italic, k.underline);
}

const FontMeasure& fontMeasure(const QFont& font)
{
    static QHash<FontKey, std::shared_ptr<const FontMeasure>> cache;
    const FontKey key{font.family(), qint64(std::llround(font.pointSizeF() * 1000)), font.weight(), font.italic(), font.underline()};
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return **it;
    if (cache.size() > 500)
        cache.clear();
    return **cache.insert(key, std::make_shared<const FontMeasure>(font));
}

// The lines a text prints in, at one font, in a width of points: broken at blanks where it
// can and inside a word that is wider than the width (a part number, a description without
// blanks), and at the text's own line ends. Without `wrap`, only at its own line ends.
struct TextLines {
    QStringList lines;
    double lineHeight = 0;     // points
    double ascent = 0;         // points
    double widest = 0;         // points
};

TextLines breakText(const QFont& font, const QString& text, double width, bool wrap)
{
    TextLines out;
    const FontMeasure& m = fontMeasure(font);
    out.lineHeight = m.lineHeight;
    out.ascent = m.ascent;
    const bool oneParagraph = !text.contains(u'\n') && !text.contains(u'\r');
    QString all = text;
    if (!oneParagraph)
        all.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    for (const QString& paragraph : oneParagraph ? QStringList{text} : all.split(u'\n')) {
        const double advance = m.width(paragraph);
        if (!wrap || advance <= width) {   // the common case, without a layout
            out.lines.append(paragraph);
            out.widest = std::max(out.widest, advance);
            continue;
        }
    QTextLayout layout(paragraph, font, &measuringDevice());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width * 10.0);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            while (!piece.isEmpty() && piece.back().isSpace())
                piece.chop(1);
            out.lines.append(piece);
            out.widest = std::max(out.widest, m.width(piece));
        }
        layout.endLayout();
    }
    return out;
}

// The most a text is made smaller to fit its box before it wraps: a legible size.
constexpr double legiblePoints = 6.0;
constexpr double smallestScale = 0.25;

// A text in its box: the lines, the size they print at (a fraction of the element's font) and
// where the first line's top is. A text is never cut. One that does not fit its box (on one
// line, or in its lines where it wraps) prints smaller, down to a legible size; still too big,
// it wraps there, inside a word if need be, and only then gets smaller still. A growing text
// wraps at its size and its band makes room for the lines; one that grows and shrinks keeps to
// its line down to the legible size, and wraps there.
//
// The lines are broken once for a band (a memo may run over many pages) in the element's own
// box: a box moved down or grown by its band keeps its width, and a growing text's lines do not
// depend on its height. Where they start in the box is worked out from the box it ends up in.
struct ShapedText {
    QString text;              // what was broken into the lines
    QStringList lines;
    double lineHeight = 0;     // points, at the printed size
    double ascent = 0;
    double scale = 1;
    // A single line made smaller keeps the baseline a line of the full size would have, so
    // that a row reads along one line whatever in it was made smaller.
    bool keepsBaseline = false;
    double fullLineHeight = 0;
    double fullAscent = 0;
};

ShapedText shapeText(const ReportElement& e, const QString& text)
{
    const QRectF& box = e.rect;
    // A hair spare for the printer's own hinting.
    const double width = std::max(1.0, box.width() - 2 * e.padding) * 0.99;
    const double inner = box.height() - 2 * e.padding;
    const double size = e.font.pointSizeF();
    auto fits = [&](const TextLines& t) {
        // A growing text's band grows: only its width counts.
        return t.widest <= width + 0.01 && (e.grow || t.lines.size() <= 1 || t.lines.size() * t.lineHeight <= inner + 0.01);
    };
    auto at = [&](double scale, bool wrap) {
        if (scale == 1.0)
            return breakText(e.font, text, width, wrap);
        QFont f = e.font;
        f.setPointSizeF(size * scale);
        return breakText(f, text, width, wrap);
    };
    // A growing text wraps at its size, unless it shrinks first; any other wraps as it says.
    const bool wrapAtFirst = e.grow ? !e.shrink : e.wrap;
    ShapedText shaped;
    shaped.text = text;
    TextLines lines = at(1.0, wrapAtFirst);
    const TextLines full = lines;
    if (!e.grow || e.shrink) {
        const double legible = std::min(1.0, legiblePoints / size);
        bool found = false;
        for (double scale = 1.0; !found && scale > legible + 0.001; scale *= 0.95) {
            if (scale < 1.0)
                lines = at(scale, wrapAtFirst);
            shaped.scale = scale;
            found = fits(lines);
        }
        // A large font reaches its legible size below the smallest scale: it still wraps there.
        for (double scale = legible; !found && scale >= std::min(smallestScale, legible); scale *= 0.95) {
            lines = at(scale, true);
            shaped.scale = scale;
            found = fits(lines) || e.grow;
        }
    }
    shaped.lines = lines.lines;
    shaped.lineHeight = lines.lineHeight;
    shaped.ascent = lines.ascent;
    shaped.keepsBaseline = shaped.scale < 1.0 && lines.lines.size() == 1 && full.lines.size() == 1;
    shaped.fullLineHeight = full.lineHeight;
    shaped.fullAscent = full.ascent;
    return shaped;
}

// The top of a text's first line in the box it prints in. One line is placed by its alignment
// even where it is taller than the box; lines that overfill the box start at its top.
double textTop(const ReportElement& e, const ShapedText& t, const QRectF& box)
{
    auto top = [&](qsizetype count, double lineHeight) {
        const double inner = box.height() - 2 * e.padding;
        const double block = count * lineHeight;
        double y = box.top() + e.padding;
        if (count <= 1 || block <= inner) {
            if (e.align & Qt::AlignBottom)
                y += inner - block;
            else if (!(e.align & Qt::AlignTop))
                y += (inner - block) / 2;
        }
        return y;
    };
    if (t.keepsBaseline)
        return top(1, t.fullLineHeight) + t.fullAscent - t.ascent;
    return top(t.lines.size(), t.lineHeight);
}

// Where growing elements need more room than they were given: how much taller each element
// of a band gets, how far each moves down (whatever lies under a growing element moves down
// with its foot), and the height of the band; and the lines of its texts, each broken once (a
// growing one to know its height, any other where a page is cut through it or built).
struct BandLayout {
    std::vector<double> extra;
    std::vector<double> shift;
    std::vector<bool> pushes;      // an element with others under it
    std::vector<std::optional<ShapedText>> texts;
    double height = 0;
};

bool isZeroNumber(const ReportValue& v)
{
    if (v.type() == ReportValue::Type::Money)
        return v.toMoney().isZero();
    return v.isNumeric() && v.toDouble() == 0.0;
}

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

} // namespace

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

    ReportValue aggregate(const FormulaNode& call, int begin, int end) const;
    void findGroups();
    void paginate();
    void paginateBands();
    void paginateLabels();
    double neededHeight(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const;
    BandLayout layoutBand(const ReportBand& band, const Context& ctx) const;
    double bandHeight(const ReportBand& band, const Context& ctx) const { return layoutBand(band, ctx).height; }
    // The lines of a band's k-th element (a text or field), broken the first time they are asked for.
    const ShapedText& shaped(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const;
    // Where an element lies in its band once the growing elements have taken their room: moved
    // down by what grew above it, and a growing one as tall as its text, or down to the band's
    // foot when nothing lies under it.
    static QRectF elementRect(const ReportElement& e, size_t k, const BandLayout& layout, double bandHeight);
    // What a text or field prints: its text, or its formula's value in its format.
    QString elementText(const ReportElement& e, const Context& ctx) const;
    // The lowest place at or above `limit` (band coordinates, below `from`) where a band can go
    // over to the next page: between two lines of a text, never through a line, a picture, a
    // barcode or a chart. `from` itself when there is none.
    double breakPoint(const ReportBand& band, BandLayout& layout, const Context& ctx, double from, double limit) const;
    ReportPage buildPage(int index) const;
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

ReportValue ReportDocument::Impl::aggregate(const FormulaNode& call, int begin, int end) const
{
    const AggregateKey key{&call, begin, end};
    if (const auto it = aggregates.constFind(key); it != aggregates.constEnd())
        return *it;
    const QString& f = call.name;
    ReportValue result;
    if (f == QLatin1String("Count") && call.args.empty()) {
        result = ReportValue(qint64(std::max(0, end - begin)));
    } else {
        ReportValue sum(qint64(0));
        ReportValue best;
        qint64 count = 0;
        for (int r = begin; r < end; ++r) {
            const ReportValue v = evaluateFormula(*call.args[0], Context(*this, r, begin, end, -1, true));
            if (v.isNull())
                continue;
            ++count;
            if (f == QLatin1String("Sum") || f == QLatin1String("Avg")) {
                sum = ReportValue::add(sum, v);
            } else if (f == QLatin1String("Min") || f == QLatin1String("Max")) {
                const auto c = ReportValue::compare(v, best);
                if (best.isNull() || (c && (f == QLatin1String("Min") ? *c < 0 : *c > 0)))
                    best = v;
            }
        }
        if (f == QLatin1String("Sum"))
            result = sum;
        else if (f == QLatin1String("Count"))
            result = ReportValue(count);
        else if (f == QLatin1String("Avg"))
            result = count ? ReportValue::divide(sum, ReportValue(count)) : ReportValue();
        else
            result = best;
    }
    aggregates.insert(key, result);
    return result;
}

void ReportDocument::Impl::findGroups()
{
    const int n = data->rowCount();
    const int levels = int(def->groups.size());
    groupBegin.assign(size_t(levels), std::vector<int>(size_t(n), 0));
    groupEnd.assign(size_t(levels), std::vector<int>(size_t(n), n));
    std::vector<ReportValue> previous(static_cast<size_t>(levels));
    std::vector<int> start(static_cast<size_t>(levels), 0);
    for (int i = 0; i < n; ++i) {
        bool outerChanged = i == 0;
        for (int k = 0; k < levels; ++k) {
            const ReportValue key = evaluateFormula(*def->groups[k].key.root(), Context(*this, i, i, i + 1, -1));
            const bool changed = outerChanged || !ReportValue::sameKey(key, previous[size_t(k)]);
            if (changed) {
                for (int r = start[size_t(k)]; r < i; ++r)
                    groupEnd[size_t(k)][size_t(r)] = i;
                start[size_t(k)] = i;
                outerChanged = true;   // an outer group that changes starts every inner one again
            }
            previous[size_t(k)] = key;
            groupBegin[size_t(k)][size_t(i)] = start[size_t(k)];
        }
    }
    for (int k = 0; k < levels; ++k)
        for (int r = start[size_t(k)]; r < n; ++r)
            groupEnd[size_t(k)][size_t(r)] = n;
}

double ReportDocument::Impl::neededHeight(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const
{
    if (e.kind == ReportElement::Kind::Chart) {
        // A growing chart gives every bar a full line, however many bars its scope has.
        const double line = fontMeasure(e.font).lineHeight;
        const qsizetype bars = chart(e, ctx.scopeBegin(), ctx.scopeEnd())->values.size();
        const double title = e.text.isEmpty() ? 0 : line * ReportChartData::titleLines;
        return title + std::max<qsizetype>(bars, 1) * line * ReportChartData::barLines + 2;
    }
    const ShapedText& t = shaped(e, k, layout, ctx);
    return t.lines.size() * t.lineHeight + 2 * e.padding;
}

const ShapedText& ReportDocument::Impl::shaped(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const
{
    std::optional<ShapedText>& t = layout.texts[k];
    if (!t)
        t = shapeText(e, elementText(e, ctx));
    return *t;
}

QString ReportDocument::Impl::elementText(const ReportElement& e, const Context& ctx) const
{
    if (e.kind == ReportElement::Kind::Text)
        return e.text;
    const ReportValue v = evaluateFormula(*e.value.root(), ctx);
    return e.blankZero && isZeroNumber(v) ? QString() : format(v, e.format);
}

QRectF ReportDocument::Impl::elementRect(const ReportElement& e, size_t k, const BandLayout& layout, double bandHeight)
{
    QRectF rect = e.rect.translated(0, layout.shift[k]);
    if (e.grow) {
        const double own = rect.height() + layout.extra[k];
        rect.setHeight(layout.pushes[k] ? own : std::max(own, bandHeight - rect.top()));
    }
    return rect;
}

double ReportDocument::Impl::breakPoint(const ReportBand& band, BandLayout& layout, const Context& ctx, double from,
                                        double limit) const
{
    double y = limit;
    for (bool moved = true; moved && y > from + epsilon;) {
        moved = false;
        for (size_t k = 0; k < band.elements.size(); ++k) {
            const ReportElement& e = band.elements[k];
            if (e.kind == ReportElement::Kind::Line || e.kind == ReportElement::Kind::Box)
                continue;   // drawn in part on each page
            const QRectF r = elementRect(e, k, layout, layout.height);
            if (r.top() >= y - epsilon || r.bottom() <= y + epsilon)
                continue;
            if (!e.condition.isEmpty() && !formulaHolds(*e.condition.root(), ctx))
                continue;
            double cut = r.top();
            if (e.isTextual()) {
                // Between the lines of a text; a line that would be cut goes over whole.
                const ShapedText& t = shaped(e, k, layout, ctx);
                const double top = textTop(e, t, r);
                const double lines = std::floor((y - top) / t.lineHeight + epsilon);
                if (lines >= t.lines.size())
                    continue;   // under its last line
                cut = top + std::max(0.0, lines) * t.lineHeight;
                if (cut <= from + epsilon)
                    cut = std::min(r.top(), top);
            }
            if (cut < y - epsilon) {
                y = cut;
                moved = true;
            }
        }
    }
    return std::max(y, from);
}

BandLayout ReportDocument::Impl::layoutBand(const ReportBand& band, const Context& ctx) const
{
    const size_t n = band.elements.size();
    BandLayout l;
    l.extra.assign(n, 0.0);
    l.shift.assign(n, 0.0);
    l.pushes.assign(n, false);
    l.texts.resize(n);
    l.height = band.height;
    if (!band.hasGrowingElements())
        return l;
    for (size_t i = 0; i < n; ++i) {
        const ReportElement& e = band.elements[i];
        if (!e.grow || (!e.condition.isEmpty() && !formulaHolds(*e.condition.root(), ctx)))
            continue;
        const double needed = neededHeight(e, i, l, ctx);
        l.height = std::max(l.height, e.rect.top() + needed);
        l.extra[i] = std::max(0.0, needed - e.rect.height());
    }
    // Top to bottom, so that an element pushed down pushes in turn what lies under it.
    std::vector<size_t> byTop(n);
    for (size_t i = 0; i < n; ++i)
        byTop[i] = i;
    std::stable_sort(byTop.begin(), byTop.end(), [&](size_t a, size_t b) {
        return band.elements[a].rect.top() < band.elements[b].rect.top();
    });
    for (size_t j : byTop) {
        const QRectF& r = band.elements[j].rect;
        for (size_t g : byTop) {
            const QRectF& above = band.elements[g].rect;
            if (above.top() >= r.top())
                break;
            const bool under = above.bottom() <= r.top() + epsilon && above.left() < r.right() && r.left() < above.right();
            if (!under)
                continue;
            l.pushes[g] = true;
            l.shift[j] = std::max(l.shift[j], l.shift[g] + l.extra[g]);
        }
        if (l.shift[j] > 0)
            l.height = std::max(l.height, r.bottom() + l.shift[j] + l.extra[j]);
    }
    return l;
}

void ReportDocument::Impl::paginate()
{
    findGroups();
    if (def->labels)
        paginateLabels();
    else
        paginateBands();
    if (pages.empty())
        pages.emplace_back();
}

void ReportDocument::Impl::paginateBands()
{
    const ReportDefinition& r = *def;
    const int n = data->rowCount();
    const int levels = int(r.groups.size());
    const QRectF content = r.contentRect();
    const ReportBand* reportHeader = r.band(BandKind::ReportHeader);
    const ReportBand* pageHeader = r.band(BandKind::PageHeader);
    const ReportBand* pageFooter = r.band(BandKind::PageFooter);
    const ReportBand* reportFooter = r.band(BandKind::ReportFooter);
    const ReportBand* detail = r.band(BandKind::Detail);
    const double bottom = content.bottom() - (pageFooter ? pageFooter->height : 0);

    double y = content.top();
    double bodyTop = y;
    int currentRow = 0;
    bool pendingBreak = false;
    int detailCount = 0;

    auto holds = [&](const ReportBand& b, int row, int begin, int end) {
        return b.condition.isEmpty()
            || formulaHolds(*b.condition.root(), Context(*this, row, begin, end, int(pages.size()) - 1));
    };
    auto add = [&](const ReportBand& b, int row, int begin, int end, double h) {
        Placement p;
        p.band = &b;
        p.row = row;
        p.scopeBegin = begin;
        p.scopeEnd = end;
        p.origin = QPointF(content.left(), y);
        p.width = content.width();
        p.height = h;
        p.full = h;
        pages.back().placements.push_back(p);
        y += h;
        return &pages.back().placements.back();
    };
    auto innermost = [&](int row) -> std::pair<int, int> {
        if (levels == 0 || row < 0)
            return {0, n};
        return {groupBegin[size_t(levels - 1)][size_t(row)], groupEnd[size_t(levels - 1)][size_t(row)]};
    };

    // The head of a page: its page header, then the headers of the groups it goes on with.
    auto headPage = [&]() {
        if (pageHeader && holds(*pageHeader, -1, 0, 0))
            add(*pageHeader, -1, 0, 0, pageHeader->height);
        // A group continued from the page before shows its header again where asked.
        if (currentRow < n) {
            for (int k = 0; k < levels; ++k) {
                const int begin = groupBegin[size_t(k)][size_t(currentRow)];
                const ReportBand* gh = r.band(BandKind::GroupHeader, k + 1);
                if (gh && r.groups[k].repeatHeader && begin < currentRow && holds(*gh, begin, begin, groupEnd[size_t(k)][size_t(currentRow)])) {
                    const int end = groupEnd[size_t(k)][size_t(currentRow)];
                    const Context ctx(*this, begin, begin, end, int(pages.size()) - 1, false, true);
                    add(*gh, begin, begin, end, bandHeight(*gh, ctx))->repeated = true;
                }
            }
        }
        bodyTop = y;
    };
    auto startPage = [&]() {
        pages.emplace_back();
        y = content.top();
        headPage();
    };
    auto closePage = [&]() {
        PagePlan& page = pages.back();
        for (const Placement& p : page.placements) {
            if (p.band->kind == BandKind::Detail) {
                page.firstRow = page.firstRow < 0 ? p.row : std::min(page.firstRow, p.row);
                page.lastRow = std::max(page.lastRow, p.row);
            }
        }
        const int begin = page.firstRow < 0 ? 0 : page.firstRow;
        const int end = page.firstRow < 0 ? 0 : page.lastRow + 1;
        for (Placement& p : page.placements) {
            if (p.band == pageHeader) {
                p.row = page.firstRow;
                p.scopeBegin = begin;
                p.scopeEnd = end;
            }
        }
        if (pageFooter) {
            const int row = page.lastRow >= 0 ? page.lastRow : std::min(currentRow, n - 1);
            if (holds(*pageFooter, row, begin, end)) {
                y = content.bottom() - pageFooter->height;
                add(*pageFooter, row, begin, end, pageFooter->height);
            }
        }
    };
    auto newPage = [&]() {
        closePage();
        startPage();
    };
    // The room of a page without repeated headers: a band taller than that prints in parts.
    const double pageRoom = bottom - content.top() - (pageHeader ? pageHeader->height : 0);
    // A new page, to which the bands that must not end a page go over: the group headers that
    // close it, and before a group footer the detail it follows (with the footers of inner groups
    // and the headers that head it), so that a footer never starts a page alone. Where the page
    // holds nothing else, the last part of a detail printed over pages gives up its last lines.
    auto breakCarrying = [&](bool beforeFooter) {
        std::vector<Placement>& placed = pages.back().placements;
        size_t keep = placed.size();
        auto kindAt = [&](size_t i) { return placed[i - 1].band->kind; };
        if (beforeFooter) {
            while (keep > 0 && kindAt(keep) == BandKind::GroupFooter)
                --keep;
            if (keep > 0 && kindAt(keep) == BandKind::Detail)
                --keep;
            else
                keep = placed.size();
        }
        while (keep > 0 && kindAt(keep) == BandKind::GroupHeader && !placed[keep - 1].repeated)
            --keep;
        double carried = 0;
        for (size_t i = keep; i < placed.size(); ++i)
            carried += placed[i].height;
        std::vector<Placement> moved;
        if (y - carried > bodyTop + epsilon) {
            moved.assign(placed.begin() + qsizetype(keep), placed.end());
            placed.erase(placed.begin() + qsizetype(keep), placed.end());
            y -= carried;
        } else if (beforeFooter && keep < placed.size() && placed[keep].band->kind == BandKind::Detail) {
            Placement& part = placed[keep];
            const Context ctx(*this, part.row, part.scopeBegin, part.scopeEnd, int(pages.size()) - 1);
            const double end = part.from + part.height;
            if (!part.layout)
                part.layout = std::make_shared<BandLayout>(layoutBand(*part.band, ctx));
            // Above the foot of its last line (a point is less than any line).
            const double cut = breakPoint(*part.band, *part.layout, ctx, part.from, end - 1.0);
            if (cut > part.from + epsilon) {
                Placement tail = part;
                tail.from = cut;
                tail.height = end - cut;
                part.height = cut - part.from;
                moved.push_back(tail);
                moved.insert(moved.end(), placed.begin() + qsizetype(keep) + 1, placed.end());
                placed.erase(placed.begin() + qsizetype(keep) + 1, placed.end());
                y = part.origin.y() + part.height;
            }
        }
        newPage();
        for (Placement& p : moved) {
            p.origin.setY(y);
            y += p.height;
            pages.back().placements.push_back(p);
        }
    };
    // Where not a line of a band fits a page, it is cut through, by at least a tenth of a page
    // (of the least a page may leave to print in, so that the cut always moves on).
    const double leastCut = std::max(content.height(), ReportDefinition::minContent) / 10;
    // Places a band from its top here, and where it is taller than the room left, part by part
    // on the next pages, cut between lines of its text. `keep` is room left free under its part
    // on the page it starts on; `turn` starts the page each next part goes on.
    auto placeParts = [&](const ReportBand& b, int row, int begin, int end, const Context& ctx,
                          const std::shared_ptr<BandLayout>& layout, bool alternate, double keep, auto&& turn) {
        const double h = layout->height;
        for (double from = 0;;) {
            const double foot = bottom - keep;
            double cut = h;
            if (y + (h - from) > foot + epsilon) {
                cut = breakPoint(b, *layout, ctx, from, from + (foot - y));
                if (cut <= from + epsilon) {
                    if (y > bodyTop + epsilon) {
                        if (from > 0)
                            newPage();
                        else
                            breakCarrying(false);
                        keep = 0;
                        continue;
                    }
                    cut = from + std::max(foot - y, leastCut);
                }
            }
            Placement* p = add(b, row, begin, end, cut - from);
            p->from = from;
            p->full = h;
            p->alternate = alternate;
            if (from > 0 || cut < h - epsilon)
                p->layout = layout;
            from = cut;
            if (from >= h - epsilon)
                break;
            turn();
            keep = 0;
        }
    };
    // Places a band: on this page when it fits, else on the next (with what must go with it);
    // a band taller than a page starts here and goes on over the pages it needs.
    auto place = [&](const ReportBand& b, int row, int begin, int end, bool alternate = false) {
        if (!holds(b, row, begin, end))
            return false;
        if ((b.newPageBefore || pendingBreak) && y > bodyTop + epsilon)
            newPage();
        pendingBreak = false;
        const Context ctx(*this, row, begin, end, int(pages.size()) - 1);
        const auto layout = std::make_shared<BandLayout>(layoutBand(b, ctx));
        const double h = layout->height;
        if (y + h > bottom + epsilon && y > bodyTop + epsilon && h <= pageRoom + epsilon)
            breakCarrying(b.kind == BandKind::GroupFooter);
        placeParts(b, row, begin, end, ctx, layout, alternate, 0.0, newPage);
        if (b.newPageAfter)
            pendingBreak = true;
        return true;
    };

    // The report header heads the first page, above its page header; one taller than the room
    // that leaves goes on over the next pages, under theirs.
    pages.emplace_back();
    const int firstRow = n ? 0 : -1;
    if (reportHeader && holds(*reportHeader, firstRow, 0, n)) {
        const Context ctx(*this, firstRow, 0, n, 0);
        const double pageHeaderRoom = pageHeader && holds(*pageHeader, -1, 0, 0) ? pageHeader->height : 0;
        placeParts(*reportHeader, firstRow, 0, n, ctx, std::make_shared<BandLayout>(layoutBand(*reportHeader, ctx)), false,
                   pageHeaderRoom, [&] {
                       headPage();
                       newPage();
                   });
    }
    if (pages.size() == 1)
        headPage();
    for (int i = 0; i < n; ++i) {
        currentRow = i;
        for (int k = 0; k < levels; ++k) {
            if (groupBegin[size_t(k)][size_t(i)] != i)
                continue;
            if (r.groups[k].newPage && i > 0 && y > bodyTop + epsilon)
                newPage();
            if (const ReportBand* gh = r.band(BandKind::GroupHeader, k + 1))
                place(*gh, i, i, groupEnd[size_t(k)][size_t(i)]);
        }
        if (detail) {
            const auto [begin, end] = innermost(i);
            if (place(*detail, i, begin, end, detailCount % 2 == 1))
                ++detailCount;
        }
        for (int k = levels - 1; k >= 0; --k) {
            if (groupEnd[size_t(k)][size_t(i)] != i + 1)
                continue;
            if (const ReportBand* gf = r.band(BandKind::GroupFooter, k + 1))
                place(*gf, i, groupBegin[size_t(k)][size_t(i)], i + 1);
        }
    }
    currentRow = n;
    if (reportFooter)
        place(*reportFooter, n ? n - 1 : -1, 0, n);
    closePage();
}

void ReportDocument::Impl::paginateLabels()
{
    const ReportDefinition& r = *def;
    const LabelSheet& sheet = *r.labels;
    const QRectF content = r.contentRect();
    const ReportBand* detail = r.band(BandKind::Detail);
    const ReportBand* pageHeader = r.band(BandKind::PageHeader);
    const ReportBand* pageFooter = r.band(BandKind::PageFooter);
    const int n = data->rowCount();
    int slot = 0;

    auto bandAt = [&](const ReportBand& b, double y, int begin, int end) {
        Placement p;
        p.band = &b;
        p.row = end > begin ? begin : -1;
        p.scopeBegin = begin;
        p.scopeEnd = end;
        p.origin = QPointF(content.left(), y);
        p.width = content.width();
        p.height = b.height;
        p.full = p.height;
        pages.back().placements.push_back(p);
    };
    auto closePage = [&]() {
        if (pages.empty())
            return;
        PagePlan& page = pages.back();
        const int begin = std::max(0, page.firstRow);
        const int end = page.firstRow < 0 ? 0 : page.lastRow + 1;
        if (pageHeader)
            bandAt(*pageHeader, content.top(), begin, end);
        if (pageFooter)
            bandAt(*pageFooter, content.bottom() - pageFooter->height, begin, end);
    };

    for (int i = 0; i < n && detail; ++i) {
        if (!detail->condition.isEmpty()
            && !formulaHolds(*detail->condition.root(), Context(*this, i, i, i + 1, int(pages.size()) - 1)))
            continue;
        if (slot % sheet.perPage() == 0) {
            closePage();
            pages.emplace_back();
        }
        const int cell = slot % sheet.perPage();
        const int col = sheet.acrossFirst ? cell % sheet.columns : cell / sheet.rows;
        const int line = sheet.acrossFirst ? cell / sheet.columns : cell % sheet.rows;
        Placement p;
        p.band = detail;
        p.row = i;
        p.scopeBegin = i;
        p.scopeEnd = i + 1;
        p.origin = sheet.origin + QPointF(col * sheet.pitch.width(), line * sheet.pitch.height());
        p.width = sheet.size.width();
        p.height = sheet.size.height();
        p.full = p.height;
        PagePlan& page = pages.back();
        page.placements.push_back(p);
        if (page.firstRow < 0)
            page.firstRow = i;
        page.lastRow = i;
        ++slot;
    }
    if (pages.empty())
        pages.emplace_back();
    closePage();
}

QImage ReportDocument::Impl::fileImage(const QString& name) const
{
    const auto it = fileImages.constFind(name);
    if (it != fileImages.constEnd())
        return *it;
    QImage img(resolveNoCase(AppFolder::join(name)));
    fileImages.insert(name, img);
    return img;
}

std::shared_ptr<ReportChartData> ReportDocument::Impl::chart(const ReportElement& e, int begin, int end) const
{
    struct Bar {
        ReportValue key;
        QString label;
        ReportValue sum = ReportValue(qint64(0));
        ReportValue best;
        qint64 count = 0;
    };
    QList<Bar> bars;
    QHash<QString, int> index;
    for (int r = begin; r < end; ++r) {
        const Context ctx(*this, r, begin, end, -1, true);
        const ReportValue key = evaluateFormula(*e.category.root(), ctx);
        const ReportValue v = e.value.isEmpty() ? ReportValue(qint64(1)) : evaluateFormula(*e.value.root(), ctx);
        const QString label = format(key, QString());
        const QString id = label.toLower();
        int at = index.value(id, -1);
        if (at < 0) {
            at = int(bars.size());
            index.insert(id, at);
            Bar bar;
            bar.key = key;
            bar.label = label;
            bars.append(bar);
        }
        Bar& b = bars[at];
        if (v.isNull())
            continue;
        ++b.count;
        b.sum = ReportValue::add(b.sum, v);
        const auto c = ReportValue::compare(v, b.best);
        if (b.best.isNull() || (c && (e.aggregate == ReportElement::Aggregate::Min ? *c < 0 : *c > 0)))
            b.best = v;
    }
    auto valueOf = [&](const Bar& b) {
        switch (e.aggregate) {
        case ReportElement::Aggregate::Sum: return b.sum;
        case ReportElement::Aggregate::Count: return ReportValue(b.count);
        case ReportElement::Aggregate::Avg: return b.count ? ReportValue::divide(b.sum, ReportValue(b.count)) : ReportValue();
        default: return b.best;
        }
    };
    std::stable_sort(bars.begin(), bars.end(), [&](const Bar& a, const Bar& b) {
        if (e.sortByValue)
            return valueOf(a).toDouble() > valueOf(b).toDouble();
        const auto c = ReportValue::compare(a.key, b.key);
        return c ? *c < 0 : (a.key.isNull() && !b.key.isNull());
    });
    if (e.maxBars > 0 && bars.size() > e.maxBars)
        bars = bars.mid(0, e.maxBars);
    auto out = std::make_shared<ReportChartData>();
    for (const Bar& b : bars) {
        const ReportValue v = valueOf(b);
        out->labels.append(b.label);
        out->values.append(v.toDouble());
        out->valueTexts.append(format(v, e.format));
    }
    return out;
}

// The largest bar of any of the charts the element draws in its band, one per group: bars of
// different groups then compare by their length.
double ReportDocument::Impl::sharedScale(const ReportElement& e, const ReportBand& band) const
{
    if (const auto it = sharedScales.constFind(&e); it != sharedScales.constEnd())
        return *it;
    const int n = data->rowCount();
    const int levels = int(def->groups.size());
    int level = -1;   // group level whose groups each draw a chart; -1: one chart of every row
    if (band.kind == BandKind::GroupHeader || band.kind == BandKind::GroupFooter)
        level = band.level - 1;
    else if (band.kind == BandKind::Detail)
        level = levels - 1;
    double max = 0;
    for (int begin = 0; begin < n;) {
        const int end = level >= 0 && level < levels ? groupEnd[size_t(level)][size_t(begin)] : n;
        const std::shared_ptr<const ReportChartData> bars = chart(e, begin, end);
        for (double v : bars->values)
            max = std::max(max, v);
        begin = std::max(end, begin + 1);
    }
    sharedScales.insert(&e, max);
    return max;
}

ReportPage ReportDocument::Impl::buildPage(int index) const
{
    for (auto it = pageCache.begin(); it != pageCache.end(); ++it) {
        if (it->number == index + 1) {
            pageCache.splice(pageCache.begin(), pageCache, it);
            return pageCache.front();
        }
    }
    ReportPage page;
    page.number = index + 1;
    page.size = def->pageSizePoints();
    const PagePlan& plan = pages[size_t(index)];
    for (const Placement& p : plan.placements) {
        const ReportBand& band = *p.band;
        const Context ctx(*this, p.row, p.scopeBegin, p.scopeEnd, index, false, p.repeated);
        const QColor shade = p.alternate && band.alternateFill.isValid() ? band.alternateFill : band.fill;
        auto item = [&](ReportItem::Kind kind, const QRectF& rect) {
            ReportItem it;
            it.kind = kind;
            it.rect = rect;
            it.band = band.kind;
            it.level = band.level;
            it.row = p.row;
            return it;
        };
        if (shade.isValid()) {
            ReportItem it = item(ReportItem::Kind::Box, QRectF(p.origin, QSizeF(p.width, p.height)));
            it.fill = shade;
            page.items.append(it);
        }
        // A band printed in parts is laid out once for all of them, as its cuts were found.
        BandLayout fresh;
        BandLayout& layout = p.layout ? *p.layout : (fresh = layoutBand(band, ctx));
        // The part of the band this page shows, in band coordinates (all of it, but for a band
        // taller than a page). A band of a set height (a page header or footer, a label) whose
        // texts grow past it shows what its place holds: measured against the laid-out band, it
        // is not whole, and only what lies in its place prints.
        const double top = p.from;
        const double bottom = p.from + p.height;
        const bool whole = top <= epsilon && bottom >= layout.height - epsilon;
        const QPointF offset = p.origin - QPointF(0, top);
        const QRectF window(0, top, p.width, std::max(0.0, p.height));
        for (size_t k = 0; k < band.elements.size(); ++k) {
            const ReportElement& e = band.elements[k];
            const QRectF inBand = elementRect(e, k, layout, p.full);
            if (!whole) {
                const bool starts = inBand.top() >= top - epsilon && inBand.top() < bottom - epsilon;
                const bool crosses = inBand.bottom() > top + epsilon && inBand.top() < bottom - epsilon;
                const bool drawnInParts = e.isTextual() || e.kind == ReportElement::Kind::Box || e.kind == ReportElement::Kind::Line;
                if (!(drawnInParts ? crosses || starts : starts))
                    continue;
            }
            if (!e.condition.isEmpty() && !formulaHolds(*e.condition.root(), ctx))
                continue;
            QRectF rect = inBand;
            if (!whole && rect.height() >= 0) {   // what shows of it on this page
                rect.setTop(std::max(rect.top(), window.top()));
                rect.setBottom(std::min(rect.bottom(), window.bottom()));
            }
            rect.translate(offset);
            ReportItem it;
            switch (e.kind) {
            case ReportElement::Kind::Text:
            case ReportElement::Kind::Field: {
                it = item(ReportItem::Kind::Text, rect);
                it.text = elementText(e, ctx);
                // A text that reads otherwise on this page (its page number) is broken again.
                std::optional<ShapedText>& shapedText = layout.texts[k];
                if (!shapedText || shapedText->text != it.text)
                    shapedText = shapeText(e, it.text);
                const ShapedText& placed = *shapedText;
                const double linesTop = textTop(e, placed, inBand);
                it.fontScale = placed.scale;
                it.lineHeight = placed.lineHeight;
                // The lines within this page's part of the band.
                qsizetype first = 0;
                qsizetype count = placed.lines.size();
                if (!whole) {
                    first = count;
                    count = 0;
                    for (qsizetype i = 0; i < placed.lines.size(); ++i) {
                        const double lineTop = linesTop + i * placed.lineHeight;
                        if (lineTop >= top - epsilon && lineTop + placed.lineHeight <= bottom + epsilon) {
                            first = std::min(first, i);
                            ++count;
                        }
                    }
                    if (count < placed.lines.size())
                        it.text = placed.lines.mid(first, count).join(u'\n');
                }
                it.lines = placed.lines.mid(first, count);
                it.linesTop = linesTop + first * placed.lineHeight + offset.y();
                if (it.lines.isEmpty() && !e.fill.isValid() && e.borderWidth <= 0)
                    continue;
                break;
            }
            case ReportElement::Kind::Line:
                it = item(ReportItem::Kind::Line, rect);
                break;
            case ReportElement::Kind::Box:
                it = item(ReportItem::Kind::Box, rect);
                break;
            case ReportElement::Kind::Image:
                it = item(ReportItem::Kind::Image, rect);
                if (!e.value.isEmpty())
                    it.image = QImage::fromData(evaluateFormula(*e.value.root(), ctx).bytes());
                else
                    it.image = fileImage(e.text);
                if (it.image.isNull())
                    continue;
                break;
            case ReportElement::Kind::Barcode:
                it = item(ReportItem::Kind::Barcode, rect);
                it.text = format(evaluateFormula(*e.value.root(), ctx), e.format).trimmed().toUpper();
                if (it.text.isEmpty())
                    continue;
                break;
            case ReportElement::Kind::Chart: {
                it = item(ReportItem::Kind::Chart, rect);
                std::shared_ptr<ReportChartData> bars = chart(e, p.scopeBegin, p.scopeEnd);
                if (e.sharedScale) {
                    bars->scaleMax = sharedScale(e, band);
                    bars->scaleText = format(ReportValue(bars->scaleMax), e.format);
                }
                it.chart = std::move(bars);
                it.text = e.text;
                break;
            }
            }
            it.element = &e;
            page.items.append(it);
        }
    }
    pageCache.push_front(page);
    if (pageCache.size() > pageCacheSize)
        pageCache.pop_back();
    return page;
}

// ---------------------------------------------------------------------------------------------

QStringList ReportPage::texts() const
{
    QStringList out;
    for (const ReportItem& it : items)
        if (it.kind == ReportItem::Kind::Text)
            out.append(it.text);
    return out;
}

QList<ReportItem> ReportPage::textItems(BandKind band, int level) const
{
    QList<ReportItem> out;
    for (const ReportItem& it : items)
        if (it.kind == ReportItem::Kind::Text && it.band == band && it.level == level)
            out.append(it);
    return out;
}

QList<ReportItem> ReportPage::itemsOf(ReportItem::Kind kind) const
{
    QList<ReportItem> out;
    for (const ReportItem& it : items)
        if (it.kind == kind)
            out.append(it);
    return out;
}

bool ReportPage::hasText(const QString& text) const
{
    for (const ReportItem& it : items)
        if (it.kind == ReportItem::Kind::Text && it.text == text)
            return true;
    return false;
}

ReportDocument::ReportDocument(std::shared_ptr<const ReportDefinition> def, std::shared_ptr<const ReportData> data,
                               QDateTime printTime)
    : d(std::make_unique<Impl>())
{
    d->def = std::move(def);
    d->data = std::move(data);
    d->printTime = printTime;
    d->dataColumns = int(d->def->dataFields().size());
    d->paginate();
}

ReportDocument::~ReportDocument() = default;

QString ReportDocument::title() const { return d->def->title; }
QString ReportDocument::fileName() const { return d->def->fileName; }
int ReportDocument::pageCount() const { return int(d->pages.size()); }
int ReportDocument::rowCount() const { return d->data->rowCount(); }
QSizeF ReportDocument::pageSize() const { return d->def->pageSizePoints(); }
const ReportDefinition& ReportDocument::definition() const { return *d->def; }
const ReportData& ReportDocument::data() const { return *d->data; }

QPageLayout ReportDocument::pageLayout() const
{
    return QPageLayout(d->def->pageSize, d->def->orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

ReportPage ReportDocument::page(int index) const
{
    if (index < 0 || index >= pageCount())
        throw ReportError(QStringLiteral("there is no page %1").arg(index + 1));
    return d->buildPage(index);
}

void ReportDocument::render(QPainter& painter, int index, double scale) const
{
    paintReportPage(painter, page(index), scale);
}

QImage ReportDocument::renderImage(int index, double dpi) const
{
    const QSizeF size = pageSize() * (dpi / 72.0);
    QImage img(size.toSize(), QImage::Format_RGB32);
    img.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    img.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    render(p, index, dpi / 72.0);
    return img;
}

void ReportDocument::exportPdf(const QString& path, const ReportProgress& progress) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("%1 cannot be written: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(int(72 * pdfScale));
        writer.setPageLayout(pageLayout());
        writer.setTitle(title());
        writer.setCreator(QStringLiteral("Pinsetter Parts Inventory"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw ReportError(QStringLiteral("%1 cannot be written").arg(QFileInfo(path).fileName()));
        }
        const int total = pageCount();
        for (int i = 0; i < total; ++i) {
            if (i > 0)
                writer.newPage();
            try {
                render(painter, i, pdfScale);
            } catch (...) {
                painter.end();
                file.cancelWriting();
                throw;
            }
            if (progress && !progress(i + 1, total)) {
                painter.end();
                file.cancelWriting();
                throw ReportError(QStringLiteral("the export was stopped"));
            }
        }
        painter.end();
    }
    // The file replaced keeps who may read and write it (an account sharing the folder included).
    takeAttributesOf(int(file.handle()), path);
    if (!file.commit())
        throw ReportError(QStringLiteral("%1 cannot be written: %2").arg(QFileInfo(path).fileName(), file.errorString()));
}

void ReportDocument::print(QPrinter& printer, const ReportProgress& progress) const
{
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout());
    printer.setDocName(title());
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("the printer %1 cannot be used").arg(printer.printerName()));
    const int total = pageCount();
    int first = 0;
    int last = total - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(0, printer.fromPage() - 1);
        last = std::min(total - 1, printer.toPage() > 0 ? printer.toPage() - 1 : last);
    }
    const double scale = printer.resolution() / 72.0;
    for (int i = first; i <= last; ++i) {
        if (i > first)
            printer.newPage();
        try {
            render(painter, i, scale);
        } catch (...) {
            printer.abort();
            painter.end();
            throw;
        }
        if (progress && !progress(i - first + 1, last - first + 1)) {
            printer.abort();
            painter.end();
            throw ReportError(QStringLiteral("the printing was stopped"));
        }
    }
    painter.end();
}
