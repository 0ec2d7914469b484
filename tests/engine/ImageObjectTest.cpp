// The image object: geometry, region of interest, undo, empty pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "TestSupport.h"

TEST(ImageObject, EmptyImageAnswersZeroSilently) {
    CMessageRecorder recorder;
    CImage image;
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetNumColors(), 0);
    EXPECT_FALSE(image.HasBackup());
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(image.GetSizePalette(), 0);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"GetSizePalette : invalid handle"});
}

TEST(ImageObject, StrideAndPadding) {
    CImage image;
    ASSERT_TRUE(image.CreateEmptyImage(5, 3, 9));
    EXPECT_EQ(CImage::GetWidthBytes(5), 8);
    EXPECT_EQ(image.GetPadding(), 3);
    EXPECT_EQ(image.GetImageSize(), 24u);
    EXPECT_EQ(image.GetArea(), 15u);
    ASSERT_TRUE(image.CreateEmptyImage(8, 3, 9));
    EXPECT_EQ(image.GetPadding(), 0);
    EXPECT_EQ(CImage::GetWidthBytes(1), 4);
}

TEST(ImageObject, EmptyBlockHasEngineShape) {
    CImage image;
    ASSERT_TRUE(image.CreateEmptyImage(5, 2, 7));
    const auto block = BlockBytes(image);
    ASSERT_EQ(block.size(), 1064u + 16u);
    EXPECT_EQ(block[0], 40);
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetNumColors(), 256);
    EXPECT_EQ(image.GetSizePalette(), 1024);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(block[40 + 4 * i], i);
        EXPECT_EQ(block[40 + 4 * i + 3], 0);
    }
    // Padding bytes take the fill value too.
    for (std::size_t i = 1064; i < block.size(); ++i) EXPECT_EQ(block[i], 7);
    EXPECT_EQ(image.GetPalette()->count, 256);
    EXPECT_EQ(image.GetPalette()->entries[200].green, 200);
}

TEST(ImageObject, EmptyBlockRefusesAbsurdSizes) {
    CMessageRecorder recorder;
    CImage image;
    EXPECT_FALSE(image.CreateEmptyImage(0, 10, 0));
    EXPECT_FALSE(image.CreateEmptyImage(100000, 100000, 0));
    EXPECT_FALSE(image.CreateEmptyImage(-4, 3, 0));
    EXPECT_FALSE(image.IsValid());
    // A size below 1 is a size error, not a lack of memory.
    EXPECT_EQ(recorder.messages,
              (std::vector<std::string>{"Create empty image : invalid size",
                                        "Create empty image : insuffisant memory",
                                        "Create empty image : invalid size"}));
}

TEST(ImageObject, SetRoiConvertsDisplayedToStorageRows) {
    CMessageRecorder recorder;
    CImage image;
    image.CreateEmptyImage(100, 80, 0);
    EXPECT_TRUE(image.SetRoi({10, 5, 50, 30}));
    EXPECT_EQ(image.GetRoi(), (CRect{10, 50, 50, 75}));
    EXPECT_TRUE(image.SetRoi({50, 30, 10, 5}));
    EXPECT_EQ(image.GetRoi(), (CRect{10, 50, 50, 75}));
    EXPECT_TRUE(image.SetRoi({-5, -5, 30, 30}));
    EXPECT_EQ(image.GetRoi(), (CRect{0, 50, 30, 80}));
    EXPECT_TRUE(recorder.messages.empty());

    EXPECT_FALSE(image.SetRoi({0, 0, 101, 80}));
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 100, 80}));
    EXPECT_EQ(recorder.messages,
              std::vector<std::string>{"SetRoi : invalid rect, also set default"});
}

TEST(ImageObject, SetRoiNeverLeavesThePicture) {
    CImage image;
    image.CreateEmptyImage(100, 80, 0);
    // Right and bottom negative: the swap moves them left and up, then clamping
    // keeps every edge inside.
    EXPECT_TRUE(image.SetRoi({10, 10, -20, -30}));
    const CRect r = image.GetRoi();
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 100);
    EXPECT_LE(r.bottom, 80);
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
}

TEST(ImageObject, UndoTwiceRestoresTheUndoneState) {
    CImage image;
    image.CreateEmptyImage(4, 4, 10);
    image.SaveBackup();
    PixelAt(image, 1, 1) = 99;
    const auto changed = BlockBytes(image);
    image.Undo();
    EXPECT_EQ(PixelAt(image, 1, 1), 10);
    image.Undo();
    EXPECT_EQ(BlockBytes(image), changed);
    EXPECT_TRUE(image.HasBackup());
}

TEST(ImageObject, UndoResetsRoiAndPaletteToTheRestoredPicture) {
    CImage image;
    image.CreateEmptyImage(4, 4, 10);
    image.SaveBackup();
    image.CreateEmptyImage(9, 7, 0);
    image.SetRoi({1, 1, 2, 2});
    image.Undo();
    EXPECT_EQ(image.GetSize(), (CSize{4, 4}));
    EXPECT_EQ(image.GetRoi(), (CRect{0, 0, 4, 4}));
}

