#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/SingleInstance.h"
#include "tests/support/Wait.h"

// The real executables: the operator sandbox server and the client, as a user runs them.
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        sandboxBin = qEnvironmentVariable("TAVRIX_SANDBOX_BIN");
        clientBin = qEnvironmentVariable("TAVRIX_CLIENT_BIN");
        if (sandboxBin.isEmpty() || clientBin.isEmpty())
            GTEST_SKIP() << "TAVRIX_SANDBOX_BIN and TAVRIX_CLIENT_BIN name the executables";
        home = dir.path() + "/home";
        runtime = dir.path() + "/run";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        startSandbox();
    }
    void TearDown() override {
        for (auto& p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    void startSandbox() {
        QProcess* server =
            spawn(sandboxBin, {"--port", "0", "--db", dir.path() + "/sandbox.sqlite"});
        static const QRegularExpression line("listening on (http://\\S+/pelvo/)");
        ASSERT_TRUE(waitUntil(
            [&] {
                sandboxOutput += server->readAllStandardOutput();
                return line.match(QString::fromUtf8(sandboxOutput)).hasMatch();
            },
            20000))
            << sandboxOutput.constData();
        base = line.match(QString::fromUtf8(sandboxOutput)).captured(1);
    }

    QProcess* spawn(const QString& program, const QStringList& args) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TAVRIX_HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TAVRIX_NETWORK", "wifi");
        env.insert("TAVRIX_SERVER", base);
        process->setProcessEnvironment(env);
        process->start(program, args);
        EXPECT_TRUE(process->waitForStarted(10000)) << qPrintable(program);
        processes.push_back(std::move(process));
        return processes.back().get();
    }

    bool finishes(QProcess* p, int guardMs) {
        return waitUntil([p] { return p->state() == QProcess::NotRunning; }, guardMs);
    }

    // What the sandbox received, by interface name, oldest first.
    QStringList receivedInterfaces() {
        QNetworkAccessManager manager;
        QNetworkReply* reply = manager.get(
            QNetworkRequest(QUrl(QString(base).replace("/pelvo/", "/sandbox/requests"))));
        QSignalSpy done(reply, &QNetworkReply::finished);
        if (!reply->isFinished()) done.wait(10000);
        const QJsonDocument doc = QJsonDocument::fromJson(reply->readAll());
        reply->deleteLater();
        QStringList names;
        const QJsonArray list =
            doc.isArray() ? doc.array() : doc.object().value("requests").toArray();
        for (const QJsonValue& v : list)
            names << v.toObject().value("interface").toString();
        return names;
    }

    // Remembered choices that lead the start-up router straight to the automatic log-in.
    void rememberSubscriber() {
        QDir().mkpath(home + "/Library/Preferences");
        ns::PropertyList::writeFile(home + "/Library/Preferences/tavrix.plist",
                                    QVariantMap{{"is_open_guideview", true},
                                                {"is_auto_login", true},
                                                {"is_save_password", true},
                                                {"username", "13800000001"},
                                                {"password", "123456"}});
    }

    QTemporaryDir dir;
    QString sandboxBin, clientBin, home, runtime, base;
    QByteArray sandboxOutput;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(EndToEnd, StartUpLogsInAndOpensTheDrawerContainer) {
    rememberSubscriber();
    QProcess* client = spawn(clientBin, {});
    // The drawer menu asks for the star level as the container comes up: once the sandbox has
    // seen it, the client has logged in and shows the container.
    QStringList received;
    EXPECT_TRUE(waitUntil(
        [&] {
            received = receivedInterfaces();
            return received.contains("StarLevel");
        },
        60000))
        << qPrintable(received.join(','));
    EXPECT_TRUE(received.contains("Login")) << qPrintable(received.join(','));
    // Ended as a desktop session ends it: the local store is saved on the way out.
    client->terminate();
    ASSERT_TRUE(finishes(client, 30000)) << client->readAllStandardError().constData();
    EXPECT_EQ(client->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client->exitCode(), 0) << client->readAllStandardError().constData();
    EXPECT_TRUE(QFile::exists(home + "/Documents/tavrix.sqlite"));
}

TEST_F(EndToEnd, AScreenshotIsWrittenWhenAsked) {
    const QString shot = dir.path() + "/start.png";
    QProcess* client = spawn(clientBin, {"--screenshot", shot, "--after", "100"});
    ASSERT_TRUE(finishes(client, 30000)) << client->readAllStandardError().constData();
    EXPECT_EQ(client->exitCode(), 0);
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(320, 568));
}

TEST_F(EndToEnd, ASecondLaunchHandsItsUrlToTheRunningClientAndExits) {
    QProcess* first = spawn(clientBin, {});
    const QString name = SingleInstance(qEnvironmentVariable("USER") + ":" + home).serverName();
    ASSERT_TRUE(waitUntil(
        [&] {
            QLocalSocket probe;
            QSignalSpy connected(&probe, &QLocalSocket::connected);
            probe.connectToServer(name);
            const bool up = connected.count() > 0 || connected.wait(200);
            probe.abort();
            return up;
        },
        30000));

    QProcess* second = spawn(clientBin, {"kelvamor://QueryViewController"});
    ASSERT_TRUE(finishes(second, 30000));
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

} // namespace
