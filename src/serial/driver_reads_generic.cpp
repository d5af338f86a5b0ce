// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/driver_reads.h"

namespace kavrin {

// Qt's own notification brings every byte in as it arrives.
bool ReadOnTickOnly(QSerialPort&) {
    return false;
}

std::ptrdiff_t TakeFromDriver(QSerialPort&, std::span<std::uint8_t>) {
    return 0;
}

} // namespace kavrin
