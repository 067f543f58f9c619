// The encoding of a user's name-list file. The program works on GBK; a file saved by a current
// editor is often UTF-8 (with or without a byte-order mark) or UTF-16, and is converted to GBK
// before anything else reads it. Everything else is taken as GBK, byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenvil {

enum class TextEncoding {
    Gbk,      // taken as it is
    Utf8,     // valid UTF-8 holding multi-byte characters
    Utf8Bom,  // starts with EF BB BF
    Utf16Le,  // starts with FF FE
    Utf16Be,  // starts with FE FF
};

// The encoding of a whole file's bytes: a byte-order mark decides; without one, bytes that are
// valid UTF-8 and hold at least one multi-byte character are UTF-8; anything else is GBK (pure
// ASCII is the same in both).
TextEncoding detectEncoding(std::string_view bytes);

// The bytes as UTF-8 (without a byte-order mark), by detectEncoding: UTF-8 as it is, UTF-16
// converted, GBK converted. Sequences that are not valid in the detected encoding become U+FFFD.
// For text that need not pass through GBK (the recommendation engine reads UTF-8).
std::string decodeToUtf8(std::string_view bytes);

struct GbkText {
    std::string gbk;
    TextEncoding detected = TextEncoding::Gbk;
};

// A whole file's bytes as GBK: GBK bytes are handed back unchanged (moved, not copied); UTF-8 and
// UTF-16 are converted, their byte-order mark dropped; characters that GBK lacks become '?'.
GbkText toGbkText(std::string bytes);

// The same for a file read in blocks. The encoding is decided by the first block that holds a
// byte above 0x7F (or a byte-order mark); ASCII before it reads the same in every encoding. A
// character cut by the end of a block is completed by the next. With Target::Utf8 the text comes
// out as UTF-8 instead (for the recommendation engine, which reads UTF-8): GBK and UTF-16 are
// converted, UTF-8 passes as it is.
class GbkStreamDecoder {
  public:
    enum class Target { Gbk, Utf8 };
    explicit GbkStreamDecoder(Target target = Target::Gbk);
    ~GbkStreamDecoder();
    GbkStreamDecoder(const GbkStreamDecoder&) = delete;
    GbkStreamDecoder& operator=(const GbkStreamDecoder&) = delete;

    // Appends the GBK text of the next block to out.
    void feed(std::string_view block, std::string& out);
    // Appends whatever is still held back (an incomplete character at the end of the file).
    void finish(std::string& out);

    TextEncoding encoding() const { return encoding_; }

  private:
    void convert(std::string_view bytes, bool last, std::string& out);

    Target target_;
    bool decided_ = false;
    bool started_ = false;  // bytes have been handed out: no byte-order mark can follow
    TextEncoding encoding_ = TextEncoding::Gbk;
    std::string pending_;  // bytes held back: undecided start, or a cut character
    struct Utf16;          // the ICU converter for UTF-16
    Utf16* utf16_ = nullptr;
};

}  // namespace quenvil
