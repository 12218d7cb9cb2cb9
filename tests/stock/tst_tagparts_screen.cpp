// The ordering screen on a real Inventory.mdb: the current part and its figures, the record check
// and the typing warnings, the default-vendor boxes, sort, retrieve, images, list and count, the
// three views against real rows, automatic tagging and the colour menu.

#include "stock/TagParts.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "parts/PartImagesWindow.h"
#include "parts/PartsTestData.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "query/ResultListWindow.h"
#include "stock/RecordGrid.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QtTest>

namespace {

TagParts* openScreen()
{
    auto* screen = new TagParts;
    screen->show();
    screen->Form_Activate();
    return screen;
}

int current(TagParts* s)
{
    return s->Data1->recordset()->value(QStringLiteral("Record Number")).toInt();
}

// Stands the screen on the part with this vendor-1 number.
void goTo(TagParts* s, const QString& partNumber1)
{
    Recordset* rs = s->Data1->recordset();
    rs->setIndex(QStringLiteral("inv1"));
    rs->seek(QStringLiteral(">="), partNumber1);
    QCOMPARE(s->Label[6]->text(), partNumber1);
}

// Types into a box as the user does: the whole text replaced.
void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

QSet<int> recordNumbers(TagParts* s)
{
    QSet<int> out;
    Recordset* rs = s->Data1->recordset();
    const int field = rs->fieldIndex(QStringLiteral("Record Number"));
    for (int pos = 0; pos < rs->recordCount(); ++pos)
        out.insert(rs->valueAt(pos, field).toInt());
    return out;
}

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << a->text();
    return out;
}

qint64 storedColor(const PartsTestData& data, const QString& key)
{
    const QVariant v = directScalar(data.folder.file(QStringLiteral("Colors.mdb")), QStringLiteral("SELECT %1 FROM TagPartsColors").arg(key));
    return v.isValid() ? v.toLongLong() : -1;
}

// The colour dialog, with a look at the screen while it is open.
class WatchingDialogs : public ScriptedDialogs {
public:
    std::function<void()> onColor;
    std::optional<QColor> chooseColor(const QColor& initial) override
    {
        if (onColor)
            onColor();
        return ScriptedDialogs::chooseColor(initial);
    }
};

}  // namespace

class TestTagPartsScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnFirstPartByVendor1();
    void figuresFollowTheCurrentPart();
    void recordCheckAsksForMinimumAndLocation();
    void badNumbersAreRefusedBeforeTheWrite();
    void packagesBelowZeroOrInPartsAreRefused();
    void typingWarnings();
    void autoOrderBoxesExcludeByClickOnly();
    void sortAndRetrieve();
    void tallyCountsTheViewAndStays();
    void textsShowWholeAndTabSkipsShownFigures();
    void displayOpensTheImagesOfTheCurrentPart();
    void listWorksOnTheScreensRecords();
    void neededViewAgainstRealRows();
    void emptyViewsFallBackToAllParts();
    void taggedViewTotalsAndChecksEachPart();
    void viewChangeKeepsWhatWasTyped();
    void automaticTaggingOnRealRows();
    void emptiedCountsAreStoredAsZeroAndOlderEmptyOnesAreNeeded();
    void pricesBelowZeroAreRefused();
    void storedAmountsOutOfRangeShowAsMarksAndAreSaidOnce();
    void taggedTotalIsRoundedOnce();
    void onlyAVendorWithAPartNumberIsTagged();
    void automaticTaggingAnsweredNo();
    void automaticTaggingBeyond16Bits();
    void colourSchemeConfiguration();
    void colourMenuItems();
    void exitSavesAndReleasesTheMainWindow();
};

void TestTagPartsScreen::opensOnFirstPartByVendor1()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    QCOMPARE(s->windowTitle(), QStringLiteral("Tag Parts for Ordering"));
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(current(s.get()), 2);   // B-200 comes first in vendor 1's order
    QCOMPARE(s->SSDBData1->caption(), QStringLiteral("BELT"));
    QCOMPARE(s->Label[1]->text(), QStringLiteral("AMF"));
    QCOMPARE(s->Label[2]->text(), QStringLiteral("DISTRIBUTOR"));
    QCOMPARE(s->Label[3]->text(), QStringLiteral("OTHER"));
    QCOMPARE(s->Label[7]->text(), QStringLiteral("2B-2"));

    // The all-parts view: list, automatic tagging and tagged total hidden.
    QVERIFY(s->MnuShowAll->isChecked());
    QVERIFY(!s->MnuShowNeeded->isChecked() && !s->MnuShowTagged->isChecked());
    QVERIFY(!s->isListVisible());
    QVERIFY(!s->Command4->isVisibleTo(s.get()));
    QVERIFY(!s->Label[22]->isVisibleTo(s.get()) && !s->Label[23]->isVisibleTo(s.get()));
    QCOMPARE(s->Label[23]->text(), QStringLiteral("$0.00"));
    QVERIFY(s->SSCommand1->isEnabled());

    // Menus as the centre knows them (the first vendor item carries a trailing blank).
    QStringList bar;
    for (const QAction* a : s->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, QStringList({"&Print Purchase Orders", "&Clear Tagged Parts", "&Sort", "S&how", "C&olors"}));
    QCOMPARE(captions(s->MnuTagPartsOrder), QStringList({"Vendor # &1 ", "Vendor # &2", "Vendor # &3"}));
    QCOMPARE(captions(s->MnuTagPartsClear), QStringList({"Vendor # &1 ", "Vendor # &2", "Vendor # &3", "&All 3 Vendors"}));
    QCOMPARE(captions(s->MnuTagPartVendor), QStringList({"Vendor # &1 ", "Vendor # &2", "Vendor # &3"}));
    QCOMPARE(captions(s->MnuShow), QStringList({"&All Parts", "&Tagged Parts", "&Needed Parts"}));
    QCOMPARE(helpContext(s.get()), 750);
    QCOMPARE(helpContext(s->MnuTagPartsOrder), 1110);
    QCOMPARE(helpContext(s->MnuTagPartsClear), 1120);
    QCOMPARE(helpContext(s->MnuTagPartVendor), 1130);
    QCOMPARE(helpContext(s->MnuShow), 1140);

    // A later activation does not open the parts again.
    s->SSDBCommand1->click();
    QCOMPARE(current(s.get()), 4);
    s->Form_Activate();
    QCOMPARE(current(s.get()), 4);
    QCOMPARE(prompts.log().size(), 0);
}

