// Every source a document reads from gives the document that reading the
// text in memory gives: its file, and the caller's own functions, each
// through windows of many sizes down to one byte, so that every line,
// record and binary payload straddles a window's edge somewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "api/handle.h"
#include "document/open.h"
#include "support/document_snapshot.h"
#include "support/frd_text.h"

namespace fs = std::filesystem;
using namespace kovan_test;

namespace {

// Bytes served through the caller's functions, counting what is read and
// failing every read from `fail_from` on.
struct CallerBytes {
    std::string bytes;
    uint64_t fail_from = UINT64_MAX;
    std::atomic<uint64_t> read{0};
    std::atomic<int> released{0};
};

int64_t read_caller_bytes(void* context, uint64_t offset, void* buffer, uint64_t count) {
    auto& caller = *static_cast<CallerBytes*>(context);
    if (offset + count > caller.fail_from) return -1;
    if (offset >= caller.bytes.size()) return 0;
    const uint64_t n = std::min<uint64_t>(count, caller.bytes.size() - offset);
    std::memcpy(buffer, caller.bytes.data() + offset, n);
    caller.read += n;
    return static_cast<int64_t>(n);
}

uint64_t caller_size(void* context) { return static_cast<CallerBytes*>(context)->bytes.size(); }
void release_caller(void* context) { ++static_cast<CallerBytes*>(context)->released; }

kovan_source source_of(CallerBytes& caller) { return kovan_source{read_caller_bytes, caller_size, release_caller, &caller}; }

std::shared_ptr<const kovan::Source> caller_source(CallerBytes& caller) {
    auto source = std::make_shared<kovan::Source>();
    source->kind = kovan::Source::kCaller;
    source->caller = kovan_source{read_caller_bytes, caller_size, nullptr, &caller};
    return source;
}

std::shared_ptr<const kovan::Source> file_source(const std::string& path) {
    auto source = std::make_shared<kovan::Source>();
    source->kind = kovan::Source::kFile;
    source->path = path;
    EXPECT_TRUE(kovan::open_file(path.c_str(), source->file)) << path;
    return source;
}

DocumentSnapshot read_through(std::shared_ptr<const kovan::Source> source, uint64_t window) {
    kovan::Document* doc = nullptr;
    if (kovan::open_document(std::move(source), 0, doc, window) != KOVAN_OK) return DocumentSnapshot();
    return snapshot_of(kovan::as_handle(doc));
}

std::vector<std::string> solver_files() {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(KOVAN_TEST_DATA_DIR)) {
        if (entry.path().extension() == ".frd") files.push_back(entry.path().string());
    }
    files.push_back(std::string(KOVAN_TEST_DATA_DIR) + "/../../examples/data/cantilever.frd");
    return files;
}

TEST(Sources, EverySourceThroughEveryWindowReadsAsMemoryDoes) {
    for (const std::string& path : solver_files()) {
        CallerBytes caller;
        caller.bytes = read_file(path);
        const DocumentSnapshot memory = snapshot(caller.bytes.data(), caller.bytes.size());
        ASSERT_TRUE(memory.opened) << path;
        for (uint64_t window : {1, 2, 3, 7, 64, 1000, 1 << 20}) {
            SCOPED_TRACE(path + " through windows of " + std::to_string(window));
            EXPECT_EQ(reading_difference(read_through(file_source(path), window), memory), "");
            EXPECT_EQ(reading_difference(read_through(caller_source(caller), window), memory), "");
        }
    }
}

