#include "FlowHarness.h"

#include "platform/ui/ImageView.h"
#include "screens/usage/AddFlowAlertVc.h"
#include "screens/usage/OrderAlertVC.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/RadioButton.h"

namespace flow_test {
namespace {

// Stands in for the screen that opens the dialogs: records what they report.
struct Opener : QObject, ModalDialogViewDelegate {
    void modalDialogButtonTouchUpInside(ModalDialogView* dialog, int index) override {
        calls.append({index, dialog->para()});
    }
    QList<QPair<int, QVariantMap>> calls;
};

// The right edge, in points, of what a view draws (-1: nothing), from a picture at twice the size.
double drawnRightEdge(ui::View* view) {
    const QImage picture = view->renderToImage(2.0);
    for (int x = picture.width() - 1; x >= 0; --x)
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixelColor(x, y).alpha() > 0) return (x + 1) / 2.0;
    return -1;
}

QVariantMap pack(qint64 unit, const QString& fee) {
    return {{"unit", unit}, {"fee", fee}, {"productId", unit}, {"marketId", "M"}};
}

class PackDialogsTest : public FlowHarness {
protected:
    void SetUp() override {
        FlowHarness::SetUp();
        // A window for the dialogs to show in.
        show(new ui::ViewController);
    }
    void TearDown() override {
        delete choice.data();
        FlowHarness::TearDown();
    }
    AddFlowAlertVc* offer(const QVariantList& packs) {
        choice = new AddFlowAlertVc;
        choice->showInDialog(packs, 1, &opener);
        return choice;
    }
    Opener opener;
    QPointer<AddFlowAlertVc> choice;
};

TEST_F(PackDialogsTest, OneTwoOrMorePacks) {
    const struct {
        const char* why;
        QVariantList packs;
        QStringList pictures;  // per pack shown
        QList<double> imageXs; // where each picture stands
        QStringList fees;
    } cases[] = {
        {"one pack in the middle", {pack(51200, "8")}, {"flow_50_b"}, {108}, {"8元"}},
        {"two side by side",
         {pack(20480, "5"), pack(1048576, "50")},
         {"flow_20_b", "flow_1g_b"},
         {17, 189},
         {"5元", "50元"}},
        {"a size without a picture", {pack(307200, "30")}, {""}, {108}, {"30元"}},
        {"three are not laid out",
         {pack(20480, "5"), pack(51200, "8"), pack(153600, "20")},
         {},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        AddFlowAlertVc* vc = offer(c.packs);
        EXPECT_EQ(vc->radioIndex(), 0);
        for (int i = 0; i < c.pictures.size(); ++i) {
            EXPECT_EQ(vc->getAddFlowImageName(i), c.pictures[i]);
            ASSERT_TRUE(vc->productImage(i));
            EXPECT_EQ(vc->productImage(i)->frame().x(), c.imageXs[i]);
            EXPECT_EQ(vc->productImage(i)->image().isNull(), c.pictures[i].isEmpty());
            // The radio's circle, checked or not, ends before its fee begins.
            RadioButton* radio = i == 0 ? vc->rb1() : vc->rb2();
            ui::Label* fee = vc->feeLabel(i);
            ASSERT_TRUE(radio && fee);
            EXPECT_EQ(fee->text(), c.fees[i]);
            EXPECT_GT(drawnRightEdge(radio), 0);
            EXPECT_LT(radio->frame().x() + drawnRightEdge(radio), fee->frame().x());
        }
        EXPECT_FALSE(vc->productImage(int(c.pictures.size())));
        EXPECT_EQ(bool(vc->rb1()), !c.pictures.isEmpty());
        EXPECT_EQ(bool(vc->rb2()), c.pictures.size() == 2);
        EXPECT_TRUE(!vc->rb1() || vc->rb1()->isChecked());
        // Confirming hands over the first pack, laid out or not.
        opener.calls.clear();
        click(vc->confirmButton());
        ASSERT_EQ(opener.calls.size(), 1);
        EXPECT_EQ(opener.calls[0].first, AddFlowAlertVc::kConfirmIndex);
        EXPECT_EQ(opener.calls[0].second, c.packs.first().toMap());
        vc->alertView()->close();
        delete choice.data();
        settle();
    }
}

TEST_F(PackDialogsTest, TheJumpReportsThreeWithoutAChoiceAndCloseReportsNothing) {
    AddFlowAlertVc* vc = offer({pack(20480, "5"), pack(51200, "8")});
    click(vc->jumpButton());
    ASSERT_EQ(opener.calls.size(), 1);
    EXPECT_EQ(opener.calls[0].first, AddFlowAlertVc::kJumpToOrderIndex);
    EXPECT_TRUE(opener.calls[0].second.isEmpty());
    QPointer<ModalDialogView> dialog = vc->alertView();
    click(vc->closeButton());
    settle();
    EXPECT_EQ(opener.calls.size(), 1);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(RadioButton::instancesOfGroup(AddFlowAlertVc::kGroupId).isEmpty());
}

TEST_F(PackDialogsTest, TheConfirmationReportsItsButtonsWithTheProduct) {
    for (int index : {OrderAlertVC::kCancelIndex, OrderAlertVC::kOrderIndex}) {
        auto* confirm = new OrderAlertVC;
        confirm->initProduct("50M流量加油包", "10元/月50M", "当月有效");
        const QVariantMap product = pack(51200, "10");
        QPointer<ModalDialogView> dialog = confirm->showInDialog(product, 2, &opener);
        EXPECT_EQ(confirm->descLBL()->text(), "当月有效");
        EXPECT_EQ(dialog->tag(), 2);
        opener.calls.clear();
        click(index == OrderAlertVC::kOrderIndex ? confirm->orderBtn() : confirm->cancelBtn());
        ASSERT_EQ(opener.calls.size(), 1);
        EXPECT_EQ(opener.calls[0].first, index);
        EXPECT_EQ(opener.calls[0].second, product);
        dialog->close();
        settle();
        delete confirm;
    }
}

// Whoever opened the dialog has gone (its screen was taken away under it): any answer closes
// the dialog instead of leaving it over the window for good.
TEST_F(PackDialogsTest, AnAnswerNobodyHearsClosesTheDialog) {
    const struct {
        const char* what;
        bool choice; // the pack choice, else the confirmation
        std::function<ui::Button*(AddFlowAlertVc*, OrderAlertVC*)> button;
    } cases[] = {
        {"choice confirmed", true,
         [](AddFlowAlertVc* vc, OrderAlertVC*) { return vc->confirmButton(); }},
        {"jump to the order screen", true,
         [](AddFlowAlertVc* vc, OrderAlertVC*) { return vc->jumpButton(); }},
        {"confirmation cancelled", false,
         [](AddFlowAlertVc*, OrderAlertVC* vc) { return vc->cancelBtn(); }},
        {"confirmation ordered", false,
         [](AddFlowAlertVc*, OrderAlertVC* vc) { return vc->orderBtn(); }},
    };
    for (const auto& c : cases) {
        auto* gone = new Opener;
        QPointer<OrderAlertVC> confirm;
        QPointer<ModalDialogView> dialog;
        if (c.choice) {
            choice = new AddFlowAlertVc;
            dialog = choice->showInDialog({pack(20480, "5")}, 1, gone);
        } else {
            confirm = new OrderAlertVC;
            confirm->initProduct("50M流量加油包", "10元/月50M", "当月有效");
            dialog = confirm->showInDialog(pack(51200, "10"), 2, gone);
        }
        delete gone;
        click(c.button(choice, confirm));
        settle();
        EXPECT_TRUE(dialog.isNull()) << c.what;
        EXPECT_TRUE(window->findChildren<ModalDialogView*>().isEmpty()) << c.what;
        delete confirm.data();
        delete choice.data();
    }
}

// Each text of the confirmation is laid out from its top: its label is as high as its lines,
// never higher than its ceiling (name 47, level 47, description 100), and keeps its place.
TEST_F(PackDialogsTest, TheConfirmationFitsEachTextToItsLinesUpToItsCeiling) {
    const QString longText = QString("当月有效，次月起自动续订，可随时退订。").repeated(12);
    const struct {
        const char* which;
        ui::Label* (OrderAlertVC::*label)() const;
        double ceiling;
        QPointF origin;
    } rows[] = {
        {"name", &OrderAlertVC::nameLBL, 47, {20, 46}},
        {"level", &OrderAlertVC::levelLBL, 47, {20, 96}},
        {"description", &OrderAlertVC::descLBL, 100, {20, 128}},
    };
    const auto laidOut = [](const QString& text) {
        auto confirm = std::make_unique<OrderAlertVC>();
        confirm->initProduct(text, text, text);
        confirm->loadViewIfNeeded();
        return confirm;
    };
    const auto shortOne = laidOut("10元"), longOne = laidOut(longText);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.which);
        const QRectF line = ((*shortOne).*row.label)()->frame();
        const QRectF fitted = ((*longOne).*row.label)()->frame();
        EXPECT_EQ(((*longOne).*row.label)()->text(), longText);
        for (const QRectF& frame : {line, fitted}) {
            EXPECT_EQ(frame.topLeft(), row.origin);
            EXPECT_EQ(frame.width(), 238);
        }
        // One line, then as many whole lines as the ceiling holds.
        EXPECT_GT(line.height(), 10);
        EXPECT_LT(line.height(), 25);
        EXPECT_LE(fitted.height(), row.ceiling);
        EXPECT_GT(fitted.height(), row.ceiling - line.height());
        EXPECT_NEAR(fitted.height(), std::floor(row.ceiling / line.height()) * line.height(), 1);
    }
}

} // namespace
} // namespace flow_test
