// What every connection and service of the phone shares.
#pragma once

#include <functional>

namespace devicesim {

class BackgroundThreads;
class DeviceSandbox;
class FaultState;
class DeviceStorage;
struct DeviceIdentity;

struct DeviceContext {
    const DeviceIdentity& identity;
    FaultState& faults;
    const DeviceSandbox& sandbox;
    const DeviceStorage& storage;
    BackgroundThreads& threads;
    std::function<void()> dropAllConnections;
};

} // namespace devicesim
