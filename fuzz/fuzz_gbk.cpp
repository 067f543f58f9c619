// GBK conversion: the table-driven conversions agree with ICU's windows-936 converter both ways,
// text survives GBK and back, and a file decoded in blocks reads as the whole file.
#include <unicode/ucnv.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/encoding.h"
#include "text/gbk.h"

namespace {

std::string icuConvert(const char* to, const char* from, std::string_view in) {
    std::string out(in.size() * 4 + 8, '\0');
    UErrorCode status = U_ZERO_ERROR;
    UConverter* target = ucnv_open(to, &status);
    UConverter* source = ucnv_open(from, &status);
    ucnv_setSubstChars(target, "?", 1, &status);
    char* t = out.data();
    const char* s = in.data();
    ucnv_convertEx(target, source, &t, out.data() + out.size(), &s, in.data() + in.size(), nullptr,
                   nullptr, nullptr, nullptr, true, true, &status);
    ucnv_close(target);
    ucnv_close(source);
    quenvil::fuzz::check(U_SUCCESS(status), "ICU converts");
    out.resize(static_cast<size_t>(t - out.data()));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quenvil;
    const std::string_view in = fuzz::bytes(data, size);

    const std::string utf8 = gbkToUtf8(in);
    fuzz::check(utf8 == icuConvert("UTF-8", "windows-936", in), "GBK -> UTF-8 agrees with ICU");
    const std::string gbk = utf8ToGbk(in);
    fuzz::check(gbk == icuConvert("windows-936", "UTF-8", in), "UTF-8 -> GBK agrees with ICU");

    // Text that GBK holds comes back unchanged from GBK.
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
        fuzz::check(gbkToUtf8(utf8ToGbk(utf8)) == utf8, "text round trip through GBK");
    }

    // Blocks of any size decode as the whole file does; the first byte picks the block size.
    if (size > 0) {
        const size_t block = 1 + data[0] % 16;
        const std::string_view file = in.substr(1);
        const GbkText whole = toGbkText(std::string(file));
        GbkStreamDecoder decoder;
        std::string streamed;
        for (size_t i = 0; i < file.size(); i += block) decoder.feed(file.substr(i, block), streamed);
        decoder.finish(streamed);
        // The stream decides by the first block that holds a byte above 0x7F; where that agrees
        // with the whole file's decision, the text must be the same.
        if (decoder.encoding() == whole.detected) {
            fuzz::check(streamed == whole.gbk, "blocks decode as the whole file");
        }
        if (whole.detected == TextEncoding::Gbk) {
            fuzz::check(whole.gbk == file, "a GBK file passes unchanged");
        }
    }
    return 0;
}
