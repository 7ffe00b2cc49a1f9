#pragma once

#include <optional>
#include <string>

// The rules of the numeric edit fields, without a window: which keys a field
// takes, how its text is read and shown, its limits, its spin step, its unit
// and its validity messages. The Qt widgets TFltEdit and TFltEditU show one of
// these and forward the user's keys, clicks and focus changes to it.
namespace korvane {

enum class FloatFormat { general, fixed };

// The only decimal separator of the program's numbers.
inline constexpr char decimalSeparator = '.';

// What becomes of one typed character.
struct KeyVerdict {
    bool accepted = false; // false: dropped with a beep
    char character = 0;    // the character to insert when accepted
};

class FltField {
  public:
    // A plain field (TFltEdit) or one that keeps millimetres and shows the
    // value in `funit` (TFltEditU).
    explicit FltField(bool withUnit = false) : withUnit_(withUnit) {}

    // Limits; equal limits mean none. For a unit field in millimetres.
    void setLimits(double minValue, double maxValue);
    double minValue() const { return FMinValue; }
    double maxValue() const { return FMaxValue; }
    bool limited() const { return FMinValue != FMaxValue; }
    void setFormat(FloatFormat format, int precision, int digits);
    void SetNzwPola(const std::string& name) { fNzwPola = name; }
    const std::string& name() const { return fNzwPola; }

    // The value: a plain field reads its text; a unit field reads it in its
    // unit and gives millimetres. An empty or unreadable text gives FMinValue.
    double GetValue() const;
    // Limits the value (millimetres for a unit field) and shows it.
    void SetValue(double value);
    // A unit field: keeps the millimetres, shows them in `unit` with the
    // decimals of that unit.
    void changeunit(int unit);
    int unit() const { return funit; }

    // The text as shown and edited.
    const std::string& text() const { return text_; }
    void setText(const std::string& text) { text_ = text; }

    // One typed character; `numPadDecimal` tells that the previous key was the
    // numeric keypad's decimal key. Control characters other than Enter pass.
    KeyVerdict key(char c, bool numPadDecimal, bool editable) const;

    // Leaving the field: a unit field shows a readable value within its limits
    // again in its unit's format. Any other text stays as typed, to be refused
    // by the validity checks: nothing the user typed changes unseen.
    void leave();

    // The spin buttons and the mouse wheel; false (a beep) for a read-only field.
    bool spin(bool up, bool editable);
    // The step the next spin adds: FIncrement, or for a unit field without
    // fLiniowyInkrement a tenth of the shown value's leading power of ten.
    double spinStep() const;
    void setIncrement(double step) { FIncrement = step; }
    void setLinearIncrement(bool linear) { fLiniowyInkrement = linear; }

    // The validity checks before a dialog takes the value: nullopt when valid,
    // else the message to show as an error, in the interface language.
    // The limits are given in the shown unit, rounded inwards.
    std::optional<std::string> floatProblem() const;
    std::optional<std::string> intProblem() const;
    // Shows the problem, if any, as an error; true when valid.
    bool WartoscFloatOk() const;

    // Keypad flags, set for touch screens.
    bool fBigNumPad = false;
    bool fJedenKlikKalkulator = false;

  private:
    std::optional<double> read() const; // the text as a number in the shown unit
    std::string format(double shown) const;
    std::optional<std::string> problem(bool integer) const;
    double limit(double value) const;
    // A limit as the messages give it: in the shown unit, rounded towards the
    // inside of the range so that the value shown is itself accepted.
    std::string limitText(double value, bool lower) const;

    bool withUnit_;
    double FMinValue = 0, FMaxValue = 0, FIncrement = 1;
    FloatFormat FffFormat = FloatFormat::general;
    int fprecision = 0, fdigit = 0;
    std::string fNzwPola;
    int funit = 0;
    bool fLiniowyInkrement = false;
    double frvalue = 0; // a unit field's value in millimetres, as last set
    std::string text_;
    // The text SetValue showed: while it stands, the value is frvalue exactly,
    // not its rounded display.
    std::string shownText_;
};

// "#,##0.00": thousands separated by "," and `decimals` decimals.
std::string formatGrouped(double value, int decimals = 2);

// The numeric keypad's entered text (shown as its caption).
class NumPadEntry {
  public:
    void digit(int d);
    void decimal();
    void minus(); // a leading minus, once
    void clear();
    void backspace();
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Where the keypad of `width` x `height` opens for a field at `field` on
// `screen`: at the field's top-left, moved to the field's left when it would
// leave the screen to the right, above when it would leave it at the bottom.
ScreenRect numPadPlace(const ScreenRect& field, int width, int height, const ScreenRect& screen);

} // namespace korvane
