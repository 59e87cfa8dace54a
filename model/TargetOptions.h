#pragma once

class CDC_DietaryIntakesMgr;

namespace Targets {

// What a day is judged against besides the user's own limits: the reference intakes of the
// edition the program loaded, when the "Default Targets" setting is on.
struct Options {
    const CDC_DietaryIntakesMgr* intakes = nullptr;  // null: no reference intakes
    bool defaultTargets = true;
};

}  // namespace Targets
