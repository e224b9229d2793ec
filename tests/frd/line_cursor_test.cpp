#include "frd/line_cursor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "frd/keys.h"

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

namespace {

struct KeyLineSearch {
    bool found;
    std::string line;
    uint64_t position, line_start, line_count;
};

KeyLineSearch search_by_lines(std::string_view text, uint64_t from) {
    LineCursor cursor = make_cursor(text);
    cursor.position = from;
    std::string_view line;
    bool found = false;
    while (next_line(cursor, line)) {
        if (has_key(trim(line), "-3")) {
            found = true;
            break;
        }
    }
    return {found, found ? std::string(line) : "", cursor.position, cursor.line_start, cursor.line_count};
}

KeyLineSearch search_by_scan(std::string_view text, uint64_t from) {
    LineCursor cursor = make_cursor(text);
    cursor.position = from;
    std::string_view line;
    const bool found = next_line_starting_with(cursor, "-3", line);
    return {found, found ? std::string(line) : "", cursor.position, cursor.line_start, cursor.line_count};
}

}  // namespace

// The scan for a block's end must leave the cursor exactly where reading
// line by line does: same line, same position, same line number.
TEST(LineCursor, KeyLineScanMatchesReadingLineByLine) {
    const std::vector<std::string> pieces = {" -1", " -2", " -3", "-3", "\t-3", "  ", "\x1c-3", "-", "3", "x", ".",
                                             " -1         1 1.00000E+00-2.00000E+00 3.00000E+00 4.00000E+00",
                                             "\n", "\r", "\r\n", "\n\r", "\v", "\f"};
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 12);
        for (int i = 0; i < n; ++i) text += pieces[random() % pieces.size()];
        const uint64_t from = text.empty() ? 0 : random() % (text.size() + 1);
        const KeyLineSearch expected = search_by_lines(text, from), actual = search_by_scan(text, from);
        ASSERT_EQ(actual.found, expected.found) << text;
        EXPECT_EQ(actual.line, expected.line) << text;
        EXPECT_EQ(actual.position, expected.position) << text;
        EXPECT_EQ(actual.line_count, expected.line_count) << text;
        EXPECT_EQ(actual.line_start, expected.line_start) << text;
    }
}
