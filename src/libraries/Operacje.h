#pragma once

#include "foundation/OperationTypes.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The operation library: one INI file per operation in dataFolder/Operations,
// loaded into a sorted list.
namespace korvane {

// One operation; a fresh record holds the values a file without any key gives.
struct TOperacjaDane {
    std::string nazwa; // name, unique ignoring case; file and output file name
    int idTyp = opUnknown;
    std::string plikPlt;   // plot file whose lines are machined (type 4)
    std::string narzedzie; // id of the tool, at most 38 characters
    double warstwaSzer = 0;
    double warstwaGrubosc = 0;
    bool warstwyGrupowanie = true;
    double kat = 0; // hatching angle, degrees
    double zostawDoNastOper = 0;
    double szybkosc = 0;             // working feed, mm/min
    double szybkoscPrzestawcza = 20; // rapid speed, mm/min
    double posuwWiercenia = 0;       // plunge feed, mm/min
    double obroty = 3000;            // spindle speed, rpm
    double granicaZdolna = 0;
    double granicaZgorna = 0;
    bool polaczoneKonce = true;
    bool miekkieWejscie = true;
    bool ObliczeniaPrecyzyjne = false;
    double tempRobocza = 0;
    double zuzycieMaterialu = 0;
    int iloscObrysow = 0;
    bool automatycznyPoziom = true;
    double poziomObrysu = 100;
    std::string opis;
};

inline constexpr const char* operationExtension = "opr";
inline constexpr const char* operationSection = "Operacja";

// dataFolder/Operations and the file of an operation by name there.
std::filesystem::path operationsFolder();
std::filesystem::path operationFile(const std::string& name);

// The file's text as written: the section "Operacja" with the keys of the
// operation's type, in their fixed order.
std::string operationFileText(const TOperacjaDane& operation);

// Writes the section "Operacja" (other sections of an existing file stay);
// false on a file error.
bool saveOperationFile(const std::filesystem::path& file, const TOperacjaDane& operation);

// The six default operations, named in the interface language, into `folder`;
// false when one of them could not be written.
bool writeDefaultOperations(const std::filesystem::path& folder);

// The ordering of the library: type, then larger width, then larger depth,
// then name ignoring case.
bool operationBefore(const TOperacjaDane& a, const TOperacjaDane& b);

class TOperacje {
  public:
    // Loads every operation file of the Operations folder.
    TOperacje();

    void LadujListe();
    // Reads one file; false when it does not exist or has no section "Operacja".
    // The spindle speed is clamped to the machine's range.
    static bool PobierzDaneOperacjiZpliku(const std::filesystem::path& file,
                                          TOperacjaDane& operation);
    void Sortuj();
    bool JestTakaOperacja(std::string_view name, int index) const;
    // Copies nazwa, idTyp, warstwaSzer and warstwaGrubosc of the first operation
    // of this name (ignoring case); false when none.
    bool PobierzDaneOperacjiZlisty(std::string_view name, TOperacjaDane& operation) const;
    void UsunOperacjeZListy(int index);
    void UsunWszystkieElListy();

    std::vector<std::unique_ptr<TOperacjaDane>> Lista;
};

} // namespace korvane
