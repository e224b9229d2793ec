#include "blocks/output_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

using kovan::OutputText;

namespace {

TEST(OutputText, GrowsPastAnyReserveAndHandsOutItsBytesWithANul) {
    OutputText text;
    text.reserve(3);
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        text.append(" -1");
        text.append(static_cast<size_t>(i % 7), ' ');
        text.push_back(static_cast<char>('a' + i % 26));
        expected += " -1" + std::string(static_cast<size_t>(i % 7), ' ') + static_cast<char>('a' + i % 26);
    }
    ASSERT_EQ(text.view(), expected);
    const size_t size = text.size;
    char* out = text.release();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::string(out, size), expected);
    EXPECT_EQ(out[size], '\0');
    std::free(out);
    EXPECT_EQ(text.size, 0u);
    EXPECT_EQ(text.view(), "");
}

TEST(OutputText, EmptyTextHandsOutAnEmptyStringAndMovesLeaveNothingBehind) {
    OutputText empty;
    char* out = empty.release();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out[0], '\0');
    std::free(out);

    OutputText a;
    a.append("abc");
    OutputText b = std::move(a);
    EXPECT_EQ(b.view(), "abc");
    EXPECT_EQ(a.view(), "");
    a.append("x");  // a moved-from text takes appends again
    b = std::move(a);
    EXPECT_EQ(b.view(), "x");
}

}  // namespace
