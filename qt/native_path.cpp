#include "qt/native_path.h"

namespace vorlund {
namespace {

// Linux names are bytes, mostly UTF-8. A byte that is no part of valid UTF-8 is kept as the lone
// surrogate U+DC80..U+DCFF (as Python's "surrogateescape" does), so that every name comes back to
// the very bytes it came from: a download whose name is not UTF-8 still moves.
constexpr char16_t escapedByteBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0.
std::size_t validSequenceAt(const std::string& bytes, std::size_t at, char32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    const bool overlong =
        (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return overlong || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

QString decodeEscapingBytes(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        if (const std::size_t length = validSequenceAt(bytes, at, codePoint)) {
            const QChar pair[2] = {QChar::highSurrogate(codePoint), QChar::lowSurrogate(codePoint)};
            if (QChar::requiresSurrogates(codePoint))
                text.append(pair, 2);
            else
                text.append(QChar(codePoint));
            at += length;
        } else {
            text.append(QChar(escapedByteBase + static_cast<unsigned char>(bytes[at])));
            ++at;
        }
    }
    return text;
}

void appendUtf8(std::string& bytes, char32_t codePoint)
{
    if (codePoint < 0x80) {
        bytes += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes += static_cast<char>(0xC0 | (codePoint >> 6));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes += static_cast<char>(0xE0 | (codePoint >> 12));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (codePoint >> 18));
        bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string encodeEscapedBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (unit >= escapedByteBase + 0x80 && unit <= escapedByteBase + 0xFF) {
            bytes += static_cast<char>(unit - escapedByteBase);
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}
} // namespace

std::string toFsName(const QString& name)
{
    return encodeEscapedBytes(name);
}

QString fromFsName(const std::string& name)
{
    return decodeEscapingBytes(name);
}

} // namespace vorlund
