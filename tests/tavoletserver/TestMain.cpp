// The dialog tests need a QApplication; every test gets a private home.
#include "support/TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    useTemporaryHome();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
