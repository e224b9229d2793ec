// Texts from files and command lines as UTF-8 for JSON, which holds nothing else.
#pragma once

#include <string>

namespace kovan_cli {

// The text with every byte that is not part of a well-formed UTF-8 sequence
// written as \xNN (a backslash of its own written as \\ only where such
// bytes are present, so that ordinary names stay as they are).
std::string utf8_escaped(const std::string& bytes);

}  // namespace kovan_cli
