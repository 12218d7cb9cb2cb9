// The main window: its buttons and menus, the paper size, the lock it is under while screens
// are open, the file and utility commands, its colour and font, and leaving the program.
#include "app/Information.h"
#include "app/MainMenu.h"
#include "colours/ColorScheme.h"
#include "data/Connection.h"
#include "data/DataControl.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "platform/AppFolder.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "platform/Twips.h"
#include "reports/PaperSize.h"
#include "reports/UsagePrompts.h"
#include "support/RecordingReportControl.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QHash>
#include <QImage>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>

#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

qint64 scalar(const QString& file, const QString& sql)
{
    auto conn = Connection::open(file);
    Statement st = conn->prepare(sql);
    return st.step() ? st.int64(0) : -1;
}

// A working screen not built yet in this layer: a window that counts what the main window did to it.
class StubScreen : public QWidget {
public:
    StubScreen()
        : QWidget(nullptr, Qt::Window)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        auto* show = new QPushButton(QStringLiteral("&Show Usage"), this);
        show->setObjectName(QStringLiteral("Command3"));
        connect(show, &QPushButton::clicked, this, [this] { ++showUsagePresses; });
        for (const char* name : {"SSCheck1", "SSCheck2"}) {
            auto* box = new QCheckBox(this);
            box->setObjectName(QString::fromLatin1(name));
        }
    }
    int showUsagePresses = 0;
};


// Clicks at pos and reports whether the Customize menu popped up (closing it at once).
bool customizePopsUp(MainMenu& w, QWidget* target, QPoint pos, Qt::MouseButton button = Qt::RightButton)
{
    bool popped = false;
    auto connection = QObject::connect(w.mnuToolsCustomize, &QMenu::aboutToShow, [&] {
        popped = true;
        QTimer::singleShot(0, [&w] { w.mnuToolsCustomize->close(); });
    });
    QTest::mouseClick(target, button, {}, pos);
    QObject::disconnect(connection);
    return popped;
}

// The screens the task buttons open, with the button of each.
const QList<QPair<int, QString>> taskScreens = {
    {0, ScreenName::MaintScreen}, {1, ScreenName::TagParts}, {3, ScreenName::ReceiveParts},
    {4, ScreenName::PartsUsage}, {5, ScreenName::ModifyData}};

double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a text as the window shows it: in the text's rectangle the most frequent colour
// is the background and the one farthest from it the text.
double shownContrast(QWidget* window, QWidget* control, const QRect& textRect)
{
    const QImage shot = window->grab(QRect(control->mapTo(window, textRect.topLeft()), textRect.size())).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            most = it.value(), background = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(QColor(background), QColor(it.key())));
    return best;
}

// Every caption, value and frame title that a window shows can be read.
void verifyTextsReadable(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().trimmed().isEmpty() || label->contentsRect().isEmpty())
            continue;
        const double c = shownContrast(window, label, label->contentsRect());
        QVERIFY2(c >= 3, qPrintable(QStringLiteral("%1 %2 \"%3\": contrast %4")
                                        .arg(window->objectName(), label->objectName(), label->text()).arg(c)));
    }
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        if (!frame->isVisible() || frame->title().isEmpty())
            continue;
        QStyleOptionGroupBox opt;
        opt.initFrom(frame);
        opt.text = frame->title();
        opt.textAlignment = frame->alignment();
        opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, frame);
        const double c = shownContrast(window, frame, title);
        QVERIFY2(c >= 3, qPrintable(QStringLiteral("%1 %2 \"%3\": contrast %4")
                                        .arg(window->objectName(), frame->objectName(), frame->title()).arg(c)));
    }
}

// The menu bar looks as a plain menu bar of the desktop with the same menus and font.
void verifyDesktopMenuBar(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();
    QMenuBar plain;
    plain.setFont(bar->font());
    for (QAction* a : bar->actions())
        plain.addAction(a->text())->setEnabled(a->isEnabled());
    plain.resize(bar->size());
    QVERIFY2(bar->grab().toImage().convertToFormat(QImage::Format_RGB32)
                 == plain.grab().toImage().convertToFormat(QImage::Format_RGB32),
             qPrintable(window->objectName()));
}

}  // namespace

class TestMainMenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void taskButtonsAsDesigned();
    void menuBarItems_data();
    void menuBarItems();
    void printMenuInOrderAndEveryItemConnected();
    void paperSizeIsExclusiveAndStartsAsLetter();
    void lockHeldPerScreen();
    void taskButtonLocksUntilScreenCloses();
    void centerInformationOpensUnderTheLock();
    void taskButtonsOpenTheirScreens_data();
    void taskButtonsOpenTheirScreens();
    void partUsageShowsUsageAndTicksBoxes();
    void backupDisablesPrintMenuUntilItCloses();
    void compactKeepsDataAndNumbers();
    void compactFailureLeavesDatabaseUntouched();
    void compactKeepsWhoMayWriteTheDatabase();
    void openAndSaveAs();
    void saveAsFailureIsReported();
    void colourCancelChangesNothing();
    void fontsChangeOnlyTheButtonsName();
    void rightClickOnBackgroundOnly();
    void helpAndAboutItems();
    void exitClosesScreensThroughTheirOwnClosing();
    void screensReadableWithoutColourTables();
    void menuBarsKeepDesktopColours();

private:
    std::unique_ptr<TestProgramFolder> m_folder;
};

void TestMainMenu::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->installDatabase());
}

void TestMainMenu::cleanup()
{
    QVERIFY2(!MainWindowLock::isLocked(), "a screen still holds the main window");
    Connection::closeAll();
    m_folder.reset();
}

void TestMainMenu::taskButtonsAsDesigned()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    const struct {
        const char* caption;
        int left, top;
    } expected[] = {
        {"&Maintain Database", 300, 1380}, {"&Tag Parts for Ordering", 4800, 1380},
        {"&Center Information", 300, 2460}, {"R&eceive Parts", 4800, 2460},
        {"U&se Parts", 300, 3540}, {"&Input Your Inventory", 4800, 3540},
    };
    for (int i = 0; i < 6; ++i) {
        QPushButton* b = w.findChild<QPushButton*>(QStringLiteral("SSDBCommand%1").arg(i + 1));
        QVERIFY(b);
        QCOMPARE(b->text(), QString::fromLatin1(expected[i].caption));
        QCOMPARE(b->geometry(), twipsRect(expected[i].left, expected[i].top, 4005, 945));
        QCOMPARE(b->font().pointSizeF(), 12.0);
        QVERIFY(!b->icon().isNull());
        if (i > 0)
            QCOMPARE(w.SSDBCommand[i - 1]->nextInFocusChain(), static_cast<QWidget*>(b));
    }
    QCOMPARE(w.windowTitle(), QStringLiteral("Pinsetter Parts Inventory"));
    QCOMPARE(w.centralWidget()->size(), twipsRect(0, 0, 9195, 6345).size());
    // F1 topics of the window and of its menus.
    QCOMPARE(helpContext(&w), 42);
    QCOMPARE(helpContext(w.mnuFile), 410);
    QCOMPARE(helpContext(w.MnuUtilities), 430);
    QCOMPARE(helpContext(w.MnuPRint), 440);
    QCOMPARE(helpContext(w.mnuTools), 450);
    QCOMPARE(helpContext(w.mnuHelp), 460);
}

