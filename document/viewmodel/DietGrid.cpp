#include "DietGrid.h"

#include "GridDim.h"
#include "TargetTips.h"
#include "TypedNumber.h"
#include "document/ProfileDocument.h"

#include "model/Targets.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"
#include "refdata/Ingredient.h"
#include "refdata/NutrientLabel.h"

#include <optional>
#include <stdexcept>
#include <utility>

namespace DietGrid {

namespace {

using UserLog::CNutrientRequirement;

std::string Limit(double value) { return value == -1 ? std::string() : TextFormat::G(value); }

// A cell in the user's style, without a tool tip.
Cell Plain(std::string text, bool editable, CellColour background) {
    Cell cell;
    cell.text = std::move(text);
    cell.editable = editable;
    cell.background = background;
    return cell;
}

constexpr int kSummaryRows = 3;

// The layout's row for a row of the grid of a day with `entries` entries; nullopt when the
// layout has none for it.
std::optional<int> LayoutRow(const CGridDim& layout, int entries, int row) {
    const int rows = layout.IsConsistent() ? layout.RowCount() : 0;
    const int layoutEntries = rows - 1 - kSummaryRows;
    if (row == 0) return rows > 0 ? std::optional<int>(0) : std::nullopt;
    if (row <= entries) return row - 1 < layoutEntries ? std::optional<int>(row) : std::nullopt;
    const int summary = row - entries - 1;
    if (summary < kSummaryRows && layoutEntries >= 0) return rows - kSummaryRows + summary;
    return std::nullopt;
}

std::optional<int> LayoutColumn(const CGridDim& layout, int column) {
    const int columns = layout.IsConsistent() ? layout.ColumnCount() : 0;
    return column >= 0 && column < columns ? std::optional<int>(column) : std::nullopt;
}

}  // namespace

void ApplyLayout(const CGridDim& layout, int entries, int nutrients, IGridSizes& grid) {
    const int rows = entries + 1 + kSummaryRows;
    const int columns = nutrients + kFixedColumns;
    grid.SetRowCount(rows);
    grid.SetColumnCount(columns);
    for (int r = 0; r < rows; ++r) {
        const std::optional<int> slot = LayoutRow(layout, entries, r);
        // A header row of its own is as tall as a new profile's: three lines.
        grid.SetRowHeight(r, slot ? layout.RowSize(*slot) : (r == 0 ? -3 : 0));
    }
    for (int c = 0; c < columns; ++c) {
        const std::optional<int> slot = LayoutColumn(layout, c);
        grid.SetColumnWidth(c, slot ? layout.ColumnSize(*slot) : 0);
    }
}

void StoreRowSize(CGridDim& layout, const IGridSizes& grid, int entries, int row, int height) {
    if (const std::optional<int> slot = LayoutRow(layout, entries, row))
        layout.SetRowSize(*slot, height);
    else
        layout.Capture(grid);
}

void StoreColumnSize(CGridDim& layout, const IGridSizes& grid, int column, int width) {
    if (const std::optional<int> slot = LayoutColumn(layout, column))
        layout.SetColumnSize(*slot, width);
    else
        layout.Capture(grid);
}

Rgb RgbOf(CellColour colour) {
    switch (colour) {
        case CellColour::Yellow: return {255, 255, 0};
        case CellColour::Grey: return {150, 150, 150};
        case CellColour::LightRed: return {255, 150, 150};
        case CellColour::ButtonFace:
        case CellColour::White: break;
    }
    return {255, 255, 255};
}

Table::Table(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {}

const Cell& Table::At(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) throw std::out_of_range("Diet grid cell");
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

Cell& Table::At(int row, int column) { return const_cast<Cell&>(static_cast<const Table&>(*this).At(row, column)); }

Table Build(const NS_Data::CUserLog& log) {
    const auto& entries = log.GetCurrentDay()->foods;
    std::vector<CNutrientRequirement> requirements;
    log.GetEffectiveRequirements(requirements);
    const int n = static_cast<int>(entries.size());
    const int m = static_cast<int>(requirements.size());
    Table t(n + 4, m + kFixedColumns);

    for (int c = 0; c < t.Columns(); ++c) t.At(0, c).background = CellColour::ButtonFace;
    for (int r = 0; r < t.Rows(); ++r) t.At(r, 0).background = CellColour::ButtonFace;
    t.At(0, 0).text = kTitle;
    t.At(0, 1).text = "Weight";
    t.At(0, 2).text = "Min";
    t.At(0, 3).text = "Max";

    std::vector<Nutrient::Label> labels;
    for (const CNutrientRequirement& req : requirements) labels.push_back(Nutrient::LabelOf(req.gid, log.DataSource()));

    for (int j = 0; j < n; ++j) {
        const UserLog::CDayFood& entry = entries[static_cast<std::size_t>(j)];
        const int r = 1 + j;
        t.At(r, 0).text = entry.ShownName();
        t.At(r, 1) = Plain(TextFormat::G(entry.weight), true, CellColour::White);
        t.At(r, 2) = Plain(Limit(entry.min), true, CellColour::Yellow);
        t.At(r, 3) = Plain(Limit(entry.max), true, CellColour::Yellow);
        for (int i = 0; i < m; ++i) {
            const int gid = requirements[static_cast<std::size_t>(i)].gid;
            const double value = entry.food ? entry.food->NutrientValue(gid) : 0.0;
            t.At(r, kFixedColumns + i).text =
                TextFormat::G(Nutrient::RoundShown(labels[static_cast<std::size_t>(i)], entry.weight * value / 100));
        }
    }

    const int minRow = n + 1, maxRow = n + 2, totalRow = n + 3;
    t.At(minRow, 0).text = "Min";
    t.At(maxRow, 0).text = "Max";
    t.At(totalRow, 0).text = "Total";
    for (int r = minRow; r <= totalRow; ++r)
        for (int c = 1; c < kFixedColumns; ++c) t.At(r, c).background = CellColour::Grey;
    t.At(totalRow, 1).background = CellColour::White;

    const std::vector<Targets::Target> targets = Targets::ForDay(log, *log.GetCurrentDay());
    for (int i = 0; i < m; ++i) {
        const CNutrientRequirement& req = requirements[static_cast<std::size_t>(i)];
        const Targets::Target& target = targets[static_cast<std::size_t>(i)];
        const int c = kFixedColumns + i;
        if (const Nutrient::Label& label = labels[static_cast<std::size_t>(i)]; !label.name.empty())
            t.At(0, c).text = label.name + "\n   " + label.units;
        t.At(minRow, c) = Plain(Limit(req.min), true, CellColour::Yellow);
        t.At(maxRow, c) = Plain(Limit(req.max), true, CellColour::Yellow);
        if (target.IsDefault()) {
            for (const bool upper : {false, true}) {
                Cell& cell = t.At(upper ? maxRow : minRow, c);
                cell.text = Limit(upper ? target.max : target.min);
                cell.defaultTarget = !cell.text.empty();
                cell.toolTip = TargetTips::DefaultLimit(target, upper);
            }
        }
        // The total as shown is what is judged, so 49.998 against a minimum of 50 is no fault.
        const double total = target.intake;
        const bool outside = target.status == Targets::Status::Under || target.status == Targets::Status::Over;
        Cell& totalCell = t.At(totalRow, c);
        totalCell = Plain(total == -1 ? std::string("N/A") : TextFormat::G(total), false,
                          outside ? CellColour::LightRed : CellColour::White);
        totalCell.toolTip = TargetTips::Outside(target);
    }
    return t;
}

CellStore StoreCell(CProfileDocument& document, int row, int column, const std::string& text) {
    NS_Data::CUserLog& log = document.Log();
    auto& entries = log.GetCurrentDay()->foods;
    const int n = static_cast<int>(entries.size());
    const int entry = row - 1;

    if ((entry == n || entry == n + 1) && column >= kFixedColumns) {
        std::vector<CNutrientRequirement> requirements;
        log.GetEffectiveRequirements(requirements);
        const int i = column - kFixedColumns;
        if (i >= static_cast<int>(requirements.size())) return {};
        CNutrientRequirement* req = log.EffectiveRequirement(requirements[static_cast<std::size_t>(i)].gid);
        if (!req) return {};
        const TypedInput typed = ReadTyped(text, TypedRule::Limit);
        if (typed.kind == TypedInput::Kind::Refused) return {false, typed.error};
        const double limit = typed.kind == TypedInput::Kind::Cleared ? -1 : typed.value;
        if (std::string order = LimitOrderError(entry == n ? limit : req->min, entry == n ? req->max : limit);
            !order.empty())
            return {false, std::move(order)};
        CProfileDocument::ChangeScope change(document, "Change Limit");
        (entry == n ? req->min : req->max) = limit;
    } else if (entry >= 0 && entry < n && column == 1) {
        const TypedInput typed = ReadTyped(text, TypedRule::Weight);
        if (typed.kind != TypedInput::Kind::Number) return {false, typed.error};
        document.SetFoodWeight(entry, typed.value);
    } else if (entry >= 0 && entry < n && (column == 2 || column == 3)) {
        const TypedInput typed = ReadTyped(text, TypedRule::Limit);
        if (typed.kind == TypedInput::Kind::Refused) return {false, typed.error};
        UserLog::CDayFood& food = entries[static_cast<std::size_t>(entry)];
        const double limit = typed.kind == TypedInput::Kind::Cleared ? -1 : typed.value;
        if (std::string order = LimitOrderError(column == 2 ? limit : food.min, column == 2 ? food.max : limit);
            !order.empty())
            return {false, std::move(order)};
        CProfileDocument::ChangeScope change(document, "Change Limit");
        (column == 2 ? food.min : food.max) = limit;
    } else {
        return {};
    }
    document.DataChanged();
    return {true, {}};
}

}  // namespace DietGrid
