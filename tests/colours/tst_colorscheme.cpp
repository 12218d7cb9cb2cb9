// The colour scheme component against a real Colors.mdb in a temporary program folder: what the
// window shows, what reaches the file, the colour menu's popup rule, and the failures a centre
// can meet (a missing or damaged table, a read-only file).

#include "colours/ColorScheme.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <sqlite3.h>

namespace {

// Direct access to the file, beside the component's own connection.
class RawDb {
public:
    explicit RawDb(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 100);
    }
    ~RawDb() { sqlite3_close_v2(m_db); }
    bool exec(const QString& sql)
    {
        char* err = nullptr;
        const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (err) {
            qWarning() << err;
            sqlite3_free(err);
        }
        return rc == SQLITE_OK;
    }
    // Every row of every table, in stored order: a fingerprint of the whole file's content.
    QStringList dump()
    {
        QStringList out;
        const QStringList tables = column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
        for (const QString& t : tables)
            for (const QString& row : rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t)))
                out << t + QLatin1Char(':') + row;
        return out;
    }
    QStringList rows(const QString& sql)
    {
        QStringList out;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(st);
        return out;
    }
    QStringList column(const QString& sql)
    {
        QStringList out;
        for (const QString& r : rows(sql))
            out << r.section(QLatin1Char('|'), 0, 0);
        return out;
    }
    qint64 value(const QString& sql) { return rows(sql).value(0).toLongLong(); }

private:
    sqlite3* m_db = nullptr;
};

// A window as the screens build them: controls placed by name, some inside a frame and a tab.
struct TestWindow {
    QWidget window;
    QLabel* label1;
    QLabel* label2;
    QCheckBox* check1;
    QGroupBox* frame;
    QCheckBox* checkInFrame;
    QLabel* labelInFrame;
    QPushButton* button;
    QTableView* grid;
    QStandardItemModel model{6, 2};
    QTabWidget* tab;
    QLabel* labelOnTab;

    TestWindow()
    {
        window.setObjectName(QStringLiteral("TestScreen"));
        window.resize(600, 400);
        label1 = place(new QLabel(QStringLiteral("Book"), &window), QStringLiteral("Label1"), 10, 10, 80, 20);
        label2 = place(new QLabel(QStringLiteral("Page"), &window), QStringLiteral("Label2"), 100, 10, 80, 20);
        check1 = place(new QCheckBox(QStringLiteral("Default"), &window), QStringLiteral("Check1"), 200, 10, 80, 20);
        frame = place(new QGroupBox(QStringLiteral("Vendor # 1"), &window), QStringLiteral("SSFrame1"), 10, 40, 280, 100);
        checkInFrame = place(new QCheckBox(QStringLiteral("Buy here"), frame), QStringLiteral("Check2"), 10, 30, 100, 20);
        labelInFrame = place(new QLabel(QStringLiteral("Price"), frame), QStringLiteral("Label3"), 120, 30, 100, 20);
        button = place(new QPushButton(QStringLiteral("E&xit"), &window), QStringLiteral("Command1"), 10, 150, 80, 25);
        grid = place(new QTableView(&window), QStringLiteral("SSDBGrid1"), 300, 10, 280, 200);
        grid->setModel(&model);
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                model.setItem(r, c, new QStandardItem());
        tab = place(new QTabWidget(&window), QStringLiteral("SSTab1"), 10, 220, 280, 150);
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("tabFirstVendor"));
        labelOnTab = place(new QLabel(QStringLiteral("Backorder"), page), QStringLiteral("Label9"), 10, 10, 80, 20);
        tab->addTab(page, QStringLiteral("Vendor 1"));
    }

    template <typename W>
    W* place(W* w, const QString& name, int x, int y, int width, int height)
    {
        w->setObjectName(name);
        w->setGeometry(x, y, width, height);
        return w;
    }
};

QColor back(const QWidget* w) { return w->palette().color(w->backgroundRole()); }
QColor fore(const QWidget* w) { return w->palette().color(w->foregroundRole()); }

