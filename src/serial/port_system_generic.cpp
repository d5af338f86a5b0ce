// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_system.h"

namespace kavrin {

namespace {
// Where nothing more can be learned than what the failed open said.
class GenericPortSystem final : public PortSystem {
public:
    DeviceFacts Look(const std::string&) const override { return {}; }
};
} // namespace

std::unique_ptr<PortSystem> MakePortSystem() {
    return std::make_unique<GenericPortSystem>();
}

} // namespace kavrin
