#pragma once

#include "app/core/ViewController.h"
#include "screens/usage/AddFlowAlertVc.h"
#include "screens/usage/OrderAlertVC.h"
#include "platform/ui/Button.h"
#include "widgets/MeterProgressView.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/ModalDialogViewDelegate.h"

#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

// The data-usage home: the meter of data left this month ("Balance"), the add-on packs on
// offer ("FlowProduct" position 0) with their choice and confirmation dialogs, the recommended
// plan ("FlowProduct" position 2), and the way to the other data-usage screens.
class FlowMainController : public ViewController, public ModalDialogViewDelegate {
    Q_OBJECT
public:
    static constexpr int kAddDialogTag = 1;
    static constexpr int kConfirmDialogTag = 2;
    // Button tags that choose the plan-change screen's mode.
    static constexpr int kPlanChangeTag = 210;
    static constexpr int kPackOrderTag = 211;
    static constexpr int kRecommendTag = 212;

    explicit FlowMainController(QObject* parent = nullptr);
    ~FlowMainController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) override;

    void requestGPRSData();
    void requestaddProductData();
    void requestSuitProductData();
    // The meter from the last "Balance": the share of the month's data left.
    void initFlowView();
    void updateRecommendColumn();
    void showRecommendAddFlowAlert();
    void clickAddFlowBtn() { showRecommendAddFlowAlert(); }
    void recommendSuitPressed();
    // Asks for the confirmation of a product before anything is ordered.
    void confirmProduct(const QVariantMap& product);
    void orderProduct(const QVariantMap& product);
    void orderFlowProduct(qint64 productId, const QString& marketId);
    void modalDialogButtonTouchUpInside(ModalDialogView* dialog, int clickedButtonAtIndex) override;

    QVariantMap gprsData() const { return m_gprsData; }
    QVariantList addRecommendDataList() const { return m_addRecommendDataList; }
    QVariantMap recommendFlowProduct() const { return m_recommendFlowProduct; }
    MeterProgressView* meterView() const { return m_meterView; }
    ui::Button* addFlowBtn() const { return m_addFlowBtn; }
    ui::Button* recommendSuitBtn() const { return m_recommendSuitBtn; }
    // The buttons to the other screens, by title.
    ui::Button* linkButton(const QString& title) const;
    AddFlowAlertVc* addFlowController() const { return m_addFlowController; }
    OrderAlertVC* orderAlertController() const { return m_orderAlertController; }
    ModalDialogView* addAlertView() const { return m_addAlertView; }
    ModalDialogView* confirmAlertView() const { return m_confirmAlertView; }

protected:
    void loadView() override;

private:
    void addLink(const QString& title, const QString& segue, int tag, const QRectF& frame);

    QVariantMap m_gprsData;
    QVariantList m_addRecommendDataList;
    QVariantMap m_recommendFlowProduct;
    QPointer<MeterProgressView> m_meterView;
    QPointer<ui::Button> m_addFlowBtn;
    QPointer<ui::Button> m_recommendSuitBtn;
    QList<QPointer<ui::Button>> m_links;
    QPointer<AddFlowAlertVc> m_addFlowController;
    QPointer<OrderAlertVC> m_orderAlertController;
    QPointer<ModalDialogView> m_addAlertView;
    QPointer<ModalDialogView> m_confirmAlertView;
};
