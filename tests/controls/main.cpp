#include "support/TestHome.h"

#include <QApplication>

#include <gtest/gtest.h>

// The About box tests start the application: its profile must never reach
// the developer's own.
int main(int argc, char** argv) {
    useTemporaryHome();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
