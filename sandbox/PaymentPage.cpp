#include "sandbox/PaymentPage.h"

#include "sandbox/Backend.h"
#include "sandbox/BillingData.h"
#include "sandbox/HttpAnswer.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/PictureStore.h"

#include <QColor>
#include <QHttpServerRequest>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace sandbox {

namespace {

const QString kOrderPath = QStringLiteral("/pay/order/");
const QString kActivityPath = QStringLiteral("/pay/activity");

QString origin(const Backend& backend) {
    QString url = PictureStore::urlFor(backend, QString());
    url.chop(qsizetype(qstrlen(PictureStore::kPathPrefix)));
    return url;
}

HttpAnswer page(const QString& title, const QString& body, int status = 200) {
    return HttpAnswer::html(
        QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
            "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
            "<title>%1</title><style>body{font-family:sans-serif;margin:16px;font-size:15px}"
            "td{padding:6px 4px}button{width:100%;padding:10px;font-size:16px;color:#fff;"
            "background:#468cca;border:0;border-radius:5px}.note{color:#888}</style></head>"
            "<body><h3>%1</h3>%2</body></html>")
            .arg(title.toHtmlEscaped(), body)
            .toUtf8(),
        status);
}

HttpAnswer orderPage(Backend& backend, const QString& token, bool pay) {
    Database& db = backend.database();
    const auto rows = db.query(QStringLiteral("SELECT number, amount_fen, pay_fen, paid_at FROM"
                                              " payment_orders WHERE token = ?"),
                               {token});
    if (rows.isEmpty())
        return page(QStringLiteral("订单不存在"),
                    QStringLiteral("<p class=\"note\">该支付订单不存在或已失效。</p>"), 404);
    const QVariantMap order = rows.first();
    const QString number = order.value("number").toString();
    const qint64 amount = order.value("amount_fen").toLongLong();
    const QString details =
        QStringLiteral("<table><tr><td>充值号码</td><td>%1</td></tr><tr><td>充值金额</td>"
                       "<td>%2元</td></tr><tr><td>应付金额</td><td id=\"pay\">%3元</td></tr>"
                       "</table>")
            .arg(number.toHtmlEscaped(), MainBillInfoInterface::yuan(amount),
                 MainBillInfoInterface::yuan(order.value("pay_fen").toLongLong()));
    if (!order.value("paid_at").isNull())
        return page(QStringLiteral("订单已支付"),
                    details + QStringLiteral("<p class=\"note\">该订单已支付，无需重复支付。</p>"));
    if (!pay)
        return page(QStringLiteral("银行卡支付"),
                    details + QStringLiteral("<form method=\"post\"><button id=\"confirm\""
                                             " type=\"submit\">确认支付</button></form>"));
    // Paid once: the order is marked in the same step that credits the subscriber.
    const bool ok = db.transaction([&] {
        if (!db.exec(QStringLiteral("UPDATE payment_orders SET paid_at = ? WHERE token = ? AND"
                                    " paid_at IS NULL"),
                     {BillingData::now(), token}) ||
            db.changes() != 1)
            return false;
        return BillingData::credit(db, number, amount, QStringLiteral("银行卡"));
    });
    if (!ok)
        return page(QStringLiteral("支付失败"),
                    QStringLiteral("<p class=\"note\">请稍后再试。</p>"), 500);
    return page(QStringLiteral("支付成功"),
                details + QStringLiteral("<p id=\"done\">充值成功，请返回查看余额。</p>"));
}

} // namespace

bool PaymentPage::handle(const QHttpServerRequest& request, Backend& backend, QTcpSocket* socket) {
    const QString path = request.url().path();
    const bool isPost = request.method() == QHttpServerRequest::Method::Post;
    const bool isGet = request.method() == QHttpServerRequest::Method::Get;
    if (path == kActivityPath && isGet) {
        page(QStringLiteral("充值有礼"),
             QStringLiteral("<p>活动期间通过客户端充值100元及以上，实付金额享九八折优惠。</p>"
                            "<p class=\"note\">优惠自动计入实付金额，无需领取。</p>"))
            .sendTo(socket);
        return true;
    }
    if (!path.startsWith(kOrderPath) || !(isGet || isPost)) return false;
    orderPage(backend, path.mid(kOrderPath.size()), isPost).sendTo(socket);
    return true;
}

QString PaymentPage::createOrder(Backend& backend, const QString& number, qint64 amountFen) {
    const QString token =
        QString::number(QRandomGenerator::global()->generate64(), 16).rightJustified(16, u'0');
    const bool ok = backend.database().exec(
        QStringLiteral("INSERT INTO payment_orders (token, number, amount_fen, pay_fen,"
                       " created_at) VALUES (?, ?, ?, ?, ?)"),
        {token, number, amountFen, payFen(amountFen), BillingData::now()});
    return ok ? token : QString();
}

QString PaymentPage::orderUrl(const Backend& backend, const QString& token) {
    return origin(backend) + kOrderPath + token;
}

QString PaymentPage::activityUrl(const Backend& backend) {
    return origin(backend) + kActivityPath;
}

qint64 PaymentPage::payFen(qint64 amountFen) {
    return amountFen >= 10000 ? amountFen * 98 / 100 : amountFen;
}

bool PaymentPage::seedPictures(Database& db) {
    return db.exec(
        QStringLiteral("INSERT INTO home_pictures (name, png) VALUES (?, ?)"
                       " ON CONFLICT(name) DO UPDATE SET png = excluded.png"),
        {QString::fromLatin1(kBannerPicture),
         PictureStore::drawPng(600, 140, QColor(0xca, 0x56, 0x44), QColor(0xf5, 0xc2, 0x6b))});
}

} // namespace sandbox
