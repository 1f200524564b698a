#pragma once
// Writes a plan picture as a PNG file, drawn offscreen (no display needed).

#include <string>

#include "project/plan_picture.h"

namespace varnholt {

// False when the file cannot be written.
bool WritePlanPng(const PlanPicture& picture, const std::string& path);

}  // namespace varnholt
