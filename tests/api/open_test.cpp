#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/frd_text.h"

using namespace kovan_test;
namespace fs = std::filesystem;

namespace {

class OpenFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = make_temp_folder("kovan_open_test_");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& name, const std::string& content) {
        const fs::path path = folder_ / fs::u8path(name);
        std::ofstream(path, std::ios::binary) << content;
        return path.u8string();
    }

    fs::path folder_;
};

std::string padded_line(const std::string& text, size_t width) {
    return text + std::string(width - 1 - text.size(), ' ') + "\n";
}

TEST_F(OpenFile, ReadsAFileWhoseSizeIsAMultipleOfTheReadChunk) {
    std::string content = padded_line("    2C", 64);
    for (int i = 1; i < 2048; ++i) content += padded_line(" -1 " + std::to_string(i) + " 1.0 2.0 " + std::to_string(i), 64);
    ASSERT_EQ(content.size(), 131072u);
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open(write("exact.frd", content).c_str(), &doc), KOVAN_OK);
    EXPECT_EQ(kovan_n_points(doc), 2047u);
    EXPECT_EQ(kovan_points(doc)[3 * 2046 + 2], 2047.0);
    kovan_close(doc);
}

TEST_F(OpenFile, EmptyFileOpensAsAnEmptyDocument) {
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open(write("empty.frd", "").c_str(), &doc), KOVAN_OK);
    EXPECT_EQ(kovan_n_points(doc), 0u);
    EXPECT_EQ(kovan_n_cells(doc), 0u);
    EXPECT_EQ(kovan_n_steps(doc), 0u);
    EXPECT_EQ(kovan_cell_offsets(doc)[0], 0);
    kovan_close(doc);
}

TEST_F(OpenFile, NonAsciiUtf8PathOpensThatFile) {
    const std::string path = write("Кирилл_中文.frd", "    2C\n -1 1 1.0 2.0 3.0\n -3\n");
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open(path.c_str(), &doc), KOVAN_OK) << path;
    EXPECT_EQ(kovan_n_points(doc), 1u);
    kovan_close(doc);
}

TEST_F(OpenFile, MissingFileOrFolderIsAnInputOutputError) {
    kovan_document* doc = reinterpret_cast<kovan_document*>(this);
    EXPECT_EQ(kovan_open((folder_ / "missing.frd").u8string().c_str(), &doc), KOVAN_ERR_IO);
    EXPECT_EQ(doc, nullptr);
    EXPECT_STREQ(kovan_last_error(nullptr), "the file could not be opened for reading");
}

// A reader of files reads regular files only: a folder reads as nothing, a
// pipe without a writer would block the open forever, and /dev/zero never
// ends.
TEST_F(OpenFile, WhatIsNotARegularFileIsRefusedBeforeItIsRead) {
    std::vector<std::string> paths = {folder_.u8string()};
#ifndef _WIN32
    const fs::path fifo = folder_ / "pipe.frd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    paths.push_back(fifo.u8string());
    paths.push_back("/dev/zero");
#endif
    for (const std::string& path : paths) {
        kovan_document* doc = reinterpret_cast<kovan_document*>(this);
        EXPECT_EQ(kovan_open(path.c_str(), &doc), KOVAN_ERR_IO) << path;
        EXPECT_EQ(doc, nullptr);
        EXPECT_STREQ(kovan_last_error(nullptr), "the path names a directory, device or pipe, not a regular file");
    }
}

TEST_F(OpenFile, PathThatIsNotUtf8FailsRatherThanNameAnotherFile) {
    // The replacement character's file exists; a lenient conversion of the
    // invalid byte would open it.
    write("\xEF\xBF\xBD.frd", "    2C\n -1 1 1.0 2.0 3.0\n -3\n");
    const std::string invalid = (folder_ / "x").u8string();
    const std::string path = invalid.substr(0, invalid.size() - 1) + "\xFF.frd";
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open(path.c_str(), &doc), KOVAN_ERR_IO);
    EXPECT_EQ(doc, nullptr);
    EXPECT_STREQ(kovan_last_error(nullptr), "the file could not be opened for reading");
}

