// The scripted seams other tests rely on. Their failures are checked for real: the cases that must
// fail run in a child process of this same program, and the parent reads the child's verdict.
#include "platform/AppInfo.h"
#include "platform/Modal.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
const char* const nestedVariable = "SCRIPTED_SEAMS_NESTED";
}

// Each of these must fail, except the control, which must pass.
class NestedScriptedCases : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void control()
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Yes);
        QCOMPARE(MsgBox(QStringLiteral("Delete?"), 292), int(Prompts::Yes));
        QVERIFY(prompts.verifyAllAnswered());
    }
    void unexpectedMessage()
    {
        ScriptedPrompts prompts;
        qInfo() << "answered" << MsgBox(QStringLiteral("Disk is full"), 48);
    }
    void unexpectedInput()
    {
        ScriptedPrompts prompts;
        qInfo() << "answered" << InputBox(QStringLiteral("Enter the price"), QString(), QStringLiteral("0.01"));
    }
    void messageWhereInputWasScripted()
    {
        ScriptedPrompts prompts;
        prompts.answerInput(QStringLiteral("5"));
        MsgBox(QStringLiteral("Record saved"));
    }
    void answerNotOnTheBox()
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Yes);
        MsgBox(QStringLiteral("Printed"), 64);
    }
    void answerNeverUsed()
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::No);
        prompts.verifyAllAnswered();
    }
    void unexpectedDialog()
    {
        ScriptedDialogs dialogs;
        qInfo() << "answered" << Dialogs::get().openFile(FileDialogOptions());
    }
};

class TestScripted : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void promptsAnswerInOrderAndRecordRawText();
    void failuresReachTheTestLog_data();
    void failuresReachTheTestLog();
    void installationIsScoped();
    void dialogsAnswerPerKindAndRecordOptions();
    void modalRunsHandlersWithoutBlocking();
    void printerSetupNeverOffersToPrint();
};

void TestScripted::promptsAnswerInOrderAndRecordRawText()
{
    ScriptedPrompts prompts;
    prompts.expectMessage(Prompts::No).answerInput(QStringLiteral("12")).expectMessage();

    Beep();
    QCOMPARE(MsgBox(QStringLiteral("Save?\rThe part changed."), 292, QString()), int(Prompts::No));
    QCOMPARE(InputBox(QStringLiteral("Minimum stock"), QStringLiteral("Notice"), QStringLiteral("1"), 3000, 5000),
             QStringLiteral("12"));
    Beep();
    Beep();
    QCOMPARE(MsgBox(QStringLiteral("Done"), 64, QStringLiteral("Notice")), int(Prompts::Ok));
    QVERIFY(prompts.allAnswered());
    QCOMPARE(prompts.beeps(), 3);
    QCOMPARE(prompts.texts(), (QStringList{QStringLiteral("Save?\rThe part changed."), QStringLiteral("Minimum stock"),
                                           QStringLiteral("Done")}));

    const QList<ScriptedPrompts::Recorded> messages = prompts.messages();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0).style, 292);
    QCOMPARE(messages.at(0).title, QString());
    QCOMPARE(messages.at(0).effectiveTitle, AppInfo::title);
    QVERIFY(messages.at(0).beepBefore);
    QVERIFY(messages.at(1).beepBefore);
    const ScriptedPrompts::Recorded& input = prompts.log().at(2);
    QCOMPARE(input.kind, ScriptedPrompts::Recorded::Input);
    QVERIFY(!input.beepBefore);  // the beep before the first box was not immediately before this one
    QCOMPARE(input.defaultText, QStringLiteral("1"));
    QCOMPARE(QPoint(input.x, input.y), QPoint(3000, 5000));
    QCOMPARE(input.effectiveTitle, QStringLiteral("Notice"));
}

void TestScripted::failuresReachTheTestLog_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<QStringList>("logged");

    QTest::newRow("control") << QStringLiteral("control") << true << QStringList();
    // An unexpected prompt is answered OK or empty, so the code under test runs on instead of blocking.
    QTest::newRow("unexpected message")
        << QStringLiteral("unexpectedMessage") << false
        << QStringList{QStringLiteral("Unexpected message box (style 48): \"Disk is full\""), QStringLiteral("answered 1")};
    QTest::newRow("unexpected input")
        << QStringLiteral("unexpectedInput") << false
        << QStringList{QStringLiteral("Unexpected input box: \"Enter the price\""), QStringLiteral("answered \"\"")};
    QTest::newRow("wrong kind") << QStringLiteral("messageWhereInputWasScripted") << false
                                << QStringList{QStringLiteral("\"Record saved\" while the script expects an input box")};
    QTest::newRow("answer not offered") << QStringLiteral("answerNotOnTheBox") << false
                                        << QStringList{QStringLiteral("Scripted answer 6 is not a button of a style 64 box")};
    QTest::newRow("answer never used") << QStringLiteral("answerNeverUsed") << false
                                       << QStringList{QStringLiteral("never asked for: message answer 7")};
    QTest::newRow("unexpected dialog")
        << QStringLiteral("unexpectedDialog") << false
        << QStringList{QStringLiteral("Unexpected open-file dialog"), QStringLiteral("answered \"\"")};
}