void TestTagPartsScreen::figuresFollowTheCurrentPart()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Information SET [Discount 1]='15', [Discount 2]=NULL, [Discount 3]='10';"
        "UPDATE Parts SET [Price 1]=10, [Package 1]=3, [Special Price 1]=0 WHERE [Record Number]=2;"
        "UPDATE Parts SET [Special Price 1]=6 WHERE [Record Number]=4;"
        "UPDATE Parts SET [Special Price 1]=6 WHERE [Record Number]=3;"
        "UPDATE Parts SET [Price 1]=NULL WHERE [Record Number]=1;")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    // B-200: 10.00 less 15% in packages of 3.
    QCOMPARE(s->MaskEdBox11->text(), QStringLiteral("$10.00"));
    QCOMPARE(s->MaskEdBox14->text(), QStringLiteral("$8.50"));
    QCOMPARE(s->MaskEdBox17->text(), QStringLiteral("$2.8333"));
    QCOMPARE(s->Text30->text(), QStringLiteral("15%"));
    QCOMPARE(s->Text31->text(), QStringLiteral("%"));
    QCOMPARE(s->Text32->text(), QStringLiteral("10%"));
    QVERIFY(s->Text2->isEnabled() && s->MaskEdBox5->isEnabled());

    // C-300: a special price of 6.00 in packages of 10; no vendor-2 number, so nothing to tag there.
    s->SSDBCommand1->click();
    QCOMPARE(current(s.get()), 4);
    QCOMPARE(s->MaskEdBox14->text(), QStringLiteral("$6.00"));
    QCOMPARE(s->MaskEdBox17->text(), QStringLiteral("$0.60"));
    QVERIFY(!s->Text2->isEnabled());
    QVERIFY(!s->MaskEdBox5->isEnabled());
    QVERIFY(s->Text3->isEnabled());

    // D-400: book price 0 shows zeros and ignores the special price; vendor 2 can be tagged again.
    s->SSDBCommand1->click();
    QCOMPARE(current(s.get()), 3);
    QCOMPARE(s->MaskEdBox14->text(), QStringLiteral("$0.00"));
    QCOMPARE(s->MaskEdBox17->text(), QStringLiteral("$0.00"));
    QVERIFY(s->Text2->isEnabled() && s->MaskEdBox5->isEnabled());

    // M-500 has no book price: nothing shown, not the figures of the part before.
    s->SSDBCommand1->click();
    QCOMPARE(current(s.get()), 1);
    QCOMPARE(s->MaskEdBox14->text(), QString());
    QCOMPARE(s->MaskEdBox17->text(), QString());
    QCOMPARE(prompts.log().size(), 0);
}

