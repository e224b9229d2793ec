#include "document/step_facts.h"

#include <limits>

namespace kovan {

kovan_step_info describe_step(const StepEntry& step) {
    const SetParameters& p = step.facts.parameters;
    const double none = std::numeric_limits<double>::quiet_NaN();
    kovan_step_info info{};
    info.value = step.time;
    info.generalised_mass = p.has_generalised_mass ? p.generalised_mass : none;
    info.generalised_stiffness = p.has_generalised_stiffness ? p.generalised_stiffness : none;
    info.set_number = step.set_number;
    info.data_set = p.data_set;
    info.increment = p.increment;
    info.step = p.step;
    info.mode = p.mode;
    info.nodal_diameter = p.nodal_diameter;
    info.file_index = step.file_index;
    info.analysis = step.facts.header.analysis;
    info.flags = (step.has_set_number ? KOVAN_STEP_HAS_SET_NUMBER : 0) | (p.has_step ? KOVAN_STEP_HAS_STEP : 0) |
                 (p.has_mode ? KOVAN_STEP_HAS_MODE : 0) | (p.has_nodal_diameter ? KOVAN_STEP_HAS_NODAL_DIAMETER : 0) |
                 (p.has_generalised_mass ? KOVAN_STEP_HAS_GENERALISED_MASS : 0) |
                 (p.has_generalised_stiffness ? KOVAN_STEP_HAS_GENERALISED_STIFFNESS : 0);
    info.value_text = step.facts.header.value_text.c_str();
    info.analysis_text = step.facts.header.analysis_text.c_str();
    return info;
}

}  // namespace kovan
