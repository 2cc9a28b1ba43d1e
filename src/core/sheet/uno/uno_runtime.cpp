#include "sheet/uno/uno_runtime.h"

#include <signal.h>

#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

namespace lmv::uno {

com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> localContext() {
  // Never destroyed: the runtime's libraries may still use it while they
  // unload at exit.
  static const auto* context = [] {
    // The runtime writes to the office's pipe with plain send(): an office
    // that has just died would kill this process with SIGPIPE instead of
    // failing the call. A handler the program set itself is left alone.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
      struct sigaction ignore {};
      ignore.sa_handler = SIG_IGN;
      ::sigaction(SIGPIPE, &ignore, nullptr);
    }
    rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" LMV_OFFICE_PROGRAM "/fundamentalrc");
    return new com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>(
        cppu::defaultBootstrap_InitialComponentContext("file://" LMV_OFFICE_PROGRAM "/unorc"));
  }();
  return *context;
}

rtl::OUString pipeConnection(const std::string& pipeName) { return "pipe,name=" + toOUString(pipeName); }

rtl::OUString toOUString(const std::string& text) {
  return rtl::OStringToOUString(rtl::OString(text.data(), static_cast<sal_Int32>(text.size())), RTL_TEXTENCODING_UTF8);
}

std::string toUtf8(const rtl::OUString& text) {
  const rtl::OString utf8 = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
  return std::string(utf8.getStr(), static_cast<std::size_t>(utf8.getLength()));
}

}  // namespace lmv::uno

#if defined(__SANITIZE_ADDRESS__)
// The UNO runtime keeps the type descriptions and names it builds in caches
// of its own until the process ends, which LeakSanitizer reports as leaks of
// these two libraries. Only allocations made inside them are exempt. Weak:
// a program with suppressions of its own names these too.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
  return "leak:/usr/lib/libreoffice/program/libuno_cppu.so\n"
         "leak:/usr/lib/libreoffice/program/libuno_sal.so\n";
}
#endif
