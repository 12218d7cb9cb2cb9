#include "platform/PictureBox.h"

#include "platform/PictureDecode.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTimer>

#include <new>

namespace {

// A part picture is a photograph or a scan: a file beyond this is refused before it is read.
constexpr qint64 LargestFileMB = 50;
constexpr qint64 LargestFile = LargestFileMB * 1024 * 1024;

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QFrame(parent)
    , m_redecode(new QTimer(this))
{
    // Resizing a window calls for many sizes in a row: the picture is decoded for the last.
    m_redecode->setSingleShot(true);
    m_redecode->setInterval(200);
    connect(m_redecode, &QTimer::timeout, this, &PictureBox::decodeForSize);
}

QSize PictureBox::shownSize() const
{
    return (QSizeF(contentsRect().size()) * devicePixelRatioF()).toSize();
}

void PictureBox::setImageData(const QByteArray& data)
{
    if (data == m_data)
        return;
    setPicture(data, decodePicture(data, shownSize(), Qt::IgnoreAspectRatio));
}

void PictureBox::setPicture(const QByteArray& data, const DecodedPicture& picture)
{
    m_data = data;
    m_image = picture.image;
    m_pictureSize = picture.size;
    update();
    Q_EMIT imageChanged();
}

void PictureBox::decodeForSize()
{
    if (m_image.isNull())
        return;
    const DecodedPicture picture = decodePicture(m_data, shownSize(), Qt::IgnoreAspectRatio);
    if (!picture.image.isNull()) {
        m_image = picture.image;
        update();
    }
}

bool PictureBox::loadFile(const QString& path, QString* error)
{
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // Its size and its first bytes tell whether the file may be a picture, before it is read whole.
    // Rounded up in the message: a file just over the limit never reads as holding it.
    const qint64 size = QFileInfo(path).size();
    if (size > LargestFile)
        return refuse(QStringLiteral("%1 is too large for a picture: it holds %2 MB, and a picture may hold at most %3 MB.")
                          .arg(path)
                          .arg((size + 1024 * 1024 - 1) / (1024 * 1024))
                          .arg(LargestFileMB));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    DecodedPicture picture;
    if (!QImageReader(&file).canRead())
        return refuse(pictureProblemText(path, picture));
    try {
        if (!file.seek(0))
            return refuse(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        const QByteArray data = file.readAll();
        picture = decodePicture(data, shownSize(), Qt::IgnoreAspectRatio);
        if (picture.problem != PictureProblem::None)
            return refuse(pictureProblemText(path, picture));
        if (data != m_data)
            setPicture(data, picture);
        return true;
    } catch (const std::bad_alloc&) {
        picture.problem = PictureProblem::TooLarge;
        return refuse(pictureProblemText(path, picture));
    }
}

void PictureBox::clear()
{
    setImageData(QByteArray());
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // A box grown past the pixels it holds shows the picture sharp again, if the picture has more.
    const QSize shown = shownSize();
    if (!m_image.isNull()
        && ((shown.width() > m_image.width() && m_image.width() < m_pictureSize.width())
            || (shown.height() > m_image.height() && m_image.height() < m_pictureSize.height())))
        m_redecode->start();
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
