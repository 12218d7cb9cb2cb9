// Labels in fixed boxes: a text wider than its box is drawn smaller, or cut with its whole text as
// the tooltip, without the label's text or its size as the program set it being lost.
#include "platform/TextFit.h"
#include "platform/Twips.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

QFont arial(qreal points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

qreal widthOf(const QLabel& label)
{
    return QFontMetricsF(label.font()).horizontalAdvance(label.text());
}

// Paints the label as it would be on screen; fitting happens when it is drawn.
void draw(QLabel& label)
{
    label.show();
    label.grab();
}

}  // namespace

class TestTextFit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textThatFitsKeepsItsFont();
    void widerTextIsDrawnSmallerDownToAMinimum();
    void textTooWideEvenThenIsCutWithItsWholeTextAsTip();
    void programFontAndTipWin();
    void marginsAndIndentCount();
    void labelsLeftAlone();
    void resizedWindowRefits();
    void amountsInListCellsAreDrawnWhole();
    void amountTooWideForItsBoxShowsTheMark();
};

void TestTextFit::textThatFitsKeepsItsFont()
{
    QLabel label(QStringLiteral("AMF"));
    label.setFont(arial(8, true));
    label.resize(80, 20);
    fitLabelText(&label);
    fitLabelText(&label);   // a second call adds nothing
    draw(label);
    QCOMPARE(label.font(), arial(8, true));
    QVERIFY(label.toolTip().isEmpty());
}

void TestTextFit::widerTextIsDrawnSmallerDownToAMinimum()
{
    QLabel label(QStringLiteral("AMF"));
    label.setFont(arial(8, true));
    label.resize(80, 20);
    fitLabelText(&label);
    draw(label);

    // A make a little wider than the box: a smaller size of the same face, and it fits.
    label.setText(QStringLiteral("DISTRIBUTORS"));
    const qreal designWidth = QFontMetricsF(arial(8, true)).horizontalAdvance(label.text());
    QVERIFY2(designWidth > 80, "the test needs a text wider than the box");
    draw(label);
    QCOMPARE(label.text(), QStringLiteral("DISTRIBUTORS"));   // never changed
    QCOMPARE(label.font().family(), QStringLiteral("Liberation Sans"));
    QVERIFY(label.font().bold());
    QVERIFY(label.font().pointSizeF() < 8);
    QVERIFY(label.font().pointSizeF() >= 6.5);
    QVERIFY(widthOf(label) <= label.contentsRect().width());
    QVERIFY(label.toolTip().isEmpty());   // all of it shows

    // A shorter text brings the label's own size back.
    label.setText(QStringLiteral("OTHER"));
    draw(label);
    QCOMPARE(label.font(), arial(8, true));
}

void TestTextFit::textTooWideEvenThenIsCutWithItsWholeTextAsTip()
{
    QLabel label;
    label.setFont(arial(9.75, true));
    label.resize(120, 20);
    fitLabelText(&label);
    const QString longText = QStringLiteral("GEARBOX ASSEMBLY, DISTRIBUTOR DRIVE, COMPLETE");
    label.setText(longText);
    draw(label);
    // Cut either way, so it keeps its size; the whole text is a hover away.
    QCOMPARE(label.font(), arial(9.75, true));
    QCOMPARE(label.text(), longText);
    QCOMPARE(label.toolTip(), longText);

    label.setText(QStringLiteral("BELT"));
    draw(label);
    QVERIFY(label.toolTip().isEmpty());   // the tip was only there for the cut text
}

void TestTextFit::programFontAndTipWin()
{
    QLabel label(QStringLiteral("Updated Instock"));
    label.setFont(arial(8));
    label.setToolTip(QStringLiteral("The count after this booking"));
    label.resize(40, 16);
    fitLabelText(&label);
    draw(label);
    QCOMPARE(label.toolTip(), QStringLiteral("The count after this booking"));   // not replaced

    // The program (or a resizer) gives the label another size: that is its size from now on.
    label.resize(400, 16);
    label.setFont(arial(12));
    draw(label);
    QCOMPARE(label.font(), arial(12));
    label.resize(100, 16);   // 115 px of text at 12 pt
    draw(label);
    QVERIFY(label.font().pointSizeF() < 12);
    QVERIFY(label.font().pointSizeF() >= 9);   // three quarters of the label's own size
    QVERIFY(widthOf(label) <= 100);
    label.resize(400, 16);
    draw(label);
    QCOMPARE(label.font(), arial(12));
}

void TestTextFit::marginsAndIndentCount()
{
    QLabel label(QStringLiteral("Area of Machine"));
    label.setFont(arial(8, true));
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int needed = qCeil(QFontMetricsF(label.font()).horizontalAdvance(label.text()));
    label.resize(needed + 2, 20);
    fitLabelText(&label);
    draw(label);
    QCOMPARE(label.font(), arial(8, true));   // fits as it is

    label.setContentsMargins(3, 0, 3, 0);   // the same box with padding has less room
    draw(label);
    QVERIFY(label.font().pointSizeF() < 8);
    QVERIFY(widthOf(label) <= label.contentsRect().width());

    QLabel value(QStringLiteral("HARDWARE AND FITTINGS"));
    value.setFont(arial(8));
    value.setIndent(6);
    value.resize(qCeil(QFontMetricsF(value.font()).horizontalAdvance(value.text())) + 2, 20);
    fitLabelText(&value);
    draw(value);
    QVERIFY(value.font().pointSizeF() < 8);
    QVERIFY(widthOf(value) + 6 <= value.contentsRect().width());
}

