#include "office_probe.h"

#include <gtest/gtest.h>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <osl/file.hxx>

#include "sheet/uno/uno_runtime.h"

namespace lmv::test {
namespace {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using uno::toOUString;
using uno::toUtf8;

}  // namespace

struct OfficeProbe::State {
  Reference<css::lang::XComponent> bridge;
  Reference<css::frame::XDesktop2> desktop;
  Reference<css::sheet::XSpreadsheetDocument> document;

  Reference<css::frame::XModel> model() const { return Reference<css::frame::XModel>(document, UNO_QUERY_THROW); }
  Reference<css::frame::XController> controller() const { return model()->getCurrentController(); }
  Reference<css::view::XSelectionSupplier> selection() const {
    return Reference<css::view::XSelectionSupplier>(controller(), UNO_QUERY_THROW);
  }
  Reference<css::table::XCellRange> sheet(int32_t index) const {
    const Reference<css::container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
    return Reference<css::table::XCellRange>(sheets->getByIndex(index), UNO_QUERY_THROW);
  }
  Reference<css::table::XCell> cell(const SheetCell& c) const {
    return sheet(c.sheet)->getCellByPosition(c.column - 1, c.row - 1);
  }
};

// Runs a probe call; a failure of the office fails the test.
#define PROBE(fallback, ...)                                       \
  try {                                                            \
    __VA_ARGS__;                                                   \
  } catch (const css::uno::Exception& e) {                         \
    ADD_FAILURE() << "office call failed: " << toUtf8(e.Message); \
    return fallback;                                               \
  }

OfficeProbe::OfficeProbe(const std::string& pipeName) : state_(std::make_unique<State>()) {
  PROBE(, {
    const auto context = uno::localContext();
    const auto connection = css::connection::Connector::create(context)->connect(uno::pipeConnection(pipeName));
    const Reference<css::bridge::XBridge> bridge =
        css::bridge::BridgeFactory::create(context)->createBridge("", "urp", connection, nullptr);
    state_->bridge.set(bridge, UNO_QUERY_THROW);
    const Reference<css::uno::XComponentContext> office(bridge->getInstance("StarOffice.ComponentContext"),
                                                        UNO_QUERY_THROW);
    state_->desktop = css::frame::Desktop::create(office);
  })
}

OfficeProbe::~OfficeProbe() {
  state_->document.clear();
  state_->desktop.clear();
  try {
    if (state_->bridge.is()) state_->bridge->dispose();
  } catch (const css::uno::Exception&) {
  }
}

int OfficeProbe::documentCount() {
  PROBE(0, {
    int count = 0;
    const auto components = state_->desktop->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
      if (Reference<css::sheet::XSpreadsheetDocument>(components->nextElement(), UNO_QUERY).is()) ++count;
    }
    return count;
  })
}

void OfficeProbe::useCurrentDocument() {
  PROBE(, {
    state_->document.set(state_->desktop->getCurrentComponent(), UNO_QUERY);
    if (!state_->document.is()) {
      const auto components = state_->desktop->getComponents()->createEnumeration();
      while (!state_->document.is() && components->hasMoreElements()) {
        state_->document.set(components->nextElement(), UNO_QUERY);
      }
    }
    ASSERT_TRUE(state_->document.is()) << "no spreadsheet document is open";
  })
}

void OfficeProbe::newDocument() {
  PROBE(, {
    state_->document.set(state_->desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, {}),
                         UNO_QUERY_THROW);
  })
}

void OfficeProbe::insertSheet(const std::string& name) {
  PROBE(, {
    const auto sheets = state_->document->getSheets();
    const Reference<css::container::XIndexAccess> index(sheets, UNO_QUERY_THROW);
    sheets->insertNewByName(toOUString(name), static_cast<sal_Int16>(index->getCount()));
  })
}

void OfficeProbe::saveAs(const std::string& path) {
  PROBE(, {
    rtl::OUString url;
    ASSERT_EQ(osl::FileBase::getFileURLFromSystemPath(toOUString(path), url), osl::FileBase::E_None);
    css::beans::PropertyValue filter;
    filter.Name = "FilterName";
    filter.Value <<= rtl::OUString("Calc Office Open XML");
    Reference<css::frame::XStorable>(state_->document, UNO_QUERY_THROW)->storeToURL(
        url, css::uno::Sequence<css::beans::PropertyValue>(&filter, 1));
  })
}

void OfficeProbe::closeDocument() {
  PROBE(, {
    Reference<css::util::XCloseable>(state_->document, UNO_QUERY_THROW)->close(true);
    state_->document.clear();
  })
}

std::string OfficeProbe::text(const SheetCell& c) {
  PROBE(std::string(), { return toUtf8(Reference<css::text::XText>(state_->cell(c), UNO_QUERY_THROW)->getString()); })
}

bool OfficeProbe::holdsText(const SheetCell& c) {
  PROBE(false, { return state_->cell(c)->getType() == css::table::CellContentType_TEXT; })
}

void OfficeProbe::setText(const SheetCell& c, const std::string& text) {
  PROBE(, { Reference<css::text::XText>(state_->cell(c), UNO_QUERY_THROW)->setString(toOUString(text)); })
}

int32_t OfficeProbe::columnWidth(int32_t sheet, int32_t column) {
  PROBE(0, {
    const auto columns = Reference<css::table::XColumnRowRange>(state_->sheet(sheet), UNO_QUERY_THROW)->getColumns();
    sal_Int32 width = 0;
    Reference<css::beans::XPropertySet>(columns->getByIndex(column - 1), UNO_QUERY_THROW)->getPropertyValue("Width") >>=
        width;
    return width;
  })
}

SheetBounds OfficeProbe::bounds() {
  PROBE(SheetBounds(), {
    const auto range =
        Reference<css::sheet::XCellRangeAddressable>(state_->sheet(0), UNO_QUERY_THROW)->getRangeAddress();
    return SheetBounds{range.EndColumn + 1, range.EndRow + 1};
  })
}

SheetCell OfficeProbe::cursor() {
  PROBE(SheetCell(), {
    const Reference<css::sheet::XCellAddressable> cell(state_->selection()->getSelection(), UNO_QUERY);
    if (!cell.is()) {
      ADD_FAILURE() << "the selection is not a single cell";
      return SheetCell{-1, -1, -1};
    }
    const auto address = cell->getCellAddress();
    return SheetCell{address.Sheet, address.Column + 1, address.Row + 1};
  })
}

void OfficeProbe::moveCursor(const SheetCell& c) {
  PROBE(, { state_->selection()->select(Any(state_->cell(c))); })
}

void OfficeProbe::selectRange(const SheetCell& from, const SheetCell& to) {
  PROBE(, {
    state_->selection()->select(Any(
        state_->sheet(from.sheet)->getCellRangeByPosition(from.column - 1, from.row - 1, to.column - 1, to.row - 1)));
  })
}

void OfficeProbe::showSheet(int32_t sheet) {
  PROBE(, {
    Reference<css::sheet::XSpreadsheetView>(state_->controller(), UNO_QUERY_THROW)
        ->setActiveSheet(Reference<css::sheet::XSpreadsheet>(state_->sheet(sheet), UNO_QUERY_THROW));
  })
}

}  // namespace lmv::test
