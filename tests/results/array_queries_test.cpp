#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "results/materialise.h"
#include "support/frd_text.h"

using namespace kovan_test;

namespace {

const std::string kMesh = "    2C\n -1 1 0.0 0.0 0.0\n -1 2 1.0 0.0 0.0\n -3\n";

std::string step_block(int set, const std::string& name, const std::string& records) {
    return "  100CL  " + std::to_string(set) + " " + std::to_string(set - 100) + ".00000E+00           2" +
           "                     0    1           1\n -4  " + name + "        6    1\n" + records + " -3\n";
}

const std::string kThreeSteps = kMesh + step_block(101, "STRESS", " -1 1 1 2 3 4 5 6\n -1 2 6 5 4 3 2 1\n") +
                                step_block(102, "STRESS", " -1 1 1 2 3 4 5 6\n -1 2 1 2 3\n") +  // conflict
                                step_block(103, "DISP", " -1 1 1 2 3\n");

TEST(ArrayQueries, StressStepListsTheTensorAndItsDerivedArrays) {
    const auto doc = open_text(kThreeSteps);
    uint64_t n = 0;
    ASSERT_EQ(kovan_n_arrays(doc.get(), 0, &n), KOVAN_OK);
    EXPECT_EQ(n, 6u);
    kovan_array_info infos[6];
    ASSERT_EQ(kovan_array_info_range(doc.get(), 0, 0, 6, infos), KOVAN_OK);
    const char* names[] = {"STRESS", "STRESS_Mises", "STRESS_sgMises", "STRESS_PS3", "STRESS_PS2", "STRESS_PS1"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_STREQ(infos[i].name, names[i]);
        EXPECT_EQ(infos[i].n_tuples, 2u);
        EXPECT_EQ(infos[i].n_components, i == 0 ? 6u : 1u);
        EXPECT_EQ(infos[i].derived, i == 0 ? 0u : 1u);
    }
}

TEST(ArrayQueries, RangesAndIndicesAreChecked) {
    const auto doc = open_text(kThreeSteps);
    kovan_array_info info{nullptr, 7, 7, 7};
    EXPECT_EQ(kovan_array_info_range(doc.get(), 0, 6, 0, nullptr), KOVAN_OK);
    EXPECT_EQ(kovan_array_info_range(doc.get(), 0, 6, 1, &info), KOVAN_ERR_RANGE);
    EXPECT_EQ(kovan_array_info_range(doc.get(), 0, 5, UINT64_MAX, &info), KOVAN_ERR_RANGE);
    EXPECT_EQ(kovan_array_info_range(doc.get(), 0, 7, 0, nullptr), KOVAN_ERR_RANGE);
    EXPECT_EQ(kovan_array_info_range(doc.get(), 0, 0, 1, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_array_info_at(doc.get(), 0, 6, &info), KOVAN_ERR_RANGE);
    EXPECT_EQ(info.n_tuples, 7u);  // nothing written
    EXPECT_EQ(kovan_array_info_at(doc.get(), 0, 0, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_array_info_at(doc.get(), 3, 0, &info), KOVAN_ERR_RANGE);
    uint64_t n = 0;
    EXPECT_EQ(kovan_n_arrays(doc.get(), 3, &n), KOVAN_ERR_RANGE);
    EXPECT_EQ(kovan_n_arrays(doc.get(), 0, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_n_arrays(nullptr, 0, &n), KOVAN_ERR_ARG);

    const double* sentinel = reinterpret_cast<const double*>(&n);
    const double* values = sentinel;
    EXPECT_EQ(kovan_array_data(nullptr, 0, 0, &values), KOVAN_ERR_ARG);
    EXPECT_EQ(values, sentinel);
    EXPECT_EQ(kovan_array_data(doc.get(), 0, 6, &values), KOVAN_ERR_RANGE);
    EXPECT_EQ(values, nullptr);
    values = sentinel;
    EXPECT_EQ(kovan_array_data(doc.get(), 3, 0, &values), KOVAN_ERR_RANGE);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(kovan_array_data(doc.get(), 0, 0, nullptr), KOVAN_ERR_ARG);
}

TEST(ArrayQueries, FindIsExactAndCaseSensitive) {
    const auto doc = open_text(kThreeSteps);
    EXPECT_EQ(kovan_find_array(doc.get(), 0, "STRESS_PS1"), 5);
    EXPECT_EQ(kovan_find_array(doc.get(), 0, "stress"), -1);
    EXPECT_EQ(kovan_find_array(doc.get(), 0, "STRES"), -1);
    EXPECT_EQ(kovan_find_array(doc.get(), 0, nullptr), -1);
    EXPECT_EQ(kovan_find_array(doc.get(), 3, "STRESS"), -1);
    EXPECT_EQ(kovan_find_array(nullptr, 0, "STRESS"), -1);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 1u);  // the out-of-range and null queries decoded nothing
}

TEST(ArrayQueries, EachStepIsDecodedOnceAndItsPointersStay) {
    const auto doc = open_text(kThreeSteps);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 0u);
    const double* first = nullptr;
    ASSERT_EQ(kovan_array_data(doc.get(), 0, 1, &first), KOVAN_OK);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 1u);
    const std::vector<double> before(first, first + 2);
    uint64_t n = 0;
    ASSERT_EQ(kovan_n_arrays(doc.get(), 0, &n), KOVAN_OK);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 1u);
    ASSERT_EQ(kovan_n_arrays(doc.get(), 2, &n), KOVAN_OK);  // another step decoded meanwhile
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 2u);
    const double* again = nullptr;
    ASSERT_EQ(kovan_array_data(doc.get(), 0, 1, &again), KOVAN_OK);
    EXPECT_EQ(again, first);
    EXPECT_EQ(std::vector<double>(first, first + 2), before);
}

