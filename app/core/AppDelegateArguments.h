#pragma once

#include <QString>
#include <QStringList>

// The client's command line:
//   tavrix [--server URL] [--source-application NAME] [--screenshot FILE --after MS] [URL...]
// Every other argument is a URL that opens the application (the desktop passes them so).
struct AppDelegateArguments {
    QString server;
    QString sourceApplication;
    QStringList urls;
    QString screenshotFile;
    int screenshotAfterMs = 0;
    QString error; // empty when the line was understood

    static AppDelegateArguments parse(const QStringList& arguments);
};
