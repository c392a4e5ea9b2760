#pragma once

#include <QString>
#include <functional>

class HTTPRequest;
class ViewController;

// "Order" of one data product: "target" (its 64-bit id), "marketid" and "action" "1", under the
// loading overlay and judged by the common check; `succeeded` runs on an accepted reply.
namespace FlowOrder {
HTTPRequest* start(ViewController* screen, qint64 productId, const QString& marketId,
                   std::function<void()> succeeded);
} // namespace FlowOrder