void TestTextFit::labelsLeftAlone()
{
    QWidget window;
    auto* wrapped = new QLabel(QStringLiteral("After your database was successfully imported, we have found"), &window);
    wrapped->setWordWrap(true);
    wrapped->setFont(arial(8));
    wrapped->setGeometry(0, 0, 60, 40);
    auto* rich = new QLabel(QStringLiteral("<b>Sunset Lanes Family Bowling Centre</b>"), &window);
    rich->setFont(arial(8));
    rich->setGeometry(0, 50, 60, 20);
    auto* plain = new QLabel(QStringLiteral("Sunset Lanes Family Bowling Centre"), &window);
    plain->setFont(arial(8));
    plain->setGeometry(0, 80, 100, 20);
    fitLabelTexts(&window);
    window.show();
    window.grab();
    QCOMPARE(wrapped->font(), arial(8));
    QCOMPARE(rich->font(), arial(8));
    QVERIFY(rich->toolTip().isEmpty());
    QVERIFY(plain->font().pointSizeF() < 8 || plain->toolTip() == plain->text());
}

void TestTextFit::resizedWindowRefits()
{
    // A window whose controls keep their proportions: narrowed, the label's text is fitted again
    // from the size the resizer gives it; widened again, the label's own size is back.
    QWidget window;
    window.resize(300, 100);
    auto* label = new QLabel(QStringLiteral("QUALITY BOWLING"), &window);
    label->setFont(arial(8, true));
    label->setGeometry(10, 10, 120, 20);
    ProportionalResizer resizer(&window);
    resizer.captureDesign();
    fitLabelTexts(&window);
    window.grab();
    QCOMPARE(label->font(), arial(8, true));

    window.show();
    window.resize(240, 100);   // width ratio 0.8: the label is 96 px wide and its font 6.4 pt
    window.grab();
    QVERIFY(widthOf(*label) <= label->contentsRect().width() || label->toolTip() == label->text());

    window.resize(300, 100);
    window.grab();
    QCOMPARE(label->font(), arial(8, true));
    QVERIFY(label->toolTip().isEmpty());
}

// A list cell narrower than the amount it shows draws it smaller, every digit and the sign seen,
// rather than cut with "..."; what fits keeps the list's font. (Boxes: tst_entryboxes.)
void TestTextFit::amountsInListCellsAreDrawnWhole()
{
    const QString amount = QStringLiteral("($99,999.9999)");
    struct Exposed : TextFittingDelegate {
        using TextFittingDelegate::initStyleOption;
    };
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), amount);
    QTableView list;
    list.setFont(arial(8));
    list.setModel(&model);
    Exposed cells;
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.widget = &list;
    option.font = arial(8);
    option.rect = QRect(0, 0, int(QFontMetricsF(arial(8)).horizontalAdvance(amount)), 18);
    cells.initStyleOption(&option, model.index(0, 0));
    QVERIFY(option.font.pointSizeF() < 8);
    QVERIFY(QFontMetricsF(option.font).horizontalAdvance(amount) + 6 <= option.rect.width());
    option.rect.setWidth(200);
    option.font = arial(8);
    cells.initStyleOption(&option, model.index(0, 0));
    QCOMPARE(option.font, arial(8));
}

// An amount too wide for its box even in the smallest size is never shown as part of itself (which
// reads as another amount): the box shows the mark, as a box that holds the mark does, except while
// the user edits it. The text is not changed.
void TestTextFit::amountTooWideForItsBoxShowsTheMark()
{
    const auto box = [](QLineEdit& edit, const QString& text, int top) {
        edit.setFont(arial(8));
        edit.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit.setGeometry(10, top, 84, 22);
        edit.setText(text);
        edit.setCursorPosition(0);
    };
    QWidget window;
    QWidget table(&window);   // boxes in a table placed in the window, as on a screen
    table.setGeometry(60, 30, 200, 120);
    QLineEdit amount(&table), mark(&table), other(&table);
    fitLineEditText(&amount, QStringLiteral("####"));
    box(amount, QStringLiteral("$999,999,999,999.00"), 10);
    box(mark, QStringLiteral("####"), 40);
    box(other, QString(), 70);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The boxes as the window shows them.
    const auto seen = [&window](const QLineEdit& edit) {
        return window.grab(QRect(edit.mapTo(&window, QPoint()), edit.size())).toImage();
    };
    other.setFocus();
    QCOMPARE(seen(amount), seen(mark));
    QCOMPARE(amount.text(), QStringLiteral("$999,999,999,999.00"));
    amount.setFocus();
    QVERIFY(seen(amount) != seen(mark));
}

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
