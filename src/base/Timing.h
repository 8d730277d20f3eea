// Every duration of the protocol and of the windows, in one profile. The programs run the standard
// profile; tests run a shortened one so that no test waits for a real 30 s window.
#pragma once

#include <chrono>

namespace quillon {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

struct Timing {
  // Request transactions: each try waits one window for its reply.
  Millis query_window{1200};
  int query_tries = 5;
  Millis command_window{30000};
  int command_tries = 5;
  // Paces the cards: held inside the send lock after every command frame.
  Millis command_send_pause{3};
  // A reply with status 4 (busy) is turned into 2 after this pause.
  Millis busy_pause{500};

  Millis discovery_window{3600};
  // How long the settings wait for a host to answer for an address before taking it as free.
  Millis address_probe_wait{1000};

  // Main window and search.
  Millis startup_delay{300};
  Millis refresh_interval{120000};
  Millis refresh_after_command{20000};
  Millis closing_wait{25000};
  Millis after_write_pause{500};
  // Between two web pages handed to the browser, so that it is not given a burst of them.
  Millis launch_pause{920};

  // Firmware upgrade and factory commands.
  Millis preparing_pause{3000};
  Millis notice_wait{120000};
  Millis factory_busy_pause{6000};

  static Timing Standard() { return Timing{}; }

  // Short enough for tests, long enough to stay deterministic under sanitizers.
  static Timing Shortened() {
    Timing t;
    t.query_window = Millis{150};
    t.command_window = Millis{300};
    t.command_send_pause = Millis{0};
    t.busy_pause = Millis{40};
    t.discovery_window = Millis{250};
    t.address_probe_wait = Millis{100};
    t.startup_delay = Millis{10};
    t.refresh_interval = Millis{60000};
    t.refresh_after_command = Millis{60000};
    t.closing_wait = Millis{5000};
    t.after_write_pause = Millis{10};
    t.launch_pause = Millis{20};
    t.preparing_pause = Millis{60};
    t.notice_wait = Millis{2000};
    t.factory_busy_pause = Millis{60};
    return t;
  }
};

}  // namespace quillon
