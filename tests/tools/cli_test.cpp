// The kovan tool run as a process, as people and scripts run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <unistd.h>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "interruption.h"
#include "support/frd_text.h"

namespace fs = std::filesystem;
using kovan_test::data_path;
using kovan_test::read_file;

namespace {

struct ToolRun {
    int exit_code;
    std::string output;  // standard output and standard error together
};

ToolRun run_shell(const std::string& script) {
    const std::string command = "(" + script + ") 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun result{-1, {}};
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ToolRun run(const std::string& arguments) { return run_shell(std::string("'") + KOVAN_CLI_PATH + "' " + arguments); }

const std::string kSample = std::string(KOVAN_SOURCE_DIR) + "/examples/data/cantilever.frd";

class Cli : public ::testing::Test {
protected:
    void SetUp() override { folder_ = kovan_test::make_temp_folder("kovan_cli_"); }
    void TearDown() override { fs::remove_all(folder_); }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(path(name), std::ios::binary) << content;
        return path(name);
    }
    fs::path folder_;
};

TEST_F(Cli, InfoSummarisesTheSampleForPeople) {
    const ToolRun r = run("info '" + kSample + "'");
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_NE(r.output.find("points: 99\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("40  8-node hexahedron (CalculiX type 1), VTK type 12"), std::string::npos);
    EXPECT_NE(r.output.find("step 1, time 1; static, set 102, step 1, increment 2\n"), std::string::npos);
    EXPECT_NE(r.output.find("DISP              3 components  D1 0 .. 1.18293, D2"), std::string::npos);
    EXPECT_NE(r.output.find("STRESS_Mises      1 component  (derived)"), std::string::npos);
    EXPECT_NE(r.output.find("blocks: 10 ascii-long"), std::string::npos);
}

TEST_F(Cli, InfoJsonHasTheDocumentedKeys) {
    const ToolRun r = run("info --json '" + kSample + "'");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    const nlohmann::json j = nlohmann::json::parse(r.output);
    EXPECT_EQ(j["points"], 99);
    EXPECT_EQ(j["cells"]["total"], 40);
    EXPECT_EQ(j["cells"]["by_type"][0]["vtk_type"], 12);
    EXPECT_EQ(j["blocks"]["ascii-long"], 10);
    ASSERT_EQ(j["steps"].size(), 2u);
    EXPECT_EQ(j["steps"][1]["time"], 1.0);
    EXPECT_EQ(j["steps"][0]["decoded"], true);
    const nlohmann::json& disp = j["steps"][0]["arrays"][0];
    EXPECT_EQ(disp["name"], "DISP");
    EXPECT_EQ(disp["components"], 3);
    EXPECT_EQ(disp["derived"], false);
    EXPECT_EQ(disp["min"].size(), 3u);
    EXPECT_LE(disp["min"][0].get<double>(), disp["max"][0].get<double>());
    EXPECT_TRUE(j["diagnostics"].empty());
    EXPECT_EQ(j["size"], read_file(kSample).size());
}

// Steps decoded on several threads summarise as on one.
TEST_F(Cli, JobsChangeNothingButTheThreads) {
    std::string text = read_file(data_path("beam_frequency.frd"));
    const size_t record = text.find(" -1", text.find(" -4  DISP"));
    text.insert(text.find('\n', record), " 7.0");  // one step that does not decode
    const std::string damaged = write("damaged.frd", text);
    for (const std::string& file : {kSample, data_path("beam_frequency.frd"), damaged}) {
        const ToolRun one = run("info --json --jobs 1 '" + file + "'");
        EXPECT_EQ(run("info --json --jobs 3 '" + file + "'").output, one.output) << file;
        EXPECT_EQ(run("check --jobs 3 '" + file + "'").output, run("check --jobs 1 '" + file + "'").output);
    }
    EXPECT_NE(run("info --json --jobs 1 '" + damaged + "'").output.find("\"decoded\": false"), std::string::npos);
    for (const char* jobs : {"0", "-1", "abc", "''", "1.5"}) {
        const ToolRun refused = run("check --jobs " + std::string(jobs) + " '" + kSample + "'");
        EXPECT_EQ(refused.exit_code, 2) << jobs;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1) << refused.output;
        EXPECT_NE(refused.output.find("--jobs takes a whole number from 1 up"), std::string::npos) << refused.output;
    }
    EXPECT_EQ(run("info --jobs 99999999999 '" + kSample + "'").exit_code, 0);
}

TEST_F(Cli, ATextThatIsNoFrdFileIsSaidToBeNone) {
    const std::string text = write("notes.frd", "a note that was\nrenamed\n");
    const ToolRun check = run("check '" + text + "'");
    EXPECT_EQ(check.exit_code, 1);
    EXPECT_EQ(check.output, text + ": not an FRD file\n");
    EXPECT_NE(run("info '" + text + "'").output.find("1 not an FRD file (line 1)"), std::string::npos);
    EXPECT_EQ(run("check '" + write("empty.frd", "") + "'").exit_code, 0);
}

TEST_F(Cli, CheckPassesACleanFileAndListsEveryProblemOfADamagedOne) {
    EXPECT_EQ(run("check '" + kSample + "'").exit_code, 0);
    const std::string damaged = write("damaged.frd",
                                      "    2C 2 1\n -1 1 0.0 0.0 0.0\n -1 2 1.0 0.0 0.0\n -3\n"
                                      "    3C 3 1\n -1 1 11 0 1\n -2 1 2\n -1 2 11 0 1\n -2 1 9\n -1 3 13 0 1\n -3\n"
                                      "  100CL  101 1.00000E+00           2                     0    1           1\n"
                                      " -4  S            6    1\n -1 1 1 2 3 4 5 6\n -1 2 1 2 3\n -3\n");
    const ToolRun r = run("check '" + damaged + "'");
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(r.output.find("element of an unknown type, dropped (type 13"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("1 elements name nodes that no node block defines and were dropped"), std::string::npos);
    EXPECT_NE(r.output.find("step 0 does not decode: a result block gave two nodes different component counts: "
                            "array 'S': node 2 has 3 components, expected 6"),
              std::string::npos);
    const ToolRun info = run("info '" + damaged + "'");
    EXPECT_EQ(info.exit_code, 0);
    EXPECT_NE(info.output.find("1 element of an unknown type, dropped (line 10)"), std::string::npos) << info.output;
}

TEST_F(Cli, UnreadableInputsFailWithOneLineAndTheirCode) {
    const ToolRun parse = run("info '" + write("no_count.frd", "    2C x 3\n") + "'");
    EXPECT_EQ(parse.exit_code, 4);
    EXPECT_EQ(parse.output, path("no_count.frd") + ": the file did not parse as an FRD document: truncated binary "
                                                   "node block: the header declares -1 nodes in format 3, and the file "
                                                   "does not hold that many records\n");
    // A file cut inside a block is a file still being written: check says so.
    std::string truncated = read_file(data_path("hex20_binary.frd"));
    truncated.resize(truncated.find("    2C") + 200);  // inside the binary node records
    const ToolRun cut = run("check '" + write("cut.frd", truncated) + "'");
    EXPECT_EQ(cut.exit_code, 1);
    EXPECT_EQ(cut.output, path("cut.frd") + ": line 12: block cut off by the end of the file, which may still be "
                                            "being written (expected 32 records, found 4)\n");
    EXPECT_NE(run("info '" + path("cut.frd") + "'").output.find("  1 block cut off by the end of the file"),
              std::string::npos);
    const ToolRun missing = run("check '" + path("missing.frd") + "'");
    EXPECT_EQ(missing.exit_code, 3);
    EXPECT_EQ(std::count(missing.output.begin(), missing.output.end(), '\n'), 1);
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
    const ToolRun noise = run("info '" + write("noise.frd", garbage) + "'");
    EXPECT_TRUE(noise.exit_code == 0 || noise.exit_code == 4) << noise.output;
    EXPECT_EQ(run("frobnicate").exit_code, 2);
    EXPECT_EQ(run("convert a b --to nothing").exit_code, 2);
    // What is not a regular file is refused, never read as an empty file nor waited on.
    ASSERT_EQ(::mkfifo(path("pipe.frd").c_str(), 0600), 0);
    for (const std::string& input : {folder_.string(), path("pipe.frd"), std::string("/dev/zero")}) {
        const ToolRun info = run("info '" + input + "'");
        EXPECT_EQ(info.exit_code, 3) << input;
        EXPECT_EQ(info.output, input + ": the file could not be opened or read: the path names a directory, "
                                       "device or pipe, not a regular file\n");
        EXPECT_EQ(run("convert '" + input + "' '" + path("out.frd") + "' --to keep").exit_code, 3);
    }
    EXPECT_FALSE(fs::exists(path("out.frd")));
}

TEST_F(Cli, RunningOutOfMemoryEndsWithItsCodeAndOneLine) {
#ifdef KOVAN_SANITIZED
    GTEST_SKIP() << "sanitizers reserve more address space than the limit leaves";
#endif
    { std::ofstream(path("huge.frd")); }
    fs::resize_file(path("huge.frd"), 4ull << 30);  // sparse: no disk, four gigabytes of zero bytes
    const ToolRun r = run_shell("ulimit -v 1000000; '" + std::string(KOVAN_CLI_PATH) + "' info '" + path("huge.frd") + "'");
    EXPECT_EQ(r.exit_code, 6);
    EXPECT_EQ(r.output, "kovan: out of memory\n");
}

TEST_F(Cli, JsonEscapesBytesThatAreNotUtf8AndVersionNamesBothVersions) {
    std::string text = read_file(data_path("hex8_static.frd"));
    text.replace(text.find(" -4  DISP  "), 11, " -4  D\xE9SP ");
    const ToolRun r = run("info --json '" + write("r\xE9sultat.frd", text) + "'");
    ASSERT_EQ(r.exit_code, 0) << r.output;
    const nlohmann::json summary = nlohmann::json::parse(r.output);
    EXPECT_EQ(summary["file"], path("r") + "\\xE9sultat.frd");
    EXPECT_EQ(summary["steps"][0]["arrays"][0]["name"], "D\\xE9SP");
    EXPECT_EQ(run("--version").output, "kovan " KOVAN_VERSION ", ABI version 3\n");
}

TEST_F(Cli, ConvertRoundTripsThroughEveryEncoding) {
    const std::string start = read_file(kSample);
    std::string current = kSample;
    int n = 0;
    for (const char* to : {"binary-float", "ascii-short", "binary-double", "ascii-long"}) {
        const std::string next = path("step" + std::to_string(n++) + ".frd");
        const ToolRun r = run("convert '" + current + "' '" + next + "' --to " + to);
        ASSERT_EQ(r.exit_code, 0) << to << ": " << r.output;
        current = next;
    }
    const nlohmann::json before = nlohmann::json::parse(run("info --json '" + kSample + "'").output);
    nlohmann::json after = nlohmann::json::parse(run("info --json '" + current + "'").output);
    EXPECT_EQ(after["points"], before["points"]);
    EXPECT_EQ(after["cells"], before["cells"]);
    EXPECT_EQ(after["steps"].size(), before["steps"].size());
    // Through single precision and back to six digits.
    const double a = before["steps"][1]["arrays"][0]["max"][0], b = after["steps"][1]["arrays"][0]["max"][0];
    EXPECT_NEAR(a, b, 1e-5 * std::fabs(a));
}

TEST_F(Cli, ConvertNeverOverwritesWithoutForceNorLeavesAHalfFile) {
    const std::string out = write("out.frd", "old");
    EXPECT_EQ(run("convert '" + kSample + "' '" + out + "' --to binary-float").exit_code, 2);
    EXPECT_EQ(read_file(out), "old");
    EXPECT_EQ(run("convert '" + kSample + "' '" + out + "' --to binary-float --force").exit_code, 0);
    EXPECT_NE(read_file(out), "old");
    EXPECT_EQ(run("convert '" + out + "' '" + out + "' --to keep --force").exit_code, 2);
    // A refused conversion leaves the old OUT and no temporary file.
    const std::string raw = write("raw.frd", "    2C 1 1\n -1 1 x 2.0 3.0\n -3\n");
    const ToolRun refused = run("convert '" + raw + "' '" + out + "' --to binary-double --force");
    EXPECT_EQ(refused.exit_code, 4);
    EXPECT_NE(refused.output.find("cannot convert this document to format 3"), std::string::npos);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2u);  // out.frd and raw.frd
    // A link to nowhere is an OUT that exists.
    fs::create_symlink(path("nowhere.frd"), path("link.frd"));
    EXPECT_EQ(run("convert '" + kSample + "' '" + path("link.frd") + "' --to keep").exit_code, 2);
    EXPECT_TRUE(fs::is_symlink(path("link.frd")));
    // A pipe or a folder at OUT is never replaced, --force or not.
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0600), 0);
    fs::create_directory(path("folder"));
    for (const char* name : {"pipe", "folder"}) {
        const ToolRun refused = run("convert '" + kSample + "' '" + path(name) + "' --to keep --force");
        EXPECT_EQ(refused.exit_code, 2) << name;
        EXPECT_EQ(refused.output, path(name) + ": exists and is not a regular file; it is never replaced\n");
    }
    EXPECT_EQ(fs::status(path("pipe")).type(), fs::file_type::fifo);
}

