// Reading and writing BMP files: layout rules, refusals and conversions.
#include <gtest/gtest.h>

#include <functional>

#include "BmpBuilder.h"
#include "ImageDocument.h"
#include "StepsBasic.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "TestSupport.h"

namespace {

std::vector<std::uint8_t> Save(CImage& image) {
    CMemoryStream out;
    EXPECT_TRUE(image.SaveFileBMP(out));
    return out.Bytes();
}

bool Read(CImage& image, const std::vector<std::uint8_t>& bytes) {
    CMemoryStream in(bytes);
    return image.ReadFileBMP(in);
}

std::uint32_t Field32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

TEST(BmpWrite, FileSizesAndPixelOffset) {
    CImage image;
    image.CreateEmptyImage(100, 10, 1);
    auto bytes = Save(image);
    EXPECT_EQ(bytes.size(), 2078u);
    EXPECT_EQ(Field32(bytes, 2), 2078u);
    EXPECT_EQ(Field32(bytes, 10), 1078u);
    EXPECT_EQ(Field32(bytes, 14 + 20), 1000u);

    image.CreateEmptyImage(101, 10, 1);
    EXPECT_EQ(Save(image).size(), 2118u);
}

TEST(BmpWrite, SixteenColourTableMovesThePixelOffset) {
    CImage image;
    HBLOCK block = CImage::CreateEmptyBlock(4, 2, 3);
    CImage::WriteHeader(block.get(), 40, 4, 2, 1, 8, 0, 8, 0, 0, 16, 16);
    image.SetHandle(std::move(block));
    auto bytes = Save(image);
    EXPECT_EQ(Field32(bytes, 10), 118u);
    EXPECT_EQ(bytes.size(), 118u + 8u);
}

TEST(BmpWrite, RefusesWithoutPictureOrWithCoreHeader) {
    CMessageRecorder recorder;
    CImage empty;
    CMemoryStream out;
    EXPECT_FALSE(empty.SaveFileBMP(out));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"SaveFileBMP : invalid handle"});

    HBLOCK block = CMemBlock::Allocate(12 + 3 * 256 + 16);
    block->Data()[0] = 12;
    block->Data()[4] = 4;  // width 4
    block->Data()[6] = 4;  // height 4
    block->Data()[10] = 8;
    CImage core;
    core.SetHandle(std::move(block));
    EXPECT_FALSE(core.SaveFileBMP(out));
    EXPECT_TRUE(out.Bytes().empty());
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST(BmpWrite, ClaimedImageBytesBeyondTheBlockAreRefused) {
    CMessageRecorder recorder;
    CImage image;
    HBLOCK block = CImage::CreateEmptyBlock(4, 4, 0);
    CImage::WriteHeader(block.get(), 40, 4, 4, 1, 8, 1 /* RLE8 */, 1u << 30, 0, 0, 256, 256);
    image.SetHandle(std::move(block));
    CMemoryStream out;
    EXPECT_FALSE(image.SaveFileBMP(out));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"SaveFileBMP : damaged picture"});
}

TEST(BmpRead, RoundTripIsByteForByte) {
    const int width = 13, height = 7, stride = 16;
    CBmpBuilder b;
    b.FileHeader(1078 + stride * height, 1078)
        .InfoHeader(width, height, 8, 0, 256, stride * height)
        .GreyTable(256);
    for (int i = 0; i < stride * height; ++i) b.U8(static_cast<std::uint8_t>(i * 7));
    // Colours important 0 in the builder; keep the file consistent with ours.
    CImage image;
    ASSERT_TRUE(Read(image, b.bytes));
    EXPECT_EQ(Save(image), b.bytes);
}

TEST(BmpRead, SetsRoiPaletteAndKeepsPixels) {
    CImage image;
    ASSERT_TRUE(Read(image, MakeGrey8Bmp(5, 3)));
    EXPECT_EQ(image.GetSize(), (CSize{5, 3}));
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 5, 3}));
    EXPECT_EQ(image.GetPalette()->count, 256);
    EXPECT_EQ(PixelAt(image, 4, 2), 10);
}