void TestTagPartsScreen::recordCheckAsksForMinimumAndLocation()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Minimum Stock]=0, Location=NULL WHERE [Record Number] IN (1, 3)")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    // D-400 is not tagged: leaving it asks nothing.
    goTo(s.get(), QStringLiteral("D-400"));
    s->SSDBCommand1->click();
    QCOMPARE(prompts.log().size(), 0);
    QCOMPARE(current(s.get()), 1);

    // M-500 tagged: leaving it asks for a minimum (nothing answered gives 1) and a location.
    typeInto(s->Text1, QStringLiteral("2"));
    prompts.answerInput(QString()).answerInput(QStringLiteral("shelf 4"));
    s->SSDBCommand1->click();
    QCOMPARE(prompts.log().size(), 2);
    const auto minimum = prompts.log()[0];
    QCOMPARE(minimum.kind, ScriptedPrompts::Recorded::Input);
    QCOMPARE(minimum.text, QStringLiteral("Please enter a minimum quantity for this part."));
    QCOMPARE(minimum.title, QStringLiteral("Minimum Quantity Needed"));
    QCOMPARE(minimum.defaultText, QString());
    QCOMPARE(minimum.x, 3000);
    QCOMPARE(minimum.y, 5000);
    const auto location = prompts.log()[1];
    QCOMPARE(location.text, QStringLiteral("Please enter a location for this part."));
    QCOMPARE(location.title, QStringLiteral("Part Location Needed"));
    QCOMPARE(location.x, 3000);
    QCOMPARE(location.y, 5000);
    QCOMPARE(data.part(1, QStringLiteral("Minimum Stock")).toInt(), 1);
    QCOMPARE(data.part(1, QStringLiteral("Location")).toString(), QStringLiteral("SHELF 4"));
    QCOMPARE(data.part(1, QStringLiteral("Quantity Ordered 1")).toInt(), 2);

    // A minimum that is no number stores 1; a number is stored as given.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Minimum Stock]=0 WHERE [Record Number]=3")));
    for (const auto& [answer, stored] : {std::pair<QString, int>{QStringLiteral("abc"), 1}, {QStringLiteral("12"), 12}}) {
        goTo(s.get(), QStringLiteral("D-400"));
        s->Data1->reloadBoundControls();
        typeInto(s->Text1, QStringLiteral("1"));
        prompts.answerInput(answer).answerInput(QString());   // no location given: it stays empty
        s->SSDBCommand1->click();
        QCOMPARE(data.part(3, QStringLiteral("Minimum Stock")).toInt(), stored);
        QVERIFY(data.part(3, QStringLiteral("Location")).isNull());
        QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Minimum Stock]=0, [Quantity Ordered 1]=0 WHERE [Record Number]=3")));
    }
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::badNumbersAreRefusedBeforeTheWrite()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    goTo(s.get(), QStringLiteral("X-900"));
    typeInto(s->Text1, QStringLiteral("abc"));
    typeInto(s->MaskEdBox4, QStringLiteral("cheap"));
    prompts.expectMessage().expectMessage();
    s->SSDBCommand3->click();   // "&Begin"
    QCOMPARE(prompts.texts(),
             QStringList({"\"abc\" is not a whole number. Please enter a whole number here.",
                          "\"cheap\" is not a price. Please enter the price as a number, for example 12.50."}));
    QCOMPARE(prompts.messages()[0].style, 48);
    QCOMPARE(current(s.get()), 2);   // the move went on, with the stored values kept
    QCOMPARE(data.part(5, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    QCOMPARE(data.part(5, QStringLiteral("Special Price 1")).toDouble(), 0.0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::packagesBelowZeroOrInPartsAreRefused()
{
    PartsTestData data;
    // M-500 is needed (none in stock, 4 wanted); B-200 stores a back order below 0, as an older
    // file may.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=0, [Minimum Stock]=4 WHERE [Record Number]=1;"
                                     "UPDATE Parts SET [Back Ordered 2]=-2 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    const auto refusal = [](const char* typed) {
        return QStringLiteral("\"%1\" is %2. Please enter a whole number of 0 or more here.")
            .arg(QString::fromLatin1(typed), typed[0] == '-' ? QStringLiteral("below 0") : QStringLiteral("not a whole number"));
    };

    // Typed as the user types them, refused as the part is left ("&Next"): nothing is stored.
    const std::pair<const char*, const char*> typed[] = {{"-3", "-2"}, {"1.5", "0.5"}};
    for (const auto& [tag, backOrder] : typed) {
        goTo(s.get(), QStringLiteral("M-500"));
        QTest::mouseClick(s->Text1, Qt::LeftButton);   // the click selects the whole quantity
        QTest::keyClicks(s->Text1, QString::fromLatin1(tag));
        QTest::mouseClick(s->Text8, Qt::LeftButton);
        QTest::keyClick(s->Text8, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(s->Text8, QString::fromLatin1(backOrder));
        prompts.expectMessage().expectMessage();
        QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
        QCOMPARE(prompts.texts().mid(prompts.texts().size() - 2),
                 QStringList({refusal(tag), refusal(backOrder)}));
        QCOMPARE(prompts.messages().last().style, 48);
        QCOMPARE(data.part(1, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
        QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 0);
    }
    // The minimum purchase counts packages too; the package quantity is a whole number of 0 or more.
    goTo(s.get(), QStringLiteral("M-500"));
    const QVariant minimumBuy = data.part(1, QStringLiteral("Minimum Buy 1"));
    const QVariant package = data.part(1, QStringLiteral("Package 1"));
    for (const auto& [box, text] : {std::pair{s->Text26, "-1"}, std::pair{s->Text20, "2.5"}}) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
    prompts.expectMessage().expectMessage();
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.texts().mid(prompts.texts().size() - 2),
             QStringList({refusal("-1"), refusal("2.5")}));
    QCOMPARE(data.part(1, QStringLiteral("Minimum Buy 1")), minimumBuy);
    QCOMPARE(data.part(1, QStringLiteral("Package 1")), package);

    // So the part is still needed, and automatic tagging finds it.
    s->MnuShowNeeded_Click();
    QVERIFY(recordNumbers(s.get()).contains(1));
    s->MnuShowAll_Click();

    // A back order below 0 that the part already stores was not typed: leaving it says nothing.
    goTo(s.get(), QStringLiteral("B-200"));
    QCOMPARE(s->Text9->text(), QStringLiteral("-2"));
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.messages().size(), 6);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::typingWarnings()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Package 1]=10 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    // 5 packages of 10 are 50 pieces: no warning; 6 are 60, and every further change warns again.
    typeInto(s->Text1, QStringLiteral("5"));
    QCOMPARE(prompts.log().size(), 0);
    prompts.expectMessage();
    typeInto(s->Text1, QStringLiteral("6"));
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("You are about to order more than 50 of this part!"));
    QCOMPARE(prompts.messages()[0].style, 48);
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Warning"));
    prompts.expectMessage();
    QTest::keyClick(s->Text1, Qt::Key_0);   // 60 packages
    QCOMPARE(prompts.messages().size(), 2);
    // Keys that change nothing do not warn again.
    QTest::keyClick(s->Text1, Qt::Key_Left);
    QTest::keyClick(s->Text1, Qt::Key_Shift);
    QCOMPARE(prompts.messages().size(), 2);
    s->Data1->reloadBoundControls();

    // X-900 has 2 packages on back order from vendor 1: a beep and the notice on each change.
    goTo(s.get(), QStringLiteral("X-900"));
    prompts.expectMessage();
    typeInto(s->Text1, QStringLiteral("1"));
    const auto notice = prompts.messages().last();
    QCOMPARE(notice.text, QStringLiteral("This part is on backorder!"));
    QCOMPARE(notice.style, 0);
    QCOMPARE(notice.title, QString());
    QVERIFY(notice.beepBefore);
    s->Data1->reloadBoundControls();
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::autoOrderBoxesExcludeByClickOnly()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    QVERIFY(s->Check2->isChecked());   // B-200's default is vendor 2

    QTest::mouseClick(s->Check3, Qt::LeftButton, {}, QPoint(5, s->Check3->height() / 2));
    QVERIFY(s->Check3->isChecked());
    QVERIFY(!s->Check1->isChecked() && !s->Check2->isChecked());

    // Set by code, a box clears nothing.
    s->Check1->setChecked(true);
    QVERIFY(s->Check3->isChecked());

    // Unchecking by a click clears the other two as well.
    QTest::mouseClick(s->Check1, Qt::LeftButton, {}, QPoint(5, s->Check1->height() / 2));
    QVERIFY(!s->Check1->isChecked() && !s->Check2->isChecked() && !s->Check3->isChecked());

    QTest::mouseClick(s->Check3, Qt::LeftButton, {}, QPoint(5, s->Check3->height() / 2));
    s->SSDBCommand1->click();
    QCOMPARE(data.part(2, QStringLiteral("Default 3")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Default 2")).toInt(), 0);
}

void TestTagPartsScreen::sortAndRetrieve()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    s->MnuTagPartSort3_Click();
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv3"));
    QVERIFY(s->MnuShowAll->isChecked());

    // Retrieve after sorting by vendor 3: the vendor-3 box, the screen disabled while it is open.
    s->SSCommand1->click();
    QPointer<FindPartWindow> find = s->findWindow();
    QVERIFY(find);
    QCOMPARE(find->windowTitle(), QStringLiteral("Retrieve Part Number"));
    QCOMPARE(find->focusWidget(), find->Text3);
    QVERIFY(!s->isEnabled());
    find->Text3->setText(QStringLiteral("ZZ"));
    find->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!find);
    QVERIFY(s->isEnabled());
    QCOMPARE(current(s.get()), 4);                  // C-300, vendor-3 number ZZ-1
    QCOMPARE(s->focusWidget(), s->Text3);           // vendor 3's Order Qty

    // After "&All Parts" there is no index: Retrieve uses vendor 1's, box 1.
    s->MnuShowAll_Click();
    QCOMPARE(s->Data1->recordset()->index(), QString());
    s->SSCommand1->click();
    find = s->findWindow();
    QVERIFY(find);
    QCOMPARE(find->focusWidget(), find->Text1);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    find->Text1->setText(QStringLiteral("X"));
    find->Command1->click();
    QCOMPARE(current(s.get()), 5);
    QCOMPARE(s->focusWidget(), s->Text1);
    QCOMPARE(prompts.log().size(), 0);
}

