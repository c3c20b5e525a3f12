// The type code each control constructor stores in its base; form loading
// reads it. 12, 16 and 25 are not used.
#pragma once

#include <cstdint>

namespace AUILib {

enum ControlType : int32_t {
    ControlTypeDialog = 0,
    ControlTypeButton = 1,
    ControlTypeEdit = 2,
    ControlTypeListBox = 3,
    ControlTypeCheckBox = 4,
    ControlTypeRadioButton = 5,
    ControlTypeGroupBox = 6,
    ControlTypeComboBox = 7,
    ControlTypeLabel = 8,
    ControlTypeTabView = 9,
    ControlTypeChildDialog = 10,
    ControlTypeSlider = 11,
    ControlTypeSpinEdit = 13,
    ControlTypeDoubleSpinEdit = 14,
    ControlTypeStackedDialog = 15,
    ControlTypeButtonBox = 17,
    ControlTypeTreeView = 18,
    ControlTypeMultiLineEdit = 19,
    ControlTypeRichEdit = 20,
    ControlTypeSplitter = 21,
    ControlTypeDrawElement = 22,
    ControlTypeScrollBar = 23,
    ControlTypeProgressBar = 24,
    ControlTypeLine = 26,
    ControlTypeScrollArea = 27,
    ControlTypeHyperLinkElement = 28,
    ControlTypeDateEdit = 29,
    ControlTypeComboBoxFS = 30,
    ControlTypeBase = 31,
};

} // namespace AUILib
