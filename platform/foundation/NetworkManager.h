#pragma once

class QNetworkAccessManager;

namespace ns {

// A network manager shared for the life of the application. It belongs to the application
// object, so its network thread is stopped when the application goes, not left running while
// the process tears down the library state that thread uses.
QNetworkAccessManager* newApplicationNetworkManager();

} // namespace ns
