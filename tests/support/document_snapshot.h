// What a reader of an FRD text sees through the C interface: the mesh, the
// step times and every step's arrays, for comparing two texts that must
// read the same (a file and its conversion). Header-only, so that the fuzz
// targets use it as the tests do.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kovan.h"

namespace kovan_test {

struct ArraySnapshot {
    std::string name;
    uint32_t components = 0;
    uint32_t derived = 0;
    std::vector<double> values;
    std::vector<std::string> component_names;
    uint64_t points_with_values = 0;
};

struct StepSnapshot {
    double time = 0.0;
    std::string facts;  // the step's record, its texts included, as one text
    kovan_status status = KOVAN_OK;
    std::string error;
    std::vector<ArraySnapshot> arrays;
};

struct DocumentSnapshot {
    bool opened = false;
    std::vector<int64_t> node_ids, offsets, connectivity, cell_ids;
    std::vector<uint8_t> cell_types;
    std::vector<double> points;
    std::vector<int32_t> cell_groups, cell_materials;
    std::vector<std::string> header;  // header records and materials, "key=value"
    std::vector<StepSnapshot> steps;
    std::vector<kovan_diagnostic> diagnostics;
};

template <typename T>
std::vector<T> copy_of(const T* data, uint64_t n) {
    return n == 0 || data == nullptr ? std::vector<T>() : std::vector<T>(data, data + n);
}

inline std::string facts_of(const kovan_document* doc, uint64_t step) {
    kovan_step_info i{};
    if (kovan_step_info_at(doc, step, &i) != KOVAN_OK) return "none";
    const double reals[] = {i.value, i.generalised_mass, i.generalised_stiffness};
    std::string facts(reinterpret_cast<const char*>(reals), sizeof reals);
    for (int64_t n : {i.set_number, i.data_set, i.increment, i.step, i.mode, i.nodal_diameter}) facts += std::to_string(n) + ",";
    facts += std::to_string(i.file_index) + "," + std::to_string(i.analysis) + "," + std::to_string(i.flags) + ",";
    return facts + i.value_text + "|" + i.analysis_text;
}

inline ArraySnapshot snapshot_array(kovan_document* doc, uint64_t step, uint64_t a, const kovan_array_info& info) {
    const double* values = nullptr;
    kovan_array_data(doc, step, a, &values);
    ArraySnapshot array{info.name, info.n_components, info.derived, copy_of(values, info.n_tuples * info.n_components),
                        {}, 0};
    for (uint32_t k = 0; k < info.n_components; ++k) {
        const char* name = "?";
        kovan_array_component_name(doc, step, a, k, &name);
        array.component_names.emplace_back(name);
    }
    kovan_array_points_with_values(doc, step, a, &array.points_with_values);
    return array;
}

inline StepSnapshot snapshot_step(kovan_document* doc, uint64_t step) {
    StepSnapshot s;
    kovan_step_time(doc, step, &s.time);
    s.facts = facts_of(doc, step);
    uint64_t n = 0;
    s.status = kovan_n_arrays(doc, step, &n);
    if (s.status != KOVAN_OK) {
        s.error = kovan_last_error(doc);
        return s;
    }
    for (uint64_t a = 0; a < n; ++a) {
        kovan_array_info info{};
        if (kovan_array_info_at(doc, step, a, &info) == KOVAN_OK) s.arrays.push_back(snapshot_array(doc, step, a, info));
    }
    return s;
}

// Everything an open document gives, every step decoded; the document is
// closed afterwards.
inline DocumentSnapshot snapshot_of(kovan_document* doc) {
    DocumentSnapshot s;
    s.opened = true;
    const uint64_t n_points = kovan_n_points(doc), n_cells = kovan_n_cells(doc);
    s.node_ids = copy_of(kovan_node_ids(doc), n_points);
    s.points = copy_of(kovan_points(doc), 3 * n_points);
    s.cell_types = copy_of(kovan_cell_types(doc), n_cells);
    s.cell_ids = copy_of(kovan_cell_ids(doc), n_cells);
    s.offsets = copy_of(kovan_cell_offsets(doc), n_cells + 1);
    s.connectivity = copy_of(kovan_cell_connectivity(doc), static_cast<uint64_t>(s.offsets.back()));
    s.cell_groups = copy_of(kovan_cell_groups(doc), n_cells);
    s.cell_materials = copy_of(kovan_cell_materials(doc), n_cells);
    for (uint64_t i = 0; i < kovan_n_header_records(doc); ++i) {
        const char *key = "", *value = "";
        kovan_header_record_at(doc, i, &key, &value);
        s.header.push_back(std::string(key) + "=" + value);
    }
    for (uint64_t i = 0; i < kovan_n_materials(doc); ++i) {
        int64_t number = 0;
        const char* name = "";
        kovan_material_at(doc, i, &number, &name);
        s.header.push_back("material " + std::to_string(number) + "=" + name);
    }
    for (uint64_t step = 0; step < kovan_n_steps(doc); ++step) s.steps.push_back(snapshot_step(doc, step));
    s.diagnostics.resize(kovan_n_diagnostics(doc));
    for (uint64_t i = 0; i < s.diagnostics.size(); ++i) kovan_diagnostic_at(doc, i, &s.diagnostics[i]);
    kovan_close(doc);
    return s;
}

inline DocumentSnapshot snapshot(const void* data, uint64_t size) {
    kovan_document* doc = nullptr;
    if (kovan_open_memory(data, size, nullptr, &doc) != KOVAN_OK) return DocumentSnapshot();
    return snapshot_of(doc);
}

// Bit for bit, every NaN equal to every other.
inline bool same_values(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::isnan(a[i]) && std::isnan(b[i])) continue;
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return false;
    }
    return true;
}

