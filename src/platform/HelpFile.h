#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The help file INVENT~2.HLP: UTF-8 text, topics keyed by their context numbers.
//
//   # a comment                   (a '#' in the first column; ignored)
//   @title <text>                 the help file's title, once, before the first topic
//   @contents <title>             starts the contents topic (what "Contents" shows)
//   @topic <number> <title>       starts the topic with that context number
//   @keywords word; other word    index keywords of the current topic (may be repeated)
//
// Every other line is body text of the current topic, in a light markup:
//   a blank line                  ends a paragraph, list or heading
//   == Heading                    a sub-heading
//   * text                        a bullet item
//   1. text                       a numbered step (any number followed by a dot and a blank)
//   **text**                      bold: the words on a button or menu, as the user sees them
//   [[1150]]                      a link to topic 1150, shown with that topic's title
//   [[1150|text]]                 a link to topic 1150, shown as text
//   [[contents]], [[contents|text]]   a link to the contents topic
// A line that follows a paragraph or an item without a blank line continues it. The text is
// shown as written: '<', '&' and the like need no escaping.
struct HelpTopic {
    int number = 0;            // the context number; 0 for the contents topic
    QString title;
    QStringList keywords;
    QString body;              // markup, as written
    int line = 0;              // where the topic starts in the file
};

class HelpFile
{
public:
    static constexpr int ContentsNumber = 0;

    // Reads a help file; a missing or unreadable file gives one that is not loaded.
    static HelpFile load(const QString& path);
    static HelpFile parse(const QString& text);

    bool isLoaded() const { return m_loaded; }
    QString path() const { return m_path; }
    QString title() const { return m_title; }
    // Mistakes in the file ("line 12: ..."): unknown directives, bad or repeated numbers, text
    // outside a topic, links to topics that do not exist.
    QStringList errors() const { return m_errors; }

    const QList<HelpTopic>& topics() const { return m_topics; }   // in file order
    const HelpTopic* topic(int number) const;
    const HelpTopic* contents() const { return topic(ContentsNumber); }

    // Every keyword once, sorted without regard to case.
    QStringList keywords() const;
    // Partial-key search: the keywords that begin with the typed text, without regard to case;
    // when none does, those that contain it. Empty text gives every keyword.
    QStringList matchKeywords(const QString& typed) const;
    QList<const HelpTopic*> topicsForKeyword(const QString& keyword) const;

    // A topic as the viewer shows it: its title as a heading, then the body. Links are
    // "topic:<number>" (the contents topic "topic:0").
    QString html(const HelpTopic& topic) const;
    // The topic numbers a topic's body links to, in order.
    static QList<int> links(const HelpTopic& topic);

private:
    bool m_loaded = false;
    QString m_path;
    QString m_title;
    QStringList m_errors;
    QList<HelpTopic> m_topics;
};
