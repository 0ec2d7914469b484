// BMP files through the engine's own reader, in its two steps: the headers
// give the picture's size and the file's depth, the read driver checks them
// and makes the block, the masks, table and rows go into it as the file
// stores them. Every refusal, the driver's included, is told in the
// engine's words through its message sink, as it always has been.

#include "BmpFileReader.h"
#include "Message.h"
#include "PictureReader.h"

namespace {

// The engine's refusal for a fault the driver found. A side beyond the
// engine's int (the top-down height of -2^31) makes a picture too large.
BmpRefusal EngineRefusal(ReadFault fault) {
    switch (fault) {
        case ReadFault::NoPixels:
            return BmpRefusal::BadSize;
        case ReadFault::SideTooLong:
        case ReadFault::TooLarge:
            return BmpRefusal::TooLarge;
        case ReadFault::RowsPastData:
            return BmpRefusal::Damaged;
        case ReadFault::NoMemory:
            break;
    }
    return BmpRefusal::NoMemory;
}

class CBmpReader : public CPictureReader {
public:
    explicit CBmpReader(CCodecInput& input) : stream_(input), bmp_(stream_) {}

    bool OnePage() const override { return true; }

    bool ReadHeader(SPictureHeader& header) override {
        const BmpRefusal refusal = bmp_.ReadHeaders();
        // The engine is silent about a file too short for its headers.
        if (refusal == BmpRefusal::Silent)
            return Fail(CodecStatus::Unsupported,
                        "not a BMP file Orvex reads (it ends inside its headers)");
        if (refusal != BmpRefusal::None) return Refuse(refusal);
        const SBmpPicture& picture = bmp_.Picture();
        header.width = picture.width;
        header.height = picture.height;
        header.kind = PictureKind::Dib;
        header.dib = {.bitCount = picture.bitCount,
                      .runLength = picture.runLength,
                      .dataBytes = picture.dataBytes,
                      .tableBytes = picture.tableBytes};
        return true;
    }

    bool ReadPixels(const SPictureRows& rows) override {
        const BmpRefusal refusal = bmp_.ReadPixels(*rows.block);
        return refusal == BmpRefusal::None || Refuse(refusal);
    }

    bool TellFault(ReadFault fault) override {
        Refuse(EngineRefusal(fault));
        return true;
    }

private:
    // Said through the message sink; the problem stays empty.
    bool Refuse(BmpRefusal refusal) {
        ShowMessage(bmp_.Message(refusal));
        return Fail(CodecStatus::Unsupported, "");
    }

    CCodecInputStream stream_;
    CBmpFileReader bmp_;
};

}  // namespace

bool MatchesBmp(const std::uint8_t* head, std::size_t size) {
    return size >= 2 && head[0] == 'B' && head[1] == 'M';
}

std::unique_ptr<CPictureReader> NewBmpReader(CCodecInput& input) {
    return std::make_unique<CBmpReader>(input);
}
