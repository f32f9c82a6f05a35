// The error a cancelled task ends with. Views never show it.
#pragma once

#include <exception>

class CancelledError : public std::exception {
public:
    const char* what() const noexcept override { return "The task was cancelled"; }
};

// Whether `error` holds a CancelledError; false for no error.
inline bool isCancellation(const std::exception_ptr& error) {
    if (!error) {
        return false;
    }
    try {
        std::rethrow_exception(error);
    } catch (const CancelledError&) {
        return true;
    } catch (...) {
        return false;
    }
}
