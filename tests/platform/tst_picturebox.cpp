// The picture box keeps a picture's bytes exactly and refuses files that are not pictures, damaged
// pictures, or files too large to be read, saying which.
#include "platform/PictureBox.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestPictureBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsBytesAndRefusesNonPictures();
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

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
