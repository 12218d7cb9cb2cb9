#include "platform/HelpViewer.h"

#include "platform/AppFolder.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString captionPrefix = QStringLiteral("Help");

}  // namespace

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(captionPrefix);
    setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    resize(820, 560);

    auto* contentsButton = new QPushButton(QStringLiteral("&Contents"), this);
    contentsButton->setObjectName(QStringLiteral("cmdContents"));
    auto* indexButton = new QPushButton(QStringLiteral("&Index"), this);
    indexButton->setObjectName(QStringLiteral("cmdIndex"));
    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_back->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton);
    buttons->addWidget(indexButton);
    buttons->addWidget(m_back);
    buttons->addStretch(1);

    m_tabs = new QTabWidget(this);
    m_contents = new QListWidget;
    m_contents->setObjectName(QStringLiteral("contentsList"));
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));

    auto* index = new QWidget;
    auto* typeLabel = new QLabel(QStringLiteral("&Type the first few letters of the word you're looking for:"), index);
    typeLabel->setWordWrap(true);
    m_keywordBox = new QLineEdit(index);
    m_keywordBox->setObjectName(QStringLiteral("keywordBox"));
    typeLabel->setBuddy(m_keywordBox);
    m_keywords = new QListWidget(index);
    m_keywords->setObjectName(QStringLiteral("keywordList"));
    auto* topicsLabel = new QLabel(QStringLiteral("Topics &found:"), index);
    m_keywordTopics = new QListWidget(index);
    m_keywordTopics->setObjectName(QStringLiteral("topicList"));
    m_keywordTopics->setMaximumHeight(110);
    topicsLabel->setBuddy(m_keywordTopics);
    m_display = new QPushButton(QStringLiteral("&Display"), index);
    m_display->setObjectName(QStringLiteral("cmdDisplay"));
    auto* indexLayout = new QVBoxLayout(index);
    indexLayout->addWidget(typeLabel);
    indexLayout->addWidget(m_keywordBox);
    indexLayout->addWidget(m_keywords, 1);
    indexLayout->addWidget(topicsLabel);
    indexLayout->addWidget(m_keywordTopics);
    indexLayout->addWidget(m_display, 0, Qt::AlignRight);
    m_tabs->addTab(index, QStringLiteral("Index"));

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setOpenLinks(false);
    m_page->document()->setDefaultStyleSheet(QStringLiteral(
        "h2 { color: #17375e; } h3 { color: #17375e; margin-top: 10px; } li { margin-bottom: 3px; }"));

    auto* split = new QSplitter(this);
    split->addWidget(m_tabs);
    split->addWidget(m_page);
    split->setStretchFactor(1, 1);
    // Room for the longest topic titles in the contents list without a sideways scroll bar.
    split->setSizes({300, 520});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split, 1);

    connect(contentsButton, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(indexButton, &QPushButton::clicked, this, [this] { showSearch(m_keywordBox->text()); });
    connect(m_back, &QPushButton::clicked, this, &HelpViewer::goBack);
    connect(m_contents, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        display(item->data(Qt::UserRole).toInt(), true);
    });
    connect(m_contents, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        display(item->data(Qt::UserRole).toInt(), true);
    });
    connect(m_keywordBox, &QLineEdit::textEdited, this, &HelpViewer::filterKeywords);
    connect(m_keywordBox, &QLineEdit::returnPressed, this, &HelpViewer::keywordChosen);
    connect(m_keywords, &QListWidget::currentRowChanged, this, [this](int row) {
        m_keywordTopics->clear();
        if (row < 0)
            return;
        for (const HelpTopic* t : m_help.topicsForKeyword(m_keywords->item(row)->text())) {
            auto* item = new QListWidgetItem(t->title, m_keywordTopics);
            item->setData(Qt::UserRole, t->number);
        }
        m_keywordTopics->setCurrentRow(0);
    });
    connect(m_keywords, &QListWidget::itemActivated, this, &HelpViewer::keywordChosen);
    connect(m_keywordTopics, &QListWidget::itemActivated, this, &HelpViewer::keywordChosen);
    connect(m_display, &QPushButton::clicked, this, &HelpViewer::keywordChosen);
    connect(m_page, &QTextBrowser::anchorClicked, this, &HelpViewer::openLink);
}

