// Where the adb executable is, asked before every run so that a removed file is noticed.
#pragma once

#include <QString>

#include <optional>

class ADBExecutableResolving {
public:
    virtual ~ADBExecutableResolving() = default;

    // The path of an executable adb file, or nothing.
    virtual std::optional<QString> resolveExecutable() const = 0;
};
