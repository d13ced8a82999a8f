// Raw paths of local file URLs.
#include "widgets/local_path.h"

#include <QUrl>

#include "platform/file_system.h"

namespace versweep {

std::optional<std::string> LocalPathBytes(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    return platform::WithoutTrailingSeparators(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
}

} // namespace versweep
