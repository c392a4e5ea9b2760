#include "tests/display/DisplaySession.h"

#include "platform/foundation/PropertyList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <iostream>

DisplaySession::DisplaySession() {
    m_home = m_dir.path() + "/home";
    QDir().mkpath(m_home);
    // Under the sanitizers the processes started here report no leaks at exit: on a real
    // display the desktop libraries keep allocations for the process's life. The headless
    // tests check our own code's leaks.
    const QByteArray asan = qgetenv("ASAN_OPTIONS");
    if (!asan.isEmpty() && !asan.contains("detect_leaks=0"))
        qputenv("ASAN_OPTIONS", asan + ":detect_leaks=0");
}

DisplaySession::~DisplaySession() {
    // The client first (it talks to both others), the display last; each is killed and waited.
    while (!m_processes.empty())
        m_processes.pop_back();
}

void DisplaySession::writeDefaults(const QVariantMap& values) {
    const QString dir = m_home + "/Library/Preferences";
    QDir().mkpath(dir);
    QVariantMap all = defaults();
    all.insert(values);
    ns::PropertyList::writeFile(dir + "/tavrix.plist", all);
}

void DisplaySession::rememberSubscriber() {
    writeDefaults({{"is_open_guideview", true},
                   {"is_auto_login", true},
                   {"is_save_password", true},
                   {"username", "13800000001"},
                   {"password", "123456"}});
}

QProcess* DisplaySession::spawn(const QString& program, const QStringList& args,
                                const QProcessEnvironment& env) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->start(program, args);
    if (!process->waitForStarted(10000)) return nullptr;
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

bool DisplaySession::start(const QStringList& extraArgs) {
    if (m_xvfb.display().isEmpty() && !m_xvfb.start()) {
        ADD_FAILURE() << m_xvfb.error().toStdString();
        return false;
    }
    if (!m_sandbox) {
        m_sandbox = spawn(qEnvironmentVariable("TAVRIX_SANDBOX_BIN"),
                          {"--port", "0", "--db", sandboxDatabase()},
                          QProcessEnvironment::systemEnvironment());
        static const QRegularExpression line("listening on (http://\\S+/pelvo/)");
        QByteArray out;
        waitFor([&] {
            out += m_sandbox ? m_sandbox->readAllStandardOutput() : QByteArray();
            return line.match(QString::fromUtf8(out)).hasMatch();
        });
        m_base = line.match(QString::fromUtf8(out)).captured(1);
        if (m_base.isEmpty()) {
            ADD_FAILURE() << "the sandbox did not start: " << out.constData();
            return false;
        }
    }
    QProcessEnvironment env = displayEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_SCALE_FACTOR", "1");
    env.insert("TAVRIX_HOME", m_home);
    env.insert("XDG_RUNTIME_DIR", m_dir.path()); // the owner's alone, as it must be
    env.insert("TAVRIX_NETWORK", "wifi");
    env.insert("TAVRIX_SERVER", m_base);
    // Xvfb has no GPU: the web engine draws in software, or its GPU process takes the X
    // connection down with it.
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS",
               (env.value("QTWEBENGINE_CHROMIUM_FLAGS") + " --disable-gpu").trimmed());
    // How pages draw is the client's own choice, as on a desktop where nothing names one.
    env.remove("QT_QUICK_BACKEND");
    m_client = spawn(qEnvironmentVariable("TAVRIX_CLIENT_BIN"), extraArgs, env);
    if (!m_client) return false;
    m_client->setProcessChannelMode(QProcess::MergedChannels);
    // The window is up once its first frame is painted. The display's root is black; no
    // screen of the client is black in its middle.
    waitForScreen([&](const QImage& s) { return s.pixelColor(160, 284) != Qt::black; }, 30000);
    if (clientRunning() && screen().pixelColor(160, 284) != Qt::black) return true;
    ADD_FAILURE() << "the client's window did not appear: " << clientLog().toStdString();
    return false;
}

