// Every registered scene, opened as a person opens it (logged in, against the sandbox, in the
// app's window): its texts are drawn whole and everything on it can be brought into view.
// Each scene's picture is kept in <build>/scenes for a person to look at.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TabBar.h"
#include "screens/shell/SideSlipViewController.h"
#include "tests/screens/shell/ShellHarness.h"
#include "tests/support/DrawnText.h"
#include "tests/support/SandboxFixture.h"

namespace {

struct Scene {
    QString storyboard, identifier;
    friend void PrintTo(const Scene& scene, std::ostream* out) {
        *out << qPrintable(scene.storyboard + "&" + scene.identifier);
    }
};

QList<Scene> registeredScenes() {
    QList<Scene> out;
    for (const auto& [storyboard, identifier] : ui::Storyboard::scenes())
        out.append({storyboard, identifier});
    return out;
}

const QStringList kShellParts = {"DefaultVC", "LoginViewController", "GuideViewController",
                                 "TabBarViewController", "SideSlipViewController"};
const QStringList kOnScreenAtStart = {"NavbarViewController", "SkatingRinkViewController",
                                      "RootViewController"};
const QStringList kRevealedByPulling = {"RefreshView"};

bool shown(const ui::View* v) {
    return !v->isHidden() && v->alpha() > 0.01;
}

QString describe(const ui::View* v) {
    const auto* label = qobject_cast<const ui::Label*>(v);
    return QString::fromLatin1(v->metaObject()->className()) +
           (label ? " \"" + label->text() + "\"" : QString()) +
           QStringLiteral(" at (%1,%2 %3x%4)")
               .arg(v->frame().x())
               .arg(v->frame().y())
               .arg(v->frame().width())
               .arg(v->frame().height());
}

// A view that puts nothing on the screen: an empty picture frame, a clear empty view.
bool drawsNothing(const ui::View* v) {
    const auto* image = qobject_cast<const ui::ImageView*>(v);
    return v->backgroundColor().alpha() == 0 && v->backgroundBrush().style() == Qt::NoBrush &&
           (image ? image->image().isNull()
                  : v->subviews().isEmpty() &&
                        QByteArray(v->metaObject()->className()) == "ui::View");
}

bool within(const QRectF& inner, const QRectF& outer) {
    return inner.left() >= outer.left() - 0.5 && inner.top() >= outer.top() - 0.5 &&
           inner.right() <= outer.right() + 0.5 && inner.bottom() <= outer.bottom() + 0.5;
}

// Walks the shown views: each text drawn whole, each view inside what its nearest scroll view
// (or the window) can bring into view, and nothing a person needs under the tab bar.
class Walk {
public:
    // The drawer's menu lies left of the window until the drawer opens and shows it whole,
    // beside the tab bar.
    Walk(ui::View* root, ui::View* drawer, ui::View* menu)
        : m_root(root), m_drawer(drawer), m_menu(menu) {
        m_free = root->bounds();
        findTabBar(root);
        visit(root, nullptr, root->bounds(), true, true);
    }
    QStringList faults;

private:
    void findTabBar(ui::View* v) {
        for (ui::View* child : v->subviews()) {
            if (!shown(child)) continue;
            if (auto* bar = qobject_cast<ui::TabBar*>(child)) {
                m_tabBar = bar;
                m_free.setBottom(bar->convertRectToView(bar->bounds(), m_root).top());
                return;
            }
            findTabBar(child);
        }
    }
    static bool isContent(const ui::View* v) {
        return qobject_cast<const ui::Label*>(v) || v->inherits("ui::Button") ||
               v->inherits("ui::ImageView");
    }
    // reach: where v may lie, in its scroll view's content (or the window's) coordinates.
    void visit(ui::View* v, ui::View* scroll, const QRectF& reach, bool barCovers, bool placed) {
        if (kRevealedByPulling.contains(v->metaObject()->className())) placed = false;
        if (const QString fault = textFault(qobject_cast<ui::Label*>(v)); !fault.isEmpty())
            faults << fault + ": " + describe(v);
        if (v == m_tabBar || v == m_menu) barCovers = false;
        // A label's place is where its text goes.
        const auto* label = qobject_cast<const ui::Label*>(v);
        const QRectF place = v->convertRectToView(
            label ? label->textRectForBounds(v->bounds()) : v->bounds(), scroll ? scroll : m_root);
        QRectF allowed = reach;
        if (!scroll && barCovers && isContent(v)) allowed.setBottom(m_free.bottom());
        if (placed && v != m_root && !v->frame().isEmpty() && !drawsNothing(v) &&
            !within(place, allowed))
            faults << "out of reach: " + describe(v);
        QRectF childReach = reach;
        ui::View* childScroll = scroll;
        if (v == m_drawer && !scroll) childReach.setLeft(reach.left() - v->frame().width());
        if (auto* s = qobject_cast<ui::ScrollView*>(v)) {
            // What the scroll view shows at any offset it can rest at.
            QRectF seen(QPointF(0, 0), s->frame().size());
            if (!scroll)
                seen = place.intersected(barCovers ? m_free : m_root->bounds())
                           .translated(-place.topLeft());
            const QPointF lo = s->minimumContentOffset(), hi = s->maximumContentOffset();
            childReach = QRectF(lo + seen.topLeft(), QSizeF(hi.x() - lo.x() + seen.width(),
                                                            hi.y() - lo.y() + seen.height()));
            childScroll = s;
        }
        for (ui::View* child : v->subviews())
            if (shown(child)) visit(child, childScroll, childReach, barCovers, placed);
    }
    ui::View* m_root;
    ui::View* m_drawer;
    ui::View* m_menu;
    ui::View* m_tabBar = nullptr;
    QRectF m_free;
};

class SceneWalk : public ShellHarness, public ::testing::WithParamInterface<Scene> {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        qputenv("TAVRIX_NETWORK", "wifi");
        PublicFunction::saveConfig(SandboxFixture::demoPassword(), "password");
        signInAs(SandboxFixture::demoNumber(), sandbox.signIn());
        launch(sandbox.baseAddress());
        // The shell after log-in, as the start-up leaves it.
        rootNavigation()->setViewControllers(
            {ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController")},
            false);
        settle();
    }
    // Until the sandbox has heard nothing new for a while: the screen has what it asked for.
    void settle() {
        qsizetype heard = -1;
        QElapsedTimer still;
        waitUntil(
            [&] {
                if (sandbox.requests().size() != heard) {
                    heard = sandbox.requests().size();
                    still.start();
                }
                return still.elapsed() > 400;
            },
            8000);
    }
    void open(const Scene& scene) {
        const auto& [storyboard, identifier] = scene;
        if (kOnScreenAtStart.contains(identifier)) return;
        if (kShellParts.contains(identifier)) {
            rootNavigation()->pushViewController(
                ui::Storyboard::instantiateViewController(storyboard, identifier), false);
            return;
        }
        // As a link opens it: a tab's root by name, any other scene pushed on the tab.
        const bool tabRoot = tavrixConfig::tabRootNames().contains(identifier);
        app->openURL("kelvamor://" + (tabRoot ? identifier : storyboard + "&" + identifier), {});
    }

