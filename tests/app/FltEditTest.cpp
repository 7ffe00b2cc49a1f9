// The numeric edit fields' rules without a window: typed keys, reading and
// showing in a unit, typed text kept on leaving, the spin step, the validity
// messages in the interface language, the keypad's entry and its place on the
// screen, and hostile texts.
#include "TestSupport.h"

#include "app/FltEdit.h"
#include "foundation/Units.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// Types `keys` into `field` as the widget does; returns the beeps.
int type(FltField& field, const std::string& keys, bool editable = true) {
    int beeps = 0;
    for (char c : keys) {
        const KeyVerdict v = field.key(c, false, editable);
        if (v.accepted && static_cast<unsigned char>(c) >= 0x20)
            field.setText(field.text() + v.character);
        else if (!v.accepted)
            ++beeps;
    }
    return beeps;
}

FltField millimetres(double min, double max) {
    FltField f(true);
    f.setFormat(FloatFormat::fixed, 15, 3);
    f.setLimits(min, max);
    f.SetNzwPola("d1");
    return f;
}

} // namespace

TEST(FltEdit, InchFieldShowingOneReadsTwentyFivePointFourMillimetres) {
    FltField f = millimetres(0, 0);
    f.changeunit(unitInch);
    f.setText("1.000");
    EXPECT_DOUBLE_EQ(f.GetValue(), 25.4);
    f.SetValue(50.8);
    EXPECT_EQ(f.text(), "2.000");
    f.changeunit(unitFoot); // four decimals in feet
    EXPECT_EQ(f.text(), "0.1667");
    f.changeunit(unitMillimetre);
    EXPECT_EQ(f.text(), "50.800");
}

TEST(FltEdit, ShownRoundingDoesNotChangeAnUntouchedValue) {
    FltField f = millimetres(0, 0);
    f.changeunit(unitInch);
    f.SetValue(6);
    EXPECT_EQ(f.text(), "0.236");
    EXPECT_DOUBLE_EQ(f.GetValue(), 6); // not 5.9944
    f.setText("0.2360");               // typed by hand: what it says
    EXPECT_DOUBLE_EQ(f.GetValue(), 0.236 * 25.4);
    f.SetValue(-0.0001);
    EXPECT_EQ(f.text(), "0.000"); // no minus before a shown zero
}

TEST(FltEdit, TypedKeys) {
    FltField f;
    EXPECT_EQ(type(f, "12a"), 1);
    EXPECT_EQ(f.text(), "12");
    EXPECT_EQ(type(f, "x,e ;"), 5); // a comma is not the separator
    EXPECT_EQ(f.text(), "12");
    EXPECT_EQ(type(f, "-+.5"), 0);
    EXPECT_EQ(f.text(), "12-+.5");
    // Control characters pass, Enter does not; a read-only field takes only them.
    EXPECT_TRUE(f.key('\b', false, true).accepted);
    EXPECT_FALSE(f.key('\r', false, true).accepted);
    EXPECT_TRUE(f.key('\b', false, false).accepted);
    EXPECT_FALSE(f.key('5', false, false).accepted);
    // The keypad's decimal key gives the separator in a unit field.
    FltField u(true);
    EXPECT_EQ(u.key(',', true, true).character, '.');
    EXPECT_TRUE(u.key(',', true, true).accepted);
    EXPECT_FALSE(u.key(',', false, true).accepted);
    EXPECT_FALSE(f.key(',', true, true).accepted);
}

TEST(FltEdit, LeavingKeepsWhatWasTyped) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    test::loadTexts("US");
    // Out of range: the text stays as typed, and stays refused.
    FltField f;
    f.setLimits(0, 100);
    f.SetNzwPola("Feed");
    f.setText("150");
    f.leave();
    EXPECT_EQ(f.text(), "150");
    EXPECT_FALSE(f.WartoscFloatOk());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "In the field  »Feed«  the value is out of the permitted "
                                   "range.\r\n( min= 0.00; max= 100.00 )");
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_TRUE(ui.messages[0].error);

    FltField u = millimetres(0.01, 100);
    for (const char* typed : {"-3", "150", "", "abc", "1.2.3"}) {
        u.setText(typed);
        u.leave();
        EXPECT_EQ(u.text(), typed);
        EXPECT_TRUE(u.floatProblem()) << typed;
    }
    // A readable value within the limits is shown again in the unit's format.
    u.setText("5");
    u.leave();
    EXPECT_EQ(u.text(), "5.000");
    EXPECT_EQ(u.floatProblem(), std::nullopt);

    // A change of unit converts a typed value out of range without limiting it.
    u.setText("-3");
    u.changeunit(unitInch);
    EXPECT_EQ(u.text(), "-0.118");
    EXPECT_TRUE(u.floatProblem());
    u.setText("x");
    u.changeunit(unitMillimetre);
    EXPECT_EQ(u.text(), "x");
}

