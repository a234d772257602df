#include "services/window_title.h"

namespace vorlund {

std::string foldTitleCase(std::string_view title)
{
    std::string folded(title);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded[i] = static_cast<char>(byte - 'A' + 'a');
            continue;
        }
        // U+00C0-U+00DE are 0xC3 0x80-0x9E. Neither an ASCII byte nor 0xC3 can sit inside
        // another UTF-8 sequence, so working on bytes folds exactly the letters a decoder would
        // see and leaves invalid bytes as they are. U+00D7 is the multiplication sign.
        if (byte == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                folded[++i] = static_cast<char>(next + 0x20);
        }
    }
    return folded;
}

} // namespace vorlund
