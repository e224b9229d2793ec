#include "interruption.h"

#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kovan_cli {
namespace {

// The handler may only use what is ready before the signal arrives: the
// path lives in a fixed buffer, and removing it calls the system directly.
constexpr size_t kMaxPath = 4096;
std::filesystem::path::value_type pending[kMaxPath];
volatile std::sig_atomic_t armed = 0;

void on_interruption(int signal) {
    if (armed) {
#ifdef _WIN32
        DeleteFileW(pending);
#else
        ::unlink(pending);
#endif
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void remove_on_interruption(const std::filesystem::path& file) {
    const auto& native = file.native();
    if (native.size() >= kMaxPath) return;  // left behind on an interruption, as before
    armed = 0;
    std::memcpy(pending, native.c_str(), (native.size() + 1) * sizeof(pending[0]));
    armed = 1;
    std::signal(SIGINT, on_interruption);
    std::signal(SIGTERM, on_interruption);
#ifdef SIGHUP
    std::signal(SIGHUP, on_interruption);
#endif
}

void keep_after_interruption() { armed = 0; }

}  // namespace kovan_cli
