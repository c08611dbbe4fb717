#include "text_format.hpp"

#include <cstdarg>
#include <cstdio>

#include "fixed_format.hpp"

void append_fixed(std::string& out, double value) {
    char text[max_fixed_length];
    out.append(text, format_fixed(text, value));
}

void append_format(std::string& out, const char* format, ...) {
    char small[256];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        fail("cannot format text");
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        out.append(small, static_cast<std::size_t>(length));
    } else {
        // "%f" of a large double runs to hundreds of digits: format in place at full size.
        std::size_t start = out.size();
        out.resize(start + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data() + start, static_cast<std::size_t>(length) + 1, format, again);
        out.resize(start + static_cast<std::size_t>(length));
    }
    va_end(again);
}
