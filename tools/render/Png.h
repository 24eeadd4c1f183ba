#pragma once

#include <string>

#include "scene/osmesa/OffscreenContext.h"

// 8-bit RGB PNG files. Each returns false and says why in `error` when it fails.
bool WritePng(const std::string& path, const Image& image, std::string& error);
bool ReadPng(const std::string& path, Image& image, std::string& error);