void TestMainMenu::menuBarItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("shortcut");
    const char* rows[][4] = {
        {"mnuFile", "&File", "", ""},
        {"mnuFileOpen", "&Open...", "mnuFile", "Ctrl+O"},
        {"mnuFileSaveAs", "Save &As...", "mnuFile", ""},
        {"mnuFilePrintPreview", "Printer S&etup", "mnuFile", ""},
        {"MnuPaperSetup", "Paper Size", "mnuFile", ""},
        {"MnuLetter", "Letter (USA)", "MnuPaperSetup", ""},
        {"MnuA4", "A4 (Europe)", "MnuPaperSetup", ""},
        {"mnuFileExit", "E&xit", "mnuFile", ""},
        {"MnuUtilities", "&Utilities", "", ""},
        {"MnuUtilitiesCompact", "&Compact Database", "MnuUtilities", ""},
        {"MnuUtilitiesBackup", "&Backup / Restore Data", "MnuUtilities", "Ctrl+B"},
        {"mnuUtilitiesChangeprices", "&Change Prices (With Disk)", "MnuUtilities", ""},
        {"MnuUpdatDatabase", "Update Database for Images", "MnuUtilities", ""},
        {"MnuPRint", "&Print", "", ""},
        {"mnuTools", "&Tools", "", ""},
        {"mnuToolsCustomize", "&Customize", "mnuTools", ""},
        {"MnuCustomizeColors", "Col&ors", "mnuToolsCustomize", ""},
        {"MnuCustomFonts", "&Fonts", "mnuToolsCustomize", ""},
        {"mnuHelp", "&Help", "", ""},
        {"mnuHelpContents", "&Contents", "mnuHelp", ""},
        {"mnuWindowSearchForHelpOn", "&Search for help on...", "mnuHelp", ""},
        {"mnuHelpIndex", "&Index", "mnuHelp", ""},
        {"mnuHelpAbout", "&About", "mnuHelp", ""},
        {"mnuHelpTechnicalSupport", "&Technical Support", "mnuHelp", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << r[0] << r[1] << r[2] << r[3];
}

void TestMainMenu::menuBarItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, parent);
    QFETCH(QString, shortcut);
    MainMenu w;
    QAction* action = w.findChild<QAction*>(name);
    QVERIFY2(action, qPrintable(name));
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    const QList<QAction*> holders = parent.isEmpty() ? w.menuBar()->actions()
                                                     : w.findChild<QMenu*>(parent)->actions();
    QVERIFY(holders.contains(action));
}

void TestMainMenu::printMenuInOrderAndEveryItemConnected()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    // The menu as the user walks it: every item and submenu, in order, with its caption.
    QStringList walked;
    std::function<void(QMenu*, int)> walk = [&](QMenu* menu, int depth) {
        for (QAction* a : menu->actions()) {
            walked << QString(depth * 2, u' ') + (a->isSeparator() ? QStringLiteral("-") : a->objectName() + '=' + a->text());
            if (a->menu())
                walk(a->menu(), depth + 1);
        }
    };
    walk(w.MnuPRint, 0);
    QStringList expected;
    for (const PrintMenuItem& item : PrintMenuItems()) {
        const int depth = item.parent.isEmpty() ? 0 : 1;
        expected << QString(depth * 2, u' ') + (item.kind == PrintMenuItem::Separator ? QStringLiteral("-") : item.name + '=' + item.caption);
    }
    QCOMPARE(walked, expected);
    QCOMPARE(walked.size(), 42);
    QCOMPARE(w.printItem("MnuLabelNoBarcode")->text(), QStringLiteral("No Barcodes (Avery #5161   1\" x 4\")"));
    QCOMPARE(w.printItem("MnuAvery5385")->text(), QStringLiteral("Rolodex Cards (Avery # 5385 2\" X 4\")"));
    QCOMPARE(w.findChild<QAction*>("MnuPrintSpcr1")->isSeparator(), true);

    // Every item does something; the report commands print through the main window's own
    // report control and parts source.
    for (const PrintMenuItem& item : PrintMenuItems())
        QVERIFY2(item.kind != PrintMenuItem::Command || item.command, qPrintable(item.name));
    RecordingReportControls recorded;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    w.printItem("MnuComplete")->trigger();
    QCOMPARE(recorded.runs().size(), 1);
    QCOMPARE(recorded.runs()[0].file, AppFolder::join(QStringLiteral("\\Complete.rpt")));

    // A vendor's order form: Yes opens the information window on that vendor's tab, modal, and
    // the form prints once it has closed.
    {
        Database db = Database::open(AppFolder::join(QStringLiteral("\\Inventory.mdb")));
        db.execute(QStringLiteral("UPDATE Parts SET [Quantity Ordered 2] = 3 WHERE [Record Number] = 1"));
    }
    prompts.expectMessage(Prompts::Yes);
    int tab = -1;
    qsizetype runsWhileOpen = -1;
    modal.onNext([&](QWidget* window) {
        auto* info = qobject_cast<Information*>(window);
        QVERIFY(info);
        tab = info->SSTab1->currentIndex();
        runsWhileOpen = recorded.runs().size();
        info->Command2->click();
    });
    w.printItem("MnuVendor2")->trigger();
    QCOMPARE(tab, 2);
    QCOMPARE(runsWhileOpen, 1);
    QCOMPARE(recorded.runs().size(), 2);
    QCOMPARE(recorded.runs()[1].file, AppFolder::join(QStringLiteral("\\order2.rpt")));
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Purchase Order Information"));
    QCOMPARE(recorded.created(), 1);
    QVERIFY(w.isEnabled());

    // The lane prompt opens beside the main window, which stays usable.
    w.printItem("MnuUsageLane")->trigger();
    LaneNumber* lane = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        lane = lane ? lane : qobject_cast<LaneNumber*>(top);
    QVERIFY(lane && lane->isVisible());
    QVERIFY(w.isEnabled());
    lane->Command2->click();
}

