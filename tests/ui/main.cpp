// The dialog tests' entry: GoogleTest inside one running dialog backend.
#include <gtest/gtest.h>

#include "framework/Backend.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no display.
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    morvex::fw::BackendSession backend(argc, argv);
    return RUN_ALL_TESTS();
}
