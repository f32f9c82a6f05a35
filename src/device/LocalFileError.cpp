#include "LocalFileError.h"

#include "AppLanguageManager.h"

LocalFileError::LocalFileError(Operation operation, QString itemName)
    : m_operation(operation), m_itemName(std::move(itemName)) {}

QString LocalFileError::description() const {
    QString sentence;
    switch (m_operation) {
    case Operation::createFolder:
        sentence = localizedText(QStringLiteral("Не удалось создать папку «%1»."),
                                 QStringLiteral("The folder “%1” could not be created."));
        break;
    case Operation::move:
        sentence = localizedText(QStringLiteral("Не удалось переместить «%1» на место."),
                                 QStringLiteral("“%1” could not be moved into place."));
        break;
    case Operation::remove:
        sentence = localizedText(QStringLiteral("Не удалось удалить «%1»."),
                                 QStringLiteral("“%1” could not be removed."));
        break;
    }
    return sentence.arg(m_itemName);
}

const char* LocalFileError::what() const noexcept {
    switch (m_operation) {
    case Operation::createFolder:
        return "LocalFileError.createFolder";
    case Operation::move:
        return "LocalFileError.move";
    case Operation::remove:
        return "LocalFileError.remove";
    }
    return "LocalFileError";
}
