#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>

#include "app/core/AppDelegate.h"
#include "app/core/AppDelegateArguments.h"
#include "app/core/LocalStore.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/SingleInstance.h"

namespace {

// What the parser understood, field by field; "refused" when it did not.
std::string understood(const AppDelegateArguments& parsed) {
    if (!parsed.error.isEmpty()) return "refused";
    return QStringList({parsed.server, parsed.urls.join(','), parsed.sourceApplication,
                        parsed.screenshotFile, QString::number(parsed.screenshotAfterMs)})
        .join('|')
        .toStdString();
}

TEST(LaunchArguments, OptionsAndUrlsAreTakenApart) {
    const struct {
        QStringList args;
        const char* expected; // server|urls|source|screenshot|after
    } cases[] = {
        {{}, "||||0"},
        {{"--server", "http://127.0.0.1:9/pelvo/", "kelvamor://QueryViewController"},
         "http://127.0.0.1:9/pelvo/|kelvamor://QueryViewController|||0"},
        {{"kelvamor://Main&FNRootViewController", "--source-application", "jp.app/openwith"},
         "|kelvamor://Main&FNRootViewController|jp.app/openwith||0"},
        {{"--screenshot", "/tmp/a.png", "--after", "1500"}, "|||/tmp/a.png|1500"},
        {{"--after", "soon"}, "refused"},
        {{"--after", "-5"}, "refused"},
        {{"--server"}, "refused"},
        {{"--verbose"}, "refused"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(understood(AppDelegateArguments::parse(c.args)), c.expected)
            << c.args.join(' ').toStdString();
}

TEST(LocalStoreTest, IsCreatedInDocumentsOnSave) {
    const QString previousHome = ns::Directories::home();
    QTemporaryDir home;
    ns::Directories::setHomeOverride(home.path());
    {
        AppDelegate app;
        app.applicationWillTerminate();
        ASSERT_NE(app.managedObjectContext(), nullptr);
        EXPECT_EQ(app.managedObjectContext()->path(), home.path() + "/Documents/tavrix.sqlite");
    }
    QFile store(home.path() + "/Documents/tavrix.sqlite");
    EXPECT_TRUE(store.exists());
    EXPECT_EQ(store.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    // Opening it again finds the same store.
    LocalStore again(store.fileName());
    EXPECT_TRUE(again.persistentStoreCoordinator());
    ns::Directories::setHomeOverride(previousHome);
}

TEST(LocalStoreTest, AStoreThatCannotBeMadeIsReportedAndNothingStops) {
    QTemporaryDir dir;
    QFile junk(dir.path() + "/junk.sqlite");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QDir().mkpath(dir.path() + "/adir.sqlite");
    for (const QString& path : {dir.path() + "/junk.sqlite", dir.path() + "/adir.sqlite",
                                dir.path() + "/missing/dir/tavrix.sqlite"}) {
        LocalStore store(path);
        EXPECT_FALSE(store.persistentStoreCoordinator()) << qPrintable(path);
        EXPECT_FALSE(store.isOpen());
        const LocalStore::Error error = store.lastError();
        EXPECT_EQ(error.domain, "YOUR_ERROR_DOMAIN");
        EXPECT_EQ(error.code, 9999);
        EXPECT_EQ(error.description, "Failed to initialize the application's saved data");
        EXPECT_EQ(error.failureReason,
                  "There was an error creating or loading the application's saved data.");
        EXPECT_FALSE(error.underlyingError.isEmpty());
        EXPECT_TRUE(store.saveContext()); // nothing to save: no failure either
    }
}

class HandOffTest : public ::testing::Test {
protected:
    QString key = "hand-off-test:" + QString::number(QCoreApplication::applicationPid());
};

TEST_F(HandOffTest, ASecondInstanceHandsItsArgumentsToTheFirst) {
    SingleInstance first(key);
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);

    SingleInstance second(key);
    QSignalSpy finished(&second, &SingleInstance::handOffFinished);
    second.handOff({"kelvamor://Main&FNRootViewController", "--source-application", "其他"});
    ASSERT_TRUE(finished.count() > 0 || finished.wait(5000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    ASSERT_TRUE(received.count() > 0 || received.wait(5000));
    EXPECT_EQ(
        received.at(0).at(0).toStringList(),
        (QStringList{"kelvamor://Main&FNRootViewController", "--source-application", "其他"}));
}

TEST_F(HandOffTest, WithNobodyRunningTheHandOffFailsAndALeftoverSocketIsReplaced) {
    SingleInstance alone(key + ":alone");
    QSignalSpy finished(&alone, &SingleInstance::handOffFinished);
    alone.handOff({"kelvamor://QueryViewController"});
    ASSERT_TRUE(finished.count() > 0 || finished.wait(5000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(alone.listen());
    EXPECT_TRUE(alone.isListening());
}

TEST_F(HandOffTest, GarbageOnTheSocketIsDroppedWithoutAMessage) {
    SingleInstance first(key + ":garbage");
    ASSERT_TRUE(first.listen());
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    const QList<QByteArray> frames = {
        QByteArray("\x7f\xff\xff\xff", 4) + "huge",    // claims 2 GB
        QByteArray("\x00\x00\x00\x05", 4) + "{\"a\":", // not an array
    };
    for (const QByteArray& frame : frames) {
        QLocalSocket socket;
        QSignalSpy connected(&socket, &QLocalSocket::connected);
        socket.connectToServer(first.serverName());
        ASSERT_TRUE(connected.count() > 0 || connected.wait(5000));
        socket.write(frame);
        socket.flush();
        QSignalSpy closed(&socket, &QLocalSocket::disconnected);
        EXPECT_TRUE(closed.wait(5000));
    }
    EXPECT_EQ(received.count(), 0);
}

} // namespace