void TestMainMenu::paperSizeIsExclusiveAndStartsAsLetter()
{
    PaperSize::setA4(true);   // left over from an earlier window: every run starts as Letter
    MainMenu w;
    QVERIFY(w.MnuLetter->isChecked() && !w.MnuA4->isChecked());
    QVERIFY(!PaperSize::isA4());
    w.MnuA4->trigger();
    QVERIFY(!w.MnuLetter->isChecked() && w.MnuA4->isChecked());
    QVERIFY(PaperSize::isA4());
    w.MnuA4->trigger();   // choosing the checked one keeps it checked
    QVERIFY(!w.MnuLetter->isChecked() && w.MnuA4->isChecked());
    w.MnuLetter->trigger();
    QVERIFY(w.MnuLetter->isChecked() && !w.MnuA4->isChecked());
    QVERIFY(!PaperSize::isA4());
}

void TestMainMenu::lockHeldPerScreen()
{
    QWidget main;
    MainWindowLock::setMainWindow(&main);
    auto* ordering = new QWidget(nullptr, Qt::Window);
    QWidget info(nullptr, Qt::Window);
    int released = 0;

    MainWindowLock::acquire(ordering, [&] { ++released; });
    MainWindowLock::acquire(ordering);   // one hold per screen
    QCOMPARE(MainWindowLock::holders(), 1);
    QVERIFY(!main.isEnabled());

    // A window that did not lock (the about box, the information window for a purchase order)
    // releases nothing.
    MainWindowLock::release(&info);
    QVERIFY(!main.isEnabled());

    // Two screens: the main window comes back only with the last one.
    info.show();
    MainWindowLock::acquire(&info);
    info.close();
    QVERIFY(!MainWindowLock::isHeldBy(&info));
    QVERIFY(!main.isEnabled());

    // Hiding by minimising is not closing.
    ordering->show();
    ordering->showMinimized();
    QVERIFY(MainWindowLock::isHeldBy(ordering));

    delete ordering;   // a destroyed screen lets go too
    QVERIFY(main.isEnabled());
    QCOMPARE(released, 1);
    QVERIFY(!MainWindowLock::isLocked());
    MainWindowLock::setMainWindow(nullptr);
}

void TestMainMenu::taskButtonLocksUntilScreenCloses()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    int made = 0;
    QPointer<StubScreen> screen;
    w.screens().setFactory(ScreenName::PartsUsage, [&] { ++made; screen = new StubScreen; return screen.data(); });

    QTest::mouseClick(w.SSDBCommand[4], Qt::LeftButton);
    QVERIFY(screen && screen->isVisible());
    QVERIFY(!w.isEnabled());
    QTest::mouseClick(w.SSDBCommand[4], Qt::LeftButton);   // a disabled window takes no click
    QCOMPARE(made, 1);

    screen->close();
    QVERIFY(w.isEnabled());
    QTRY_VERIFY(!screen);   // unloaded
    QTest::mouseClick(w.SSDBCommand[4], Qt::LeftButton);   // and created afresh
    QVERIFY(screen);
    QCOMPARE(made, 2);
    screen->close();
    QVERIFY(w.isEnabled());
}

