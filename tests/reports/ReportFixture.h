#pragma once

// Shared by the report tests: a program folder with the shipped report files and a database
// made from the real schema, a viewer that keeps documents instead of opening windows, and
// the text of a PDF read back with pdftotext.

#include "reports/ReportEngine.h"
#include "support/TestProgramFolder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include "support/DirectSql.h"

struct ReportFixture {
    TestProgramFolder folder;

    // Inventory.mdb from the schema, then the statements (plain SQLite).
    QString makeInventory(const QStringList& statements = {}, const QString& name = QStringLiteral("Inventory.mdb")) const
    {
        return makeSchemaDatabase(folder.file(name), statements);
    }

    // A definition file in the program folder.
    QString writeReport(const QString& name, const QString& text) const
    {
        QFile f(folder.file(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(name));
        f.write(text.toUtf8());
        return f.fileName();
    }
};

// A picture of one colour, as the images window stores it.
inline QByteArray pngPicture(const QColor& colour, const QSize& size = QSize(60, 40))
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

// Keeps the documents that would have been shown, so that no test opens a window.
class CapturingViewer : public ReportViewer
{
public:
    CapturingViewer() { ReportViewer::install(this); }
    ~CapturingViewer() override { ReportViewer::install(nullptr); }
    void show(std::shared_ptr<ReportDocument> document) override { shown.append(document); }
    QList<std::shared_ptr<ReportDocument>> shown;
};

// The text of a PDF, page by page, keeping the layout of each line (pdftotext -layout).
inline QStringList pdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// A word of a PDF and where it prints (page from 0; points from the page's top-left corner),
// read back with pdftotext -bbox, in the order the file holds them.
struct PdfWord {
    int page = 0;
    QString text;
    QRectF box;
};

inline QList<PdfWord> pdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QList<PdfWord> words;
    int page = -1;
    static const QRegularExpression tag(QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()), QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// The lines of a text, blanks runs made single, for comparisons that do not depend on columns.
inline QStringList squeezedLines(const QString& text)
{
    QStringList out;
    for (QString line : text.split(u'\n')) {
        line = line.simplified();
        if (!line.isEmpty())
            out.append(line);
    }
    return out;
}
