// A libpcap handle on one interface, opened the way every part of the program needs it: snapshot
// length 1600, immediate delivery, a kernel buffer for bursts, a filter of the frame types asked
// for (the program's own, ARP or both), and a receive loop that sleeps in poll() until a frame
// arrives or it is woken to stop.
#pragma once

#include <pcap/pcap.h>

#include <memory>
#include <string>

#include "link/PacketDriver.h"

namespace quillon::pcap {

struct CaptureOptions {
  bool promiscuous = false;    // only a simulator standing for many addresses needs it
  bool inbound_only = true;    // the program's own frames are of no interest to it
  bool own_type = true;        // frames of the program's own type (0x4D45)
  bool arp = false;            // ARP frames (0x0806)
  int buffer_bytes = 4 << 20;  // absorbs the replies of hundreds of cards at once
};

// Ends a receive loop from another thread.
class WakePipe {
 public:
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool Valid() const { return read_fd_ >= 0; }
  void Wake();
  int ReadFd() const { return read_fd_; }

 private:
  int read_fd_ = -1;
  int write_fd_ = -1;
};

class PcapCapture {
 public:
  struct Opened {
    std::unique_ptr<PcapCapture> capture;
    OpenFailure failure = OpenFailure::kNone;
    std::string error;
  };

  static Opened Open(const std::string& device, const CaptureOptions& options);
  ~PcapCapture();
  PcapCapture(const PcapCapture&) = delete;
  PcapCapture& operator=(const PcapCapture&) = delete;

  // Sends straight through the handle's socket, touching nothing of libpcap's state, so that
  // any thread may send while the receive loop runs.
  bool Send(ByteView frame, std::string& error);

  // Hands every captured frame to `sink` until `wake` is woken. Returns an empty text then, or
  // why capturing failed.
  std::string DispatchUntilWoken(const FrameSink& sink, const WakePipe& wake);

  // Waits at most `timeout_ms` for frames and hands what has arrived to `sink`. Returns the
  // number of frames, or -1 when capturing failed; `error`, when given, then says why.
  int DispatchReady(const FrameSink& sink, int timeout_ms, std::string* error = nullptr);

  const std::string& Device() const { return device_; }

 private:
  int Dispatch(const FrameSink& sink);
  PcapCapture(pcap_t* handle, std::string device) : handle_(handle), device_(std::move(device)) {}

  pcap_t* handle_;
  int socket_ = -1;  // the handle's own, once it is active
  std::string device_;
};

}  // namespace quillon::pcap
