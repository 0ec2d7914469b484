// Files on disk: the save never destroys what was there unless it succeeds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "AtomicFileWrite.h"
#include "FileSizeLimit.h"
#include "ImageDocument.h"
#include "PaletteFile.h"
#include "PictureFiles.h"
#include "StepsImage.h"
#include "TempFolderTest.h"
#include "TestSupport.h"
#include "UnprivilegedTest.h"

namespace fs = std::filesystem;

namespace {

class PictureFileIo : public CTempFolderTest {};

std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every kind of file the program writes, each through its own writer.
struct SWriter {
    const char* kind;
    std::function<bool(const std::string& path)> write;
};

const std::vector<SWriter>& Writers() {
    static const std::vector<SWriter> writers = {
        {"picture",
         [](const std::string& path) {
             CImage image;
             image.CreateEmptyImage(5, 3, 9);
             return SaveBmpAt(image, path) == FileStatus::Ok;
         }},
        {"palette",
         [](const std::string& path) { return WritePaletteFile(path, CPaletteColors{}); }},
        {"recipe",
         [](const std::string& path) {
             CImageDocument doc;
             doc.GetImage()->CreateEmptyImage(4, 4, 1);
             StepNegative(doc);
             return doc.GetRecipe().Write(path);
         }},
    };
    return writers;
}

mode_t ModeOf(const fs::path& p) {
    struct stat info {};
    stat(p.c_str(), &info);
    return info.st_mode & 07777;
}

ino_t InodeOf(const fs::path& p) {
    struct stat info {};
    stat(p.c_str(), &info);
    return info.st_ino;
}

// Gives a folder its mode back when leaving, so that it can be removed.
struct SFolderMode {
    SFolderMode(fs::path folder, mode_t mode) : folder(std::move(folder)) {
        chmod(this->folder.c_str(), mode);
    }
    ~SFolderMode() { chmod(folder.c_str(), 0755); }
    fs::path folder;
};

}  // namespace

