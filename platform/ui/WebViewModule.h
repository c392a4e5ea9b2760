#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

class QLibrary;

namespace ui {

class View;
class WebView;

// The browser engine's web view lives in a module of its own (libtavrix_webengine.so), loaded
// the first time a page is made and kept until the process ends: a session that opens no page
// maps none of the engine. A module that cannot be found or loaded makes no web view; a later
// page tries again.
class WebViewModule {
public:
    static constexpr const char* kFileName = "libtavrix_webengine.so";
    static constexpr const char* kPathVariable = "TAVRIX_WEBENGINE_MODULE";

    // The process's module: beside the executable (build and install trees alike), else the
    // file $TAVRIX_WEBENGINE_MODULE names (tests, whose executables sit elsewhere).
    static WebViewModule& shared();
    static QStringList defaultCandidates();

    explicit WebViewModule(QStringList candidates);
    ~WebViewModule();
    WebViewModule(const WebViewModule&) = delete;
    WebViewModule& operator=(const WebViewModule&) = delete;

    // Loads the module now if it is not yet; false when it cannot be loaded.
    bool load();
    // The engine's web view, or null when the module cannot be loaded.
    WebView* create(const QRectF& frame, View* parent);
    // Clears the engine's cookies when the module has been loaded (else there are none).
    void deleteAllCookies();
    bool isLoaded() const { return m_create != nullptr; }
    // Why the last load failed.
    QString errorString() const { return m_error; }

private:
    using CreateFunction = WebView* (*)(const QRectF&, View*);
    using CookiesFunction = void (*)();
    QStringList m_candidates;
    QLibrary* m_library = nullptr; // never unloaded: the engine's threads outlive its pages
    CreateFunction m_create = nullptr;
    CookiesFunction m_deleteCookies = nullptr;
    QString m_error;
};

} // namespace ui
