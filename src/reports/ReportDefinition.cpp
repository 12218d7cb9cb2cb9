#include "ReportDefinition.h"

#include "platform/AppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr int maxIncludeDepth = 8;
constexpr double maxLength = 100 * 72.0;   // points
constexpr double maxFontPoints = 1000;

// One attribute of a line: name=value, or a flag (a name alone).
struct Attr {
    QString name;
    QString value;
    bool flag = false;
};

// A definition line cut into its keyword, positional words, attributes and content (the text
// after a free-standing ":").
struct Line {
    int number = 0;
    QString keyword;
    QStringList words;        // positional words ({braced}, "quoted" or plain)
    QList<Attr> attrs;
    QString content;
    bool hasContent = false;
    QString rest;             // everything after the keyword, as written
};

} // namespace

class DefinitionParser
{
public:
    DefinitionParser(ReportDefinition& def, QString fileName) : def_(def), file_(std::move(fileName)) {}

    void parseText(const QString& text, const QString& folder, int depth);
    void finish();

private:
    [[noreturn]] void fail(int line, const QString& what) const
    {
        throw ReportError(QStringLiteral("%1, line %2: %3").arg(currentFile_, QString::number(line), what));
    }

    Line split(const QString& text, int number);
    QString readValue(const QString& s, qsizetype& i, int line);
    void handle(const Line& l, const QString& folder, int depth);

    double length(const QString& text, int line) const;
    QColor colour(const QString& text, int line) const;
    bool yesNo(const Attr& a, int line) const;
    Formula formula(const QString& text, int line) const;
    QString expandNamed(const QString& text, int line) const;
    void namedFormula(const Line& l);

    void applyElementAttr(ReportElement& e, const Attr& a, int line);
    void element(const Line& l);
    void band(const Line& l);
    void page(const Line& l);
    void labels(const Line& l);
    void group(const Line& l);

    ReportDefinition& def_;
    QString file_;
    QString currentFile_;
    QHash<QString, QList<Attr>> styles_;
    QHash<QString, QString> named_;   // formula lines: lower-case name -> "(expression)"
    ReportBand* band_ = nullptr;
    ReportElement* lastElement_ = nullptr;
};

namespace {

const QHash<QString, BandKind>& bandKinds()
{
    static const QHash<QString, BandKind> kinds = {
        {QStringLiteral("report-header"), BandKind::ReportHeader},
        {QStringLiteral("page-header"), BandKind::PageHeader},
        {QStringLiteral("group-header"), BandKind::GroupHeader},
        {QStringLiteral("detail"), BandKind::Detail},
        {QStringLiteral("group-footer"), BandKind::GroupFooter},
        {QStringLiteral("page-footer"), BandKind::PageFooter},
        {QStringLiteral("report-footer"), BandKind::ReportFooter},
    };
    return kinds;
}

const QHash<QString, ReportElement::Kind>& elementKinds()
{
    static const QHash<QString, ReportElement::Kind> kinds = {
        {QStringLiteral("text"), ReportElement::Kind::Text},
        {QStringLiteral("field"), ReportElement::Kind::Field},
        {QStringLiteral("line"), ReportElement::Kind::Line},
        {QStringLiteral("box"), ReportElement::Kind::Box},
        {QStringLiteral("image"), ReportElement::Kind::Image},
        {QStringLiteral("barcode"), ReportElement::Kind::Barcode},
        {QStringLiteral("chart"), ReportElement::Kind::Chart},
    };
    return kinds;
}

QString stripBrackets(QString s)
{
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith(u'[') && s.endsWith(u']'))
        s = s.mid(1, s.size() - 2).trimmed();
    return s;
}

// Splits at commas that are not inside braces or quotes.
QStringList splitTopLevel(const QString& s)
{
    QStringList out;
    QString cur;
    int depth = 0;
    bool quoted = false;
    for (const QChar c : s) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'{')
            ++depth;
        else if (!quoted && c == u'}')
            --depth;
        if (c == u',' && depth == 0 && !quoted) {
            out.append(cur.trimmed());
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.trimmed().isEmpty())
        out.append(cur.trimmed());
    return out;
}

} // namespace

