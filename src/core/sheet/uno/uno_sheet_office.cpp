#include "sheet/uno/uno_sheet_office.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <rtl/ref.hxx>

#include "sheet/sheet_row.h"
#include "sheet/uno/office_start.h"
#include "sheet/uno/uno_runtime.h"

namespace lmv {
namespace {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using uno::localContext;
using uno::toOUString;
using uno::toUtf8;

constexpr auto kRetryPeriod = std::chrono::milliseconds(250);

// Remembers that the document it listens to has been closed. Called on the
// bridge's threads.
class GoneListener : public cppu::WeakImplHelper1<css::lang::XEventListener> {
 public:
  void SAL_CALL disposing(const css::lang::EventObject&) override { gone_ = true; }
  bool gone() const { return gone_; }

 private:
  std::atomic<bool> gone_{false};
};

// Runs an office call; any failure of the office (gone, disposed, refused)
// gives the fallback.
template <typename Call, typename Result>
Result guarded(Call&& call, Result fallback) {
  try {
    return call();
  } catch (const css::uno::Exception&) {
  } catch (const std::exception&) {
  }
  return fallback;
}

class UnoSheetOffice final : public SheetOffice {
 public:
  explicit UnoSheetOffice(OfficeOptions options) : options_(std::move(options)) {}
  ~UnoSheetOffice() override { release(); }

  OfficeConnect connect(OpenMode mode, const std::string& path) override;
  bool present() override;
  bool cellEditing() override { return false; }
  std::optional<SheetCell> activeCell() override;
  std::optional<SheetBounds> bounds(int32_t sheet) override;
  bool writeCells(const SheetCell& start, const std::vector<RowCell>& cells) override;
  bool moveCursor(const SheetCell& cell) override;
  void release() override;
  void abandonConnect() override { abandoned_ = true; }

 private:
  Reference<css::uno::XComponentContext> openBridge();
  Reference<css::uno::XComponentContext> reachOffice();
  Reference<css::sheet::XSpreadsheetDocument> runningDocument(const Reference<css::frame::XDesktop2>& desktop);
  Reference<css::sheet::XSpreadsheetDocument> fileDocument(const Reference<css::frame::XDesktop2>& desktop,
                                                           const std::string& path);
  Reference<css::view::XSelectionSupplier> selection();
  Reference<css::table::XCellRange> sheetRange(int32_t sheet);

