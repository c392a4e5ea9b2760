#pragma once

// The data-usage screen tests' fixture: the shared screen harness, plus scenes opened from the
// storyboard, clicks that go through the window so Qt hit-tests them, a scripted server and the
// requests' own fields.

#include "app/core/NotificationNames.h"
#include "platform/ui/Storyboard.h"
#include "tests/support/ScreenHarness.h"

#include <QTest>

namespace flow_test {

using Fields = QList<QPair<QString, QString>>;

inline void settle() {
    settleEvents();
}

class FlowHarness : public ScreenHarness {
protected:
    // The scene, pushed as the root of a navigation stack in a new key window.
    template <typename T> T* open(const QString& storyboard, const QString& scene) {
        auto* vc = ui::Storyboard::instantiateViewController(storyboard, scene);
        auto* screen = qobject_cast<T*>(vc);
        EXPECT_TRUE(screen) << scene.toStdString();
        show(vc);
        return screen;
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
    QString topScene() const { return top() ? top()->storyboardIdentifier() : QString(); }

    static constexpr qint64 kOverlaySettleMs = 500;

private:
    std::unique_ptr<ScriptedServer> m_scripted;
    QMap<QString, QByteArray> m_scriptedBodies;
};

} // namespace flow_test