    SandboxFixture sandbox;
};

TEST_P(SceneWalk, TextsAreWholeAndEverythingCanBeReached) {
    const auto& [storyboard, identifier] = GetParam();
    open(GetParam());
    settle();
    ui::Window* window = app->window();
    ASSERT_EQ(window->rootView()->frame().size(), ui::Window::screenSize());
    const QString dir = QCoreApplication::applicationDirPath() + "/../scenes";
    QDir().mkpath(dir);
    window->saveScreenshot(dir + "/" + identifier + ".png");
    auto* drawer = qobject_cast<SkatingRinkViewController*>(rootNavigation()->topViewController());
    const Walk walk(window->rootView(), drawer ? drawer->view() : nullptr,
                    drawer && drawer->leftViewController() ? drawer->leftViewController()->view()
                                                           : nullptr);
    EXPECT_TRUE(walk.faults.isEmpty()) << qPrintable(walk.faults.join('\n'));
    const ui::AlertView* alert = ui::AlertCenter::topAlert();
    EXPECT_FALSE(alert) << qPrintable(alert->message());
}

INSTANTIATE_TEST_SUITE_P(
    Registered, SceneWalk, ::testing::ValuesIn(registeredScenes()),
    [](const ::testing::TestParamInfo<Scene>& info) {
        return (info.param.storyboard + "_" + info.param.identifier).toStdString();
    });

// A picture drawn for the project keeps its whole content on its own canvas.
TEST(Pictures, EveryPictureLiesInsideItsCanvas) {
    const QDir dir(QStringLiteral(":/images"));
    const QStringList files = dir.entryList({"*.svg"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        QSvgRenderer svg(dir.filePath(file));
        const QRectF canvas = svg.viewBoxF();
        // Drawn with a margin of one canvas all round: nothing may land in the margin.
        svg.setViewBox(
            canvas.adjusted(-canvas.width(), -canvas.height(), canvas.width(), canvas.height()));
        QImage image(int(canvas.width() * 12), int(canvas.height() * 12), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        const QRect inside(image.width() / 3, image.height() / 3, image.width() / 3,
                           image.height() / 3);
        int outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 40 && !inside.adjusted(-1, -1, 1, 1).contains(x, y))
                    ++outside;
        EXPECT_EQ(outside, 0) << file.toStdString();
    }
}

} // namespace
