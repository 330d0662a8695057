#include "run_host.h"

#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tramvek::e2e {
namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

#ifdef _WIN32
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string out = "\"";
    for (char c : argument) {
        if (c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

HANDLE inheritableFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &attributes, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int spawn(const std::vector<std::string>& command, const std::filesystem::path& out,
          const std::filesystem::path& err, const Environment& environment) {
    std::string line;
    for (const std::string& argument : command) {
        if (!line.empty()) {
            line += ' ';
        }
        line.append(quoted(argument));
    }
    for (const auto& [name, value] : environment) {
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritableFile(out);
    startup.hStdError = inheritableFile(err);
    PROCESS_INFORMATION process{};
    BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    for (const auto& [name, value] : environment) {
        SetEnvironmentVariableA(name.c_str(), nullptr);
    }
    DWORD code = static_cast<DWORD>(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    return static_cast<int>(code);
}
#else
int spawn(const std::vector<std::string>& command, const std::filesystem::path& out,
          const std::filesystem::path& err, const Environment& environment) {
    pid_t child = fork();
    if (child == 0) {
        for (const auto& [name, value] : environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        int outFile = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(outFile, 1);
        dup2(errFile, 2);
        std::vector<char*> argv;
        for (const std::string& argument : command) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

}  // namespace

HostRun runHost(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                const Environment& environment) {
    std::vector<std::string> command = {TRAMVEK_HOST_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::filesystem::path out = scratch / "host.out";
    std::filesystem::path err = scratch / "host.err";
    HostRun run;
    run.exitCode = spawn(command, out, err, environment);
    run.out = readText(out);
    run.err = readText(err);
    return run;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace tramvek::e2e
