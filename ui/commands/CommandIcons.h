#pragma once

#include "Commands.h"

#include <QIcon>

namespace Gui {

// The tool bar picture of a command, drawn for small and large sizes; a null icon for commands
// that have none.
QIcon CommandIcon(CommandId id);
// The program's own icon: a plate with a leaf.
QIcon ApplicationIcon();

}  // namespace Gui
