#pragma once

#include "app/core/ViewController.h"
#include "app/download/FileDO.h"
#include "app/download/FilesListDownloaderModel.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/AttributedString.h"
#include "platform/ui/ScrollView.h"
#include "widgets/RefreshViewDelegate.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class DDButton;
class HTTPRequest;
class RefreshView;

namespace ui {
class Button;
class ImageView;
class Label;
class PageControl;
} // namespace ui

// The home page, first tab of the drawer container: the balances header with pull-to-refresh,
// the advertising carousel, the data-usage buttons and three configured tiles. It also opens
// what the drawer menu asks for and replays a launch route once it has appeared.
class RootViewController : public ViewController,
                           public FilesListDownloaderModelDelegate,
                           public RefreshViewDelegate,
                           public ui::ScrollViewDelegate {
    Q_OBJECT
public:
    // Carousel pages are this wide, whatever the strip's width.
    static constexpr double kPageWidth = 320;
    static constexpr qint64 kAdvanceMs = 5000;
    // A refresh that has not ended by then is given up.
    static constexpr qint64 kRefreshGiveUpMs = 10000;
    static constexpr int kDownloadTypeTiles = 2;
    static constexpr int kFirstTileTag = 1003;

    explicit RootViewController(QObject* parent = nullptr);
    ~RootViewController() override;

    // --- Texts of the header ---
    // "58.30" -> "58" in the large font then ".30元" in the small one; without a decimal
    // point (or as a number) the integer part then "元".
    static ui::AttributedString remainText(const QVariant& remain);
    // The data left, in KB: "1.50GB" -> "1" large then ".50GB" small.
    static ui::AttributedString flowText(const QVariant& kb);

    // --- Addresses of the web pages ---
    // The data wallet, with a fresh nonce and its "encpn".
    static QString dataWalletAddress(const QString& base, const QString& num,
                                     const QString& session, const QString& nonce,
                                     const QString& encpn);
    static QString readingAddress(const QString& base, const QString& num, const QString& session);
    static QString campaignAddress();

    // --- Life cycle ---
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // --- Header (balances) ---
    void requestOfMainBillInfoSend();
    void requestOfBalanceSend();
    void startLoading();
    void stopRefreshLoading();
    void refreshViewDidCallBack() override;

    // --- Carousel ---
    void requestOfAdvertismentSend();
    void loadADCache();
    static QList<FileDO> loadADData(const QVariantMap& group, bool* ok = nullptr);
    void showADWith(const QList<FileDO>& items);
    void adButtonPressed(QObject* sender);
    void pageChanged();
    void switchFocusImageItems();
    void moveToTargetPosition(double x);

    // --- Tiles ---
    void requestOfMainInfoConfList();
    void loadMainConfigCache();
    void bottomThreeWebButtonPressed(ui::Button* sender);
    void modelFinishDownloadFiles(FilesListDownloaderModel* model,
                                  const QList<FileDO>& files) override;

    // --- Navigation ---
    void slideButtonPressed(QObject* sender);
    void buttonPressed(ui::Button* sender);
    void sideSlipButtonPressedWith(const ns::Notification& notification);
    void sideSlipButtonPressed(int tag);

    // --- Scroll views ---
    void scrollViewWillBeginDragging(ui::ScrollView* scrollView) override;
    void scrollViewDidScroll(ui::ScrollView* scrollView) override;
    void scrollViewDidEndDragging(ui::ScrollView* scrollView, bool willDecelerate) override;
    void scrollViewWillBeginDecelerating(ui::ScrollView* scrollView) override;

    // --- What tests and the shell read ---
    ui::Label* labelOfRemainTelMoney() const { return m_labelOfRemainTelMoney; }
    ui::Label* labelOfUsedTelMoney() const { return m_labelOfUsedTelMoney; }
    ui::Label* normalFlowRemain() const { return m_normalFlowRemain; }
    ui::Label* otherFlowRemain() const { return m_otherFlowRemain; }
    ui::ScrollView* myScrollView() const { return m_myScrollView; }
    ui::ScrollView* rootScrollView() const { return m_rootScrollView; }
    ui::Button* rechargeButton() const { return m_rechargeButton; }
    ui::PageControl* pageControl() const { return m_pageControl; }
    ui::Label* labelTitleOfPos(int position) const;
    ui::Label* labelDescOfPos(int position) const;
    ui::ImageView* bgOfPos(int position) const;
    ui::Button* buttonWithTag(int tag) const;
    RefreshView* refreshView() const { return m_refreshView; }
    bool isRequestOfComboFaild() const { return m_isRequestOfComboFaild; }
    int rootAdCount() const { return m_rootAdCount; }
    QVariantList arrayOfMainConfigList() const { return m_arrayOfMainConfigList; }
    bool hasMainConfigList() const { return m_hasMainConfigList; }
    bool isAdvancing() const { return m_advance.isActive(); }
    bool isRefreshGiveUpPending() const { return m_giveUp.isActive(); }
    HTTPRequest* requestOfBalance() const;
    HTTPRequest* requestOfMainBillInfo() const;
    // The carousel's buttons, page 0 to N + 1.
    QList<DDButton*> adButtons() const;
    // Where tile pictures are kept.
    static QString mainConfigDirectory();

protected:
    void loadView() override;
    double scrollContentHeight() const override;

private:
    void buildHeader(ui::View* root);
    void buildCarousel(ui::View* root);
    void buildButtons(ui::View* root);
    void buildTiles(ui::View* root);
    // Starts an interface request without the overlay; judged gets what requestFinishedBase
    // answers, only while the page lives. A silent request ignores transport failures, the
    // others go to headerRequestFailed.
    HTTPRequest* sendRequest(const QString& key, const QList<QPair<QString, QVariant>>& fields,
                             bool silent, std::function<void(const QVariant& accepted)> judged);
    // Where the next automatic or released step of the carousel lands.
    double nextPagePosition() const;
    void headerRequestFailed(const HTTPError& error);
    void headerChainEnded();
    void carouselDidScroll();
    void pushScene(const QString& storyboard, const QString& identifier, bool hidesBottomBar);
    void pushInitialScene(const QString& storyboard, bool hidesBottomBar);
    void pushWebPage(const QString& url, const QString& title);
    void push(ui::ViewController* screen, bool hidesBottomBar);

    ui::Label* m_labelOfRemainTelMoney = nullptr;
    ui::Label* m_labelOfUsedTelMoney = nullptr;
    ui::Label* m_normalFlowRemain = nullptr;
    ui::Label* m_otherFlowRemain = nullptr;
    ui::ScrollView* m_myScrollView = nullptr;
    ui::ScrollView* m_rootScrollView = nullptr;
    ui::Button* m_rechargeButton = nullptr;
    ui::PageControl* m_pageControl = nullptr;
    ui::Label* m_labelTitleOfPos[3] = {};
    ui::Label* m_labelDescOfPos[3] = {};
    ui::ImageView* m_bgOfPos[3] = {};

    QVariantList m_arrayOfMainConfigList;
    bool m_hasMainConfigList = false;
    RefreshView* m_refreshView = nullptr;
    QString m_currentTime;
    bool m_isRequestOfComboFaild = false;
    QPointer<HTTPRequest> m_requestOfBalance;
    QPointer<HTTPRequest> m_requestOfMainBillInfo;
    int m_rootAdCount = 0;
    FilesListDownloaderModel* m_model = nullptr;
    ns::DelayedCall m_advance;
    ns::DelayedCall m_giveUp;
    bool m_observingFunctionModule = false;
};