// Windows builds of CalculiX end lines with CR LF; old texts with CR alone.
// A window's edge between the two bytes of a CR LF is a place like any other.
TEST(Sources, LineEndsOfEveryKindStraddleWindowEdges) {
    for (const char* name : {"hex8_static.frd", "beam_frequency.frd", "hex20_cgx_short.frd"}) {
        const std::string lf = read_file(data_path(name));
        for (const char* end : {"\r\n", "\r"}) {
            CallerBytes caller;
            for (char c : lf) caller.bytes += c == '\n' ? std::string(end) : std::string(1, c);
            const DocumentSnapshot memory = snapshot(caller.bytes.data(), caller.bytes.size());
            for (uint64_t window : {1, 2, 3, 5, 64}) {
                SCOPED_TRACE(std::string(name) + (end[1] ? " CR LF" : " CR") + " through " + std::to_string(window));
                EXPECT_EQ(reading_difference(read_through(caller_source(caller), window), memory), "");
            }
            // Cut, the diagnostics' line numbers count every line before.
            const std::string whole = caller.bytes;
            for (size_t cut = 0; cut < whole.size(); cut += 53) {
                caller.bytes = whole.substr(0, cut);
                EXPECT_EQ(reading_difference(read_through(caller_source(caller), 2), snapshot(caller.bytes.data(), cut)), "")
                    << name << " cut at " << cut;
            }
        }
    }
}

// Records that do not read, or read only in packed columns, or take
// continuation lines: a record that does not read is handed on line by line
// from the window after its last line came, wherever the window's edge
// fell meanwhile.
TEST(Sources, IrregularRecordsReadThroughTinyWindowsAsInMemory) {
    const std::string header = "  100CL  101 1.00000E+00           3                     0    1           1\n";
    const std::string text =
        "    1C\n    2C 3 1\n -1 1 0.0 0.0 0.0\n -1 2 1.0-2.0 0.0\n -1 3 x 1.0 1.0\n -1 3 0.0 0.0 1.0\n -3\n"
        "    3C 2 1\n -1 1 7 0 1\n -2 1 2\n -2 3\n -1 2 99 0 1\n -2 1 2 3\n -1 3 7 0 1\n -3\n" + header +
        " -4  PSTRESS    12    1\n"
        " -1         1 1.00000E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
        " -2           -3394928E+00 2.00000E+00 3.00000E+00 4.00000E+00 5.00000E+00 6.00000E+00\n"
        " -1         2 1.00000E+00 2.0000bad+00 3.00000E+00\n -2           1.0 2.0\n -2           3.0\n"
        " -1         3-1.00000E+00-2.00000E+00-3.00000E+00-4.00000E+00-5.00000E+00-6.00000E+00\n"
        " -2          -7.00000E+00-8.00000E+00-9.00000E+00-1.00000E+01-1.10000E+01-1.20000E+01\n -3\n" +
        header + " -4  DISP         3    1\n -1 2 NaN1.00000E+300-INF\n -1 1 1 2\n -1 1 4 5 6\n -3\n 9999\n";
    const DocumentSnapshot memory = snapshot(text.data(), text.size());
    ASSERT_TRUE(memory.opened);
    CallerBytes caller;
    caller.bytes = text;
    for (uint64_t window : {1, 2, 3, 4, 5, 8, 13, 31}) {
        EXPECT_EQ(reading_difference(read_through(caller_source(caller), window), memory), "") << window;
    }
}

// A file the solver is still writing ends anywhere, a window's edge too.
TEST(Sources, PrefixesReadThroughTinyWindowsAsInMemory) {
    for (const char* name : {"hex8_static.frd", "hex20_binary.frd", "beam_frequency.frd"}) {
        const std::string whole = read_file(data_path(name));
        for (size_t cut = 0; cut <= whole.size(); cut += 37) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            CallerBytes caller;
            caller.bytes = whole.substr(0, cut);
            EXPECT_EQ(reading_difference(read_through(caller_source(caller), 3), snapshot(caller.bytes.data(), cut)), "");
        }
    }
}

TEST(Sources, ACallerReadThatFailsHandsOutNothing) {
    const std::string whole = read_file(data_path("hex8_static.frd"));
    for (uint64_t fail_from : {uint64_t{0}, uint64_t{100}, whole.size() - 10}) {
        CallerBytes caller;
        caller.bytes = whole;
        caller.fail_from = fail_from;
        const kovan_source source = source_of(caller);
        kovan_document* doc = reinterpret_cast<kovan_document*>(1);
        EXPECT_EQ(kovan_open_source(&source, nullptr, &doc), KOVAN_ERR_IO) << fail_from;
        EXPECT_EQ(doc, nullptr);
        EXPECT_STREQ(kovan_last_error(nullptr), "the bytes could not be read");
        EXPECT_EQ(caller.released.load(), 1);
    }
    // Read whole, the same bytes open, and are released once, at close.
    CallerBytes caller;
    caller.bytes = whole;
    const kovan_source source = source_of(caller);
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open_source(&source, nullptr, &doc), KOVAN_OK);
    EXPECT_EQ(reading_difference(snapshot_of(doc), snapshot(whole.data(), whole.size())), "");
    EXPECT_EQ(caller.released.load(), 1);
}

