// The system refused to start a child process (missing file, no permission, no resources).
#pragma once

#include <stdexcept>
#include <string>

class ProcessLaunchError : public std::runtime_error {
public:
    explicit ProcessLaunchError(const std::string& reason) : std::runtime_error(reason) {}
};
