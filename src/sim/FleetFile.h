// Simulated cards described in JSON, for quillon-cardsim and for tests over a real wire.
//
// {"cards": [{"serial": 1358954538,            // or "mac": "02-4B-51-00-00-2A"
//             "count": 1,                      // that many cards, serials counting up
//             "level": 32,
//             "ipv4": {"mode": "static", "address": "192.168.1.21", "mask": "255.255.255.0",
//                      "gateway": "192.168.1.1", "current": "192.168.1.21"},
//             "ports": {"http": 80, "telnet": 23, "https": 443, "ssh": 22},
//             "ipv6": {"mode": 4, "address": "2001:db8::7", "gateway": "2001:db8::1",
//                      "prefix": 64, "linkLocal": "fe80::7", "second": ""},
//             "hardware": "QN-9100",                // or four numbers: [1, 1, 0, 0]
//             "firmware": "v3.2.0K build 41",       // or [1, 4, "C", 9]
//             "password": "",
//             "faults": {"replyDelayMs": 0, "dropRate": 0.0, "duplicateReplies": false,
//                        "decoy": "none", "busy": false, "silent": false,
//                        "silentAfterDiscovery": false, "notReadyFirst": false,
//                        "noNotice": false, "silentFromBlock": 12, "refusedBlocks": [3],
//                        "preparingBlocks": [0]},
//             "firmwareSide": {"answersIdentification": true, "bootWord": "0x00010005",
//                              "programmingMs": 1500}}]}
//
// Every field but "serial" (or "mac") may be left out; the defaults are those of CardBuilder.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "sim/SimulatedCard.h"

namespace quillon::sim {

struct FleetFile {
  std::vector<CardProfile> cards;
  std::string error;  // what is wrong with the file, and where
};

FleetFile ReadFleet(std::istream& json);

}  // namespace quillon::sim
