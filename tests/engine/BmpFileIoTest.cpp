// Files on disk: the save never destroys what was there unless it succeeds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ImageDocument.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

class BmpFileIo : public CTempFolderTest {};

std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST_F(BmpFileIo, SaveThenOpenGivesThePictureBack) {
    CImage image;
    image.CreateEmptyImage(7, 5, 42);
    const fs::path target = folder / "a.bmp";
    ASSERT_EQ(SaveBmpFile(image, target.string()), FileStatus::Ok);
    EXPECT_EQ(fs::file_size(target), 1078u + 8u * 5u);
    CImage again;
    ASSERT_EQ(ReadBmpFile(again, target.string()), FileStatus::Ok);
    EXPECT_EQ(BlockBytes(again), BlockBytes(image));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(BmpFileIo, RefusedSaveKeepsTheExistingFile) {
    const fs::path target = folder / "keep.bmp";
    std::ofstream(target) << "precious";
    CImage empty;
    CMessageRecorder recorder;
    EXPECT_EQ(SaveBmpFile(empty, target.string()), FileStatus::Refused);
    EXPECT_EQ(Contents(target), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(BmpFileIo, MissingFolderOrFileIsReported) {
    CImage image;
    image.CreateEmptyImage(2, 2, 0);
    EXPECT_EQ(SaveBmpFile(image, (folder / "no/such/dir/x.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(ReadBmpFile(image, (folder / "absent.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(image.GetWidth(), 2);
}

TEST_F(BmpFileIo, DocumentRecordsTheOpenedSize) {
    CImage image;
    image.CreateEmptyImage(640, 480, 0);
    ASSERT_EQ(SaveBmpFile(image, (folder / "p.bmp").string()), FileStatus::Ok);
    CImageDocument doc;
    EXPECT_EQ(doc.GetHistory(), "IMAGE BITMAP - HISTORIQUE\r\n");
    ASSERT_EQ(doc.Open((folder / "p.bmp").string()), FileStatus::Ok);
    EXPECT_EQ(doc.GetHistory(), "IMAGE BITMAP - HISTORIQUE\r\nImage : 640 x 480\r\n");
    EXPECT_FALSE(doc.GetImage()->HasBackup());

    std::ofstream(folder / "bad.bmp") << "BMgarbage";
    CMessageRecorder recorder;
    EXPECT_EQ(doc.Open((folder / "bad.bmp").string()), FileStatus::Refused);
    EXPECT_EQ(doc.GetHistoryLines().size(), 2u);
    EXPECT_EQ(doc.GetImage()->GetWidth(), 640);
}
