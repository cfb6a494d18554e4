#pragma once

#include <cstdint>

namespace ks3::btr {

// The record manager's Stop: releases every file and cursor of this process.
// Returns its status.
std::int16_t stopRecordManager();

} // namespace ks3::btr
