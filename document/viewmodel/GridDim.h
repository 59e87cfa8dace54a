#pragma once

#include "core/xml/XmlSerialize.h"
#include "core/xml/XmlUnknown.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a layout needs of a grid on screen to take its sizes or give them back. The widget layer
// implements it over its cell grid, so this layer stays free of the window system.
class IGridSizes {
public:
    virtual ~IGridSizes() = default;
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual int RowHeight(int row) const = 0;
    virtual int ColumnWidth(int column) const = 0;
    virtual void SetRowCount(int rows) = 0;
    virtual void SetColumnCount(int columns) = 0;
    virtual void SetRowHeight(int row, int height) = 0;
    virtual void SetColumnWidth(int column, int width) = 0;
};

// The saved row heights and column widths of one grid, kept as one list:
// [row count, column count, row sizes..., column sizes...]. What the sizes mean (pixels, text
// lines) is the business of the view that captures and applies them.
class CGridDim : public IXMLSerialize {
public:
    CGridDim() = default;
    CGridDim(std::optional<std::string> name, std::vector<std::int32_t> initialSizes)
        : gridName(std::move(name)), sizes(std::move(initialSizes)) {}

    // A "Grid" element under the "View" element: "Rows" and "Cols" with their counts and an
    // "R%d"/"C%d" attribute per size. An empty list writes nothing.
    void Save(const Xml::XmlElement& view) const override;
    // Reads this layout's "Grid" out of the "View" element. A view without it leaves the layout
    // as it was, so a profile whose grid was never written opens with the initial sizes.
    void Load(const Xml::XmlElement& view) override;

    int RowCount() const noexcept { return sizes.size() >= 2 ? sizes[0] : 0; }
    int ColumnCount() const noexcept { return sizes.size() >= 2 ? sizes[1] : 0; }
    // The list length matches its two counts.
    bool IsConsistent() const noexcept;

    void AddRow(std::int32_t size);
    void AddColumn(std::int32_t size);
    // Before column `position`; appended when the position lies beyond the last column.
    void InsertColumn(int position, std::int32_t size);
    void RemoveRow(int index);
    void RemoveColumn(int index);
    // The stored size, or 0 when there is none.
    std::int32_t RowSize(int index) const noexcept;
    std::int32_t ColumnSize(int index) const noexcept;
    bool SetRowSize(int index, std::int32_t size);
    bool SetColumnSize(int index, std::int32_t size);
    void SwapRowSizes(int a, int b);

    // Replaces the list by the grid's current counts and sizes.
    void Capture(const IGridSizes& grid);
    // Gives the grid the stored counts and sizes; false (and nothing changed) for a list that
    // does not match its counts.
    bool Apply(IGridSizes& grid) const;

    std::optional<std::string> gridName;
    std::vector<std::int32_t> sizes;

private:
    // What a newer version wrote into the "Grid", "Rows" and "Cols" elements, written back.
    Xml::UnknownParts unknownGrid_;
    Xml::UnknownParts unknownRows_;
    Xml::UnknownParts unknownCols_;

    // Position in `sizes` of a row or column size, or nullopt outside the stored sizes.
    std::optional<std::size_t> RowSlot(int index) const noexcept;
    std::optional<std::size_t> ColumnSlot(int index) const noexcept;
    void EnsureCounts();
};
