#include "results/step_decoder.h"

#include <string>

#include "results/array_layer.h"
#include "results/decoded_block.h"
#include "results/derived_quantities.h"

namespace kovan {
namespace {

// A block laid on the mesh: straight from the text while its records come
// in ascending node order, as CalculiX writes them; otherwise through the
// general decoding, where the last record of a node wins at the node's
// first place.
ArrayLayer lay_block(const Document& doc, const BlockRef& ref) {
    ArrayLayer direct;
    direct.doc = &doc;
    direct.ascending_only = true;
    direct.array.name = ref.name;
    if (walk_result_records(doc.text, ref, direct)) {
        direct.finish();
        return direct;
    }
    DecodedBlock block;
    decode_block(doc.text, ref, block);
    ArrayLayer general;
    general.doc = &doc;
    general.array.name = ref.name;
    for (size_t k = 0; k < block.node_ids.size(); ++k) {
        general.add(block.node_ids[k], &block.values[block.begin[k]], block.count[k]);
    }
    general.finish();
    return general;
}

// Blocks of one name replace each other whole, at the place of the first;
// a block without records replaces nothing.
std::vector<ArrayLayer> lay_blocks(const Document& doc, const StepEntry& step) {
    std::vector<ArrayLayer> laid;
    std::unordered_map<std::string, size_t> position;
    for (const BlockRef& ref : step.blocks) {
        ArrayLayer block = lay_block(doc, ref);
        if (block.empty) continue;
        const auto [it, inserted] = position.try_emplace(ref.name, laid.size());
        if (inserted) {
            laid.push_back(std::move(block));
        } else {
            laid[it->second] = std::move(block);
        }
    }
    return laid;
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
    std::vector<ArrayLayer> laid = lay_blocks(doc, doc.steps[step]);
    for (ArrayLayer& block : laid) {
        if (block.status != KOVAN_OK) {
            results.status = block.status;
            results.error = std::move(block.error);
            return;
        }
        results.arrays.push_back(std::move(block.array));
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
