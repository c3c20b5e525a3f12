// The text of the library's exception, for the ways the library throws it.
#include "AgnosticUIException.h"

#include <gtest/gtest.h>

namespace {

TEST(AgnosticUIException, ComposesFileLineAndMessage)
{
    const struct { const char* file; int line; const char* message; const char* text; } kCases[] = {
        {"a", 7, "m", "a: 7 \"m"},
        {"", 0, AUILib::kControlNotValidMessage, "Control is not valid."},
        {"", 12, "no file, no line", "no file, no line"},
        {AUILib::kDialogSourceFile, AUILib::kDialogLineLoadTranslated, AUILib::kCreateFromUiFailsMessage,
         "../src/Dialog.cpp: 69 \"Create from ui fails"},
        {AUILib::kDialogSourceFile, AUILib::kDialogLineLoadFromPath, AUILib::kCreateFromUiFailsMessage,
         "../src/Dialog.cpp: 65 \"Create from ui fails"},
        {AUILib::kDialogImplHeaderFile, AUILib::kDialogImplLineDone, AUILib::kInvalidControlMessage,
         "../include/Qt/DialogImplQt.h: 649 \"Invalid Control!"},
        {"f", -3, "", "f: -3 \""},
    };
    for (const auto& c : kCases) {
        const AUILib::AgnosticUIException exception(c.file, c.line, c.message);
        EXPECT_STREQ(exception.what(), c.text);
    }
}

TEST(AgnosticUIException, IsCaughtAsAStandardException)
{
    try {
        throw AUILib::AgnosticUIException("", 0, AUILib::kControlNotValidMessage);
    } catch (const std::exception& caught) {
        EXPECT_STREQ(caught.what(), "Control is not valid.");
        return;
    }
    FAIL() << "not caught as std::exception";
}

} // namespace
