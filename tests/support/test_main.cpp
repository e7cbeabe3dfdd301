// The main of every test executable: no test may touch the user's real folders, so the whole process
// runs with its data, configuration and application folders inside one temporary directory.

#include <gtest/gtest.h>

#include "tests/support/leak_suppressions.h"
#include "tests/support/scoped_folders.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const ScopedFolders folders;
    return RUN_ALL_TESTS();
}
