// The one link of the process to the packet driver: open on one adapter at a time, a receive
// thread that queues every frame of the program's own type, and the path for the cards' notices.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <thread>

#include "base/Events.h"
#include "base/MacAddress.h"
#include "base/Threads.h"
#include "base/Timing.h"
#include "link/NoticeBoard.h"
#include "link/PacketDriver.h"
#include "link/ReceiveQueue.h"

namespace quillon {

// Code at frame offset 16 of the notice a card sends on its own when it has programmed its flash.
inline constexpr std::uint16_t kNoticeCode = 0x4001;

class Link {
 public:
  // Receives the source address of every notice, on the receive thread, before "FuseOK" is set.
  // The receive thread waits for it to return; it must not wait for a thread that may be
  // unregistering it at that moment.
  using NotifyHandler = std::function<void(const MacAddress& card)>;
  // Receives each diagnostic line (newline included).
  using Diagnostics = std::function<void(const std::string& line)>;

  struct Options {
    // How long closing waits for the receive thread to end before it leaves it behind.
    Millis stop_wait{5000};
    ThreadStarter start_thread = StartThread;
  };

  explicit Link(PacketDriver& driver, Diagnostics diagnostics = WriteToStandardOutput);
  Link(PacketDriver& driver, Diagnostics diagnostics, Options options);
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Back to the closed state with nothing known about any adapter.
  void ResetLink();
  // Opens the link on the adapter with this driver name, closing it first if it is open. Frames
  // still queued are discarded. True when the link is open afterwards, with its receive thread
  // running; a receive thread that cannot start fails the open.
  bool OpenLink(const std::string& driver_name);
  // Stops the receive thread and closes the adapter; send and receive refuse from then on. Waits
  // at most the stop wait for the thread; one that has not ended by then is left behind, cut off
  // from the link, and says so in the diagnostics.
  void CloseLink();

  // Sends one whole frame of 1 to 1600 bytes.
  bool SendFrame(ByteView frame);
  // The oldest queued frame, if there is one; never waits.
  std::optional<Frame> ReceiveFrame();
  std::size_t QueuedFrames() const { return queue_.Size(); }
  // Drops the queued frames from one card.
  void DiscardFramesFrom(const MacAddress& card) { queue_.DiscardFrom(card); }

  bool IsOpen() const { return open_ && !stop_; }
  MacAddress OwnAddress() const;
  OpenFailure LastOpenFailure() const;
  std::string LastOpenError() const;

  // Waiting without polling: register an ArrivalSignal::Waiter, Arm() it, look for a frame, then
  // Wait().
  ArrivalSignal& Arrivals() { return queue_.Arrivals(); }

  // Stands for the window that receives the notices; an empty handler unregisters it. Returns
  // once no call of the previous handler is running.
  void SetNotifyWindow(NotifyHandler handler);
  // Set once for every notice, after the notify handler has returned.
  AutoResetEvent& FuseOk() { return fuse_ok_; }
  // Every notice, kept per card for the one waiting for that card.
  NoticeBoard& Notices() { return notices_; }

  static void WriteToStandardOutput(const std::string& line);

 private:
  struct Receiver;

  void ReceiveThread(const std::shared_ptr<Receiver>& receiver);
  void Enqueue(ByteView frame);
  void Diagnose(const std::string& line) const;

  PacketDriver& driver_;
  Diagnostics diagnostics_;
  const Options options_;

  // Guards the receiver's lifetime against concurrent senders.
  mutable std::shared_mutex port_lock_;
  // The open adapter and what its receive thread shares with the link; the thread keeps it alive
  // when it has to be left behind.
  std::shared_ptr<Receiver> receiver_;
  std::atomic<bool> open_{false};
  std::atomic<bool> stop_{false};
  bool address_known_ = false;
  MacAddress own_address_{};
  OpenFailure last_open_failure_ = OpenFailure::kNone;
  std::string last_open_error_;

  std::thread receive_thread_;
  ReceiveQueue queue_;

  std::mutex notify_lock_;
  NotifyHandler notify_window_;
  AutoResetEvent fuse_ok_;
  NoticeBoard notices_;
};

}  // namespace quillon