TEST(BmpRead, WrongSignatureOrShortHeaderIsRefusedSilently) {
    CMessageRecorder recorder;
    CImage image;
    image.CreateEmptyImage(3, 3, 9);
    const auto before = BlockBytes(image);
    auto bytes = MakeGrey8Bmp(4, 4);
    bytes[1] = 'A';
    EXPECT_FALSE(Read(image, bytes));
    EXPECT_FALSE(Read(image, {'B', 'M', 0, 0}));
    EXPECT_FALSE(Read(image, {}));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(BlockBytes(image), before);
}

TEST(BmpRead, PixelOffsetGapIsHonouredAndRemovedOnWriting) {
    const int width = 4, height = 2;
    CBmpBuilder b;
    b.FileHeader(1078 + 10 + 8, 1088).InfoHeader(width, height, 8).GreyTable(256).Fill(10, 0xEE);
    b.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8);
    CImage image;
    ASSERT_TRUE(Read(image, b.bytes));
    EXPECT_EQ(PixelAt(image, 0, 0), 1);
    EXPECT_EQ(PixelAt(image, 3, 1), 8);
    auto written = Save(image);
    EXPECT_EQ(Field32(written, 10), 1078u);
    EXPECT_EQ(written.size(), 1078u + 8u);
    EXPECT_EQ(written[1078], 1);
}

TEST(BmpRead, TrailingBytesAreNotWrittenBack) {
    auto bytes = MakeGrey8Bmp(4, 2);
    const auto clean = bytes;
    bytes.insert(bytes.end(), 100, 0xAB);
    CImage image;
    ASSERT_TRUE(Read(image, bytes));
    auto written = Save(image);
    written[34] = clean[34];  // image-bytes field is recomputed
    written[35] = clean[35];
    EXPECT_EQ(written, clean);
}

TEST(BmpRead, TopDownRowsBecomeBottomUp) {
    CBmpBuilder b;
    b.FileHeader(1078 + 8, 1078).InfoHeader(4, -2, 8).GreyTable(256);
    b.U8(10).U8(11).U8(12).U8(13);  // top row
    b.U8(20).U8(21).U8(22).U8(23);  // bottom row
    CImage image;
    ASSERT_TRUE(Read(image, b.bytes));
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(PixelAt(image, 0, 0), 20);  // storage row 0 is the bottom
    EXPECT_EQ(PixelAt(image, 3, 1), 13);
}

TEST(BmpRead, CoreHeaderBecomesInformationHeader) {
    CBmpBuilder b;
    b.FileHeader(14 + 12 + 768 + 8, 14 + 12 + 768).U32(12).U16(3).U16(2).U16(1).U16(8);
    for (int i = 0; i < 256; ++i)
        b.U8(static_cast<std::uint8_t>(i)).U8(0).U8(static_cast<std::uint8_t>(255 - i));
    b.U8(1).U8(2).U8(3).U8(0).U8(4).U8(5).U8(6).U8(0);
    CImage image;
    ASSERT_TRUE(Read(image, b.bytes));
    const auto block = BlockBytes(image);
    EXPECT_EQ(block[0], 40);
    EXPECT_EQ(image.GetSize(), (CSize{3, 2}));
    EXPECT_EQ(image.GetNumColors(), 256);
    EXPECT_EQ(image.GetPalette()->entries[1].red, 254);
    EXPECT_EQ(image.GetPalette()->entries[1].blue, 1);
    EXPECT_EQ(PixelAt(image, 2, 1), 6);
    EXPECT_EQ(Save(image).size(), 1078u + 8u);
}