void TestMainMenu::centerInformationOpensUnderTheLock()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    QTest::mouseClick(w.SSDBCommand[2], Qt::LeftButton);
    auto* info = qobject_cast<Information*>(w.screens().existing(ScreenName::Information));
    QVERIFY(info && info->isVisible());
    QVERIFY(!w.isEnabled());
    QCOMPARE(info->SSTab1->currentIndex(), 0);
    info->Command2->click();
    QVERIFY(w.isEnabled());
}

void TestMainMenu::taskButtonsOpenTheirScreens_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("screen");
    QTest::newRow("maintain") << 0 << QString(ScreenName::MaintScreen);
    QTest::newRow("tag") << 1 << QString(ScreenName::TagParts);
    QTest::newRow("receive") << 3 << QString(ScreenName::ReceiveParts);
    QTest::newRow("use") << 4 << QString(ScreenName::PartsUsage);
    QTest::newRow("input") << 5 << QString(ScreenName::ModifyData);
}

void TestMainMenu::taskButtonsOpenTheirScreens()
{
    QFETCH(int, button);
    QFETCH(QString, screen);
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    QTest::mouseClick(w.SSDBCommand[button], Qt::LeftButton);
    QPointer<QWidget> opened = w.screens().existing(screen);
    QVERIFY(opened && opened->isVisible());
    QVERIFY(!w.isEnabled());
    opened->close();
    QVERIFY(w.isEnabled());
}

void TestMainMenu::partUsageShowsUsageAndTicksBoxes()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    QPointer<StubScreen> usage;
    w.screens().setFactory(ScreenName::PartsUsage, [&] { usage = new StubScreen; return usage.data(); });
    w.printItem("MnuOnePart")->trigger();
    QVERIFY(usage && usage->isVisible());
    QCOMPARE(usage->showUsagePresses, 1);
    QVERIFY(usage->findChild<QCheckBox*>("SSCheck1")->isChecked());
    QVERIFY(usage->findChild<QCheckBox*>("SSCheck2")->isChecked());
    QVERIFY(!w.isEnabled());
    usage->close();
    QVERIFY(w.isEnabled());
}

void TestMainMenu::backupDisablesPrintMenuUntilItCloses()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    QPointer<StubScreen> backup, prices;
    w.screens().setFactory(ScreenName::frmZipCreate, [&] { backup = new StubScreen; return backup.data(); });
    w.screens().setFactory(ScreenName::ChangePrice, [&] { prices = new StubScreen; return prices.data(); });

    w.MnuUtilitiesBackup->trigger();
    QVERIFY(backup && backup->isVisible());
    QVERIFY(!w.isEnabled());
    QVERIFY(!w.MnuPRint->menuAction()->isEnabled());
    backup->close();   // its close box: the unload path
    QVERIFY(w.isEnabled());
    QVERIFY(w.MnuPRint->menuAction()->isEnabled());

    w.mnuUtilitiesChangeprices->trigger();
    QVERIFY(prices && prices->isVisible());
    QVERIFY(!w.isEnabled());
    prices->close();
    QVERIFY(w.isEnabled());
    QVERIFY(w.MnuPRint->menuAction()->isEnabled());
}

void TestMainMenu::compactKeepsDataAndNumbers()
{
    const QString db = m_folder->file("Inventory.mdb");
    const qint64 parts = scalar(db, "SELECT COUNT(*) FROM Parts");
    const qint64 highest = scalar(db, "SELECT MAX([Record Number]) FROM Parts");
    QVERIFY(parts > 1);
    Connection::open(db)->execute(QStringLiteral("DELETE FROM Parts WHERE [Record Number] = %1").arg(highest));
    QFile stale(m_folder->file("inv1.mdb"));   // left by an earlier failure
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("junk") == 4);
    stale.close();

    MainMenu w;
    QVERIFY(w.Form_Load());
    w.Data1->refresh();   // the parts source holds the file open, as after a report command
    DataControl other;    // and so does another window
    other.setDatabaseName(db);
    other.setRecordSource("Information");
    other.refresh();

    ScriptedPrompts prompts;
    prompts.expectMessage();
    w.MnuUtilitiesCompact->trigger();
    QCOMPARE(prompts.texts(), QStringList{"Database successfully compacted. "});
    QCOMPARE(prompts.messages().first().style, 64);
    QCOMPARE(prompts.messages().first().title, QStringLiteral("Notice!"));
    QCOMPARE(QDir(m_folder->path()).entryList({"inv1*"}, QDir::Files, QDir::NoSort).size(), 0);

    QCOMPARE(scalar(db, "SELECT COUNT(*) FROM Parts"), parts - 1);
    QCOMPARE(w.Data1->recordset()->recordCount(), int(parts - 1));
    QVERIFY(!other.recordset()->value("Vendor 1").toString().isEmpty());
    // A deleted part's number is not handed out again.
    Connection::open(db)->execute("INSERT INTO Parts([Description]) VALUES ('new')");
    QVERIFY(scalar(db, "SELECT MAX([Record Number]) FROM Parts") > highest);
}

