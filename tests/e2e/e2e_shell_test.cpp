#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

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

    // With another runtime folder, as from another session of the same user.
    QProcess* spawn(const QStringList& args, const QString& runtimeFolder = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVRIX_HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtimeFolder.isEmpty() ? runtime : runtimeFolder);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TAVRIX_NETWORK", "wifi");
        env.insert("TAVRIX_SERVER", sandbox.baseAddress());
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
    // Remembered choices that lead the start-up router straight to the automatic log-in.
    QDir().mkpath(home + "/Library/Preferences");
    ns::PropertyList::writeFile(home + "/Library/Preferences/tavrix.plist",
                                QVariantMap{{"is_open_guideview", true},
                                            {"is_auto_login", true},
                                            {"is_save_password", true},
                                            {"username", SandboxFixture::demoNumber()},
                                            {"password", SandboxFixture::demoPassword()}});
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
    EXPECT_TRUE(
        QDir(home + "/tmp")
            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));

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
    QProcess* otherSession = spawn({}, elsewhere);
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

} // namespace
