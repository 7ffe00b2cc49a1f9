#include "generation/ProgramImport.h"

#include "foundation/OperationTypes.h"
#include "output/DaneWyjsciowe.h"
#include "output/ProgramFeedsFile.h"
#include "platform/AtomicFile.h"


namespace korvane {

GCodeProgram importGCodeProgram(const std::filesystem::path& program,
                                const std::filesystem::path& outputFile) {
    GCodeProgram read = readGCodeFile(program);
    if (read.figures.empty()) return read;
    const std::string text = outputFileText(opLayeredFinishing, read.figures);
    // The feeds first: an output file that fails to be written leaves a feeds
    // file that matches nothing.
    writeFeedsFile(feedsFilePath(outputFile), read.feeds, text);
    if (!writeFileAtomically(outputFile, text))
        throw std::runtime_error("cannot write " + outputFile.string());
    return read;
}

} // namespace korvane
