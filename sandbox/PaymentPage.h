#pragma once

#include <QString>

class QHttpServerRequest;
class QTcpSocket;

namespace sandbox {

class Backend;
class Database;

// The page standing in for the operator's payment site, and the promotion page of the
// recharge banner, at /pay/...: GET /pay/order/<token> shows a payment order made by
// "Payment" (number, amount, sum to pay) with a button; POST to the same address pays it once,
// crediting the subscriber and recording a bank-card recharge. GET /pay/activity is the
// promotion.
class PaymentPage {
public:
    static constexpr const char* kPathPrefix = "/pay/";
    // The recharge banner's campaign and picture.
    static constexpr const char* kCampaign = "8010020141118001";
    static constexpr const char* kBannerPicture = "recharge_activity.png";

    // Serves the request when it is one of these pages; false leaves it to the server.
    static bool handle(const QHttpServerRequest& request, Backend& backend, QTcpSocket* socket);

    // A new unpaid order of amountFen for the subscriber; its token, or "" when it could not be
    // stored.
    static QString createOrder(Backend& backend, const QString& number, qint64 amountFen);
    static QString orderUrl(const Backend& backend, const QString& token);
    static QString activityUrl(const Backend& backend);
    // What a recharge of amountFen costs: 2% off from 100 yuan.
    static qint64 payFen(qint64 amountFen);
    // The banner picture (with the pictures the home page serves).
    static bool seedPictures(Database& db);
};

} // namespace sandbox
