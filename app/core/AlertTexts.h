#pragma once

#include <QString>

// Alert texts more than one place shows, spelled once so every screen says the same.
namespace AlertTexts {

inline QString title() {
    return QStringLiteral("提示");
}
// A request that ran out of time, or a reply that is not a JSON object.
inline QString timedOut() {
    return QStringLiteral("请求超时");
}
// Any other transport failure.
inline QString networkFailed() {
    return QStringLiteral("网络连接失败,请检查您的网络设置");
}
// A link (or text) the desktop has nothing to open with, or whose hand-off failed.
inline QString cannotOpenLink() {
    return QStringLiteral("无法打开此链接");
}

} // namespace AlertTexts
