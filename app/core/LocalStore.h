#pragma once

#include <QString>

struct sqlite3;

// The application's local store "tavrix.sqlite" (model "tavrix") in Documents: created on
// first use and saved when the application ends. Nothing reads or writes its content, so a
// store that cannot be created or saved is reported and the application goes on.
class LocalStore {
public:
    struct Error {
        QString domain;
        int code = 0;
        QString description;
        QString failureReason;
        QString underlyingError;
        bool isNull() const { return code == 0; }
    };

    static constexpr const char* kModelName = "tavrix";
    static constexpr const char* kErrorDomain = "YOUR_ERROR_DOMAIN";
    static constexpr int kErrorCode = 9999;

    // Documents/"tavrix.sqlite" of the sandbox unless a path is given.
    explicit LocalStore(QString path = {});
    ~LocalStore();
    LocalStore(const LocalStore&) = delete;
    LocalStore& operator=(const LocalStore&) = delete;

    static QString applicationDocumentsDirectory();
    QString path() const { return m_path; }

    // Opens (creating when new) the store once; false, with lastError(), when it cannot.
    bool persistentStoreCoordinator();
    bool isOpen() const { return m_db != nullptr; }
    bool hasChanges() const { return false; }
    // Saves only when there are changes; a failure is reported, never fatal.
    bool saveContext();
    Error lastError() const { return m_error; }

private:
    bool fail(const QString& underlying);
    QString m_path;
    sqlite3* m_db = nullptr;
    bool m_tried = false;
    Error m_error;
};
