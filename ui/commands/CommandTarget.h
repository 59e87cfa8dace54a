#pragma once

#include "Commands.h"

namespace Gui {

// The state a command shows in menus and tool bars.
struct CCmdUI {
    bool enabled = true;
};

// Something a command can be routed to: the active view, its document, the profile window, the
// main window and the application, asked in that order. The first that handles a command runs it;
// a command nobody handles is shown disabled.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // Whether this target handles the command. With `state`, only fills in the command's state;
    // without, runs it.
    virtual bool OnCmdMsg(CommandId id, CCmdUI* state) = 0;
};

}  // namespace Gui
