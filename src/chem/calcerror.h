#pragma once

#include <cstdint>

namespace chem {

/// 1 after an arithmetic failure in a pH routine or the root search, or after the schematic
/// refresh rejected an input; 0 after a computation that went through. Each pH routine,
/// ResolverCubica and Get_pH clear it on entry; their callers test it after the call. Each
/// thread has its own, so a computation off the window's thread never changes the window's.
extern thread_local std::int32_t CalcErrorFlag;

} // namespace chem
