#pragma once

#include "platform/Help.h"

#include <QList>
#include <QString>

// Records every help call instead of opening the help window. Installed for its lifetime.
class RecordingHelp : public HelpService {
public:
    struct Call {
        enum Kind { Topic, Contents, Search, Quit };
        Kind kind = Topic;
        QString helpFile;   // empty for Quit
        int topic = 0;      // Topic only
        QString keyword;    // Search only

        bool operator==(const Call& o) const
        {
            return kind == o.kind && helpFile == o.helpFile && topic == o.topic && keyword == o.keyword;
        }
    };

    RecordingHelp();
    ~RecordingHelp() override;
    RecordingHelp(const RecordingHelp&) = delete;
    RecordingHelp& operator=(const RecordingHelp&) = delete;

    const QList<Call>& calls() const { return m_calls; }
    QList<int> topics() const;   // the numbers of the Topic calls, in order
    void clear() { m_calls.clear(); }

    void showTopic(const QString& helpFile, int contextNumber) override;
    void showContents(const QString& helpFile) override;
    void search(const QString& helpFile, const QString& keyword) override;
    void quit() override;

private:
    HelpService* m_previous;
    QList<Call> m_calls;
};