TEST(FltEdit, ValidityMessagesInTheInterfaceLanguage) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    test::loadTexts("PL");
    FltField f;
    f.SetNzwPola("Outlines");
    f.setLimits(0, 1000);
    f.setText("");
    EXPECT_EQ(f.floatProblem(), "Proszę wypełnić pole  »Outlines«");
    f.setText("  ");
    EXPECT_EQ(f.floatProblem(), "Proszę wypełnić pole  »Outlines«");
    f.setText("2.5");
    EXPECT_EQ(f.floatProblem(), std::nullopt);
    EXPECT_EQ(f.intProblem(), "W polu  »Outlines« wymagana jest liczba całkowita\r\n"
                              "Dopuszczalny zakres (min= 0.00; max= 1,000.00 )");
    f.setText("1001");
    EXPECT_EQ(f.intProblem(), "W polu  »Outlines«  wartość poza dopuszczalnym zakresem.\r\n"
                              "( min= 0.00; max= 1,000.00 )");
    f.setText("x");
    EXPECT_EQ(f.floatProblem(), "W polu  »Outlines«  wartość nie jest liczbą.");
    f.setText("-1");
    EXPECT_FALSE(f.WartoscFloatOk());
    EXPECT_EQ(ui.messages.back().caption, "Błąd");
    FltField free;
    free.SetNzwPola("Z");
    free.setText("-7.5");
    EXPECT_EQ(free.intProblem(), "W polu  »Z« wymagana jest liczba całkowita");
    free.setText("-1e12");
    EXPECT_EQ(free.floatProblem(), std::nullopt);

    test::loadTexts("US");
    f.setText("");
    EXPECT_EQ(f.floatProblem(), "Please fill in the field  »Outlines«");
    f.setText("2.5");
    EXPECT_EQ(f.intProblem(), "In the field  »Outlines« a whole number is required\r\n"
                              "Permitted range (min= 0.00; max= 1,000.00 )");
    f.setText("--1");
    EXPECT_EQ(f.floatProblem(), "In the field  »Outlines«  the value is not a number.");
    f.setText("-1");
    EXPECT_FALSE(f.WartoscFloatOk());
    EXPECT_EQ(ui.messages.back().caption, "Error");

    EXPECT_EQ(formatGrouped(24000), "24,000.00");
    EXPECT_EQ(formatGrouped(-1234.5), "-1,234.50");
    EXPECT_EQ(formatGrouped(1234567.891), "1,234,567.89");
    EXPECT_EQ(formatGrouped(-0.001), "0.00");
    EXPECT_EQ(formatGrouped(999.999), "1,000.00");
    EXPECT_EQ(formatGrouped(1234.5678, 4), "1,234.5678");
}

TEST(FltEdit, RangeOfAUnitFieldInItsUnitRoundedInwards) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    test::loadTexts("US");
    FltField f = millimetres(0.01, 500);
    f.setText("-3");
    EXPECT_EQ(f.floatProblem(), "In the field  »d1«  the value is out of the permitted range.\r\n"
                                "( min= 0.01; max= 500.00 )");
    // 0.01 mm is 0.0004 inch and 500 mm 19.6850 inches: the limits shown are
    // values the field takes.
    f.changeunit(unitInch);
    f.setText("20");
    EXPECT_EQ(f.floatProblem(), "In the field  »d1«  the value is out of the permitted range.\r\n"
                                "( min= 0.001; max= 19.685 )");
    for (const char* inside : {"0.001", "19.685"}) {
        f.setText(inside);
        EXPECT_EQ(f.floatProblem(), std::nullopt) << inside;
    }
    f.changeunit(unitFoot);
    f.setText("2");
    EXPECT_EQ(f.floatProblem(), "In the field  »d1«  the value is out of the permitted range.\r\n"
                                "( min= 0.0001; max= 1.6404 )");
    FltField plain;
    plain.SetNzwPola("Resolution");
    plain.setLimits(0.1, 100);
    plain.setText("0");
    EXPECT_EQ(plain.floatProblem(),
              "In the field  »Resolution«  the value is out of the permitted range.\r\n"
              "( min= 0.10; max= 100.00 )");
}