void TestMainMenu::compactFailureLeavesDatabaseUntouched()
{
    const QString db = m_folder->file("Inventory.mdb");
    QVERIFY(QDir(m_folder->path()).mkdir("INV1.MDB"));   // the compacted copy cannot be written
    const QByteArray before = hashOf(db);
    MainMenu w;
    QVERIFY(w.Form_Load());
    ScriptedPrompts prompts;
    prompts.expectMessage();
    w.MnuUtilitiesCompact_Click();
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.texts().first().startsWith("The database could not be compacted: "));
    QCOMPARE(prompts.messages().first().style, 48);
    QCOMPARE(hashOf(db), before);
    QVERIFY(scalar(db, "SELECT COUNT(*) FROM Parts") > 0);

    // No database at all: told so, and nothing is made in its place.
    Connection::closeAll();
    QVERIFY(QFile::remove(db));
    prompts.expectMessage();
    w.MnuUtilitiesCompact_Click();
    QVERIFY(prompts.texts().last().startsWith("The database could not be compacted: "));
    QVERIFY(!QFile::exists(db));
}

void TestMainMenu::compactKeepsWhoMayWriteTheDatabase()
{
    // A folder shared by two accounts: the database writable by its group, of another owner.
    const QString db = m_folder->file("Inventory.mdb");
    const QByteArray path = QFile::encodeName(db);
    QCOMPARE(::chmod(path.constData(), 0664), 0);
    QCOMPARE(::chown(path.constData(), 1000, 100), 0);   // the test runs where it may give files away
    const auto attributes = [&] {
        struct stat st;
        ::stat(path.constData(), &st);
        return QList<uint>{uint(st.st_mode & 07777), uint(st.st_uid), uint(st.st_gid)};
    };
    MainMenu w;
    QVERIFY(w.Form_Load());
    ScriptedPrompts prompts;
    prompts.expectMessage().expectMessage().expectMessage();
    w.MnuUtilitiesCompact_Click();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Database successfully compacted. "));
    QCOMPARE(attributes(), (QList<uint>{0664, 1000, 100}));

    // A database made read-only stays read-only.
    QCOMPARE(::chmod(path.constData(), 0444), 0);
    w.MnuUtilitiesCompact_Click();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Database successfully compacted. "));
    QCOMPARE(attributes(), (QList<uint>{0444, 1000, 100}));

    // A database whose name is a link: the file it names is compacted, the link stays.
    Connection::closeAll();
    const QString real = m_folder->file("elsewhere/Inventory.mdb");
    QVERIFY(QDir().mkpath(QFileInfo(real).absolutePath()));
    QVERIFY(QFile::rename(db, real));
    QVERIFY(QFile::link(real, db));
    w.MnuUtilitiesCompact_Click();
    QCOMPARE(prompts.texts().last(), QStringLiteral("Database successfully compacted. "));
    QVERIFY(QFileInfo(db).isSymLink());
    QCOMPARE(QFileInfo(db).symLinkTarget(), real);
    QVERIFY(scalar(real, "SELECT COUNT(*) FROM Parts") > 0);
    QCOMPARE(attributes(), (QList<uint>{0444, 1000, 100}));
}

