#include "TransferMessages.h"

#include "AppLanguageManager.h"

QString incompleteTransferMessage() {
    return localizedText(QStringLiteral("Файл передан не полностью"),
                         QStringLiteral("The file transfer is incomplete"));
}