TEST_F(OpenFile, OptionsAreCheckedAfterReading) {
    const std::string path = write("one.frd", "    2C\n -1 1 1.0 2.0 3.0\n -3\n");
    kovan_document* doc = nullptr;
    const kovan_open_options turned{1, 0}, bad_order{2, 0}, bad_reserved{0, 4};
    ASSERT_EQ(kovan_open_ex(path.c_str(), &turned, &doc), KOVAN_OK);
    kovan_close(doc);
    EXPECT_EQ(kovan_open_ex(path.c_str(), &bad_order, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(kovan_open_ex(path.c_str(), &bad_reserved, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(doc, nullptr);
}

TEST(OpenArguments, NullArgumentsAreRejectedWithoutTouchingAnything) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open(nullptr, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_open("x.frd", nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_open_ex(nullptr, nullptr, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_open_memory("x", 1, nullptr, nullptr), KOVAN_ERR_ARG);
    kovan_document* sentinel = reinterpret_cast<kovan_document*>(&doc);
    doc = sentinel;
    EXPECT_EQ(kovan_open(nullptr, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(doc, sentinel);  // a failed check leaves the output alone
    EXPECT_EQ(kovan_open_memory(nullptr, 5, nullptr, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(doc, nullptr);  // cleared once the handle pointer checked out
    kovan_close(nullptr);
}

TEST(OpenMemory, NullDataOfSizeZeroIsAnEmptyText) {
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open_memory(nullptr, 0, nullptr, &doc), KOVAN_OK);
    EXPECT_EQ(kovan_n_points(doc), 0u);
    kovan_close(doc);
}

TEST(OpenMemory, OptionsAreChecked) {
    kovan_document* doc = nullptr;
    const kovan_open_options bad_order{2, 0}, bad_reserved{0, 4};
    EXPECT_EQ(kovan_open_memory("", 0, &bad_order, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_open_memory("", 0, &bad_reserved, &doc), KOVAN_ERR_ARG);
    EXPECT_EQ(doc, nullptr);
}

TEST(OpenMemory, SizeBeyondAnyStringIsOutOfMemoryWithoutReading) {
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory("x", UINT64_MAX, nullptr, &doc), KOVAN_ERR_NOMEM);
    EXPECT_EQ(doc, nullptr);
}

TEST(OpenMemory, ParseFailureLeavesItsMessageInTheThreadsText) {
    const std::string text = "    3C                             x                                     2\n";
    kovan_document* doc = nullptr;
    EXPECT_EQ(kovan_open_memory(text.data(), text.size(), nullptr, &doc), KOVAN_ERR_PARSE);
    EXPECT_EQ(doc, nullptr);
    EXPECT_EQ(std::string(kovan_last_error(nullptr)).rfind("unreadable binary element block", 0), 0u);
}

// Every prefix of a real binary file, and random bytes, open or fail with a
// parse status; the sanitizer build checks that nothing reads outside.
TEST(OpenMemory, DamagedInputNeverCrashes) {
    const std::string file = read_file(data_path("hex20_binary.frd"));
    for (size_t length = 0; length <= file.size(); ++length) {
        kovan_document* doc = nullptr;
        const kovan_status status = kovan_open_memory(file.data(), length, nullptr, &doc);
        ASSERT_TRUE(status == KOVAN_OK || status == KOVAN_ERR_PARSE) << length;
        EXPECT_EQ(status == KOVAN_OK, doc != nullptr);
        kovan_close(doc);
    }
    std::mt19937 random(12345);
    const std::string alphabet = " -0123456789.E+\n\r\t2C3C100C-1-2-3-4-5\x00\xff";
    for (int round = 0; round < 2000; ++round) {
        std::string text = file.substr(0, random() % 200);
        const size_t extra = random() % 400;
        for (size_t i = 0; i < extra; ++i) text.push_back(alphabet[random() % alphabet.size()]);
        kovan_document* doc = nullptr;
        const kovan_status status = kovan_open_memory(text.data(), text.size(), nullptr, &doc);
        ASSERT_TRUE(status == KOVAN_OK || status == KOVAN_ERR_PARSE);
        kovan_close(doc);
    }
}

TEST(OpenMemory, MegabyteLineWithoutTerminatorOpens) {
    std::string text = "    2C\n -1 1 1.0 2.0 3.0";
    text.append(1 << 20, '7');
    text.push_back('\0');
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open_memory(text.data(), text.size(), nullptr, &doc), KOVAN_OK);
    EXPECT_EQ(kovan_n_points(doc), 0u);  // the line's last coordinate does not parse
    kovan_close(doc);
}

}  // namespace
