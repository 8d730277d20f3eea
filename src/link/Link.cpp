#include "link/Link.h"

#include <condition_variable>
#include <cstdio>
#include <system_error>

namespace quillon {

// What the receive thread shares with the link. The gate keeps the thread's frames out of the
// link once the link has let go of it.
struct Link::Receiver {
  std::unique_ptr<AdapterPort> port;
  std::mutex gate;
  bool attached = true;
  std::mutex ended_lock;
  std::condition_variable ended_signal;
  bool ended = false;
};

Link::Link(PacketDriver& driver, Diagnostics diagnostics)
    : Link(driver, std::move(diagnostics), Options{}) {}

Link::Link(PacketDriver& driver, Diagnostics diagnostics, Options options)
    : driver_(driver), diagnostics_(std::move(diagnostics)), options_(std::move(options)) {}

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

  if (!address_known_) {
    if (const auto own = opened.port->OwnAddress()) {
      own_address_ = *own;
      address_known_ = true;
    }
  }
  auto receiver = std::make_shared<Receiver>();
  receiver->port = std::move(opened.port);
  open_ = true;
  try {
    receive_thread_ = options_.start_thread([this, receiver] { ReceiveThread(receiver); });
  } catch (const std::system_error& error) {
    // A link that could send but never hear a reply would only make every transaction wait.
    open_ = false;
    last_open_failure_ = OpenFailure::kOther;
    last_open_error_ = std::string("cannot start the receive thread: ") + error.what();
    lock.unlock();
    Diagnose("Could Not Start Receive Thread\n");
    return false;
  }
  receiver_ = std::move(receiver);
  return true;
}

void Link::CloseLink() {
  std::shared_ptr<Receiver> receiver;
  {
    std::unique_lock lock(port_lock_);
    if (!receiver_) return;
    stop_ = true;
    receiver = std::move(receiver_);
  }
  receiver->port->Stop();
  bool ended = false;
  {
    std::unique_lock lock(receiver->ended_lock);
    ended =
        receiver->ended_signal.wait_for(lock, options_.stop_wait, [&] { return receiver->ended; });
  }
  if (ended) {
    receive_thread_.join();
  } else {
    {
      std::lock_guard gate(receiver->gate);
      receiver->attached = false;
    }
    receive_thread_.detach();  // it holds its receiver, and frees it when it ends at last
    Diagnose("Receive thread did not end within " + std::to_string(options_.stop_wait.count()) +
             " ms; left behind\n");
  }
  // Transactions still waiting look again, find the link closed, and give up at their deadline.
  queue_.Arrivals().NotifyAll();
}

bool Link::SendFrame(ByteView frame) {
  if (!open_ || stop_ || frame.empty() || frame.size() > kMaxFrameLength) return false;
  std::shared_lock lock(port_lock_);
  if (!receiver_) return false;
  std::string error;
  if (receiver_->port->Send(frame, error)) return true;
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

void Link::ReceiveThread(const std::shared_ptr<Receiver>& receiver) {
  const std::string error = receiver->port->ReceiveUntilStopped([&](ByteView frame) {
    std::lock_guard gate(receiver->gate);
    if (receiver->attached) Enqueue(frame);
  });
  {
    std::lock_guard gate(receiver->gate);
    if (receiver->attached && !error.empty() && !stop_) Diagnose("Read Error: " + error + "\n");
  }
  std::lock_guard lock(receiver->ended_lock);
  receiver->ended = true;
  receiver->ended_signal.notify_all();
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