TEST(FltEdit, HostileTextsNeverPassAsNumbers) {
    test::RecordingUserInterface ui;
    test::resetState(ui);
    test::loadTexts("US");
    for (bool withUnit : {false, true}) {
        FltField f(withUnit);
        f.setLimits(0, 100);
        f.SetNzwPola("w");
        for (const char* text : {"abc", "--5", "5-", "1.2.3", "1,5", "+", "-", ".", "nan", "NaN",
                                 "inf", "-INF", "infinity", "1e999", "1e-400", "0x10", "5 5"}) {
            f.setText(text);
            EXPECT_EQ(f.floatProblem(), "In the field  »w«  the value is not a number.") << text;
            EXPECT_EQ(f.GetValue(), 0) << text;
        }
        const std::string refused = "In the field  »w«  the value is out of the permitted "
                                    "range.\r\n( min= 0.00; max= 100.00 )";
        for (const char* text : {"1e300", "-0.000001", "100.0000001", "-5"}) {
            f.setText(text);
            EXPECT_EQ(f.floatProblem(), refused) << text;
            f.leave();
            EXPECT_EQ(f.text(), text);
            EXPECT_EQ(f.floatProblem(), refused) << text;
        }
        f.SetValue(std::numeric_limits<double>::quiet_NaN());
        EXPECT_EQ(f.GetValue(), 0);
        f.SetValue(std::numeric_limits<double>::infinity());
        EXPECT_EQ(f.GetValue(), 0);
        f.SetValue(1e300);
        EXPECT_EQ(f.GetValue(), 100);
    }
}

TEST(FltEdit, SpinSteps) {
    FltField f = millimetres(-1000, 1000);
    for (auto [shown, step] : {std::pair{"5", 0.1},
                               {"50", 1.0},
                               {"0.5", 0.01},
                               {"0", 0.1},
                               {"-50", 1.0},
                               {"999", 10.0}}) {
        f.setText(shown);
        EXPECT_DOUBLE_EQ(f.spinStep(), step) << shown;
    }
    f.SetValue(5);
    ASSERT_TRUE(f.spin(true, true));
    EXPECT_EQ(f.text(), "5.100");
    ASSERT_TRUE(f.spin(false, true));
    ASSERT_TRUE(f.spin(false, true));
    EXPECT_EQ(f.text(), "4.900");
    EXPECT_FALSE(f.spin(true, false)); // read-only: a beep
    EXPECT_EQ(f.text(), "4.900");
    f.changeunit(unitInch);
    f.setText("5.000"); // 5 inches: a tenth of an inch, in millimetres
    EXPECT_DOUBLE_EQ(f.spinStep(), 2.54);
    f.setLinearIncrement(true);
    f.setIncrement(0.5);
    EXPECT_DOUBLE_EQ(f.spinStep(), 0.5);

    FltField plain;
    plain.setLimits(0, 10);
    plain.setIncrement(4);
    plain.SetValue(8);
    plain.spin(true, true); // limited
    EXPECT_EQ(plain.text(), "10");
}

TEST(FltEdit, NumPadEntry) {
    NumPadEntry pad;
    pad.minus();
    pad.minus();
    EXPECT_EQ(pad.text(), "-");
    pad.digit(1);
    pad.decimal();
    pad.digit(5);
    pad.minus();
    EXPECT_EQ(pad.text(), "-1.5");
    pad.backspace();
    EXPECT_EQ(pad.text(), "-1.");
    pad.clear();
    pad.backspace();
    EXPECT_EQ(pad.text(), "");
    pad.digit(7);
    pad.minus();
    EXPECT_EQ(pad.text(), "-7");
}

TEST(FltEdit, NumPadStaysOnTheScreen) {
    const ScreenRect screen{0, 0, 1600, 1000};
    const ScreenRect inside = numPadPlace({100, 120, 80, 22}, 298, 318, screen);
    EXPECT_EQ(inside.left, 100);
    EXPECT_EQ(inside.top, 120);
    const ScreenRect corner = numPadPlace({1500, 900, 80, 22}, 298, 318, screen);
    EXPECT_EQ(corner.left, 1500 - 298 - 5);
    EXPECT_EQ(corner.top, 900 - 318 + 5);
    EXPECT_EQ(corner.width, 298);
    EXPECT_EQ(corner.height, 318);
}
