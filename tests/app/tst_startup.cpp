// Start-up: finding Inventory.mdb, and the first start's "Parts Selection" with its failures.
#include "app/AMForBRUNS.h"
#include "app/MainMenu.h"
#include "app/SingleCopy.h"
#include "data/DataControl.h"
#include "platform/AppFolder.h"
#include "platform/Twips.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList listing(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A program folder as shipped: no database yet, even when the build folder holds one from a run.
struct FirstStartFolder : TestProgramFolder {
    FirstStartFolder()
    {
        while (const auto existing = AppFolder::find(QStringLiteral("Inventory.mdb")))
            QFile::remove(*existing);
    }
};

// Plays one choice on the "Parts Selection" window when start-up shows it.
std::function<void(QWidget*)> choose(const QString& option)
{
    return [option](QWidget* window) {
        auto* choice = qobject_cast<AMForBRUNS*>(window);
        QVERIFY(choice);
        auto* button = choice->findChild<QRadioButton*>(option);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

// The controls that take the focus, in tab order from the first one.
QList<QWidget*> tabOrder(QWidget* first)
{
    QList<QWidget*> order;
    for (QWidget* w = first; w && !order.contains(w); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
    return order;
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void databaseFoundInAnyLetterCase_data();
    void databaseFoundInAnyLetterCase();
    void partsSelectionLooksAsDesigned();
    void choiceCopiesItsTemplate_data();
    void choiceCopiesItsTemplate();
    void missingTemplateEndsTheProgram_data();
    void missingTemplateEndsTheProgram();
    void failedCopyLeavesNoDatabase();
    void closeBoxEndsWithoutWritingAndNextStartAsksAgain();
    void oneCopyPerProgramFolder();
};

void TestStartup::databaseFoundInAnyLetterCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as spelled") << "Inventory.mdb";
    QTest::newRow("upper case") << "INVENTORY.MDB";
    QTest::newRow("lower case") << "inventory.mdb";
}

void TestStartup::databaseFoundInAnyLetterCase()
{
    QFETCH(QString, name);
    FirstStartFolder folder;
    QVERIFY(QFile::copy(folder.file("InventoryBrunswick.mdb"), folder.file(name)));
    const QByteArray before = hashOf(folder.file(name));
    const QStringList filesBefore = listing(folder.path());

    ScriptedModal modal;
    MainMenu mainMenu;
    QVERIFY(mainMenu.Form_Load());
    QVERIFY(modal.shown().isEmpty());   // no "Parts Selection"
    QCOMPARE(listing(folder.path()), filesBefore);
    QCOMPARE(hashOf(folder.file(name)), before);
    QCOMPARE(resolveNoCase(mainMenu.Data1->databaseName()), folder.file(name));
}

void TestStartup::partsSelectionLooksAsDesigned()
{
    AMForBRUNS window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Parts Selection"));
    QCOMPARE(window.size(), twipsRect(0, 0, 6345, 2805).size());
    QCOMPARE(window.Option1->text(), QStringLiteral("AMF Pinsetter Parts"));
    QCOMPARE(window.Option2->text(), QStringLiteral("Brunswick Pinsetter Parts"));
    QCOMPARE(window.Label1->geometry(), twipsRect(945, 315, 4470, 510));
    QCOMPARE(window.Option1->geometry(), twipsRect(1665, 1350, 3000, 420));
    QCOMPARE(window.Option2->geometry(), twipsRect(1650, 1980, 3000, 420));
    // The third choice lies below the client area and takes the first place, so that neither
    // visible choice is selected when the window opens.
    QVERIFY(window.Option3->geometry().top() >= window.height());
    QVERIFY(!window.Option1->isChecked() && !window.Option2->isChecked());
    QCOMPARE(tabOrder(window.Option3), (QList<QWidget*>{window.Option3, window.Option2, window.Option1}));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(128, 255, 255));
    QVERIFY(window.Option1->font().bold());
}

void TestStartup::choiceCopiesItsTemplate_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("storedAs");
    QTest::newRow("AMF") << "Option1" << "InventoryAMF.mdb" << "InventoryAMF.mdb";
    QTest::newRow("Brunswick") << "Option2" << "InventoryBrunswick.mdb" << "InventoryBrunswick.mdb";
    QTest::newRow("AMF, lower-case spelling") << "Option1" << "InventoryAMF.mdb" << "inventoryamf.mdb";
    QTest::newRow("Brunswick, lower-case spelling") << "Option2" << "InventoryBrunswick.mdb" << "inventorybrunswick.mdb";
}

