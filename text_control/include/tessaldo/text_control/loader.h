#pragma once

#include <string>

// The steps of LoadTextControl, each on its own.
namespace tessaldo::text_control {

// The file the machine's registration names (HKLM\Software\Classes, 64-bit view, read directly:
// the user's own classes are never looked at); empty when the control is not registered.
std::wstring RegisteredControlPath();

// The system folder + "\RICHTX32.OCX".
std::wstring ControlInSystemFolder();

// The running program's folder + "\RICHTX32.OCX".
std::wstring ControlBesideProgram();

// Loads the control at `path` (a full path; what it loads itself comes from its own folder and
// the system folder only) and registers its window class in this process; false, with the file
// unloaded, when it does not load or has not the control's entry point.
bool LoadControlFrom(const std::wstring& path);

}  // namespace tessaldo::text_control
