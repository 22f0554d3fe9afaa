#pragma once

namespace tessaldo::text_control {

// The window class of the project's text control: a one-line rich-edit box that shows the
// base-256 notation given by WM_SETTEXT in dark blue with each pair of bars as one red bar.
inline constexpr wchar_t kWindowClass[] = L"TessaldoTesto256";

// Makes kWindowClass creatable in this process: from the system folder's RICHTX32.OCX when the
// machine's registration names exactly that file, else from the one beside the running program.
// False when neither loads.
bool LoadTextControl();

}  // namespace tessaldo::text_control
