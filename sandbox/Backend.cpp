#include "sandbox/Backend.h"

#include "sandbox/DemoData.h"
#include "sandbox/Schema.h"

namespace sandbox {

bool Backend::open(const QString& path, bool reseed, QString* error) {
    auto fail = [&](const QString& what) {
        if (error) *error = what;
        m_db.close();
        return false;
    };
    if (!m_db.open(path))
        return fail(QStringLiteral("cannot open %1: %2").arg(path, m_db.lastError()));
    bool wasEmpty = false;
    QString schemaError;
    if (!Schema::migrate(m_db, &wasEmpty, &schemaError))
        return fail(QStringLiteral("cannot prepare %1: %2").arg(path, schemaError));
    if ((wasEmpty || reseed) && !DemoData::seed(m_db))
        return fail(QStringLiteral("cannot seed %1: %2").arg(path, m_db.lastError()));
    return true;
}

} // namespace sandbox