// A caller's function may copy fewer bytes than asked before the end (a
// network stream, a pipe); what it copies is read on from there.
TEST(Sources, ShortReadsAreReadOn) {
    struct Trickle {
        std::string bytes;
    };
    Trickle trickle{read_file(data_path("hex20_binary.frd"))};
    const auto read_a_little = [](void* context, uint64_t offset, void* buffer, uint64_t count) -> int64_t {
        const std::string& bytes = static_cast<Trickle*>(context)->bytes;
        const uint64_t n = offset >= bytes.size() ? 0 : std::min<uint64_t>({count, 5, bytes.size() - offset});
        std::memcpy(buffer, bytes.data() + offset, n);
        return static_cast<int64_t>(n);
    };
    const auto size = [](void* context) -> uint64_t { return static_cast<Trickle*>(context)->bytes.size(); };
    const kovan_source source{read_a_little, size, nullptr, &trickle};
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open_source(&source, nullptr, &doc), KOVAN_OK);
    EXPECT_EQ(reading_difference(snapshot_of(doc), snapshot(trickle.bytes.data(), trickle.bytes.size())), "");
}

// Following a running solver costs what it appended, not the file: of a
// file of many steps, a reopen reads the new steps and a few hundred bytes
// of each block it held (to tell that they did not change).
TEST(Sources, AReopenReadsWhatWasAppendedAndTheMarksOfTheRest) {
    const auto step = [](int set) {
        std::string block = "  100CL  " + std::to_string(100 + set) + " " + std::to_string(set) +
                            ".00000E+00         500                     0    1           1\n -4  DISP        3    1\n";
        for (int node = 1; node <= 500; ++node) {
            block += " -1" + std::string(10 - std::to_string(node).size(), ' ') + std::to_string(node) +
                     " 1.00000E+00 2.00000E+00 3.00000E+00\n";
        }
        return block + " -3\n";
    };
    CallerBytes caller;
    caller.bytes = "    1C\n    2C 1 1\n -1 1 0.0 0.0 0.0\n -3\n";
    for (int set = 1; set <= 100; ++set) caller.bytes += step(set);
    const kovan_source source = source_of(caller);
    kovan_document* old = nullptr;
    ASSERT_EQ(kovan_open_source(&source, nullptr, &old), KOVAN_OK);
    const std::string appended = step(101) + step(102);
    caller.bytes += appended;
    caller.read = 0;
    kovan_document* grown = nullptr;
    ASSERT_EQ(kovan_reopen(old, &grown), KOVAN_OK);
    EXPECT_EQ(kovan_n_steps(grown), 102u);
    EXPECT_LT(caller.read.load(), appended.size() + 100 * 1024);  // a tenth of what the file holds
    EXPECT_GT(caller.bytes.size(), 30 * (appended.size() + 100 * 1024) / 10);
    kovan_close(old);
    kovan_close(grown);
}