TEST(BmpRead, Rle8IsDecodedIntoPlainRows) {
    CBmpBuilder b;
    b.FileHeader(0, 1078).InfoHeader(6, 2, 8, 1).GreyTable(256);
    b.U8(3).U8(9).U8(0).U8(3).U8(1).U8(2).U8(3).U8(0);  // run of three 9s, absolute 1 2 3 (padded)
    b.U8(0).U8(0);                                      // end of line
    b.U8(0).U8(2).U8(2).U8(0).U8(2).U8(7);              // delta (2, 0), then two 7s
    b.U8(0).U8(1);                                      // end of picture
    CImage image;
    ASSERT_TRUE(Read(image, b.bytes));
    EXPECT_EQ(image.GetCompression(), 0u);
    const std::uint8_t bottom[6] = {9, 9, 9, 1, 2, 3};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(image, x, 0), bottom[x]);
    EXPECT_EQ(PixelAt(image, 1, 1), 0);
    EXPECT_EQ(PixelAt(image, 2, 1), 7);
    EXPECT_EQ(PixelAt(image, 3, 1), 7);
}

TEST(BmpRead, DamagedFilesAreRefusedAndLeaveTheImageAsItWas) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    auto truncated = MakeGrey8Bmp(40, 40);
    truncated.resize(truncated.size() - 10);
    CBmpBuilder zeroWidth, hugeSize, badHeader, badDepth, jpeg, shortTable, rleOverflow;
    zeroWidth.FileHeader(0, 1078).InfoHeader(0, 5, 8).GreyTable(256).Fill(20, 0);
    hugeSize.FileHeader(0, 1078).InfoHeader(50000, 50000, 8).GreyTable(256).Fill(20, 0);
    badHeader.FileHeader(0, 1078).U32(41).Fill(60, 0);
    badDepth.FileHeader(0, 1078).InfoHeader(4, 4, 7).GreyTable(256).Fill(16, 0);
    jpeg.FileHeader(0, 54).InfoHeader(4, 4, 24, 4).Fill(16, 0);
    shortTable.FileHeader(0, 1078).InfoHeader(4, 4, 8).GreyTable(10);
    rleOverflow.FileHeader(0, 1078).InfoHeader(60000, 30000, 8, 1).GreyTable(256).U8(0).U8(1);
    const std::vector<Case> cases = {
        {"truncated rows", truncated, "ReadFileBMP : damaged file"},
        {"zero width", zeroWidth.bytes, "ReadFileBMP : invalid width or height"},
        {"huge", hugeSize.bytes, "ReadFileBMP : picture too large"},
        {"unknown header", badHeader.bytes, "ReadFileBMP : unsupported header size"},
        {"7 bits", badDepth.bytes, "ReadFileBMP : unsupported bit count or compression"},
        {"jpeg", jpeg.bytes, "ReadFileBMP : unsupported bit count or compression"},
        {"short table", shortTable.bytes, "ReadFileBMP : damaged file"},
        {"tiny rle, huge picture", rleOverflow.bytes, "ReadFileBMP : damaged file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMessageRecorder recorder;
        CImage image;
        image.CreateEmptyImage(3, 3, 9);
        image.SetRoi({1, 1, 2, 2});
        const auto before = BlockBytes(image);
        EXPECT_FALSE(Read(image, c.bytes));
        EXPECT_EQ(recorder.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(BlockBytes(image), before);
        EXPECT_EQ(image.GetRoi(), (CRect{1, 1, 2, 2}));
    }
}

TEST(BmpRead, StreamDeliveringLessThanItsLengthIsAReadError) {
    class CShortStream : public CMemoryStream {
    public:
        using CMemoryStream::CMemoryStream;
        std::uint64_t Length() override { return CMemoryStream::Length() + 8; }
    };
    CMessageRecorder recorder;
    auto bytes = MakeGrey8Bmp(4, 4);
    bytes.resize(bytes.size() - 8);
    CShortStream in(bytes);
    CImage image;
    EXPECT_FALSE(image.ReadFileBMP(in));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"ReadFileBMP : Error while reading"});
    EXPECT_FALSE(image.IsValid());
}

namespace {

// An 8-bit file whose colour-table entries carry a fourth byte of their own.
std::vector<std::uint8_t> FileWithFourthBytes(int width, int height) {
    auto bytes = MakeGrey8Bmp(width, height);
    for (int i = 0; i < 256; ++i) bytes[54 + 4 * i + 3] = static_cast<std::uint8_t>(0x80 ^ i);
    return bytes;
}

}  // namespace

