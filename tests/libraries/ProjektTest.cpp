// The project file: keys by material source and model kind, other sections
// kept, the process list, unsaved changes.
#include "TestSupport.h"

#include "foundation/Interfejs.h"
#include "foundation/State.h"
#include "libraries/LibraryState.h"
#include "libraries/Projekt.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class ProjectFile : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetState(ui, {});
        test::loadTexts("US");
        dataFolder = data.path();
        std::filesystem::create_directories(operationsFolder());
        ASSERT_TRUE(writeDefaultOperations(operationsFolder()));
        operationLibrary = std::make_unique<TOperacje>();
    }
    void TearDown() override { operationLibrary.reset(); }

    test::RecordingUserInterface ui;
    test::TempDir data;
    std::filesystem::path file = data / "Wing.prj";
};

std::string crlf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

} // namespace

TEST_F(ProjectFile, BlockMaterialAndBitmapModelAreWrittenExactly) {
    TProjekt p;
    p.d.plikModelu = "/models/relief.JPG";
    p.d.BMPwysBialego = 2.5L;
    p.d.BMPwysCzarnego = 0;
    p.d.BMPx = 120;
    p.d.BMPy = 80.25L;
    p.d.material.rozmX = 100;
    p.d.material.rozmY = 50.5L;
    p.d.material.rozmZ = 20;
    p.d.material.gruboscPowloki = 7; // not written for source 0
    p.d.material.gruboscPodkladki = 0.1L;
    p.DodajDoProcesu("Roughing");
    p.DodajDoProcesu("Lining");
    p.DodajDoProcesu("ROUGHING"); // already there
    ASSERT_TRUE(p.Zapisz(file));
    EXPECT_EQ(test::readFile(file),
              crlf({"[Model]", "plikModelu=/models/relief.JPG", "BMPwysokoscBialego=2.5",
                    "BMPwysokoscCzarnego=0", "BMPx=120", "BMPy=80.25", "", "[Material]",
                    "materialZrodlo=0", "materialRozmiarX=100", "materialRozmiarY=50.5",
                    "materialRozmiarZ=20", "materialGruboscPodkladki=0.1", "", "[Proces]",
                    "proces0=Roughing", "proces1=Lining"}));
    EXPECT_FALSE(p.DoZapisu());

    TProjekt q;
    ASSERT_TRUE(q.PobierzZPliku(file));
    EXPECT_EQ(q.d.plikModelu, "/models/relief.JPG");
    EXPECT_EQ(q.d.BMPy, 80.25L);
    EXPECT_EQ(q.d.material.rozmY, 50.5L);
    EXPECT_EQ(q.d.material.gruboscPowloki, 0);
    EXPECT_EQ(q.d.material.gruboscPodkladki, static_cast<long double>(0.1));
    EXPECT_EQ(q.d.lProcesu, (std::vector<std::string>{"Roughing", "Lining"}));
    EXPECT_FALSE(q.DoZapisu());
}

TEST_F(ProjectFile, CoatingAndStockModelWriteOnlyTheirKeys) {
    TProjekt p;
    p.d.plikModelu = "/m/part.stl";
    p.d.BMPx = 5; // not written for a 3D model
    p.d.material.zrodlo = materialCoating;
    p.d.material.rozmX = 10;
    p.d.material.gruboscPowloki = 1.5L;
    p.d.material.gruboscPodkladki = 2;
    ASSERT_TRUE(p.Zapisz(file));
    EXPECT_EQ(test::readFile(file),
              crlf({"[Model]", "plikModelu=/m/part.stl", "", "[Material]", "materialZrodlo=1",
                    "materialGruboscPowloki=1.5", "materialGruboscPodkladki=2"}));
    TProjekt q;
    q.d.BMPx = 9; // kept: the bitmap keys are read only for a picture model
    ASSERT_TRUE(q.PobierzZPliku(file));
    EXPECT_EQ(q.d.material.zrodlo, materialCoating);
    EXPECT_EQ(q.d.material.rozmX, 0);
    EXPECT_EQ(q.d.BMPx, 9);
    EXPECT_TRUE(q.d.lProcesu.empty());

    p.d.material.zrodlo = materialFile;
    p.d.material.plikMaterialu = "/m/stock.stl";
    ASSERT_TRUE(p.Zapisz(file));
    EXPECT_EQ(test::readFile(file),
              crlf({"[Model]", "plikModelu=/m/part.stl", "", "[Material]", "materialZrodlo=2",
                    "plikMaterialu=/m/stock.stl", "materialGruboscPodkladki=2"}));
}

