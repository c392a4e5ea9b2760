#include "BillingHarness.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Animation.h"
#include "screens/billing/BillViewController.h"
#include "screens/billing/TelephoneBillHeaderView.h"
#include "screens/billing/TurningImageView.h"

#include <QImage>

namespace {

using namespace billing_test;

class BillScreen : public BillingHarness {
protected:
    BillViewController* open() {
        auto* screen = new BillViewController;
        return BillingHarness::open(
            screen, [=] { return screen->tableViewOfTelBill()->numberOfSections() > 0; });
    }
    static ui::Button* headerButton(BillViewController* screen, int section) {
        return qobject_cast<ui::Button*>(
            screen->tableViewOfTelBill()->headerViewForSection(section)->viewWithTag(
                BillViewController::kHeaderTagBase + section));
    }
};

TEST_F(BillScreen, ShowsEachDemoSubscribersMonthAsTheSandboxBillsIt) {
    const struct {
        QString number;
        bool family;
        QString othersPay;
    } cases[] = {
        {"13800000001", true, "他人（单位）代付：0.00元"},
        {"13800000002", true, "他人（单位）代付：30.00元"},
        {"13800000003", false, "他人（单位）代付：0.00元"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number.toStdString());
        signIn(c.number);
        sandbox.clearRequests();
        auto* screen = open();
        const sandbox::FormFields asked = {{"session", session()}, {"num", c.number}, {"ym", "0"}};
        ASSERT_EQ(sandbox.requestsTo("Bill").size(), 1);
        EXPECT_EQ(sandbox.requestsTo("Bill")[0].fields, asked);
        // The sandbox's bill of this month for that subscriber, as the screen must show it.
        const QJsonObject qry = sandbox.server()
                                    .interfaces()
                                    .call("Bill", sandbox.server().backend(), asked)
                                    .value("qry")
                                    .toObject();
        EXPECT_EQ(text(screen->labelOfTotal()), "合计：" + qry.value("total").toString() + "元");
        EXPECT_EQ(text(screen->labelOfOtherPay()), c.othersPay);
        EXPECT_EQ(text(screen->labelOfActuallyPay()),
                  "个人实际消费：" + qry.value("actually_pay").toString() + "元");
        EXPECT_EQ(screen->lableOfFamilyTotal()->isHidden(), !c.family);
        EXPECT_EQ(screen->tableViewOfTelBill()->numberOfSections(), c.family ? 6 : 5);
        // The panel grows by one line for the family group; the table ends at 504 either way.
        EXPECT_EQ(screen->viewOfBill()->frame().height(), c.family ? 93 : 81);
        EXPECT_EQ(screen->tableViewOfTelBill()->frame().y(), c.family ? 162 : 150);
        EXPECT_EQ(screen->tableViewOfTelBill()->frame().bottom(), 504);
        if (c.family) {
            EXPECT_EQ(screen->arrayOfBill().last().toMap().value("name").toString(), "群组消费");
        }
    }
}

TEST_F(BillScreen, MonthButtonsAskForTheirYearAndMonth) {
    ns::DateFormat::setNowOverride(QDateTime(QDate(2027, 1, 15), QTime(9, 0)));
    auto* screen = open();
    QStringList titles;
    for (int i = 0; i < BillViewController::kMonthCount; ++i)
        titles << screen->buttonOfMonth(i)->currentTitle();
    EXPECT_EQ(titles, QStringList({"本月", "12月", "11月", "10月", "09月", "08月"}));
    const QList<QPair<int, QString>> presses = {
        {1, "202612"}, {5, "202608"}, {0, "0"}, {3, "202610"}};
    for (const auto& [index, ym] : presses) {
        SCOPED_TRACE(ym.toStdString());
        sandbox.clearRequests();
        click(screen->buttonOfMonth(index));
        ASSERT_TRUE(waitForRequests("Bill", 1));
        EXPECT_EQ(sandbox.requestsTo("Bill")[0].fields.value("ym"), ym);
        EXPECT_EQ(screen->billMonth(), ym);
        for (int i = 0; i < BillViewController::kMonthCount; ++i)
            EXPECT_EQ(screen->buttonOfMonth(i)->currentTitleColor() == QColor(Qt::white),
                      i == index);
        ASSERT_TRUE(waitForIdle(screen));
    }
}

TEST_F(BillScreen, SectionsFoldByClicksAndCloseOnAnotherMonth) {
    auto* screen = open();
    ui::TableView* table = screen->tableViewOfTelBill();
    ASSERT_EQ(table->numberOfRowsInSection(1), 0);
    click(headerButton(screen, 1));
    EXPECT_EQ(table->numberOfRowsInSection(1), 3); // the three call charges
    click(headerButton(screen, 0));
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    click(headerButton(screen, 1));
    EXPECT_EQ(table->numberOfRowsInSection(1), 0);
    // The group without charges has no arrow and ignores a click.
    EXPECT_FALSE(headerButton(screen, 4)->isEnabled());
    click(headerButton(screen, 4));
    EXPECT_EQ(table->numberOfRowsInSection(4), 0);
    // Another month starts with every section closed.
    click(screen->buttonOfMonth(2));
    ASSERT_TRUE(waitFor([&] { return sandbox.requestsTo("Bill").size() == 2; }));
    ASSERT_TRUE(waitForIdle(screen));
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);
    EXPECT_TRUE(screen->isOpened().isEmpty());
}

