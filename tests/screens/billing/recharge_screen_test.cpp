#include "BillingHarness.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "sandbox/Reply.h"
#include "screens/billing/BillingSupport.h"
#include "screens/billing/RechargeViewController.h"
#include "tests/support/ScriptedServer.h"

#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <limits>

namespace {

using namespace billing_test;

const QString kTooSmall = "充值金额不能小于10元";
const QString kTooLarge = "充值金额不能大于500元";

class RechargeScreen : public BillingHarness {
protected:
    RechargeViewController* open() {
        auto* screen = new RechargeViewController;
        BillingHarness::open(screen, [=, this] {
            return sandbox.requestsTo("RechargeOffer").size() >= 1 && !remain(screen).isEmpty() &&
                   !screen->dicOfActivity().isEmpty() &&
                   !text(screen->labelOfPayment()).startsWith("正在");
        });
        sandbox.clearRequests();
        return screen;
    }
    // Opens the screen on its card recharge.
    RechargeViewController* openCard() {
        auto* screen = open();
        click(screen->buttonOfRechargeableCard());
        settle();
        return screen;
    }
    // Types into a field the way a person does: click it, then the keys.
    static void typeInto(ui::TextField* field, const QString& keys) {
        click(field);
        windowinput::type(keys);
    }
    static QString remain(RechargeViewController* screen) {
        return text(screen->labelOfRemainMoney());
    }
    QString lastOfferAmount() {
        const auto offers = sandbox.requestsTo("RechargeOffer");
        return offers.isEmpty() ? QString() : offers.last().fields.value("amount");
    }
    // GETs (or POSTs) a page the sandbox serves; the body, or "" on failure.
    static QString fetch(const QString& url, bool post) {
        QNetworkAccessManager nam;
        QNetworkRequest request{QUrl(url)};
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        std::unique_ptr<QNetworkReply> reply(post ? nam.post(request, QByteArray())
                                                  : nam.get(request));
        waitUntil([&] { return reply->isFinished(); });
        return QString::fromUtf8(reply->readAll());
    }
};

TEST_F(RechargeScreen, StartsWithItsFourRequestsAndShowsTheAccount) {
    sandbox.clearRequests();
    auto* screen = show(new RechargeViewController);
    ASSERT_TRUE(waitFor([&] { return sandbox.requests().size() >= 4; }));
    const QString session = PublicFunction::getConfigWithKey("session").toString();
    const QList<QPair<QString, QList<QPair<QString, QString>>>> expected = {
        {"PaymentInfo", {{"session", session}, {"num", "13800000001"}, {"channel", "2"}}},
        {"MainBillInfo", {{"session", session}, {"num", "13800000001"}}},
        {"SpecialActivity",
         {{"session", session}, {"num", "13800000001"}, {"marketId", "8010020141118001"}}},
        {"RechargeOffer", {{"session", session}, {"num", "13800000001"}, {"amount", "20"}}},
    };
    for (const auto& [name, fields] : expected) {
        const auto asked = sandbox.requestsTo(name);
        ASSERT_EQ(asked.size(), 1) << name.toStdString();
        EXPECT_EQ(asked[0].fields.items(), fields) << name.toStdString();
    }
    ASSERT_TRUE(waitFor([&] { return !remain(screen).isEmpty(); }));
    EXPECT_EQ(screen->phoneNO()->text(), "138 0000 0001");
    EXPECT_EQ(remain(screen), "58.30元");
    // The sum comes with its own reply, which may be the last of the four.
    EXPECT_TRUE(waitFor([&] { return text(screen->labelOfPayment()) == "20.00元"; }));
    EXPECT_FALSE(screen->buttonOfXIndicator()->isHidden());
}

TEST(RechargeNumbers, PhoneNumberIsGroupedOnlyWhenItHasElevenDigits) {
    const QList<QPair<QString, QString>> cases = {
        {"13800138000", "138 0013 8000"}, {"1380000", "1380000"},           {"", ""},
        {"1380000000a", "1380000000a"},   {"138000000012", "138000000012"},
    };
    for (const auto& [stored, shown] : cases)
        EXPECT_EQ(BillingSupport::groupedPhoneNumber(stored), shown) << stored.toStdString();
}

TEST_F(RechargeScreen, TypedAmountIsTakenWhenRechargeIsPressedMidEdit) {
    struct Case {
        QString typed;
        QString alert;  // "" when the payment is asked for
        QString amount; // what "Payment" carries
    };
    const Case cases[] = {
        {"9", kTooSmall, ""}, {"10", "", "10"},     {"500", "", "500"},  {"501", kTooLarge, ""},
        {"050", "", "50"},    {"0", kTooSmall, ""}, {"", kTooSmall, ""}, {"5000", "", "500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        auto* screen = open();
        click(screen->buttonOfOtherMoney());
        settle();
        typeInto(screen->textFieldOfMoney(), c.typed);
        ASSERT_TRUE(screen->textFieldOfMoney()->isEditing());
        click(screen->buttonOfRecharge()); // still editing: the typed amount counts
        EXPECT_FALSE(screen->textFieldOfMoney()->isEditing());
        settle();
        EXPECT_EQ(alertMessage(), c.alert);
        if (c.alert.isEmpty()) {
            ASSERT_TRUE(waitForRequests("Payment", 1));
            EXPECT_EQ(sandbox.requestsTo("Payment")[0].fields.value("amount"), c.amount);
            ASSERT_TRUE(waitFor([&] { return webPage() != nullptr; }));
            EXPECT_TRUE(webPage()->requestURL().startsWith(
                QUrl(sandbox.baseAddress()).resolved(QUrl("/pay/order/")).toString()));
            EXPECT_EQ(webPage()->strOfTitle(), "充值");
        } else {
            EXPECT_TRUE(sandbox.requestsTo("Payment").isEmpty());
        }
        // The field keeps at most three characters.
        EXPECT_LE(screen->textFieldOfMoney()->text().size(), 3);
    }
}

TEST_F(RechargeScreen, EachButtonChargesTheAmountItShows) {
    // The server names its own amounts; those a button cannot stand for give way to the
    // fixed ones.
    ScriptedServer& server = scripted();
    server.setHandler([](const ScriptedServer::Request& r) {
        if (r.path.endsWith("PaymentInfo.do"))
            return ScriptedServer::json(
                R"({"result":0,"list":[{"price":"25"},{"price":"abc"},{"price":"1000"},)"
                R"({"price":"50.5"},{"price":" 60 "},{"price":9}]})");
        if (r.path.endsWith("Payment.do"))
            return ScriptedServer::json(R"({"result":0,"url":"http://127.0.0.1:1/pay"})");
        return ScriptedServer::json(R"({"result":0,"amount":"1.00"})");
    });
    auto* screen = show(new RechargeViewController);
    ASSERT_TRUE(waitFor([&] { return screen->moneyButton(0)->currentTitle() == "25"; }));
    const QStringList shown = {"25", "30", "50", "100", "60", "300"};
    for (int i = 0; i < RechargeViewController::kMoneyButtonCount; ++i) {
        SCOPED_TRACE(i);
        ui::Button* button = screen->moneyButton(i);
        EXPECT_EQ(button->currentTitle(), shown[i]);
        const int before = int(server.requests().size());
        click(button);
        EXPECT_TRUE(button->isSelected());
        ASSERT_TRUE(waitFor([&] { return server.requests().size() > before; }));
        const auto& last = server.requests().last();
        EXPECT_TRUE(last.path.endsWith("RechargeOffer.do"));
        EXPECT_EQ(last.fields().last(), (QPair<QString, QString>{"amount", shown[i]}));
        // Recharge waits for the sum of the chosen amount.
        ASSERT_TRUE(waitFor([&] { return text(screen->labelOfPayment()).endsWith("元"); }));
        click(screen->buttonOfRecharge());
        ASSERT_TRUE(waitFor([&] { return server.requests().last().path.endsWith("Payment.do"); }));
        EXPECT_EQ(server.requests().last().fields().last(),
                  (QPair<QString, QString>{"amount", shown[i]}));
        ASSERT_TRUE(waitFor([&] { return webPage() != nullptr; }));
        nav->popViewControllerAnimated(false);
        settle();
    }
}

TEST_F(RechargeScreen, ALateSumForAnEarlierAmountIsDropped) {
    auto* screen = open();
    sandbox.setFault("RechargeOffer", sandbox::Fault::delay(5000));
    click(screen->moneyButton(2)); // 50
    ASSERT_TRUE(waitForRequests("RechargeOffer", 1));
    sandbox.setFault("RechargeOffer", sandbox::Fault::delay(1000));
    click(screen->moneyButton(4)); // 200: 2% off
    ASSERT_TRUE(waitForRequests("RechargeOffer", 2));
    EXPECT_EQ(text(screen->labelOfPayment()), "正在获取金额...");
    clock.clock.advance(1000);
    ASSERT_TRUE(waitFor([&] { return text(screen->labelOfPayment()) == "196.00元"; }));
    clock.clock.advance(5000); // the sum for 50 would arrive now
    ASSERT_TRUE(waitForRequestsToEnd(screen));
    settle();
    EXPECT_EQ(text(screen->labelOfPayment()), "196.00元");
    EXPECT_EQ(screen->strOfRechargeMoney(), "200");
}

TEST_F(RechargeScreen, LeavingTheOtherAmountRestoresTheChosenButton) {
    auto* screen = open();
    click(screen->moneyButton(3)); // 100
    click(screen->buttonOfOtherMoney());
    settle();
    typeInto(screen->textFieldOfMoney(), "77");
    // A click beside the fields ends editing (the "完成" bar covers the switch meanwhile).
    windowinput::click(window.get(), windowinput::pointInWindow(screen->view(), {5, 60}));
    ASSERT_TRUE(waitUntil([&] { return lastOfferAmount() == "77"; }));
    click(screen->buttonOfOtherMoney());
    settle();
    EXPECT_EQ(screen->strOfRechargeMoney(), "100");
    waitUntil([&] { return lastOfferAmount() == "100"; });
    EXPECT_EQ(lastOfferAmount(), "100");
    EXPECT_EQ(screen->viewOfMoneyButtons()->alpha(), 1);
    EXPECT_EQ(screen->viewOfOtherMoney()->alpha(), 0);
    click(screen->buttonOfRecharge());
    ASSERT_TRUE(waitForRequests("Payment", 1));
    EXPECT_EQ(sandbox.requestsTo("Payment")[0].fields.value("amount"), "100");
}

TEST_F(RechargeScreen, ACardRechargeCreditsTheBalanceOnce) {
    auto* screen = open();
    EXPECT_EQ(remain(screen), "58.30元");
    click(screen->buttonOfRechargeableCard());
    settle();
    EXPECT_EQ(screen->backGroundView1()->frame().height(), 200);
    EXPECT_EQ(screen->backGroundView2()->frame().y(), screen->backGroundView1()->frame().y() + 200);
    struct Step {
        QString number, password, alert;
    };
    const Step steps[] = {
        {"", "", "请输入充值卡卡号"},
        {"10000000000000001", "", "请输入充值卡密码"},
        {"10000000000000001", "999999", "充值卡卡号或密码错误"},
        {"10000000000000001", "100000000000000001", "充值成功"},
        {"10000000000000001", "100000000000000001", "该充值卡已被使用"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.alert.toStdString());
        screen->textFieldOfRechargeableCardNumber()->setText(QString());
        screen->textFieldOfRechargeableCardPassword()->setText(QString());
        typeInto(screen->textFieldOfRechargeableCardNumber(), s.number);
        typeInto(screen->textFieldOfRechargeableCardPassword(), s.password);
        click(screen->buttonOfRecharge());
        ASSERT_TRUE(waitFor([&] { return !alertMessage().isEmpty(); }));
        EXPECT_EQ(alertMessage(), s.alert);
        pressAlert("确定");
        settle();
    }
    const auto cards = sandbox.requestsTo("Card");
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards[1].fields.items().mid(2),
              (QList<QPair<QString, QString>>{{"cardno", "10000000000000001"},
                                              {"cardpwd", "100000000000000001"}}));
    // The next look at the account shows the credit: 58.30 + 50.00.
    auto* again = open();
    EXPECT_EQ(remain(again), "108.30元");
}

TEST_F(RechargeScreen, TheCardPanelSpringsFromSystemSevenOnAndSlidesPlainBefore) {
    auto* screen = open();
    const struct {
        const char* version;
        qint64 settledMs; // until the panel has its card height
    } cases[] = {{"7.0", 800}, {"6.1", 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ns::DeviceInfo::setSystemVersion(c.version);
        click(screen->buttonOfBankCard());
        settle();
        ns::ScopedManualClock time;
        ui::Animation::setEnabled(true);
        click(screen->buttonOfRechargeableCard());
        qint64 settled = -1;
        for (qint64 ms = 0; ms <= 1500 && settled < 0; ms += 10) {
            if (screen->backGroundView1()->frame().height() == 200) settled = ms;
            time.clock.advance(10);
        }
        ui::Animation::setEnabled(false);
        EXPECT_NEAR(double(settled), double(c.settledMs), 30);
    }
    ns::DeviceInfo::setSystemVersion({});
}

TEST_F(RechargeScreen, FieldsStopAtTheirLengthsButStillDelete) {
    auto* screen = openCard();
    const QString digits = "12345678901234567890";
    struct Case {
        ui::TextField* field;
        int limit;
    };
    const Case cases[] = {{screen->textFieldOfRechargeableCardNumber(), 17},
                          {screen->textFieldOfRechargeableCardPassword(), 18}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        typeInto(c.field, digits);
        EXPECT_EQ(c.field->text(), digits.left(c.limit));
        windowinput::key(Qt::Key_Backspace);
        EXPECT_EQ(c.field->text(), digits.left(c.limit - 1));
    }
}

TEST_F(RechargeScreen, ADroppedCardRechargeReachesTheServerOnce) {
    auto* screen = openCard();
    sandbox.setFault("Card", sandbox::Fault::drop());
    typeInto(screen->textFieldOfRechargeableCardNumber(), "10000000000000002");
    typeInto(screen->textFieldOfRechargeableCardPassword(), "100000000000000002");
    click(screen->buttonOfRecharge());
    expectDroppedOnce("Card");
}

TEST_F(RechargeScreen, PaymentPageCreditsTheAccountOnce) {
    auto* screen = open();
    click(screen->moneyButton(3)); // 100
    click(screen->buttonOfRecharge());
    ASSERT_TRUE(waitFor([&] { return webPage() != nullptr; }));
    const QString url = webPage()->requestURL();
    EXPECT_TRUE(fetch(url, false).contains("98.00元"));
    EXPECT_TRUE(fetch(url, true).contains("充值成功"));
    EXPECT_TRUE(fetch(url, true).contains("该订单已支付"));
    auto* again = open();
    EXPECT_EQ(remain(again), "158.30元");
}

TEST_F(RechargeScreen, UnusablePagesAlertInsteadOfOpeningBlank) {
    struct Case {
        const char* what;
        QByteArray payment;
    };
    const Case cases[] = {
        {"no url", R"({"result":0})"},
        {"empty url", R"({"result":0,"url":""})"},
        {"not a web address", R"({"result":0,"url":"ftp://127.0.0.1/pay"})"},
        {"no host", R"({"result":0,"url":"http://"})"},
        {"url as a number", R"({"result":0,"url":12})"},
    };
    ScriptedServer& server = scripted();
    QByteArray payment;
    server.setHandler([&](const ScriptedServer::Request& r) {
        if (r.path.endsWith("Payment.do")) return ScriptedServer::json(payment);
        if (r.path.endsWith("SpecialActivity.do")) return ScriptedServer::noAnswer();
        return ScriptedServer::json(R"({"result":0})");
    });
    auto* screen = show(new RechargeViewController);
    ASSERT_TRUE(waitFor([&] { return server.requests().size() >= 4; }));
    ASSERT_TRUE(waitForIdle(screen));
    // A tap on the banner before any banner has arrived.
    click(screen->buttonOfActitvityImage());
    EXPECT_EQ(alertMessage(), "暂无可查看的活动");
    pressAlert("确定");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        payment = c.payment;
        click(screen->buttonOfRecharge());
        ASSERT_TRUE(waitFor([&] { return !alertMessage().isEmpty(); }));
        EXPECT_EQ(alertMessage(), "支付页面暂时无法打开，请稍后再试");
        EXPECT_EQ(top(), screen);
        pressAlert("确定");
        ASSERT_TRUE(waitForIdle(screen));
    }
}

TEST(BillingMoney, AmountsAreWrittenFiniteWhateverTheServerSends) {
    const std::pair<QVariant, QString> cases[] = {
        {"58.3", "58.30元"},
        {9.9, "9.90元"},
        {qlonglong(-5), "-5.00元"},
        {1e300, "1125899906842624.00元"},
        {-std::numeric_limits<double>::infinity(), "-1125899906842624.00元"},
        {std::numeric_limits<qint64>::max(), "1125899906842624.00元"},
        {"NaN", "0.00元"},
        {"inf", "0.00元"},
        {"12.5元", "12.50元"},
        {QVariantList{5}, "0.00元"},
        {QVariantMap{{"remain", 5}}, "0.00元"},
    };
    for (const auto& [value, shown] : cases)
        EXPECT_EQ(BillingSupport::moneyText(value, Qt::black, 12).string(), shown)
            << value.toString().toStdString();
}

TEST_F(RechargeScreen, BannerOpensItsPageAndCloses) {
    auto* screen = open();
    click(screen->buttonOfActitvityImage());
    ASSERT_TRUE(waitFor([&] { return webPage() != nullptr; }));
    EXPECT_TRUE(webPage()->requestURL().endsWith("/pay/activity"));
    EXPECT_EQ(webPage()->strOfTitle(), "充值有礼");
    nav->popViewControllerAnimated(false);
    settle();
    click(screen->buttonOfXIndicator());
    settle();
    EXPECT_TRUE(screen->imageViewOfActivity() == nullptr);
    EXPECT_TRUE(screen->buttonOfActitvityImage() == nullptr);
}

// Records whether the screens the stack shows come in animated.
struct AnimationRecorder : QObject, ui::NavigationControllerDelegate {
    // Owned by the stack it listens to.
    AnimationRecorder(bool* animated, QObject* owner) : QObject(owner), animated(animated) {}
    void navigationControllerWillShowViewController(ui::NavigationController*, ui::ViewController*,
                                                    bool a) override {
        *animated = a;
    }
    bool* animated;
};

TEST_F(RechargeScreen, TheBarLeadsToTheRechargeHistory) {
    auto* screen = open();
    bool animated = false;
    nav->setDelegate(new AnimationRecorder(&animated, nav));
    ui::BarButtonItem* item = screen->navigationItem()->rightBarButtonItem();
    ASSERT_NE(item, nullptr);
    auto* button = qobject_cast<ui::Button*>(item->customView());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->currentTitle(), "充值记录");
    click(button);
    ASSERT_TRUE(waitForRequests("ChargeRecord", 1));
    ASSERT_NE(top(), screen);
    EXPECT_EQ(top()->storyboardIdentifier(), "RechargeRecordViewController");
    EXPECT_TRUE(top()->hidesBottomBarWhenPushed());
    EXPECT_TRUE(animated);
}

TEST_F(RechargeScreen, OnlyCloseableOneShowsTheBannersCloseButton) {
    QJsonValue closeable;
    sandbox.server().interfaces().add("SpecialActivity",
                                      sandbox::InterfaceRegistry::Access::Session,
                                      [&](const sandbox::InterfaceCall&) {
                                          QJsonObject banner{{"image", ""},
                                                             {"data", "http://127.0.0.1:1/a"},
                                                             {"name", "充值有礼"}};
                                          if (!closeable.isUndefined())
                                              banner.insert("closeable", closeable);
                                          return sandbox::Reply::ok(banner);
                                      });
    const struct {
        const char* what;
        QJsonValue closeable;
        bool shown;
    } cases[] = {
        {"\"1\"", "1", true},
        {"\"0\"", "0", false},
        {"empty", "", false},
        {"\"11\"", "11", false},
        {"blank before", " 1", false},
        {"null", QJsonValue::Null, false},
        {"array", QJsonArray{"1"}, false},
        {"missing", QJsonValue::Undefined, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        closeable = c.closeable;
        auto* screen = open();
        EXPECT_EQ(screen->dicOfActivity().value("name").toString(), "充值有礼");
        EXPECT_EQ(!screen->buttonOfXIndicator()->isHidden(), c.shown);
    }
}

// The other amount, chosen but never typed into: there is no amount to check yet.
TEST_F(RechargeScreen, AnUntypedOtherAmountAsksForAnAmount) {
    auto* screen = open();
    click(screen->buttonOfOtherMoney());
    settle();
    ASSERT_FALSE(screen->textFieldOfMoney()->isEditing());
    sandbox.clearRequests();
    click(screen->buttonOfRecharge());
    settle();
    EXPECT_EQ(alertMessage(), "请输入正确金额");
    EXPECT_TRUE(sandbox.requestsTo("Payment").isEmpty());
    pressAlert("确定");
    // Back on the buttons, their amount counts again.
    click(screen->buttonOfOtherMoney());
    settle();
    click(screen->buttonOfRecharge());
    ASSERT_TRUE(waitForRequests("Payment", 1));
    EXPECT_EQ(sandbox.requestsTo("Payment")[0].fields.value("amount"), "20");
}

TEST_F(RechargeScreen, QuietRequestsFailWithoutAlerts) {
    for (const char* name : {"MainBillInfo", "SpecialActivity", "RechargeOffer"})
        sandbox.setFault(name, sandbox::Fault::drop());
    auto* screen = show(new RechargeViewController);
    ASSERT_TRUE(waitFor([&] { return sandbox.requestsTo("RechargeOffer").size() >= 1; }));
    settle();
    EXPECT_EQ(alertMessage(), "");
    EXPECT_EQ(text(screen->labelOfPayment()), "正在获取金额...");
    EXPECT_EQ(remain(screen), "");
}

TEST_F(RechargeScreen, AnExpiredSessionIsAnnouncedOnceForAllFourRequests) {
    sandbox.setFault("*", sandbox::Fault::result(9999, "登录已失效"));
    NotificationCounter toLogin("PushToLoginVeiw");
    auto* screen = show(new RechargeViewController);
    ASSERT_TRUE(
        waitFor([&] { return sandbox.requests().size() >= 4 && !alertMessage().isEmpty(); }));
    ASSERT_TRUE(waitForRequestsToEnd(screen)); // the other three answers too
    settle();
    EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
    EXPECT_EQ(alertMessage(), "登录已失效");
    pressAlert("确定");
    EXPECT_EQ(toLogin.count, 1);
    EXPECT_EQ(text(screen->labelOfPayment()), "正在获取金额...");
}

} // namespace
