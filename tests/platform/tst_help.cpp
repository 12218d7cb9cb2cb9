// Help: the path rule, the five procedures, F1 in windows and menus, the help file format, the
// shipped help file, and the help window reading it.

#include "platform/AppFolder.h"
#include "platform/Help.h"
#include "platform/HelpFile.h"
#include "platform/HelpViewer.h"
#include "support/RecordingHelp.h"
#include "support/TestProgramFolder.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Every context number the windows and menus carry, and the two topics called by number.
const QList<int> contextNumbers = {42, 410, 430, 440, 450, 460, 32, 1240, 1150, 1210, 1220, 750, 1110,
                                   1120, 1130, 1140, 720, 630, 710, 480, 610, 620, 730, 740, 470, 22,
                                   1230, 1650};

HelpViewer* openViewer()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<HelpViewer*>(w); v && v->isVisible())
            return v;
    return nullptr;
}

const HelpFile& shippedHelp()
{
    static const HelpFile help = HelpFile::load(QStringLiteral(INVENTORY_BIN_DIR "/INVENT~2.HLP"));
    return help;
}

}  // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpFileLiesInTheProgramFolder()
    {
        QCOMPARE(HelpFilePathFor(QStringLiteral("/opt/inventory")), QStringLiteral("/opt/inventory/INVENT~2.HLP"));
        QCOMPARE(HelpFilePathFor(QStringLiteral("  /opt/inventory  ")), QStringLiteral("/opt/inventory/INVENT~2.HLP"));
        QCOMPARE(HelpFilePathFor(QStringLiteral("/")), QStringLiteral("/INVENT~2.HLP"));   // the root: one separator

        TestProgramFolder folder;
        SetUpHelp(7);
        QCOMPARE(HelpOwner(), qintptr(7));
        QCOMPARE(HelpFilePath(), folder.path() + QStringLiteral("/INVENT~2.HLP"));
        const QString kept = HelpFilePath();
        AppFolder::setPath(QStringLiteral("/"));
        QCOMPARE(HelpFilePath(), kept);          // set once, at start
        SetUpHelp(0);
        QCOMPARE(HelpFilePath(), QStringLiteral("/INVENT~2.HLP"));
    }

    void proceduresAskTheHelpServiceWithTheHelpFile()
    {
        TestProgramFolder folder;
        SetUpHelp(0);
        const QString file = HelpFilePath();
        RecordingHelp help;
        ShowHelpTopic(1240);
        ShowHelpContents();
        SearchHelp();
        QuitHelp();
        using Call = RecordingHelp::Call;
        const QList<Call> expected = {{Call::Topic, file, 1240, {}},
                                      {Call::Contents, file, 0, {}},
                                      {Call::Search, file, 0, QString()},   // an empty keyword opens the search
                                      {Call::Quit, {}, 0, {}}};
        QCOMPARE(help.calls(), expected);
    }

    void f1ShowsTheTopicOfTheWindowOrOpenMenu()
    {
        RecordingHelp help;
        QWidget window;
        auto* box = new QLineEdit(&window);
        auto* bar = new QMenuBar(&window);
        QMenu* sort = bar->addMenu(QStringLiteral("&Sort"));
        sort->addAction(QStringLiteral("Vendor # &1"));
        QMenu* sub = sort->addMenu(QStringLiteral("More"));
        sub->addAction(QStringLiteral("Vendor # &2"));
        QMenu* colors = bar->addMenu(QStringLiteral("&Colors"));
        colors->addAction(QStringLiteral("&Background Color"));
        setHelpContext(&window, 1150);
        setHelpContext(sort, 1210);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1);
        QCOMPARE(help.topics(), QList<int>{1150});

        // With a menu open, the menu's own number; a submenu and a menu without one take the
        // number of the menu or window around them. The open menus close.
        for (QMenu* menu : {sort, sub, colors}) {
            menu->popup(QPoint(10, 10));
            QTRY_VERIFY(menu->isVisible());
            QTest::keyClick(menu, Qt::Key_F1);
            QVERIFY(!menu->isVisible());
        }
        QCOMPARE(help.topics(), (QList<int>{1150, 1210, 1210, 1150}));

        QTest::keyClick(box, Qt::Key_F1, Qt::ShiftModifier);   // not F1 alone
        QWidget other;
        auto* otherBox = new QLineEdit(&other);
        other.show();
        QTest::keyClick(otherBox, Qt::Key_F1);                 // a window without a number
        QCOMPARE(help.topics().size(), 4);
        QCOMPARE(helpContext(otherBox), 0);
        QCOMPARE(helpContext(box), 1150);
    }

    void formatParsesTopicsKeywordsAndMarkup()
    {
        const HelpFile help = HelpFile::parse(QStringLiteral(
            "# a comment\n"
            "@title Test Help\n"
            "@contents Contents\n"
            "* [[12]]\n"
            "@topic 12 Receive Parts\n"
            "@keywords receiving; Back Order\n"
            "@keywords back order; delivery\n"
            "Press **OK** when parts & boxes <arrive>.\n"
            "It continues here.\n"
            "\n"
            "== Steps\n"
            "1. Click the tab.\n"
            "2. See [[0|the list]] and [[12]].\n"
            "* A bullet\n"));
        QVERIFY2(help.errors().isEmpty(), qPrintable(help.errors().join(QLatin1Char('\n'))));
        QCOMPARE(help.title(), QStringLiteral("Test Help"));
        QCOMPARE(help.topics().size(), 2);
        QVERIFY(help.contents());
        const HelpTopic* topic = help.topic(12);
        QVERIFY(topic);
        QCOMPARE(topic->title, QStringLiteral("Receive Parts"));
        QCOMPARE(topic->keywords, (QStringList{QStringLiteral("receiving"), QStringLiteral("Back Order"),
                                               QStringLiteral("delivery")}));   // repeats merged, any case
        QCOMPARE(HelpFile::links(*topic), (QList<int>{0, 12}));

        const QString html = help.html(*topic);
        QVERIFY(html.contains(QLatin1String("<h2>Receive Parts</h2>")));
        QVERIFY(html.contains(QLatin1String("<p>Press <b>OK</b> when parts &amp; boxes &lt;arrive&gt;. It continues here.</p>")));
        QVERIFY(html.contains(QLatin1String("<h3>Steps</h3>")));
        QVERIFY(html.contains(QLatin1String("<ol>\n<li>Click the tab.</li>\n<li>See <a href=\"topic:0\">the list</a> and "
                                            "<a href=\"topic:12\">Receive Parts</a>.</li>\n</ol>")));
        QVERIFY(html.contains(QLatin1String("<ul>\n<li>A bullet</li>\n</ul>")));

        // Partial-key search: keywords beginning with the text, else containing it.
        QCOMPARE(help.matchKeywords(QStringLiteral("BACK")), QStringList{QStringLiteral("Back Order")});
        QCOMPARE(help.matchKeywords(QStringLiteral("liver")), QStringList{QStringLiteral("delivery")});
        QCOMPARE(help.matchKeywords(QString()).size(), 3);
        QVERIFY(help.matchKeywords(QStringLiteral("zzz")).isEmpty());
        QCOMPARE(help.topicsForKeyword(QStringLiteral("back order")).value(0), topic);
    }

    void formatReportsMistakes()
    {
        const HelpFile help = HelpFile::parse(QStringLiteral(
            "stray text\n"
            "@topic 5 One\n"
            "See [[99]].\n"
            "@topic 5 Again\n"
            "@topic x Bad\n"
            "@keyword typo\n"
            "@topic 6\n"));
        const QString errors = help.errors().join(QLatin1Char('\n'));
        QVERIFY2(errors.contains(QLatin1String("line 1: text outside a topic")), qPrintable(errors));
        QVERIFY(errors.contains(QLatin1String("line 4: topic 5 was already defined on line 2")));
        QVERIFY(errors.contains(QLatin1String("line 5: a topic needs a context number above 0")));
        QVERIFY(errors.contains(QLatin1String("line 6: unknown directive @keyword")));
        QVERIFY(errors.contains(QLatin1String("line 7: the topic has no title")));
        QVERIFY(errors.contains(QLatin1String("links to topic 99, which does not exist")));
        QVERIFY(!HelpFile::load(QStringLiteral("/no/such/INVENT~2.HLP")).isLoaded());
    }

    void shippedHelpFileCoversEveryContextNumber()
    {
        const HelpFile& help = shippedHelp();
        QVERIFY2(help.isLoaded(), "the build ships INVENT~2.HLP beside the program");
        QVERIFY2(help.errors().isEmpty(), qPrintable(help.errors().join(QLatin1Char('\n'))));
        QVERIFY(help.contents());
        QCOMPARE(help.title(), QStringLiteral("Pinsetter Parts Inventory Help"));
        for (int number : contextNumbers) {
            const HelpTopic* topic = help.topic(number);
            QVERIFY2(topic, qPrintable(QStringLiteral("no topic %1").arg(number)));
            QVERIFY2(topic->body.size() > 200, qPrintable(QStringLiteral("topic %1 says almost nothing").arg(number)));
            QVERIFY2(!topic->keywords.isEmpty(), qPrintable(QStringLiteral("topic %1 is not in the index").arg(number)));
        }
        // Every topic can be reached from the contents, directly or through another topic.
        QSet<int> reached{HelpFile::ContentsNumber};
        QList<int> queue{HelpFile::ContentsNumber};
        while (!queue.isEmpty())
            for (int next : HelpFile::links(*help.topic(queue.takeFirst())))
                if (!reached.contains(next)) {
                    reached.insert(next);
                    queue << next;
                }
        for (const HelpTopic& t : help.topics())
            QVERIFY2(reached.contains(t.number), qPrintable(QStringLiteral("topic %1 cannot be reached").arg(t.number)));

        // Help speaks of this program by its own title.
        QFile raw(help.path());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(raw.readAll());
        QVERIFY(text.contains(QLatin1String("Pinsetter Parts Inventory")));
    }

    void shippedKeywordSearchFindsTopics()
    {
        const HelpFile& help = shippedHelp();
        // What the index offers for the first keyword that the typed text reaches.
        auto topicsFor = [&](const QString& typed) {
            QList<int> numbers;
            const QStringList found = help.matchKeywords(typed);
            if (!found.isEmpty())
                for (const HelpTopic* t : help.topicsForKeyword(found.first()))
                    numbers << t->number;
            return numbers;
        };
        QVERIFY(topicsFor(QStringLiteral("backu")).contains(2005));
        QVERIFY(topicsFor(QStringLiteral("price update d")).contains(1650));
        QVERIFY(topicsFor(QStringLiteral("Retr")).contains(2002));
        QVERIFY(topicsFor(QStringLiteral("technical")).contains(1240));
        QCOMPARE(topicsFor(QStringLiteral("Full Rec")), QList<int>{720});
        QVERIFY(topicsFor(QStringLiteral("zzzz")).isEmpty());
        QVERIFY(help.matchKeywords(QStringLiteral("filter")).size() >= 2);
    }

    void viewerShowsTopicsContentsAndSearch()
    {
        TestProgramFolder folder;
        SetUpHelp(0);
        ShowHelpTopic(1150);
        HelpViewer* viewer = openViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Help - Maintain Database Information"));
        QVERIFY(viewer->pageText().contains(QLatin1String("Adding a part")));
        QVERIFY(!viewer->isModal());

        // A link to another topic, and back.
        auto* page = viewer->findChild<QTextBrowser*>(QStringLiteral("page"));
        Q_EMIT page->anchorClicked(QUrl(QStringLiteral("topic:22")));
        QCOMPARE(viewer->currentTopic(), 22);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Help - Set Filter"));
        viewer->findChild<QPushButton*>(QStringLiteral("cmdBack"))->click();
        QCOMPARE(viewer->currentTopic(), 1150);

        ShowHelpContents();
        QCOMPARE(openViewer(), viewer);            // one help window
        QCOMPARE(viewer->currentTopic(), HelpFile::ContentsNumber);
        QVERIFY(viewer->contentsList()->count() >= contextNumbers.size());

        // Partial-key search as the user types.
        SearchHelp();
        QVERIFY(viewer->keywordBox()->text().isEmpty());
        QCOMPARE(viewer->keywordList()->count(), viewer->helpFile().keywords().size());
        QTest::keyClicks(viewer->keywordBox(), QStringLiteral("full r"));
        QCOMPARE(viewer->keywordList()->currentItem()->text(), QStringLiteral("Full Receipt"));
        QTest::keyClick(viewer->keywordBox(), Qt::Key_Return);
        QCOMPARE(viewer->currentTopic(), 720);

        ShowHelpTopic(4711);                        // a number the file does not hold
        QVERIFY(viewer->pageText().contains(QLatin1String("There is no help topic number 4711")));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Help"));

        QuitHelp();
        QTRY_VERIFY(!openViewer());
    }

    void helpAskedInAModalWindowCanBeReadAndOutlivesIt()
    {
        TestProgramFolder folder;
        SetUpHelp(0);
        auto* box = new QWidget;
        box->setWindowModality(Qt::ApplicationModal);
        setHelpContext(box, 1240);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        QTest::keyClick(box, Qt::Key_F1);
        HelpViewer* viewer = openViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->currentTopic(), 1240);
        // A window of the modal one, so that the modal block does not shut it out.
        QCOMPARE(viewer->window()->parentWidget(), box);

        box->close();
        delete box;
        QVERIFY(openViewer());                     // still open, on its own
        QCOMPARE(openViewer()->parentWidget(), nullptr);
        QuitHelp();
        QTRY_VERIFY(!openViewer());
    }

    // F1 in a box over a modal window (the Date prompt's "A Starting & Ending Date Is Required"):
    // help takes clicks while the box is open, after it closes while the window under it is still
    // open and modal, and after that one closes too.
    void helpTakesClicksWhicheverModalWindowsClose()
    {
        TestProgramFolder folder;
        SetUpHelp(0);
        QPointer<QWidget> prompt = new QWidget;
        QPointer<QWidget> box = new QWidget(prompt, Qt::Dialog);
        const auto cleanUp = qScopeGuard([&] {   // a failed check leaves no modal window to the next test
            delete box.data();
            delete prompt.data();
            QuitHelp();
        });
        setHelpContext(prompt, 470);
        for (QWidget* modal : {prompt.data(), box.data()}) {
            modal->setWindowModality(Qt::ApplicationModal);
            modal->show();
            QVERIFY(QTest::qWaitForWindowExposed(modal));
        }
        QTest::keyClick(box, Qt::Key_F1);
        HelpViewer* viewer = openViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->currentTopic(), 470);

        // A click through the window system, which a window shut out by a modal one never gets.
        const auto helpTakesClicks = [&viewer](int topic) {
            viewer->showTopic(topic);
            QTest::qWait(20);
            auto* contents = viewer->findChild<QPushButton*>(QStringLiteral("cmdContents"));
            QTest::mouseClick(viewer->windowHandle(), Qt::LeftButton, {}, contents->mapTo(viewer, contents->rect().center()));
            return viewer->currentTopic() == HelpFile::ContentsNumber;
        };
        QVERIFY(helpTakesClicks(470));
        box->close();
        delete box.data();
        QCOMPARE(QApplication::activeModalWidget(), prompt.data());
        QCOMPARE(openViewer(), viewer);
        QVERIFY(helpTakesClicks(1150));
        prompt->close();
        delete prompt.data();
        QCOMPARE(openViewer(), viewer);
        QCOMPARE(viewer->parentWidget(), nullptr);
        QVERIFY(helpTakesClicks(42));
    }

    void viewerSaysWhenTheHelpFileIsMissing()
    {
        TestProgramFolder folder;
        QVERIFY(QFile::remove(folder.file(QStringLiteral("INVENT~2.HLP"))));
        SetUpHelp(0);
        ShowHelpTopic(42);
        HelpViewer* viewer = openViewer();
        QVERIFY(viewer);
        QVERIFY(viewer->pageText().contains(QLatin1String("could not be found")));
        QVERIFY(viewer->pageText().contains(HelpFilePath()));
        SearchHelp();
        QCOMPARE(viewer->keywordList()->count(), 0);
        QVERIFY(viewer->pageText().contains(QLatin1String("could not be found")));
        QuitHelp();
        QTRY_VERIFY(!openViewer());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
