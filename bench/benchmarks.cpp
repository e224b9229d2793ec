// kovan's speed beside the floors this machine sets: for ASCII, splitting
// the records and converting every number with fast_float; for binary,
// copying every record's values out; for writing, the fastest exact field
// formatting found (std::to_chars) beside snprintf.
//
// Input: the files KOVAN_BENCH_DIR/<encoding>.frd that frd_generate wrote
// (bench/run.sh), or else KOVAN_BENCH_MB (default 20) generated in memory.
#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "blocks/field_format.h"
#include "document/document.h"
#include "frd/line_cursor.h"
#include "frd/little_endian.h"
#include "document/parse_driver.h"
#include "frd/standard_columns.h"
#include "frd_generator.h"
#include "kovan.h"
#include "results/derived_quantities.h"
#include "results/step_decoder.h"

using kovan_bench::Encoding;

namespace {

uint64_t input_bytes() {
    const char* mb = std::getenv("KOVAN_BENCH_MB");
    return static_cast<uint64_t>((mb ? std::atof(mb) : 20.0) * 1e6);
}

// Counts as frd_generate printed them beside the file: "N nodes, E elements, S steps".
kovan_bench::Generated read_generated(const std::string& path) {
    kovan_bench::Generated file;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return file;
    std::fseek(in, 0, SEEK_END);
    file.text.resize(static_cast<size_t>(std::ftell(in)));
    std::rewind(in);
    if (std::fread(&file.text[0], 1, file.text.size(), in) != file.text.size()) file.text.clear();
    std::fclose(in);
    kovan_document* doc = nullptr;
    if (kovan_open_memory(file.text.data(), file.text.size(), nullptr, &doc) == KOVAN_OK) {
        file.nodes = kovan_n_points(doc);
        file.elements = kovan_n_cells(doc);
        file.steps = kovan_n_steps(doc);
    }
    kovan_close(doc);
    return file;
}

const kovan_bench::Generated& input(Encoding encoding) {
    static std::map<Encoding, kovan_bench::Generated> files;
    auto it = files.find(encoding);
    if (it != files.end()) return it->second;
    const char* dir = std::getenv("KOVAN_BENCH_DIR");
    kovan_bench::Generated file = dir ? read_generated(std::string(dir) + "/" + kovan_bench::encoding_name(encoding) + ".frd")
                                      : kovan_bench::generate(input_bytes(), encoding);
    return files.emplace(encoding, std::move(file)).first->second;
}

void report(benchmark::State& state, uint64_t bytes, uint64_t values) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["values/s"] = benchmark::Counter(double(values) * double(state.iterations()), benchmark::Counter::kIsRate);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}

uint64_t result_values(const kovan_bench::Generated& file) { return file.steps * file.nodes * 9; }

// The file of an encoding on disk: KOVAN_BENCH_DIR's, or the generated text
// written once to the system's temporary folder.
std::string input_path(Encoding encoding) {
    const char* dir = std::getenv("KOVAN_BENCH_DIR");
    if (dir != nullptr) return std::string(dir) + "/" + kovan_bench::encoding_name(encoding) + ".frd";
    static std::map<Encoding, std::string> written;
    auto it = written.find(encoding);
    if (it != written.end()) return it->second;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kovan-bench-" + std::string(kovan_bench::encoding_name(encoding)) + ".frd")).string();
    std::ofstream(path, std::ios::binary) << input(encoding).text;
    return written.emplace(encoding, path).first->second;
}

// ---- reading ----

// Opening a file by its path: the mesh and the step index, read from the
// file a window at a time (the page cache holds it, as after a first read).
void BM_OpenPath(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    const std::string path = input_path(encoding);
    for (auto _ : state) {
        kovan_document* doc = nullptr;
        if (kovan_open(path.c_str(), &doc) != KOVAN_OK) state.SkipWithError("open");
        benchmark::DoNotOptimize(kovan_n_points(doc));
        kovan_close(doc);
    }
    report(state, file.text.size(), file.nodes * 3);
}

// What a viewer does: the file opened by its path, then every step shown
// (decoded with its derived arrays, one value read) and let go, one after
// another on one thread; after the first, each step's arrays take the
// memory the step before gave back.
void BM_StepThrough(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    const std::string path = input_path(encoding);
    for (auto _ : state) {
        kovan_document* doc = nullptr;
        if (kovan_open(path.c_str(), &doc) != KOVAN_OK) state.SkipWithError("open");
        for (uint64_t s = 0; s < kovan_n_steps(doc); ++s) {
            const double* values = nullptr;
            if (kovan_array_data(doc, s, 0, &values) == KOVAN_OK && values != nullptr) benchmark::DoNotOptimize(values[0]);
            kovan_release_step(doc, s);
        }
        state.PauseTiming();
        kovan_close(doc);
        state.ResumeTiming();
    }
    report(state, file.text.size(), result_values(file));
}

