// Who the simulated phone says it is: the connection banner and the system properties.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace devicesim {

// Feature names announced in the connection banner; each is implemented by this phone.
extern const std::vector<std::string> kAdvertisedFeatures;

struct DeviceIdentity {
    std::string model;
    std::string androidVersion;

    // "Pixel 7" gives "pixel_7": the product and device names follow the model.
    std::string productName() const;
    // The SDK level of the Android release, empty for a release it does not know.
    std::string sdkLevel() const;
    // "device::ro.product.name=…;ro.product.model=…;ro.product.device=…;features=…"
    std::string connectionBanner() const;
    // Name and value of every property getprop knows, in the order it lists them.
    std::vector<std::pair<std::string, std::string>> systemProperties() const;
};

} // namespace devicesim