void TestTagPartsScreen::tallyCountsTheViewAndStays()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 2]=1, [Minimum Stock]=1 WHERE [Record Number] IN (2, 3)")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    goTo(s.get(), QStringLiteral("D-400"));

    prompts.expectMessage();
    s->SSCommand6->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Total Records = 5"));
    QCOMPARE(prompts.messages().last().style, 0);
    QCOMPARE(prompts.messages().last().title, QString());
    QCOMPARE(current(s.get()), 3);

    s->MnuShowTagged_Click();
    s->Data1->recordset()->moveLast();
    const int there = current(s.get());
    prompts.expectMessage();
    s->SSCommand6->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Total Records = 2"));
    QCOMPARE(current(s.get()), there);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::textsShowWholeAndTabSkipsShownFigures()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Information SET [Vendor 2]='QUALITY BOWLING SUPPLY';"
                                     "UPDATE Parts SET [Quantity Ordered 1]=2, [Minimum Stock]=1, Location='A1' "
                                     "WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowTagged_Click();   // every caption shows, the tagged total too
    s->grab();                  // labels fit their texts when they are drawn

    // Each caption, heading and value shows its whole text; one longer than its box (the long
    // vendor make) carries it whole as its tooltip.
    int checked = 0;
    for (QLabel* label : s->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(s.get()) || label->wordWrap() || label->text().isEmpty())
            continue;
        const int m = label->margin();
        const QRect room = label->contentsRect().adjusted(m + qMax(0, label->indent()), m, -m, -m);
        const qreal needed = QFontMetricsF(label->font()).horizontalAdvance(label->text());
        QVERIFY2(needed <= room.width() || label->toolTip() == label->text(),
                 qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
        ++checked;
    }
    QVERIFY(checked >= 20);
    QCOMPARE(s->Label[2]->toolTip(), QStringLiteral("QUALITY BOWLING SUPPLY"));
    QCOMPARE(s->Label[2]->text(), QStringLiteral("QUALITY BOWLING SUPPLY"));

    // The Tab key goes from box to box the user types in; the figures the screen works out and
    // the date it shows are not on its way.
    QWidget* w = s->Check1;
    int guard = 0;
    while (w != s->cmdexit && ++guard < 200) {
        w = w->nextInFocusChain();
        auto* box = qobject_cast<QLineEdit*>(w);
        if (box && box->isVisibleTo(s.get()) && box->isEnabled() && (box->focusPolicy() & Qt::TabFocus))
            QVERIFY2(!box->isReadOnly(), qPrintable(box->objectName()));
    }
    QCOMPARE(w, static_cast<QWidget*>(s->cmdexit));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::displayOpensTheImagesOfTheCurrentPart()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    std::unique_ptr<TagParts> s(openScreen());
    goTo(s.get(), QStringLiteral("C-300"));

    prompts.expectMessage(Prompts::Yes);   // no images yet: add them
    QPointer<QWidget> shown;
    modal.onNext([&](QWidget* w) { shown = w; });
    s->Command1->click();
    QCoreApplication::processEvents();   // the window asks when it becomes active
    QVERIFY(shown);
    auto* images = qobject_cast<PartImagesWindow*>(shown.data());
    QVERIFY(images);
    QCOMPARE(images->objectName(), QStringLiteral("ImagesTagParts"));
    QCOMPARE(images->modifyButton(1)->text(), QStringLiteral("Modify Picture"));
    QCOMPARE(images->Text1->text(), QStringLiteral("4"));
    images->Command4_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Pictures WHERE [Record Number]=4")).toInt(), 1);
    QCOMPARE(current(s.get()), 4);
}

void TestTagPartsScreen::listWorksOnTheScreensRecords()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=1 WHERE [Record Number] IN (1, 5)")));
    ScriptedPrompts prompts;
    ScriptedModal modal;
    std::unique_ptr<TagParts> s(openScreen());

    // In the all-parts view the list holds the five parts; a row chosen there is the screen's part.
    int rows = -1;
    modal.onNext([&](QWidget* w) {
        auto* list = qobject_cast<ResultListWindow*>(w);
        QVERIFY(list);
        QCOMPARE(list->Data1->recordset(), s->Data1->recordset());
        rows = list->Data1->recordset()->recordCount();
        list->Data1->recordset()->moveToPosition(3);   // M-500 in vendor 1's order
        list->Command1_Click();
    });
    s->SSCommand4->click();
    QCOMPARE(rows, 5);
    QCOMPARE(current(s.get()), 1);
    QCOMPARE(s->Label[6]->text(), QStringLiteral("M-500"));

    // In the tagged view it holds the tagged parts only.
    s->MnuShowTagged_Click();
    modal.onNext([&](QWidget* w) {
        auto* list = qobject_cast<ResultListWindow*>(w);
        rows = list->Data1->recordset()->recordCount();
        list->Command1_Click();
    });
    s->SSCommand4->click();
    QCOMPARE(rows, 2);
    QCOMPARE(prompts.log().size(), 0);
}

