// quillon-demo: the desktop program on an in-process simulated segment with the demonstration
// fleet, so it runs anywhere, without cards and without privileges.
#include "app/KestrelApp.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"

namespace {

std::unique_ptr<quillon::PacketDriver> MakeDemoSegment() {
  auto segment = std::make_unique<quillon::sim::SimulatedSegment>();
  quillon::sim::Populate(*segment, quillon::sim::DemoFleet());
  return segment;
}

}  // namespace

int main(int argc, char* argv[]) {
  return quillon::RunKestrelApp(argc, argv, quillon::kDemoProgram, MakeDemoSegment,
                                quillon::Timing::Standard());
}
