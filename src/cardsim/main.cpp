// quillon-cardsim: simulated cards on a real interface, answering quillon-cli and the desktop
// program over the wire. Runs in the foreground until SIGINT or SIGTERM.
#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>

#include "cardsim/CardsOnWire.h"
#include "sim/DemoFleet.h"
#include "sim/FleetFile.h"

namespace {

quillon::cardsim::CardsOnWire* running = nullptr;

void StopOnSignal(int) {
  if (running) running->Stop();
}

std::vector<quillon::sim::CardProfile> DemoCards() {
  std::vector<quillon::sim::CardProfile> cards;
  for (const auto& adapter : quillon::sim::DemoFleet()) {
    cards.insert(cards.end(), adapter.cards.begin(), adapter.cards.end());
  }
  return cards;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string interface;
  std::string fleet_path;
  bool verbose = false;
  CLI::App app{
      "Attaches simulated cards to a network interface, where they answer like real ones."};
  app.name("quillon-cardsim");
  app.add_option("-i,--interface", interface, "The interface the cards sit on")->required();
  app.add_option("--fleet", fleet_path,
                 "A JSON file of cards (see the README); default: the demo fleet");
  app.add_flag("-v,--verbose", verbose, "Log one line per request to standard error");
  CLI11_PARSE(app, argc, argv);

  std::vector<quillon::sim::CardProfile> profiles = DemoCards();
  if (!fleet_path.empty()) {
    std::ifstream file(fleet_path);
    if (!file) {
      std::cerr << "quillon-cardsim: cannot read " << fleet_path << '\n';
      return 1;
    }
    quillon::sim::FleetFile fleet = quillon::sim::ReadFleet(file);
    if (!fleet.error.empty()) {
      std::cerr << "quillon-cardsim: " << fleet_path << ": " << fleet.error << '\n';
      return 1;
    }
    profiles = std::move(fleet.cards);
  }
  std::vector<std::shared_ptr<quillon::sim::SimulatedCard>> cards;
  for (auto& profile : profiles)
    cards.push_back(std::make_shared<quillon::sim::SimulatedCard>(profile));

  quillon::cardsim::CardsOnWire wire(std::move(cards), verbose ? &std::cerr : nullptr);
  if (const std::string error = wire.Attach(interface); !error.empty()) {
    std::cerr << "quillon-cardsim: cannot attach to " << interface << ": " << error << '\n';
    return 1;
  }
  running = &wire;
  std::signal(SIGINT, StopOnSignal);
  std::signal(SIGTERM, StopOnSignal);
  std::cerr << "quillon-cardsim: " << profiles.size() << " cards on " << interface << '\n';
  const std::string error = wire.Run();
  running = nullptr;
  if (!error.empty()) {
    std::cerr << "quillon-cardsim: " << error << '\n';
    return 1;
  }
  return 0;
}
