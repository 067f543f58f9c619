// The shipped engine data, loaded once.
#include "support/shipped_naming.h"

#include "data/connection.h"
#include "data/database.h"
#include "support/fixture_db.h"

namespace quenvil::test {

const NamingData& shippedNamingData() {
    static const NamingData data = [] {
        Connection cn;
        cn.open(programDir() / kDatabaseFileName, kDatabasePassword);
        return loadNamingData(cn);
    }();
    return data;
}

}  // namespace quenvil::test
