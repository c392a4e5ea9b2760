#include "app/core/NetworkReachability.h"

#include "platform/foundation/NotificationCenter.h"

using ns::Reachability;

namespace {
const QString kInternetKey = QStringLiteral("InternetConnection");
const QString kLocalWiFiKey = QStringLiteral("LocalWiFiConnection");
} // namespace

std::unique_ptr<NetworkReachability>
NetworkReachability::reachabilityWithHostName(const QString& host) {
    if (host.isEmpty()) return nullptr;
    return std::make_unique<NetworkReachability>(Reachability::Target::Host, host);
}

std::unique_ptr<NetworkReachability>
NetworkReachability::reachabilityWithAddress(const sockaddr_in& address) {
    if (address.sin_family != AF_INET) return nullptr;
    return std::make_unique<NetworkReachability>(Reachability::Target::Address,
                                                 makeAddressKey(address.sin_addr.s_addr));
}

std::unique_ptr<NetworkReachability> NetworkReachability::reachabilityForInternetConnection() {
    sockaddr_in zero{};
    zero.sin_family = AF_INET;
    auto r = reachabilityWithAddress(zero);
    r->m_target = Reachability::Target::Internet;
    r->setKey(kInternetKey);
    return r;
}

std::unique_ptr<NetworkReachability> NetworkReachability::reachabilityForLocalWiFi() {
    sockaddr_in linkLocal{};
    linkLocal.sin_family = AF_INET;
    linkLocal.sin_addr.s_addr = htonl(0xA9FE0000); // 169.254.0.0
    auto r = reachabilityWithAddress(linkLocal);
    r->m_target = Reachability::Target::LinkLocal;
    r->m_isLocalWiFi = true;
    r->setKey(kLocalWiFiKey);
    return r;
}

QString NetworkReachability::makeAddressKey(in_addr_t address) {
    const auto* b = reinterpret_cast<const unsigned char*>(&address);
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

NetworkReachability::NetworkReachability(Reachability::Target target, const QString& key)
    : m_target(target), m_key(key) {}

NetworkReachability::~NetworkReachability() {
    stopNotifier();
    m_key.clear();
}

bool NetworkReachability::startNotifier() {
    if (m_notifying) return true;
    m_notifying = true;
    connect(&Reachability::shared(), &Reachability::changed, this, [this] {
        ns::NotificationCenter::defaultCenter().postNotificationName(
            QString::fromLatin1(kReachabilityChangedNotification), this);
    });
    Reachability::shared().startWatching();
    return true;
}

void NetworkReachability::stopNotifier() {
    if (!m_notifying) return;
    m_notifying = false;
    disconnect(&Reachability::shared(), &Reachability::changed, this, nullptr);
    Reachability::shared().stopWatching();
}

NetworkReachability::Flags NetworkReachability::reachabilityFlags() const {
    return Reachability::shared().flagsFor(m_target);
}

NetworkStatus NetworkReachability::networkStatusForFlags(Flags flags) const {
    if (!(flags & Reachability::Reachable)) return NotReachable;
    if (m_isLocalWiFi) return (flags & Reachability::IsDirect) ? ReachableViaWiFi : NotReachable;
    if (flags & Reachability::IsWWAN) return ReachableViaWWAN;
    const Flags m = flags & ~Flags(Reachability::Reachable | Reachability::IsLocalAddress |
                                   Reachability::IsDirect);
    if (m == (Reachability::TransientConnection | Reachability::ConnectionRequired))
        return NotReachable;
    if (flags & Reachability::TransientConnection) return ReachableViaWiFi;
    if (m == 0) return ReachableViaWiFi;
    return (flags & Reachability::ConnectionRequired) ? ReachableViaWiFi : NotReachable;
}

NetworkStatus NetworkReachability::currentReachabilityStatus() const {
    return networkStatusForFlags(reachabilityFlags());
}

bool NetworkReachability::isConnectionRequired() const {
    return reachabilityFlags() & Reachability::ConnectionRequired;
}

bool NetworkReachability::isConnectionOnDemand() const {
    const Flags f = reachabilityFlags();
    return (f & Reachability::ConnectionRequired) &&
           (f & (Reachability::ConnectionOnTraffic | Reachability::ConnectionOnDemand));
}

bool NetworkReachability::isInterventionRequired() const {
    const Flags f = reachabilityFlags();
    return (f & Reachability::ConnectionRequired) && (f & Reachability::InterventionRequired);
}
