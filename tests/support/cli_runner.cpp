// Running quenvil-cli in tests.
#include "support/cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/fixture_db.h"

namespace quenvil::test {
namespace {

pid_t spawn(const std::filesystem::path& cli, const std::vector<std::string>& args,
            const std::string& outFile, const std::string& errFile,
            const std::string& inFile = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!inFile.empty()) {
            const int in = open(inFile.c_str(), O_RDONLY);
            dup2(in, 0);
        }
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        if (outFile == kClosedOutput) {
            close(1);
        } else {
            const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
        }
        std::vector<char*> argv;
        const std::string program = cli.string();
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

std::filesystem::path installCli(const std::filesystem::path& folder) {
    const auto target = folder / "quenvil-cli";
    std::filesystem::copy_file(programDir() / "quenvil-cli", target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

CliResult runCli(const std::filesystem::path& cli, const std::vector<std::string>& args,
                 const std::filesystem::path& stdoutFile, const std::optional<std::string>& input) {
    const auto dir = cli.parent_path();
    const std::string outFile =
        stdoutFile.empty() ? (dir / "cli.out").string() : stdoutFile.string();
    const std::string errFile = (dir / "cli.err").string();
    std::string inFile;
    if (input) {
        inFile = (dir / "cli.in").string();
        writeFile(inFile, *input);
    }
    const pid_t pid = spawn(cli, args, outFile, errFile, inFile);
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (stdoutFile.empty()) r.out = readFile(outFile);
    r.err = readFile(errFile);
    return r;
}

CliResult runCliWithInput(const std::filesystem::path& cli, const std::vector<std::string>& args,
                          const std::optional<std::string>& input) {
    return runCli(cli, args, {}, input);
}

pid_t startCli(const std::filesystem::path& cli, const std::vector<std::string>& args) {
    return spawn(cli, args, "/dev/null", "/dev/null");
}

size_t peakKiBOfEndlessRun(const std::filesystem::path& cli, const std::vector<std::string>& args) {
    const pid_t pid = startCli(cli, args);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    size_t kib = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) kib = std::stoul(line.substr(6));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return kib;
}

std::vector<std::string> outputLines(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace quenvil::test
