#pragma once
// A spreadsheet office for tests of the spreadsheet link and its users: a
// grid of texts with a cell cursor, scripted to fail, vanish or report cell
// editing. The test keeps the State; the link owns the office.
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "sheet/sheet_office.h"

namespace lmv::test {

class FakeSheetOffice : public SheetOffice {
 public:
  struct State {
    // Script.
    OfficeConnect connectResult = OfficeConnect::Connected;
    bool present = true;
    bool editing = false;
    bool failWrites = false;
    SheetBounds bounds{1024, 1048576};
    std::function<void()> duringWrite;  // runs inside writeCells
    // Runs inside connect, on the thread that connects (a worker when the
    // link connects in the background).
    std::function<void()> duringConnect;

    // What happened.
    bool linked = false;
    int connects = 0;
    int releases = 0;
    std::atomic<bool> connectStarted{false};
    std::atomic<bool> abandoned{false};
    OpenMode lastMode = OpenMode::NewOrRunning;
    std::string lastPath;
    SheetCell cursor;
    std::map<std::tuple<int32_t, int32_t, int32_t>, std::string> texts;  // sheet, column, row
    std::map<std::pair<int32_t, int32_t>, double> widths;                // sheet, column: chars

    std::string text(const SheetCell& c) const {
      auto it = texts.find({c.sheet, c.column, c.row});
      return it == texts.end() ? std::string() : it->second;
    }
    std::vector<std::string> row(const SheetCell& start, int count = 7) const {
      std::vector<std::string> out;
      for (int i = 0; i < count; ++i) out.push_back(text({start.sheet, start.column + i, start.row}));
      return out;
    }
  };

  explicit FakeSheetOffice(std::shared_ptr<State> state) : state_(std::move(state)) {}

  OfficeConnect connect(OpenMode mode, const std::string& path) override {
    state_->connectStarted = true;
    if (state_->duringConnect) state_->duringConnect();
    ++state_->connects;
    state_->lastMode = mode;
    state_->lastPath = path;
    state_->linked = state_->connectResult == OfficeConnect::Connected;
    return state_->connectResult;
  }
  bool present() override { return state_->linked && state_->present; }
  bool cellEditing() override { return state_->linked && state_->editing; }
  std::optional<SheetCell> activeCell() override {
    if (!present()) return std::nullopt;
    return state_->cursor;
  }
  std::optional<SheetBounds> bounds(int32_t) override {
    if (!present()) return std::nullopt;
    return state_->bounds;
  }
  bool writeCells(const SheetCell& start, const std::vector<RowCell>& cells) override {
    if (state_->duringWrite) state_->duringWrite();
    if (!present() || state_->failWrites) return false;
    int32_t column = start.column;
    for (const RowCell& cell : cells) {
      if (cell.widthInChars > 0) state_->widths[{start.sheet, column}] = cell.widthInChars;
      state_->texts[{start.sheet, column, start.row}] = cell.text;
      ++column;
    }
    return true;
  }
  bool moveCursor(const SheetCell& cell) override {
    if (!present()) return false;
    state_->cursor = cell;
    return true;
  }
  void release() override {
    ++state_->releases;
    state_->linked = false;
  }
  void abandonConnect() override { state_->abandoned = true; }

 private:
  std::shared_ptr<State> state_;
};

}  // namespace lmv::test
