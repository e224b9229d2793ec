#include "arguments.h"

#include <limits>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace kovan_cli {

#ifdef _WIN32
namespace {

std::string utf8_of(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.pop_back();  // the terminator
    return text;
}

}  // namespace

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(utf8_of(wide[i]));
    LocalFree(wide);
    return arguments;
}
#else
std::vector<std::string> utf8_arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }
#endif

bool read_jobs(const std::string& text, unsigned& jobs) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    if (text.find_first_not_of('0') == std::string::npos) return false;
    // Beyond what a thread count can be, the largest one stands for it.
    constexpr unsigned kMost = std::numeric_limits<unsigned>::max();
    unsigned long long value = 0;
    for (char digit : text) {
        value = value * 10 + static_cast<unsigned>(digit - '0');
        if (value >= kMost) return jobs = kMost, true;
    }
    jobs = static_cast<unsigned>(value);
    return true;
}

}  // namespace kovan_cli
