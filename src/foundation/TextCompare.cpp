#include "foundation/TextCompare.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace korvane {

namespace {

// Case mapping of the whole of Unicode comes from the C.UTF-8 locale; without
// it only ASCII letters fold.
locale_t unicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

char32_t lowerCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (locale_t l = unicodeLocale()) return static_cast<char32_t>(towlower_l(c, l));
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string lowerText(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char lead = static_cast<unsigned char>(s[i]);
        size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        bool valid = len > 0 && i + len <= s.size();
        char32_t c = len == 1   ? lead
                     : len == 2 ? lead & 0x1F
                     : len == 3 ? lead & 0x0F
                                : lead & 0x07;
        for (size_t k = 1; valid && k < len; ++k) {
            const unsigned char b = static_cast<unsigned char>(s[i + k]);
            valid = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        if (!valid) {
            out += s[i++];
            continue;
        }
        appendUtf8(out, lowerCodePoint(c));
        i += len;
    }
    return out;
}

bool sameText(std::string_view a, std::string_view b) {
    return lowerText(a) == lowerText(b);
}

int compareText(std::string_view a, std::string_view b) {
    return lowerText(a).compare(lowerText(b));
}

} // namespace korvane
