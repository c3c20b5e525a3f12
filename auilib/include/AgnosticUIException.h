#pragma once
// The widget library's one exception type: thrown for a control whose widget
// is gone, a dialog whose form cannot be built, and closing a dialog without
// a window. Every other failure is reported by a result.
#include <exception>
#include <string>

namespace AUILib {

// Messages and source texts of the library's throws. The file texts are fixed
// so that callers and logs see the same text whatever the build layout.
constexpr const char* kControlNotValidMessage = "Control is not valid.";
constexpr const char* kCreateFromUiFailsMessage = "Create from ui fails";
constexpr const char* kInvalidControlMessage = "Invalid Control!";
constexpr const char* kDialogSourceFile = "../src/Dialog.cpp";
constexpr const char* kDialogImplHeaderFile = "../include/Qt/DialogImplQt.h";
constexpr int kDialogLineLoadFromPath = 65;
constexpr int kDialogLineLoadTranslated = 69;
constexpr int kDialogImplLineDone = 649;

class AgnosticUIException : public std::exception
{
public:
    // With a non-empty file the text reads: file ": " line ' ' '"' message
    // (no closing quote); with an empty file it is the message alone.
    AgnosticUIException(const char* file, int line, const char* message);
    ~AgnosticUIException() override;

    const char* what() const noexcept override;

private:
    std::string m_file;
    std::string m_message;
    int m_line;
};

} // namespace AUILib
