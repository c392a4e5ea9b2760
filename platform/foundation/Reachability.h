#pragma once

#include "platform/foundation/Clock.h"

#include <QObject>
#include <QString>
#include <optional>

namespace ns {

// What network the machine is on, as the phone platform's reachability flags describe it.
// The medium comes from, in order: a test override, $TAVRIX_NETWORK (wifi|cellular|none),
// QNetworkInformation (the "glib" backend where it loads), else "Wi-Fi when a non-loopback
// interface is up". A desktop has no cellular modem, so "cellular" is only ever an override.
class Reachability : public QObject {
    Q_OBJECT
public:
    enum class Medium { None, Cellular, WiFi };

    // The platform's flag bits, with the platform's values.
    enum Flag : quint32 {
        TransientConnection = 1u << 0,
        Reachable = 1u << 1,
        ConnectionRequired = 1u << 2,
        ConnectionOnTraffic = 1u << 3,
        InterventionRequired = 1u << 4,
        ConnectionOnDemand = 1u << 5,
        IsLocalAddress = 1u << 16,
        IsDirect = 1u << 17,
        IsWWAN = 1u << 18,
    };
    using Flags = quint32;

    // What a reachability object watches.
    enum class Target { Internet, LinkLocal, Host, Address };

    static Reachability& shared();

    Medium medium();
    static QString mediumName(Medium medium);
    Flags flagsFor(Target target);

    // Tests pin the medium; std::nullopt returns to detection. Posts a change when it differs.
    void setMediumOverride(std::optional<Medium> medium);

    // Change detection runs only while someone watches (counted).
    void startWatching();
    void stopWatching();
    int watcherCount() const { return m_watchers; }
    // Re-reads the medium now and signals when it changed (also called by the poll).
    void recheck();

signals:
    void changed();

private:
    Reachability();
    Medium detect();
    void loadBackend();

    std::optional<Medium> m_override;
    std::optional<Medium> m_last;
    int m_watchers = 0;
    bool m_backendTried = false;
    DelayedCall m_poll;
};

} // namespace ns
