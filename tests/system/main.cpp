#include "res/Resource.h"
#include "support/TestHome.h"

#include <QApplication>

#include <gtest/gtest.h>

// Nothing in this binary may reach the developer's own registry or profile.
int main(int argc, char** argv) {
    useTemporaryHome();
    QApplication app(argc, argv);
    InstallStringTable();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
