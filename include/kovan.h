/* kovan: read, re-encode and write CalculiX FRD result files.
 *
 * A plain C interface made to be bound from other languages. This header is
 * the contract a binding is written against.
 *
 * Failures. Every export that can fail returns a kovan_status, and every
 * status other than KOVAN_OK leaves a text describing that failure in the
 * calling thread's slot, read with kovan_last_error(NULL): which argument
 * was refused, which index and its bound, why a file could not be read or
 * a step decoded, what ran out of memory. A binding needs one rule: status
 * not OK, raise with kovan_last_error(NULL). The text is set by the failing
 * call itself, so it is never an older one; it stays until the thread's
 * next failure and is never cleared by a success. The few exports that
 * fail without a status (kovan_find_array answering -1, kovan_writer_new
 * answering null) leave a text the same way, except where -1 only means
 * "no such array". Texts are English, lower case, without a final full stop.
 *
 * Two statuses can come from every export that runs work (opening, the
 * array queries, re-encoding, every writer call): KOVAN_ERR_NOMEM when
 * memory runs out or a size cannot be allocated, and KOVAN_ERR_INTERNAL for
 * any other fault inside the library. No export lets an exception escape.
 *
 * A step that failed to decode (KOVAN_ERR_COMPONENTS) also leaves its text
 * with its document (kovan_last_error(doc)), where it stays, whole, until
 * kovan_close, whichever threads fail on the document meanwhile.
 *
 * Checks and outputs. Arguments are checked first; a failed check leaves
 * every output untouched. Then handle and buffer outputs are
 * cleared (handles and buffer pointers to null, lengths to 0) before any
 * work, so a failure always leaves them cleared; counts, times and records
 * are written on success only.
 *
 * Ownership. Everything a document hands out (points, ids, cells, names,
 * array values, its text) belongs to the document, never changes and stays
 * valid until kovan_close (a step's names and values until the step is
 * released, kovan_release_step); the caller must not write to it or free it.
 * Buffers returned by kovan_rewrite_memory and kovan_writer_finish belong to
 * the caller and are released with kovan_free. Data passed in is copied
 * before the call returns.
 *
 * Threads. The library starts no threads and keeps no global state but one
 * text per calling thread. Many threads may open, query, convert and write
 * at the same time. A document may be queried from several threads at once
 * (a step decodes once; threads asking for it wait for that one decoding).
 * A writer is used by one thread at a time. Closing or freeing a handle
 * while another thread still uses it is the caller's error.
 *
 * Texts passed in and out are NUL-terminated UTF-8: paths (converted to
 * UTF-16 on Windows; taken byte for byte elsewhere), and array and component
 * names as the file holds them (a file may hold bytes that are not UTF-8;
 * they are handed on unchanged).
 *
 * Empty arrays. An accessor of an array with no elements may return null:
 * the points, node ids, cell types, connectivity and cell ids of a document
 * without nodes or cells, and the values of an array of a mesh without
 * points. The cell offsets are never empty (n_cells + 1 values). Every
 * accessor returns 0 or null for a null handle.
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
    KOVAN_STRUCT_DIAGNOSTIC = 2,
    KOVAN_STRUCT_SOURCE = 3,
    KOVAN_STRUCT_STEP_INFO = 4
};

/* Options of kovan_open_ex and kovan_open_memory; a null pointer means all 0. */
typedef struct kovan_open_options {
    uint32_t wedge_order; /* 0: wedges keep FRD node order; 1: turned to VTK orientation */
    uint32_t reserved;    /* flags: KOVAN_OPEN_* or 0; any other bit is refused (the field keeps
                             its first name, so that callers built before the flags still build) */
} kovan_open_options;

/* Flags of kovan_open_options.reserved. */
enum {
    /* A point that a result block gives no value (a block the solver wrote
       for a node set only) reads NaN instead of 0.0, in the block's array and
       in the arrays derived from it. */
    KOVAN_OPEN_MISSING_AS_NAN = 1,
    /* Steps are numbered in the order the file first names them, not by
       time (a cyclic model's nodal diameters one after the other). */
    KOVAN_OPEN_FILE_ORDER = 2
};

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
    KOVAN_DIAG_INCOMPLETE_BLOCK = 3, /* the text ends inside this block: the file may still be being
                                        written. A result block is left out of its step; a node or
                                        element block keeps the records read before the end. */
    KOVAN_DIAG_NOT_FRD = 4           /* no line of the text is an FRD record or block line: the
                                        document opens, empty, with this one diagnostic (element_type
                                        0, line 1, expected -1, found 0). An empty text has none. */
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

