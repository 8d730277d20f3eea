// quillon: the desktop program on the machine's network adapters.
#include "app/KestrelApp.h"
#include "link/SystemDriver.h"

int main(int argc, char* argv[]) {
  return quillon::RunKestrelApp(argc, argv, quillon::kQuillonProgram, quillon::MakeSystemDriver,
                                quillon::Timing::Standard());
}
