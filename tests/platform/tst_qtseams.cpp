// The real message box, input box, cursor, modal runner and file dialogs, driven headless: each
// blocking call is answered from a timer once its box is the active modal widget.
#include "platform/AppInfo.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Modal.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

namespace {

// Runs action on the next modal widget once it is up. A box the action leaves open is closed after
// a while and fails the test, so that a faulty box fails instead of hanging.
void whenModal(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action, tries = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++tries < 500)
            return;
        poll->deleteLater();
        if (!modal) {
            QTest::qFail("No modal box appeared", __FILE__, __LINE__);
            return;
        }
        action(modal);
        QTimer::singleShot(3000, [guard = QPointer<QWidget>(modal)] {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()); dialog && dialog->isVisible()) {
                QTest::qFail("The box stayed open", __FILE__, __LINE__);
                dialog->done(0);
            }
        });
    });
    poll->start(10);
}

}  // namespace

class TestQtSeams : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void messageBoxFollowsStyle_data();
    void messageBoxFollowsStyle();
    void escapeAnswersOnlyWhereTheLegacyBoxDid_data();
    void escapeAnswersOnlyWhereTheLegacyBoxDid();
    void boxShowsPlainTextLinesTitleAndArrow();
    void inputBoxPlacedInTwipsAndCancelGivesEmpty();
    void waitCursorNestsAndSurvivesExceptions();
    void modalRunnerReturnsWhenWindowHiddenOrDestroyed();
    void fileDialogsGetOptionsAndDefaultExtension();
    void fileFiltersAcceptBothForms();
};

void TestQtSeams::messageBoxFollowsStyle_data()
{
    using B = QMessageBox;
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");  // clicking the default button

    QTest::newRow("0") << 0 << QList<int>{B::Ok} << int(B::NoIcon) << int(B::Ok) << int(Prompts::Ok);
    QTest::newRow("292") << 292 << QList<int>{B::Yes, B::No} << int(B::Question) << int(B::No) << int(Prompts::No);
    QTest::newRow("515") << 515 << QList<int>{B::Yes, B::No, B::Cancel} << int(B::NoIcon) << int(B::Cancel)
                         << int(Prompts::Cancel);
    QTest::newRow("18") << 18 << QList<int>{B::Abort, B::Retry, B::Ignore} << int(B::Critical) << int(B::Abort)
                        << int(Prompts::Abort);
}

void TestQtSeams::messageBoxFollowsStyle()
{
    QFETCH(int, style);
    QFETCH(QList<int>, buttons);
    QFETCH(int, icon);
    QFETCH(int, defaultButton);
    QFETCH(int, answer);

    QList<int> seen;
    int seenIcon = -1, seenDefault = -1;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        for (QAbstractButton* b : box->buttons())
            seen.append(box->standardButton(b));
        seenIcon = box->icon();
        seenDefault = box->standardButton(box->defaultButton());
        box->defaultButton()->click();
    });
    QCOMPARE(MsgBox(QStringLiteral("Save changes?"), style), answer);
    std::sort(seen.begin(), seen.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(seen, buttons);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenDefault, defaultButton);
}

void TestQtSeams::escapeAnswersOnlyWhereTheLegacyBoxDid_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");  // 0: Esc and the close button do nothing
    QTest::newRow("OK only") << 64 << int(Prompts::Ok);
    QTest::newRow("OK/Cancel") << 1 << int(Prompts::Cancel);
    QTest::newRow("Yes/No/Cancel") << 3 << int(Prompts::Cancel);
    QTest::newRow("Yes/No") << 292 << 0;
    QTest::newRow("Abort/Retry/Ignore") << 2 << 0;
}

void TestQtSeams::escapeAnswersOnlyWhereTheLegacyBoxDid()
{
    QFETCH(int, style);
    QFETCH(int, answer);
    bool stayedOpen = false;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        stayedOpen = box->isVisible();
        if (stayedOpen)
            box->buttons().constFirst()->click();
    });
    const int got = MsgBox(QStringLiteral("Continue?"), style);
    QCOMPARE(stayedOpen, answer == 0);
    if (answer)
        QCOMPARE(got, answer);
}