/* Bytes a document reads through the caller's own functions (remote
 * storage, a browser's File, a Python file object): kovan_open_source. The
 * document keeps reading through them after it is opened, whenever a step
 * is decoded, so context must stay valid until release is called. */
typedef struct kovan_source {
    /* Copies up to count bytes at offset into buffer and returns how many it
     * copied, or -1 when they cannot be read; it is asked again for the rest
     * until it copies nothing, which marks the end of the bytes. Called from
     * any thread that queries a document of this source, and from several
     * at once. */
    int64_t (*read_at)(void* context, uint64_t offset, void* buffer, uint64_t count);
    /* The bytes' size now: called when a document is opened, reopened, and
     * before a step is decoded (a size below the one opened means the bytes
     * changed). */
    uint64_t (*size)(void* context);
    /* Called once, when the last document reading through the source is
     * closed (or when opening it fails); may be null. */
    void (*release)(void* context);
    void* context;
} kovan_source;

/* What the file says of a step: its first result block's "100C" line and
 * the "1P" records before that line. A field whose flag (KOVAN_STEP_HAS_*)
 * is not set was not stated, and holds 0 (NaN for the reals). */
enum {
    KOVAN_STEP_HAS_SET_NUMBER = 1,            /* set_number */
    KOVAN_STEP_HAS_STEP = 2,                  /* data_set, increment, step ("1PSTEP") */
    KOVAN_STEP_HAS_MODE = 4,                  /* mode ("1PMODE") */
    KOVAN_STEP_HAS_NODAL_DIAMETER = 8,        /* nodal_diameter ("1PHID"; CalculiX writes -1 for a
                                                 model without cyclic symmetry) */
    KOVAN_STEP_HAS_GENERALISED_MASS = 16,     /* generalised_mass ("1PGM") */
    KOVAN_STEP_HAS_GENERALISED_STIFFNESS = 32 /* generalised_stiffness ("1PGK") */
};

typedef struct kovan_step_info {
    double value;                 /* the step's time, frequency or factor, as kovan_step_time */
    double generalised_mass;
    double generalised_stiffness;
    int64_t set_number;           /* the "100C" line's set number */
    int64_t data_set;             /* "1PSTEP": the solver's count of data sets, */
    int64_t increment;            /* the increment */
    int64_t step;                 /* and the step */
    int64_t mode;
    int64_t nodal_diameter;
    uint64_t file_index;          /* the step's place among the steps in file order, from 0 */
    int32_t analysis;             /* the "100C" line's analysis type: 0 static, 1 time step,
                                     2 frequency, 3 load step, 4 user; -1 when it states none */
    uint32_t flags;               /* KOVAN_STEP_HAS_* */
    const char* value_text;       /* the value as the "100C" line writes it */
    const char* analysis_text;    /* the analysis name the line writes ("MODAL"), or "" */
} kovan_step_info;

typedef struct kovan_document kovan_document;
typedef struct kovan_writer kovan_writer;

/* ---- introspection and errors ---- */

/* Returns KOVAN_ABI_VERSION (3). A binding checks it, and the record sizes
 * below, before any other call. */
KOVAN_API int32_t kovan_abi_version(void);
/* Size in bytes of the record of the given kind (KOVAN_STRUCT_*): 8, 24, 32,
 * four pointers' for the source record (32 on 64-bit platforms, 16 in
 * WebAssembly), and 88 and two pointers' for the step record (104, 96); 0
 * for an unknown kind. */
KOVAN_API uint64_t kovan_struct_size(int32_t kind);
/* Fixed English message of a status; "unknown status" for other values. The text is static. */
KOVAN_API const char* kovan_status_message(kovan_status status);
/* Last failure text of the calling thread for a null handle; of the
 * document (its last step that failed to decode) otherwise; "" when none was
 * set. Never null. A thread's text stays valid until that thread's next
 * failure. A document's text is always the whole text of one of its
 * failures, even while other threads fail on it, and stays valid until
 * kovan_close. */
