// The part images window: finding or starting the part's row in Pictures, changing and erasing
// pictures, what reaches the file when it closes, the cases with nothing to show, and pictures
// far larger than the window shows.

#include "parts/MaintScreen.h"
#include "parts/PartImagesWindow.h"

#include "PartsTestData.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/PictureBox.h"
#include "reports/ReportEngine.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QDataStream>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString NewImageQuestion =
    QStringLiteral("Currently, no images exist for this part number, would you like to add new images?");

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A PNG chunk: length, type, data and the CRC-32 of type and data.
QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : type + data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << quint32(data.size());
    s.writeRawData(type.constData(), int(type.size()));
    s.writeRawData(data.constData(), int(data.size()));
    s << ~crc;
    return out;
}

// The pictures a phone or a scanner makes, far beyond what the window shows; made here, never kept.
struct LargePictures {
    QTemporaryDir dir;
    QString plain = dir.filePath(QStringLiteral("plain.png"));   // 20000 x 20000 of one colour
    QString photo = dir.filePath(QStringLiteral("photo.jpg"));   // 48 megapixels
    QString scan = dir.filePath(QStringLiteral("scan.png"));     // an A4 page at 600 dpi, grey
    QString huge = dir.filePath(QStringLiteral("huge.png"));     // 100000 x 100000 grey

    LargePictures()
    {
        QImage one(20000, 20000, QImage::Format_Mono);
        one.setColorTable({qRgb(0, 0, 0), qRgb(20, 110, 60)});
        one.fill(1);
        QVERIFY(one.save(plain));
        QImage grey(8000, 6000, QImage::Format_Grayscale8);
        grey.fill(90);
        QVERIFY(grey.save(photo, "JPEG"));
        QImage page(4960, 7016, QImage::Format_Grayscale8);   // dark on the left, light on the right
        page.fill(230);
        for (int y = 0; y < page.height(); ++y)
            memset(page.scanLine(y), 20, page.width() / 2);
        QVERIFY(page.save(scan));
        // Its header and first row only: the picture is refused for the size the header gives.
        QByteArray header;
        QDataStream s(&header, QIODevice::WriteOnly);
        s << quint32(100000) << quint32(100000) << quint8(8) << quint8(0) << quint8(0) << quint8(0) << quint8(0);
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
                   + pngChunk("IDAT", qCompress(QByteArray(100001, '\0')).mid(4)) + pngChunk("IEND", QByteArray()));
    }
};

// The colour a picture box shows at a fraction of its width, half way down.
QColor shownAt(PictureBox* box, double across)
{
    const QImage shown = box->grab().toImage();
    return shown.pixelColor(int(shown.width() * across), shown.height() / 2);
}

// The opener's parts source, standing on B-200 (record 2).
struct Opener {
    Opener()
    {
        parts.setDatabaseName(InventoryDatabasePath());
        parts.setRecordSource(QStringLiteral("Parts"));
        parts.refresh();
        parts.recordset()->setIndex(QStringLiteral("inv1"));
        parts.recordset()->moveFirst();
    }
    // Shows the window as the opener's Display does and lets it activate.
    QPointer<PartImagesWindow> display(const PartImagesMember& member = PartImagesMember::maintenance())
    {
        QPointer<PartImagesWindow> window = PartImagesWindow::ShowPartImages(&parts, member, nullptr);
        QCoreApplication::processEvents();
        flushDeletes();
        return window;
    }
    DataControl parts;
};

}  // namespace

class TestPartImages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void noRowAnsweredNoWritesNothingAndAsksAgain();
    void noRowAnsweredYesWritesTheRowOnExit();
    void pictureIsStoredAsTheFileBytes();
    void fileThatIsNoPictureChangesNothing();
    void largePicturesAreStoredAndShownScaled();
    void cancelAsksToErase();
    void noCurrentPartTellsAndWritesNothing();
    void displayFromMaintenanceScreen();

private:
    QTemporaryDir m_files;
    QString m_png, m_bmp, m_text;
};

