#include "foundation/IniFile.h"

#include "foundation/NumberText.h"
#include "foundation/TextCompare.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace korvane {

namespace {

std::string readFileBytes(const std::filesystem::path& path) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > IniFile::maxFileSize) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

} // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    const std::string text = fromFileText(readFileBytes(path_));
    sections_.push_back(Section{});
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view trimmed = trimSpaces(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            trimmed.remove_prefix(1);
            size_t close = trimmed.find(']');
            sections_.push_back(Section{std::string(trimSpaces(trimmed.substr(0, close))), {}});
            continue;
        }
        size_t eq = line.find('=');
        Line l;
        if (eq != std::string_view::npos && !trimSpaces(line.substr(0, eq)).empty()) {
            l.key = std::string(trimSpaces(line.substr(0, eq)));
            l.value = std::string(trimSpaces(line.substr(eq + 1)));
        } else {
            l.raw = std::string(line);
        }
        sections_.back().lines.push_back(std::move(l));
    }
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    for (size_t i = 1; i < sections_.size(); ++i)
        if (sameText(sections_[i].name, name)) return &sections_[i];
    return nullptr;
}

IniFile::Section* IniFile::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

const IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    for (const Line& l : s->lines)
        if (!l.key.empty() && sameText(l.key, key)) return &l;
    return nullptr;
}

bool IniFile::sectionExists(std::string_view section) const {
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(std::string_view section, std::string_view key) const {
    return findLine(section, key) != nullptr;
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> names;
    for (size_t i = 1; i < sections_.size(); ++i) names.push_back(sections_[i].name);
    return names;
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.empty()) names.push_back(l.key);
    return names;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Line* l = findLine(section, key);
    if (!l) return std::string(fallback);
    std::string_view v = l->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

long long IniFile::readInteger(std::string_view section, std::string_view key,
                               long long fallback) const {
    const Line* l = findLine(section, key);
    if (!l) return fallback;
    return parseInteger(readString(section, key, "")).value_or(fallback);
}

double IniFile::readFloat(std::string_view section, std::string_view key, double fallback) const {
    const Line* l = findLine(section, key);
    if (!l) return fallback;
    return parseReal(readString(section, key, "")).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key,
                          std::string_view rawValue) {
    // A line break inside a value would end the line and turn the rest into
    // lines of their own (possibly keys): it is written as a space.
    std::string value(rawValue);
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    Section* s = findSection(section);
    if (!s) {
        Section& last = sections_.back();
        const bool fileEmpty = sections_.size() == 1 && last.lines.empty();
        if (!fileEmpty && !(last.lines.size() && last.lines.back().key.empty() &&
                            trimSpaces(last.lines.back().raw).empty()))
            last.lines.push_back(Line{});
        sections_.push_back(Section{std::string(section), {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (!l.key.empty() && sameText(l.key, key)) {
            l.value = std::string(value);
            return;
        }
    // A new key goes after the section's last key, before trailing empty lines.
    auto at = s->lines.end();
    while (at != s->lines.begin() && std::prev(at)->key.empty() &&
           trimSpaces(std::prev(at)->raw).empty())
        --at;
    s->lines.insert(at, Line{std::string(key), std::string(value), {}});
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long long value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeFloat(std::string_view section, std::string_view key, long double value) {
    writeString(section, key, formatReal(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(std::string_view section) {
    for (size_t i = 1; i < sections_.size();)
        if (sameText(sections_[i].name, section))
            sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
}

std::string IniFile::text() const {
    std::string utf8;
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0) utf8 += "[" + sections_[i].name + "]\r\n";
        for (const Line& l : sections_[i].lines) {
            if (l.key.empty())
                utf8 += l.raw;
            else
                utf8 += l.key + "=" + l.value;
            utf8 += "\r\n";
        }
    }
    return toFileText(utf8);
}

bool IniFile::save() const {
    return writeFileAtomically(path_, text());
}

} // namespace korvane
