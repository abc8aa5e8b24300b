#pragma once

namespace melvora {

// An RGBA colour of the OpenGL views, each channel 0..1.
struct ViewColour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

}  // namespace melvora
