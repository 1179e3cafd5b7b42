#pragma once
// zz_avi.dll: plays one AVI clip at a time in a child window of the caller's
// window through MCI, and posts MM_MCINOTIFY to that window when playback ends.
// Plain C calling convention; names are undecorated (zz_avi.def).
#include <windows.h>

#ifdef ZZ_AVI_BUILD
#define ZZ_AVI_API extern "C" __declspec(dllexport)
#else
#define ZZ_AVI_API extern "C" __declspec(dllimport)
#endif

ZZ_AVI_API int __cdecl Avi_Init();
ZZ_AVI_API int __cdecl Avi_Quit();
ZZ_AVI_API int __cdecl Avi_Open(const char* path, HWND parent, int x, int y, int width,
                                int height, int audio);
ZZ_AVI_API int __cdecl Avi_Play(const char* path, HWND parent, int x, int y, int width,
                                int height, int audio, int end_frame);
ZZ_AVI_API int __cdecl Avi_Stop();
ZZ_AVI_API int __cdecl Avi_Pause();
ZZ_AVI_API int __cdecl Avi_Resume();
ZZ_AVI_API int __cdecl Avi_Start(int from_frame, int to_frame);
ZZ_AVI_API int __cdecl Avi_Audio(int on);
ZZ_AVI_API int __cdecl Avi_Length();
ZZ_AVI_API int __cdecl Avi_GetSpeed();
ZZ_AVI_API int __cdecl Avi_SetSpeed(unsigned numerator, unsigned denominator);
ZZ_AVI_API int __cdecl Avi_GetCurrent();
ZZ_AVI_API int __cdecl Avi_SetCurrent(int frame);
ZZ_AVI_API int __cdecl Avi_IsInit();
ZZ_AVI_API int __cdecl Avi_IsOpen();
ZZ_AVI_API int __cdecl Avi_IsPlay();
ZZ_AVI_API int __cdecl Avi_IsPause();
