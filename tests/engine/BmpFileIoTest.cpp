// Files on disk: the save never destroys what was there unless it succeeds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "AtomicFileWrite.h"
#include "FileSizeLimit.h"
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

TEST_F(BmpFileIo, FullDiskKeepsTheOldFileAndLeavesNothingBehind) {
    const fs::path target = folder / "old.bmp";
    std::ofstream(target) << "precious";
    CImage image;
    image.CreateEmptyImage(64, 64, 3);
    {
        CFileSizeLimit full(512);
        EXPECT_EQ(SaveBmpFile(image, target.string()), FileStatus::WriteError);
    }
    EXPECT_EQ(Contents(target), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(BmpFileIo, SavingThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
    fs::create_directory(folder / "real");
    const fs::path real = folder / "real" / "a.bmp";
    std::ofstream(real) << "old";
    const fs::path link = folder / "link.bmp";
    fs::create_symlink("real/a.bmp", link);
    CImage image;
    image.CreateEmptyImage(3, 3, 5);
    ASSERT_EQ(SaveBmpFile(image, link.string()), FileStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/a.bmp");
    EXPECT_EQ(fs::file_size(real), 1078u + 4u * 3u);
    // A link to a file not there yet makes that file.
    fs::create_symlink("real/new.bmp", folder / "dangling.bmp");
    ASSERT_EQ(SaveBmpFile(image, (folder / "dangling.bmp").string()), FileStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.bmp"));
    EXPECT_TRUE(fs::is_regular_file(folder / "real" / "new.bmp"));
}

TEST_F(BmpFileIo, ProgramKilledDuringASaveLeavesNoDebris) {
    const fs::path target = folder / "big.bmp";
    std::ofstream(target) << "old";
    // The writer dies half-way, as a program killed during a save does.
    EXPECT_EXIT(WriteFileAtomically(target.string(),
                                    [](CByteStream& out) {
                                        const std::vector<std::uint8_t> half(1 << 20, 7);
                                        out.Write(half.data(), half.size());
                                        std::fflush(nullptr);
                                        _exit(3);
                                        return true;
                                    }),
                ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}
