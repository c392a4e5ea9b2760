#include "platform/foundation/NetworkManager.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>

namespace ns {

QNetworkAccessManager* newApplicationNetworkManager() {
    return new QNetworkAccessManager(QCoreApplication::instance());
}

} // namespace ns
