// The page builder: how each band of a report is laid out (growing texts and charts taking their
// room) and placed on the pages, and where a band taller than the room left may be cut.

#include "ReportLayout.h"

#include <cmath>

namespace {

// The line of a chart's font: a bar takes ReportChartData::barLines of it, its title titleLines.
double chartLine(const ReportElement& e)
{
    return fontMeasure(e.font).lineHeight;
}

} // namespace

double ReportDocument::Impl::neededHeight(const ReportElement& e, size_t k, BandLayout& layout, const Context& ctx) const
{
    if (e.kind == ReportElement::Kind::Chart) {
        // A growing chart gives every bar a full line, however many bars its scope has.
        const double line = chartLine(e);
        const qsizetype count = bars(e, k, layout, ctx)->values.size();
        const double title = e.text.isEmpty() ? 0 : line * ReportChartData::titleLines;
        return title + std::max<qsizetype>(count, 1) * line * ReportChartData::barLines + 2;
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

const std::shared_ptr<ReportChartData>& ReportDocument::Impl::bars(const ReportElement& e, size_t k, BandLayout& layout,
                                                                    const Context& ctx) const
{
    std::shared_ptr<ReportChartData>& c = layout.charts[k];
    if (!c)
        c = chart(e, ctx.scopeBegin(), ctx.scopeEnd());
    return c;
}

std::pair<qsizetype, qsizetype> ElementRows::within(double from, double to) const
{
    qsizetype first = count;
    qsizetype n = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (rowTop(i) >= from - epsilon && rowTop(i) + pitch <= to + epsilon) {
            first = std::min(first, i);
            ++n;
        }
    }
    return {first, n};
}

std::optional<ElementRows> ReportDocument::Impl::elementRows(const ReportBand& band, size_t k, BandLayout& layout,
                                                             const Context& ctx, const QRectF& rect) const
{
    const ReportElement& e = band.elements[k];
    ElementRows rows;
    if (e.isTextual()) {
        const ShapedText& t = shaped(e, k, layout, ctx);
        rows.top = textTop(e, t, rect);
        rows.pitch = t.lineHeight;
        rows.count = t.lines.size();
        rows.start = std::min(rect.top(), rows.top);
        return rows;
    }
    if (e.kind != ReportElement::Kind::Chart)
        return std::nullopt;
    // The bars under the title, each a full line of the chart's font where it grows, else
    // sharing the box; a chart without bars prints a line saying so.
    const double line = chartLine(e);
    const qsizetype count = bars(e, k, layout, ctx)->values.size();
    rows.top = rect.top() + (e.text.isEmpty() ? 0 : line * ReportChartData::titleLines);
    rows.pitch = line * ReportChartData::barLines;
    if (count > 0)
        rows.pitch = std::min(rows.pitch, (rect.bottom() - rows.top) / double(count));
    rows.count = std::max<qsizetype>(count, 1);
    // Its heading: what ends less than a bar above it, across it. Of a text of several lines
    // there (a growing one may be longer than a page) only the last line goes with the bar.
    rows.start = rect.top();
    for (size_t j = 0; j < band.elements.size(); ++j) {
        const ReportElement& h = band.elements[j];
        const QRectF above = elementRect(h, j, layout, layout.height);
        if (j == k || above.top() >= rect.top() - epsilon || above.bottom() > rect.top() + epsilon
            || above.bottom() < rect.top() - rows.pitch || above.left() >= rect.right() || rect.left() >= above.right()
            || !prints(h, ctx))
            continue;
        double top = above.top();
        if (h.isTextual()) {
            const ElementRows lines = *elementRows(band, j, layout, ctx, above);
            top = lines.count > 1 ? lines.rowTop(lines.count - 1) : lines.start;
        }
        rows.start = std::min(rows.start, top);
    }
    return rows;
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
            // What lies across the cut (a chart also when the cut is between it and its heading).
            if (r.bottom() <= y + epsilon || (r.top() >= y - epsilon && e.kind != ReportElement::Kind::Chart) || !prints(e, ctx))
                continue;
            const std::optional<ElementRows> rows = elementRows(band, k, layout, ctx, r);
            double cut = rows ? rows->start : r.top();
            if (cut >= y - epsilon)
                continue;
            if (rows) {
                // Between two rows; a row that would be cut goes over whole, and so does the
                // first with what goes with it. The rows above the cut are those whose foot is
                // at or above it, within the tolerance a page's part takes its rows with (a row
                // ending a hair below the cut is cut, and goes over).
                const double before = std::floor((y + epsilon - rows->top) / rows->pitch);
                if (before >= double(rows->count))
                    continue;   // under its last row
                if (before >= 1)
                    cut = rows->rowTop(qsizetype(before));
                if (cut <= from + epsilon)
                    cut = rows->start;
            }
            if (cut < y - epsilon) {
                y = cut;
                moved = true;
            }
        }
    }
    if (y <= from + epsilon)
        return from;
    // A part holds something: a cut with nothing of the band above it is no cut.
    for (size_t k = 0; k < band.elements.size(); ++k) {
        const ReportElement& e = band.elements[k];
        const QRectF r = elementRect(e, k, layout, layout.height);
        const bool inPart = r.top() < y - epsilon && r.bottom() > from + epsilon;
        const bool across = (e.kind == ReportElement::Kind::Line || e.kind == ReportElement::Kind::Box) && r.bottom() > y + epsilon;
        if (inPart && !across && prints(e, ctx))
            return y;
    }
    return from;
}

