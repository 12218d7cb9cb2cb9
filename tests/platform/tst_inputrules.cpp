// Typing limits, upper-casing, select-on-focus, the masked date box, Enter/Esc buttons and
// background clicks, driven with real key and mouse events.
#include "platform/InputRules.h"

#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {

void paste(QLineEdit* edit, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    edit->paste();
}

}  // namespace

class TestInputRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void limitStopsTypingAndPastingOnly();
    void upperCaseAppliesToTypedTextOnly();
    void selectAllOnFocusByMouseAndKeyboard();
    void dateBox_data();
    void dateBox();
    void enterAndEscPressWindowButtons();
    void backgroundClickIsOnlyOffTheControls();
};

void TestInputRules::limitStopsTypingAndPastingOnly()
{
    QLineEdit edit;
    limitTyping(&edit, 3);
    QTest::keyClicks(&edit, QStringLiteral("12345"));
    QCOMPARE(edit.text(), QStringLiteral("123"));
    edit.clear();
    paste(&edit, QStringLiteral("9876"));
    QCOMPARE(edit.text(), QString());  // too long a paste is refused, not silently cut
    paste(&edit, QStringLiteral("98"));
    QCOMPARE(edit.text(), QStringLiteral("98"));

    // A longer value set by code stays whole, still finishes on Enter, and can only shrink.
    const QString stored = QStringLiteral("BRUNSWICK");
    edit.setText(stored);
    QCOMPARE(edit.text(), stored);
    QSignalSpy finished(&edit, &QLineEdit::editingFinished);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(finished.count(), 1);
    QTest::keyClicks(&edit, QStringLiteral("X"));
    QCOMPARE(edit.text(), stored);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, QStringLiteral("Y"));
    QCOMPARE(edit.text(), stored.chopped(1));
}

void TestInputRules::upperCaseAppliesToTypedTextOnly()
{
    QLineEdit edit;
    upperCaseTyping(&edit);
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    QTest::keyClicks(&edit, QStringLiteral("abc-1x"));
    QCOMPARE(edit.text(), QStringLiteral("ABC-1X"));
    QVERIFY(edit.isModified());
    QCOMPARE(edited.last().at(0).toString(), QStringLiteral("ABC-1X"));

    // Stored text keeps its case; a character typed into it is upper-cased in its own place.
    edit.setText(QStringLiteral("abcd"));
    QCOMPARE(edit.text(), QStringLiteral("abcd"));
    edit.setCursorPosition(1);
    QTest::keyClicks(&edit, QStringLiteral("b"));
    QCOMPARE(edit.text(), QStringLiteral("aBbcd"));
    QCOMPARE(edit.cursorPosition(), 2);
    edit.setSelection(2, 2);
    paste(&edit, QStringLiteral("xy z"));
    QCOMPARE(edit.text(), QStringLiteral("aBXY Zd"));

    // Combined with a limit, whichever rule came first.
    QLineEdit limitedFirst;
    limitTyping(&limitedFirst, 4);
    upperCaseTyping(&limitedFirst);
    QTest::keyClicks(&limitedFirst, QStringLiteral("wxyz12"));
    QCOMPARE(limitedFirst.text(), QStringLiteral("WXYZ"));
    QLineEdit upperFirst;
    upperCaseTyping(&upperFirst, 2);
    QTest::keyClicks(&upperFirst, QStringLiteral("abc"));
    QCOMPARE(upperFirst.text(), QStringLiteral("AB"));
}

void TestInputRules::selectAllOnFocusByMouseAndKeyboard()
{
    QWidget window;
    auto* plain = new QLineEdit(QStringLiteral("plain"), &window);
    plain->setGeometry(0, 0, 100, 20);
    auto* count = new QLineEdit(QStringLiteral("12"), &window);
    count->setGeometry(0, 30, 100, 20);
    selectAllOnFocus(count);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    plain->setFocus();
    // The mouse press that gives the focus also places the cursor; the selection must survive it.
    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(5, 10));
    QVERIFY(count->hasFocus());
    QTRY_COMPARE(count->selectedText(), QStringLiteral("12"));

    QTest::mouseClick(plain, Qt::LeftButton, {}, QPoint(5, 10));
    QApplication::processEvents();
    QCOMPARE(plain->selectedText(), QString());
    count->deselect();
    QTest::keyClick(plain, Qt::Key_Tab);
    QVERIFY(count->hasFocus());
    QTRY_COMPARE(count->selectedText(), QStringLiteral("12"));
}

