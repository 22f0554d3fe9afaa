#pragma once

// What marks the control file as the project's own. Read by the resource compiler as well: an
// RCDATA resource named TESSALDO_TEXT_CONTROL_IDENTITY whose bytes are the CLSID's text, which
// the uninstaller reads with the file mapped as data, so that it deletes only the project's own
// control and runs none of its code.
#define TESSALDO_TEXT_CONTROL_CLSID "{160DC074-F8EB-42E8-98D0-C90872887B9B}"
#define TESSALDO_TEXT_CONTROL_IDENTITY "TESSALDO_TESTO256"

#ifndef RC_INVOKED
namespace tessaldo::text_control {

// The registration's own identifiers.
inline constexpr wchar_t kClsid[] = L"" TESSALDO_TEXT_CONTROL_CLSID;
inline constexpr wchar_t kProgId[] = L"Tessaldo.Testo256.1";
inline constexpr wchar_t kVersionIndependentProgId[] = L"Tessaldo.Testo256";
inline constexpr wchar_t kDescription[] = L"Tessaldo Testo256";
inline constexpr wchar_t kFileName[] = L"RICHTX32.OCX";

// Below HKEY_LOCAL_MACHINE: the key whose default value is the registered file's path. (The same
// key below HKEY_CURRENT_USER, the user's own, is never read.)
inline constexpr wchar_t kServerKey[] =
    L"Software\\Classes\\CLSID\\" TESSALDO_TEXT_CONTROL_CLSID "\\InprocServer32";

// The control's export that registers kWindowClass in the calling process; nonzero on success.
inline constexpr char kRegisterClassEntry[] = "TessaldoRegisterTextControl";
using RegisterClassEntry = int(__stdcall*)();

}  // namespace tessaldo::text_control
#endif
