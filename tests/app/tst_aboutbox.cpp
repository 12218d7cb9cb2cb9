// The about box: what it shows, how it closes, its help topic, and the system-information
// command with its two lookups in order.

#include "app/AboutBox.h"
#include "app/SystemInfo.h"
#include "platform/AppFolder.h"
#include "platform/AppInfo.h"
#include "platform/Help.h"
#include "platform/Twips.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers the lookups from a table and records what was asked and started.
class FakeLocator : public SystemInfoLocator {
public:
    FakeLocator() { SystemInfoLocator::install(this); }
    ~FakeLocator() override { SystemInfoLocator::install(nullptr); }

    QHash<QString, QString> values;   // "key|value name" -> text
    QStringList existing;
    bool startSucceeds = true;
    QStringList reads;
    QStringList started;

    std::optional<QString> GetKeyValue(const QString& key, const QString& valueName) override
    {
        const QString k = key + QLatin1Char('|') + valueName;
        reads << k;
        if (!values.contains(k))
            return std::nullopt;
        return values.value(k);
    }
    bool fileExists(const QString& path) override { return existing.contains(path); }
    bool startProgram(const QString& path) override
    {
        started << path;
        return startSucceeds;
    }
};

const QString firstKey = SystemInfoKeys::programKey + QLatin1Char('|') + SystemInfoKeys::programValue;
const QString secondKey = SystemInfoKeys::folderKey + QLatin1Char('|') + SystemInfoKeys::folderValue;
const QString unavailable = QStringLiteral("System Information Is Unavailable At This Time");

}  // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTitleVersionAndNotice()
    {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Revised  December 1st, 2006"));
        QCOMPARE(about.lblTitle->text(), AppInfo::title);
        QCOMPARE(QFontInfo(about.lblTitle->font()).family(), QStringLiteral("Liberation Sans Narrow"));
        QVERIFY(about.lblTitle->font().bold());
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.0.0"));   // project version 1.0
        QCOMPARE(about.lblDescription->text(), QStringLiteral("For Windows 98, ME, 2000, and XP"));
        QVERIFY(about.Text1->isReadOnly());
        const QString notice = about.Text1->toPlainText();
        QVERIFY(notice.contains(QLatin1String("Copyright")));
        QVERIFY(notice.contains(QLatin1String("samples")));
        QVERIFY(notice.contains(QLatin1String("without warranty")));
        QCOMPARE(about.cmdOK->text(), QStringLiteral("&OK"));
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(about.Line1->frameShape() == QFrame::HLine);

        // A fixed dialog frame of the designed client size, the title fitting its label.
        const QSize designed = twipsRect(0, 0, 5730, 3900).size();
        QCOMPARE(about.size(), designed);
        QCOMPARE(about.minimumSize(), designed);
        QCOMPARE(about.maximumSize(), designed);
        QVERIFY(about.lblTitle->fontMetrics().horizontalAdvance(about.lblTitle->text()) <= about.lblTitle->width());
        QVERIFY(QRect(QPoint(0, 0), designed).contains(about.Text1->geometry()));

        // The icon is drawn: some of it is opaque, the corners are not.
        const QImage icon = about.picIcon->pixmap().toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);
        QVERIFY(icon.pixelColor(icon.width() / 3, icon.height() / 2).alpha() > 200);
    }

    void okEnterEscAndCloseBoxAllCloseIt()
    {
        frmAbout about;
        QSignalSpy closed(&about, &frmAbout::closed);
        QVERIFY(about.cmdOK->isDefault());
        QVERIFY(!about.cmdSysInfo->isDefault());

        const QList<std::function<void()>> ways = {
            [&] { QTest::keyClick(&about, Qt::Key_Return); },
            [&] { QTest::keyClick(&about, Qt::Key_Escape); },
            [&] { about.cmdOK->click(); },
            [&] { about.close(); },
        };
        for (const auto& closeIt : ways) {
            about.show();
            QVERIFY(QTest::qWaitForWindowExposed(&about));
            const int before = int(closed.count());
            closeIt();
            QVERIFY(!about.isVisible());
            QCOMPARE(int(closed.count()), before + 1);
        }

        // Shown modal as the main window does, Enter ends the modal display.
        ScriptedModal modal;
        modal.onNext([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        frmAbout shown;
        ShowModal(&shown);
        QVERIFY(modal.allHandled());
        QVERIFY(!shown.isVisible());
    }

    void f1ShowsTechnicalSupport()
    {
        RecordingHelp help;
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(about.cmdOK, Qt::Key_F1);
        QCOMPARE(help.topics(), QList<int>{1240});
        QVERIFY(about.isVisible());
    }

    void systemInfoLooksUpInOrder()
    {
        frmAbout about;
        {   // The first value is there: start it; the second is never read.
            FakeLocator locator;
            locator.values.insert(firstKey, QStringLiteral("/usr/bin/hardinfo"));
            locator.values.insert(secondKey, QStringLiteral("/opt/tools"));
            locator.existing << QStringLiteral("/opt/tools/sysinfo");
            ScriptedPrompts prompts;
            about.cmdSysInfo->click();
            QCOMPARE(locator.reads, QStringList{firstKey});
            QCOMPARE(locator.started, QStringList{QStringLiteral("/usr/bin/hardinfo")});
            QVERIFY(prompts.log().isEmpty());
        }
        {   // Only the second, and the program is in that folder.
            FakeLocator locator;
            locator.values.insert(secondKey, QStringLiteral("/opt/tools/"));
            locator.existing << QStringLiteral("/opt/tools/sysinfo");
            ScriptedPrompts prompts;
            about.cmdSysInfo_Click();
            QCOMPARE(locator.reads, (QStringList{firstKey, secondKey}));
            QCOMPARE(locator.started, QStringList{QStringLiteral("/opt/tools/sysinfo")});
            QVERIFY(prompts.log().isEmpty());
        }
    }

    void systemInfoUnavailableTellsTheUser()
    {
        frmAbout about;
        struct Case {
            const char* name;
            std::function<void(FakeLocator&)> setUp;
            QStringList started;
        };
        const QList<Case> cases = {
            {"nothing found", [](FakeLocator&) {}, {}},
            {"folder without the program",
             [](FakeLocator& l) { l.values.insert(secondKey, QStringLiteral("/opt/tools")); }, {}},
            {"first program does not start",
             [](FakeLocator& l) {
                 l.values.insert(firstKey, QStringLiteral("/usr/bin/gone"));
                 l.startSucceeds = false;
             },
             {QStringLiteral("/usr/bin/gone")}},
            {"second program does not start",
             [](FakeLocator& l) {
                 l.values.insert(secondKey, QStringLiteral("/opt/tools"));
                 l.existing << QStringLiteral("/opt/tools/sysinfo");
                 l.startSucceeds = false;
             },
             {QStringLiteral("/opt/tools/sysinfo")}},
        };
        for (const Case& c : cases) {
            FakeLocator locator;
            c.setUp(locator);
            ScriptedPrompts prompts;
            prompts.expectMessage();
            about.cmdSysInfo->click();
            QVERIFY2(prompts.allAnswered(), c.name);
            QCOMPARE(prompts.messages().size(), 1);
            QCOMPARE(prompts.messages()[0].text, unavailable);
            QCOMPARE(prompts.messages()[0].style, 0);
            QCOMPARE(prompts.messages()[0].effectiveTitle, AppInfo::title);
            QCOMPARE(locator.started, c.started);
        }
    }

    void systemLocatorStartsAProgramBesideTheProgram()
    {
        // No known system-information program on the PATH: the program's folder is looked at.
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir emptyBin;
        qputenv("PATH", QFile::encodeName(emptyBin.path()));
        TestProgramFolder folder;
        frmAbout about;
        {
            ScriptedPrompts prompts;
            prompts.expectMessage();
            about.cmdSysInfo->click();
            QCOMPARE(prompts.texts(), QStringList{unavailable});
        }
        // A "sysinfo" program placed there is started.
        const QString marker = folder.file(QStringLiteral("started.txt"));
        QFile script(folder.file(QStringLiteral("sysinfo")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho started > '" + QFile::encodeName(marker) + "'\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        {
            ScriptedPrompts prompts;
            about.cmdSysInfo->click();
            QVERIFY(prompts.log().isEmpty());
            QTRY_VERIFY(QFile::exists(marker));
        }
        qputenv("PATH", path);
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
