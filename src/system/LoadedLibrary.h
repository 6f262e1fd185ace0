#pragma once

#include <dlfcn.h>

#include <string>

namespace braxo {

// A shared library opened while the program runs rather than linked: for
// what is needed only after the window shows (the sound output, the photo
// upload), whose libraries and everything they pull in would otherwise be
// mapped and relocated before the window could appear. The library stays
// loaded for the rest of the process (the ones opened this way keep threads
// and handlers of their own).
class LoadedLibrary {
 public:
  // Opens the library by its run-time name ("libz.so.1"); Error() says why when it cannot.
  explicit LoadedLibrary(const char* soname) : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) NoteError(soname);
  }

  bool Loaded() const { return handle_ != nullptr; }

  // The first failure's reason; empty while nothing failed.
  const std::string& Error() const { return error_; }

  // Looks `name` up into `function`, whose type must be the function's own
  // (decltype(&name) from its header). False, with Error() set, when the
  // library is not loaded or lacks the function.
  template <typename Function>
  bool Resolve(const char* name, Function& function) {
    function = nullptr;
    if (handle_ == nullptr) return false;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym's only form.
    function = reinterpret_cast<Function>(dlsym(handle_, name));
    if (function == nullptr) NoteError(name);
    return function != nullptr;
  }

 private:
  void NoteError(const char* what) {
    if (!error_.empty()) return;
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : std::string(what) + " not found";
  }

  void* handle_;
  std::string error_;
};

}  // namespace braxo
