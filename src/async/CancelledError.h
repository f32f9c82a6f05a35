// The error a cancelled task ends with. Views never show it.
#pragma once

#include <exception>

class CancelledError : public std::exception {
public:
    const char* what() const noexcept override { return "The task was cancelled"; }
};
