#include "frd/node_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "frd/format.h"
#include "frd/little_endian.h"
#include "frd/number_tokens.h"
#include "frd/packed_record.h"
#include "frd/record_fields.h"

namespace kovan {
namespace {

// The shortest ASCII node line (" -1" and four one-character fields).
constexpr uint64_t kMinNodeLineBytes = 8;

void add_node(Document& doc, int64_t id, double x, double y, double z) {
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
    doc.raw_node_index.reserve(doc.raw_node_index.size() + count);
}

struct NodeLineReader {
    Document& doc;
    const BlockHeader& header;
    std::string separated;
    std::vector<double> packed;

    bool read_tokens(std::string_view rest) {
        separate_minus_signs(rest, separated);
        std::string_view tokens = separated;
        const auto id = parse_int(next_token(tokens));
        if (!id) return false;
        double xyz[3];
        for (double& value : xyz) {
            const auto parsed = parse_real(next_token(tokens));
            if (!parsed) return false;
            value = *parsed;
        }
        add_node(doc, *id, xyz[0], xyz[1], xyz[2]);
        return true;
    }

    bool read_packed(std::string_view rest, int id_width) {
        int64_t id = 0;
        if (!read_packed_record(rest, id_width, id, packed) || packed.size() < 3) return false;
        add_node(doc, id, packed[0], packed[1], packed[2]);
        return true;
    }

    // Numbers glued by three-digit exponents, read in the block's own
    // columns; without a stated format both widths are tried.
    bool read_glued(std::string_view rest) {
        const int width = ascii_id_width(header.format);
        if (read_packed(rest, width)) return true;
        return !header.format_stated && read_packed(rest, width == 5 ? 10 : 5);
    }

    void read_line(std::string_view line) {
        const std::string_view rest = line.substr(line.find("-1") + 2);
        if (!read_tokens(rest)) read_glued(rest);
    }
};

}  // namespace

void read_ascii_node_block(Document& doc, LineCursor& cursor, const BlockHeader& header) {
    if (header.count > 0) {
        reserve_nodes(doc, std::min(static_cast<uint64_t>(header.count), bytes_left(cursor) / kMinNodeLineBytes));
    }
    NodeLineReader reader{doc, header, {}, {}};
    std::string_view line;
    while (next_line(cursor, line)) {
        const std::string_view trimmed = trim(line);
        if (trimmed.size() < 2) continue;
        if (starts_with(trimmed, "-3")) return;
        if (starts_with(trimmed, "-1")) reader.read_line(line);
    }
}

bool read_binary_node_block(Document& doc, LineCursor& cursor, int64_t count, int32_t format) {
    const uint64_t record_bytes = binary_node_record_bytes(format);
    if (!records_fit(count, record_bytes, bytes_left(cursor))) return false;
    const char* record = cursor.text + cursor.position;
    cursor.position += static_cast<uint64_t>(count) * record_bytes;
    reserve_nodes(doc, static_cast<uint64_t>(count));
    const bool doubles = format == kBinaryDouble;
    for (int64_t i = 0; i < count; ++i, record += record_bytes) {
        const char* xyz = record + kBinaryIdBytes;
        if (doubles) {
            add_node(doc, load_i32_le(record), load_f64_le(xyz), load_f64_le(xyz + 8), load_f64_le(xyz + 16));
        } else {
            add_node(doc, load_i32_le(record), load_f32_le(xyz), load_f32_le(xyz + 4), load_f32_le(xyz + 8));
        }
    }
    skip_one_line_end(cursor);
    return true;
}

}  // namespace kovan