  OfficeOptions options_;
  // Calls may travel over another bridge of this process to the same
  // office (the runtime maps each office object once), and a bridge left
  // unused ends itself: so the office's going is seen by calls failing,
  // not by this bridge's end.
  Reference<css::lang::XComponent> bridge_;
  Reference<css::sheet::XSpreadsheetDocument> document_;
  rtl::Reference<GoneListener> documentListener_;
  std::atomic<bool> abandoned_{false};
};

Reference<css::uno::XComponentContext> UnoSheetOffice::openBridge() {
  const auto context = localContext();
  const Reference<css::connection::XConnection> connection =
      css::connection::Connector::create(context)->connect(uno::pipeConnection(options_.pipeName));
  const Reference<css::bridge::XBridge> bridge =
      css::bridge::BridgeFactory::create(context)->createBridge("", "urp", connection, nullptr);
  bridge_.set(bridge, UNO_QUERY_THROW);
  return Reference<css::uno::XComponentContext>(bridge->getInstance("StarOffice.ComponentContext"),
                                                UNO_QUERY_THROW);
}

// The office's context: at once when an office listens, else after starting
// one and waiting for it. Empty when none can be reached.
Reference<css::uno::XComponentContext> UnoSheetOffice::reachOffice() {
  try {
    return openBridge();
  } catch (const css::connection::NoConnectException&) {
  }
  if (options_.startCommand.empty() || abandoned_) return {};
  std::vector<std::string> command = options_.startCommand;
  command.push_back("--accept=pipe,name=" + options_.pipeName + ";urp;");
  std::string error;  // the user is told only that no office could be had
  if (!startDetached(command, error)) return {};
  const auto deadline = std::chrono::steady_clock::now() + options_.startTimeout;
  while (std::chrono::steady_clock::now() < deadline && !abandoned_) {
    std::this_thread::sleep_for(kRetryPeriod);
    try {
      return openBridge();
    } catch (const css::connection::NoConnectException&) {
    }
  }
  return {};
}

Reference<css::sheet::XSpreadsheetDocument> UnoSheetOffice::runningDocument(
    const Reference<css::frame::XDesktop2>& desktop) {
  Reference<css::sheet::XSpreadsheetDocument> document(desktop->getCurrentComponent(), UNO_QUERY);
  if (document.is()) return document;
  const Reference<css::container::XEnumeration> components = desktop->getComponents()->createEnumeration();
  while (components->hasMoreElements()) {
    document.set(components->nextElement(), UNO_QUERY);
    const Reference<css::frame::XModel> model(document, UNO_QUERY);
    if (model.is() && model->getCurrentController().is()) return document;
  }
  return Reference<css::sheet::XSpreadsheetDocument>(
      desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, {}), UNO_QUERY);
}

Reference<css::sheet::XSpreadsheetDocument> UnoSheetOffice::fileDocument(
    const Reference<css::frame::XDesktop2>& desktop, const std::string& path) {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(path, ec);
  if (ec || !std::filesystem::is_regular_file(file, ec)) return {};
  rtl::OUString url;
  if (osl::FileBase::getFileURLFromSystemPath(toOUString(file.string()), url) != osl::FileBase::E_None) return {};

  // A document that is open already is used as it is, unsaved changes and all.
  const Reference<css::container::XEnumeration> components = desktop->getComponents()->createEnumeration();
  while (components->hasMoreElements()) {
    const Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
    if (!model.is() || model->getURL().isEmpty()) continue;
    rtl::OUString openPath;
    if (osl::FileBase::getSystemPathFromFileURL(model->getURL(), openPath) != osl::FileBase::E_None) continue;
    if (std::filesystem::equivalent(file, toUtf8(openPath), ec)) {
      return Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY);
    }
  }
  const Reference<css::lang::XComponent> loaded = desktop->loadComponentFromURL(url, "_default", 0, {});
  Reference<css::sheet::XSpreadsheetDocument> document(loaded, UNO_QUERY);
  if (loaded.is() && !document.is()) {
    // Opened by another module (a text file, say): not ours to keep open.
    guarded(
        [&] {
          Reference<css::util::XCloseable>(loaded, UNO_QUERY_THROW)->close(true);
          return true;
        },
        false);
  }
  return document;
}

OfficeConnect UnoSheetOffice::connect(OpenMode mode, const std::string& path) {
  release();
  Reference<css::uno::XComponentContext> office;
  try {
    office = reachOffice();
  } catch (const css::uno::Exception&) {
  } catch (const std::exception&) {
  }
  if (!office.is()) {
    release();
    return OfficeConnect::NoOffice;
  }
  try {
    const Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(office);
    document_ = mode == OpenMode::ChooseFile ? fileDocument(desktop, path) : runningDocument(desktop);
    const Reference<css::frame::XModel> model(document_, UNO_QUERY);
    const Reference<css::frame::XController> controller =
        model.is() ? model->getCurrentController() : Reference<css::frame::XController>();
    const Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY);
    if (!view.is()) {
      release();
      return mode == OpenMode::ChooseFile ? OfficeConnect::FileNotOpened : OfficeConnect::NoOffice;
    }
    documentListener_ = new GoneListener;
    model->addEventListener(documentListener_.get());

    const Reference<css::container::XIndexAccess> sheets(document_->getSheets(), UNO_QUERY_THROW);
    view->setActiveSheet(Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW));

    // Bring the document to the user's eyes; an office without windows
    // (headless) has nothing to show.
    guarded(
        [&] {
          const Reference<css::frame::XFrame> frame = controller->getFrame();
          const Reference<css::awt::XWindow> window = frame->getContainerWindow();
          window->setVisible(true);
          Reference<css::awt::XTopWindow>(window, UNO_QUERY_THROW)->toFront();
          frame->activate();
          return true;
        },
        false);
    return OfficeConnect::Connected;
  } catch (const css::lang::DisposedException&) {
    release();
    return OfficeConnect::NoOffice;
  } catch (const css::uno::Exception&) {
  } catch (const std::exception&) {
  }
  release();
  return mode == OpenMode::ChooseFile ? OfficeConnect::FileNotOpened : OfficeConnect::NoOffice;
}

bool UnoSheetOffice::present() {
  if (!document_.is() || !documentListener_.is() || documentListener_->gone()) return false;
  return guarded(
      [&] { return Reference<css::frame::XModel>(document_, UNO_QUERY_THROW)->getCurrentController().is(); },
      false);
}

