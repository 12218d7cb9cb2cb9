// The preview window: page navigation, export to PDF through the save-file dialog, printing on
// the shared printer, and the real viewer opening it without waiting.

#include "ReportFixture.h"
#include "platform/Dialogs.h"
#include "reports/ReportControl.h"
#include "reports/ReportPreview.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class PreviewTest : public QObject
{
    Q_OBJECT

    static std::shared_ptr<ReportDocument> fourPages(ReportFixture& f)
    {
        QStringList rows;
        for (int i = 1; i <= 100; ++i)
            rows << QStringLiteral("INSERT INTO Parts([Part Number 1],Description) VALUES ('P%1','PART %1')").arg(i, 3, 10, QLatin1Char('0'));
        f.makeInventory(rows);
        f.writeReport(QStringLiteral("List.rpt"), QStringLiteral(
            "report title=\"Parts List\"\ndata table=Parts\npage size=letter margins=36pt\n"
            "band page-header height=50pt\n text x=0 y=0 w=300pt h=20pt size=14 bold : Parts List\n"
            "band detail height=20pt\n field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}\n field x=100pt y=0 w=200pt h=20pt : {Parts.Description}\n"
            "band page-footer height=20pt\n field x=0 y=0 w=540pt h=20pt align=right : \"Page \" & PageNumber & \" of \" & TotalPages\n"));
        return Report::load(QStringLiteral("List.rpt")).run();
    }

    template <typename T>
    static T* child(QWidget& w, const char* name)
    {
        T* c = w.findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }

private Q_SLOTS:
    void navigatesThePages()
    {
        ReportFixture f;
        auto doc = fourPages(f);
        QCOMPARE(doc->pageCount(), 4);
        ReportPreview w(doc);
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Parts List"));
        auto* first = child<QPushButton>(w, "firstButton");
        auto* previous = child<QPushButton>(w, "previousButton");
        auto* next = child<QPushButton>(w, "nextButton");
        auto* last = child<QPushButton>(w, "lastButton");
        auto* box = child<QSpinBox>(w, "pageBox");
        QCOMPARE(w.currentPage(), 0);
        QVERIFY(!first->isEnabled() && !previous->isEnabled() && next->isEnabled());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w.currentPage(), 1);
        QCOMPARE(box->value(), 2);
        QTest::mouseClick(last, Qt::LeftButton);
        QCOMPARE(w.currentPage(), 3);
        QVERIFY(!next->isEnabled() && !last->isEnabled() && previous->isEnabled());
        box->setValue(3);
        QCOMPARE(w.currentPage(), 2);
        QTest::keyClick(&w, Qt::Key_Home);
        QCOMPARE(w.currentPage(), 0);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(w.currentPage(), 1);
        child<QComboBox>(w, "zoomBox")->setCurrentText(QStringLiteral("200%"));
        QVERIFY(child<QLabel>(w, "pageView")->pixmap().width() > 1500);   // 8.5 in at 192 dpi
        if (qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT")) {
            child<QComboBox>(w, "zoomBox")->setCurrentText(QStringLiteral("Page Width"));
            w.resize(900, 700);
            w.grab().save(QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QStringLiteral("preview.png")));
        }
    }

    void exportsToThePdfFileChosen()
    {
        ReportFixture f;
        auto doc = fourPages(f);
        ReportPreview w(doc);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("parts.pdf"));
        ScriptedDialogs dialogs;
        dialogs.answerSaveFile(QString()).answerSaveFile(pdf).answerSaveFile(out.filePath(QStringLiteral("no/such/folder/x.pdf")));

        QTest::mouseClick(child<QPushButton>(w, "exportButton"), Qt::LeftButton);   // cancelled
        QVERIFY(QDir(out.path()).isEmpty());
        QCOMPARE(dialogs.saveFileCalls()[0].title, QStringLiteral("Export"));
        QVERIFY(dialogs.saveFileCalls()[0].filter.contains(QStringLiteral("*.pdf")));
        QCOMPARE(dialogs.saveFileCalls()[0].fileName, QStringLiteral("List.pdf"));

        // A file of another account that shares the folder, replaced: it stays theirs.
        QFile(pdf).open(QIODevice::WriteOnly);
        QCOMPARE(::chmod(QFile::encodeName(pdf).constData(), 0640) | ::chown(QFile::encodeName(pdf).constData(), 1000, 100), 0);
        w.exportReport();
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &st), 0);
        QCOMPARE((QList<uint>{uint(st.st_mode & 07777), uint(st.st_uid), uint(st.st_gid)}), (QList<uint>{0640, 1000, 100}));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 4);
        QVERIFY(pages[3].contains(QStringLiteral("P100")));
        QVERIFY(pages[3].contains(QStringLiteral("Page 4 of 4")));

        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        w.exportReport();   // a folder that does not exist
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("The report List.rpt could not be exported: ")), qPrintable(prompts.messages()[0].text));
        QCOMPARE(prompts.messages()[0].style, 48);
    }

    void printsOnTheSharedPrinter()
    {
        ReportFixture f;
        auto doc = fourPages(f);
        ReportPreview w(doc);
        QTemporaryDir out;
        QPrinter& printer = sharedPrinter();
        const auto previousFormat = printer.outputFormat();
        const QString previousFile = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath(QStringLiteral("printed.pdf")));
        QTest::mouseClick(child<QPushButton>(w, "printButton"), Qt::LeftButton);
        printer.setOutputFileName(previousFile);
        printer.setOutputFormat(previousFormat);
        const QStringList pages = pdfPages(out.filePath(QStringLiteral("printed.pdf")));
        QCOMPARE(pages.size(), 4);
        QVERIFY(pages[0].contains(QStringLiteral("Parts List")));
        QVERIFY(pages[0].contains(QStringLiteral("P001")));
    }

    void theRealViewerOpensThePreviewWithoutWaiting()
    {
        ReportFixture f;
        fourPages(f);
        auto control = ReportControl::create();
        control->setReportFileName(QStringLiteral("list.rpt"));
        control->run();   // returns with the window up
        ReportPreview* preview = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ReportPreview*>(w))
                preview = p;
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QCOMPARE(preview->document()->pageCount(), 4);
        QPointer<ReportPreview> guard(preview);
        QTest::mouseClick(child<QPushButton>(*preview, "closeButton"), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());   // closing deletes it
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