// Scrolled to the end of a long bill, another month (all closed, shorter) shows its first
// sections at the top of the list, and the wheel scrolls it once it is long again.
TEST_F(BillScreen, AnotherMonthAfterScrollingDownShowsItsFirstSections) {
    auto* screen = open();
    ui::TableView* table = screen->tableViewOfTelBill();
    auto openAll = [&] {
        for (int s = 0; s < table->numberOfSections(); ++s) {
            // Its header in sight, where a person would click it.
            table->setContentOffset(QPointF(0, std::min(table->rectForHeaderInSection(s).y(),
                                                        table->maximumContentOffset().y())));
            if (headerButton(screen, s)->isEnabled()) click(headerButton(screen, s));
        }
    };
    openAll();
    ASSERT_GT(table->contentSize().height(), table->frame().height());
    // Down to the end with the wheel over the rows.
    const QPointF overRows = windowinput::pointInWindow(table, table->bounds().center());
    for (int i = 0; i < 40; ++i)
        windowinput::wheel(window.get(), overRows, -120);
    ASSERT_EQ(table->contentOffset(), table->maximumContentOffset());
    ASSERT_GT(table->contentOffset().y(), 0);

    click(screen->buttonOfMonth(2));
    ASSERT_TRUE(waitFor([&] { return sandbox.requestsTo("Bill").size() == 2; }));
    ASSERT_TRUE(waitForIdle(screen));
    EXPECT_EQ(table->contentOffset(), QPointF(0, 0));
    // What a person sees: the first header lies in the list's visible part, and a click where
    // it is drawn opens it.
    ui::View* first = table->headerViewForSection(0);
    ASSERT_NE(first, nullptr);
    const QRectF shown = first->convertRectToView(first->bounds(), window->rootView());
    const QRectF list = table->convertRectToView(table->bounds(), window->rootView());
    EXPECT_TRUE(list.contains(shown)) << "header at " << shown.y() << ", list " << list.y();
    EXPECT_FALSE(first->visibleRegion().isEmpty());
    windowinput::click(window.get(), shown.center());
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    // Long again: the wheel moves it.
    openAll();
    table->setContentOffset(QPointF(0, 0));
    windowinput::wheel(window.get(), overRows, -120);
    EXPECT_EQ(table->contentOffset(), QPointF(0, 40));
}

TEST_F(BillScreen, AnOlderMonthAnsweringLateNeverReplacesTheNewerOne) {
    auto* screen = open();
    const QString thisMonth = text(screen->labelOfTotal());
    sandbox.clearRequests();
    sandbox.setFault("Bill", sandbox::Fault::delay(5000));
    click(screen->buttonOfMonth(1));
    ASSERT_TRUE(waitForRequests("Bill", 1));
    sandbox.setFault("Bill", sandbox::Fault::delay(1000));
    // The loading overlay covers the buttons meanwhile: the second choice comes from code.
    screen->buttonOfMonthPressed(screen->buttonOfMonth(2));
    ASSERT_TRUE(waitForRequests("Bill", 2));
    clock.clock.advance(1000);
    ASSERT_TRUE(waitFor([&] { return text(screen->labelOfTotal()) != thisMonth; }));
    const QString newer = text(screen->labelOfTotal());
    clock.clock.advance(5000); // the month asked first would answer now
    ASSERT_TRUE(waitForRequestsToEnd(screen));
    settle();
    EXPECT_EQ(text(screen->labelOfTotal()), newer);
    EXPECT_EQ(screen->billMonth(), sandbox.requestsTo("Bill")[1].fields.value("ym"));
    EXPECT_TRUE(alertMessage().isEmpty());
}

