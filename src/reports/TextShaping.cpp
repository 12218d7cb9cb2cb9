#include "TextShaping.h"

#include <QHash>
#include <QImage>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace {

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

// A text's own lines run on into one paragraph, one blank between them.
QString runOn(const QString& text)
{
    QStringList parts;
    for (const QString& line : QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n').split(u'\n')) {
        const QString t = line.trimmed();
        if (!t.isEmpty())
            parts.append(t);
    }
    return parts.join(u' ');
}

// The most a text is made smaller to fit its box before it wraps: a legible size.
constexpr double legiblePoints = 6.0;
constexpr double smallestScale = 0.25;

} // namespace

FontMeasure::FontMeasure(const QFont& font) : metrics(measuringMetrics(font))
{
    lineHeight = metrics.height() / 10.0;
    ascent = metrics.ascent() / 10.0;
    for (int c = 32; c < 256; ++c)
        advance[c] = metrics.inFontUcs4(uint(c)) ? metrics.horizontalAdvance(QChar(c)) / 10.0 : 0.0;
}

double FontMeasure::width(QStringView text) const
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
    // A text of several lines that does not fit at the legible size runs its lines on into one
    // another, wrapping into the room its box has, before it gets smaller still.
    const bool severalLines = text.contains(u'\n') || text.contains(u'\r');
    const QString runningOn = severalLines ? runOn(text) : QString();
    auto at = [&](double scale, bool wrap, bool runsOn = false) {
        const QString& what = runsOn ? runningOn : text;
        if (scale == 1.0)
            return breakText(e.font, what, width, wrap);
        QFont f = e.font;
        f.setPointSizeF(size * scale);
        return breakText(f, what, width, wrap);
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
        // Still too big, it wraps at the legible size (a large font reaches it below the smallest
        // scale: it still wraps there).
        if (!found) {
            lines = at(legible, true);
            shaped.scale = legible;
            found = fits(lines) || e.grow;
        }
        // A text of several lines then runs them on, as large as the room lets it.
        for (double scale = 1.0; !found && severalLines; scale *= 0.95) {
            shaped.scale = std::max(scale, legible);
            lines = at(shaped.scale, true, true);
            found = fits(lines);
            if (shaped.scale == legible)
                break;
        }
        // Only then does it get smaller still.
        for (double scale = legible * 0.95; !found && scale >= std::min(smallestScale, legible); scale *= 0.95) {
            lines = at(scale, true, severalLines);
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
