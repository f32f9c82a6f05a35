#include "DevicePath.h"

namespace {

QString withoutTrailingSlashes(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == QLatin1Char('/')) {
        --end;
    }
    return path.left(end);
}

} // namespace

QString appendingPathComponent(const QString& parent, const QString& component) {
    qsizetype start = 0;
    while (start < component.size() && component.at(start) == QLatin1Char('/')) {
        ++start;
    }
    const QString name = component.mid(start);
    const QString base = withoutTrailingSlashes(parent);
    if (base.isEmpty()) {
        return name;
    }
    if (name.isEmpty()) {
        return base;
    }
    if (base == QLatin1String("/")) {
        return base + name;
    }
    return base + QLatin1Char('/') + name;
}

QString deletingLastPathComponent(const QString& path) {
    const QString trimmed = withoutTrailingSlashes(path);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return {};
    }
    if (slash == 0) {
        return QStringLiteral("/");
    }
    return withoutTrailingSlashes(trimmed.left(slash));
}

QString lastPathComponent(const QString& path) {
    const QString trimmed = withoutTrailingSlashes(path);
    if (trimmed == QLatin1String("/")) {
        return trimmed;
    }
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}
