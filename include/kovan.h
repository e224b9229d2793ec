/* kovan: read, re-encode and write CalculiX FRD result files.
 *
 * A plain C interface made to be bound from other languages. Every export
 * that can fail returns a kovan_status and leaves a detail text that
 * kovan_last_error hands back. No export lets an exception escape.
 *
 * Conventions shared by every export:
 * - arguments are checked first; a failed check leaves every output and
 *   every text untouched;
 * - handle outputs are cleared to null before any work, so a failure always
 *   leaves them null; counts, times and records are written on success only;
 * - everything a document hands out belongs to the document and stays valid
 *   until kovan_close.
 */
#ifndef KOVAN_H
#define KOVAN_H

#include <stddef.h>
#include <stdint.h>

#if defined(KOVAN_STATIC)
#  define KOVAN_API
#elif defined(_WIN32)
#  if defined(KOVAN_BUILDING)
#    define KOVAN_API __declspec(dllexport)
#  else
#    define KOVAN_API __declspec(dllimport)
#  endif
#else
#  define KOVAN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define KOVAN_ABI_VERSION 3

typedef int32_t kovan_status;

enum {
    KOVAN_OK = 0,
    KOVAN_ERR_IO = 1,
    KOVAN_ERR_PARSE = 2,
    KOVAN_ERR_RANGE = 3,
    KOVAN_ERR_NOMEM = 4,
    KOVAN_ERR_ARG = 5,
    KOVAN_ERR_COMPONENTS = 6,
    KOVAN_ERR_INTERNAL = 7
};

/* Record kinds for kovan_struct_size. */
enum {
    KOVAN_STRUCT_OPEN_OPTIONS = 0,
    KOVAN_STRUCT_ARRAY_INFO = 1,
    KOVAN_STRUCT_DIAGNOSTIC = 2
};

/* Options of kovan_open_ex and kovan_open_memory; a null pointer means all 0. */
typedef struct kovan_open_options {
    uint32_t wedge_order; /* 0: wedges keep FRD node order; 1: turned to VTK orientation */
    uint32_t reserved;    /* must be 0 */
} kovan_open_options;

/* One result array of a step. */
typedef struct kovan_array_info {
    const char* name;      /* owned by the document, valid until kovan_close */
    uint64_t n_tuples;     /* always the document's point count */
    uint32_t n_components; /* values per tuple */
    uint32_t derived;      /* 0: read from the file; 1: computed by kovan */
} kovan_array_info;

/* Diagnostic kinds. */
enum {
    KOVAN_DIAG_SURPLUS_NODES = 0,   /* more node numbers than the type needs; kept with the first ones */
    KOVAN_DIAG_MISSING_NODES = 1,   /* node list ended early; element dropped */
    KOVAN_DIAG_UNKNOWN_TYPE = 2,    /* element type code unknown; element dropped */
    KOVAN_DIAG_INCOMPLETE_BLOCK = 3 /* the text ends inside this block: the file may still be being
                                       written. A result block is left out of its step; a node or
                                       element block keeps the records read before the end. */
};

/* One malformed element noticed while reading element blocks, or one block
   that the end of the text cuts off (kind 3: element_type 0, line the line of
   the block's header, expected the record count the header states or -1,
   found the records read before the end). */
typedef struct kovan_diagnostic {
    int32_t kind;         /* KOVAN_DIAG_* */
    int32_t element_type; /* FRD element type code as read */
    int64_t line;         /* line of the element's "-1" record (ASCII) or of the "3C" header (binary) */
    int64_t expected;     /* node count the type needs; -1 for an unknown type */
    int64_t found;        /* node numbers collected; -1 for an unknown type */
} kovan_diagnostic;

typedef struct kovan_document kovan_document;
typedef struct kovan_writer kovan_writer;

/* ---- introspection and errors ---- */

