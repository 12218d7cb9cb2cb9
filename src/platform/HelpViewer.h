#pragma once

#include "platform/HelpFile.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

// The help window: a contents list, a keyword index searched as the user types, and the topic
// pages with links between them. Not modal; the program keeps one (see Help.cpp). Its caption
// is "Help - " and the title of the topic shown.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Reads the help file when it is another one or has changed since it was read.
    void setHelpFile(const QString& path);
    void showTopic(int contextNumber);
    void showContents();
    void showSearch(const QString& keyword);   // the index, with the keyword typed in

    const HelpFile& helpFile() const { return m_help; }
    int currentTopic() const { return m_current; }   // -1 when no topic is shown
    QString pageText() const;                        // what the page shows, as plain text

    QListWidget* contentsList() const { return m_contents; }
    QLineEdit* keywordBox() const { return m_keywordBox; }
    QListWidget* keywordList() const { return m_keywords; }
    QListWidget* topicList() const { return m_keywordTopics; }

private:
    void fillLists();
    void display(int number, bool remember);
    void showNotice(const QString& text);
    void filterKeywords(const QString& typed);
    void keywordChosen();
    void openLink(const QUrl& url);
    void goBack();

    HelpFile m_help;
    QDateTime m_readStamp;
    int m_current = -1;
    QList<int> m_history;

    QTabWidget* m_tabs;
    QListWidget* m_contents;
    QLineEdit* m_keywordBox;
    QListWidget* m_keywords;
    QListWidget* m_keywordTopics;
    QPushButton* m_display;
    QPushButton* m_back;
    QTextBrowser* m_page;
};
