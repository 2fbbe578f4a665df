// dynlib: loading libraries at run time (vessel modules, add-on libraries).
//
// The stand-in simulator loads vessel modules with it and the vessel module
// loads the add-on libraries beside it: dlopen on POSIX, LoadLibrary on
// Windows, behind the same four calls. Header only, so that the vessel module
// uses it without linking anything else of ours.
//
// Builds on: nothing.
//
// Notes: names are UTF-8; on Windows they reach LoadLibraryW as UTF-16.
#pragma once
#include <string>

#ifdef _WIN32
#include <windows.h>

inline void* dynlib_open(const std::string& path) {
  std::wstring w(size_t(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, w.data(), int(w.size()));
  // Libraries a module needs are looked for in the module's own folder first.
  return reinterpret_cast<void*>(LoadLibraryExW(w.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
inline void* dynlib_symbol(void* lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
inline void dynlib_close(void* lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
inline std::string dynlib_error() {  // why the last dynlib_open failed
  char text[512] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(),
                                 0, text, sizeof text, nullptr);
  std::string why(text, n);
  while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.')) why.pop_back();
  return why.empty() ? "unknown reason" : why;
}
inline std::string dynlib_file_of(const void* address) {  // the library or program holding address; "" if none
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<const char*>(address), &module))
    return "";
  wchar_t w[32768];
  const DWORD n = GetModuleFileNameW(module, w, 32768);
  if (n == 0 || n >= 32768) return "";
  std::string out(size_t(WideCharToMultiByte(CP_UTF8, 0, w, int(n), nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, int(n), out.data(), int(out.size()), nullptr, nullptr);
  return out;
}
#else
#include <dlfcn.h>

inline void* dynlib_open(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
inline void* dynlib_symbol(void* lib, const char* name) { return dlsym(lib, name); }
inline void dynlib_close(void* lib) { dlclose(lib); }
inline std::string dynlib_error() {
  const char* why = dlerror();
  return why ? why : "unknown reason";
}
inline std::string dynlib_file_of(const void* address) {
  Dl_info info{};
  return dladdr(address, &info) && info.dli_fname ? info.dli_fname : "";
}
#endif
