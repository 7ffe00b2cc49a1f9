#include "platform/CodePage.h"

#include "platform/Utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace korvane {

namespace {

std::string currentCodePage = "WINDOWS-1252";

// RAII holder of one iconv conversion descriptor.
class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("unsupported code page " + from + " -> " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input. With `lenient`, an undecodable byte is replaced by
    // `replacement` and skipped; otherwise the conversion fails.
    std::optional<std::string> run(std::string_view input, bool lenient,
                                   std::string_view replacement) {
        std::string out;
        out.resize(input.size() * 4 + 16);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        while (inLeft > 0) {
            size_t r = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            if (r != static_cast<size_t>(-1)) {
                if (r > 0 && !lenient) return std::nullopt; // irreversible substitution
                continue;
            }
            if (errno == E2BIG) {
                size_t used = static_cast<size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            if (!lenient) return std::nullopt;
            if (outLeft < replacement.size()) {
                size_t used = static_cast<size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
            }
            for (char c : replacement) *outPtr++ = c;
            outLeft -= replacement.size();
            ++in;
            --inLeft;
        }
        out.resize(static_cast<size_t>(outPtr - out.data()));
        return out;
    }

  private:
    iconv_t cd_;
};

} // namespace

std::string codePageForLanguage(std::string_view code) {
    if (code == "PL" || code == "SK") return "WINDOWS-1250";
    if (code == "RU") return "WINDOWS-1251";
    if (code == "SA") return "WINDOWS-1256";
    if (code == "CN") return "GBK";
    return "WINDOWS-1252";
}

void setAnsiCodePage(std::string codePage) {
    currentCodePage = std::move(codePage);
}

std::optional<std::string> toCodePage(std::string_view utf8, const std::string& codePage) {
    return Converter(codePage, "UTF-8").run(utf8, false, {});
}

std::optional<std::string> toAnsi(std::string_view utf8) {
    return toCodePage(utf8, currentCodePage);
}

std::string fromCodePage(std::string_view bytes, const std::string& codePage) {
    return *Converter("UTF-8", codePage).run(bytes, true, "\xEF\xBF\xBD");
}

std::string fromAnsi(std::string_view bytes) {
    return fromCodePage(bytes, currentCodePage);
}

std::string toFileText(std::string_view utf8) {
    if (auto ansi = toAnsi(utf8); ansi && !ansi->starts_with(byteOrderMark)) return *ansi;
    return std::string(byteOrderMark) + validUtf8(utf8);
}

std::string toFileText(std::string_view utf8, std::size_t capacity) {
    std::string whole = toFileText(utf8);
    if (whole.size() <= capacity) return whole;
    // Character by character, both forms of each start: the code page while
    // every character is there, the mark and UTF-8 after. A code-page byte is
    // never more than the character's UTF-8 bytes, so once neither form fits,
    // no longer start does.
    std::string ansi;
    std::string utf8Form(byteOrderMark);
    bool inCodePage = true;
    std::string longest;
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        const std::string_view piece = utf8.substr(i, c.length);
        if (c.valid)
            utf8Form += piece;
        else
            appendUtf8(utf8Form, replacementCharacter);
        if (inCodePage) {
            const auto bytes = c.valid ? toAnsi(piece) : std::nullopt;
            inCodePage = bytes.has_value();
            if (bytes) ansi += *bytes;
        }
        if (inCodePage && ansi.size() <= capacity && !ansi.starts_with(byteOrderMark))
            longest = ansi;
        else if (utf8Form.size() <= capacity)
            longest = utf8Form;
        else
            break;
        i += c.length;
    }
    return longest;
}

std::string fromFileText(std::string_view bytes) {
    if (bytes.starts_with(byteOrderMark)) return validUtf8(bytes.substr(byteOrderMark.size()));
    return fromAnsi(bytes);
}

} // namespace korvane
