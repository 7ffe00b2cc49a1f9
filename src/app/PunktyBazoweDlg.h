#pragma once

#include "app/FltEdit.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The base-points dialog's logic: the project zero in X and Y typed in, taken
// from the machine's position, or picked from the named points of "base.txt".
namespace korvane {

// A named point of "base.txt", mm.
struct BasePoint {
    double x = 0, y = 0;
    std::string name;
};

inline constexpr std::size_t basePointNameLength = 28;
// The list's one line before "base.txt" exists.
inline constexpr const char* defaultBasePointLine = "X=1000.00   Y=1000.00  Punkt taki sobie";

// "X=", x right-aligned in 9 characters, "   Y=", y in 9, " ", the name (cut
// to 28 characters); two decimals, "." as the separator.
std::string basePointLine(double x, double y, const std::string& name);
// A line back: the 9 characters after "X=" and after "Y=" as numbers ("." or
// ","), the name after the Y field without its leading blanks. nullopt when a
// number cannot be read.
std::optional<BasePoint> parseBasePointLine(const std::string& line);

// "base.txt" in the data folder.
std::filesystem::path basePointsFile();
// Its lines; the default line when the file does not exist.
std::vector<std::string> loadBasePoints(const std::filesystem::path& file);
// Writes the lines as a whole, each ended by CR LF; false on a file error.
bool saveBasePoints(const std::filesystem::path& file, const std::vector<std::string>& lines);

class BasePointsView {
  public:
    virtual ~BasePointsView() = default;
    // Shows the list, the selection, the edits and the enabled buttons.
    virtual void showBasePoints() = 0;
    virtual void closeDialog(bool accepted) = 0;
    // Focuses the edit of X, or of Y when `y`.
    virtual void focusBasePointField(bool y) = 0;
};

class TPunkty_bazowe {
  public:
    explicit TPunkty_bazowe(BasePointsView& view);

    void FormCreate();   // the list from "base.txt", the edits' maxima
    void FormActivate(); // the edits show the current project zero
    void FormDestroy();  // the list back to "base.txt"

    void wpaClick(); // the machine's position, then OK
    void listaClick(int index);
    void listaDblClick(int index);
    void PrzepiszClick();
    void DodajClick();
    void usunClick();
    void ustawClick();

    FltField pbx, pby;
    std::string komentarz;
    std::vector<std::string> lista;
    int selected = -1;
    bool przepiszEnabled = false, usunEnabled = false;

  private:
    // The typed point, or its refusal with the field focused.
    bool pointValid();

    BasePointsView& view_;
};

// The chosen point becomes the project zero: pos0.x, pos0.y and "U".
void setBasePoint(double x, double y);

} // namespace korvane