class Files : public ::testing::Test {
protected:
    void SetUp() override { folder_ = make_temp_folder("kovan_sources_"); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string write(const std::string& name, const std::string& content) {
        std::ofstream(fs::path(folder_) / name, std::ios::binary | std::ios::trunc) << content;
        return (fs::path(folder_) / name).string();
    }
    std::string folder_;
};

// The solver writes its file anew with every run: a document of the run
// before never gives values of the new one.
TEST_F(Files, AFileRewrittenSinceItWasOpenedFailsTheDecodeAndOneThatGrewDoesNot) {
    const std::string original = read_file(data_path("hex8_static.frd"));
    const std::string path = write("run.frd", original);
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open(path.c_str(), &doc), KOVAN_OK);
    const DocumentHandle held(doc);
    ASSERT_EQ(kovan_n_steps(doc), 2u);
    write("run.frd", original + "    1UUSER appended\n");  // grown only
    uint64_t n = 0;
    EXPECT_EQ(kovan_n_arrays(doc, 0, &n), KOVAN_OK);
    std::string rerun = original;
    const size_t value = rerun.rfind("E-");  // a value of the last step, as another run would give it
    rerun[value - 2] = rerun[value - 2] == '1' ? '2' : '1';
    write("run.frd", rerun);
    const double* values = reinterpret_cast<const double*>(1);
    EXPECT_EQ(kovan_array_data(doc, 1, 0, &values), KOVAN_ERR_IO);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(std::string(kovan_last_error(nullptr)).rfind("the file changed since it was opened", 0), 0u)
        << kovan_last_error(nullptr);
    write("run.frd", original.substr(0, original.size() / 2));  // shorter
    EXPECT_EQ(kovan_release_step(doc, 0), KOVAN_OK);
    EXPECT_EQ(kovan_n_arrays(doc, 0, &n), KOVAN_ERR_IO);
}

// A document of a grown file reads as a document opened from it, and
// shares the mesh with the document it was made from, which stays as it
// was. (That it reads only what was appended is measured by the benchmark.)
TEST_F(Files, AGrownFileReopensAsItOpens) {
    for (const char* name : {"hex8_static.frd", "hex20_binary.frd", "beam_frequency.frd", "hex20_cgx_short.frd",
                             "cyclic_modal.frd", "two_materials.frd"}) {
        const std::string whole = read_file(data_path(name));
        for (size_t cut = 0; cut < whole.size(); cut += 29) {
            SCOPED_TRACE(std::string(name) + " grown from " + std::to_string(cut));
            CallerBytes caller;
            caller.bytes = whole.substr(0, cut);
            const kovan_source source = source_of(caller);
            kovan_document* old = nullptr;
            ASSERT_EQ(kovan_open_source(&source, nullptr, &old), KOVAN_OK);
            const DocumentSnapshot before = snapshot(caller.bytes.data(), cut);
            caller.bytes = whole;
            kovan_document* grown = nullptr;
            ASSERT_EQ(kovan_reopen(old, &grown), KOVAN_OK);
            if (cut > whole.find("  100C")) {  // the mesh was whole, and is not read again
                EXPECT_EQ(kovan_points(grown), kovan_points(old));
            }
            EXPECT_EQ(reading_difference(snapshot_of(grown), snapshot(whole.data(), whole.size())), "");
            EXPECT_EQ(reading_difference(snapshot_of(old), before), "");
            EXPECT_EQ(caller.released.load(), 1);
        }
    }
    // Bytes in memory never grow: the same reading, the same mesh.
    const std::string bytes = read_file(data_path("hex8_static.frd"));
    kovan_document* in_memory = nullptr;
    ASSERT_EQ(kovan_open_memory(bytes.data(), bytes.size(), nullptr, &in_memory), KOVAN_OK);
    kovan_document* again = nullptr;
    ASSERT_EQ(kovan_reopen(in_memory, &again), KOVAN_OK);
    EXPECT_EQ(kovan_points(again), kovan_points(in_memory));
    kovan_close(in_memory);
    EXPECT_EQ(reading_difference(snapshot_of(again), snapshot(bytes.data(), bytes.size())), "");
    // A file that is not the one opened any more is read anew.
    const std::string path = write("other.frd", read_file(data_path("hex8_static.frd")));
    kovan_document* old = nullptr;
    ASSERT_EQ(kovan_open(path.c_str(), &old), KOVAN_OK);
    const std::string other = read_file(data_path("beam_frequency.frd"));
    write("other.frd", other);
    kovan_document* now = nullptr;
    ASSERT_EQ(kovan_reopen(old, &now), KOVAN_OK);
    EXPECT_EQ(reading_difference(snapshot_of(now), snapshot(other.data(), other.size())), "");
    kovan_close(old);
}

}  // namespace
