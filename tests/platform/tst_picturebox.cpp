// The picture box keeps a picture's bytes exactly and refuses files that are not pictures, damaged
// pictures, or files too large to be read, saying which.
#include "platform/PictureBox.h"

#include <QBuffer>
#include <QDataStream>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestPictureBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsBytesAndRefusesNonPictures();
    void tooLargeSaysSoTruly();
};

void TestPictureBox::keepsBytesAndRefusesNonPictures()
{
    QImage red(2, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    // Trailing data a decoder ignores but a re-encode would lose: the bytes must come back as stored.
    const QByteArray stored = png + QByteArray("trailing bytes kept as stored");

    PictureBox box;
    box.setFrameShape(QFrame::NoFrame);
    box.resize(40, 30);
    QSignalSpy changed(&box, &PictureBox::imageChanged);
    box.setImageData(stored);
    box.setImageData(stored);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(box.imageData(), stored);
    const QImage shown = box.grab().toImage();  // stretched over the whole box
    QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(39, 29), QColor(Qt::red));

    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.png"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("A text file with a picture's name.");
    file.close();
    QString error;
    QVERIFY(!box.loadFile(text, &error));
    QVERIFY(error.contains(QStringLiteral("notes.png")));
    QVERIFY(!box.loadFile(dir.filePath(QStringLiteral("missing.bmp")), &error));
    // A picture cut short is one, but damaged.
    QFile cut(dir.filePath(QStringLiteral("cut.png")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(png.left(png.indexOf("IDAT") + 8));
    cut.close();
    QVERIFY(!box.loadFile(cut.fileName(), &error));
    QVERIFY2(error.endsWith(QStringLiteral("cut.png cannot be shown: the picture in it is damaged or incomplete.")), qPrintable(error));
    // A file beyond 50 MB is refused by its size before it is read: a sparse one of 64 GB here.
    QFile huge(dir.filePath(QStringLiteral("huge.png")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(qint64(64) << 30));
    huge.close();
    QVERIFY(!box.loadFile(huge.fileName(), &error));
    QVERIFY2(error.contains(QStringLiteral("too large")), qPrintable(error));
    QCOMPARE(box.imageData(), stored);
    QVERIFY(box.hasImage());
    QCOMPARE(changed.count(), 1);

    const QString picture = dir.filePath(QStringLiteral("pinsetter.png"));
    QVERIFY(red.save(picture));
    QVERIFY2(box.loadFile(picture, &error), qPrintable(error));
    QFile saved(picture);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(box.imageData(), saved.readAll());
    QCOMPARE(changed.count(), 2);

    box.clear();
    QVERIFY(box.imageData().isEmpty());
    QVERIFY(!box.hasImage());
}

// Files past what can be read are called too large, in figures that hold: a BMP picture past what
// the picture reader takes (a 1-bit scan of a large drawing) is not damaged, and a file just over
// the file-size limit does not read as holding the limit.
void TestPictureBox::tooLargeSaysSoTruly()
{
    QTemporaryDir dir;
    PictureBox box;
    box.resize(200, 150);
    QString error;
    // A 1-bit BMP of 20000 x 16385 pixels, all white: 40 MB.
    const auto bmp = [&](const QString& name, qint32 width, qint32 height) {
        const quint32 rowBytes = (quint32(width) + 31) / 32 * 4;
        const quint32 offset = 14 + 40 + 8;
        QByteArray head;
        QDataStream s(&head, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s.writeRawData("BM", 2);
        s << quint32(offset + rowBytes * quint32(qAbs(height))) << quint32(0) << offset;
        s << quint32(40) << width << height << quint16(1) << quint16(1) << quint32(0) << quint32(rowBytes * quint32(qAbs(height)))
          << qint32(23622) << qint32(23622) << quint32(2) << quint32(2) << quint32(0xFFFFFFFF) << quint32(0xFF000000);
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size() || !file.resize(offset + qint64(rowBytes) * qAbs(height)))
            return QString();
        return file.fileName();
    };
    const QString drawing = bmp(QStringLiteral("drawing.bmp"), 20000, -16385);
    QVERIFY(!drawing.isEmpty());
    QVERIFY(!box.loadFile(drawing, &error));
    QVERIFY2(error.endsWith(QStringLiteral("drawing.bmp is a BMP picture of 20000 x 16385 pixels, too large to be shown: a BMP picture may "
                                           "have at most 268,435,456 pixels (as many as 16384 x 16384).")),
             qPrintable(error));
    // One within what the reader takes is shown.
    QVERIFY2(box.loadFile(bmp(QStringLiteral("page.bmp"), 16384, 16384), &error), qPrintable(error));
    QVERIFY(box.hasImage());

    QFile over(dir.filePath(QStringLiteral("over.jpg")));
    QVERIFY(over.open(QIODevice::WriteOnly));
    QVERIFY(over.resize(qint64(50) * 1024 * 1024 + 1));
    over.close();
    QVERIFY(!box.loadFile(over.fileName(), &error));
    QVERIFY2(error.endsWith(QStringLiteral("over.jpg is too large for a picture: it holds 51 MB, and a picture may hold at most 50 MB.")),
             qPrintable(error));
}

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
