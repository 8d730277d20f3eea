#include "flows/Session.h"

#include <stdexcept>
#include <system_error>
#include <thread>

namespace quillon {

namespace {

// Runs work(i) for i from 0 to count - 1, each on a thread of its own (on this one when no thread
// can be made), and returns when all are done. Opening and closing an adapter wait on the kernel,
// and adapters need not wait for one another.
template <typename Work>
void SideBySide(std::size_t count, const Work& work) {
  std::vector<std::jthread> threads;
  for (std::size_t i = 0; i < count; ++i) {
    try {
      threads.emplace_back(work, i);
    } catch (const std::system_error&) {
      work(i);
    }
  }
}

}  // namespace

Session::Session(PacketDriver& driver, const Timing& timing, Link::Diagnostics diagnostics)
    : driver_(driver), timing_(timing), diagnostics_(std::move(diagnostics)), adapters_(driver) {}

// The links close (and their receive threads end) before the driver may go.
Session::~Session() {
  std::lock_guard lock(slots_lock_);
  SideBySide(slots_.size(), [this](std::size_t i) { slots_[i].channel->link().CloseLink(); });
}

std::vector<std::string> Session::EnumerateAdapters(const std::vector<std::string>& only) {
  adapters_.EnumerateAdapters();
  std::vector<std::string> unknown;
  if (!only.empty()) unknown = adapters_.RestrictTo(only);
  std::lock_guard lock(slots_lock_);
  slots_.clear();
  for (int i = 0; i < adapters_.Count(); ++i) {
    slots_.push_back({std::make_unique<AdapterChannel>(driver_, timing_, diagnostics_), false});
  }
  return unknown;
}

void Session::OpenSlot(int index, Slot& slot, std::vector<OpenProblem>* problems) {
  slot.opened = true;
  Link& link = slot.channel->link();
  if (link.OpenLink(adapters_.Entry(index).driver_name)) return;
  if (problems) problems->push_back({index, link.LastOpenFailure(), link.LastOpenError()});
}

std::vector<OpenProblem> Session::OpenAll() {
  std::lock_guard lock(slots_lock_);
  std::vector<std::vector<OpenProblem>> found(slots_.size());
  SideBySide(slots_.size(), [this, &found](std::size_t i) {
    if (!slots_[i].channel->link().IsOpen()) OpenSlot(static_cast<int>(i), slots_[i], &found[i]);
  });
  std::vector<OpenProblem> problems;
  for (const auto& adapter : found) problems.insert(problems.end(), adapter.begin(), adapter.end());
  return problems;
}

AdapterChannel& Session::Channel(int index) {
  std::lock_guard lock(slots_lock_);
  if (index < 0 || static_cast<std::size_t>(index) >= slots_.size()) {
    throw std::out_of_range("no adapter " + std::to_string(index) + " in this session");
  }
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  if (!slot.opened) OpenSlot(index, slot, nullptr);
  return *slot.channel;
}

bool Session::AddressInUse(int index, std::uint32_t address) {
  const std::string& adapter = adapters_.Entry(index).driver_name;
  const std::unique_ptr<AddressProbe> probe = driver_.OpenAddressProbe(adapter);
  if (!probe) return false;
  const bool answers = probe->AddressAnswers(address, timing_.address_probe_wait);
  if (const std::string error = probe->LastError(); !error.empty() && diagnostics_) {
    diagnostics_("Address probe failed: " + error + "\n");
  }
  return answers;
}

void Session::SetNotifyWindow(const Link::NotifyHandler& handler) {
  std::lock_guard lock(slots_lock_);
  for (Slot& slot : slots_) slot.channel->link().SetNotifyWindow(handler);
}

}  // namespace quillon
