#include "screens/usage/FlowOrder.h"

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"

#include <QPointer>

namespace FlowOrder {

HTTPRequest* start(ViewController* screen, qint64 productId, const QString& marketId,
                   std::function<void()> succeeded) {
    HTTPRequest* request = screen->requestStartWithKey("Order", true);
    // Money moves: a dropped connection must never make the network layer send it again.
    request->setAtMostOnce(true);
    request->setPostValue(QString::number(productId), "target");
    request->setPostValue(marketId, "marketid");
    request->setPostValue("1", "action");
    QPointer<ViewController> guard(screen);
    request->setCompletionHandler([guard, succeeded](const QVariant& reply) {
        if (!guard || !guard->requestFinishedBase(reply).isValid()) return;
        if (succeeded) succeeded();
    });
    request->startRequest();
    return request;
}

} // namespace FlowOrder
