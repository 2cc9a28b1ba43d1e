#pragma once
// The running spreadsheet program as the spreadsheet link sees it. The link
// keeps the rules (busy flags, cell limits, blocked cell, close-down); an
// office backend only carries out these calls. Every call is made on the
// user-interface thread; none may throw, and none may hang once the office
// process has gone.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lmv {

enum class OpenMode : int32_t { ChooseFile = 0, NewOrRunning = 1 };

// A cell of the linked document, counted as the user sees it: sheet 0 is the
// first sheet, column 1 is "A", row 1 is the first row.
struct SheetCell {
  int32_t sheet = 0;
  int32_t column = 1;
  int32_t row = 1;
  bool operator==(const SheetCell&) const = default;
};

// The last column and row of a sheet (its size).
struct SheetBounds {
  int32_t lastColumn = 0;
  int32_t lastRow = 0;
};

// One cell of a written row; widthInChars > 0 also sets the width of its
// column, in widths of the digit "0" of the standard font.
struct RowCell {
  std::string text;
  double widthInChars = 0;
};

enum class OfficeConnect {
  Connected,
  NoOffice,       // no office listens and none could be started
  FileNotOpened,  // the chosen file could not be loaded as a spreadsheet
};

class SheetOffice {
 public:
  virtual ~SheetOffice() = default;

  // NewOrRunning: the current spreadsheet document of the office, else its
  // first open one, else a new one. ChooseFile: the document at path (the
  // open one if it is already open). Either way its first sheet is shown.
  virtual OfficeConnect connect(OpenMode mode, const std::string& path) = 0;
  // The office still answers and the linked document is still open.
  virtual bool present() = 0;
  // Whether the user is typing in a cell right now; false when the office
  // cannot tell.
  virtual bool cellEditing() = 0;
  // The cell under the document's cell cursor.
  virtual std::optional<SheetCell> activeCell() = 0;
  virtual std::optional<SheetBounds> bounds(int32_t sheet) = 0;
  // Writes the cells as texts from start to the right; false when the office
  // failed on any of them.
  virtual bool writeCells(const SheetCell& start, const std::vector<RowCell>& cells) = 0;
  // Puts the cell cursor on cell.
  virtual bool moveCursor(const SheetCell& cell) = 0;
  // Drops the link. The office and its documents stay as they are.
  virtual void release() = 0;
  // Called from another thread while connect runs (the link is going away):
  // a connect still waiting for an office to start gives up at once, and so
  // does every later one.
  virtual void abandonConnect() {}
};

}  // namespace lmv
