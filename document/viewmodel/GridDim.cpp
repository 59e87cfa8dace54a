#include "GridDim.h"

#include <algorithm>
#include <utility>

namespace {

std::string Numbered(char prefix, int i) { return prefix + std::to_string(i); }

// "size" and the numbered sizes are this version's own, whatever the count: a size beyond it is
// stale and dropped. Any other attribute is another version's and kept.
bool IsSizeAttribute(std::string_view name, char prefix) {
    if (name == "size") return true;
    if (name.size() < 2 || name.size() > 10 || name[0] != prefix) return false;
    if (name[1] == '0' && name.size() > 2) return false;
    return std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool CGridDim::IsConsistent() const noexcept {
    if (sizes.size() < 2 || sizes[0] < 0 || sizes[1] < 0) return false;
    return sizes.size() == static_cast<std::size_t>(sizes[0]) + static_cast<std::size_t>(sizes[1]) + 2;
}

void CGridDim::EnsureCounts() {
    if (sizes.empty())
        sizes = {0, 0};
    else if (sizes.size() == 1)
        sizes.push_back(0);
}

std::optional<std::size_t> CGridDim::RowSlot(int index) const noexcept {
    if (index < 0 || index >= RowCount()) return std::nullopt;
    const std::size_t slot = 2 + static_cast<std::size_t>(index);
    if (slot >= sizes.size()) return std::nullopt;
    return slot;
}

std::optional<std::size_t> CGridDim::ColumnSlot(int index) const noexcept {
    if (index < 0 || index >= ColumnCount() || RowCount() < 0) return std::nullopt;
    const std::size_t slot = 2 + static_cast<std::size_t>(RowCount()) + static_cast<std::size_t>(index);
    if (slot >= sizes.size()) return std::nullopt;
    return slot;
}

void CGridDim::AddRow(std::int32_t size) {
    EnsureCounts();
    const std::size_t at = std::min(sizes.size(), 2 + static_cast<std::size_t>(std::max(RowCount(), 0)));
    sizes.insert(sizes.begin() + static_cast<std::ptrdiff_t>(at), size);
    ++sizes[0];
}

void CGridDim::AddColumn(std::int32_t size) {
    EnsureCounts();
    InsertColumn(ColumnCount(), size);
}

void CGridDim::InsertColumn(int position, std::int32_t size) {
    if (position < 0) return;
    EnsureCounts();
    const std::size_t first = 2 + static_cast<std::size_t>(std::max(RowCount(), 0));
    const std::size_t end = first + static_cast<std::size_t>(std::max(ColumnCount(), 0));
    std::size_t at = position >= ColumnCount() ? end : first + static_cast<std::size_t>(position);
    at = std::min(at, sizes.size());
    sizes.insert(sizes.begin() + static_cast<std::ptrdiff_t>(at), size);
    ++sizes[1];
}

void CGridDim::RemoveRow(int index) {
    if (auto slot = RowSlot(index)) {
        sizes.erase(sizes.begin() + static_cast<std::ptrdiff_t>(*slot));
        --sizes[0];
    }
}

void CGridDim::RemoveColumn(int index) {
    if (auto slot = ColumnSlot(index)) {
        sizes.erase(sizes.begin() + static_cast<std::ptrdiff_t>(*slot));
        --sizes[1];
    }
}

std::int32_t CGridDim::RowSize(int index) const noexcept {
    auto slot = RowSlot(index);
    return slot ? sizes[*slot] : 0;
}

std::int32_t CGridDim::ColumnSize(int index) const noexcept {
    auto slot = ColumnSlot(index);
    return slot ? sizes[*slot] : 0;
}

bool CGridDim::SetRowSize(int index, std::int32_t size) {
    auto slot = RowSlot(index);
    if (!slot) return false;
    sizes[*slot] = size;
    return true;
}

bool CGridDim::SetColumnSize(int index, std::int32_t size) {
    auto slot = ColumnSlot(index);
    if (!slot) return false;
    sizes[*slot] = size;
    return true;
}

void CGridDim::SwapRowSizes(int a, int b) {
    auto sa = RowSlot(a);
    auto sb = RowSlot(b);
    if (sa && sb) std::swap(sizes[*sa], sizes[*sb]);
}

void CGridDim::Capture(const IGridSizes& grid) {
    const int rows = std::max(grid.RowCount(), 0);
    const int cols = std::max(grid.ColumnCount(), 0);
    std::vector<std::int32_t> captured;
    captured.reserve(static_cast<std::size_t>(rows) + static_cast<std::size_t>(cols) + 2);
    captured.push_back(rows);
    captured.push_back(cols);
    for (int r = 0; r < rows; ++r) captured.push_back(grid.RowHeight(r));
    for (int c = 0; c < cols; ++c) captured.push_back(grid.ColumnWidth(c));
    sizes = std::move(captured);
}

bool CGridDim::Apply(IGridSizes& grid) const {
    if (!IsConsistent()) return false;
    const int rows = RowCount();
    const int cols = ColumnCount();
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    for (int r = 0; r < rows; ++r) grid.SetRowHeight(r, RowSize(r));
    for (int c = 0; c < cols; ++c) grid.SetColumnWidth(c, ColumnSize(c));
    return true;
}

void CGridDim::Save(const Xml::XmlElement& view) const {
    if (sizes.empty()) return;
    Xml::XmlElement grid = view.AddElement("Grid");
    if (gridName) grid.SetAttribute("name", *gridName);
    const int rowCount = std::max(RowCount(), 0);
    const int columnCount = std::max(ColumnCount(), 0);
    Xml::XmlElement rows = grid.AddElement("Rows");
    rows.SetAttribute("size", rowCount);
    for (int i = 0; i < rowCount; ++i) rows.SetAttribute(Numbered('R', i), static_cast<int>(RowSize(i)));
    unknownRows_.Restore(rows);
    Xml::XmlElement cols = grid.AddElement("Cols");
    cols.SetAttribute("size", columnCount);
    for (int i = 0; i < columnCount; ++i) cols.SetAttribute(Numbered('C', i), static_cast<int>(ColumnSize(i)));
    unknownCols_.Restore(cols);
    unknownGrid_.Restore(grid);
}

void CGridDim::Load(const Xml::XmlElement& view) {
    Xml::XmlElement grid;
    for (const Xml::XmlElement& g : view.ChildElements("Grid")) {
        const Xml::XmlValue name = g.GetAttribute("name");
        if (gridName ? (!name.IsAbsent() && name.AsString() == *gridName) : name.IsAbsent()) {
            grid = g;
            break;
        }
    }
    if (!grid) return;

    Xml::XmlElement rows = grid.ChildElement("Rows");
    Xml::XmlElement cols = grid.ChildElement("Cols");
    const int columnCount = cols ? cols.GetAttribute("size").AsInt() : 0;
    const int rowCount = rows ? rows.GetAttribute("size").AsInt() : 0;
    // Every size is read before the list changes, so a grid that fails to read keeps its sizes.
    std::vector<std::int32_t> rowSizes;
    std::vector<std::int32_t> columnSizes;
    for (int i = 0; i < rowCount; ++i) rowSizes.push_back(rows.GetAttribute(Numbered('R', i)).AsInt());
    for (int i = 0; i < columnCount; ++i) columnSizes.push_back(cols.GetAttribute(Numbered('C', i)).AsInt());

    unknownGrid_.Capture(grid, {"name"}, {"Rows", "Cols"});
    const auto noChild = [](const Xml::XmlElement&) { return false; };
    unknownRows_.CaptureBy(
        rows, [](std::string_view n) { return IsSizeAttribute(n, 'R'); }, noChild);
    unknownCols_.CaptureBy(
        cols, [](std::string_view n) { return IsSizeAttribute(n, 'C'); }, noChild);

    sizes.clear();
    for (std::int32_t s : rowSizes) AddRow(s);
    for (std::int32_t s : columnSizes) AddColumn(s);
}
