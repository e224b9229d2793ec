// kovan convert: re-encodes a file, replacing OUT only once the new file is whole.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "commands.h"
#include "frd_input.h"
#include "progress.h"

namespace fs = std::filesystem;

namespace kovan_cli {
namespace {

const std::map<std::string, int32_t> kTargets = {
    {"ascii-short", KOVAN_FORMAT_ASCII_SHORT}, {"ascii-long", KOVAN_FORMAT_ASCII_LONG},
    {"binary-float", KOVAN_FORMAT_BINARY_FLOAT}, {"binary-double", KOVAN_FORMAT_BINARY_DOUBLE},
    {"keep", KOVAN_FORMAT_KEEP},
};

struct Buffer {
    char* data = nullptr;
    uint64_t size = 0;
    ~Buffer() { kovan_free(data); }
};

bool same_file(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::exists(b, error) && fs::equivalent(a, b, error);
}

// Writes beside the target and renames into place, so that OUT is either
// the old file or the whole new one.
bool write_atomically(const fs::path& target, const Buffer& buffer, std::string& why) {
    std::random_device random;
    const fs::path temporary = target.parent_path() / ("." + target.filename().string() + ".kovan-" + std::to_string(random()));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(buffer.data, static_cast<std::streamsize>(buffer.size));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            why = "the output could not be written";
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        why = "the output could not be moved into place";
        return false;
    }
    return true;
}

}  // namespace

int run_convert(const ConvertOptions& options) {
    const auto target = kTargets.find(options.to);
    if (target == kTargets.end()) {
        std::fprintf(stderr, "kovan convert: unknown target \"%s\"\n", options.to.c_str());
        return kExitUsage;
    }
    if (same_file(options.input, options.output)) {
        std::fprintf(stderr, "%s: refusing to overwrite the input file\n", options.output.c_str());
        return kExitUsage;
    }
    std::error_code error;
    if (!options.force && fs::exists(options.output, error)) {
        std::fprintf(stderr, "%s: exists; use --force to replace it\n", options.output.c_str());
        return kExitUsage;
    }
    std::string bytes;
    if (!read_file(options.input, bytes)) {
        std::fprintf(stderr, "%s: %s: the file could not be opened for reading\n", options.input.c_str(),
                     kovan_status_message(KOVAN_ERR_IO));
        return kExitUnreadable;
    }
    const ProgressLine progress = start_progress("converting", bytes.size() > (64u << 20) ? 2 : 0);
    show_progress(progress, 1);
    Buffer buffer;
    const kovan_status status = kovan_rewrite_memory(bytes.data(), bytes.size(), target->second, &buffer.data, &buffer.size);
    end_progress(progress);
    if (status != KOVAN_OK) {
        std::fprintf(stderr, "%s\n", failure_line(options.input, status, nullptr).c_str());
        return exit_code_for(status);
    }
    std::string why;
    if (!write_atomically(options.output, buffer, why)) {
        std::fprintf(stderr, "%s: %s\n", options.output.c_str(), why.c_str());
        return kExitUnwritable;
    }
    return kExitOk;
}

}  // namespace kovan_cli
