// Entry of the test programs that need a QApplication (run under xvfb-run). Listing the tests needs
// no display, so that CTest can discover them anywhere.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> application;
    if (!::testing::GTEST_FLAG(list_tests)) application = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
