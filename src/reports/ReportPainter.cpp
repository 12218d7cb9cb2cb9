// Drawing the page model with a QPainter: on the preview's image, the PDF writer and the
// printer alike. Coordinates of the model are points; `scale` turns them into device pixels.

#include "ReportDocument.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QGlyphRun>
#include <QRawFont>

#include <cmath>
#include <zint.h>

namespace {

// Bars of a Code 39 symbol in module units, from the barcode library's vector output.
struct BarcodeBars {
    QList<QRectF> bars;
    double width = 0;    // modules
    bool valid = false;
};

const BarcodeBars& code39(const QString& data)
{
    static QHash<QString, BarcodeBars> cache;
    if (const auto it = cache.constFind(data); it != cache.constEnd())
        return *it;
    if (cache.size() > 2000)
        cache.clear();
    BarcodeBars out;
    zint_symbol* symbol = ZBarcode_Create();
    if (symbol) {
        symbol->symbology = BARCODE_CODE39;
        symbol->show_hrt = 0;
        symbol->height = 50;
        symbol->whitespace_width = 0;
        symbol->border_width = 0;
        symbol->output_options |= BARCODE_QUIET_ZONES;   // the blank margins a scanner needs
        const QByteArray bytes = data.toLatin1();
        int rc = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
        if (rc < ZINT_ERROR)
            rc = ZBarcode_Buffer_Vector(symbol, 0);
        if (rc < ZINT_ERROR && symbol->vector) {
            for (zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
                out.bars.append(QRectF(r->x, 0, r->width, 1));
            out.width = symbol->vector->width;
            out.valid = !out.bars.isEmpty() && out.width > 0;
        }
        ZBarcode_Delete(symbol);
    }
    return *cache.insert(data, out);
}

// The glyphs of one font at one pixel size for the Latin-1 characters, so that the common case
// (short lines of Western text, thousands of them in a long report) is drawn without shaping
// every string anew. Text with any other character goes the general way.
struct GlyphSet {
    QRawFont raw;
    quint32 glyph[256] = {};
    double advance[256] = {};
    bool valid = false;
};

std::shared_ptr<const GlyphSet> glyphSet(const QFont& font, double pixelSize)
{
    static QHash<QString, std::shared_ptr<GlyphSet>> cache;
    const QString key = font.key() + u'@' + QString::number(pixelSize, 'g', 6);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    if (cache.size() > 200)
        cache.clear();
    auto g = std::make_shared<GlyphSet>();
    g->raw = QRawFont::fromFont(font);
    if (g->raw.isValid()) {
        g->raw.setPixelSize(pixelSize);
        QString chars;
        for (int c = 32; c < 256; ++c)
            chars += QChar(c);
        const QList<quint32> glyphs = g->raw.glyphIndexesForString(chars);
        const QList<QPointF> advances = g->raw.advancesForGlyphIndexes(glyphs);
        if (glyphs.size() == chars.size() && advances.size() == chars.size()) {
            for (int i = 0; i < chars.size(); ++i) {
                g->glyph[32 + i] = glyphs[i];
                g->advance[32 + i] = advances[i].x();
            }
            g->valid = true;
        }
    }
    cache.insert(key, g);
    return g;
}

// A font of `points` size as it must be set on this device so that it prints that size when
// the page is drawn at `scale` pixels per point.
QFont deviceFont(const QFont& base, double scale, const QPaintDevice* device)
{
    QFont f = base;
    const double dpi = device ? device->logicalDpiY() : 96.0;
    f.setPointSizeF(base.pointSizeF() * scale * 72.0 / dpi);
    return f;
}

class Painter
{
public:
    Painter(QPainter& p, double scale) : p_(p), s_(scale) {}

    QRectF dev(const QRectF& r) const { return QRectF(r.x() * s_, r.y() * s_, r.width() * s_, r.height() * s_); }

    void box(const ReportItem& it)
    {
        const QRectF r = dev(it.rect);
        if (!it.element) {   // band shading
            p_.fillRect(r, it.fill);
            return;
        }
        const ReportElement& e = *it.element;
        p_.setBrush(e.fill.isValid() ? QBrush(e.fill) : Qt::NoBrush);
        if (e.borderWidth > 0)
            p_.setPen(QPen(e.borderColor, e.borderWidth * s_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        else
            p_.setPen(Qt::NoPen);
        if (e.radius > 0)
            p_.drawRoundedRect(r, e.radius * s_, e.radius * s_);
        else
            p_.drawRect(r);
        p_.setBrush(Qt::NoBrush);
    }

    void line(const ReportItem& it)
    {
        const ReportElement& e = *it.element;
        p_.setPen(QPen(e.color, std::max(e.lineWidth * s_, 1.0), Qt::SolidLine, Qt::FlatCap));
        p_.drawLine(QPointF(it.rect.left() * s_, it.rect.top() * s_), QPointF(it.rect.right() * s_, it.rect.bottom() * s_));
    }

    void text(const ReportItem& it)
    {
        const ReportElement& e = *it.element;
        const QRectF outer = dev(it.rect);
        if (e.fill.isValid())
            p_.fillRect(outer, e.fill);
        if (e.borderWidth > 0) {
            p_.setPen(QPen(e.borderColor, e.borderWidth * s_));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(outer);
        }
        if (it.lines.isEmpty())
            return;
        if (it.fontScale < 1.0) {
            QFont smaller = e.font;
            smaller.setPointSizeF(e.font.pointSizeF() * it.fontScale);
            setFont(smaller);
        } else {
            setFont(e.font);
        }
        p_.setPen(e.color);
        // The lines as the page model broke them, each at its place; none is cut or broken again.
        const QRectF r = outer.adjusted(e.padding * s_, 0, -e.padding * s_, 0);
        const double ascent = fm_->ascent();
        for (qsizetype i = 0; i < it.lines.size(); ++i) {
            const double baseline = (it.linesTop + i * it.lineHeight) * s_ + ascent;
            if (glyphs_ && glyphs_->valid && drawGlyphs(it.lines[i], e, r, baseline))
                continue;
            const double w = fm_->horizontalAdvance(it.lines[i]);
            p_.drawText(QPointF(lineLeft(e.align, r, w), baseline), it.lines[i]);
        }
    }

    static double lineLeft(Qt::Alignment align, const QRectF& r, double width)
    {
        if (align & Qt::AlignRight)
            return r.right() - width;
        if (align & Qt::AlignHCenter)
            return r.left() + (r.width() - width) / 2;
        return r.left();
    }

    // The Latin-1 fast way; false when the text has a character it does not know.
    bool drawGlyphs(const QString& text, const ReportElement& e, const QRectF& r, double baseline)
    {
        const GlyphSet& g = *glyphs_;
        glyphIndexes_.resize(0);
        positions_.resize(0);
        double x = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 32 || u > 255 || g.glyph[u] == 0)
                return false;
            glyphIndexes_.append(g.glyph[u]);
            positions_.append(QPointF(x, 0));
            x += g.advance[u];
        }
        if (glyphIndexes_.isEmpty())
            return true;
        QGlyphRun run;
        run.setRawFont(g.raw);
        run.setGlyphIndexes(glyphIndexes_);
        run.setPositions(positions_);
        run.setUnderline(e.font.underline());
        p_.drawGlyphRun(QPointF(lineLeft(e.align, r, x), baseline), run);
        return true;
    }

    void image(const ReportItem& it)
    {
        const QRectF r = dev(it.rect);
        const QSizeF src = it.image.size();
        if (src.isEmpty())
            return;
        switch (it.element->fit) {
        case ReportElement::Fit::Stretch:
            p_.drawImage(r, it.image);
            return;
        case ReportElement::Fit::Contain: {
            const QSizeF fitted = src.scaled(r.size(), Qt::KeepAspectRatio);
            p_.drawImage(QRectF(r.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted), it.image);
            return;
        }
        case ReportElement::Fit::Cover: {
            const QSizeF part = r.size().scaled(src, Qt::KeepAspectRatio);
            const QRectF source(QPointF((src.width() - part.width()) / 2, (src.height() - part.height()) / 2), part);
            p_.drawImage(r, it.image, source);
            return;
        }
        }
    }

    void barcode(const ReportItem& it)
    {
        const ReportElement& e = *it.element;
        const QRectF r = dev(it.rect);
        const BarcodeBars& bars = code39(it.text);
        double textHeight = 0;
        if (e.showText || !bars.valid) {
            setFont(e.font);
            textHeight = fm_->height();
        }
        // A little air between the bars and the number under them, so the two read apart.
        const double gap = textHeight > 0 ? textHeight * 0.2 : 0;
        if (bars.valid) {
            const double unit = r.width() / bars.width;
            const double barHeight = std::max(1.0, r.height() - textHeight - gap);
            QPainterPath path;
            for (const QRectF& b : bars.bars)
                path.addRect(QRectF(r.left() + b.x() * unit, r.top(), b.width() * unit, barHeight));
            p_.fillPath(path, e.color);
        }
        if (textHeight > 0) {
            p_.setPen(e.color);
            const QString label = bars.valid ? it.text : it.text + QStringLiteral(" (no barcode)");
            p_.drawText(QRectF(r.left(), r.bottom() - textHeight, r.width(), textHeight), Qt::AlignHCenter | Qt::AlignVCenter, label);
        }
    }

    // Horizontal bars: a category's name on the left, its bar and value to the right; the bars
    // this page prints where the page model put them, in columns worked out from all of them, so
    // that a chart going on over pages reads the same on each.
    void chart(const ReportItem& it)
    {
        const ReportElement& e = *it.element;
        const ReportChartData& c = *it.chart;
        const QRectF r = dev(it.rect);
        setFont(e.font);
        if (!it.text.isEmpty()) {
            QFont bold = e.font;
            bold.setBold(true);
            setFont(bold);
            p_.setPen(e.color);
            p_.drawText(QRectF(r.left(), r.top(), r.width(), fm_->height() * 1.4), Qt::AlignLeft | Qt::AlignVCenter, it.text);
            setFont(e.font);
        }
        const double top = it.linesTop * s_;
        const double rowHeight = it.lineHeight * s_;
        if (c.values.isEmpty()) {
            p_.setPen(e.color);
            p_.drawText(QRectF(r.left(), top, r.width(), fm_->height()), Qt::AlignLeft, QStringLiteral("Nothing to show."));
            return;
        }
        double labelWidth = 0;
        double valueWidth = 0;
        for (int i = 0; i < c.labels.size(); ++i) {
            labelWidth = std::max(labelWidth, fm_->horizontalAdvance(c.labels[i]));
            valueWidth = std::max(valueWidth, fm_->horizontalAdvance(c.valueTexts[i]));
        }
        labelWidth = std::min(labelWidth + 6 * s_, r.width() * 0.35);
        if (c.scaleMax > 0) {   // the columns of every chart on this scale
            labelWidth = r.width() * 0.35;
            valueWidth = std::max(valueWidth, fm_->horizontalAdvance(c.scaleText));
        }
        const double plotLeft = r.left() + labelWidth;
        const double plotWidth = std::max(1.0, r.width() - labelWidth - valueWidth - 6 * s_);
        double max = c.scaleMax;
        for (double v : c.values)
            max = std::max(max, v);
        if (max <= 0)
            max = 1;
        if (it.barCount <= 0)
            return;
        const QColor bar = e.fill.isValid() ? e.fill : QColor(0x3b, 0x6e, 0xa8);
        p_.setPen(QPen(QColor(0x88, 0x88, 0x88), std::max(0.5 * s_, 1.0)));
        p_.drawLine(QPointF(plotLeft, top), QPointF(plotLeft, top + rowHeight * double(it.barCount)));
        for (qsizetype i = 0; i < it.barCount; ++i) {
            const qsizetype b = it.firstBar + i;
            const double y = top + double(i) * rowHeight;
            const double w = plotWidth * std::max(0.0, c.values[b]) / max;
            p_.fillRect(QRectF(plotLeft, y + rowHeight * 0.18, w, rowHeight * 0.64), bar);
            p_.setPen(e.color);
            p_.drawText(QRectF(r.left(), y, labelWidth - 4 * s_, rowHeight), Qt::AlignRight | Qt::AlignVCenter,
                        fm_->elidedText(c.labels[b], Qt::ElideRight, labelWidth - 4 * s_));
            p_.drawText(QRectF(plotLeft + w + 3 * s_, y, valueWidth + 3 * s_, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, c.valueTexts[b]);
        }
    }

private:
    void setFont(const QFont& f)
    {
        if (fm_ && f == font_)
            return;
        font_ = f;
        const QFont df = deviceFont(f, s_, p_.device());
        p_.setFont(df);
        fm_.emplace(df, p_.device());
        glyphs_ = glyphSet(df, f.pointSizeF() * s_);
    }

    QPainter& p_;
    double s_;
    QFont font_;
    std::optional<QFontMetricsF> fm_;
    std::shared_ptr<const GlyphSet> glyphs_;
    QList<quint32> glyphIndexes_;
    QList<QPointF> positions_;
};

} // namespace

void paintReportPage(QPainter& painter, const ReportPage& page, double scale)
{
    Painter p(painter, scale);
    for (const ReportItem& it : page.items) {
        switch (it.kind) {
        case ReportItem::Kind::Box: p.box(it); break;
        case ReportItem::Kind::Line: p.line(it); break;
        case ReportItem::Kind::Text: p.text(it); break;
        case ReportItem::Kind::Image: p.image(it); break;
        case ReportItem::Kind::Barcode: p.barcode(it); break;
        case ReportItem::Kind::Chart: p.chart(it); break;
        }
    }
}
