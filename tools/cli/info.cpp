// kovan info: a summary of a file, as text or as JSON.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "open_input.h"
#include "summary.h"
#include "utf8_text.h"

namespace kovan_cli {
namespace {

constexpr size_t kLinesPerDiagnosticKind = 3;
constexpr int kFollowMilliseconds = 500;

nlohmann::json number_or_null(double v) { return std::isnan(v) ? nlohmann::json(nullptr) : nlohmann::json(v); }

template <typename T>
nlohmann::json stated_or_null(const StepSummary& step, uint32_t flag, T value) {
    return (step.info.flags & flag) != 0 ? nlohmann::json(value) : nlohmann::json(nullptr);
}

// What the file says of a step; null where it says nothing.
void add_step_facts(const StepSummary& step, nlohmann::json& js) {
    const kovan_step_info& info = step.info;
    js["file_index"] = info.file_index;
    js["set_number"] = stated_or_null(step, KOVAN_STEP_HAS_SET_NUMBER, info.set_number);
    js["data_set"] = stated_or_null(step, KOVAN_STEP_HAS_STEP, info.data_set);
    js["step"] = stated_or_null(step, KOVAN_STEP_HAS_STEP, info.step);
    js["increment"] = stated_or_null(step, KOVAN_STEP_HAS_STEP, info.increment);
    js["analysis"] = info.analysis >= 0 ? nlohmann::json(info.analysis) : nlohmann::json(nullptr);
    js["analysis_text"] = utf8_escaped(step.analysis_text);
    js["mode"] = stated_or_null(step, KOVAN_STEP_HAS_MODE, info.mode);
    js["nodal_diameter"] = stated_or_null(step, KOVAN_STEP_HAS_NODAL_DIAMETER, info.nodal_diameter);
    js["generalised_mass"] = stated_or_null(step, KOVAN_STEP_HAS_GENERALISED_MASS, info.generalised_mass);
    js["generalised_stiffness"] = stated_or_null(step, KOVAN_STEP_HAS_GENERALISED_STIFFNESS, info.generalised_stiffness);
    js["value_text"] = utf8_escaped(step.value_text);
}

nlohmann::json to_json(const Summary& s) {
    nlohmann::json j;
    j["file"] = utf8_escaped(s.path);
    j["size"] = s.size;
    j["blocks"] = nlohmann::json::object();
    for (const auto& [format, count] : s.blocks_by_format) j["blocks"][format_name(format)] = count;
    j["points"] = s.points;
    j["cells"] = {{"total", s.cells}, {"by_type", nlohmann::json::array()}};
    for (const auto& [type, count] : s.cells_by_type) {
        j["cells"]["by_type"].push_back({{"vtk_type", type}, {"element", element_name(type)}, {"count", count}});
    }
    j["steps"] = nlohmann::json::array();
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const StepSummary& step = s.steps[i];
        nlohmann::json js = {{"index", i}, {"time", number_or_null(step.time)}, {"decoded", step.decoded}};
        js["error"] = step.decoded ? nlohmann::json(nullptr) : nlohmann::json(utf8_escaped(step.error));
        add_step_facts(step, js);
        js["arrays"] = nlohmann::json::array();
        for (const ArraySummary& a : step.arrays) {
            nlohmann::json ja = {{"name", utf8_escaped(a.name)}, {"components", a.components}, {"derived", a.derived}};
            ja["min"] = nlohmann::json::array();
            ja["max"] = nlohmann::json::array();
            for (uint32_t k = 0; k < a.components; ++k) {
                ja["min"].push_back(number_or_null(a.min[k]));
                ja["max"].push_back(number_or_null(a.max[k]));
            }
            ja["component_names"] = nlohmann::json::array();
            for (const std::string& name : a.component_names) ja["component_names"].push_back(utf8_escaped(name));
            ja["points_with_values"] = a.points_with_values;
            js["arrays"].push_back(ja);
        }
        j["steps"].push_back(js);
    }
    j["materials"] = nlohmann::json::array();
    for (const auto& [number, name] : s.materials) j["materials"].push_back({{"number", number}, {"name", utf8_escaped(name)}});
    j["header"] = nlohmann::json::array();
    for (const auto& [key, value] : s.header) j["header"].push_back({{"key", utf8_escaped(key)}, {"value", utf8_escaped(value)}});
    j["diagnostics"] = nlohmann::json::array();
    for (const kovan_diagnostic& d : s.diagnostics) {
        j["diagnostics"].push_back({{"kind", d.kind}, {"description", kovan_diagnostic_description(d.kind)},
                                    {"element_type", d.element_type}, {"line", d.line},
                                    {"expected", d.expected}, {"found", d.found}});
    }
    return j;
}

// Each component's name and range: "D1 0 .. 0.0148, D2 -0.001 .. 0.001".
std::string range_text(const ArraySummary& a) {
    std::string text;
    char buffer[64];
    for (uint32_t k = 0; k < a.components; ++k) {
        std::snprintf(buffer, sizeof buffer, " %.6g .. %.6g", a.min[k], a.max[k]);
        text += (k == 0 ? "" : ", ") + a.component_names[k] + buffer;
    }
    return text;
}

// "; frequency MODAL, set 101, step 1, increment 1, mode 2": what the
// file states of the step besides its value.
std::string facts_text(const StepSummary& step) {
    const kovan_step_info& info = step.info;
    std::string text = std::string(analysis_name(info.analysis));
    const auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (!step.analysis_text.empty()) text += (text.empty() ? "" : " ") + step.analysis_text;
    if (info.flags & KOVAN_STEP_HAS_SET_NUMBER) add("set " + std::to_string(info.set_number));
    if (info.flags & KOVAN_STEP_HAS_STEP) {
        add("step " + std::to_string(info.step) + ", increment " + std::to_string(info.increment));
    }
    if (info.flags & KOVAN_STEP_HAS_MODE) add("mode " + std::to_string(info.mode));
    if (info.flags & KOVAN_STEP_HAS_NODAL_DIAMETER) add("nodal diameter " + std::to_string(info.nodal_diameter));
    return text.empty() ? text : "; " + text;
}

void print_step(size_t index, const StepSummary& step) {
    std::printf("  step %zu, time %.9g%s%s\n", index, step.time, facts_text(step).c_str(),
                step.decoded ? "" : (": " + step.error).c_str());
    for (const ArraySummary& a : step.arrays) {
        const std::string points = a.points_with_values == a.tuples ? ""
                                   : " (" + std::to_string(a.points_with_values) + " of " +
                                         std::to_string(a.tuples) + " points)";
        std::printf("    %-16s %2u %s%s%s  %s\n", a.name.c_str(), a.components, a.components == 1 ? "component " : "components",
                    a.derived ? " (derived)" : "", points.c_str(), range_text(a).c_str());
    }
}

void print_model(const Summary& s) {
    for (const auto& [key, value] : s.header) {
        if (key != "MAT") std::printf("  %s%s%s\n", key.c_str(), key.empty() || value.empty() ? "" : " ", value.c_str());
    }
    std::printf("materials: %zu\n", s.materials.size());
    for (const auto& [number, name] : s.materials) std::printf("  %lld %s\n", static_cast<long long>(number), name.c_str());
}

void print_text(const Summary& s) {
    std::printf("%s: %llu bytes\n", s.path.c_str(), static_cast<unsigned long long>(s.size));
    std::printf("blocks:");
    for (const auto& [format, count] : s.blocks_by_format) std::printf(" %llu %s", static_cast<unsigned long long>(count), format_name(format));
    std::printf("%s\n", s.blocks_by_format.empty() ? " none" : "");
    std::printf("header: %zu records\n", s.header.size());
    print_model(s);
    std::printf("points: %llu\ncells: %llu\n", static_cast<unsigned long long>(s.points), static_cast<unsigned long long>(s.cells));
    for (const auto& [type, count] : s.cells_by_type) {
        std::printf("  %8llu  %s, VTK type %u\n", static_cast<unsigned long long>(count), element_name(type).c_str(), type);
    }
    std::printf("steps: %zu\n", s.steps.size());
    for (size_t i = 0; i < s.steps.size(); ++i) print_step(i, s.steps[i]);
    std::printf("diagnostics: %zu\n", s.diagnostics.size());
    for (int32_t kind = KOVAN_DIAG_SURPLUS_NODES; kind <= KOVAN_DIAG_NOT_FRD; ++kind) {
        size_t count = 0;
        std::string lines;
        for (const kovan_diagnostic& d : s.diagnostics) {
            if (d.kind != kind) continue;
            if (++count <= kLinesPerDiagnosticKind) lines += (lines.empty() ? "" : ", ") + std::to_string(d.line);
        }
        if (count == 0) continue;
        std::printf("  %zu %s%s (line %s%s)\n", count, kovan_diagnostic_description(kind), "", lines.c_str(),
                    count > kLinesPerDiagnosticKind ? ", ..." : "");
    }
}

bool cut_off(const kovan_document* doc) {
    for (uint64_t i = 0; i < kovan_n_diagnostics(doc); ++i) {
        kovan_diagnostic d{};
        if (kovan_diagnostic_at(doc, i, &d) == KOVAN_OK && d.kind == KOVAN_DIAG_INCOMPLETE_BLOCK) return true;
    }
    return false;
}

// The steps a running solver appends, as it appends them: each poll reads
// only what the file gained. A step is shown once another follows it, or
// once the file has stopped changing with nothing cut off (a step's blocks
// come one after another, and the last of them may still be coming).
int follow(const std::string& path, Document doc, uint64_t shown) {
    uint64_t steps_before = kovan_n_steps(doc.get()), size_before = 0;
    while (true) {
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(kFollowMilliseconds));
        kovan_document* grown = nullptr;
        const kovan_status status = kovan_reopen(doc.get(), &grown);
        if (status != KOVAN_OK) {
            std::fprintf(stderr, "%s\n", failure_line(path, status, nullptr).c_str());
            return exit_code_for(status);
        }
        doc.reset(grown);
        std::error_code error;
        const uint64_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
        const uint64_t steps = kovan_n_steps(doc.get());
        const bool settled = steps == steps_before && size == size_before && !cut_off(doc.get());
        const uint64_t ready = settled ? steps : std::max<uint64_t>(steps, 1) - 1;
        for (; shown < ready; ++shown) print_step(shown, summarise_step(doc.get(), shown));
        steps_before = steps;
        size_before = size;
    }
}

}  // namespace

int run_info(const InfoOptions& options) {
    if (options.follow && options.json) {
        std::fprintf(stderr, "kovan info: --follow prints text, and takes no --json\n");
        return kExitUsage;
    }
    OpenedInput input = open_input(options.path);
    if (input.exit_code != kExitOk) return input.exit_code;
    const Summary summary = summarise(options.path, input.size, input.headers, input.doc.get(), options.jobs);
    if (options.json) {
        std::printf("%s\n", to_json(summary).dump(2).c_str());
    } else {
        print_text(summary);
    }
    if (!options.follow) return kExitOk;
    std::printf("following %s: new steps as they are written (Ctrl-C ends)\n", options.path.c_str());
    return follow(options.path, std::move(input.doc), summary.steps.size());
}

}  // namespace kovan_cli
