#include "writer/result_arrays.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "support/failure_text.h"
#include "frd/line_cursor.h"

namespace kovan {
namespace {

// Names go into whitespace-separated fields: a name the reader would split
// or lose cannot be written.
bool readable_name(const char* name) {
    if (*name == '\0') return false;
    for (const char* c = name; *c != '\0'; ++c) {
        if (is_frd_space(*c)) return false;
    }
    return true;
}

std::string name_field(const std::string& name) {
    return name.size() >= 8 ? name : name + std::string(8 - name.size(), ' ');
}

template <typename... Args>
std::string printed(const char* format, Args... args) {
    const int length = std::snprintf(nullptr, 0, format, args...);
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(&text[0], text.size() + 1, format, args...);
    return text;
}

// Nine decimals when that fits 12 characters, else the exponent form.
std::string time_text(double time) {
    const std::string fixed = printed("%12.9f", time);
    return fixed.size() <= 12 ? fixed : printed("%12.5E", time);
}

uint32_t type_code_of(const ArrayInput& array) {
    if (array.type_code != 0) return array.type_code;
    return array.n_components == 3 ? 2 : array.n_components == 6 ? 4 : 1;
}

std::string component_name(const ArrayInput& array, uint32_t k) {
    if (array.component_names != nullptr && array.component_names[k - 1] != nullptr) return array.component_names[k - 1];
    return std::string(array.name, std::min<size_t>(std::strlen(array.name), 6)) + std::to_string(k);
}

kovan_status refuse_name(const char* what, const std::string& name, const char* array) {
    std::string text = std::string(what) + " \"" + name + "\"";
    if (array != nullptr) text += std::string(" of array \"") + array + "\"";
    set_thread_error(text + " is empty or contains whitespace, and would not survive being read back");
    return KOVAN_ERR_ARG;
}

Block step_line_block(const Writer& writer) {
    Block block;
    block.lines = {printed("    1PSTEP%26d%12d%12d          ", writer.step_number, 1, 1) + writer.line_terminator};
    return block;
}

// The "-4" line's last field is the data set's result type, 1 for data at
// nodes (CalculiX's post-processor skips a block with another value); the
// component type code stands in the "-5" lines.
std::vector<std::string> header_lines(const Writer& writer, const ArrayInput& array, uint32_t type_code) {
    const std::string& end = writer.line_terminator;
    std::vector<std::string> lines;
    lines.reserve(size_t{2} + array.n_components);  // no wrap-around at 2^32 components
    lines.push_back(printed("  100CL%5d%s%12" PRId64 "%22d%5d%12d", writer.step_number,
                            time_text(writer.step_time).c_str(), static_cast<int64_t>(writer.node_ids.size()), 0, 1,
                            static_cast<int>(writer.format)) + end);
    lines.push_back(printed(" -4  %s%5u%5d", name_field(array.name).c_str(), array.n_components, 1) + end);
    for (uint32_t k = 1; k <= array.n_components; ++k) {
        lines.push_back(printed(" -5  %s%5d%5d%5d%5d", name_field(component_name(array, k)).c_str(), 1,
                                static_cast<int>(type_code), static_cast<int>(k), 0) + end);
    }
    return lines;
}

}  // namespace

void begin_step(Writer& writer, int32_t step_number, double time) {
    writer.step_time = time;
    writer.step_open = true;
    writer.step_number = step_number;
}

kovan_status add_array(Writer& writer, const ArrayInput& array) {
    if (!readable_name(array.name)) return refuse_name("array name", array.name, nullptr);
    for (uint32_t k = 1; array.component_names != nullptr && k <= array.n_components; ++k) {
        const char* given = array.component_names[k - 1];
        if (given != nullptr && !readable_name(given)) return refuse_name("component name", given, array.name);
    }
    const uint64_t n = writer.node_ids.size();
    if (n > std::numeric_limits<size_t>::max() / sizeof(double) / array.n_components) {
        throw std::length_error("array of " + std::to_string(n) + " points by " + std::to_string(array.n_components) +
                                " components");
    }
    Block block;
    block.kind = BlockKey::kResults;
    block.format = writer.format;
    block.stated_count = static_cast<int64_t>(n);
    block.lines = header_lines(writer, array, type_code_of(array));
    block.results.resize(static_cast<size_t>(n));
    block.entries.resize(static_cast<size_t>(n));
    block.result_values.assign(array.values, array.values + n * array.n_components);
    for (uint64_t i = 0; i < n; ++i) {
        block.results[i] = ResultRecord{writer.node_ids[i], i * array.n_components, array.n_components};
        block.entries[i].index = static_cast<int64_t>(i);
    }
    block.end_line = " -3" + writer.line_terminator;
    writer.result_blocks.reserve(writer.result_blocks.size() + 2);
    writer.result_blocks.push_back(step_line_block(writer));
    writer.result_blocks.push_back(std::move(block));
    return KOVAN_OK;
}

}  // namespace kovan