void TestStartup::choiceCopiesItsTemplate()
{
    QFETCH(QString, option);
    QFETCH(QString, templateName);
    QFETCH(QString, storedAs);
    FirstStartFolder folder;
    if (storedAs != templateName)
        QVERIFY(QFile::rename(folder.file(templateName), folder.file(storedAs)));
    const QByteArray expected = hashOf(folder.file(storedAs));

    ScriptedPrompts prompts;   // no message may appear
    ScriptedModal modal;
    modal.onNext(choose(option));
    MainMenu mainMenu;
    QVERIFY(mainMenu.Form_Load());
    QCOMPARE(modal.shown().size(), 1);
    QVERIFY(AppFolder::existsExact("Inventory.mdb"));
    QCOMPARE(hashOf(folder.file("Inventory.mdb")), expected);
    QVERIFY(prompts.log().isEmpty());
    // After a first start the parts source stays unbound.
    QVERIFY(mainMenu.Data1->databaseName().isEmpty());
}

void TestStartup::missingTemplateEndsTheProgram_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("renamedTo");   // empty: removed
    QTest::addColumn<QString>("message");
    QTest::newRow("AMF removed") << "Option1" << "InventoryAMF.mdb" << ""
                                 << "The file inventoryamf.mdb does not exist. Contact Quenmoor!";
    QTest::newRow("AMF in upper case") << "Option1" << "InventoryAMF.mdb" << "INVENTORYAMF.MDB"
                                       << "The file inventoryamf.mdb does not exist. Contact Quenmoor!";
    QTest::newRow("Brunswick removed") << "Option2" << "InventoryBrunswick.mdb" << ""
                                       << "The file inventorybrunswick.mdb does not exist. Contact Quenmoor!";
}

void TestStartup::missingTemplateEndsTheProgram()
{
    QFETCH(QString, option);
    QFETCH(QString, templateName);
    QFETCH(QString, renamedTo);
    QFETCH(QString, message);
    FirstStartFolder folder;
    if (renamedTo.isEmpty())
        QVERIFY(QFile::remove(folder.file(templateName)));
    else
        QVERIFY(QFile::rename(folder.file(templateName), folder.file(renamedTo)));

    ScriptedPrompts prompts;
    prompts.expectMessage();
    ScriptedModal modal;
    modal.onNext(choose(option));
    MainMenu mainMenu;
    QVERIFY(!mainMenu.Form_Load());
    QCOMPARE(prompts.texts(), QStringList{message});
    QCOMPARE(prompts.messages().first().style, 0);
    QCOMPARE(prompts.messages().first().title, QString());
    QVERIFY(!AppFolder::find("Inventory.mdb"));
}

void TestStartup::failedCopyLeavesNoDatabase()
{
    FirstStartFolder folder;
    // The template is listed but cannot be read.
    QVERIFY(QFile::remove(folder.file("InventoryAMF.mdb")));
    QVERIFY(QFile::link(folder.file("gone/InventoryAMF.mdb"), folder.file("InventoryAMF.mdb")));
    const QStringList before = listing(folder.path());

    ScriptedPrompts prompts;
    prompts.expectMessage();
    ScriptedModal modal;
    modal.onNext(choose("Option1"));
    MainMenu mainMenu;
    QVERIFY(!mainMenu.Form_Load());
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.texts().first().startsWith("Inventory.mdb could not be created: "));
    QCOMPARE(prompts.messages().first().style, 48);
    QCOMPARE(listing(folder.path()), before);   // no partial database, no temporary file
}

