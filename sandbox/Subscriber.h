#pragma once

#include <QString>

namespace sandbox {

// One subscriber line as the sandbox's database keeps it.
struct Subscriber {
    QString number;   // 11 digits
    QString password; // the 6-character service password
    QString name;
    QString starLevel; // "credit_level" of "StarLevel": "1"-"3", "10"-"14", "-10", ...

    bool operator==(const Subscriber&) const = default;
};

} // namespace sandbox
