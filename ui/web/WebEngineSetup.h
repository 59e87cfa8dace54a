#pragma once

namespace Gui {

// What the embedded browser needs from the process before it starts: shared GL contexts (before
// the application object exists) and the switches it can't run without here. Safe to call more
// than once; only the first call changes anything.
void PrepareWebEngine();

}  // namespace Gui
