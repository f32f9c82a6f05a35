// Where a download lands: inside a local folder under the name given to the download, or at
// an exact local item.
#pragma once

#include <QUrl>

class DownloadDestination {
public:
    enum class Kind { directory, item };

    static DownloadDestination directory(const QUrl& folder) { return {Kind::directory, folder}; }
    static DownloadDestination item(const QUrl& url) { return {Kind::item, url}; }

    Kind kind() const { return m_kind; }
    const QUrl& url() const { return m_url; }

    bool operator==(const DownloadDestination&) const = default;

private:
    DownloadDestination(Kind kind, QUrl url) : m_kind(kind), m_url(std::move(url)) {}

    Kind m_kind;
    QUrl m_url;
};
