// What the five parts screens share when they close: the part on screen is written first, and a
// part that cannot be written is not lost silently. The user is asked whether to close anyway: "No"
// keeps the screen open with what was typed (and the main window locked), "Yes" closes it and lets
// the main window go.

#include "parts/MaintScreen.h"
#include "stock/ModifyData.h"
#include "stock/PartsUsage.h"
#include "stock/ReceiveParts.h"
#include "stock/TagParts.h"

#include "parts/PartsTestData.h"
#include "platform/MainWindowLock.h"
#include "support/ScriptedPrompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <functional>

namespace {

const QString ChangesLost = QStringLiteral("Close this screen anyway and lose them?");

struct Case {
    std::function<QMainWindow*()> open;       // shown, standing on a part
    std::function<void(QMainWindow*)> edit;   // a change of the part on screen, not yet written
    QString reasonLead;                       // the question's first line, before the reason
    QString question;                         // its last line
};

template <typename Screen>
std::function<QMainWindow*()> opener()
{
    return [] {
        auto* screen = new Screen;
        MainWindowLock::acquire(screen);
        screen->show();
        screen->Form_Activate();
        return screen;
    };
}

}  // namespace

class TestPartsScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unwrittenPartAsksBeforeClosing_data();
    void unwrittenPartAsksBeforeClosing();
};

void TestPartsScreen::unwrittenPartAsksBeforeClosing_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("maintenance") << 0;
    QTest::newRow("ordering") << 1;
    QTest::newRow("stock input") << 2;
    QTest::newRow("usage") << 3;
    QTest::newRow("receiving") << 4;
}

void TestPartsScreen::unwrittenPartAsksBeforeClosing()
{
    QFETCH(int, which);
    const QString changes = QStringLiteral("The changes to this part could not be saved:\r");
    const Case cases[] = {
        {opener<MaintScreen>(), [](QMainWindow* w) { static_cast<MaintScreen*>(w)->Text21->setText(QStringLiteral("SHELF 9")); },
         changes, ChangesLost},
        {opener<TagParts>(), [](QMainWindow* w) { static_cast<TagParts*>(w)->Text7->setText(QStringLiteral("CALL FIRST")); },
         changes, ChangesLost},
        {opener<ModifyData>(), [](QMainWindow* w) { static_cast<ModifyData*>(w)->PartLocation->setText(QStringLiteral("SHELF 9")); },
         changes, ChangesLost},
        {opener<PartsUsage>(), [](QMainWindow* w) { static_cast<PartsUsage*>(w)->Label8->setText(QStringLiteral("1")); },
         changes, ChangesLost},
        {[] {
             auto* screen = new ReceiveParts;
             MainWindowLock::acquire(screen);
             screen->show();
             return static_cast<QMainWindow*>(screen);
         },
         [](QMainWindow* w) { static_cast<ReceiveParts*>(w)->Text39->setText(QStringLiteral("SHELF 9")); }, changes,
         ChangesLost},
    };
    const Case& c = cases[which];

    PartsTestData data;
    ScriptedPrompts prompts;
    QWidget mainWindow;
    MainWindowLock::setMainWindow(&mainWindow);
    QMainWindow* screen = c.open();
    QPointer<QMainWindow> guard(screen);
    QVERIFY(!mainWindow.isEnabled());

    c.edit(screen);
    QVERIFY(data.exec(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE UPDATE ON Parts BEGIN SELECT RAISE(ABORT, 'the part is locked'); END;")));

    prompts.expectMessage(Prompts::No);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard);
    QVERIFY(screen->isVisible());
    QVERIFY(MainWindowLock::isHeldBy(screen));
    QVERIFY(!mainWindow.isEnabled());
    QCOMPARE(prompts.messages().size(), 1);
    const ScriptedPrompts::Recorded asked = prompts.messages().constFirst();
    QVERIFY2(asked.text.startsWith(c.reasonLead) && asked.text.contains(QStringLiteral("the part is locked"))
                 && asked.text.endsWith(QStringLiteral("\r\r") + c.question),
             qPrintable(asked.text));
    QCOMPARE(asked.style, 292);

    prompts.expectMessage(Prompts::Yes);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
    QCOMPARE(prompts.messages().size(), 2);
    QVERIFY(mainWindow.isEnabled());
    QVERIFY(prompts.verifyAllAnswered());
    MainWindowLock::setMainWindow(nullptr);
}

QTEST_MAIN(TestPartsScreen)
#include "tst_partsscreen.moc"