/* Returns KOVAN_ABI_VERSION (3). */
KOVAN_API int32_t kovan_abi_version(void);
/* Size in bytes of the record of the given kind; 0 for an unknown kind. */
KOVAN_API uint64_t kovan_struct_size(int32_t kind);
/* Fixed English message of a status; "unknown status" for other values. The text is static. */
KOVAN_API const char* kovan_status_message(kovan_status status);
/* Last failure text of the document, or of the calling thread for a null handle. Never null.
 * A thread's text is owned by the library until that thread's next failure replaces it. A
 * document's text is always the whole text of one of its failures, even while other threads
 * fail on it, and stays valid until kovan_close. */
KOVAN_API const char* kovan_last_error(const kovan_document* doc);

/* ---- documents ---- */

/* Opens the FRD file at a UTF-8 path; the caller owns *doc until kovan_close. */
KOVAN_API kovan_status kovan_open(const char* path, kovan_document** doc);
/* As kovan_open, with options (may be null). */
KOVAN_API kovan_status kovan_open_ex(const char* path, const kovan_open_options* options,
                                     kovan_document** doc);
/* Opens an FRD text held in memory; the bytes are copied before the call returns. */
KOVAN_API kovan_status kovan_open_memory(const void* data, uint64_t size,
                                         const kovan_open_options* options,
                                         kovan_document** doc);
/* Destroys the document and everything it handed out; null is ignored. */
KOVAN_API void kovan_close(kovan_document* doc);

/* ---- mesh, steps and diagnostics (no locking, no allocation) ---- */

KOVAN_API uint64_t kovan_n_points(const kovan_document* doc);
/* x, y, z per node in ascending node-number order; owned by the document. */
KOVAN_API const double* kovan_points(const kovan_document* doc);
/* Node numbers, ascending; owned by the document. */
KOVAN_API const int64_t* kovan_node_ids(const kovan_document* doc);
KOVAN_API uint64_t kovan_n_cells(const kovan_document* doc);
/* VTK cell type per cell; owned by the document. */
KOVAN_API const uint8_t* kovan_cell_types(const kovan_document* doc);
/* n_cells + 1 running ends into the connectivity, starting at 0; owned by the document. */
KOVAN_API const int64_t* kovan_cell_offsets(const kovan_document* doc);
/* Point indices in VTK node order, cell by cell; owned by the document. */
KOVAN_API const int64_t* kovan_cell_connectivity(const kovan_document* doc);
/* FRD element number per cell, in file order; owned by the document. */
KOVAN_API const int64_t* kovan_cell_ids(const kovan_document* doc);
KOVAN_API uint64_t kovan_n_steps(const kovan_document* doc);
/* Time of a step; steps are numbered in ascending order of time. */
KOVAN_API kovan_status kovan_step_time(const kovan_document* doc, uint64_t step, double* time);
/* Number of steps whose results have been decoded so far. */
KOVAN_API uint64_t kovan_steps_parsed(const kovan_document* doc);
KOVAN_API uint64_t kovan_n_diagnostics(const kovan_document* doc);
/* Copies one diagnostic record into *out. */
KOVAN_API kovan_status kovan_diagnostic_at(const kovan_document* doc, uint64_t index,
                                           kovan_diagnostic* out);

/* ---- result arrays (a step is decoded on its first query) ---- */

/* Number of arrays of a step, derived arrays included. */
KOVAN_API kovan_status kovan_n_arrays(kovan_document* doc, uint64_t step, uint64_t* count);
/* Describes one array; the name is owned by the document. */
KOVAN_API kovan_status kovan_array_info_at(kovan_document* doc, uint64_t step, uint64_t index,
                                           kovan_array_info* record);
/* Describes arrays first .. first + count - 1 into records[0 .. count - 1]. */
KOVAN_API kovan_status kovan_array_info_range(kovan_document* doc, uint64_t step, uint64_t first,
                                              uint64_t count, kovan_array_info* records);
/* Index of the first array of exactly this name (case-sensitive), or -1. */
KOVAN_API int64_t kovan_find_array(kovan_document* doc, uint64_t step, const char* name);
/* Points *values at n_tuples * n_components doubles, point-major, owned by the
 * document and unchanged until kovan_close; null on failure. */
