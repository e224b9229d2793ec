#include "frd/line_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kovan;

namespace {

std::vector<std::string> all_lines(std::string_view text) {
    LineCursor cursor = make_cursor(text);
    std::vector<std::string> lines;
    std::string_view line;
    while (next_line(cursor, line)) lines.emplace_back(line);
    EXPECT_EQ(cursor.line_count, lines.size());
    return lines;
}

TEST(LineCursor, LineFeedCarriageReturnAndBothEndLinesAlike) {
    const std::vector<std::string> expected = {"a", "b", "", "c"};
    EXPECT_EQ(all_lines("a\nb\n\nc"), expected);
    EXPECT_EQ(all_lines("a\r\nb\r\n\r\nc\r\n"), expected);
    EXPECT_EQ(all_lines("a\rb\r\rc\r"), expected);
    EXPECT_EQ(all_lines("a\r\nb\r\rc"), expected);
}

TEST(LineCursor, LineFeedBeforeCarriageReturnIsTwoLineEnds) {
    const std::vector<std::string> expected = {"a", "", "b"};
    EXPECT_EQ(all_lines("a\n\rb"), expected);
}

TEST(LineCursor, TracksWhereEachLineStarts) {
    LineCursor cursor = make_cursor("ab\r\ncd");
    std::string_view line;
    ASSERT_TRUE(next_line(cursor, line));
    ASSERT_TRUE(next_line(cursor, line));
    EXPECT_EQ(cursor.line_start, 4u);
    EXPECT_EQ(cursor.position, 6u);
    EXPECT_FALSE(next_line(cursor, line));
}

TEST(LineCursor, NulBytesStayInsideTheLine) {
    const std::string text("a\0b\nc", 5);
    const auto lines = all_lines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string("a\0b", 3));
}

TEST(LineCursor, TrimAndTokensUseTheWholeWhitespaceSet) {
    EXPECT_EQ(trim("\x1c\t 2C \x1f\v"), "2C");
    std::vector<std::string_view> tokens;
    split_tokens(" 3C\x1d" "12\f\f1 ", tokens);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[1], "12");
    split_tokens("   ", tokens);
    EXPECT_TRUE(tokens.empty());
}

}  // namespace
