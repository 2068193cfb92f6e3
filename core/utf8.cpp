#include "core/utf8.h"

#include <cstdint>
#include <cstring>

qsizetype Utf8::FirstInvalid(const char *p, qsizetype n)
{
    const auto *s = reinterpret_cast<const unsigned char *>(p);
    qsizetype i = 0;
    while (i < n) {
        const unsigned c = s[i];
        if (c < 0x80) {
            // Markup and most values are ASCII: eight bytes at a time.
            ++i;
            for (std::uint64_t w; n - i >= 8; i += 8) {
                std::memcpy(&w, s + i, 8);
                if (w & 0x8080808080808080ULL)
                    break;
            }
            continue;
        }
        // Most letters beyond ASCII first: the leads whose continuations may take any value.
        if (c >= 0xE1 && c <= 0xEC && n - i >= 3 && (s[i + 1] & 0xC0) == 0x80 && (s[i + 2] & 0xC0) == 0x80) {
            i += 3;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF && n - i >= 2 && (s[i + 1] & 0xC0) == 0x80) {
            i += 2;
            continue;
        }
        const int len = c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (len == 0 || n - i < len)
            return i;
        // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
        const unsigned lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
        if (s[i + 1] < lo || s[i + 1] > hi)
            return i;
        for (int k = 2; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return i;
        }
        i += len;
    }
    return -1;
}
