#pragma once

#include "Commands.h"

#include <functional>
#include <map>
#include <string>

namespace Gui {

// Something a command can be routed to: the active view, its document, the profile window, the
// main window and the application, asked in that order. Each registers the commands it answers;
// the first on the route that answers a command decides whether it can run and runs it. A
// command nobody answers is shown disabled.
class CCommandTarget {
public:
    using Run = std::function<void()>;
    using Enabled = std::function<bool()>;

    virtual ~CCommandTarget() = default;

    // Answers `id` from now on: `run` runs it while `enabled` says it can (always, without one).
    void OnCommand(CommandId id, Run run, Enabled enabled = {});
    bool Answers(CommandId id) const;
    // False for a command this target does not answer.
    bool CanRun(CommandId id) const;
    // Runs the command if this target answers it and it can run now; false when it did not run.
    bool RunCommand(CommandId id);

    // A menu text that says what the command would do now ("Undo Add Food"), in place of the
    // command's fixed text; empty for the fixed text.
    using Describe = std::function<std::string()>;
    void DescribeCommand(CommandId id, Describe describe) { descriptions_[id] = std::move(describe); }
    std::string Description(CommandId id) const;

private:
    struct Handler {
        Run run;
        Enabled enabled;
    };
    std::map<CommandId, Handler> handlers_;
    std::map<CommandId, Describe> descriptions_;
};

}  // namespace Gui