void TestInputRules::dateBox_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<QDate>("date");  // invalid = no date

    QTest::newRow("nothing typed") << "99/99/99" << "" << true << QDate();
    QTest::newRow("letters refused") << "99/99/99" << "ab" << true << QDate();
    QTest::newRow("four-digit year") << "99/99/9999" << "12312024" << false << QDate(2024, 12, 31);
    QTest::newRow("29 is this century") << "99/99/99" << "010229" << false << QDate(2029, 1, 2);
    QTest::newRow("30 is the last") << "99/99/99" << "010230" << false << QDate(1930, 1, 2);
    QTest::newRow("no such day") << "99/99/99" << "023099" << false << QDate();
    QTest::newRow("incomplete") << "99/99/9999" << "1231" << false << QDate();
}

void TestInputRules::dateBox()
{
    QFETCH(QString, mask);
    QFETCH(QString, typed);
    QFETCH(bool, blank);
    QFETCH(QDate, date);

    DateMaskBox box(mask);
    QTest::keyClicks(&box, typed);
    QCOMPARE(box.isBlank(), blank);
    QCOMPARE(box.date().value_or(QDate()), date);

    box.setDate(QDate(1999, 7, 4));
    QCOMPARE(box.displayText(), mask.size() == 8 ? QStringLiteral("07/04/99") : QStringLiteral("07/04/1999"));
    QCOMPARE(box.date(), std::optional(QDate(1999, 7, 4)));
    box.setDate(QDate());
    QVERIFY(box.isBlank());
}

void TestInputRules::enterAndEscPressWindowButtons()
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* memo = new QTextEdit(&window);
    auto* ok = new QPushButton(QStringLiteral("OK"), &window);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &window);
    auto* other = new QPushButton(QStringLiteral("Other"), &window);
    setDefaultButton(&window, ok);
    setCancelButton(&window, cancel);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    QSignalSpy cancelClicks(cancel, &QPushButton::clicked);
    QSignalSpy otherClicks(other, &QPushButton::clicked);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(okClicks.count(), 2);
    QCOMPARE(cancelClicks.count(), 1);

    memo->setFocus();  // a multi-line box keeps Enter for its new lines
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(memo->toPlainText(), QStringLiteral("\n"));
    other->setFocus();  // a button with the focus takes Enter itself
    QTest::keyClick(other, Qt::Key_Return);
    QCOMPARE(otherClicks.count(), 1);
    QCOMPARE(okClicks.count(), 2);

    edit->setFocus();  // a disabled default button is not pressed
    ok->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(okClicks.count(), 2);
}

void TestInputRules::backgroundClickIsOnlyOffTheControls()
{
    QWidget window;
    window.resize(300, 200);
    (new QPushButton(QStringLiteral("Stock"), &window))->setGeometry(10, 10, 80, 30);
    (new QWidget(&window))->setGeometry(100, 100, 100, 50);
    QVERIFY(!isBackgroundClick(&window, QPoint(20, 20)));
    QVERIFY(!isBackgroundClick(&window, QPoint(150, 120)));
    QVERIFY(isBackgroundClick(&window, QPoint(250, 20)));

    QMainWindow main;
    auto* central = new QWidget;
    main.setCentralWidget(central);
    (new QPushButton(QStringLiteral("Order"), central))->setGeometry(10, 10, 80, 30);
    main.resize(300, 200);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(!isBackgroundClick(&main, central->mapTo(&main, QPoint(20, 20))));
    QVERIFY(isBackgroundClick(&main, central->mapTo(&main, QPoint(200, 100))));
}

QTEST_MAIN(TestInputRules)
#include "tst_inputrules.moc"
