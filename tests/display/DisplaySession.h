#pragma once

// The built client on a real X display, used as a person uses it: Xvfb, the sandbox with a
// fresh database, and the client on xcb with its own TAVRIX_HOME, on wifi. Input is real X
// input (xdotool); outcomes are read from the sandbox's request log, the stored user defaults
// and the display. One journey per feature, in <feature>_display_test.cpp. The window sits at
// the display's origin, one point a pixel. Every wait polls with a guard time.
//
// Under load a still picture is not a settled one: a client busy opening a screen draws
// nothing for a while. After an input that changes the screen, wait for the picture to move
// and then rest (clickAndSettle), or for the server's request.

#include "tests/support/XvfbServer.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QProcess>
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

    // Stored user defaults the client finds at its next start (merged into what is there).
    void writeDefaults(const QVariantMap& values);
    // The guide seen, automatic log-in on with the first demo subscriber.
    void rememberSubscriber();
    // Starts the display and the sandbox (once) and the client with extraArgs; returns when
    // the client's window shows.
    bool start(const QStringList& extraArgs = {});
    // Ends the client as the desktop does (SIGTERM); true on a clean exit.
    bool stopClient();
    bool clientRunning() const;
    // The client's main thread sleeps, waiting for an event (not running, nor ready to run).
    bool clientWaiting() const;
    QString clientLog();
    // The id of the client's one visible X window ("" while it shows none or several).
    QString windowId();

    // Real X input at window points.
    void click(const QPointF& at);
    // Press, `steps` moves `stepMs` apart, release: the speed of a finger's swipe.
    void drag(const QPointF& from, const QPointF& to, int steps = 8, int stepMs = 16);
    // Wheel notches: positive turns the wheel down (the content scrolls up).
    void wheel(const QPointF& at, int notches);
    void type(const QString& text);
    void key(const QString& keys); // X names: "Return", "Escape", "Tab", "ctrl+a"...

    // The form fields of each request to `name` the sandbox received, oldest first (secrets
    // come masked as "***": check a password by its outcome).
    QList<QVariantMap> requests(const QString& name);
    bool waitForRequest(const QString& name, int count = 1);
    QVariantMap defaults() const;
    bool waitForDefault(const QString& key, const QVariant& value);
    // The sandbox's database, there once start() has run: a journey may change the demo data
    // in it (the sandbox reads it afresh for every request).
    QString sandboxDatabase() const { return m_dir.path() + "/sandbox.sqlite"; }

    // The 320 x 568 window as the display shows it.
    QImage screen() const;
    QColor pixel(const QPointF& at) const;
    bool waitForPixel(const QPointF& at, const QColor& colour, int tolerance = 8);
    bool waitForScreen(const std::function<bool(const QImage&)>& done, int guardMs = 20000);
    // Until region (the window by default) has not changed for quietMs, the client's main
    // thread found waiting for work at every look: under load a client that has not yet got
    // round to drawing shows a still picture too. Leave out what moves by itself (a carousel).
    bool waitForStillScreen(int quietMs = 300, const QRect& region = {});
    // Until region differs from `before`, then rests for quietMs.
    bool waitForNewPicture(const QImage& before, const QRect& region = {}, int quietMs = 300);
    // A click that changes region: until the picture there has moved and rests again.
    bool clickAndSettle(const QPointF& at, const QRect& region = {}, int quietMs = 300);
    // Every picture the waits above read from now on is also handed to `watch` (empty: none),
    // to check each frame shown on the way, not only the one a wait ends on.
    void watchPictures(std::function<void(const QImage&)> watch) { m_watch = std::move(watch); }
    // A 32 x 32 square of the picture that is black through and through (empty when none): the
    // display shows its black root where the window is not, and no screen of the client has
    // one.
    static QRect blackSquare(const QImage& picture);

    static bool waitFor(const std::function<bool()>& done, int guardMs = 20000,
                        int intervalMs = 25);
    static bool near(const QColor& a, const QColor& b, int tolerance = 8);

private:
    QProcess* spawn(const QString& program, const QStringList& args,
                    const QProcessEnvironment& env);
    QProcessEnvironment displayEnvironment() const;
    void xdotool(const QStringList& args);
    QStringList pointerTo(const QPointF& at);
    QImage look(); // screen(), shown to the watch

    QTemporaryDir m_dir;
    QString m_home, m_base;
    XvfbServer m_xvfb;
    QProcess* m_sandbox = nullptr;
    QProcess* m_client = nullptr;
    QPoint m_pointer{-1, -1};
    std::function<void(const QImage&)> m_watch;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// The fixture of every journey: skipped where the tools are missing (failed instead when
// TAVRIX_DISPLAY_REQUIRED is set, as in CI); on a failure the display and the client's
// output go to the test log.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    DisplaySession session;
};