void TestTagPartsScreen::neededViewAgainstRealRows()
{
    TestProgramFolder folder;
    QVERIFY(folder.installDatabase());
    // The shipped catalogue, with counts, minimums, tags and back orders spread over the parts.
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(folder.file(QStringLiteral("Inventory.mdb"))).constData(), &db,
                             SQLITE_OPEN_READWRITE, nullptr),
             SQLITE_OK);
    const char* setup =
        "UPDATE Parts SET [In Stock] = [Record Number] % 5, [Minimum Stock] = [Record Number] % 4, "
        "  Location = 'BIN ' || [Record Number], [Quantity Ordered 1]=0, [Quantity Ordered 2]=0, [Quantity Ordered 3]=0, "
        "  [Back Ordered 1]=0, [Back Ordered 2]=0, [Back Ordered 3]=0;"
        "UPDATE Parts SET [Quantity Ordered 1] = 1, [Minimum Stock] = 1 WHERE [Record Number] % 7 = 0;"
        "UPDATE Parts SET [Back Ordered 2] = 3 WHERE [Record Number] % 11 = 0;"
        "UPDATE Parts SET [Back Ordered 3] = NULL WHERE [Record Number] = 13;"
        "UPDATE Parts SET [Minimum Stock] = NULL WHERE [Record Number] = 17;";
    QCOMPARE(sqlite3_exec(db, setup, nullptr, nullptr, nullptr), SQLITE_OK);

    // What the needed predicate says of every part of the file.
    QSet<int> expected;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT [Record Number],[In Stock],[Minimum Stock],[Quantity Ordered 1],[Quantity Ordered 2],"
                       "[Quantity Ordered 3],[Back Ordered 1],[Back Ordered 2],[Back Ordered 3] FROM Parts",
                       -1, &st, nullptr);
    int parts = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++parts;
        auto col = [st](int i) -> std::optional<double> {
            if (sqlite3_column_type(st, i) == SQLITE_NULL)
                return std::nullopt;
            return sqlite3_column_double(st, i);
        };
        const OrderMath::StockLine line{col(1), col(2), {col(3), col(4), col(5)}, {col(6), col(7), col(8)}};
        if (OrderMath::isNeeded(line))
            expected.insert(sqlite3_column_int(st, 0));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    QVERIFY(parts > 30);
    QVERIFY(expected.size() > 3);
    QVERIFY(!expected.contains(13) && !expected.contains(17));

    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), expected);
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Dynaset);
    QVERIFY(s->MnuShowNeeded->isChecked() && !s->MnuShowAll->isChecked() && !s->MnuShowTagged->isChecked());
    QVERIFY(s->isListVisible());
    QCOMPARE(s->listCaption(), QStringLiteral("Parts Needed"));
    QVERIFY(s->Command4->isVisibleTo(s.get()));
    QVERIFY(!s->SSCommand1->isEnabled());
    QVERIFY(!s->Label[23]->isVisibleTo(s.get()));
    QCOMPARE(s->listModel()->rowCount(), expected.size());
    QCOMPARE(s->listModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Part Number 1"));

    // The tagged view: the parts with any quantity above 0.
    s->MnuShowTagged_Click();
    QSet<int> tagged;
    for (int rn = 1; rn <= parts; ++rn)
        if (rn % 7 == 0)
            tagged.insert(rn);
    QCOMPARE(recordNumbers(s.get()), tagged);
    QCOMPARE(s->listCaption(), QStringLiteral("Parts Currently Tagged For Order"));
    QVERIFY(s->Label[22]->isVisibleTo(s.get()) && s->Label[23]->isVisibleTo(s.get()));
    QVERIFY(!s->Command4->isVisibleTo(s.get()));

    // Back to all parts: the table, no index, the list gone, Retrieve back.
    s->MnuShowAll_Click();
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordset()->index(), QString());
    QCOMPARE(s->Data1->recordset()->recordCount(), parts);
    QVERIFY(!s->isListVisible() && !s->Command4->isVisibleTo(s.get()) && !s->Label[23]->isVisibleTo(s.get()));
    QVERIFY(s->SSCommand1->isEnabled());
    QVERIFY(s->MnuShowAll->isChecked() && !s->MnuShowNeeded->isChecked() && !s->MnuShowTagged->isChecked());
    QCOMPARE(prompts.log().size(), 0);
}

void TestTagPartsScreen::emptyViewsFallBackToAllParts()
{
    PartsTestData data;   // nothing tagged; nothing below its minimum
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    prompts.expectMessage();
    s->MnuShowNeeded_Click();
    const auto notice = prompts.messages().last();
    QCOMPARE(notice.text, QStringLiteral("There are no parts currently needed to order. \rNote: They may already be tagged, or they are on backorder."));
    QCOMPARE(notice.style, 64);
    QCOMPARE(notice.title, QStringLiteral("Notice"));
    QVERIFY(notice.beepBefore);
    QVERIFY(s->MnuShowAll->isChecked() && !s->MnuShowNeeded->isChecked());
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordset()->recordCount(), 5);
    QVERIFY(!s->isListVisible() && !s->Command4->isVisibleTo(s.get()) && s->SSCommand1->isEnabled());

    // A part on back order is not needed either, even below its minimum.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=0 WHERE [Record Number]=5")));
    prompts.expectMessage();
    s->MnuShowNeeded_Click();
    QCOMPARE(prompts.messages().size(), 2);

    prompts.expectMessage();
    s->MnuShowTagged_Click();
    const auto none = prompts.messages().last();
    QCOMPARE(none.text, QStringLiteral("There are no parts currently tagged for order!"));
    QCOMPARE(none.style, 0);
    QCOMPARE(none.title, QString());
    QVERIFY(none.beepBefore);
    QCOMPARE(s->Label[23]->text(), QStringLiteral("$0.00"));
    QVERIFY(s->MnuShowAll->isChecked() && !s->MnuShowTagged->isChecked());
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QVERIFY(!s->isListVisible() && !s->Label[23]->isVisibleTo(s.get()) && s->SSCommand1->isEnabled());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::taggedViewTotalsAndChecksEachPart()
{
    PartsTestData data;
    // Part A (M-500): 2 packages from vendor 1 at 10.00 less 15% = 8.50.
    // Part B (C-300): 1 package from vendor 3 at a special price of 6.00; its minimum is 0.
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Information SET [Discount 1]='15';"
        "UPDATE Parts SET [Quantity Ordered 1]=2, [Price 1]=10 WHERE [Record Number]=1;"
        "UPDATE Parts SET [Quantity Ordered 3]=1, [Special Price 3]=6, [Minimum Stock]=0, [Quantity Ordered 2]=NULL "
        "WHERE [Record Number]=4;")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    prompts.answerInput(QStringLiteral("3"));   // C-300's minimum, asked as the summing passes it
    s->MnuShowTagged_Click();
    QCOMPARE(prompts.log().size(), 1);
    QCOMPARE(prompts.log()[0].text, QStringLiteral("Please enter a minimum quantity for this part."));
    QCOMPARE(data.part(4, QStringLiteral("Minimum Stock")).toInt(), 3);
    QCOMPARE(s->Label[23]->text(), QStringLiteral("$23.00"));
    QVERIFY(s->Label[22]->isVisibleTo(s.get()) && s->Label[23]->isVisibleTo(s.get()));
    QCOMPARE(s->Label[22]->text(), QStringLiteral("$ Currently Tagged $"));
    QVERIFY(s->isListVisible());
    QCOMPARE(s->listCaption(), QStringLiteral("Parts Currently Tagged For Order"));
    QVERIFY(!s->SSCommand1->isEnabled());
    QVERIFY(s->MnuShowTagged->isChecked() && !s->MnuShowAll->isChecked());
    QCOMPARE(s->Data1->recordset()->absolutePosition(), 0);   // the list stands on its first part

    // Retrieve stays unavailable until all parts are shown again.
    s->MnuShowAll_Click();
    QVERIFY(s->SSCommand1->isEnabled());
    QVERIFY(!s->Label[23]->isVisibleTo(s.get()));
    QCOMPARE(s->Label[23]->text(), QStringLiteral("$23.00"));   // kept while hidden
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::viewChangeKeepsWhatWasTyped()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    goTo(s.get(), QStringLiteral("X-900"));
    prompts.expectMessage();   // on back order
    typeInto(s->Text1, QStringLiteral("3"));
    s->MnuShowTagged_Click();
    QCOMPARE(data.part(5, QStringLiteral("Quantity Ordered 1")).toInt(), 3);
    QCOMPARE(recordNumbers(s.get()), QSet<int>({5}));

    // Sorting writes a typed change too.
    s->MnuShowAll_Click();
    goTo(s.get(), QStringLiteral("M-500"));
    typeInto(s->MaskEdBox4, QStringLiteral("7.25"));
    s->MnuTagPartSort2_Click();
    QCOMPARE(data.part(1, QStringLiteral("Special Price 1")).toDouble(), 7.25);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv2"));
}

