#pragma once

#include <cstdint>

namespace folyant::converter {

// The platform's window-message vocabulary for progress bars, with its
// numbers, so that code written against the platform's progress bar drives
// CPercentProgressCtrl unchanged.
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;

inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;
inline constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;
inline constexpr UINT PBM_SETBKCOLOR = 0x2001;
inline constexpr UINT PPM_SETTEXTCOLOR = WM_USER + 100;
inline constexpr UINT PPM_SHOWTEXT = WM_USER + 101;

inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct PBRANGE {
    int iLow;
    int iHigh;
};

constexpr LPARAM MAKELPARAM(unsigned low, unsigned high)
{
    return static_cast<LPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

constexpr COLORREF RGB(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

} // namespace folyant::converter
