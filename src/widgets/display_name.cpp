// Display text of raw file names.
#include "widgets/display_name.h"

namespace versweep {

namespace {

constexpr char16_t kControlPictures = 0x2400; // U+2400 SYMBOL FOR NULL; U+2421 stands for DEL
constexpr char16_t kDeletePicture = 0x2421;

// "‹U+200B›": the code point spelled out where the character itself would show nothing.
QString FormatMarker(char32_t code)
{
    return QStringLiteral("‹U+%1›").arg(QString::number(code, 16).toUpper().rightJustified(4, u'0'));
}

} // namespace

QString DisplayName(std::string_view bytes)
{
    const QString decoded = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text;
    text.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        char32_t code = decoded[i].unicode();
        qsizetype units = 1;
        if (decoded[i].isHighSurrogate() && i + 1 < decoded.size() && decoded[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(decoded[i], decoded[i + 1]);
            units = 2;
        }
        if (code < 0x20)
            text += QChar(static_cast<char16_t>(kControlPictures + code));
        else if (code == 0x7F)
            text += QChar(kDeletePicture);
        else if (QChar::category(code) == QChar::Other_Format)
            text += FormatMarker(code);
        else
            text += QStringView(decoded).mid(i, units);
        i += units - 1;
    }
    return text;
}

} // namespace versweep
