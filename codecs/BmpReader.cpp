// BMP files through the engine's own reader, which checks them, makes the
// picture and says why it refuses one through the engine's message sink,
// exactly as it always has.

#include <string>
#include <vector>

#include "Message.h"
#include "PictureReader.h"

namespace {

class CBmpReader : public CPictureReader {
public:
    explicit CBmpReader(CCodecInput& input) : stream_(input) {}

    bool ReadsWhole() const override { return true; }
    bool ReadWhole(CImage& image) override {
        // The engine's messages are passed on as they come; whether it said
        // anything is noted on the way.
        std::vector<std::string> told;
        bool read = false;
        {
            CScopedMessageSink hold([&](const std::string& text) { told.push_back(text); });
            read = image.ReadFileBMP(stream_);
        }
        for (const std::string& text : told) ShowMessage(text);
        if (read) return true;
        // It is silent about a file too short for its headers.
        return Fail(CodecStatus::Unsupported,
                    told.empty() ? "not a BMP file Orvex reads (it ends inside its headers)" : "");
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
