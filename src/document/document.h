// The Document behind an open handle: where its bytes come from, its mesh,
// its step index and the steps decoded from it. It holds offsets into its
// source, never the source's bytes (unless the source is memory already).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "document/array_pool.h"
#include "document/fingerprint.h"
#include "document/mesh.h"
#include "document/step_index.h"
#include "frd/header_records.h"
#include "io/source.h"
#include "kovan.h"

namespace kovan {

using Diagnostic = kovan_diagnostic;

struct StepSlot;  // a step decoded on demand, made by src/results
struct StepPlan;  // the arrays a step will have, made by src/results

// A "1U" record and where it stands, so that a reading of the grown text
// keeps those before where it starts again.
struct HeaderRecord {
    uint64_t offset = 0;
    UserRecord record;
};

// Where reading the source's grown bytes starts again: after the last block
// or line the end of the text did not cut off.
struct ResumePoint {
    uint64_t offset = 0;
    uint64_t lines = 0;          // lines before it
    bool frd_line_seen = false;  // an FRD line came before it
    // What may still belong to the text before it: after a last carriage
    // return, a line feed (the two end one line); after a binary payload
    // that reached the end, a carriage return and a line feed.
    enum LineEnd { kNothing, kLineFeed, kLineEnd };
    LineEnd unfinished = kNothing;
};

struct Document {
    std::shared_ptr<const Source> source;
    uint64_t size = 0;     // the source's bytes this document indexed
    uint64_t options = 0;  // the kovan_open_options record; only wedge_order is consulted
    uint64_t window_bytes = kWindowBytes;  // read at a time from a source not in memory

    // Fixed once the parse ends; shared with the document of a grown file
    // when that holds the same mesh.
    std::shared_ptr<const Mesh> mesh = std::make_shared<const Mesh>();
    std::vector<Diagnostic> diagnostics;
    std::vector<StepEntry> steps;       // ascending time once parsed (file order on request)
    // Each distinct list of component names the blocks' "-5" lines give;
    // the first is empty (a block without names).
    std::vector<std::vector<std::string>> component_names{{}};
    std::vector<HeaderRecord> header_records;  // the "1U" records, in file order
    std::vector<MaterialName> materials;       // from the "MAT" records, in file order
    std::vector<BlockMark> mesh_marks;  // of its node and element blocks, where the source can change
    ResumePoint resume;

    // One slot per step, empty until the step is first asked for; the lock
    // guards finding and creating slots and plans, never a decode.
    std::vector<std::shared_ptr<StepSlot>> step_slots;
    std::vector<std::shared_ptr<const StepPlan>> step_plans;  // made on first use, under `lock`
    std::mutex lock;
    std::atomic<uint64_t> steps_parsed{0};
    std::shared_ptr<ArrayPool> pool = std::make_shared<ArrayPool>();

    // Every text this document hands out lives until it is closed: the
    // parse's failure text, set once, and each failed step's, kept with its
    // step. The latest failure points to one of them and is replaced whole,
    // so that a thread reading it never sees it change under it.
    std::string parse_error;
    std::vector<std::unique_ptr<std::string>> failure_texts;  // each distinct one once; under `lock`
    std::atomic<const char*> last_error{""};

    uint32_t wedge_order() const { return static_cast<uint32_t>(options & 0xFFFFFFFFu); }
    uint32_t flags() const { return static_cast<uint32_t>(options >> 32); }  // KOVAN_OPEN_*
};

}  // namespace kovan
