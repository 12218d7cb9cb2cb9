#include "platform/HelpFile.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QRegularExpression& linkPattern()
{
    static const QRegularExpression re(QStringLiteral("\\[\\[\\s*(contents|\\d+)\\s*(?:\\|([^\\]]*))?\\]\\]"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

int linkNumber(const QString& target)
{
    return target.compare(QLatin1String("contents"), Qt::CaseInsensitive) == 0 ? HelpFile::ContentsNumber
                                                                                : target.toInt();
}

bool lessNoCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

HelpFile HelpFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        HelpFile none;
        none.m_path = path;
        return none;
    }
    HelpFile help = parse(QString::fromUtf8(file.readAll()));
    help.m_path = path;
    return help;
}

HelpFile HelpFile::parse(const QString& text)
{
    HelpFile help;
    help.m_loaded = true;
    QHash<int, int> seen;   // number -> line
    HelpTopic* current = nullptr;
    QStringList body;
    auto finish = [&] {
        if (current) {
            while (!body.isEmpty() && body.last().trimmed().isEmpty())
                body.removeLast();
            current->body = body.join(QLatin1Char('\n'));
        }
        body.clear();
    };
    auto startTopic = [&](int number, const QString& title, int line) {
        finish();
        if (seen.contains(number)) {
            help.m_errors << QStringLiteral("line %1: topic %2 was already defined on line %3")
                                 .arg(line).arg(number).arg(seen.value(number));
        }
        seen.insert(number, line);
        if (title.isEmpty())
            help.m_errors << QStringLiteral("line %1: the topic has no title").arg(line);
        help.m_topics.append(HelpTopic{number, title, {}, {}, line});
        current = &help.m_topics.last();
    };

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (!line.startsWith(QLatin1Char('@'))) {
            if (current)
                body << line;
            else if (!line.trimmed().isEmpty())
                help.m_errors << QStringLiteral("line %1: text outside a topic").arg(lineNo);
            continue;
        }
        const QString directive = line.section(QLatin1Char(' '), 0, 0).toLower();
        const QString rest = line.section(QLatin1Char(' '), 1).trimmed();
        if (directive == QLatin1String("@title")) {
            help.m_title = rest;
        } else if (directive == QLatin1String("@contents")) {
            startTopic(ContentsNumber, rest, lineNo);
        } else if (directive == QLatin1String("@topic")) {
            bool ok = false;
            const int number = rest.section(QLatin1Char(' '), 0, 0).toInt(&ok);
            if (!ok || number <= 0) {
                help.m_errors << QStringLiteral("line %1: a topic needs a context number above 0").arg(lineNo);
                finish();
                current = nullptr;
                continue;
            }
            startTopic(number, rest.section(QLatin1Char(' '), 1).trimmed(), lineNo);
        } else if (directive == QLatin1String("@keywords")) {
            if (!current) {
                help.m_errors << QStringLiteral("line %1: keywords outside a topic").arg(lineNo);
                continue;
            }
            for (const QString& k : rest.split(QLatin1Char(';'))) {
                const QString word = k.simplified();
                if (!word.isEmpty() && !current->keywords.contains(word, Qt::CaseInsensitive))
                    current->keywords << word;
            }
        } else {
            help.m_errors << QStringLiteral("line %1: unknown directive %2").arg(lineNo).arg(directive);
        }
    }
    finish();

    for (const HelpTopic& t : std::as_const(help.m_topics))
        for (int target : links(t))
            if (!seen.contains(target))
                help.m_errors << QStringLiteral("line %1: topic %2 links to topic %3, which does not exist")
                                     .arg(t.line).arg(t.number).arg(target);
    return help;
}

const HelpTopic* HelpFile::topic(int number) const
{
    for (const HelpTopic& t : m_topics)
        if (t.number == number)
            return &t;
    return nullptr;
}

