#include <gtest/gtest.h>

#include <string>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

TEST(Queries, NullHandleGivesZeroAndNull) {
    EXPECT_EQ(kovan_n_points(nullptr), 0u);
    EXPECT_EQ(kovan_points(nullptr), nullptr);
    EXPECT_EQ(kovan_node_ids(nullptr), nullptr);
    EXPECT_EQ(kovan_n_cells(nullptr), 0u);
    EXPECT_EQ(kovan_cell_types(nullptr), nullptr);
    EXPECT_EQ(kovan_cell_offsets(nullptr), nullptr);
    EXPECT_EQ(kovan_cell_connectivity(nullptr), nullptr);
    EXPECT_EQ(kovan_cell_ids(nullptr), nullptr);
    EXPECT_EQ(kovan_n_steps(nullptr), 0u);
    EXPECT_EQ(kovan_steps_parsed(nullptr), 0u);
    EXPECT_EQ(kovan_n_diagnostics(nullptr), 0u);
    double time = 7.0;
    EXPECT_EQ(kovan_step_time(nullptr, 0, &time), KOVAN_ERR_ARG);
    kovan_diagnostic d{};
    EXPECT_EQ(kovan_diagnostic_at(nullptr, 0, &d), KOVAN_ERR_ARG);
    EXPECT_EQ(time, 7.0);
}

const char* kTwoSteps =
    "  100CL  101 2.00000E+00           1                     0    1           1\n -4  DISP 1 1\n -1 1 1.0\n -3\n"
    "  100CL  102 1.00000E+00           1                     0    2           1\n -4  DISP 1 1\n -1 1 1.0\n -3\n"
    "    3C 1 1\n -1 1 99 0 1\n -3\n";

TEST(Queries, StepTimesAscendAndTheirIndexIsChecked) {
    const auto doc = open_text(kTwoSteps);
    ASSERT_EQ(kovan_n_steps(doc.get()), 2u);
    double time = -1.0;
    ASSERT_EQ(kovan_step_time(doc.get(), 0, &time), KOVAN_OK);
    EXPECT_EQ(time, 1.0);
    ASSERT_EQ(kovan_step_time(doc.get(), 1, &time), KOVAN_OK);
    EXPECT_EQ(time, 2.0);
    EXPECT_EQ(kovan_step_time(doc.get(), 2, &time), KOVAN_ERR_RANGE);
    EXPECT_EQ(time, 2.0);
    EXPECT_EQ(kovan_step_time(doc.get(), 0, nullptr), KOVAN_ERR_ARG);
    EXPECT_EQ(kovan_steps_parsed(doc.get()), 0u);
}

TEST(Queries, DiagnosticsAreCopiedOutByIndex) {
    const auto doc = open_text(kTwoSteps);
    ASSERT_EQ(kovan_n_diagnostics(doc.get()), 1u);
    kovan_diagnostic d{};
    ASSERT_EQ(kovan_diagnostic_at(doc.get(), 0, &d), KOVAN_OK);
    EXPECT_EQ(d.kind, KOVAN_DIAG_UNKNOWN_TYPE);
    EXPECT_EQ(d.element_type, 99);
    EXPECT_EQ(d.line, 10);
    kovan_diagnostic untouched{9, 9, 9, 9, 9};
    EXPECT_EQ(kovan_diagnostic_at(doc.get(), 1, &untouched), KOVAN_ERR_RANGE);
    EXPECT_EQ(untouched.kind, 9);
    EXPECT_EQ(kovan_diagnostic_at(doc.get(), 0, nullptr), KOVAN_ERR_ARG);
}

TEST(Queries, DocumentWithoutMeshHasOneOffsetAndNoArrays) {
    const auto doc = open_text(kTwoSteps);
    EXPECT_EQ(kovan_n_points(doc.get()), 0u);
    EXPECT_EQ(kovan_points(doc.get()), nullptr);
    EXPECT_EQ(kovan_n_cells(doc.get()), 0u);
    ASSERT_NE(kovan_cell_offsets(doc.get()), nullptr);
    EXPECT_EQ(kovan_cell_offsets(doc.get())[0], 0);
    EXPECT_EQ(kovan_cell_connectivity(doc.get()), nullptr);
}

}  // namespace
