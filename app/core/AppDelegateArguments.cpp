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
        if (arg == "--server") {
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
