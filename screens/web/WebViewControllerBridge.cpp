// The native functions an operator page calls through WebBridgeMessage.

#include "app/core/AlertTexts.h"
#include "app/core/AppDelegate.h"
#include "app/core/BFHudUtils.h"
#include "app/core/DrawerContainer.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "mireb/MRBaseRequest.h"
#include "mireb/MRMessageObject.h"
#include "mireb/MirebSDK.h"
#include "platform/foundation/Contacts.h"
#include "platform/foundation/DataTask.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PeoplePickerViewController.h"
#include "platform/ui/TabBarController.h"
#include "screens/web/AddressBookHelper.h"
#include "screens/web/WebBridgeMessage.h"
#include "screens/web/WebViewController.h"
#include "talvo/TVApi.h"
#include "talvo/TVApiObject.h"

#include <QDebug>
#include <QImage>
#include <QPointer>

namespace {

constexpr const char* kTalvoDownloadURL = "itms-apps://talvo/app";
constexpr const char* kMirebRedirectURI = "https://api.mireb.com/oauth2/default.html";

// The tab bar of the drawer container, else the one holding the screen.
ui::TabBarController* tabBarOf(ui::ViewController* screen) {
    if (AppDelegate* app = AppDelegate::sharedDelegate())
        if (DrawerContainer* drawer = app->drawerContainer())
            if (ui::TabBarController* tabs = drawer->rightViewController()) return tabs;
    return screen->tabBarController();
}

// Selects the tab and takes the tab the user came from back to its first screen.
void selectTabCuttingTheOldOne(ui::TabBarController* tabs, qint64 index) {
    auto* left = qobject_cast<ui::NavigationController*>(tabs->selectedViewController());
    const QList<ui::ViewController*> stack =
        left ? left->viewControllers() : QList<ui::ViewController*>();
    const qint64 count = tabs->viewControllers().size();
    if (index < 0 || index > count - 1) index = 0;
    tabs->setSelectedIndex(int(index));
    if (left) left->setViewControllers(stack.mid(0, 1), true);
}

// A share's thumbnail is a small picture beside its title.
constexpr QSize kShareThumbFit(240, 240);

// Fetches a share's picture in the background, no larger than any picture the client takes;
// an empty address, a failure or bytes that are no picture within the ceilings give nothing.
void fetchSharePicture(const QString& address, QObject* owner,
                       std::function<void(const QByteArray&)> done) {
    if (address.trimmed().isEmpty()) {
        done({});
        return;
    }
    ns::DataTask::fetch(
        QUrl(address.trimmed()), owner,
        [done](bool ok, const QByteArray& body) {
            done(ok && ui::pictureSize(body).isValid() ? body : QByteArray());
        },
        WebViewController::kShareImageTimeoutMs, ui::kMaxPictureBytes);
}

} // namespace

void WebViewController::handleBridgeMessage(const QString& messageText) {
    const std::optional<WebBridgeMessage> parsed = WebBridgeMessage::fromURLText(messageText);
    if (!parsed) {
        qWarning().noquote() << "web page: ignored a call that is not a bridge function";
        return;
    }
    const WebBridgeMessage& message = *parsed;
    m_strCallBack = message.callback;
    using Handler = void (WebViewController::*)(const WebBridgeMessage&);
    static const QHash<QString, Handler> handlers{
        {"getAllPeoplesAddressInfo:", &WebViewController::getAllPeoplesAddressInfo},
        {"showAddressBook:", &WebViewController::showAddressBook},
        {"getVersionNumOfAPP:", &WebViewController::getVersionNumOfAPP},
        {"displaySMSComposerSheetWithPhone:", &WebViewController::displaySMSComposerSheetWithPhone},
        {"showTVFriendsView:", &WebViewController::showTVFriendsView},
        {"showTVFriendCircleView:", &WebViewController::showTVFriendCircleView},
        {"mirebShareButtonPressed:", &WebViewController::mirebShareButtonPressed},
        {"pushToFunctionModuleVC:", &WebViewController::pushToFunctionModuleVC},
        {"pushToTabbarViewController:", &WebViewController::pushToTabbarViewController},
    };
    if (const Handler handler = handlers.value(message.function)) (this->*handler)(message);
}

