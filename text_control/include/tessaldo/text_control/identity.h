#pragma once

// What marks the control file as the project's own. Read by the resource compiler as well.
#define TESSALDO_TEXT_CONTROL_CLSID "{160DC074-F8EB-42E8-98D0-C90872887B9B}"
#define TESSALDO_TEXT_CONTROL_IDENTITY "TESSALDO_TESTO256"

#ifndef RC_INVOKED
#include <string_view>

namespace tessaldo::text_control {

// The registration's own identifiers.
inline constexpr wchar_t kClsid[] = L"" TESSALDO_TEXT_CONTROL_CLSID;
inline constexpr wchar_t kProgId[] = L"Tessaldo.Testo256.1";
inline constexpr wchar_t kVersionIndependentProgId[] = L"Tessaldo.Testo256";
inline constexpr wchar_t kDescription[] = L"Tessaldo Testo256";
inline constexpr wchar_t kFileName[] = L"RICHTX32.OCX";

// Below HKEY_CLASSES_ROOT: the key whose default value is the registered file's path.
inline constexpr wchar_t kServerKey[] = L"CLSID\\" TESSALDO_TEXT_CONTROL_CLSID "\\InprocServer32";

// An RCDATA resource of the control file whose bytes are the CLSID's text: the loader checks it
// with the file mapped as data, before any of the file's code runs.
inline constexpr wchar_t kIdentityResource[] = L"" TESSALDO_TEXT_CONTROL_IDENTITY;
inline constexpr std::string_view kIdentityBytes = TESSALDO_TEXT_CONTROL_CLSID;

// The control's export that registers kWindowClass in the calling process; nonzero on success.
inline constexpr char kRegisterClassEntry[] = "TessaldoRegisterTextControl";
using RegisterClassEntry = int(__stdcall*)();

}  // namespace tessaldo::text_control
#endif
