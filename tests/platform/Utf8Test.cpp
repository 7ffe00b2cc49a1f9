// UTF-8 decoding, repair, cutting at whole characters and case folding.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct Decoded {
    char32_t code;
    std::size_t length;
    bool valid;
    bool operator==(const Decoded&) const = default;
};

Decoded at(std::string_view text, std::size_t pos = 0) {
    const Utf8Char c = decodeUtf8(text, pos);
    return {c.code, c.length, c.valid};
}

} // namespace

TEST(Utf8, DecodesEveryLengthAndRefusesMalformedBytesOneByOne) {
    EXPECT_EQ(at("A"), (Decoded{0x41, 1, true}));
    EXPECT_EQ(at("\xC5\x82"), (Decoded{0x142, 2, true}));           // ł
    EXPECT_EQ(at("\xE4\xB8\xAD"), (Decoded{0x4E2D, 3, true}));      // 中
    EXPECT_EQ(at("\xF0\x9F\x94\xA9"), (Decoded{0x1F529, 4, true})); // 🔩
    EXPECT_EQ(at("x\xD0\xB6", 1), (Decoded{0x436, 2, true}));       // ж, inside a text
    EXPECT_EQ(at("\xF4\x8F\xBF\xBF"), (Decoded{0x10FFFF, 4, true}));

    for (std::string_view bad : {
             "\x80",             // a continuation byte alone
             "\xC0\x80",         // overlong NUL
             "\xC1\xBF",         // overlong 0x7F
             "\xE0\x80\xAF",     // overlong '/'
             "\xF0\x8F\xBF\xBF", // overlong U+FFFF
             "\xED\xA0\x80",     // surrogate D800
             "\xF4\x90\x80\x80", // above U+10FFFF
             "\xF5\x80\x80\x80", "\xFF",
             "\xC5",     // cut at the end
             "\xE4\xB8", // cut at the end
             "\xC5\x41", // a lead byte followed by ASCII
         })
        EXPECT_EQ(at(bad), (Decoded{0, 1, false})) << testing::PrintToString(std::string(bad));
}

TEST(Utf8, EncodesEveryLength) {
    std::string out;
    for (char32_t c : {U'A', U'\u0142', U'\u4E2D', U'\U0001F529'}) appendUtf8(out, c);
    EXPECT_EQ(out, "A\xC5\x82\xE4\xB8\xAD\xF0\x9F\x94\xA9");
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(validUtf8("Ma\xC5\x82y"), "Ma\xC5\x82y");
    EXPECT_EQ(validUtf8("a\xFF"
                        "b\xE4\xB8"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(validUtf8(""), "");
}

TEST(Utf8, FirstCharactersCutsBetweenWholeCharacters) {
    EXPECT_EQ(firstCharacters("\xC5\xBC\xC3\xB3\xC5\x82w", 2), "\xC5\xBC\xC3\xB3"); // żółw → żó
    EXPECT_EQ(firstCharacters("a\xE4\xB8\xAD"
                              "b",
                              2),
              "a\xE4\xB8\xAD");
    EXPECT_EQ(firstCharacters("abc", 0), "");
    EXPECT_EQ(firstCharacters("abc", 10), "abc");
    EXPECT_EQ(firstCharacters("\xFF\xFE"
                              "a",
                              2),
              "\xFF\xFE"); // a malformed byte counts as one character
}

TEST(Utf8, CaseFoldsLettersOfEveryScript) {
    EXPECT_EQ(foldCase("\xC5\x81uk"), "\xC5\x82uk"); // Łuk → łuk
    EXPECT_EQ(foldCase("\xC3\x89"
                       "CROU"),
              "\xC3\xA9"
              "crou");                                              // ÉCROU → écrou
    EXPECT_EQ(foldCase("\xD0\xA4\xD0\xA0\xD0\x95\xD0\x97\xD0\x90"), // ФРЕЗА
              "\xD1\x84\xD1\x80\xD0\xB5\xD0\xB7\xD0\xB0");          // фреза
    EXPECT_EQ(foldCase(U'\u03C2'), U'\u03C3');                      // final sigma ς → σ
    EXPECT_EQ(foldCase(U'\u03A3'), U'\u03C3');                      // Σ → σ
    EXPECT_EQ(foldCase(U'\u01C5'), U'\u01C6');                      // title case ǅ → ǆ
    EXPECT_EQ(foldCase(U'\u4E2D'), U'\u4E2D');                      // no case
    EXPECT_EQ(foldCase(U'\U00010400'), U'\U00010428');              // Deseret, beyond BMP
    EXPECT_EQ(foldCase("A\xFF"
                       "B"),
              "a\xFF"
              "b"); // malformed bytes stay
}
