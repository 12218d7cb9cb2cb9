#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The one place where a part's stored picture is turned into pixels: the images window's boxes
// and the Images report both decode through it.
//
// A picture is decoded no larger than it is shown. A phone photo or a scan holds far more pixels
// than a box or a report cell shows, and decoding it whole would take hundreds of megabytes (the
// picture reader refuses such a picture outright). JPEG pictures and most PNG pictures are
// scaled while they are read, whatever their size. A picture whose format cannot be read scaled
// (a grey or palette PNG scan, a BMP) is read whole only when that fits LargestWholeDecodeMB
// and is then scaled a strip at a time; beyond that it is too large to be shown.

enum class PictureProblem {
    None,
    NotAPicture,   // the bytes are not in a picture format that can be read
    TooLarge,      // a valid picture that would take too much memory to read
    Damaged,       // the picture's header is readable but its data is not
    TooManyPixels, // a valid BMP picture with more pixels than the picture reader takes
};

struct DecodedPicture {
    QImage image;                  // null unless problem is None
    QSize size;                    // the picture's own size in pixels, when its header gives it
    qint64 memoryNeeded = 0;       // TooLarge: the bytes reading the picture whole would take
    PictureProblem problem = PictureProblem::NotAPicture;
};

constexpr qint64 LargestWholeDecodeMB = 256;

// `shown` is the place in device pixels; `mode` how the picture fills it: stretched over it
// (IgnoreAspectRatio), fitted inside it (KeepAspectRatio) or covering it (KeepAspectRatioByExpanding).
// A picture smaller than its place is decoded at its own size, never enlarged; an empty place
// decodes at the picture's own size.
DecodedPicture decodePicture(const QByteArray& data, const QSize& shown, Qt::AspectRatioMode mode);

// Why a picture cannot be shown, for a message that names the file (or the field) it came from.
QString pictureProblemText(const QString& name, const DecodedPicture& picture);
