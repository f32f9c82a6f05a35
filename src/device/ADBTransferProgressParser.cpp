#include "ADBTransferProgressParser.h"

#include "DevicePath.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Enough for several progress lines; older text can no longer matter.
constexpr qsizetype keptCharacters = 256;

} // namespace

ADBTransferProgressParser::ADBTransferProgressParser(TransferProgressHandler progress)
    : m_progress(std::move(progress)) {}

void ADBTransferProgressParser::feed(const QString& text) {
    // "[ 37%] /sdcard/DCIM/IMG_1.jpg"
    static const QRegularExpression percentage(
        QStringLiteral("(?:\\[\\s*)?(\\d{1,3})%\\]?\\s*([^\\r\\n]*)"));
    m_buffer.append(text);
    if (m_buffer.size() > keptCharacters) {
        m_buffer = m_buffer.right(keptCharacters);
    }
    if (!percentage.isValid()) {
        return;
    }
    QRegularExpressionMatch last;
    auto matches = percentage.globalMatch(m_buffer);
    while (matches.hasNext()) {
        last = matches.next();
    }
    if (!last.hasMatch()) {
        return;
    }
    bool ok = false;
    const int number = last.captured(1).toInt(&ok);
    if (!ok) {
        return;
    }
    TransferProgress report;
    report.fractionCompleted = std::clamp(number / 100.0, 0.0, 1.0);
    if (const QString name = last.captured(2).trimmed(); !name.isEmpty()) {
        report.currentFileName = lastPathComponent(name);
    }
    if (m_progress) {
        m_progress(report);
    }
}
