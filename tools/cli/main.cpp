// kovan: inspect, check and convert CalculiX FRD files.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <new>
#include <stdexcept>

#include "arguments.h"
#include "commands.h"
#include "frd_input.h"
#include "summary.h"

namespace {

int run(int argc, char** argv) {
    CLI::App app{"Inspect, check and convert CalculiX FRD result files."};
    // Paths on Windows may begin with '/' too; options are given with '-' only.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("kovan ") + KOVAN_VERSION + ", ABI version " +
                                          std::to_string(kovan_abi_version()));
    app.require_subcommand(1);

    kovan_cli::InfoOptions info;
    CLI::App* info_command = app.add_subcommand("info", "Summarise a file: blocks, mesh, steps, arrays, diagnostics.");
    info_command->add_option("FILE", info.path, "The FRD file")->required();
    info_command->add_flag("--json", info.json, "Print the summary as JSON");
    info_command->add_flag("--follow", info.follow,
                           "Then show each step a running solver appends, reading only what it appended, until "
                           "interrupted");
    std::string info_jobs, check_jobs;
    CLI::Option* info_jobs_option =
        info_command->add_option("--jobs", info_jobs, "Threads decoding steps (default: the machine's cores)");

    std::string check_path;
    CLI::App* check_command = app.add_subcommand("check", "Report every problem of a file; exit 0 only when clean.");
    check_command->add_option("FILE", check_path, "The FRD file")->required();
    CLI::Option* check_jobs_option =
        check_command->add_option("--jobs", check_jobs, "Threads decoding steps (default: the machine's cores)");

    kovan_cli::ConvertOptions convert;
    CLI::App* convert_command = app.add_subcommand("convert", "Re-encode a file's node, element and result blocks.");
    convert_command->add_option("IN", convert.input, "The FRD file to read")->required();
    convert_command->add_option("OUT", convert.output, "The FRD file to write")->required();
    convert_command->add_option("--to", convert.to, "Target encoding")
        ->check(CLI::IsMember({"ascii-short", "ascii-long", "binary-float", "binary-double", "keep"}))
        ->required();
    convert_command->add_flag("--force", convert.force, "Replace OUT when it exists");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kovan_cli::kExitOk : kovan_cli::kExitUsage;
    }
    const bool jobs_given = *info_command ? info_jobs_option->count() > 0 : check_jobs_option->count() > 0;
    const std::string& jobs_text = *info_command ? info_jobs : check_jobs;
    unsigned jobs = kovan_cli::default_jobs();
    if (jobs_given && !kovan_cli::read_jobs(jobs_text, jobs)) {
        std::fprintf(stderr, "kovan: --jobs takes a whole number from 1 up, not \"%s\"\n", jobs_text.c_str());
        return kovan_cli::kExitUsage;
    }
    info.jobs = jobs;
    if (*info_command) return kovan_cli::run_info(info);
    if (*check_command) return kovan_cli::run_check(check_path, jobs);
    return kovan_cli::run_convert(convert);
}

}  // namespace

int main(int argc, char** argv) {
    // Every failure ends in one line and README's exit code, out of memory
    // included: no exception ends the process by abort.
    try {
        std::vector<std::string> arguments = kovan_cli::utf8_arguments(argc, argv);
        std::vector<char*> pointers;
        for (std::string& argument : arguments) pointers.push_back(argument.data());
        return run(static_cast<int>(pointers.size()), pointers.data());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "kovan: %s\n", kovan_status_message(KOVAN_ERR_NOMEM));
    } catch (const std::length_error&) {
        std::fprintf(stderr, "kovan: %s\n", kovan_status_message(KOVAN_ERR_NOMEM));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kovan: internal error: %s\n", error.what());
    }
    return kovan_cli::kExitInternal;
}