// --- Contacts ---

void WebViewController::getAllPeoplesAddressInfo(const WebBridgeMessage& message) {
    // The answer goes to the function that asked, even if the page calls again meanwhile.
    const QString callback = message.callback;
    const quint64 page = currentPage();
    QPointer<WebViewController> guard(this);
    ui::ContactsAuthorization::requestAccess(this, [guard, callback, page](bool granted) {
        if (guard && granted) guard->readAllPeoplesFromAddressBook(callback, page);
    });
}

void WebViewController::readAllPeoplesFromAddressBook(const QString& callback, quint64 page) {
    if (callback.isEmpty() || page != currentPage()) return;
    // A book that cannot be read is treated as one the user would not open: no answer.
    const std::optional<QList<ns::Contact>> contacts = ns::ContactsStore::readContacts();
    if (!contacts) return;
    QList<WebBridgeAnswer::Person> people;
    people.reserve(contacts->size());
    for (const ns::Contact& contact : *contacts) {
        WebBridgeAnswer::Person person;
        person.name = AddressBookHelper::getNameWithPerson(contact);
        for (int i = 0; i < contact.phones.size(); ++i)
            person.numbers.append(AddressBookHelper::getPhoneNumberWithPhones(contact.phones, i));
        people.append(std::move(person));
    }
    answerPage(page, WebBridgeAnswer::contactList(callback, people));
}

void WebViewController::showAddressBook(const WebBridgeMessage& message) {
    const QString callback = message.callback;
    const quint64 page = currentPage();
    m_addressBookHelper = std::make_unique<AddressBookHelper>();
    QPointer<WebViewController> guard(this);
    m_addressBookHelper->showInController(
        this, [guard, callback, page](const QString& name, const QString& phone) {
            if (guard) guard->addressBookCallBackWithPhoneNO(callback, phone, name, page);
        });
}

void WebViewController::addressBookCallBackWithPhoneNO(const QString& callback,
                                                       const QString& phone, const QString& name,
                                                       quint64 page) {
    if (!callback.isEmpty())
        answerPage(page, WebBridgeAnswer::pickedContact(callback, phone, name));
}

// --- Version ---

void WebViewController::getVersionNumOfAPP(const WebBridgeMessage& message) {
    if (!message.callback.isEmpty())
        evalJs(WebBridgeAnswer::text(message.callback, PublicFunction::versionNumberOfAPP()));
}

// --- SMS ---

void WebViewController::displaySMSComposerSheetWithPhone(const WebBridgeMessage& message) {
    const std::optional<QString> body = message.textArgument();
    if (!body) return;
    if (!ui::MessageComposeViewController::canSendText()) {
        (new ui::AlertView(QString(), QStringLiteral("此设备不支持短信功能"), nullptr, QString(),
                           {QStringLiteral("确定")}))
            ->show();
        return;
    }
    auto* composer = new ui::MessageComposeViewController;
    composer->setMessageComposeDelegate(this);
    composer->setBody(*body);
    presentViewController(composer, true);
}

void WebViewController::messageComposeViewController(ui::MessageComposeViewController* controller,
                                                     ui::MessageComposeResult result) {
    controller->dismissViewControllerAnimated(true);
    // A text the desktop did not take must not look sent.
    if (result == ui::MessageComposeResult::Failed)
        BFHudUtils::showText(AlertTexts::cannotOpenLink(), view(), nullptr);
}

// --- Talvo ---

void WebViewController::showTVFriendsView(const WebBridgeMessage& message) {
    if (const std::optional<QString> argument = message.textArgument())
        createMessageToReqWithMessage(*argument, SendMessageToTVReq::Session);
}

void WebViewController::showTVFriendCircleView(const WebBridgeMessage& message) {
    if (const std::optional<QString> argument = message.textArgument())
        createMessageToReqWithMessage(*argument, SendMessageToTVReq::Timeline);
}

