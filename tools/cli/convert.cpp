// kovan convert: re-encodes a file, replacing OUT only once the new file is whole.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "commands.h"
#include "frd_input.h"
#include "interruption.h"
#include "open_input.h"
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

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::exists(b, error) && fs::equivalent(a, b, error);
}

// A link counts as an existing OUT even when it points nowhere: replacing it
// without --force would lose what the user put there.
bool output_exists(const fs::path& output) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(output, error);
    return error ? error != std::errc::no_such_file_or_directory : status.type() != fs::file_type::not_found;
}

// Only a regular file or a symbolic link is ever replaced: renaming over a
// pipe, a device or a socket would take its place in the file system.
bool replaceable(const fs::path& output) {
    std::error_code error;
    const fs::file_type type = fs::symlink_status(output, error).type();
    return error || type == fs::file_type::not_found || type == fs::file_type::regular ||
           type == fs::file_type::symlink;
}

bool write_and_rename(const fs::path& temporary, const fs::path& target, const Buffer& buffer, std::string& why) {
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

// Writes beside the target and renames into place, so that OUT is either
// the old file or the whole new one; an interrupted run leaves neither the
// hidden file nor a part of OUT behind.
bool write_atomically(const fs::path& target, const Buffer& buffer, std::string& why) {
    std::random_device random;
    const fs::path temporary =
        target.parent_path() / fs::u8path("." + target.filename().u8string() + ".kovan-" + std::to_string(random()));
    remove_on_interruption(temporary);
    const bool written = write_and_rename(temporary, target, buffer, why);
    keep_after_interruption();
    return written;
}

}  // namespace

int run_convert(const ConvertOptions& options) {
    const auto target = kTargets.find(options.to);
    if (target == kTargets.end()) {
        std::fprintf(stderr, "kovan convert: unknown target \"%s\"\n", options.to.c_str());
        return kExitUsage;
    }
    const fs::path input = fs::u8path(options.input), output = fs::u8path(options.output);
    if (same_file(input, output)) {
        std::fprintf(stderr, "%s: refusing to overwrite the input file\n", options.output.c_str());
        return kExitUsage;
    }
    if (!replaceable(output)) {
        std::fprintf(stderr, "%s: exists and is not a regular file; it is never replaced\n", options.output.c_str());
        return kExitUsage;
    }
    if (!options.force && output_exists(output)) {
        std::fprintf(stderr, "%s: exists; use --force to replace it\n", options.output.c_str());
        return kExitUsage;
    }
    Buffer buffer;
    {
        std::string bytes, why;
        if (!read_file(options.input, bytes, why)) {
            print_unreadable(options.input, why);
            return kExitUnreadable;
        }
        const ProgressLine progress = start_progress("converting", bytes.size() > (64u << 20) ? 2 : 0);
        show_progress(progress, 1);
        const kovan_status status =
            kovan_rewrite_memory(bytes.data(), bytes.size(), target->second, &buffer.data, &buffer.size);
        end_progress(progress);
        if (status != KOVAN_OK) {
            std::fprintf(stderr, "%s\n", failure_line(options.input, status, nullptr).c_str());
            return exit_code_for(status);
        }
    }  // the input's bytes are let go before the output is written
    std::string why;
    if (!write_atomically(output, buffer, why)) {
        std::fprintf(stderr, "%s: %s\n", options.output.c_str(), why.c_str());
        return kExitUnwritable;
    }
    return kExitOk;
}

}  // namespace kovan_cli