QString DefinitionParser::readValue(const QString& s, qsizetype& i, int line)
{
    QString v;
    if (i < s.size() && s[i] == u'"') {
        ++i;
        for (;;) {
            if (i >= s.size())
                fail(line, QStringLiteral("a text in quotes is not closed"));
            const QChar c = s[i++];
            if (c == u'"') {
                if (i < s.size() && s[i] == u'"') {
                    v += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            v += c;
        }
        return v;
    }
    if (i < s.size() && (s[i] == u'{' || ((s[i] == u'+' || s[i] == u'-') && i + 1 < s.size() && s[i + 1] == u'{'))) {
        const qsizetype close = s.indexOf(u'}', i);
        if (close < 0)
            fail(line, QStringLiteral("a field reference is not closed with }"));
        v = s.mid(i, close - i + 1);
        i = close + 1;
        return v;
    }
    while (i < s.size() && !s[i].isSpace())
        v += s[i++];
    return v;
}

Line DefinitionParser::split(const QString& text, int number)
{
    Line l;
    l.number = number;
    qsizetype i = 0;
    const QString s = text;
    while (i < s.size() && s[i].isSpace())
        ++i;
    const qsizetype kStart = i;
    while (i < s.size() && !s[i].isSpace())
        ++i;
    l.keyword = s.mid(kStart, i - kStart).toLower();
    l.rest = s.mid(i).trimmed();
    for (;;) {
        while (i < s.size() && s[i].isSpace())
            ++i;
        if (i >= s.size())
            break;
        if (s[i] == u':' && (i + 1 == s.size() || s[i + 1].isSpace())) {
            l.content = s.mid(i + 1).trimmed();
            l.hasContent = true;
            break;
        }
        if (s[i] == u'"' || s[i] == u'{' || s[i] == u'+' || s[i] == u'-') {
            l.words.append(readValue(s, i, number));
            continue;
        }
        const qsizetype nStart = i;
        while (i < s.size() && !s[i].isSpace() && s[i] != u'=')
            ++i;
        Attr a;
        a.name = s.mid(nStart, i - nStart).toLower();
        if (i < s.size() && s[i] == u'=') {
            ++i;
            a.value = readValue(s, i, number);
            l.attrs.append(a);
        } else {
            a.flag = true;
            a.value = s.mid(nStart, i - nStart);   // the word as written
            l.attrs.append(a);
        }
    }
    return l;
}

double DefinitionParser::length(const QString& text, int line) const
{
    static const QRegularExpression re(QStringLiteral("^(-?(?:\\d+\\.?\\d*|\\.\\d+))\\s*(in|mm|cm|pt|tw)?$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        fail(line, QStringLiteral("\"%1\" is not a length (a number with in, mm, cm, pt or tw)").arg(text));
    const double n = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    double points = n;
    if (unit == QLatin1String("in")) points = n * 72.0;
    else if (unit == QLatin1String("mm")) points = n * 72.0 / 25.4;
    else if (unit == QLatin1String("cm")) points = n * 72.0 / 2.54;
    else if (unit == QLatin1String("tw")) points = n / 20.0;
    // Far beyond any sheet of paper: a band that long would run to endless pages.
    if (std::abs(points) > maxLength)
        fail(line, QStringLiteral("\"%1\" is longer than any page (at most 100 in)").arg(text));
    return points;
}

QColor DefinitionParser::colour(const QString& text, int line) const
{
    if (text.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return QColor();
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        fail(line, QStringLiteral("\"%1\" is not a colour (#rrggbb or a colour name)").arg(text));
    return c;
}

bool DefinitionParser::yesNo(const Attr& a, int line) const
{
    if (a.flag)
        return true;
    const QString v = a.value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("true"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("false"))
        return false;
    fail(line, QStringLiteral("%1 wants yes or no, not \"%2\"").arg(a.name, a.value));
}

Formula DefinitionParser::formula(const QString& text, int line) const
{
    try {
        return Formula::parse(expandNamed(text, line));
    } catch (const FormulaError& e) {
        fail(line, e.text());
    }
}

// {@name} outside quoted texts stands for the named formula, in parentheses. Names are
// expanded when a formula is read, so a named formula may use those defined before it.
QString DefinitionParser::expandNamed(const QString& text, int line) const
{
    if (!text.contains(QLatin1String("{@")))
        return text;
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c == u'{' && i + 1 < text.size() && text[i + 1] == u'@') {
            const qsizetype close = text.indexOf(u'}', i);
            if (close < 0)
                fail(line, QStringLiteral("a formula name is not closed with }"));
            const QString name = text.mid(i + 2, close - i - 2).trimmed();
            const auto it = named_.constFind(name.toLower());
            if (it == named_.constEnd())
                fail(line, QStringLiteral("there is no formula named \"%1\" before this line").arg(name));
            out += *it;
            i = close;
            continue;
        }
        out += c;
    }
    return out;
}

void DefinitionParser::namedFormula(const Line& l)
{
    // formula <name> : <expression>
    static const QRegularExpression nameRe(QStringLiteral("^[A-Za-z_][A-Za-z0-9_ ]*$"));
    const qsizetype colon = l.rest.indexOf(QLatin1String(" : "));
    const QString name = colon < 0 ? QString() : l.rest.left(colon).trimmed();
    if (colon < 0 || !nameRe.match(name).hasMatch())
        fail(l.number, QStringLiteral("formula wants: formula <name> : <expression>"));
    const QString text = l.rest.mid(colon + 3).trimmed();
    if (text.isEmpty())
        fail(l.number, QStringLiteral("formula %1 needs an expression after \" : \"").arg(name));
    const QString expanded = expandNamed(text, l.number);
    formula(expanded, l.number);   // a fault is named on the line that defines the formula
    named_.insert(name.toLower(), u'(' + expanded + u')');
}

void DefinitionParser::applyElementAttr(ReportElement& e, const Attr& a, int line)
{
    const QString& n = a.name;
    auto need = [&]() {
        if (a.flag)
            fail(line, QStringLiteral("%1 needs a value (%1=...)").arg(n));
        return a.value;
    };
    if (n == QLatin1String("x")) e.rect.moveLeft(length(need(), line));
    else if (n == QLatin1String("y")) e.rect.moveTop(length(need(), line));
    else if (n == QLatin1String("w")) e.rect.setWidth(length(need(), line));
    else if (n == QLatin1String("h")) e.rect.setHeight(length(need(), line));
    else if (n == QLatin1String("if")) e.condition = formula(need(), line);
    else if (n == QLatin1String("font")) e.font.setFamily(need());
    else if (n == QLatin1String("size")) {
        bool ok = false;
        const double pt = need().toDouble(&ok);
        if (!ok || pt <= 0 || pt > maxFontPoints)
            fail(line, QStringLiteral("size wants a number of points (up to 1000)"));
        e.font.setPointSizeF(pt);
    }
    else if (n == QLatin1String("bold")) e.font.setBold(yesNo(a, line));
    else if (n == QLatin1String("italic")) e.font.setItalic(yesNo(a, line));
    else if (n == QLatin1String("underline")) e.font.setUnderline(yesNo(a, line));
    else if (n == QLatin1String("color")) e.color = colour(need(), line);
    else if (n == QLatin1String("fill")) e.fill = colour(need(), line);
    else if (n == QLatin1String("border")) e.borderWidth = length(need(), line);
    else if (n == QLatin1String("border-color")) e.borderColor = colour(need(), line);
    else if (n == QLatin1String("width")) e.lineWidth = length(need(), line);
    else if (n == QLatin1String("radius")) e.radius = length(need(), line);
    else if (n == QLatin1String("padding")) e.padding = length(need(), line);
    else if (n == QLatin1String("align")) {
        const QString v = need().toLower();
        e.align &= ~Qt::AlignHorizontal_Mask;
        if (v == QLatin1String("left")) e.align |= Qt::AlignLeft;
        else if (v == QLatin1String("center") || v == QLatin1String("centre")) e.align |= Qt::AlignHCenter;
        else if (v == QLatin1String("right")) e.align |= Qt::AlignRight;
        else if (v == QLatin1String("justify")) e.align |= Qt::AlignJustify;
        else fail(line, QStringLiteral("align wants left, center, right or justify"));
    }
    else if (n == QLatin1String("valign")) {
        const QString v = need().toLower();
        e.align &= ~Qt::AlignVertical_Mask;
        if (v == QLatin1String("top")) e.align |= Qt::AlignTop;
        else if (v == QLatin1String("middle") || v == QLatin1String("center")) e.align |= Qt::AlignVCenter;
        else if (v == QLatin1String("bottom")) e.align |= Qt::AlignBottom;
        else fail(line, QStringLiteral("valign wants top, middle or bottom"));
    }
    else if (n == QLatin1String("wrap")) e.wrap = yesNo(a, line);
    else if (n == QLatin1String("grow")) { e.grow = yesNo(a, line); e.wrap = e.wrap || e.grow; }
    else if (n == QLatin1String("shrink")) e.shrink = yesNo(a, line);
    else if (n == QLatin1String("format")) e.format = need();
    else if (n == QLatin1String("blank-zero")) e.blankZero = yesNo(a, line);
    else if (n == QLatin1String("fit")) {
        const QString v = need().toLower();
        if (v == QLatin1String("contain")) e.fit = ReportElement::Fit::Contain;
        else if (v == QLatin1String("stretch")) e.fit = ReportElement::Fit::Stretch;
        else if (v == QLatin1String("cover")) e.fit = ReportElement::Fit::Cover;
        else fail(line, QStringLiteral("fit wants contain, stretch or cover"));
    }
    else if (n == QLatin1String("file")) e.text = need();
    else if (n == QLatin1String("symbology")) {
        if (need().compare(QLatin1String("code39"), Qt::CaseInsensitive) != 0)
            fail(line, QStringLiteral("the only barcode symbology is code39"));
    }
    else if (n == QLatin1String("text")) e.showText = yesNo(a, line);
    else if (n == QLatin1String("category")) e.category = formula(need(), line);
    else if (n == QLatin1String("value")) e.value = formula(need(), line);
    else if (n == QLatin1String("aggregate")) {
        const QString v = need().toLower();
        if (v == QLatin1String("sum")) e.aggregate = ReportElement::Aggregate::Sum;
        else if (v == QLatin1String("count")) e.aggregate = ReportElement::Aggregate::Count;
        else if (v == QLatin1String("avg")) e.aggregate = ReportElement::Aggregate::Avg;
        else if (v == QLatin1String("min")) e.aggregate = ReportElement::Aggregate::Min;
        else if (v == QLatin1String("max")) e.aggregate = ReportElement::Aggregate::Max;
        else fail(line, QStringLiteral("aggregate wants sum, count, avg, min or max"));
    }
    else if (n == QLatin1String("bars")) {
        bool ok = false;
        e.maxBars = need().toInt(&ok);
        if (!ok || e.maxBars < 0)
            fail(line, QStringLiteral("bars wants a whole number"));
    }
    else if (n == QLatin1String("order")) {
        const QString v = need().toLower();
        if (v == QLatin1String("value")) e.sortByValue = true;
        else if (v == QLatin1String("category")) e.sortByValue = false;
        else fail(line, QStringLiteral("order wants category or value"));
    }
    else if (n == QLatin1String("scale")) {
        const QString v = need().toLower();
        if (v == QLatin1String("shared")) e.sharedScale = true;
        else if (v == QLatin1String("own")) e.sharedScale = false;
        else fail(line, QStringLiteral("scale wants own or shared"));
    }
    else fail(line, QStringLiteral("unknown attribute \"%1\"").arg(n));
}

void DefinitionParser::element(const Line& l)
{
    if (!band_)
        fail(l.number, QStringLiteral("%1 must follow a band line").arg(l.keyword));
    ReportElement e;
    e.kind = elementKinds().value(l.keyword);
    e.line = l.number;
    e.font = def_.font;
    if (e.kind == ReportElement::Kind::Box || e.kind == ReportElement::Kind::Line)
        e.borderWidth = 0.75;
    if (e.kind == ReportElement::Kind::Line)
        e.rect = QRectF(0, 0, 0, 0);
    if (!l.words.isEmpty())
        fail(l.number, QStringLiteral("unexpected \"%1\" (attributes are written name=value)").arg(l.words.first()));
    for (const Attr& a : l.attrs) {
        if (a.name == QLatin1String("style")) {
            const auto it = styles_.constFind(a.value.toLower());
            if (it == styles_.constEnd())
                fail(l.number, QStringLiteral("unknown style \"%1\"").arg(a.value));
            for (const Attr& s : *it)
                applyElementAttr(e, s, l.number);
        }
    }
    for (const Attr& a : l.attrs)
        if (a.name != QLatin1String("style"))
            applyElementAttr(e, a, l.number);
    switch (e.kind) {
    case ReportElement::Kind::Text:
        e.text = l.content;
        break;
    case ReportElement::Kind::Field:
    case ReportElement::Kind::Barcode:
        if (!l.hasContent || l.content.isEmpty())
            fail(l.number, QStringLiteral("%1 needs what it shows after \" : \"").arg(l.keyword));
        e.value = formula(l.content, l.number);
        break;
    case ReportElement::Kind::Image:
        if (l.hasContent && !l.content.isEmpty())
            e.value = formula(l.content, l.number);
        else if (e.text.isEmpty())
            fail(l.number, QStringLiteral("image needs a picture field after \" : \" or file=..."));
        break;
    case ReportElement::Kind::Chart:
        if (e.category.isEmpty() || (e.value.isEmpty() && e.aggregate != ReportElement::Aggregate::Count))
            fail(l.number, QStringLiteral("chart needs category=... and value=..."));
        e.text = l.content;
        break;
    case ReportElement::Kind::Line:
    case ReportElement::Kind::Box:
        if (l.hasContent)
            fail(l.number, QStringLiteral("%1 shows no content").arg(l.keyword));
        break;
    }
    if (e.kind != ReportElement::Kind::Line && (e.rect.width() <= 0 || e.rect.height() <= 0))
        fail(l.number, QStringLiteral("%1 needs a width and a height (w=... h=...)").arg(l.keyword));
    band_->elements.push_back(std::move(e));
    lastElement_ = &band_->elements.back();
}

void DefinitionParser::band(const Line& l)
{
    // band <kind> [<group number>] attributes...
    QList<Attr> attrs = l.attrs;
    if (attrs.isEmpty() || !attrs.first().flag)
        fail(l.number, QStringLiteral("band needs a kind (report-header, page-header, group-header, detail, group-footer, page-footer, report-footer)"));
    const QString kindWord = attrs.takeFirst().name;
    if (!bandKinds().contains(kindWord))
        fail(l.number, QStringLiteral("unknown band kind \"%1\"").arg(kindWord));
    ReportBand b;
    b.kind = bandKinds().value(kindWord);
    b.line = l.number;
    if (b.kind == BandKind::GroupHeader || b.kind == BandKind::GroupFooter) {
        bool ok = false;
        if (!attrs.isEmpty() && attrs.first().flag)
            b.level = attrs.takeFirst().name.toInt(&ok);
        if (!ok || b.level < 1)
            fail(l.number, QStringLiteral("a group band needs its group number (1 = the first group line)"));
    }
    if (!l.words.isEmpty())
        fail(l.number, QStringLiteral("unexpected \"%1\"").arg(l.words.first()));
    for (const Attr& a : attrs) {
        if (a.name == QLatin1String("height")) b.height = length(a.value, l.number);
        else if (a.name == QLatin1String("if")) b.condition = formula(a.value, l.number);
        else if (a.name == QLatin1String("newpage-before")) b.newPageBefore = yesNo(a, l.number);
        else if (a.name == QLatin1String("newpage-after")) b.newPageAfter = yesNo(a, l.number);
        else if (a.name == QLatin1String("fill")) b.fill = colour(a.value, l.number);
        else if (a.name == QLatin1String("alternate")) b.alternateFill = colour(a.value, l.number);
        else fail(l.number, QStringLiteral("unknown band attribute \"%1\"").arg(a.name));
    }
    // A band of the same kind (and group) given again, as a twin that includes its letter file
    // may do, replaces the earlier one.
    for (auto it = def_.bands.begin(); it != def_.bands.end(); ++it) {
        if (it->kind == b.kind && it->level == b.level) {
            *it = std::move(b);
            band_ = &*it;
            lastElement_ = nullptr;
            return;
        }
    }
    def_.bands.push_back(std::move(b));
    band_ = &def_.bands.back();
    lastElement_ = nullptr;
}

void DefinitionParser::page(const Line& l)
{
    for (const Attr& a : l.attrs) {
        if (a.name == QLatin1String("size")) {
            const QString v = a.value.toLower();
            if (v == QLatin1String("letter")) def_.pageSize = QPageSize(QPageSize::Letter);
            else if (v == QLatin1String("a4")) def_.pageSize = QPageSize(QPageSize::A4);
            else if (v == QLatin1String("legal")) def_.pageSize = QPageSize(QPageSize::Legal);
            else {
                const QStringList wh = a.value.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
                if (wh.size() != 2)
                    fail(l.number, QStringLiteral("size wants letter, a4, legal or <width>x<height>"));
                def_.pageSize = QPageSize(QSizeF(length(wh[0], l.number), length(wh[1], l.number)), QPageSize::Point,
                                          QString(), QPageSize::ExactMatch);
            }
        } else if (a.name == QLatin1String("orientation")) {
            const QString v = a.value.toLower();
            if (v == QLatin1String("portrait")) def_.orientation = QPageLayout::Portrait;
            else if (v == QLatin1String("landscape")) def_.orientation = QPageLayout::Landscape;
            else fail(l.number, QStringLiteral("orientation wants portrait or landscape"));
        } else if (a.name == QLatin1String("margins")) {
            const QStringList m = a.value.split(u',');
            if (m.size() == 1) {
                const double v = length(m[0], l.number);
                def_.margins = QMarginsF(v, v, v, v);
            } else if (m.size() == 4) {
                // top, right, bottom, left
                def_.margins = QMarginsF(length(m[3], l.number), length(m[0], l.number), length(m[1], l.number), length(m[2], l.number));
            } else {
                fail(l.number, QStringLiteral("margins wants one length or four (top,right,bottom,left)"));
            }
        } else {
            fail(l.number, QStringLiteral("unknown page attribute \"%1\"").arg(a.name));
        }
    }
    const QRectF content = def_.contentRect();
    if (content.width() < ReportDefinition::minContent || content.height() < ReportDefinition::minContent)
        fail(l.number, QStringLiteral("the page size and margins leave less than 1in by 1in to print in"));
}

void DefinitionParser::labels(const Line& l)
{
    LabelSheet s;
    bool pitchAcross = false, pitchDown = false;
    for (const Attr& a : l.attrs) {
        auto count = [&]() {
            bool ok = false;
            const int n = a.value.toInt(&ok);
            if (!ok || n < 1 || n > 100)
                fail(l.number, QStringLiteral("%1 wants a whole number from 1 to 100").arg(a.name));
            return n;
        };
        if (a.name == QLatin1String("columns")) s.columns = count();
        else if (a.name == QLatin1String("rows")) s.rows = count();
        else if (a.name == QLatin1String("width")) s.size.setWidth(length(a.value, l.number));
        else if (a.name == QLatin1String("height")) s.size.setHeight(length(a.value, l.number));
        else if (a.name == QLatin1String("across")) { s.pitch.setWidth(length(a.value, l.number)); pitchAcross = true; }
        else if (a.name == QLatin1String("down")) { s.pitch.setHeight(length(a.value, l.number)); pitchDown = true; }
        else if (a.name == QLatin1String("left")) s.origin.setX(length(a.value, l.number));
        else if (a.name == QLatin1String("top")) s.origin.setY(length(a.value, l.number));
        else if (a.name == QLatin1String("order")) {
            const QString v = a.value.toLower();
            if (v == QLatin1String("across")) s.acrossFirst = true;
            else if (v == QLatin1String("down")) s.acrossFirst = false;
            else fail(l.number, QStringLiteral("order wants across or down"));
        } else {
            fail(l.number, QStringLiteral("unknown labels attribute \"%1\"").arg(a.name));
        }
    }
    if (s.size.width() <= 0 || s.size.height() <= 0)
        fail(l.number, QStringLiteral("labels needs the label's width=... and height=..."));
    if (!pitchAcross)
        s.pitch.setWidth(s.size.width());
    if (!pitchDown)
        s.pitch.setHeight(s.size.height());
    def_.labels = s;
}

void DefinitionParser::group(const Line& l)
{
    if (l.words.size() != 1)
        fail(l.number, QStringLiteral("group needs one field, as {Table.Field}"));
    ReportGroup g;
    g.line = l.number;
    g.key = formula(l.words.first(), l.number);
    if (g.key.isEmpty() || g.key.root()->kind != FormulaNode::Kind::Field)
        fail(l.number, QStringLiteral("group needs one field, as {Table.Field}"));
    g.field = g.key.root()->field;
    for (const Attr& a : l.attrs) {
        if (a.name == QLatin1String("descending")) g.descending = yesNo(a, l.number);
        else if (a.name == QLatin1String("ascending")) g.descending = !yesNo(a, l.number);
        else if (a.name == QLatin1String("newpage")) g.newPage = yesNo(a, l.number);
        else if (a.name == QLatin1String("repeat-header")) g.repeatHeader = yesNo(a, l.number);
        else fail(l.number, QStringLiteral("unknown group attribute \"%1\"").arg(a.name));
    }
    def_.groups.append(g);
}

void DefinitionParser::handle(const Line& l, const QString& folder, int depth)
{
    const QString& k = l.keyword;
    if (elementKinds().contains(k)) {
        element(l);
        return;
    }
    band_ = k == QLatin1String("band") ? band_ : nullptr;
    lastElement_ = nullptr;
    if (k == QLatin1String("band")) {
        band(l);
    } else if (k == QLatin1String("report")) {
        for (const Attr& a : l.attrs) {
            if (a.name == QLatin1String("title")) def_.title = a.value;
            else fail(l.number, QStringLiteral("unknown report attribute \"%1\"").arg(a.name));
        }
    } else if (k == QLatin1String("data")) {
        for (const Attr& a : l.attrs) {
            if (a.name == QLatin1String("database")) def_.database = a.value;
            else if (a.name == QLatin1String("table")) def_.table = stripBrackets(a.value);
            else fail(l.number, QStringLiteral("unknown data attribute \"%1\"").arg(a.name));
        }
    } else if (k == QLatin1String("join")) {
        static const QRegularExpression re(
            QStringLiteral("^(\\[[^\\]]+\\]|\\S+)\\s+on\\s+(\\{[^}]*\\})\\s*=\\s*(\\{[^}]*\\})\\s*(inner)?$"),
            QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(l.rest);
        if (!m.hasMatch())
            fail(l.number, QStringLiteral("join wants: join <Table> on {A.Field} = {B.Field} [inner]"));
        ReportJoin j;
        j.table = stripBrackets(m.captured(1));
        j.left = formula(m.captured(2), l.number).root()->field;
        j.right = formula(m.captured(3), l.number).root()->field;
        j.inner = !m.captured(4).isEmpty();
        def_.joins.append(j);
    } else if (k == QLatin1String("lookup")) {
        if (l.words.isEmpty() && l.attrs.isEmpty())
            fail(l.number, QStringLiteral("lookup needs a table name"));
        for (const QString& w : l.words)
            def_.lookups.append(stripBrackets(w));
        for (const Attr& a : l.attrs) {
            if (!a.flag)
                fail(l.number, QStringLiteral("lookup wants table names only"));
            def_.lookups.append(stripBrackets(a.value));
        }
    } else if (k == QLatin1String("formula")) {
        namedFormula(l);
    } else if (k == QLatin1String("select")) {
        def_.selection = formula(l.rest, l.number);
    } else if (k == QLatin1String("order")) {
        def_.order.clear();
        for (const QString& s : splitTopLevel(l.rest)) {
            try {
                def_.order.append(SortField::parse(s));
            } catch (const FormulaError& e) {
                fail(l.number, e.text());
            }
        }
    } else if (k == QLatin1String("group")) {
        group(l);
    } else if (k == QLatin1String("page")) {
        page(l);
    } else if (k == QLatin1String("labels")) {
        labels(l);
    } else if (k == QLatin1String("dates")) {
        const QString order = l.rest.trimmed().toLower();
        if (order == QLatin1String("day-first")) def_.dateOrder = DateOrder::DayFirst;
        else if (order == QLatin1String("month-first")) def_.dateOrder = DateOrder::MonthFirst;
        else fail(l.number, QStringLiteral("dates wants day-first or month-first"));
    } else if (k == QLatin1String("font")) {
        for (const Attr& a : l.attrs) {
            if (a.name == QLatin1String("family")) def_.font.setFamily(a.value);
            else if (a.name == QLatin1String("size")) {
                bool ok = false;
                const double pt = a.value.toDouble(&ok);
                if (!ok || pt <= 0 || pt > maxFontPoints)
                    fail(l.number, QStringLiteral("size wants a number of points (up to 1000)"));
                def_.font.setPointSizeF(pt);
            } else {
                fail(l.number, QStringLiteral("unknown font attribute \"%1\"").arg(a.name));
            }
        }
    } else if (k == QLatin1String("style")) {
        if (l.attrs.isEmpty() || !l.attrs.first().flag)
            fail(l.number, QStringLiteral("style wants a name, then attributes"));
        QList<Attr> attrs = l.attrs.mid(1);
        ReportElement probe;   // checks the attributes now, so a typo names the style's own line
        for (const Attr& a : attrs)
            applyElementAttr(probe, a, l.number);
        styles_.insert(l.attrs.first().name, attrs);
    } else if (k == QLatin1String("include")) {
        const QString name = l.rest.trimmed();
        if (name.isEmpty())
            fail(l.number, QStringLiteral("include needs a file name"));
        if (depth >= maxIncludeDepth)
            fail(l.number, QStringLiteral("includes are nested too deeply"));
        const QString path = resolveNoCase(QDir(folder).filePath(name));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            fail(l.number, QStringLiteral("the included file %1 was not found").arg(name));
        const QString saved = currentFile_;
        currentFile_ = QFileInfo(path).fileName();
        parseText(QString::fromUtf8(f.readAll()), QFileInfo(path).absolutePath(), depth + 1);
        currentFile_ = saved;
        band_ = nullptr;
    } else {
        fail(l.number, QStringLiteral("unknown line \"%1\"").arg(l.keyword));
    }
}

void DefinitionParser::parseText(const QString& text, const QString& folder, int depth)
{
    if (currentFile_.isEmpty())
        currentFile_ = file_;
    const QStringList lines = text.split(u'\n');
    // Lines beginning with "|" continue the line before: a text's next line, or more of a
    // long formula.
    QList<QPair<int, QString>> joined;
    for (int i = 0; i < lines.size(); ++i) {
        QString s = lines[i];
        if (s.endsWith(u'\r'))
            s.chop(1);
        const QString t = s.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        if (t.startsWith(u'|')) {
            if (joined.isEmpty())
                fail(i + 1, QStringLiteral("a continued line (|) with nothing before it"));
            const QString more = t.mid(1).startsWith(u' ') ? t.mid(2) : t.mid(1);
            const QString& head = joined.last().second;
            const bool textContent = head.trimmed().startsWith(QLatin1String("text"), Qt::CaseInsensitive);
            joined.last().second += (textContent ? QStringLiteral("\n") : QStringLiteral(" ")) + more;
            continue;
        }
        joined.append({i + 1, s});
    }
    for (const auto& [number, s] : joined) {
        Line l = split(s, number);
        if (l.keyword == QLatin1String("text") && l.hasContent) {
            // A text's content keeps its own line breaks and blanks; only the first is trimmed.
            const qsizetype colon = s.indexOf(QLatin1String(" : "));
            if (colon >= 0)
                l.content = s.mid(colon + 3);
        }
        handle(l, folder, depth);
    }
}

void DefinitionParser::finish()
{
    if (def_.table.isEmpty())
        throw ReportError(QStringLiteral("%1: the data line names no table (data table=...)").arg(file_));
    for (const ReportBand& b : def_.bands)
        if (b.level > def_.groups.size())
            throw ReportError(QStringLiteral("%1, line %2: there is no group %3").arg(file_).arg(b.line).arg(b.level));
    def_.bindSlots();
}

// ---------------------------------------------------------------------------------------------

bool ReportBand::hasGrowingElements() const
{
    for (const ReportElement& e : elements)
        if (e.grow)
            return true;
    return false;
}

ReportDefinition ReportDefinition::load(const QString& path)
{
    QFile f(path);
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile())
        throw ReportError(QStringLiteral("the report file %1 was not found").arg(name));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ReportError(QStringLiteral("the report file %1 cannot be read: %2").arg(name, f.errorString()));
    return parse(QString::fromUtf8(f.readAll()), name, QFileInfo(path).absolutePath());
}

ReportDefinition ReportDefinition::parse(const QString& text, const QString& fileName, const QString& folder)
{
    ReportDefinition def;
    def.fileName = fileName;
    def.font = QFont(QStringLiteral("Liberation Sans"));
    def.font.setPointSizeF(9);
    def.font.setHintingPreference(QFont::PreferNoHinting);
    DefinitionParser p(def, fileName);
    p.parseText(text, folder, 0);
    p.finish();
    if (def.title.isEmpty())
        def.title = QFileInfo(fileName).completeBaseName();
    return def;
}

const ReportBand* ReportDefinition::band(BandKind kind, int level) const
{
    for (const ReportBand& b : bands)
        if (b.kind == kind && b.level == level)
            return &b;
    return nullptr;
}

QSizeF ReportDefinition::pageSizePoints() const
{
    const QSizeF s = pageSize.size(QPageSize::Point);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

QRectF ReportDefinition::contentRect() const
{
    const QSizeF s = pageSizePoints();
    return QRectF(margins.left(), margins.top(), s.width() - margins.left() - margins.right(),
                  s.height() - margins.top() - margins.bottom());
}

bool ReportDefinition::isLookup(const QString& table) const
{
    for (const QString& t : lookups)
        if (t.compare(table, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void ReportDefinition::bindSlots()
{
    dataFields_.clear();
    lookupFields_.clear();
    auto slotFor = [&](const FieldRef& r) {
        QList<FieldRef>& list = isLookup(r.table) ? lookupFields_ : dataFields_;
        for (int i = 0; i < list.size(); ++i)
            if (list[i].matches(r))
                return i;
        list.append(r);
        return int(list.size() - 1);
    };
    QList<const Formula*> all;
    for (const ReportGroup& g : groups)
        all.append(&g.key);
    for (const ReportBand& b : bands) {
        all.append(&b.condition);
        for (const ReportElement& e : b.elements) {
            all.append(&e.value);
            all.append(&e.category);
            all.append(&e.condition);
        }
    }
    // Data fields first, so that lookup slots can follow them.
    for (const Formula* f : all)
        f->forEachNode([&](const FormulaNode& n) {
            if (n.kind == FormulaNode::Kind::Field && !isLookup(n.field.table))
                n.slot = slotFor(n.field);
        });
    for (const Formula* f : all)
        f->forEachNode([&](const FormulaNode& n) {
            if (n.kind == FormulaNode::Kind::Field && isLookup(n.field.table))
                n.slot = int(dataFields_.size()) + slotFor(n.field);
        });
}
