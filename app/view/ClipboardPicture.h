#pragma once
// The picture on the system clipboard, as other Linux programs exchange it.
//
// Copying offers the whole picture as "image/bmp" (the packed block behind a
// 14-byte BMP file header) and as an image Qt encodes on request for programs
// that take PNG or other formats. Pasting takes "image/bmp" when offered,
// otherwise an image, turned into the BMP file Qt would have written for it:
// grey pictures become 8-bit grey pictures, indexed ones keep their colour
// table, colour ones become 24-bit pictures. Either way the bytes go through
// the BMP reader, so whatever another program put there is checked like a
// file before the picture adopts it.

#include "Image.h"

class QMimeData;

// Null when the picture has no pixel block.
QMimeData* PictureMimeData(CImage& image);

// True when `data` holds a picture that PictureBlock can read.
bool HoldsPicture(const QMimeData* data);

// The packed block of the picture in `data`, or null (the reader has said why
// when the bytes are not a picture it accepts).
HBLOCK PictureBlock(const QMimeData* data);