TEST_F(PictureFileIo, SaveThenOpenGivesThePictureBack) {
    CImage image;
    image.CreateEmptyImage(7, 5, 42);
    const fs::path target = folder / "a.bmp";
    ASSERT_EQ(SaveBmpAt(image, target.string()), FileStatus::Ok);
    EXPECT_EQ(fs::file_size(target), 1078u + 8u * 5u);
    CImage again;
    ASSERT_EQ(ReadPictureAt(again, target.string()), FileStatus::Ok);
    EXPECT_EQ(BlockBytes(again), BlockBytes(image));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(PictureFileIo, RefusedSaveKeepsTheExistingFile) {
    const fs::path target = folder / "keep.bmp";
    std::ofstream(target) << "precious";
    CImage empty;
    CMessageRecorder recorder;
    EXPECT_EQ(SaveBmpAt(empty, target.string()), FileStatus::Refused);
    EXPECT_EQ(Contents(target), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(PictureFileIo, MissingFolderOrFileIsReported) {
    CImage image;
    image.CreateEmptyImage(2, 2, 0);
    EXPECT_EQ(SaveBmpAt(image, (folder / "no/such/dir/x.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(ReadPictureAt(image, (folder / "absent.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(image.GetWidth(), 2);
}

TEST_F(PictureFileIo, DocumentRecordsTheOpenedSize) {
    CImage image;
    image.CreateEmptyImage(640, 480, 0);
    ASSERT_EQ(SaveBmpAt(image, (folder / "p.bmp").string()), FileStatus::Ok);
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

TEST_F(PictureFileIo, FullDiskKeepsTheOldFileAndLeavesNothingBehind) {
    const fs::path target = folder / "old.bmp";
    std::ofstream(target) << "precious";
    CImage image;
    image.CreateEmptyImage(64, 64, 3);
    {
        CFileSizeLimit full(512);
        EXPECT_EQ(SaveBmpAt(image, target.string()), FileStatus::WriteError);
    }
    EXPECT_EQ(Contents(target), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(PictureFileIo, SavingThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
    fs::create_directory(folder / "real");
    const fs::path real = folder / "real" / "a.bmp";
    std::ofstream(real) << "old";
    const fs::path link = folder / "link.bmp";
    fs::create_symlink("real/a.bmp", link);
    CImage image;
    image.CreateEmptyImage(3, 3, 5);
    ASSERT_EQ(SaveBmpAt(image, link.string()), FileStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/a.bmp");
    EXPECT_EQ(fs::file_size(real), 1078u + 4u * 3u);
    // A link to a file not there yet makes that file.
    fs::create_symlink("real/new.bmp", folder / "dangling.bmp");
    ASSERT_EQ(SaveBmpAt(image, (folder / "dangling.bmp").string()), FileStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.bmp"));
    EXPECT_TRUE(fs::is_regular_file(folder / "real" / "new.bmp"));
}

TEST_F(PictureFileIo, ProgramKilledDuringASaveLeavesNoDebris) {
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

TEST_F(PictureFileIo, FileTheUserMayNotWriteIsNeverReplaced) {
    RUN_AS_NOBODY_WHEN_ROOT();
    // The folder would let the file be replaced; the file's mode forbids it.
    for (const SWriter& writer : Writers()) {
        SCOPED_TRACE(writer.kind);
        const fs::path target = folder / (std::string(writer.kind) + ".txt");
        std::ofstream(target) << "precious";
        chmod(target.c_str(), 0444);
        CMessageRecorder recorder;
        EXPECT_FALSE(writer.write(target.string()));
        EXPECT_EQ(Contents(target), "precious");
        EXPECT_EQ(ModeOf(target), 0444u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              static_cast<long>(Writers().size()));

    // The reason reaches the caller, for its message.
    CImage image;
    image.CreateEmptyImage(2, 2, 0);
    errno = 0;
    EXPECT_EQ(SaveBmpAt(image, (folder / "picture.txt").string()), FileStatus::CannotOpen);
    EXPECT_EQ(errno, EACCES);
    // Through a symbolic link it is the file pointed to that counts.
    fs::create_symlink("picture.txt", folder / "link.bmp");
    EXPECT_EQ(SaveBmpAt(image, (folder / "link.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(Contents(folder / "picture.txt"), "precious");
}

TEST_F(PictureFileIo, WritableFileInAFolderThatRefusesNewFilesIsWrittenInPlace) {
    RUN_AS_NOBODY_WHEN_ROOT();
    fs::create_directory(folder / "open");
    fs::create_directory(folder / "closed");
    for (const SWriter& writer : Writers()) {
        const std::string name = std::string(writer.kind) + ".txt";
        ASSERT_TRUE(writer.write((folder / "open" / name).string())) << writer.kind;
        std::ofstream(folder / "closed" / name) << "old content, longer than a palette file or a "
                                                   "recipe so that a stale tail would show";
        chmod((folder / "closed" / name).c_str(), 0640);
    }
    const SFolderMode closed(folder / "closed", 0555);
    for (const SWriter& writer : Writers()) {
        SCOPED_TRACE(writer.kind);
        const fs::path target = folder / "closed" / (std::string(writer.kind) + ".txt");
        const ino_t inode = InodeOf(target);
        CMessageRecorder recorder;
        EXPECT_TRUE(writer.write(target.string()));
        EXPECT_EQ(Contents(target), Contents(folder / "open" / target.filename()));
        EXPECT_EQ(InodeOf(target), inode);
        EXPECT_EQ(ModeOf(target), 0640u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "closed"), fs::directory_iterator()),
              static_cast<long>(Writers().size()));

    // A refused picture leaves the file as it was; a new file cannot be made.
    CImage empty;
    CMessageRecorder recorder;
    const std::string before = Contents(folder / "closed" / "picture.txt");
    EXPECT_EQ(SaveBmpAt(empty, (folder / "closed" / "picture.txt").string()), FileStatus::Refused);
    EXPECT_EQ(Contents(folder / "closed" / "picture.txt"), before);
    CImage image;
    image.CreateEmptyImage(2, 2, 0);
    errno = 0;
    EXPECT_EQ(SaveBmpAt(image, (folder / "closed" / "new.bmp").string()), FileStatus::CannotOpen);
    EXPECT_EQ(errno, EACCES);
    EXPECT_FALSE(fs::exists(folder / "closed" / "new.bmp"));
}