// A running solver's file: new steps are shown as they are appended, each
// once the next one follows it or the file has stopped changing.
TEST_F(Cli, FollowShowsTheStepsASolverAppends) {
    const std::string whole = read_file(data_path("hex8_static.frd"));
    const size_t second_step = whole.find("  100CL", whole.find("  100CL") + 1);
    const std::string growing = write("growing.frd", whole.substr(0, second_step + 200));
    const std::string output = path("follow.out");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen(output.c_str(), "w", stdout);
        execl(KOVAN_CLI_PATH, KOVAN_CLI_PATH, "info", "--follow", growing.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto shows = [&](const std::string& text) {
        for (int tries = 0; tries < 200; ++tries) {  // up to 20 s on a slow machine
            if (fs::exists(output) && read_file(output).find(text) != std::string::npos) return true;
            usleep(100000);
        }
        return false;
    };
    EXPECT_TRUE(shows("following "));
    std::ofstream(growing, std::ios::binary | std::ios::app) << whole.substr(second_step + 200);
    EXPECT_TRUE(shows("  step 1, time 1; static, set 102, step 1, increment 2\n    DISP"));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_NE(run("info --follow --json '" + growing + "'").exit_code, 0);
}

// Ctrl-C or SIGTERM while convert writes its hidden file removes it, and the
// process still ends by the signal.
TEST_F(Cli, AnInterruptionRemovesThePendingFile) {
    const fs::path pending = write(".out.frd.kovan-1", "half"), kept = write(".out.frd.kovan-2", "whole");
    for (const fs::path& file : {pending, kept}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            kovan_cli::remove_on_interruption(file);
            if (file == kept) kovan_cli::keep_after_interruption();
            std::raise(SIGTERM);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    }
    EXPECT_FALSE(fs::exists(pending));
    EXPECT_EQ(read_file(kept.string()), "whole");
}

}  // namespace