TEST_F(BillScreen, RefusedAndOddRepliesLeaveAnEmptyBill) {
    const struct {
        const char* what;
        sandbox::Fault fault;
        QString alert;
    } cases[] = {
        {"expired session", sandbox::Fault::result(9999, "登录已失效"), "登录已失效"},
        {"server error", sandbox::Fault::result(3, "账单系统维护中"), "账单系统维护中"},
        {"JSON array", sandbox::Fault::jsonArray(), "请求超时"},
        {"empty body", sandbox::Fault::emptyBody(), "请求超时"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sandbox.setFault("Bill", c.fault);
        auto* screen = open();
        EXPECT_EQ(alertMessage(), c.alert);
        EXPECT_EQ(text(screen->labelOfTotal()), "");
        EXPECT_EQ(screen->tableViewOfTelBill()->numberOfSections(), 0);
    }
}

TEST_F(BillScreen, MistypedListsAreEmpty) {
    scripted().setFallback(ScriptedServer::json(
        R"({"result":0,"qry":{"total":12.5,"others_pay":"0","actually_pay":"12.5",)"
        R"("list":{"name":"x"},"family":"nobody","family_total":3}})"));
    auto* screen = show(new BillViewController);
    ASSERT_TRUE(waitFor([&] { return !text(screen->labelOfTotal()).isEmpty(); }));
    EXPECT_EQ(text(screen->labelOfTotal()), "合计：12.5元");
    EXPECT_EQ(screen->tableViewOfTelBill()->numberOfSections(), 0);
    EXPECT_TRUE(screen->lableOfFamilyTotal()->isHidden());
}

TEST(BillRows, RowHeightFollowsTheNameUpToTwoLines) {
    const double one = BillViewController::rowHeightForName("本地通话费");
    const double two = BillViewController::rowHeightForName(
        QString("国内长途通话费（含港澳台地区及国际长途的通话费用合计）").repeated(2));
    EXPECT_GT(one, 8);
    EXPECT_GT(two, one);
    EXPECT_LE(two, 48); // at most 40 points of text
    EXPECT_EQ(BillViewController::rowHeightForName(""), 8);
}

// Pixels drawn (not transparent) inside rect of the picture.
int inkIn(const QImage& picture, const QRect& rect) {
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += qAlpha(picture.pixel(x, y)) > 0;
    return ink;
}

TEST(BillHeaderView, ShowsBothTextsWholeAndTakesAPressAnywhere) {
    ui::Window window;
    auto* header = new TelephoneBillHeaderView("billHeader");
    header->setFrame(QRectF(0, 100, 320, 30));
    window.rootView()->addSubview(header);
    window.makeKeyAndVisible();
    header->labelOfTitle()->setText("套餐及固定费 (含来电显示)");
    header->labelOfMoney()->setText("1258.00元");
    QList<int> pressed;
    header->setHeaderButtonPressed([&](ui::Button* button) { pressed << button->tag(); });

    const QImage picture = header->renderToImage();
    EXPECT_FALSE(header->imageViewOfArrow()->image().isNull());
    for (ui::Label* label : {header->labelOfTitle(), header->labelOfMoney()}) {
        SCOPED_TRACE(label->text().toStdString());
        const QSizeF needed = label->sizeThatFits(QSizeF(0, 0));
        EXPECT_GT(needed.width(), 0);
        EXPECT_LE(needed.width(), label->frame().width());
        EXPECT_GT(inkIn(picture, label->frame().toRect()), 20);
    }
    // On the title, on the amount, on the arrow, at the far right: the labels let it through.
    for (const ui::View* at : {static_cast<ui::View*>(header->labelOfTitle()),
                               static_cast<ui::View*>(header->labelOfMoney()),
                               static_cast<ui::View*>(header->imageViewOfArrow())})
        windowinput::click(at);
    windowinput::click(&window, QPointF(315, 115));
    EXPECT_EQ(pressed, QList<int>(4, 1000));
}

} // namespace

TEST(BillArrows, TurnAsASpringFromSystemSevenOnAndPlainBefore) {
    // Half-way through the 2 s turn a spring has nearly arrived; a plain turn is at half.
    const struct {
        const char* version;
        double halfWay;
    } cases[] = {{"7.0", 3.09}, {"9.3", 3.09}, {"6.1", 1.57}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ns::DeviceInfo::setSystemVersion(c.version);
        ns::ScopedManualClock time;
        ui::Animation::setEnabled(true);
        TurningImageView arrow{QImage()};
        arrow.turnTo(3.14, 2.0, 1.0, 1.0);
        time.clock.advance(1000 - 16); // the first frame is drawn at once, a frame on
        EXPECT_NEAR(arrow.angle(), c.halfWay, 0.05);
        time.clock.advance(1000);
        EXPECT_DOUBLE_EQ(arrow.angle(), 3.14);
        ui::Animation::setEnabled(false);
    }
    ns::DeviceInfo::setSystemVersion({});
}