// A palette command writes the table anew, 0 in each fourth byte
// (PaletteGenerators.WriteTheFourthByteAsZero); every other operation keeps it.
TEST(BmpRead, FourthByteOfTableEntriesSurvivesReadOperationAndSave) {
    const std::vector<std::pair<const char*, std::function<bool(CImageDocument&)>>> operations = {
        {"none", [](CImageDocument&) { return true; }},
        {"flip", StepFlipHorizontal},
        {"rotate", [](CImageDocument& d) { return StepRotate(d, 90); }},
        {"resize", [](CImageDocument& d) { return StepResize(d, 9, 2); }},
        {"palette bar", StepPaletteBar},
        {"negative", StepNegative},
        {"dilate", StepDilate},
        {"contours", StepContours},
        {"perspective",
         [](CImageDocument& d) { return StepPerspective(d, PerspectiveMode::Cloud, {}); }},
        {"undo", [](CImageDocument& d) { return StepRotate(d, 180) && StepUndo(d); }},
    };
    const auto file = FileWithFourthBytes(5, 3);
    for (const auto& [name, operation] : operations) {
        SCOPED_TRACE(name);
        CImageDocument doc;
        ASSERT_TRUE(Read(*doc.GetImage(), file));
        ASSERT_TRUE(operation(doc));
        const auto saved = Save(*doc.GetImage());
        ASSERT_GE(saved.size(), 1078u);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(saved[54 + 4 * i + 3], 0x80 ^ i) << i;
    }
}

TEST(BmpRead, LegalFilesThatEndEarlyAreAcceptedWithTheRestAtZero) {
    // The last row lacks only its padding: the file ends with the last pixel.
    auto unpadded = MakeGrey8Bmp(5, 3);
    unpadded.resize(unpadded.size() - 3);
    CImage image;
    ASSERT_TRUE(Read(image, unpadded));
    EXPECT_EQ(PixelAt(image, 4, 2), (4 + 3 * 2));
    EXPECT_EQ(Save(image).size(), 1078u + 8u * 3u);

    // Run-length data that stops after the last row, with no end code.
    CBmpBuilder noEnd;
    noEnd.FileHeader(0, 1078).InfoHeader(3, 2, 8, 1).GreyTable(256);
    noEnd.U8(3).U8(4).U8(0).U8(0).U8(3).U8(5);
    ASSERT_TRUE(Read(image, noEnd.bytes));
    EXPECT_EQ(PixelAt(image, 0, 0), 4);
    EXPECT_EQ(PixelAt(image, 2, 1), 5);

    // A blank 2000 x 2000 picture coded in two bytes: end of picture at once.
    CBmpBuilder blank;
    blank.FileHeader(0, 1078).InfoHeader(2000, 2000, 8, 1).GreyTable(256).U8(0).U8(1);
    CMessageRecorder recorder;
    ASSERT_TRUE(Read(image, blank.bytes));
    EXPECT_EQ(image.GetSize(), (CSize{2000, 2000}));
    EXPECT_EQ(image.GetMax(), 0);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(BmpRead, FewRunLengthBytesMayClaimAtMostSixtyFourMegabytesOfRows) {
    // Run-length data can leave a whole picture at 0 in two bytes, so the
    // reader cannot hold the header to the file's length. Without data to
    // back it, it allocates up to 64 MiB of rows (8192 x 8192 at 8 bits);
    // one row more and a file of a few bytes would be asking for as much as
    // it likes, so it is refused.
    CImage image;
    CBmpBuilder atLine, pastLine;
    atLine.FileHeader(0, 1078).InfoHeader(8192, 8192, 8, 1).GreyTable(256).U8(0).U8(1);
    pastLine.FileHeader(0, 1078).InfoHeader(8192, 8193, 8, 1).GreyTable(256).U8(0).U8(1);
    EXPECT_TRUE(Read(image, atLine.bytes));
    CMessageRecorder recorder;
    EXPECT_FALSE(Read(image, pastLine.bytes));
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"ReadFileBMP : damaged file"});
    EXPECT_EQ(image.GetHeight(), 8192);
}
