#pragma once
// The spreadsheet link's backend for LibreOffice Calc, reached through UNO
// over a named pipe. When no office listens on the pipe, it starts soffice
// with that pipe: an office the user already runs takes the pipe over, else a
// new one starts.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sheet/sheet_office.h"

namespace lmv {

struct OfficeOptions {
  std::string pipeName = "lumetrevisor";
  // Started when no office listens; "--accept=" for the pipe is added.
  // Empty: never start one.
  std::vector<std::string> startCommand = {"soffice", "--norestore", "--nologo", "--nodefault"};
  // How long a started office may take until it listens.
  std::chrono::milliseconds startTimeout{45000};

  // The defaults, with the pipe named by LUMETREVISOR_OFFICE_PIPE when set.
  static OfficeOptions fromEnvironment();
};

std::unique_ptr<SheetOffice> makeUnoSheetOffice(OfficeOptions options = OfficeOptions::fromEnvironment());

// Whether an office accepts UNO connections on the pipe now.
bool officeListens(const std::string& pipeName);

}  // namespace lmv
