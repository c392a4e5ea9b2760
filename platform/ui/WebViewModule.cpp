#include "platform/ui/WebViewModule.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QtGlobal>

namespace ui {

WebViewModule& WebViewModule::shared() {
    static WebViewModule module(defaultCandidates());
    return module;
}

QStringList WebViewModule::defaultCandidates() {
    QStringList candidates{QDir(QCoreApplication::applicationDirPath()).filePath(kFileName)};
    const QString override = qEnvironmentVariable(kPathVariable);
    if (!override.isEmpty()) candidates << override;
    return candidates;
}

WebViewModule::WebViewModule(QStringList candidates) : m_candidates(std::move(candidates)) {}

WebViewModule::~WebViewModule() {
    delete m_library; // QLibrary's destructor leaves the module mapped
}

WebView* WebViewModule::create(const QRectF& frame, View* parent) {
    if (!load()) {
        qWarning().noquote() << "tavrix: no web view:" << m_error;
        return nullptr;
    }
    return m_create(frame, parent);
}

void WebViewModule::deleteAllCookies() {
    if (m_deleteCookies) m_deleteCookies();
}

bool WebViewModule::load() {
    if (m_create) return true;
    m_error = QStringLiteral("%1 not found in %2").arg(kFileName, m_candidates.join(", "));
    for (const QString& path : std::as_const(m_candidates)) {
        if (!QFileInfo(path).isFile()) continue;
        auto* library = new QLibrary(path);
        const auto create =
            reinterpret_cast<CreateFunction>(library->resolve("tavrix_webengine_createWebView"));
        const auto cookies = reinterpret_cast<CookiesFunction>(
            library->resolve("tavrix_webengine_deleteAllCookies"));
        if (create && cookies) {
            m_library = library;
            m_create = create;
            m_deleteCookies = cookies;
            return true;
        }
        m_error = library->errorString();
        library->unload();
        delete library;
    }
    return false;
}

} // namespace ui
