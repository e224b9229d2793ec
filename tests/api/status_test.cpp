#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "api/guard.h"
#include "support/failure_text.h"
#include "kovan.h"
#include "support/frd_text.h"

namespace {

TEST(Status, EveryCodeHasItsMessage) {
    EXPECT_STREQ(kovan_status_message(KOVAN_OK), "ok");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_IO), "the file could not be opened or read");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_PARSE), "the file did not parse as an FRD document");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_RANGE), "index out of range");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_NOMEM), "out of memory");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_ARG), "invalid argument");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_COMPONENTS),
                 "a result block gave two nodes different component counts");
    EXPECT_STREQ(kovan_status_message(KOVAN_ERR_INTERNAL),
                 "an unexpected error inside the library; please report it");
    EXPECT_STREQ(kovan_status_message(8), "unknown status");
    EXPECT_STREQ(kovan_status_message(-1), "unknown status");
}

TEST(Status, AbiVersionAndRecordSizes) {
    EXPECT_EQ(kovan_abi_version(), 3);
    EXPECT_EQ(kovan_struct_size(0), 8u);
    EXPECT_EQ(kovan_struct_size(1), 24u);
    EXPECT_EQ(kovan_struct_size(2), 32u);
    EXPECT_EQ(kovan_struct_size(3), 4 * sizeof(void*));
    EXPECT_EQ(kovan_struct_size(4), 88 + 2 * sizeof(void*));
    EXPECT_EQ(kovan_struct_size(5), 0u);
    EXPECT_EQ(kovan_struct_size(-1), 0u);
}

std::string error_on_new_thread() {
    std::string seen;
    std::thread([&] { seen = kovan_last_error(nullptr); }).join();
    return seen;
}

TEST(LastError, IsPerThreadAndKeptAfterSuccess) {
    EXPECT_EQ(error_on_new_thread(), "");
    kovan_document* doc = nullptr;
    ASSERT_EQ(kovan_open("/nonexistent/kovan/missing.frd", &doc), KOVAN_ERR_IO);
    EXPECT_STREQ(kovan_last_error(nullptr), "the file could not be opened for reading");
    EXPECT_EQ(error_on_new_thread(), "");  // another thread does not see it
    ASSERT_EQ(kovan_open_memory(nullptr, 0, nullptr, &doc), KOVAN_OK);
    EXPECT_STREQ(kovan_last_error(nullptr), "the file could not be opened for reading");
    EXPECT_STREQ(kovan_last_error(doc), "");
    kovan_close(doc);
}