void TestMainMenu::openAndSaveAs()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    ScriptedDialogs dialogs;
    const QString other = m_folder->file("Other.mdb");
    QVERIFY(QFile::copy(m_folder->file("InventoryBrunswick.mdb"), other));

    dialogs.answerOpenFile(QString());   // Cancel keeps the parts source on Inventory.mdb
    w.mnuFileOpen->trigger();
    QCOMPARE(dialogs.openFileCalls().last().title, QStringLiteral("Dialog Box"));
    QCOMPARE(dialogs.openFileCalls().last().filter, QStringLiteral("Access Database Files |*.mdb"));
    QCOMPARE(resolveNoCase(w.Data1->databaseName()), m_folder->file("Inventory.mdb"));

    dialogs.answerOpenFile(other);
    w.mnuFileOpen->trigger();
    QCOMPARE(w.Data1->databaseName(), other);

    // Save As copies the file the parts source is bound to.
    const QString copy = m_folder->file("Copy.mdb");
    dialogs.answerSaveFile(copy);
    w.mnuFileSaveAs->trigger();
    QCOMPARE(dialogs.saveFileCalls().last().filter, QStringLiteral("Access Database Files|*.MDB"));
    QCOMPARE(dialogs.saveFileCalls().last().filterIndex, 1);
    QCOMPARE(scalar(copy, "SELECT COUNT(*) FROM Parts"), scalar(other, "SELECT COUNT(*) FROM Parts"));
    QCOMPARE(scalar(copy, "SELECT COUNT(*) FROM Parts WHERE [Part Number 1] IS NOT NULL"),
             scalar(other, "SELECT COUNT(*) FROM Parts WHERE [Part Number 1] IS NOT NULL"));

    // Cancel writes nothing, whatever name the dialog held.
    QVERIFY(QFile::remove(copy));
    dialogs.answerSaveFile(QString());
    w.mnuFileSaveAs->trigger();
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(dialogs.saveFileCalls().last().fileName, copy);
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestMainMenu::saveAsFailureIsReported()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    dialogs.answerSaveFile(m_folder->file("no such folder/Copy.mdb"));
    prompts.expectMessage();
    w.mnuFileSaveAs_Click();
    QVERIFY(prompts.texts().last().startsWith("The database could not be saved as "));
    QCOMPARE(prompts.messages().last().style, 48);

    // A first start leaves the parts source unbound: nothing to copy, and the user is told.
    w.Data1->setDatabaseName(QString());
    dialogs.answerSaveFile(m_folder->file("Copy.mdb"));
    prompts.expectMessage();
    w.mnuFileSaveAs_Click();
    QVERIFY(prompts.texts().last().contains("No database is open."));
    QVERIFY(!QFile::exists(m_folder->file("Copy.mdb")));
}

void TestMainMenu::colourCancelChangesNothing()
{
    const QString colors = m_folder->file("Colors.mdb");
    const qint64 stored = scalar(colors, "SELECT MainFormBackColor FROM MainMenuColors");
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    const QColor shown = w.palette().color(QPalette::Window);
    QCOMPARE(shown, ColorScheme::fromStored(stored));

    ScriptedDialogs dialogs;
    dialogs.answerColor(std::nullopt);
    w.MnuCustomizeColors_Click();
    QCOMPARE(w.palette().color(QPalette::Window), shown);
    QCOMPARE(scalar(colors, "SELECT MainFormBackColor FROM MainMenuColors"), stored);

    dialogs.answerColor(QColor(255, 0, 0));
    w.MnuCustomizeColors->trigger();
    QCOMPARE(w.palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(scalar(colors, "SELECT MainFormBackColor FROM MainMenuColors"), qint64(0x0000FF));
    // The buttons keep their own colours.
    QVERIFY(w.SSDBCommand[0]->palette().color(QPalette::Window) != QColor(255, 0, 0));

    // The next start shows it.
    MainMenu next;
    QVERIFY(next.Form_Load());
    next.show();
    QCOMPARE(next.palette().color(QPalette::Window), QColor(255, 0, 0));
}

void TestMainMenu::fontsChangeOnlyTheButtonsName()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    ScriptedDialogs dialogs;
    dialogs.answerFont(std::nullopt);
    w.MnuCustomFonts->trigger();
    QCOMPARE(w.SSDBCommand[0]->font().family(), QStringLiteral("Liberation Sans"));

    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(20);
    chosen.setItalic(true);
    dialogs.answerFont(chosen);
    w.MnuCustomFonts->trigger();
    for (QPushButton* b : w.SSDBCommand) {
        QCOMPARE(b->font().family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(b->font().pointSizeF(), 12.0);
        QVERIFY(!b->font().italic());
    }
}

void TestMainMenu::rightClickOnBackgroundOnly()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(customizePopsUp(w, w.centralWidget(), QPoint(5, 5)));
    QVERIFY(!customizePopsUp(w, w.SSDBCommand[2], QPoint(10, 10)));
    QVERIFY(!customizePopsUp(w, w.centralWidget(), QPoint(5, 5), Qt::LeftButton));
    QVERIFY(!customizePopsUp(w, w.centralWidget(), QPoint(5, 5), Qt::MiddleButton));
}

