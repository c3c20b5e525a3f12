// The Qt widget of Slider: made with no parent; Slider::Create places it.
#pragma once

#include <QSlider>

namespace AUILib {

class SliderQt : public QSlider {
    Q_OBJECT

public:
    SliderQt() : QSlider(nullptr) {}
};

} // namespace AUILib
