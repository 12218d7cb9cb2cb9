#pragma once

#include "ReportData.h"
#include "ReportDefinition.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

// Bars of a chart element, ready to draw.
struct ReportChartData {
    // Room in lines of the chart's font: the title, and at most each bar (a growing chart
    // gets exactly this for every bar, and a chart taller than a page goes on over the next
    // pages between its bars).
    static constexpr double titleLines = 1.6;
    static constexpr double barLines = 1.8;

    QStringList labels;
    QList<double> values;
    QStringList valueTexts;
    // A scale shared with the charts of other groups: the value of a bar across the whole plot
    // and its text (0 and empty: this chart's own largest bar). Charts sharing a scale also share
    // their columns, so that equal values draw equal bars.
    double scaleMax = 0;
    QString scaleText;
};

// One thing printed on a page, in points from the page's top-left corner.
struct ReportItem {
    enum class Kind { Text, Line, Box, Image, Barcode, Chart };

    Kind kind = Kind::Text;
    QRectF rect;                       // a line runs from rect.topLeft() to rect.bottomRight()
    QString text;                      // Text: what prints (the part of it on this page); Barcode: the encoded data;
                                       // Chart: its title, on the page where it starts
    const ReportElement* element = nullptr;   // look (font, colours, alignment); null for band shading
    BandKind band = BandKind::Detail;
    int level = 0;                     // group bands
    int row = -1;                      // the data row the band printed, -1 for none
    double fontScale = 1.0;            // Text: printed at this fraction of its font's size, to fit its box
    // Text: the lines it prints in, the first line's top on the page and the height of a line at
    // the printed size (points); lines are broken by the page model, never by the printer.
    // Chart: the top of the first bar it prints on this page and the height of a bar.
    QStringList lines;
    double linesTop = 0;
    double lineHeight = 0;
    // Chart: the bars it prints on this page, the first and how many (a chart taller than a page
    // prints the others on the pages before or after); its title (`text`) where it starts.
    qsizetype firstBar = 0;
    qsizetype barCount = 0;
    QColor fill;                       // band shading
    QImage image;
    std::shared_ptr<const ReportChartData> chart;
};

// A page of the page model: what prints where.
struct ReportPage {
    int number = 0;                    // 1-based
    QSizeF size;                       // points
    QList<ReportItem> items;

    QStringList texts() const;                              // every text item, in print order
    QList<ReportItem> textItems(BandKind band, int level = 0) const;
    QList<ReportItem> itemsOf(ReportItem::Kind kind) const;
    bool hasText(const QString& text) const;                // an item printing exactly this
};

// Called while pages are printed or exported; returning false stops the work.
using ReportProgress = std::function<bool(int done, int total)>;

// A report laid out in pages. Pagination happens once (fast: it only places bands); the
// content of a page is built when the page is asked for, so that a long report shows its
// first page at once.
class ReportDocument
{
public:
    // Lays the rows out in pages. Throws ReportError when a band's condition cannot be
    // evaluated.
    ReportDocument(std::shared_ptr<const ReportDefinition> def, std::shared_ptr<const ReportData> data,
                   QDateTime printTime = QDateTime::currentDateTime());
    ~ReportDocument();
    ReportDocument(const ReportDocument&) = delete;
    ReportDocument& operator=(const ReportDocument&) = delete;

    QString title() const;
    QString fileName() const;
    int pageCount() const;
    int rowCount() const;
    QSizeF pageSize() const;           // points, oriented
    QPageLayout pageLayout() const;    // the page with no margins (the report places everything)
    const ReportDefinition& definition() const;
    const ReportData& data() const;

    ReportPage page(int index) const;  // 0-based; throws ReportError when a field cannot be evaluated

    // Draws a page on a painter whose device has scale device pixels per point, built anew: what
    // is printed or exported shows each stored picture as it is now, even on a page already shown.
    void render(QPainter& painter, int index, double scale) const;
    QImage renderImage(int index, double dpi) const;       // white paper

    // Throw ReportError; nothing is left at path when the export fails or is stopped.
    void exportPdf(const QString& path, const ReportProgress& progress = {}) const;
    void print(QPrinter& printer, const ReportProgress& progress = {}) const;

private:
    ReportPage pageAt(int index, bool fresh) const;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Draws one page model page (used by the document; public for the preview).
void paintReportPage(QPainter& painter, const ReportPage& page, double scale);
