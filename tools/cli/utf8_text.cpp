#include "utf8_text.h"

#include <cstdio>

namespace kovan_cli {
namespace {

// Length of the well-formed UTF-8 sequence at `at`, or 0 when there is none
// (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF).
size_t sequence_length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || lead == 0xC0 || lead == 0xC1 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    const unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

bool is_utf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = sequence_length(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

}  // namespace

std::string utf8_escaped(const std::string& bytes) {
    if (is_utf8(bytes)) return bytes;
    std::string text;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = sequence_length(bytes, at);
        if (length == 0) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(bytes[at]));
            text += escape;
            ++at;
        } else {
            text += bytes[at] == '\\' ? std::string("\\\\") : bytes.substr(at, length);
            at += length;
        }
    }
    return text;
}

}  // namespace kovan_cli
