#pragma once
// The test's own look into the office, over a UNO connection of its own:
// what the documents hold, and the user's hand (cursor moves, selections,
// documents opened, saved and closed). Every call fails the test (and
// returns a neutral value) when the office does not answer.
#include <cstdint>
#include <memory>
#include <string>

#include "sheet/sheet_office.h"

namespace lmv::test {

class OfficeProbe {
 public:
  explicit OfficeProbe(const std::string& pipeName);
  ~OfficeProbe();
  OfficeProbe(const OfficeProbe&) = delete;
  OfficeProbe& operator=(const OfficeProbe&) = delete;

  int documentCount();
  // Chooses the document the other calls act on.
  void useCurrentDocument();
  void newDocument();
  // Sheets of a new document (the office's default is one).
  void insertSheet(const std::string& name);
  void saveAs(const std::string& path);  // Excel 2007-365 format
  void closeDocument();

  std::string text(const SheetCell& cell);
  bool holdsText(const SheetCell& cell);  // a text cell, not a number
  void setText(const SheetCell& cell, const std::string& text);
  int32_t columnWidth(int32_t sheet, int32_t column);  // 1/100 mm
  SheetBounds bounds();
  SheetCell cursor();
  void moveCursor(const SheetCell& cell);
  void selectRange(const SheetCell& from, const SheetCell& to);
  void showSheet(int32_t sheet);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace lmv::test
