// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace kavrin {

// The "Language" menu: one entry per language file (mnlan 0..n-1).
class LanguageMenu {
public:
    virtual ~LanguageMenu() = default;
    virtual void SetEntries(const std::vector<std::string>& captions) = 0;
    virtual void SetChecked(int entry, bool checked) = 0;
};

} // namespace kavrin
