#pragma once

// A stand-in for the desktop's link opener: a script that notes each link it is handed, runs
// the given shell line, then ends with the given exit code. Installed while it lives.

#include "platform/foundation/UrlOpener.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

class ScriptedOpener {
public:
    explicit ScriptedOpener(int exitCode, const QString& before = QString())
        : m_program(m_dir.path() + "/opener"), m_log(m_dir.path() + "/links") {
        QFile script(m_program);
        if (script.open(QIODevice::WriteOnly))
            script.write(QStringLiteral("#!/bin/sh\necho $$ > '%1/pid'\nprintf '%s\\n' \"$1\" >> "
                                        "'%2'\n%3\nexit %4\n")
                             .arg(m_dir.path(), m_log, before)
                             .arg(exitCode)
                             .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ns::UrlOpener::setOpenerProgram(m_program);
    }
    ~ScriptedOpener() { ns::UrlOpener::setOpenerProgram({}); }
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    // The links it was handed, in order.
    QStringList links() const {
        QFile log(m_log);
        if (!log.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // Whether the last opener started has ended and been reaped.
    bool hasEnded() const {
        QFile pid(m_dir.path() + "/pid");
        if (!pid.open(QIODevice::ReadOnly)) return false;
        const QByteArray id = pid.readAll().trimmed();
        return !id.isEmpty() && !QFileInfo::exists("/proc/" + QString::fromLatin1(id));
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
    QString m_log;
};