KOVAN_API const char* kovan_last_error(const kovan_document* doc);
/* What a VTK cell type that kovan makes is, for people: "8-node hexahedron
 * (CalculiX type 1)"; "" for any other value. The text is static. */
KOVAN_API const char* kovan_cell_type_description(int32_t vtk_type);
/* What a diagnostic kind (KOVAN_DIAG_*) means, for people: "element with too
 * few node numbers, dropped"; "" for any other value. The text is static. */
KOVAN_API const char* kovan_diagnostic_description(int32_t kind);

/* ---- documents ---- */

/* Opens the FRD file at a UTF-8 path; the caller owns *doc until
 * kovan_close. The document reads the file where it lies, never holding
 * all of it: the mesh and the step index are read when it is opened, a
 * step's blocks when the step is decoded, so the file stays open (and on
 * Windows may still be written, renamed or deleted meanwhile). A file that
 * changed since it was opened (other than by growing) fails the decoding of
 * a step with KOVAN_ERR_IO, never giving values from other bytes. Only
 * regular files are read: a directory, a device or a pipe is refused before
 * anything reads or waits on it.
 * Returns KOVAN_OK; KOVAN_ERR_ARG (null path or doc); KOVAN_ERR_IO ("the
 * file could not be opened for reading", "the path names a directory,
 * device or pipe, not a regular file", "the file could not be read to the
 * end"); KOVAN_ERR_PARSE (a binary node or element block that cannot be
 * walked). A damaged or unfinished file otherwise opens, with what could be
 * read and its diagnostics. */
KOVAN_API kovan_status kovan_open(const char* path, kovan_document** doc);
/* As kovan_open, with options (null: all 0); KOVAN_ERR_ARG also for
 * wedge_order above 1 or a bit of reserved that is no KOVAN_OPEN_* flag. */
KOVAN_API kovan_status kovan_open_ex(const char* path, const kovan_open_options* options,
                                     kovan_document** doc);
/* Opens an FRD text held in memory; the bytes are copied before the call
 * returns. As kovan_open_ex, without KOVAN_ERR_IO; KOVAN_ERR_ARG also for
 * null data with a size above 0. */
KOVAN_API kovan_status kovan_open_memory(const void* data, uint64_t size,
                                         const kovan_open_options* options,
                                         kovan_document** doc);
/* Opens an FRD text read through the caller's functions (kovan_source);
 * the record is copied, the functions are kept. As kovan_open_ex;
 * KOVAN_ERR_ARG also for a null source, read_at or size; KOVAN_ERR_IO when
 * read_at fails ("the bytes could not be read": nothing is handed out).
 * The source's release is called once: when the last document reading
 * through it is closed (documents made by kovan_reopen share it), or before
 * this call returns when it fails with any status but KOVAN_ERR_ARG. */
KOVAN_API kovan_status kovan_open_source(const kovan_source* source, const kovan_open_options* options,
                                         kovan_document** doc);
/* A new document of what the document's source holds now: its file as it
 * is on disk (opened again by its path), the same bytes for a document
 * opened from memory, what a caller's source reads up to its size now. When
 * the bytes the old document indexed are unchanged (a file that only grew,
 * such as a running solver's), only what follows them is read, and the new
 * document shares the old one's mesh; otherwise the source is read anew.
 * A block that the end of the old text cut off is read again whole. The old
 * document stays valid and unchanged; the caller owns *out until
 * kovan_close. Returns as kovan_open_ex (KOVAN_ERR_ARG for a null doc or
 * out). */
KOVAN_API kovan_status kovan_reopen(const kovan_document* doc, kovan_document** out);
/* Destroys the document and everything it handed out; null is ignored. */
KOVAN_API void kovan_close(kovan_document* doc);

/* ---- mesh, steps and diagnostics (no locking) ----
 * Fixed when the document is opened: any thread may read them at any time. */

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
/* Time of a step; steps are numbered from 0 in ascending order of time (NaN
 * times last, steps of one time in file order), or in file order with
 * KOVAN_OPEN_FILE_ORDER. Returns KOVAN_OK; KOVAN_ERR_ARG (null doc or time);
 * KOVAN_ERR_RANGE (step not below kovan_n_steps). */
