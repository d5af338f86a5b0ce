// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One QApplication for the whole test program, for the tests that build real
// widgets (on the offscreen platform the test environment selects). Include it
// in one source file of the program.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace kavrin::test {

class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "kavrin_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] inline ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace kavrin::test
