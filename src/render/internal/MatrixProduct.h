#pragma once
#include "platform/Math.h"

// a x b in column order.
inline Mat4 matrixProduct(const Mat4& a, const Mat4& b) { return mat4Multiply(a, b); }
