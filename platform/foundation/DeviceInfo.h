#pragma once

#include <QString>

namespace ns {

// What the client reports about the machine it runs on (identifier, version, address).
namespace DeviceInfo {
// A UUID made on first use and kept in the sandbox, like a per-vendor identifier.
QString identifierForVendor();
QString applicationVersion(); // "CFBundleShortVersionString"
// The Wi-Fi hardware address text of the first non-loopback interface, or an error text.
QString macAddress();
QString model();
// Points of the phone-sized window.
constexpr double kScreenWidth = 320;
constexpr double kScreenHeight = 568;
} // namespace DeviceInfo

} // namespace ns
