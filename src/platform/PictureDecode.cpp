#include "platform/PictureDecode.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

namespace {

constexpr qint64 MB = 1024 * 1024;

// The picture reader takes no BMP picture of more pixels than this, and cannot then even give its
// size: a 1-bit scan of a large drawing fits in a BMP file well within the file-size limit.
constexpr qint64 LargestBmpPixels = qint64(16384) * 16384;

// The size a BMP file's header gives, when it is beyond what the picture reader takes.
QSize bmpBeyondReader(const QByteArray& data)
{
    if (data.size() < 26 || !data.startsWith("BM"))
        return QSize();
    const auto at = [&data](int offset) { return data.constData() + offset; };
    const quint32 headerSize = qFromLittleEndian<quint32>(at(14));
    qint64 width = 0;
    qint64 height = 0;
    if (headerSize == 12) {   // the oldest headers keep 16-bit sizes
        width = qFromLittleEndian<qint16>(at(18));
        height = qFromLittleEndian<qint16>(at(20));
    } else if (headerSize == 40 || headerSize == 64 || headerSize == 108 || headerSize == 124) {
        width = qFromLittleEndian<qint32>(at(18));
        height = qFromLittleEndian<qint32>(at(22));
    }
    height = std::abs(height);   // a picture stored top row first has a negative height
    if (width <= 0 || height <= 0 || width * height <= LargestBmpPixels || height > std::numeric_limits<int>::max())
        return QSize();
    return QSize(int(width), int(height));
}

// The bytes an image of this size takes at this depth, rows padded to 32 bits as QImage keeps them.
qint64 imageBytes(const QSize& size, int bitsPerPixel)
{
    return (qint64(size.width()) * bitsPerPixel + 31) / 32 * 4 * size.height();
}

// The size to decode at: what the place shows of the picture, never more than the picture holds.
QSize decodeSize(const QSize& full, const QSize& shown, Qt::AspectRatioMode mode)
{
    if (full.isEmpty() || shown.isEmpty())
        return full;
    if (mode == Qt::IgnoreAspectRatio)
        return full.boundedTo(shown);
    const QSize scaled = full.scaled(shown, mode);
    if (scaled.width() >= full.width() || scaled.height() >= full.height())
        return full;
    return scaled.expandedTo(QSize(1, 1));
}

QImage read(const QByteArray& data, const QSize& scaledSize)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (scaledSize.isValid())
        reader.setScaledSize(scaledSize);
    return reader.read();
}

// The picture reader refuses any picture that it counts above its allocation limit. For one
// read whose true need has been checked against LargestWholeDecodeMB, the limit is set to cover
// it, and put back afterwards.
class AllocationLimitFor {
public:
    explicit AllocationLimitFor(qint64 bytes)
        : m_old(QImageReader::allocationLimit())
    {
        const int needed = int(bytes / MB) + 1;
        if (m_old != 0 && needed > m_old)
            QImageReader::setAllocationLimit(needed);
    }
    ~AllocationLimitFor() { QImageReader::setAllocationLimit(m_old); }
    AllocationLimitFor(const AllocationLimitFor&) = delete;
    AllocationLimitFor& operator=(const AllocationLimitFor&) = delete;

private:
    int m_old;
};

// Each pixel of `to` is the average of the pixels of `src` it covers. The source is widened to
// 32 bits a strip of rows at a time, so a 1-bit or grey scan is never widened whole (which is
// what scaling it at once would do).
QImage areaScaled(const QImage& src, const QSize& to)
{
    if (src.size() == to)
        return src;
    const int sw = src.width();
    const int sh = src.height();
    const int tw = to.width();
    const int th = to.height();
    QImage out(to, src.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (out.isNull())
        return QImage();
    std::vector<int> column(static_cast<size_t>(sw));   // the output column of each source column
    std::vector<quint32> across(size_t(tw), 0);
    for (int x = 0; x < sw; ++x) {
        column[size_t(x)] = int(qint64(x) * tw / sw);
        ++across[size_t(column[size_t(x)])];
    }
    std::vector<quint64> sums(size_t(tw) * 4, 0);
    int row = 0;          // the output row being summed
    quint32 down = 0;     // the source rows summed into it
    const auto flush = [&] {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        for (int x = 0; x < tw; ++x) {
            const quint64 n = quint64(across[size_t(x)]) * down;
            const quint64* s = &sums[size_t(x) * 4];
            line[x] = qRgba(int(s[0] / n), int(s[1] / n), int(s[2] / n), int(s[3] / n));
        }
        std::fill(sums.begin(), sums.end(), 0);
        down = 0;
    };
    constexpr int StripRows = 64;
    for (int top = 0; top < sh; top += StripRows) {
        const QImage strip = src.copy(0, top, sw, std::min(StripRows, sh - top)).convertToFormat(out.format());
        if (strip.isNull())
            return QImage();
        for (int r = 0; r < strip.height(); ++r) {
            const int target = int(qint64(top + r) * th / sh);
            if (target != row) {
                flush();
                row = target;
            }
            const QRgb* line = reinterpret_cast<const QRgb*>(strip.constScanLine(r));
            for (int x = 0; x < sw; ++x) {
                quint64* s = &sums[size_t(column[size_t(x)]) * 4];
                const QRgb p = line[x];
                s[0] += quint64(qRed(p));
                s[1] += quint64(qGreen(p));
                s[2] += quint64(qBlue(p));
                s[3] += quint64(qAlpha(p));
            }
            ++down;
        }
    }
    flush();
    return out;
}

}  // namespace

