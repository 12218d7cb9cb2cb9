#include "support/RecordingHelp.h"

RecordingHelp::RecordingHelp()
    : m_previous(&HelpService::get())
{
    HelpService::install(this);
}

RecordingHelp::~RecordingHelp()
{
    if (&HelpService::get() == this)
        HelpService::install(m_previous);
}

QList<int> RecordingHelp::topics() const
{
    QList<int> out;
    for (const Call& c : m_calls)
        if (c.kind == Call::Topic)
            out << c.topic;
    return out;
}

void RecordingHelp::showTopic(const QString& helpFile, int contextNumber)
{
    m_calls.append({Call::Topic, helpFile, contextNumber, {}});
}

void RecordingHelp::showContents(const QString& helpFile)
{
    m_calls.append({Call::Contents, helpFile, 0, {}});
}

void RecordingHelp::search(const QString& helpFile, const QString& keyword)
{
    m_calls.append({Call::Search, helpFile, 0, keyword});
}

void RecordingHelp::quit()
{
    m_calls.append({Call::Quit, {}, 0, {}});
}
