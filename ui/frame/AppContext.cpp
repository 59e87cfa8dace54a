#include "AppContext.h"

#include "core/settings/GeneralManager.h"

namespace Gui {

Targets::Options TargetOptionsOf(const CAppContext& app) {
    return {app.intakes, app.general ? app.general->DefaultTargets() : true};
}

}  // namespace Gui
