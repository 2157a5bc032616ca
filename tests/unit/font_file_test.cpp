// The reasons readFontFile gives, which must read the same on every system,
// whatever file calls lie under them, and the bytes it reads: all of them, as
// they are, where a text mode would drop carriage returns or stop at a Ctrl-Z.
#include "font_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class ReadFontFileTest : public testing::Test {
  protected:
    // One directory for each test, since ctest runs them side by side.
    void SetUp() override {
        const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
        directory = fs::temp_directory_path() / ("gltextdemo-" + test);
        fs::remove_all(directory);
        fs::create_directory(directory);
    }
    void TearDown() override { fs::remove_all(directory); }

    std::string file(const char* name, const std::string& content = "") {
        const fs::path path = directory / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    fs::path directory;
    FontBytes bytes;
};

TEST_F(ReadFontFileTest, MissingFileGivesTheSystemsReason) {
    EXPECT_EQ(readFontFile((directory / "none.ttf").string().c_str(), bytes),
              "No such file or directory");
    EXPECT_EQ(bytes.data, nullptr);
}

TEST_F(ReadFontFileTest, DirectoryIsNotARegularFile) {
    EXPECT_EQ(readFontFile(directory.string().c_str(), bytes),
              "not a regular file but a directory");
}

TEST_F(ReadFontFileTest, EmptyFileIsRefused) {
    EXPECT_EQ(readFontFile(file("empty.ttf").c_str(), bytes), "the file is empty");
}

TEST_F(ReadFontFileTest, FileOverTheLimitIsRefusedUnread) {
    const std::string path = file("large.ttf");
    fs::resize_file(path, maxFontBytes + 1);
    EXPECT_EQ(readFontFile(path.c_str(), bytes), "larger than 64 MiB");
    EXPECT_EQ(bytes.data, nullptr);
}

TEST_F(ReadFontFileTest, EveryByteIsReadAsItIs) {
    constexpr char raw[] = "\r\n\x1a\0\xff tail";
    const std::string content(raw, sizeof raw - 1);
    ASSERT_EQ(readFontFile(file("font.ttf", content).c_str(), bytes), "");
    ASSERT_EQ(bytes.size, content.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data.get()), bytes.size), content);
}

}  // namespace
