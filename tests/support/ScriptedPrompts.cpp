#include "support/ScriptedPrompts.h"

#include "platform/AppInfo.h"

#include <QTest>

namespace {

const char* kindName(ScriptedPrompts::Recorded::Kind kind)
{
    return kind == ScriptedPrompts::Recorded::Input ? "input box" : "message box";
}

}  // namespace

ScriptedPrompts::ScriptedPrompts()
    : m_previous(&Prompts::get())
{
    Prompts::install(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    if (&Prompts::get() == this)
        Prompts::install(m_previous);
}

ScriptedPrompts& ScriptedPrompts::expectMessage(int answer)
{
    m_script.append({Recorded::Message, answer, QString()});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::answerInput(const QString& text)
{
    m_script.append({Recorded::Input, Ok, text});
    return *this;
}

QList<ScriptedPrompts::Recorded> ScriptedPrompts::messages() const
{
    QList<Recorded> result;
    for (const Recorded& r : m_log) {
        if (r.kind == Recorded::Message)
            result.append(r);
    }
    return result;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Recorded& r : m_log) {
        if (r.kind != Recorded::Beep)
            result.append(r.text);
    }
    return result;
}

int ScriptedPrompts::beeps() const
{
    int count = 0;
    for (const Recorded& r : m_log)
        count += r.kind == Recorded::Beep;
    return count;
}

bool ScriptedPrompts::verifyAllAnswered()
{
    if (m_script.isEmpty())
        return true;
    QStringList left;
    for (const Step& step : std::as_const(m_script)) {
        left.append(step.kind == Recorded::Input ? QStringLiteral("input \"%1\"").arg(step.text)
                                                 : QStringLiteral("message answer %1").arg(step.answer));
    }
    const QString failure = QStringLiteral("Scripted prompts never asked for: %1").arg(left.join(QStringLiteral(", ")));
    QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
    return false;
}

ScriptedPrompts::Recorded& ScriptedPrompts::record(Recorded::Kind kind, const QString& text, const QString& title)
{
    Recorded r;
    r.kind = kind;
    r.text = text;
    r.title = title;
    r.effectiveTitle = title.isEmpty() ? AppInfo::title : title;
    r.beepBefore = !m_log.isEmpty() && m_log.last().kind == Recorded::Beep;
    m_log.append(r);
    return m_log.last();
}

int ScriptedPrompts::message(const QString& text, int style, const QString& title)
{
    record(Recorded::Message, text, title).style = style;
    if (m_script.isEmpty() || m_script.first().kind != Recorded::Message) {
        const QString failure = QStringLiteral("Unexpected message box (style %1): \"%2\"%3")
                                    .arg(style)
                                    .arg(text, m_script.isEmpty() ? QString()
                                                                  : QStringLiteral(" while the script expects an %1")
                                                                        .arg(QLatin1String(kindName(m_script.first().kind))));
        QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
        return Ok;
    }
    int answer = m_script.takeFirst().answer;
    if (answer == Enter)
        answer = defaultAnswer(style);
    if (!answersOffered(style).contains(answer)) {
        const QString failure = QStringLiteral("Scripted answer %1 is not a button of a style %2 box: \"%3\"")
                                    .arg(answer)
                                    .arg(style)
                                    .arg(text);
        QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
    }
    return answer;
}

QString ScriptedPrompts::input(const QString& prompt, const QString& title, const QString& defaultText,
                               int xTwips, int yTwips)
{
    Recorded& r = record(Recorded::Input, prompt, title);
    r.defaultText = defaultText;
    r.x = xTwips;
    r.y = yTwips;
    if (m_script.isEmpty() || m_script.first().kind != Recorded::Input) {
        const QString failure = QStringLiteral("Unexpected input box: \"%1\"%2")
                                    .arg(prompt, m_script.isEmpty() ? QString()
                                                                    : QStringLiteral(" while the script expects a %1")
                                                                          .arg(QLatin1String(kindName(m_script.first().kind))));
        QTest::qFail(qPrintable(failure), __FILE__, __LINE__);
        return QString();
    }
    return m_script.takeFirst().text;
}

void ScriptedPrompts::beep()
{
    record(Recorded::Beep, QString(), QString());
}
