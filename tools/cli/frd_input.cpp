#include "frd_input.h"

#include <fstream>
#include <sstream>

namespace kovan_cli {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; stream >> field;) fields.push_back(field);
    return fields;
}

bool all_printable(const std::string& line) {
    for (unsigned char c : line) {
        if (c < 32 || c > 126) return false;
    }
    return true;
}

bool read_integer(const std::string& text, int64_t& value) {
    try {
        size_t used = 0;
        value = std::stoll(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

bool read_header(const std::string& line, HeaderLine& header) {
    if (!all_printable(line)) return false;
    const std::vector<std::string> fields = fields_of(line);
    if (fields.empty()) return false;
    const std::string& key = fields[0];
    if (key == "2C" || key == "3C") {
        header.key = key;
        if (fields.size() >= 2) read_integer(fields[1], header.count);
    } else if (key.rfind("100C", 0) == 0) {
        header.key = "100C";
        if (fields.size() >= 4) read_integer(fields[3], header.count);
    } else {
        return false;
    }
    int64_t format = 1;
    if (fields.size() >= 3 && read_integer(fields.back(), format) && format >= 0 && format <= 3) {
        header.format = static_cast<int>(format);
    }
    return true;
}

}  // namespace

bool read_file(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return false;
    bytes = content.str();
    return true;
}

std::vector<HeaderLine> scan_headers(const std::string& bytes) {
    std::vector<HeaderLine> headers;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        size_t first = start;
        while (first < end && is_blank(bytes[first])) ++first;
        const char c = first < end ? bytes[first] : '\0';
        HeaderLine header;
        if ((c == '1' || c == '2' || c == '3') && read_header(bytes.substr(start, end - start), header)) {
            headers.push_back(header);
        }
        start = end + 1;
    }
    return headers;
}

std::string failure_line(const std::string& path, kovan_status status, const kovan_document* doc) {
    const std::string detail = kovan_last_error(doc);
    std::string line = path + ": " + kovan_status_message(status);
    if (!detail.empty()) line += ": " + detail;
    return line;
}

int exit_code_for(kovan_status status) {
    switch (status) {
        case KOVAN_OK: return kExitOk;
        case KOVAN_ERR_IO: return kExitUnreadable;
        case KOVAN_ERR_PARSE:
        case KOVAN_ERR_COMPONENTS: return kExitInvalid;
        case KOVAN_ERR_ARG: return kExitUsage;
        default: return kExitInternal;
    }
}

}  // namespace kovan_cli
