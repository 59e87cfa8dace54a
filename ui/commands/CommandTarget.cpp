#include "CommandTarget.h"

namespace Gui {

void CCommandTarget::OnCommand(CommandId id, Run run, Enabled enabled) {
    handlers_[id] = Handler{std::move(run), std::move(enabled)};
}

bool CCommandTarget::Answers(CommandId id) const { return handlers_.contains(id); }

bool CCommandTarget::CanRun(CommandId id) const {
    auto it = handlers_.find(id);
    return it != handlers_.end() && (!it->second.enabled || it->second.enabled());
}

bool CCommandTarget::RunCommand(CommandId id) {
    if (!CanRun(id)) return false;
    // A command may close the window this target belongs to and so delete the target: the
    // handler runs from a copy.
    const Run run = handlers_.at(id).run;
    if (run) run();
    return true;
}

std::string CCommandTarget::Description(CommandId id) const {
    auto it = descriptions_.find(id);
    return it == descriptions_.end() || !it->second ? std::string() : it->second();
}

}  // namespace Gui
