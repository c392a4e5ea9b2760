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
#include "tests/support/Wait.h"

#include <QFileInfo>
#include <QLocalServer>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

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

// Anything but a plain file in the store's place goes and a new store is made there; a plain
// file that is no store, or a folder that cannot be made, is reported and nothing stops.
TEST(LocalStoreTest, JunkInItsPlaceIsReplacedAndAStoreThatCannotBeMadeIsReported) {
    QTemporaryDir dir, outside;
    QFile junk(dir.path() + "/junk.sqlite");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    QDir().mkpath(dir.path() + "/adir.sqlite/inside");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.path() + "/pipe.sqlite").constData(), 0600), 0);
    const QString elsewhere = outside.filePath("elsewhere.sqlite");
    {
        LocalStore other(elsewhere);
        ASSERT_TRUE(other.persistentStoreCoordinator());
    }
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(),
                        QFile::encodeName(dir.path() + "/link.sqlite").constData()),
              0);
    const QByteArray elsewhereBytes = [&] {
        QFile f(elsewhere);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const struct {
        const char* name;
        bool opens;
    } cases[] = {{"adir.sqlite", true},
                 {"pipe.sqlite", true},
                 {"link.sqlite", true},
                 {"junk.sqlite", false},
                 {"missing/dir/tavrix.sqlite", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.path() + "/" + c.name;
        LocalStore store(path);
        EXPECT_EQ(store.persistentStoreCoordinator(), c.opens);
        EXPECT_EQ(store.isOpen(), c.opens);
        EXPECT_TRUE(store.saveContext()); // nothing to save: no failure either
        if (c.opens) {
            const QFileInfo made(path);
            EXPECT_TRUE(made.isFile() && !made.isSymLink());
            continue;
        }
        const LocalStore::Error error = store.lastError();
        EXPECT_EQ(error.domain, "YOUR_ERROR_DOMAIN");
        EXPECT_EQ(error.code, 9999);
        EXPECT_EQ(error.description, "Failed to initialize the application's saved data");
        EXPECT_EQ(error.failureReason,
                  "There was an error creating or loading the application's saved data.");
        EXPECT_FALSE(error.underlyingError.isEmpty());
    }
    QFile untouched(elsewhere);
    ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
    EXPECT_EQ(untouched.readAll(), elsewhereBytes);
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

// Points the socket's folders at places of the test's own, and puts them back.
class SocketPlaces {
public:
    SocketPlaces() : m_runtime(qgetenv("XDG_RUNTIME_DIR")), m_tmp(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", m_dir.path().toUtf8());
        runtime = m_dir.filePath("run");
        QDir().mkpath(runtime);
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    ~SocketPlaces() {
        restore("XDG_RUNTIME_DIR", m_runtime);
        restore("TMPDIR", m_tmp);
    }
    QString fallback(uid_t user = ::getuid()) const {
        return m_dir.filePath("tavrix-" + QString::number(user));
    }
    QString runtime;

private:
    static void restore(const char* name, const QByteArray& value) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QTemporaryDir m_dir;
    QByteArray m_runtime, m_tmp;
};

TEST(SocketFolder, OnlyAFolderOfTheUsersOwnThatNobodyElseMayEnter) {
    const uid_t me = ::getuid();
    const struct {
        const char* what;
        std::function<void(SocketPlaces&)> arrange;
        uid_t user;
        int expected; // 0: the runtime folder, 1: the fallback, 2: none
    } cases[] = {
        {"the runtime folder, private", [](SocketPlaces&) {}, me, 0},
        {"the runtime folder open to others",
         [](SocketPlaces& p) { ::chmod(QFile::encodeName(p.runtime).constData(), 0755); }, me, 1},
        {"no runtime folder", [](SocketPlaces&) { qunsetenv("XDG_RUNTIME_DIR"); }, me, 1},
        {"a runtime folder that is a link",
         [](SocketPlaces& p) {
             const QString link = p.runtime + "-link";
             QFile::link(p.runtime, link);
             qputenv("XDG_RUNTIME_DIR", link.toUtf8());
         },
         me, 1},
        {"a fallback left open to others",
         [](SocketPlaces& p) {
             qunsetenv("XDG_RUNTIME_DIR");
             QDir().mkpath(p.fallback());
             ::chmod(QFile::encodeName(p.fallback()).constData(), 0777);
         },
         me, 2},
        // Folders made by us are not another user's, so for one they are nobody's to trust.
        {"another user's", [](SocketPlaces&) {}, me + 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SocketPlaces places;
        c.arrange(places);
        const QString folder = SingleInstance::socketFolder(c.user);
        const QString expected[] = {places.runtime, places.fallback(c.user), QString()};
        EXPECT_EQ(folder, expected[c.expected]);
        if (c.user == me) {
            const QString name = SingleInstance("folder-test").serverName();
            EXPECT_EQ(name.isEmpty(), c.expected == 2);
            if (!name.isEmpty()) {
                EXPECT_EQ(QFileInfo(name).path(), folder);
            }
        }
        if (c.expected == 1) {
            EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, 0); // nobody but the owner
        }
    }
}

// A socket file nobody listens on, as a crashed instance leaves it.
bool leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

TEST_F(HandOffTest, OnlyTheSameUsersClientTakesALaunchAndNothingElseStartsASecond) {
    SocketPlaces places;
    const uid_t other = ::getuid() + 1;
    using R = SingleInstance::HandOff;
    const struct {
        const char* what;
        bool firstListens;
        uid_t firstTrusts;  // the user whose launches the running client takes
        uid_t secondTrusts; // the user whose client a launch hands to
        QString link;
        R result;
        QString refusalSays;
    } cases[] = {
        {"the same user", true, ::getuid(), ::getuid(), "kelvamor://QueryViewController",
         R::Delivered, ""},
        {"a launch of another user", true, other, ::getuid(), "kelvamor://QueryViewController",
         R::Refused, "did not take"},
        {"a socket of another user", true, ::getuid(), other, "kelvamor://QueryViewController",
         R::Refused, "another user"},
        {"a link over 64 KB", true, ::getuid(), ::getuid(),
         "kelvamor://Main&WebViewController?" + QString(70 * 1024, 'a'), R::Refused, "64 KB"},
        {"nobody running", false, ::getuid(), ::getuid(), "kelvamor://QueryViewController",
         R::NoInstance, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = key + ":" + c.what;
        SingleInstance first(name);
        first.setPeerUser(c.firstTrusts);
        if (c.firstListens) {
            ASSERT_TRUE(first.listen());
        }
        QSignalSpy received(&first, &SingleInstance::argumentsReceived);
        SingleInstance second(name);
        second.setPeerUser(c.secondTrusts);
        QSignalSpy finished(&second, &SingleInstance::handOffFinished);
        second.handOff({c.link});
        ASSERT_TRUE(finished.count() > 0 || finished.wait(5000));
        EXPECT_EQ(second.lastHandOff(), c.result);
        EXPECT_EQ(second.refusal().isEmpty(), c.refusalSays.isEmpty());
        EXPECT_TRUE(second.refusal().contains(c.refusalSays)) << second.refusal().toStdString();
        if (c.result == R::Delivered) {
            ASSERT_TRUE(received.count() > 0 || received.wait(5000));
            EXPECT_EQ(received.at(0).at(0).toStringList(), QStringList{c.link});
        } else {
            QCoreApplication::processEvents();
            EXPECT_EQ(received.count(), 0);
        }
        // Whatever the launch did, the running client keeps its socket.
        EXPECT_EQ(first.isListening(), c.firstListens);
        if (c.firstListens) {
            EXPECT_FALSE(second.listen());
        }
    }
}

TEST_F(HandOffTest, AStaleSocketIsReplacedAndAClientThatNeverAnswersRefusesTheLaunch) {
    SocketPlaces places;
    ns::ScopedManualClock clock;
    SingleInstance stale(key + ":stale");
    ASSERT_TRUE(leaveStaleSocket(stale.serverName()));
    QSignalSpy staleFinished(&stale, &SingleInstance::handOffFinished);
    stale.handOff({"kelvamor://QueryViewController"});
    ASSERT_TRUE(staleFinished.count() > 0 || staleFinished.wait(5000));
    EXPECT_EQ(stale.lastHandOff(), SingleInstance::HandOff::NoInstance);
    EXPECT_TRUE(stale.listen());

    // A listener that takes the connection and never answers.
    SingleInstance mute(key + ":mute");
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(mute.serverName()));
    QSignalSpy finished(&mute, &SingleInstance::handOffFinished);
    mute.handOff({"kelvamor://QueryViewController"}, 3000);
    ASSERT_TRUE(waitUntil([&] { return silent.hasPendingConnections(); }, 5000));
    EXPECT_EQ(finished.count(), 0);
    clock.clock.advance(3000);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(mute.lastHandOff(), SingleInstance::HandOff::Refused);
    EXPECT_FALSE(mute.refusal().isEmpty());
}

TEST_F(HandOffTest, IdleConnectionsAreDroppedAndALaunchStillGetsThrough) {
    SocketPlaces places;
    ns::ScopedManualClock clock;
    SingleInstance first(key + ":flood");
    ASSERT_TRUE(first.listen());
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 300; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(first.serverName());
    }
    const auto open = [&] {
        return std::count_if(idle.begin(), idle.end(), [](const auto& s) {
            return s->state() == QLocalSocket::ConnectedState;
        });
    };
    // Past the cap the oldest go at once; the rest when their time is up.
    ASSERT_TRUE(
        waitUntil([&] { return first.waitingConnections() == SingleInstance::kMaxWaiting; }));
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    SingleInstance launch(key + ":flood");
    QSignalSpy finished(&launch, &SingleInstance::handOffFinished);
    launch.handOff({"kelvamor://QueryViewController"});
    ASSERT_TRUE(finished.count() > 0 || finished.wait(5000));
    EXPECT_EQ(launch.lastHandOff(), SingleInstance::HandOff::Delivered);
    EXPECT_EQ(received.count(), 1);

    clock.clock.advance(SingleInstance::kIdleMs - 1);
    EXPECT_GT(first.waitingConnections(), 0);
    clock.clock.advance(1);
    EXPECT_EQ(first.waitingConnections(), 0);
    EXPECT_TRUE(waitUntil([&] { return open() == 0; }));
}
} // namespace
