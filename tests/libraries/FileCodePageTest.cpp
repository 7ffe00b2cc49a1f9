// Tool, operation and project files keep every character: in the interface
// language's code page when the text fits it, byte for byte as always, else in
// UTF-8 after a byte-order mark. For a windows-1252 language and for Polish.
#include "TestSupport.h"

#include "foundation/State.h"
#include "libraries/Frezy.h"
#include "libraries/LibraryState.h"
#include "libraries/Operacje.h"
#include "libraries/Projekt.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct Language {
    const char* code;
    // A name whose characters are all in the language's code page, the same in
    // that code page, and in another case.
    const char* fitting;
    const char* fittingBytes;
    const char* fittingOtherCase;
    // A name with a character the code page lacks, and in another case.
    const char* missing;
    const char* missingOtherCase;
};

const Language latin1{"US",
                      "Frais\xC3\xA9", // Fraisé
                      "Frais\xE9",     // windows-1252
                      "FRAIS\xC3\x89", // FRAISÉ
                      "\xC5\x81uk",    // Łuk
                      "\xC5\x82UK"};   // łUK
const Language polish{"PL",
                      "\xC5\x81uk",   // Łuk
                      "\xA3uk",       // windows-1250
                      "\xC5\x82UK",   // łUK
                      "Ni\xC3\xB1o",  // Niño: no ñ in windows-1250
                      "NI\xC3\x91O"}; // NIÑO

void PrintTo(const Language& language, std::ostream* out) {
    *out << language.code;
}

const std::string mark = "\xEF\xBB\xBF";

std::string crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

class FileCodePage : public ::testing::TestWithParam<Language> {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts(GetParam().code);
        dataFolder = data.path();
        std::filesystem::create_directories(toolsFolder());
        std::filesystem::create_directories(operationsFolder());
    }
    void TearDown() override { operationLibrary.reset(); }

    const Language& language() const { return GetParam(); }
    // The name's bytes in a file: the code page for the fitting name, else the
    // mark and UTF-8.
    std::string fileBytes(bool fitting) const {
        return fitting ? language().fittingBytes : mark + language().missing;
    }
    std::string name(bool fitting) const {
        return fitting ? language().fitting : language().missing;
    }

    test::RecordingUserInterface ui;
    test::TempDir data;
};

} // namespace

TEST_P(FileCodePage, ToolNamesRoundTripAndTheLibraryFindsThemByName) {
    for (bool fitting : {true, false}) {
        const TFrezDane tool{"{1D}", name(fitting), toolBallNose, 2, 0, 6, 2, 60};
        ASSERT_TRUE(saveToolFile(toolFile(tool.nazwa), tool));
        // The file is named after the tool, in UTF-8 like every file name.
        const auto file = toolsFolder() / (name(fitting) + ".tol");
        const std::string bytes = test::readFile(file);
        ASSERT_EQ(bytes.size(), 148u);
        const std::string field = fileBytes(fitting);
        EXPECT_EQ(bytes.substr(39, 1 + field.size()),
                  std::string(1, static_cast<char>(field.size())) + field);
        EXPECT_EQ(bytes[40 + field.size()], '\0');
    }
    TFrezy lib;
    ASSERT_EQ(lib.Lista.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
    for (const auto& t : lib.Lista) {
        EXPECT_TRUE(t->nazwa == language().fitting || t->nazwa == language().missing) << t->nazwa;
        EXPECT_EQ(toolFile(t->nazwa), toolsFolder() / (t->nazwa + ".tol"));
        EXPECT_TRUE(std::filesystem::exists(toolFile(t->nazwa)));
    }
    EXPECT_NE(lib.Lista[0]->nazwa, lib.Lista[1]->nazwa);
    EXPECT_TRUE(lib.JestTakiFrez(language().fittingOtherCase, -1));
    EXPECT_TRUE(lib.JestTakiFrez(language().missingOtherCase, -1));
}

TEST_P(FileCodePage, OperationFilesRoundTrip) {
    for (bool fitting : {true, false}) {
        TOperacjaDane o;
        o.nazwa = name(fitting);
        o.idTyp = opOutline;
        o.opis = name(fitting) + " 2";
        ASSERT_TRUE(saveOperationFile(operationFile(o.nazwa), o));
        const std::string n = fileBytes(fitting);
        const std::string bare = fitting ? n : n.substr(3);
        EXPECT_EQ(test::readFile(operationsFolder() / (name(fitting) + ".opr")),
                  (fitting ? "" : mark) +
                      crlf({"[Operacja]", "nazwa=" + bare, "idTyp=7", "automatycznyPoziom=1",
                            "poziomObrysu=100", "opis=" + bare + " 2"}));
    }
    TOperacje lib;
    ASSERT_EQ(lib.Lista.size(), 2u);
    for (bool fitting : {true, false}) {
        TOperacjaDane found;
        ASSERT_TRUE(lib.PobierzDaneOperacjiZlisty(
            fitting ? language().fittingOtherCase : language().missingOtherCase, found));
        EXPECT_EQ(found.nazwa, name(fitting));
        TOperacjaDane read;
        ASSERT_TRUE(TOperacje::PobierzDaneOperacjiZpliku(operationFile(name(fitting)), read));
        EXPECT_EQ(read.opis, name(fitting) + " 2");
    }
}

TEST_P(FileCodePage, ProjectFindsItsModelAndOperationsAgain) {
    for (bool fitting : {true, false}) {
        // The model in a folder named with the character, and an operation of that name.
        const auto folder = data / name(fitting);
        std::filesystem::create_directories(folder);
        test::writeFile(folder / "part.stl", "solid part\nendsolid part\n");
        TOperacjaDane o;
        o.nazwa = name(fitting);
        o.idTyp = opOutline;
        ASSERT_TRUE(saveOperationFile(operationFile(o.nazwa), o));
        operationLibrary = std::make_unique<TOperacje>();

        TProjekt p;
        p.d.plikModelu = (folder / "part.stl").string();
        p.DodajDoProcesu(name(fitting));
        const auto file = data / "Part.prj";
        ASSERT_TRUE(p.Zapisz(file));
        const std::string n = fileBytes(fitting);
        const std::string bare = fitting ? n : n.substr(3);
        EXPECT_EQ(
            test::readFile(file),
            (fitting ? "" : mark) +
                crlf({"[Model]", "plikModelu=" + data.path().string() + "/" + bare + "/part.stl",
                      "", "[Material]", "materialZrodlo=0", "materialRozmiarX=0",
                      "materialRozmiarY=0", "materialRozmiarZ=0", "materialGruboscPodkladki=0", "",
                      "[Proces]", "proces0=" + bare}));

        TProjekt q;
        ASSERT_TRUE(q.PobierzZPliku(file));
        EXPECT_EQ(q.d.plikModelu, p.d.plikModelu);
        EXPECT_TRUE(std::filesystem::exists(q.d.plikModelu));
        EXPECT_EQ(q.d.lProcesu, std::vector<std::string>{name(fitting)});
        std::filesystem::remove(file);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, FileCodePage, ::testing::Values(latin1, polish),
                         [](const auto& info) { return std::string(info.param.code); });
