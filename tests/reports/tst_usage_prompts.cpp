// The lane-range and date-range prompts: their windows, what they refuse, the exact query and
// formula they hand over, the bare report names, and a date range printed by the real engine.

#include "ReportFixture.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/Cursor.h"
#include "platform/Help.h"
#include "platform/InputRules.h"
#include "platform/Twips.h"
#include "reports/MainMenuReports.h"
#include "reports/PaperSize.h"
#include "reports/ReportPreview.h"
#include "reports/UsagePrompts.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QStringList usage()
{
    return {QStringLiteral("INSERT INTO Parts([Record Number],[Part Number 1],Description) VALUES (1,'A-1','GEAR'),(2,'A-2','BELT')"),
            QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,3,'2004-01-15'),(1,1,12,'2004-02-20T16:45:00'),(2,4,13,'2004-02-21'),"
                           "(2,1,5,'2004-01-14')")};
}

} // namespace

class UsagePromptsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        PaperSize::setA4(false);
        QCOMPARE(WaitCursor::depth(), 0);
    }

    void wholeLaneNumbersOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");   // -1: refused
        QTest::newRow("one digit") << "1" << 1;
        QTest::newRow("three digits") << "120" << 120;
        QTest::newRow("blanks around") << " 7 " << 7;
        QTest::newRow("leading zero") << "012" << 12;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "a" << -1;
        QTest::newRow("fraction") << "1.5" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("SQL") << "1=1" << -1;
        QTest::newRow("four digits") << "1000" << -1;
    }

    void wholeLaneNumbersOnly()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<int> n = ParseLaneNumber(text);
        QCOMPARE(n.value_or(-1), expected);
    }

    void theFormulasAreWrittenExactly()
    {
        QCOMPARE(LaneRangeQuery(1, 12), QStringLiteral("Select * from PartsUsage where [Lane Number] >= 1 and [Lane Number] <= 12"));
        QCOMPARE(LaneRangeFormula(1, 12), QStringLiteral("{PartsUsage.Lane Number} in 1to 12"));
        QCOMPARE(DateRangeFormula(QStringLiteral("01/15/2004"), QStringLiteral("02/20/2004")),
                 QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,15) and {PartsUsage.Date Used} <= Date (2004,02,20)"));
    }

    void theLanePromptAsDesigned()
    {
        ReportFixture f;
        LaneNumber w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Lane Number Entry"));
        QCOMPARE(w.Label1->text(), QStringLiteral("To show parts used on specific lanes, fill in the blanks."));
        QCOMPARE(w.SSFrame1->title(), QStringLiteral("Starting Lane Number"));
        QCOMPARE(w.SSFrame2->title(), QStringLiteral("Ending Lane Number"));
        QCOMPARE(w.Text1->parentWidget(), static_cast<QWidget*>(w.SSFrame1));
        QCOMPARE(w.Text2->parentWidget(), static_cast<QWidget*>(w.SSFrame2));
        QCOMPARE(w.Command1->text(), QStringLiteral("&OK"));
        QCOMPARE(w.Command2->text(), QStringLiteral("E&xit"));
        QCOMPARE(w.Data1->recordSource(), QStringLiteral("PartsUsage"));
        QCOMPARE(w.Data1->databaseName(), InventoryDatabasePath());
        QCOMPARE(helpContext(&w), 470);
        QVERIFY(w.testAttribute(Qt::WA_DeleteOnClose));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Three characters at most in each box, the whole text selected on entry.
        for (QLineEdit* box : {w.Text1, w.Text2}) {
            box->setFocus();
            QTest::keyClicks(box, QStringLiteral("1234"));
            QCOMPARE(box->text(), QStringLiteral("123"));
        }
        w.Text1->setFocus();
        QTRY_COMPARE(w.Text1->selectedText(), QStringLiteral("123"));
        // Within the window, nothing overlapping.
        const QRect client = w.rect();
        for (QWidget* c : {static_cast<QWidget*>(w.Label1), static_cast<QWidget*>(w.SSFrame1), static_cast<QWidget*>(w.SSFrame2),
                           static_cast<QWidget*>(w.Command1), static_cast<QWidget*>(w.Command2)})
            QVERIFY(client.contains(c->geometry()));
        QVERIFY(!w.SSFrame1->geometry().intersects(w.SSFrame2->geometry()));
        QVERIFY(!w.Command1->geometry().intersects(w.Command2->geometry()));
    }

    void aLaneBoxThatIsEmptyOrNotANumberIsAskedForAgain_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("both empty") << "" << "";
        QTest::newRow("start empty") << "" << "12";
        QTest::newRow("end empty") << "1" << "";
        QTest::newRow("letters") << "a" << "12";
        QTest::newRow("SQL in the end box") << "1" << "1=1";
        QTest::newRow("a fraction") << "1.5" << "3";
    }

    void aLaneBoxThatIsEmptyOrNotANumberIsAskedForAgain()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        ReportFixture f;
        f.makeInventory(usage());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        LaneNumber w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        w.Text1->setText(start);
        w.Text2->setText(end);
        w.Command2->setFocus();
        w.Command1_Click();
        QCOMPARE(prompts.log().size(), 1);   // no beep
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("Please enter starting and ending lane numbers!"));
        QCOMPARE(prompts.messages()[0].style, 0);
        QCOMPARE(prompts.messages()[0].title, QStringLiteral("Warning"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Text1));
        QVERIFY(recorded.calls().isEmpty());
        QCOMPARE(w.Data1->recordSource(), QStringLiteral("PartsUsage"));   // no query was run
        QVERIFY(!w.Data1->recordset());
    }

    void aLaneRangeRunsTheBareReportWithItsFormula_data()
    {
        QTest::addColumn<bool>("a4");
        QTest::newRow("letter") << false;
        QTest::newRow("A4") << true;
    }

    void aLaneRangeRunsTheBareReportWithItsFormula()
    {
        QFETCH(bool, a4);
        ReportFixture f;
        f.makeInventory(usage());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        PaperSize::setA4(a4);
        LaneNumber w;
        w.Text1->setText(QStringLiteral("1"));
        w.Text2->setText(QStringLiteral(" 12"));
        w.Command1->click();
        QVERIFY(prompts.log().isEmpty());
        QCOMPARE(recorded.runs().size(), 1);
        QCOMPARE(recorded.runs()[0].file, a4 ? QStringLiteral("PartsUsageByLaneA4.rpt") : QStringLiteral("PartsUsageByLane.rpt"));
        QCOMPARE(recorded.runs()[0].formula, std::optional<QString>(QStringLiteral("{PartsUsage.Lane Number} in 1to 12")));
        QVERIFY(recorded.runs()[0].sortFields.isEmpty());
        // The prompt's Data1 stays on the lane query, on its first row.
        QCOMPARE(w.Data1->recordSource(), QStringLiteral("Select * from PartsUsage where [Lane Number] >= 1 and [Lane Number] <= 12"));
        QCOMPARE(w.Data1->recordset()->kind(), Recordset::Kind::Dynaset);
        QCOMPARE(w.Data1->recordset()->recordCount(), 3);
        QCOMPARE(w.Data1->recordset()->absolutePosition(), 0);
    }

    void aLaneRangeWithoutUsageShowsTheNotice()
    {
        ReportFixture f;
        f.makeInventory(usage());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        LaneNumber w;
        for (const auto& range : {std::pair{"20", "30"}, std::pair{"12", "1"}}) {   // also start above end
            prompts.expectMessage(Prompts::Ok);
            w.Text1->setText(QLatin1String(range.first));
            w.Text2->setText(QLatin1String(range.second));
            w.Command1_Click();
            const auto box = prompts.messages().last();
            QCOMPARE(box.text, QStringLiteral("No parts have been used in this lane number range."));
            QCOMPARE(box.style, 64);
            QCOMPARE(box.title, QStringLiteral("Notice"));
            QVERIFY(box.beepBefore);
            QCOMPARE(w.Data1->recordSource(), QStringLiteral("Parts"));
            QCOMPARE(w.Data1->recordset()->kind(), Recordset::Kind::Table);
        }
        QVERIFY(recorded.calls().isEmpty());
    }

    void enterPressesOkAndEscExitsInBothPrompts()
    {
        ReportFixture f;
        f.makeInventory(usage());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        QPointer<LaneNumber> lane = new LaneNumber;
        lane->show();
        QVERIFY(QTest::qWaitForWindowExposed(lane));
        lane->Text1->setText(QStringLiteral("3"));
        lane->Text2->setText(QStringLiteral("5"));
        lane->Text2->setFocus();
        QTest::keyClick(lane->Text2, Qt::Key_Return);
        QCOMPARE(recorded.runs().size(), 1);
        QTest::keyClick(lane->Text2, Qt::Key_Escape);
        QTRY_VERIFY(!lane);

        QPointer<DateRange> date = new DateRange;
        date->show();
        QVERIFY(QTest::qWaitForWindowExposed(date));
        date->MaskEdBox1->setText(QStringLiteral("01/01/2004"));
        date->MaskEdBox2->setText(QStringLiteral("12/31/2004"));
        date->MaskEdBox2->setFocus();
        QTest::keyClick(date->MaskEdBox2, Qt::Key_Enter);
        QCOMPARE(recorded.runs().size(), 2);
        QTest::keyClick(date->MaskEdBox2, Qt::Key_Escape);
        QTRY_VERIFY(!date);
        QVERIFY(prompts.log().isEmpty());
    }

    void theDatePromptAsDesigned()
    {
        ReportFixture f;
        DateRange w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Date"));
        QCOMPARE(w.Label1->text(), QStringLiteral("Enter a starting and ending date."));
        QCOMPARE(w.SSFrame1->title(), QStringLiteral("Start Date"));
        QCOMPARE(w.SSFrame2->title(), QStringLiteral("End Date"));
        QCOMPARE(w.Label2->text(), QStringLiteral("MM/DD/YYYY"));
        QCOMPARE(w.Label3->text(), QStringLiteral("MM/DD/YYYY"));
        QCOMPARE(w.MaskEdBox1->displayText(), QStringLiteral("__/__/____"));
        QCOMPARE(w.MaskEdBox2->displayText(), QStringLiteral("__/__/____"));
        QCOMPARE(w.Text1->toPlainText(), QStringLiteral("Text1"));
        QCOMPARE(w.Data1->databaseName(), InventoryDatabasePath());
        QCOMPARE(helpContext(&w), 470);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The formula box lies below the client area.
        QVERIFY(w.Text1->geometry().top() >= w.height());
        QTest::keyClicks(w.MaskEdBox1, QStringLiteral("0115200499"));
        QCOMPARE(w.MaskEdBox1->displayText(), QStringLiteral("01/15/2004"));
    }

    void aDateThatIsBlankPartialOrImpossibleIsAskedForAgain_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("focusBox");   // 1 or 2
        QTest::newRow("both blank") << "" << "" << 1;
        QTest::newRow("end blank") << "01/15/2004" << "" << 1;
        QTest::newRow("start partly typed") << "01/1" << "02/20/2004" << 1;
        QTest::newRow("end partly typed") << "01/15/2004" << "02/20/20" << 2;
        QTest::newRow("no such month") << "13/45/2004" << "02/20/2004" << 1;
        QTest::newRow("no such day") << "01/15/2004" << "02/30/2004" << 2;
    }

    void aDateThatIsBlankPartialOrImpossibleIsAskedForAgain()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, focusBox);
        ReportFixture f;
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        DateRange w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        w.MaskEdBox1->setText(start);
        w.MaskEdBox2->setText(end);
        w.Command2->setFocus();
        w.Command1_Click();
        QCOMPARE(prompts.log().size(), 1);
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("A Starting & Ending Date Is Required"));
        QCOMPARE(prompts.messages()[0].style, 48);
        QCOMPARE(prompts.messages()[0].title, QStringLiteral("Warning"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(focusBox == 1 ? w.MaskEdBox1 : w.MaskEdBox2));
        QCOMPARE(WaitCursor::depth(), 0);
        QVERIFY(recorded.calls().isEmpty());
        QCOMPARE(w.Text1->toPlainText(), QStringLiteral("Text1"));
    }

    void aDateRangeRunsTheBareReportWithItsFormula()
    {
        ReportFixture f;
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        DateRange w;
        w.MaskEdBox1->setText(QStringLiteral("01/15/2004"));
        w.MaskEdBox2->setText(QStringLiteral("02/20/2004"));
        const QString formula = QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,15) and {PartsUsage.Date Used} <= Date (2004,02,20)");
        w.Command1_Click();
        PaperSize::setA4(true);
        w.Command1_Click();   // it stays open for another range
        QCOMPARE(recorded.runs().size(), 2);
        QCOMPARE(recorded.runs()[0].file, QStringLiteral("PartsUsageByDate.rpt"));
        QCOMPARE(recorded.runs()[1].file, QStringLiteral("PartsUsageByDateA4.rpt"));
        QCOMPARE(recorded.runs()[0].formula, std::optional<QString>(formula));
        QCOMPARE(w.Text1->toPlainText(), formula);
        QVERIFY(recorded.runs()[0].sortFields.isEmpty());
        QVERIFY(!w.Data1->recordset());   // no query on Data1
        QVERIFY(prompts.log().isEmpty());
    }

    void theDatePromptIsModalWithTheNormalPointer()
    {
        ReportFixture f;
        RecordingReportControls recorded;
        ScriptedModal modal;
        QWidget mainWindow;
        DataControl Data1;
        Qt::CursorShape pointer = Qt::BusyCursor;
        int hourglasses = -1;
        modal.onNext([&](QWidget* window) {
            auto* prompt = qobject_cast<DateRange*>(window);
            QVERIFY(prompt);
            hourglasses = WaitCursor::depth();   // the menu's hourglass, still up underneath
            if (QGuiApplication::overrideCursor())
                pointer = QGuiApplication::overrideCursor()->shape();
            prompt->Command2->click();
        });
        MainMenuPrinting::of(&mainWindow, &Data1).MnuPartsUsageDateRange_Click();
        QCOMPARE(modal.shown().size(), 1);
        QCOMPARE(hourglasses, 1);
        QCOMPARE(pointer, Qt::ArrowCursor);
        QTRY_VERIFY(modal.shown()[0].isNull());   // unloaded by "E&xit"
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Through the real engine: the end day is included whatever the time a use was stored with.
    void aDateRangePrintsBothEndDays()
    {
        ReportFixture f;
        f.makeInventory(usage());
        CapturingViewer viewer;
        ScriptedPrompts prompts;
        DateRange w;
        w.MaskEdBox1->setText(QStringLiteral("01/15/2004"));
        w.MaskEdBox2->setText(QStringLiteral("02/20/2004"));
        w.Command1_Click();
        QVERIFY(prompts.log().isEmpty());
        QCOMPARE(viewer.shown.size(), 1);
        QCOMPARE(viewer.shown[0]->rowCount(), 2);   // 1/15 and 2/20 16:45; not 1/14, not 2/21
        QCOMPARE(viewer.shown[0]->fileName(), QStringLiteral("PartsUsageByDate.rpt"));
    }

    // The prompt stays open and modal after "&OK": the real preview it opens takes the user's
    // clicks and keys all the same, and outlives the prompt.
    void aPreviewFromTheDatePromptAnswersTheUser()
    {
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Record Number],[Part Number 1],Description) VALUES (1,'A-1','GEAR')"),
                         QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                        "INSERT INTO PartsUsage([Record Number],Used,[Lane Number],[Date Used]) "
                                        "SELECT 1, 1, i % 40 + 1, '2004-01-15' FROM n")});
        ScriptedPrompts prompts;
        QPointer<DateRange> prompt = new DateRange;
        QPointer<ReportPreview> preview;
        const auto cleanUp = qScopeGuard([&] {   // a failed check leaves no modal window to the next test
            delete prompt.data();
            delete preview.data();
        });
        prompt->setWindowModality(Qt::ApplicationModal);   // as the menu shows it
        prompt->show();
        QVERIFY(QTest::qWaitForWindowActive(prompt));
        const auto clickCentre = [](QWidget* w) {   // through the window system, as the mouse does
            QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {}, w->mapTo(w->window(), w->rect().center()));
        };
        const auto printed = [&]() -> ReportPreview* {
            clickCentre(prompt->Command1);
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* preview = qobject_cast<ReportPreview*>(w))
                    return preview;
            return nullptr;
        };

        clickCentre(prompt->MaskEdBox1);
        QTest::keyClicks(prompt->MaskEdBox1, QStringLiteral("01012004"));
        QTest::keyClick(prompt->MaskEdBox1, Qt::Key_Tab);
        QTest::keyClicks(prompt->MaskEdBox2, QStringLiteral("12312004"));
        preview = printed();
        QVERIFY(preview);
        QVERIFY(prompt->isVisible() && QApplication::activeModalWidget() == prompt);
        QVERIFY(preview->document()->pageCount() > 1);
        clickCentre(preview->findChild<QPushButton*>(QStringLiteral("nextButton")));
        QCOMPARE(preview->currentPage(), 1);
        QTest::keyClick(preview->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!preview);

        // "E&xit" closes the prompt, not the preview of the range printed again.
        preview = printed();
        QVERIFY(preview);
        clickCentre(prompt->Command2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!prompt);
        QVERIFY(preview && preview->isVisible() && !preview->parentWidget());
        clickCentre(preview->findChild<QPushButton*>(QStringLiteral("closeButton")));
        QTRY_VERIFY(!preview);
        QVERIFY(prompts.log().isEmpty());
    }
};

QTEST_MAIN(UsagePromptsTest)
#include "tst_usage_prompts.moc"
