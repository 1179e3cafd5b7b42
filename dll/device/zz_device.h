#pragma once
// zz_device.dll: tablet access for the main program (WinTab, loaded at run time).
#include <windows.h>

#ifdef ZZ_DEVICE_BUILD
#define ZZ_DEVICE_API extern "C" __declspec(dllexport)
#else
#define ZZ_DEVICE_API extern "C" __declspec(dllimport)
#endif

ZZ_DEVICE_API int __cdecl WacomTabletInit();
ZZ_DEVICE_API int __cdecl WacomTabletQuit();
ZZ_DEVICE_API int __cdecl WacomTabletInUse();
ZZ_DEVICE_API int __cdecl WacomTabletDeviceName(char* name /* 512 bytes */);
