#include "results/step_decoder.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "results/decoded_block.h"
#include "results/derived_quantities.h"

namespace kovan {
namespace {

struct NamedBlock {
    std::string name;
    DecodedBlock block;
};

// Blocks of one name replace each other whole, at the place of the first.
std::vector<NamedBlock> collect_blocks(const Document& doc, const StepEntry& step) {
    std::vector<NamedBlock> named;
    std::unordered_map<std::string, size_t> position;
    for (const BlockRef& ref : step.blocks) {
        DecodedBlock block;
        decode_block(doc.text, ref, block);
        if (block.node_ids.empty()) continue;
        const auto [it, inserted] = position.try_emplace(ref.name, named.size());
        if (inserted) {
            named.push_back({ref.name, std::move(block)});
        } else {
            named[it->second].block = std::move(block);
        }
    }
    return named;
}

std::string component_conflict(const std::string& name, int64_t node, uint64_t n, uint64_t c) {
    return "array '" + name + "': node " + std::to_string(node) + " has " + std::to_string(n) +
           " components, expected " + std::to_string(c);
}

std::vector<double> zeroed_values(uint64_t n_points, uint64_t c) {
    const uint64_t max_values = std::numeric_limits<size_t>::max() / sizeof(double);
    if (c > std::numeric_limits<uint32_t>::max() || (n_points != 0 && c > max_values / n_points)) {
        throw std::length_error("result array of " + std::to_string(n_points) + " points by " +
                                std::to_string(c) + " components");
    }
    return std::vector<double>(n_points * c, 0.0);
}

// The point of a node, or UINT64_MAX when it is not in the mesh. Records
// mostly come in node order, so the point after the previous one is tried
// before the hash map.
uint64_t point_of(const Document& doc, int64_t node, uint64_t previous) {
    const uint64_t next = previous + 1;  // 0 after UINT64_MAX
    if (next < doc.node_ids.size() && doc.node_ids[next] == node) return next;
    const auto it = doc.point_index.find(node);
    return it == doc.point_index.end() ? UINT64_MAX : it->second;
}

// Lays a block on the mesh; false, with the step's failure set, on a conflict.
bool build_array(const Document& doc, const NamedBlock& named, StepResults& results) {
    const DecodedBlock& block = named.block;
    const uint64_t c = block.count[0];
    ResultArray array;
    array.name = named.name;
    array.n_components = static_cast<uint32_t>(c);
    array.values = zeroed_values(doc.node_ids.size(), c);
    uint64_t point = UINT64_MAX;  // the previous record's point
    for (size_t k = 0; k < block.node_ids.size(); ++k) {
        point = point_of(doc, block.node_ids[k], point);
        if (point == UINT64_MAX) continue;  // not a node of the mesh
        const double* values = &block.values[block.begin[k]];
        const uint64_t n = block.count[k];
        double* target = &array.values[point * c];
        if (c == 1 || n == c) {
            std::copy(values, values + c, target);
        } else if (n == 1) {
            std::fill(target, target + c, values[0]);
        } else {
            results.status = KOVAN_ERR_COMPONENTS;
            results.error = component_conflict(named.name, block.node_ids[k], n, c);
            return false;
        }
    }
    results.arrays.push_back(std::move(array));
    return true;
}

std::string upper_ascii(std::string text) {
    for (char& ch : text) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    return text;
}

void build_name_index(StepResults& results) {
    results.name_index.reserve(results.arrays.size());
    for (uint64_t i = 0; i < results.arrays.size(); ++i) results.name_index.try_emplace(results.arrays[i].name, i);
}

}  // namespace

void decode_step(const Document& doc, uint64_t step, StepResults& results, bool with_derived) {
    const std::vector<NamedBlock> named = collect_blocks(doc, doc.steps[step]);
    for (const NamedBlock& block : named) {
        if (!build_array(doc, block, results)) return;
        const ResultArray& array = results.arrays.back();
        if (!with_derived || array.n_components != 6) continue;
        const std::string upper = upper_ascii(array.name);
        if (upper.find("STRESS") != std::string::npos) {
            append_derived_quantities(TensorKind::kStress, results.arrays);
        } else if (upper.find("STRAIN") != std::string::npos) {
            append_derived_quantities(TensorKind::kStrain, results.arrays);
        }
    }
    build_name_index(results);
}

}  // namespace kovan
