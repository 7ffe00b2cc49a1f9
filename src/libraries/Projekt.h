#pragma once

#include "foundation/Records.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The project: model file, material block and the operations chosen for
// generation, kept in an INI file with the extension "prj".
namespace korvane {

struct TProjektDane {
    std::string plikModelu;        // RAW, DXF, STL, BMP or JPG file
    long double BMPwysBialego = 0; // bitmap relief: height of white, mm
    long double BMPwysCzarnego = 0;
    long double BMPx = 0; // bitmap relief: width in X, mm
    long double BMPy = 0; // bitmap relief: length in Y, mm
    TMaterial material;
    std::vector<std::string> lProcesu; // checked operations, in checking order
};

inline constexpr const char* projectExtension = "prj";

// True for a model file that is a picture (".BMP", ".JPG", ".JPEG", any case).
bool isBitmapModel(const std::string& modelFile);

// What makes an existing file unreadable as a project ("holds neither a
// [Model] nor a [Material] section", ...); none for a project file, or for no
// file at all.
std::optional<std::string> projectFileProblem(const std::filesystem::path& file);

class TProjekt {
  public:
    TProjekt();

    // Empties the project and takes the copy.
    void Nowy();
    // Reads a project file; false, with the project unchanged, when the file is
    // missing, holds neither "Model" nor "Material", or a bad material source.
    // Operations of the process that are not in the operation library are dropped.
    bool PobierzZPliku(const std::filesystem::path& file);
    // Rewrites the sections "Model", "Material" and "Proces" (other sections of
    // the file stay); false for an empty name or a file error.
    bool Zapisz(const std::filesystem::path& file);
    // The project has changed since it was created, read or written.
    bool DoZapisu() const;
    void DodajDoProcesu(const std::string& operationName);
    void UsunZProcesu(const std::string& operationName);

    TProjektDane d;
    TProjektDane kopia; // as last created, read or written

  private:
    void takeCopy() { kopia = d; }
};

} // namespace korvane
