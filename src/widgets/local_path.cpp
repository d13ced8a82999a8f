// Raw paths of local file URLs.
#include "widgets/local_path.h"

#include <utility>

#include <QUrl>

#include "platform/file_system.h"
#include "tools/text_tools.h"

namespace versweep {

std::optional<std::string> LocalPathBytes(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    // A "%00" would cut the path short at the system: it would name a parent folder instead.
    if (platform::HoldsNul(path))
        return std::nullopt;
    return platform::WithoutTrailingSeparators(std::move(path));
}

QUrl LocalFileUrl(const std::string& path)
{
    return QUrl::fromEncoded(QByteArray::fromStdString("file://" + PercentEncode(path)), QUrl::StrictMode);
}

} // namespace versweep
