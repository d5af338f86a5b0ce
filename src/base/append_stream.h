// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/language_texts.h"

#include <string>
#include <string_view>

namespace kavrin {

// A file that grows at its end while the tool runs (the datalog). Appended
// bytes may wait in memory until Flush hands them to the system.
class AppendStream {
public:
    virtual ~AppendStream() = default;
    virtual bool Append(std::string_view bytes) = 0;
    // False when the system refused the bytes (disk full, drive gone) or the
    // file is no longer where it was created.
    virtual bool Flush() = 0;
    // Why the last Append or Flush failed.
    virtual Reason LastError() const = 0;
};

} // namespace kavrin
