// Every export that allocates, with each of its allocations failing in turn:
// a status, cleared outputs, nothing leaked (LeakSanitizer in the sanitizer
// build), and what is left behind still works.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "robustness/failing_allocator.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

// Runs `call` with allocation 1, 2, 3, ... failing until it succeeds with no
// failure reached; each failure must be out of memory. `call` releases what
// an earlier successful run left. Returns how many allocations were injected.
uint64_t inject_until_success(const std::function<kovan_status()>& call, const std::function<void()>& after_failure,
                              const char* what) {
    for (uint64_t n = 1; n < 100000; ++n) {
        fail_allocation(n);
        const kovan_status status = call();
        const bool reached = stop_failing();
        if (!reached) {
            EXPECT_EQ(status, KOVAN_OK) << what << " with no allocation failing";
            std::printf("%s: %llu allocation points injected\n", what, static_cast<unsigned long long>(n - 1));
            return n - 1;
        }
        if (status == KOVAN_OK) {
            // Absorbed: std::stable_sort, for one, makes do without its buffer.
            std::printf("%s: allocation %llu failed and the call still succeeded\n", what, static_cast<unsigned long long>(n));
            continue;
        }
        EXPECT_EQ(status, KOVAN_ERR_NOMEM) << what << ", allocation " << n << ": " << kovan_last_error(nullptr);
        after_failure();
    }
    ADD_FAILURE() << what << " never succeeded";
    return 0;
}

const std::string& sample() {
    static const std::string text = read_file(data_path("hex8_static.frd"));
    return text;
}

TEST(AllocationFailure, OpenMemory) {
    kovan_last_error(nullptr);  // the thread's text exists before memory runs out
    sample();
    kovan_document* doc = nullptr;
    const uint64_t points = inject_until_success(
        [&] {
            kovan_close(doc);
            return kovan_open_memory(sample().data(), sample().size(), nullptr, &doc);
        },
        [&] { EXPECT_EQ(doc, nullptr); }, "kovan_open_memory");
    EXPECT_GT(points, 10u);
    EXPECT_EQ(kovan_n_points(doc), 12u);
    kovan_close(doc);
}

TEST(AllocationFailure, OpenFile) {
    kovan_document* doc = nullptr;
    const std::string path = data_path("hex20_binary.frd");
    const uint64_t points = inject_until_success([&] {
                                                     kovan_close(doc);
                                                     return kovan_open(path.c_str(), &doc);
                                                 },
                                                 [&] { EXPECT_EQ(doc, nullptr); }, "kovan_open");
    EXPECT_GT(points, 10u);
    EXPECT_EQ(kovan_n_points(doc), 32u);
    kovan_close(doc);
}

TEST(AllocationFailure, StepDecodingRetriesAfterAFailure) {
    const auto doc = open_text(sample());
    uint64_t n = 0;
    // A step counts once its decoding has started, and never twice.
    const uint64_t points = inject_until_success([&] { return kovan_n_arrays(doc.get(), 1, &n); },
                                                 [&] { EXPECT_LE(kovan_steps_parsed(doc.get()), 1u); },
                                                 "kovan_n_arrays");
    EXPECT_GT(points, 5u);
    EXPECT_EQ(n, 8u);  // DISP, STRESS and its five, ERROR
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 1u);
    const double* values = reinterpret_cast<const double*>(&n);
    inject_until_success([&] { return kovan_array_data(doc.get(), 0, 1, &values); },
                         [&] { EXPECT_EQ(values, nullptr); }, "kovan_array_data");
    EXPECT_NE(values, nullptr);
}

TEST(AllocationFailure, Rewrite) {
    sample();
    for (int32_t format : {-1, 0, 3}) {
        char* out = nullptr;
        uint64_t size = 0;
        inject_until_success([&] {
                                 kovan_free(out);
                                 return kovan_rewrite_memory(sample().data(), sample().size(), format, &out, &size);
                             },
                             [&] {
                                 EXPECT_EQ(out, nullptr);
                                 EXPECT_EQ(size, 0u);
                             },
                             "kovan_rewrite_memory");
        EXPECT_NE(out, nullptr);
        kovan_free(out);
    }
}

TEST(AllocationFailure, WriterCallsLeaveAUsableWriter) {
    kovan_writer* writer = nullptr;
    inject_until_success([&] {
                             kovan_writer_free(writer);
                             return (writer = kovan_writer_new(1)) ? KOVAN_OK : KOVAN_ERR_NOMEM;
                         },
                         [] {},
                         "kovan_writer_new");
    const double points[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    inject_until_success([&] { return kovan_writer_set_nodes(writer, 4, nullptr, points); }, [] {},
                         "kovan_writer_set_nodes");
    const uint8_t types[1] = {10};
    const int64_t offsets[2] = {0, 4}, connectivity[4] = {0, 1, 2, 3};
    inject_until_success([&] { return kovan_writer_set_cells(writer, 1, types, offsets, connectivity, nullptr, 0); },
                         [] {}, "kovan_writer_set_cells");
    ASSERT_EQ(kovan_writer_begin_step(writer, 1, 1.0), KOVAN_OK);
    const double values[4] = {1, 2, 3, 4};
    inject_until_success([&] { return kovan_writer_add_array(writer, "NT", 1, nullptr, 0, values); }, [] {},
                         "kovan_writer_add_array");
    // Finishing is final even when it fails: one try only.
    char* out = nullptr;
    uint64_t size = 0;
    ASSERT_EQ(kovan_writer_finish(writer, &out, &size), KOVAN_OK);
    const auto doc = open_text(std::string(out, size));
    // Arrays added by calls that failed are absent: one NT array.
    EXPECT_EQ(array_names(doc.get(), 0), (std::vector<std::string>{"NT"}));
    EXPECT_EQ(kovan_n_steps(doc.get()), 1u);
    kovan_free(out);
    kovan_writer_free(writer);
}

TEST(AllocationFailure, WriterFinish) {
    for (uint64_t n = 1; n < 10000; ++n) {
        kovan_writer* writer = kovan_writer_new(0);
        const double points[3] = {1, 2, 3};
        ASSERT_EQ(kovan_writer_set_nodes(writer, 1, nullptr, points), KOVAN_OK);
        char* out = reinterpret_cast<char*>(1);
        uint64_t size = 9;
        fail_allocation(n);
        const kovan_status status = kovan_writer_finish(writer, &out, &size);
        const bool reached = stop_failing();
        char* again = nullptr;
        EXPECT_EQ(kovan_writer_finish(writer, &again, &size), KOVAN_ERR_ARG);  // finished either way
        kovan_writer_free(writer);
        if (!reached) {
            EXPECT_EQ(status, KOVAN_OK);
            kovan_free(out);
            EXPECT_GT(n, 3u);
            return;
        }
        EXPECT_EQ(status, KOVAN_ERR_NOMEM);
        EXPECT_EQ(out, nullptr);
    }
}

}  // namespace
