// quillon-cli upgrade: the upgrade run of the desktop program, with a progress line per card,
// the per-card results and the summary.
#pragma once

#include "cli/CliContext.h"

namespace quillon::cli {

int Upgrade(CliEnvironment& env, const CliOptions& options);

}  // namespace quillon::cli
