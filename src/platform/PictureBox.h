#pragma once

#include <QByteArray>
#include <QFrame>
#include <QImage>

struct DecodedPicture;
class QTimer;

// A picture stretched to the box. The box keeps the picture's file bytes exactly as given, so a
// picture stored in the database is written back unchanged, and shows them decoded at the size
// of the box (decoded again, once the resizing stops, when the box grows).
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setImageData(const QByteArray& data);  // empty = blank; bytes that are no picture show blank
    QByteArray imageData() const { return m_data; }
    bool hasImage() const { return !m_image.isNull(); }

    // Takes the file's bytes when they are a picture that can be shown; otherwise leaves the box
    // as it was and says why (not a picture, damaged, too large). A file larger than 50 MB, or
    // whose first bytes are no picture's, is not read at all.
    bool loadFile(const QString& path, QString* error);
    void clear();

Q_SIGNALS:
    void imageChanged();  // the bytes changed

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize shownSize() const;   // device pixels
    void setPicture(const QByteArray& data, const DecodedPicture& picture);
    void decodeForSize();

    QByteArray m_data;
    QImage m_image;         // decoded at the size the box had
    QSize m_pictureSize;    // the picture's own size
    QTimer* m_redecode;
};