TEST(ImageObject, SaveBackupWithoutPictureKeepsNoCopy) {
    CImage image;
    image.SaveBackup();
    EXPECT_FALSE(image.HasBackup());
    image.Undo();
    EXPECT_FALSE(image.IsValid());
}

TEST(ImageObject, CopyBlockIsExactAndIndependent) {
    EXPECT_EQ(CImage::CopyBlock(nullptr), nullptr);
    CImage image;
    image.CreateEmptyImage(3, 3, 5);
    HBLOCK copy = CImage::CopyBlock(image.GetHandle());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(copy->Data(), copy->Data() + copy->Size()),
              BlockBytes(image));
    copy->Data()[1064] = 1;
    EXPECT_EQ(PixelAt(image, 0, 0), 5);
}

TEST(ImageObject, ColoursUsedFieldIsReported) {
    CImage image;
    HBLOCK block = CImage::CreateEmptyBlock(4, 4, 0);
    CImage::WriteHeader(block.get(), 40, 4, 4, 1, 8, 0, 16, 0, 0, 16, 16);
    image.SetHandle(std::move(block));
    EXPECT_EQ(image.GetNumColors(), 16);
    EXPECT_EQ(image.GetSizePalette(), 64);
    EXPECT_EQ(image.GetPalette()->count, 16);
}

TEST(ImageObject, GetBitsRefusesBlocksTooSmallForTheirHeader) {
    // A header claiming more rows than the block holds must never let an
    // operation reach past the block.
    CImage image;
    HBLOCK block = CImage::CreateEmptyBlock(4, 4, 0);
    CImage::WriteHeader(block.get(), 40, 4000, 4000, 1, 8, 0, 0, 0, 0, 256, 256);
    image.SetHandle(std::move(block));
    EXPECT_EQ(image.GetBits(image.Lock()), nullptr);
}

TEST(ImageObject, StoredRowsKeepTheRealDepthAndItsChannels) {
    CImage image;
    struct Case {
        int width, bits;
        std::uint64_t stride;
        std::uint32_t red;
    };
    for (const Case c :
         {Case{33, 1, 8, 0xFF0000}, Case{7, 4, 4, 0xFF0000}, Case{5, 8, 8, 0xFF0000},
          Case{3, 16, 8, 0x7C00}, Case{3, 24, 12, 0xFF0000}, Case{3, 32, 12, 0xFF0000}}) {
        HBLOCK block = CImage::CreateEmptyBlock(64, 4, 0);
        CImage::WriteHeader(block.get(), 40, c.width, 2, 1, static_cast<std::uint16_t>(c.bits), 0,
                            0, 0, 0, 0, 0);
        image.SetHandle(std::move(block));
        const CStoredRows rows = image.GetStoredRows();
        ASSERT_NE(rows.bits, nullptr) << c.bits;
        EXPECT_EQ(rows.bits, image.Lock() + image.GetBitsOffset()) << c.bits;
        EXPECT_EQ(rows.stride, c.stride) << c.bits;
        EXPECT_EQ(rows.Row(1), rows.bits + c.stride) << c.bits;
        EXPECT_EQ(rows.redMask, c.red) << c.bits;
    }
    // Bit fields: the masks stored after the header.
    HBLOCK block = CImage::CreateEmptyBlock(64, 4, 0);
    CImage::WriteHeader(block.get(), 40, 3, 2, 1, 16, 3, 0, 0, 0, 0, 0);
    const std::uint8_t masks[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    std::copy(std::begin(masks), std::end(masks), block->Data() + 40);
    image.SetHandle(std::move(block));
    const CStoredRows fields = image.GetStoredRows();
    EXPECT_EQ(fields.bits, image.Lock() + 52);
    EXPECT_EQ(fields.redMask, 0xF800u);
    EXPECT_EQ(fields.greenMask, 0x07E0u);
    EXPECT_EQ(fields.blueMask, 0x001Fu);
    const std::uint8_t word[4] = {0x34, 0x12, 0x78, 0x56};
    EXPECT_EQ(CStoredRows::Word16(word, 1), 0x5678u);
    EXPECT_EQ(CStoredRows::Word32(word, 0), 0x56781234u);
    // Rows the block cannot hold are not offered.
    block = CImage::CreateEmptyBlock(4, 4, 0);
    CImage::WriteHeader(block.get(), 40, 40, 40, 1, 24, 0, 0, 0, 0, 0, 0);
    image.SetHandle(std::move(block));
    EXPECT_EQ(image.GetStoredRows().bits, nullptr);
    EXPECT_EQ(CImage().GetStoredRows().bits, nullptr);
}
