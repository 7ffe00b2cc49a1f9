#include "generation/ProgramImport.h"

#include "foundation/OperationTypes.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"

#include <fstream>
#include <unistd.h>

namespace korvane {

GCodeProgram importGCodeProgram(const std::filesystem::path& program,
                                const std::filesystem::path& outputFile) {
    GCodeProgram read = readGCodeFile(program);
    if (read.figures.empty()) return read;
    // The output file is written a part at a time under a temporary name and
    // hashed as it goes; the feeds file is written before the output file
    // takes its name, so that an output file never stands without its feeds.
    std::filesystem::path temporary = outputFile;
    temporary += ".tmp" + std::to_string(::getpid());
    OutputHash hash;
    try {
        std::ofstream out;
        out.exceptions(std::ios::failbit | std::ios::badbit);
        out.open(temporary, std::ios::binary | std::ios::trunc);
        std::string text = "Operation type=" + std::to_string(opLayeredFinishing) + "\r\n";
        auto flush = [&] {
            hash.add(text);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        };
        for (std::size_t i = 0; i < read.figures.size(); ++i) {
            appendOutputFigure(text, i, *read.figures[i]);
            if (text.size() >= (1u << 20)) flush();
        }
        flush();
        out.close();
        writeFeedsFile(feedsFilePath(outputFile), read.feeds, hash);
        std::filesystem::rename(temporary, outputFile);
    } catch (const std::exception&) {
        std::error_code ec;
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error("cannot write " + outputFile.string());
    }
    return read;
}

} // namespace korvane
