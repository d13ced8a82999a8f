// Raw paths of local file URLs.
#include "widgets/local_path.h"

#include <QUrl>

namespace versweep {

std::optional<std::string> LocalPathBytes(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    std::string path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace versweep
