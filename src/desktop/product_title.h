#pragma once
// The product's name as the desktop's windows and message boxes show it.

inline constexpr char kLProductTitle[] = "KavrixServer";
inline constexpr char kLProductVersionText[] = "KavrixServer v 1.64";
