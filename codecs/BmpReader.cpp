// BMP files through the engine's own reader, which checks them, makes the
// picture and says why it refuses one through the engine's message sink,
// exactly as it always has.

#include "PictureReader.h"

namespace {

class CBmpReader : public CPictureReader {
public:
    explicit CBmpReader(CCodecInput& input) : stream_(input) {}

    bool ReadsWhole() const override { return true; }
    bool ReadWhole(CImage& image) override {
        // The refusal has been told; no problem is added to it.
        return image.ReadFileBMP(stream_) || Fail(CodecStatus::Unsupported, "");
    }
    bool ReadHeader(SPictureHeader&) override { return false; }
    bool ReadPixels(const SPictureRows&) override { return false; }

private:
    CCodecInputStream stream_;
};

}  // namespace

bool MatchesBmp(const std::uint8_t* head, std::size_t size) {
    return size >= 2 && head[0] == 'B' && head[1] == 'M';
}

std::unique_ptr<CPictureReader> NewBmpReader(CCodecInput& input) {
    return std::make_unique<CBmpReader>(input);
}
