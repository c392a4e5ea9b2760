#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SingleInstance.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

// The client's executable, as a user runs it, against the sandbox in this process.
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        clientBin = qEnvironmentVariable("TAVRIX_CLIENT_BIN");
        if (clientBin.isEmpty()) GTEST_SKIP() << "TAVRIX_CLIENT_BIN names the executable";
        home = dir.path() + "/home";
        runtime = dir.path() + "/run";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    // `session` changes the environment, as another session of the same user would have it.
    QProcess* spawn(const QStringList& args,
                    const std::function<void(QProcessEnvironment&)>& session = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVRIX_HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TAVRIX_NETWORK", "wifi");
        env.insert("TAVRIX_SERVER", sandbox.baseAddress());
        if (session) session(env);
        process->setProcessEnvironment(env);
        process->start(clientBin, args);
        EXPECT_TRUE(process->waitForStarted(10000));
        processes.push_back(std::move(process));
        return processes.back().get();
    }

    // The running client's socket, in the runtime folder the clients here are given.
    QString serverName() const {
        const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        const QString name = SingleInstance(qEnvironmentVariable("USER") + ":" + home).serverName();
        qputenv("XDG_RUNTIME_DIR", previous);
        return name;
    }

    // Remembered choices that lead the start-up router straight to the automatic log-in.
    void rememberAutomaticLogIn() {
        QDir().mkpath(home + "/Library/Preferences");
        ns::PropertyList::writeFile(home + "/Library/Preferences/tavrix.plist",
                                    QVariantMap{{"is_open_guideview", true},
                                                {"is_auto_login", true},
                                                {"is_save_password", true},
                                                {"username", SandboxFixture::demoNumber()},
                                                {"password", SandboxFixture::demoPassword()}});
    }

    bool finishes(QProcess* p, int guardMs = 30000) {
        return waitUntil([p] { return p->state() == QProcess::NotRunning; }, guardMs);
    }

    // Whether a client takes connections on the socket: it is up and waits for later launches.
    static bool listens(const QString& name) {
        return waitUntil(
            [&] {
                QLocalSocket probe;
                QSignalSpy connected(&probe, &QLocalSocket::connected);
                probe.connectToServer(name);
                const bool up = connected.count() > 0 || connected.wait(200);
                probe.abort();
                return up;
            },
            30000);
    }

    QTemporaryDir dir;
    SandboxFixture sandbox;
    QString clientBin, home, runtime;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(EndToEnd, StartUpLogsInAndOpensTheDrawerContainer) {
    rememberAutomaticLogIn();
    QProcess* client = spawn({});
    // The drawer menu asks for the star level as the container comes up: once the sandbox has
    // seen it, the client has logged in and shows the container.
    EXPECT_TRUE(waitUntil([&] { return !sandbox.requestsTo("StarLevel").isEmpty(); }, 60000));
    EXPECT_FALSE(sandbox.requestsTo("Login").isEmpty());
    // Ended as a desktop session ends it: the local store is saved on the way out.
    client->terminate();
    ASSERT_TRUE(finishes(client)) << client->readAllStandardError().constData();
    EXPECT_EQ(client->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client->exitCode(), 0) << client->readAllStandardError().constData();
    EXPECT_TRUE(QFile::exists(home + "/Documents/tavrix.sqlite"));
}

TEST_F(EndToEnd, AScreenshotIsWrittenWhenAsked) {
    const QString shot = dir.path() + "/start.png";
    QProcess* client = spawn({"--screenshot", shot, "--after", "100"});
    ASSERT_TRUE(finishes(client)) << client->readAllStandardError().constData();
    EXPECT_EQ(client->exitCode(), 0);
    EXPECT_EQ(QImage(shot).size(), QSize(320, 568));
}

TEST_F(EndToEnd, ASecondLaunchHandsItsUrlToTheRunningClientAndExits) {
    QProcess* first = spawn({});
    const QString name = serverName();
    ASSERT_TRUE(listens(name));

    QProcess* second = spawn({"kelvamor://QueryViewController"});
    ASSERT_TRUE(finishes(second));
    EXPECT_EQ(second->exitCode(), 0);
    QByteArray log;
    EXPECT_TRUE(waitUntil(
        [&] {
            log += first->readAllStandardError();
            return log.contains("kelvamor://QueryViewController");
        },
        10000))
        << log.constData();
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(EndToEnd, ALaunchThatCannotHandItsLinkOverIsRefusedAndTheStartEmptiesTheTemporaryFolder) {
    // What a killed client left: a staging folder with a name no text can say.
    const QByteArray stale = QFile::encodeName(home + "/tmp/zip-left\xff");
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(stale)) || ::mkdir(stale.constData(), 0700) == 0);
    QProcess* first = spawn({});
    const QString name = serverName();
    ASSERT_EQ(QFileInfo(name).path(), runtime);
    ASSERT_TRUE(listens(name));
    // The client listens before it empties the folder, and then stages its own writes there:
    // what is waited for is the leftover going.
    EXPECT_TRUE(waitUntil([&] {
        struct stat st;
        return ::lstat(stale.constData(), &st) != 0;
    }));

    QProcess* tooLong =
        spawn({"kelvamor://Main&WebViewController?" + QString(70 * 1024, QLatin1Char('a'))});
    ASSERT_TRUE(finishes(tooLong));
    EXPECT_EQ(tooLong->exitCode(), 1);
    EXPECT_TRUE(tooLong->readAllStandardError().contains("64 KB"));
    // The running client kept its socket: the next launch still reaches it.
    QProcess* next = spawn({"kelvamor://QueryViewController"});
    ASSERT_TRUE(finishes(next));
    EXPECT_EQ(next->exitCode(), 0);
    // A launch of another session looks for the socket elsewhere, and still starts no second
    // client on the same data.
    const QString elsewhere = dir.path() + "/run2";
    QDir().mkpath(elsewhere);
    QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess* otherSession =
        spawn({}, [&](QProcessEnvironment& env) { env.insert("XDG_RUNTIME_DIR", elsewhere); });
    ASSERT_TRUE(finishes(otherSession));
    EXPECT_EQ(otherSession->exitCode(), 1);
    EXPECT_TRUE(otherSession->readAllStandardError().contains("another client runs on"));
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(EndToEnd, APipeInPlaceOfTheSettingsOrACachedListNeverHoldsTheStart) {
    for (const QString& file : {QStringLiteral("/Library/Preferences/tavrix.plist"),
                                QStringLiteral("/Library/Caches/AD.xml"),
                                QStringLiteral("/Library/Caches/MainInfoConfList.xml")}) {
        QDir().mkpath(QFileInfo(home + file).path());
        ASSERT_EQ(::mkfifo(QFile::encodeName(home + file).constData(), 0600), 0);
    }
    const QString shot = dir.path() + "/start.png";
    QProcess* client = spawn({"--screenshot", shot, "--after", "100"});
    ASSERT_TRUE(finishes(client)) << "the start waits on a pipe";
    EXPECT_EQ(client->exitCode(), 0) << client->readAllStandardError().constData();
    EXPECT_EQ(QImage(shot).size(), QSize(320, 568));
}

