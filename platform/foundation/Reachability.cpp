#include "platform/foundation/Reachability.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

namespace ns {

namespace {

// Interfaces and the environment give no change signal; while watched they are re-read this
// often.
constexpr qint64 kPollMs = 3000;

std::optional<Reachability::Medium> fromEnvironment() {
    const QByteArray value = qgetenv("TAVRIX_NETWORK").trimmed().toLower();
    if (value == "wifi") return Reachability::Medium::WiFi;
    if (value == "cellular") return Reachability::Medium::Cellular;
    if (value == "none") return Reachability::Medium::None;
    return std::nullopt;
}

Reachability::Medium fromInterfaces() {
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack)) continue;
        if (flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::IsRunning) && !i.addressEntries().isEmpty())
            return Reachability::Medium::WiFi;
    }
    return Reachability::Medium::None;
}

} // namespace

Reachability& Reachability::shared() {
    static Reachability* instance = new Reachability; // lives as long as the process
    return *instance;
}

Reachability::Reachability() = default;

QString Reachability::mediumName(Medium medium) {
    switch (medium) {
    case Medium::None:
        return QStringLiteral("none");
    case Medium::Cellular:
        return QStringLiteral("cellular");
    case Medium::WiFi:
        return QStringLiteral("wifi");
    }
    return {};
}

void Reachability::loadBackend() {
    if (m_backendTried) return;
    m_backendTried = true;
    // The default backend needs D-Bus; "glib" answers without it (reachability only).
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByName(QStringLiteral("glib")))
        return;
    if (auto* info = QNetworkInformation::instance()) {
        connect(info, &QNetworkInformation::reachabilityChanged, this, [this] { recheck(); });
        connect(info, &QNetworkInformation::transportMediumChanged, this, [this] { recheck(); });
    }
}

Reachability::Medium Reachability::detect() {
    if (m_override) return *m_override;
    if (auto env = fromEnvironment()) return *env;
    loadBackend();
    if (auto* info = QNetworkInformation::instance()) {
        switch (info->reachability()) {
        case QNetworkInformation::Reachability::Disconnected:
            return Medium::None;
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site:
        case QNetworkInformation::Reachability::Online:
            return info->transportMedium() == QNetworkInformation::TransportMedium::Cellular
                       ? Medium::Cellular
                       : Medium::WiFi;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    return fromInterfaces();
}

Reachability::Medium Reachability::medium() {
    const Medium now = detect();
    m_last = now;
    return now;
}

Reachability::Flags Reachability::flagsFor(Target target) {
    switch (medium()) {
    case Medium::None:
        return 0;
    case Medium::Cellular:
        // The link-local network is never reached over the cellular radio.
        return target == Target::LinkLocal ? Flags(0) : Flags(Reachable | IsWWAN);
    case Medium::WiFi:
        return target == Target::LinkLocal ? Flags(Reachable | IsDirect) : Flags(Reachable);
    }
    return 0;
}

void Reachability::setMediumOverride(std::optional<Medium> medium) {
    m_override = medium;
    recheck();
}

void Reachability::startWatching() {
    if (m_watchers++ > 0) return;
    m_last = detect();
    m_poll.start(
        kPollMs, this, [this] { recheck(); }, true);
}

void Reachability::stopWatching() {
    if (m_watchers == 0) return;
    if (--m_watchers == 0) m_poll.cancel();
}

void Reachability::recheck() {
    const Medium now = detect();
    const bool differs = m_last && *m_last != now;
    m_last = now;
    if (differs) emit changed();
}

} // namespace ns