bool DisplaySession::stopClient() {
    ::kill(pid_t(m_client->processId()), SIGTERM);
    return waitFor([&] { return !clientRunning(); }) &&
           m_client->exitStatus() == QProcess::NormalExit && m_client->exitCode() == 0;
}

bool DisplaySession::clientRunning() const {
    return m_client && m_client->state() != QProcess::NotRunning;
}

QString DisplaySession::clientLog() {
    return m_client ? QString::fromUtf8(m_client->readAll()) : QString();
}

QString DisplaySession::windowId() {
    if (!m_client) return {};
    QProcess p;
    p.setProcessEnvironment(displayEnvironment());
    p.start(QStandardPaths::findExecutable("xdotool"),
            {"search", "--onlyvisible", "--pid", QString::number(m_client->processId())});
    // It finds nothing (and says so by its status) while the client shows no window.
    if (!p.waitForFinished(20000)) return {};
    const QStringList ids =
        QString::fromLatin1(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return ids.size() == 1 ? ids.first() : QString();
}

QProcessEnvironment DisplaySession::displayEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_xvfb.display());
    return env;
}

void DisplaySession::xdotool(const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(displayEnvironment());
    p.start(QStandardPaths::findExecutable("xdotool"), args);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        ADD_FAILURE() << "xdotool " << args.join(' ').toStdString() << ": "
                      << p.readAllStandardError().constData();
}

QStringList DisplaySession::pointerTo(const QPointF& at) {
    const QPoint p = at.toPoint();
    // xdotool's --sync waits for the pointer to move: it would wait out its time-out when the
    // pointer is there already.
    if (p == m_pointer) return {};
    m_pointer = p;
    return {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())};
}

void DisplaySession::click(const QPointF& at) {
    xdotool(pointerTo(at) + QStringList{"click", "1"});
}

void DisplaySession::drag(const QPointF& from, const QPointF& to, int steps, int stepMs) {
    // One xdotool run, so the moves keep their pace.
    QStringList args = pointerTo(from) + QStringList{"mousedown", "1"};
    for (int i = 1; i <= steps; ++i)
        args << "sleep" << QString::number(stepMs / 1000.0)
             << pointerTo(from + (to - from) * (double(i) / steps));
    xdotool(args + QStringList{"mouseup", "1"});
}

void DisplaySession::wheel(const QPointF& at, int notches) {
    // X reports the wheel as buttons 4 (up) and 5 (down).
    xdotool(pointerTo(at) + QStringList{"click", "--repeat", QString::number(std::abs(notches)),
                                        "--delay", "10", notches > 0 ? "5" : "4"});
}

void DisplaySession::type(const QString& text) {
    xdotool({"type", "--delay", "15", text});
}

void DisplaySession::key(const QString& keys) {
    xdotool({"key", "--delay", "15", keys});
}

