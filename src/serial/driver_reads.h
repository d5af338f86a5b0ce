// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

class QSerialPort;

namespace kavrin {

// Arriving bytes need not wake the window's thread at all: the link takes them
// on its tick. An ECU streaming 300 frames a second would otherwise wake it
// 300 times a second for nothing. Where the terminal driver lets a read take
// whatever has come without waiting and tell a hang-up from an empty buffer,
// the tick reads the driver itself; elsewhere Qt brings every byte in as it
// arrives and the tick takes it from Qt.

// Sets the open port up for reads on the tick; false where that cannot be
// done, and the port is then left as it was.
bool ReadOnTickOnly(QSerialPort& port);

// Bytes the driver holds, oldest first: how many, or -1 when the device no
// longer reads (unplugged, hung up). Only for a port ReadOnTickOnly set up.
std::ptrdiff_t TakeFromDriver(QSerialPort& port, std::span<std::uint8_t> into);

} // namespace kavrin
