// The file-sync service used by push, pull and ls: STAT, LIST, SEND, RECV and QUIT, with the
// 64-bit STA2/LST2 and LIS2 variants.
#pragma once

namespace devicesim {

class DeviceStream;

void runSyncService(DeviceStream& stream);

} // namespace devicesim
