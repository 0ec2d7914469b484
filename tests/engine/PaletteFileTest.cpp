// JASC palette files: the bytes on disk, reading back, and files that are
// not quite palette files.
#include <gtest/gtest.h>

#include <fstream>

#include "FileSizeLimit.h"
#include "PaletteFile.h"
#include "TempFolderTest.h"
#include "TestSupport.h"

namespace {

class PaletteFile : public CTempFolderTest {
protected:
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(P(name), std::ios::binary) << text;
    }
    std::string ReadText(const std::string& name) const {
        std::ifstream in(P(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

CPaletteColors Sample() {
    CPaletteColors c;
    for (int i = 0; i < 256; ++i) {
        c.red[i] = static_cast<std::uint8_t>(i);
        c.green[i] = static_cast<std::uint8_t>(255 - i);
        c.blue[i] = static_cast<std::uint8_t>(i * 7);
    }
    return c;
}

std::string Entries(int count, int value) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(value) + " " + std::to_string(value) + " 1\r\n";
    return text;
}

}  // namespace

TEST_F(PaletteFile, WritesHeaderAndEntriesWithCrLf) {
    ASSERT_TRUE(WritePaletteFile(P("a.pal"), Sample()));
    const std::string text = ReadText("a.pal");
    EXPECT_EQ(text.rfind("JASC-PAL\r\n0100\r\n256\r\n0 255 0\r\n1 254 7\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n255 0 249\r\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 259);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 259);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    CPaletteColors back;
    ASSERT_TRUE(ReadPaletteFile(P("a.pal"), back));
    EXPECT_EQ(back, Sample());
}

TEST_F(PaletteFile, ValuesKeepTheirLowEightBits) {
    const auto colors = ParsePaletteFile("JASC-PAL\n0100\n256\n256 300 -1\n" + Entries(255, 2));
    ASSERT_TRUE(colors);
    EXPECT_EQ(colors->red[0], 0);
    EXPECT_EQ(colors->green[0], 44);
    EXPECT_EQ(colors->blue[0], 255);
    EXPECT_EQ(colors->red[255], 2);
    // Huge numbers wrap the same way instead of overflowing.
    const auto big =
        ParsePaletteFile("JASC-PAL 0100 256 99999999999999999999 +5 7 " + Entries(255, 0));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->red[0], 255);  // 99999999999999999999 mod 256
    EXPECT_EQ(big->green[0], 5);
}

TEST_F(PaletteFile, CountIsMatchedAsTextNotUsed) {
    // "16" stops the header match at "1"; its number becomes red of entry 0
    // and everything after shifts by one value.
    const auto colors = ParsePaletteFile("JASC-PAL\r\n0100\r\n16\r\n" + Entries(256, 9));
    ASSERT_TRUE(colors);
    EXPECT_EQ(colors->red[0], 16);
    EXPECT_EQ(colors->green[0], 9);
    EXPECT_EQ(colors->blue[0], 9);
    EXPECT_EQ(colors->red[1], 1);

    // No header at all: the numbers are read from the start.
    const auto bare = ParsePaletteFile(Entries(256, 4));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->green[255], 4);
}

TEST_F(PaletteFile, ShortOrGarbledFilesChangeNothing) {
    CMessageRecorder recorder;
    const CPaletteColors original = Sample();
    CPaletteColors colors = original;
    WriteText("short.pal", "JASC-PAL\r\n0100\r\n256\r\n" + Entries(255, 3));
    WriteText("text.pal",
              "JASC-PAL\r\n0100\r\n256\r\n" + Entries(100, 3) + "12 rouge 4\r\n" + Entries(156, 3));
    WriteText("sign.pal", "JASC-PAL\r\n0100\r\n256\r\n- 1 2\r\n" + Entries(255, 3));
    for (const char* name : {"short.pal", "text.pal", "sign.pal", "missing.pal"})
        EXPECT_FALSE(ReadPaletteFile(P(name), colors)) << name;
    EXPECT_FALSE(ReadPaletteFile(folder.string(), colors));  // a folder
    EXPECT_EQ(colors, original);
    EXPECT_EQ(recorder.messages, std::vector<std::string>(5, "Lecture de fichier impossible"));
}

TEST_F(PaletteFile, UnwritablePlaceIsReported) {
    CMessageRecorder recorder;
    EXPECT_FALSE(WritePaletteFile(P("no/such/folder.pal"), Sample()));
    EXPECT_FALSE(WritePaletteFile("/dev/full", Sample()));
    EXPECT_EQ(recorder.messages, std::vector<std::string>(2, "Ecriture de fichier impossible"));
}

TEST_F(PaletteFile, SaveOntoAFullDiskKeepsTheOldFile) {
    WriteText("old.pal", "JASC-PAL\r\n0100\r\n256\r\n" + Entries(256, 9));
    const std::string before = ReadText("old.pal");
    CMessageRecorder recorder;
    {
        CFileSizeLimit full(1000);  // a palette file takes about 3 KB
        EXPECT_FALSE(WritePaletteFile(P("old.pal"), Sample()));
    }
    EXPECT_EQ(ReadText("old.pal"), before);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"Ecriture de fichier impossible"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);
}
