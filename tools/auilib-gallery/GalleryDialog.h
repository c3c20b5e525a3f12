// The widget library's gallery: one form holding every control class the
// factory knows, filled where a form cannot fill it (values set through the
// controls' own operations). It sets no colours: the application's style
// and palette decide how it looks.
#pragma once

#include "Dialog.h"

#include <string>

class QWidget;

class GalleryDialog : public AUILib::Dialog {
public:
    // The form below the library's working folder: set the folder first.
    static std::wstring FormPath();

    explicit GalleryDialog(QWidget* parent = nullptr);

    bool InitializeControls() override;
};