BandLayout ReportDocument::Impl::layoutBand(const ReportBand& band, const Context& ctx) const
{
    const size_t n = band.elements.size();
    BandLayout l;
    l.extra.assign(n, 0.0);
    l.shift.assign(n, 0.0);
    l.pushes.assign(n, false);
    l.texts.resize(n);
    l.charts.resize(n);
    l.height = band.height;
    if (!band.hasGrowingElements())
        return l;
    for (size_t i = 0; i < n; ++i) {
        const ReportElement& e = band.elements[i];
        if (!e.grow || !prints(e, ctx))
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

// Lays the bands of a report out in pages, one after the other, in the order the rows come.
// Each band is placed where the one before it ended (placeBand). One that does not fit the rest
// of the page goes over to the next one whole, with what must go with it (turnCarrying); one
// taller than a page starts where it is and is cut where it may break (Impl::breakPoint),
// each part continued on the next page (placeFrom).
class ReportDocument::Impl::PageBuilder
{
public:
    explicit PageBuilder(Impl& d);
    void run();

private:
    bool holds(const ReportBand& b, int row, int begin, int end) const;
    Placement& add(const ReportBand& b, int row, int begin, int end, double h);
    std::pair<int, int> innermost(int row) const;

    void headPage();
    void startPage();
    void closePage();
    void newPage();
    void turnCarrying(bool beforeFooter);
    bool placeBand(const ReportBand& b, int row, int begin, int end, bool alternate = false);
    void placeFrom(const ReportBand& b, int row, int begin, int end, const Context& ctx,
                   const std::shared_ptr<BandLayout>& layout, bool alternate, double keep, bool reportHeader);

    Impl& d_;
    const ReportDefinition& r_;
    std::vector<PagePlan>& pages_;
    const int n_;
    const int levels_;
    const QRectF content_;
    const ReportBand* const reportHeader_;
    const ReportBand* const pageHeader_;
    const ReportBand* const pageFooter_;
    const ReportBand* const reportFooter_;
    const ReportBand* const detail_;
    const double bottom_;      // where the page footer's room begins
    // The room of a page without repeated headers: a band taller than that prints in parts.
    const double pageRoom_;
    // Where not a line of a band fits a page, it is cut through, by at least a tenth of a page
    // (of the least a page may leave to print in, so that the cut always moves on).
    const double leastCut_;

    double y_ = 0;
    double bodyTop_ = 0;
    int currentRow_ = 0;
    bool pendingBreak_ = false;
    int detailCount_ = 0;
};

ReportDocument::Impl::PageBuilder::PageBuilder(Impl& d)
    : d_(d), r_(*d.def), pages_(d.pages), n_(d.data->rowCount()), levels_(int(r_.groups.size())), content_(r_.contentRect()),
      reportHeader_(r_.band(BandKind::ReportHeader)), pageHeader_(r_.band(BandKind::PageHeader)),
      pageFooter_(r_.band(BandKind::PageFooter)), reportFooter_(r_.band(BandKind::ReportFooter)), detail_(r_.band(BandKind::Detail)),
      bottom_(content_.bottom() - (pageFooter_ ? pageFooter_->height : 0)),
      pageRoom_(bottom_ - content_.top() - (pageHeader_ ? pageHeader_->height : 0)),
      leastCut_(std::max(content_.height(), ReportDefinition::minContent) / 10)
{
    y_ = content_.top();
    bodyTop_ = y_;
}

bool ReportDocument::Impl::PageBuilder::holds(const ReportBand& b, int row, int begin, int end) const
{
    return b.condition.isEmpty() || formulaHolds(*b.condition.root(), Context(d_, row, begin, end, int(pages_.size()) - 1));
}

Placement& ReportDocument::Impl::PageBuilder::add(const ReportBand& b, int row, int begin, int end, double h)
{
    Placement p;
    p.band = &b;
    p.row = row;
    p.scopeBegin = begin;
    p.scopeEnd = end;
    p.origin = QPointF(content_.left(), y_);
    p.width = content_.width();
    p.height = h;
    p.full = h;
    pages_.back().placements.push_back(p);
    y_ += h;
    return pages_.back().placements.back();
}

std::pair<int, int> ReportDocument::Impl::PageBuilder::innermost(int row) const
{
    if (levels_ == 0 || row < 0)
        return {0, n_};
    return {d_.groupBegin[size_t(levels_ - 1)][size_t(row)], d_.groupEnd[size_t(levels_ - 1)][size_t(row)]};
}

// The head of a page: its page header, then the headers of the groups it goes on with.
void ReportDocument::Impl::PageBuilder::headPage()
{
    if (pageHeader_ && holds(*pageHeader_, -1, 0, 0))
        add(*pageHeader_, -1, 0, 0, pageHeader_->height);
    // A group continued from the page before shows its header again where asked.
    if (currentRow_ < n_) {
        for (int k = 0; k < levels_; ++k) {
            const int begin = d_.groupBegin[size_t(k)][size_t(currentRow_)];
            const int end = d_.groupEnd[size_t(k)][size_t(currentRow_)];
            const ReportBand* gh = r_.band(BandKind::GroupHeader, k + 1);
            if (gh && r_.groups[k].repeatHeader && begin < currentRow_ && holds(*gh, begin, begin, end)) {
                const Context ctx(d_, begin, begin, end, int(pages_.size()) - 1, false, true);
                add(*gh, begin, begin, end, d_.bandHeight(*gh, ctx)).repeated = true;
            }
        }
    }
    bodyTop_ = y_;
}

void ReportDocument::Impl::PageBuilder::startPage()
{
    pages_.emplace_back();
    y_ = content_.top();
    headPage();
}

// The foot of a page: its page footer, and the rows of the page its header and footer total.
void ReportDocument::Impl::PageBuilder::closePage()
{
    PagePlan& page = pages_.back();
    for (const Placement& p : page.placements) {
        if (p.band->kind == BandKind::Detail) {
            page.firstRow = page.firstRow < 0 ? p.row : std::min(page.firstRow, p.row);
            page.lastRow = std::max(page.lastRow, p.row);
        }
    }
    const int begin = page.firstRow < 0 ? 0 : page.firstRow;
    const int end = page.firstRow < 0 ? 0 : page.lastRow + 1;
    for (Placement& p : page.placements) {
        if (p.band == pageHeader_) {
            p.row = page.firstRow;
            p.scopeBegin = begin;
            p.scopeEnd = end;
        }
    }
    if (pageFooter_) {
        const int row = page.lastRow >= 0 ? page.lastRow : std::min(currentRow_, n_ - 1);
        if (holds(*pageFooter_, row, begin, end)) {
            y_ = content_.bottom() - pageFooter_->height;
            add(*pageFooter_, row, begin, end, pageFooter_->height);
        }
    }
}

void ReportDocument::Impl::PageBuilder::newPage()
{
    closePage();
    startPage();
}

// A new page, to which the bands that must not end a page go over: the group headers that
// close it, and before a group footer the detail it follows (with the footers of inner groups
// and the headers that head it), so that a footer never starts a page alone. Where the page
// holds nothing else, the last part of a detail printed over pages gives up its last lines.
void ReportDocument::Impl::PageBuilder::turnCarrying(bool beforeFooter)
{
    std::vector<Placement>& placed = pages_.back().placements;
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
    if (y_ - carried > bodyTop_ + epsilon) {
        moved.assign(placed.begin() + qsizetype(keep), placed.end());
        placed.erase(placed.begin() + qsizetype(keep), placed.end());
        y_ -= carried;
    } else if (beforeFooter && keep < placed.size() && placed[keep].band->kind == BandKind::Detail) {
        Placement& part = placed[keep];
        const Context ctx(d_, part.row, part.scopeBegin, part.scopeEnd, int(pages_.size()) - 1);
        const double end = part.from + part.height;
        if (!part.layout)
            part.layout = std::make_shared<BandLayout>(d_.layoutBand(*part.band, ctx));
        // Above the foot of its last line (a point is less than any line).
        const double cut = d_.breakPoint(*part.band, *part.layout, ctx, part.from, end - 1.0);
        if (cut > part.from + epsilon) {
            Placement tail = part;
            tail.from = cut;
            tail.height = end - cut;
            part.height = cut - part.from;
            moved.push_back(tail);
            moved.insert(moved.end(), placed.begin() + qsizetype(keep) + 1, placed.end());
            placed.erase(placed.begin() + qsizetype(keep) + 1, placed.end());
            y_ = part.origin.y() + part.height;
        }
    }
    newPage();
    for (Placement& p : moved) {
        p.origin.setY(y_);
        y_ += p.height;
        pages_.back().placements.push_back(p);
    }
}

// Places a band from its top here, and where it is taller than the room left, part by part
// on the next pages, cut where it may break. `keep` is room left free under its part on the
// page it starts on. The report header heads the first page above its page header.
void ReportDocument::Impl::PageBuilder::placeFrom(const ReportBand& b, int row, int begin, int end, const Context& ctx,
                            const std::shared_ptr<BandLayout>& layout, bool alternate, double keep, bool reportHeader)
{
    const double h = layout->height;
    for (double from = 0;;) {
        const double foot = bottom_ - keep;
        double cut = h;
        if (y_ + (h - from) > foot + epsilon) {
            cut = d_.breakPoint(b, *layout, ctx, from, from + (foot - y_));
            if (cut <= from + epsilon) {
                if (y_ > bodyTop_ + epsilon) {
                    if (from > 0)
                        newPage();
                    else
                        turnCarrying(false);
                    keep = 0;
                    continue;
                }
                cut = from + std::max(foot - y_, leastCut_);
            }
        }
        Placement& p = add(b, row, begin, end, cut - from);
        p.from = from;
        p.full = h;
        p.alternate = alternate;
        if (from > 0 || cut < h - epsilon)
            p.layout = layout;
        from = cut;
        if (from >= h - epsilon)
            break;
        if (reportHeader && pages_.size() == 1)
            headPage();   // under the header's first part
        newPage();
        keep = 0;
    }
}

// Places a band: on this page when it fits, else on the next (with what must go with it);
// a band taller than a page starts here and goes on over the pages it needs.
bool ReportDocument::Impl::PageBuilder::placeBand(const ReportBand& b, int row, int begin, int end, bool alternate)
{
    if (!holds(b, row, begin, end))
        return false;
    if ((b.newPageBefore || pendingBreak_) && y_ > bodyTop_ + epsilon)
        newPage();
    pendingBreak_ = false;
    const Context ctx(d_, row, begin, end, int(pages_.size()) - 1);
    const auto layout = std::make_shared<BandLayout>(d_.layoutBand(b, ctx));
    const double h = layout->height;
    if (y_ + h > bottom_ + epsilon && y_ > bodyTop_ + epsilon && h <= pageRoom_ + epsilon)
        turnCarrying(b.kind == BandKind::GroupFooter);
    placeFrom(b, row, begin, end, ctx, layout, alternate, 0.0, false);
    if (b.newPageAfter)
        pendingBreak_ = true;
    return true;
}

void ReportDocument::Impl::PageBuilder::run()
{
    // The report header heads the first page, above its page header; one taller than the room
    // that leaves goes on over the next pages, under theirs.
    pages_.emplace_back();
    const int firstRow = n_ ? 0 : -1;
    if (reportHeader_ && holds(*reportHeader_, firstRow, 0, n_)) {
        const Context ctx(d_, firstRow, 0, n_, 0);
        const double pageHeaderRoom = pageHeader_ && holds(*pageHeader_, -1, 0, 0) ? pageHeader_->height : 0;
        placeFrom(*reportHeader_, firstRow, 0, n_, ctx, std::make_shared<BandLayout>(d_.layoutBand(*reportHeader_, ctx)), false,
                  pageHeaderRoom, true);
    }
    if (pages_.size() == 1)
        headPage();
    for (int i = 0; i < n_; ++i) {
        currentRow_ = i;
        for (int k = 0; k < levels_; ++k) {
            if (d_.groupBegin[size_t(k)][size_t(i)] != i)
                continue;
            if (r_.groups[k].newPage && i > 0 && y_ > bodyTop_ + epsilon)
                newPage();
            if (const ReportBand* gh = r_.band(BandKind::GroupHeader, k + 1))
                placeBand(*gh, i, i, d_.groupEnd[size_t(k)][size_t(i)]);
        }
        if (detail_) {
            const auto [begin, end] = innermost(i);
            if (placeBand(*detail_, i, begin, end, detailCount_ % 2 == 1))
                ++detailCount_;
        }
        for (int k = levels_ - 1; k >= 0; --k) {
            if (d_.groupEnd[size_t(k)][size_t(i)] != i + 1)
                continue;
            if (const ReportBand* gf = r_.band(BandKind::GroupFooter, k + 1))
                placeBand(*gf, i, d_.groupBegin[size_t(k)][size_t(i)], i + 1);
        }
    }
    currentRow_ = n_;
    if (reportFooter_)
        placeBand(*reportFooter_, n_ ? n_ - 1 : -1, 0, n_);
    closePage();
}

void ReportDocument::Impl::paginate()
{
    findGroups();
    if (def->labels)
        paginateLabels();
    else
        PageBuilder(*this).run();
    if (pages.empty())
        pages.emplace_back();
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