QList<QVariantMap> DisplaySession::requests(const QString& name) {
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(
        QNetworkRequest(QUrl(QString(m_base).replace("/pelvo/", "/sandbox/requests?limit=500"))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec();
    const QJsonObject log = QJsonDocument::fromJson(reply->readAll()).object();
    reply->deleteLater();
    // A journey sends far fewer: one page of the log holds them all.
    EXPECT_LE(log.value("total").toInteger(), 500);
    QList<QVariantMap> out;
    for (const QJsonValue& r : log.value("requests").toArray()) {
        if (r["interface"].toString() != name) continue;
        QVariantMap fields; // pairs of name and value
        for (const QJsonValue& pair : r["fields"].toArray())
            fields.insert(pair[0].toString(), pair[1].toString());
        out.append(fields);
    }
    return out;
}

bool DisplaySession::waitForRequest(const QString& name, int count) {
    return waitFor([&] { return requests(name).size() >= count; }, 20000, 40);
}

QVariantMap DisplaySession::defaults() const {
    return ns::PropertyList::readFile(m_home + "/Library/Preferences/tavrix.plist").toMap();
}

bool DisplaySession::waitForDefault(const QString& key, const QVariant& value) {
    return waitFor([&] { return defaults().value(key) == value; });
}

QImage DisplaySession::screen() const {
    return m_xvfb.screen({320, 568});
}

QColor DisplaySession::pixel(const QPointF& at) const {
    return QColor(m_xvfb.pixel(at.toPoint()));
}

QImage DisplaySession::look() {
    QImage now = screen();
    if (m_watch) m_watch(now);
    return now;
}

QRect DisplaySession::blackSquare(const QImage& picture) {
    constexpr int side = 32;
    const auto black = [&](int left, int top) {
        for (int y = top; y < top + side; ++y)
            for (int x = left; x < left + side; ++x)
                if (picture.pixel(x, y) != qRgb(0, 0, 0)) return false;
        return true;
    };
    for (int top = 0; top + side <= picture.height(); top += side)
        for (int left = 0; left + side <= picture.width(); left += side)
            if (black(left, top)) return {left, top, side, side};
    return {};
}

bool DisplaySession::near(const QColor& a, const QColor& b, int tolerance) {
    return a.isValid() && b.isValid() && std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

bool DisplaySession::waitForPixel(const QPointF& at, const QColor& colour, int tolerance) {
    return waitFor([&] { return near(pixel(at), colour, tolerance); });
}

bool DisplaySession::waitForScreen(const std::function<bool(const QImage&)>& done, int guardMs) {
    return waitFor([&] { return done(look()); }, guardMs);
}

bool DisplaySession::waitForNewPicture(const QImage& before, const QRect& region, int quietMs) {
    const auto part = [&](const QImage& s) { return region.isEmpty() ? s : s.copy(region); };
    return waitForScreen([&](const QImage& now) { return part(now) != part(before); }, 20000) &&
           waitForStillScreen(quietMs, region);
}

bool DisplaySession::clickAndSettle(const QPointF& at, const QRect& region, int quietMs) {
    const QImage before = screen();
    click(at);
    return waitForNewPicture(before, region, quietMs);
}

bool DisplaySession::waitForStillScreen(int quietMs, const QRect& region) {
    QImage last;
    QElapsedTimer still;
    still.start();
    return waitFor(
        [&] {
            QImage now = region.isEmpty() ? look() : look().copy(region);
            if (now != last || !clientWaiting()) {
                last = std::move(now);
                still.restart();
            }
            return still.elapsed() >= quietMs;
        },
        20000, 25);
}

bool DisplaySession::clientWaiting() const {
    if (!clientRunning()) return true;
    // The main thread's own line: "pid (name) state ...", the name may hold anything.
    QFile stat(QStringLiteral("/proc/%1/task/%1/stat").arg(m_client->processId()));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray line = stat.read(4096);
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && line.size() > close + 2 && line.at(close + 2) == 'S';
}

bool DisplaySession::waitFor(const std::function<bool()>& done, int guardMs, int intervalMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() >= guardMs) return false;
        QEventLoop loop;
        QTimer::singleShot(intervalMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void DisplayTest::SetUp() {
    QString missing;
    if (XvfbServer::executable().isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
        missing = "Xvfb or xdotool not installed (scripts/deps.sh installs them)";
    else if (qEnvironmentVariableIsEmpty("TAVRIX_CLIENT_BIN") ||
             qEnvironmentVariableIsEmpty("TAVRIX_SANDBOX_BIN"))
        missing = "TAVRIX_CLIENT_BIN or TAVRIX_SANDBOX_BIN not set";
    if (missing.isEmpty()) return;
    if (qEnvironmentVariableIsSet("TAVRIX_DISPLAY_REQUIRED")) FAIL() << missing.toStdString();
    GTEST_SKIP() << missing.toStdString();
}

void DisplayTest::TearDown() {
    if (!HasFailure()) return;
    const QString dir = qEnvironmentVariable("TAVRIX_DISPLAY_FAILURES", QDir::tempPath());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString path = dir + "/" + info->test_suite_name() + "." + info->name() + ".png";
    if (session.screen().save(path, "PNG"))
        std::cerr << "display kept in " << path.toStdString() << "\n";
    std::cerr << "client output:\n" << session.clientLog().toStdString() << "\n";
}
