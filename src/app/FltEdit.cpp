#include "app/FltEdit.h"

#include "foundation/Interfejs.h"
#include "foundation/Messages.h"
#include "foundation/NumberText.h"
#include "foundation/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {

namespace {

std::string printed(const char* format, int digits, double value) {
    char buf[400];
    std::snprintf(buf, sizeof buf, format, digits, value);
    return buf;
}

// A shown zero never carries a minus.
std::string withoutNegativeZero(std::string text) {
    if (!text.empty() && text.front() == '-' &&
        text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace

void FltField::setLimits(double minValue, double maxValue) {
    FMinValue = minValue;
    FMaxValue = maxValue;
}

void FltField::setFormat(FloatFormat format, int precision, int digits) {
    FffFormat = format;
    fprecision = precision;
    fdigit = digits;
}

std::optional<double> FltField::read() const {
    return parseReal(text_);
}

double FltField::limit(double value) const {
    if (!std::isfinite(value)) return FMinValue;
    return limited() ? std::clamp(value, FMinValue, FMaxValue) : value;
}

std::string FltField::format(double shown) const {
    if (fprecision == 0 || fdigit == 0) return formatReal(shown);
    if (FffFormat == FloatFormat::fixed) {
        // More integer digits than the precision: the general form instead.
        if (std::fabs(shown) >= std::pow(10.0, fprecision)) return formatReal(shown);
        return withoutNegativeZero(printed("%.*f", fdigit, shown));
    }
    std::string s = printed("%.*G", fprecision, shown);
    return withoutNegativeZero(s);
}

double FltField::GetValue() const {
    if (withUnit_ && text_ == shownText_) return frvalue;
    const auto v = read();
    if (!v) return FMinValue;
    return withUnit_ ? *v * unitFactor(funit) : *v;
}

void FltField::SetValue(double value) {
    value = limit(value);
    if (withUnit_) {
        frvalue = value;
        text_ = format(value / unitFactor(funit));
        shownText_ = text_;
    } else {
        text_ = format(value);
    }
}

void FltField::changeunit(int unit) {
    const bool number = !trimSpaces(text_).empty() && (text_ == shownText_ || read().has_value());
    const double mm = GetValue();
    funit = unit;
    if (fdigit != 0) fdigit = unitDecimals(unit);
    // Empty or unreadable text stays as typed.
    if (!number) return;
    if (limited() && (mm < FMinValue || mm > FMaxValue)) {
        // Out of range: shown in the new unit as typed, still to be refused.
        text_ = format(mm / unitFactor(funit));
        shownText_.clear();
        return;
    }
    SetValue(mm);
}

KeyVerdict FltField::key(char c, bool numPadDecimal, bool editable) const {
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    if (control) return {c != '\r' && c != '\n', c};
    if (!editable) return {};
    if (withUnit_ && numPadDecimal && (c == ',' || c == '.')) return {true, decimalSeparator};
    if (c == '+' || c == '-' || (c >= '0' && c <= '9') || c == decimalSeparator) return {true, c};
    return {};
}

void FltField::leave() {
    if (!withUnit_ || text_ == shownText_) return;
    const auto shown = read();
    if (!shown) return;
    const double mm = *shown * unitFactor(funit);
    if (limited() && (mm < FMinValue || mm > FMaxValue)) return;
    SetValue(mm);
}

double FltField::spinStep() const {
    if (!withUnit_ || fLiniowyInkrement) return FIncrement;
    const double factor = unitFactor(funit);
    const double shown = std::fabs(GetValue() / factor);
    if (shown == 0) return 0.1 * factor;
    return std::pow(10.0, std::floor(std::log10(shown)) - 1) * factor;
}

bool FltField::spin(bool up, bool editable) {
    if (!editable) return false;
    const double step = spinStep();
    SetValue(GetValue() + (up ? step : -step));
    return true;
}

std::string FltField::limitText(double value, bool lower) const {
    const bool converted = withUnit_ && funit != unitMillimetre;
    const int decimals = converted ? unitDecimals(funit) : 2;
    const double scale = std::pow(10.0, decimals);
    const double scaled = (withUnit_ ? value / unitFactor(funit) : value) * scale;
    // A limit on the grid of the decimals keeps its value; another is rounded
    // inwards, never shown as a value the field refuses.
    const double onGrid = std::round(scaled);
    const double rounded = std::fabs(scaled - onGrid) < 1e-6 ? onGrid
                           : lower                           ? std::ceil(scaled)
                                                             : std::floor(scaled);
    return formatGrouped(rounded / scale, decimals);
}

std::optional<std::string> FltField::problem(bool integer) const {
    const std::string field = "»" + fNzwPola + "«";
    if (trimSpaces(text_).empty()) return txt("Universal", "txtWypelnijPole") + "  " + field;
    if (withUnit_ && text_ == shownText_) return std::nullopt;
    const std::string inField = txt("Universal", "txtWPolu") + "  " + field;
    const auto shown = read();
    if (!shown) return inField + "  " + txt("Universal", "txtNieLiczba");
    const double v = withUnit_ ? *shown * unitFactor(funit) : *shown;
    const std::string range =
        "min= " + limitText(FMinValue, true) + "; max= " + limitText(FMaxValue, false);
    if (integer && v != std::trunc(v)) {
        std::string text = inField + " " + txt("Universal", "txtLiczbaCalkowita");
        if (limited())
            text += "\r\n" + txt("Universal", "txtDopuszczalnyZakres") + " (" + range + " )";
        return text;
    }
    if (limited() && (v < FMinValue || v > FMaxValue))
        return inField + "  " + txt("Universal", "txtPozaZakresem") + "\r\n( " + range + " )";
    return std::nullopt;
}

std::optional<std::string> FltField::floatProblem() const {
    return problem(false);
}

std::optional<std::string> FltField::intProblem() const {
    return problem(true);
}

bool FltField::WartoscFloatOk() const {
    const auto p = floatProblem();
    if (p) showMessage(*p, true);
    return !p;
}

std::string formatGrouped(double value, int decimals) {
    std::string s = printed("%.*f", decimals, value);
    const bool negative = s.front() == '-';
    if (negative) s.erase(0, 1);
    const std::size_t point = std::min(s.find('.'), s.size());
    std::string grouped;
    for (std::size_t i = 0; i < point; ++i) {
        if (i > 0 && (point - i) % 3 == 0) grouped += ',';
        grouped += s[i];
    }
    grouped += s.substr(point);
    return withoutNegativeZero((negative ? "-" : "") + grouped);
}

void NumPadEntry::digit(int d) {
    if (d >= 0 && d <= 9) text_ += static_cast<char>('0' + d);
}

void NumPadEntry::decimal() {
    text_ += decimalSeparator;
}

void NumPadEntry::minus() {
    if (text_.empty() || text_.front() != '-') text_.insert(text_.begin(), '-');
}

void NumPadEntry::clear() {
    text_.clear();
}

void NumPadEntry::backspace() {
    if (!text_.empty()) text_.pop_back();
}

ScreenRect numPadPlace(const ScreenRect& field, int width, int height, const ScreenRect& screen) {
    ScreenRect pad{field.left, field.top, width, height};
    if (pad.left + width > screen.left + screen.width) pad.left = field.left - width - 5;
    if (pad.top + height > screen.top + screen.height) pad.top = field.top - height + 5;
    return pad;
}

} // namespace korvane
