// Field rules of FRD record lines (" -1", " -2") shared by the readers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// The next token of a record line's text, which moves past it; empty when
// none is left. A negative value that fills its 12 columns touches the field
// before it, so besides whitespace every minus sign that does not follow D,
// E, d or e (an exponent's) starts a new token.
std::string_view next_record_token(std::string_view& rest);

// Width of the id field of a record line, given the text after its "-1":
// leading blanks and the characters up to the next blank or minus sign;
// 0 when no id character follows.
size_t id_field_width(std::string_view rest);

// Whether a trimmed "-5" line names a component the block stores: not when
// its seventh field starts with the digit run 1 (a component CalculiX
// computes, such as ALL). `tokens` is scratch.
bool names_stored_component(std::string_view trimmed, std::vector<std::string_view>& tokens);

// The component name of a "-5" line whose fields `tokens` holds: the field
// after the key ("-5  SXX ..."), or the rest of a key it touches ("-5SXX").
std::string_view component_name(const std::vector<std::string_view>& tokens);

}  // namespace kovan
