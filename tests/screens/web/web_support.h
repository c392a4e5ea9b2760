#pragma once

// Shared pieces of the web-page tests: a window with a navigation stack, real clicks, and the
// sample address book.

#include "mireb/MirebSDK.h"
#include "platform/foundation/Contacts.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"
#include "talvo/TVApi.h"
#include "tests/support/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrlQuery>
#include <QVariantMap>
#include <memory>

namespace web {

using ::waitUntil;

// The demo's address book, shipped with the sandbox.
inline QString sampleContactsPath() {
    return QStringLiteral(QT_TESTCASE_SOURCEDIR "/../sandbox/demo/contacts.vcf");
}

inline void writeSampleContacts() {
    const QString target = ns::ContactsStore::defaultPath();
    QFile::remove(target);
    QFile::copy(sampleContactsPath(), target);
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

} // namespace web