KOVAN_API kovan_status kovan_array_data(kovan_document* doc, uint64_t step, uint64_t index,
                                        const double** values);

/* ---- re-encoding and returned buffers ---- */

/* Format codes of FRD blocks, and the re-encoding target that keeps each
 * block's own. */
enum {
    KOVAN_FORMAT_KEEP = -1,
    KOVAN_FORMAT_ASCII_SHORT = 0,
    KOVAN_FORMAT_ASCII_LONG = 1,
    KOVAN_FORMAT_BINARY_FLOAT = 2,
    KOVAN_FORMAT_BINARY_DOUBLE = 3
};

/* Rewrites a whole FRD document with its node, element and result blocks in
 * `format` (or each in its own for KOVAN_FORMAT_KEEP), every other line byte
 * for byte. *out receives a buffer of *out_size bytes plus a NUL byte; the
 * caller owns it and releases it with kovan_free. */
KOVAN_API kovan_status kovan_rewrite_memory(const void* data, uint64_t size, int32_t format, char** out,
                                            uint64_t* out_size);
/* Releases a buffer returned by kovan_rewrite_memory or kovan_writer_finish; null is ignored. */
KOVAN_API void kovan_free(void* buffer);

/* ---- writing ---- */

/* A new Writer of the given format (KOVAN_FORMAT_ASCII_SHORT .. _BINARY_DOUBLE),
 * or null for another value or when it cannot be allocated. The caller owns it
 * until kovan_writer_free. */
KOVAN_API kovan_writer* kovan_writer_new(uint32_t format);
/* Destroys the Writer; null is ignored. Buffers it returned stay the caller's. */
KOVAN_API void kovan_writer_free(kovan_writer* writer);
/* The mesh's points: x, y, z each; node_ids may be null (then 1, 2, 3, ...).
 * The data is copied; a later call replaces it. */
KOVAN_API kovan_status kovan_writer_set_nodes(kovan_writer* writer, uint64_t n_points, const int64_t* node_ids,
                                              const double* points);
/* The cells in VTK terms: types, n_cells + 1 offsets, connectivity as point
 * indices; cell_ids may be null (then 1, 2, 3, ...). wedge_order 1 takes
 * wedges in VTK's orientation. The data is copied; a later call replaces it. */
KOVAN_API kovan_status kovan_writer_set_cells(kovan_writer* writer, uint64_t n_cells, const uint8_t* cell_types,
                                              const int64_t* cell_offsets, const int64_t* cell_connectivity,
                                              const int64_t* cell_ids, uint32_t wedge_order);
/* Sets the step number and time of the arrays added after it. */
KOVAN_API kovan_status kovan_writer_begin_step(kovan_writer* writer, int32_t step_number, double time);
/* Adds one per-point array of n_components values per point, point-major;
 * component_names may be null, as may each of its entries; type_code 0
 * chooses by the component count. The data is copied. */
KOVAN_API kovan_status kovan_writer_add_array(kovan_writer* writer, const char* name, uint32_t n_components,
                                              const char* const* component_names, uint32_t type_code,
                                              const double* values);
/* Finishes the Writer (once) and hands the whole file to the caller in *out,
 * *out_size bytes plus a NUL byte; release it with kovan_free. */
KOVAN_API kovan_status kovan_writer_finish(kovan_writer* writer, char** out, uint64_t* out_size);

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(kovan_open_options) == 8, "kovan_open_options is 8 bytes");
static_assert(sizeof(kovan_array_info) == 24, "kovan_array_info is 24 bytes");
static_assert(sizeof(kovan_diagnostic) == 32, "kovan_diagnostic is 32 bytes");
#else
_Static_assert(sizeof(kovan_open_options) == 8, "kovan_open_options is 8 bytes");
_Static_assert(sizeof(kovan_array_info) == 24, "kovan_array_info is 24 bytes");
_Static_assert(sizeof(kovan_diagnostic) == 32, "kovan_diagnostic is 32 bytes");
#endif

#endif /* KOVAN_H */