// The start logs in (reading the device id) and shows the home page (reading the cached lists)
// whatever stands in place of the client's files: a hang is caught by the deadline.
TEST_F(EndToEnd, WhatIsNotAPlainFileOfTheClientsNeverHoldsTheStartAndIsNeverWrittenThrough) {
    const QString kept = dir.path() + "/kept";
    ASSERT_TRUE(QFile(kept).open(QIODevice::WriteOnly));
    const struct {
        const char* what;
        std::function<bool(const QByteArray& at)> make;
    } kinds[] = {
        {"a pipe", [](const QByteArray& at) { return ::mkfifo(at.constData(), 0600) == 0; }},
        {"a folder",
         [](const QByteArray& at) { return QDir().mkpath(QFile::decodeName(at) + "/f"); }},
        {"a link elsewhere",
         [&](const QByteArray& at) { return QFile::link(kept, QFile::decodeName(at)); }},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.what);
        ASSERT_TRUE(QDir(home).removeRecursively());
        rememberAutomaticLogIn();
        for (const char* file :
             {"/Library/device-id", "/Library/tavrix.lock", "/Library/Caches/AD.xml",
              "/Library/Caches/MainInfoConfList.xml", "/Documents/tavrix.sqlite"}) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(home + file).path()));
            ASSERT_TRUE(k.make(QFile::encodeName(home + file))) << file;
        }
        const qsizetype before = sandbox.requestsTo("StarLevel").size();
        QProcess* client = spawn({});
        ASSERT_TRUE(
            waitUntil([&] { return sandbox.requestsTo("StarLevel").size() > before; }, 60000))
            << "the start waits on " << k.what;
        const QString id = sandbox.requestsTo("Login").last().fields.value("imei");
        EXPECT_FALSE(QUuid::fromString(id).isNull()) << id.toStdString();
        client->terminate();
        ASSERT_TRUE(finishes(client));
        EXPECT_EQ(client->exitCode(), 0) << client->readAllStandardError().constData();
        for (const char* file : {"/Library/device-id", "/Library/tavrix.lock"})
            EXPECT_TRUE(QFileInfo(home + file).isFile() && !QFileInfo(home + file).isSymLink());
        EXPECT_EQ(QFileInfo(kept).size(), 0);
    }
}

// Another user made the socket's fallback folder first: the client starts all the same and
// says once that later launches cannot reach it; the data lock still refuses a second client.
TEST_F(EndToEnd, WithTheSocketFolderTakenByAnotherUserTheClientStartsAndStillRunsAlone) {
    const QString tmp = dir.path() + "/tmp", taken = tmp + "/tavrix-" + QString::number(::getuid());
    ASSERT_TRUE(QDir().mkpath(taken));
    // As root the folder is given away; otherwise it is left open to everyone.
    ASSERT_TRUE(::chown(QFile::encodeName(taken).constData(), 65534, 65534) == 0 ||
                ::chmod(QFile::encodeName(taken).constData(), 0777) == 0);
    const auto noRuntime = [&](QProcessEnvironment& env) {
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", tmp);
    };
    rememberAutomaticLogIn();
    QProcess* first = spawn({}, noRuntime);
    ASSERT_TRUE(waitUntil([&] { return !sandbox.requestsTo("StarLevel").isEmpty(); }, 60000));
    QProcess* second = spawn({"kelvamor://QueryViewController"}, noRuntime);
    ASSERT_TRUE(finishes(second));
    EXPECT_EQ(second->exitCode(), 1);
    EXPECT_TRUE(second->readAllStandardError().contains("another client runs on"));
    EXPECT_EQ(first->state(), QProcess::Running);
    first->terminate();
    ASSERT_TRUE(finishes(first));
    EXPECT_EQ(
        first->readAllStandardError().count("- starting without taking links from later launches"),
        1);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(QDir(taken).isEmpty()); // nothing of ours in another user's folder
}

} // namespace
