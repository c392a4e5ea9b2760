#include "HttpProbe.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/Wait.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

// ctest names it; run by hand, the test finds it beside its own build folder.
QString sandboxBinary() {
    QString path = qEnvironmentVariable("TAVRIX_SANDBOX_BIN");
    if (path.isEmpty()) path = QCoreApplication::applicationDirPath() + "/../tavrix-sandbox";
    return QFileInfo(path).isExecutable() ? path : QString();
}

class SandboxExecutable : public ::testing::Test {
protected:
    void SetUp() override {
        if (sandboxBinary().isEmpty()) GTEST_SKIP() << "tavrix-sandbox not found";
    }
    // Starts the sandbox and returns the first line it prints.
    static QString start(QProcess& process, const QStringList& args) {
        process.start(sandboxBinary(), args);
        QByteArray out;
        QSignalSpy output(&process, &QProcess::readyReadStandardOutput);
        while (!out.contains('\n') && output.wait(20000))
            out += process.readAllStandardOutput();
        return QString::fromUtf8(out);
    }
    // Runs the sandbox (through setpriv when the prefix says so) until it exits, which it must
    // do with the code, printing nothing on its output and `says` on its errors.
    static void refuses(const QStringList& args, int code, const char* says,
                        const QStringList& prefix = {}) {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        if (prefix.isEmpty())
            process.start(sandboxBinary(), args);
        else
            process.start("/usr/bin/setpriv", prefix + args);
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(process.exitCode(), code);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(!err.isEmpty() && err.contains(says)) << err.toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
    // Its base address ("" when it did not come up).
    static QString startSandbox(QProcess& process, const QStringList& args) {
        return QRegularExpression(R"(listening on (http://\S+/pelvo/))")
            .match(start(process, args))
            .captured(1);
    }
};

TEST_F(SandboxExecutable, AnnouncesItsAddressAndServesLogin) {
    QTemporaryDir dir;
    QProcess process;
    const QString out = start(process, {"--port", "0", "--db", dir.filePath("sandbox.sqlite")});
    const QRegularExpressionMatch m =
        QRegularExpression(R"(^tavrix-sandbox listening on (http://127\.0\.0\.1:(\d+)/pelvo/)\n$)")
            .match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    EXPECT_NE(m.captured(2).toInt(), 0);

    HttpProbe http;
    const HttpProbe::Result r = http.post(
        QUrl(m.captured(1) + "Login.do"),
        HttpProbe::form({{"num", "13800000001"}, {"pass", "123456"}, {"channelid", "2"}}));
    EXPECT_EQ(r.json().value("result").toInteger(-1), 0);
    EXPECT_FALSE(r.json().value("session").toString().isEmpty());

    // TERM ends it cleanly, its write-ahead log written back into the database file.
    QSignalSpy finished(&process, &QProcess::finished);
    process.terminate();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QFileInfo(dir.filePath("sandbox.sqlite-wal")).size(), 0);
}

// CPU seconds the process has used so far.
double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name (which may hold blanks): utime and stime are 14 and 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

TEST_F(SandboxExecutable, RefusesBadOptionsAndADatabaseItMayNotWrite) {
    refuses({"--port", "eighty"}, 2, "");
    for (const char* bad : {"0", "-5", "many", "2000000"})
        refuses({"--max-unsent-mb", bad}, 2, "bad --max-unsent-mb");
    refuses({"--db", "/nonexistent/dir/sandbox.sqlite"}, 1, "");
    // Root writes whatever the mode says: run the sandbox as nobody then.
    QStringList prefix;
    if (geteuid() == 0) {
        if (!QFileInfo::exists("/usr/bin/setpriv"))
            GTEST_SKIP() << "running as root without setpriv";
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", sandboxBinary()};
    }
    QTemporaryDir dir;
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                    QFile::ExeGroup;
    // Anyone may create files in the folder: only the database file itself is read-only.
    const QFile::Permissions everyone = open | QFile::WriteOther | QFile::WriteGroup;
    QFile::setPermissions(dir.path(), everyone);
    const QString file = dir.filePath("sandbox.sqlite");
    {
        // A complete database, made read-only afterwards.
        QProcess maker;
        ASSERT_FALSE(startSandbox(maker, {"--db", file}).isEmpty());
        maker.terminate();
        QSignalSpy(&maker, &QProcess::finished).wait(20000);
        maker.waitForFinished(20000);
    }
    QFile::remove(file + "-wal");
    QFile::remove(file + "-shm");
    QDir().mkpath(dir.filePath("locked"));
    const struct {
        const char* name;
        QString db;
        QFile::Permissions filePermissions;
        QString folder;
        QFile::Permissions folderPermissions;
        const char* says;
    } cases[] = {
        {"readOnlyFile", file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther, dir.path(),
         everyone, "read-only"},
        {"readOnlyFolder",
         dir.filePath("locked/new.sqlite"),
         {},
         dir.filePath("locked"),
         QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther,
         "cannot open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.filePermissions) QFile::setPermissions(c.db, c.filePermissions);
        QFile::setPermissions(c.folder, c.folderPermissions);
        refuses({"--db", c.db, "--port", "0"}, 1, c.says, prefix);
    }
}

TEST_F(SandboxExecutable, OutOfDescriptorsItRefusesWithoutSpinningAndRecovers) {
    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{40, 40};
        setrlimit(RLIMIT_NOFILE, &limit);
    });
    const QString base = startSandbox(process, {"--idle-timeout", "1500"});
    ASSERT_FALSE(base.isEmpty());
    const quint16 port = quint16(QUrl(base).port());

    // Far more silent connections than the sandbox has descriptors for.
    std::vector<std::unique_ptr<QTcpSocket>> stalled;
    for (int i = 0; i < 80; ++i) {
        stalled.push_back(std::make_unique<QTcpSocket>());
        stalled.back()->connectToHost(QHostAddress::LocalHost, port);
    }
    int refused = 0;
    waitUntil(
        [&] {
            refused = 0;
            for (auto& s : stalled) {
                if (s->bytesAvailable() && s->peek(12) == "HTTP/1.1 503") ++refused;
                if (s->state() == QAbstractSocket::UnconnectedState) ++refused;
            }
            return refused >= 40;
        },
        5000);
    EXPECT_GE(refused, 40);

    // Held at its limit, it sleeps instead of retrying the accept over and over.
    const double before = cpuSeconds(process.processId());
    QTimer second;
    second.setSingleShot(true);
    second.start(1000);
    waitUntil([&] { return !second.isActive(); }, 3000);
    const double used = cpuSeconds(process.processId()) - before;
    EXPECT_LT(used, 0.3) << "CPU seconds in one second at the descriptor limit";

    // Once the silent ones time out, log-ins work again.
    HttpProbe http;
    HttpProbe::Result r;
    EXPECT_TRUE(waitUntil(
        [&] {
            r = http.post(QUrl(base + "Login.do"), "num=13800000001&pass=123456", 2000);
            return r.json().value("result").toInteger(-1) == 0;
        },
        10000))
        << r.status << " " << r.body.toStdString();

    process.kill();
    process.waitForFinished(20000);
}

} // namespace