// A file that grew by 1 % since its document was opened (a running solver's),
// opened again from that document: the bytes it gained are read, and the
// marks of the blocks it held.
void BM_Reopen(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kovan-bench-grown-" + std::string(kovan_bench::encoding_name(encoding)) + ".frd")).string();
    const size_t before = file.text.size() - file.text.size() / 100;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(file.text.data(), static_cast<std::streamsize>(before));
    kovan_document* old = nullptr;
    if (kovan_open(path.c_str(), &old) != KOVAN_OK) state.SkipWithError("open");
    std::ofstream(path, std::ios::binary | std::ios::app)
        .write(file.text.data() + before, static_cast<std::streamsize>(file.text.size() - before));
    for (auto _ : state) {
        kovan_document* grown = nullptr;
        if (kovan_reopen(old, &grown) != KOVAN_OK) state.SkipWithError("reopen");
        benchmark::DoNotOptimize(kovan_n_steps(grown));
        state.PauseTiming();
        kovan_close(grown);
        state.ResumeTiming();
    }
    kovan_close(old);
    std::filesystem::remove(path);
    report(state, file.text.size() - before, 0);
}

void BM_Open(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        kovan_document* doc = nullptr;
        if (kovan_open_memory(file.text.data(), file.text.size(), nullptr, &doc) != KOVAN_OK) state.SkipWithError("open");
        benchmark::DoNotOptimize(kovan_n_points(doc));
        kovan_close(doc);
    }
    report(state, file.text.size(), file.nodes * 3);
}

// The copy of the caller's bytes that kovan_open_memory makes, alone.
void BM_FloorCopy(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        std::string copy = file.text;
        benchmark::DoNotOptimize(copy.data());
    }
    report(state, file.text.size(), 0);
}

// A Document that holds its text already, as the floors' text is already
// in memory: the copy is made with the clock stopped.
std::unique_ptr<kovan::Document> document_holding(benchmark::State& state, const std::string& text) {
    state.PauseTiming();
    auto doc = std::make_unique<kovan::Document>();
    doc->source = kovan::memory_source(text);
    doc->size = text.size();
    state.ResumeTiming();
    return doc;
}

// Opening without the copy: mesh and step index from text in memory.
void BM_Parse(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        auto doc = document_holding(state, file.text);
        if (kovan::parse_document(*doc) != KOVAN_OK) state.SkipWithError("parse");
        benchmark::DoNotOptimize(doc->mesh->points.data());
        state.PauseTiming();  // freeing the text is not part of reading it
        doc.reset();
        state.ResumeTiming();
    }
    report(state, file.text.size(), file.nodes * 3);
}

void BM_OpenDecode(benchmark::State& state, Encoding encoding, bool derived) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        auto holder = document_holding(state, file.text);
        kovan::Document& doc = *holder;
        if (kovan::parse_document(doc) != KOVAN_OK) state.SkipWithError("parse");
        for (uint64_t s = 0; s < doc.steps.size(); ++s) {
            kovan::StepResults results;
            kovan::decode_step(doc, s, results, derived);
            benchmark::DoNotOptimize(results.arrays.data());
        }
        state.PauseTiming();
        holder.reset();
        state.ResumeTiming();
    }
    report(state, file.text.size(), result_values(file));
}

// Documents opened and decoded on as many threads at once, each its own
// document: with two, the time beside one alone shows what they share.
void BM_OpenDecodeThreads(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    const auto threads = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<kovan::Document>> docs;
        for (size_t t = 0; t < threads; ++t) {
            docs.push_back(std::make_unique<kovan::Document>());
            docs.back()->source = kovan::memory_source(file.text);
            docs.back()->size = file.text.size();
        }
        state.ResumeTiming();
        std::vector<std::thread> workers;
        for (size_t t = 0; t < threads; ++t) {
            workers.emplace_back([&doc = *docs[t]] {
                kovan::parse_document(doc);
                for (uint64_t s = 0; s < doc.steps.size(); ++s) {
                    kovan::StepResults results;
                    kovan::decode_step(doc, s, results, false);
                    benchmark::DoNotOptimize(results.arrays.data());
                }
            });
        }
        for (std::thread& worker : workers) worker.join();
        state.PauseTiming();
        docs.clear();
        state.ResumeTiming();
    }
    report(state, file.text.size() * threads, result_values(file) * threads);
}