KOVAN_API kovan_status kovan_step_time(const kovan_document* doc, uint64_t step, double* time);
/* Copies what the file says of a step into *out; its texts are owned by the
 * document. Returns KOVAN_OK; KOVAN_ERR_ARG (null doc or out);
 * KOVAN_ERR_RANGE (step not below kovan_n_steps). */
KOVAN_API kovan_status kovan_step_info_at(const kovan_document* doc, uint64_t step, kovan_step_info* out);
/* The group and the material number each element record states, per cell
 * (0 where the record gives none that reads, or one beyond 32 bits); owned
 * by the document. */
KOVAN_API const int32_t* kovan_cell_groups(const kovan_document* doc);
KOVAN_API const int32_t* kovan_cell_materials(const kovan_document* doc);
/* The materials the file names ("1UMAT" records), in file order. */
KOVAN_API uint64_t kovan_n_materials(const kovan_document* doc);
/* Number and name of one material; the name is owned by the document.
 * Returns KOVAN_OK; KOVAN_ERR_ARG (null doc, number or name);
 * KOVAN_ERR_RANGE (index not below kovan_n_materials). */
KOVAN_API kovan_status kovan_material_at(const kovan_document* doc, uint64_t index, int64_t* number,
                                         const char** name);
/* The user header records ("1U": USER, DATE, PGM, VERSION, MAT, ...), in
 * file order. */
KOVAN_API uint64_t kovan_n_header_records(const kovan_document* doc);
/* Key ("DATE"; "" for the model's heading, whose text is the value) and
 * value ("08.december.2026", blanks around it removed) of one header
 * record, owned by the document. Returns KOVAN_OK; KOVAN_ERR_ARG
 * (null doc, key or value); KOVAN_ERR_RANGE (index not below
 * kovan_n_header_records). */
KOVAN_API kovan_status kovan_header_record_at(const kovan_document* doc, uint64_t index, const char** key,
                                              const char** value);
/* Number of steps whose results have been decoded so far, each counted once
 * however often it is released and decoded again. */
KOVAN_API uint64_t kovan_steps_parsed(const kovan_document* doc);
KOVAN_API uint64_t kovan_n_diagnostics(const kovan_document* doc);
/* Copies one diagnostic record into *out. Returns KOVAN_OK; KOVAN_ERR_ARG
 * (null doc or out); KOVAN_ERR_RANGE (index not below kovan_n_diagnostics). */
KOVAN_API kovan_status kovan_diagnostic_at(const kovan_document* doc, uint64_t index,
                                           kovan_diagnostic* out);

/* ---- result arrays ----
 * The first query of a step decodes it, once, whichever thread asks and
 * whether it succeeds or not; every later query answers from that outcome,
 * until the step is released. A step whose bytes could not be read, or
 * changed since the document was opened, answers KOVAN_ERR_IO, and is
 * tried again by the next query.
 * The four status-returning queries return KOVAN_OK; KOVAN_ERR_ARG (null doc
 * or output); KOVAN_ERR_RANGE (step not below kovan_n_steps, or an array
 * index or range beyond the step's arrays); KOVAN_ERR_COMPONENTS (the step
 * failed to decode, now or before: its text says why, again on every query
 * of the step, and stays with the document too). */

/* Number of arrays of a step, derived arrays included. */
KOVAN_API kovan_status kovan_n_arrays(kovan_document* doc, uint64_t step, uint64_t* count);
/* Describes one array; the name is owned by the document. */
KOVAN_API kovan_status kovan_array_info_at(kovan_document* doc, uint64_t step, uint64_t index,
                                           kovan_array_info* record);
/* Describes arrays first .. first + count - 1 into records[0 .. count - 1];
 * records may be null when count is 0. */
KOVAN_API kovan_status kovan_array_info_range(kovan_document* doc, uint64_t step, uint64_t first,
                                              uint64_t count, kovan_array_info* records);
/* Index of the first array of exactly this name (byte for byte,
 * case-sensitive), or -1. -1 means any of: the name is not in the step (no
 * text is set), or a failure (a null doc or name, a step out of range, a
 * step that failed to decode, out of memory), which leaves its text as a
 * failed status would. kovan_n_arrays tells these apart. */
