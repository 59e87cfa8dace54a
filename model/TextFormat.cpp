#include "TextFormat.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace TextFormat {

std::string LowerG(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

std::string G(double value) {
    std::string out = LowerG(value);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Printf(std::string_view format, std::initializer_list<Arg> args) {
    std::string out;
    auto next = args.begin();
    auto take = [&]() -> const Arg& {
        if (next == args.end()) throw std::logic_error("Too few arguments for format: " + std::string(format));
        return *next++;
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        const char conversion = i + 1 < format.size() ? format[++i] : '\0';
        if (conversion == '%') {
            out += '%';
        } else if (conversion == 'G') {
            const Arg& a = take();
            if (!std::holds_alternative<double>(a)) throw std::logic_error("%G needs a double: " + std::string(format));
            out += G(std::get<double>(a));
        } else if (conversion == 'd') {
            const Arg& a = take();
            if (!std::holds_alternative<int>(a)) throw std::logic_error("%d needs an int: " + std::string(format));
            out += std::to_string(std::get<int>(a));
        } else {
            throw std::logic_error("Unsupported conversion in format: " + std::string(format));
        }
    }
    if (next != args.end()) throw std::logic_error("Too many arguments for format: " + std::string(format));
    return out;
}

}  // namespace TextFormat