// One rule for every export: a status other than OK leaves a text of its
// own in the calling thread's slot, never an older one.
TEST(LastError, EveryFailingCallLeavesItsOwnText) {
    const auto doc = kovan_test::open_text(
        "    2C 2 1\n -1 1 0 0 0\n -1 2 0 0 0\n -3\n"
        "  100CL  101 1.00000E+00           2                     0    1           1\n -4  STRESS 6 1\n"
        " -1         1 1.0 2.0 3.0 4.0 5.0 6.0\n -1         2 1.0 2.0 3.0\n -3\n");
    kovan_document* d = doc.get();
    kovan_document* out = nullptr;
    double time = 0;
    uint64_t count = 0;
    kovan_diagnostic diagnostic{};
    kovan_array_info info{};
    kovan_step_info step_info{};
    int64_t number = 0;
    const char* name = nullptr;
    const double* values = nullptr;
    char* buffer = nullptr;
    uint64_t size = 0;
    const kovan_open_options bad_order{2, 0}, bad_reserved{0, 4};
    const kovan_source no_reading{nullptr, nullptr, nullptr, nullptr};
    kovan_writer* writer = kovan_writer_new(KOVAN_FORMAT_ASCII_LONG);
    kovan_writer* finished = kovan_writer_new(KOVAN_FORMAT_ASCII_LONG);
    kovan_writer_finish(finished, &buffer, &size);
    kovan_free(buffer);
    const std::vector<std::pair<const char*, std::function<kovan_status()>>> failures = {
        {"open: null path", [&] { return kovan_open(nullptr, &out); }},
        {"open: null doc", [&] { return kovan_open("x.frd", nullptr); }},
        {"open: missing file", [&] { return kovan_open("/nonexistent/kovan.frd", &out); }},
        {"open_ex: wedge order", [&] { return kovan_open_ex(KOVAN_TEST_DATA_DIR "/hex8_static.frd", &bad_order, &out); }},
        {"open_memory: null data", [&] { return kovan_open_memory(nullptr, 3, nullptr, &out); }},
        {"open_memory: reserved", [&] { return kovan_open_memory("", 0, &bad_reserved, &out); }},
        {"open_memory: size", [&] { return kovan_open_memory("x", UINT64_MAX, nullptr, &out); }},
        {"step_time: null doc", [&] { return kovan_step_time(nullptr, 0, &time); }},
        {"step_time: range", [&] { return kovan_step_time(d, 1, &time); }},
        {"step_time: null time", [&] { return kovan_step_time(d, 0, nullptr); }},
        {"diagnostic_at: range", [&] { return kovan_diagnostic_at(d, 0, &diagnostic); }},
        {"diagnostic_at: null out", [&] { return kovan_diagnostic_at(d, 0, nullptr); }},
        {"n_arrays: null count", [&] { return kovan_n_arrays(d, 0, nullptr); }},
        {"n_arrays: range", [&] { return kovan_n_arrays(d, 9, &count); }},
        {"n_arrays: components", [&] { return kovan_n_arrays(d, 0, &count); }},
        {"array_info_at: null record", [&] { return kovan_array_info_at(d, 0, 0, nullptr); }},
        {"array_info_at: components", [&] { return kovan_array_info_at(d, 0, 0, &info); }},
        {"array_info_range: null records", [&] { return kovan_array_info_range(d, 0, 0, 2, nullptr); }},
        {"array_data: null doc", [&] { return kovan_array_data(nullptr, 0, 0, &values); }},
        {"array_data: components", [&] { return kovan_array_data(d, 0, 0, &values); }},
        {"rewrite: null data", [&] { return kovan_rewrite_memory(nullptr, 0, 1, &buffer, &size); }},
        {"rewrite: format", [&] { return kovan_rewrite_memory("", 0, 9, &buffer, &size); }},
        {"rewrite: null out_size", [&] { return kovan_rewrite_memory("", 0, 1, &buffer, nullptr); }},
        {"writer: null", [&] { return kovan_writer_begin_step(nullptr, 1, 0.0); }},
        {"writer: finished", [&] { return kovan_writer_begin_step(finished, 1, 0.0); }},
        {"writer: no step", [&] { return kovan_writer_add_array(writer, "A", 1, nullptr, 0, &time); }},
        {"writer: null points", [&] { return kovan_writer_set_nodes(writer, 2, nullptr, nullptr); }},
        {"writer: wedge order", [&] { return kovan_writer_set_cells(writer, 0, nullptr, nullptr, nullptr, nullptr, 2); }},
        {"writer_finish: null out", [&] { return kovan_writer_finish(writer, nullptr, &size); }},
        {"open_source: null source", [&] { return kovan_open_source(nullptr, nullptr, &out); }},
        {"open_source: null read_at", [&] { return kovan_open_source(&no_reading, nullptr, &out); }},
        {"reopen: null out", [&] { return kovan_reopen(d, nullptr); }},
        {"release_step: null doc", [&] { return kovan_release_step(nullptr, 0); }},
        {"release_step: range", [&] { return kovan_release_step(d, 1); }},
        {"step_info_at: range", [&] { return kovan_step_info_at(d, 1, &step_info); }},
        {"material_at: range", [&] { return kovan_material_at(d, 0, &number, &name); }},
        {"header_record_at: null value", [&] { return kovan_header_record_at(d, 0, &name, nullptr); }},
        {"array_component_name: components", [&] { return kovan_array_component_name(d, 0, 0, 0, &name); }},
        {"array_points_with_values: null count", [&] { return kovan_array_points_with_values(d, 0, 0, nullptr); }},
        {"planned_array_at: range", [&] { return kovan_planned_array_at(d, 0, 9, &info); }},
        {"planned_component_name: range", [&] { return kovan_planned_component_name(d, 0, 0, 6, &name); }},
        {"n_planned_arrays: null doc", [&] { return kovan_n_planned_arrays(nullptr, 0, &count); }},
    };
    for (const auto& [what, call] : failures) {
        kovan::set_thread_error("an older text");
        EXPECT_NE(call(), KOVAN_OK) << what;
        const std::string text = kovan_last_error(nullptr);
        EXPECT_NE(text, "an older text") << what;
        EXPECT_FALSE(text.empty()) << what;
    }
    kovan::set_thread_error("an older text");
    EXPECT_EQ(kovan_writer_new(7), nullptr);
    EXPECT_STRNE(kovan_last_error(nullptr), "an older text");
    kovan_writer_free(writer);
    kovan_writer_free(finished);
}

TEST(LastError, RefusedIndexesNameTheirBound) {
    const auto doc = kovan_test::open_text("");
    double time = 0;
    EXPECT_EQ(kovan_step_time(doc.get(), 3, &time), KOVAN_ERR_RANGE);
    EXPECT_STREQ(kovan_last_error(nullptr), "step 3 is out of range: the document has 0 steps");
    EXPECT_EQ(kovan_step_time(doc.get(), 0, nullptr), KOVAN_ERR_ARG);
    EXPECT_STREQ(kovan_last_error(nullptr), "time is null");
}

struct NotAnException {};

TEST(Guard, TurnsEveryExceptionIntoAStatusAndText) {
    using kovan::guarded;
    EXPECT_EQ(guarded([]() -> kovan_status { throw std::bad_alloc(); }), KOVAN_ERR_NOMEM);
    EXPECT_STREQ(kovan_last_error(nullptr), "allocation failed");
    EXPECT_EQ(guarded([]() -> kovan_status { throw std::length_error("vector::reserve"); }), KOVAN_ERR_NOMEM);
    EXPECT_STREQ(kovan_last_error(nullptr), "size beyond what this platform can express: vector::reserve");
    EXPECT_EQ(guarded([]() -> kovan_status { throw std::runtime_error("boom"); }), KOVAN_ERR_INTERNAL);
    EXPECT_STREQ(kovan_last_error(nullptr), "internal error: boom");
    EXPECT_EQ(guarded([]() -> kovan_status { throw NotAnException(); }), KOVAN_ERR_INTERNAL);
    EXPECT_STREQ(kovan_last_error(nullptr), "internal error: an exception not derived from std::exception");
    EXPECT_EQ(guarded([] { return kovan_status{KOVAN_OK}; }), KOVAN_OK);
    EXPECT_STREQ(kovan_last_error(nullptr), "internal error: an exception not derived from std::exception");
}

}  // namespace