KOVAN_API int64_t kovan_find_array(kovan_document* doc, uint64_t step, const char* name);
/* Points *values at n_tuples * n_components doubles, point-major (component
 * k of point p at p * n_components + k, points in kovan_node_ids order),
 * owned by the document and unchanged until the step is released or the
 * document closed; null on every failure after the argument check, and
 * null for an array of no points. */
KOVAN_API kovan_status kovan_array_data(kovan_document* doc, uint64_t step, uint64_t index,
                                        const double** values);
/* The name of one component of an array: as the block's "-5" lines name
 * it ("COPEN", "SXX"), or for a block whose lines give no name per
 * component kovan's own (X, Y, Z; XX, YY, ZZ, XY, YZ, XZ; "value"; 1, 2,
 * ...); a derived array's one component is what it is ("Mises", "PS1").
 * Owned by the document, valid as the array's name. Returns as
 * kovan_array_info_at; KOVAN_ERR_RANGE also for a component not below the
 * array's count. */
KOVAN_API kovan_status kovan_array_component_name(kovan_document* doc, uint64_t step, uint64_t index,
                                                  uint32_t component, const char** name);
/* How many of the array's points the file gives a value; the others read
 * 0.0, or NaN with KOVAN_OPEN_MISSING_AS_NAN. A derived array counts as the
 * tensor it is derived from. Returns as kovan_array_info_at. */
KOVAN_API kovan_status kovan_array_points_with_values(kovan_document* doc, uint64_t step, uint64_t index,
                                                      uint64_t* count);
/* The arrays a step will have, told without decoding it (what a reader lists
 * before it reads values): one per distinct block name, in the order
 * kovan_array_info_at gives them, derived arrays included. A block's
 * component count is what it stores (binary) or what its "-5" lines name
 * (ASCII; 0 where they name none): a step whose records hold another count
 * decodes otherwise. Names are owned by the document until kovan_close.
 * Returns KOVAN_OK; KOVAN_ERR_ARG (null doc or output); KOVAN_ERR_RANGE
 * (step, index or component out of range). */
KOVAN_API kovan_status kovan_n_planned_arrays(kovan_document* doc, uint64_t step, uint64_t* count);
KOVAN_API kovan_status kovan_planned_array_at(kovan_document* doc, uint64_t step, uint64_t index,
                                              kovan_array_info* record);
KOVAN_API kovan_status kovan_planned_component_name(kovan_document* doc, uint64_t step, uint64_t index,
                                                    uint32_t component, const char** name);
/* Lets a decoded step go: its arrays and names are freed, and every pointer
 * the array queries gave for it is invalid from now on; a later query
 * decodes it again (from memory freed by released steps, where sizes allow).
 * Releasing a step that is not decoded does nothing. Releasing a step while
 * another thread decodes it is safe (the release waits for that decode);
 * releasing one whose arrays another thread is still reading, or while
 * another thread is between a query of it and the use of its answer, is
 * the caller's error. Returns KOVAN_OK; KOVAN_ERR_ARG (null doc);
 * KOVAN_ERR_RANGE (step not below kovan_n_steps). */
KOVAN_API kovan_status kovan_release_step(kovan_document* doc, uint64_t step);

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
 * caller owns it and releases it with kovan_free. Returns KOVAN_OK;
 * KOVAN_ERR_ARG (null data, out or out_size, or format outside -1 .. 3; out
 * and out_size untouched); KOVAN_ERR_PARSE (the text cannot be read into
 * blocks, or a block cannot be carried by the format without loss). */
KOVAN_API kovan_status kovan_rewrite_memory(const void* data, uint64_t size, int32_t format, char** out,
                                            uint64_t* out_size);
/* Releases a buffer returned by kovan_rewrite_memory or kovan_writer_finish; null is ignored. */
KOVAN_API void kovan_free(void* buffer);

/* ---- writing ----
 * A writer is used by one thread at a time. The calls come in this order:
 * kovan_writer_set_nodes, then kovan_writer_set_cells, then per step
 * kovan_writer_begin_step and any number of kovan_writer_add_array, and
 * kovan_writer_finish once; then kovan_writer_free. After kovan_writer_finish
 * (successful or not) every call but kovan_writer_free returns KOVAN_ERR_ARG.
 * Every writer call returns KOVAN_ERR_ARG for a null writer, a finished one
 * or a missing required pointer. */

