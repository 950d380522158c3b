#include "platform/win32/system_info_win32.h"

#include "platform/win32/system_library.h"
#include "platform/win32/win32.h"

namespace kestrava {

uint16_t Win32SystemInfo::EmulatedArchitecture() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

uint16_t Win32SystemInfo::NativeArchitecture() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

bool Win32SystemInfo::QueryVersion(VersionInfo& out) {
  OSVERSIONINFOW version{};
  static_assert(sizeof(OSVERSIONINFOW) == 276, "the basic wide version record");
  version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  if (!GetVersionExW(&version)) return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  out.major = version.dwMajorVersion;
  out.minor = version.dwMinorVersion;
  out.build = version.dwBuildNumber;
  return true;
}

std::optional<uint16_t> Win32SystemInfo::NativeMachine() {
  // Windows 10 1709 and later only; looked up so that the program still loads on older systems.
  using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  HMODULE kernel = GetModuleHandleW(L"kernel32");
  if (!kernel) return std::nullopt;
  auto fn = reinterpret_cast<IsWow64Process2Fn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process2")));
  if (!fn) return std::nullopt;
  USHORT processMachine = 0;
  USHORT nativeMachine = 0;
  if (!fn(GetCurrentProcess(), &processMachine, &nativeMachine)) return std::nullopt;
  return nativeMachine;
}

uint16_t Win32SystemInfo::UserDefaultUiLanguage() {
  return GetUserDefaultUILanguage();
}

WString Win32SystemInfo::AnsiToWide(std::string_view text) {
  return AnsiCodePageToWide(text);
}

WString AnsiCodePageToWide(std::string_view text) {
  if (text.empty()) return WString();
  const int size = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (needed <= 0) return WString();
  WString out(static_cast<size_t>(needed), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(out.data()), needed);
  return out;
}

std::string Win32SystemInfo::WideToAnsi(WStringView text) {
  if (text.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide, size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, size, out.data(), needed, nullptr, nullptr);
  return out;
}

WString Win32SystemInfo::ErrorMessage(uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),  // the user's default language
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  WString message = length ? win32::FromWide(text, length) : WString();
  if (text) LocalFree(text);
  return message;
}

namespace {

// The system's upper case of `text`, by its own table (LCMapString without linguistic casing
// follows the file system's rule, which is the one the ordinal comparison uses).
WString SystemUpper(WStringView text) {
  WString upper(text);
  if (upper.empty()) return upper;
  const int size = static_cast<int>(upper.size());
  auto* units = reinterpret_cast<wchar_t*>(upper.data());
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, units, size, units, size) != size) {
    return WString(text);
  }
  return upper;
}

}  // namespace

bool Win32SystemInfo::SameName(WStringView a, WStringView b) {
  // Windows Vista and later; looked up so that the program still loads on Windows XP.
  using CompareStringOrdinalFn = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);
  static const auto compare =
      win32::LoadedFunction<CompareStringOrdinalFn>(L"kernel32", "CompareStringOrdinal");
  if (a.size() != b.size()) return false;  // no upper case changes a name's length
  if (compare) {
    constexpr int kEqual = 2;  // CSTR_EQUAL
    return compare(reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                   reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()),
                   TRUE) == kEqual;
  }
  return SystemUpper(a) == SystemUpper(b);
}

}  // namespace kestrava
