// The pointing hand shown over the picture buttons.
#pragma once

#include <QCursor>

namespace quillon {

// 32 x 32, hot spot at the fingertip.
QCursor HandCursor();

}  // namespace quillon
