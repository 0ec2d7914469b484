#include "ClipboardPicture.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>

#include "ImageRenderer.h"

namespace {

const QString kBmpMime = QStringLiteral("image/bmp");

// What Qt's BMP writer makes of an image another program offered.
QByteArray BmpFileOf(QImage image) {
    switch (image.format()) {
        case QImage::Format_Indexed8:
            break;
        case QImage::Format_Grayscale8:
        case QImage::Format_Grayscale16: {
            QList<QRgb> greys(256);
            for (int i = 0; i < 256; ++i) greys[i] = qRgb(i, i, i);
            image = image.convertToFormat(QImage::Format_Indexed8, greys);
            break;
        }
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            image = image.convertToFormat(QImage::Format_Indexed8);
            break;
        default:
            image = image.convertToFormat(QImage::Format_RGB32);
            break;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "BMP").write(image)) return {};
    return bytes;
}

}  // namespace

QMimeData* PictureMimeData(CImage& image) {
    if (!image.IsValid()) return nullptr;
    CMemoryStream file;
    if (!image.SaveFileBMP(file)) return nullptr;
    auto* data = new QMimeData;
    const std::vector<std::uint8_t>& bytes = file.Bytes();
    data->setData(kBmpMime, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size())));
    const QSize size(image.GetWidth(), image.GetHeight());
    // Encoded only when a program asks for another format.
    data->setImageData(RenderPicture(image, size, QRect(QPoint(0, 0), size)));
    return data;
}

bool HoldsPicture(const QMimeData* data) {
    return data != nullptr && (data->hasFormat(kBmpMime) || data->hasImage());
}

HBLOCK PictureBlock(const QMimeData* data) {
    if (!HoldsPicture(data)) return nullptr;
    QByteArray bytes = data->data(kBmpMime);
    if (bytes.isEmpty()) bytes = BmpFileOf(qvariant_cast<QImage>(data->imageData()));
    if (bytes.isEmpty()) return nullptr;
    CMemoryStream stream(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
    CImage picture;
    if (!picture.ReadFileBMP(stream)) return nullptr;
    return CImage::CopyBlock(picture.GetHandle());
}
