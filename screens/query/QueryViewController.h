#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"
#include "platform/ui/ImageView.h"

namespace ui {
class Button;
class Label;
class View;
} // namespace ui

// The query tab's root: the phone number, the package's name and the customer's star level,
// with the way to the itemised bill (1001) and to the data-usage screens (1002).
class QueryViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int kItemisedBillTag = 1001;
    static constexpr int kDataUsageTag = 1002;

    // The itemised bill's page, without the server base address.
    static QString itemisedBillPath();

    explicit QueryViewController(QObject* parent = nullptr);
    ~QueryViewController() override;

    ui::Label* phoneNO() const { return m_phoneNO; }
    ui::Label* packageName() const { return m_packageName; }
    ui::View* starLevel() const { return m_starLevel; }
    bool isRequestOfStarLevelFailed() const { return m_isRequestOfStarLevelFailed; }
    bool isRequestOfPackageNameFailed() const { return m_isRequestOfPackageNameFailed; }
    // The star pictures now in the row, left to right.
    QList<ui::ImageView*> starImageViews() const;
    ui::Button* buttonWithTag(int tag) const;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Each does nothing while its previous request is still running.
    void requestOfPackageNameSend();
    void requestOfStarLevelSend();
    void buttonPressed(ui::Button* sender);

protected:
    void loadView() override;

private:
    // Sends the request unless its last one is still running; failed records whether the
    // answer was unusable, so the next appearance asks again.
    void sendRetrying(const QString& key, QPointer<HTTPRequest>& running,
                      bool QueryViewController::*failed,
                      const std::function<void(const QVariantMap&)>& show);

    ui::Label* m_phoneNO = nullptr;
    ui::Label* m_packageName = nullptr;
    ui::View* m_starLevel = nullptr;
    QList<QPointer<ui::ImageView>> m_stars;
    QPointer<HTTPRequest> m_starRequest;
    QPointer<HTTPRequest> m_packageRequest;
    bool m_isRequestOfStarLevelFailed = false;
    bool m_isRequestOfPackageNameFailed = false;
};
