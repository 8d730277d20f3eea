#include "link/Link.h"

#include <cstdio>
#include <system_error>

namespace quillon {

Link::Link(PacketDriver& driver, Diagnostics diagnostics)
    : driver_(driver), diagnostics_(std::move(diagnostics)) {}

Link::~Link() {
  CloseLink();
}

void Link::WriteToStandardOutput(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

void Link::Diagnose(const std::string& line) const {
  if (diagnostics_) diagnostics_(line);
}

void Link::ResetLink() {
  CloseLink();
  std::unique_lock lock(port_lock_);
  open_ = false;
  address_known_ = false;
  own_address_ = MacAddress{};
}

bool Link::OpenLink(const std::string& driver_name) {
  if (open_) {
    CloseLink();
    ResetLink();
  }
  stop_ = false;
  queue_.Clear();

  OpenedAdapter opened = driver_.OpenAdapter(driver_name);
  std::unique_lock lock(port_lock_);
  last_open_failure_ = opened.failure;
  last_open_error_ = opened.error;
  if (!opened.port) return false;

  port_ = std::move(opened.port);
  if (!address_known_) {
    if (const auto own = port_->OwnAddress()) {
      own_address_ = *own;
      address_known_ = true;
    }
  }
  open_ = true;
  try {
    receive_thread_ = std::thread([this, port = port_.get()] { ReceiveThread(*port); });
  } catch (const std::system_error&) {
    Diagnose("Could Not Start Receive Thread\n");
  }
  return true;
}

void Link::CloseLink() {
  std::unique_ptr<AdapterPort> port;
  {
    std::unique_lock lock(port_lock_);
    if (!port_) return;
    stop_ = true;
    port = std::move(port_);
  }
  port->Stop();
  if (receive_thread_.joinable()) receive_thread_.join();
  port.reset();
  // Transactions still waiting look again, find the link closed, and give up at their deadline.
  queue_.Arrivals().NotifyAll();
}

bool Link::SendFrame(ByteView frame) {
  if (!open_ || stop_ || frame.empty() || frame.size() > kMaxFrameLength) return false;
  std::shared_lock lock(port_lock_);
  if (!port_) return false;
  std::string error;
  if (port_->Send(frame, error)) return true;
  Diagnose("Send Failed; Error: " + error + "\n");
  return false;
}

std::optional<Frame> Link::ReceiveFrame() {
  if (!open_ || stop_) return std::nullopt;
  return queue_.Pop();
}

MacAddress Link::OwnAddress() const {
  std::shared_lock lock(port_lock_);
  return own_address_;
}

OpenFailure Link::LastOpenFailure() const {
  std::shared_lock lock(port_lock_);
  return last_open_failure_;
}

std::string Link::LastOpenError() const {
  std::shared_lock lock(port_lock_);
  return last_open_error_;
}

void Link::SetNotifyWindow(NotifyHandler handler) {
  std::lock_guard lock(notify_lock_);
  notify_window_ = std::move(handler);
}

void Link::ReceiveThread(AdapterPort& port) {
  const std::string error = port.ReceiveUntilStopped([this](ByteView frame) { Enqueue(frame); });
  if (!error.empty() && !stop_) Diagnose("Read Error: " + error + "\n");
}

void Link::Enqueue(ByteView frame) {
  if (!open_ || stop_ || frame.empty() || frame.size() > kMaxFrameLength) return;
  constexpr std::size_t kCodeOffset = 16;
  const bool notice =
      frame.size() >= kCodeOffset + 2 && LoadBe16(frame, kCodeOffset) == kNoticeCode;
  if (!notice) {
    queue_.Push(frame);
    return;
  }
  const MacAddress card = MacAddress::From(frame, 6);
  {
    // Held through the call, so that a window that unregisters is not called after it has gone.
    std::lock_guard lock(notify_lock_);
    if (notify_window_) notify_window_(card);
  }
  notices_.Post(card);
  fuse_ok_.Set();
}

}  // namespace quillon
