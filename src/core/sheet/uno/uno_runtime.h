#pragma once
// This process's own UNO runtime, through which the office is called.
#include <string>

#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace lmv::uno {

// Bootstrapped once with the office's type databases; kept for the whole run.
com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> localContext();

// The UNO connection description of an office pipe.
rtl::OUString pipeConnection(const std::string& pipeName);

rtl::OUString toOUString(const std::string& text);
std::string toUtf8(const rtl::OUString& text);

}  // namespace lmv::uno
