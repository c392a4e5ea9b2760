#pragma once

#include <QString>

// Picks a status-overlay presentation by a type code: 2 success image, 4 error image, 5 status
// text with spinner, anything else the spinner alone. The splash forms dismiss themselves;
// the display forms stay until hide.
class ActivityIndicator {
public:
    enum Type { Success = 2, Error = 4, StatusWithSpinner = 5 };

    ActivityIndicator() = delete;

    static void splash(int type, const QString& andMsg, unsigned maskType);
    static void display(int type, const QString& andMsg, unsigned maskType);
    static void splash(int type, const QString& andMsg);
    static void display(int type, const QString& andMsg);
    static void hideAfterDelay(double seconds);
    static void hide();
};
