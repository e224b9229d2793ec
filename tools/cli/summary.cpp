#include "summary.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "progress.h"

namespace kovan_cli {
namespace {

ArraySummary summarise_array(kovan_document* doc, uint64_t step, uint64_t index, const kovan_array_info& info) {
    ArraySummary array{info.name, info.n_components, info.derived != 0, {}, {}, {}, info.n_tuples, 0};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    array.min.assign(info.n_components, nan);
    array.max.assign(info.n_components, nan);
    for (uint32_t k = 0; k < info.n_components; ++k) {
        const char* name = "";
        kovan_array_component_name(doc, step, index, k, &name);
        array.component_names.emplace_back(name);
    }
    kovan_array_points_with_values(doc, step, index, &array.points_with_values);
    const double* values = nullptr;
    if (kovan_array_data(doc, step, index, &values) != KOVAN_OK || values == nullptr) return array;
    for (uint64_t p = 0; p < info.n_tuples; ++p) {
        for (uint32_t k = 0; k < info.n_components; ++k) {
            const double v = values[p * info.n_components + k];
            if (std::isnan(v)) continue;
            if (std::isnan(array.min[k]) || v < array.min[k]) array.min[k] = v;
            if (std::isnan(array.max[k]) || v > array.max[k]) array.max[k] = v;
        }
    }
    return array;
}

}  // namespace

StepSummary summarise_step(kovan_document* doc, uint64_t step) {
    StepSummary summary;
    kovan_step_time(doc, step, &summary.time);
    if (kovan_step_info_at(doc, step, &summary.info) == KOVAN_OK) {
        summary.value_text = summary.info.value_text;
        summary.analysis_text = summary.info.analysis_text;
    }
    uint64_t n = 0;
    const kovan_status status = kovan_n_arrays(doc, step, &n);
    if (status != KOVAN_OK) {
        summary.decoded = false;
        summary.error = std::string(kovan_status_message(status)) + ": " + kovan_last_error(nullptr);
        return summary;
    }
    std::vector<kovan_array_info> infos(n);
    if (n > 0 && kovan_array_info_range(doc, step, 0, n, infos.data()) != KOVAN_OK) return summary;
    for (uint64_t i = 0; i < n; ++i) summary.arrays.push_back(summarise_array(doc, step, i, infos[i]));
    kovan_release_step(doc, step);  // summarised: its arrays are not needed any more
    return summary;
}

namespace {

// Steps are taken in order by `jobs` threads, which kovan lets decode
// different steps of one document at the same time.
std::vector<StepSummary> summarise_steps(kovan_document* doc, unsigned jobs) {
    const uint64_t n_steps = kovan_n_steps(doc);
    std::vector<StepSummary> steps(n_steps);
    const ProgressLine progress = start_progress("decoding steps", n_steps);
    std::atomic<uint64_t> next{0}, done{0};
    std::mutex shown;
    std::exception_ptr failure;
    const auto work = [&] {
        try {
            for (uint64_t s; (s = next.fetch_add(1)) < n_steps;) {
                steps[s] = summarise_step(doc, s);
                std::lock_guard<std::mutex> hold(shown);
                show_progress(progress, done.fetch_add(1) + 1);
            }
        } catch (...) {
            std::lock_guard<std::mutex> hold(shown);
            if (!failure) failure = std::current_exception();
            next = n_steps;
        }
    };
    std::vector<std::thread> threads;
    const uint64_t helpers = std::min<uint64_t>(std::max(jobs, 1u), std::max<uint64_t>(n_steps, 1)) - 1;
    for (uint64_t t = 0; t < helpers; ++t) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
    end_progress(progress);
    if (failure) std::rethrow_exception(failure);
    return steps;
}

}  // namespace

Summary summarise(const std::string& path, uint64_t size, const std::vector<HeaderLine>& headers,
                  kovan_document* doc, unsigned jobs) {
    Summary summary;
    summary.path = path;
    summary.size = size;
    for (const HeaderLine& header : headers) {
        ++summary.blocks_by_format[header.format];
        if (header.key != "3C") continue;
        if (header.count < 0) summary.element_counts_stated = false;
        else summary.stated_elements += static_cast<uint64_t>(header.count);
    }
    summary.points = kovan_n_points(doc);
    summary.cells = kovan_n_cells(doc);
    const uint8_t* types = kovan_cell_types(doc);
    for (uint64_t c = 0; c < summary.cells; ++c) ++summary.cells_by_type[types[c]];
    summary.steps = summarise_steps(doc, jobs);
    for (uint64_t i = 0; i < kovan_n_materials(doc); ++i) {
        int64_t number = 0;
        const char* name = "";
        if (kovan_material_at(doc, i, &number, &name) == KOVAN_OK) summary.materials.emplace_back(number, name);
    }
    for (uint64_t i = 0; i < kovan_n_header_records(doc); ++i) {
        const char *key = "", *value = "";
        if (kovan_header_record_at(doc, i, &key, &value) == KOVAN_OK) summary.header.emplace_back(key, value);
    }
    summary.diagnostics.resize(kovan_n_diagnostics(doc));
    for (uint64_t i = 0; i < summary.diagnostics.size(); ++i) kovan_diagnostic_at(doc, i, &summary.diagnostics[i]);
    return summary;
}

unsigned default_jobs() { return std::max(1u, std::thread::hardware_concurrency()); }

const char* format_name(int format) {
    switch (format) {
        case 0: return "ascii-short";
        case 1: return "ascii-long";
        case 2: return "binary-float";
        default: return "binary-double";
    }
}

const char* analysis_name(int32_t analysis) {
    switch (analysis) {
        case 0: return "static";
        case 1: return "time step";
        case 2: return "frequency";
        case 3: return "load step";
        case 4: return "user";
        default: return "";
    }
}

std::string element_name(uint8_t vtk_type) {
    const std::string description = kovan_cell_type_description(vtk_type);
    return description.empty() ? "VTK type " + std::to_string(vtk_type) : description;
}

}  // namespace kovan_cli