// What differs between two snapshots, in a few words; empty when nothing does.
inline std::string difference(const DocumentSnapshot& a, const DocumentSnapshot& b) {
    if (a.opened != b.opened) return "one opens, the other does not";
    if (a.node_ids != b.node_ids || !same_values(a.points, b.points)) return "points";
    if (a.cell_types != b.cell_types || a.offsets != b.offsets || a.connectivity != b.connectivity ||
        a.cell_ids != b.cell_ids) {
        return "cells";
    }
    if (a.cell_groups != b.cell_groups || a.cell_materials != b.cell_materials) return "groups or materials";
    if (a.header != b.header) return "header records";
    if (a.steps.size() != b.steps.size()) return "number of steps";
    for (size_t i = 0; i < a.steps.size(); ++i) {
        const StepSnapshot& s = a.steps[i];
        const StepSnapshot& t = b.steps[i];
        const std::string step = "step " + std::to_string(i) + ": ";
        if (!same_values({s.time}, {t.time})) return step + "time";
        if (s.facts != t.facts) return step + "facts";
        if (s.status != t.status || s.error != t.error) return step + "status";
        if (s.arrays.size() != t.arrays.size()) return step + "number of arrays";
        for (size_t k = 0; k < s.arrays.size(); ++k) {
            const ArraySnapshot& x = s.arrays[k];
            const ArraySnapshot& y = t.arrays[k];
            if (x.name != y.name || x.components != y.components || x.derived != y.derived) {
                return step + "array " + x.name + " against " + y.name;
            }
            if (!same_values(x.values, y.values)) return step + "values of " + x.name;
            if (x.component_names != y.component_names || x.points_with_values != y.points_with_values) {
                return step + "component names or points with values of " + x.name;
            }
        }
    }
    return "";
}

// What differs between two readings of the same text: as difference(), and
// the diagnostics (which a conversion moves to other lines).
inline std::string reading_difference(const DocumentSnapshot& a, const DocumentSnapshot& b) {
    const bool same_diagnostics =
        a.diagnostics.size() == b.diagnostics.size() &&
        (a.diagnostics.empty() ||
         std::memcmp(a.diagnostics.data(), b.diagnostics.data(), a.diagnostics.size() * sizeof(kovan_diagnostic)) == 0);
    return same_diagnostics ? difference(a, b) : "diagnostics";
}

// Converting `input` to `target` is refused, or gives a text that reads as
// the input does: empty then, else what differs.
inline std::string conversion_difference(const void* input, uint64_t size, int32_t target) {
    const DocumentSnapshot read = snapshot(input, size);
    if (!read.opened) return "";
    char* out = nullptr;
    uint64_t out_size = 0;
    if (kovan_rewrite_memory(input, size, target, &out, &out_size) != KOVAN_OK) return "";
    const DocumentSnapshot converted = snapshot(out, out_size);
    kovan_free(out);
    return difference(read, converted);
}

}  // namespace kovan_test
