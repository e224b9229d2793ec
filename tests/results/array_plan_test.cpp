// A step's plan, told before decoding, against the step as it decodes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/frd_text.h"

using namespace kovan_test;

namespace {

struct Listed {
    std::string name;
    uint32_t components = 0;
    uint32_t derived = 0;
    std::vector<std::string> component_names;
    bool operator==(const Listed& o) const {
        return name == o.name && components == o.components && derived == o.derived && component_names == o.component_names;
    }
};

using Lister = kovan_status (*)(kovan_document*, uint64_t, uint64_t, kovan_array_info*);
using Namer = kovan_status (*)(kovan_document*, uint64_t, uint64_t, uint32_t, const char**);

std::vector<Listed> listed(kovan_document* doc, uint64_t step, uint64_t count, Lister list, Namer name) {
    std::vector<Listed> arrays;
    for (uint64_t i = 0; i < count; ++i) {
        kovan_array_info info{};
        EXPECT_EQ(list(doc, step, i, &info), KOVAN_OK);
        Listed array{info.name, info.n_components, info.derived, {}};
        for (uint32_t k = 0; k < info.n_components; ++k) {
            const char* component = nullptr;
            EXPECT_EQ(name(doc, step, i, k, &component), KOVAN_OK);
            array.component_names.emplace_back(component);
        }
        arrays.push_back(array);
    }
    return arrays;
}

TEST(ArrayPlan, EverySolverStepDecodesAsPlannedAndPlanningDecodesNothing) {
    for (const auto& entry : std::filesystem::directory_iterator(KOVAN_TEST_DATA_DIR)) {
        if (entry.path().extension() != ".frd") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const auto doc = open_data_file(entry.path().filename().string());
        std::vector<std::vector<Listed>> plans;
        for (uint64_t s = 0; s < kovan_n_steps(doc.get()); ++s) {
            uint64_t count = 0;
            ASSERT_EQ(kovan_n_planned_arrays(doc.get(), s, &count), KOVAN_OK);
            plans.push_back(listed(doc.get(), s, count, kovan_planned_array_at, kovan_planned_component_name));
        }
        EXPECT_EQ(kovan_steps_parsed(doc.get()), 0u);
        for (uint64_t s = 0; s < plans.size(); ++s) {
            uint64_t count = 0;
            ASSERT_EQ(kovan_n_arrays(doc.get(), s, &count), KOVAN_OK);
            EXPECT_TRUE(plans[s] == listed(doc.get(), s, count, kovan_array_info_at, kovan_array_component_name)) << s;
        }
    }
}

}  // namespace