TEST(ArrayQueries, FailedStepFailsEveryQueryWithItsMessageAndCountsOnce) {
    const auto doc = open_text(kThreeSteps);
    const char* message = "array 'STRESS': node 2 has 3 components, expected 6";
    uint64_t n = 0;
    kovan_array_info info{};
    const double* values = nullptr;
    EXPECT_EQ(kovan_n_arrays(doc.get(), 1, &n), KOVAN_ERR_COMPONENTS);
    EXPECT_STREQ(kovan_last_error(doc.get()), message);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 1u);
    ASSERT_EQ(kovan_n_arrays(doc.get(), 0, &n), KOVAN_OK);  // other steps are fine; the text stays
    EXPECT_STREQ(kovan_last_error(doc.get()), message);
    EXPECT_EQ(kovan_array_info_at(doc.get(), 1, 0, &info), KOVAN_ERR_COMPONENTS);
    EXPECT_EQ(kovan_array_info_range(doc.get(), 1, 0, 0, nullptr), KOVAN_ERR_COMPONENTS);
    EXPECT_EQ(kovan_array_data(doc.get(), 1, 0, &values), KOVAN_ERR_COMPONENTS);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(kovan_find_array(doc.get(), 1, "STRESS"), -1);
    EXPECT_STREQ(kovan_last_error(doc.get()), message);
    EXPECT_STREQ(kovan_last_error(nullptr), message);  // the thread's slot holds it too
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 2u);
}

TEST(ArrayQueries, MeshWithoutPointsHasEmptyArrays) {
    const auto doc = open_text(step_block(101, "DISP", " -1 1 1 2 3\n"));
    ASSERT_EQ(kovan_n_steps(doc.get()), 1u);
    uint64_t n = 9;
    ASSERT_EQ(kovan_n_arrays(doc.get(), 0, &n), KOVAN_OK);
    ASSERT_EQ(n, 1u);
    kovan_array_info info{};
    ASSERT_EQ(kovan_array_info_at(doc.get(), 0, 0, &info), KOVAN_OK);
    EXPECT_EQ(info.n_tuples, 0u);
    const double* values = reinterpret_cast<const double*>(&n);
    EXPECT_EQ(kovan_array_data(doc.get(), 0, 0, &values), KOVAN_OK);
    EXPECT_EQ(values, nullptr);
}

