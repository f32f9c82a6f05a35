// Decoding bytes that must be valid UTF-8 as a whole.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text of `bytes`, or nothing when they are not valid UTF-8 on their own (a character
// cut at either end counts as invalid).
std::optional<QString> decodeStrictUTF8(const QByteArray& bytes);
