// Finds the adb that ships inside the application bundle.
#pragma once

#include "ADBExecutableResolving.h"
#include "AppBundle.h"

class ADBExecutableResolver : public ADBExecutableResolving {
public:
    explicit ADBExecutableResolver(AppBundle bundle = AppBundle::main());

    // Contents/Helpers/adb of the bundle when it is an executable file.
    std::optional<QString> resolveExecutable() const override;

private:
    AppBundle bundle_;
};
