// The subcommands of the kovan tool; each returns the process exit code.
#pragma once

#include <string>

namespace kovan_cli {

struct InfoOptions {
    std::string path;
    bool json = false;
    bool follow = false;  // then show the steps appended to the file, until interrupted
    unsigned jobs = 1;    // threads decoding steps
};
int run_info(const InfoOptions& options);

int run_check(const std::string& path, unsigned jobs);

struct ConvertOptions {
    std::string input, output, to = "keep";
    bool force = false;
};
int run_convert(const ConvertOptions& options);

}  // namespace kovan_cli
