#include "results/step_decoder.h"

#include <limits>
#include <string>

#include "results/array_layer.h"
#include "results/component_names.h"
#include "results/decoded_block.h"
#include "results/derived_quantities.h"

namespace kovan {
namespace {

// A block laid on the mesh: straight from the text while its records come
// in ascending node order, as CalculiX writes them; otherwise through the
// general decoding, where the last record of a node wins at the node's
// first place. False when its bytes could not be read.
ArrayLayer layer_for(const Document& doc, const BlockRef& ref, bool ascending_only) {
    ArrayLayer layer;
    layer.mesh = doc.mesh.get();
    layer.pool = doc.pool.get();
    layer.ascending_only = ascending_only;
    layer.missing = doc.flags() & KOVAN_OPEN_MISSING_AS_NAN ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    layer.array.name = ref.name;
    return layer;
}

void finish_layer(const Document& doc, const BlockRef& ref, ArrayLayer& laid) {
    laid.finish();
    if (!laid.empty) laid.array.component_names = component_names_for(doc.component_names[ref.names], laid.array.n_components);
}

bool lay_block(const Document& doc, const BlockRef& ref, Window& window, ArrayLayer& laid) {
    laid = layer_for(doc, ref, true);
    LineCursor records = source_cursor(*doc.source, ref.begin, ref.end, window, doc.window_bytes);
    const bool direct = walk_result_records(records, form_of(ref), doc.size, laid);
    if (read_failed(records)) return false;
    if (direct) {
        finish_layer(doc, ref, laid);
        return true;
    }
    DecodedBlock block;
    records = source_cursor(*doc.source, ref.begin, ref.end, window, doc.window_bytes);
    decode_block(records, form_of(ref), doc.size, block);
    if (read_failed(records)) return false;
    laid = layer_for(doc, ref, false);
    for (size_t k = 0; k < block.node_ids.size(); ++k) laid.add(block.node_ids[k], &block.values[block.begin[k]], block.count[k]);
    finish_layer(doc, ref, laid);
    return true;
}

// Blocks of one name replace each other whole, at the place of the first;
// a block without records replaces nothing.
bool lay_blocks(const Document& doc, const StepEntry& step, std::vector<ArrayLayer>& laid) {
    Window window;
    std::unordered_map<std::string, size_t> position;
    for (const BlockRef& ref : step.blocks) {
        ArrayLayer block;
        if (!lay_block(doc, ref, window, block)) return false;
        if (block.empty) continue;
        const auto [it, inserted] = position.try_emplace(ref.name, laid.size());
        if (inserted) {
            laid.push_back(std::move(block));
        } else {
            laid[it->second] = std::move(block);
        }
    }
    return true;
}

void build_name_index(StepResults& results) {
    results.name_index.reserve(results.arrays.size());
    for (uint64_t i = 0; i < results.arrays.size(); ++i) results.name_index.try_emplace(results.arrays[i].name, i);
}

void fail(StepResults& results, uint32_t status, std::string text) {
    results.status = status;
    results.error = std::move(text);
    results.arrays.clear();
}

const char* changed_text(const Source& source) {
    return source.kind == Source::kFile ? "the file changed since it was opened" : "the bytes changed since they were opened";
}

// Whether the source still holds the step's blocks as the document indexed
// them: not shorter than it was, and every block's mark the same (a file
// that only grew keeps them). Bytes in memory never change.
bool still_as_indexed(const Document& doc, const StepEntry& step, StepResults& results) {
    if (bytes_in_memory(*doc.source) != nullptr) return true;
    uint64_t size = 0;
    if (!source_size(*doc.source, size) || size < doc.size) {
        fail(results, KOVAN_ERR_IO, std::string(changed_text(*doc.source)) + ": it holds fewer bytes than then");
        return false;
    }
    for (const BlockRef& ref : step.blocks) {
        if (!still_marked(*doc.source, BlockMark{ref.header, ref.end, ref.mark})) {
            fail(results, KOVAN_ERR_IO, std::string(changed_text(*doc.source)) + ": the result block at byte " +
                                            std::to_string(ref.header) + " is not what it was");
            return false;
        }
    }
    return true;
}

}  // namespace

void decode_step(const Document& doc, uint64_t step, StepResults& results, bool with_derived) {
    const StepEntry& entry = doc.steps[step];
    if (!still_as_indexed(doc, entry, results)) return;
    std::vector<ArrayLayer> laid;
    if (!lay_blocks(doc, entry, laid)) {
        fail(results, KOVAN_ERR_IO, doc.source->kind == Source::kFile ? "the file could not be read" : "the bytes could not be read");
        return;
    }
    for (ArrayLayer& block : laid) {
        if (block.status != KOVAN_OK) {
            fail(results, block.status, std::move(block.error));
            return;
        }
        results.arrays.push_back(std::move(block.array));
        const ResultArray& array = results.arrays.back();
        if (!with_derived) continue;
        if (const auto kind = derived_tensor_kind(array.name, array.n_components)) {
            append_derived_quantities(*kind, results.arrays, doc.pool.get());
        }
    }
    build_name_index(results);
}

}  // namespace kovan
