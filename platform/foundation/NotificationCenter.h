#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <vector>

namespace ns {

struct Notification {
    QString name;
    const QObject* object = nullptr;
    QVariantMap userInfo;
};

// Named broadcasts on the main thread. An observer is a QObject: it is dropped when it is
// destroyed, so a post never reaches a dead screen.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // An empty name matches every name; a null object matches every sender.
    void addObserver(QObject* observer, const QString& name, const QObject* object,
                     Handler handler);
    void removeObserver(const QObject* observer);
    void removeObserver(const QObject* observer, const QString& name,
                        const QObject* object = nullptr);
    void postNotificationName(const QString& name, const QObject* object = nullptr,
                              const QVariantMap& userInfo = {});
    int observerCount(const QString& name) const;

private:
    struct Entry {
        QPointer<QObject> observer;
        const QObject* observerKey;
        QString name;
        const QObject* object;
        Handler handler;
        quint64 serial;
    };
    std::vector<Entry> m_entries;
    quint64 m_serial = 0;
};

} // namespace ns
