#pragma once

#include "app/core/ViewController.h"
#include "screens/usage/FlowSegmentedControl.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "widgets/ModalDialogViewDelegate.h"

#include <QPointer>
#include <QVariantList>
#include <functional>

// Changing the data plan (dataType 1) or ordering add-on packs (dataType 2): the products
// recommended ("FlowProduct") and orderable for the network type ("FlowRecommend") in up to
// three titled tables; a product is ordered ("Order") after its confirmation.
class FlowSuitChangeController : public ViewController,
                                 public ui::TableViewDataSource,
                                 public ui::TableViewDelegate,
                                 public ModalDialogViewDelegate {
    Q_OBJECT
    // Openers set it by name, as text ("1" or "2"), before the screen loads.
    Q_PROPERTY(qint64 dataType READ dataType WRITE setDataType)
public:
    static constexpr int kRecommendTableTag = 101;
    static constexpr int kSuitTableTag = 102;
    static constexpr int kSpareTableTag = 103;

    explicit FlowSuitChangeController(QObject* parent = nullptr);
    ~FlowSuitChangeController() override;

    qint64 dataType() const { return m_dataType; }
    void setDataType(qint64 type) { m_dataType = type; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void requestGPRSData();
    void requestSuitProductData();
    void requestaddProductData();
    // "FlowRecommend" for a network type; a newer call drops the answer of an older one.
    void flowRecommendList(const QString& type, bool isLoadAll);
    void orderFlowProduct(qint64 productId, const QString& marketId);
    void reqSuitFlowProduct();
    void reqAddFlowProduct();
    void segmentAction();

    void doLayout();
    void doLayouFront();
    void doLayoutFlowData();

    static qint64 getFlowProductId(const QVariantMap& para);
    static QString getFlowMarketId(const QVariantMap& para);

    bool is4g() const { return m_is4g; }
    QString mod() const { return m_mod; }
    QVariantList suitRecommendDataList() const { return m_suitRecommendDataList; }
    QVariantList addRecommendDataList() const { return m_addRecommendDataList; }
    QVariantList orderDataList() const { return m_orderDataList; }
    QVariantList updateDataList() const { return m_updateDataList; }
    QVariantList spareDataList() const { return m_spareDataList; }
    int scrollHeight() const { return m_scrollHeight; }
    int frontHeight() const { return m_frontHeight; }
    ui::ScrollView* scrollView() const { return m_scrollView; }
    ui::Button* suitBtn() const { return m_suitBtn; }
    ui::Button* addBtn() const { return m_addBtn; }
    FlowSegmentedControl* segment() const { return m_segment; }
    ui::Label* recommendLabel() const { return m_recommendLabel; }
    ui::Label* suitLabel() const { return m_suitLabel; }
    ui::Label* spareLabel() const { return m_spareLabel; }
    ui::TableView* tableViewOfRecommend() const { return m_tableViewOfRecommend; }
    ui::TableView* tableViewOfSuit() const { return m_tableViewOfSuit; }
    ui::TableView* tableViewOfspareSuit() const { return m_tableViewOfspareSuit; }

    int tableViewNumberOfRowsInSection(ui::TableView* table, int section) override;
    ui::TableViewCell* tableViewCellForRowAtIndexPath(ui::TableView* table,
                                                      ui::IndexPath path) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView*, ui::IndexPath) override { return 60; }
    double tableViewHeightForHeaderInSection(ui::TableView*, int) override { return 0; }
    void modalDialogButtonTouchUpInside(ModalDialogView* dialog, int clickedButtonAtIndex) override;

protected:
    void loadView() override;

private:
    // The steps of the loading chain that leave the overlay up judge their reply here; a
    // refusal takes it down and stops the chain.
    QVariant judgeChainStep(const QVariant& reply);
    // "FlowProduct" at a position as a step of the chain: next gets its list.
    void requestProductList(const QString& position, bool isNeedLoadingView,
                            std::function<void(const QVariantList&)> next);
    QVariantList listForTable(int tag) const;
    void addSection(QPointer<ui::Label>& label, QPointer<ui::TableView>& table, int tag,
                    const QString& title, bool alwaysTitled);

    qint64 m_dataType = 0;
    bool m_is4g = false;
    QString m_mod;
    QVariantList m_suitRecommendDataList;
    QVariantList m_addRecommendDataList;
    QVariantList m_orderDataList;
    QVariantList m_updateDataList;
    QVariantList m_spareDataList;
    int m_startX = 8;
    int m_startY = 0;
    int m_cellHeight = 60;
    int m_baseWidth = 305;
    int m_scrollHeight = 0;
    int m_frontHeight = 0;
    QPointer<ui::ScrollView> m_scrollView;
    QPointer<ui::Button> m_suitBtn;
    QPointer<ui::Button> m_addBtn;
    QPointer<FlowSegmentedControl> m_segment;
    QPointer<ui::Label> m_recommendLabel;
    QPointer<ui::Label> m_suitLabel;
    QPointer<ui::Label> m_spareLabel;
    QPointer<ui::TableView> m_tableViewOfRecommend;
    QPointer<ui::TableView> m_tableViewOfSuit;
    QPointer<ui::TableView> m_tableViewOfspareSuit;
    QPointer<HTTPRequest> m_recommendRequest;
    quint64 m_recommendSerial = 0;
};
