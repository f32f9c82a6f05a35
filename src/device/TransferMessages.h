// Texts a transfer fails with when adb itself reported success.
#pragma once

#include <QString>

// A copy whose size differs from its source's, in the interface language of this moment.
QString incompleteTransferMessage();