void TestPartImages::initTestCase()
{
    QImage red(16, 12, QImage::Format_RGB32);
    red.fill(Qt::red);
    m_png = m_files.filePath(QStringLiteral("red.png"));
    QVERIFY(red.save(m_png));
    QImage blue(10, 20, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    m_bmp = m_files.filePath(QStringLiteral("BLUE.BMP"));
    QVERIFY(blue.save(m_bmp, "BMP"));
    m_text = m_files.filePath(QStringLiteral("notes.txt"));
    QFile text(m_text);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
}

void TestPartImages::noRowAnsweredNoWritesNothingAndAsksAgain()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    Opener opener;
    for (int opening = 1; opening <= 2; ++opening) {
        prompts.expectMessage(Prompts::No);
        QPointer<PartImagesWindow> window = opener.display();
        QVERIFY(!window);   // closed at once
        QCOMPARE(prompts.messages().size(), opening);
        const auto asked = prompts.messages().last();
        QCOMPARE(asked.text, NewImageQuestion);
        QCOMPARE(asked.style, 4);
        QCOMPARE(asked.title, QStringLiteral("New Image"));
        QCOMPARE(data.count("Pictures"), 0);
    }
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartImages::noRowAnsweredYesWritesTheRowOnExit()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ScriptedDialogs dialogs;
    Opener opener;
    prompts.expectMessage(Prompts::Yes);
    QPointer<PartImagesWindow> window = opener.display();
    QVERIFY(window);
    QCOMPARE(window->held(), PartImagesWindow::Held::New);
    QCOMPARE(window->windowTitle(), QStringLiteral("Images"));
    QCOMPARE(window->Label[0]->text(), QStringLiteral("AMF"));
    QCOMPARE(window->Label[2]->text(), QStringLiteral("OTHER"));
    QCOMPARE(data.count("Pictures"), 0);   // nothing until the window closes
    window->Command4->click();
    flushDeletes();
    QVERIFY(!window);
    QCOMPARE(data.count("Pictures"), 1);
    QCOMPARE(data.scalar("SELECT [Record Number] FROM Pictures").toInt(), 2);
    QCOMPARE(data.scalar("SELECT count(*) FROM Pictures WHERE Image1 IS NULL AND Image2 IS NULL AND Image3 IS NULL").toInt(), 1);

    // The next opening finds the row and asks nothing; Enter closes the window.
    window = opener.display();
    QCOMPARE(window->held(), PartImagesWindow::Held::Found);
    QCOMPARE(window->Text1->text(), QStringLiteral("2"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), window->Command4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    flushDeletes();
    QVERIFY(!window);
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(data.count("Pictures"), 1);
}

void TestPartImages::pictureIsStoredAsTheFileBytes()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ScriptedDialogs dialogs;
    Opener opener;
    prompts.expectMessage(Prompts::Yes);
    QPointer<PartImagesWindow> window = opener.display();
    dialogs.answerOpenFile(m_png);
    window->Command[0]->click();
    QCOMPARE(dialogs.openFileCalls().size(), 1);
    QCOMPARE(dialogs.openFileCalls()[0].filter, QString());     // any file may be chosen
    QCOMPARE(dialogs.openFileCalls()[0].fileName, QString());
    QVERIFY(window->image(1)->hasImage());
    window->close();
    flushDeletes();
    QCOMPARE(data.scalar("SELECT Image1 FROM Pictures WHERE [Record Number] = 2").toByteArray(), fileBytes(m_png));

    // A part with a row of its own, found after another part's row was added: clicking the
    // second picture box replaces that picture in this part's row only.
    QVERIFY(data.exec(QStringLiteral("INSERT INTO Pictures([Record Number], Image3) VALUES (4, x'00')")));
    opener.parts.recordset()->seek(QStringLiteral(">="), QStringLiteral("C-300"));
    window = opener.display();
    QCOMPARE(window->held(), PartImagesWindow::Held::Found);
    dialogs.answerOpenFile(m_bmp);
    QTest::mouseClick(window->image(2), Qt::LeftButton);
    window->Command4->click();
    flushDeletes();
    QCOMPARE(data.count("Pictures"), 2);
    QCOMPARE(data.scalar("SELECT Image2 FROM Pictures WHERE [Record Number] = 4").toByteArray(), fileBytes(m_bmp));
    QCOMPARE(data.scalar("SELECT Image3 FROM Pictures WHERE [Record Number] = 4").toByteArray(), QByteArray(1, '\0'));
    QCOMPARE(data.scalar("SELECT Image2 FROM Pictures WHERE [Record Number] = 2"), QVariant());
    QVERIFY(prompts.verifyAllAnswered());
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestPartImages::fileThatIsNoPictureChangesNothing()
{
    PartsTestData data;
    const QByteArray png = fileBytes(m_png);
    QVERIFY(data.exec(QStringLiteral("INSERT INTO Pictures([Record Number], Image1) VALUES (2, x'%1')")
                          .arg(QString::fromLatin1(png.toHex()))));
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ScriptedDialogs dialogs;
    Opener opener;
    QPointer<PartImagesWindow> window = opener.display();
    QVERIFY(window->image(1)->hasImage());
    dialogs.answerOpenFile(m_text);
    prompts.expectMessage();
    window->Command[0]->click();
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.messages()[0].text.contains(QStringLiteral("notes.txt")));
    QVERIFY(prompts.messages()[0].text.endsWith(QStringLiteral("The image has not been changed.")));
    QCOMPARE(prompts.messages()[0].style, 48);
    QCOMPARE(window->image(1)->imageData(), png);
    window->close();
    flushDeletes();
    QCOMPARE(data.scalar("SELECT Image1 FROM Pictures WHERE [Record Number] = 2").toByteArray(), png);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartImages::largePicturesAreStoredAndShownScaled()
{
    const LargePictures files;
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ScriptedDialogs dialogs;
    Opener opener;
    prompts.expectMessage(Prompts::Yes);
    QPointer<PartImagesWindow> window = opener.display();
    const QString chosen[3] = {files.plain, files.photo, files.scan};
    for (int n = 1; n <= 3; ++n) {
        dialogs.answerOpenFile(chosen[n - 1]);
        window->Command[n - 1]->click();
        QVERIFY2(window->image(n)->hasImage(), qPrintable(prompts.messages().last().text));
    }
    QCOMPARE(prompts.messages().size(), 1);   // the New Image question only
    QCOMPARE(shownAt(window->image(1), 0.5), QColor(20, 110, 60));
    QVERIFY(qAbs(qGray(shownAt(window->image(2), 0.5).rgb()) - 90) <= 3);
    QCOMPARE(shownAt(window->image(3), 0.25), QColor(20, 20, 20));
    QCOMPARE(shownAt(window->image(3), 0.75), QColor(230, 230, 230));

    // A picture too large to be read even scaled is refused for its size, never as no picture.
    dialogs.answerOpenFile(files.huge);
    prompts.expectMessage();
    window->Command[0]->click();
    const QString told = prompts.messages().last().text;
    QVERIFY2(told.contains(QStringLiteral("huge.png is a picture of 100000 x 100000 pixels, too large to be shown")), qPrintable(told));
    QVERIFY(!told.contains(QStringLiteral("not a picture")));
    QCOMPARE(window->image(1)->imageData(), fileBytes(files.plain));
    window->close();
    flushDeletes();
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(data.scalar(QStringLiteral("SELECT Image%1 FROM Pictures WHERE [Record Number] = 2").arg(n)).toByteArray(),
                 fileBytes(chosen[n - 1]));

    // The Images report prints them decoded for their cells at 200 dpi, left to right.
    QList<ReportItem> printed = Report::load(QStringLiteral("Images.rpt")).run()->page(0).itemsOf(ReportItem::Kind::Image);
    QCOMPARE(printed.size(), 3);
    std::sort(printed.begin(), printed.end(), [](const ReportItem& a, const ReportItem& b) { return a.rect.x() < b.rect.x(); });
    for (const ReportItem& it : std::as_const(printed)) {
        QVERIFY(!it.image.isNull());
        QVERIFY(it.image.width() <= it.rect.width() * 200 / 72 + 1 && it.image.height() <= it.rect.height() * 200 / 72 + 1);
    }
    const auto middle = [](const QImage& img, double across) { return img.pixelColor(int(img.width() * across), img.height() / 2); };
    QCOMPARE(middle(printed[0].image, 0.5), QColor(20, 110, 60));
    QVERIFY(qAbs(qGray(middle(printed[1].image, 0.5).rgb()) - 90) <= 3);
    QCOMPARE(middle(printed[2].image, 0.25), QColor(20, 20, 20));
    QVERIFY(prompts.verifyAllAnswered());
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestPartImages::cancelAsksToErase()
{
    PartsTestData data;
    const QByteArray png = fileBytes(m_png);
    QVERIFY(data.exec(QStringLiteral("INSERT INTO Pictures([Record Number], Image1, Image3) VALUES (2, x'%1', x'%1')")
                          .arg(QString::fromLatin1(png.toHex()))));
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ScriptedDialogs dialogs;
    Opener opener;
    QPointer<PartImagesWindow> window = opener.display();
    dialogs.answerOpenFile(QString()).answerOpenFile(QString());
    prompts.expectMessage(Prompts::No).expectMessage(Prompts::Yes);
    window->Command[0]->click();   // Cancel, then No: kept
    QVERIFY(window->image(1)->hasImage());
    window->Command[2]->click();   // Cancel, then Yes: erased
    QVERIFY(!window->image(3)->hasImage());
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("Do you want to erase the image?"));
    QCOMPARE(prompts.messages()[0].style, 4);
    QCOMPARE(prompts.messages()[0].title, QString());
    window->close();
    flushDeletes();
    QCOMPARE(data.scalar("SELECT Image1 FROM Pictures WHERE [Record Number] = 2").toByteArray(), png);
    QCOMPARE(data.scalar("SELECT Image3 FROM Pictures WHERE [Record Number] = 2"), QVariant());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartImages::noCurrentPartTellsAndWritesNothing()
{
    ScriptedPrompts prompts;
    ScriptedModal modal;
    {
        // A part added and not yet saved.
        PartsTestData data;
        Opener opener;
        opener.parts.recordset()->addNew();
        prompts.expectMessage();
        QPointer<PartImagesWindow> window = opener.display();
        QVERIFY(!window);
        QCOMPARE(prompts.messages().last().style, 48);
        QVERIFY(prompts.messages().last().text.startsWith(QStringLiteral("There is no saved part on the screen")));
        QCOMPARE(data.count("Pictures"), 0);
    }
    {
        // An empty catalogue.
        PartsTestData data(false);
        Opener opener;
        prompts.expectMessage();
        QVERIFY(!opener.display());
        QCOMPARE(data.count("Pictures"), 0);
    }
    QCOMPARE(prompts.messages().size(), 2);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartImages::displayFromMaintenanceScreen()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("DROP TABLE Pictures")));
    ScriptedPrompts prompts;
    ScriptedModal modal;
    auto* screen = new MaintScreen;
    screen->show();
    screen->Form_Activate();
    prompts.expectMessage(Prompts::Yes);
    screen->SSCommand7->click();   // "&Display"
    QCoreApplication::processEvents();
    QCOMPARE(modal.shown().size(), 1);
    QPointer<QWidget> window = modal.shown()[0];
    QVERIFY(window);
    QCOMPARE(window->objectName(), QStringLiteral("ImagesMaint"));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("Command2"))->text(), QStringLiteral("Modify Image"));
    window->close();
    flushDeletes();
    // The table was made first, then the part's row on closing.
    QCOMPARE(data.scalar("SELECT [Record Number] FROM Pictures").toInt(), 2);
    screen->close();
    flushDeletes();
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestPartImages)
#include "tst_partimages.moc"