TEST_F(ProjectFile, SavingKeepsOtherSectionsAndReplacesItsOwn) {
    test::writeFile(file, crlf({"[Model]", "plikModelu=old", "stale=1", "", "[Notes]", "who=me", "",
                                "[Proces]", "proces0=Gone", "proces1=Gone2"}));
    TProjekt p;
    p.d.plikModelu = "new";
    ASSERT_TRUE(p.Zapisz(file));
    EXPECT_EQ(test::readFile(file),
              crlf({"[Notes]", "who=me", "", "[Model]", "plikModelu=new", "", "[Material]",
                    "materialZrodlo=0", "materialRozmiarX=0", "materialRozmiarY=0",
                    "materialRozmiarZ=0", "materialGruboscPodkladki=0"}));
    EXPECT_FALSE(p.Zapisz(""));
    EXPECT_FALSE(p.Zapisz(data / "no" / "such" / "folder.prj"));
}

TEST_F(ProjectFile, UnsavedChangesFollowTheProcessOrder) {
    TProjekt p;
    p.DodajDoProcesu("Roughing");
    p.DodajDoProcesu("Layering");
    p.DodajDoProcesu("Lining");
    ASSERT_TRUE(p.Zapisz(file));
    ASSERT_TRUE(p.PobierzZPliku(file));
    EXPECT_FALSE(p.DoZapisu());
    p.DodajDoProcesu("Mixed");
    EXPECT_TRUE(p.DoZapisu());
    p.UsunZProcesu("MIXED");
    EXPECT_FALSE(p.DoZapisu());
    // Unchecking and checking again an operation that is not last moves it.
    p.UsunZProcesu("Layering");
    p.DodajDoProcesu("Layering");
    EXPECT_EQ(p.d.lProcesu, (std::vector<std::string>{"Roughing", "Lining", "Layering"}));
    EXPECT_TRUE(p.DoZapisu());
    p.Nowy();
    EXPECT_FALSE(p.DoZapisu());
    p.d.material.gruboscPodkladki = 1;
    EXPECT_TRUE(p.DoZapisu());

    // Names of the process match ignoring case in every script.
    p.DodajDoProcesu("\xC5\x81uk");               // Łuk
    p.DodajDoProcesu("\xC5\x82UK");               // łUK: the same operation
    p.DodajDoProcesu("\xD0\xB6\xD1\x83\xD0\xBA"); // жук
    EXPECT_EQ(p.d.lProcesu, (std::vector<std::string>{"\xC5\x81uk", "\xD0\xB6\xD1\x83\xD0\xBA"}));
    p.UsunZProcesu("\xD0\x96\xD0\xA3\xD0\x9A"); // ЖУК
    EXPECT_EQ(p.d.lProcesu, std::vector<std::string>{"\xC5\x81uk"});
}

TEST_F(ProjectFile, ReadingRejectsWhatIsNotAProjectAndDropsUnknownOperations) {
    TProjekt p;
    p.d.plikModelu = "unsaved";
    EXPECT_FALSE(p.PobierzZPliku(data / "missing.prj"));
    test::writeFile(file, crlf({"[Proces]", "proces0=Roughing"}));
    EXPECT_FALSE(p.PobierzZPliku(file));
    test::writeFile(file, crlf({"[Material]", "materialZrodlo=300"}));
    EXPECT_FALSE(p.PobierzZPliku(file));
    std::string junk = "[Model]\r\nplikModelu=";
    for (int i = 0; i < 200000; ++i) junk += static_cast<char>(1 + (i * 31) % 255);
    test::writeFile(data / "junk.prj", junk);
    EXPECT_TRUE(p.PobierzZPliku(data / "junk.prj"));
    p.d.plikModelu = "unsaved";
    // A failed read changes nothing and keeps the changes unsaved.
    EXPECT_FALSE(p.PobierzZPliku(file));
    EXPECT_EQ(p.d.plikModelu, "unsaved");
    EXPECT_TRUE(p.DoZapisu());

    test::writeFile(
        file, crlf({"[Material]", "materialZrodlo=1", "", "[Proces]", "proces0=roughing",
                    "proces1=Deleted", "proces2=ROUGHING", "proces3=Mixed", "proces5=Lining"}));
    ASSERT_TRUE(p.PobierzZPliku(file));
    EXPECT_EQ(p.d.lProcesu, (std::vector<std::string>{"roughing", "Mixed"}));
    EXPECT_EQ(p.d.plikModelu, "");
}
