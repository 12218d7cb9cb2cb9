#include "platform/PictureBox.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace {

QImage decode(const QByteArray& data)
{
    if (data.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
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
    m_data = data;
    m_image = decode(data);
    update();
    Q_EMIT imageChanged();
}

bool PictureBox::loadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray data = file.readAll();
    if (decode(data).isNull()) {
        if (error)
            *error = QStringLiteral("%1 is not a picture that can be shown.").arg(path);
        return false;
    }
    setImageData(data);
    return true;
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