void TestStartup::closeBoxEndsWithoutWritingAndNextStartAsksAgain()
{
    FirstStartFolder folder;
    const QStringList before = listing(folder.path());
    ScriptedPrompts prompts;
    ScriptedModal modal;
    modal.onNext([](QWidget* window) { window->close(); });
    {
        MainMenu mainMenu;
        QVERIFY(!mainMenu.Form_Load());
    }
    QCOMPARE(listing(folder.path()), before);
    QVERIFY(prompts.log().isEmpty());

    modal.onNext(choose("Option2"));
    MainMenu again;
    QVERIFY(again.Form_Load());
    QCOMPARE(modal.shown().size(), 2);
    QCOMPARE(hashOf(folder.file("Inventory.mdb")), hashOf(folder.file("InventoryBrunswick.mdb")));
}

void TestStartup::oneCopyPerProgramFolder()
{
    // A real copy of the program, started in a program folder of its own with a database.
    TestProgramFolder folder;
    QVERIFY(folder.installDatabase());
    const QString program = folder.file(QStringLiteral("inventory"));
    QVERIFY(QFile::copy(QStringLiteral(INVENTORY_BIN_DIR "/inventory"), program));
    // A lock file that a run from another account left, which this copy's account may not write;
    // the first copy runs from that other account (as root: nobody's).
    QFile stale(folder.file(ProgramFolderLock::fileName));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QVERIFY(stale.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QString launcher = program;
    QStringList arguments;
    if (::geteuid() == 0) {
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(folder.path(), everyone | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(folder.file(QStringLiteral("Inventory.mdb")), everyone));
        launcher = QStringLiteral("setpriv");
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), program};
    }
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    first.setProcessEnvironment(env);
    first.start(launcher, arguments);
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(ProgramFolderLock::heldByAnotherCopy(folder.path()), 20000);
    QCOMPARE(first.state(), QProcess::Running);

    // A second start on that folder says so and takes nothing; nor may "Save As" replace the
    // database that copy has open.
    const QByteArray database = hashOf(folder.file(QStringLiteral("Inventory.mdb")));
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        QVERIFY(!claimProgramFolder());
        QVERIFY(prompts.verifyAllAnswered());
        QVERIFY(prompts.log().first().text.contains(QStringLiteral("already running")));
        QVERIFY(ProgramFolderLock::isDatabaseOfAnotherCopy(folder.file(QStringLiteral("INVENTORY.MDB"))));
        // Nor reached by a link.
        QTemporaryDir elsewhere;
        QVERIFY(QFile::link(folder.file(QStringLiteral("Inventory.mdb")), elsewhere.filePath(QStringLiteral("Saved.mdb"))));
        QVERIFY(ProgramFolderLock::isDatabaseOfAnotherCopy(elsewhere.filePath(QStringLiteral("Saved.mdb"))));
    }
    QCOMPARE(hashOf(folder.file(QStringLiteral("Inventory.mdb"))), database);

    // A copy on another folder starts, and holds its own folder only.
    {
        TestProgramFolder other;
        const auto lock = claimProgramFolder();
        QVERIFY(lock && lock->state() == ProgramFolderLock::State::Held);
        QVERIFY(!ProgramFolderLock::heldByAnotherCopy(other.path()));
    }

    // Killed, the first copy leaves nothing held behind it.
    first.kill();
    QVERIFY(first.waitForFinished());
    QVERIFY(!ProgramFolderLock::heldByAnotherCopy(folder.path()));
    AppFolder::setPath(folder.path());
    const auto lock = claimProgramFolder();
    QVERIFY(lock && lock->state() == ProgramFolderLock::State::Held);

    // Where no lock can be had at all, the program says so rather than start unguarded.
    AppFolder::setPath(folder.file(QStringLiteral("gone")));
    ScriptedPrompts prompts;
    prompts.expectMessage(Prompts::Ok);
    QVERIFY(!claimProgramFolder());
    QVERIFY(prompts.verifyAllAnswered());
    QVERIFY(prompts.log().first().text.contains(QStringLiteral("cannot be locked")));
    AppFolder::setPath(folder.path());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
