// The nine language files that come with the program: each loads, and each holds
// every text the program asks for.
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"

#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <set>

using namespace korvane;

namespace {

const char* const languages[] = {"US", "PL", "RU", "CN", "SK", "IT", "ES", "SA", "FR"};

// A quoted literal at `pos` (after spaces); advances past it.
std::optional<std::string> quoted(const std::string& code, size_t& pos) {
    while (pos < code.size() && std::isspace(static_cast<unsigned char>(code[pos]))) ++pos;
    if (pos >= code.size() || code[pos] != '"') return std::nullopt;
    const size_t close = code.find('"', pos + 1);
    if (close == std::string::npos) return std::nullopt;
    std::string text = code.substr(pos + 1, close - pos - 1);
    pos = close + 1;
    return text;
}

// Every txt("Section", "key") and dajTxt("Section", "key") in the program's sources.
std::set<std::pair<std::string, std::string>> keysAskedForBySources() {
    std::set<std::pair<std::string, std::string>> keys;
    for (const char* folder : {"src", "ui", "cli", "sim"}) {
        const auto root = std::filesystem::path(KORVANE_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(root)) continue;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
            const auto ext = e.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string code = test::readFile(e.path());
            for (size_t at = code.find("xt("); at != std::string::npos;
                 at = code.find("xt(", at + 3)) {
                const bool call =
                    (at >= 1 && code[at - 1] == 't' &&
                     (at < 2 || !std::isalnum(static_cast<unsigned char>(code[at - 2])))) ||
                    (at >= 4 && code.compare(at - 4, 4, "dajT") == 0);
                if (!call) continue;
                size_t pos = at + 3;
                auto section = quoted(code, pos);
                if (!section) continue;
                while (pos < code.size() && std::isspace(static_cast<unsigned char>(code[pos])))
                    ++pos;
                if (pos >= code.size() || code[pos] != ',') continue;
                ++pos;
                if (auto key = quoted(code, pos)) keys.emplace(*section, *key);
            }
        }
    }
    return keys;
}

// The section/key list of every text the program's description quotes.
std::set<std::pair<std::string, std::string>> listedKeys() {
    std::set<std::pair<std::string, std::string>> keys;
    std::ifstream in(std::filesystem::path(KORVANE_SOURCE_DIR) / "lang" / "keys.txt");
    for (std::string line; std::getline(in, line);) {
        auto slash = line.find('/');
        if (slash != std::string::npos) keys.emplace(line.substr(0, slash), line.substr(slash + 1));
    }
    return keys;
}

} // namespace

TEST(LanguageFiles, EachLoadsAndHoldsEveryKeyTheProgramUses) {
    const auto used = keysAskedForBySources();
    const auto listed = listedKeys();
    ASSERT_GT(used.size(), 10u);
    ASSERT_GT(listed.size(), 200u);
    for (const char* language : languages) {
        test::RecordingUserInterface ui;
        test::resetState(ui);
        test::loadTexts(language);
        ASSERT_TRUE(texts->langOk) << language;
        EXPECT_EQ(texts->fileName.filename(), std::string("Korvane3D_") + language + ".xml");
        for (const auto& [section, key] : used)
            EXPECT_NE(texts->dajTxt(section, key), "error")
                << language << ": " << section << "/" << key;
        for (const auto& [section, key] : listed) {
            if (section == "Operations" || section == "Measures") continue;
            EXPECT_NE(texts->dajTxt(section, key), "error")
                << language << ": " << section << "/" << key;
        }

        texts->loadOperationTypes();
        ASSERT_EQ(operationTypes.size(), 8u) << language;
        for (int id = 0; id < 8; ++id) {
            EXPECT_EQ(operationTypes[static_cast<size_t>(id)].id, id) << language;
            EXPECT_FALSE(operationTypes[static_cast<size_t>(id)].str.empty()) << language;
        }
        texts->loadUnits();
        for (const auto& unit : unitTable) {
            EXPECT_FALSE(unit.skrot.empty()) << language;
            EXPECT_FALSE(unit.opis.empty()) << language;
        }
        EXPECT_TRUE(ui.messages.empty()) << language;
    }
}
