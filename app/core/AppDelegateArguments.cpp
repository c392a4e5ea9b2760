#include "app/core/AppDelegateArguments.h"

AppDelegateArguments AppDelegateArguments::parse(const QStringList& arguments) {
    AppDelegateArguments out;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto value = [&](QString& into) {
            if (i + 1 >= arguments.size()) {
                out.error = arg + " needs a value";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--server") {
            if (!value(out.server)) return out;
        } else if (arg == "--source-application") {
            if (!value(out.sourceApplication)) return out;
        } else if (arg == "--screenshot") {
            if (!value(out.screenshotFile)) return out;
        } else if (arg == "--after") {
            QString ms;
            if (!value(ms)) return out;
            bool ok = false;
            out.screenshotAfterMs = ms.toInt(&ok);
            if (!ok || out.screenshotAfterMs < 0) {
                out.error = "--after needs a count of milliseconds";
                return out;
            }
        } else if (arg.startsWith("--")) {
            out.error = "unknown option " + arg;
            return out;
        } else if (!arg.isEmpty()) {
            out.urls << arg;
        }
    }
    return out;
}

QString AppDelegateArguments::usage() {
    return QStringLiteral(
        "Usage: tavrix [options] [URL...]\n"
        "\n"
        "Options:\n"
        "  --server URL                the server base address that interface names are\n"
        "                              appended to (default: $TAVRIX_SERVER, else the\n"
        "                              sandbox server on loopback)\n"
        "  --source-application NAME   the application that handed over the URLs\n"
        "  --screenshot FILE           save the window as a PNG picture and quit...\n"
        "  --after MS                  ...this many milliseconds after the start (default 0)\n"
        "  -h, --help                  print this help and quit\n"
        "\n"
        "URL: a kelvamor: link to open (a tab, or a scene as kelvamor://Main&Name); a\n"
        "second launch hands its URLs to the client already running and quits.\n"
        "\n"
        "Environment:\n"
        "  TAVRIX_SERVER    the server base address (overridden by --server)\n"
        "  TAVRIX_HOME      the client's data: settings, caches (default\n"
        "                   ~/.local/share/tavrix)\n"
        "  TAVRIX_NETWORK   wifi, cellular or none: overrides network detection; cellular\n"
        "                   tries the password-less gateway log-in first\n"
        "  QT_QPA_PLATFORM  Qt's window system: xcb, wayland, or offscreen (no display)\n");
}
