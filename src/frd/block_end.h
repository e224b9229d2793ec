// How the walk of a node or element block ended.
#pragma once

#include <cstdint>

namespace kovan {

struct BlockEnd {
    enum Outcome {
        kComplete,    // its " -3" line, or a binary payload held whole
        kIncomplete,  // the end of the text cuts it off: a file still being written
        kFailed       // a binary block that cannot be walked (failure)
    };
    enum Failure { kNoFailure, kNoCount, kUnknownElementType, kStopped };

    Outcome outcome = kComplete;
    Failure failure = kNoFailure;
    int64_t records = 0;       // records read (before the cut, for a block cut off)
    int64_t element_type = 0;  // the type code of kUnknownElementType
    uint64_t records_end = 0;  // a binary block's: where its payload ends
};

inline BlockEnd failed_block(BlockEnd::Failure failure, int64_t element_type = 0) {
    BlockEnd end;
    end.outcome = BlockEnd::kFailed;
    end.failure = failure;
    end.element_type = element_type;
    return end;
}

}  // namespace kovan