// Many threads asking for the same undecoded steps at once: one decode and
// one count per step, the same pointers everywhere, the same failure.
TEST(Concurrency, ThreadsQueryingOneStepDecodeItOnce) {
    std::string text = kMesh;
    for (int set = 101; set <= 104; ++set) {
        text += step_block(set, "STRESS", " -1 1 1 2 3 4 5 6\n -1 2 6 5 4 3 2 1\n");
    }
    text += step_block(105, "STRESS", " -1 1 1 2 3 4 5 6\n -1 2 6 5 4 3\n");  // fails, for every thread alike
    for (int round = 0; round < 20; ++round) {
        const auto doc = open_text(text);
        constexpr int kThreads = 8;
        std::vector<const double*> seen(kThreads * 4, nullptr);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < kThreads) {
                }
                for (uint64_t step = 0; step < 5; ++step) {
                    const uint64_t s = (step + static_cast<uint64_t>(t)) % 5;
                    if (s == 4) {
                        const double* none = nullptr;
                        EXPECT_EQ(kovan_array_data(doc.get(), s, 2, &none), KOVAN_ERR_COMPONENTS);
                        EXPECT_STREQ(kovan_last_error(doc.get()), "array 'STRESS': node 2 has 4 components, expected 6");
                        continue;
                    }
                    EXPECT_EQ(kovan_array_data(doc.get(), s, 2, &seen[t * 4 + s]), KOVAN_OK);
                    EXPECT_LE(kovan_steps_parsed(doc.get()), 5u);
                }
            });
        }
        for (auto& thread : threads) thread.join();
        EXPECT_EQ(kovan_steps_parsed(doc.get()), 5u);
        for (int t = 1; t < kThreads; ++t) {
            for (int s = 0; s < 4; ++s) EXPECT_EQ(seen[t * 4 + s], seen[s]);
        }
        EXPECT_NE(seen[0], nullptr);
    }
}

// Threads asking for different steps decode them at the same time: step 0's
// decode waits for step 1's to begin. The wait is bounded, so that decodes
// that hold each other back fail the test instead of hanging it.
struct Overlap {
    std::mutex mutex;
    std::condition_variable changed;
    std::set<uint64_t> started;
    bool step_1_began_while_step_0_decoded = false;
};
Overlap overlap;

void hold_step_0_until_step_1_begins(uint64_t step) {
    std::unique_lock<std::mutex> hold(overlap.mutex);
    overlap.started.insert(step);
    overlap.changed.notify_all();
    if (step != 0) return;
    overlap.step_1_began_while_step_0_decoded =
        overlap.changed.wait_for(hold, std::chrono::seconds(30), [] { return overlap.started.count(1) > 0; });
}

TEST(Concurrency, DifferentStepsDecodeAtTheSameTime) {
    const auto doc = open_text(kMesh + step_block(101, "T", " -1 1 1\n") + step_block(102, "T", " -1 1 2\n"));
    kovan::on_decode_start = &hold_step_0_until_step_1_begins;
    uint64_t n0 = 0, n1 = 0;
    std::thread first([&] { kovan_n_arrays(doc.get(), 0, &n0); });
    {
        std::unique_lock<std::mutex> hold(overlap.mutex);
        overlap.changed.wait(hold, [] { return overlap.started.count(0) > 0; });
    }
    std::thread second([&] { kovan_n_arrays(doc.get(), 1, &n1); });
    first.join();
    second.join();
    kovan::on_decode_start = nullptr;
    EXPECT_TRUE(overlap.step_1_began_while_step_0_decoded);
    EXPECT_EQ(n0 + n1, 2u);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 2u);
}

// Steps let go while other threads query and decode them: every query
// answers from a whole decode (its own, or one still held), never from
// memory a release freed. ThreadSanitizer runs this too.
TEST(Concurrency, ReleasingWhileOtherThreadsDecodeIsSafe) {
    std::string text = kMesh;
    for (int s = 0; s < 4; ++s) text += step_block(101 + s, "T", " -1 1 " + std::to_string(s + 1) + "\n");
    const auto doc = open_text(text);
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; i < 300; ++i) {
                const uint64_t step = static_cast<uint64_t>((i + t) % 4);
                uint64_t n = 0;
                kovan_array_info info{};
                if (kovan_n_arrays(doc.get(), step, &n) != KOVAN_OK || n != 1) ++wrong;
                if (kovan_array_info_at(doc.get(), step, 0, &info) != KOVAN_OK || info.n_components != 1) ++wrong;
            }
        });
    }
    std::thread releaser([&] {
        for (uint64_t i = 0; !stop; ++i) kovan_release_step(doc.get(), i % 4);
    });
    for (std::thread& reader : readers) reader.join();
    stop = true;
    releaser.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 4u);
    EXPECT_EQ(array_values(doc.get(), 3, "T")[0], 4.0);
}

}  // namespace
