#pragma once

// What the data-usage screen tests share: fresh settings signed in to an in-process sandbox,
// a manual clock for delayed answers, a window with a navigation stack, and clicks that go
// through the window so Qt hit-tests them.

#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowInput.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace flow_test {

using Fields = QList<QPair<QString, QString>>;

inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

class FlowHarness : public testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(m_home.path());
        ns::UserDefaults::resetStandardUserDefaults();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        signIn(SandboxFixture::demoNumber());
    }

    void TearDown() override {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride(m_previousHome);
    }

    void signIn(const QString& number) {
        PublicFunction::saveConfig(sandbox.signIn(number), "session");
        PublicFunction::saveConfig(number, "username");
    }

    // The scene, pushed as the root of a navigation stack in a new key window.
    template <typename T> T* open(const QString& storyboard, const QString& scene) {
        auto* vc = ui::Storyboard::instantiateViewController(storyboard, scene);
        auto* screen = qobject_cast<T*>(vc);
        EXPECT_TRUE(screen) << scene.toStdString();
        show(vc);
        return screen;
    }
    template <typename T> T* show(T* root) {
        window = std::make_unique<ui::Window>();
        nav = new ui::NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        return root;
    }

    // A click at a point of the view (its centre by default), delivered to the window.
    void click(ui::View* view, std::optional<QPointF> at = std::nullopt) {
        ASSERT_TRUE(view);
        ASSERT_TRUE(window);
        // The loading overlay leaves on the clock: let it go before pressing what lies below.
        clock.clock.advance(kOverlaySettleMs);
        settle();
        const QPointF local = at.value_or(QPointF(view->width() / 2.0, view->height() / 2.0));
        windowinput::click(window.get(), windowinput::pointInWindow(view, local));
        QCoreApplication::processEvents();
    }

    // Points the client at a scripted server that answers each interface with the body given
    // (the last given for it), and {"result":0} for the others.
    void script(const QString& interfaceName, const QByteArray& body) {
        if (!m_scripted) {
            m_scripted = std::make_unique<ScriptedServer>();
            m_scripted->setHandler([this](const ScriptedServer::Request& r) {
                const QString name =
                    QString::fromLatin1(r.path).section('/', -1).section('.', 0, 0);
                return ScriptedServer::json(m_scriptedBodies.value(name, R"({"result":0})"));
            });
            tavrixConfig::setServerBaseAddress(m_scripted->baseAddress());
        }
        m_scriptedBodies.insert(interfaceName, body);
    }
    ScriptedServer* scripted() const { return m_scripted.get(); }

    bool waitForRequests(int count) { return sandbox.waitForRequests(count); }
    // Requests to the interface received so far, by their own fields (session and num dropped).
    QList<Fields> fieldsOf(const QString& name) const {
        QList<Fields> out;
        for (const auto& r : sandbox.requestsTo(name)) {
            Fields own;
            for (const auto& item : r.fields.items())
                if (item.first != "session" && item.first != "num") own.append(item);
            out.append(own);
        }
        return out;
    }
    QStringList interfaceOrder() const {
        QStringList names;
        for (const auto& r : sandbox.requests())
            names.append(r.interfaceName);
        return names;
    }

    // Ends a table row's screen: its alerts and window go.
    void closeWindow() {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
    }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    QString topScene() const { return top() ? top()->storyboardIdentifier() : QString(); }

    static QString alertMessage() {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }
    static int alertCount() { return int(ui::AlertCenter::visibleAlerts().size()); }

    static constexpr qint64 kOverlaySettleMs = 500;

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    QTemporaryDir m_home;
    std::unique_ptr<ScriptedServer> m_scripted;
    QMap<QString, QByteArray> m_scriptedBodies;
    QString m_previousHome;
};

// Counts the posts of one notification.
class NotificationCounter : public QObject {
public:
    explicit NotificationCounter(const char* name) {
        ns::NotificationCenter::defaultCenter().addObserver(
            this, QString::fromLatin1(name), nullptr, [this](const ns::Notification&) { ++count; });
    }
    ~NotificationCounter() override {
        ns::NotificationCenter::defaultCenter().removeObserver(this);
    }
    int count = 0;
};

} // namespace flow_test
