// Entry point of the core library's tests: no Qt, a pinned locale.
#include <gtest/gtest.h>
#include <clocale>

int main(int argc, char** argv)
{
    // Results must not depend on the user's locale: C numbers, UTF-8 characters.
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
