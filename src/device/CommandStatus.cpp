#include "CommandStatus.h"

#include "DeviceRepositoryError.h"
#include "TextDecoding.h"

QString commandFailureMessage(const ADBCommandResult& result) {
    if (const auto error = decodedUTF8(result.errorData); error && !error->isEmpty()) {
        return *error;
    }
    return decodedUTF8(result.outputData).value_or(QString());
}

void checkStatus(const ADBCommandResult& result) {
    if (result.status != 0) {
        throw DeviceRepositoryError::commandFailed(commandFailureMessage(result));
    }
}