void TestScripted::failuresReachTheTestLog()
{
    QFETCH(QString, function);
    QFETCH(bool, passes);
    QFETCH(QStringList, logged);

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(nestedVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {function});
    QVERIFY(child.waitForFinished(30000));  // a scripted prompt that blocked would never finish
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2((child.exitCode() == 0) == passes, qPrintable(output));
    if (!passes) {
        QVERIFY2(output.contains(QStringLiteral("FAIL!  : NestedScriptedCases::%1()").arg(function)), qPrintable(output));
        for (const QString& line : logged)
            QVERIFY2(output.contains(line), qPrintable(output));
    }
}

void TestScripted::installationIsScoped()
{
    Prompts* real = &Prompts::get();
    {
        ScriptedPrompts outer;
        {
            ScriptedPrompts inner;
            QCOMPARE(&Prompts::get(), static_cast<Prompts*>(&inner));
        }
        QCOMPARE(&Prompts::get(), static_cast<Prompts*>(&outer));
    }
    QCOMPARE(&Prompts::get(), real);
}

void TestScripted::dialogsAnswerPerKindAndRecordOptions()
{
    ScriptedDialogs dialogs;
    dialogs.answerSaveFile(QStringLiteral("/tmp/Backup"))
        .answerPrinterSetup(true, [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::A4)); })
        .answerPrinterSetup(false, [](QPrinter& p) { p.setPageSize(QPageSize(QPageSize::Legal)); });
    FileDialogOptions save;
    save.filter = QStringLiteral("Database (*.mdb)|*.mdb");
    save.defaultExt = QStringLiteral("mdb");
    QCOMPARE(Dialogs::get().saveFile(save), QStringLiteral("/tmp/Backup.mdb"));  // as the real dialog would
    QCOMPARE(dialogs.saveFileCalls().value(0).filter, save.filter);

    QPrinter printer;
    QVERIFY(Dialogs::get().printerSetup(printer));
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
    QVERIFY(!Dialogs::get().printerSetup(printer));
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);  // a cancelled set-up changes nothing
    QVERIFY(dialogs.allAnswered());
}

void TestScripted::modalRunsHandlersWithoutBlocking()
{
    ScriptedModal modal;
    QWidget first;
    auto* close = new QPushButton(QStringLiteral("&Close"), &first);
    connect(close, &QPushButton::clicked, &first, &QWidget::close);
    bool visibleInHandler = false;
    modal.onNext([&](QWidget* window) {
        visibleInHandler = window->isVisible();
        QTest::mouseClick(close, Qt::LeftButton);
    });

    ShowModal(&first);
    QVERIFY(visibleInHandler);
    QVERIFY(!first.isVisible());

    // No handler queued: the window is left up for the test to drive.
    QWidget second;
    ShowModal(&second);
    QVERIFY(second.isVisible());
    QCOMPARE(modal.shown(), (QList<QPointer<QWidget>>{&first, &second}));
}

void TestScripted::printerSetupNeverOffersToPrint()
{
    // The real dialogs: each is looked at once it is up, then cancelled.
    QStringList setupButtons, printButtons;
    const auto buttonsOfModal = [](QStringList* texts) {
        QTimer::singleShot(0, [texts] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            for (const QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->isVisible())
                    *texts << b->text().remove(u'&');
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        });
    };
    QPrinter printer;
    buttonsOfModal(&setupButtons);
    QVERIFY(!Dialogs::get().printerSetup(printer));
    buttonsOfModal(&printButtons);
    QVERIFY(!Dialogs::get().printDialog(printer));
    QVERIFY2(setupButtons.contains(QStringLiteral("OK")) && !setupButtons.contains(QStringLiteral("Print")),
             qPrintable(setupButtons.join(u',')));
    QVERIFY(printButtons.contains(QStringLiteral("Print")));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(nestedVariable)) {
        NestedScriptedCases nested;
        return QTest::qExec(&nested, argc, argv);
    }
    TestScripted test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scripted.moc"
