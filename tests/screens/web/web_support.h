#pragma once

// What the web-page tests share: a window with a navigation stack, real clicks, the sample
// address book, Talvo and Mireb "installed", and a fixture that opens a page on the stack.

#include "app/core/NotificationNames.h"
#include "app/core/tavrixConfig.h"
#include "mireb/MirebSDK.h"
#include "platform/foundation/Contacts.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PeoplePickerViewController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"
#include "screens/web/AddressBookHelper.h"
#include "screens/web/WebViewController.h"
#include "talvo/TVApi.h"
#include "tests/support/ShownAlert.h"
#include "tests/support/Wait.h"

#include <QFile>
#include <QTest>
#include <QUrlQuery>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

namespace web {

using ::waitUntil;

// The demo's address book, shipped with the sandbox.
inline void writeSampleContacts() {
    const QString target = ns::ContactsStore::defaultPath();
    QFile::remove(target);
    QFile::copy(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../sandbox/demo/contacts.vcf"), target);
}

// A window whose root is a navigation stack holding one plain screen.
struct HostScreen {
    HostScreen() {
        window = std::make_unique<ui::Window>();
        vc = new ui::ViewController;
        nav = new ui::NavigationController(vc);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
    }
    std::unique_ptr<ui::Window> window;
    ui::NavigationController* nav = nullptr;
    ui::ViewController* vc = nullptr;
};

// A click at the middle of the view, delivered to the window so Qt finds what lies there.
inline void tap(ui::Window* window, QWidget* view) {
    const QPoint at = view->mapTo(window, view->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
}

inline void tapRow(ui::Window* window, ui::TableView* table, int row) {
    ui::TableViewCell* cell = table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0));
    ASSERT_NE(cell, nullptr) << "row " << row;
    tap(window, cell);
}

// Talvo and Mireb "installed": what they are sent is read off the pasteboard as it is opened.
struct InstalledShareApps {
    InstalledShareApps() {
        TVApi::resetForTesting();
        MirebSDK::resetForTesting();
        TVApi::registerApp("wxtest");
        MirebSDK::registerApp("123");
        ns::UrlOpener::setCanOpenHandler([](const QUrl&) { return true; });
        ns::UrlOpener::setHandler([this](const QUrl& url) {
            if (url.scheme() == "talvo") sent.append(ns::Pasteboard::read("wxtest"));
            if (url.scheme() == "mirebsdk")
                sent.append(ns::Pasteboard::read(QUrlQuery(url).queryItemValue("id")));
            return true;
        });
    }
    ~InstalledShareApps() {
        ns::UrlOpener::setHandler({});
        ns::UrlOpener::setCanOpenHandler({});
        TVApi::resetForTesting();
        MirebSDK::resetForTesting();
    }
    InstalledShareApps(const InstalledShareApps&) = delete;
    InstalledShareApps& operator=(const InstalledShareApps&) = delete;
    QList<QVariantMap> sent;
};

// A host window, the sample address book allowed to be asked for, text messages possible,
// and the log-in requests the page posts counted.
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The operator's pages are those of host "h"; pages of other hosts are other sites.
        previousServer = tavrixConfig::serverBaseAddress();
        tavrixConfig::setServerBaseAddress(QString::fromLatin1(kServer));
        ui::ContactsAuthorization::reset();
        writeSampleContacts();
        ui::MessageComposeViewController::setCanSendText(true);
        ui::MessageComposeViewController::resetComposedRecord();
        ns::NotificationCenter::defaultCenter().addObserver(
            &observer, notification::kPushToLoginVeiw, nullptr,
            [this](const ns::Notification&) { ++logins; });
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        apps.reset();
        ns::UrlOpener::setHandler({});
        ns::UrlOpener::setCanOpenHandler({});
        ns::NotificationCenter::defaultCenter().removeObserver(&observer);
        tavrixConfig::setServerBaseAddress(previousServer);
    }
    static constexpr const char* kServer = "http://h/pelvo/";

    // Pushes a page for the address (on the host's stack unless given) and lets it load.
    WebViewController* open(const QString& url, ui::NavigationController* on = nullptr) {
        auto* page = qobject_cast<WebViewController*>(
            ui::Storyboard::instantiateViewController("Main", "WebViewController"));
        page->setRequestURL(url);
        page->setStrOfTitle("页面");
        (on ? on : host.nav)->pushViewController(page, true);
        page->loadViewIfNeeded();
        return page;
    }
    // Four tabs of navigation stacks become the window's root, the given one selected.
    ui::TabBarController* showTabs(int selected) {
        auto* tabs = new ui::TabBarController;
        QList<ui::ViewController*> navs;
        for (int i = 0; i < 4; ++i)
            navs.append(new ui::NavigationController(new ui::ViewController));
        tabs->setViewControllers(navs);
        tabs->setSelectedIndex(selected);
        host.window->setRootViewController(tabs);
        return tabs;
    }
    static ui::NavigationController* tab(ui::TabBarController* tabs, int i) {
        return qobject_cast<ui::NavigationController*>(tabs->viewControllers().at(i));
    }

    HostScreen host;
    QString previousServer;
    QObject observer;
    int logins = 0;
    std::unique_ptr<InstalledShareApps> apps;
};

} // namespace web
