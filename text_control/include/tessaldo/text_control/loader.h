#pragma once

#include <string>

// The steps of LoadTextControl, each on its own.
namespace tessaldo::text_control {

// The file the registration recorded, empty when the control is not registered.
std::wstring RegisteredControlPath();

// True when `path` is the project's own control file: checked with the file mapped as data, so a
// foreign file runs no code.
bool IsOwnControl(const std::wstring& path);

// Loads the control at `path` and registers its window class in this process; false when the
// file is not the project's own or does not load.
bool LoadControlFrom(const std::wstring& path);

// The running program's folder + "\RICHTX32.OCX".
std::wstring ControlBesideProgram();

}  // namespace tessaldo::text_control