void HelpViewer::setHelpFile(const QString& path)
{
    const QString actual = resolveNoCase(path);
    const QFileInfo info(actual);
    const QDateTime stamp = info.exists() ? info.lastModified() : QDateTime();
    if (actual == m_help.path() && stamp == m_readStamp && (m_help.isLoaded() || !info.exists()))
        return;
    m_help = HelpFile::load(actual);
    m_readStamp = stamp;
    m_history.clear();
    m_current = -1;
    m_back->setEnabled(false);
    fillLists();
}

void HelpViewer::fillLists()
{
    m_contents->clear();
    for (const HelpTopic& t : m_help.topics()) {
        auto* item = new QListWidgetItem(t.title, m_contents);
        item->setData(Qt::UserRole, t.number);
        if (t.number == HelpFile::ContentsNumber) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
    filterKeywords(m_keywordBox->text());
}

void HelpViewer::showTopic(int contextNumber)
{
    display(contextNumber, true);
}

void HelpViewer::showContents()
{
    m_tabs->setCurrentIndex(0);
    if (m_help.isLoaded() && !m_help.contents() && !m_help.topics().isEmpty())
        display(m_help.topics().first().number, true);
    else
        display(HelpFile::ContentsNumber, true);
}

void HelpViewer::showSearch(const QString& keyword)
{
    m_tabs->setCurrentIndex(1);
    m_keywordBox->setText(keyword);
    filterKeywords(keyword);
    if (!m_help.isLoaded())
        showNotice(QString());
    m_keywordBox->setFocus();
    m_keywordBox->selectAll();
}

QString HelpViewer::pageText() const
{
    return m_page->toPlainText();
}

void HelpViewer::display(int number, bool remember)
{
    if (!m_help.isLoaded()) {
        showNotice(QString());
        return;
    }
    const HelpTopic* topic = m_help.topic(number);
    if (!topic) {
        showNotice(QStringLiteral("There is no help topic number %1 in the help file %2.")
                       .arg(number).arg(QFileInfo(m_help.path()).fileName()));
        return;
    }
    if (remember && m_current >= 0 && m_current != number) {
        m_history.append(m_current);
        m_back->setEnabled(true);
    }
    m_current = number;
    m_page->setHtml(m_help.html(*topic));
    setWindowTitle(captionPrefix + QStringLiteral(" - ") + topic->title);
    for (int row = 0; row < m_contents->count(); ++row) {
        if (m_contents->item(row)->data(Qt::UserRole).toInt() == number) {
            const QSignalBlocker quiet(m_contents);
            m_contents->setCurrentRow(row);
            break;
        }
    }
}

// A page that is not a topic: the missing help file, or a number the file does not hold.
void HelpViewer::showNotice(const QString& text)
{
    QString notice = text;
    if (!m_help.isLoaded())
        notice = QStringLiteral("The help file %1 could not be found. Help is not available until "
                                "it is put back in the program's folder.").arg(m_help.path());
    m_current = -1;
    m_page->setHtml(QStringLiteral("<h2>Help</h2><p>%1</p>").arg(notice.toHtmlEscaped()));
    setWindowTitle(captionPrefix);
}

void HelpViewer::filterKeywords(const QString& typed)
{
    const QStringList shown = m_help.matchKeywords(typed);
    m_keywords->clear();
    m_keywords->addItems(shown);
    if (!shown.isEmpty())
        m_keywords->setCurrentRow(0);
    else
        m_keywordTopics->clear();
}

void HelpViewer::keywordChosen()
{
    QListWidgetItem* topic = m_keywordTopics->currentItem();
    if (!topic && m_keywordTopics->count() > 0)
        topic = m_keywordTopics->item(0);
    if (topic)
        display(topic->data(Qt::UserRole).toInt(), true);
}

void HelpViewer::openLink(const QUrl& url)
{
    if (url.scheme() == QLatin1String("topic"))
        display(url.path().toInt(), true);
}

void HelpViewer::goBack()
{
    if (m_history.isEmpty())
        return;
    const int previous = m_history.takeLast();
    m_back->setEnabled(!m_history.isEmpty());
    display(previous, false);
}
