// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kavrin {

// While the program itself fills the controls (start-up, a refresh from the
// image, the editor moving its box, the live cell marking), the controls'
// change and click events must not write back to the ECU. Raised only by a
// SuppressWrites guard, so no early return can leave it raised; guards nest.
class WriteSuppression {
public:
    bool Suppressed() const { return depth_ > 0; }

private:
    friend class SuppressWrites;
    int depth_ = 0;
};

class SuppressWrites {
public:
    explicit SuppressWrites(WriteSuppression& writes) : writes_(writes) { ++writes_.depth_; }
    ~SuppressWrites() { --writes_.depth_; }
    SuppressWrites(const SuppressWrites&) = delete;
    SuppressWrites& operator=(const SuppressWrites&) = delete;

private:
    WriteSuppression& writes_;
};

} // namespace kavrin
