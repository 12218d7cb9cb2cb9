#include "ReportLayout.h"

#include "platform/AppFolder.h"
#include "platform/FileOps.h"
#include "platform/PictureDecode.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace {

constexpr double pdfScale = 10.0;   // 720 dpi
constexpr int pageCacheSize = 8;

bool isZeroNumber(const ReportValue& v)
{
    if (v.type() == ReportValue::Type::Money)
        return v.toMoney().isZero();
    return v.isNumeric() && v.toDouble() == 0.0;
}

} // namespace

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

QString ReportDocument::Impl::elementText(const ReportElement& e, const Context& ctx) const
{
    if (e.kind == ReportElement::Kind::Text)
        return e.text;
    const ReportValue v = evaluateFormula(*e.value.root(), ctx);
    return e.blankZero && isZeroNumber(v) ? QString() : format(v, e.format);
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

ReportPage ReportDocument::Impl::buildPage(int index, bool fresh) const
{
    for (auto it = pageCache.begin(); it != pageCache.end(); ++it) {
        if (it->number == index + 1) {
            if (fresh) {
                pageCache.erase(it);
                break;
            }
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
                const bool drawnInParts = e.isTextual() || e.kind == ReportElement::Kind::Chart || e.kind == ReportElement::Kind::Box
                    || e.kind == ReportElement::Kind::Line;
                if (!(drawnInParts ? crosses || starts : starts))
                    continue;
            }
            if (!prints(e, ctx))
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
                const ElementRows rows = *elementRows(band, k, layout, ctx, inBand);
                it.fontScale = placed.scale;
                it.lineHeight = placed.lineHeight;
                // The lines within this page's part of the band.
                const auto [first, count] = whole ? std::pair<qsizetype, qsizetype>(0, rows.count) : rows.within(top, bottom);
                if (count < placed.lines.size())
                    it.text = placed.lines.mid(first, count).join(u'\n');
                it.lines = placed.lines.mid(first, count);
                it.linesTop = rows.rowTop(first) + offset.y();
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
                if (!e.value.isEmpty()) {
                    // A stored picture is decoded for its cell at 200 dpi, however many pixels it holds.
                    Qt::AspectRatioMode mode = Qt::KeepAspectRatio;
                    if (e.fit == ReportElement::Fit::Stretch)
                        mode = Qt::IgnoreAspectRatio;
                    else if (e.fit == ReportElement::Fit::Cover)
                        mode = Qt::KeepAspectRatioByExpanding;
                    const QSize cell = (rect.size() * 200 / 72).toSize();
                    it.image = decodePicture(evaluateFormula(*e.value.root(), ctx).bytes(), cell, mode).image;
                } else
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
                const std::shared_ptr<ReportChartData>& chartBars = bars(e, k, layout, ctx);
                if (e.sharedScale) {
                    chartBars->scaleMax = sharedScale(e, band);
                    chartBars->scaleText = format(ReportValue(chartBars->scaleMax), e.format);
                }
                // The bars within this page's part of the band, and the title where it starts.
                const ElementRows rows = *elementRows(band, k, layout, ctx, inBand);
                const auto [first, count] = whole ? std::pair<qsizetype, qsizetype>(0, rows.count) : rows.within(top, bottom);
                it.firstBar = first;
                it.barCount = std::clamp<qsizetype>(chartBars->values.size() - first, 0, count);
                it.linesTop = rows.rowTop(first) + offset.y();
                it.lineHeight = rows.pitch;
                it.chart = chartBars;
                if (inBand.top() >= top - epsilon)
                    it.text = e.text;
                else if (count == 0)
                    continue;
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
    return pageAt(index, false);
}

ReportPage ReportDocument::pageAt(int index, bool fresh) const
{
    if (index < 0 || index >= pageCount())
        throw ReportError(QStringLiteral("there is no page %1").arg(index + 1));
    return d->buildPage(index, fresh);
}

void ReportDocument::render(QPainter& painter, int index, double scale) const
{
    paintReportPage(painter, pageAt(index, true), scale);
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
    // The preview turns its pages back and forth: the last few built are shown again as they were.
    paintReportPage(p, page(index), dpi / 72.0);
    return img;
}

void ReportDocument::exportPdf(const QString& path, const ReportProgress& progress) const
{
    // Through a link, the file the system reaches by it.
    QSaveFile file(linkTarget(path));
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