DecodedPicture decodePicture(const QByteArray& data, const QSize& shown, Qt::AspectRatioMode mode)
{
    DecodedPicture result;
    if (data.isEmpty())
        return result;
    try {
        QSize full;
        QImage::Format format = QImage::Format_Invalid;
        {
            QBuffer buffer;
            buffer.setData(data);
            buffer.open(QIODevice::ReadOnly);
            QImageReader header(&buffer);
            if (!header.canRead())
                return result;
            full = header.size();
            format = header.imageFormat();
        }
        if (!full.isValid()) {
            result.size = bmpBeyondReader(data);
            if (result.size.isValid()) {
                result.problem = PictureProblem::TooManyPixels;
                return result;
            }
        }
        result.size = full;
        const QSize target = decodeSize(full, shown, mode);
        result.image = read(data, target != full ? target : QSize());
        if (!result.image.isNull()) {
            result.problem = PictureProblem::None;
            return result;
        }
        // Refused or unreadable. The reader counts every picture at 32 bits a pixel or more: one
        // it counts within its limit was not refused for its size, so its data is at fault.
        result.problem = PictureProblem::Damaged;
        if (full.isEmpty())
            return result;
        const int depth = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
        const qint64 counted = imageBytes(full, std::max(depth, 32));
        const int limit = QImageReader::allocationLimit();
        if (limit == 0 || counted <= qint64(limit) * MB)
            return result;
        // This format is not read scaled: read it whole, if its true size allows, and scale it here.
        const qint64 whole = imageBytes(full, std::max(depth, 1));
        if (whole > LargestWholeDecodeMB * MB) {
            result.problem = PictureProblem::TooLarge;
            result.memoryNeeded = whole;
            return result;
        }
        QImage picture;
        {
            AllocationLimitFor allowed(counted);
            picture = read(data, QSize());
        }
        if (picture.isNull())
            return result;
        result.image = areaScaled(picture, target);
        if (result.image.isNull()) {
            result.problem = PictureProblem::TooLarge;
            result.memoryNeeded = whole;
            return result;
        }
        result.problem = PictureProblem::None;
        return result;
    } catch (const std::bad_alloc&) {
        result.image = QImage();
        result.problem = PictureProblem::TooLarge;
        return result;
    }
}

QString pictureProblemText(const QString& name, const DecodedPicture& picture)
{
    switch (picture.problem) {
    case PictureProblem::None:
        return QString();
    case PictureProblem::NotAPicture:
        return QStringLiteral("%1 is not a picture that can be shown.").arg(name);
    case PictureProblem::Damaged:
        return QStringLiteral("%1 cannot be shown: the picture in it is damaged or incomplete.").arg(name);
    case PictureProblem::TooLarge:
        if (picture.memoryNeeded > 0 && picture.size.isValid())
            return QStringLiteral("%1 is a picture of %2 x %3 pixels, too large to be shown: reading it would take %4 MB of "
                                  "memory, and a picture may take at most %5 MB.")
                .arg(name)
                .arg(picture.size.width())
                .arg(picture.size.height())
                .arg((picture.memoryNeeded + MB - 1) / MB)
                .arg(LargestWholeDecodeMB);
        return QStringLiteral("%1 is too large to be shown as a picture: there is not enough memory to read it.").arg(name);
    case PictureProblem::TooManyPixels:
        return QStringLiteral("%1 is a BMP picture of %2 x %3 pixels, too large to be shown: a BMP picture may have at most "
                              "268,435,456 pixels (as many as 16384 x 16384).")
            .arg(name)
            .arg(picture.size.width())
            .arg(picture.size.height());
    }
    return QString();
}
