// Runs quenvil-cli from a program folder of the test's own, with a fixture data.Mdb beside it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quenvil::test {

// A call quenvil-cli refuses: its arguments, exit status and whole message on standard error (an
// empty message stands for the usage text, what --help prints). Parameter of the refusal tables.
struct Refusal {
    std::vector<std::string> args;
    int status;
    std::string message;
};
inline void PrintTo(const Refusal& r, std::ostream* os) {
    for (const std::string& a : r.args) *os << "[" << a << "]";
}

struct CliResult {
    int exitCode = -1;
    std::string out;  // UTF-8
    std::string err;
};

// Copies the built quenvil-cli into folder (where the test has put its data.Mdb).
std::filesystem::path installCli(const std::filesystem::path& folder);

// With stdoutFile, the output goes there (e.g. /dev/full) and out stays empty; kClosedOutput runs
// the program with its standard output closed. With input, those bytes are the program's standard
// input.
inline const std::filesystem::path kClosedOutput = "<closed>";
CliResult runCli(const std::filesystem::path& cli, const std::vector<std::string>& args,
                 const std::filesystem::path& stdoutFile = {},
                 const std::optional<std::string>& input = std::nullopt);
// The same with these bytes on standard input.
CliResult runCliWithInput(const std::filesystem::path& cli, const std::vector<std::string>& args,
                          const std::optional<std::string>& input);

// Starts the program without waiting; its output goes to /dev/null.
pid_t startCli(const std::filesystem::path& cli, const std::vector<std::string>& args);

// Whether the programs are built with AddressSanitizer, whose shadow memory and quarantine make
// their peak memory no measure of their own.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// The peak memory (KiB) of a run on input without end (/dev/zero), stopped after two seconds.
size_t peakKiBOfEndlessRun(const std::filesystem::path& cli, const std::vector<std::string>& args);

std::vector<std::string> outputLines(const std::string& out);

}  // namespace quenvil::test
