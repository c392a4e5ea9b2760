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
// The system version the stand-in declares as the platform's version text. A desktop offers
// everything the newest phone system the client knows does.
QString systemVersion();
// Stands in another version text (tests of the older system's paths); an empty text brings
// back the declared one.
void setSystemVersion(const QString& version);
// The version text's leading decimal number, read the way the platform reads a float from a
// text: "7.1.2" gives 7.1, a text without a leading number 0.
float systemVersionNumber();
// Whether that number is at least the given one.
bool isSystemVersionAtLeast(float version);
// Points of the phone-sized window.
constexpr double kScreenWidth = 320;
constexpr double kScreenHeight = 568;
} // namespace DeviceInfo

} // namespace ns