// A count cleared by the user is stored as 0; one an older file left empty counts as 0 where parts
// are chosen for ordering, so the part is needed and tagged.
void TestTagPartsScreen::emptiedCountsAreStoredAsZeroAndOlderEmptyOnesAreNeeded()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=NULL, [Back Ordered 1]=NULL, [Quantity Ordered 2]=NULL "
                                     "WHERE [Record Number]=5")));   // X-900, minimum 2
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    QCOMPARE(current(s.get()), 2);   // B-200
    for (QLineEdit* box : {s->Text1, s->Text8, s->Text26, s->Text20}) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
    }
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);   // "&Next"
    for (const char* field : {"Quantity Ordered 1", "Back Ordered 1", "Minimum Buy 1", "Package 1"})
        QCOMPARE(data.part(2, QString::fromLatin1(field)), QVariant(0LL));

    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({5}));
    prompts.expectMessage(Prompts::Yes);
    s->Command4->click();   // "Automat&ic Tag": the shortfall 2 below the minimum, in packages of 1
    QCOMPARE(data.part(5, QStringLiteral("Quantity Ordered 1")).toInt(), 2);
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.verifyAllAnswered());
}

// A price below 0 typed on this screen is refused as the part is left; one an older file stores
// is left for the user to correct, without a word.
void TestTagPartsScreen::pricesBelowZeroAreRefused()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Special Price 2]=-3 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    QCOMPARE(s->MaskEdBox5->text(), QStringLiteral("($3.00)"));
    for (const auto& [box, typed] : {std::pair{s->MaskEdBox4, "-5"}, std::pair{s->MaskEdBox11, "-1"}}) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(typed));
    }
    prompts.expectMessage().expectMessage();
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    const QString refusal = QStringLiteral("\"%1\" is below 0. Please enter the price as a number of 0 or more, for example 12.50.");
    QCOMPARE(prompts.texts(), QStringList({refusal.arg(QStringLiteral("-1")), refusal.arg(QStringLiteral("-5"))}));
    QCOMPARE(data.part(2, QStringLiteral("Price 1")).toDouble(), 12.5);
    QCOMPARE(data.part(2, QStringLiteral("Special Price 1")).toDouble(), 0.0);
    QCOMPARE(data.part(2, QStringLiteral("Special Price 2")).toDouble(), -3.0);
    QVERIFY(prompts.verifyAllAnswered());
}

// A price beyond what money holds shows as ####, and so does what is computed from it, the tagged
// total too; it is said once as the part is left, and the user moves on.
void TestTagPartsScreen::storedAmountsOutOfRangeShowAsMarksAndAreSaidOnce()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 1]=1e16, [Quantity Ordered 1]=1 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    for (QLineEdit* box : {s->MaskEdBox11, s->MaskEdBox14, s->MaskEdBox17})
        QCOMPARE(box->text(), QStringLiteral("####"));
    prompts.expectMessage();
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(current(s.get()), 4);
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("This part's Price 1 (####) is too large to be used here. Please enter the right value.")});
    QCOMPARE(data.part(2, QStringLiteral("Price 1")).toDouble(), 1e16);

    // The tagged view passes the part again, a visit of its own: said once more.
    prompts.expectMessage();
    s->MnuShowTagged->trigger();
    QCOMPARE(s->Label[23]->text(), QStringLiteral("####"));
    QCOMPARE(prompts.messages().size(), 2);
    QVERIFY(prompts.verifyAllAnswered());
}

// The tagged total is the exact amount, rounded once: 1000 packages at $0.4375 less 15 % are
// $371.875, so $371.88.
void TestTagPartsScreen::taggedTotalIsRoundedOnce()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Information SET [Discount 1]='15';"
                                     "UPDATE Parts SET [Price 1]=0.4375, [Quantity Ordered 1]=1000 WHERE [Record Number]=1")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowTagged->trigger();
    QCOMPARE(s->Label[23]->text(), QStringLiteral("$371.88"));
    QVERIFY(prompts.verifyAllAnswered());
}

