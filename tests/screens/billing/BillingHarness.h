#pragma once

// The billing screens' fixture: the shared screen harness with instant animations, the in-app
// web page stood in, and waits that move the overlays' timers on.

#include "app/core/ViewController.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "sandbox/SandboxServer.h"
#include "screens/web/WebViewController.h"
#include "tests/support/ScreenHarness.h"
#include "widgets/OverlayHUD.h"

namespace billing_test {

using Fields = QList<QPair<QString, QString>>;

// The in-app web page without its engine: the tests only read where it was sent.
class PageStandIn : public WebViewController {
public:
    void viewDidLoad() override { ViewController::viewDidLoad(); }
};

class BillingHarness : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        ui::Storyboard::registerScene("Main", "WebViewController", [] { return new PageStandIn; });
    }
    void TearDown() override {
        ScreenHarness::TearDown();
        ui::Storyboard::registerScene("Main", "WebViewController",
                                      [] { return new WebViewController; });
    }

    // Points the client at a scripted server instead of the sandbox.
    ScriptedServer& scripted() {
        if (!m_scripted) m_scripted = std::make_unique<ScriptedServer>();
        tavrixConfig::setServerBaseAddress(m_scripted->baseAddress());
        return *m_scripted;
    }

    // Shows screen and runs until ready() holds or an alert is up.
    template <typename Screen> Screen* open(Screen* screen, const std::function<bool()>& ready) {
        show(screen);
        EXPECT_TRUE(waitFor([&] { return ready() || !alertMessage().isEmpty(); }));
        return screen;
    }

    // Lets the overlays' timers run out and deferred work happen.
    void settle(qint64 ms = 3000) {
        clock.clock.advance(ms);
        settleEvents();
    }
    // Runs until the interface has been asked count times, then lets its answer arrive.
    bool waitForRequests(const QString& name, int count) {
        const bool ok = waitUntil([&] { return sandbox.requestsTo(name).size() >= count; });
        settle(0);
        return ok;
    }
    // Runs until done() holds, advancing the overlays' timers on the way.
    bool waitFor(const std::function<bool()>& done) {
        const bool ok = waitUntil(done);
        settle();
        return ok;
    }
    // Runs until the screen's loading overlay has been told to go (its answer or failure has
    // been handled), then moves the clock past the overlay's minimum time (0.3 s). The clock
    // stands while the answer is on its way: moved on meanwhile, it ran the request into its
    // time-out whenever the answer came late (a loaded machine), and the screen said so.
    bool waitForIdle(ViewController* screen) {
        const bool told = waitUntil([&] {
            const OverlayHUD* hud = screen->baseHud();
            return !hud || hud->isMinShowTimerActive() || hud->showStarted() < 0;
        });
        settle(1000);
        return told && screen->baseHud() == nullptr;
    }
    // Waits for the alert a money request's dropped connection gives, then for a resend.
    void expectDroppedOnce(const QString& name) {
        ASSERT_TRUE(waitFor([&] { return !alertMessage().isEmpty(); }));
        EXPECT_EQ(alertMessage(), "网络连接失败,请检查您的网络设置");
        waitUntil([&] { return sandbox.requestsTo(name).size() > 1; }, 300);
        EXPECT_EQ(sandbox.requestsTo(name).size(), 1);
    }

    static bool pressAlert(const QString& button) { return ui::AlertCenter::press(button); }
    static void click(const ui::View* view) { windowinput::click(view); }
    static QString text(const ui::Label* label) { return label ? label->text() : QString(); }
    PageStandIn* webPage() const { return dynamic_cast<PageStandIn*>(top()); }
    QString session() const { return PublicFunction::getConfigWithKey("session").toString(); }
    qint64 account(const char* column, const QString& number = SandboxFixture::demoNumber()) {
        return sandbox.account(column, number);
    }

    ui::ScopedInstantAnimations instant;

private:
    std::unique_ptr<ScriptedServer> m_scripted;
};

} // namespace billing_test
