// Many threads at once opening, querying, converting and writing, on
// documents of their own and on one they share.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

void open_query_and_close(const std::string& text, std::atomic<int>& failures) {
    kovan_document* doc = nullptr;
    if (kovan_open_memory(text.data(), text.size(), nullptr, &doc) != KOVAN_OK) {
        ++failures;
        return;
    }
    for (uint64_t step = 0; step < kovan_n_steps(doc); ++step) {
        uint64_t n = 0;
        if (kovan_n_arrays(doc, step, &n) != KOVAN_OK || n == 0) ++failures;
    }
    kovan_close(doc);
}

void convert(const std::string& text, int32_t format, std::atomic<int>& failures) {
    char* out = nullptr;
    uint64_t size = 0;
    if (kovan_rewrite_memory(text.data(), text.size(), format, &out, &size) != KOVAN_OK) ++failures;
    kovan_free(out);
}

void write_small_file(std::atomic<int>& failures) {
    kovan_writer* writer = kovan_writer_new(2);
    const double points[6] = {0, 0, 0, 1, 1, 1};
    const double values[2] = {3, 4};
    bool ok = kovan_writer_set_nodes(writer, 2, nullptr, points) == KOVAN_OK &&
              kovan_writer_begin_step(writer, 1, 1.0) == KOVAN_OK &&
              kovan_writer_add_array(writer, "T", 1, nullptr, 0, values) == KOVAN_OK;
    char* out = nullptr;
    uint64_t size = 0;
    ok = ok && kovan_writer_finish(writer, &out, &size) == KOVAN_OK;
    if (!ok) ++failures;
    kovan_free(out);
    kovan_writer_free(writer);
}

// Failures on one thread leave their text on that thread only.
void fail_and_read_own_text(std::atomic<int>& failures) {
    kovan_document* doc = nullptr;
    const std::string bad = "    2C x 3\n";  // binary records without a count
    if (kovan_open_memory(bad.data(), bad.size(), nullptr, &doc) != KOVAN_ERR_PARSE) ++failures;
    if (std::string(kovan_last_error(nullptr)).rfind("truncated binary node block", 0) != 0) ++failures;
}

TEST(Concurrency, ManyThreadsOpenQueryConvertAndWriteAtOnce) {
    const std::string ascii = read_file(data_path("hex8_static.frd"));
    const std::string binary = read_file(data_path("hex20_binary.frd"));
    const auto shared = open_text(ascii);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 6; ++round) {
                open_query_and_close(t % 2 ? ascii : binary, failures);
                convert(t % 2 ? binary : ascii, (t + round) % 4, failures);
                write_small_file(failures);
                fail_and_read_own_text(failures);
                const double* values = nullptr;
                const uint64_t step = static_cast<uint64_t>(round % 2);
                if (kovan_array_data(shared.get(), step, 1, &values) != KOVAN_OK || values == nullptr) ++failures;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(kovan_steps_parsed(shared.get()), 2u);
}

// Threads that fail steps of one document and read its error text at once
// always read a whole text of one of its failures.
TEST(Concurrency, DocumentErrorTextIsAlwaysWhole) {
    std::string text = "    2C\n -1 1 0 0 0\n -1 2 1 0 0\n -3\n";
    for (const char* time : {"1.0", "2.0", "3.0"}) {
        text += std::string("  100CL 1 ") + time + " 2 0 1\n -4 S 6 1\n -1 1 1 2 3 4 5 6\n -1 2 1 2";
        text += std::string(time) == "2.0" ? " 3\n -3\n" : "\n -3\n";
    }
    const auto doc = open_text(text);
    const std::string expected[] = {"array 'S': node 2 has 2 components, expected 6",
                                    "array 'S': node 2 has 3 components, expected 6"};
    std::atomic<int> torn{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            uint64_t n = 0;
            for (int round = 0; round < 2000; ++round) {
                kovan_n_arrays(doc.get(), static_cast<uint64_t>((t + round) % 3), &n);
                const std::string read = kovan_last_error(doc.get());
                if (!read.empty() && read != expected[0] && read != expected[1]) ++torn;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(torn.load(), 0);
}

}  // namespace