// Every step of an open document decoded through the C interface, derived
// arrays included, by `threads` threads that take the steps in turn: kovan
// decodes different steps of one document at the same time.
void decode_every_step(kovan_document* doc, size_t threads) {
    std::atomic<uint64_t> next{0};
    const uint64_t n_steps = kovan_n_steps(doc);
    const auto work = [&] {
        uint64_t n = 0;
        for (uint64_t s; (s = next.fetch_add(1)) < n_steps;) kovan_n_arrays(doc, s, &n);
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
}

// What a caller of the C interface pays: kovan_open_memory (its copy
// included), then every step.
void BM_CApiOpenDecode(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        kovan_document* doc = nullptr;
        if (kovan_open_memory(file.text.data(), file.text.size(), nullptr, &doc) != KOVAN_OK) state.SkipWithError("open");
        decode_every_step(doc, static_cast<size_t>(state.range(0)));
        state.PauseTiming();
        kovan_close(doc);
        state.ResumeTiming();
    }
    report(state, file.text.size(), result_values(file));
}

// Decoding alone: the document is opened with the clock stopped.
void BM_DecodeSteps(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        state.PauseTiming();
        kovan_document* doc = nullptr;
        if (kovan_open_memory(file.text.data(), file.text.size(), nullptr, &doc) != KOVAN_OK) state.SkipWithError("open");
        state.ResumeTiming();
        decode_every_step(doc, static_cast<size_t>(state.range(0)));
        state.PauseTiming();
        kovan_close(doc);
        state.ResumeTiming();
    }
    report(state, file.text.size(), result_values(file));
}

