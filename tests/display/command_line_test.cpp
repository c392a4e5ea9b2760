#include <QProcess>
#include <gtest/gtest.h>

// The client's command line as a new user meets it: no display is needed to ask for help.
namespace {

TEST(CommandLine, HelpListsTheOptionsAndTheEnvironmentWithoutADisplay) {
    const QString client = qEnvironmentVariable("TAVRIX_CLIENT_BIN");
    if (client.isEmpty()) GTEST_SKIP() << "TAVRIX_CLIENT_BIN names the client";
    struct Case {
        QStringList args;
        int exitCode;
        QStringList says; // on stdout
    };
    const Case cases[] = {
        {{"--help"},
         0,
         {"--server", "--screenshot", "--after", "--source-application", "TAVRIX_SERVER",
          "TAVRIX_HOME", "TAVRIX_NETWORK", "kelvamor"}},
        {{"-h"}, 0, {"Usage: tavrix"}},
        {{"kelvamor://x", "--help"}, 0, {"Usage: tavrix"}},
    };
    for (const Case& c : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(client, c.args);
        ASSERT_TRUE(p.waitForFinished(20000)) << qPrintable(c.args.join(' '));
        EXPECT_EQ(p.exitCode(), c.exitCode) << qPrintable(c.args.join(' '));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const QString& word : c.says)
            EXPECT_TRUE(out.contains(word))
                << qPrintable(c.args.join(' ') + ": " + word + "\n" + out);
    }
}

} // namespace