Reference<css::view::XSelectionSupplier> UnoSheetOffice::selection() {
  return Reference<css::view::XSelectionSupplier>(
      Reference<css::frame::XModel>(document_, UNO_QUERY_THROW)->getCurrentController(), UNO_QUERY_THROW);
}

Reference<css::table::XCellRange> UnoSheetOffice::sheetRange(int32_t sheet) {
  const Reference<css::container::XIndexAccess> sheets(document_->getSheets(), UNO_QUERY_THROW);
  return Reference<css::table::XCellRange>(sheets->getByIndex(sheet), UNO_QUERY_THROW);
}

std::optional<SheetCell> UnoSheetOffice::activeCell() {
  if (!document_.is()) return std::nullopt;
  return guarded(
      [&]() -> std::optional<SheetCell> {
        const auto supplier = selection();
        Reference<css::sheet::XCellAddressable> cell(supplier->getSelection(), UNO_QUERY);
        if (!cell.is()) {
          // A range (or a drawing object) is selected: selecting nothing
          // leaves just the cell cursor.
          const Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
          supplier->select(Any(factory->createInstance("com.sun.star.sheet.SheetCellRanges")));
          cell.set(supplier->getSelection(), UNO_QUERY);
        }
        if (!cell.is()) return std::nullopt;
        const css::table::CellAddress address = cell->getCellAddress();
        return SheetCell{address.Sheet, address.Column + 1, address.Row + 1};
      },
      std::optional<SheetCell>());
}

std::optional<SheetBounds> UnoSheetOffice::bounds(int32_t sheet) {
  if (!document_.is()) return std::nullopt;
  return guarded(
      [&]() -> std::optional<SheetBounds> {
        const css::table::CellRangeAddress range =
            Reference<css::sheet::XCellRangeAddressable>(sheetRange(sheet), UNO_QUERY_THROW)->getRangeAddress();
        return SheetBounds{range.EndColumn + 1, range.EndRow + 1};
      },
      std::optional<SheetBounds>());
}

bool UnoSheetOffice::writeCells(const SheetCell& start, const std::vector<RowCell>& cells) {
  if (!document_.is()) return false;
  return guarded(
      [&] {
        const Reference<css::table::XCellRange> range = sheetRange(start.sheet);
        const Reference<css::table::XTableColumns> columns =
            Reference<css::table::XColumnRowRange>(range, UNO_QUERY_THROW)->getColumns();
        sal_Int32 column = start.column - 1;
        for (const RowCell& cell : cells) {
          if (cell.widthInChars > 0) {
            Reference<css::beans::XPropertySet>(columns->getByIndex(column), UNO_QUERY_THROW)
                ->setPropertyValue("Width", Any(columnWidthHundredthsMm(cell.widthInChars)));
          }
          // Set as a string, the text stays text: nothing is parsed.
          Reference<css::text::XText>(range->getCellByPosition(column, start.row - 1), UNO_QUERY_THROW)
              ->setString(toOUString(cell.text));
          ++column;
        }
        return true;
      },
      false);
}

bool UnoSheetOffice::moveCursor(const SheetCell& cell) {
  if (!document_.is()) return false;
  return guarded(
      [&] {
        return selection()->select(
            Any(sheetRange(cell.sheet)->getCellByPosition(cell.column - 1, cell.row - 1)));
      },
      false);
}

void UnoSheetOffice::release() {
  if (document_.is() && documentListener_.is() && !documentListener_->gone()) {
    guarded(
        [&] {
          Reference<css::lang::XComponent>(document_, UNO_QUERY_THROW)->removeEventListener(documentListener_.get());
          return true;
        },
        false);
  }
  document_.clear();
  documentListener_.clear();
  if (bridge_.is()) {
    // Ends the connection; the office goes on with its documents.
    guarded(
        [&] {
          bridge_->dispose();
          return true;
        },
        false);
  }
  bridge_.clear();
}

}  // namespace

OfficeOptions OfficeOptions::fromEnvironment() {
  OfficeOptions options;
  if (const char* pipe = std::getenv("LUMETREVISOR_OFFICE_PIPE"); pipe && *pipe) options.pipeName = pipe;
  return options;
}

std::unique_ptr<SheetOffice> makeUnoSheetOffice(OfficeOptions options) {
  return std::make_unique<UnoSheetOffice>(std::move(options));
}

bool officeListens(const std::string& pipeName) {
  return guarded(
      [&] {
        css::connection::Connector::create(localContext())->connect(uno::pipeConnection(pipeName))->close();
        return true;
      },
      false);
}

}  // namespace lmv
