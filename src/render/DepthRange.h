#pragma once

// The window depth range the next draws write into, each end 0..1; a pass
// that changes it puts 0..1 back. Without a renderer nothing happens.
void setDepthRange(float nearValue, float farValue);
