// A simulated card reads whatever arrives on its segment (quillon-cardsim puts it on a real
// wire): any frame must be answered or ignored without reaching past it.
#include <cstddef>
#include <cstdint>

#include "sim/DemoFleet.h"
#include "sim/SimulatedCard.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static sim::SimulatedCard card(sim::CardBuilder(1358954496).Password("pw").Build());
  Bytes frame(data, data + size);
  // Address most inputs to the card, so that its commands are reached.
  if (frame.size() >= 14 && (frame[0] & 1) == 0) {
    card.Mac().StoreTo(frame, 0);
    frame[12] = 0x4D;
    frame[13] = 0x45;
  }
  for (const sim::OutgoingFrame& out : card.HandleFrame(frame, Clock::now())) {
    if (out.frame.size() > 1600) __builtin_trap();
  }
  return 0;
}
