// The texts the main window shows, with their string numbers. The "%d" forms are filled with
// QString::asprintf.
#pragma once

namespace quillon::strings {

inline constexpr char kTitle[] = "Quillon Utility";                               // 32840
inline constexpr char kSearchingDevice[] = "Searching device...";                 // 32849
inline constexpr char kNoDeviceFound[] = "No device found";                       // 32850
inline constexpr char kSelectOneOf[] = "Select 1 of %d";                          // 32852
inline constexpr char kSelectOf[] = "Select %d of %d";                            // 32853
inline constexpr char kSelectItems[] = "Select %d items";                         // 32854
inline constexpr char kSelectItem[] = "Select %d item";                           // 32855
inline constexpr char kClosing[] = "Quillon Utility is closing, please wait...";  // 32856
inline constexpr char kSelectNoneOf[] = "Select 0 of %d";                         // 32857

// Device list columns; the blanks are part of the titles.
inline constexpr char kSerialColumn[] = " Serial Number ";
inline constexpr char kMacColumn[] = " MAC Address ";
inline constexpr char kIpv4Column[] = "IPv4 Address";

// The device list's menu.
inline constexpr char kMenuLaunch[] = "&Launch Device...";
inline constexpr char kMenuSettings[] = "&Settings...";
inline constexpr char kMenuUpgrade[] = "Upgrade &Firmware...";
inline constexpr char kMenuRefresh[] = "&Refresh List\tF5";
inline constexpr char kMenuAbout[] = "&About";

}  // namespace quillon::strings
