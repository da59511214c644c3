// A program a test starts in its own working directory with a few environment variables of its own,
// killed with SIGKILL and reaped when the test is done with it, however the test ends.
#pragma once

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class ChildProcess {
public:
    // `settings` are "NAME=value" entries that replace or add to the test's own environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& settings) {
        std::vector<std::string> environment = settings;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            bool replaced = false;
            for (const std::string& setting : settings)
                replaced = replaced ||
                           text.substr(0, text.find('=') + 1) == setting.substr(0, setting.find('=') + 1);
            if (!replaced)
                environment.push_back(text);
        }
        // Everything the child needs is made before the fork: a threaded parent's child may only make
        // async-signal-safe calls until it runs the program.
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string name = program;
        char* argv[] = {name.data(), nullptr};
        m_pid = ::fork();
        if (m_pid == 0) {
            ::execve(program.c_str(), argv, envp.data());
            ::_exit(127);
        }
    }
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running() {
        if (m_pid <= 0)
            return false;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == 0)
            return true;
        m_pid = -1;
        return false;
    }
    // No chance to clean up, as when the machine loses power or the kernel ends the program.
    void Kill() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};
