#include <QProcess>
#include <gtest/gtest.h>

namespace {

// The client's command line as a new user meets it: asking for help needs no display.
TEST(CommandLine, HelpListsTheOptionsAndTheEnvironmentWithoutADisplay) {
    const QString client = qEnvironmentVariable("TAVRIX_CLIENT_BIN");
    if (client.isEmpty()) GTEST_SKIP() << "TAVRIX_CLIENT_BIN names the client";
    const struct {
        QStringList args;
        QStringList says; // on stdout
    } cases[] = {
        {{"--help"},
         {"--server", "--screenshot", "--after", "--source-application", "TAVRIX_SERVER",
          "TAVRIX_HOME", "TAVRIX_NETWORK", "kelvamor"}},
        {{"-h"}, {"Usage: tavrix"}},
        {{"kelvamor://x", "--help"}, {"Usage: tavrix"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(client, c.args);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const QString& word : c.says)
            EXPECT_TRUE(out.contains(word)) << word.toStdString() << "\n" << out.toStdString();
    }
}

} // namespace