/* A new Writer of the given format (KOVAN_FORMAT_ASCII_SHORT .. _BINARY_DOUBLE),
 * or null, with the thread's text, for another value or when it cannot be
 * allocated. The caller owns it until kovan_writer_free. */
KOVAN_API kovan_writer* kovan_writer_new(uint32_t format);
/* Destroys the Writer; null is ignored. Buffers it returned stay the caller's. */
KOVAN_API void kovan_writer_free(kovan_writer* writer);
/* The mesh's points: 3 * n_points doubles, x, y, z each; node_ids, n_points
 * numbers, may be null (then 1, 2, 3, ...). The data is copied; a later call
 * replaces it. KOVAN_ERR_ARG also for null points with n_points above 0;
 * KOVAN_ERR_PARSE for node numbers FRD cannot hold. */
KOVAN_API kovan_status kovan_writer_set_nodes(kovan_writer* writer, uint64_t n_points, const int64_t* node_ids,
                                              const double* points);
/* The cells in VTK terms: n_cells types, n_cells + 1 offsets, connectivity as
 * indices of the points of the last kovan_writer_set_nodes; cell_ids may be
 * null (then 1, 2, 3, ...). wedge_order 1 takes wedges in VTK's orientation.
 * The data is copied; a later call replaces it. KOVAN_ERR_ARG also for a null
 * array with n_cells above 0 or wedge_order above 1; KOVAN_ERR_PARSE for a
 * type without a CalculiX element, a cell with the wrong number of points,
 * or a point index outside the mesh. */
KOVAN_API kovan_status kovan_writer_set_cells(kovan_writer* writer, uint64_t n_cells, const uint8_t* cell_types,
                                              const int64_t* cell_offsets, const int64_t* cell_connectivity,
                                              const int64_t* cell_ids, uint32_t wedge_order);
/* Sets the step number and time of the arrays added after it; any values. */
KOVAN_API kovan_status kovan_writer_begin_step(kovan_writer* writer, int32_t step_number, double time);
/* Adds one array to the current step. values holds n_points * n_components
 * doubles, point-major, where n_points is that of the last
 * kovan_writer_set_nodes: the library reads exactly that many, so a shorter
 * buffer is the caller's error. component_names is null or holds n_components
 * entries, each null (a generated name) or a text; type_code 0 chooses by the
 * component count. The data is copied. KOVAN_ERR_ARG also for a null name
 * or values, n_components 0, no kovan_writer_begin_step yet, or a name that
 * is empty or holds a blank, tab, line feed or carriage return. */
KOVAN_API kovan_status kovan_writer_add_array(kovan_writer* writer, const char* name, uint32_t n_components,
                                              const char* const* component_names, uint32_t type_code,
                                              const double* values);
/* Finishes the Writer (once) and hands the whole file to the caller in *out,
 * *out_size bytes plus a NUL byte; release it with kovan_free. KOVAN_ERR_ARG
 * (null out or out_size: the writer stays open; a second call: out and
 * out_size untouched); KOVAN_ERR_NOMEM when the buffer cannot be allocated
 * (the writer is finished all the same). */
KOVAN_API kovan_status kovan_writer_finish(kovan_writer* writer, char** out, uint64_t* out_size);

#ifdef __cplusplus
} /* extern "C" */

static_assert(sizeof(kovan_open_options) == 8, "kovan_open_options is 8 bytes");
static_assert(sizeof(kovan_array_info) == 24, "kovan_array_info is 24 bytes");
static_assert(sizeof(kovan_diagnostic) == 32, "kovan_diagnostic is 32 bytes");
static_assert(sizeof(kovan_source) == 4 * sizeof(void*), "kovan_source is four pointers");
#else
_Static_assert(sizeof(kovan_open_options) == 8, "kovan_open_options is 8 bytes");
_Static_assert(sizeof(kovan_array_info) == 24, "kovan_array_info is 24 bytes");
_Static_assert(sizeof(kovan_diagnostic) == 32, "kovan_diagnostic is 32 bytes");
_Static_assert(sizeof(kovan_source) == 4 * sizeof(void*), "kovan_source is four pointers");
#endif

#endif /* KOVAN_H */
