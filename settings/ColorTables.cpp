#include "settings/ColorTables.h"

const std::array<RGB, 10> HandColorTable = {{
    {1.0f, 1.0f, 1.0f},
    {1.0f, 0.0f, 0.0f},
    {0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 1.0f},
    {1.0f, 0.7f, 0.0f},
    {1.0f, 0.0f, 0.7f},
    {0.7f, 1.0f, 0.0f},
    {0.3f, 1.0f, 0.4f},
    {1.0f, 0.0f, 0.5f},
    {0.5f, 0.0f, 1.0f},
}};

const std::array<RGB, 10> DialColorTable = {{
    {0.85f, 0.85f, 0.85f},
    {0.85f, 0.0f, 0.0f},
    {0.0f, 0.85f, 0.0f},
    {0.0f, 0.0f, 0.85f},
    {0.7f, 0.5f, 0.0f},
    {0.85f, 0.0f, 0.6f},
    {0.6f, 0.85f, 0.0f},
    {0.2f, 0.85f, 0.3f},
    {0.85f, 0.0f, 0.5f},
    {0.5f, 0.0f, 0.85f},
}};
