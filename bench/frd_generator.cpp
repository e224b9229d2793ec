#include "frd_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "blocks/block_model.h"
#include "blocks/serialiser.h"

namespace kovan_bench {
namespace {

using kovan::Block;
using kovan::BlockDocument;

struct Formats {
    uint32_t nodes, elements, results;
};

Formats formats_of(Encoding encoding) {
    switch (encoding) {
        case Encoding::kAsciiShort: return {0, 0, 0};
        case Encoding::kAsciiLong: return {1, 1, 1};
        case Encoding::kBinaryMixed: return {3, 2, 2};
        default: return {3, 2, 3};
    }
}

std::string header(const char* key, uint64_t count, uint32_t format) {
    char line[96];
    std::snprintf(line, sizeof line, "    %s%30llu%38u\n", key, static_cast<unsigned long long>(count), format);
    return line;
}

Block text(std::vector<std::string> lines) {
    Block block;
    block.lines = std::move(lines);
    return block;
}

// Points of a grid of `side` per edge; a quadratic mesh uses a grid twice as
// fine, some of whose points (face and cell centres) no element names.
Block node_block(uint64_t side, uint32_t format, uint64_t& count) {
    Block block;
    block.kind = kovan::BlockKey::kNodes;
    block.format = format;
    for (uint64_t k = 0; k < side; ++k) {
        for (uint64_t j = 0; j < side; ++j) {
            for (uint64_t i = 0; i < side; ++i) {
                block.entries.push_back({static_cast<int64_t>(block.nodes.size())});
                block.nodes.push_back({static_cast<int64_t>(block.nodes.size() + 1), 0.1 * i, 0.1 * j, 0.1 * k});
            }
        }
    }
    count = block.nodes.size();
    block.stated_count = static_cast<int64_t>(count);
    block.lines = {header("2C", count, format)};
    if (format < 2) block.end_line = " -3\n";
    return block;
}

// FRD order of a 20-node hexahedron: corners, bottom edges, vertical edges,
// top edges, as offsets in the fine grid.
constexpr int kHex20[20][3] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 2}, {2, 0, 2}, {2, 2, 2},
                               {0, 2, 2}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}, {0, 0, 1}, {2, 0, 1},
                               {2, 2, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 2}, {1, 2, 2}, {0, 1, 2}};
