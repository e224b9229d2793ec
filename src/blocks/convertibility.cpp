#include "blocks/convertibility.h"

#include <vector>

#include "frd/element_table.h"
#include "frd/format.h"
#include "frd/keys.h"

namespace kovan {
namespace {

using Reason = std::optional<std::string>;

const char* kind_name(BlockKey kind) {
    switch (kind) {
        case BlockKey::kNodes: return "a node block";
        case BlockKey::kElements: return "an element block";
        default: return "a result block";
    }
}

bool fits_i32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

Reason beyond_32_bits(const Block& block, const char* what, int64_t value) {
    if (fits_i32(value)) return std::nullopt;
    return std::string(kind_name(block.kind)) + " holds " + what + " " + std::to_string(value) +
           ", which the 32-bit fields of a binary block cannot carry";
}

Reason element_fields_beyond_32_bits(const Block& block) {
    for (const ElementRecord& e : block.elements) {
        Reason reason = beyond_32_bits(block, "element number", e.id);
        if (!reason) reason = beyond_32_bits(block, "element type", e.type);
        if (!reason) reason = beyond_32_bits(block, "group number", e.group);
        if (!reason) reason = beyond_32_bits(block, "material number", e.material);
        for (size_t k = 0; !reason && k < e.node_ids.size(); ++k) reason = beyond_32_bits(block, "node number", e.node_ids[k]);
        if (reason) return reason;
    }
    return std::nullopt;
}

Reason ids_beyond_32_bits(const Block& block) {
    for (const NodeRecord& n : block.nodes) {
        if (Reason reason = beyond_32_bits(block, "node number", n.id)) return reason;
    }
    for (const ResultRecord& r : block.results) {
        if (Reason reason = beyond_32_bits(block, "node number", r.node_id)) return reason;
    }
    return element_fields_beyond_32_bits(block);
}

uint64_t record_count(const Block& block) {
    switch (block.kind) {
        case BlockKey::kNodes: return block.nodes.size();
        case BlockKey::kElements: return block.elements.size();
        default: return block.results.size();
    }
}

// Binary records are found by the header's count alone.
Reason count_differs(const Block& block) {
    const uint64_t records = record_count(block);
    if (block.stated_count >= 0 && static_cast<uint64_t>(block.stated_count) == records) return std::nullopt;
    const std::string stated =
        block.stated_count < 0 ? "states no record count" : "states " + std::to_string(block.stated_count) + " records";
    return std::string(kind_name(block.kind)) + " header " + stated + " but the block holds " +
           std::to_string(records) + ", and a binary block is read by its stated count";
}

Reason unreadable_component_lines(const Block& block) {
    if (block.kind != BlockKey::kResults || block.stored_components > 0) return std::nullopt;
    return std::string(
        "a result block's header lines are not one \"-4\" line followed by exactly the \"-5\" lines it declares, "
        "with at least one stored component, so a binary block's records could not be found after them");
}

Reason unwalkable_records(const Block& block) {
    if (block.kind == BlockKey::kResults) {
        const uint64_t stored = block.stored_components;
        for (const ResultRecord& r : block.results) {
            if (r.count == stored && stored > 0) continue;
            return "a result block record of node " + std::to_string(r.node_id) + " holds " +
                   std::to_string(r.count) + " values where the block stores " + std::to_string(stored) +
                   ", and every binary record holds exactly the stored components";
        }
    }
    for (const ElementRecord& e : block.elements) {
        const ElementType* type = element_type_for_code(static_cast<int32_t>(e.type));
        if (type != nullptr && e.node_ids.size() == type->node_count) continue;
        const std::string expected = type == nullptr ? "an unknown node count" : std::to_string(type->node_count);
        return "an element block holds element " + std::to_string(e.id) + " of type " + std::to_string(e.type) +
               " with " + std::to_string(e.node_ids.size()) + " node numbers where the type has " + expected +
               ", and a binary element record holds exactly its type's nodes";
    }
    return std::nullopt;
}

// After a binary result payload a reader expects, past line ends and
// blanks, a line that starts with a digit or a minus sign, or the end.
bool record_line_follows_block(const BlockDocument& document, size_t index) {
    std::string after;
    for (size_t i = index + 1; i < document.blocks.size(); ++i) {
        const Block& next = document.blocks[i];
        const size_t lines = next.kind == BlockKey::kNone ? next.lines.size() : std::min<size_t>(1, next.lines.size());
        for (size_t k = 0; k < lines; ++k) {
            after += next.lines[k];
            if (after.find_first_not_of("\r\n ") != std::string::npos) return record_line_follows(after);
        }
    }
    return true;
}

Reason binary_refusal(const BlockDocument& document, size_t index) {
    const Block& block = document.blocks[index];
    if (block.cut_off) {
        return std::string(kind_name(block.kind)) +
               " is cut off by the end of the text (the file may still be being written), and a binary block would "
               "show it as complete";
    }
    for (const LineEntry& entry : block.entries) {
        if (entry.index < 0) return std::string("a block holds a line this reader could not parse as a record, and a binary block has no way to carry it");
    }
    if (Reason reason = ids_beyond_32_bits(block)) return reason;
    if (Reason reason = count_differs(block)) return reason;
    if (Reason reason = unreadable_component_lines(block)) return reason;
    if (Reason reason = unwalkable_records(block)) return reason;
    if (block.kind == BlockKey::kResults && !record_line_follows_block(document, index)) {
        return std::string(
            "a result block is followed by a line that starts with neither a digit nor a minus sign, and a reader "
            "finds the end of a binary result block only by such a line");
    }
    return std::nullopt;
}

bool fits_field(int64_t value, int width) {
    return std::to_string(value).size() <= static_cast<size_t>(width);
}

// On element lines the fields after the first touch, so each must fit.
Reason ascii_refusal(const Block& block, int32_t target) {
    const int width = ascii_id_width(target);
    for (const ElementRecord& e : block.elements) {
        const char* what = nullptr;
        int64_t value = 0;
        for (int64_t node : e.node_ids) {
            if (!fits_field(node, width)) what = "node number", value = node;
        }
        if (!fits_field(e.group, 5)) what = "group number", value = e.group;
        if (!fits_field(e.material, 5)) what = "material number", value = e.material;
        if (!fits_field(e.type, 5)) what = "element type", value = e.type;
        if (what == nullptr) continue;
        return std::string("an element block holds ") + what + " " + std::to_string(value) +
               ", which needs more characters than its field, so the numbers of its line would run together";
    }
    return std::nullopt;
}

Reason block_refusal(const BlockDocument& document, size_t index, int32_t target) {
    const Block& block = document.blocks[index];
    if (!block.format_restampable) {
        return std::string(
            "a block header states no format code, so it cannot be restamped, and converting its records would "
            "leave the header declaring the encoding they no longer use");
    }
    return is_binary(target) ? binary_refusal(document, index) : ascii_refusal(block, target);
}

}  // namespace

std::optional<std::string> conversion_refusal(const BlockDocument& document, int32_t target) {
    if (target < 0) return std::nullopt;
    for (size_t i = 0; i < document.blocks.size(); ++i) {
        const Block& block = document.blocks[i];
        if (block.kind == BlockKey::kNone || static_cast<int32_t>(block.format) == target) continue;
        if (Reason reason = block_refusal(document, i, target)) {
            return "cannot convert this document to format " + std::to_string(target) + ": " + *reason;
        }
    }
    return std::nullopt;
}

}  // namespace kovan
