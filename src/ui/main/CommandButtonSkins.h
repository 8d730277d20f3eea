// The pictures of the main window's five command buttons: a plate with the command's icon and
// name, drawn in three states. A disabled button shows its normal picture.
#pragma once

#include "ui/controls/HoverButtonCl.h"
#include "ui/main/CommandId.h"

namespace quillon {

ButtonSkin CommandButtonSkin(CommandId command);

}  // namespace quillon
