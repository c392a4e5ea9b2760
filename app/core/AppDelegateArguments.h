#pragma once

#include <QString>
#include <QStringList>

// The client's command line:
//   tavrix [--help] [--server URL] [--source-application NAME] [--screenshot FILE --after MS]
//          [URL...]
// Every other argument is a URL that opens the application (the desktop passes them so).
struct AppDelegateArguments {
    QString server;
    QString sourceApplication;
    QStringList urls;
    QString screenshotFile;
    int screenshotAfterMs = 0;
    bool help = false; // --help or -h: print usage() and quit
    QString error;     // empty when the line was understood

    static AppDelegateArguments parse(const QStringList& arguments);
    // The options and the environment settings, for --help.
    static QString usage();
};
