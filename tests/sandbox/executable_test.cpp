#include "HttpProbe.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// ctest names it; run by hand, the test finds it beside its own build folder.
QString sandboxBinary() {
    QString path = qEnvironmentVariable("TAVRIX_SANDBOX_BIN");
    if (path.isEmpty()) path = QCoreApplication::applicationDirPath() + "/../tavrix-sandbox";
    return QFileInfo(path).isExecutable() ? path : QString();
}

TEST(SandboxExecutable, AnnouncesItsAddressAndServesLogin) {
    if (sandboxBinary().isEmpty()) {
        GTEST_SKIP() << "tavrix-sandbox not found";
    }
    QTemporaryDir dir;
    QProcess process;
    process.start(sandboxBinary(), {"--port", "0", "--db", dir.filePath("sandbox.sqlite")});
    QByteArray out;
    QSignalSpy output(&process, &QProcess::readyReadStandardOutput);
    while (!out.contains('\n') && output.wait(20000))
        out += process.readAllStandardOutput();

    const QRegularExpressionMatch m =
        QRegularExpression(R"(^tavrix-sandbox listening on (http://127\.0\.0\.1:(\d+)/pelvo/)\n$)")
            .match(QString::fromUtf8(out));
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    EXPECT_NE(m.captured(2).toInt(), 0);

    HttpProbe http;
    const HttpProbe::Result r = http.post(
        QUrl(m.captured(1) + "Login.do"),
        HttpProbe::form({{"num", "13800000001"}, {"pass", "123456"}, {"channelid", "2"}}));
    EXPECT_EQ(r.json().value("result").toInteger(-1), 0);
    EXPECT_FALSE(r.json().value("session").toString().isEmpty());

    QSignalSpy finished(&process, &QProcess::finished);
    process.kill();
    finished.wait(20000);
}

TEST(SandboxExecutable, RefusesBadOptions) {
    if (sandboxBinary().isEmpty()) {
        GTEST_SKIP() << "tavrix-sandbox not found";
    }
    const QStringList cases[] = {
        {"--port", "eighty"},
        {"--db", "/nonexistent/dir/sandbox.sqlite"},
    };
    for (const QStringList& args : cases) {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(sandboxBinary(), args);
        ASSERT_TRUE(finished.wait(20000)) << args.join(' ').toStdString();
        EXPECT_NE(process.exitCode(), 0) << args.join(' ').toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(process.readAllStandardError().isEmpty());
    }
}

} // namespace
