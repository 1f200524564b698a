#pragma once
// Writes a plan picture as a PNG file, drawn offscreen (no display needed).

#include <string>

#include "project/plan_picture.h"

namespace varnholt {

// False when the file cannot be written, with the reason in failure when one is given. A pipe or a device named as
// the file is refused, never written into or replaced.
bool WritePlanPng(const PlanPicture& picture, const std::string& path, std::string* failure = nullptr);

}  // namespace varnholt