// The speed of the machine over the same text: its lines found with memchr.
void BM_FloorMemchr(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        uint64_t lines = 0;
        const char* at = file.text.data();
        const char* end = at + file.text.size();
        while (const void* found = std::memchr(at, '\n', static_cast<size_t>(end - at))) {
            at = static_cast<const char*>(found) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    report(state, file.text.size(), 0);
}

double split_and_convert(const std::string& text);

// The ASCII floor on as many threads at once, each over its own copy of the
// text: how far this machine itself lets two threads run side by side.
void BM_FloorAsciiThreads(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    const auto threads = static_cast<size_t>(state.range(0));
    const std::vector<std::string> texts(threads, file.text);
    for (auto _ : state) {
        std::vector<std::thread> workers;
        for (size_t t = 0; t < threads; ++t) {
            workers.emplace_back([&text = texts[t]] { benchmark::DoNotOptimize(split_and_convert(text)); });
        }
        for (std::thread& worker : workers) worker.join();
    }
    report(state, file.text.size() * threads, result_values(file) * threads);
}

// The floor for ASCII: every record line split into tokens and every number
// converted, nothing kept.
double split_and_convert(const std::string& text) {
    double sum = 0.0;
    kovan::LineCursor cursor = kovan::make_cursor(text);
    std::string_view line;
    while (kovan::next_line(cursor, line)) {
        std::string_view rest = line;
        for (std::string_view token = kovan::next_token(rest); !token.empty(); token = kovan::next_token(rest)) {
            double v = 0.0;
            fast_float::from_chars(token.data(), token.data() + token.size(), v);
            sum += v;
        }
    }
    return sum;
}

void BM_FloorAscii(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    for (auto _ : state) {
        benchmark::DoNotOptimize(split_and_convert(file.text));
    }
    report(state, file.text.size(), result_values(file));
}

// The floor for binary: every record's values copied out of the text.
void BM_FloorBinary(benchmark::State& state, Encoding encoding) {
    const auto& file = input(encoding);
    kovan::Document located;
    located.source = kovan::memory_source(file.text);
    located.size = file.text.size();
    kovan::parse_document(located);
    const std::string& copy = file.text;
    for (auto _ : state) {
        std::vector<double> out;
        for (const auto& step : located.steps) {
            for (const auto& block : step.blocks) {
                const uint64_t real = block.format == 3 ? 8 : 4, record = 4 + real * uint64_t(block.components);
                out.resize((block.end - block.begin) / record * uint64_t(block.components));
                double* to = out.data();
                for (uint64_t at = block.begin; at + record <= block.end; at += record) {
                    for (int k = 0; k < block.components; ++k) {
                        const char* p = copy.data() + at + 4 + real * uint64_t(k);
                        *to++ = real == 8 ? kovan::load_f64_le(p) : kovan::load_f32_le(p);
                    }
                }
                benchmark::DoNotOptimize(out.data());
            }
        }
    }
    report(state, file.text.size(), result_values(file));
}

// The values a file holds, decoded once: what a writer of it has to format.
struct FileValues {
    std::vector<int64_t> ids;
    std::vector<double> points;
    std::vector<std::vector<double>> arrays;  // stored components only, point-major
};

FileValues values_of(const std::string& text) {
    FileValues out;
    kovan::Document doc;
    doc.source = kovan::memory_source(text);
    doc.size = text.size();
    kovan::parse_document(doc);
    out.ids = doc.mesh->node_ids;
    out.points = doc.mesh->points;
    for (uint64_t s = 0; s < doc.steps.size(); ++s) {
        kovan::StepResults results;
        kovan::decode_step(doc, s, results, false);
        for (auto& array : results.arrays) out.arrays.push_back(std::move(array.values));
    }
    return out;
}

// The floor for writing ASCII: every node id and value of the file as its
// "%10d" and "%12.5E" field, by the fastest exact method found (the
// library's field writer; see BM_FloorFormat), one line per record.
void BM_FloorWriteAscii(benchmark::State& state, Encoding encoding) {
    const FileValues values = values_of(input(encoding).text);
    const uint64_t n = values.ids.size();
    size_t size = 0;
    for (auto _ : state) {
        kovan::OutputText out;
        auto record = [&](int64_t id, const double* v, size_t count) {
            out.append(" -1");
            kovan::append_integer(out, id, 10);
            for (size_t k = 0; k < count; ++k) kovan::append_real(out, v[k], false);
            out.push_back('\n');
        };
        for (uint64_t p = 0; p < n; ++p) record(values.ids[p], &values.points[3 * p], 3);
        for (const auto& array : values.arrays) {
            const size_t c = array.size() / std::max<uint64_t>(n, 1);
            for (uint64_t p = 0; p < n; ++p) record(values.ids[p], &array[c * p], c);
        }
        benchmark::DoNotOptimize(out.data);
        size = out.size;
    }
    state.counters["out_MB"] = double(size) / 1e6;
}

// The floor for writing binary floats: every node id and value stored.
void BM_FloorWriteBinary(benchmark::State& state, Encoding encoding) {
    const FileValues values = values_of(input(encoding).text);
    const uint64_t n = values.ids.size();
    std::vector<char> out;
    for (auto _ : state) {
        out = std::vector<char>();
        auto record = [&](int64_t id, const double* v, size_t count) {
            const auto id32 = static_cast<int32_t>(id);
            const size_t at = out.size();
            out.resize(at + 4 + 4 * count);
            std::memcpy(&out[at], &id32, 4);
            for (size_t k = 0; k < count; ++k) {
                const auto f = static_cast<float>(v[k]);
                std::memcpy(&out[at + 4 + 4 * k], &f, 4);
            }
        };
        for (uint64_t p = 0; p < n; ++p) record(values.ids[p], &values.points[3 * p], 3);
        for (const auto& array : values.arrays) {
            const size_t c = array.size() / std::max<uint64_t>(n, 1);
            for (uint64_t p = 0; p < n; ++p) record(values.ids[p], &array[c * p], c);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["out_MB"] = double(out.size()) / 1e6;
}

// ---- derived quantities ----

void BM_Derived(benchmark::State& state) {
    const size_t points = 1 << 18;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-500, 500);
    std::vector<kovan::ResultArray> arrays(1);
    arrays[0].name = "STRESS";
    arrays[0].n_components = 6;
    arrays[0].values.resize(6 * points);
    for (double& v : arrays[0].values) v = value(random);
    for (auto _ : state) {
        state.PauseTiming();  // the tensor as decoding leaves it
        std::vector<kovan::ResultArray> work(arrays.begin(), arrays.end());
        state.ResumeTiming();
        kovan::append_derived_quantities(kovan::TensorKind::kStress, work);
        benchmark::DoNotOptimize(work.back().values.data());
    }
    state.counters["ns/point"] = benchmark::Counter(double(points) * double(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// ---- standard columns ----

// Records of six standard-column reals, read into reused memory: the column
// reader alone.
void BM_StandardColumns(benchmark::State& state) {
    const size_t records = 1 << 18;
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    std::vector<std::string> lines(records);
    char field[32];
    for (std::string& line : lines) {
        for (int k = 0; k < 6; ++k) {
            std::snprintf(field, sizeof field, "%12.5E", value(random));
            line += field;
        }
    }
    std::vector<double> values;
    values.reserve(6 * records);
    for (auto _ : state) {
        values.clear();
        for (const std::string& line : lines) kovan::read_standard_reals(line, values);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(records) * 72);
}

// ---- re-encoding and writing ----

void BM_Rewrite(benchmark::State& state, Encoding from, int32_t to) {
    const auto& file = input(from);
    uint64_t out_size = 0;
    for (auto _ : state) {
        char* out = nullptr;
        if (kovan_rewrite_memory(file.text.data(), file.text.size(), to, &out, &out_size) != KOVAN_OK) {
            state.SkipWithError(kovan_last_error(nullptr));
        }
        kovan_free(out);
    }
    report(state, file.text.size(), result_values(file));
    state.counters["out_MB"] = double(out_size) / 1e6;
}

void BM_WriterFinish(benchmark::State& state, uint32_t format) {
    const auto& file = input(Encoding::kAsciiLong);
    kovan_document* doc = nullptr;
    kovan_open_memory(file.text.data(), file.text.size(), nullptr, &doc);
    const uint64_t n = kovan_n_points(doc);
    const double* stress = nullptr;
    kovan_array_data(doc, 0, 1, &stress);
    uint64_t size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        kovan_writer* writer = kovan_writer_new(format);
        kovan_writer_set_nodes(writer, n, kovan_node_ids(doc), kovan_points(doc));
        kovan_writer_set_cells(writer, kovan_n_cells(doc), kovan_cell_types(doc), kovan_cell_offsets(doc),
                               kovan_cell_connectivity(doc), kovan_cell_ids(doc), 0);
        kovan_writer_begin_step(writer, 1, 1.0);
        for (int a = 0; a < 4; ++a) kovan_writer_add_array(writer, "STRESS", 6, nullptr, 0, stress);
        state.ResumeTiming();
        char* out = nullptr;
        kovan_writer_finish(writer, &out, &size);
        kovan_free(out);
        kovan_writer_free(writer);
    }
    report(state, size, n * 24);
    kovan_close(doc);
}

// The floor for writing: "%12.5E" fields by snprintf, by std::to_chars at
// the field's precision, and by the library's field writer (six digits by
// exact integer arithmetic: the fastest exact method found; rounding
// std::to_chars' shortest digits was tried too, and is slower than either).
enum class FieldMethod { kSnprintf, kToChars, kLibrary };

void BM_FloorFormat(benchmark::State& state, FieldMethod method) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> value(-1e5, 1e5);
    std::vector<double> values(1 << 16);
    for (double& v : values) v = value(random);
    std::string out;
    for (auto _ : state) {
        out.clear();
        kovan::OutputText library_out;
        library_out.reserve(values.size() * 12);
        for (double v : values) {
            char field[32];
            if (method == FieldMethod::kSnprintf) {
                out.append(field, static_cast<size_t>(std::snprintf(field, sizeof field, "%12.5E", v)));
            } else if (method == FieldMethod::kToChars) {
                char* end = std::to_chars(field + 1, field + sizeof field, v, std::chars_format::scientific, 5).ptr;
                field[0] = ' ';
                out.append(v < 0 ? field + 1 : field, end);
            } else {
                kovan::append_real(library_out, v, false);
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(library_out.data);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * values.size() * 12));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Open, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenPath, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenPath, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StepThrough, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StepThrough, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reopen, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reopen, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorCopy, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorCopy, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Parse, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenDecode, ascii_long_no_derived, Encoding::kAsciiLong, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenDecode, ascii_long_derived, Encoding::kAsciiLong, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenDecode, binary_ccx_no_derived, Encoding::kBinaryMixed, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenDecodeThreads, ascii_long, Encoding::kAsciiLong)
    ->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorAsciiThreads, ascii_long, Encoding::kAsciiLong)
    ->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorAscii, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CApiOpenDecode, ascii_long, Encoding::kAsciiLong)
    ->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeSteps, ascii_long, Encoding::kAsciiLong)
    ->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorMemchr, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorBinary, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorWriteAscii, binary_ccx, Encoding::kBinaryMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorWriteBinary, ascii_long, Encoding::kAsciiLong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Derived)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StandardColumns)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Rewrite, ascii_long_to_binary_float, Encoding::kAsciiLong, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Rewrite, binary_ccx_to_ascii_long, Encoding::kBinaryMixed, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriterFinish, ascii_long, 1u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WriterFinish, binary_float, 2u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorFormat, library, FieldMethod::kLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorFormat, to_chars, FieldMethod::kToChars)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FloorFormat, snprintf, FieldMethod::kSnprintf)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
