#pragma once
#include "sound/AudioDevice.h"

// MPEG audio through libmpg123, read through the game's File layer; null when
// the file holds no frame mpg123 can decode.
std::unique_ptr<PcmDecoder> openMp3Decoder(std::unique_ptr<File> file);
