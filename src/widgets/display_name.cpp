// Display text of raw file names.
#include "widgets/display_name.h"

namespace versweep {

namespace {

constexpr char16_t kControlPictures = 0x2400; // U+2400 SYMBOL FOR NULL; U+2421 stands for DEL
constexpr char16_t kDeletePicture = 0x2421;

} // namespace

QString DisplayName(std::string_view bytes)
{
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar& ch : text) {
        const char16_t unit = ch.unicode();
        if (unit < 0x20)
            ch = QChar(static_cast<char16_t>(kControlPictures + unit));
        else if (unit == 0x7F)
            ch = QChar(kDeletePicture);
    }
    return text;
}

} // namespace versweep
