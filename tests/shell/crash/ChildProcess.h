#pragma once
// Running a program as a child process with a time limit, for the crash tests.
#include <string>
#include <vector>

namespace crashtest {

struct ChildOptions {
    int timeoutSeconds = 60;
    bool dropToNobody = false;  // run as the unprivileged "nobody" user (when started as root)
};

struct ChildResult {
    bool timedOut = false;
    bool exited = false;  // ended by exit(); otherwise by a signal
    int exitCode = -1;
    int signal = 0;
    double seconds = 0;
};

// Runs `program` with `arguments` (argv[0] is the program path) and waits at most the timeout;
// a child still running then is killed and reported as timed out.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const ChildOptions& options = {});

// Runs a shell command and returns what it printed (stdout and stderr together).
std::string CommandOutput(const std::string& command);

}  // namespace crashtest
