// kovan: inspect, check and convert CalculiX FRD files.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "frd_input.h"

int main(int argc, char** argv) {
    CLI::App app{"Inspect, check and convert CalculiX FRD result files."};
    app.require_subcommand(1);

    kovan_cli::InfoOptions info;
    CLI::App* info_command = app.add_subcommand("info", "Summarise a file: blocks, mesh, steps, arrays, diagnostics.");
    info_command->add_option("FILE", info.path, "The FRD file")->required();
    info_command->add_flag("--json", info.json, "Print the summary as JSON");

    std::string check_path;
    CLI::App* check_command = app.add_subcommand("check", "Report every problem of a file; exit 0 only when clean.");
    check_command->add_option("FILE", check_path, "The FRD file")->required();

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
    if (*info_command) return kovan_cli::run_info(info);
    if (*check_command) return kovan_cli::run_check(check_path);
    return kovan_cli::run_convert(convert);
}
