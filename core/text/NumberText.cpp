#include "core/text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "core/text/Floats.h"

namespace {

// Walks the text skipping blanks, tabs and line feeds, which users type as
// thousands separators or pick up when pasting.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    int Peek() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) {
            ++pos_;
        }
        return pos_ < text_.size() ? static_cast<unsigned char>(text_[pos_]) : -1;
    }
    void Next() { ++pos_; }
    bool PeekDigit() {
        const int c = Peek();
        return c >= '0' && c <= '9';
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

}  // namespace

double XVal(const std::string& Instring) {
    Reader in(Instring);
    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Next();
    }
    std::string whole, fraction;
    for (; in.PeekDigit(); in.Next()) whole += static_cast<char>(in.Peek());
    if (in.Peek() == '.' || in.Peek() == ',') {
        in.Next();
        for (; in.PeekDigit(); in.Next()) fraction += static_cast<char>(in.Peek());
    }
    if (whole.empty() && fraction.empty()) return 0;

    // An E without digits after it adds nothing. The exponent is capped far
    // beyond any double, so that the arithmetic below cannot overflow.
    std::int64_t exponent = 0;
    if (in.Peek() == 'e' || in.Peek() == 'E') {
        in.Next();
        bool negativeExponent = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            negativeExponent = in.Peek() == '-';
            in.Next();
        }
        for (; in.PeekDigit(); in.Next()) {
            exponent = std::min<std::int64_t>(exponent * 10 + (in.Peek() - '0'), 1'000'000'000);
        }
        if (negativeExponent) exponent = -exponent;
    }

    // Normalise to d.ddd...e<p>, p the power of ten of the first significant
    // digit, so that leading zeros of any length cost nothing and a result far
    // out of range is known without parsing.
    const double zero = negative ? -0.0 : 0.0;
    const double infinity = (negative ? -1 : 1) * std::numeric_limits<double>::infinity();
    std::string digits = whole + fraction;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return zero;
    const auto power = static_cast<std::int64_t>(whole.size()) - 1 - static_cast<std::int64_t>(first) + exponent;
    if (power > 400) return infinity;
    if (power < -400) return zero;
    digits.erase(0, first);
    digits.erase(digits.find_last_not_of('0') + 1);

    std::string number(negative ? "-" : "");
    number += digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(power);
    double value = 0;
    const auto [end, ec] = ParseFloat(number.data(), number.data() + number.size(), value, FloatForm::General);
    if (ec == std::errc::result_out_of_range) return power > 0 ? infinity : zero;
    return value;
}