constexpr int kHex8[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

Block element_block(uint64_t n, bool quadratic, uint32_t format, uint64_t& count) {
    Block block;
    block.kind = kovan::BlockKey::kElements;
    block.format = format;
    const uint64_t scale = quadratic ? 2 : 1, side = n * scale + 1;
    auto id = [&](uint64_t i, uint64_t j, uint64_t k) { return static_cast<int64_t>(1 + i + side * (j + side * k)); };
    for (uint64_t k = 0; k < n; ++k) {
        for (uint64_t j = 0; j < n; ++j) {
            for (uint64_t i = 0; i < n; ++i) {
                kovan::ElementRecord e{static_cast<int64_t>(block.elements.size() + 1), quadratic ? 4 : 1, 0, 1, {}};
                const int count_nodes = quadratic ? 20 : 8;
                for (int v = 0; v < count_nodes; ++v) {
                    const int* d = quadratic ? kHex20[v] : kHex8[v];
                    e.node_ids.push_back(id(scale * i + d[0], scale * j + d[1], scale * k + d[2]));
                }
                block.entries.push_back({static_cast<int64_t>(block.elements.size())});
                block.elements.push_back(std::move(e));
            }
        }
    }
    count = block.elements.size();
    block.stated_count = static_cast<int64_t>(count);
    block.lines = {header("3C", count, format)};
    if (format < 2) block.end_line = " -3\n";
    return block;
}

Block result_block(int step, const char* name, const std::vector<std::string>& components, bool with_all,
                   uint64_t n_nodes, uint32_t format) {
    Block block;
    block.kind = kovan::BlockKey::kResults;
    block.format = format;
    block.stated_count = static_cast<int64_t>(n_nodes);
    char line[128];
    std::snprintf(line, sizeof line, "  100CL%5d%12.5E%12llu                     0%5d           %u\n", 100 + step,
                  0.1 * step, static_cast<unsigned long long>(n_nodes), step, format);
    block.lines.push_back(line);
    const size_t declared = components.size() + (with_all ? 1 : 0);
    std::snprintf(line, sizeof line, " -4  %-8s%5zu    1\n", name, declared);
    block.lines.push_back(line);
    const int type = components.size() == 6 ? 4 : 2;
    for (size_t c = 0; c < components.size(); ++c) {
        std::snprintf(line, sizeof line, " -5  %-8s    1%5d%5zu    0\n", components[c].c_str(), type, c + 1);
        block.lines.push_back(line);
    }
    if (with_all) block.lines.push_back(" -5  ALL         1    2    0    0    1ALL\n");
    block.results.resize(n_nodes);
    block.entries.resize(n_nodes);
    block.result_values.reserve(n_nodes * components.size());
    for (uint64_t i = 0; i < n_nodes; ++i) {
        block.results[i] = {static_cast<int64_t>(i + 1), block.result_values.size(), components.size()};
        for (size_t c = 0; c < components.size(); ++c) {
            block.result_values.push_back(std::sin(0.001 * double(i) + double(c) + step) * 1e3);
        }
        block.entries[i].index = static_cast<int64_t>(i);
    }
    if (format < 2) block.end_line = " -3\n";
    return block;
}

uint64_t side_for(uint64_t target_bytes, Encoding encoding) {
    // A mesh of about a tenth of the file; the steps fill the rest.
    const double bytes_per_node = encoding == Encoding::kBinaryMixed || encoding == Encoding::kBinaryDouble ? 60 : 150;
    const double nodes = std::max(8.0, 0.1 * double(target_bytes) / bytes_per_node);
    return static_cast<uint64_t>(std::max(1.0, std::cbrt(nodes) - 1.0));
}

}  // namespace

const char* encoding_name(Encoding encoding) {
    switch (encoding) {
        case Encoding::kAsciiShort: return "ascii-short";
        case Encoding::kAsciiLong: return "ascii-long";
        case Encoding::kBinaryMixed: return "binary-ccx";
        default: return "binary-double";
    }
}

Generated generate(uint64_t target_bytes, Encoding encoding, bool quadratic) {
    const Formats f = formats_of(encoding);
    uint64_t n = side_for(target_bytes, encoding);
    if (quadratic) n = std::max<uint64_t>(1, n / 2);
    Generated out;
    BlockDocument document;
    document.blocks.push_back(text({"    1C\n", "    1UPGM               CalculiX\n"}));
    document.blocks.push_back(node_block(n * (quadratic ? 2 : 1) + 1, f.nodes, out.nodes));
    document.blocks.push_back(element_block(n, quadratic, f.elements, out.elements));
    out.text = std::string(kovan::serialise(document, kovan::kKeepFormats).view());
    for (int step = 1; out.text.size() < target_bytes; ++step) {
        BlockDocument results;
        results.blocks.push_back(text({"    1PSTEP                         " + std::to_string(step) + "           1           1\n"}));
        results.blocks.push_back(result_block(step, "DISP", {"D1", "D2", "D3"}, true, out.nodes, f.results));
        results.blocks.push_back(text({"    1PSTEP                         " + std::to_string(step) + "           1           1\n"}));
        results.blocks.push_back(
            result_block(step, "STRESS", {"SXX", "SYY", "SZZ", "SXY", "SYZ", "SZX"}, false, out.nodes, f.results));
        out.text += kovan::serialise(results, kovan::kKeepFormats).view();
        out.steps = static_cast<uint64_t>(step);
    }
    out.text += " 9999\n";
    return out;
}

}  // namespace kovan_bench
