#include "frd/parse_driver.h"

#include <algorithm>
#include <string>
#include <vector>

#include "frd/block_header.h"
#include "frd/element_reader.h"
#include "frd/format.h"
#include "frd/mesh_finalise.h"
#include "frd/node_reader.h"
#include "frd/result_locator.h"

namespace kovan {
namespace {

struct Parse {
    Document& doc;
    LineCursor cursor;
    std::vector<std::string_view> tokens;

    bool read_node_block(std::string_view trimmed) {
        const BlockHeader header = read_block_header(trimmed, tokens);
        if (!is_binary(header.format)) {
            read_ascii_node_block(doc, cursor, header);
            return true;
        }
        if (read_binary_node_block(doc, cursor, header.count, header.format)) return true;
        doc.last_error = "truncated binary node block: the header declares " + std::to_string(header.count) +
                         " nodes in format " + std::to_string(header.format) +
                         ", and the file does not hold that many records";
        return false;
    }

    bool read_element_block(std::string_view trimmed) {
        const BlockHeader header = read_block_header(trimmed, tokens);
        if (!is_binary(header.format)) {
            read_ascii_element_block(doc, cursor, header);
            return true;
        }
        if (read_binary_element_block(doc, cursor, header.count)) return true;
        doc.last_error = "unreadable binary element block: the header declares " + std::to_string(header.count) +
                         " elements, and the records either run past the end of the file or name an element "
                         "type whose node count this reader does not know";
        return false;
    }

    StepEntry& step_for(const StepKey& key) {
        const auto [it, inserted] = doc.step_key_index.try_emplace(key, doc.steps.size());
        if (inserted) {
            StepEntry step;
            step.time = key.time;
            step.has_set_number = key.has_set_number;
            step.set_number = key.set_number;
            doc.steps.push_back(std::move(step));
        }
        return doc.steps[it->second];
    }

    void read_result_block(std::string_view line) {
        const ResultHeader header = read_result_header(line, tokens);
        StepEntry& step = step_for(header.key);
        locate_result_block(cursor, step, header.node_count, header.format, tokens);
    }

    // False when a block fails the parse.
    bool read_line(std::string_view line) {
        const std::string_view trimmed = trim(line);
        if (trimmed.size() >= 2 && starts_with(trimmed, "2C")) return read_node_block(trimmed);
        if (trimmed.size() >= 2 && starts_with(trimmed, "3C")) return read_element_block(trimmed);
        if (trimmed.size() >= 3 && starts_with(trimmed, "100")) read_result_block(line);
        return true;
    }
};

void finish(Document& doc) {
    finalise_mesh(doc);
    // Steps of equal time keep the order in which the file first names them.
    std::stable_sort(doc.steps.begin(), doc.steps.end(),
                     [](const StepEntry& a, const StepEntry& b) { return time_less(a.time, b.time); });
    doc.step_key_index.clear();
    doc.step_results.resize(doc.steps.size());
}

}  // namespace

kovan_status parse_document(Document& doc) {
    Parse parse{doc, make_cursor(doc.text), {}};
    std::string_view line;
    while (next_line(parse.cursor, line)) {
        if (!parse.read_line(line)) return KOVAN_ERR_PARSE;
    }
    finish(doc);
    return KOVAN_OK;
}

}  // namespace kovan
