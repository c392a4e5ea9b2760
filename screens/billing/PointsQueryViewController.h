#pragma once

#include "app/core/ViewController.h"
#include "screens/billing/PointsProductGrid.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"

#include <QPointer>
#include <QVariantList>

// Points (scene "PointsQueryViewController" of "Main"): the points that can be spent and
// those about to expire, a sentence summing them up, and the products points buy; a product
// chosen and confirmed is exchanged.
class PointsQueryViewController : public ViewController {
    Q_OBJECT
public:
    explicit PointsQueryViewController(QObject* parent = nullptr);
    ~PointsQueryViewController() override;

    void viewDidLoad() override;

    void requestOfPointsSend();
    void requestOfPointsExchangeSendWithName(const QString& name, const QString& productID);
    void adaptationExchangeButtonsView();
    static ui::AttributedString attributedDescWithAvailable(const QString& available,
                                                            const QString& annualIncrement,
                                                            const QString& willExpire,
                                                            const QString& expireTime);

    // The grid's choice of a product: one the points do not reach only says so.
    bool shouldSelectItem(int item);
    void didSelectItem(int item);

    const QVariantList& arrayOfButtons() const { return m_arrayOfButtons; }
    ui::ScrollView* scrollView() const;
    ui::Label* labelOfExchengeable() const { return m_labelOfExchengeable; }
    ui::Label* labelOfWillExpire() const { return m_labelOfWillExpire; }
    ui::Label* labelOfPhoneNum() const { return m_labelOfPhoneNum; }
    ui::Label* labelOfDesc() const { return m_labelOfDesc; }
    PointsProductGrid* collectionView() const { return m_collectionView; }
    ui::Button* buttonOfExchangeRecord() const { return m_buttonOfExchangeRecord; }

protected:
    void loadView() override;

private:
    void pointsReplied(const QVariant& reply);

    QVariantList m_arrayOfButtons;
    QPointer<ui::Label> m_labelOfExchengeable;
    QPointer<ui::Label> m_labelOfWillExpire;
    QPointer<ui::Label> m_labelOfPhoneNum;
    QPointer<ui::Label> m_labelOfDesc;
    QPointer<PointsProductGrid> m_collectionView;
    QPointer<ui::Button> m_buttonOfExchangeRecord;
};
