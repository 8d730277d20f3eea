// quillon-cardsim: simulated cards on a real interface, answering quillon-cli and the desktop
// program over the wire. Runs in the foreground until SIGINT or SIGTERM.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "base/Version.h"
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

// Keeps what a card programmed, for people and tests that want to look at it.
auto SaveTo(const std::string& directory) {
  return [directory](const quillon::MacAddress& card, const quillon::Bytes& image) {
    const std::string path = directory + "/" + quillon::DeviceKey(card) + ".bin";
    const std::string partial = path + ".part";
    std::ofstream(partial, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    std::rename(partial.c_str(), path.c_str());  // whole, or not there
  };
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string interface;
  std::string fleet_path;
  bool verbose = false;
  std::string save_images;
  CLI::App app{
      "Attaches simulated cards to a network interface, where they answer like real ones."};
  app.name("quillon-cardsim");
  app.set_version_flag("--version", quillon::VersionLine("quillon-cardsim"));
  app.add_option("-i,--interface", interface, "The interface the cards sit on")->required();
  app.add_option("--fleet", fleet_path,
                 "A JSON file of cards (see the README); default: the demo fleet");
  app.add_flag("-v,--verbose", verbose,
               "Log one line per request and per ARP answer to standard error");
  app.add_option("--save-images", save_images, "Write each image a card programs to DIR/SERIAL.bin")
      ->check(CLI::ExistingDirectory);
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
  for (auto& profile : profiles) {
    auto card = std::make_shared<quillon::sim::SimulatedCard>(profile);
    if (!save_images.empty()) card->OnProgrammed(SaveTo(save_images));
    cards.push_back(card);
  }

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
