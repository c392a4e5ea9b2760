#pragma once

namespace sandbox {

class Database;

// The home page's demo data: each subscriber's credit and this month's charges, the advert
// carousel, the three configured tiles and their pictures.
class HomeData {
public:
    static bool seed(Database& db);
};

} // namespace sandbox
