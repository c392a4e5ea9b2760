#pragma once

#include "platform/foundation/Reachability.h"

#include <QObject>
#include <QString>
#include <memory>
#include <netinet/in.h>

// Network status values.
enum NetworkStatus { NotReachable = 0, ReachableViaWWAN = 1, ReachableViaWiFi = 2 };

// The notification posted (object: the NetworkReachability) when the network changes.
inline constexpr char kReachabilityChangedNotification[] = "NetworkReachabilityChangedNotification";

// One watched reachability target and the status rules over its flags.
class NetworkReachability : public QObject {
    Q_OBJECT
public:
    using Flags = ns::Reachability::Flags;

    // nullptr when there is no target (an empty host name).
    static std::unique_ptr<NetworkReachability> reachabilityWithHostName(const QString& host);
    static std::unique_ptr<NetworkReachability> reachabilityWithAddress(const sockaddr_in& address);
    static std::unique_ptr<NetworkReachability> reachabilityForInternetConnection();
    static std::unique_ptr<NetworkReachability> reachabilityForLocalWiFi();
    // "%d.%d.%d.%d" of the four bytes of an address in network byte order.
    static QString makeAddressKey(in_addr_t address);
    static bool accessInstanceVariablesDirectly() { return false; }

    NetworkReachability(ns::Reachability::Target target, const QString& key);
    ~NetworkReachability() override;

    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }

    // Posts kReachabilityChangedNotification on every change until stopped or destroyed.
    bool startNotifier();
    void stopNotifier();

    bool isEqual(const NetworkReachability& other) const { return m_key == other.m_key; }

    NetworkStatus currentReachabilityStatus() const;
    NetworkStatus networkStatusForFlags(Flags flags) const;
    bool isReachable() const { return currentReachabilityStatus() != NotReachable; }
    bool isReachableViaWWAN() const { return currentReachabilityStatus() == ReachableViaWWAN; }
    bool isReachableViaWiFi() const { return currentReachabilityStatus() == ReachableViaWiFi; }
    bool isConnectionRequired() const;
    bool connectionRequired() const { return isConnectionRequired(); }
    bool isConnectionOnDemand() const;
    bool isInterventionRequired() const;
    Flags reachabilityFlags() const;

private:
    ns::Reachability::Target m_target;
    QString m_key;
    bool m_notifying = false;
    // Only the object made for the link-local network gets its special rule, not one whose key
    // merely reads the same.
    bool m_isLocalWiFi = false;
};
