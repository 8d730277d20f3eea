#include "link/pcap/PcapCapture.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <vector>

#include "link/ArpFrame.h"
#include "link/ReceiveFilter.h"

namespace quillon::pcap {

namespace {

constexpr int kSnapshotLength = static_cast<int>(kMaxFrameLength);

OpenFailure FailureOf(int status) {
  switch (status) {
    case PCAP_ERROR_PERM_DENIED:
    case PCAP_ERROR_PROMISC_PERM_DENIED:
      return OpenFailure::kPermissionDenied;
    case PCAP_ERROR_NO_SUCH_DEVICE:
      return OpenFailure::kNoSuchAdapter;
    default:
      return OpenFailure::kOther;
  }
}

std::string ActivationError(pcap_t* handle, int status) {
  const std::string detail = pcap_geterr(handle);
  std::string summary = pcap_statustostr(status);
  if (detail.empty()) return summary;
  return summary + ": " + detail;
}

// The frame types the options ask for.
bool InstallFilter(pcap_t* handle, const CaptureOptions& options) {
  std::vector<std::uint16_t> types;
  if (options.own_type) types.push_back(kOwnFrameType);
  if (options.arp) types.push_back(arp::kFrameType);
  std::vector<bpf_insn> instructions;
  for (const FilterInstruction& in : FrameTypeFilter(types)) {
    instructions.push_back({in.code, in.jump_true, in.jump_false, in.constant});
  }
  bpf_program program{};
  program.bf_len = static_cast<unsigned>(instructions.size());
  program.bf_insns = instructions.data();
  return pcap_setfilter(handle, &program) == 0;
}

}  // namespace

WakePipe::WakePipe() {
  int fds[2];
  if (pipe(fds) != 0) return;
  for (int fd : fds) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  read_fd_ = fds[0];
  write_fd_ = fds[1];
}

WakePipe::~WakePipe() {
  if (read_fd_ >= 0) close(read_fd_);
  if (write_fd_ >= 0) close(write_fd_);
}

void WakePipe::Wake() {
  const char byte = 1;
  if (write_fd_ >= 0) (void)!write(write_fd_, &byte, 1);
}

PcapCapture::Opened PcapCapture::Open(const std::string& device, const CaptureOptions& options) {
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_t* handle = pcap_create(device.c_str(), error);
  if (!handle) return {nullptr, OpenFailure::kNoSuchAdapter, error};
  std::unique_ptr<PcapCapture> capture(new PcapCapture(handle, device));

  pcap_set_snaplen(handle, kSnapshotLength);
  pcap_set_promisc(handle, options.promiscuous ? 1 : 0);
  pcap_set_immediate_mode(handle, 1);
  pcap_set_buffer_size(handle, options.buffer_bytes);
  const int status = pcap_activate(handle);
  if (status < 0) return {nullptr, FailureOf(status), ActivationError(handle, status)};
  if (pcap_datalink(handle) != DLT_EN10MB) {
    return {nullptr, OpenFailure::kOther, device + " is not an Ethernet adapter"};
  }
  if (!InstallFilter(handle, options)) {
    return {nullptr, OpenFailure::kOther,
            std::string("cannot install the receive filter: ") + pcap_geterr(handle)};
  }
  if (options.inbound_only) pcap_setdirection(handle, PCAP_D_IN);
  if (pcap_setnonblock(handle, 1, error) != 0) return {nullptr, OpenFailure::kOther, error};
  capture->socket_ = pcap_fileno(handle);
  return {std::move(capture), OpenFailure::kNone, {}};
}

PcapCapture::~PcapCapture() {
  pcap_close(handle_);
}

// What pcap_sendpacket() does, without its error buffer, which the receive loop writes too. One
// socket per adapter also halves what opening and closing an adapter cost: the kernel waits for
// a synchronisation of its own for each packet socket's ring, when it is made and when it goes.
bool PcapCapture::Send(ByteView frame, std::string& error) {
  const ssize_t sent = write(socket_, frame.data(), frame.size());
  if (sent == static_cast<ssize_t>(frame.size())) return true;
  error = sent < 0 ? std::generic_category().message(errno) : "the frame went out cut short";
  return false;
}

int PcapCapture::Dispatch(const FrameSink& sink) {
  auto deliver = [](u_char* user, const pcap_pkthdr* header, const u_char* bytes) {
    // A frame longer than the snapshot arrives cut: it is longer than any frame may be, and is
    // dropped rather than taken for a shorter one.
    if (header->caplen != header->len) return;
    const auto& receiver = *reinterpret_cast<const FrameSink*>(user);
    receiver(ByteView(bytes, header->caplen));
  };
  return pcap_dispatch(handle_, -1, deliver,
                       reinterpret_cast<u_char*>(const_cast<FrameSink*>(&sink)));
}

int PcapCapture::DispatchReady(const FrameSink& sink, int timeout_ms, std::string* error) {
  pollfd capture{pcap_get_selectable_fd(handle_), POLLIN, 0};
  if (capture.fd < 0) {
    if (error) *error = "this adapter cannot be waited on";
    return -1;
  }
  if (poll(&capture, 1, timeout_ms) < 0) {
    if (errno == EINTR) return 0;
    if (error) *error = "poll: " + std::generic_category().message(errno);
    return -1;
  }
  const int frames = Dispatch(sink);
  if (frames < 0 && error) *error = pcap_geterr(handle_);
  return frames;
}

std::string PcapCapture::DispatchUntilWoken(const FrameSink& sink, const WakePipe& wake) {
  const int capture_fd = pcap_get_selectable_fd(handle_);
  if (capture_fd < 0) return "this adapter cannot be waited on";
  std::array<pollfd, 2> fds{{{capture_fd, POLLIN, 0}, {wake.ReadFd(), POLLIN, 0}}};
  for (;;) {
    const int ready = poll(fds.data(), fds.size(), -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return "poll: " + std::generic_category().message(errno);
    }
    if (fds[1].revents != 0) return {};
    if (fds[0].revents & (POLLERR | POLLNVAL)) return "the adapter reported an error";
    if (Dispatch(sink) == PCAP_ERROR) return pcap_geterr(handle_);
  }
}

}  // namespace quillon::pcap
