// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/code_pages.h"

namespace kavrin {

int CodePageOfCharset(int charset) {
    struct Entry {
        int charset;
        int codePage;
    };
    static constexpr Entry kTable[] = {
        {0, 1252},   {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
        {238, 1250}, {222, 874},  {163, 1258}, {128, 932},  {129, 949},  {134, 936},  {136, 950},
    };
    for (const Entry& e : kTable)
        if (e.charset == charset) return e.codePage;
    return 1252;
}

} // namespace kavrin
