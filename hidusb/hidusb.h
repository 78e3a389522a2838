#pragma once
// C interface of the device library (filled in by the device-library work).
#ifdef __cplusplus
extern "C" {
#endif
#ifdef __cplusplus
}
#endif
