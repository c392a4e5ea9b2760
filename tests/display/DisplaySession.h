#pragma once

// The built client on a real X display, used as a person uses it: an Xvfb server on a free
// display, the sandbox server on a free port with a fresh database, and the client with
// QT_QPA_PLATFORM=xcb, its own TAVRIX_HOME and TAVRIX_NETWORK=wifi. Input is real X input
// sent with xdotool; outcomes are read from the sandbox's request log, the client's stored
// user defaults and the pixels of the display.
//
// A screen adds its cases in its own file, tests/display/<feature>_display_test.cpp, with the
// DisplayTest fixture (it skips when Xvfb or xdotool is missing, and fails instead when
// TAVRIX_DISPLAY_REQUIRED is set, as in CI):
//
//   #include "tests/display/DisplaySession.h"
//
//   TEST_F(DisplayTest, TheLogInButtonShowsTheAlert) {
//       session.writeDefaults({{"is_open_guideview", true}});   // before start(): skip the guide
//       ASSERT_TRUE(session.start());                           // waits for the window
//       ASSERT_TRUE(session.waitForPixel({160, 42}, kBarBlue));  // the log-in screen is up
//       session.click({160, 116});                              // points in the window
//       session.type("13800000001");
//       session.click({160, 272});
//       ASSERT_TRUE(session.waitForRequest("Login"));
//       EXPECT_EQ(session.requests("Login").last().value("num"), "13800000001");
//       EXPECT_TRUE(session.defaults().value("is_auto_login").toBool());
//   }
//
// The window sits at the display's origin and one point is one pixel, so window points are
// display pixels. Every wait polls a condition with a guard time; nothing sleeps blindly.
// Wait for a screen to be at rest before clicking it: a click during a slide or a spring
// meets the old layout (waitForStillScreen, over a region that holds no carousel).
// On a failure the fixture saves the display as a PNG (in $TAVRIX_DISPLAY_FAILURES, else the
// temporary directory) and prints the client's output.

#include "tests/support/XvfbServer.h"

#include <QColor>
#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class DisplaySession {
public:
    DisplaySession();
    ~DisplaySession();
    DisplaySession(const DisplaySession&) = delete;
    DisplaySession& operator=(const DisplaySession&) = delete;

    // Empty when the display tools are installed; otherwise what is missing.
    static QString unavailableReason();

    // ---- Before start ----
    // Stored user defaults the client finds at its first start (merged into what is there).
    void writeDefaults(const QVariantMap& values);
    // The guide seen, automatic log-in on with the first demo subscriber: the client goes
    // straight to the drawer container.
    void rememberSubscriber(const QString& number = "13800000001",
                            const QString& password = "123456");

    // Starts the display, the sandbox (once) and the client; returns when the client's window
    // is on the display. extraArgs are passed to the client.
    bool start(const QStringList& extraArgs = {});
    // Ends the client as the desktop does (SIGTERM) and waits for it; true on a clean exit.
    bool stopClient(int guardMs = 20000);
    bool clientRunning() const;
    QString clientLog();

    // ---- Input (real X events, window points) ----
    void click(const QPointF& at);
    void press(const QPointF& at);
    void moveTo(const QPointF& to);
    void release(const QPointF& at);
    // Press, `steps` moves `stepMs` apart, release: the speed of a finger's swipe.
    void drag(const QPointF& from, const QPointF& to, int steps = 8, int stepMs = 16);
    // Wheel notches at a point: positive scrolls the content up (the wheel turned down).
    void wheel(const QPointF& at, int notches);
    // Latin text typed key by key into the focused field.
    void type(const QString& text);
    // Keys by X name: "Return", "Escape", "Tab", "BackSpace", "ctrl+a"...
    void key(const QString& keys);

    // ---- Outcomes ----
    // Interface requests the sandbox received, oldest first: each request's form fields by
    // name, plus "interface" (its name) and "body" (the raw form). Only requests to `name`
    // when one is given. The sandbox masks secrets: a field named like a password reads "***"
    // (check a password by its outcome: the alert, the next screen, the stored defaults).
    QList<QVariantMap> requests(const QString& name = {});
    QStringList receivedInterfaces();
    // Until `count` requests to name have arrived.
    bool waitForRequest(const QString& name, int count = 1, int guardMs = 15000);
    void clearRequests();
    // The client's stored user defaults (an empty map before the first write).
    QVariantMap defaults() const;
    bool waitForDefault(const QString& key, const QVariant& value, int guardMs = 10000);
    // What the display shows now, cropped to the 320 x 568 window.
    QImage screen() const;
    QColor pixel(const QPointF& at) const;
    bool waitForPixel(const QPointF& at, const QColor& colour, int tolerance = 8,
                      int guardMs = 10000);
    bool waitForScreen(const std::function<bool(const QImage&)>& done, int guardMs = 10000);
    // Until the display (or the part of it in region) has not changed for quietMs: the
    // animations and transitions there are over. Leave out what moves by itself (a carousel).
    bool waitForStillScreen(int quietMs = 150, int guardMs = 10000, const QRect& region = {});
    bool saveScreen(const QString& path) const;

    // Polls done() every intervalMs (running the event loop) until it holds or guardMs pass.
    // The default exceeds an animation frame (16 ms): two equal polls mean the screen rests.
    static bool waitFor(const std::function<bool()>& done, int guardMs = 10000,
                        int intervalMs = 25);
    static bool near(const QColor& a, const QColor& b, int tolerance = 8);

    QString home() const { return m_home; }
    QString baseAddress() const { return m_base; }
    QString display() const { return m_display; }

private:
    bool startDisplay();
    bool startSandbox();
    QProcess* spawn(const QString& program, const QStringList& args,
                    const QProcessEnvironment& env);
    bool xdotool(const QStringList& args);
    QStringList pointerTo(const QPointF& at);
    QJsonObject get(const QString& path);

    QTemporaryDir m_dir;
    QString m_home, m_runtime, m_display, m_base;
    XvfbServer m_xvfb;
    QProcess* m_sandbox = nullptr;
    QProcess* m_client = nullptr;
    QByteArray m_clientLog;
    QPoint m_pointer{-1, -1};
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// The fixture of every display case: a session, skipped where the tools are missing; on a
// failure the display and the client's output go to the test log.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    DisplaySession session;
};
