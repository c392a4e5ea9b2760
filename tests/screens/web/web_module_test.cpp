// The browser engine's module that cannot be loaded: the page says the network failed and
// leaves; the client goes on.

#include <gtest/gtest.h>

#include "screens/web/WebViewController.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/WebViewModule.h"
#include "tests/screens/web/web_support.h"

#include <QTemporaryDir>

namespace {

struct BrokenModule {
    const char* name;
    QByteArray content; // empty: no file at all
};

class WebModuleTest : public ::testing::TestWithParam<BrokenModule> {
protected:
    void TearDown() override {
        ui::WebView::setFactory({});
        ui::AlertCenter::dismissAll();
    }
    QTemporaryDir dir;
    web::HostScreen host;
};

TEST_P(WebModuleTest, pageSaysTheNetworkFailedAndLeaves) {
    const QString path = dir.filePath(ui::WebViewModule::kFileName);
    if (!GetParam().content.isEmpty()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().content);
    }
    auto module = std::make_shared<ui::WebViewModule>(QStringList{path});
    ui::WebView::setFactory(
        [module](const QRectF& frame, ui::View* parent) { return module->create(frame, parent); });
    QPointer<WebViewController> page = qobject_cast<WebViewController*>(
        ui::Storyboard::instantiateViewController("Main", "WebViewController"));
    page->setRequestURL("http://127.0.0.1:9/page.html");
    host.nav->pushViewController(page, true);
    page->loadViewIfNeeded();

    EXPECT_EQ(page->myWebView(), nullptr);
    EXPECT_FALSE(module->isLoaded());
    ui::AlertView* alert = ui::AlertCenter::topAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), "网络连接失败,请检查您的网络设置");
    ASSERT_EQ(alert->numberOfButtons(), 1);
    alert->pressButtonAtIndex(0);
    EXPECT_EQ(host.nav->topViewController(), host.vc);
    EXPECT_TRUE(web::waitUntil([&] { return page.isNull(); }));
}

INSTANTIATE_TEST_SUITE_P(, WebModuleTest,
                         ::testing::Values(BrokenModule{"missing", {}},
                                           BrokenModule{"notAModule", "not a shared library\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
