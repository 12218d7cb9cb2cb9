#include "platform/PictureBox.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <new>

namespace {

// A part picture is a photograph or a scan: a file beyond this is refused before it is read.
constexpr qint64 LargestFileMB = 50;
constexpr qint64 LargestFile = LargestFileMB * 1024 * 1024;

// A picture that cannot be decoded, or not in the memory there is, shows blank.
QImage decode(const QByteArray& data)
{
    if (data.isEmpty())
        return QImage();
    try {
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        return reader.read();
    } catch (const std::bad_alloc&) {
        return QImage();
    }
}

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
{
}

void PictureBox::setImageData(const QByteArray& data)
{
    if (data == m_data)
        return;
    setPicture(data, decode(data));
}

void PictureBox::setPicture(const QByteArray& data, const QImage& image)
{
    m_data = data;
    m_image = image;
    update();
    Q_EMIT imageChanged();
}

bool PictureBox::loadFile(const QString& path, QString* error)
{
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString notAPicture = QStringLiteral("%1 is not a picture that can be shown.").arg(path);
    // Its size and its first bytes tell whether the file may be a picture, before it is read whole.
    const qint64 size = QFileInfo(path).size();
    if (size > LargestFile)
        return refuse(QStringLiteral("%1 is too large for a picture: it holds %2 MB, and a picture may hold at most %3 MB.")
                          .arg(path)
                          .arg(size / (1024 * 1024))
                          .arg(LargestFileMB));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    if (!QImageReader(&file).canRead())
        return refuse(notAPicture);
    try {
        if (!file.seek(0))
            return refuse(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        const QByteArray data = file.readAll();
        const QImage image = decode(data);
        if (image.isNull())
            return refuse(notAPicture);
        if (data != m_data)
            setPicture(data, image);
        return true;
    } catch (const std::bad_alloc&) {
        return refuse(QStringLiteral("%1 is too large to be shown as a picture.").arg(path));
    }
}

void PictureBox::clear()
{
    setImageData(QByteArray());
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), m_image);
}
