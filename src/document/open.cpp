#include "document/open.h"

#include <algorithm>
#include <utility>

#include "document/parse_driver.h"
#include "support/failure_text.h"

namespace kovan {
namespace {

kovan_status handed_out(std::unique_ptr<Document> doc, kovan_status status, Document*& out) {
    if (status != KOVAN_OK) {
        set_thread_error(doc->parse_error);
        return status;
    }
    out = doc.release();
    return KOVAN_OK;
}

// The source that holds what `old` was read from as it is now: its file
// opened again by its path (another file may stand there now), the same
// bytes or functions otherwise.
std::shared_ptr<const Source> current_source(const Document& old) {
    return old.source->kind == Source::kFile ? file_source(old.source->path.c_str()) : old.source;
}

// Whether `source`, of `size` bytes now, still holds every block `old`
// indexed as it held them.
bool holds_what_was_indexed(const Document& old, const Source& source, uint64_t size) {
    if (size < old.size) return false;
    if (bytes_in_memory(source) != nullptr) return true;
    for (const BlockMark& mark : old.mesh_marks) {
        if (!still_marked(source, mark)) return false;
    }
    for (const StepEntry& step : old.steps) {
        for (const BlockRef& ref : step.blocks) {
            if (!still_marked(source, BlockMark{ref.header, ref.end, ref.mark})) return false;
        }
    }
    return true;
}

// A document that starts from what `old` read before its resume point.
std::unique_ptr<Document> continued(const Document& old, std::shared_ptr<const Source> source, uint64_t size) {
    auto doc = std::make_unique<Document>();
    doc->source = std::move(source);
    doc->size = size;
    doc->options = old.options;
    doc->window_bytes = old.window_bytes;
    doc->mesh = old.mesh;
    doc->resume = old.resume;
    // Blocks from the resume point on are read again.
    doc->steps = old.steps;
    for (StepEntry& step : doc->steps) {
        const auto again = std::remove_if(step.blocks.begin(), step.blocks.end(),
                                          [&](const BlockRef& ref) { return ref.header >= old.resume.offset; });
        step.blocks.erase(again, step.blocks.end());
    }
    for (const BlockMark& mark : old.mesh_marks) {
        if (mark.begin < old.resume.offset) doc->mesh_marks.push_back(mark);
    }
    doc->component_names = old.component_names;
    for (const HeaderRecord& header : old.header_records) {
        if (header.offset < old.resume.offset) doc->header_records.push_back(header);
    }
    // What the end of the old text cut off is read again, and whether the
    // text is FRD is told anew.
    for (const Diagnostic& d : old.diagnostics) {
        if (static_cast<uint64_t>(d.line) <= old.resume.lines && d.kind != KOVAN_DIAG_NOT_FRD) {
            doc->diagnostics.push_back(d);
        }
    }
    return doc;
}

}  // namespace

kovan_status open_document(std::shared_ptr<const Source> source, uint64_t options, Document*& out,
                           uint64_t window_bytes) {
    uint64_t size = 0;
    if (!source_size(*source, size)) return KOVAN_ERR_IO;
    auto doc = std::make_unique<Document>();
    doc->source = std::move(source);
    doc->size = size;
    doc->options = options;
    doc->window_bytes = window_bytes;
    const kovan_status status = parse_document(*doc);
    return handed_out(std::move(doc), status, out);
}

kovan_status reopen_document(const Document& old, Document*& out) {
    std::shared_ptr<const Source> source = current_source(old);
    if (!source) return KOVAN_ERR_IO;
    uint64_t size = 0;
    if (!source_size(*source, size)) return KOVAN_ERR_IO;
    if (!holds_what_was_indexed(old, *source, size)) return open_document(source, old.options, out, old.window_bytes);
    std::unique_ptr<Document> doc = continued(old, source, size);
    bool mesh_changed = false;
    const kovan_status status = parse_appended(*doc, old, mesh_changed);
    if (status == KOVAN_OK && mesh_changed) return open_document(source, old.options, out, old.window_bytes);
    return handed_out(std::move(doc), status, out);
}

}  // namespace kovan
