#include "frd/node_reader.h"

#include <algorithm>

#include "frd/format.h"
#include "frd/binary_records.h"
#include "frd/node_line.h"

namespace kovan {
namespace {

// The shortest ASCII node line (" -1" and four one-character fields).
constexpr uint64_t kMinNodeLineBytes = 8;

void index_raw_nodes(Document& doc) {
    doc.raw_nodes_ascending = false;
    doc.raw_node_index.reserve(doc.raw_node_ids.capacity());
    for (uint64_t k = 0; k < doc.raw_node_ids.size(); ++k) doc.raw_node_index.emplace(doc.raw_node_ids[k], k);
}

void add_node(Document& doc, int64_t id, double x, double y, double z) {
    if (doc.raw_nodes_ascending && (doc.raw_node_ids.empty() || id > doc.raw_node_ids.back())) {
        doc.raw_node_ids.push_back(id);
        doc.raw_coordinates.insert(doc.raw_coordinates.end(), {x, y, z});
        return;
    }
    if (doc.raw_nodes_ascending) index_raw_nodes(doc);
    const auto [it, inserted] = doc.raw_node_index.try_emplace(id, doc.raw_node_ids.size());
    if (inserted) {
        doc.raw_node_ids.push_back(id);
        doc.raw_coordinates.insert(doc.raw_coordinates.end(), {x, y, z});
        return;
    }
    double* xyz = &doc.raw_coordinates[3 * it->second];  // first position, last coordinates
    xyz[0] = x;
    xyz[1] = y;
    xyz[2] = z;
}

void reserve_nodes(Document& doc, uint64_t count) {
    doc.raw_node_ids.reserve(doc.raw_node_ids.size() + count);
    doc.raw_coordinates.reserve(doc.raw_coordinates.size() + 3 * count);
    if (!doc.raw_nodes_ascending) doc.raw_node_index.reserve(doc.raw_node_index.size() + count);
}

}  // namespace

void read_ascii_node_block(Document& doc, LineCursor& cursor, const BlockHeader& header) {
    if (header.count > 0) {
        reserve_nodes(doc, std::min(static_cast<uint64_t>(header.count), bytes_left(cursor) / kMinNodeLineBytes));
    }
    NodeLineScratch scratch;
    NodeLine node;
    std::string_view line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line);
        if (trimmed.size() < 2) continue;
        if (starts_with(trimmed, "-3")) return;
        if (!starts_with(trimmed, "-1")) continue;
        const std::string_view rest = line.substr(line.find("-1") + 2);
        if (read_node_line(rest, header.format, header.format_stated, scratch, node)) {
            add_node(doc, node.id, node.xyz[0], node.xyz[1], node.xyz[2]);
        }
    }
}

bool read_binary_node_block(Document& doc, LineCursor& cursor, int64_t count, int32_t format) {
    const uint64_t record_bytes = binary_node_record_bytes(format);
    if (!records_fit(count, record_bytes, bytes_left(cursor))) return false;
    const char* record = cursor.text + cursor.position;
    cursor.position += static_cast<uint64_t>(count) * record_bytes;
    reserve_nodes(doc, static_cast<uint64_t>(count));
    for (int64_t i = 0; i < count; ++i, record += record_bytes) {
        const BinaryNode node = load_binary_node(record, format);
        add_node(doc, node.id, node.x, node.y, node.z);
    }
    skip_one_line_end(cursor);
    return true;
}

}  // namespace kovan