void TestMainMenu::helpAndAboutItems()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    RecordingHelp help;
    w.mnuHelpContents->trigger();
    w.mnuWindowSearchForHelpOn->trigger();
    w.mnuHelpIndex->trigger();
    w.mnuHelpTechnicalSupport->trigger();
    using C = RecordingHelp::Call;
    const QString file = HelpFilePath();
    QCOMPARE(help.calls(), (QList<C>{{C::Contents, file, 0, {}}, {C::Search, file, 0, {}}, {C::Search, file, 0, {}}, {C::Topic, file, 1240, {}}}));

    ScriptedModal modal;
    modal.onNext([](QWidget* about) { about->close(); });
    w.mnuHelpAbout->trigger();
    QCOMPARE(modal.shown().size(), 1);
    QVERIFY(w.isEnabled());
}

void TestMainMenu::exitClosesScreensThroughTheirOwnClosing()
{
    RecordingHelp help;
    auto* w = new MainMenu;
    QVERIFY(w->Form_Load());
    w->show();
    w->SSDBCommand[2]->click();
    auto* info = qobject_cast<Information*>(w->screens().existing(ScreenName::Information));
    QVERIFY(info);
    info->Center->setText("Typed before exit");
    w->mnuFileExit->trigger();
    QVERIFY(!w->isVisible());
    QCOMPARE(help.calls().size(), 1);
    QCOMPARE(help.calls().first().kind, RecordingHelp::Call::Quit);
    QCOMPARE(scalar(m_folder->file("Inventory.mdb"), "SELECT COUNT(*) FROM Information WHERE [Center Name] = 'Typed before exit'"), qint64(1));
    delete w;
}

void TestMainMenu::screensReadableWithoutColourTables()
{
    // Without the colour file every window shows the colours the program was designed with.
    Connection::closeAll();
    QVERIFY(QFile::remove(m_folder->file("Colors.mdb")));
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    verifyTextsReadable(&w);
    for (const auto& [button, name] : taskScreens) {
        w.SSDBCommand[button]->click();
        QPointer<QWidget> screen = w.screens().existing(name);
        QVERIFY(screen && screen->isVisible());
        verifyTextsReadable(screen);
        screen->close();
    }
}

void TestMainMenu::menuBarsKeepDesktopColours()
{
    MainMenu w;
    QVERIFY(w.Form_Load());
    w.show();
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    dialogs.answerColor(QColor(0, 0, 0x80));
    w.MnuCustomizeColors->trigger();
    verifyDesktopMenuBar(&w);
    for (const auto& [button, name] : taskScreens) {
        w.SSDBCommand[button]->click();
        auto* screen = qobject_cast<QMainWindow*>(w.screens().existing(name));
        QVERIFY(screen);
        // A navy background, then a light text: the colour menu's first two items.
        const QList<QAction*> items = screen->findChild<ColorScheme*>()->menu()->actions();
        dialogs.answerColor(QColor(0, 0, 0x80)).answerColor(QColor(0xF0, 0xF0, 0xF0));
        items.value(0)->trigger();
        items.value(1)->trigger();
        verifyDesktopMenuBar(screen);
        screen->close();
    }
    QVERIFY(dialogs.verifyAllAnswered());
}

QTEST_MAIN(TestMainMenu)
#include "tst_mainmenu.moc"
