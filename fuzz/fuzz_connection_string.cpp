// The connection-string parser: any data source and password written with the program's quoting
// read back unchanged, and any text parses without harm.
#include <cstdint>
#include <string>

#include "data/connection.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quenvil;
    const std::string_view in = fuzz::bytes(data, size);
    (void)parseConnectionString(in);

    // The input, cut at its first NUL, is the file and the password.
    const size_t cut = in.find('\0');
    const std::string file(in.substr(0, cut));
    const std::string password(cut == std::string_view::npos ? std::string_view{}
                                                               : in.substr(cut + 1));
    const std::string s = "Data Source=" + connectionStringValue(file) +
                          ";Jet OLEDB:Database Password=" + connectionStringValue(password);
    const ConnectionParts parts = parseConnectionString(s);
    fuzz::check(parts.file == file, "the data source reads back");
    fuzz::check(parts.password == password, "the password reads back");
    // Items in the other order, and an unknown item before them.
    const ConnectionParts swapped =
        parseConnectionString("Provider=x;Jet OLEDB:Database Password=" +
                              connectionStringValue(password) + ";Data Source=" +
                              connectionStringValue(file) + ";");
    fuzz::check(swapped.file == file && swapped.password == password, "any order");
    return 0;
}
