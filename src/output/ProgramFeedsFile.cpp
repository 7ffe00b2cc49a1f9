#include "output/ProgramFeedsFile.h"

#include "foundation/NumberText.h"
#include "foundation/OperationTypes.h"
#include "output/OutputNumber.h"
#include "platform/AtomicFile.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace korvane {

namespace {

constexpr std::string_view heading = "Korvane3D program feeds";

// The whole file; none when it cannot be read.
std::optional<std::string> fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

// The hash of a file read a part at a time; none when it cannot be read.
std::optional<std::string> fileHash(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    OutputHash hash;
    std::vector<char> buffer(1 << 20);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hash.add({buffer.data(), static_cast<std::size_t>(in.gcount())});
    }
    if (in.bad()) return std::nullopt;
    return hash.text();
}

// The numbers of a line separated by single spaces; none when one is not a number.
std::optional<std::vector<double>> numbers(std::string_view text, std::size_t count) {
    std::vector<double> values;
    while (values.size() < count) {
        const std::size_t space = text.find(' ');
        const auto v = parseReal(text.substr(0, space));
        if (!v) return std::nullopt;
        values.push_back(*v);
        if (space == std::string_view::npos) break;
        text.remove_prefix(space + 1);
    }
    if (values.size() != count) return std::nullopt;
    return values;
}

} // namespace

void OutputHash::add(std::string_view bytes) {
    for (const char c : bytes) {
        h_ ^= static_cast<unsigned char>(c);
        h_ *= 1099511628211ull;
    }
}

std::string OutputHash::text() const {
    char buffer[17];
    const auto r = std::to_chars(buffer, buffer + 16, h_, 16);
    const std::string digits(buffer, r.ptr);
    return std::string(16 - digits.size(), '0') + digits;
}

std::filesystem::path feedsFilePath(const std::filesystem::path& outputFile) {
    std::filesystem::path file = outputFile;
    file.replace_extension(feedsExtension);
    return file;
}

std::string feedsFileText(const ProgramFeeds& feeds, const OutputHash& output) {
    std::string out(heading);
    out += "\r\nOutput=" + output.text() + "\r\n";
    for (const FigureFeeds& f : feeds.figures) {
        out += "Figure=";
        appendOutputNumber(out, f.approachZ);
        out += ' ';
        appendOutputNumber(out, f.plungeFeed);
        out += ' ';
        appendOutputNumber(out, f.spindle);
        out += ' ' + std::to_string(f.feeds.size()) + "\r\n";
        for (std::size_t i = 1; i < f.feeds.size();) {
            std::size_t j = i;
            while (j < f.feeds.size() && f.feeds[j] == f.feeds[i]) ++j;
            appendOutputNumber(out, f.feeds[i]);
            out += ' ' + std::to_string(j - i) + "\r\n";
            i = j;
        }
    }
    return out;
}

void writeFeedsFile(const std::filesystem::path& file, const ProgramFeeds& feeds,
                    const OutputHash& output) {
    if (!writeFileAtomically(file, feedsFileText(feeds, output)))
        throw std::runtime_error("cannot write " + file.string());
}

std::optional<ProgramFeeds> readFeedsFile(const std::filesystem::path& outputFile) {
    std::error_code ec;
    const std::filesystem::path file = feedsFilePath(outputFile);
    if (!std::filesystem::is_regular_file(file, ec) ||
        !std::filesystem::is_regular_file(outputFile, ec))
        return std::nullopt;
    const auto text = fileText(file);
    const auto output = fileHash(outputFile);
    if (!text || !output) return std::nullopt;
    std::istringstream in(*text);
    std::string line;
    auto next = [&] {
        if (!std::getline(in, line)) return false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    };
    if (!next() || line != heading) return std::nullopt;
    if (!next() || line != "Output=" + *output) return std::nullopt;
    ProgramFeeds feeds;
    while (next()) {
        if (line.rfind("Figure=", 0) != 0) return std::nullopt;
        const auto head = numbers(std::string_view(line).substr(7), 4);
        if (!head || (*head)[3] < 0 || (*head)[3] > 1e9) return std::nullopt;
        FigureFeeds f;
        f.approachZ = (*head)[0];
        f.plungeFeed = (*head)[1];
        f.spindle = (*head)[2];
        const std::size_t points = static_cast<std::size_t>((*head)[3]);
        f.feeds.assign(points == 0 ? 0 : 1, 0.0f);
        while (f.feeds.size() < points) {
            if (!next()) return std::nullopt;
            const auto run = numbers(line, 2);
            if (!run || (*run)[1] < 1 || (*run)[1] > double(points - f.feeds.size()))
                return std::nullopt;
            f.feeds.insert(f.feeds.end(), static_cast<std::size_t>((*run)[1]),
                           static_cast<float>((*run)[0]));
        }
        feeds.figures.push_back(std::move(f));
    }
    return feeds;
}

TOperacjaDane programOperation(const std::string& name, const ProgramFeeds& feeds) {
    TOperacjaDane op;
    op.nazwa = name;
    op.idTyp = opLayeredFinishing;
    op.warstwaGrubosc = 0;
    // Rapids at the machine's own rapid speed.
    op.szybkoscPrzestawcza = 0;
    for (const FigureFeeds& f : feeds.figures) {
        if (op.szybkosc == 0)
            for (std::size_t i = 1; i < f.feeds.size() && op.szybkosc == 0; ++i)
                op.szybkosc = f.feeds[i];
        if (op.posuwWiercenia == 0 && f.plungeFeed > 0) op.posuwWiercenia = f.plungeFeed;
    }
    if (op.posuwWiercenia == 0) op.posuwWiercenia = op.szybkosc;
    if (!feeds.figures.empty()) op.obroty = feeds.figures.front().spindle;
    return op;
}

} // namespace korvane
