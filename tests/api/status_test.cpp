#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "api/guard.h"
#include "kovan.h"

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
    EXPECT_EQ(kovan_struct_size(3), 0u);
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
