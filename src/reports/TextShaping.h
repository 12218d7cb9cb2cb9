#pragma once

// Text as the page model prints it: measured at the PDF's resolution, broken into the lines it
// prints in, and made smaller where it does not fit its box, so that the preview, the printer and
// the PDF show the same lines.

#include "ReportDefinition.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

// One font as text is measured in it: the metrics, and the advances of the Latin-1 characters,
// so that the common case (a short line of Western text, thousands of them in a long report)
// is measured by adding up advances, the way the painter places its glyphs.
struct FontMeasure {
    QFontMetricsF metrics;
    double lineHeight = 0;     // points
    double ascent = 0;         // points
    double advance[256] = {};  // points; 0 where the font lacks the character
    explicit FontMeasure(const QFont& font);
    double width(QStringView text) const;
};

// The measure of a font, made once and kept.
const FontMeasure& fontMeasure(const QFont& font);

// A text in its box: the lines, the size they print at (a fraction of the element's font) and
// where the first line's top is. A text is never cut. One that does not fit its box (on one
// line, or in its lines where it wraps) prints smaller, down to a legible size; still too big,
// it wraps there, inside a word if need be; one of several lines then runs them on into one
// another; and only then it gets smaller still. A growing text wraps at its size and its band
// makes room for the lines; one that grows and shrinks keeps to its line down to the legible
// size, and wraps there.
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

ShapedText shapeText(const ReportElement& e, const QString& text);

// The top of a text's first line in the box it prints in. One line is placed by its alignment
// even where it is taller than the box; lines that overfill the box start at its top.
double textTop(const ReportElement& e, const ShapedText& t, const QRectF& box);