QStringList HelpFile::keywords() const
{
    QStringList all;
    for (const HelpTopic& t : m_topics)
        for (const QString& k : t.keywords)
            if (!all.contains(k, Qt::CaseInsensitive))
                all << k;
    std::sort(all.begin(), all.end(), lessNoCase);
    return all;
}

QStringList HelpFile::matchKeywords(const QString& typed) const
{
    const QString key = typed.simplified();
    const QStringList all = keywords();
    if (key.isEmpty())
        return all;
    QStringList starting, containing;
    for (const QString& k : all) {
        if (k.startsWith(key, Qt::CaseInsensitive))
            starting << k;
        else if (k.contains(key, Qt::CaseInsensitive))
            containing << k;
    }
    return starting.isEmpty() ? containing : starting;
}

QList<const HelpTopic*> HelpFile::topicsForKeyword(const QString& keyword) const
{
    QList<const HelpTopic*> found;
    for (const HelpTopic& t : m_topics)
        if (t.keywords.contains(keyword.simplified(), Qt::CaseInsensitive))
            found << &t;
    return found;
}

QList<int> HelpFile::links(const HelpTopic& topic)
{
    QList<int> out;
    auto it = linkPattern().globalMatch(topic.body);
    while (it.hasNext())
        out << linkNumber(it.next().captured(1));
    return out;
}

QString HelpFile::html(const HelpTopic& topic) const
{
    // Inline markup of one block: escaped text, links, bold.
    auto inlineHtml = [this](const QString& raw) {
        QString out;
        qsizetype from = 0;
        auto it = linkPattern().globalMatch(raw);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            out += raw.mid(from, m.capturedStart() - from).toHtmlEscaped();
            const int number = linkNumber(m.captured(1));
            QString shown = m.captured(2).trimmed();
            if (shown.isEmpty()) {
                const HelpTopic* target = this->topic(number);
                shown = target ? target->title : QStringLiteral("topic %1").arg(number);
            }
            out += QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(number).arg(shown.toHtmlEscaped());
            from = m.capturedEnd();
        }
        out += raw.mid(from).toHtmlEscaped();
        static const QRegularExpression bold(QStringLiteral("\\*\\*(.+?)\\*\\*"));
        out.replace(bold, QStringLiteral("<b>\\1</b>"));
        return out;
    };

    enum Block { None, Paragraph, Bullets, Steps };
    Block block = None;
    QString html = QStringLiteral("<h2>%1</h2>\n").arg(topic.title.toHtmlEscaped());
    QString pending;   // text of the open paragraph or item
    auto flushText = [&] {
        if (pending.isEmpty())
            return;
        const QString text = inlineHtml(pending);
        html += block == Paragraph ? QStringLiteral("<p>%1</p>\n").arg(text) : QStringLiteral("<li>%1</li>\n").arg(text);
        pending.clear();
    };
    auto close = [&] {
        flushText();
        if (block == Bullets)
            html += QStringLiteral("</ul>\n");
        else if (block == Steps)
            html += QStringLiteral("</ol>\n");
        block = None;
    };
    static const QRegularExpression step(QStringLiteral("^\\d+\\.\\s+"));
    for (const QString& rawLine : topic.body.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty()) {
            close();
        } else if (line.startsWith(QLatin1String("=="))) {
            close();
            html += QStringLiteral("<h3>%1</h3>\n").arg(inlineHtml(line.mid(2).trimmed()));
        } else if (line.startsWith(QLatin1String("* "))) {
            if (block != Bullets) {
                close();
                html += QStringLiteral("<ul>\n");
                block = Bullets;
            }
            flushText();
            pending = line.mid(2).trimmed();
        } else if (const auto m = step.match(line); m.hasMatch()) {
            if (block != Steps) {
                close();
                html += QStringLiteral("<ol>\n");
                block = Steps;
            }
            flushText();
            pending = line.mid(m.capturedLength());
        } else {
            if (block == None)
                block = Paragraph;
            pending += (pending.isEmpty() ? QString() : QStringLiteral(" ")) + line;
        }
    }
    close();
    return html;
}
