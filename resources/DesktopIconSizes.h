#pragma once
// The icon sizes a Linux desktop asks for (menus, panels, launchers, file
// managers); resources/CMakeLists.txt installs one file per size.

inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
