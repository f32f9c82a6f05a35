// A user-visible text in both interface languages; localizedText picks one when it is shown.
#pragma once

#include <QString>

struct BilingualText {
    QString russian;
    QString english;

    friend bool operator==(const BilingualText&, const BilingualText&) = default;
};