// The colour the dialog answers, and the value the table stores for it.
const QColor chosen(0x12, 0x34, 0x56);
constexpr qint64 chosenStored = 0x563412;

}  // namespace

class TestColorScheme : public QObject
{
    Q_OBJECT

private:
    // A table of the test's own, with one value per key so that each binding is told apart.
    static void addTestTable(const TestProgramFolder& f)
    {
        RawDb db(f.file(QStringLiteral("Colors.mdb")));
        QVERIFY(db.exec(QStringLiteral(
            "CREATE TABLE TestColors (MainFormBackColor LONG, LabelBackColor LONG, LabelForeColor LONG,"
            " SSFrameForeColor LONG, SSDBGridBackColor LONG, SSDBGridForeColor LONG,"
            " SSDBGridEvenColor LONG, SSDBGridOddColor LONG);"
            "INSERT INTO TestColors VALUES (0x0000FF, 0x00FF00, 0xFF0000, 0x808000, 0x111111, 0x0000AA, 0xEEEEEE, 0xCCFFCC);")));
    }

    static ColorSchemeConfig testConfig(const QString& table = QStringLiteral("TestColors"))
    {
        ColorSchemeConfig c;
        c.tableName = table;
        c.bindings = {
            {QStringLiteral("MainFormBackColor"), QString(), ColorProperty::BackColor},
            {QStringLiteral("MainFormBackColor"), QStringLiteral("Label1"), ColorProperty::BackColor},
            {QStringLiteral("LabelBackColor"), QStringLiteral("Label1"), ColorProperty::BackColor},   // later wins
            {QStringLiteral("LabelBackColor"), QStringLiteral("Label2"), ColorProperty::BackColor},
            {QStringLiteral("LabelBackColor"), QStringLiteral("Check1"), ColorProperty::BackColor},
            {QStringLiteral("LabelForeColor"), QStringLiteral("Label1"), ColorProperty::ForeColor},
            {QStringLiteral("SSFrameForeColor"), QStringLiteral("SSFrame1"), ColorProperty::ForeColor},
            {QStringLiteral("SSDBGridBackColor"), QStringLiteral("SSDBGrid1"), ColorProperty::BackColor},
            {QStringLiteral("SSDBGridForeColor"), QStringLiteral("SSDBGrid1"), ColorProperty::ForeColor},
            {QStringLiteral("SSDBGridEvenColor"), QStringLiteral("SSDBGrid1"), ColorProperty::EvenRowBackColor},
            {QStringLiteral("SSDBGridOddColor"), QStringLiteral("SSDBGrid1"), ColorProperty::OddRowBackColor},
        };
        c.menuName = QStringLiteral("MnuTestColors");
        c.menuCaption = QStringLiteral("&Colors");
        ColorMenuItem background;
        background.name = QStringLiteral("MnuColorBackground");
        background.caption = QStringLiteral("&Background Color");
        background.steps = {ColorStep::apply(QString(), ColorProperty::BackColor),
                            ColorStep::store(QStringLiteral("MainFormBackColor")),
                            ColorStep::apply(QStringLiteral("Label2"), ColorProperty::BackColor),
                            ColorStep::store(QStringLiteral("LabelBackColor"))};
        ColorMenuItem gridText;
        gridText.name = QStringLiteral("MnuListText");
        gridText.caption = QStringLiteral("Text Color");
        gridText.submenu = QStringLiteral("&List Window");
        gridText.steps = {ColorStep::apply(QStringLiteral("SSDBGrid1"), ColorProperty::ForeColor),
                          ColorStep::store(QStringLiteral("SSDBGridForeColor"))};
        ColorMenuItem gridBackground;
        gridBackground.name = QStringLiteral("MnuListBackground");
        gridBackground.caption = QStringLiteral("Background");
        gridBackground.submenu = QStringLiteral("&List Window");
        gridBackground.steps = {ColorStep::store(QStringLiteral("SSDBGridBackColor")),
                                ColorStep::apply(QStringLiteral("SSDBGrid1"), ColorProperty::BackColor)};
        c.items = {background, gridText, gridBackground};
        c.popupControls = {QStringLiteral("SSDBGrid1"), QStringLiteral("SSTab1")};
        return c;
    }