// Automatic tagging never tags a vendor that has no part number for the part, even its "Auto
// Order" vendor: the part stays untagged and needed. A tag such a vendor holds can be cleared.
void TestTagPartsScreen::onlyAVendorWithAPartNumberIsTagged()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=0, [Minimum Stock]=4, [Default 3]=1, [Package 3]=1, "
                                     "[Minimum Buy 3]=1 WHERE [Record Number]=1;"
                                     "UPDATE Parts SET [Quantity Ordered 2]=4 WHERE [Record Number]=4")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.get()));
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({1}));   // M-500: vendor 3 checked, with no part number
    prompts.expectMessage(Prompts::Yes);
    s->Command4->click();
    for (const char* field : {"Quantity Ordered 1", "Quantity Ordered 2", "Quantity Ordered 3"})
        QCOMPARE(data.part(1, QString::fromLatin1(field)).toInt(), 0);
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({1}));
    s->MnuShowAll_Click();

    // C-300 holds a tag for vendor 2, who has no number for it: raised it is refused, cleared it goes.
    s->MnuTagPartSort1_Click();
    goTo(s.get(), QStringLiteral("C-300"));
    QVERIFY(s->Text2->isEnabled());
    QTest::mouseClick(s->Text2, Qt::LeftButton);   // the click selects the whole quantity
    QTest::keyClicks(s->Text2, QStringLiteral("5"));
    prompts.expectMessage();
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.texts().last(), QStringLiteral("This part has no part number for vendor # 2, so it cannot be ordered "
                                                    "from that vendor. Please enter 0 here."));
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 2")).toInt(), 4);
    goTo(s.get(), QStringLiteral("C-300"));
    QTest::mouseClick(s->Text2, Qt::LeftButton);
    QTest::keyClicks(s->Text2, QStringLiteral("0"));
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 2")).toInt(), 0);
    goTo(s.get(), QStringLiteral("C-300"));
    QVERIFY(!s->Text2->isEnabled());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::automaticTaggingOnRealRows()
{
    TestProgramFolder folder;
    QVERIFY(folder.installDatabase());
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(folder.file(QStringLiteral("Inventory.mdb"))).constData(), &db,
                             SQLITE_OPEN_READWRITE, nullptr),
             SQLITE_OK);
    // Only parts 1..6 of the shipped catalogue are needed: 10 wanted, 4 in stock.
    const char* setup =
        "UPDATE Parts SET [In Stock]=0, [Minimum Stock]=0, Location='BIN', [Default 1]=0, [Default 2]=0, [Default 3]=0, "
        "  [Quantity Ordered 1]=0, [Quantity Ordered 2]=0, [Quantity Ordered 3]=0, "
        "  [Back Ordered 1]=0, [Back Ordered 2]=0, [Back Ordered 3]=0;"
        "UPDATE Parts SET [Minimum Stock]=10, [In Stock]=4 WHERE [Record Number] <= 6;"
        "UPDATE Parts SET [Default 1]=1, [Package 1]=2, [Minimum Buy 1]=1 WHERE [Record Number]=1;"
        "UPDATE Parts SET [Default 2]=1, [Package 2]=4, [Minimum Buy 2]=1 WHERE [Record Number]=2;"
        "UPDATE Parts SET [Default 3]=1, [Part Number 3]='P-3', [Package 3]=1, [Minimum Buy 3]=12 WHERE [Record Number]=3;"
        "UPDATE Parts SET [Part Number 1]=NULL, [Part Number 2]='D-4', [Package 2]=3, [Minimum Buy 2]=1, Location=NULL "
        "WHERE [Record Number]=4;"
        "UPDATE Parts SET [Part Number 1]=NULL, [Part Number 2]=NULL, [Part Number 3]=NULL WHERE [Record Number]=5;"
        "UPDATE Parts SET [Default 1]=1, [Package 1]=NULL, [Minimum Buy 1]=5 WHERE [Record Number]=6;";
    QCOMPARE(sqlite3_exec(db, setup, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    auto value = [&](int rn, const char* field) {
        sqlite3* d = nullptr;
        sqlite3_open_v2(QFile::encodeName(folder.file(QStringLiteral("Inventory.mdb"))).constData(), &d, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT [%1] FROM Parts WHERE [Record Number]=%2").arg(QLatin1String(field)).arg(rn).toUtf8();
        sqlite3_prepare_v2(d, sql.constData(), -1, &st, nullptr);
        qint64 v = -1;
        if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
            v = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(d);
        return v;
    };

    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({1, 2, 3, 4, 5, 6}));

    prompts.expectMessage(Prompts::Yes).answerInput(QStringLiteral("top shelf"));   // part 4 has no location
    s->Command4->click();
    const auto question = prompts.messages()[0];
    QCOMPARE(question.text, QStringLiteral("Do you really want to tag all parts based on the minimum order quantities?"));
    QCOMPARE(question.style, 324);
    QCOMPARE(question.title, QStringLiteral("Confirm?"));
    QVERIFY(question.beepBefore);
    QCOMPARE(prompts.texts(), QStringList({question.text, QStringLiteral("Please enter a location for this part.")}));
    QVERIFY(prompts.verifyAllAnswered());

    QCOMPARE(value(1, "Quantity Ordered 1"), 3);    // 6 pieces in packages of 2
    QCOMPARE(value(2, "Quantity Ordered 2"), 2);    // 1.5 packages, stored as 2
    QCOMPARE(value(3, "Quantity Ordered 3"), 12);   // the minimum buy is larger than 6
    QCOMPARE(value(4, "Quantity Ordered 2"), 2);    // vendor 2, the first that sells it: 6 / 3
    QCOMPARE(value(4, "Default 2"), 1);             // and now its default
    QCOMPARE(value(4, "Default 1"), 0);
    QCOMPARE(value(5, "Quantity Ordered 1") + value(5, "Quantity Ordered 2") + value(5, "Quantity Ordered 3"), 0);
    QCOMPARE(value(6, "Quantity Ordered 1"), 5);    // no package: the minimum buy
    QCOMPARE(value(1, "Quantity Ordered 2"), 0);

    // The screen ends in the all-parts view.
    QVERIFY(s->MnuShowAll->isChecked() && !s->MnuShowNeeded->isChecked());
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QVERIFY(!s->isListVisible() && !s->Command4->isVisibleTo(s.get()) && s->SSCommand1->isEnabled());

    // Part 5 is still needed; part 4, once its tag is gone, gets vendor 2 again although it now
    // has a vendor-1 number.
    sqlite3_open_v2(QFile::encodeName(folder.file(QStringLiteral("Inventory.mdb"))).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QCOMPARE(sqlite3_exec(db, "UPDATE Parts SET [Quantity Ordered 2]=0, [Part Number 1]='NEW-1' WHERE [Record Number]=4",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({4, 5}));
    prompts.expectMessage(Prompts::Yes);
    s->Command4->click();
    QCOMPARE(value(4, "Quantity Ordered 2"), 2);
    QCOMPARE(value(4, "Quantity Ordered 1"), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::automaticTaggingAnsweredNo()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=0, [Minimum Stock]=4 WHERE [Record Number]=4")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({4}));
    prompts.expectMessage(Prompts::No);
    s->Command4->click();
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    QVERIFY(s->MnuShowNeeded->isChecked());
    QVERIFY(s->isListVisible() && s->Command4->isVisibleTo(s.get()));
    QCOMPARE(prompts.texts().size(), 1);
    QCOMPARE(prompts.beeps(), 1);
}

void TestTagPartsScreen::automaticTaggingBeyond16Bits()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Parts SET [In Stock]=0, [Minimum Stock]=500000, [Package 1]=1 WHERE [Record Number]=4;"
        "UPDATE Parts SET [In Stock]=0, [Minimum Stock]=3, [Back Ordered 1]=0 WHERE [Record Number]=5;")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowNeeded_Click();
    QCOMPARE(recordNumbers(s.get()), QSet<int>({4, 5}));
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->Command4->click();
    // The part whose order does not fit is left untagged and named; the others are tagged.
    const auto told = prompts.messages().last();
    QCOMPARE(told.text, QStringLiteral("These parts were not tagged, because the quantity to order does not fit in 32767 "
                                       "packages:\rC-300"));
    QCOMPARE(told.style, 48);
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    QCOMPARE(data.part(5, QStringLiteral("Quantity Ordered 1")).toInt(), 3);
    QCOMPARE(data.part(5, QStringLiteral("Default 1")).toInt(), 1);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsScreen::colourSchemeConfiguration()
{
    const ColorSchemeConfig c = tagPartsColorScheme({}, {});
    QCOMPARE(c.tableName, QStringLiteral("TagPartsColors"));
    QCOMPARE(c.menuName, QStringLiteral("MnuTagPartsColors"));
    QCOMPARE(c.menuCaption, QStringLiteral("C&olors"));
    QCOMPARE(c.popupControls, QStringList({"SSDBGrid1"}));
    QCOMPARE(c.bindings.size(), 74);

    // The eight white captions take a background only; there is no Label30.
    QSet<QString> foreground, background;
    for (const ColorBinding& b : c.bindings) {
        if (b.property == ColorProperty::ForeColor)
            foreground.insert(b.control);
        if (b.key == QLatin1String("LabelBackColor"))
            background.insert(b.control);
    }
    for (const char* white : {"Label5", "Label22", "Label26", "Label27", "Label31", "Label32", "Label33", "Label34"}) {
        QVERIFY2(!foreground.contains(QLatin1String(white)), white);
        QVERIFY2(background.contains(QLatin1String(white)), white);
    }
    QVERIFY(!background.contains(QStringLiteral("Label30")));
    QVERIFY(foreground.contains(QStringLiteral("MaskEdBox1")) && foreground.contains(QStringLiteral("Check3")));
    QCOMPARE(background.size(), 33 + 1 + 3);   // the labels, the date box and the three check boxes

    QStringList items;
    for (const ColorMenuItem& i : c.items)
        items << i.name + u'=' + (i.submenu.isEmpty() ? QString() : i.submenu + u'/') + i.caption;
    QCOMPARE(items, QStringList({"MnuTagPartsBackgroundColor=Background Colors", "MnuTagPartsForegroundColor=Text Color",
                                 "MnuTagPartsListForeColor=List Window/Text Color",
                                 "MnuTagPartsListBackColor=List Window/Background",
                                 "MnuTagPartsEven=List Window/First Row", "MnuTagPartsNext=List Window/Next Row"}));
}

void TestTagPartsScreen::colourMenuItems()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=0, [Minimum Stock]=4 WHERE [Record Number]=4")));
    ScriptedPrompts prompts;
    WatchingDialogs dialogs;
    std::unique_ptr<TagParts> s(openScreen());
    QAction* firstRow = s->MnuTagPartsColors->findChild<QAction*>(QStringLiteral("MnuTagPartsEven"));
    QAction* text = s->MnuTagPartsColors->findChild<QAction*>(QStringLiteral("MnuTagPartsForegroundColor"));
    QVERIFY(firstRow && text);
    QVERIFY(s->MnuTagPartsColors->findChild<QMenu*>(QStringLiteral("MnuTagPartsListColor")));

    // In the all-parts view the list shows while the colour is chosen and is hidden again after.
    bool shownWhileChoosing = false;
    dialogs.onColor = [&] { shownWhileChoosing = s->isListVisible(); };
    dialogs.answerColor(QColor(255, 0, 0));
    firstRow->trigger();
    QVERIFY(shownWhileChoosing);
    QVERIFY(!s->isListVisible());
    QCOMPARE(storedColor(data, QStringLiteral("SSDBGridEvenColor")), qint64(0x0000FF));
    QCOMPARE(s->SSDBGrid1->palette().color(QPalette::Base), QColor(255, 0, 0));

    // In the needed view it stays.
    s->MnuShowNeeded_Click();
    QVERIFY(s->isListVisible());
    dialogs.answerColor(QColor(0, 0, 255));
    firstRow->trigger();
    QVERIFY(s->isListVisible());
    QCOMPARE(storedColor(data, QStringLiteral("SSDBGridEvenColor")), qint64(0xFF0000));

    // "Text Color": the data labels, date box and check boxes follow; the white captions stay white.
    dialogs.answerColor(QColor(0, 128, 0));
    text->trigger();
    QCOMPARE(storedColor(data, QStringLiteral("LabelForeColor")), qint64(0x008000));
    QCOMPARE(storedColor(data, QStringLiteral("SSDataForeColor")), qint64(0x008000));
    QCOMPARE(s->Label[4]->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(s->MaskEdBox1->palette().color(QPalette::Text), QColor(0, 128, 0));
    QCOMPARE(s->Label[5]->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(s->Label[34]->palette().color(QPalette::WindowText), QColor(Qt::white));

    // The right button pops the menu over the background and the list, not over a label or a box.
    const QPoint onGrid = s->SSDBGrid1->mapTo(s.get(), s->SSDBGrid1->rect().center());
    const QPoint onLabel = s->Label[4]->mapTo(s.get(), s->Label[4]->rect().center());
    const QPoint onBox = s->Text1->mapTo(s.get(), s->Text1->rect().center());
    const QPoint onBackground = s->Command4->mapTo(s.get(), QPoint(-5, -5));
    QVERIFY(s->Data3->isMenuClick(onGrid));
    QVERIFY(!s->Data3->isMenuClick(onLabel));
    QVERIFY(!s->Data3->isMenuClick(onBox));
    QVERIFY(s->Data3->isMenuClick(onBackground));
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestTagPartsScreen::exitSavesAndReleasesTheMainWindow()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    QWidget mainWindow;
    MainWindowLock::setMainWindow(&mainWindow);
    QPointer<TagParts> s = openScreen();
    MainWindowLock::acquire(s.data());
    QVERIFY(!mainWindow.isEnabled());

    goTo(s, QStringLiteral("C-300"));
    typeInto(s->Text1, QStringLiteral("4"));
    s->cmdexit->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!s);
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 1")).toInt(), 4);
    QVERIFY(mainWindow.isEnabled());
    QVERIFY(!MainWindowLock::isLocked());
    MainWindowLock::setMainWindow(nullptr);
    QCOMPARE(prompts.log().size(), 0);
}

QTEST_MAIN(TestTagPartsScreen)
#include "tst_tagparts_screen.moc"