void TestQtSeams::boxShowsPlainTextLinesTitleAndArrow()
{
    QString text, title;
    Qt::TextFormat format = Qt::AutoText;
    int cursorWhileAsking = -1;
    {
        WaitCursor busy;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            text = box->text();
            title = box->windowTitle();
            format = box->textFormat();
            cursorWhileAsking = QGuiApplication::overrideCursor()->shape();
            box->button(QMessageBox::Ok)->click();
        });
        MsgBox(QStringLiteral("Part <A&B> saved.\rNext\r\nLast\nEnd"));
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QCOMPARE(text, QStringLiteral("Part <A&B> saved.\nNext\nLast\nEnd"));
    QCOMPARE(format, Qt::PlainText);  // part numbers with "<" are not markup
    QCOMPARE(title, AppInfo::title);
    QCOMPARE(cursorWhileAsking, int(Qt::ArrowCursor));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestQtSeams::inputBoxPlacedInTwipsAndCancelGivesEmpty()
{
    QString shownDefault, shownPrompt, shownTitle;
    QPoint shownAt;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        shownDefault = dialog->textValue();
        shownPrompt = dialog->labelText();
        shownTitle = dialog->windowTitle();
        shownAt = dialog->pos();
        QLineEdit* edit = dialog->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("12.50"));
        dialog->accept();
    });
    QCOMPARE(InputBox(QStringLiteral("Enter the price\rfor this part"), QString(), QStringLiteral("0.01"), 3000, 5000),
             QStringLiteral("12.50"));
    QCOMPARE(shownDefault, QStringLiteral("0.01"));
    QCOMPARE(shownPrompt, QStringLiteral("Enter the price\nfor this part"));
    QCOMPARE(shownTitle, AppInfo::title);
    QCOMPARE(shownAt, QGuiApplication::primaryScreen()->geometry().topLeft() + twipsPoint(3000, 5000));

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(InputBox(QStringLiteral("Quantity"), QStringLiteral("Order"), QStringLiteral("1")), QString());
}

void TestQtSeams::waitCursorNestsAndSurvivesExceptions()
{
    try {
        WaitCursor outer;
        {
            WaitCursor inner;
            QCOMPARE(WaitCursor::depth(), 2);
        }
        QCOMPARE(WaitCursor::depth(), 1);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        WaitCursor again;
        throw std::runtime_error("disk error");
    } catch (const std::runtime_error&) {
    }
    QCOMPARE(WaitCursor::depth(), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestQtSeams::modalRunnerReturnsWhenWindowHiddenOrDestroyed()
{
    QWidget window;
    Qt::WindowModality modalityWhileShown = Qt::NonModal;
    QTimer::singleShot(50, &window, [&] {
        modalityWhileShown = window.windowModality();
        window.close();
    });
    ShowModal(&window);
    QVERIFY(!window.isVisible());
    QCOMPARE(modalityWhileShown, Qt::ApplicationModal);
    QCOMPARE(window.windowModality(), Qt::NonModal);  // shown modeless later, it is modeless again

    QPointer<QWidget> doomed = new QWidget;
    QTimer::singleShot(50, doomed.data(), [&] { doomed->deleteLater(); });
    ShowModal(doomed);
    QVERIFY(!doomed);
}

void TestQtSeams::fileDialogsGetOptionsAndDefaultExtension()
{
    QTemporaryDir dir;
    QStringList filters;
    QString selectedFilter, directory, title;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        directory = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        dialog->reject();
    });
    FileDialogOptions options;
    options.title = QStringLiteral("Open Database");
    options.filter = QStringLiteral("Databases (*.mdb)|*.mdb|All Files (*.*)|*.*");
    options.filterIndex = 2;
    options.folder = dir.path();
    QCOMPARE(Dialogs::get().openFile(options), QString());
    QCOMPARE(filters, (QStringList{QStringLiteral("Databases (*.mdb)"), QStringLiteral("All Files (*)")}));
    QCOMPARE(selectedFilter, QStringLiteral("All Files (*)"));
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(title, QStringLiteral("Open Database"));

    whenModal([](QWidget* w) {
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("Backup"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    options.defaultExt = QStringLiteral(".mdb");
    QCOMPARE(Dialogs::get().saveFile(options), QDir(dir.path()).filePath(QStringLiteral("Backup.mdb")));

    QCOMPARE(withDefaultExtension(QStringLiteral("/a/my.folder/Backup"), QStringLiteral("mdb")),
             QStringLiteral("/a/my.folder/Backup.mdb"));
    QCOMPARE(withDefaultExtension(QString(), QStringLiteral("mdb")), QString());  // cancelled stays cancelled
}

void TestQtSeams::fileFiltersAcceptBothForms()
{
    QCOMPARE(fileDialogFilters(QStringLiteral("Pictures|*.bmp;*.jpg; *.gif|All (*.*)|*.*|Orphan")),
             (QStringList{QStringLiteral("Pictures (*.bmp *.jpg *.gif)"), QStringLiteral("All (*)")}));
    // The description's own pattern list gives way to the real one.
    QCOMPARE(fileDialogFilters(QStringLiteral("Databases (*.mdb)|*.mdb;*.MDB")),
             QStringList{QStringLiteral("Databases (*.mdb *.MDB)")});
    QCOMPARE(fileDialogFilters(QStringLiteral("Databases (*.mdb);;All (*)")),
             (QStringList{QStringLiteral("Databases (*.mdb)"), QStringLiteral("All (*)")}));
}

QTEST_MAIN(TestQtSeams)
#include "tst_qtseams.moc"