    // Counts how often the colour menu pops up; each popup is closed again at once.
    static int* countPopups(ColorScheme& scheme)
    {
        auto* count = new int(0);
        QMenu* menu = scheme.menu();
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, count] {
            ++*count;
            QTimer::singleShot(0, menu, &QMenu::close);
        });
        return count;
    }

private Q_SLOTS:
    void applyFollowsBindingsInOrder()
    {
        TestProgramFolder f;
        addTestTable(f);
        TestWindow w;
        const QColor designedCheckText = fore(w.checkInFrame);
        const QColor designedLabelText = fore(w.labelInFrame);
        const QColor designedButtonBack = back(w.button);
        ColorScheme scheme(&w.window, testConfig());
        scheme.OpenColorScheme();
        scheme.ApplyColorScheme();

        QCOMPARE(back(&w.window), QColor(Qt::red));             // 0x0000FF: red in the low byte
        QVERIFY(w.window.autoFillBackground());
        QCOMPARE(back(w.label1), QColor(0, 0xFF, 0));           // the later binding wins
        QVERIFY(w.label1->autoFillBackground());
        QCOMPARE(fore(w.label1), QColor(0, 0, 0xFF));
        QCOMPARE(back(w.label2), QColor(0, 0xFF, 0));
        QCOMPARE(back(w.check1), QColor(0, 0xFF, 0));
        // The frame's caption takes its text colour; the named controls inside it keep theirs.
        QCOMPARE(w.frame->palette().color(QPalette::Text), QColor(0, 0x80, 0x80));
        QCOMPARE(fore(w.checkInFrame), designedCheckText);
        QCOMPARE(fore(w.labelInFrame), designedLabelText);
        QCOMPARE(back(w.button), designedButtonBack);           // no binding: designed colour
        QCOMPARE(scheme.color(QStringLiteral("labelbackcolor")), QColor(0, 0xFF, 0));   // any letter case
    }

    void gridRowsShowFirstAndNextRowColoursAndTheEmptyAreaItsBackground()
    {
        TestProgramFolder f;
        addTestTable(f);
        TestWindow w;
        ColorScheme scheme(&w.window, testConfig());
        scheme.OpenColorScheme();
        w.window.show();
        scheme.install();   // a visible window is coloured at once
        QCOMPARE(w.grid->palette().color(QPalette::Text), QColor(0xAA, 0, 0));

        // What the user sees: rows 1, 3, 5 in the first-row colour, rows 2, 4, 6 in the next-row
        // one, and beside the last column the list's own background.
        auto seen = [&w](QPoint at) {
            const QImage shot = w.grid->viewport()->grab().toImage();
            return shot.pixelColor(at * shot.devicePixelRatio());
        };
        const QPoint empty(w.grid->columnViewportPosition(1) + w.grid->columnWidth(1) + 5,
                           w.grid->rowViewportPosition(0) + 5);
        QVERIFY(w.grid->viewport()->rect().contains(empty));
        auto verifyRows = [&] {
            for (int row = 0; row < 4; ++row)
                QCOMPARE(seen(w.grid->visualRect(w.model.index(row, 1)).center()),
                         row % 2 == 0 ? QColor(0xEE, 0xEE, 0xEE) : QColor(0xCC, 0xFF, 0xCC));
        };
        verifyRows();
        QCOMPARE(seen(empty), QColor(0x11, 0x11, 0x11));

        // The list's "Background" shows at once in the empty area and leaves the rows alone.
        ScriptedDialogs dialogs;
        dialogs.answerColor(chosen);
        ScriptedPrompts prompts;
        scheme.menu()->findChild<QAction*>(QStringLiteral("MnuListBackground"))->trigger();
        QCOMPARE(seen(empty), chosen);
        verifyRows();
    }

    void applyingAgainChangesNothing()
    {
        TestProgramFolder f;
        addTestTable(f);
        TestWindow w;
        ColorScheme scheme(&w.window, testConfig());
        scheme.OpenColorScheme();
        scheme.ApplyColorScheme();

        // Applying the same colours again must not touch a palette: each change would schedule
        // another paint, and a scheme applied around paints would never come to rest.
        struct Counter : QObject {
            int changes = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::PaletteChange || e->type() == QEvent::UpdateRequest)
                    ++changes;
                return false;
            }
        } counter;
        w.window.installEventFilter(&counter);
        for (QWidget* child : w.window.findChildren<QWidget*>())
            child->installEventFilter(&counter);
        scheme.ApplyColorScheme();
        scheme.ApplyColorScheme();
        QCOMPARE(counter.changes, 0);
    }

    void storeWritesOnlyTheItemsKeysInTheFirstRow()
    {
        TestProgramFolder f;
        RawDb raw(f.file(QStringLiteral("Colors.mdb")));
        // A second row that must never be read or written.
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO MaintScreenColors VALUES (1, 2, 3, 4, 5, 6)")));
        const QStringList before = raw.dump();

        TestWindow w;
        ColorSchemeConfig config = testConfig(QStringLiteral("MaintScreenColors"));
        config.items[0].steps.append(ColorStep::apply(QStringLiteral("Label2"), ColorProperty::ForeColor));
        ColorScheme scheme(&w.window, config);
        scheme.OpenColorScheme();
        ScriptedDialogs dialogs;
        dialogs.answerColor(chosen);
        ScriptedPrompts prompts;   // no message expected
        scheme.menu()->findChild<QAction*>(QStringLiteral("MnuColorBackground"))->trigger();

        QCOMPARE(dialogs.colorCalls(), QList<QColor>{QColor(Qt::black)});   // first use: black
        // Apply steps show the colour at once, a property no key holds included.
        QCOMPARE(back(&w.window), chosen);
        QCOMPARE(back(w.label2), chosen);
        QCOMPARE(fore(w.label2), chosen);
        // The other controls of the stored keys follow at once too (Label1 and Check1).
        QCOMPARE(back(w.label1), chosen);
        QCOMPARE(back(w.check1), chosen);

        const QStringList after = raw.dump();
        QCOMPARE(after.size(), before.size());
        int changedRows = 0;
        for (int i = 0; i < before.size(); ++i) {
            if (before[i] == after[i])
                continue;
            ++changedRows;
            // Only the first row of this table, and in it only the two keys the item stores.
            QVERIFY2(after[i].startsWith(QLatin1String("MaintScreenColors:")), qPrintable(after[i]));
            const QStringList was = before[i].section(QLatin1Char(':'), 1).split(QLatin1Char('|'));
            const QStringList now = after[i].section(QLatin1Char(':'), 1).split(QLatin1Char('|'));
            QCOMPARE(now[0].toLongLong(), chosenStored);   // MainFormBackColor
            QCOMPARE(now[1].toLongLong(), chosenStored);   // LabelBackColor
            QCOMPARE(now.mid(2), was.mid(2));
        }
        QCOMPARE(changedRows, 1);
        QCOMPARE(raw.rows(QStringLiteral("SELECT * FROM MaintScreenColors ORDER BY rowid")).last(),
                 QStringLiteral("1|2|3|4|5|6"));

        // The stored colour is what the window shows when it is opened again.
        TestWindow again;
        ColorScheme reopened(&again.window, testConfig(QStringLiteral("MaintScreenColors")));
        reopened.OpenColorScheme();
        reopened.ApplyColorScheme();
        QCOMPARE(back(&again.window), chosen);
        QCOMPARE(back(again.label2), chosen);
    }

    void cancelChangesAndStoresNothing()
    {
        TestProgramFolder f;
        addTestTable(f);
        RawDb raw(f.file(QStringLiteral("Colors.mdb")));
        TestWindow w;
        QStringList steps;
        ColorSchemeConfig config = testConfig();
        // Like the list items of the stock screens: show the list first, hide it afterwards.
        config.items[1].pre = [&] { steps << QStringLiteral("pre"); w.grid->show(); };
        config.items[1].post = [&] { steps << QStringLiteral("post"); w.grid->hide(); };
        ColorScheme scheme(&w.window, config);
        scheme.OpenColorScheme();
        w.grid->hide();
        scheme.ApplyColorScheme();
        const QStringList before = raw.dump();
        const QColor gridText = w.grid->palette().color(QPalette::Text);

        ScriptedDialogs dialogs;
        dialogs.answerColor(chosen).answerColor(std::nullopt).answerColor(std::nullopt);
        ScriptedPrompts prompts;
        QAction* background = scheme.menu()->findChild<QAction*>(QStringLiteral("MnuColorBackground"));
        QAction* listText = scheme.menu()->findChild<QAction*>(QStringLiteral("MnuListText"));
        background->trigger();                  // takes the colour: stored
        const QStringList taken = raw.dump();
        QVERIFY(taken != before);

        listText->trigger();                    // cancelled: nothing applied or stored
        QCOMPARE(raw.dump(), taken);
        QCOMPARE(w.grid->palette().color(QPalette::Text), gridText);
        QCOMPARE(steps, (QStringList{QStringLiteral("pre"), QStringLiteral("post")}));
        QVERIFY(w.grid->isHidden());            // the post-step put the window back as it was

        background->trigger();                  // cancel after a choice: still nothing
        QCOMPARE(raw.dump(), taken);
        QCOMPARE(back(&w.window), chosen);
        QCOMPARE(dialogs.colorCalls().value(2), chosen);   // and the held colour is unchanged
        QVERIFY(prompts.log().isEmpty());
    }

    void dialogPreselectsTheColourLastTakenOnThisWindow()
    {
        TestProgramFolder f;
        addTestTable(f);
        RawDb raw(f.file(QStringLiteral("Colors.mdb")));
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE OtherColors AS SELECT * FROM TestColors")));
        TestWindow one, other;
        ColorScheme first(&one.window, testConfig());
        ColorScheme second(&other.window, testConfig(QStringLiteral("OtherColors")));
        first.OpenColorScheme();
        second.OpenColorScheme();
        ScriptedDialogs dialogs;
        ScriptedPrompts prompts;
        const QColor green(0, 0x80, 0);
        dialogs.answerColor(green).answerColor(Qt::blue).answerColor(Qt::yellow).answerColor(Qt::cyan);

        const ColorSchemeConfig items = testConfig();
        first.ChangeSchemeColor(items.items[0]);    // black preselected, green taken
        first.ChangeSchemeColor(items.items[1]);    // another item: green preselected
        second.ChangeSchemeColor(items.items[0]);   // another window: black
        first.OpenColorScheme();                    // loaded again: black
        first.ChangeSchemeColor(items.items[0]);
        QCOMPARE(dialogs.colorCalls(), (QList<QColor>{Qt::black, green, Qt::black, Qt::black}));

        // Each window wrote its own table; the same key on the other window is untouched.
        QCOMPARE(raw.value(QStringLiteral("SELECT MainFormBackColor FROM TestColors")), ColorScheme::toStored(Qt::cyan));
        QCOMPARE(raw.value(QStringLiteral("SELECT MainFormBackColor FROM OtherColors")), ColorScheme::toStored(Qt::yellow));
        QCOMPARE(raw.value(QStringLiteral("SELECT SSDBGridForeColor FROM TestColors")), ColorScheme::toStored(Qt::blue));
    }

    void rightButtonPopsTheMenuOnlyOnBackgroundAndPopupControls()
    {
        TestProgramFolder f;
        addTestTable(f);
        TestWindow w;
        ColorScheme scheme(&w.window, testConfig());
        scheme.OpenColorScheme();
        scheme.install();
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QCOMPARE(back(&w.window), QColor(Qt::red));   // applied when the window showed
        std::unique_ptr<int> popups(countPopups(scheme));

        auto press = [&](QWidget* target, Qt::MouseButton button, QPoint pos = QPoint(5, 5)) {
            const int was = *popups;
            QTest::mouseClick(target, button, {}, pos);
            return *popups - was;
        };
        QCOMPARE(press(&w.window, Qt::RightButton, QPoint(150, 190)), 1);   // the window's own surface
        QCOMPARE(press(&w.window, Qt::LeftButton, QPoint(150, 190)), 0);
        QCOMPARE(press(&w.window, Qt::MiddleButton, QPoint(150, 190)), 0);
        QCOMPARE(press(w.label1, Qt::RightButton), 0);                      // a label keeps its press
        QCOMPARE(press(w.button, Qt::RightButton), 0);                      // so does a button
        QCOMPARE(press(w.frame, Qt::RightButton, QPoint(250, 80)), 0);      // and a frame
        QCOMPARE(press(w.checkInFrame, Qt::RightButton), 0);
        QCOMPARE(press(w.grid->viewport(), Qt::RightButton, QPoint(50, 50)), 1);   // a popup control
        QCOMPARE(press(w.grid->viewport(), Qt::LeftButton, QPoint(50, 50)), 0);
        QWidget* page = w.tab->widget(0);
        QCOMPARE(press(page, Qt::RightButton, QPoint(150, 80)), 1);         // the tab control's surface
        QCOMPARE(press(w.labelOnTab, Qt::RightButton), 0);                  // a label on the tab

        scheme.ShowColorMenu(1);
        scheme.ShowColorMenu(4);
        QCOMPARE(*popups, 3);
        scheme.ShowColorMenu(2);
        QCOMPARE(*popups, 4);

        // The menu offers the items, the list items in their submenu.
        QCOMPARE(scheme.menu()->objectName(), QStringLiteral("MnuTestColors"));
        QCOMPARE(scheme.menu()->title(), QStringLiteral("&Colors"));
        const QList<QAction*> top = scheme.menu()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QStringLiteral("&Background Color"));
        QVERIFY(top[1]->menu());
        QCOMPARE(top[1]->menu()->title(), QStringLiteral("&List Window"));
        QCOMPARE(top[1]->menu()->actions().value(0)->objectName(), QStringLiteral("MnuListText"));
    }

    void unreadableColoursKeepTheDesignedOnes()
    {
        TestProgramFolder f;
        addTestTable(f);
        RawDb raw(f.file(QStringLiteral("Colors.mdb")));
        // A missing column (LabelForeColor), a NULL, a text and a system-colour value.
        QVERIFY(raw.exec(QStringLiteral(
            "CREATE TABLE Damaged (MainFormBackColor LONG, LabelBackColor LONG, SSFrameForeColor LONG, SSDBGridOddColor LONG);"
            "INSERT INTO Damaged VALUES (NULL, 0x00FF00, 'blue', 0x8000000F);"
            "CREATE TABLE EmptyColors AS SELECT * FROM TestColors WHERE 0")));
        ScriptedPrompts prompts;   // reading never tells the user anything

        TestWindow designed;
        for (const QString& table : {QStringLiteral("Damaged"), QStringLiteral("NoSuchTable"), QStringLiteral("EmptyColors")}) {
            TestWindow w;
            ColorScheme scheme(&w.window, testConfig(table));
            scheme.OpenColorScheme();
            scheme.ApplyColorScheme();
            QCOMPARE(back(&w.window), back(&designed.window));
            QCOMPARE(fore(w.label1), fore(designed.label1));
            QCOMPARE(fore(w.frame), fore(designed.frame));
            QCOMPARE(w.grid->palette().color(QPalette::AlternateBase), designed.grid->palette().color(QPalette::AlternateBase));
            // What can be read is shown.
            QCOMPARE(back(w.label2), table == QLatin1String("Damaged") ? QColor(0, 0xFF, 0) : back(designed.label2));
        }

        // A window whose table is gone shows the colours the shipped table starts with.
        const QStringList shipped = raw.rows(QStringLiteral("SELECT LabelBackColor, SSDBGridOddColor FROM UsageColors"));
        QVERIFY(raw.exec(QStringLiteral("DROP TABLE UsageColors")));
        {
            TestWindow w;
            ColorScheme scheme(&w.window, testConfig(QStringLiteral("UsageColors")));
            scheme.OpenColorScheme();
            scheme.ApplyColorScheme();
            QCOMPARE(back(w.label2), ColorScheme::fromStored(shipped.value(0).section(QLatin1Char('|'), 0, 0).toLongLong()));
            QCOMPARE(w.grid->palette().color(QPalette::AlternateBase),
                     ColorScheme::fromStored(shipped.value(0).section(QLatin1Char('|'), 1, 1).toLongLong()));
            QCOMPARE(fore(w.frame), fore(designed.frame));   // a key the shipped table lacks
        }

        // No Colors.mdb at all: designed colours; a chosen colour is shown but cannot be kept.
        Connection::closeAll();
        QVERIFY(QFile::remove(f.file(QStringLiteral("Colors.mdb"))));
        TestWindow w;
        ColorScheme scheme(&w.window, testConfig());
        scheme.OpenColorScheme();
        scheme.ApplyColorScheme();
        QCOMPARE(back(&w.window), back(&designed.window));
        ScriptedDialogs dialogs;
        dialogs.answerColor(chosen);
        prompts.expectMessage();
        scheme.ChangeSchemeColor(testConfig().items[0]);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].style, 48);
        QVERIFY(prompts.messages()[0].text.startsWith(QLatin1String("The color could not be saved.")));
        QCOMPARE(back(&w.window), chosen);
        QVERIFY(!QFile::exists(f.file(QStringLiteral("Colors.mdb"))));   // never created
    }

    void readOnlyFileToldOnceAndNothingStored()
    {
        TestProgramFolder f;
        addTestTable(f);
        const QString path = f.file(QStringLiteral("Colors.mdb"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        // With rights that ignore permissions, another program holding the file stands in for
        // the read-only file: the engine refuses the write the same way.
        std::unique_ptr<RawDb> holder;
        if (QFileInfo(path).isWritable()) {
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
            holder = std::make_unique<RawDb>(path);
            QVERIFY(holder->exec(QStringLiteral("BEGIN IMMEDIATE")));
        }
        TestWindow w;
        ColorSchemeConfig config = testConfig();
        config.items[0].steps.append(ColorStep::store(QStringLiteral("SSFrameForeColor")));
        ColorScheme scheme(&w.window, config);
        scheme.OpenColorScheme();
        scheme.ApplyColorScheme();
        QCOMPARE(back(&w.window), QColor(Qt::red));   // reading still works

        ScriptedDialogs dialogs;
        dialogs.answerColor(chosen);
        ScriptedPrompts prompts;
        prompts.expectMessage();
        scheme.ChangeSchemeColor(config.items[0]);   // three store steps, one message
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].style, 48);
        QVERIFY2(prompts.messages()[0].text.contains(QLatin1String("read-only or in use")),
                 qPrintable(prompts.messages()[0].text));
        // Shown until the window closes, also at the next apply.
        scheme.ApplyColorScheme();
        QCOMPARE(back(&w.window), chosen);
        QCOMPARE(back(w.label1), chosen);
        QCOMPARE(fore(w.frame), chosen);

        holder.reset();
        Connection::closeAll();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        RawDb raw(path);
        QCOMPARE(raw.rows(QStringLiteral("SELECT MainFormBackColor, LabelBackColor, SSFrameForeColor FROM TestColors")),
                 QStringList{QStringLiteral("255|65280|8421376")});
    }

    void storedValuesUseTheLegacyByteOrder()
    {
        QCOMPARE(ColorScheme::toStored(QColor(0x12, 0x34, 0x56)), chosenStored);
        QCOMPARE(ColorScheme::fromStored(chosenStored), QColor(0x12, 0x34, 0x56));
        QCOMPARE(ColorScheme::fromStored(0xFF), QColor(Qt::red));
        QCOMPARE(ColorScheme::toStored(QColor(255, 255, 255, 10)), 0xFFFFFF);   // no alpha stored
        QVERIFY(!ColorScheme::fromStored(0x8000000F).isValid());
        QVERIFY(!ColorScheme::fromStored(-1).isValid());
    }

};

QTEST_MAIN(TestColorScheme)
#include "tst_colorscheme.moc"