void WebViewController::createMessageToReqWithMessage(const QString& argument, int toScene) {
    if (!TVApi::isTVAppInstalled() || !TVApi::isTVAppSupportApi()) {
        showInstallAlert();
        return;
    }
    // title &&& thumbnail address &&& description &&& page address; missing pieces are empty
    const QStringList pieces = argument.split(QStringLiteral("&&&"));
    fetchSharePicture(pieces.value(1), this, [pieces, toScene](const QByteArray& thumb) {
        std::shared_ptr<TVMediaMessage> media = TVMediaMessage::message();
        media->setTitle(pieces.value(0));
        media->setDescription(pieces.value(2));
        media->setThumbImage(ui::decodePicture(thumb, kShareThumbFit));
        std::shared_ptr<TVWebpageObject> page = TVWebpageObject::object();
        page->setWebpageUrl(pieces.value(3));
        media->setMediaObject(page);
        SendMessageToTVReq request;
        request.setBText(false);
        request.setMessage(media);
        request.setScene(toScene);
        TVApi::sendReq(request);
    });
}

void WebViewController::showInstallAlert() {
    auto* alert = new ui::AlertView(
        QString(),
        QStringLiteral("你的iPhone上还没有安装塔沃,无法使用此功能，使用塔沃可以方便的把你喜欢的"
                       "作品分享给好友。"),
        nullptr, QStringLiteral("取消"), {QStringLiteral("免费下载塔沃")});
    QPointer<WebViewController> guard(this);
    alert->setCallback([guard](ui::AlertView*, int index) {
        if (index != 1 || ns::UrlOpener::openURL(QUrl(QString::fromLatin1(kTalvoDownloadURL))))
            return;
        if (guard) BFHudUtils::showText(AlertTexts::cannotOpenLink(), guard->view(), nullptr);
    });
    alert->show();
}

// --- Mireb ---

void WebViewController::mirebShareButtonPressed(const WebBridgeMessage& message) {
    if (const std::optional<QString> argument = message.textArgument()) messageToShare(*argument);
}

void WebViewController::messageToShare(const QString& argument) {
    // text & picture address
    const QStringList pieces = argument.split('&');
    const QString token =
        AppDelegate::sharedDelegate() ? AppDelegate::sharedDelegate()->mrtoken() : QString();
    fetchSharePicture(pieces.value(1), this, [pieces, token](const QByteArray& picture) {
        std::shared_ptr<MRAuthorizeRequest> auth = MRAuthorizeRequest::request();
        auth->setRedirectURI(QString::fromLatin1(kMirebRedirectURI));
        auth->setScope(QStringLiteral("all"));
        std::shared_ptr<MRMessageObject> shared = MRMessageObject::message();
        shared->setText(pieces.value(0));
        if (!picture.isEmpty()) {
            std::shared_ptr<MRImageObject> image = MRImageObject::object();
            image->setImageData(picture);
            shared->setImageObject(image);
        }
        std::shared_ptr<MRSendMessageToMirebRequest> request =
            MRSendMessageToMirebRequest::requestWithMessage(shared, auth, token);
        request->setUserInfo({
            {"ShareMessageFrom", "SendMessageToMirebViewController"},
            {"Other_Info_1", 123},
            {"Other_Info_2", QVariantList{"obj1", "obj2"}},
            {"Other_Info_3", QVariantMap{{"key1", "obj1"}, {"key2", "obj2"}}},
        });
        MirebSDK::sendRequest(*request);
    });
}

// --- Native screens and tabs ---

void WebViewController::pushToFunctionModuleVC(const WebBridgeMessage& message) {
    const std::optional<QString> route = message.textArgument();
    if (!route) return;
    ui::TabBarController* tabs = tabBarOf(this);
    if (tavrixConfig::isViewController(*route, tabs)) {
        selectTabCuttingTheOldOne(tabs, tavrixConfig::indexOfViewController(*route, tabs));
        return;
    }
    // A route naming no screen, or a start-up or shell scene, leaves everything as it is.
    ui::ViewController* screen = tavrixConfig::getViewControllerForOutsideRoute(*route);
    if (!screen) return;
    if (ui::NavigationController* nav = navigationController())
        nav->pushViewController(screen, true);
    else
        ui::ViewController::releaseLater(screen);
}

void WebViewController::pushToTabbarViewController(const WebBridgeMessage& message) {
    const std::optional<qint64> index = message.integerArgument();
    if (!index) return;
    if (ui::TabBarController* tabs = tabBarOf(this)) selectTabCuttingTheOldOne(tabs, *index);
}
